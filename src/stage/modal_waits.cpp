#include "stage/modal_waits.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <utility>

#include "core/log.h"
#include "core/numbers.h"
#include "core/thread.h"
#include "data/input_log.h"
#include "data/option_data.h"
#include "data/play_mode.h"
#include "data/save_data.h"
#include "flow/flow_stage.h"
#include "media/sound/sound_effects.h"
#include "objects/chara_base.h"
#include "objects/stage_hooks.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "shell/game_loop.h"
#include "shell/input_state.h"
#include "shell/joystick_detect.h"
#include "shell/main_window.h"
#include "shell/menu_cursor.h"
#include "shell/scene_mgr.h"
#include "stage/deferred_removals.h"

namespace {

cModalWaitHooks g_hooks;

// Automatic message advance in replay playback: the option value that turns it off, and how long
// the loop goes on after the window closes before it quits on its own.
constexpr int kNoAutoAdvance = 21;
constexpr uint32_t kAbortGraceMs = 2000;
// Default rules of a choice.
enum : int32_t {
  kRuleAlways = 1,
  kRuleCommonVar = 2,
  kRuleStageVar = 3,
  kRuleObjectVar = 4,
  kRuleFlowVar = 5,
};

// Player 0's input record; a stand-in when there is none, so the loop needs no checks.
cInputState& PlayerInput() {
  static thread_local cInputState none;
  return g_InputStates.empty() ? none : g_InputStates[0];
}

// A variable the default rule names; false when the rule's variable does not exist (an index from
// the message text out of range, no object or flow running).
bool RuleVariable(const cFlowStage& stage, const cChoiceEntry& entry, int32_t& value) {
  const auto from = [&](const std::vector<int32_t>& vars) {
    if (entry.nIndex < 0 || static_cast<size_t>(entry.nIndex) >= vars.size()) return false;
    value = vars[static_cast<size_t>(entry.nIndex)];
    return true;
  };
  switch (entry.nAction) {
    case kRuleCommonVar: return from(g_SaveData.m_anCommonVars);
    case kRuleStageVar: return from(stage.m_anStageVars);
    case kRuleObjectVar: return stage.m_lpCurObject && from(stage.m_lpCurObject->m_anVars);
    case kRuleFlowVar:
      if (!stage.m_lpFlowVars || (entry.nIndex != 1 && entry.nIndex != 2)) return false;
      value = stage.m_lpFlowVars[entry.nIndex - 1];
      return true;
    default: return false;
  }
}

// The row the choice cursor starts on: the recorded choice in replay playback, else the last
// "always" entry before the first entry whose variable holds its value (that one wins).
int32_t DefaultChoiceRow(const cFlowStage& stage, const cGameWait& wait) {
  int32_t row = 0;
  if (g_nPlayMode == kPlayModeReplay) {
    row = g_InputLog.PlayInputValue();
  } else {
    for (size_t i = 0; i < wait.m_aChoices.size(); ++i) {
      const cChoiceEntry& entry = wait.m_aChoices[i];
      if (entry.nAction == kRuleAlways) {
        row = static_cast<int32_t>(i);
        continue;
      }
      int32_t value = 0;
      if (RuleVariable(stage, entry, value) && value == entry.nValue) {
        row = static_cast<int32_t>(i);
        break;
      }
    }
  }
  // A damaged replay may hold any value: the cursor stays on a shown row.
  return std::clamp(row, 0, std::max(wait.m_nChoiceCount - 1, 0));
}

// The cursor of a one-column list: up before down, wrapping at both ends.
void MoveChoiceRow(uint16_t dir, int32_t& row, int32_t rows) {
  if (dir & kDirUp) {
    --row;
  } else if (dir & kDirDown) {
    ++row;
  }
  if (row < 0) row = rows - 1;
  if (row >= rows) row = 0;
  if (row < 0) row = 0;
}

// Frames a key wait lasts in replay playback before it ends by itself, by the player's automatic
// message-advance option; -1 never.
int32_t AutoAdvanceLimit() {
  const int option = g_OptionData.m_nMessageAutoSeconds;
  if (option == kNoAutoAdvance) return -1;
  const double fps = g_SceneMgr.m_nFrameRate;
  if (option == 0) return TruncToInt(fps * 0.1);
  return TruncToInt(fps * std::trunc(option * 0.5));
}

// Player 0's input as it was when the wait began, put back however the wait ends: neither the keys
// the viewer pressed during the wait nor their history reach the play frames (live or replayed).
class cSavedPlayerInput {
 public:
  cSavedPlayerInput() {
    cInputState& input = PlayerInput();
    input.CopyInputTo(m_Saved);
    input.ClearInputHistory();
    input.ResetKeyEvents();
    input.ClearDirInput();
    input.ClearButtonInput();
    // The wait starts as if button 1 had been down the frame before: a key still held from before
    // (the press that ended the previous message) must be let go and pressed anew.
    input.m_wButton = 1;
    input.RecordInputHistory();
    input.ClearButtonInput();
  }
  ~cSavedPlayerInput() { PlayerInput().CopyInputFrom(m_Saved); }
  cSavedPlayerInput(const cSavedPlayerInput&) = delete;
  cSavedPlayerInput& operator=(const cSavedPlayerInput&) = delete;

 private:
  cInputState m_Saved;
};

// The frame steps both nested loops share before their own work: pacing, lost surfaces, input.
// False when the surfaces could not be restored (the program is closing; the frame is skipped).
bool StartNestedFrame() {
  WaitFrameTiming();
  if (!g_SceneMgr.CheckLostSurfaces()) {
    g_bQuit.store(1);
    PostMessage(g_hMainWnd.load(), WM_CLOSE, 0, 0);
    return false;
  }
  PollInput(g_InputStates);
  return true;
}

void DrawAndPresent() {
  if (g_hooks.drawWaitFrame) g_hooks.drawWaitFrame();
  g_SceneMgr.PresentFrame();
}

// One frame of the pause loop: 1 when the wait has ended, else 0.
int PauseFrame(cGameWait& wait) {
  if (!StartNestedFrame()) return 0;
  cInputState& input = PlayerInput();
  input.RecordInputHistory();
  input.TriggerButtons(0);
  if (wait.m_nChoiceCount > 0 && wait.m_nKeyDelay < 1) {
    input.RepeatDirKeys();
    MoveChoiceRow(input.m_wDir, wait.m_nSelection, wait.m_nChoiceCount);
    DS_PlayCursorSound(input.m_wDir, 2, 0);
  }
  if (g_hooks.checkReplayKeys && g_hooks.checkReplayKeys()) return 0;
  if (wait.m_nKeyDelay >= 1) {
    --wait.m_nKeyDelay;
  } else if (wait.m_bWaitKey) {
    const bool press = (input.m_wButton & 1) && !(input.GetPastInput(1, 1) & 1);
    if (press && g_hooks.holdButtons) g_hooks.holdButtons();
    bool ends = press;
    if (!ends && g_nPlayMode == kPlayModeReplay) {
      const int32_t limit = AutoAdvanceLimit();
      if (limit >= 0) {
        if (wait.m_nCounter < limit) {
          ++wait.m_nCounter;
        } else {
          ends = true;
        }
      }
    }
    if (ends) {
      RequestSound(wait.m_nKind == kWaitMessage && wait.m_nChoiceCount == 0 ? kSoundMessageEnds : kSoundWaitDecide);
      return 1;
    }
  } else if (--wait.m_nFrames < 0) {
    return 1;
  }
  DrawAndPresent();
  return 0;
}

struct cPauseRun {
  cFlowStage* lpStage = nullptr;
  int nResult = 0;
};

unsigned PauseEntry(void* arg) {
  auto* run = static_cast<cPauseRun*>(arg);
  run->nResult = PauseThreadProc(*run->lpStage);
  return 1;
}

unsigned RankingEntry(void*) { return static_cast<unsigned>(RankingThreadProc()); }

}  // namespace

cModalWaitHooks SetModalWaitHooks(const cModalWaitHooks& hooks) { return std::exchange(g_hooks, hooks); }

bool StageWaitAborted(const cFlowStage& stage) {
  return std::atomic_ref<int32_t>(const_cast<int32_t&>(stage.m_bAbort)).load() != 0;
}

void AbortStageWait() {
  if (cStageState* stage = g_lpSceneStage) std::atomic_ref<int32_t>(stage->m_bAbort).store(1);
}

void SetupStageGameWait(int kind, int waitKey, int frames, int noDelay, const std::vector<cChoiceEntry>* choices) {
  if (cFlowStage* stage = FlowStage()) stage->m_GameWait.Arm(kind, waitKey, frames, noDelay, choices);
}

int PauseThreadProc(cFlowStage& stage) {
  if (StageWaitAborted(stage)) return 0;
  // Each wait draws its own numbers from the start, whatever thread ran before.
  QcSrand(1);
  cSavedPlayerInput saved;
  cGameWait& wait = stage.m_GameWait;
  if (wait.m_nChoiceCount > 0) {
    // A choice menu starts the menus' cursor afresh; the wait keeps its row as the selection.
    g_MenuCursor.ResetCursorStack();
    wait.m_nSelection = DefaultChoiceRow(stage, wait);
  }

  bool abortNoted = false;
  uint32_t abortSince = 0;
  for (;;) {
    cThread::SafePoint();
    MSG msg;
    if (PeekMessage(&msg, true)) {
      if (msg.message == WM_QUIT) return 1;
      continue;  // the start message and anything else
    }
    if (!g_AppActive.load()) {
      QcSleep(1);
      continue;
    }
    if (StageWaitAborted(stage)) {
      // The window is closing: nothing more is drawn; the close posts WM_QUIT, or the loop posts it
      // itself after a grace time.
      const uint32_t now = timeGetTime();
      if (!abortNoted) {
        abortNoted = true;
        abortSince = now;
      } else if (now - abortSince >= kAbortGraceMs) {
        PostThreadMessage(GetCurrentThreadId(), WM_QUIT, 0, 0);
      }
      QcSleep(1);
      continue;
    }
    if (PauseFrame(wait)) return 1;
  }
}

int RunStageModalWait(int postStart) {
  cFlowStage* stage = FlowStage();
  if (!stage || StageWaitAborted(*stage)) return 0;
  cPauseRun run{stage, 0};
  {
    // Drawing on thPause may find characters, windows and pictures finished while this thread is
    // inside a sub-step: their removal waits for the sub-step's end.
    cDeferRemovals defer;
    if (!thPause.Start(PauseEntry, &run)) {
      LogPrintf("thPause Start Err");
      return 0;
    }
    // The thread's queue is ready once Start returns; a post that fails means it has ended already.
    if (postStart) PostThreadMessage(thPause.GetThreadId(), kMsgWaitStart, 0, 0);
    thPause.Join();
  }
  return StageWaitAborted(*stage) ? 0 : 1;
}

int RankingThreadProc() {
  if (g_hooks.stepRankingKind) g_hooks.stepRankingKind(0);
  for (;;) {
    cThread::SafePoint();
    MSG msg;
    if (PeekMessage(&msg, true)) {
      if (msg.message == WM_QUIT) return 1;
      continue;
    }
    if (!g_AppActive.load()) {
      QcSleep(1);
      continue;
    }
    if (!StartNestedFrame()) continue;
    cInputState& input = PlayerInput();
    input.TriggerButtons(0);
    input.RepeatDirKeys();
    if (input.m_wButton & 1) {
      RequestSound(kSoundWaitDecide);
      return 1;
    }
    const int kinds = g_hooks.rankingKindCount ? g_hooks.rankingKindCount() : 1;
    if ((input.m_wButton & 8) && kinds > 1) {
      RequestSound(kSoundRankingKind);
      if (g_hooks.stepRankingKind) g_hooks.stepRankingKind(1);
    }
    if (g_hooks.drawWaitFrame) g_hooks.drawWaitFrame();
    if (g_hooks.drawRanking) g_hooks.drawRanking();
    g_SceneMgr.PresentFrame();
  }
}

int RunRankingDisplay() {
  cDeferRemovals defer;
  if (!thRanking.Start(RankingEntry, nullptr)) {
    LogPrintf("thRanking Start Err");
    return 1;
  }
  thRanking.Join();
  return 1;
}

void InstallModalWaits() {
  cStageHooks stage = SetStageHooks({});
  stage.setupGameWait = SetupStageGameWait;
  stage.runModalWait = RunStageModalWait;
  SetStageHooks(stage);
  cUiHooks ui = SetUiHooks({});
  ui.abortStageWait = AbortStageWait;
  SetUiHooks(ui);
}
