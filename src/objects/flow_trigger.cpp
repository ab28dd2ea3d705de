// Starting flows by trigger: which idle flows of a character a trigger starts, in the three orders
// of the "tried this frame" test that projects of different ages keep, with the partner put into
// the flow's target slot while its conditions are tested; and the per-frame reset of those flags.
#include "core/containers.h"
#include "data/system_data.h"
#include "objects/chara_base.h"
#include "objects/flow_context.h"
#include "objects/flow_guards.h"
#include "objects/flow_runner.h"
#include "objects/stage_hooks.h"
#include "objects/stage_state.h"
#include "shell/input_state.h"

namespace {

// The start conditions and the key sequence, with the partner in the flow's target slot when the
// flow asks for it; the slot gets its character back when they fail.
bool FlowMayStart(cCharaBase& chara, cFlowState& state, const cFlow& flow, cCharaBase* partner) {
  if (!flow.m_bPartnerToTarget || !partner) return CheckFlowCondition(state, chara) && CheckKeySteps(chara, state);
  const int slot = flow.m_nTargetSlot;
  cCharaBase* previous = nullptr;
  if (slot >= 0 && static_cast<size_t>(slot) < chara.m_apTargets.size())
    previous = chara.m_apTargets[static_cast<size_t>(slot)];
  chara.SetTarget(slot, partner);
  if (CheckFlowCondition(state, chara) && CheckKeySteps(chara, state)) return true;
  chara.SetTarget(slot, previous);
  return false;
}

// The direction key held when a flow starts: from the input record of the player who controls the
// character, record 0 for a computer-controlled one.
int StartKeyOf(const cCharaBase& chara) {
  const int record = chara.m_nControl == 0 ? chara.m_nPlayer : 0;
  if (record < 0 || static_cast<size_t>(record) >= g_InputStates.size()) return 0;
  return FirstDirKeyDown(g_InputStates[static_cast<size_t>(record)]);
}

}  // namespace

void ResetFlowFrameFlags(cCharaBase& chara) {
  for (cFlowState& state : chara.m_aFlowStates) {
    state.m_bTriedFrame = 0;
    state.m_bStartedFrame = 0;
  }
  for (uint8_t& started : chara.m_abStartedFrame) started = 0;
}

void TriggerFlows(cCharaBase& chara, int trigger) { TriggerFlowsWith(chara, trigger, nullptr, 0); }

void TriggerFlowsWith(cCharaBase& chara, int trigger, cCharaBase* partner, int group) {
  // The context of a trigger raised inside another flow's command comes back afterwards.
  cFlowContextScope context;
  cFlowsBusyScope busy(&chara);
  cStageState* stage = g_lpSceneStage;
  if (stage) stage->m_lpCurObject = &chara;
  const cSystemData& settings = g_SystemData;
  // The "tried this frame" test: before the running test (744 without 525), after the group test
  // (neither), or never (525).
  const bool triedFirst = settings.m_bLegacy744 == 1 && settings.m_bLegacy525 == 0;
  const bool triedAfterGroup = settings.m_bLegacy744 == 0 && settings.m_bLegacy525 == 0;

  for (size_t i = 0; i < chara.m_aFlowStates.size(); ++i) {
    cFlowState& state = chara.m_aFlowStates[i];
    if (stage) stage->m_lpFlowVars = state.m_anFlowVars;
    const cFlow* flow = state.m_lpFlow;
    if (!flow || flow->m_nTrigger != trigger) continue;
    // Removed while flows were running: it waits only for the end of the frame step to go.
    if (state.m_bRemove) continue;
    if (triedFirst) {
      if (state.m_bTriedFrame) continue;
      state.m_bTriedFrame = 1;
    }
    if (state.m_bRunning || state.m_bSuspended || state.m_bHalted || state.m_bStartedFrame) continue;
    const int id = flow->m_nFlowId;
    if (trigger == 0 && id != 0 && (FlowIdByteSet(chara.m_abInUse, id) || FlowIdByteSet(chara.m_abStartedFrame, id)))
      continue;
    if (group >= 1 && flow->m_nGroup != group) continue;
    if (triedAfterGroup) {
      if (state.m_bTriedFrame) continue;
      if (settings.m_bLegacy861) state.m_bTriedFrame = 1;
    }
    if (!FlowMayStart(chara, state, *flow, partner)) continue;
    if (!settings.m_bLegacy861) state.m_bTriedFrame = 1;
    state.m_nStartKey = StartKeyOf(chara);
    StartFlow(state);
  }
}
