// The stage scene's phases over the frozen stage: the pause menu, the stage-end display, the
// continue menu and game over. Each draws the stage outside play and its own menu or word on top,
// and leaves by setting the phase, the sub-state and, for another scene, the requested scene.
#include "stage/stage_menus.h"

#include <algorithm>
#include <utility>

#include "core/containers.h"
#include "core/log.h"
#include "core/strings.h"
#include "data/game_data.h"
#include "data/option_data.h"
#include "data/save_data.h"
#include "media/graphics/blit.h"
#include "media/graphics/composite_draw.h"
#include "media/graphics/display.h"
#include "media/graphics/font.h"
#include "media/graphics/surface_table.h"
#include "media/sound/sound_effects.h"
#include "platform/input/keyboard.h"
#include "platform/input/virtual_keys.h"
#include "platform/messages.h"
#include "shell/app_globals.h"
#include "shell/input_state.h"
#include "shell/menu_cursor.h"
#include "shell/scene_mgr.h"
#include "shell/system_menu_draw.h"
#include "stage/cmd_window.h"
#include "stage/project_rules.h"
#include "stage/replay_save.h"
#include "stage/scene_stage.h"
#include "stage/stage_play_hooks.h"
#include "stage/stage_start.h"

namespace {

cStageMenuHooks g_hooks;

// Replay playback moves to another replay (by step when explicitStep is set, else by the
// playback-order option); without the hook the same replay plays again, its progress put back whole.
void StepReplay(int explicitStep, int step) {
  if (g_hooks.stepToAdjacentReplay)
    g_hooks.stepToAdjacentReplay(explicitStep, step);
  else
    g_SaveData.RestoreRetryState(1, g_DirectPlay != 0, g_ModeIndex);
}

constexpr int kSurfaceAccessory = 50;
constexpr int kSurfaceWord = 52;
// The menus' 16-pixel rows and their arrow cursor on "bmp\Accessory.bmp".
constexpr int kRowHeight = 16;
constexpr int kCursorSize = 16;
constexpr int kCursorSourceX = 64;
// Cursor sound: slot 0, for up and down moves.
constexpr int kCursorSoundSlot = 0;
constexpr int kCursorSoundVertical = 2;

constexpr int kSoundDecide = 1;
constexpr int kSoundCancel = 2;
constexpr uint16_t kButtonDecide = 1;
constexpr uint16_t kButtonCancel = 2;

// The project's system texts.
constexpr int kTextPauseFirst = 19;
constexpr int kTextContinueFirst = 26;
constexpr int kTextContinueCount = 2;
constexpr int kTextRankingHint = 31;
// The ranking hint: font 1, centred at the bottom.
constexpr int kHintFont = 1;
constexpr int kHintCellWidth = 16;
constexpr int kHintY = 456;

// Game kinds (g_ModeIndex).
constexpr int32_t kModeStory = 0;
constexpr int32_t kModeChallenge = 1;
constexpr int32_t kModeFree = 2;
constexpr int32_t kModeReplay = 3;

// The clear word splits in over strips of this height; the stage-end counter's growth per frame.
constexpr int kClearSplitStrip = 4;
constexpr int kStageEndStep = 4;
// Where the clear word, the game-over word and the play totals stand.
constexpr int kClearWordX = 256;
constexpr int kClearWordY = 192;
constexpr int kGameOverX = 248;
constexpr int kGameOverY = 224;
constexpr int kTotalsX = 336;
constexpr int kTotalsY = 224;

// One word of "bmp\Word.bmp" at a screen position.
void DrawWord(int x, int y, int sx, int sy, int w, int h) {
  DDBlt(&g_BackBufferSD, x, y, w, h, &g_SurfaceData[kSurfaceWord], sx, sy, 1);
}

// The arrow at the menu cursor's position.
void DrawMenuCursor() {
  const CURSORENTRY& at = g_MenuCursor.Top();
  DDBlt(&g_BackBufferSD, at.nX, at.nY, kCursorSize, kCursorSize, &g_SurfaceData[kSurfaceAccessory], kCursorSourceX, 0,
        1);
}

cInputState& PlayerInput() { return VecAt(g_InputStates, 0); }

// The frame's input for a menu: buttons report once per press, directions repeat as menus repeat.
cInputState& MenuInput() {
  cInputState& input = PlayerInput();
  input.TriggerButtons(0);
  input.RepeatDirKeys();
  return input;
}

// The one-column menu's cursor move, with its sound.
void MoveMenuCursor(const cInputState& input, int x, int rows) {
  g_MenuCursor.MoveGridCursor(input, x, kStageMenuY, 0, kRowHeight, 1, rows);
  DS_PlayCursorSound(input.m_wDir, kCursorSoundVertical, kCursorSoundSlot);
}

// A flag of a progress list; an index the list does not hold (a damaged progress or a world the
// lists do not reach) counts as not set.
bool ListFlag(const std::vector<int32_t>& flags, int32_t index) {
  return index >= 0 && static_cast<size_t>(index) < flags.size() && flags[static_cast<size_t>(index)] != 0;
}

// The current world was cleared (story) / the current challenge stage was cleared.
bool WorldCleared() { return ListFlag(g_SaveData.m_anWorldFlags, g_SaveData.m_nWorld); }
bool ChallengeCleared() {
  const int32_t index = g_SaveData.m_nWorld - 1;
  const std::vector<cSaveVar>& records = g_SaveData.m_aChallenge;
  return index >= 0 && static_cast<size_t>(index) < records.size() &&
         records[static_cast<size_t>(index)].m_nValueA != 0;
}

// The player's ranking-entry option: 0 and 1 enter by hand (F3), 2 and 3 by themselves as the
// display is left.
bool RankingEntryByHand() { return g_OptionData.m_nRankingEntry == 0 || g_OptionData.m_nRankingEntry == 1; }
bool RankingEntryAutomatic() { return g_OptionData.m_nRankingEntry == 2 || g_OptionData.m_nRankingEntry == 3; }

void RegisterRanking(cSceneStage& scene) {
  if (g_hooks.registerRanking) g_hooks.registerRanking(scene);
}

// A restart inside the scene: the stage set up again, its intro next.
void RestartStage(cSceneStage& scene, int fresh) {
  scene.SetupStage(1, fresh);
  scene.m_nPhase = kStagePhaseIntro;
  scene.m_nSubState = 0;
}

// Back to the phase the pause key interrupted, exactly where it stood.
void ResumeSavedPhase(cSceneStage& scene) {
  scene.m_nPhase = scene.m_nSavedPhase;
  scene.m_nSubState = scene.m_nSavedSubState;
}

void ChoosePauseCmd(cSceneStage& scene, int cmd) {
  RequestSound(kSoundDecide);
  switch (cmd) {
    case kPauseEnd:
      AutoSaveReplay();
      scene.m_nPhase = kStagePhaseFadeOut;
      scene.m_nSubState = 0;
      if (g_DirectPlay) {
        // A stage started directly has nowhere to go back to: the program ends, and the stage
        // stands still until the window has closed.
        PostMessage(g_hMainWnd.load(), WM_CLOSE, 0, 0);
        scene.m_bClosing = 1;
      } else {
        g_SceneMgr.m_nRequestScene = kSceneTitle;
        g_MenuCursor.Top().nRow = g_PlayMode;
      }
      return;
    case kPauseContinue:
      scene.m_bButtonHold = 1;
      ResumeSavedPhase(scene);
      return;
    case kPauseRetry:
      scene.m_bButtonHold = 1;
      AutoSaveReplay();
      g_SaveData.RestoreRetryState(1, g_DirectPlay != 0, g_ModeIndex);
      RestartStage(scene, 0);
      return;
    case kPauseWorldMap:
      scene.m_bButtonHold = 1;
      AutoSaveReplay();
      g_SaveData.RestoreRetryState(0, g_DirectPlay != 0, g_ModeIndex);
      g_SaveData.m_bLeftStage = 1;
      scene.LeaveStage(kSceneWorldMap);
      return;
    case kPauseNextReplay:
    case kPausePrevReplay:
      scene.m_bButtonHold = 1;
      StepReplay(1, cmd == kPauseNextReplay ? 1 : -1);
      RestartStage(scene, 1);
      return;
    case kPauseReplayList:
      scene.m_bButtonHold = 1;
      scene.LeaveStage(kSceneReplayList);
      return;
    default: return;
  }
}

// Leaves the stage-end display for what follows the cleared stage. A test play, and a replay played
// from the command line, end with their stage.
void LeaveStageEnd(cSceneStage& scene) {
  scene.m_nBannerCounter = 0;
  if (g_TestPlay || ReplayFromCommandLine() || !g_hooks.decideNextScene) {
    scene.FinishPlay(kOutcomeCleared);
    return;
  }
  scene.LeaveStage(g_hooks.decideNextScene(scene));
}

}  // namespace

cStageMenuHooks SetStageMenuHooks(const cStageMenuHooks& hooks) { return std::exchange(g_hooks, hooks); }
const cStageMenuHooks& StageMenuHooks() { return g_hooks; }

void StepToNextReplay() { StepReplay(0, 0); }

void BuildPauseCmds(std::vector<cCmd>& cmds) {
  cmds.resize(kPauseCmdCount);
  for (int i = 0; i < kPauseCmdCount; ++i) {
    cmds[static_cast<size_t>(i)].m_bEnabled = 1;
    cmds[static_cast<size_t>(i)].m_strCaption = VecAt(g_SystemData.m_astrTexts, kTextPauseFirst + i);
  }
  const auto disable = [&](int cmd) { cmds[static_cast<size_t>(cmd)].m_bEnabled = 0; };
  const auto disableReplaySteps = [&] {
    disable(kPauseNextReplay);
    disable(kPausePrevReplay);
    disable(kPauseReplayList);
  };
  switch (g_ModeIndex) {
    case kModeStory:
      if (!PauseOffersStoryRetry() || !WorldCleared()) disable(kPauseRetry);
      if (!PauseOffersStoryWorldMap() || !WorldCleared()) disable(kPauseWorldMap);
      disableReplaySteps();
      break;
    case kModeChallenge:
      if (!PauseOffersChallengeRetry() || !ChallengeCleared()) disable(kPauseRetry);
      disable(kPauseWorldMap);
      disableReplaySteps();
      break;
    case kModeFree:
      disable(kPauseWorldMap);
      disableReplaySteps();
      break;
    case kModeReplay:
      disable(kPauseWorldMap);
      if (!g_hooks.replayListFilled || !g_hooks.replayListFilled()) disableReplaySteps();
      break;
    default: break;
  }
}

int cSceneStage::PhasePauseMenu() {
  if (ReplayKeysHandled()) return 1;
  BuildPauseCmds(m_aPauseCmds);
  if (m_nSubState == 0) {
    g_MenuCursor.Top().nRow = kPauseContinue;
    m_nSubState = 1;
  } else if (m_nSubState != 1) {
    return 1;
  }

  cInputState& input = MenuInput();
  const int x = GetCmdWindowLeft(kStageMenuCentreX, m_aPauseCmds);
  MoveMenuCursor(input, x, GetCmdCount(m_aPauseCmds));
  if (input.m_wButton & kButtonDecide) {
    ChoosePauseCmd(*this, GetCmdNum(g_MenuCursor.Top().nRow, m_aPauseCmds));
    return 1;
  }
  if (input.m_wButton & kButtonCancel) {
    RequestSound(kSoundCancel);
    m_bButtonHold = 1;
    ResumeSavedPhase(*this);
    return 1;
  }
  DrawStage(0, 1);
  DrawCmdWindow(&g_BackBufferSD, x, kStageMenuY, m_aPauseCmds);
  DrawMenuCursor();
  return 1;
}

int cSceneStage::PhaseStageEnd() {
  // A replay played from the command line has no one to press a button: it ends as the stages that
  // end by themselves do.
  const bool autoEnd = g_StageFile.m_bAutoResultEnd != 0 || ReplayFromCommandLine();
  if (!autoEnd) {
    if (CheckPauseKey()) {
      m_nSubState = 0;
      m_nPhase = kStagePhasePauseMenu;
      return 1;
    }
    // A replay saved by its key ends the frame, as in the other phases.
    if (ReplayKeysHandled()) return 1;
    if (RankingEntryByHand() && (GetAsyncKeyState(VK_F3) & 0x8000)) RegisterRanking(*this);
  }
  if (m_nSubState == 0) {
    m_nBannerCounter = 0;
    AutoSaveReplay();
    // A run that ends during the display ends with a cleared stage.
    NoteStageOutcome(kOutcomeCleared, m_nFrameCount);
    m_nSubState = 1;
  } else if (m_nSubState != 1) {
    return 1;
  }

  const cInputState& input = MenuInput();
  if (m_nBannerCounter >= kStageEndReady && (autoEnd || (input.m_wButton & kButtonDecide))) {
    if (!autoEnd) {
      if (m_bNewRanking && RankingEntryAutomatic())
        RegisterRanking(*this);
      else
        RequestSound(kSoundDecide);
    }
    LeaveStageEnd(*this);
    return 1;
  }

  // While the play may still be entered in a ranking by hand, its hint takes the captions' place.
  const bool anyPlace =
      std::any_of(m_anRankPlaces.begin(), m_anRankPlaces.end(), [](int32_t place) { return place != -1; });
  const bool hint = !g_ReturnToTitle && !autoEnd && !m_bRankingDone && anyPlace && RankingEntryByHand();
  DrawStage(0, hint ? 0 : 1);
  if (hint) {
    const char* text = VecAt(g_SystemData.m_astrTexts, kTextRankingHint).c_str();
    g_Font[kHintFont].DrawString(&g_BackBufferSD, kStageMenuCentreX - CountSjisChars(text) * kHintCellWidth / 2, kHintY,
                                 text);
  }

  if (!g_StageFile.m_nStageEndOpt35) {
    m_nBannerCounter = kStageEndReady;
  } else {
    // The counter only matters up to the ready mark; kept there, it never overflows however long
    // the display waits.
    m_nBannerCounter = std::min(m_nBannerCounter + kStageEndStep, kStageEndReady);
    if (m_nBannerCounter < kStageEndSplitEnd)
      DDBltStripes(&g_BackBufferSD, kClearWordX, kClearWordY, 128, 32, kClearSplitStrip,
                   kStageEndSplitEnd - m_nBannerCounter, &g_SurfaceData[kSurfaceWord], 0, 64, 1, 0);
    else
      DrawWord(kClearWordX, kClearWordY, 0, 64, 128, 32);
  }
  if (m_nBannerCounter >= kStageEndReady && g_RankingOn && !autoEnd && g_hooks.drawPlayTotals)
    g_hooks.drawPlayTotals(&g_BackBufferSD, kTotalsX, kTotalsY, m_anRankPlaces);
  return 1;
}

int cSceneStage::PhaseContinueMenu() {
  if (ReplayKeysHandled()) return 1;
  if (m_nSubState == 0) {
    g_MenuCursor.Top().nRow = 0;
    m_nSubState = 1;
  } else if (m_nSubState != 1) {
    return 1;
  }

  const cInputState& input = MenuInput();
  const int x = g_SystemData.GetMenuLeft(kStageMenuCentreX, kTextContinueFirst, kTextContinueCount, 1);
  MoveMenuCursor(input, x, kTextContinueCount);
  if (input.m_wButton & kButtonDecide) {
    RequestSound(kSoundDecide);
    if (g_MenuCursor.Top().nRow == 0) {
      SetupStage(1, 1);
      m_nSubState = 0;
      m_nPhase = kStagePhaseIntro;
    } else {
      g_SaveData.m_bLeftStage = 1;
      LeaveStage(kSceneWorldMap);
    }
    return 1;
  }
  DrawStage(0, 1);
  DrawSystemMenu(g_SystemData, x, kStageMenuY, kTextContinueFirst, kTextContinueCount, 1);
  DrawMenuCursor();
  return 1;
}

int cSceneStage::PhaseGameOver() {
  if (CheckPauseKey()) {
    m_nSubState = 0;
    m_nPhase = kStagePhasePauseMenu;
    return 1;
  }
  if (ReplayKeysHandled()) return 1;
  // The button as it is held: a button still down from the play leaves at once.
  if (PlayerInput().m_wButton & kButtonDecide) {
    RequestSound(kSoundDecide);
    NoteStageOutcome(kOutcomeFailed, m_nFrameCount);
    LeaveStage(kSceneTitle);
    return 1;
  }
  DrawStage(0, 1);
  if (g_StageFile.m_bKeyWaitCaption) DrawWord(kGameOverX, kGameOverY, 0, 96, 144, 32);
  return 1;
}
