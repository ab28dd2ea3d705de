// "フローの操作": starts, stops, suspends, resumes, removes or halts flows of the actor or of one of its
// targets, after the command's own condition list; the result (1 done, 2 refused) into the flow
// variables when asked.
#include <cstdint>
#include <vector>

#include "core/containers.h"
#include "flow/action_cmds.h"
#include "flow/cmd_tables.h"
#include "objects/anim_seq.h"
#include "objects/chara_base.h"
#include "objects/flow_context.h"
#include "objects/flow_runner.h"
#include "objects/flow_state.h"
#include "objects/stage_hooks.h"
#include "objects/stage_state.h"

namespace {

enum : int { kOpStart = 0, kOpStop = 1, kOpSuspend = 2, kOpResume = 3, kOpRemove = 4, kOpHalt = 5 };
enum : int { kWhichThis = 0, kWhichAllOthers = 1, kWhichById = 2 };
constexpr int32_t kResultDone = 1;
constexpr int32_t kResultRefused = 2;

// Index of the flow state running now among the character's states, or -1.
int CurrentStateIndex(const cCharaBase& chara) {
  const cFlowState* current = g_lpSceneStage ? g_lpSceneStage->m_lpCurFlowState : nullptr;
  for (size_t i = 0; i < chara.m_aFlowStates.size(); ++i)
    if (&chara.m_aFlowStates[i] == current) return static_cast<int>(i);
  return -1;
}

void Operate(cCharaBase& owner, int index, int operation, bool ownFlows) {
  cFlowState& state = VecAt(owner.m_aFlowStates, index);
  switch (operation) {
    case kOpStart:
      StopFlow(state, owner);
      RemoveOverlaysOfSerial(owner.m_Overlays, state.m_nSerial);
      StartFlow(state);
      break;
    case kOpStop:
      StopFlow(state, owner);
      RemoveOverlaysOfSerial(owner.m_Overlays, state.m_nSerial);
      break;
    case kOpSuspend:
      SuspendFlow(state);
      HaltOverlaysOfSerial(owner.m_Overlays, state.m_nSerial);
      break;
    case kOpResume:
      ResumeFlow(state);
      ResumeOverlaysOfSerial(owner.m_Overlays, state.m_nSerial);
      break;
    case kOpRemove:
      // The actor's own flows may be running this very command: they go at the end of its frame step.
      if (ownFlows) {
        state.m_bRemove = 1;
        owner.m_bRemovePending = 1;
      } else {
        RemoveFlowState(owner, index);
      }
      break;
    case kOpHalt:
      HaltFlow(state, owner);
      RemoveOverlaysOfSerial(owner.m_Overlays, state.m_nSerial);
      break;
    default: break;
  }
}

}  // namespace

int CmdFlowOp(cCharaBase& actor, cCmdState& cmdState) {
  if (!cmdState.m_lpCmd) return 0;
  cFlowCmd& cmd = *cmdState.m_lpCmd;
  const int operation = VecAt(cmd.m_anParams, 0);
  const int which = VecAt(cmd.m_anParams, 1);
  const int flowId = VecAt(cmd.m_anParams, 2);
  const int whose = VecAt(cmd.m_anParams, 3);
  const bool store = VecAt(cmd.m_anParams, 4) != 0;
  int32_t* flowVars = g_lpSceneStage ? g_lpSceneStage->m_lpFlowVars : nullptr;

  if (cmd.m_pCondList && cmd.m_pCondList->m_bUse &&
      !EvalConditionList(cmd.m_pCondList->m_aConds, cmd.m_pCondList->m_nMode, &actor, flowVars)) {
    if (store) StoreFlowResult(kResultRefused);
    return 0;
  }
  cCharaBase* target = whose >= 1 && whose <= kTargetSlots ? VecAt(actor.m_apTargets, whose - 1) : nullptr;
  if (whose >= 1 && whose <= kTargetSlots && !target) {
    if (store) StoreFlowResult(kResultRefused);
    return 0;
  }
  cCharaBase* owner = which == kWhichById && target ? target : &actor;

  std::vector<int> indexes;
  const int current = CurrentStateIndex(actor);
  const int count = static_cast<int>(owner->m_aFlowStates.size());
  if (which == kWhichThis) {
    if (current >= 0) indexes.push_back(current);
  } else if (which == kWhichAllOthers) {
    for (int i = 0; i < count; ++i)
      if (i != current) indexes.push_back(i);
  } else if (which == kWhichById && flowId != 0) {
    for (int i = 0; i < count; ++i) {
      const cFlow* flow = owner->m_aFlowStates[static_cast<size_t>(i)].m_lpFlow;
      if (flow && flow->m_nFlowId == flowId) indexes.push_back(i);
    }
  }
  {
    // A flow started on another character takes that character's flow ids.
    cFlowContextScope keep;
    if (g_lpSceneStage) g_lpSceneStage->m_lpCurObject = owner;
    const bool ownFlows = owner == &actor;
    if (operation == kOpRemove && !ownFlows) {
      // From the last, so that each removal leaves the earlier indexes in place.
      for (auto it = indexes.rbegin(); it != indexes.rend(); ++it) Operate(*owner, *it, operation, ownFlows);
    } else {
      for (int index : indexes) Operate(*owner, index, operation, ownFlows);
    }
  }
  if (store) StoreFlowResult(kResultDone);
  return 0;
}
