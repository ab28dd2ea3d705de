// Starting flows by trigger: which flows a trigger considers, the ids of always-running flows, the
// group filter, the three orders of the "tried this frame" test, the partner put into the flow's
// target slot while the conditions are tested, the start key, and the context around it all.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/log.h"
#include "data/system_data.h"
#include "objects/chara.h"
#include "objects/flow_runner.h"
#include "objects/flow_test_support.h"
#include "objects/hero.h"
#include "objects/play_objects.h"
#include "shell/input_state.h"
#include "test_support/fresh_play_objects.h"

namespace {

constexpr int kStatusOp = 22;

using FlowTriggerTest = cFlowTest;

}  // namespace

TEST_F(FlowTriggerTest, OnlyIdleFlowsOfTheTriggerStart) {
  const int idle = AddHandMadeFlow(m_Chara, {{kStatusOp}}, 3);
  const int other = AddHandMadeFlow(m_Chara, {{kStatusOp}}, 4);
  const int running = AddHandMadeFlow(m_Chara, {{kStatusOp}}, 3);
  const int suspended = AddHandMadeFlow(m_Chara, {{kStatusOp}}, 3);
  const int halted = AddHandMadeFlow(m_Chara, {{kStatusOp}}, 3);
  const int started = AddHandMadeFlow(m_Chara, {{kStatusOp}}, 3);
  const int removed = AddHandMadeFlow(m_Chara, {{kStatusOp}}, 3);
  State(running).m_bRunning = 1;
  State(running).m_nFrontier = 5;
  State(suspended).m_bSuspended = 1;
  State(halted).m_bHalted = 1;
  State(started).m_bStartedFrame = 1;
  State(removed).m_bRemove = 1;
  TriggerFlows(m_Chara, 3);
  EXPECT_EQ(State(idle).m_bRunning, 1);
  EXPECT_EQ(State(other).m_bRunning, 0);
  EXPECT_EQ(State(running).m_nFrontier, 5);  // not started again
  EXPECT_EQ(State(suspended).m_bRunning, 0);
  EXPECT_EQ(State(halted).m_bRunning, 0);
  EXPECT_EQ(State(started).m_bRunning, 0);
  EXPECT_EQ(State(removed).m_bRunning, 0);
  EXPECT_EQ(m_Conditions.m_nChecks, 1);
  EXPECT_TRUE(m_Bodies.m_Calls.empty());  // starting runs no command
}

TEST_F(FlowTriggerTest, AnAlwaysFlowHoldsItsIdAgainstTheOthers) {
  const int first = AddHandMadeFlow(m_Chara, {{kStatusOp, 0, 5}}, 0, 3);
  const int second = AddHandMadeFlow(m_Chara, {{kStatusOp}}, 0, 3);
  const int otherId = AddHandMadeFlow(m_Chara, {{kStatusOp}}, 0, 4);
  const int sameIdOtherTrigger = AddHandMadeFlow(m_Chara, {{kStatusOp}}, 6, 3);
  TriggerFlows(m_Chara, 0);
  EXPECT_EQ(State(first).m_bRunning, 1);
  EXPECT_EQ(State(second).m_bRunning, 0);
  EXPECT_EQ(State(otherId).m_bRunning, 1);
  // In the next frame the id is still in use while the first one runs.
  ResetFlowFrameFlags(m_Chara);
  EXPECT_EQ(m_Chara.m_abStartedFrame[3], 0);
  TriggerFlows(m_Chara, 0);
  EXPECT_EQ(State(second).m_bRunning, 0);
  // Other triggers are not bound by it.
  TriggerFlows(m_Chara, 6);
  EXPECT_EQ(State(sameIdOtherTrigger).m_bRunning, 1);
}

TEST_F(FlowTriggerTest, ATriggerForAGroupStartsOnlyThatGroup) {
  const int g1 = AddHandMadeFlow(m_Chara, {{kStatusOp}}, 9, 0, 1);
  const int g2 = AddHandMadeFlow(m_Chara, {{kStatusOp}}, 9, 0, 2);
  TriggerFlowsWith(m_Chara, 9, nullptr, 2);
  EXPECT_EQ(State(g1).m_bRunning, 0);
  EXPECT_EQ(State(g2).m_bRunning, 1);
  ResetFlowFrameFlags(m_Chara);
  TriggerFlowsWith(m_Chara, 9, nullptr, 0);
  EXPECT_EQ(State(g1).m_bRunning, 1);
}

TEST_F(FlowTriggerTest, TheTriedThisFrameTestInEachLegacyOrder) {
  struct Case {
    int legacy744, legacy525, legacy861;
    bool afterFailedConditions;  // started once its conditions hold later in the frame
    bool afterRunning;           // started once it stopped later in the frame
  };
  const Case cases[] = {
      {1, 0, 0, false, false},                         // tried as soon as considered
      {1, 0, 1, false, false}, {0, 0, 0, true, true},  // tried when started
      {0, 0, 1, false, true},                          // tried when it passed the gates, before its conditions
      {0, 1, 0, true, true},                           // never tried
      {1, 1, 1, true, true},
  };
  for (const Case& c : cases) {
    g_SystemData.m_bLegacy744 = c.legacy744;
    g_SystemData.m_bLegacy525 = c.legacy525;
    g_SystemData.m_bLegacy861 = c.legacy861;
    const std::string name = std::to_string(c.legacy744) + std::to_string(c.legacy525) + std::to_string(c.legacy861);

    cChara chara;
    GiveFlowIdBytes(chara);
    const int i = AddHandMadeFlow(chara, {{kStatusOp}}, 3);
    cFlowState& state = chara.m_aFlowStates[static_cast<size_t>(i)];
    m_Conditions.m_bHold = false;
    TriggerFlows(chara, 3);
    EXPECT_EQ(state.m_bRunning, 0);
    m_Conditions.m_bHold = true;
    TriggerFlows(chara, 3);
    EXPECT_EQ(state.m_bRunning == 1, c.afterFailedConditions) << name;

    ResetFlowFrameFlags(chara);
    StopFlow(state, chara);
    state.m_bRunning = 1;
    TriggerFlows(chara, 3);
    StopFlow(state, chara);
    TriggerFlows(chara, 3);
    EXPECT_EQ(state.m_bRunning == 1, c.afterRunning) << name;

    // Started and stopped within a frame, a flow never starts again in it.
    ResetFlowFrameFlags(chara);
    StopFlow(state, chara);
    TriggerFlows(chara, 3);
    EXPECT_EQ(state.m_bRunning, 1) << name;
    StopFlow(state, chara);
    TriggerFlows(chara, 3);
    EXPECT_EQ(state.m_bRunning, 0) << name;
  }
}

TEST_F(FlowTriggerTest, ThePartnerGoesIntoTheTargetSlotWhileTheConditionsAreTested) {
  cChara previous;
  cChara partner;
  const int i = AddHandMadeFlow(m_Chara, {{kStatusOp}}, 9);
  m_Chara.m_Type.m_aFlows[0].m_bPartnerToTarget = 1;
  m_Chara.m_Type.m_aFlows[0].m_nTargetSlot = 2;
  m_Chara.SetTarget(2, &previous);
  std::vector<cCharaBase*> seen;
  m_Conditions.m_Check = [&](cFlowState&, cCharaBase& chara) {
    seen.push_back(chara.m_apTargets[2]);
    return m_Conditions.m_bHold;
  };
  m_Conditions.m_bHold = false;
  TriggerFlowsWith(m_Chara, 9, &partner, 0);
  EXPECT_EQ(State(i).m_bRunning, 0);
  EXPECT_EQ(m_Chara.m_apTargets[2], &previous);
  EXPECT_TRUE(partner.m_aLinks.empty());
  ASSERT_EQ(previous.m_aLinks.size(), 1u);

  m_Conditions.m_bHold = true;
  TriggerFlowsWith(m_Chara, 9, &partner, 0);
  EXPECT_EQ(State(i).m_bRunning, 1);
  EXPECT_EQ(m_Chara.m_apTargets[2], &partner);
  EXPECT_TRUE(previous.m_aLinks.empty());
  EXPECT_EQ(partner.m_aLinks.size(), 1u);
  EXPECT_EQ(seen, (std::vector<cCharaBase*>{&partner, &partner}));

  // Without a partner the slot is left alone.
  ResetFlowFrameFlags(m_Chara);
  StopFlow(State(i), m_Chara);
  TriggerFlowsWith(m_Chara, 9, nullptr, 0);
  EXPECT_EQ(m_Chara.m_apTargets[2], &partner);
  m_Chara.UnlinkAll();
}

TEST_F(FlowTriggerTest, ConditionsSeeTheCharacterAndItsFlowAndTheContextComesBack) {
  const int a = AddHandMadeFlow(m_Chara, {{kStatusOp}}, 9);
  const int b = AddHandMadeFlow(m_Chara, {{kStatusOp}}, 9);
  cChara outer;
  cFlowState outerState;
  int32_t outerVars[2] = {};
  m_Stage.m_lpCurObject = &outer;
  m_Stage.m_lpCurFlowState = &outerState;
  m_Stage.m_lpFlowVars = outerVars;
  std::vector<int32_t*> vars;
  m_Conditions.m_Check = [&](cFlowState& state, cCharaBase& chara) {
    EXPECT_EQ(&chara, &m_Chara);
    EXPECT_EQ(g_lpSceneStage->m_lpCurObject, &m_Chara);
    vars.push_back(g_lpSceneStage->m_lpFlowVars);
    return true;
  };
  TriggerFlows(m_Chara, 9);
  EXPECT_EQ(vars, (std::vector<int32_t*>{State(a).m_anFlowVars, State(b).m_anFlowVars}));
  EXPECT_EQ(m_Stage.m_lpCurObject, &outer);
  EXPECT_EQ(m_Stage.m_lpCurFlowState, &outerState);
  EXPECT_EQ(m_Stage.m_lpFlowVars, outerVars);
}

TEST_F(FlowTriggerTest, AKeySequenceThatDoesNotHoldKeepsTheFlowIdle) {
  g_HeroList.resize(1);
  cInputState input;
  g_HeroList[0].m_lpInput = &input;
  const int i = AddHandMadeFlow(m_Chara, {{kStatusOp}}, 9);
  cKeyCond step;
  step.m_anKeyStates.assign(kKeyStateCount, 0);
  step.m_anKeyStates[11] = 1;  // button 1
  step.m_bAnyHold = 1;
  m_Chara.m_Type.m_aFlows[0].m_aKeyConds.push_back(step);
  RebindFlowStates(m_Chara);
  TriggerFlows(m_Chara, 9);
  EXPECT_EQ(State(i).m_bRunning, 0);
  input.m_wButton = 1;
  input.UpdateKeyEvents();
  TriggerFlows(m_Chara, 9);
  EXPECT_EQ(State(i).m_bRunning, 1);
}

TEST_F(FlowTriggerTest, TheStartKeyComesFromTheControllingPlayersRecord) {
  cInputState& record = g_InputStates.at(0);
  const cInputState saved = record;
  record.m_wDir = kDirDown;
  record.UpdateKeyEvents();
  struct Case {
    int control, player, key;
  };
  for (const Case& c : {Case{0, 0, 4}, Case{1, 3, 4}, Case{0, 3, 0}}) {
    cChara chara;
    GiveFlowIdBytes(chara);
    chara.m_nControl = c.control;
    chara.m_nPlayer = c.player;
    const int i = AddHandMadeFlow(chara, {{kStatusOp}}, 9);
    TriggerFlows(chara, 9);
    EXPECT_EQ(chara.m_aFlowStates[static_cast<size_t>(i)].m_nStartKey, c.key) << c.control << c.player;
  }
  record = saved;
}

TEST_F(FlowTriggerTest, TheFrameResetClearsTheTriedAndStartedFlags) {
  const int i = AddHandMadeFlow(m_Chara, {{kStatusOp}}, 0, 2);
  TriggerFlows(m_Chara, 0);
  EXPECT_EQ(State(i).m_bTriedFrame, 1);
  EXPECT_EQ(State(i).m_bStartedFrame, 1);
  ResetFlowFrameFlags(m_Chara);
  EXPECT_EQ(State(i).m_bTriedFrame, 0);
  EXPECT_EQ(State(i).m_bStartedFrame, 0);
  EXPECT_EQ(m_Chara.m_abStartedFrame[2], 0);
  EXPECT_EQ(m_Chara.m_abInUse[2], 1);  // held until the flow is stopped and released
}
