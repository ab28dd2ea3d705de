// Installing flows on a character: its own flows when it is built, or flows a command hands it,
// each with a running state that has one command state per command (repeats expanded), and the
// flows handed over while the character's flows were running, installed at the end of its frame
// step together with the removal of the flows flagged meanwhile.
#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "data/flow.h"
#include "objects/chara_base.h"
#include "objects/flow_guards.h"
#include "objects/flow_runner.h"
#include "objects/stage_physics.h"

namespace {

int32_t CmdDuration(const cFlowCmd& cmd, int clone) {
  const int64_t d = (int64_t{cmd.m_nUseTimeFactor} * clone + cmd.m_nUseTime) * StageSubSteps6();
  if (d > INT32_MAX) return INT32_MAX;
  if (d < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(d);
}

void BuildCmdState(cCmdState& cmd, cFlowCmd& record, cCharaBase& chara) {
  const int clone = chara.m_nClone;
  cmd.m_lpCmd = &record;
  cmd.m_nDuration = CmdDuration(record, clone);
  if (const cEdMove* move = record.m_pMove.get()) {
    const double n = StageSubStepsD();
    cmd.m_dSpeed = (static_cast<double>(move->m_nSpeedStep) * clone + move->m_nSpeed) * 0.1 / n;
    if (move->m_bSecondSpeed) cmd.m_dSpeed2 = move->m_nSecondSpeed * 0.1 / n;
    cmd.m_nDirection = static_cast<uint8_t>(move->m_nDirection);
  }
  InitCmdStateOfKind(cmd, chara);
}

void BuildFlowState(cFlowState& state, cFlow& flow, int index, cCharaBase& chara, int append) {
  state.m_nIndex = index;
  state.m_lpFlow = &flow;
  state.m_nSerial = chara.m_nFlowSerial++;
  state.m_aKeySteps.clear();
  for (cKeyCond& step : flow.m_aKeyConds) state.m_aKeySteps.push_back(&step);
  state.m_aCmdStates.assign(flow.m_aCmds.size(), cCmdState());
  for (size_t c = 0; c < flow.m_aCmds.size(); ++c) BuildCmdState(state.m_aCmdStates[c], flow.m_aCmds[c], chara);
  // A key already held when the flow arrives does not start it.
  if (append && !flow.m_bKeyRepeat) state.m_bKeyLatch = 1;
}

}  // namespace

int InstallFlows(cCharaBase& chara, const std::vector<cFlow>& flows, int append, int at) {
  const int count = static_cast<int>(flows.size());
  if (FlowsBusy(chara)) {
    chara.m_aDeferredFlows.push_back(cDeferredFlows{flows, at, append == 0 ? 1 : 0});
    return count;
  }
  std::vector<cFlow>& own = chara.m_Type.m_aFlows;
  int first = 0;
  int added = count;
  if (append == 0) {
    // The character's own flows (given as its flow vector, or copied into it).
    if (&flows != &own) AssignFlowVector(own, flows);
    for (cFlow& flow : own) ExpandRepeats(flow.m_aCmds);
    chara.m_aFlowStates.clear();
    chara.m_aFlowStates.resize(own.size());
    added = static_cast<int>(own.size());
  } else {
    std::vector<cFlow> copies;
    AssignFlowVector(copies, flows);
    for (cFlow& flow : copies) ExpandRepeats(flow.m_aCmds);
    const int size = static_cast<int>(own.size());
    first = at >= 0 && at < size ? at : size;
    chara.m_aFlowStates.resize(own.size());
    own.insert(own.begin() + first, copies.begin(), copies.end());
    chara.m_aFlowStates.insert(chara.m_aFlowStates.begin() + first, static_cast<size_t>(count), cFlowState());
  }
  for (int j = 0; j < added; ++j)
    BuildFlowState(chara.m_aFlowStates[static_cast<size_t>(first + j)], own[static_cast<size_t>(first + j)], first + j,
                   chara, append);
  if (append) RebindFlowStates(chara);
  for (int j = 0; j < added; ++j) BuildPreRoll(chara, chara.m_aFlowStates[static_cast<size_t>(first + j)]);
  return added;
}

void RemoveFlaggedFlows(cCharaBase& chara) {
  if (FlowsBusy(chara)) return;
  // The flows handed over first, each at the place it was given for (the places were taken while
  // the flagged states were still there).
  std::vector<cDeferredFlows> deferred;
  deferred.swap(chara.m_aDeferredFlows);
  for (size_t k = 0; k < deferred.size(); ++k) {
    cDeferredFlows& d = deferred[k];
    if (d.bReplace) {
      InstallFlows(chara, d.aFlows, 0, -1);
      continue;
    }
    const int size = static_cast<int>(chara.m_Type.m_aFlows.size());
    const int placed = d.nAt >= 0 && d.nAt < size ? d.nAt : -1;
    const int count = InstallFlows(chara, d.aFlows, 1, placed);
    if (placed < 0) continue;
    for (size_t later = k + 1; later < deferred.size(); ++later)
      if (deferred[later].nAt >= placed) deferred[later].nAt += count;
  }
  if (!chara.m_bRemovePending) return;
  for (size_t i = 0; i < chara.m_aFlowStates.size();) {
    if (chara.m_aFlowStates[i].m_bRemove)
      RemoveFlowState(chara, static_cast<int>(i));
    else
      ++i;
  }
  chara.m_bRemovePending = 0;
}
