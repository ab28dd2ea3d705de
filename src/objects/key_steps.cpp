// Key-input sequences of flows, read from the per-key logs of an input record: 10 direction logs
// (neutral, left, right, up, down, up-left, down-left, up-right, down-right, any) and 9 button logs
// (no button, buttons 1-8), each a list of runs {held, frames}, newest first.
//
// A sequence is walked from its last step back to its first along a position counted in frames
// back from now. Every key log is read at that position: the run it falls in, seen from there
// toward the past (its held state and the frames left until the run's older end). A step that
// matched moves the position back by its run length, to where the step's keys took that state.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

#include "data/system_data.h"
#include "objects/chara_base.h"
#include "objects/flow_guards.h"
#include "objects/flow_runner.h"
#include "objects/hero.h"
#include "objects/play_objects.h"
#include "objects/stage_state.h"
#include "shell/input_state.h"

namespace {

enum : uint8_t {
  kKeyIgnored = 0,
  kKeyPressed = 1,   // "押"
  kKeyReleased = 2,  // "離"
};
enum : int8_t {
  kKeyLogicAll = 0,
  kKeyLogicAny = 1,
  kKeyLogicOne = 2,
};

// A run of a key log seen from a position: found when the log reaches back that far.
struct cKeyRun {
  bool bFound = false;
  bool bHeld = false;
  int64_t nFrames = 0;  // from the position back to the run's older end
};

cKeyRun RunAt(const KeyLogList& log, int64_t position) {
  int64_t newer = 0;
  for (const KEYLOG& run : log) {
    if (run.nRun <= 0) break;  // the unused end of the log
    const int64_t older = newer + run.nRun;
    if (position < older) return {true, run.nState != 0, older - position};
    newer = older;
  }
  return {};
}

// The log of step entry e (0-9 directions, 10-18 buttons). While the character faces left, the
// entries of a facing-relative step read the mirrored direction: left and right, up-left and
// up-right, down-left and down-right change places.
const KeyLogList* KeyLogOf(const cInputState& input, int entry, bool mirrored) {
  if (entry >= kDirEventLists) {
    const size_t button = static_cast<size_t>(entry - kDirEventLists);
    return button < input.m_aButtonEvents.size() ? &input.m_aButtonEvents[button] : nullptr;
  }
  static constexpr int kMirror[kDirEventLists] = {0, 2, 1, 3, 4, 7, 8, 5, 6, 9};
  const size_t dir = static_cast<size_t>(mirrored ? kMirror[entry] : entry);
  return dir < input.m_aDirEvents.size() ? &input.m_aDirEvents[dir] : nullptr;
}

// Whether a step holds by its key logic when matched of its listed keys are in the asked state.
bool KeyLogicHolds(int8_t logic, int listed, int matched) {
  switch (logic) {
    case kKeyLogicAll: return listed > 0 && matched == listed;
    case kKeyLogicAny: return matched >= 1;
    case kKeyLogicOne: return matched == 1;
    default: return false;
  }
}

bool KeyRunMatches(const cKeyCond& step, uint8_t wanted, const cKeyRun& run) {
  if (!run.bFound) return false;
  if (wanted == kKeyPressed)
    return run.bHeld &&
           ((step.m_bAnyHold && run.nFrames > 0) || (step.m_nMinHold <= run.nFrames && run.nFrames <= step.m_nMaxHold));
  if (wanted == kKeyReleased) return !run.bHeld && run.nFrames > 0;
  return false;
}

// The run length of a step that matches at a position: the shortest matched run when all keys
// must match, the longest when one is enough, the matched one when exactly one must. A step that
// lists no key matches nothing.
std::optional<int64_t> StepRunAt(const cInputState& input, const cKeyCond& step, int64_t position, bool facingLeft) {
  const bool mirrored = facingLeft && step.m_bFacingRelative;
  const int entries = std::min(static_cast<int>(step.m_anKeyStates.size()), kKeyStateCount);
  int listed = 0;
  int matched = 0;
  int64_t shortest = std::numeric_limits<int64_t>::max();
  int64_t longest = 0;
  int64_t last = 0;
  for (int e = 0; e < entries; ++e) {
    const uint8_t wanted = step.m_anKeyStates[static_cast<size_t>(e)];
    if (wanted == kKeyIgnored) continue;
    ++listed;
    const KeyLogList* log = KeyLogOf(input, e, mirrored);
    const cKeyRun run = log ? RunAt(*log, position) : cKeyRun{};
    if (!KeyRunMatches(step, wanted, run)) continue;
    ++matched;
    shortest = std::min(shortest, run.nFrames);
    longest = std::max(longest, run.nFrames);
    last = run.nFrames;
  }
  if (!KeyLogicHolds(step.m_nKeyLogic, listed, matched)) return std::nullopt;
  if (step.m_nKeyLogic == kKeyLogicAll) return shortest;
  return step.m_nKeyLogic == kKeyLogicAny ? longest : last;
}

// The input the key sequences read: the player's hero's record (the first input record while the
// hero has none).
const cInputState* SequenceInput() {
  if (!g_HeroList.empty() && g_HeroList[0].m_lpInput) return g_HeroList[0].m_lpInput;
  return g_InputStates.empty() ? nullptr : &g_InputStates[0];
}

// The character whose facing mirrors the steps: the stage's current object, else the character.
const cCharaBase& FacingSource(const cCharaBase& chara) {
  const cStageState* stage = g_lpSceneStage;
  return stage && stage->m_lpCurObject ? *stage->m_lpCurObject : chara;
}

}  // namespace

bool MatchKeySteps(cCharaBase& chara, cFlowState& state) {
  const cInputState* input = SequenceInput();
  const std::vector<cKeyCond*>& steps = state.m_aKeySteps;
  if (!input || steps.empty()) return false;
  for (const cKeyCond* step : steps)
    if (!step) return false;
  const cFlow* flow = state.m_lpFlow;
  const bool facingLeft = FacingSource(chara).m_nFacing == 0;

  // The last step holds now, with no gap before it.
  const int lastIndex = static_cast<int>(steps.size()) - 1;
  std::optional<int64_t> length = StepRunAt(*input, *steps[static_cast<size_t>(lastIndex)], 0, facingLeft);
  if (!length) return false;
  if (flow && flow->m_bKeyRepeat && state.m_bKeyHeld) return true;
  int64_t position = *length;

  const int gap = flow ? flow->m_nKeyStepGap : 0;
  for (int i = lastIndex - 1; i >= 0; --i) {
    const cKeyCond& step = *steps[static_cast<size_t>(i)];
    length = StepRunAt(*input, step, position, facingLeft);
    if (!length) {
      if (gap <= 0) return false;
      // Up to gap frames toward the present...
      for (int k = 1; k <= gap && position - k >= 0; ++k) {
        length = StepRunAt(*input, step, position - k, facingLeft);
        if (length) {
          position -= k;
          break;
        }
      }
      // ... else one frame further into the past, which the later step must not also match
      // (except in older projects).
      if (!length) {
        length = StepRunAt(*input, step, position + 1, facingLeft);
        if (!length) return false;
        if (!g_SystemData.m_bLegacy669 &&
            StepRunAt(*input, *steps[static_cast<size_t>(i + 1)], position + 1, facingLeft))
          return false;
        position += 1;
      }
    }
    position += *length;
  }
  return true;
}

bool CheckKeySteps(cCharaBase& chara, cFlowState& state) {
  if (state.m_aKeySteps.empty()) return true;
  const cFlow* flow = state.m_lpFlow;
  if (flow && flow->m_bKeyRepeat) {
    const bool held = MatchKeySteps(chara, state);
    state.m_bKeyHeld = held ? 1 : 0;
    return held;
  }
  state.m_bKeyHeld = 0;
  if (!MatchKeySteps(chara, state)) {
    state.m_bKeyLatch = 0;
    return false;
  }
  if (state.m_bKeyLatch) {
    // Still held from an earlier frame: no new start, and a trigger-0 flow keeps its id taken
    // until the end of the frame step.
    if (flow && flow->m_nTrigger == 0 && flow->m_nFlowId != 0) {
      cStageState* stage = g_lpSceneStage;
      cCharaBase& object = stage && stage->m_lpCurObject ? *stage->m_lpCurObject : chara;
      SetFlowIdByte(object.m_abInUse, flow->m_nFlowId);
      SetFlowIdByte(chara.m_abRelease, flow->m_nFlowId);
      chara.m_bReleasePending = 1;
    }
    return false;
  }
  state.m_bKeyLatch = 1;
  return true;
}

bool KeyStepHeldNow(const cInputState& input, const cKeyCond& step) {
  const int entries = std::min(static_cast<int>(step.m_anKeyStates.size()), kKeyStateCount);
  int listed = 0;
  int matched = 0;
  for (int e = 0; e < entries; ++e) {
    const uint8_t wanted = step.m_anKeyStates[static_cast<size_t>(e)];
    if (wanted == kKeyIgnored) continue;
    ++listed;
    const KeyLogList* log = KeyLogOf(input, e, false);
    const bool held = log && !log->empty() && (*log)[0].nState != 0;
    if ((wanted == kKeyPressed && held) || (wanted == kKeyReleased && !held)) ++matched;
  }
  return KeyLogicHolds(step.m_nKeyLogic, listed, matched);
}

int FirstDirKeyDown(const cInputState& input) {
  for (int i = 0; i < kDirEventLists && static_cast<size_t>(i) < input.m_aDirEvents.size(); ++i) {
    const KeyLogList& log = input.m_aDirEvents[static_cast<size_t>(i)];
    if (!log.empty() && log[0].nState != 0) return i;
  }
  return 0;
}
