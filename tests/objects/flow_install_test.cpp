// Installing flows on a character: a running state per flow and a command state per command with
// its duration, speeds and direction at the character's clone number and the stage's sub-steps,
// the per-kind values, flows added at a place with the others bound again, flows handed over while
// the character's flows run (installed at the end of its frame step), and a flow that adds and
// waits counting alike at one and at four sub-steps per frame.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/log.h"
#include "data/system_data.h"
#include "objects/chara.h"
#include "objects/flow_runner.h"
#include "objects/flow_test_support.h"
#include "objects/stage_physics.h"
#include "test_support/fresh_play_objects.h"

namespace {

constexpr int kWait = 1;
constexpr int kStraightMove = 2;
constexpr int kCircleMove = 4;
constexpr int kHomingMove = 6;
constexpr int kJump = 10;
constexpr int kStatusOp = 22;
constexpr int kRepeat = 39;

cFlowCmd Cmd(int kind, int useTime = 0, int runOn = 0, std::vector<int32_t> params = {}) {
  cFlowCmd cmd;
  cmd.m_nKind = static_cast<int8_t>(kind);
  cmd.m_nUseTime = static_cast<int16_t>(useTime);
  cmd.m_bRunOn = static_cast<int8_t>(runOn);
  cmd.m_anParams = std::move(params);
  return cmd;
}

cFlow Flow(std::vector<cFlowCmd> cmds, int trigger = 9, int id = 0) {
  cFlow flow;
  flow.m_nTrigger = static_cast<int8_t>(trigger);
  flow.m_nFlowId = static_cast<int8_t>(id);
  flow.m_aCmds = std::move(cmds);
  return flow;
}

cEdMove& Move(cFlowCmd& cmd) {
  cmd.m_pMove = std::make_shared<cEdMove>();
  return *cmd.m_pMove;
}

class FlowInstallTest : public cFlowTest {
 protected:
  void SetUp() override {
    cFlowTest::SetUp();
    g_StageFile.SetHitCheckLevel(1);
  }

  // The character's first command state after installing a flow of this one command.
  cCmdState& InstallOne(const cFlowCmd& cmd) {
    m_Chara.m_Type.m_aFlows = {Flow({cmd})};
    InstallFlows(m_Chara, m_Chara.m_Type.m_aFlows, 0, -1);
    return m_Chara.m_aFlowStates.at(0).m_aCmdStates.at(0);
  }
};

}  // namespace

TEST_F(FlowInstallTest, EveryFlowGetsAStateAndEveryCommandItsRunningValues) {
  g_StageFile.SetHitCheckLevel(4);
  m_Chara.m_nClone = 2;
  cFlowCmd move = Cmd(kStraightMove, 3);
  move.m_nUseTimeFactor = 5;
  cEdMove& settings = Move(move);
  settings.m_nSpeed = 30;
  settings.m_nSpeedStep = 4;
  settings.m_bSecondSpeed = 1;
  settings.m_nSecondSpeed = 8;
  settings.m_nDirection = 3;
  cFlow first = Flow({Cmd(kRepeat, 0, 0, {3, 1}), move, Cmd(kWait, 2)});
  first.m_aKeyConds.resize(2);
  m_Chara.m_Type.m_aFlows = {first, Flow({Cmd(kStatusOp)})};
  m_Chara.m_nFlowSerial = 10;

  EXPECT_EQ(InstallFlows(m_Chara, m_Chara.m_Type.m_aFlows, 0, -1), 2);
  ASSERT_EQ(m_Chara.m_aFlowStates.size(), 2u);
  const cFlow& flow = m_Chara.m_Type.m_aFlows[0];
  ASSERT_EQ(flow.m_aCmds.size(), 4u);  // the repeat written out in the character's own flow
  const cFlowState& state = m_Chara.m_aFlowStates[0];
  EXPECT_EQ(state.m_nIndex, 0);
  EXPECT_EQ(state.m_nSerial, 10);
  EXPECT_EQ(m_Chara.m_aFlowStates[1].m_nSerial, 11);
  EXPECT_EQ(m_Chara.m_nFlowSerial, 12);
  EXPECT_EQ(state.m_lpFlow, &flow);
  ASSERT_EQ(state.m_aKeySteps.size(), 2u);
  EXPECT_EQ(state.m_aKeySteps[1], &flow.m_aKeyConds[1]);
  EXPECT_EQ(state.m_bKeyLatch, 0);
  ASSERT_EQ(state.m_aCmdStates.size(), 4u);
  const cCmdState& cmd = state.m_aCmdStates[1];
  EXPECT_EQ(cmd.m_lpCmd, &flow.m_aCmds[1]);
  EXPECT_EQ(cmd.m_nDuration, (5 * 2 + 3) * 4 * 6);
  EXPECT_DOUBLE_EQ(cmd.m_dSpeed, (4.0 * 2 + 30) * 0.1 / 4);
  EXPECT_DOUBLE_EQ(cmd.m_dSpeed2, 8 * 0.1 / 4);
  EXPECT_EQ(cmd.m_nDirection, 3);
  EXPECT_EQ(state.m_aCmdStates[3].m_nDuration, 2 * 4 * 6);
  EXPECT_EQ(state.m_aCmdStates[3].m_dSpeed, 0.0);  // no movement settings
}

TEST_F(FlowInstallTest, DurationsBeyondTheIntRangeAreHeldAtItsEnd) {
  g_StageFile.SetHitCheckLevel(9);
  m_Chara.m_nClone = 32767;
  cFlowCmd cmd = Cmd(kWait, 32767);
  cmd.m_nUseTimeFactor = 32767;
  EXPECT_EQ(InstallOne(cmd).m_nDuration, 2147483647);
  cmd.m_nUseTimeFactor = -32768;
  EXPECT_EQ(InstallOne(cmd).m_nDuration, -2147483647 - 1);
}

TEST_F(FlowInstallTest, FlowsAddedAtAPlaceBindTheOthersAgain) {
  m_Chara.m_Type.m_aFlows = {Flow({Cmd(kStatusOp, 1)}), Flow({Cmd(kWait, 5)})};
  InstallFlows(m_Chara, m_Chara.m_Type.m_aFlows, 0, -1);
  m_Stage.m_lpCurObject = &m_Chara;
  StartFlow(m_Chara.m_aFlowStates[1]);
  m_Stage.m_lpCurObject = nullptr;

  cFlow added = Flow({Cmd(kStatusOp), Cmd(kWait)});
  added.m_aKeyConds.resize(1);
  cFlow repeated = added;
  repeated.m_bKeyRepeat = 1;
  EXPECT_EQ(InstallFlows(m_Chara, {added, repeated}, 1, 1), 2);
  ASSERT_EQ(m_Chara.m_aFlowStates.size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(m_Chara.m_aFlowStates[i].m_nIndex, static_cast<int>(i));
    EXPECT_EQ(m_Chara.m_aFlowStates[i].m_lpFlow, &m_Chara.m_Type.m_aFlows[i]);
  }
  // The running one moved along with its flow.
  EXPECT_EQ(m_Chara.m_aFlowStates[3].m_bRunning, 1);
  EXPECT_EQ(m_Chara.m_aFlowStates[3].m_aCmdStates[0].m_lpCmd, &m_Chara.m_Type.m_aFlows[3].m_aCmds[0]);
  // A key already held does not start an added flow (unless it repeats).
  EXPECT_EQ(m_Chara.m_aFlowStates[1].m_bKeyLatch, 1);
  EXPECT_EQ(m_Chara.m_aFlowStates[2].m_bKeyLatch, 0);
  EXPECT_EQ(m_Chara.m_aFlowStates[1].m_aCmdStates.size(), 2u);

  // No place, or one beyond the flows: at the end.
  InstallFlows(m_Chara, {Flow({Cmd(kJump + 30)})}, 1, -1);
  InstallFlows(m_Chara, {Flow({Cmd(kJump + 31)})}, 1, 99);
  ASSERT_EQ(m_Chara.m_Type.m_aFlows.size(), 6u);
  EXPECT_EQ(m_Chara.m_Type.m_aFlows[4].m_aCmds[0].m_nKind, kJump + 30);
  EXPECT_EQ(m_Chara.m_Type.m_aFlows[5].m_aCmds[0].m_nKind, kJump + 31);
}

TEST_F(FlowInstallTest, MovesThatCoverADistance) {
  struct Case {
    int m23, m26, m27, m28, clone, legacy695;
    int useTime;
    int speed;  // M24
    double expectedSpeed;
    int expectedDuration;
  };
  const Case cases[] = {
      {1, 3, 1, 0, 2, 0, 2, 10, (3 + 2) * 16.0 / 12, 12},  // half blocks over the duration
      {1, 40, 0, 1, 0, 0, 1, 10, 40.0 / 6, 6},             // dots
      {2, 4, 0, 0, 0, 0, 1, 20, 2.0, 32},                  // the duration from the speed
      {2, -4, 0, 0, 0, 0, 1, 20, 2.0, 32},                 // made positive
      {2, -4, 0, 0, 0, 1, 1, 20, 2.0, -32},                // kept by older projects
      {1, 3, 0, 0, 0, 0, 0, 10, 1.0, 0},                   // nothing to divide by: kept
      {2, 3, 0, 0, 0, 0, 1, 0, 0.0, 6},                    // no speed: the duration kept
      {3, 3, 0, 0, 0, 0, 1, 10, 1.0, 6},                   // other values: nothing
  };
  for (const Case& c : cases) {
    g_SystemData.m_bLegacy695 = c.legacy695;
    m_Chara.m_nClone = static_cast<int16_t>(c.clone);
    cFlowCmd cmd = Cmd(kStraightMove, c.useTime);
    cEdMove& move = Move(cmd);
    move.m_nM23 = static_cast<int8_t>(c.m23);
    move.m_nM26 = static_cast<int16_t>(c.m26);
    move.m_nM27 = static_cast<int16_t>(c.m27);
    move.m_nM28 = static_cast<int8_t>(c.m28);
    move.m_nSpeed = static_cast<int16_t>(c.speed);
    const cCmdState& state = InstallOne(cmd);
    EXPECT_DOUBLE_EQ(state.m_dSpeed, c.expectedSpeed) << c.m23 << " " << c.m26;
    EXPECT_EQ(state.m_nDuration, c.expectedDuration) << c.m23 << " " << c.m26;
  }
}

TEST_F(FlowInstallTest, TheCircleMoveTakesItsRadiusAndAngles) {
  g_StageFile.SetHitCheckLevel(2);
  struct Case {
    int typeFacing, mirrorX, mirrorY, direction, m23;
    int expectedDirection, flip;
  };
  const Case cases[] = {
      {0, 1, 0, 0, 0, 0, 0},                             // facing left: the mirror settings do nothing
      {1, 1, 0, 0, 0, 1, 180},                           // facing right: sense flipped, half a turn
      {1, 1, 1, 0, 0, 0, 180},                           // flipped back by the second setting
      {1, 0, 1, 1, 0, 0, 0},   {1, 1, 0, 2, 0, 2, 180},  // senses that follow the facing are not flipped
      {1, 1, 0, 1, 1, 0, 180},
  };
  for (const Case& c : cases) {
    m_Chara.m_Type.m_nFacing = static_cast<int8_t>(c.typeFacing);
    m_Chara.m_nClone = 1;
    cFlowCmd cmd = Cmd(kCircleMove, 3);
    cEdMove& move = Move(cmd);
    move.m_bMirrorX = static_cast<int8_t>(c.mirrorX);
    move.m_bMirrorY = static_cast<int8_t>(c.mirrorY);
    move.m_nDirection = static_cast<int8_t>(c.direction);
    move.m_nM23 = static_cast<int8_t>(c.m23);
    move.m_nM29 = 15;
    move.m_nM30 = 10;  // 25, held at 20
    move.m_nAngle = 30;
    move.m_nAngleStep = 15;
    move.m_nM26 = 300;
    move.m_nM27 = 60;
    move.m_nSpeed = 50;
    const cCmdState& state = InstallOne(cmd);
    EXPECT_EQ(state.m_nDirection, c.expectedDirection);
    EXPECT_EQ(state.m_nRadius, 20 * 16 * 2);
    EXPECT_EQ(state.m_nStartAngle, (45 + c.flip) * 2);
    EXPECT_EQ(state.m_nEndAngle, (360 + c.flip) * 2);
    const double sweep = (360 - 45) * 2;
    if (c.m23 == 0) {
      EXPECT_DOUBLE_EQ(state.m_dSpeed, sweep / (3 * 12) / 2);
      EXPECT_EQ(state.m_nDuration, 36);
    } else {
      EXPECT_DOUBLE_EQ(state.m_dSpeed, 50 * 0.1 / 2);
      EXPECT_EQ(state.m_nDuration, static_cast<int>(sweep / 2.5 / 2));
    }
  }
}

TEST_F(FlowInstallTest, HomingAndJumpValues) {
  g_StageFile.SetHitCheckLevel(3);
  m_Chara.m_nClone = 2;
  cFlowCmd homing = Cmd(kHomingMove, 1);
  cEdMove& move = Move(homing);
  move.m_nM29 = 4;
  move.m_nM30 = 1;
  EXPECT_EQ(InstallOne(homing).m_nInterval, (1 * 2 + 4) * 3);

  cFlowCmd jump = Cmd(kJump, 0, 0, {0, 0, 6});
  const cCmdState& state = InstallOne(jump);
  const int tenths = m_Chara.JumpDurationTenths(6);
  EXPECT_DOUBLE_EQ(state.m_dSpeed, m_Chara.JumpSpeedHbl(6));
  EXPECT_EQ(m_Chara.m_Type.m_aFlows[0].m_aCmds[0].m_nUseTime, tenths);  // written into the command
  EXPECT_EQ(state.m_nDuration, tenths * 3 * 6);
  EXPECT_EQ(state.m_nHoldLimit, tenths * 3 * 6);  // the key is held for sub-steps, as long as the command runs
}

TEST_F(FlowInstallTest, ChangesWhileTheFlowsRunWaitForTheEndOfTheFrameStep) {
  // Flows: 0 runs the changes; 1 has id 2 and gives its place to the new flows; 2 has id 4.
  m_Chara.m_Type.m_aFlows = {Flow({Cmd(kStatusOp), Cmd(kWait)}, 9), Flow({Cmd(kWait)}, 9, 2), Flow({Cmd(kWait)}, 9, 4)};
  InstallFlows(m_Chara, m_Chara.m_Type.m_aFlows, 0, -1);
  const std::vector<cFlow> given = {Flow({Cmd(kStatusOp)}, 7), Flow({Cmd(kStatusOp)}, 8)};
  m_Bodies.m_Action = [&](cCharaBase& actor, cCmdState& cmd) {
    if (cmd.m_lpCmd->m_nKind != kStatusOp) return;
    const int place = RemoveFlowsByGroup(actor, 2);
    EXPECT_EQ(place, 1);
    EXPECT_EQ(InstallFlows(actor, given, 1, place), 2);
    InstallFlows(actor, {Flow({Cmd(kWait)}, 6)}, 1, -1);
    EXPECT_EQ(actor.m_aFlowStates.size(), 3u);  // nothing changes yet
  };
  m_Stage.m_lpCurObject = &m_Chara;
  StartFlow(m_Chara.m_aFlowStates[0]);
  StepCharaFlows(m_Chara);
  EXPECT_EQ(m_Chara.m_aFlowStates.size(), 3u);
  EXPECT_EQ(m_Chara.m_aFlowStates[1].m_bRemove, 1);

  // The character's flows being stepped again (a nested frame step): still nothing.
  m_Chara.m_FlowsBusy.m_nDepth = 1;
  RemoveFlaggedFlows(m_Chara);
  EXPECT_EQ(m_Chara.m_aFlowStates.size(), 3u);
  m_Chara.m_FlowsBusy.m_nDepth = 0;

  RemoveFlaggedFlows(m_Chara);
  std::vector<int> triggers;
  for (const cFlow& flow : m_Chara.m_Type.m_aFlows) triggers.push_back(flow.m_nTrigger);
  EXPECT_EQ(triggers, (std::vector<int>{9, 7, 8, 9, 6}));
  EXPECT_EQ(m_Chara.m_Type.m_aFlows[3].m_nFlowId, 4);
  EXPECT_EQ(m_Chara.m_bRemovePending, 0);
  EXPECT_TRUE(m_Chara.m_aDeferredFlows.empty());
  for (size_t i = 0; i < m_Chara.m_aFlowStates.size(); ++i) {
    EXPECT_EQ(m_Chara.m_aFlowStates[i].m_nIndex, static_cast<int>(i));
    EXPECT_EQ(m_Chara.m_aFlowStates[i].m_lpFlow, &m_Chara.m_Type.m_aFlows[i]);
    EXPECT_EQ(m_Chara.m_aFlowStates[i].m_bRemove, 0);
  }
}

TEST_F(FlowInstallTest, AFlowThatAddsAndWaitsCountsAlikeAtEverySubStepCount) {
  // Always: add (run-on), then wait a tenth of a second; it starts again the frame after it ends.
  std::vector<int> counts;
  for (int n : {1, 4}) {
    g_StageFile.SetHitCheckLevel(n);
    cChara chara;
    GiveFlowIdBytes(chara);
    chara.m_Type.m_aFlows = {Flow({Cmd(kStatusOp, 0, 1), Cmd(kWait, 1)}, 0)};
    InstallFlows(chara, chara.m_Type.m_aFlows, 0, -1);
    m_Bodies.m_Calls.clear();
    std::vector<int> addFrames;
    for (int frame = 1; frame <= 60; ++frame) {
      ResetFlowFrameFlags(chara);
      for (int s = 1; s <= StageSubSteps(); ++s) {
        const size_t before = m_Bodies.m_Calls.size();
        TriggerFlows(chara, 0);
        StepCharaFlows(chara);
        RemoveFlaggedFlows(chara);
        for (size_t c = before; c < m_Bodies.m_Calls.size(); ++c)
          if (m_Bodies.m_Calls[c].nKind == kStatusOp) addFrames.push_back(frame);
      }
    }
    EXPECT_EQ(addFrames.size(), 10u) << n;
    EXPECT_EQ(addFrames.front(), 1);
    EXPECT_EQ(addFrames.back(), 55);
    counts.push_back(static_cast<int>(addFrames.size()));
  }
  EXPECT_EQ(counts[0], counts[1]);
}
