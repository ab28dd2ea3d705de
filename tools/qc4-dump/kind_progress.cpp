// The progress files: the story slots "user_data\story\Story01.dat" to "Story99.dat" and the
// challenge file "user_data\challenge\Challenge.dat". Read as the slot list and the title read them:
// whole, with values the game can use, or not at all. The project beside them (its settings and
// world map in "data") gives the number of challenge stages and the world map's size the progress is
// brought into.
#include <cctype>
#include <string>

#include "data/load_error.h"
#include "data/story_slots.h"
#include "data/world_map.h"
#include "dump_kind.h"
#include "game_data_json.h"
#include "progress_json.h"
#include "record_json.h"

namespace {

bool DumpProgress(const std::string& path, cJsonWriter& out, std::string& error) {
  // user_data\story\Story01.dat: the game folder is two folders up.
  std::string gameFolder = FolderOf(path);
  for (int up = 0; up < 2 && !gameFolder.empty(); ++up)
    gameFolder = FolderOf(gameFolder.substr(0, gameFolder.size() - 1));
  const char sep = path.find('/') != std::string::npos ? '/' : '\\';
  const std::string dataFolder = gameFolder + "data" + sep;
  LoadProjectContext(dataFolder, false);
  g_WorldMap.LoadFile(dataFolder + "WorldMap.dat");
  g_bFileTooNew = 0;

  cSaveData save;
  const eProgressFile state = ReadProgressFile(path, save);
  const bool loaded = state == eProgressFile::Whole;
  WriteVersionAndResult(out, path, loaded);
  if (!loaded) {
    error = LoadErrorText(path.c_str());
    // A file that reads but holds a story slot or ranking kind outside the game's tables.
    if (state == eProgressFile::Damaged && LastReadFault().kind == eReadFault::None)
      error += "\nqc4-dump: a story slot outside -1 to 98 or a ranking kind outside 0 to 4";
    return false;
  }
  WriteProgress(out, "cSaveData", save);
  return true;
}

bool MatchesStorySlot(std::string_view fileName) {
  // "Story" + two digits + ".dat"
  if (fileName.size() != 11 || !SameFileName(fileName.substr(0, 5), "Story") ||
      !SameFileName(fileName.substr(7), ".dat"))
    return false;
  return std::isdigit(static_cast<unsigned char>(fileName[5])) && std::isdigit(static_cast<unsigned char>(fileName[6]));
}

}  // namespace

QC4_DUMP_KIND(StorySlot, "StoryNN.dat", MatchesStorySlot, DumpProgress);
QC4_DUMP_KIND(
    Challenge, "Challenge.dat", [](std::string_view f) { return SameFileName(f, "Challenge.dat"); }, DumpProgress);
