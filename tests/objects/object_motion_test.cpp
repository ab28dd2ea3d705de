// The object base's motion: initialisation and flying modes, the per-sub-step speed limit, gravity
// (a free fall reaches the limit as the stage's physics values say, whatever the hit-check level),
// friction and the facing sign.
#include <gtest/gtest.h>

#include <cmath>

#include "data/stage_data.h"
#include "motion_test_support.h"
#include "objects/object.h"
#include "objects/stage_physics.h"
#include "test_support/fresh_play_objects.h"

namespace {

class ObjectMotionTest : public ::testing::Test {
 protected:
  cFreshPlayObjects m_FreshRun;
};

}  // namespace

TEST_F(ObjectMotionTest, InitObjectStoresTheBoxesAndClearsTheMotion) {
  std::vector<cFrameScript> patterns(3, cFrameScript{{5, 6, 0}, {-2, 0, 1}});
  cObject o;
  o.m_dSpeedX = 3;
  o.m_dImpactY = -2;
  o.m_bActive = o.m_bOnScreen = 1;
  o.m_bExtra = 1;
  o.InitObject(7, 1, 2, 3, 44, &patterns, 2, 6, 4, 20, 28, 32, 32, 1, 3, 5);
  EXPECT_EQ(o.m_nNumber, 7);
  EXPECT_EQ(o.m_nReserved, 2147483647);
  EXPECT_EQ(o.m_nControl, 1);
  EXPECT_EQ(o.m_nPlayer, 2);
  EXPECT_EQ(o.m_nKind, 3);
  EXPECT_EQ(o.m_nGraphic, 44);
  EXPECT_EQ(o.m_nHitOffsetX, 6);
  EXPECT_EQ(o.m_nBaseHitOffsetY, 4);
  EXPECT_EQ(o.m_nWidth, 20);
  EXPECT_EQ(o.m_nBaseHeight, 28);
  EXPECT_EQ(o.m_nGraphicWidth, 32);
  EXPECT_EQ(o.m_nBaseGraphicHeight, 32);
  EXPECT_EQ(o.m_nFacing, 1);
  EXPECT_EQ(o.m_nClone, 5);
  EXPECT_EQ(o.m_Anim.m_aAnims.size(), 3u);
  EXPECT_EQ(o.m_Anim.m_nAnime, 2);
  EXPECT_EQ(o.m_dSpeedX, 0);
  EXPECT_EQ(o.m_dImpactY, 0);
  EXPECT_EQ(o.m_bActive, 0);
  EXPECT_EQ(o.m_bOnScreen, 0);
  EXPECT_EQ(o.m_bExtra, 0);
  EXPECT_EQ(o.m_bGravityFree, 1);  // flight mode 3: flying and dying on a block
  EXPECT_EQ(o.m_nFlightMode, 2);

  cObject bare;
  bare.InitObject(1, 0, 0, 0, 0, nullptr, 4, 0, 0, 8, 8, 8, 8, 0, 0, 0);
  EXPECT_TRUE(bare.m_Anim.m_aAnims.empty());  // no pattern list: the sequencer stays as it was
}

TEST_F(ObjectMotionTest, FlyingModes) {
  struct Case {
    int mode, gravityFree, flightMode;
  };
  const Case cases[] = {{0, 0, 1}, {1, 1, 0}, {2, 1, 1}, {3, 1, 2}};
  for (const Case& c : cases) {
    cObject o;
    o.SetFlyingMode(c.mode);
    EXPECT_EQ(o.m_bGravityFree, c.gravityFree) << c.mode;
    EXPECT_EQ(o.m_nFlightMode, c.flightMode) << c.mode;
  }
  cObject o;
  o.SetFlyingMode(3);
  o.SetFlyingMode(4);  // other values change nothing
  o.SetFlyingMode(-1);
  EXPECT_EQ(o.m_bGravityFree, 1);
  EXPECT_EQ(o.m_nFlightMode, 2);
}

TEST_F(ObjectMotionTest, MovesAreLimitedPerSubStep) {
  struct Case {
    int level;
    double speed, moved;
  };
  const Case cases[] = {
      {1, 9, 6},         {1, -9, -6},    {1, 5.5, 5.5},  // 6 dots per sub-step up to level 10
      {4, 9, 6},         {10, 7, 6},                     // 6n per frame spread over n sub-steps
      {12, 40, 30},      {12, -40, -30},                 // levels 11-19: 60 per frame over n = level - 10
      {19, 7, 60 / 9.0}, {11, 70, 60},
  };
  for (const Case& c : cases) {
    SetStagePhysics(c.level, 0.4);
    cObject o;
    o.m_dX = 100;
    o.m_dY = 100;
    o.m_nWidth = o.m_nHeight = 10;
    o.m_dSpeedX = c.speed;
    o.m_dSpeedY = c.speed;
    o.MoveObjX(2);
    o.MoveObjY(2);
    EXPECT_DOUBLE_EQ(o.m_dX, 100 + c.moved) << c.level << " " << c.speed;
    EXPECT_DOUBLE_EQ(o.m_dY, 100 + c.moved) << c.level << " " << c.speed;
    EXPECT_DOUBLE_EQ(o.m_dSpeedX, c.moved);  // the speed itself is limited
    EXPECT_DOUBLE_EQ(o.m_dX2, o.m_dX + 9);
  }
}

// Speed after k sub-steps min(k g, L) with g = G / n^2 and L the per-sub-step limit; the distance
// is the sum of those speeds.
TEST_F(ObjectMotionTest, AFreeFallReachesTheSpeedLimit) {
  struct Case {
    int level, n;
    double limit;
  };
  const Case cases[] = {{1, 1, 6}, {2, 2, 6}, {4, 4, 6}, {12, 2, 30}};
  for (const Case& c : cases) {
    SetStagePhysics(c.level, 0.4);
    ASSERT_EQ(StageSubSteps(), c.n);
    const double g = 0.4 / (c.n * c.n);
    EXPECT_DOUBLE_EQ(StageGravity(), g);
    cObject falling;
    const int stepsToLimit = static_cast<int>(std::floor(c.limit / g));
    const int steps = 2 * stepsToLimit + 7;
    double expectedY = 0;
    for (int k = 1; k <= steps; ++k) {
      falling.ApplyGravity();
      falling.MoveObjY(-1);
      const double speed = std::min(k * g, c.limit);
      expectedY += speed;
      ASSERT_NEAR(falling.m_dSpeedY, speed, 1e-9) << "level " << c.level << " step " << k;
    }
    EXPECT_EQ(falling.m_dSpeedY, c.limit) << c.level;  // held exactly at the limit
    EXPECT_NEAR(falling.m_dY, expectedY, 1e-6) << c.level;
    const double closedForm = g * stepsToLimit * (stepsToLimit + 1) / 2 + (steps - stepsToLimit) * c.limit;
    EXPECT_NEAR(falling.m_dY, closedForm, 1e-6) << c.level;
  }
}

TEST_F(ObjectMotionTest, GravityActsOnlyOnWalkingObjects) {
  SetStagePhysics(2, 0.4);
  cObject walker;
  walker.ApplyGravity();
  EXPECT_DOUBLE_EQ(walker.m_dSpeedY, 0.1);
  cObject flyer;
  flyer.SetFlyingMode(2);
  flyer.ApplyGravity();
  EXPECT_EQ(flyer.m_dSpeedY, 0);
}

TEST_F(ObjectMotionTest, FrictionStopsAtZero) {
  cObject o;
  o.m_dFriction = 0.3;
  const double cases[][2] = {{1.0, 0.7}, {0.2, 0.0}, {-1.0, -0.7}, {-0.2, 0.0}, {0.0, 0.0}};
  for (const auto& c : cases) {
    double speed = c[0];
    o.ApplyFriction(speed, 1);
    EXPECT_DOUBLE_EQ(speed, c[1]) << c[0];
    speed = c[0];
    o.ApplyFriction(speed, 0);
    EXPECT_EQ(speed, c[0]);
  }
}

TEST_F(ObjectMotionTest, FacingSignAndStepsToSeconds) {
  cObject o;
  o.m_nFacing = 0;
  EXPECT_EQ(o.FacingSign(), -1);
  o.m_nFacing = 1;
  EXPECT_EQ(o.FacingSign(), 1);
  SetStagePhysics(4, 0.4);
  EXPECT_DOUBLE_EQ(StepsToSeconds(480), 2);
  SetStagePhysics(13, 0.4);  // n = 3
  EXPECT_DOUBLE_EQ(StepsToSeconds(90), 0.5);
}
