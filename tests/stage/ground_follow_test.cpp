// The ground follow before a grounded character's move: the probe 4 dots below the feet (which
// sets 7/n) and the simple form (one dot more), at several sub-step settings.
#include "stage/ground_follow.h"

#include <gtest/gtest.h>

#include "data/system_data.h"
#include "objects/stage_physics.h"
#include "stage/contact_fixture.h"

namespace {

// A walker standing on the floor row of a 3 x 3 stage whose two left cells are solid.
struct StandingWalker {
  explicit StandingWalker(int simple) : h({"H..", "...", "##."}) {
    g_SystemData.m_bLegacy793 = simple ? 0 : 1;
    MakeWalker(chara, CellDot(1), CellDot(2) - 24.5);  // feet at 383.5, just above the floor
  }
  cStageHarness h;
  cProbeChara chara;
};

}  // namespace

TEST(GroundFollow, TheProbeSetsSevenNthsWhenGroundLiesWithinFourDotsBelow) {
  for (int level : {1, 3, 15}) {
    StandingWalker s(0);
    s.h.SetHitCheckLevel(level);
    const double n = StageSubStepsD();
    struct Case {
      const char* what;
      double speedY;
      double speedX;
      int riding;
      int inAir;
      double footY;
      bool follows;
    };
    const Case cases[] = {
        {"standing", 0.0, 0.0, 0, 0, 0, true},
        {"falling at 1/n", 1 / n, 0.0, 0, 0, 0, true},
        {"falling faster", 1 / n + 0.01, 0.0, 0, 0, 0, false},
        {"rising", -0.1, 0.0, 0, 0, 0, false},
        {"riding", 0.0, 0.0, 1, 0, 0, false},
        {"in the air", 0.0, 0.0, 0, 1, 0, false},
        {"ground 4 dots below", 0.0, 0.0, 0, 0, 380, true},
        {"ground 5 dots below", 0.0, 0.0, 0, 0, 379, false},
        {"the move leaves the ground", 0.0, 40.0, 0, 0, 0, false},
    };
    for (const Case& c : cases) {
      s.chara.m_dSpeedY = c.speedY;
      s.chara.m_dSpeedX = c.speedX;
      s.chara.m_bRiding = c.riding;
      s.chara.m_bInAir = c.inAir;
      SetBox(s.chara, CellDot(1), (c.footY ? c.footY : 383.5) - 23, 16, 24);
      StickToGround(s.chara);
      EXPECT_EQ(s.chara.m_dSpeedY, c.follows ? 7 / n : c.speedY) << c.what << " at level " << level;
    }
  }
}

TEST(GroundFollow, TheSimpleFormAddsADotUnlessRising) {
  StandingWalker s(1);
  s.h.SetHitCheckLevel(3);
  const struct {
    double speedY;
    double expected;
  } cases[] = {{0.0, 1.0}, {2.5, 3.5}, {-0.5, -0.5}};
  for (const auto& c : cases) {
    s.chara.m_dSpeedY = c.speedY;
    s.chara.m_bRiding = 1;  // the simple form asks nothing else
    StickToGround(s.chara);
    EXPECT_EQ(s.chara.m_dSpeedY, c.expected) << c.speedY;
  }
}

// A hit-check level of 0 or below counts as level 1: the sub-step scaling never divides by zero.
TEST(GroundFollow, ALevelOfZeroOrBelowCountsAsOneSubStep) {
  for (int level : {0, -4}) {
    StandingWalker s(0);
    s.h.SetHitCheckLevel(level);
    EXPECT_EQ(StageSubSteps(), 1);
    StickToGround(s.chara);
    EXPECT_EQ(s.chara.m_dSpeedY, 7.0);
  }
}
