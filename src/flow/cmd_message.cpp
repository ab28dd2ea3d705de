// "メッセージ" and "ゲームウエイト": message windows shown, re-shown in place or erased by number, the
// modal waits on them, and the choice made in a wait, stored for the flow and recorded for replays.
#include <algorithm>
#include <cstdint>
#include <list>
#include <string>
#include <vector>

#include "core/containers.h"
#include "core/numbers.h"
#include "data/input_log.h"
#include "data/play_mode.h"
#include "flow/cmd_tables.h"
#include "flow/flow_stage.h"
#include "flow/mes_window.h"
#include "media/sound/sound_effects.h"
#include "objects/play_objects.h"
#include "objects/stage_hooks.h"

namespace {

// Message wait modes (P6).
enum : int32_t {
  kWaitForKey = 0,
  kWaitForTime = 2,
};
// System sound of a message that opens a key wait.
constexpr int kSoundMessageOpens = 11;

// Tenths of a second as frames (saturating: the value comes from the stage file).
int32_t TenthsToFrames(int32_t tenths) { return TruncToInt(tenths * 6.0); }

// Takes the window off the stage's list with its surface, when it is still there.
void RemoveMesWindow(cFlowStage& stage, int32_t handle) {
  auto window = FindMesWindow(stage.m_MesWindows, handle);
  if (window == stage.m_MesWindows.end()) return;
  window->ReleaseMesSurface();
  stage.m_MesWindows.erase(window);
}

}  // namespace

void CmdGameWait(cCharaBase&, cFlowCmd& cmd) {
  cFlowStage* stage = FlowStage();
  if (!stage) return;
  const int32_t frames = TenthsToFrames(VecAt(cmd.m_anParams, 0));
  MESWINDOWARGS args;
  args.nKind = kMesTimer;
  args.bFixed = 1;
  args.nCloseMode = 2;
  args.nLifeFrames = frames;
  args.bCountWhileHeld = 1;
  const int32_t handle = stage->m_MesWindows.emplace_back(args).m_nHandle;
  SetupGameWait(kWaitTimer, 0, frames, 0, nullptr);
  RunModalWait(0);
  RemoveMesWindow(*stage, handle);
}

void CmdMessage(cCharaBase& actor, cFlowCmd& cmd, int continuation) {
  cFlowStage* stage = FlowStage();
  if (!stage || stage->m_bAbort) return;
  const auto P = [&](int i) { return Param(cmd, i); };
  const int32_t erase = P(15);
  const int32_t numbered = P(12);
  const int32_t number = P(13);
  const bool withChoices = P(19) != 0;
  std::vector<cChoiceEntry> choices;
  std::list<cMesWindow>& windows = stage->m_MesWindows;

  // A numbered window is erased, re-shown in place when the new text measures the same, or replaced
  // at its place.
  auto reused = windows.end();
  auto insertAt = windows.end();
  if (numbered) {
    auto shown = std::find_if(windows.begin(), windows.end(),
                              [&](const cMesWindow& w) { return w.m_bNumbered && w.m_nNumber == number; });
    if (shown == windows.end()) {
      if (erase) return;
    } else if (erase) {
      shown->ReleaseMesSurface();
      windows.erase(shown);
      return;
    } else {
      std::string text = cmd.m_strText;
      if (P(9) && P(19)) FormatMesText(text, P(9), P(19), nullptr, 0);
      int width = 0, height = 0;
      MeasureText(text, width, height);
      if (width == shown->m_nWidth && height == shown->m_nHeight) {
        reused = shown;
      } else {
        shown->ReleaseMesSurface();
        insertAt = windows.erase(shown);
      }
    }
  } else if (erase) {
    return;
  }

  const int32_t life = P(17) ? 1 : TenthsToFrames(P(7));
  const int32_t anchor = P(0);
  int32_t speaker = 0;
  if (anchor >= 1 && anchor <= 3) {
    speaker = actor.m_nNumber;
  } else if (anchor >= 4 && anchor <= 6 && !g_HeroList.empty()) {
    speaker = g_HeroList.front().m_nNumber;
  }

  MESWINDOWARGS args;
  args.nKind = kMesText;
  args.strText = cmd.m_strText;
  args.nAnchor = anchor;
  args.nUnit = P(18);
  args.nPosX = P(1);
  args.nPosY = P(2);
  args.nOffsetX = P(3);
  args.nOffsetY = P(4);
  args.bClampToScreen = P(5);
  args.bFixed = P(10);
  args.nCloseMode = P(6);
  args.nLifeFrames = life;
  args.bCountWhileHeld = P(8);
  args.nTarget = speaker;
  args.bNoOpening = continuation;
  args.bExpandCodes = P(9);
  args.bRefresh = P(11);
  args.nRefreshFrames = P(16);
  args.bBox = P(14);
  args.bNumbered = P(12);
  args.nNumber = P(13);
  args.bChoices = P(19);
  args.lpChoices = withChoices ? &choices : nullptr;

  int32_t handle = 0;
  if (reused != windows.end()) {
    reused->ResetMesWindow(args);
    handle = reused->m_nHandle;
  } else {
    handle = windows.emplace(insertAt, args)->m_nHandle;
  }
  if (!P(8)) return;

  if (P(6) == kWaitForKey) {
    SetupGameWait(kWaitMessage, 1, 0, continuation, args.lpChoices);
    if (!continuation) RequestSound(kSoundMessageOpens);
  } else if (P(6) == kWaitForTime) {
    SetupGameWait(kWaitMessage, 0, life, continuation, args.lpChoices);
  } else {
    // Another mode waits as the record was left, but never with an earlier message's choices: no
    // choice of this message is recorded, so a replay must not take one for it either.
    stage->m_GameWait.DropChoices();
  }
  RunModalWait(1);

  if (withChoices && !choices.empty()) {
    // The selection may come from a replay: only a choice that was shown counts.
    const int32_t selection =
        std::clamp<int32_t>(stage->m_GameWait.m_nSelection, 0, static_cast<int32_t>(choices.size()) - 1);
    if (P(20)) StoreFlowResult(choices[static_cast<size_t>(selection)].nValue);
    if (g_nPlayMode != kPlayModeReplay) g_InputLog.RecordInputValue(selection);
  }
  // The window is found by its handle: the stage may have removed it during the wait.
  RemoveMesWindow(*stage, handle);
}
