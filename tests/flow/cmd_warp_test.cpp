// "ワープ": by direction and distance, near a target, by coordinates relative to the character, to
// the map or to the screen, each older project's placement next to the newer one, and a blocked
// place that leaves the character where it was.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "data/system_data.h"
#include "data/vocabulary_tables.h"
#include "flow/cmd_tables.h"
#include "flow/object_cmds.h"
#include "objects/chara.h"
#include "objects/flow_state.h"
#include "objects/hero.h"
#include "test_support/flow_harness.h"

namespace {

constexpr double kHalfSqrt2 = 0.7071067811865476;

class WarpTest : public ::testing::Test {
 protected:
  WarpTest() {
    h.Stage().m_lpFlowVars = flowVars;
    h.Stage().m_lpCurFlowState = &flow;
    // A character whose hit box sits inside its graphic, away from the corner.
    cChara& my = Actor();
    my.m_nHitOffsetX = 6, my.m_nHitOffsetY = 8;
    my.m_nWidth = 20, my.m_nHeight = 24;
    my.m_nGraphicWidth = 32, my.m_nGraphicHeight = 32;
    my.m_dX = 400.5, my.m_dY = 400.25;
    my.m_nFacing = 0;
  }

  cChara& Actor() { return h.Chara(0); }

  // Moves by direction (M1 0) over M26 half blocks.
  static cEdMove ByDirection(int direction, int halfBlocks) {
    cEdMove move;
    move.m_nMoveKind = 0;
    move.m_nDirection = static_cast<int8_t>(direction);
    move.m_nM26 = static_cast<int16_t>(halfBlocks);
    return move;
  }
  // To coordinates (M1 5) on a base, in dots, both axes.
  static cEdMove ToPoint(int base, int x, int y, int reference = 0) {
    cEdMove move;
    move.m_nMoveKind = 5;
    move.m_nM12 = static_cast<int8_t>(base);
    move.m_nOffsetUnit = 1;
    move.m_nDotX = static_cast<int16_t>(x);
    move.m_nDotY = static_cast<int16_t>(y);
    move.m_nM14 = static_cast<int8_t>(reference);
    return move;
  }

  cFlowHarness h{std::vector<std::string>{
      "................................",
      "................................",
      "................................",
      "......C.........................",
      "................................",
      "........#.......................",
      "H...............................",
      "################################",
  }};
  int32_t flowVars[2] = {};
  cFlowState flow;
};

TEST_F(WarpTest, ByDirectionMovesTheDistanceAlongEachDirection) {
  struct Case {
    int direction;
    int facing;
    double dx, dy;
  };
  const double d = 3 * 16;
  const double diagonal = d * kHalfSqrt2;
  const Case cases[] = {
      {kMoveDirLeft, 0, -d, 0},
      {kMoveDirRight, 0, d, 0},
      {kMoveDirUp, 0, 0, -d},
      {kMoveDirDown, 1, 0, d},
      {kMoveDirFront, 1, d, 0},  // the front of a character facing right
      {kMoveDirBack, 1, -d, 0},
      {kMoveDirUpLeft, 0, -diagonal, -diagonal},
      {kMoveDirDownLeft, 0, -diagonal, diagonal},
      {kMoveDirUpRight, 0, diagonal, -diagonal},
      {kMoveDirDownRight, 0, diagonal, diagonal},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.direction);
    cChara& my = Actor();
    my.m_dX = 400.5, my.m_dY = 360.25;
    my.m_nFacing = c.facing;
    my.m_bFixedScreenX = my.m_bFixedScreenY = 1;
    ASSERT_TRUE(Warp(my, ByDirection(c.direction, 3), 0));
    EXPECT_DOUBLE_EQ(my.m_dX, 400.5 + c.dx);
    EXPECT_DOUBLE_EQ(my.m_dY, 360.25 + c.dy);
    EXPECT_DOUBLE_EQ(my.m_dX2, my.m_dX + 19);
    EXPECT_EQ(my.m_bFixedScreenX + my.m_bFixedScreenY, 0);  // the command-move flags are cleared
  }
}

TEST_F(WarpTest, TheDistanceGrowsWithTheIndexOfASummon) {
  cChara& my = Actor();
  my.m_nClone = 2;
  cEdMove move = ByDirection(kMoveDirRight, 1);
  move.m_nM27 = 3;  // (3 x 2 + 1) half blocks
  ASSERT_TRUE(Warp(my, move, 0));
  EXPECT_DOUBLE_EQ(my.m_dX, 400.5 + 7 * 16);
}

// Older projects keep an input direction's diagonal only for a flying character.
TEST_F(WarpTest, Legacy721DiagonalInputOfAWalkingCharacter) {
  struct Case {
    int legacy;
    double dx, dy;
  };
  const double diagonal = 32 * kHalfSqrt2;
  const Case cases[] = {{0, -diagonal, -diagonal}, {1, -32, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.legacy);
    g_SystemData.m_bLegacy721 = c.legacy;
    cChara& my = Actor();
    my.m_dX = 400.5, my.m_dY = 360.25;
    my.m_bGravityFree = 0;
    flow.m_nStartKey = 5;  // up and left held when the flow started
    ASSERT_TRUE(Warp(my, ByDirection(kMoveDirInput, 2), 0));
    EXPECT_DOUBLE_EQ(my.m_dX, 400.5 + c.dx);
    EXPECT_DOUBLE_EQ(my.m_dY, 360.25 + c.dy);
  }
}

TEST_F(WarpTest, NearATargetCentresOnItAndStepsToItsFront) {
  cChara& my = Actor();
  cHero& hero = h.Hero();
  cEdMove move = ByDirection(kMoveDirFront, 2);
  move.m_nMoveKind = 1;  // from target 1
  my.SetTarget(0, nullptr);
  const double x = my.m_dX, y = my.m_dY;
  EXPECT_FALSE(Warp(my, move, 0));  // no target: nothing moves
  EXPECT_DOUBLE_EQ(my.m_dX, x);
  EXPECT_DOUBLE_EQ(my.m_dY, y);

  my.SetTarget(0, &hero);
  hero.m_nFacing = 1;
  hero.m_dX = 500, hero.m_dY = 420;
  ASSERT_TRUE(Warp(my, move, 0));
  const double centreX = 500 - hero.m_nHitOffsetX + hero.m_nGraphicWidth / 2;
  const double centreY = 420 - hero.m_nHitOffsetY + hero.m_nGraphicHeight / 2;
  EXPECT_DOUBLE_EQ(my.m_dX, centreX + 6 - 16 + 32);
  EXPECT_DOUBLE_EQ(my.m_dY, centreY + 8 - 16);
}

TEST_F(WarpTest, RelativeCoordinatesMirrorWithTheFacingOnTheAxesAsked) {
  struct Case {
    int facing;
    int mirrorX, mirrorY;
    int useX, useY;
    double dx, dy;
  };
  const Case cases[] = {
      {0, 1, 1, 1, 1, 40, -8}, {1, 1, 0, 1, 1, -40, -8}, {1, 1, 1, 1, 1, -40, 8},
      {1, 0, 0, 1, 1, 40, -8}, {0, 1, 1, 0, 1, 0, -8},   {0, 1, 1, 1, 0, 40, 0},
  };
  for (const Case& c : cases) {
    cChara& my = Actor();
    my.m_dX = 400.5, my.m_dY = 360.25;
    my.m_nFacing = c.facing;
    cEdMove move = ToPoint(0, 8, -8);
    move.m_nOffsetUnit = 0;
    move.m_nCellX = 1;  // a cell and 8 dots
    move.m_bMirrorX = static_cast<int8_t>(c.mirrorX);
    move.m_bMirrorY = static_cast<int8_t>(c.mirrorY);
    move.m_nM6 = static_cast<int8_t>(c.useX);
    move.m_nM7 = static_cast<int8_t>(c.useY);
    ASSERT_TRUE(Warp(my, move, 0));
    EXPECT_DOUBLE_EQ(my.m_dX, 400.5 + c.dx) << c.facing << c.mirrorX << c.useX;
    EXPECT_DOUBLE_EQ(my.m_dY, 360.25 + c.dy) << c.facing << c.mirrorY << c.useY;
  }
}

// Absolute coordinates: newer projects centre the hit box on the point (the middle of a cell in
// cell units, the feet on it by the reference point); projects before 822, and the coordinate
// writing of the status operations before 895, put the character on the cell as placement does.
TEST_F(WarpTest, AbsoluteCoordinatesWithLegacy822And895) {
  struct Case {
    int legacy822, legacy895, forStatusOp;
    bool grid;
  };
  const Case cases[] = {
      {0, 0, 0, false}, {1, 0, 0, true}, {0, 1, 1, true}, {0, 1, 0, false}, {0, 0, 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.legacy822 << c.legacy895 << c.forStatusOp);
    g_SystemData.m_bLegacy822 = c.legacy822;
    g_SystemData.m_bLegacy895 = c.legacy895;
    cChara& my = Actor();
    my.m_bGravityFree = 1;
    cEdMove move = ToPoint(1, 5, 3, 1);  // the bottom centre
    move.m_nOffsetUnit = 0;
    move.m_nCellX = 4, move.m_nCellY = 2;
    ASSERT_TRUE(Warp(my, move, c.forStatusOp));
    const double originX = 10 * 32, originY = 10 * 32;
    if (c.grid) {
      EXPECT_DOUBLE_EQ(my.m_dX, my.GridDotX(4) + 5);
      EXPECT_DOUBLE_EQ(my.m_dY, my.GridDotY(2) + 3);
    } else {
      EXPECT_DOUBLE_EQ(my.m_dX, originX + 4 * 32 + 5 - 10 + 16 + 0.5);
      EXPECT_DOUBLE_EQ(my.m_dY, originY + 2 * 32 + 3 - 24 + 16 + 16 + 0.5);
    }
  }
  g_SystemData.m_bLegacy822 = 0;
  g_SystemData.m_bLegacy895 = 0;
  // In dots the point is not moved to a cell's middle; the centre reference halves the height.
  cChara& my = Actor();
  ASSERT_TRUE(Warp(my, ToPoint(1, 100, 60, 0), 0));
  EXPECT_DOUBLE_EQ(my.m_dX, 320 + 100 - 10 + 0.5);
  EXPECT_DOUBLE_EQ(my.m_dY, 320 + 60 - 12 + 0.5);
  // "歩行なら中央下、飛行なら中心": the feet of a walking character, the centre of a flying one.
  my.m_bGravityFree = 0;
  ASSERT_TRUE(Warp(my, ToPoint(1, 100, 60, 2), 0));
  EXPECT_DOUBLE_EQ(my.m_dY, 320 + 60 - 24 + 16 + 0.5);
  my.m_bGravityFree = 1;
  ASSERT_TRUE(Warp(my, ToPoint(1, 100, 60, 2), 0));
  EXPECT_DOUBLE_EQ(my.m_dY, 320 + 60 - 12 + 0.5);
}

// Screen coordinates count from the scroll position; projects of 822 to 893 lift the feet by a
// whole cell, projects before 822 put the graphic's corner on the point.
TEST_F(WarpTest, ScreenCoordinatesWithLegacy894And822) {
  struct Case {
    int legacy822, legacy894;
    double x, y;
  };
  const double sx = 64.5, sy = 96;
  const Case cases[] = {
      {0, 0, sx + 100 - 10 + 0.5, sy + 60 - 24 + 16 + 0.5},
      {0, 1, sx + 100 - 10 + 0.5, sy + 60 - 24 + 32 + 0.5},
      {1, 0, sx + 6 + 100, sy + 8 + 60},
      {1, 1, sx + 6 + 100, sy + 8 + 60},
  };
  h.Stage().m_ScrollX.m_dPosition = sx;
  h.Stage().m_ScrollY.m_dPosition = sy;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.legacy822 << c.legacy894);
    g_SystemData.m_bLegacy822 = c.legacy822;
    g_SystemData.m_bLegacy894 = c.legacy894;
    cChara& my = Actor();
    my.m_bGravityFree = 0;
    ASSERT_TRUE(Warp(my, ToPoint(2, 100, 60, 1), 0));
    EXPECT_DOUBLE_EQ(my.m_dX, c.x);
    EXPECT_DOUBLE_EQ(my.m_dY, c.y);
    // The character stays drawn where it was put on the screen.
    EXPECT_EQ(my.m_bFixedScreenX, 1);
    EXPECT_EQ(my.m_bFixedScreenY, 1);
    EXPECT_EQ(my.m_nFixedScreenX, my.m_ScreenRect.left);
    EXPECT_EQ(my.m_nFixedScreenY, my.m_ScreenRect.top);
  }
}

TEST_F(WarpTest, IntoAWallTheCharacterStaysExactlyWhereItWas) {
  cChara& my = Actor();
  my.m_dX = 400.5, my.m_dY = 400.25;
  my.m_dX2 = my.m_dX + 19, my.m_dY2 = my.m_dY + 23;
  // The wall's cell: column 8, row 5 of the stage.
  cEdMove move = ToPoint(1, 8 * 32 + 16, 5 * 32 + 16, 0);
  EXPECT_FALSE(Warp(my, move, 0));
  EXPECT_DOUBLE_EQ(my.m_dX, 400.5);
  EXPECT_DOUBLE_EQ(my.m_dY, 400.25);
  EXPECT_DOUBLE_EQ(my.m_dX2, 419.5);
  EXPECT_DOUBLE_EQ(my.m_dY2, 423.25);
  // A warp to the screen is pinned to the screen even when it failed.
  move.m_nM12 = 2;
  h.Stage().m_ScrollX.m_dPosition = 10 * 32;
  h.Stage().m_ScrollY.m_dPosition = 10 * 32;
  EXPECT_FALSE(Warp(my, move, 0));
  EXPECT_EQ(my.m_bFixedScreenX, 1);
}

TEST_F(WarpTest, TheCommandStoresItsResultOnlyInTheCharacterTable) {
  cFlowCmd cmd;
  cmd.m_nKind = 20;
  cmd.m_pMove = std::make_shared<cEdMove>(ToPoint(1, 8 * 32 + 16, 5 * 32 + 16, 0));
  cmd.m_anParams = {1};
  CmdWarp(Actor(), cmd);
  EXPECT_EQ(flowVars[0], 2);  // blocked
  cmd.m_pMove = std::make_shared<cEdMove>(ByDirection(kMoveDirLeft, 1));
  CmdWarp(Actor(), cmd);
  EXPECT_EQ(flowVars[0], 1);
  flowVars[0] = 7;
  cmd.m_anParams = {0};  // not asked
  CmdWarp(Actor(), cmd);
  EXPECT_EQ(flowVars[0], 7);
  // The item table's warp has no parameter and no result.
  cFlowCmd item;
  item.m_nContext = 1;
  item.m_nKind = 5;
  item.m_pMove = std::make_shared<cEdMove>(ByDirection(kMoveDirLeft, 1));
  item.m_pMove->m_nDirection = kMoveDirRight;
  const double x = h.Hero().m_dX;
  EXPECT_EQ(g_ItemCmdTable[5](h.Hero(), item), 0);
  EXPECT_EQ(flowVars[0], 7);
  EXPECT_DOUBLE_EQ(h.Hero().m_dX, x + 16);
}

}  // namespace
