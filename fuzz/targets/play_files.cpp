// The files that are played: a stage file and a replay, each loaded as the game loads it and played
// headless for a few frames.
#include <vector>

#include "data/game_data.h"
#include "data/replay_file.h"
#include "fuzz_targets.h"
#include "stage/stage_loading.h"
#include "targets/stage_play.h"

namespace {
// Frames played of each input: enough for the set-up's first flows, the first moves and contacts,
// and a few drawn pictures.
constexpr int kPlayedFrames = 4;
}  // namespace

bool FuzzStagePlay(const uint8_t* data, size_t size) {
  const cStagePlayRun run;
  const std::vector<uint8_t> bytes(data, data + size);
  if (LoadPlayStageBytes(bytes, "data\\stg4\\fuzz.stg4", &g_StageData, &g_HeroType) && WorthPlaying())
    PlayFrames(kPlayedFrames);
  return true;
}

bool FuzzReplayFile(const uint8_t* data, size_t size) {
  const cStagePlayRun run;
  const std::vector<uint8_t> bytes(data, data + size);
  uint32_t version = 0;
  if (!LoadReplayBytes(bytes, g_InputLog, g_StageFile, g_StageData, g_SaveData, &version)) return true;
  // Written back and read again, the replay must be written the same way.
  const std::vector<uint8_t> written = ReplayFileBytes(g_InputLog, g_StageFile, g_StageData, g_SaveData);
  {
    cInputLog log;
    cStageData stage, settings;
    cSaveData progress;
    if (!LoadReplayBytes(written, log, stage, settings, progress)) return false;
    if (ReplayFileBytes(log, stage, settings, progress) != written) return false;
  }
  // Played back as the replay list plays it.
  const int hero = HeroTypeIndex(g_StageFile);
  if (hero < 0) return true;
  g_GameData.m_nReplayVersion = version;
  g_nPlayMode = kPlayModeReplay;
  g_StagePath = "user_data\\rpl4\\fuzz.rpl4_986";
  g_HeroType = g_StageFile.m_aCharas[static_cast<size_t>(hero)];
  if (WorthPlaying()) PlayFrames(kPlayedFrames);
  return true;
}
