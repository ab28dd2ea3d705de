// Knock-back of characters: the power against the impact resistance (in int, limited to +-20), the
// launch that covers 16 dots per half block of power as it decays by 1/n per sub-step at every
// level, what it cancels, the pushes of bodies, shots and swords, the vertical share applied each
// sub-step with the older projects' guard, the decay and its end.
#include <gtest/gtest.h>

#include <cmath>

#include "data/system_data.h"
#include "motion_test_support.h"
#include "objects/shot.h"
#include "objects/stage_physics.h"
#include "test_support/fresh_play_objects.h"
#include "test_support/stage_harness.h"

namespace {

class KnockBackTest : public ::testing::Test {
 protected:
  void SetLevel(int level) { g_StageFile.SetHitCheckLevel(level); }
  // The speed LaunchSpeeds gives one component of c half blocks at the current n.
  static double Launch(int c) {
    double x = 0, y = 0;
    LaunchSpeeds(x, y, static_cast<int8_t>(c), 1, 0, nullptr);
    return x;
  }
  cFreshPlayObjects m_FreshRun;
};

}  // namespace

// The last rows would wrap a byte: 127 + 128 is -1 as a byte, -120 - 20 is 116.
TEST_F(KnockBackTest, PowerLessResistanceWithinTwenty) {
  SetLevel(1);
  struct Case {
    int power, resistance, effective;
  };
  const Case cases[] = {
      {25, 3, 20},   {-2, 5, 0}, {10, 3, 7},      {-25, 3, -20},    {-10, 3, -7},   {5, 5, 0},       {20, 0, 20},
      {-20, 0, -20}, {1, 0, 1},  {127, -128, 20}, {-120, -20, -20}, {100, -50, 20}, {-128, 127, -1},
  };
  for (const Case& c : cases) {
    cTestChara chara;
    chara.m_Type.m_nImpactResist = static_cast<int8_t>(c.resistance);
    int out = 99;
    chara.KnockBack(static_cast<int8_t>(c.power), 1, 0, out);
    EXPECT_EQ(out, c.effective) << c.power << " " << c.resistance;
    EXPECT_EQ(chara.m_bKnockStarted, 1);
    EXPECT_DOUBLE_EQ(chara.m_dKnockX, c.effective ? Launch(c.effective) : 0) << c.power << " " << c.resistance;
  }
  cTestChara chara;
  int out = 99;
  chara.KnockBack(0, 1, 0, out);  // no power: nothing at all
  EXPECT_EQ(out, 99);
  EXPECT_EQ(chara.m_bKnockStarted, 0);
}

// Summed while it decays by 1/n each sub-step, the launch speed of c half blocks covers 16 |c| dots:
// exactly when v n is whole, at most 1/(8n) more otherwise.
TEST_F(KnockBackTest, TheDistanceIsSixteenDotsPerHalfBlock) {
  for (int level : {1, 2, 4, 12}) {
    SetLevel(level);
    const int n = StageSubSteps();
    for (int c = -20; c <= 20; ++c) {
      if (c == 0) continue;
      cTestChara chara;
      int out;
      chara.KnockBack(static_cast<int8_t>(c), 1, 0, out);
      double distance = 0;
      for (int step = 0; step < 100000 && chara.m_dKnockX != 0; ++step) {
        distance += chara.m_dKnockX;
        chara.DecayKnockbackX();
      }
      EXPECT_NEAR(std::fabs(distance), 16.0 * std::abs(c), 1.0 / (8 * n) + 1e-9) << "level " << level << " c " << c;
      EXPECT_GE(std::fabs(distance), 16.0 * std::abs(c) - 1e-9) << "level " << level << " c " << c;
    }
  }
}

// At level 12 (n = 2, 30 dots per sub-step) no knock-back reaches the speed limit: moved the way
// characters move, with the resistance taken off first, it covers 16 dots per effective half block.
TEST_F(KnockBackTest, MovedThroughTheSubSteps) {
  SetLevel(12);
  struct Case {
    int power, resistance, effective;
  };
  const Case cases[] = {{25, 3, 20}, {-7, 2, -5}, {3, 0, 3}};
  for (const Case& c : cases) {
    cTestChara chara;
    chara.m_Type.m_nImpactResist = static_cast<int8_t>(c.resistance);
    chara.Place(5000, 0, 16, 16);
    int out;
    chara.KnockBack(static_cast<int8_t>(c.power), 1, 0, out);
    while (chara.m_dKnockX != 0) {
      chara.m_dSpeedX = chara.m_dKnockX;
      chara.MoveObjX(-1);
      chara.DecayKnockbackX();
    }
    EXPECT_NEAR(chara.m_dX - 5000, 16.0 * c.effective, 1.0 / 16) << c.power;
  }
}

TEST_F(KnockBackTest, ANewKnockBackCancelsWhatOpposesIt) {
  SetLevel(1);
  cTestChara chara;
  chara.m_dImpactX = 2;
  chara.m_dImpactY = 5e-9;  // too small to oppose
  chara.m_dSpeedY = 3;
  int out;
  chara.KnockBack(-6, 1, 1, out);  // up and left
  EXPECT_LT(chara.m_dKnockX, 0);
  EXPECT_LT(chara.m_dKnockY, 0);
  EXPECT_EQ(chara.m_dImpactX, 0);
  EXPECT_EQ(chara.m_dImpactY, 5e-9);
  EXPECT_EQ(chara.m_dSpeedY, 0);
  cTestChara along;
  along.m_dImpactX = -2;
  along.m_dSpeedY = -3;
  along.KnockBack(-6, 1, 1, out);
  EXPECT_EQ(along.m_dImpactX, -2);
  EXPECT_EQ(along.m_dSpeedY, -3);
}

// A walking attacker pushes downward only when it falls at least 8n x g (3.2 at level 1).
TEST_F(KnockBackTest, FromABody) {
  SetLevel(1);
  struct Case {
    int moveMode;
    double attackerSpeedY;
    bool pushesDown;
  };
  const Case cases[] = {{0, 3.1, false}, {0, 3.2, true}, {1, 0.5, true}, {0, -5, false}};
  for (const Case& c : cases) {
    cTestChara attacker, victim;
    attacker.m_Type.m_nMoveMode = static_cast<int8_t>(c.moveMode);
    attacker.m_Type.m_nBodyImpact = 6;
    attacker.m_dSpeedX = 1;
    attacker.m_dSpeedY = c.attackerSpeedY;
    int out = 0;
    victim.KnockBackFromBody(attacker, out);
    EXPECT_EQ(out, 6);
    EXPECT_EQ(victim.m_dKnockY != 0, c.pushesDown) << c.attackerSpeedY;
    EXPECT_GT(victim.m_dKnockX, 0);
  }
}

TEST_F(KnockBackTest, FromAShotAlongItsSpeedAndFromASwordAlongItsFacing) {
  SetLevel(1);
  cShot shot;
  shot.m_Settings.m_nImpact = 4;
  shot.m_bIsShot = 1;
  shot.m_dSpeedX = -3;
  shot.m_dSpeedY = 0;
  shot.m_nFacing = 1;
  cTestChara victim;
  int out = 0;
  victim.KnockBackFromShot(shot, out);
  EXPECT_EQ(out, 4);
  EXPECT_DOUBLE_EQ(victim.m_dKnockX, -Launch(4));
  shot.m_bIsShot = 0;  // a sword swing
  victim.KnockBackFromShot(shot, out);
  EXPECT_DOUBLE_EQ(victim.m_dKnockX, Launch(4));
  EXPECT_EQ(victim.m_dKnockY, 0);
}

TEST_F(KnockBackTest, TheVerticalShareReplacesThePreviousOne) {
  cStageHarness h({"H.........", "##########"});
  h.SetHitCheckLevel(1);
  struct Case {
    const char* what;
    int legacy897, legacy841, gravityFree, onFloor;
    double knockY, prevKnockY, speedY;
    double newSpeedY, newKnockY, newPrev;
  };
  const Case cases[] = {
      {"no knock-back", 0, 0, 0, 0, 0, 2, 1, 1, 0, 2},
      {"flying: added", 0, 0, 1, 0, 3, 2, 1, 4, 3, 3},
      {"walking: replaced", 0, 0, 0, 0, 3, 2, 1, 2, 3, 3},
      {"down on the floor: ended", 0, 0, 0, 1, 3, 2, 1, 1, 0, 0},
      {"up on the floor: replaced", 0, 0, 0, 1, -3, -2, 1, 0, -3, -3},
      {"older, not stopped", 1, 0, 0, 0, 3, 2, 1, 2, 3, 3},            // 2 - 1 <= 1/n
      {"older, stopped meanwhile", 1, 0, 0, 0, 3, 2, 0.5, 0.5, 3, 3},  // 1.5 > 1/n: kept
      {"older with 841", 1, 1, 0, 0, 3, 2, 0.5, 1.5, 3, 3},
  };
  for (const Case& c : cases) {
    g_SystemData.m_bLegacy897 = c.legacy897;
    g_SystemData.m_bLegacy841 = c.legacy841;
    cTestChara chara;
    chara.m_bGravityFree = c.gravityFree;
    chara.m_lpFloorBlock = c.onFloor ? &h.Cell(0, 1) : nullptr;
    chara.m_dKnockY = c.knockY;
    chara.m_dPrevKnockY = c.prevKnockY;
    chara.m_dSpeedY = c.speedY;
    chara.ApplyKnockbackY();
    EXPECT_DOUBLE_EQ(chara.m_dSpeedY, c.newSpeedY) << c.what;
    EXPECT_EQ(chara.m_dKnockY, c.newKnockY) << c.what;
    EXPECT_EQ(chara.m_dPrevKnockY, c.newPrev) << c.what;
  }
  g_SystemData.m_bLegacy897 = g_SystemData.m_bLegacy841 = 0;
  cTestChara rider;
  rider.m_bRiding = 1;
  rider.m_dKnockY = 2;
  rider.ApplyKnockbackY();
  EXPECT_EQ(rider.m_dKnockY, 0);  // riding counts as standing
}

TEST_F(KnockBackTest, DecayTowardZeroAndTheEnd) {
  SetLevel(2);  // 1/n = 0.5
  struct Case {
    double knock, decayed;
  };
  const Case cases[] = {{2.5, 2.0}, {0.3, 0.0}, {-0.3, 0.0}, {-2.5, -2.0}, {0.5, 0.0}, {0.0, 0.0}};
  for (const Case& c : cases) {
    cTestChara chara;
    chara.m_dKnockX = c.knock;
    chara.m_dKnockY = c.knock;
    chara.m_dPrevKnockY = 7;
    chara.DecayKnockbackX();
    chara.DecayKnockbackY();
    EXPECT_DOUBLE_EQ(chara.m_dKnockX, c.decayed) << c.knock;
    EXPECT_DOUBLE_EQ(chara.m_dKnockY, c.decayed) << c.knock;
    // Only crossing 0 ends the vertical knock-back with its previous share.
    const bool crossed = c.knock != 0 && std::fabs(c.knock) < 0.5;
    EXPECT_EQ(chara.m_dPrevKnockY, crossed ? 0 : 7) << c.knock;
  }
  cTestChara chara;
  chara.m_dKnockX = chara.m_dKnockY = chara.m_dPrevKnockY = 3;
  chara.EndKnockback();
  EXPECT_EQ(chara.m_dKnockY, 0);
  EXPECT_EQ(chara.m_dPrevKnockY, 0);
  EXPECT_EQ(chara.m_dKnockX, 3);  // the horizontal one decays by itself
}
