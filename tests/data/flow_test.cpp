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

TEST_F(FlowTest, TriggerUpgrades) {
  struct Case {
    uint32_t version;
    int trigger;
    int expected;
  };
  const Case cases[] = {
      {131, 11, 16},  // 11 -> 12 -> 14 -> 14 -> 16
      {132, 11, 15}, {899, 1, 1},   {899, 2, 3},   {899, 3, 5},   {899, 20, 24}, {899, 22, 26}, {900, 2, 2},
      {900, 17, 17}, {986, 25, 25}, {761, 18, 25}, {762, 18, 20}, {163, 5, 9},   {164, 5, 7},
  };
  for (const Case& c : cases) {
    cFlowBytes f;
    f.trigger = static_cast<int8_t>(c.trigger);
    EXPECT_EQ(LoadFlow(c.version, f).m_nTrigger, c.expected) << c.version << " " << c.trigger;
  }
}

TEST_F(FlowTest, OldTriggeredFlowsLoseTheirIdBefore163) {
  cFlowBytes f;
  f.trigger = 5;
  f.flowId = 4;
  cFlow flow = LoadFlow(162, f);
  EXPECT_EQ(flow.m_nFlowId, 0);
  EXPECT_EQ(flow.m_nTrigger, 9);
  f.trigger = 0;
  EXPECT_EQ(LoadFlow(162, f).m_nFlowId, 4);
  f.trigger = 5;
  EXPECT_EQ(LoadFlow(163, f).m_nFlowId, 4);
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
