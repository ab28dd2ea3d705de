#include "flow/expression.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/log.h"
#include "core/numbers.h"
#include "data/save_data.h"
#include "data/stage_data.h"
#include "data/system_data.h"
#include "flow/eval_world.h"
#include "objects/status_values.h"
#include "test_support/temp_dir.h"

namespace {

struct EvalCase {
  const char* code;
  int legacy752;
  cEvalState before;
  cEvalState after;
  int ok;           // EvalCode's result
  int32_t value;    // EvalParens's value of the same code from the same state
  const char* box;  // the error boxes shown, one after another
};

TEST(Expression, CodeTable) {
  const char* const kNoTarget = "代入先が不正です！";
  const char* const kNoParen = "\")\"が見つかりません！";
  const EvalCase cases[] = {
      // Precedence, and the older reduction that keeps the right operand in the list.
      {"C1 = 2 + 3 * 4", 0, {}, {.c1 = 14}, 1, 14, ""},
      {"C1 = 2 + 3 * 4", 1, {}, {.c1 = 14}, 1, 14, ""},
      {"2 * 3 + 4", 0, {}, {}, 1, 10, ""},
      {"2 * 3 + 4", 1, {}, {}, 1, 7, ""},
      {"C1 = C2 = 3", 0, {}, {.c1 = 0}, 0, 0, kNoTarget},  // the first result is no target
      {"C1 = C2 = 3", 1, {}, {.c1 = 0, .c2 = 3}, 1, 3, ""},
      {"10 - 4 - 3", 0, {}, {}, 1, 3, ""},
      {"1 2 3", 0, {}, {}, 1, 3, ""},  // no operation: the last word
      {"", 0, {}, {}, 1, 0, ""},
      // Clamped assignments.
      {"C1 = 1000000", 0, {}, {.c1 = 999999}, 1, 999999, ""},
      {"C1 = -1000000", 0, {}, {.c1 = -999999}, 1, -999999, ""},
      {"my.hp = 99999", 0, {}, {.hp = 100}, 1, 100, ""},  // to the character's maximum
      {"hp = -5", 0, {}, {.hp = 0}, 1, 0, ""},
      {"my.cid = 150", 0, {}, {.cid = 99}, 1, 99, ""},
      {"stop = -5", 0, {}, {.stop = 0}, 1, 0, ""},
      {"my.mhp = 40", 0, {}, {.hp = 40, .mhp = 40}, 1, 40, ""},  // the life follows the maximum down
      {"msp = 0", 0, {}, {.sp = 1, .msp = 1}, 1, 1, ""},
      {"time = 5000", 0, {}, {.timer = 999}, 1, 999, ""},
      {"score = -5", 0, {}, {.score = 0}, 1, 0, ""},
      {"score = score + 10", 0, {.score = 5}, {.score = 15}, 1, 15, ""},
      {"life = 5", 0, {.lives = kUnlimitedLives}, {.lives = kUnlimitedLives}, 1, kUnlimitedLives, ""},
      {"C1 = life", 0, {.lives = kUnlimitedLives}, {.c1 = 100, .lives = kUnlimitedLives}, 1, 100, ""},
      {"life = 120", 0, {}, {.lives = 99}, 1, 99, ""},
      // Values are read when the words are read.
      {"C2 = C1 C1 = 7", 0, {}, {.c1 = 7, .c2 = 3}, 1, 7, ""},
      {"S1 = 7 C1 = S1 + 1", 0, {}, {.c1 = 1, .s1 = 7}, 1, 1, ""},
      {"fA = 5 fB = fA + 1", 0, {}, {.a = 5, .b = 1}, 1, 1, ""},
      {"rA = 2 rB = 3", 0, {}, {.a = 2, .b = 3}, 1, 3, ""},
      // Words: only the space separates them, C and S words are variables, others read their digits.
      {"C1=5", 0, {}, {}, 1, 3, ""},
      {"Count = 4", 0, {}, {.c0 = 4}, 1, 4, ""},
      {"Score = 4", 0, {}, {.s0 = 4}, 1, 4, ""},
      {"C1 =\t5", 0, {}, {}, 1, 0, ""},  // "=\t5" is one word: a number 0
      {"C1 = 5\nC2 = 6", 0, {}, {.c1 = 5}, 0, 0, kNoTarget},
      {"C1 = 1.5", 0, {}, {.c1 = 5}, 1, 5, ""},  // an unknown prefix after a word is ignored
      {"C1 = -5", 0, {}, {.c1 = -5}, 1, -5, ""},
      {"C1 = 2 - -5", 0, {}, {.c1 = 7}, 1, 7, ""},
      {"v1 = 12", 0, {}, {.v1 = 12}, 1, 12, ""},
      // Integer arithmetic: truncating division, wrapping, no trap.
      {"C1 = 7 / -2", 0, {}, {.c1 = -3}, 1, -3, ""},
      {"C1 = -7 % 3", 0, {}, {.c1 = -1}, 1, -1, ""},
      {"-2147483648 / -1", 0, {}, {}, 1, INT_MIN, ""},
      {"-2147483648 % -1", 0, {}, {}, 1, 0, ""},
      {"2147483647 + 1", 0, {}, {}, 1, INT_MIN, ""},
      {"C1 = 65536 * 65536", 0, {}, {.c1 = 0}, 1, 0, ""},
      {"C1 = 10 / 0", 0, {}, {}, 0, 0, "0除算が行われました！(C1 = 10 / 0)"},
      {"C1 = 10 % 0", 0, {}, {}, 0, 0, "0除算が行われました！(C1 = 10 % 0)"},
      {"5 = 3", 0, {}, {}, 0, 0, kNoTarget},
      // Groups.
      {"C1 = (2 + 3) * 4", 0, {}, {.c1 = 20}, 1, 20, ""},
      {"C1 = (1 + (2 * 3)) * (4)", 0, {}, {.c1 = 28}, 1, 28, ""},
      {"C1 = ( 2 ) + ( 0 - 3 )", 0, {}, {.c1 = -1}, 1, -1, ""},
      {"(C1 = 5) + (C1 * 2)", 0, {}, {.c1 = 5}, 1, 15, ""},  // a later group reads an earlier group's write
      {"C1 = (2 + 3", 0, {}, {}, 0, 0, kNoParen},
      {"C1 = rand(1,2", 0, {}, {}, 0, 0, kNoParen},
      {"C1 = rand(1)", 0, {}, {}, 0, 0, "関数 rand の引数が不正です！"},
      {"C1 = rand(1,2,3)", 0, {}, {}, 0, 0, "関数 rand の引数が不正です！"},
      {"C1 = rand(4,4)", 0, {}, {.c1 = 4}, 1, 4, ""},
      {"C1 = (5 / 0) + 1", 0, {}, {.c1 = 1}, 0, 1, "0除算が行われました！(C1 = (5 / 0) + 1)"},  // goes on with 0
      // Objects.
      {"tg.hp = 0", 0, {}, {.heroHp = 0, .defeatCheck = 1}, 1, 0, ""},  // another character's life
      {"my.hp = 0", 0, {}, {.hp = 0}, 1, 0, ""},
      {"C1 = pl.hp + tg1.hp", 0, {}, {.c1 = 60}, 1, 60, ""},
      {"C1 = foo.hp", 0, {}, {.c1 = 50}, 1, 50, ""},
      {"foo.hp = 1", 0, {}, {}, 0, 0, "オブジェクト \"foo.\" が認識できません！"},
      {"tg2.hp = 0", 0, {}, {}, 0, 0, ""},      // an empty slot fails silently
      {"sys.hp = 1", 0, {}, {}, 0, 0, ""},      // no character to read
      {"C1 = sys.x_abs", 0, {}, {}, 1, 0, ""},  // a position without a character ends the evaluation
      {"C1 = x_rel", 0, {}, {.c1 = 0}, 1, 0, ""},
      {"C1 = tg.x_rel", 0, {}, {.c1 = -100}, 1, -100, ""},
      {"C1 = tg.x_scr", 0, {}, {.c1 = 316}, 1, 316, ""},
      // A designer's typos fail the evaluation without stopping the game.
      {"C1 = +", 0, {}, {}, 0, 0, ""},
      {"C1 = 5 +", 0, {}, {}, 0, 0, ""},
      {"+ 5", 0, {}, {}, 0, 0, ""},
      {"C1 = 1 + - 2", 0, {}, {}, 0, 0, ""},
      {"C1 = 5 +", 1, {}, {}, 0, 0, ""},
      {"C5000 = 1", 0, {}, {}, 0, 0, ""},
      {"C1 = S1000", 0, {}, {}, 0, 0, ""},
      {"C-1 = 1", 0, {}, {}, 0, 0, ""},
  };
  for (const EvalCase& c : cases) {
    SCOPED_TRACE(std::string(c.code) + (c.legacy752 ? " (legacy 752)" : ""));
    {
      cEvalWorld w;
      g_SystemData.m_bLegacy752 = c.legacy752;
      c.before.Apply(w);
      EXPECT_EQ(EvalCode(c.code, w.Actor()), c.ok);
      EXPECT_EQ(cEvalState::Read(w), c.after);
      EXPECT_EQ(w.Boxes(), c.box);
    }
    {
      cEvalWorld w;
      g_SystemData.m_bLegacy752 = c.legacy752;
      c.before.Apply(w);
      g_bEvalError = 0;
      EXPECT_EQ(EvalParens(c.code, w.Actor()), c.value);
      EXPECT_EQ(g_bEvalError, c.ok ? 0 : 1);
    }
  }
}

TEST(Expression, RandDrawsOneValueBetweenItsArgumentsInEitherOrder) {
  cEvalWorld w;
  QcSrand(77);
  ASSERT_EQ(EvalCode("C1 = rand(5,1) + rand( 0 , 0 )", w.Actor()), 1);
  QcSrand(77);
  const int32_t expected = RandRange(1, 5);
  EXPECT_EQ(g_SaveData.m_anCommonVars[1], expected);
  RandRange(0, 0);
  const int next = QcRand();
  QcSrand(77);
  ASSERT_EQ(EvalCode("C1 = rand(5,1) + rand( 0 , 0 )", w.Actor()), 1);
  EXPECT_EQ(QcRand(), next);  // two draws, no more
  // Arguments are expressions; empty ones are dropped.
  g_SaveData.m_anCommonVars[2] = 9;
  ASSERT_EQ(EvalCode("C1 = rand((C2),,C2)", w.Actor()), 1);
  EXPECT_EQ(g_SaveData.m_anCommonVars[1], 9);
}

TEST(Expression, LivesReadAsNoneInProjectsThatKeepTheOldReading) {
  cEvalWorld w;
  g_SaveData.m_nLives = kUnlimitedLives;
  g_SystemData.m_bLegacy819 = 1;
  ASSERT_EQ(EvalCode("C1 = life", w.Actor()), 1);
  EXPECT_EQ(g_SaveData.m_anCommonVars[1], 0);
  g_SystemData.m_bLegacy819 = 0;
  ASSERT_EQ(EvalCode("C1 = life", w.Actor()), 1);
  EXPECT_EQ(g_SaveData.m_anCommonVars[1], 100);
}

TEST(Expression, NestingIsBounded) {
  cEvalWorld w;
  const auto nested = [](int depth) { return "C1 = " + std::string(depth, '(') + "7" + std::string(depth, ')'); };
  ASSERT_EQ(EvalCode(nested(60), w.Actor()), 1);
  EXPECT_EQ(g_SaveData.m_anCommonVars[1], 7);
  EXPECT_EQ(EvalCode(nested(5000), w.Actor()), 0);  // fails instead of exhausting the stack
  EXPECT_EQ(g_SaveData.m_anCommonVars[1], 0);       // the outer text went on with 0
  EXPECT_EQ(w.Boxes(), "");
}

TEST(Expression, ATypoIsReportedInTheLogWithoutStoppingTheGame) {
  const std::string log = TestTempPath("expression_report.txt");
  ASSERT_EQ(ReportLogInit(log.c_str()), 1);
  {
    cEvalWorld w;
    EXPECT_EQ(EvalCode("C5000 = 1", w.Actor()), 0);
    EXPECT_EQ(EvalCode("C1 = 2 *", w.Actor()), 0);
    EXPECT_EQ(g_bQuit.load(), 0);
  }
  std::ifstream in(log);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "err V[5000] ( 1001 , 4 )\nerr V[4] ( 4 , " + std::to_string(sizeof(cToken)) + " )\n");
  std::filesystem::remove(log);
}

TEST(Expression, TheFlowVariablesNeedARunningFlow) {
  cEvalWorld w;
  w.m_Harness.Stage().m_lpFlowVars = nullptr;
  EXPECT_EQ(EvalCode("fA = 1", w.Actor()), 0);
  EXPECT_EQ(EvalCode("C1 = rB", w.Actor()), 0);
  EXPECT_EQ(g_SaveData.m_anCommonVars[1], 0);
}

TEST(Expression, AutomaticScrollSpeedsRestartTheScroll) {
  cEvalWorld w;
  g_StageFile.m_bAutoScrollX = 1;
  g_StageFile.m_bAutoScrollY = 0;
  ASSERT_EQ(EvalCode("scrlx = 1000 scrly = -30", w.Actor()), 1);
  EXPECT_EQ(g_StageFile.m_nAutoScrollSpeedX, 480);
  EXPECT_EQ(g_StageFile.m_nAutoScrollSpeedY, -30);
  EXPECT_EQ(w.m_Harness.Stage().m_ScrollX.m_bAutoOn, 1);
  EXPECT_DOUBLE_EQ(w.m_Harness.Stage().m_ScrollX.m_dAutoSpeed, 48.0);  // tenths of a dot, one sub-step
  EXPECT_EQ(w.m_Harness.Stage().m_ScrollY.m_bAutoOn, 0);
  ASSERT_EQ(EvalCode("C1 = scrlx + scrly", w.Actor()), 1);
  EXPECT_EQ(g_SaveData.m_anCommonVars[1], 450);
}

TEST(Expression, ViewRangeRebuildsTheHerosViewOnly) {
  cEvalWorld w;
  ASSERT_EQ(EvalCode("my.sight = 50", w.Actor()), 1);
  EXPECT_EQ(w.Actor().m_Type.m_nViewRange, 40);
  EXPECT_TRUE(w.m_Harness.CallsOf("buildViewMask").empty());
  ASSERT_EQ(EvalCode("pl.sight = 5", w.Actor()), 1);
  EXPECT_EQ(w.Hero().m_Type.m_nViewRange, 5);
  ASSERT_EQ(w.m_Harness.CallsOf("buildViewMask").size(), 1u);
  EXPECT_EQ(w.Hero().m_nViewRange, 80);
  EXPECT_EQ(w.m_Harness.CallsOf("buildViewMask")[0].adArgs[0], 80);
}

TEST(Expression, ALifeChangeShowsOnTheGaugeUnlessTheMaximumChanged) {
  cEvalWorld w;
  w.Actor().m_nHp = 50;
  w.Actor().m_Type.m_nMaxHp = 100;
  ASSERT_EQ(EvalCode("my.mhp = 80 my.hp = 40", w.Actor()), 1);
  EXPECT_EQ(w.Actor().m_HpGauge.nShowTimer, 0);
  ASSERT_EQ(EvalCode("C1 = 1 / 0 my.hp = 20", w.Actor()), 0);
  ASSERT_EQ(EvalCode("my.hp = 10 my.sp = 0", w.Actor()), 1);
  EXPECT_EQ(w.Actor().m_HpGauge.nShowTimer, 120);
  EXPECT_DOUBLE_EQ(w.Actor().m_HpGauge.dChange, -30 * 50 / 80.0);
}

TEST(Expression, PositionsAreWrittenByWarpingTheCharacter) {
  cEvalWorld w;
  cChara& my = w.Actor();
  my.m_nWidth = my.m_nBaseWidth = 32;  // the hit box is the graphic box
  my.m_nHeight = my.m_nBaseHeight = 32;
  my.m_nHitOffsetX = my.m_nBaseHitOffsetX = 0;
  my.m_nHitOffsetY = my.m_nBaseHitOffsetY = 0;
  w.m_Harness.Stage().m_ScrollX.m_dPosition = 320;
  w.m_Harness.Stage().m_ScrollY.m_dPosition = 320;
  ASSERT_EQ(EvalCode("x_scr = 200 y_scr = 150", my), 1);
  my.UpdateScreenRect();
  int32_t x = 0;
  int32_t y = 0;
  ASSERT_TRUE(GetCharaX(x, &my, 2, &my));
  ASSERT_TRUE(GetCharaY(y, &my, 2, 2, &my));
  EXPECT_EQ(x, 200);
  EXPECT_EQ(y, 150);  // a walking character is placed by its foot point
  ASSERT_EQ(EvalCode("x_abs = 100", my), 1);
  my.UpdateScreenRect();
  ASSERT_TRUE(GetCharaX(x, &my, 1, &my));
  EXPECT_EQ(x, 100);
  // The older projects place y by the centre.
  g_SystemData.m_bLegacy896 = 1;
  ASSERT_EQ(EvalCode("y_scr = 150", my), 1);
  my.UpdateScreenRect();
  ASSERT_TRUE(GetCharaY(y, &my, 2, 0, &my));
  EXPECT_EQ(y, 150);
}

}  // namespace
