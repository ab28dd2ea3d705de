// The play phase: one game frame of a running stage.
#include <algorithm>
#include <utility>

#include "core/containers.h"
#include "core/log.h"
#include "core/timing.h"
#include "data/game_data.h"
#include "media/graphics/display.h"
#include "media/sound/sound_effects.h"
#include "objects/flow_runner.h"
#include "objects/play_objects.h"
#include "platform/messages.h"
#include "shell/app_globals.h"
#include "shell/input_state.h"
#include "shell/scene_mgr.h"
#include "stage/activity_pass.h"
#include "stage/deferred_removals.h"
#include "stage/hits.h"
#include "stage/logic_substep.h"
#include "stage/project_rules.h"
#include "stage/replay_save.h"
#include "stage/scene_stage.h"
#include "stage/stage_menus.h"
#include "stage/stage_play_hooks.h"
#include "stage/stage_start.h"

namespace {

constexpr int kSoundHeroDefeated = 8;
// g_ModeIndex of a story play (its row of the project's mode table).
constexpr int kModeIndexStory = 0;
cStagePlayHooks g_playHooks;

void ClearThroughScene() {
  if (cSceneStage* scene = SceneStage()) scene->ClearStage();
}

// The defeat of the sub-step's passes, with its consequences: a defeat that ends the stage runs the
// stage-clear processing, a player-operated character's defeat is the hero's.
int DefeatThroughScene(cCharaBase& chara) { return ::DefeatChara(chara, ClearThroughScene); }

}  // namespace

cStagePlayHooks SetStagePlayHooks(const cStagePlayHooks& hooks) { return std::exchange(g_playHooks, hooks); }
const cStagePlayHooks& StagePlayHooks() { return g_playHooks; }
bool ReplayKeysHandled() { return g_playHooks.checkReplayKeys && g_playHooks.checkReplayKeys(); }

int cSceneStage::StepStageTimer(int delta) {
  if (m_bTimerStopped) return 0;
  if (!CountInterval(1, 60)) return 0;
  m_nTimer += delta;
  if (m_nTimer >= 1000) m_nTimer = kStageTimerMax;
  if (m_nTimer <= 0) {
    m_nTimer = 0;
    return 1;
  }
  return 0;
}

void cSceneStage::StepPlayTime() {
  if (m_nPlayTime >= kPlayTimeMax) return;
  ++m_nPlayFrames;
  m_nPlayTime = std::min<int32_t>(static_cast<int32_t>(static_cast<int64_t>(m_nPlayFrames) * 100 / 60), kPlayTimeMax);
}

void cSceneStage::StepActivity() { ::StepActivity(*this); }

void cSceneStage::ClearStage() {
  if (const auto finishStage = StageMenuHooks().finishStage) {
    finishStage(*this);
  } else {
    // Without the stage's results: a clear that counts marks the replay as cleared, and the play
    // reaches no ranking place.
    if (g_SaveData.m_bClearCounts) g_InputLog.m_bCleared = 1;
    m_bRankingDone = 0;
    m_bNewRanking = 0;
    m_anRankPlaces.assign(kRankingKindCount, -1);
  }
  m_nOutcome = kOutcomeCleared;
  m_nSubState = 0;
  m_nPhase = kStagePhaseStageEnd;
}

int cSceneStage::DefeatChara(cCharaBase& chara) { return chara.Defeat(); }

int cSceneStage::PhasePlay() {
  if (m_bAbort) {
    PostMessage(g_hMainWnd.load(), WM_CLOSE, 0, 0);
    return 1;
  }
  if (CheckPauseKey()) {
    m_nSubState = 0;
    m_nPhase = kStagePhasePauseMenu;
    return 1;
  }
  if (ReplayKeysHandled()) return 1;
  ++m_nFrameCount;

  cInputState& input = VecAt(g_InputStates, 0);
  cHero& hero = VecAt(g_HeroList, 0);
  if (g_PlayMode == kPlayModeReplay) {
    input.ClearDirInput();
    input.ClearButtonInput();
    if (!g_playHooks.playInputFrame || !g_playHooks.playInputFrame(input)) {
      // The log has ended: a replay from the command line ends the run; else the adjacent replay
      // plays (or the same one again, by the playback-order option).
      if (ReplayFromCommandLine()) {
        FinishPlay(m_nOutcome);
        return 1;
      }
      StepToNextReplay();
      SetupStage(1, 1);
      m_nPhase = kStagePhaseIntro;
      return 1;
    }
    input.m_nDirNumber = GetDirNumber(input.m_wDir);
    input.RecordInputHistory();
    input.UpdateKeyEvents();
  } else {
    if (hero.m_bNoDirInput) input.ClearDirInput();
    if (hero.m_bNoButtonInput) input.ClearButtonInput();
    if (input.m_wButton == 0)
      m_bButtonHold = 0;
    else if (m_bButtonHold)
      input.m_wButton = 0;
    input.RecordInputHistory();
    input.UpdateKeyEvents();
    if (g_playHooks.recordInputFrame) g_playHooks.recordInputFrame(input);
  }

  StepPlayTime();
  if (StepStageTimer(-1) && !hero.m_bDead) {
    RequestSound(kSoundHeroDefeated);
    if (DefeatChara(hero) == 1) ClearStage();
    if (g_playHooks.afterFrameLogic) g_playHooks.afterFrameLogic(m_nFrameCount);
    return 1;
  }

  StartLogicFrame();
  cSubStepEnds ends;
  ends.defeatChara = DefeatThroughScene;
  ends.clearStage = ClearThroughScene;
  const int n = g_StageFile.m_nSubSteps;
  bool ended = false;
  for (int i = 1; i <= n && !ended; ++i) {
    m_nSubStep = i;
    ++m_nSubStepTotal;
    StepActivity();
    if (RunLogicSubStep(ends)) {
      ended = true;
      break;
    }
    FlushDeferredRemovals(*this);
  }
  if (g_playHooks.afterFrameLogic) g_playHooks.afterFrameLogic(m_nFrameCount);
  if (ended) return 1;
  DrawStage(1, 1);
  return 1;
}

// The end of the hero's defeat display, as its drawing finds it (DrawHeroLayer).
void cSceneStage::HeroDefeatOver() {
  if (g_PlayMode == kPlayModeReplay) {
    if (ReplayFromCommandLine()) {
      FinishPlay(kOutcomeFailed);
      return;
    }
    StepToNextReplay();
    SetupStage(1, 1);
    m_nPhase = kStagePhaseIntro;
    return;
  }
  // A test play goes on after a miss as any direct start does (its lives never run out); the run
  // keeps the miss as the play's outcome until the next one ends.
  if (g_TestPlay) NoteStageOutcome(kOutcomeFailed, m_nFrameCount);
  AutoSaveReplay();
  if (!UseLife(g_SaveData)) {
    m_nSubState = 0;
    m_nPhase = kStagePhaseGameOver;
    return;
  }
  // A life is used: the stage's carried-over items the project drops on a miss go, and the progress
  // goes back to where the attempt started (the common variables by the retry setting).
  if (g_StageFile.m_bCarryOver) g_SaveData.ClearCarryOverFlags();
  g_SaveData.RestoreRetryState(0, g_DirectPlay != 0, g_ModeIndex);
  if (g_ModeIndex == kModeIndexStory && ContinueMenuAfterMiss()) {
    m_nSubState = 0;
    m_nPhase = kStagePhaseContinueMenu;
    return;
  }
  SetupStage(1, 0);
  m_nPhase = kStagePhaseIntro;
}
