// The hero's variable-height jump: take-off on the first sub-steps of a held key, the rise that ends
// at the hold limit or is cut short by an early release, the legacy take-off rules (both settings),
// the run-up jump whose height follows the speed, and the return to rest on the ground.
#include <gtest/gtest.h>

#include "data/system_data.h"
#include "objects/play_objects.h"
#include "shell/input_state.h"
#include "test_support/stage_harness.h"

namespace {

constexpr int kButton1Key = 11;  // key-condition entry of button 1 (entries 10-18 are the buttons)

class HeroJumpTest : public ::testing::Test {
 protected:
  void SetUp() override { Build(1); }

  void Build(int level) {
    h.reset();
    cHarnessSetup setup;
    setup.map = {"....", ".H..", "####"};
    setup.nHitCheckLevel = level;
    h = std::make_unique<cStageHarness>(setup);
    flow = cFlow();
    flow.m_aKeyConds.resize(1);
    flow.m_aKeyConds[0].m_anKeyStates.assign(19, 0);
    flow.m_aKeyConds[0].m_anKeyStates[kButton1Key] = 1;
    flowState = cFlowState();
    flowState.m_lpFlow = &flow;
    flowState.m_aKeySteps = {&flow.m_aKeyConds[0]};
    h->Stage().m_lpCurFlowState = &flowState;
    cmd = cFlowCmd();
    cmd.m_nKind = 10;
    cmd.m_nSound = 3;
    cmd.m_anParams = {1, 0, 0, 0, 0};
    state = cCmdState();
    state.m_lpCmd = &cmd;
    state.m_nHoldLimit = 10;
    state.m_dSpeed = -8;
    Hero().m_bInAir = 0;
    Hero().m_dSpeedY = 0;
  }

  cHero& Hero() { return h->Hero(); }

  // One frame of a single sub-step: the input of player 0, then the frame step's reset and the
  // command's step.
  void Frame(bool held) {
    cInputState& input = g_InputStates[0];
    input.m_wButton = held ? 1 : 0;
    input.RecordInputHistory();
    input.UpdateKeyEvents();
    Hero().m_bJumpProcessed = 0;
    Hero().StepJumpCmd(state);
  }

  std::unique_ptr<cStageHarness> h;
  cFlow flow;
  cFlowState flowState;
  cFlowCmd cmd;
  cCmdState state;
};

}  // namespace

TEST_F(HeroJumpTest, AHeldKeyTakesOffOnItsFirstFrame) {
  Frame(true);
  EXPECT_EQ(Hero().m_dSpeedY, -8);
  EXPECT_EQ(Hero().m_bTookOff, 1);
  EXPECT_EQ(state.m_bLaunched, 1);
  EXPECT_EQ(Hero().m_nJumpHold, 1);
  EXPECT_EQ(Hero().m_bJumpProcessed, 1);
  EXPECT_EQ(h->Sounds(), (std::vector<int>{3 + 16}));
}

TEST_F(HeroJumpTest, ReleasingTheKeyEarlyCutsTheRiseToThirtyPercent) {
  for (int i = 0; i < 3; ++i) Frame(true);
  EXPECT_EQ(Hero().m_dSpeedY, -8);
  EXPECT_EQ(Hero().m_bRiseEnded, 0);
  Frame(false);
  EXPECT_DOUBLE_EQ(Hero().m_dSpeedY, -8 * 0.3);
  EXPECT_EQ(Hero().m_bRiseEnded, 1);
  EXPECT_EQ(Hero().m_nJumpHold, 0);
  EXPECT_EQ(Hero().m_bJumpReady, 1);
  // Released again: the rise has ended, nothing more is cut.
  Frame(false);
  EXPECT_DOUBLE_EQ(Hero().m_dSpeedY, -8 * 0.3);
}

TEST_F(HeroJumpTest, HeldToTheLimitTheRiseRunsItsFullCourse) {
  for (int i = 0; i < 10; ++i) Frame(true);
  EXPECT_EQ(Hero().m_bRiseEnded, 1);
  EXPECT_EQ(Hero().m_bJumpReady, 0);
  Frame(false);
  EXPECT_EQ(Hero().m_dSpeedY, -8);
  EXPECT_EQ(h->Sounds().size(), 1u);
}

TEST_F(HeroJumpTest, AFallingHeroAtTheLimitDoesNotEndARiseItDoesNotHave) {
  Frame(true);
  Hero().m_dSpeedY = 1;  // already falling
  for (int i = 0; i < 9; ++i) Frame(true);
  EXPECT_EQ(Hero().m_bRiseEnded, 0);
  EXPECT_EQ(Hero().m_bJumpReady, 1);
}

TEST_F(HeroJumpTest, KindZeroHoldsTheKeyForGoodAndAFlowWithoutKeyReleasesIt) {
  cmd.m_anParams[0] = 0;
  for (int i = 0; i < 3; ++i) Frame(false);
  EXPECT_EQ(Hero().m_nJumpHold, 3);
  EXPECT_EQ(Hero().m_dSpeedY, -8);

  Build(1);
  flowState.m_aKeySteps.clear();
  Frame(true);
  EXPECT_EQ(Hero().m_nJumpHold, 0);
  EXPECT_EQ(state.m_bLaunched, 0);

  Build(1);
  Hero().m_lpInput = nullptr;  // no input record: released
  Frame(true);
  EXPECT_EQ(state.m_bLaunched, 0);
}

TEST_F(HeroJumpTest, NothingWhileFlyingOrOnceStepped) {
  Hero().m_bGravityFree = 1;
  Frame(true);
  EXPECT_EQ(Hero().m_nJumpHold, 0);
  Hero().m_bGravityFree = 0;
  Frame(true);
  EXPECT_EQ(Hero().m_nJumpHold, 1);
  Hero().StepJumpCmd(state);  // a second call in the same step
  EXPECT_EQ(Hero().m_nJumpHold, 1);
}

TEST_F(HeroJumpTest, AFloorThatForbidsJumpingActsAsAReleasedKey) {
  Hero().m_bNoJump = 1;
  Frame(true);
  EXPECT_EQ(Hero().m_nJumpHold, 0);
  EXPECT_EQ(state.m_bLaunched, 0);
  // And a rise cut by it keeps its speed: the cut needs the flag clear.
  Hero().m_bNoJump = 0;
  Frame(true);
  Frame(true);
  Hero().m_bNoJump = 1;
  Frame(true);
  EXPECT_EQ(Hero().m_dSpeedY, -8);
  EXPECT_EQ(Hero().m_nJumpHold, 0);
}

// Who may take off, by the legacy switch of take-offs.
TEST_F(HeroJumpTest, TakeOffRulesByTheLegacySwitch) {
  struct Case {
    int legacy845a, tookOff, riding, inAir, subStep;
    double speed;  // 0: no take-off
  };
  const Case cases[] = {
      {0, 0, 0, 0, 1, -8}, {0, 1, 0, 0, 1, 0},         {1, 1, 0, 0, 1, -8}, {0, 0, 1, 0, 1, 0}, {0, 0, 1, 0, 2, -8},
      {1, 0, 1, 0, 1, -8}, {1, 0, 1, 0, 2, -8 * 1.02}, {0, 0, 0, 1, 2, 0},  {1, 0, 0, 1, 2, 0},
  };
  for (const Case& t : cases) {
    Build(2);
    g_SystemData.m_bLegacy845a = t.legacy845a;
    Hero().m_bTookOff = t.tookOff;
    Hero().m_bRiding = t.riding;
    Hero().m_bInAir = t.inAir;
    h->Stage().m_nSubStep = t.subStep;
    Frame(true);
    EXPECT_DOUBLE_EQ(Hero().m_dSpeedY, t.speed) << t.legacy845a << t.tookOff << t.riding << t.inAir << t.subStep;
    EXPECT_EQ(state.m_bLaunched, t.speed != 0 ? 1 : 0);
    if (t.speed != 0) EXPECT_EQ(Hero().m_bRiding, 0);
  }
}

TEST_F(HeroJumpTest, TheKeyMustBeTakenUpWithinTheFirstFrame) {
  Build(2);
  Hero().m_bCeilingHit = 1;  // the first two sub-steps cannot jump
  Frame(true);
  Frame(true);
  Hero().m_bCeilingHit = 0;
  Frame(true);  // hold 3 > n
  EXPECT_EQ(state.m_bLaunched, 0);
}

TEST_F(HeroJumpTest, ARunUpJumpsHigherTheFasterTheHeroRuns) {
  // p1 / p3: the high and low speeds in tenths of a dot per frame; p2 / p4: their heights.
  cmd.m_anParams = {2, 30, 8, 10, 2};
  struct Case {
    double impact;
    int height;
  };
  const Case cases[] = {{3.0, 8}, {-4.0, 8}, {1.0, 2}, {0.5, 2}, {2.0, 2 + 4}, {2.5, 2 + 5}, {-1.5, 2 + 3}};
  for (const Case& t : cases) {
    Build(1);
    cmd.m_anParams = {2, 30, 8, 10, 2};
    Hero().m_dImpactX = t.impact;
    Frame(true);
    EXPECT_DOUBLE_EQ(state.m_dSpeed, Hero().JumpLaunchSpeed(t.height * 16.0)) << t.impact;
    EXPECT_DOUBLE_EQ(Hero().m_dSpeedY, state.m_dSpeed);
  }
}

// On the ground with the key released the jump is over; the command may jump again.
TEST_F(HeroJumpTest, StandingAgainEndsTheJump) {
  Frame(true);
  Frame(false);
  Hero().m_bCeilingHit = 1;
  Hero().m_bKnockStarted = 1;
  state.m_bKeyFlag = 1;
  Hero().m_dSpeedY = 0.5;
  Hero().m_bRiding = 1;  // standing on something
  Frame(false);
  EXPECT_EQ(Hero().m_bKnockStarted, 0);
  EXPECT_EQ(Hero().m_bCeilingHit, 0);
  EXPECT_EQ(state.m_bKeyFlag, 0);
  EXPECT_EQ(state.m_bLaunched, 1);  // with a key condition the key flag goes, the launch stays
  // Rising, or with the key held, it is not over.
  Hero().m_bKnockStarted = 1;
  Hero().m_dSpeedY = -0.5;
  Frame(false);
  EXPECT_EQ(Hero().m_bKnockStarted, 1);
  Hero().m_dSpeedY = 0;
  Frame(true);
  EXPECT_EQ(Hero().m_bKnockStarted, 1);

  // Without a key condition the launch itself is cleared.
  Build(1);
  cmd.m_anParams[0] = 0;
  flowState.m_aKeySteps.clear();
  Frame(true);
  ASSERT_EQ(state.m_bLaunched, 1);
  Hero().m_dSpeedY = 0;
  Hero().m_bRiding = 1;
  Frame(true);
  EXPECT_EQ(state.m_bLaunched, 0);
  EXPECT_EQ(Hero().m_nJumpHold, 0);
}
