// Steering of the move-to commands and aiming shots (straight, diagonal, compensated for the
// automatic scroll, intercepting a target that moves with it), the knock-back launch speeds, the
// wave terms, arriving on a point and the target point of a command.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>

#include "data/flow_cmd.h"
#include "data/move_shot.h"
#include "data/system_data.h"
#include "motion_test_support.h"
#include "objects/flow_state.h"
#include "objects/object.h"
#include "objects/stage_physics.h"
#include "test_support/fresh_play_objects.h"
#include "test_support/stage_harness.h"

namespace {

constexpr double kHalfSqrt2 = 0.7071067811865476;

class SteeringTest : public ::testing::Test {
 protected:
  SteeringTest() : h({"H........."}) {}
  // The horizontal and vertical automatic scroll runs at these speeds.
  void AutoScroll(double x, double y) {
    h.Stage().m_ScrollX.m_dAutoSpeed = x;
    h.Stage().m_ScrollX.m_bAtEdge = 0;
    h.Stage().m_ScrollY.m_dAutoSpeed = y;
    h.Stage().m_ScrollY.m_bAtEdge = 0;
  }
  static cObject Syncing(int sync) {
    cObject o;
    o.m_bSyncScroll = sync;
    return o;
  }
  cStageHarness h;
};

}  // namespace

TEST(LaunchSpeeds, FromPowerAndDirection) {
  cFreshPlayObjects fresh;
  g_StageFile.SetHitCheckLevel(1);
  double sx = 99, sy = 99, prev = 5;
  LaunchSpeeds(sx, sy, 4, 1, 0, &prev);
  EXPECT_DOUBLE_EQ(sx, (std::sqrt(513.0) - 1) / 2);  // about 10.82
  EXPECT_EQ(sy, 0);
  EXPECT_EQ(prev, 0);  // the previous vertical knock-back is forgotten
  LaunchSpeeds(sx, sy, -4, 0, 2, nullptr);
  EXPECT_EQ(sx, 0);
  EXPECT_DOUBLE_EQ(sy, -(std::sqrt(513.0) - 1) / 2);

  g_StageFile.SetHitCheckLevel(2);  // n = 2; direction (3, -1) splits the power 3/4 and -1/4
  LaunchSpeeds(sx, sy, 8, 3, -1, nullptr);
  EXPECT_DOUBLE_EQ(sx, (std::sqrt(1 + 128 * 2 * 6.0) - 1) / 4);
  EXPECT_DOUBLE_EQ(sy, -(std::sqrt(1 + 128 * 2 * 2.0) - 1) / 4);

  sx = sy = 7;
  LaunchSpeeds(sx, sy, 3, 0, 0, nullptr);  // no direction: no knock-back
  EXPECT_EQ(sx, 0);
  EXPECT_EQ(sy, 0);
  sx = sy = 7;
  prev = 5;
  LaunchSpeeds(sx, sy, 0, 1, 1, &prev);  // power 0: nothing at all
  EXPECT_EQ(sx, 7);
  EXPECT_EQ(prev, 5);
}

TEST(LaunchSpeeds, OlderProjectsKeepThePreviousKnockBack) {
  cFreshPlayObjects fresh;
  g_StageFile.SetHitCheckLevel(1);
  for (int legacy : {0, 1}) {
    g_SystemData.m_bLegacy897 = legacy;
    double sx = 0, sy = 0, prev = 5;
    LaunchSpeeds(sx, sy, 2, 1, 0, &prev);
    EXPECT_EQ(prev, legacy ? 5 : 0) << legacy;
  }
}

TEST(WaveTerms, FollowTheAccumulatorAndWrapAtAFullTurn) {
  cFreshPlayObjects fresh;
  g_StageFile.SetHitCheckLevel(2);
  const double k = 90 * std::numbers::pi / 180;
  double phase = 10;
  EXPECT_DOUBLE_EQ(WaveSpeed(3, 90, phase, 4, 30), k * std::cos(k * (10 / 2.0 + 30)) * 3 / 2);
  EXPECT_EQ(phase, 14);
  EXPECT_DOUBLE_EQ(WaveAccel(3, 90, phase, 4, 30), -3 * k * (k / 2) * std::sin(k * (14 / 2.0 + 30)) / 2);
  EXPECT_EQ(phase, 18);
  phase = 718;  // 360 n = 720
  WaveSpeed(1, 1, phase, 4, 0);
  EXPECT_EQ(phase, 2);
  phase = 715;
  WaveAccel(1, 1, phase, 4, 0);
  EXPECT_EQ(phase, 719);
}

TEST_F(SteeringTest, StraightTowardThePoint) {
  double sx = 9, sy = 9;
  int facing = 9;
  EXPECT_EQ(AimAtPoint(sx, sy, facing, nullptr, 0, 0, 30, 40, 5, 0, 0, 1), 0);
  EXPECT_DOUBLE_EQ(sx, 3);
  EXPECT_DOUBLE_EQ(sy, 4);
  EXPECT_EQ(facing, 2);
  EXPECT_EQ(AimAtPoint(sx, sy, facing, nullptr, 10, 10, 7, 6, 5, 0, 0, 1), 1);  // within one step
  EXPECT_DOUBLE_EQ(sx, -3);
  EXPECT_EQ(facing, 1);
  EXPECT_EQ(AimAtPoint(sx, sy, facing, nullptr, 10, 10, 10, 10, 5, 0, 0, 0), 0);  // on the point
  EXPECT_EQ(sx, 0);
  EXPECT_EQ(sy, 0);
  EXPECT_EQ(facing, 0);
  // A negative speed without diagonal steering goes away from the point.
  AimAtPoint(sx, sy, facing, nullptr, 0, 0, 30, 40, -5, 0, 1, 0);
  EXPECT_DOUBLE_EQ(sx, -3);
  EXPECT_DOUBLE_EQ(sy, -4);
}

TEST_F(SteeringTest, ANegativeSpeedSteersDiagonally) {
  double sx, sy;
  int facing;
  struct Case {
    double dstX, dstY, sx, sy;
    int facing;
  };
  const Case cases[] = {
      {30, 1, 1, 1, 2},
      {-30, 40, -1, 1, 1},  // each axis +-|speed| / sqrt 2
      {0, 0, -1, -1, 1},    // at or before the source counts as before
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AimAtPoint(sx, sy, facing, nullptr, 0, 0, c.dstX, c.dstY, -2, 0, 0, 1), 0);
    EXPECT_DOUBLE_EQ(sx, c.sx * 2 * kHalfSqrt2);
    EXPECT_DOUBLE_EQ(sy, c.sy * 2 * kHalfSqrt2);
    EXPECT_EQ(facing, c.facing);
  }
}

// The running scroll speeds (0.5, -0.25) are added by older projects, else subtracted for a target
// that does not move with the scroll.
TEST_F(SteeringTest, CompensationForTheAutomaticScroll) {
  AutoScroll(0.5, -0.25);
  const cObject plain = Syncing(0), synced = Syncing(1);
  struct Case {
    int legacy214;
    const cObject* other;
    int ownSync;
    double speed, sx, sy;
  };
  const double d = 2 * kHalfSqrt2;
  const Case cases[] = {
      {1, nullptr, 0, 5, 3.5, 3.75},
      {1, &synced, 1, 5, 3.5, 3.75},  // older projects: added
      {0, nullptr, 0, 5, 3, 4},
      {0, &plain, 0, 5, 2.5, 4.25},  // a target that stays
      {0, &plain, 1, 5, 2.5, 4.25},
      {0, &synced, 1, 5, 3, 4},  // both in sync
      {1, nullptr, 0, -2, d + 0.5, d - 0.25},
      {0, &synced, 0, -2, d - 0.5, d + 0.25},
      {0, &plain, 1, -2, d - 0.5, d + 0.25},
      {0, &plain, 0, -2, d, d},
      {0, &synced, 1, -2, d, d},
  };
  for (const Case& c : cases) {
    g_SystemData.m_bLegacy214 = c.legacy214;
    double sx, sy;
    int facing;
    AimAtPoint(sx, sy, facing, c.other, 0, 0, 30, 40, c.speed, c.ownSync, 0, 0);
    EXPECT_DOUBLE_EQ(sx, c.sx) << c.legacy214 << " " << c.ownSync << " " << c.speed;
    EXPECT_DOUBLE_EQ(sy, c.sy) << c.legacy214 << " " << c.ownSync << " " << c.speed;
  }
  // Held at its limit, an axis does not scroll.
  h.Stage().m_ScrollX.m_bAtEdge = 1;
  g_SystemData.m_bLegacy214 = 1;
  double sx, sy;
  int facing;
  AimAtPoint(sx, sy, facing, nullptr, 0, 0, 30, 40, 5, 0, 0, 0);
  EXPECT_DOUBLE_EQ(sx, 3);
  EXPECT_DOUBLE_EQ(sy, 3.75);
}

// A target moving with the scroll (vx, vy) is met: source + t s = target + t v on both axes; for a
// target below or right of the source the course keeps the speed.
TEST_F(SteeringTest, InterceptsATargetThatMovesWithTheScroll) {
  struct Case {
    double dx, dy, vx, vy;
    bool keepsSpeed;
  };
  const Case cases[] = {
      {30, 100, 0.5, 0, true},       {100, 30, 0.5, 0, true},      {30, 100, 0.5, 0.25, true},
      {30, -100, 0.5, -0.25, false}, {-100, 30, -0.5, 0.3, false},
  };
  const cObject synced = Syncing(1);
  for (const Case& c : cases) {
    AutoScroll(c.vx, c.vy);
    const double srcX = 200, srcY = 150;
    double sx, sy;
    int facing = 9;
    AimAtPoint(sx, sy, facing, &synced, srcX, srcY, srcX + c.dx, srcY + c.dy, 4, 0, 0, 0);
    const double t = (c.dy == 0 ? c.dx / (sx - c.vx) : c.dy / (sy - c.vy));
    EXPECT_GT(t, 0) << c.dx << "," << c.dy;
    EXPECT_NEAR(srcX + t * sx, srcX + c.dx + t * c.vx, 1e-9) << c.dx << "," << c.dy;
    EXPECT_NEAR(srcY + t * sy, srcY + c.dy + t * c.vy, 1e-9) << c.dx << "," << c.dy;
    if (c.keepsSpeed) EXPECT_NEAR(std::hypot(sx, sy), 4, 1e-9) << c.dx << "," << c.dy;
    EXPECT_EQ(facing, sx > 0 ? 2 : 1);
  }
}

// No course: the speeds stay as the straight steering left them and the facing is not written.
TEST_F(SteeringTest, InterceptionWithoutACourseLeavesTheStraightSpeeds) {
  const cObject synced = Syncing(1);
  AutoScroll(10, 0);  // faster than the steering: the discriminant is negative
  double sx, sy;
  int facing = 9;
  EXPECT_EQ(AimAtPoint(sx, sy, facing, &synced, 0, 0, 30, 40, 5, 0, 0, 1), 0);
  EXPECT_DOUBLE_EQ(sx, 3);
  EXPECT_DOUBLE_EQ(sy, 4);
  EXPECT_EQ(facing, 9);
  AutoScroll(0, 0);  // target on the source
  EXPECT_EQ(AimAtPoint(sx, sy, facing, &synced, 5, 5, 5, 5, 5, 0, 0, 1), 0);
  EXPECT_EQ(facing, 9);
}

TEST_F(SteeringTest, OneAxis) {
  AutoScroll(0.5, -0.25);
  const cObject synced = Syncing(1);
  for (int legacy : {0, 1}) {
    g_SystemData.m_bLegacy214 = legacy;
    double sx = 9, sy = 9;
    int facing = 9;
    EXPECT_EQ(AimAtX(sx, sy, facing, &synced, 10, 20, 3, 0, 1), 0);
    EXPECT_DOUBLE_EQ(sx, legacy ? 3.5 : 3);
    EXPECT_EQ(sy, 0);
    EXPECT_EQ(facing, 2);
    EXPECT_EQ(AimAtX(sx, sy, facing, &synced, 10, 10, 3, 1, 1), 1);  // |speed| > |src - dst|
    EXPECT_EQ(sx, -3);
    EXPECT_EQ(facing, 1);
    EXPECT_EQ(AimAtX(sx, sy, facing, nullptr, 10, 13, 3, 0, 1), 0);  // 3 is not beyond 3
    EXPECT_EQ(AimAtY(sx, sy, facing, &synced, 20, 10, 3, 0, 1), 0);
    EXPECT_DOUBLE_EQ(sy, legacy ? -3.25 : -3);
    EXPECT_EQ(sx, 0);
    EXPECT_EQ(facing, 0);
    EXPECT_EQ(AimAtY(sx, sy, facing, &synced, 20, 21, 3, 0, 1), 1);
  }
}

TEST_F(SteeringTest, ArrivingPutsTheCentreOnThePointWhenTheCommandStopsThere) {
  h.Stage().m_ScrollX.m_dPosition = 100;
  h.Stage().m_ScrollY.m_dPosition = 50;
  struct Case {
    int stopOnPoint, accelerates;
    int centreX;  // the graphic centre on screen afterwards
  };
  // The screen rectangle still shows the graphic centre at x 270 on screen, where the character
  // stood before it moved 70 dots on; the point at 272 lies within one step of speed 3. Only a
  // command that does not accelerate refreshes the rectangle before it places the character.
  const Case cases[] = {{1, 0, 272}, {1, 1, 272 + 70}, {0, 0, 270 + 70}};
  for (const Case& c : cases) {
    cMoveCmd move;
    move.Settings().m_nM21 = static_cast<int8_t>(c.stopOnPoint);
    move.Settings().m_bSecondSpeed = static_cast<int8_t>(c.accelerates);
    move.state.m_dSpeed = 3;
    cTestChara chara;
    chara.Place(360, 200, 16, 16);
    chara.m_nGraphicWidth = chara.m_nGraphicHeight = 20;
    chara.UpdateScreenRect();
    ASSERT_EQ(chara.ScreenCentreX(), 270);
    chara.m_dX += 70;
    EXPECT_EQ(chara.MoveTowardX(move.state, nullptr, 272, 0, 1), 1);
    chara.UpdateScreenRect();
    EXPECT_EQ(chara.ScreenCentreX(), c.centreX) << c.stopOnPoint << c.accelerates;
    EXPECT_EQ(move.state.m_dVelX, c.stopOnPoint ? 0 : 3);
  }
}

TEST_F(SteeringTest, MovingTowardAPointWritesTheStatesVelocity) {
  cMoveCmd move;
  move.Settings().m_nM21 = 1;
  move.state.m_dSpeed = 5;
  cTestChara chara;
  chara.Place(400, 400, 16, 16);
  chara.UpdateScreenRect();
  const int cx = chara.ScreenCentreX(), cy = chara.ScreenCentreY();
  EXPECT_EQ(chara.MoveTowardPoint(move.state, nullptr, cx + 30, cy - 40, 0, 1), 0);
  EXPECT_DOUBLE_EQ(move.state.m_dVelX, 3);
  EXPECT_DOUBLE_EQ(move.state.m_dVelY, -4);
  EXPECT_EQ(move.state.m_nFacing, 2);
  cObject other;
  other.m_nGraphicWidth = 10;
  EXPECT_EQ(chara.MoveTowardPoint(move.state, &other, cx + 3, cy - 4, 0, 1), 1);
  chara.UpdateScreenRect();
  EXPECT_EQ(chara.ScreenCentreX(), cx + 3);
  EXPECT_EQ(chara.ScreenCentreY(), cy - 4);
  EXPECT_EQ(move.state.m_dVelX, 0);
  EXPECT_EQ(move.state.m_dVelY, 0);
  EXPECT_EQ(other.m_ScreenRect.right, other.m_ScreenRect.left + 9);  // refreshed as well
  EXPECT_EQ(chara.MoveTowardY(move.state, nullptr, cy + 50, 0, 1), 0);
  EXPECT_EQ(move.state.m_dVelY, 5);
}

TEST_F(SteeringTest, TheCommandsTargetPointByItsLocks) {
  struct Case {
    int lockX, lockY;
    int x, y;
  };
  // Centre (50, 60) on screen, offsets (7, -3); an axis not written keeps -1.
  const Case cases[] = {{0, 0, 57, 57}, {1, 0, -1, 57}, {0, 1, 57, -1}, {1, 1, 57, -1}};
  for (const Case& c : cases) {
    cMoveCmd move;
    move.Settings().m_bLockX = static_cast<int8_t>(c.lockX);
    move.Settings().m_bLockY = static_cast<int8_t>(c.lockY);
    move.state.m_nOffsetX = 7;
    move.state.m_nOffsetY = -3;
    cObject o;
    o.m_ScreenRect = {40, 50, 59, 69};
    o.m_nGraphicWidth = o.m_nGraphicHeight = 20;
    int x = -1, y = -1;
    o.CommandTargetPoint(x, y, move.state);
    EXPECT_EQ(x, c.x) << c.lockX << c.lockY;
    EXPECT_EQ(y, c.y) << c.lockX << c.lockY;
  }
  cCmdState noCommand;  // no settings: both written
  cObject o;
  int x = -1, y = -1;
  o.CommandTargetPoint(x, y, noCommand);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
}
