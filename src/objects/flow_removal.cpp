// Removing flows from a character (one state, or every flow of an id) and freeing the flow ids
// released during its frame step. While the character's flows are being triggered or stepped the
// removed states are only stopped and flagged; RemoveFlaggedFlows takes them out when the frame
// step has ended, so that nothing running holds a state that is gone.
#include <vector>

#include "data/flow.h"
#include "objects/anim_seq.h"
#include "objects/chara_base.h"
#include "objects/flow_guards.h"
#include "objects/flow_runner.h"

namespace {

void StopAndDropOverlays(cCharaBase& chara, cFlowState& state) {
  StopFlow(state, chara);
  RemoveOverlaysOfSerial(chara.m_Overlays, state.m_nSerial);
}

void FlagForRemoval(cCharaBase& chara, cFlowState& state) {
  StopAndDropOverlays(chara, state);
  state.m_bRemove = 1;
  chara.m_bRemovePending = 1;
}

// Erases flow i and its state, without rebinding.
void EraseFlowAt(cCharaBase& chara, size_t i) {
  std::vector<cFlow>& flows = chara.m_Type.m_aFlows;
  if (i < flows.size()) flows.erase(flows.begin() + static_cast<std::ptrdiff_t>(i));
  chara.m_aFlowStates.erase(chara.m_aFlowStates.begin() + static_cast<std::ptrdiff_t>(i));
}

}  // namespace

void RemoveFlowState(cCharaBase& chara, int i) {
  if (i < 0 || static_cast<size_t>(i) >= chara.m_aFlowStates.size()) return;
  cFlowState& state = chara.m_aFlowStates[static_cast<size_t>(i)];
  if (FlowsBusy(chara)) {
    FlagForRemoval(chara, state);
    return;
  }
  StopAndDropOverlays(chara, state);
  EraseFlowAt(chara, static_cast<size_t>(i));
  RebindFlowStates(chara);
}

// The flows are chosen by their id (the "A" to "Z" of the change-flow command); id 0 takes every
// flow.
int RemoveFlowsByGroup(cCharaBase& chara, int group) {
  const bool busy = FlowsBusy(chara);
  if (group == 0) {
    for (cFlowState& state : chara.m_aFlowStates) {
      if (busy)
        FlagForRemoval(chara, state);
      else
        StopFlow(state, chara);
    }
    chara.m_Overlays.clear();
    if (!busy) {
      chara.m_Type.m_aFlows.clear();
      chara.m_aFlowStates.clear();
    }
    return 0;
  }
  // Every chosen state is stopped before any flow is erased: a state's flow pointer is stale once
  // a flow before it has gone.
  const std::vector<cFlow>& flows = chara.m_Type.m_aFlows;
  std::vector<size_t> chosen;
  for (size_t i = 0; i < chara.m_aFlowStates.size() && i < flows.size(); ++i)
    if (flows[i].m_nFlowId == group) chosen.push_back(i);
  if (chosen.empty()) return -1;
  for (size_t i : chosen) {
    if (busy)
      FlagForRemoval(chara, chara.m_aFlowStates[i]);
    else
      StopAndDropOverlays(chara, chara.m_aFlowStates[i]);
  }
  if (!busy) {
    for (auto i = chosen.rbegin(); i != chosen.rend(); ++i) EraseFlowAt(chara, *i);
    RebindFlowStates(chara);
  }
  return static_cast<int>(chosen.front());
}

void ReleaseFlowIds(cCharaBase& chara) {
  if (!chara.m_bReleasePending) return;
  for (size_t id = 0; id < chara.m_abRelease.size(); ++id) {
    if (!chara.m_abRelease[id]) continue;
    chara.m_abRelease[id] = 0;
    if (id < chara.m_abInUse.size()) chara.m_abInUse[id] = 0;
  }
  chara.m_bReleasePending = 0;
}
