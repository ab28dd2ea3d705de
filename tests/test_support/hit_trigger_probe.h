// Seeing which hit triggers characters fire and with whom: a watched character gets one flow per
// trigger row asked for, each taking its partner into target slot 3 and belonging to a flow group;
// the flow-condition stand-in records ("hitTrigger": trigger row, object number, the partner's
// object number or -1) and answers false, so that nothing starts and the partner slot gets its old
// character back.
//
//   setup.addStandIns = [](cStageHooks& hooks) { RecordHitTriggers(hooks); };
//   WatchTriggers(victim, {1, 2, 3, 4});
//   EXPECT_EQ(HitTriggers(h, victim.m_nNumber), (std::vector<cHitTrigger>{{1, ownerNumber}, ...}));
#pragma once

#include <initializer_list>
#include <ostream>
#include <vector>

#include "objects/chara_base.h"
#include "objects/flow_runner.h"
#include "objects/flow_state.h"
#include "objects/stage_hooks.h"
#include "test_support/stage_harness.h"

constexpr int kProbePartnerSlot = 3;

struct cHitTrigger {
  int nTrigger = 0;
  int nPartner = -1;  // object number of the partner, -1 for none
  bool operator==(const cHitTrigger&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const cHitTrigger& t) {
  return out << "{" << t.nTrigger << ", " << t.nPartner << "}";
}

inline bool RecordHitTrigger(cFlowState& state, cCharaBase& chara) {
  const cCharaBase* partner = chara.m_apTargets[kProbePartnerSlot];
  if (cStageHarness* h = cStageHarness::Active())
    h->AddCall("hitTrigger", {double(state.m_lpFlow->m_nTrigger), double(chara.m_nNumber),
                              partner ? double(partner->m_nNumber) : -1.0});
  return false;
}

inline void RecordHitTriggers(cStageHooks& hooks) { hooks.checkFlowCondition = RecordHitTrigger; }

// One flow per trigger row, of flow group `group` (a trigger raised for another group passes them by).
inline void WatchTriggers(cCharaBase& chara, std::initializer_list<int> triggers, int group = 0) {
  chara.m_Type.m_aFlows.clear();
  for (int trigger : triggers) {
    cFlow& flow = chara.m_Type.m_aFlows.emplace_back();
    flow.m_nTrigger = static_cast<int8_t>(trigger);
    flow.m_bPartnerToTarget = 1;
    flow.m_nTargetSlot = kProbePartnerSlot;
    flow.m_nGroup = static_cast<int8_t>(group);
  }
  InstallFlows(chara, chara.m_Type.m_aFlows, 0, 0);
}

// The hit triggers the object fired since the traces were last cleared, in order.
inline std::vector<cHitTrigger> HitTriggers(const cStageHarness& h, int number) {
  std::vector<cHitTrigger> fired;
  for (const cHarnessCall& call : h.CallsOf("hitTrigger"))
    if (call.adArgs[1] == number) fired.push_back({int(call.adArgs[0]), int(call.adArgs[2])});
  return fired;
}
