// "data\System.dat": the project settings.
#include <string>

#include "data/database.h"
#include "data/load_error.h"
#include "data/system_data.h"
#include "dump_kind.h"
#include "record_json.h"

namespace {

// Scene music numbers are checked against the database's music list, which lives beside the
// settings in "database\Bgm.dat"; without it the default list stands, as in the game.
void LoadNeighbouringMusicList(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  g_Database.LoadDatabaseFile(kDbBgm, folder + "database\\Bgm.dat");
  // A refused music list must not make the settings' own error read as "too new": a settings file
  // that is missing leaves the flag as it finds it.
  g_bFileTooNew = 0;
}

bool DumpSystemData(const std::string& path, cJsonWriter& out, std::string& error) {
  LoadNeighbouringMusicList(path);
  cSystemData settings;
  const bool loaded = settings.LoadFile(path) != 0;
  WriteVersionAndResult(out, path, loaded);
  if (!loaded) {
    error = LoadErrorText(path.c_str());
    return false;
  }
  out.Key("cSystemData");
  out.BeginObject();
  WriteRecordFields(out, settings);
  WriteValueList(out, "m_abCarryOver", settings.m_abCarryOver);
  WriteValueList(out, "m_abCarryOverClear", settings.m_abCarryOverClear);
  WriteRecordList(out, "m_aStatusItems", settings.m_aStatusItems);
  WriteValueList(out, "m_anStartLives", settings.m_anStartLives);
  WriteValueList(out, "m_anModeOpt", settings.m_anModeOpt);
  WriteRecordList<cSysFlags>(
      out, "m_aModeRanking", settings.m_aModeRanking,
      [](cJsonWriter& w, const cSysFlags& flags) { WriteValueList(w, "m_abKinds", flags.m_abKinds); });
  WriteTextList(out, "m_astrTexts", settings.m_astrTexts);
  WriteTextList(out, "m_astrSystemSounds", settings.m_astrSystemSounds);
  WriteValueList(out, "m_anSceneBgm", settings.m_anSceneBgm);
  WriteValueList(out, "m_abSceneBgm", settings.m_abSceneBgm);
  WriteRecordList(out, "m_aTitleMenu", settings.m_aTitleMenu);
  WriteRecordList(out, "m_aMapMenu", settings.m_aMapMenu);
  WriteRecordList(out, "m_aOptionMenu", settings.m_aOptionMenu);
  WriteTextList(out, "m_astrRankRegChoices", settings.m_astrRankRegChoices);
  WriteTextList(out, "m_astrReplaySaveChoices", settings.m_astrReplaySaveChoices);
  WriteTextList(out, "m_astrReplayOrderChoices", settings.m_astrReplayOrderChoices);
  WriteRecordList(out, "m_aIniKeys", settings.m_aIniKeys);
  out.EndObject();
  return true;
}

}  // namespace

QC4_DUMP_KIND(
    SystemData, "System.dat", [](std::string_view f) { return SameFileName(f, "System.dat"); }, DumpSystemData);
