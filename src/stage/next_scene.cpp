#include "stage/next_scene.h"

#include <cstdint>
#include <string>

#include "core/containers.h"
#include "core/file_helpers.h"
#include "core/log.h"
#include "data/game_data.h"
#include "data/input_log.h"
#include "data/option_data.h"
#include "data/replay_file.h"
#include "data/save_data.h"
#include "data/system_data.h"
#include "objects/play_objects.h"
#include "shell/app_globals.h"
#include "shell/list_positions.h"
#include "shell/menu_cursor.h"
#include "shell/scene_mgr.h"
#include "stage/replay_play.h"
#include "stage/scene_stage.h"
#include "stage/stage_end.h"
#include "stage/stage_loading.h"
#include "stage/stage_menus.h"

namespace {

// The playback-order options that step through the list in its order ("ソート順" and
// "ソート順＆ステージクリアのみ"); any other value repeats the same replay.
constexpr int32_t kReplayOrderSorted = 0;
constexpr int32_t kReplayOrderCleared = 1;
// The world-entry endings of the progress.
constexpr int32_t kEndingNextRound = 1;
constexpr int32_t kEndingGameOver = 2;

// Every hero's status kept for the next stage, in the carry-over slot of its index.
void StoreHeroesCarryOver(const cSceneStage& scene) {
  for (size_t i = 0; i < g_HeroList.size(); ++i) {
    const cHero& hero = g_HeroList[i];
    const cCharaEffectPlay& effect = hero.m_CharaEffect;
    g_SaveData.StoreCarryOver(static_cast<int>(i), hero.m_Type, hero.m_nHp, hero.m_nSp, effect.nEffect,
                              static_cast<int8_t>(effect.nPlayMode), static_cast<int8_t>(effect.bLoop), scene.m_nTimer,
                              g_SaveData.m_nLives, g_SaveData.m_nBgm);
  }
}

// The numbered stage the stage-clear command chose, loaded in place of the cleared one: the progress
// moves to its number and the replay logs start empty for it. false when the command chose none,
// or its file is missing or did not load (the loader has said why); the stage number has moved on
// in that case too, and the caller puts it back where it wants it.
bool LoadNextNumberedStage() {
  if (!g_SaveData.m_bNumberedStage || !g_SaveData.m_nNextStage) return false;
  g_SaveData.m_nStage = g_SaveData.m_nNextStage;
  std::string path;
  if (!BuildNextStagePath(path, g_SaveData.m_nStage, 0)) return false;
  if (!LoadPlayStage(path, true, &g_StageData, &g_HeroType)) return false;
  g_InputLog.ResetInputLog();
  g_PrevInputLog.ResetInputLog();
  return true;
}

int DecideStory(const cSceneStage& scene, int32_t stage) {
  if (LoadNextNumberedStage()) {
    // A play without a slot has nowhere to save itself.
    if (scene.m_bSaveOnClear && g_SaveData.m_bAutoSave && g_SaveData.m_nStorySlot >= 0)
      g_SaveData.SaveStorySlot(g_SaveData.m_nStorySlot);
    return kSceneStage;
  }
  VecAt(g_SaveData.m_anWorldFlags, g_SaveData.m_nWorld) = 1;
  g_SaveData.StoreStageResult(g_SaveData.m_strStageKey, g_SaveData.m_strResultKey, g_SaveData.m_bCondOn,
                              g_SaveData.m_nCondVar, g_SaveData.m_nCondValue, g_SaveData.m_nScoreTotal);
  switch (g_SaveData.m_nWorldEnding) {
    case kEndingNextRound:
      g_SaveData.ResetForNextRound();
      g_SaveData.m_nStage = stage;
      return kSceneWorldMap;
    case kEndingGameOver: g_MenuCursor.Top().nRow = g_PlayMode; return kSceneTitle;
    default: g_SaveData.m_nStage = stage; return kSceneWorldMap;
  }
}

int DecideChallenge(int32_t stage) {
  if (LoadNextNumberedStage()) return kSceneStage;
  g_SaveData.StoreChallengeClear();
  g_SaveData.SaveChallengeData();
  g_SaveData.m_nStage = stage;
  return kSceneStageSelect;
}

int DecideFree(int32_t stage) {
  if (!g_SaveData.m_bNumberedStage || g_DirectPlay) {
    // The same stage file again (the stage scene reads it afresh), the hero at its own placement.
    g_SaveData.m_bPlaceRequest = 0;
    return kSceneStage;
  }
  if (LoadNextNumberedStage()) return kSceneStage;
  g_SaveData.m_nStage = stage;
  return kSceneTitle;
}

}  // namespace

int DecideNextScene(cSceneStage& scene) {
  if (g_StageFile.m_bCarryOver) StoreHeroesCarryOver(scene);
  const int32_t stage = g_SaveData.m_nStage;
  switch (g_PlayMode) {
    case kPlayModeStoryNew:
    case kPlayModeStoryContinue: return DecideStory(scene, stage);
    case kPlayModeChallenge: return DecideChallenge(stage);
    case kPlayModeFree: return DecideFree(stage);
    case kPlayModeReplay: StepToAdjacentReplay(0, 0); return kSceneStage;
    default: return kSceneStageSelect;
  }
}

void StepToAdjacentReplay(int explicitStep, int step) {
  // In list order for the two sorted orders; the same replay again for the repeat order and for a
  // value the option does not know.
  if (!explicitStep)
    step =
        g_OptionData.m_nReplayOrder == kReplayOrderSorted || g_OptionData.m_nReplayOrder == kReplayOrderCleared ? 1 : 0;
  if (g_SystemData.m_bFileDialogs || g_ReplayList.empty() || step == 0) {
    g_SaveData.RestoreRetryState(1, g_DirectPlay != 0, g_ModeIndex);
    return;
  }
  const int32_t count = static_cast<int32_t>(g_ReplayList.size());
  std::string path;
  bool found = false;
  for (int32_t tries = 0; tries < count && !found; ++tries) {
    // The position comes from the player's file: stepped in a wider type, it cannot overflow.
    int64_t position = static_cast<int64_t>(g_ReplayData.m_nCursor) + step;
    if (position >= count) position = 0;
    if (position < 0) position = count - 1;
    g_ReplayData.m_nCursor = static_cast<int32_t>(position);
    const cReplayListEntry& entry = VecAt(g_ReplayList, g_ReplayData.m_nCursor);
    path = std::string(kReplayFolder) + entry.strFileName;
    ToFullPathStr(path);
    if (FileExists(path)) {
      g_ReplayData.m_strFileName = entry.strFileName;
      found = true;
    }
  }
  // Every replay of the list has gone from the folder: nothing is left to play.
  if (!found) FatalStop();
  g_StagePath = path;
  g_bReplaySwitched = 1;
}

bool ReplayListFilled() { return !g_ReplayList.empty(); }

void InstallNextScene() {
  cStageMenuHooks menus = SetStageMenuHooks({});
  menus.decideNextScene = DecideNextScene;
  menus.stepToAdjacentReplay = StepToAdjacentReplay;
  menus.replayListFilled = ReplayListFilled;
  SetStageMenuHooks(menus);
}
