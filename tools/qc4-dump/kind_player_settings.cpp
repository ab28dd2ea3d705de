// The player's settings records beside the game: "user_data\Option.dat" (the options, with the
// fix-ups of older files and the ranges the game brings them into), "user_data\Replay.dat" and
// "user_data\Free.dat" (where the replay and free-play lists stood), "user_data\Boot.dat" (the
// start-up dialog's choice) and "user_data\Window.dat" (the window placement).
#include <string>

#include "data/load_error.h"
#include "data/option_data.h"
#include "dump_kind.h"
#include "record_json.h"
#include "shell/boot_data.h"
#include "shell/list_positions.h"
#include "shell/window_data.h"

namespace {

// Loads the record as start-up does: a file that does not load leaves the record as constructed.
template <class T>
bool DumpSettingsRecord(const char* className, const std::string& path, cJsonWriter& out, std::string& error) {
  T record;
  const bool loaded = record.LoadFile(path) != 0;
  WriteVersionAndResult(out, path, loaded);
  if (!loaded) {
    error = LoadErrorText(path.c_str());
    return false;
  }
  out.Key(className);
  out.BeginObject();
  WriteRecordFields(out, record);
  out.EndObject();
  return true;
}

template <const char* Name>
bool MatchesName(std::string_view fileName) {
  return SameFileName(fileName, Name);
}

constexpr char kOption[] = "Option.dat";
constexpr char kReplay[] = "Replay.dat";
constexpr char kFree[] = "Free.dat";
constexpr char kBoot[] = "Boot.dat";
constexpr char kWindow[] = "Window.dat";

bool DumpOption(const std::string& path, cJsonWriter& out, std::string& error) {
  return DumpSettingsRecord<cOptionData>("cOptionData", path, out, error);
}
bool DumpReplayPosition(const std::string& path, cJsonWriter& out, std::string& error) {
  return DumpSettingsRecord<cReplayData>("cReplayData", path, out, error);
}
bool DumpFreePosition(const std::string& path, cJsonWriter& out, std::string& error) {
  return DumpSettingsRecord<cFreeData>("cFreeData", path, out, error);
}
bool DumpBoot(const std::string& path, cJsonWriter& out, std::string& error) {
  return DumpSettingsRecord<cBootData>("cBootData", path, out, error);
}
bool DumpWindow(const std::string& path, cJsonWriter& out, std::string& error) {
  return DumpSettingsRecord<cWindowData>("cWindowData", path, out, error);
}

}  // namespace

QC4_DUMP_KIND(Option, kOption, MatchesName<kOption>, DumpOption);
QC4_DUMP_KIND(ReplayPosition, kReplay, MatchesName<kReplay>, DumpReplayPosition);
QC4_DUMP_KIND(FreePosition, kFree, MatchesName<kFree>, DumpFreePosition);
QC4_DUMP_KIND(Boot, kBoot, MatchesName<kBoot>, DumpBoot);
QC4_DUMP_KIND(Window, kWindow, MatchesName<kWindow>, DumpWindow);
