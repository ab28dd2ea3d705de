// Seeing which flow triggers a character fires: the character gets one flow per trigger row asked
// for, and the harness's flow-condition stand-in records each flow whose trigger fired
// ("flowCondition" with the trigger row and the object number) and answers false, so that nothing
// starts and the character stays as the test set it.
#pragma once

#include <initializer_list>
#include <vector>

#include "objects/chara_base.h"
#include "objects/flow_runner.h"
#include "objects/flow_state.h"
#include "test_support/stage_harness.h"

inline bool RecordFlowCondition(cFlowState& state, cCharaBase& chara) {
  if (cStageHarness* h = cStageHarness::Active())
    h->AddCall("flowCondition", {double(state.m_lpFlow->m_nTrigger), double(chara.m_nNumber)});
  return false;
}

// For cHarnessSetup::addStandIns.
inline void RecordFlowTriggers(cStageHooks& hooks) { hooks.checkFlowCondition = RecordFlowCondition; }

inline void GiveTriggerFlows(cCharaBase& chara, std::initializer_list<int> triggers) {
  chara.m_Type.m_aFlows.clear();
  for (int trigger : triggers) chara.m_Type.m_aFlows.emplace_back().m_nTrigger = static_cast<int8_t>(trigger);
  InstallFlows(chara, chara.m_Type.m_aFlows, 0, 0);
}

// The triggers the object fired since the traces were last cleared, in order.
inline std::vector<int> FiredTriggers(const cStageHarness& h, int number) {
  std::vector<int> triggers;
  for (const cHarnessCall& call : h.CallsOf("flowCondition"))
    if (call.adArgs[1] == number) triggers.push_back(static_cast<int>(call.adArgs[0]));
  return triggers;
}
