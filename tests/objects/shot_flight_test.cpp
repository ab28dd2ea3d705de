// A shot in flight: the ten trajectories (positions after k sub-steps), homing between its start
// and end steps, re-targeting when a target goes, the time and distance limits, acceleration over
// several steps, blocks under narrow and wide shots, and sword swings with their entries.
#include <gtest/gtest.h>

#include <cmath>

#include "data/database.h"
#include "objects/chara.h"
#include "objects/shot_launch.h"
#include "objects/shot_pattern.h"
#include "objects/sword_entry.h"
#include "test_support/stage_harness.h"

namespace {

constexpr double kTolerance = 1e-9;

class ShotFlightTest : public ::testing::Test {
 protected:
  explicit ShotFlightTest(int level = 1)
      : h({"....................", "..H.......C.........", "....................", "....................",
           "####################"}) {
    h.SetHitCheckLevel(level);
  }

  // A shot of the settings fired by the character at (x, y) with a velocity of dots per frame.
  cShot& Launch(const cEdShot& settings, int x, int y, double velX, double velY, int index = 0) {
    SHOTLAUNCH launch;
    launch.nIndex = index;
    launch.nX = x;
    launch.nY = y;
    launch.dVelX = velX;
    launch.dVelY = velY;
    launch.dSpeed = std::hypot(velX, velY);
    launch.nDistance = settings.m_nDistance;
    launch.nTime = settings.m_nTime;
    cShot& shot = h.Stage().m_ShotList.emplace_back();
    shot.InitShot(0, h.Chara(0), kCmdKindShot, settings, launch);
    shot.RegisterShotLinks();
    return shot;
  }

  // One logic sub-step of a shot as the stage runs it; 1 when it ended.
  static int Advance(cShot& shot) {
    if (shot.StepShot()) return 1;
    shot.ApplyGravity();
    shot.MoveShotX();
    shot.MoveShotY();
    return 0;
  }

  static cEdShot Flying(int speedTenths, int trajectory = 0) {
    cEdShot s;
    s.m_nSpeed = static_cast<int16_t>(speedTenths);
    s.m_nTrajectory = static_cast<int8_t>(trajectory);
    s.m_bThroughBlocks = 1;
    return s;
  }

  cStageHarness h;
};

class ShotFlightAtFourTest : public ShotFlightTest {
 protected:
  ShotFlightAtFourTest() : ShotFlightTest(4) {}
};

}  // namespace

// Positions after k sub-steps for each trajectory, from a shot at (600, 400) flying left at 2 dots
// per sub-step. The hero stands left of and above the shot, so aiming changes the course. The
// firing character's target slot 0 ("ターゲット1", the shots' default) holds the hero, as stage set-up
// leaves it.
TEST_F(ShotFlightTest, TrajectoriesTable) {
  cHero& hero = h.Hero();
  hero.UpdateScreenRect();
  ASSERT_EQ(h.Chara(0).m_apTargets[0], &hero);
  struct Case {
    int trajectory;
    int values[3];
    int steps;
    // Where the shot is expected: flown straight for `straight` steps, then toward the hero.
    int straight;
    bool aims;
    bool emptySlot;  // the firer's target 1 cleared before the shot is made
  };
  const Case cases[] = {
      {0, {0, 0, 0}, 10, 10, false, false},  // straight
      {1, {0, 0, 0}, 10, 0, true, false},    // aims at the hero at once
      {1, {4, 0, 0}, 40, 32, true, false},   // after 64 dots (32 steps)
      {3, {0, 0, 0}, 10, 0, true, false},    // aims at its target, the hero in target 1
      {3, {4, 0, 0}, 40, 32, true, false},   // the same after 64 dots
      {3, {0, 0, 0}, 10, 10, false, true},   // no target: unchanged
      {4, {0, 0, 0}, 10, 10, false, false},  // homing that ends at step 0 never steers
      {4, {0, 8, 0}, 10, 0, true, false},    // homing from the start
      {6, {0, 8, 0}, 10, 0, true, false},    // homing on its target, the hero
      {6, {0, 8, 0}, 10, 10, false, true},   // homing on a missing target
  };
  for (const Case& c : cases) {
    h.Stage().m_ShotList.clear();
    h.Chara(0).SetTarget(0, c.emptySlot ? nullptr : &hero);
    cEdShot s = Flying(20, c.trajectory);
    for (int i = 0; i < 3; ++i) s.m_anTrajectory[i] = static_cast<int16_t>(c.values[i]);
    cShot& shot = Launch(s, 600, 400, -2, 0);
    for (int k = 0; k < c.steps; ++k) ASSERT_EQ(Advance(shot), 0);
    double x = 600 - 2.0 * c.straight;
    double y = 400;
    if (c.aims) {
      // The course from the shot's centre after the straight part toward the hero's centre.
      const double dx = hero.ScreenCentreX() - (x - h.Stage().m_ScrollX.m_dPosition + 8);
      const double dy = hero.ScreenCentreY() - (y - h.Stage().m_ScrollY.m_dPosition + 8);
      const double length = std::hypot(dx, dy);
      const int flown = c.steps - c.straight;
      x += 2.0 * dx / length * flown;
      y += 2.0 * dy / length * flown;
    }
    EXPECT_NEAR(shot.m_dX, x, 1.0) << "trajectory " << c.trajectory << " values " << c.values[0] << "," << c.values[1]
                                   << " empty slot " << c.emptySlot;
    EXPECT_NEAR(shot.m_dY, y, 1.0) << "trajectory " << c.trajectory << " values " << c.values[0] << "," << c.values[1]
                                   << " empty slot " << c.emptySlot;
  }
}

// Homing with a start and an end: v = (S32 + S33 x index) x 0.1 / n, start step s = S29[0] x 16 / v,
// end step e = S29[1] x 16 / v (0 when the value is 0); the velocity is steered at counters s to
// e - 1, each time with magnitude v. Each step starts from a probe velocity pointing away from the
// hero, so a step that steers shows by pointing at it.
TEST_F(ShotFlightTest, HomingSteersFromItsStartStepToItsEndStep) {
  struct Case {
    int start, end;  // S29[0], S29[1] in half blocks
    int speed, speedStep, index, n;
    double v;
    int s, e;  // the steered counters: s .. e - 1
  };
  const Case cases[] = {
      {2, 10, 40, 0, 0, 1, 4.0, 8, 40},    {2, 10, 40, 0, 0, 2, 2.0, 16, 80}, {2, 10, 40, 10, 2, 1, 6.0, 5, 26},
      {0, 999, 40, 0, 0, 1, 4.0, 0, 3996}, {5, 2, 40, 0, 0, 1, 4.0, 20, 8},   {3, 0, 40, 0, 0, 1, 4.0, 0, 0},
  };
  cHero& hero = h.Hero();
  hero.UpdateScreenRect();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.start << "," << c.end << " speed " << c.speed << "+" << c.speedStep << "x"
                                    << c.index << " n " << c.n);
    h.SetHitCheckLevel(c.n);
    h.Stage().m_ShotList.clear();
    cEdShot s = Flying(c.speed, 4);
    s.m_nSpeedStep = static_cast<int16_t>(c.speedStep);
    s.m_anTrajectory[0] = static_cast<int16_t>(c.start);
    s.m_anTrajectory[1] = static_cast<int16_t>(c.end);
    cShot& shot = Launch(s, 600, 400, 0, 0, c.index);
    for (int counter = 0; counter < 100; ++counter) {
      shot.m_dVelX = c.v;  // away from the hero, who stands left of and above the shot
      shot.m_dVelY = 0;
      ASSERT_EQ(shot.StepShot(), 0);
      const bool steered = shot.m_dVelX < 0;
      EXPECT_EQ(steered, counter >= c.s && counter < c.e) << "counter " << counter;
      if (steered) EXPECT_NEAR(std::hypot(shot.m_dVelX, shot.m_dVelY), c.v, kTolerance) << "counter " << counter;
    }
  }
}

// Acceleration a = (S35 + S36 x index) x 0.1 / n is split along the launch velocity into a change
// per step of a / n / 60, which the step adds to the velocity and the move adds once more; only the
// move is held to the speed limit (6 dots a sub-step here), the velocity keeps growing.
TEST_F(ShotFlightTest, AccelerationOverSeveralSteps) {
  struct Case {
    const char* what;
    double launchX;  // dots a frame
    int accel, n, steps;
    double moved, velocity;
    int facing;
  };
  const Case cases[] = {
      {"rightward", 2, 60, 1, 10, 26.5, 3.0, 1},
      {"rightward up to the speed limit", 2, 60, 1, 50, 225.9, 7.0, 1},
      {"rightward at n = 2", 2, 60, 2, 10, 11.625, 1.25, 1},
      {"leftward", -2, 60, 1, 10, -26.5, -3.0, 0},
      {"a negative acceleration turns the shot round", 2, -60, 1, 30, 10.5, -1.0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    h.SetHitCheckLevel(c.n);
    h.Stage().m_ShotList.clear();
    cEdShot s = Flying(20);
    s.m_bAccel = 1;
    s.m_nAccel = static_cast<int16_t>(c.accel);
    cShot& shot = Launch(s, 400, 400, c.launchX, 0);
    for (int k = 0; k < c.steps; ++k) ASSERT_EQ(Advance(shot), 0);
    EXPECT_NEAR(shot.m_dX - 400, c.moved, 1e-9);
    EXPECT_NEAR(shot.m_dVelX, c.velocity, 1e-9);
    EXPECT_EQ(shot.m_dY, 400);
    EXPECT_EQ(shot.m_nFacing, c.facing);
  }
}

TEST_F(ShotFlightTest, NearestCharacterTrajectoriesShareOneFunctionAndFindTheGroup) {
  EXPECT_EQ(g_TrajectoryFunctions[5], g_TrajectoryFunctions[7]);
  cChara& target = h.Chara(0);
  for (cCharaBase* chara : {static_cast<cCharaBase*>(&target), static_cast<cCharaBase*>(&h.Hero())}) {
    chara->m_bActive = chara->m_bOnScreen = 1;  // as the activity pass leaves them
    chara->UpdateScreenRect();
  }
  cEdShot s = Flying(20, 2);
  s.m_anTrajectory[1] = static_cast<int16_t>(target.m_nKind);  // the group searched
  cShot& shot = Launch(s, 500, 500, 2, 0);
  Advance(shot);
  // Re-aimed upward toward a character of the group.
  EXPECT_LT(shot.m_dVelY, 0);
  EXPECT_NEAR(std::hypot(shot.m_dVelX, shot.m_dVelY), 2.0, kTolerance);
}

TEST_F(ShotFlightTest, AShotOfSpeedZeroNeverDividesByIt) {
  for (int trajectory : {1, 4, 8, 9}) {
    h.Stage().m_ShotList.clear();
    cEdShot s = Flying(0, trajectory);
    s.m_anTrajectory[0] = 3;
    s.m_anTrajectory[1] = 0;  // a wave period of 0 too
    cShot& shot = Launch(s, 600, 400, 0, 0);
    for (int k = 0; k < 5; ++k) Advance(shot);
    EXPECT_TRUE(std::isfinite(shot.m_dX) && std::isfinite(shot.m_dY)) << trajectory;
    EXPECT_TRUE(std::isfinite(shot.m_dVelX) && std::isfinite(shot.m_dVelY)) << trajectory;
  }
}

TEST_F(ShotFlightTest, AWaveSwingsAcrossTheFlightWithoutReversing) {
  cEdShot s = Flying(20, 8);
  s.m_anTrajectory[0] = 1;  // amplitude 16 dots
  s.m_anTrajectory[1] = 6;  // 6 degrees a frame: 60 frames a swing
  s.m_anTrajectory[2] = 0;
  cShot& shot = Launch(s, 300, 500, 2, 0);
  double lowest = 500;
  double highest = 500;
  for (int k = 0; k < 60; ++k) {
    const double before = shot.m_dVelY;
    Advance(shot);
    EXPECT_GE(before * shot.m_dVelY, 0) << k;  // through 0, never across it
    EXPECT_NEAR(shot.m_dVelX, 2.0 / 1, 1e-9);  // across a rightward flight only y moves
    lowest = std::min(lowest, shot.m_dY);
    highest = std::max(highest, shot.m_dY);
  }
  EXPECT_EQ(shot.m_Settings.m_anTrajectory[0], 16);  // the amplitude is kept in dots
  EXPECT_NEAR(shot.m_dX, 300 + 120, kTolerance);
  EXPECT_NEAR(highest - lowest, 32, 4.0);  // twice the amplitude, less the stepping's loss
}

TEST_F(ShotFlightTest, AFallingShotFliesLevelThenFalls) {
  cEdShot s = Flying(20, 9);
  s.m_anTrajectory[0] = 1;  // 16 dots at 2 a step: falls from step 8
  cShot& shot = Launch(s, 300, 500, 2, 0);
  for (int k = 0; k < 8; ++k) Advance(shot);
  EXPECT_EQ(shot.m_dY, 500);
  EXPECT_EQ(shot.m_bGravityFree, 1);
  Advance(shot);
  EXPECT_EQ(shot.m_bGravityFree, 0);
  Advance(shot);
  EXPECT_GT(shot.m_dY, 500);
  EXPECT_NEAR(shot.m_dX, 300 + 20, kTolerance);
}

TEST_F(ShotFlightAtFourTest, AShotOfSpeedZeroStaysAndExpiresByTime) {
  cEdShot s = Flying(0);
  s.m_bTimeLimit = 1;
  s.m_nTime = 2;  // 2 tenths: 12 frames of 4 sub-steps
  cShot& shot = Launch(s, 400, 400, 0, 0);
  for (int k = 0; k < 48; ++k) ASSERT_EQ(Advance(shot), 0) << k;
  EXPECT_EQ(shot.m_dX, 400);
  EXPECT_EQ(shot.m_dY, 400);
  EXPECT_EQ(Advance(shot), 1);
}

TEST_F(ShotFlightAtFourTest, ADistanceShorterThanAFrameIsCoveredInOneFrame) {
  cEdShot s = Flying(300);
  s.m_bDistanceLimit = 1;
  s.m_nDistance = 2;  // 32 dots less the shot's 16
  cShot& shot = Launch(s, 400, 400, 30, 0);
  EXPECT_EQ(shot.m_nDistanceCount, 4);
  for (int k = 0; k < 4; ++k) ASSERT_EQ(Advance(shot), 0);
  EXPECT_NEAR(shot.m_dX, 416, kTolerance);
  EXPECT_EQ(Advance(shot), 1);
}

TEST_F(ShotFlightAtFourTest, ADistanceLimitEndsOrStopsTheShot) {
  cEdShot s = Flying(40);
  s.m_bDistanceLimit = 1;
  s.m_nDistance = 3;  // 48 - 16 = 32 dots at 1 a sub-step
  cShot& ends = Launch(s, 400, 400, 4, 0);
  EXPECT_EQ(ends.m_nDistanceCount, 32);
  int steps = 0;
  while (!Advance(ends)) ++steps;
  EXPECT_EQ(steps, 32);
  EXPECT_NEAR(ends.m_dX, 432, kTolerance);

  s.m_bStopAtLimit = 1;
  s.m_nTrajectory = 8;
  cShot& stops = Launch(s, 400, 400, 4, 0);
  for (int k = 0; k < 40; ++k) ASSERT_EQ(Advance(stops), 0);
  EXPECT_EQ(stops.m_Settings.m_nTrajectory, 0);
  EXPECT_EQ(stops.m_dVelX, 0);
  const double x = stops.m_dX;
  Advance(stops);
  EXPECT_EQ(stops.m_dX, x);
}

TEST_F(ShotFlightAtFourTest, AccelerationIsSplitAlongTheVelocity) {
  cEdShot s = Flying(40);
  s.m_bAccel = 1;
  s.m_nAccel = 24;  // 2.4 a frame, 0.6 a sub-step
  cShot& level = Launch(s, 400, 400, -4, 0);
  EXPECT_NEAR(level.m_dImpactX, -0.6 / 4 / 60, kTolerance);
  EXPECT_EQ(level.m_dImpactY, 0);
  cShot& diagonal = Launch(s, 400, 400, 3, 4);
  EXPECT_NEAR(diagonal.m_dImpactX, 0.6 * 0.6 / 4 / 60, kTolerance);
  EXPECT_NEAR(diagonal.m_dImpactY, 0.8 * 0.6 / 4 / 60, kTolerance);
}

TEST_F(ShotFlightTest, NarrowShotsTestTheirCornersAndWideShotsEveryCell) {
  // The floor is map row 4: stage row 14, dots 448-479.
  cEdShot s = Flying(0);
  s.m_bThroughBlocks = 0;
  cShot& narrow = Launch(s, 400, 440, 0, 0);
  EXPECT_TRUE(narrow.ShotHitsBlock());
  cShot& above = Launch(s, 400, 400, 0, 0);
  EXPECT_FALSE(above.ShotHitsBlock());
  s.m_bThroughBlocks = 1;
  EXPECT_FALSE(Launch(s, 400, 440, 0, 0).ShotHitsBlock());

  // A 96-dot shot whose corners are free while a solid cell lies under its middle.
  h.Cell(6, 2) = h.Cell(0, 4);
  s.m_bThroughBlocks = 0;
  s.m_nSize = 6;
  const int cellX = (6 + 10) * 32;
  const int cellY = (2 + 10) * 32;
  cShot& wide = Launch(s, cellX - 40, cellY - 40, 0, 0);
  ASSERT_GT(wide.m_HitBox.nWidth, 32);
  ASSERT_LT(wide.m_HitBox.rect.left, cellX);
  ASSERT_GT(wide.m_HitBox.rect.right, cellX + 31);
  EXPECT_TRUE(wide.ShotHitsBlock());
}

TEST_F(ShotFlightTest, ASwordSwingFollowsItsEntriesAroundTheOwner) {
  cSwordTypeData type;
  type.m_aEntries.assign(2, cSwordEntry{});
  type.m_aEntries[0].m_nValue5 = kSwordFront;
  type.m_aEntries[0].m_nValue6 = 24;
  type.m_aEntries[0].m_nValue7 = 8;
  type.m_aEntries[0].m_nValue10 = 1;
  type.m_aEntries[1].m_nValue5 = kSwordAbove;
  type.m_aEntries[1].m_nValue6 = 10;
  type.m_aEntries[1].m_nValue7 = 30;
  type.m_aEntries[1].m_nValue1 = 4;  // x offset, mirrored while facing right
  type.m_aEntries[1].m_nValue3 = 1;
  type.m_aEntries[1].m_nValue10 = 2;
  g_Database.m_aSwordType.assign(2, type);
  cChara& owner = h.Chara(0);
  owner.m_nFacing = 1;
  cEdShot s;
  s.m_nTrajectory = 1;
  cShot& swing = h.Stage().m_ShotList.emplace_back();
  swing.InitShot(0, owner, kCmdKindSword, s, SHOTLAUNCH{});
  EXPECT_EQ(swing.m_bIsShot, 0);
  EXPECT_EQ(swing.m_nGraphicWidth, 24);
  owner.UpdateScreenRect();
  const cIntRect box = GraphicBoxOnMap(owner);
  const int centreX = box.left + owner.m_nGraphicWidth / 2;
  const int centreY = box.top + owner.m_nGraphicHeight / 2;
  // Entry 0 lasts 1 tenth: 6 sub-steps at n = 1, then one more before the next entry.
  for (int k = 0; k < 7; ++k) {
    ASSERT_EQ(swing.StepShot(), 0) << k;
    EXPECT_EQ(swing.m_dX, box.right + 1);
    EXPECT_EQ(swing.m_dY, centreY - 4);
  }
  EXPECT_EQ(swing.m_nSwordFrame, 1);
  ASSERT_EQ(swing.StepShot(), 0);
  EXPECT_EQ(swing.m_nGraphicHeight, 30);
  EXPECT_EQ(swing.m_HitBox.nWidth, 10);
  EXPECT_EQ(swing.m_dX, centreX - 5 - 4);
  EXPECT_EQ(swing.m_dY, box.top - 30);
  int steps = 1;
  while (!swing.StepShot()) ++steps;
  EXPECT_EQ(steps, 12);
  // A swing whose owner is gone ends.
  cShot& orphan = h.Stage().m_ShotList.emplace_back();
  orphan.InitShot(0, owner, kCmdKindSword, s, SHOTLAUNCH{});
  orphan.m_nOwnerNumber = 12345;
  EXPECT_EQ(orphan.StepShot(), 1);
}

// Re-targeting. Two characters of group 3, "near" 50 dots below the shot's centre and "far" 100 dots
// right of it (screen centres), both on screen; the hero's target 1 holds "near". Trajectory 2 aims
// once at the nearest of group S29[1]; 3 and 6 follow the shot's own target while it lives; 5 and 7
// (one function) steer at the nearest of group S29[2], searched again each step. Each step starts
// from a probe velocity pointing up-left, away from both; "near" goes after the first step, "far"
// after the second.
TEST(ShotRetargeting, NearestAndTargetTrajectoriesAfterATargetGoes) {
  enum Course { kNear, kFar, kProbe };
  struct Case {
    int trajectory;
    int values[3];
    Course steps[3];
  };
  const Case cases[] = {
      {2, {0, 3, 0}, {kNear, kProbe, kProbe}}, {3, {0, 0, 0}, {kNear, kProbe, kProbe}},
      {5, {0, 999, 3}, {kNear, kFar, kProbe}}, {6, {0, 999, 0}, {kNear, kProbe, kProbe}},
      {7, {0, 999, 3}, {kNear, kFar, kProbe}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.trajectory);
    cHarnessSetup setup;
    setup.map = {"..........", "H...E.E...", "##########"};
    cCharaType enemy = HarnessCharaType();
    enemy.m_nOpt28 = 3;
    setup.charas['E'] = enemy;
    cStageHarness h(setup);
    cHero& hero = h.Hero();
    cChara& near = h.Chara(0);
    cChara& far = h.Chara(1);
    auto placeCentre = [](cCharaBase& chara, int x, int y) {
      chara.m_ScreenRect = {x - chara.m_nGraphicWidth / 2, y - chara.m_nGraphicHeight / 2,
                            x - chara.m_nGraphicWidth / 2 + chara.m_nGraphicWidth - 1,
                            y - chara.m_nGraphicHeight / 2 + chara.m_nGraphicHeight - 1};
      chara.m_bActive = chara.m_bOnScreen = 1;
    };
    placeCentre(near, 100, 150);
    placeCentre(far, 200, 100);
    hero.SetTarget(0, &near);

    cEdShot s;
    s.m_nSpeed = 20;  // v = 2
    s.m_nTrajectory = static_cast<int8_t>(c.trajectory);
    s.m_bThroughBlocks = 1;
    for (int i = 0; i < 3; ++i) s.m_anTrajectory[i] = static_cast<int16_t>(c.values[i]);
    SHOTLAUNCH launch;
    // The shot's screen centre at (100, 100).
    launch.nX = 92 + static_cast<int>(h.Stage().m_ScrollX.m_dPosition);
    launch.nY = 92 + static_cast<int>(h.Stage().m_ScrollY.m_dPosition);
    cShot& shot = h.Stage().m_ShotList.emplace_back();
    shot.InitShot(0, hero, kCmdKindShot, s, launch);
    shot.RegisterShotLinks();
    ASSERT_EQ(shot.m_lpTarget, &near);

    for (int step = 0; step < 3; ++step) {
      shot.m_dVelX = shot.m_dVelY = -std::sqrt(2.0);
      ASSERT_EQ(shot.StepShot(), 0);
      switch (c.steps[step]) {
        case kNear:
          EXPECT_NEAR(shot.m_dVelX, 0, kTolerance) << step;
          EXPECT_NEAR(shot.m_dVelY, 2, kTolerance) << step;
          break;
        case kFar:
          EXPECT_NEAR(shot.m_dVelX, 2, kTolerance) << step;
          EXPECT_NEAR(shot.m_dVelY, 0, kTolerance) << step;
          break;
        case kProbe:
          EXPECT_EQ(shot.m_dVelX, -std::sqrt(2.0)) << step;
          EXPECT_EQ(shot.m_dVelY, -std::sqrt(2.0)) << step;
          break;
      }
      // A defeat: the character leaves every link and is flagged dead.
      cChara& gone = step == 0 ? near : far;
      if (step < 2) {
        gone.UnlinkAll();
        gone.m_bDead = 1;
      }
    }
  }
}
