#include "data/flow.h"

#include "flow_bytes.h"
#include "game_data_fixture.h"

class FlowTest : public GameDataTest {
 protected:
  static cFlow LoadFlow(uint32_t version, const cFlowBytes& f) {
    cFlow flow;
    EXPECT_TRUE(LoadBody(flow, version, FlowBody(version, f))) << version;
    return flow;
  }
};

// Every step of the trigger upgrade, at and beside its bound: a flow stored at the version below the
// step's gate (the later steps run as well) and at the gate itself, against its trigger and flow ID.
TEST_F(FlowTest, EveryTriggerUpgradeStepGivesExactValues) {
  struct Case {
    uint32_t version;
    int trigger, flowId;
    int loadedTrigger, loadedFlowId;
  };
  const Case cases[] = {
      // 132: from 11 up, one place
      {131, 11, 0, 16, 0},  // 11 -> 12 -> 14 -> 14 -> 16 through the steps of 132, 164, 762, 900
      {131, 10, 0, 14, 0},
      {132, 11, 0, 15, 0},
      // 163: a flow with a trigger loses its flow ID
      {162, 1, 4, 1, 0},
      {162, 0, 4, 0, 4},
      {163, 1, 4, 1, 4},
      // 164: from 5 up, two places
      {163, 5, 0, 9, 0},
      {163, 4, 0, 6, 0},
      {164, 5, 0, 7, 0},
      // 762: from 18 up, three places
      {761, 18, 0, 25, 0},
      {761, 17, 0, 19, 0},
      {762, 18, 0, 20, 0},
      // 900: from 2, from 4, from 21 and from 23 up, one place each, in turn
      {899, 1, 0, 1, 0},
      {899, 2, 0, 3, 0},
      {899, 3, 0, 5, 0},
      {899, 18, 0, 20, 0},
      {899, 19, 0, 22, 0},
      {899, 20, 0, 24, 0},
      {899, 21, 0, 25, 0},
      {899, 22, 0, 26, 0},
      {900, 2, 0, 2, 0},
      {900, 19, 0, 19, 0},
      {986, 25, 3, 25, 3},
  };
  for (const Case& c : cases) {
    cFlowBytes f;
    f.trigger = static_cast<int8_t>(c.trigger);
    f.flowId = static_cast<int8_t>(c.flowId);
    cFlow flow = LoadFlow(c.version, f);
    EXPECT_EQ(flow.m_nTrigger, c.loadedTrigger) << c.version << " " << c.trigger;
    EXPECT_EQ(flow.m_nFlowId, c.loadedFlowId) << c.version << " " << c.trigger;
  }
}

TEST_F(FlowTest, FieldsByVersionAndTheNameIsEmptied) {
  cFlowBytes f;
  f.partner = 1;
  f.slot = 2;
  f.gap = 5;
  f.repeat = 1;
  f.name = "flow name";
  for (uint32_t v : {675u, 676u, 761u, 762u, 766u, 767u}) {
    std::vector<uint8_t> bytes = FlowBody(v, f);
    cFlow flow;
    size_t used = 0;
    ASSERT_TRUE(LoadBody(flow, v, bytes, &used)) << v;
    EXPECT_EQ(used, bytes.size()) << v;
    EXPECT_EQ(flow.m_bPartnerToTarget, v >= 762 ? 1 : 0) << v;
    EXPECT_EQ(flow.m_nTargetSlot, v >= 767 ? 2 : 0) << v;
    EXPECT_EQ(flow.m_nKeyStepGap, 5) << v;
    EXPECT_EQ(flow.m_bKeyRepeat, 1) << v;
    EXPECT_TRUE(flow.m_strName.empty()) << v;
  }
}

TEST_F(FlowTest, KeyStepsKeepTheirStatesWhenTheCountIsZero) {
  std::vector<uint8_t> states(19, 0);
  states[3] = 1;
  states[18] = 2;
  cKeyCond step;
  ASSERT_TRUE(LoadBody(step, 986, KeyCondBody(states)));
  EXPECT_EQ(step.m_anKeyStates, states);
  EXPECT_EQ(step.m_nMaxHold, 30);
  cKeyCond again = RoundTrip(step);
  EXPECT_EQ(again.m_anKeyStates, states);

  cKeyCond fresh;
  ASSERT_TRUE(LoadBody(fresh, 986, KeyCondBody({}, 0)));
  EXPECT_EQ(fresh.m_anKeyStates, std::vector<uint8_t>(19, 0));
  ASSERT_TRUE(LoadBody(fresh, 986, KeyCondBody({}, -4)));
  EXPECT_EQ(fresh.m_anKeyStates.size(), 19u);
  // a count larger than the file is refused
  EXPECT_FALSE(LoadBody(fresh, 986, KeyCondBody({1, 2}, 100000)));
}

TEST_F(FlowTest, TestPlayFlowsKeptOrRemovedByTheTwoSwitches) {
  std::vector<cFlow> flows(3);
  flows[0].m_nGroup = 1;
  flows[1].m_nGroup = 2;
  flows[1].m_bTestPlayOnly = 1;
  flows[2].m_nGroup = 3;
  for (int testPlay : {0, 1}) {
    for (int keep : {0, 1}) {
      g_GameData.m_bTestPlay = testPlay;
      g_SystemData.m_bKeepTestFlows = keep;
      std::vector<cFlow> list = flows;
      FilterTestPlayFlows(list);
      if (testPlay || keep) {
        EXPECT_EQ(list.size(), 3u);
      } else {
        ASSERT_EQ(list.size(), 2u);
        EXPECT_EQ(list[0].m_nGroup, 1);
        EXPECT_EQ(list[1].m_nGroup, 3);
      }
    }
  }
}

TEST_F(FlowTest, SaveWritesTheNewestLayout) {
  cFlow flow;
  flow.m_nGroup = 2;
  flow.m_nTrigger = 26;
  flow.m_strName = "kept in memory";
  cFlowBytes expected;
  expected.group = 2;
  expected.trigger = 26;
  expected.name = "kept in memory";
  EXPECT_EQ(SaveBody(flow), FlowBody(986, expected));
  EXPECT_TRUE(RoundTrip(flow).m_strName.empty());
}

TEST_F(FlowTest, NestingDeeperThanTheLimitIsRefused) {
  // A flow whose one command carries a flow, depth times over.
  auto nested = [](int depth) {
    cFlowBytes inner;
    std::vector<uint8_t> bytes = FlowBody(986, inner);
    for (int i = 1; i < depth; ++i) {
      cCmdBytes cmd;
      cmd.flows.push_back(bytes);
      cFlowBytes outer;
      outer.cmds.push_back(CmdBody(986, cmd));
      bytes = FlowBody(986, outer);
    }
    return bytes;
  };
  cFlow flow;
  EXPECT_TRUE(LoadBody(flow, 986, nested(kMaxFlowNesting)));
  EXPECT_FALSE(LoadBody(flow, 986, nested(kMaxFlowNesting + 1)));
  // the depth count is back to zero after a refusal
  EXPECT_TRUE(LoadBody(flow, 986, nested(2)));
}

TEST_F(FlowTest, CopiesAreDeep) {
  std::vector<cFlow> source(1);
  source[0].m_aCmds.resize(1);
  source[0].m_aCmds[0].m_pMove = std::make_shared<cEdMove>();
  source[0].m_aKeyConds.resize(2);
  std::vector<cFlow> target(4);
  AssignFlowVector(target, source);
  ASSERT_EQ(target.size(), 1u);
  ASSERT_EQ(target[0].m_aKeyConds.size(), 2u);
  ASSERT_TRUE(target[0].m_aCmds[0].m_pMove);
  EXPECT_NE(target[0].m_aCmds[0].m_pMove.get(), source[0].m_aCmds[0].m_pMove.get());
  EXPECT_EQ(target[0].m_nKeyStepGap, 3);
}
