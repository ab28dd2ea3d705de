// One sub-step's moves and what they answer: the result codes of MoveX and MoveY of the characters
// and of the hero (tables over the stage's limits), the knock-back and impact that feed the speed,
// and the camera that follows the hero.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/log.h"
#include "data/system_data.h"
#include "objects/play_objects.h"
#include "test_support/stage_harness.h"
#include "test_support/temp_dir.h"

namespace {

// A 10 x 10 map whose scroll range is narrowed to cells 2-7 on both axes, so that every limit of
// the clamps lies apart: map 0..960 dots, outer limits 320..640, inner limits 384..576.
cHarnessSetup LimitedStage(std::vector<std::string> map) {
  cHarnessSetup setup;
  setup.map = std::move(map);
  setup.prepareRun = [] {
    for (int i = 0; i < 4; ++i) g_StageFile.m_abScrollLimitOn[i] = 1;
    g_StageFile.m_anScrollLimit[0] = 2;
    g_StageFile.m_anScrollLimit[1] = 7;
    g_StageFile.m_anScrollLimit[2] = 2;
    g_StageFile.m_anScrollLimit[3] = 7;
  };
  return setup;
}

std::vector<std::string> OpenMap(const char* objects) {
  std::vector<std::string> map(10, "..........");
  map[0] = objects;
  return map;
}

}  // namespace

TEST(CharaMoves, TheLimitsOfTheTestStageLieApart) {
  cStageHarness h(LimitedStage(OpenMap("H.C.......")));
  const cScrollAxis& x = h.Stage().m_ScrollX;
  EXPECT_EQ(x.m_nMapDots, 960);
  EXPECT_EQ(x.m_nBaseLow, 320);
  EXPECT_EQ(x.m_nBaseHigh, 640);
  EXPECT_EQ(x.m_nLowLimit, 384);
  EXPECT_EQ(x.m_nHighLimit, 576);
  EXPECT_EQ(h.Stage().m_ScrollY.m_nHighLimit, 576);
}

// A character 16 dots wide moving 2 dots a sub-step; the code says where it ended.
TEST(CharaMoves, MoveXAnswersTheClampCodeAndFourAtTheMapsEdge) {
  struct Case {
    double x, speed;
    int code;
    double endX;
  };
  const Case cases[] = {
      {400, 2, 0, 402},       // inside the inner limits
      {350, 2, 1, 352},       // between the inner and the outer limits
      {560, 2, 1, 562},       // right of the inner limit
      {100, 2, 2, 102},       // outside the outer limits
      {1, -3, 4, 0},          // the map's left edge stops it
      {943, 2, 4, 960 - 16},  // and its right edge
      {400, 9, 0, 406},       // the speed is limited to 6 dots per sub-step at n = 1
      {400, -9, 0, 394},
  };
  cStageHarness h(LimitedStage(OpenMap("H.C.......")));
  cChara& c = h.Chara(0);
  for (const Case& t : cases) {
    c.m_dX = t.x;
    c.m_dSpeedX = t.speed;
    EXPECT_EQ(c.MoveX(), t.code) << t.x << " " << t.speed;
    EXPECT_EQ(c.m_dX, t.endX) << t.x;
    EXPECT_EQ(c.m_dX2, t.endX + 15);
  }
}

TEST(CharaMoves, MoveXTakesTheKnockBackOrTheImpactAfterFriction) {
  cStageHarness h(LimitedStage(OpenMap("H.C.......")));
  cChara& c = h.Chara(0);
  c.m_dFriction = 0.25;
  c.m_bFrictionX = 1;
  // A knock-back replaces the speed, and the impact is left alone.
  c.m_dX = 400;
  c.m_dSpeedX = 1;
  c.m_dKnockX = -2;
  c.m_dImpactX = 1;
  c.MoveX();
  EXPECT_EQ(c.m_dX, 398);
  EXPECT_EQ(c.m_dImpactX, 1);
  // Without one the impact loses the friction and adds to the speed.
  c.m_dKnockX = 0;
  c.m_dSpeedX = 1;
  c.MoveX();
  EXPECT_EQ(c.m_dImpactX, 0.75);
  EXPECT_EQ(c.m_dX, 398 + 1.75);
  // With the axis's friction switched off by a command the impact keeps its value.
  c.m_bFrictionX = 0;
  c.m_dSpeedX = 0;
  c.MoveX();
  EXPECT_EQ(c.m_dImpactX, 0.75);
}

// Walking characters that fall out answer 7, flying ones that leave the map 8; the other codes are
// those of the clamp (1/4 beyond the inner top/bottom, 2/5 beyond the outer ones, 3/6 the map's
// edges).
TEST(CharaMoves, MoveYMapsTheClampCodesBySevenAndEight) {
  struct Case {
    int flying;
    double y, speed;
    int code;
  };
  const Case cases[] = {
      {0, 400, 2, 0}, {0, 350, 2, 1}, {0, 560, 2, 4}, {0, 100, 2, 2}, {0, 620, 2, 7}, {0, 940, 6, 7}, {0, 2, -4, 3},
      {1, 400, 2, 0}, {1, 630, 2, 5}, {1, 940, 6, 8}, {1, 2, -4, 8},  {1, 350, 2, 1}, {1, 100, 2, 2}, {1, 560, 2, 4},
  };
  for (const Case& t : cases) {
    cCharaType type = HarnessCharaType();
    type.m_nMoveMode = static_cast<int8_t>(t.flying);
    cHarnessSetup setup = LimitedStage(OpenMap("H.A......."));
    setup.charas['A'] = type;
    cStageHarness h(setup);
    cChara& c = h.Chara(0);
    c.m_dY = t.y;
    c.m_dSpeedY = t.speed;
    EXPECT_EQ(c.MoveY(), t.code) << "flying " << t.flying << " y " << t.y;
  }
}

TEST(CharaMoves, ATallCharacterAtTheMapsEdgeIsLeftThereWithCodeZero) {
  cCharaType type = HarnessCharaType();
  type.m_nScale = 14;  // 24 x 14 = 336 dots: taller than the 10-cell margin
  cHarnessSetup setup = LimitedStage(OpenMap("H.A......."));
  setup.charas['A'] = type;
  cStageHarness h(setup);
  cChara& c = h.Chara(0);
  ASSERT_GE(c.m_nHeight, 320);
  c.m_dY = 700;
  c.m_dSpeedY = 6;
  EXPECT_EQ(c.MoveY(), 0);
  EXPECT_EQ(c.m_dY, 706);
}

TEST(CharaMoves, AFlyingCharactersImpactMovesItVertically) {
  cCharaType type = HarnessCharaType();
  type.m_nMoveMode = 2;
  cHarnessSetup setup = LimitedStage(OpenMap("H.A......."));
  setup.charas['A'] = type;
  cStageHarness h(setup);
  cChara& c = h.Chara(0);
  c.m_dY = 400;
  c.m_dSpeedY = 0;
  c.m_dImpactY = -1.5;
  c.m_dFriction = 0.5;
  c.m_bFrictionY = 1;
  c.MoveY();
  EXPECT_EQ(c.m_dImpactY, -1);
  EXPECT_EQ(c.m_dY, 399);
}

// The hero's horizontal move goes through the camera, never through the map clamp, and answers 0.
TEST(HeroMoves, MoveXAnswersZeroAndKeepsTheWalkingHeroInsideTheOuterLimits) {
  cStageHarness h(LimitedStage(OpenMap("....H.....")));
  cHero& hero = h.Hero();
  struct Case {
    double x, speed, endX;
  };
  const Case cases[] = {{400, 2, 402}, {322, -6, 320}, {620, 6, 640 - 16}, {400, 9, 406}};
  for (const Case& t : cases) {
    hero.m_dX = t.x;
    hero.m_dSpeedX = t.speed;
    EXPECT_EQ(hero.MoveX(), 0) << t.x;
    EXPECT_EQ(hero.m_dX, t.endX) << t.x;
    EXPECT_EQ(hero.m_dX2, t.endX + 15);
  }
}

TEST(HeroMoves, AFlyingHeroIsKeptInsideTheScrollRange) {
  cCharaType type = HarnessHeroType();
  type.m_nMoveMode = 1;
  cHarnessSetup setup = LimitedStage(OpenMap("....P....."));
  setup.charas['P'] = type;
  cStageHarness h(setup);
  cHero& hero = h.Hero();
  ASSERT_TRUE(hero.m_bGravityFree);
  hero.m_dX = 386;
  hero.m_dSpeedX = -5;
  hero.MoveX();
  EXPECT_EQ(hero.m_dX, 384);
  hero.m_dY = 570;
  hero.m_dSpeedY = 6;
  EXPECT_EQ(hero.MoveY(), 0);  // the inner clamp answers 0
  EXPECT_EQ(hero.m_dY, 576 - hero.m_nHeight);
}

TEST(HeroMoves, MoveYAnswersSevenForAWalkingHeroThatFellOut) {
  struct Case {
    double y, speed;
    int code;
  };
  const Case cases[] = {{400, 2, 0}, {560, 2, 4}, {620, 6, 7}, {934, 6, 7}, {330, 2, 1}};
  for (const Case& t : cases) {
    cStageHarness h(LimitedStage(OpenMap("....H.....")));
    cHero& hero = h.Hero();
    hero.m_dY = t.y;
    hero.m_dSpeedY = t.speed;
    EXPECT_EQ(hero.MoveY(), t.code) << t.y;
  }
}

TEST(HeroMoves, AFloorThatChangesTheSpeedStretchesTheImpact) {
  cStageHarness h(LimitedStage(OpenMap("....H.....")));
  cHero& hero = h.Hero();
  hero.m_dFriction = 0.0;
  hero.m_dDecelUnit = 4.0;
  const double step = 4.0 / 60 * (1.5 - 1);  // StepsToSeconds(unit) x (factor - 1) at n = 1
  struct Case {
    int kind, steps;
    double impact, expected;
  };
  const Case cases[] = {
      {3, 2, 1.0, 1.0 + step}, {3, 2, -1.0, -1.0 - step}, {3, 0, 1.0, 1.0}, {4, 2, 1.0, 1.0}, {3, 2, 0.01, 0.01 + step},
  };
  for (const Case& t : cases) {
    hero.m_nFloorEffect = t.kind;
    hero.m_nFloorSteps = t.steps;
    hero.m_dFloorFactor = 1.5;
    hero.m_dImpactX = t.impact;
    hero.m_dSpeedX = 0;
    hero.m_dX = 400;
    hero.MoveX();
    EXPECT_DOUBLE_EQ(hero.m_dImpactX, t.expected) << t.kind << " " << t.impact;
    EXPECT_DOUBLE_EQ(hero.m_dX, 400 + t.expected);
  }
  // A slowing floor stops the impact at 0 rather than turning it round.
  hero.m_nFloorEffect = 3;
  hero.m_nFloorSteps = 1;
  hero.m_dFloorFactor = 0.0;  // change = -4/60 per sub-step
  hero.m_dImpactX = 0.05;
  hero.MoveX();
  EXPECT_EQ(hero.m_dImpactX, 0.0);
  hero.m_dImpactX = -0.05;
  hero.MoveX();
  EXPECT_EQ(hero.m_dImpactX, 0.0);
}

// The view stands so that the hero's hit box is in its middle, inside the axis's scroll range.
TEST(HeroMoves, TheCameraFollowsTheHeroInsideTheScrollRange) {
  cStageHarness h(OpenMap("....H....."));
  cHero& hero = h.Hero();
  cScrollAxis& x = h.Stage().m_ScrollX;
  x.m_nLowLimit = 0;
  x.m_nHighLimit = 1000;
  x.m_nBaseLow = -1000;
  x.m_nBaseHigh = 5000;
  struct Case {
    double heroX, view;
  };
  const Case cases[] = {{100, 0}, {500, 500 - 312}, {990, 360}, {680, 360}, {670, 358}};
  for (const Case& t : cases) {
    hero.m_dX = t.heroX;
    hero.m_dSpeedX = 0;
    hero.MoveX();
    EXPECT_EQ(x.m_dPosition, t.view) << t.heroX;
  }
  // Vertically with the view height: 240 - 24 / 2 above the hero.
  cScrollAxis& y = h.Stage().m_ScrollY;
  y.m_nLowLimit = 0;
  y.m_nHighLimit = 2000;
  y.m_nBaseHigh = 5000;
  hero.m_dY = 700.5;
  hero.m_dSpeedY = 0;
  hero.MoveY();
  EXPECT_EQ(y.m_dPosition, 700.5 - 228);
}

TEST(HeroMoves, AnAxisThatScrollsByItselfIsNotFollowed) {
  cHarnessSetup setup;
  setup.map = OpenMap("....H.....");
  setup.prepareRun = [] {
    g_StageFile.m_bAutoScrollX = 1;
    g_StageFile.m_nAutoScrollSpeedX = 10;
  };
  cStageHarness h(setup);
  cHero& hero = h.Hero();
  cScrollAxis& x = h.Stage().m_ScrollX;
  ASSERT_EQ(x.m_bAutoOn, 1);
  const double view = x.m_dPosition;
  hero.m_dX += 40;
  hero.m_dSpeedX = 2;
  hero.MoveX();
  EXPECT_EQ(x.m_dPosition, view);
  // The other axis still follows.
  cScrollAxis& y = h.Stage().m_ScrollY;
  y.m_nHighLimit = 5000;
  hero.m_dY = 600;
  hero.m_dSpeedY = 0;
  hero.MoveY();
  EXPECT_EQ(y.m_dPosition, 600 - 228);
}

TEST(HeroMoves, TheScreenRectangleTruncatesByTheAxisMode) {
  cStageHarness h(OpenMap("....H....."));
  cHero& hero = h.Hero();
  hero.m_dX = 500.7;
  hero.m_dY = 400.7;
  h.Stage().m_ScrollX.m_dPosition = 100.5;
  h.Stage().m_ScrollY.m_dPosition = 100.5;
  hero.UpdateHeroScreenRect();
  EXPECT_EQ(hero.m_ScreenRect.left, 392);  // trunc(500.7 - 100.5 - 8)
  EXPECT_EQ(hero.m_ScreenRect.right, 392 + 31);
  EXPECT_EQ(hero.m_ScreenRect.top, 292);  // trunc(400.7 - 100.5 - 8)
  // With the axis scrolling by itself each value is truncated first: 500 - 100 - 8.
  h.Stage().m_ScrollX.m_bAutoOn = 1;
  h.Stage().m_ScrollX.m_dPosition = 100.9;
  hero.UpdateHeroScreenRect();
  EXPECT_EQ(hero.m_ScreenRect.left, 392);
  h.Stage().m_ScrollX.m_bAutoOn = 0;
  hero.UpdateHeroScreenRect();
  EXPECT_EQ(hero.m_ScreenRect.left, 391);  // trunc(500.7 - 100.9 - 8) = 391
}

// A knock-back that lasts many sub-steps is reported once, when it starts.
TEST(HeroMoves, AKnockBackIsReportedOncePerKnockBack) {
  const std::string log = TestTempPath("knockback_report.txt");
  ASSERT_EQ(ReportLogInit(log.c_str()), 1);
  cStageHarness h(LimitedStage(OpenMap("....H.....")));
  cHero& hero = h.Hero();
  auto lines = [&] {
    std::ifstream in(log);
    std::string line;
    int count = 0;
    while (std::getline(in, line)) count += line.rfind("MoveX()", 0) == 0 || line.rfind("MoveY()", 0) == 0;
    return count;
  };
  const int before = lines();
  hero.m_dX = 400;
  hero.m_dKnockX = 3;
  for (int i = 0; i < 5; ++i) hero.MoveX();
  EXPECT_EQ(lines(), before + 1);
  hero.m_dKnockX = 0;
  hero.MoveX();
  hero.m_dKnockX = -2;  // a new one
  hero.MoveX();
  hero.MoveX();
  EXPECT_EQ(lines(), before + 2);
  std::ifstream in(log);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("MoveX() m_dSpeedX = 3.000000, m_dImpactX = 3.000000"), std::string::npos);
}
