// Conditions of kinds 4-6 on a character: status values, variables and flow variables against
// every right side (the right value stored into the operand), the system values, the status flags
// and the state tests with empty target slots.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/log.h"
#include "core/numbers.h"
#include "data/save_data.h"
#include "data/system_data.h"
#include "objects/chara.h"
#include "objects/chara_conditions.h"
#include "objects/flow_test_support.h"
#include "objects/stage_physics.h"
#include "test_support/fresh_play_objects.h"
#include "test_support/stage_harness.h"

namespace {

// Conditions of kind 4 by their parts.
cCond StatusCond(int leftSource, int leftWhose, int leftWhich, int op, int operand) {
  cCond cond;
  cond.m_nKind = kCondStatus;
  cond.m_nLeftSource = static_cast<int8_t>(leftSource);
  cond.m_nLeftWhose = static_cast<int8_t>(leftWhose);
  cond.m_nLeftWhich = static_cast<int8_t>(leftWhich);
  cond.m_nOperator = static_cast<int8_t>(op);
  cond.m_nOperand = operand;
  return cond;
}

constexpr int kEqual = 0;
constexpr int kNotEqual = 1;
constexpr int kAtLeast = 2;

class CharaConditionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_bQuit = 0;
    g_StageFile.SetHitCheckLevel(1);
    g_SaveData.m_anCommonVars.assign(10, 0);
    m_Chara.m_anVars.assign(9, 0);
    m_Chara.m_nControl = 1;
    m_Target.m_anVars.assign(9, 0);
    m_Chara.SetTarget(0, &m_Target);
  }
  void TearDown() override {
    m_Chara.UnlinkAll();
    EXPECT_EQ(g_bQuit.load(), 0);
  }

  cFreshPlayObjects m_FreshRun;
  cTestStage m_Stage;
  cChara m_Target;
  cChara m_Chara;
};

}  // namespace

TEST_F(CharaConditionsTest, TheRightSideIsStoredIntoTheOperand) {
  int32_t flowVars[2] = {-6, 41};
  m_Chara.m_anVars[0] = 0;
  m_Target.m_nHp = 9;
  g_SaveData.m_anCommonVars[4] = 12;
  m_Stage.m_anStageVars[7] = -3;
  g_SaveData.m_nScore = 700;
  struct Case {
    std::string name;
    int source, whose, which, varKind, varIndex, flowVar;
    int32_t operand;
    bool holds;
  };
  const Case cases[] = {
      {"constant", 0, 0, 0, 0, 0, 0, 5, true},
      {"status of target 1", 2, 1, 1, 0, 0, 0, 9, true},
      {"status of an empty slot", 2, 2, 1, 0, 0, 0, 0, false},
      {"common variable", 3, 0, 0, 0, 4, 0, 12, true},
      {"stage variable", 3, 0, 0, 1, 7, 0, -3, true},
      {"other variable kind", 3, 0, 0, 2, 7, 0, 0, true},
      {"flow variable B", 4, 0, 0, 0, 0, 2, 41, true},
      {"system score", 2, 5, 3, 0, 0, 0, 700, true},
      {"other source", 9, 0, 0, 0, 0, 0, 0, true},
  };
  for (const Case& c : cases) {
    cCond cond = StatusCond(0, 0, 0, kNotEqual, 123456);  // variable 0 (0) differs from the right side...
    cond.m_nRightSource = static_cast<int8_t>(c.source);
    cond.m_nRightWhose = static_cast<int8_t>(c.whose);
    cond.m_nRightWhich = static_cast<int8_t>(c.which);
    cond.m_nRightVarKind = static_cast<int8_t>(c.varKind);
    cond.m_nRightVarIndex = static_cast<int16_t>(c.varIndex);
    cond.m_nRightFlowVar = static_cast<int8_t>(c.flowVar);
    if (c.source == 0) cond.m_nOperand = c.operand;
    const bool result = CheckStatusCond(cond, m_Chara, flowVars);
    if (!c.holds) {
      EXPECT_FALSE(result) << c.name;
      continue;
    }
    EXPECT_EQ(cond.m_nOperand, c.operand) << c.name;
    EXPECT_EQ(result, c.operand != 0) << c.name;  // ... unless the right side is 0 too
  }
  // A random right side draws once between its bounds.
  QcSrand(77);
  const int32_t drawn = RandRange(3, 5);
  QcSrand(77);
  cCond random = StatusCond(0, 0, 0, kEqual, 0);
  random.m_nRightSource = 1;
  random.m_nRandLow = 3;
  random.m_nRandHigh = 5;
  CheckStatusCond(random, m_Chara, nullptr);
  EXPECT_EQ(random.m_nOperand, drawn);
  const int next = QcRand();  // one draw, no more
  QcSrand(77);
  QcRand();
  EXPECT_EQ(next, QcRand());
  // A flow variable without flow variables fails.
  cCond noVars = StatusCond(0, 0, 0, kNotEqual, 0);
  noVars.m_nRightSource = 4;
  noVars.m_nRightFlowVar = 1;
  EXPECT_FALSE(CheckStatusCond(noVars, m_Chara, nullptr));
}

TEST_F(CharaConditionsTest, FlowVariablesAndVariablesOnTheLeft) {
  int32_t flowVars[2] = {30, -2};
  g_SaveData.m_anCommonVars[3] = 17;
  m_Stage.m_anStageVars[999] = 8;
  struct Case {
    int source, varKind, index, flowVar;
    int32_t operand;
    int op;
    bool withVars;
    bool holds;
  };
  const Case cases[] = {
      {2, 0, 0, 1, 30, kEqual, true, true},    {2, 0, 0, 2, -2, kEqual, true, true},
      {2, 0, 0, 2, -2, kEqual, false, false},  {2, 0, 0, 3, 0, kAtLeast, true, false},
      {1, 0, 3, 0, 17, kEqual, true, true},    {1, 1, 999, 0, 9, kAtLeast, true, false},
      {1, 1, 999, 0, 8, kAtLeast, true, true}, {1, 2, 0, 0, 0, kEqual, true, false},
      {5, 0, 0, 0, 0, kEqual, true, false},
  };
  for (const Case& c : cases) {
    cCond cond = StatusCond(c.source, 0, 0, c.op, c.operand);
    cond.m_nLeftVarKind = static_cast<int8_t>(c.varKind);
    cond.m_nVarIndex = static_cast<int16_t>(c.index);
    cond.m_nLeftFlowVar = static_cast<int8_t>(c.flowVar);
    EXPECT_EQ(CheckStatusCond(cond, m_Chara, c.withVars ? flowVars : nullptr), c.holds)
        << c.source << " " << c.varKind << " " << c.flowVar;
  }
}

TEST_F(CharaConditionsTest, CharacterStatuses) {
  cCharaType& type = m_Target.m_Type;
  m_Target.m_anVars[4] = -70;
  m_Target.m_nHp = 4;
  type.m_nMaxHp = 7;
  m_Target.m_nSp = 30;
  type.m_nMaxSp = 60;
  type.m_nCharaId = 12;
  type.m_nLayer = 5;
  type.m_nBadge = 119;
  type.m_nViewRange = 6;
  type.m_nBodyPower = 250;
  type.m_nBodyImpact = -3;
  type.m_nDefence = 40;
  type.m_nImpactResist = 9;
  type.m_nStopEase = 50;
  type.m_nScore = 1500;
  m_Target.m_nControl = 1;
  struct Case {
    int which;
    int32_t operand;
    int op;
    int percent;
    bool holds;
  };
  const Case cases[] = {
      {0, -70, kEqual, 0, true},    // variable (number 4)
      {1, 50, kEqual, 1, true},     // HP 4 = 50 % of 7 (3.5 rounded away from zero)
      {1, 4, kEqual, 0, true},      //
      {2, 50, kEqual, 1, true},     // SP 30 = 50 % of 60
      {3, 7, kEqual, 0, true},      // maximum HP
      {4, 60, kEqual, 0, true},     // maximum SP
      {5, 12, kEqual, 0, true},     // character id, by bytes
      {5, 12, kEqual, 1, false},    // percent mode: a percentage of nothing
      {8, 5, kEqual, 0, true},      // layer
      {9, 119, kEqual, 0, true},    // badge
      {9, 200, kEqual, 0, false},   // a plain operand is not held in the badge's range
      {10, 6, kEqual, 0, false},    // view range of a computer-controlled character
      {11, 250, kEqual, 0, true},   // body power
      {12, -3, kEqual, 0, true},    // body impact
      {13, 40, kEqual, 0, true},    // defence
      {14, 9, kEqual, 0, true},     // impact resistance
      {15, 50, kEqual, 0, true},    // ease of stopping
      {16, 1500, kEqual, 0, true},  // score for defeating
      {17, 0, kEqual, 0, true},     // beyond the table: holds
  };
  for (const Case& c : cases) {
    cCond cond = StatusCond(0, 1, c.which, c.op, c.operand);
    cond.m_nVarIndex = 4;
    cond.m_bPercent = static_cast<int8_t>(c.percent);
    EXPECT_EQ(CheckStatusCond(cond, m_Chara, nullptr), c.holds) << c.which << " " << c.percent;
  }
  m_Target.m_nHp = 3;
  cCond hp = StatusCond(0, 1, 1, kEqual, 50);
  hp.m_bPercent = 1;
  EXPECT_FALSE(CheckStatusCond(hp, m_Chara, nullptr));
  // Only a percentage is limited to the value's range (HP at most 999999; no lower limit).
  struct Limit {
    int32_t maxHp, hp, operand;
    int op, percent;
    bool holds;
  };
  const Limit limits[] = {
      {7, 0, -50, kEqual, 1, false},                // -3.5 rounds to -4
      {7, 0, -50, kAtLeast, 1, true},               //
      {100, 100, 150, kEqual, 1, false},            // 150
      {100, 100, 150, 3, 1, true},                  // HP <= 150
      {120, 30, 25, kEqual, 1, true},               //
      {999999, 999999, 200, kEqual, 1, true},       // 1999998, held at 999999
      {999999, 999999, 1000000, kEqual, 0, false},  // a plain operand is compared as it is
  };
  for (const Limit& l : limits) {
    type.m_nMaxHp = l.maxHp;
    m_Target.m_nHp = l.hp;
    cCond limited = StatusCond(0, 1, 1, l.op, l.operand);
    limited.m_bPercent = static_cast<int8_t>(l.percent);
    EXPECT_EQ(CheckStatusCond(limited, m_Chara, nullptr), l.holds) << l.maxHp << " " << l.hp << " " << l.operand;
  }
  // A player-controlled character has its view range read.
  m_Target.m_nControl = 0;
  cCond view = StatusCond(0, 1, 10, kEqual, 6);
  EXPECT_TRUE(CheckStatusCond(view, m_Chara, nullptr));
  // Reading the ease of stopping brings the friction in line with it.
  m_Target.m_dFriction = 0;
  cCond ease = StatusCond(0, 1, 15, kEqual, 50);
  CheckStatusCond(ease, m_Chara, nullptr);
  EXPECT_EQ(m_Target.m_dFriction, FrictionFromSetting(50));
  // An empty slot fails.
  cCond empty = StatusCond(0, 3, 1, kNotEqual, 0);
  EXPECT_FALSE(CheckStatusCond(empty, m_Chara, nullptr));
}

TEST_F(CharaConditionsTest, ScreenCoordinatesOfTheSubject) {
  m_Target.m_dX = 160.5;
  m_Target.m_dY = 90;
  m_Target.m_nGraphicWidth = 32;
  m_Target.m_nGraphicHeight = 32;
  m_Target.m_ScreenRect = {150, 80, 181, 111};
  cCond x = StatusCond(0, 1, 6, kEqual, 150 + 16);
  x.m_nLeftExtra1 = 2;  // screen coordinates
  EXPECT_TRUE(CheckStatusCond(x, m_Chara, nullptr));
  cCond y = StatusCond(0, 1, 7, kEqual, 80 + 16);
  y.m_nLeftExtra1 = 2;
  EXPECT_TRUE(CheckStatusCond(y, m_Chara, nullptr));
}

TEST_F(CharaConditionsTest, SystemValues) {
  m_Stage.m_nTimer = 120;
  g_StageFile.m_nAutoScrollSpeedX = -30;
  g_StageFile.m_nAutoScrollSpeedY = 45;
  g_SaveData.m_nScore = 5000;
  g_SaveData.m_nLives = 3;
  struct Case {
    int which;
    int32_t operand;
    bool holds;
  };
  const Case cases[] = {{0, 120, true}, {1, -30, true}, {2, 45, true}, {3, 5000, true}, {4, 3, true}, {5, 0, false}};
  for (const Case& c : cases) {
    cCond cond = StatusCond(0, 5, c.which, kEqual, c.operand);
    EXPECT_EQ(CheckStatusCond(cond, m_Chara, nullptr), c.holds) << c.which;
  }
  // A stopped timer reads 0.
  m_Stage.m_bTimerStopped = 1;
  cCond timer = StatusCond(0, 5, 0, kEqual, 0);
  EXPECT_TRUE(CheckStatusCond(timer, m_Chara, nullptr));
}

// The remaining lives: unlimited lives (999999) count as 100, and no comparison holds while the
// display hides the lives; the lives have no range of their own, and in percent mode the right side
// is a percentage of nothing.
TEST_F(CharaConditionsTest, Lives) {
  struct Case {
    int32_t lives;
    bool shown;
    int percent, op;
    int32_t operand;
    bool holds;
  };
  const Case cases[] = {
      {999999, true, 0, kEqual, 100, true},     {999999, true, 0, kAtLeast, 3, true},
      {999999, true, 0, kEqual, 999999, false}, {999999, true, 0, kNotEqual, 100, false},
      {999999, true, 0, 4, 99, true},           {999999, true, 0, 6, 10, true},
      {999999, false, 0, kEqual, 100, false},   {999999, false, 0, kNotEqual, 100, false},
      {999999, false, 0, kAtLeast, 0, false},   {3, false, 0, kAtLeast, 3, true},
      {3, true, 0, kEqual, 100, false},         {999999, true, 1, kAtLeast, 50, true},
      {999999, true, 1, kEqual, 50, false},
  };
  for (const Case& c : cases) {
    g_SaveData.m_nLives = c.lives;
    g_SystemData.m_aStatusItems.at(4).m_bShown = c.shown ? 1 : 0;
    cCond cond = StatusCond(0, 5, 4, c.op, c.operand);
    cond.m_bPercent = static_cast<int8_t>(c.percent);
    EXPECT_EQ(CheckStatusCond(cond, m_Chara, nullptr), c.holds)
        << c.lives << (c.shown ? " shown" : " hidden") << " percent " << c.percent << " op " << c.op << " "
        << c.operand;
  }
}

TEST_F(CharaConditionsTest, StatusFlags) {
  cCharaType& type = m_Target.m_Type;
  type.m_nOpt18 = -1;  // transparency, read unsigned
  type.m_nOpt31 = -1;  // fixed facing, read signed
  type.m_nMoveMode = 2;
  type.m_nOpt32 = 1;
  type.m_nScale = 3;
  type.m_nOpt36 = -2;  // sync, read unsigned
  g_StageFile.m_nAutoScrollSpeedX = 25;
  g_StageFile.m_nAutoScrollSpeedY = -5;
  struct Case {
    int whose, which, operand;
    bool holds;
  };
  const Case cases[] = {
      {1, 1, 255, true}, {1, 2, -1, true}, {1, 3, 2, true},  {1, 4, 1, true},  {1, 5, 3, true},
      {1, 6, 254, true}, {1, 0, 0, false}, {1, 7, 0, false}, {2, 3, 0, false}, {5, 0, 25, true},
      {5, 1, -5, true},  {5, 2, 0, false}, {0, 5, 1, true},
  };
  for (const Case& c : cases) {
    cCond cond;
    cond.m_nKind = kCondStatus2;
    cond.m_nLeftWhose = static_cast<int8_t>(c.whose);
    cond.m_nLeftWhich = static_cast<int8_t>(c.which);
    cond.m_nVarIndex = static_cast<int16_t>(c.operand);
    cond.m_nOperand = 777;  // kind 5 compares with the variable-index field
    cond.m_nOperator = kEqual;
    if (c.whose == 0) m_Chara.m_Type.m_nScale = 1;
    EXPECT_EQ(CheckStatusCond2(m_Chara, cond), c.holds) << c.whose << " " << c.which;
  }
}

TEST_F(CharaConditionsTest, StateTests) {
  // Scrolled to the map's start: a character at (100, 100) is on screen.
  m_Target.m_nFacing = 0;
  m_Target.m_dX = 100;
  m_Target.m_dY = 100;
  m_Target.m_dX2 = 131;
  m_Target.m_dY2 = 131;
  struct Case {
    std::string name;
    int whose, which, op;
    bool holds;
  };
  const std::vector<Case> cases = {
      {"facing left", 1, 0, 0, true},
      {"facing right", 1, 1, 0, false},
      {"not facing right", 1, 1, 1, true},
      {"facing left, empty slot", 2, 0, 0, false},
      {"not facing left, empty slot", 2, 0, 1, false},
      {"exists", 1, 4, 0, true},
      {"not exists, empty slot", 2, 4, 1, true},
      {"exists, empty slot", 2, 4, 0, false},
      {"self exists", 0, 4, 0, true},
      {"the system has no state", 5, 4, 1, false},
      {"unknown state", 1, 9, 1, false},
  };
  for (const Case& c : cases) {
    cCond cond;
    cond.m_nKind = kCondState;
    cond.m_nLeftWhose = static_cast<int8_t>(c.whose);
    cond.m_nLeftWhich = static_cast<int8_t>(c.which);
    cond.m_nOperator = static_cast<int8_t>(c.op);
    EXPECT_EQ(CheckStateCond(m_Chara, cond), c.holds) << c.name;
  }
  cCond exists;
  exists.m_nKind = kCondState;
  exists.m_nLeftWhose = 1;
  exists.m_nLeftWhich = 4;
  m_Target.m_bDead = 1;
  EXPECT_FALSE(CheckStateCond(m_Chara, exists));

  // Standing: not flying, and riding or neither in the air nor taken off.
  cCond standing = exists;
  standing.m_nLeftWhich = 2;
  struct Stand {
    int gravityFree, riding, inAir, tookOff;
    bool holds;
  };
  for (const Stand& s : {Stand{0, 0, 0, 0, true}, Stand{1, 1, 0, 0, false}, Stand{0, 0, 1, 0, false},
                         Stand{0, 0, 0, 1, false}, Stand{0, 1, 1, 1, true}}) {
    m_Target.m_bGravityFree = s.gravityFree;
    m_Target.m_bRiding = s.riding;
    m_Target.m_bInAir = s.inAir;
    m_Target.m_bTookOff = s.tookOff;
    EXPECT_EQ(CheckStateCond(m_Chara, standing), s.holds) << s.gravityFree << s.riding << s.inAir << s.tookOff;
  }

  // On screen: a computer-controlled character by its flag of this frame, a player's by the view.
  cCond onScreen = exists;
  onScreen.m_nLeftWhich = 3;
  m_Target.m_nControl = 1;
  m_Target.m_bOnScreen = 0;
  EXPECT_FALSE(CheckStateCond(m_Chara, onScreen));
  m_Target.m_nControl = 0;
  EXPECT_TRUE(CheckStateCond(m_Chara, onScreen));
  m_Target.m_dX = 5000;
  m_Target.m_dX2 = 5031;
  EXPECT_FALSE(CheckStateCond(m_Chara, onScreen));
}

TEST(CharaConditionsOnTheHarness, FlowConditionsOfKindsFourToSevenAreCheckedByDefault) {
  cStageHarness h({"H.C", "###"});
  cChara& chara = h.Chara(0);
  chara.m_nFacing = 0;
  cFlow flow;
  cCond facingLeft;
  facingLeft.m_nKind = kCondState;
  facingLeft.m_nLeftWhich = 0;
  flow.m_aConds = {facingLeft};
  cFlowState state;
  state.m_lpFlow = &flow;
  EXPECT_TRUE(CheckFlowCondition(state, chara));
  chara.m_nFacing = 1;
  EXPECT_FALSE(CheckFlowCondition(state, chara));
}
