// Starting a stage file for play, the numbered stages' paths and the outcome of a play.
#include "stage/stage_start.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "core/file_helpers.h"
#include "core/log.h"
#include "data/game_data.h"
#include "shell/app_globals.h"
#include "shell/scene_mgr.h"
#include "stage/replay_play.h"
#include "stage/scene_stage.h"
#include "stage/stage_loading.h"

std::string g_CurrentStageFile;

namespace {
std::atomic<int> g_nOutcome{kOutcomeRunning};
std::atomic<int> g_nOutcomeFrames{0};
std::atomic<int> g_nPlayFrames{0};
std::atomic<bool> g_bCommandLineReplay{false};
constexpr int kModeIndexFree = 2;
}  // namespace

int StartStageFromFile(const std::string& path, bool findNewest) {
  g_CurrentStageFile = path;
  // A free play starts a new progress.
  g_SaveData.ResetProgress(ProjectChallengeCount());
  if (!LoadPlayStage(path, findNewest, &g_StageData, &g_HeroType)) return 0;
  g_SaveData.m_nStage = 1;
  g_SaveData.m_nWorld = 1;
  const auto& infinite = g_SystemData.m_anModeOpt;
  const auto& startLives = g_SystemData.m_anStartLives;
  const size_t mode = kModeIndexFree;
  if (g_DirectPlay || (mode < infinite.size() && infinite[mode]) || mode >= startLives.size()) {
    g_SaveData.m_nStartLives = g_SaveData.m_nLives = kUnlimitedLives;
  } else {
    // The lives shown count the one being played: a start of n lives leaves n - 1 in reserve.
    g_SaveData.m_nStartLives = std::max(startLives[mode], 0);
    g_SaveData.m_nLives = std::max(g_SaveData.m_nStartLives - 1, 0);
  }
  std::string relative = path;
  ToRelativePathStr(relative, false);
  g_CurrentStageFile = relative;
  // The played file is the current stage: its results, rankings and replays go by its key.
  g_SaveData.SetCurrentStage(relative, 0, 0, 0);
  return 1;
}

bool StagePathOfNumber(int number, std::string& path) {
  if (number < 0 || number > 99) return false;
  char text[64];
  std::snprintf(text, sizeof text, "%s%02d-1.%s", "data\\stg4\\c", number, "stg4");
  path = text;
  return true;
}

bool StartStageDirectly(const std::string& path) {
  std::string found;
  if (!FindLastNumberedFileStr(found, path, "stg4")) {
    ReportLogPrintf("「%s」の読み込みに失敗しました！", path.c_str());
    return false;
  }
  g_DirectPlay = 1;
  g_RankingOn = 1;
  if (!StartStageFromFile(path, true)) {
    g_DirectPlay = 0;
    return false;
  }
  g_SaveData.m_bNumberedStage = 0;
  g_PlayMode = kPlayModeFree;
  g_ModeIndex = kModeIndexFree;
  g_SceneMgr.m_nScene = kSceneStage;
  g_SceneMgr.m_nPrevScene = kSceneTitle;
  return true;
}

bool StartReplayDirectly(const std::string& path) {
  if (!LoadReplayForPlayback(path.c_str())) return false;
  const int hero = HeroTypeIndex(g_StageFile);
  if (hero < 0) {
    ReportLogPrintf("「%s」の読み込みに失敗しました！", path.c_str());
    g_nPlayMode = kPlayModeFree;
    return false;
  }
  g_HeroType = g_StageFile.m_aCharas[static_cast<size_t>(hero)];
  g_CurrentStageFile = path;
  g_DirectPlay = 1;
  g_ModeIndex = kModeIndexFree;
  g_SceneMgr.m_nScene = kSceneStage;
  g_SceneMgr.m_nPrevScene = kSceneTitle;
  g_bCommandLineReplay.store(true);
  return true;
}

bool ReplayFromCommandLine() { return g_bCommandLineReplay.load(); }

void NoteStageOutcome(int outcome, int frames) {
  g_nOutcomeFrames.store(frames);
  g_nOutcome.store(outcome);
}
void NotePlayFrames(int frames) { g_nPlayFrames.store(frames); }
int LastStageOutcome() { return g_nOutcome.load(); }
int LastStageFrames() { return g_nOutcome.load() == kOutcomeRunning ? g_nPlayFrames.load() : g_nOutcomeFrames.load(); }
