// Replay files ("user_data\rpl4\2009_0307_140509_c01-1_CLEAR_.rpl4_986"): the stage as played, the
// input log and the progress the play began with, read as the replay list reads them. The stage's
// references are checked against the project beside the replay folder ("data", two folders up).
#include <string>

#include "data/input_log.h"
#include "data/load_error.h"
#include "data/replay_file.h"
#include "dump_kind.h"
#include "game_data_json.h"
#include "progress_json.h"
#include "record_json.h"

namespace {

bool DumpReplay(const std::string& path, cJsonWriter& out, std::string& error) {
  std::string gameFolder = FolderOf(path);
  for (int up = 0; up < 2 && !gameFolder.empty(); ++up)
    gameFolder = FolderOf(gameFolder.substr(0, gameFolder.size() - 1));
  const char sep = path.find('/') != std::string::npos ? '/' : '\\';
  LoadProjectContext(gameFolder + "data" + sep, true);

  cInputLog log;
  cStageData stage, settings;
  cSaveData progress;
  uint32_t version = 0;
  const bool loaded = LoadReplayFile(path.c_str(), log, stage, settings, progress, &version) != 0;
  WriteVersionAndResult(out, path, loaded);
  if (!loaded) {
    error = LoadErrorText(path.c_str());
    return false;
  }
  out.Key("cStageData");
  out.BeginObject();
  WriteRecordFields(out, stage);
  // The stage's lists, by their lengths: "qc4-dump" of a stage file shows them whole.
  const struct {
    const char* key;
    size_t count;
  } lists[] = {{"m_aPalBlocks", stage.m_aPalBlocks.size()}, {"m_aPalCharas", stage.m_aPalCharas.size()},
               {"m_aPalItems", stage.m_aPalItems.size()},   {"m_aBlocks", stage.m_aBlocks.size()},
               {"m_aCharas", stage.m_aCharas.size()},       {"m_aItems", stage.m_aItems.size()},
               {"m_aLayers", stage.m_aLayers.size()},       {"m_aTexts", stage.m_aTexts.size()}};
  out.Key("counts");
  out.BeginObject();
  for (const auto& list : lists) {
    out.Key(list.key);
    out.UInt(list.count);
  }
  out.EndObject();
  out.EndObject();

  out.Key("cInputLog");
  out.BeginObject();
  WriteRecordFields(out, log);
  WriteValueList(out, "m_anDirStates", log.m_anDirStates);
  WriteValueList(out, "m_anButtonStates", log.m_anButtonStates);
  WriteValueList(out, "m_anValues", log.m_anValues);
  WriteValueList(out, "m_anDirRuns", log.m_anDirRuns);
  WriteValueList(out, "m_anButtonRuns", log.m_anButtonRuns);
  int64_t frames = 0;
  for (int32_t run : log.m_anDirRuns) frames += run;
  out.Key("frames");
  out.Int(frames);
  out.EndObject();

  // Files before the progress snapshot end after the log.
  if (version >= kReplayProgressVersion) {
    WriteProgress(out, "cSaveData", progress);
  } else {
    out.Key("cSaveData");
    out.Null();
  }
  return true;
}

}  // namespace

QC4_DUMP_KIND(
    Replay, "Replay", [](std::string_view f) { return HasNumberedSuffix(f, "rpl4"); }, DumpReplay);
