#include "flow/status_op.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "core/numbers.h"
#include "data/save_data.h"
#include "data/stage_data.h"
#include "data/system_data.h"
#include "flow/eval_world.h"
#include "objects/status_values.h"

namespace {

// Parameters of the status operation (the others 0).
enum : int {
  kDest = 0,     // 0 status, 1 variable, 2 flow variable
  kDestVarKind,  // 0 common, 1 stage
  kDestIndex,    // variable index
  kDestOwner,    // 0 actor, 1-4 target, 5 stage
  kDestStatus,   // status kind or stage value
  kDestFlowVar,  // 1 A, 2 B
  kOp,           // 0 set ... 6 percent
  kSource,       // 0 constant, 1 random, 2 status, 3 variable, 4 flow variable
  kConstant,
  kRandA,
  kRandB,
  kSrcVarKind,
  kSrcIndex,
  kSrcOwner,
  kSrcStatus,
  kSrcFlowVar,
  kPercent,
  kCalcMode,  // HP and SP: 0 value, 1 % of the maximum, 2 % of the current value
  kShowGauge,
  kRefuseInvincible,
  kDestCoords,
  kSrcCoords,
  kDestReference,
  kSrcReference,
  kStore,
};

cFlowCmd StatusCmd(std::initializer_list<std::pair<int, int32_t>> params) {
  cFlowCmd cmd;
  cmd.m_nKind = 22;
  cmd.m_anParams.assign(25, 0);
  for (const auto& [index, value] : params) cmd.m_anParams[static_cast<size_t>(index)] = value;
  return cmd;
}

struct StatusCase {
  const char* name;
  std::initializer_list<std::pair<int, int32_t>> params;
  cEvalState before;
  cEvalState after;
  int ok;
};

TEST(StatusOperation, DestinationsSourcesAndResults) {
  const StatusCase cases[] = {
      // Variables, with the result stored as A = 1, B = the change.
      {"set a common variable",
       {{kDest, 1}, {kDestIndex, 1}, {kConstant, 42}, {kStore, 1}},
       {},
       {.c1 = 42, .a = 1, .b = 39},
       1},
      {"add to a stage variable",
       {{kDest, 1}, {kDestVarKind, 1}, {kDestIndex, 1}, {kOp, 1}, {kConstant, 5}, {kStore, 1}},
       {.s1 = 2},
       {.s1 = 7, .a = 1, .b = 5},
       1},
      {"a product beyond the range is clamped",
       {{kDest, 1}, {kDestIndex, 1}, {kOp, 3}, {kConstant, 1000000}},
       {},
       {.c1 = 999999},
       1},
      {"percent of the current value: 3 x 50 % is 2",
       {{kDest, 1}, {kDestIndex, 1}, {kConstant, 50}, {kPercent, 1}},
       {},
       {.c1 = 2},
       1},
      {"percent of the current value: -3 x 50 % is -2",
       {{kDest, 1}, {kDestIndex, 1}, {kConstant, 50}, {kPercent, 1}},
       {.c1 = -3},
       {.c1 = -2},
       1},
      {"divide by 0 leaves the value", {{kDest, 1}, {kDestIndex, 1}, {kOp, 4}, {kStore, 1}}, {}, {.a = 1, .b = 0}, 1},
      {"remainder by 0 leaves the value", {{kDest, 1}, {kDestIndex, 1}, {kOp, 5}}, {}, {}, 1},
      {"without the store the flow variables stay",
       {{kDest, 1}, {kDestIndex, 1}, {kConstant, 8}},
       {.a = 7, .b = 9},
       {.c1 = 8, .a = 7, .b = 9},
       1},
      // Flow variables.
      {"A as destination ends with A = 1 and B = the change",
       {{kDest, 2}, {kDestFlowVar, 1}, {kOp, 1}, {kConstant, 5}, {kStore, 1}},
       {.a = 10},
       {.a = 1, .b = 5},
       1},
      {"B as destination", {{kDest, 2}, {kDestFlowVar, 2}, {kConstant, 9}, {kStore, 1}}, {.b = 4}, {.a = 1, .b = 5}, 1},
      {"B clamped", {{kDest, 2}, {kDestFlowVar, 2}, {kConstant, -2000000}}, {}, {.b = -999999}, 1},
      {"no such flow variable",
       {{kDest, 2}, {kDestFlowVar, 3}, {kConstant, 9}, {kStore, 1}},
       {.a = 5, .b = 5},
       {.a = 2, .b = 0},
       0},
      // Stage values.
      {"the timer", {{kDestOwner, 5}, {kDestStatus, 0}, {kConstant, 5000}}, {}, {.timer = 999}, 1},
      {"the score", {{kDestOwner, 5}, {kDestStatus, 3}, {kOp, 2}, {kConstant, 10}}, {.score = 5}, {.score = 0}, 1},
      {"the lives", {{kDestOwner, 5}, {kDestStatus, 4}, {kOp, 1}, {kConstant, 5}}, {.lives = 98}, {.lives = 99}, 1},
      {"unlimited lives refuse",
       {{kDestOwner, 5}, {kDestStatus, 4}, {kConstant, 5}, {kStore, 1}},
       {.lives = kUnlimitedLives},
       {.a = 2, .lives = kUnlimitedLives},
       0},
      {"no such stage value", {{kDestOwner, 5}, {kDestStatus, 5}, {kStore, 1}}, {}, {.a = 2}, 0},
      // Sources.
      {"a variable", {{kDest, 1}, {kDestIndex, 2}, {kSource, 3}, {kSrcIndex, 1}}, {}, {.c2 = 3}, 1},
      {"a stage variable",
       {{kDest, 1}, {kDestIndex, 2}, {kSource, 3}, {kSrcVarKind, 1}, {kSrcIndex, 1}},
       {.s1 = 6},
       {.c2 = 6, .s1 = 6},
       1},
      {"a flow variable",
       {{kDest, 1}, {kDestIndex, 2}, {kSource, 4}, {kSrcFlowVar, 2}},
       {.b = 6},
       {.c2 = 6, .b = 6},
       1},
      {"no such flow variable as source",
       {{kDest, 1}, {kDestIndex, 2}, {kSource, 4}, {kSrcFlowVar, 0}, {kStore, 1}},
       {},
       {.a = 2},
       0},
      {"the actor's variable",
       {{kDest, 1}, {kDestIndex, 2}, {kSource, 2}, {kSrcIndex, 1}},
       {.v1 = 11},
       {.c2 = 11, .v1 = 11},
       1},
      {"the target's life",
       {{kDest, 1}, {kDestIndex, 2}, {kSource, 2}, {kSrcOwner, 1}, {kSrcStatus, 1}},
       {},
       {.c2 = 30},
       1},
      {"an empty target slot",
       {{kDest, 1}, {kDestIndex, 2}, {kSource, 2}, {kSrcOwner, 2}, {kSrcStatus, 1}, {kStore, 1}},
       {},
       {.a = 2},
       0},
      {"the view range of a character that is not the hero",
       {{kDest, 1}, {kDestIndex, 2}, {kSource, 2}, {kSrcStatus, 10}, {kStore, 1}},
       {.c2 = 5},
       {.c2 = 5, .a = 2},
       0},
      {"the hero's view range",
       {{kDest, 1}, {kDestIndex, 2}, {kSource, 2}, {kSrcOwner, 1}, {kSrcStatus, 10}},
       {.c2 = 5},
       {.c2 = 0},
       1},
      {"the stage's score",
       {{kDest, 1}, {kDestIndex, 2}, {kSource, 2}, {kSrcOwner, 5}, {kSrcStatus, 3}},
       {.score = 77},
       {.c2 = 77, .score = 77},
       1},
      {"unlimited lives read 100",
       {{kDest, 1}, {kDestIndex, 2}, {kSource, 2}, {kSrcOwner, 5}, {kSrcStatus, 4}},
       {.lives = kUnlimitedLives},
       {.c2 = 100, .lives = kUnlimitedLives},
       1},
      {"the actor's relative x is 0", {{kDest, 1}, {kDestIndex, 2}, {kSource, 2}, {kSrcStatus, 6}}, {.c2 = 5}, {}, 1},
      {"the target's screen x",
       {{kDest, 1}, {kDestIndex, 2}, {kSource, 2}, {kSrcOwner, 1}, {kSrcStatus, 6}, {kSrcCoords, 2}},
       {},
       {.c2 = 316},
       1},
      {"an unknown source", {{kDest, 1}, {kDestIndex, 2}, {kSource, 5}, {kStore, 1}}, {}, {.a = 2}, 0},
      // Characters.
      {"a character variable", {{kDestIndex, 1}, {kConstant, 1000000}}, {}, {.v1 = 999999}, 1},
      {"a character id of 97 plus 5", {{kDestStatus, 5}, {kOp, 1}, {kConstant, 5}}, {.cid = 97}, {.cid = 99}, 1},
      {"a maximum life lowers the life",
       {{kDestStatus, 3}, {kConstant, 40}, {kStore, 1}},
       {},
       {.a = 1, .b = -60, .hp = 40, .mhp = 40},
       1},
      {"another character's life taken by its maximum",
       {{kDestOwner, 1}, {kDestStatus, 3}, {kConstant, 0}},
       {},
       {.heroHp = 0, .byCmd = 1},
       1},
      {"an empty target slot as destination", {{kDestOwner, 3}, {kDestStatus, 5}, {kStore, 1}}, {}, {.a = 2}, 0},
      {"an unknown status", {{kDestStatus, 17}, {kStore, 1}}, {}, {.a = 2}, 0},
      {"an unknown destination", {{kDest, 3}, {kStore, 1}}, {}, {.a = 2}, 0},
  };
  for (const StatusCase& c : cases) {
    SCOPED_TRACE(c.name);
    cEvalWorld w;
    c.before.Apply(w);
    cFlowCmd cmd = StatusCmd(c.params);
    EXPECT_EQ(StatusOperation(w.Actor(), cmd, w.m_anFlowVars), c.ok);
    EXPECT_EQ(cEvalState::Read(w), c.after);
  }
}

TEST(StatusOperation, ARandomValueBetweenTheBoundsInEitherOrder) {
  cEvalWorld w;
  QcSrand(5);
  cFlowCmd cmd = StatusCmd({{kDest, 1}, {kDestIndex, 1}, {kSource, 1}, {kRandA, 9}, {kRandB, 3}});
  ASSERT_EQ(StatusOperation(w.Actor(), cmd, w.m_anFlowVars), 1);
  QcSrand(5);
  EXPECT_EQ(g_SaveData.m_anCommonVars[1], RandRange(3, 9));
}

TEST(StatusOperation, StageValuesAsSources) {
  cEvalWorld w;
  cFlowCmd timer = StatusCmd({{kDest, 1}, {kDestIndex, 1}, {kSource, 2}, {kSrcOwner, 5}, {kSrcStatus, 0}});
  w.m_Harness.Stage().m_nTimer = 120;
  w.m_Harness.Stage().m_bTimerStopped = 0;
  ASSERT_EQ(StatusOperation(w.Actor(), timer, nullptr), 1);
  EXPECT_EQ(g_SaveData.m_anCommonVars[1], 120);
  w.m_Harness.Stage().m_bTimerStopped = 1;
  ASSERT_EQ(StatusOperation(w.Actor(), timer, nullptr), 1);
  EXPECT_EQ(g_SaveData.m_anCommonVars[1], 0);  // a stage without a time limit reads 0

  cFlowCmd lives = StatusCmd({{kDest, 1}, {kDestIndex, 1}, {kSource, 2}, {kSrcOwner, 5}, {kSrcStatus, 4}});
  g_SaveData.m_nLives = kUnlimitedLives;
  g_SystemData.m_bLegacy819 = 1;
  ASSERT_EQ(StatusOperation(w.Actor(), lives, nullptr), 1);
  EXPECT_EQ(g_SaveData.m_anCommonVars[1], 0);
}

TEST(StatusOperation, FlowVariablesAreOnlyWrittenWhenThereAreSome) {
  cEvalWorld w;
  cFlowCmd toA = StatusCmd({{kDest, 2}, {kDestFlowVar, 1}, {kConstant, 3}, {kStore, 1}});
  EXPECT_EQ(StatusOperation(w.Actor(), toA, nullptr), 0);
  cFlowCmd stored = StatusCmd({{kDest, 1}, {kDestIndex, 1}, {kConstant, 3}, {kStore, 1}});
  EXPECT_EQ(StatusOperation(w.Actor(), stored, nullptr), 1);
  EXPECT_EQ(g_SaveData.m_anCommonVars[1], 3);
  StoreStatusFailure(stored, nullptr);  // nothing to write into
  int32_t vars[2] = {5, 6};
  StoreStatusFailure(StatusCmd({}), vars);
  EXPECT_EQ(vars[0], 5);  // not asked for
  StoreStatusFailure(stored, vars);
  EXPECT_EQ(vars[0], 2);
  EXPECT_EQ(vars[1], 0);
}

TEST(StatusOperation, NarrowStatusesAndTheirClamps) {
  struct Case {
    int status;
    int op;
    int32_t value;
    int32_t expected;
    int32_t (*read)(const cCharaType&);
  };
  const Case cases[] = {
      {8, 0, 9, 7, [](const cCharaType& t) -> int32_t { return t.m_nLayer; }},
      {9, 1, 500, 119, [](const cCharaType& t) -> int32_t { return t.m_nBadge; }},
      {11, 0, -2000000, -999999, [](const cCharaType& t) -> int32_t { return t.m_nBodyPower; }},
      {12, 0, -30, -20, [](const cCharaType& t) -> int32_t { return t.m_nBodyImpact; }},
      {13, 0, -5, 0, [](const cCharaType& t) -> int32_t { return t.m_nDefence; }},
      {14, 0, 25, 20, [](const cCharaType& t) -> int32_t { return t.m_nImpactResist; }},
      {16, 2, 5, -5, [](const cCharaType& t) -> int32_t { return t.m_nScore; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    cEvalWorld w;
    cFlowCmd cmd = StatusCmd({{kDestStatus, c.status}, {kOp, c.op}, {kConstant, c.value}, {kStore, 1}});
    ASSERT_EQ(StatusOperation(w.Actor(), cmd, w.m_anFlowVars), 1);
    EXPECT_EQ(c.read(w.Actor().m_Type), c.expected);
    EXPECT_EQ(w.m_anFlowVars[0], 1);
  }
  // Percent of a byte value: 120 % of the impact resistance 10.
  cEvalWorld w;
  w.Actor().m_Type.m_nImpactResist = 10;
  cFlowCmd cmd = StatusCmd({{kDestStatus, 14}, {kConstant, 150}, {kPercent, 1}});
  ASSERT_EQ(StatusOperation(w.Actor(), cmd, nullptr), 1);
  EXPECT_EQ(w.Actor().m_Type.m_nImpactResist, 15);
}

TEST(StatusOperation, AnInvincibleCharacterCanRefuse) {
  cEvalWorld w;
  w.Actor().m_Type.m_nOpt32 = 1;
  cFlowCmd refusing = StatusCmd({{kDestStatus, 5}, {kConstant, 9}, {kRefuseInvincible, 1}, {kStore, 1}});
  EXPECT_EQ(StatusOperation(w.Actor(), refusing, w.m_anFlowVars), 0);
  EXPECT_EQ(w.Actor().m_Type.m_nCharaId, 0);
  EXPECT_EQ(w.m_anFlowVars[0], 2);
  cFlowCmd plain = StatusCmd({{kDestStatus, 5}, {kConstant, 9}});
  EXPECT_EQ(StatusOperation(w.Actor(), plain, w.m_anFlowVars), 1);
  EXPECT_EQ(w.Actor().m_Type.m_nCharaId, 9);
}

TEST(StatusOperation, AutomaticScrollSpeedRestartsTheScroll) {
  cEvalWorld w;
  g_StageFile.m_bAutoScrollY = 1;
  cFlowCmd cmd = StatusCmd({{kDestOwner, 5}, {kDestStatus, 2}, {kConstant, -600}});
  ASSERT_EQ(StatusOperation(w.Actor(), cmd, nullptr), 1);
  EXPECT_EQ(g_StageFile.m_nAutoScrollSpeedY, -480);
  EXPECT_EQ(w.m_Harness.Stage().m_ScrollY.m_bAutoOn, 1);
  EXPECT_DOUBLE_EQ(w.m_Harness.Stage().m_ScrollY.m_dAutoSpeed, -48.0);
}

TEST(StatusOperation, ViewRangeOnlyForTheHero) {
  cEvalWorld w;
  cFlowCmd onActor = StatusCmd({{kDestStatus, 10}, {kConstant, 5}, {kStore, 1}});
  EXPECT_EQ(StatusOperation(w.Actor(), onActor, w.m_anFlowVars), 0);
  EXPECT_EQ(w.m_anFlowVars[0], 2);
  cFlowCmd onHero = StatusCmd({{kDestOwner, 1}, {kDestStatus, 10}, {kConstant, 50}});
  ASSERT_EQ(StatusOperation(w.Actor(), onHero, nullptr), 1);
  EXPECT_EQ(w.Hero().m_Type.m_nViewRange, 40);
  ASSERT_EQ(w.m_Harness.CallsOf("buildViewMask").size(), 1u);
  EXPECT_EQ(w.Hero().m_nViewRange, 640);
}

TEST(StatusOperation, EaseOfStoppingRecomputesTheFriction) {
  cEvalWorld w;
  cFlowCmd cmd = StatusCmd({{kDestStatus, 15}, {kConstant, 300}});
  ASSERT_EQ(StatusOperation(w.Actor(), cmd, nullptr), 1);
  EXPECT_EQ(w.Actor().m_Type.m_nStopEase, 200);
  EXPECT_DOUBLE_EQ(w.Actor().m_dFriction, 2.0);
}

TEST(StatusOperation, LifeAndSpecialPointsChangeThroughTheCharacter) {
  struct Case {
    const char* name;
    std::initializer_list<std::pair<int, int32_t>> params;
    cEvalState before;
    cEvalState after;
  };
  const Case cases[] = {
      {"subtract from the life",
       {{kDestStatus, 1}, {kOp, 2}, {kConstant, 10}, {kStore, 1}},
       {},
       {.a = 1, .b = -10, .hp = 40}},
      {"20 % of the maximum", {{kDestStatus, 1}, {kOp, 2}, {kConstant, 20}, {kCalcMode, 1}}, {}, {.hp = 30}},
      {"50 % of the current life", {{kDestStatus, 1}, {kConstant, 50}, {kCalcMode, 2}}, {}, {.hp = 25}},
      {"a gain is limited to the missing life",
       {{kDestStatus, 1}, {kOp, 1}, {kConstant, 100}, {kStore, 1}},
       {.hp = 95},
       {.a = 1, .b = 5, .hp = 100}},
      {"another character's life taken",
       {{kDestOwner, 1}, {kDestStatus, 1}, {kConstant, 0}},
       {},
       {.heroHp = 0, .byCmd = 1}},
      {"the actor's own life taken", {{kDestStatus, 1}, {kConstant, 0}}, {}, {.hp = 0}},
      {"special points", {{kDestStatus, 2}, {kOp, 1}, {kConstant, 3}}, {}, {.sp = 8}},
      {"special points limited", {{kDestStatus, 2}, {kOp, 1}, {kConstant, 30}}, {}, {.sp = 10}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cEvalWorld w;
    c.before.Apply(w);
    cFlowCmd cmd = StatusCmd(c.params);
    ASSERT_EQ(StatusOperation(w.Actor(), cmd, w.m_anFlowVars), 1);
    EXPECT_EQ(cEvalState::Read(w), c.after);
  }
}

// A position is warped to; a blocked place leaves the character and sets A to 2 whether or not the
// result is stored (a stored result has written B first). The actor's screen rectangle starts at
// (40, 10), 32 x 32: its centre is (56, 26); blocks stand right of it and below it.
TEST(StatusOperation, PositionsWarpAndABlockedPlaceIsReported) {
  struct Case {
    const char* name;
    std::initializer_list<std::pair<int, int32_t>> params;
    int32_t a, b;
    bool moved;
  };
  const Case cases[] = {
      {"free, stored", {{kDestStatus, 6}, {kOp, 1}, {kConstant, 20}, {kDestCoords, 2}, {kStore, 1}}, 1, 20, true},
      {"blocked, stored", {{kDestStatus, 6}, {kConstant, 120}, {kDestCoords, 2}, {kStore, 1}}, 2, 120 - 56, false},
      {"free, not stored", {{kDestStatus, 6}, {kOp, 1}, {kConstant, 20}, {kDestCoords, 2}}, 7, 9, true},
      {"blocked, not stored", {{kDestStatus, 6}, {kConstant, 120}, {kDestCoords, 2}}, 2, 9, false},
      {"y blocked, not stored", {{kDestStatus, 7}, {kOp, 1}, {kConstant, 32}, {kDestCoords, 2}}, 2, 9, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cEvalWorld w(std::vector<std::string>{"H.C#", "....", "..#."});
    cChara& my = w.Actor();
    my.m_nWidth = my.m_nBaseWidth = 32;
    my.m_nHeight = my.m_nBaseHeight = 32;
    my.m_dY = 330;
    my.m_dY2 = 361;
    w.m_Harness.Stage().m_ScrollX.m_dPosition = 320;
    w.m_Harness.Stage().m_ScrollY.m_dPosition = 320;
    my.m_ScreenRect = {40, 10, 71, 41};
    const double x = my.m_dX, y = my.m_dY;
    w.m_anFlowVars[0] = 7;
    w.m_anFlowVars[1] = 9;
    cFlowCmd cmd = StatusCmd(c.params);
    ASSERT_EQ(StatusOperation(my, cmd, w.m_anFlowVars), 1);
    EXPECT_EQ(w.m_anFlowVars[0], c.a);
    EXPECT_EQ(w.m_anFlowVars[1], c.b);
    if (c.moved) {
      EXPECT_DOUBLE_EQ(my.m_dX, 320 + 76 - 16 + 0.5);  // the centre at screen x 76
    } else {
      EXPECT_DOUBLE_EQ(my.m_dX, x);
      EXPECT_DOUBLE_EQ(my.m_dY, y);
    }
  }
}

}  // namespace
