#include "stage/replay_play.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "core/numbers.h"
#include "data/game_data.h"
#include "data/load_error.h"
#include "data/replay_file.h"
#include "platform/files.h"
#include "platform/host_file_stream.h"
#include "shell/input_state.h"
#include "stage/play_trace.h"
#include "stage/replay_save.h"
#include "stage/stage_loading.h"

int g_bReplaySwitched = 0;

namespace {
cReplayRunOptions g_runOptions;

// The project's replay setting, or a command line that asks for the run's replay.
bool RecordingReplays() { return g_SystemData.m_bReplayOn || !g_runOptions.strRecordPath.empty(); }
}  // namespace

void RecordReplayFrame(const cInputState& input) {
  if (g_nPlayMode == kPlayModeReplay || !RecordingReplays()) return;
  g_InputLog.RecordInputFrame(static_cast<int16_t>(input.m_wDir), static_cast<int16_t>(input.m_wButton));
}

int PlayReplayFrame(cInputState& input) {
  input.ClearDirInput();
  input.ClearButtonInput();
  int16_t dir = 0, button = 0;
  if (g_InputLog.PlayInputFrame(dir, button)) return 1;
  input.m_wDir = static_cast<uint16_t>(dir);
  input.m_wButton = static_cast<uint16_t>(button);
  return 0;
}

void StartLivePlayLog(int32_t seed) {
  if (RecordingReplays()) {
    g_PrevPlayStartSave = g_PlayStartSave;
    g_PlayStartSave = g_SaveData;
    g_PrevInputLog.AssignInputLog(g_InputLog);
    g_InputLog.ResetInputLog();
    g_InputLog.m_nSeed = seed;
  }
  QcSrand(static_cast<uint32_t>(seed));
  g_ReplaySave.m_bSaved = 0;
}

void StartReplayPlayback() {
  g_InputLog.RewindPlayback();
  QcSrand(static_cast<uint32_t>(g_InputLog.m_nSeed));
  g_ReplaySave.m_bSaved = 0;
}

int LoadReplayForPlayback(const char* path) {
  uint32_t version = 0;
  if (!LoadReplayFile(path, g_InputLog, g_StageFile, g_StageData, g_SaveData, &version)) {
    ShowLoadError(path);
    return 0;
  }
  g_GameData.m_nReplayVersion = version;
  g_StagePath = path;
  g_nPlayMode = kPlayModeReplay;
  return 1;
}

int ReloadReplayForRestart() {
  if (g_nPlayMode != kPlayModeReplay) return 0;
  const bool switched = g_bReplaySwitched != 0;
  g_bReplaySwitched = 0;
  // Read into scratch records and handed over only when the whole file read: a file that went
  // missing or was damaged since leaves the play as it was, log included. The progress starts as it
  // is, since files older than the snapshot leave it untouched.
  cInputLog log;
  cStageData stage;
  cStageData settings;
  cSaveData progress = g_SaveData;
  uint32_t version = 0;
  if (!LoadReplayFile(g_StagePath.c_str(), log, stage, settings, progress, &version)) return 0;
  g_StageFile = std::move(stage);
  if (switched) g_StageData = std::move(settings);
  g_InputLog = std::move(log);
  g_SaveData = std::move(progress);
  g_GameData.m_nReplayVersion = version;
  return switched ? 1 : 0;
}

bool SetReplayRunOptions(const cReplayRunOptions& options, std::string* error) {
  g_runOptions = {};
  std::string why;
  if (!options.strRecordPath.empty() && !CanWriteHostFile(options.strRecordPath, &why)) {
    if (error) *error = "cannot write " + options.strRecordPath + " (" + why + ")";
    return false;
  }
  if (!options.strTracePath.empty() && !StartPlayTraceFile(options.strTracePath, &why)) {
    if (error) *error = "cannot write " + options.strTracePath + " (" + why + ")";
    return false;
  }
  // Kept only once both can be written: a refused run leaves nothing to write at its end.
  g_runOptions = options;
  return true;
}

const cReplayRunOptions& ReplayRunOptions() { return g_runOptions; }

std::string ReplayRunPlayPath() {
  std::string path;
  if (g_runOptions.strPlayPath.empty() || !GamePathFromHost(g_runOptions.strPlayPath, path)) return "";
  return path;
}

bool FinishReplayRun(std::string* error) {
  bool ok = true;
  auto fail = [&](const std::string& why) {
    if (error && error->empty()) *error = why;
    ok = false;
  };
  std::string why;
  if (!FinishPlayTraceFile(&why)) fail("cannot write the trace " + g_runOptions.strTracePath + " (" + why + ")");
  if (!g_runOptions.strRecordPath.empty()) {
    // The last play with frames: this one, or, when the run ended while a restart set up the next
    // attempt (a miss in a test play) before its first play frame, the attempt before it, which the
    // restart kept as the previous play. Both played this stage: another stage empties both logs.
    const bool thisPlay = !g_InputLog.m_anDirStates.empty();
    cInputLog& log = thisPlay ? g_InputLog : g_PrevInputLog;
    cSaveData& start = thisPlay ? g_PlayStartSave : g_PrevPlayStartSave;
    if (log.m_anDirStates.empty()) {
      fail("no play was recorded; " + g_runOptions.strRecordPath + " not written");
    } else {
      const std::vector<uint8_t> bytes = ReplayFileBytes(log, g_StageFile, g_StageData, start);
      if (!WriteHostFileAtomically(g_runOptions.strRecordPath, bytes.data(), bytes.size()))
        fail("cannot write the replay " + g_runOptions.strRecordPath + " (" + std::strerror(errno) + ")");
    }
  }
  return ok;
}
