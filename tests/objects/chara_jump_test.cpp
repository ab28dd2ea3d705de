// The jump of characters: launch speed, rising steps and command duration, the apex it reaches under
// the character's gravity at every hit-check level, the weaker jumps of older projects, and the
// placement on the block grid.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "data/system_data.h"
#include "motion_test_support.h"
#include "objects/stage_physics.h"
#include "test_support/fresh_play_objects.h"
#include "test_support/stage_harness.h"

namespace {

class CharaJumpTest : public ::testing::Test {
 protected:
  cFreshPlayObjects m_FreshRun;
};

}  // namespace

TEST_F(CharaJumpTest, LaunchSpeedAndDuration) {
  struct Case {
    int level;
    double gravity;
    int halfBlocks;
    double speed;
    int steps, tenths;
  };
  const Case cases[] = {
      {1, 1.0, 2, -8.5156097709407, 9, 2},  // (-1 - sqrt 257) / 2; trunc(1 + 8.516) = 9 -> 9 / 1 / 6 + 1
      {1, 0.4, 1, -3.7832945734337837, 10, 2}, {1, 0.4, 8, -10.321264743103995, 26, 5},
      {2, 0.4, 4, -3.628058132562969, 38, 4},  {4, 0.4, 8, -2.542353009563995, 105, 5},
      {12, 0.4, 4, -3.628058132562969, 38, 4}, {19, 0.4, 8, -1.1268372372246895, 237, 5},
  };
  for (const Case& c : cases) {
    SetStagePhysics(c.level, c.gravity);
    cTestChara chara;
    chara.m_nControl = 1;
    const double speed = chara.JumpSpeedHbl(static_cast<int8_t>(c.halfBlocks));
    EXPECT_NEAR(speed, c.speed, 1e-12) << c.level << " " << c.halfBlocks;
    EXPECT_EQ(speed, chara.JumpLaunchSpeed(16.0 * c.halfBlocks));
    EXPECT_EQ(JumpSteps(speed), c.steps) << c.level << " " << c.halfBlocks;
    EXPECT_EQ(chara.JumpDurationTenths(static_cast<int8_t>(c.halfBlocks)), c.tenths) << c.level << " " << c.halfBlocks;
  }
  EXPECT_EQ(HalfBlocksToDots(-3), -48);
}

// An older project's player-controlled characters jump weaker by 0.99 - G x 0.025.
TEST_F(CharaJumpTest, OlderProjectsWeakenThePlayersJump) {
  SetStagePhysics(2, 0.4);
  for (int legacy : {0, 1}) {
    g_SystemData.m_bLegacy845c = legacy;
    for (int control : {0, 1}) {
      cTestChara chara;
      chara.m_nControl = control;
      const double g = 0.1;
      const double plain = (-g - std::sqrt(g * (g + 8 * 48))) * 0.5;
      const double factor = legacy && control == 0 ? 0.99 - 0.4 * 0.025 : 1.0;
      EXPECT_DOUBLE_EQ(chara.JumpSpeedHbl(3), plain * factor) << legacy << control;
    }
  }
}

// Without gravity nothing rises: the jump lasts its n sub-steps, one tenth.
TEST_F(CharaJumpTest, AStageWithoutGravity) {
  SetStagePhysics(3, 0.0);
  cTestChara chara;
  EXPECT_EQ(chara.JumpSpeedHbl(4), 0);
  EXPECT_EQ(JumpSteps(chara.JumpSpeedHbl(4)), 3);
  EXPECT_EQ(chara.JumpDurationTenths(4), 1);
  g_StageFile.m_nSubSteps = 0;  // no physics values set yet: no division by zero either
  EXPECT_EQ(chara.JumpDurationTenths(4), 1);
}

// Gravity then the move, once per sub-step, from the launch speed: the highest point lies within a
// dot of 16h. At level 1 the speed limit of 6 caps every jump at 6 + 5.6 + ... + 0.4 = 48 dots.
TEST_F(CharaJumpTest, TheApexIsTheHeightAsked) {
  for (int level : {1, 2, 4, 12}) {
    SetStagePhysics(level, 0.4);
    for (int h = 1; h <= 8; ++h) {
      cTestChara chara;
      chara.Place(0, 5000, 16, 16);
      chara.m_dSpeedY = chara.JumpSpeedHbl(static_cast<int8_t>(h));
      double highest = chara.m_dY;
      for (int step = 0; step < 10000 && chara.m_dSpeedY <= 0; ++step) {
        chara.ApplyCharaGravity();
        chara.MoveObjY(-1);
        highest = std::min(highest, chara.m_dY);
      }
      const double expected = level == 1 ? std::min(16.0 * h, 48.0) : 16.0 * h;
      EXPECT_NEAR(5000 - highest, expected, 1.0) << "level " << level << " h " << h;
    }
  }
}

TEST(CharaGrid, PlacesOnACellKeepingAGiantCentredAndOnItsFeet) {
  cStageHarness h({"H.........", "..........", ".........."});
  struct Case {
    int scale, mode;
    double x, y;
  };
  // Column 3, row 1: cell (13, 11) of the map; base hit offsets (6, 8), base width 20, base graphic
  // height 32.
  const Case cases[] = {
      {1, 1, 13 * 32 + 6 + 0.5, 11 * 32 + 8},
      {2, 1, 13 * 32 + 6 + 0.5 - 10, 11 * 32 + 8 - (32 - 8)},   // the graphic's bottom stays
      {2, 0, 13 * 32 + 6 + 0.5 - 10, 11 * 32 + 8 + (24 - 48)},  // the hit box's bottom stays
  };
  for (const Case& c : cases) {
    cTestChara chara;
    chara.m_Type.m_nScale = static_cast<int8_t>(c.scale);
    chara.m_nBaseHitOffsetX = 6;
    chara.m_nBaseHitOffsetY = 8;
    chara.m_nBaseWidth = chara.m_nWidth = 20;
    chara.m_nBaseHeight = chara.m_nHeight = 24;
    chara.m_nBaseGraphicHeight = 32;
    chara.SetGridPos(3, 1, c.mode);
    EXPECT_DOUBLE_EQ(chara.m_dX, c.x) << c.scale << c.mode;
    EXPECT_DOUBLE_EQ(chara.m_dY, c.y) << c.scale << c.mode;
    EXPECT_EQ(chara.m_nCellX, TruncToInt(c.x) >> 5);  // the after-move hooks ran
    EXPECT_EQ(chara.m_dY2, c.y + 23);
  }
}
