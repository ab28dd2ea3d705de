// qc4-make-demo OUT_DIR: writes a small, complete demo game into OUT_DIR (created when missing):
// project data through the game's own records, bitmaps drawn by code, the 8-bit blend tables
// computed from its colours, sound effects and music synthesised by code. Files already there are
// replaced; nothing else in the folder is touched.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "demo_blend_tables.h"
#include "demo_data.h"
#include "demo_music.h"
#include "demo_palette.h"
#include "demo_pictures.h"
#include "demo_sounds.h"
#include "file_writers.h"
#include "platform/files.h"

namespace {

// The folders the demo's files go into (the game creates the rest of its working folders itself).
const char* const kFolders[] = {"data",     "data\\database", "data\\stg4", "bmp", "bmp\\plt",
                                "bmp\\hbt", "bmp\\effect",    "wave",       "bgm"};

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (WriteGameFile(path, bytes)) return true;
  std::fprintf(stderr, "qc4-make-demo: cannot write %s\n", path.c_str());
  return false;
}

bool MakeDemoGame() {
  for (const char* folder : kFolders)
    if (!CreateFolder(folder)) {
      std::fprintf(stderr, "qc4-make-demo: cannot create the folder %s\n", folder);
      return false;
    }
  for (const cDemoPicture& picture : MakeDemoPictures())
    if (!Write(picture.gamePath, EncodeBmp8(picture.canvas, DemoColours()))) return false;
  // The blend tables an 8-bit screen mixes colours with, one for each palette set.
  for (const cDemoBlendTable& table : MakeDemoBlendTables())
    if (!Write(table.gamePath, table.bytes)) return false;
  for (const std::vector<cDemoSound>& list : {MakeSystemSounds(), MakeDatabaseSounds()})
    for (const cDemoSound& sound : list)
      if (!Write(sound.gamePath, EncodeWave8(sound.samples, kSoundRate))) return false;
  for (const cDemoSong& song : MakeDemoSongs())
    if (!Write(song.gamePath, song.file)) return false;
  return WriteDemoProject();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: qc4-make-demo OUT_DIR\n");
    return 2;
  }
  std::error_code ec;
  std::filesystem::create_directories(argv[1], ec);
  if (ec || chdir(argv[1]) != 0) {
    std::fprintf(stderr, "qc4-make-demo: cannot use the folder %s\n", argv[1]);
    return 1;
  }
  // Every file is written by its game path relative to the game folder, as the game reads it.
  if (!MakeDemoGame()) return 1;
  std::printf("qc4-make-demo: demo game written to %s\n", argv[1]);
  return 0;
}
