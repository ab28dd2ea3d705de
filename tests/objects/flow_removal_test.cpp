// Removing flows: one state or every flow of an id, stopped, their overlays gone and the rest bound
// again; and while the character's flows are being stepped or triggered, only stopped and flagged,
// so that nothing running loses the state under it.
#include <gtest/gtest.h>

#include <vector>

#include "core/log.h"
#include "objects/chara.h"
#include "objects/flow_runner.h"
#include "objects/flow_test_support.h"
#include "test_support/fresh_play_objects.h"

namespace {

constexpr int kStatusOp = 22;

std::vector<int> FlowIds(const cCharaBase& chara) {
  std::vector<int> ids;
  for (const cFlow& flow : chara.m_Type.m_aFlows) ids.push_back(flow.m_nFlowId);
  return ids;
}

void ExpectBound(const cCharaBase& chara) {
  ASSERT_EQ(chara.m_aFlowStates.size(), chara.m_Type.m_aFlows.size());
  for (size_t i = 0; i < chara.m_aFlowStates.size(); ++i) {
    const cFlowState& state = chara.m_aFlowStates[i];
    EXPECT_EQ(state.m_nIndex, static_cast<int>(i));
    EXPECT_EQ(state.m_lpFlow, &chara.m_Type.m_aFlows[i]);
    for (size_t c = 0; c < state.m_aCmdStates.size(); ++c)
      EXPECT_EQ(state.m_aCmdStates[c].m_lpCmd, &chara.m_Type.m_aFlows[i].m_aCmds[c]);
  }
}

void AddOverlay(cCharaBase& chara, int serial) {
  cAnimOverlay overlay;
  overlay.nSerial = serial;
  chara.m_Overlays.push_back(overlay);
}

class FlowRemovalTest : public cFlowTest {
 protected:
  void SetUp() override {
    cFlowTest::SetUp();
    for (int id : {1, 2, 1, 3}) {
      AddHandMadeFlow(m_Chara, {{kStatusOp, 0, 9}, {kStatusOp, 0, 0}}, 9, id);
      AddOverlay(m_Chara, m_Chara.m_aFlowStates.back().m_nSerial);
    }
  }
};

}  // namespace

TEST_F(FlowRemovalTest, RemovingAStateStopsItAndBindsTheRest) {
  State(1).m_bRunning = 1;
  const int serial = State(1).m_nSerial;
  const int nextSerial = State(2).m_nSerial;
  RemoveFlowState(m_Chara, 1);
  EXPECT_EQ(FlowIds(m_Chara), (std::vector<int>{1, 1, 3}));
  ExpectBound(m_Chara);
  EXPECT_EQ(State(1).m_nSerial, nextSerial);
  EXPECT_EQ(m_Chara.m_abRelease[2], 1);  // stopped while running: its id is released
  EXPECT_EQ(m_Chara.m_Overlays.size(), 3u);
  for (const cAnimOverlay& overlay : m_Chara.m_Overlays) EXPECT_NE(overlay.nSerial, serial);
  // A position outside the vectors removes nothing.
  RemoveFlowState(m_Chara, 3);
  RemoveFlowState(m_Chara, -1);
  EXPECT_EQ(m_Chara.m_aFlowStates.size(), 3u);
}

TEST_F(FlowRemovalTest, RemovingAnIdTakesEveryFlowOfIt) {
  State(2).m_bRunning = 1;
  EXPECT_EQ(RemoveFlowsByGroup(m_Chara, 1), 0);
  EXPECT_EQ(FlowIds(m_Chara), (std::vector<int>{2, 3}));
  ExpectBound(m_Chara);
  EXPECT_EQ(m_Chara.m_abRelease[1], 1);
  EXPECT_EQ(m_Chara.m_Overlays.size(), 2u);
  EXPECT_EQ(RemoveFlowsByGroup(m_Chara, 7), -1);
  EXPECT_EQ(RemoveFlowsByGroup(m_Chara, 3), 1);
  EXPECT_EQ(FlowIds(m_Chara), (std::vector<int>{2}));

  // Id 0 takes them all.
  State(0).m_bRunning = 1;
  EXPECT_EQ(RemoveFlowsByGroup(m_Chara, 0), 0);
  EXPECT_TRUE(m_Chara.m_aFlowStates.empty());
  EXPECT_TRUE(m_Chara.m_Type.m_aFlows.empty());
  EXPECT_TRUE(m_Chara.m_Overlays.empty());
  EXPECT_EQ(m_Chara.m_abRelease[2], 1);
}

TEST_F(FlowRemovalTest, WhileItsFlowsAreSteppedAFlowIsOnlyFlagged) {
  // Flow 0 runs; its first command removes flow 2 and every flow of id 3 and, at the end, itself.
  int calls = 0;
  m_Bodies.m_Action = [&](cCharaBase& actor, cCmdState&) {
    if (calls++ != 0) return;
    RemoveFlowState(actor, 2);
    EXPECT_EQ(RemoveFlowsByGroup(actor, 3), 3);
    RemoveFlowState(actor, 0);
  };
  State(2).m_bRunning = 1;
  State(3).m_bRunning = 1;
  m_Stage.m_lpCurObject = &m_Chara;
  StartFlow(State(0));
  EXPECT_EQ(StepFlow(State(0)), 0);
  // The vectors are as they were; the states are stopped and flagged.
  EXPECT_EQ(FlowIds(m_Chara), (std::vector<int>{1, 2, 1, 3}));
  ExpectBound(m_Chara);
  for (int i : {0, 2, 3}) {
    EXPECT_EQ(State(i).m_bRemove, 1) << i;
    EXPECT_EQ(State(i).m_bRunning, 0) << i;
  }
  EXPECT_EQ(State(1).m_bRemove, 0);
  EXPECT_EQ(m_Chara.m_bRemovePending, 1);
  EXPECT_EQ(m_Chara.m_Overlays.size(), 1u);
  EXPECT_EQ(m_Chara.m_FlowsBusy.m_nDepth, 0);
  // Flagged flows start no more.
  TriggerFlows(m_Chara, 9);
  EXPECT_EQ(State(1).m_bRunning, 1);
  EXPECT_EQ(State(2).m_bRunning, 0);
  EXPECT_EQ(State(0).m_bRunning, 0);
}

TEST_F(FlowRemovalTest, WhileItsFlowsAreTriggeredAFlowIsOnlyFlagged) {
  const int before = AddHandMadeFlow(m_Chara, {{kStatusOp, 1, 0}}, 25);
  m_Bodies.m_Action = [&](cCharaBase& actor, cCmdState&) { RemoveFlowsByGroup(actor, 0); };
  TriggerFlows(m_Chara, 25);
  EXPECT_EQ(m_Bodies.m_Calls.size(), 1u);
  EXPECT_EQ(m_Chara.m_aFlowStates.size(), 5u);
  EXPECT_EQ(State(before).m_bRemove, 1);
  EXPECT_TRUE(m_Chara.m_Overlays.empty());
  // A copy starts with nothing running its flows.
  cChara copy(m_Chara);
  EXPECT_EQ(copy.m_FlowsBusy.m_nDepth, 0);
}
