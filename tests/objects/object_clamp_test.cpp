// The object base's clamps against the stage's limits and its scale changes, on a harness stage of
// 10 x 4 cells: the map runs 0..959 x 0..767 dots with its margins, the outer limits (the map without
// its margins) 320..639 x 320..447, and the inner limits (the scroll range) are set per test.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/numbers.h"
#include "objects/object.h"
#include "test_support/stage_harness.h"

namespace {

class ObjectClampTest : public ::testing::Test {
 protected:
  ObjectClampTest() : h({"H.........", "..........", "..........", ".........."}) {
    // Inner limits: columns 2-7 (384..575), rows 1-2 (352..415).
    h.Stage().m_ScrollX.SetScrollRange(2, 7, 1, 1);
    h.Stage().m_ScrollY.SetScrollRange(1, 2, 1, 1);
  }
  static cObject Box(double x, double y, int width, int height) {
    cObject o;
    o.m_dX = x;
    o.m_dY = y;
    o.m_nWidth = width;
    o.m_nHeight = height;
    return o;
  }
  cStageHarness h;
};

struct ClampCase {
  int mode;
  double x;
  double expectedX;
  int expectedCode;
};

}  // namespace

TEST_F(ObjectClampTest, HorizontalModesClampAndReport) {
  EXPECT_EQ(h.Stage().m_ScrollX.m_nLowLimit, 384);
  EXPECT_EQ(h.Stage().m_ScrollX.m_nHighLimit, 576);
  const ClampCase cases[] = {
      {2, -3, 0, kClampMapEdge},         {2, 950, 944, kClampMapEdge},       // the map's edges clamp
      {2, 100, 100, kClampOutsideOuter}, {2, 330, 330, kClampOutsideInner},  // inside, only reported
      {2, 400, 400, kClampInside},       {2, 570, 570, kClampOutsideInner},
      {1, 100, 320, kClampInside},       {1, 630, 624, kClampInside},  // the outer limits clamp
      {1, 330, 330, kClampOutsideInner}, {1, 400, 400, kClampInside},
      {0, 330, 384, kClampInside},       {0, 570, 560, kClampInside},  // the inner limits clamp
      {7, -50, -50, kClampInside},                                     // other modes leave the object alone
  };
  for (const ClampCase& c : cases) {
    cObject o = Box(c.x, 0, 16, 16);
    EXPECT_EQ(o.ClampToStageX(c.mode), c.expectedCode) << "mode " << c.mode << " x " << c.x;
    EXPECT_EQ(o.m_dX, c.expectedX) << "mode " << c.mode << " x " << c.x;
    EXPECT_EQ(o.m_dX2, o.m_dX + 15);
    EXPECT_EQ(o.m_nCellX, TruncToInt(o.m_dX) >> 5);
    EXPECT_EQ(o.m_nCellX2, TruncToInt(o.m_dX2) >> 5);
  }
}

TEST_F(ObjectClampTest, VerticalModesHaveTheirOwnCodes) {
  const ClampCase cases[] = {
      {2, -3, 0, kClampMapEdge},       {2, 760, 752, kClampMapBottom},    {2, 100, 100, kClampOutsideOuter},
      {2, 440, 440, kClampBelowOuter}, {2, 330, 330, kClampOutsideInner}, {2, 410, 410, kClampBelowInner},
      {2, 360, 360, kClampInside},     {1, 330, 330, kClampOutsideInner}, {1, 410, 410, kClampBelowInner},
      {1, 100, 320, kClampInside},     {1, 440, 432, kClampInside},       {0, 330, 352, kClampInside},
      {0, 410, 400, kClampInside},
  };
  for (const ClampCase& c : cases) {
    cObject o = Box(0, c.x, 16, 16);
    EXPECT_EQ(o.ClampToStageY(c.mode), c.expectedCode) << "mode " << c.mode << " y " << c.x;
    EXPECT_EQ(o.m_dY, c.expectedX) << "mode " << c.mode << " y " << c.x;
    EXPECT_EQ(o.m_dY2, o.m_dY + 15);
    EXPECT_EQ(o.m_nCellY, TruncToInt(o.m_dY) >> 5);
  }
}

TEST_F(ObjectClampTest, AnObjectTallerThanTheMarginIsNotClampedAtTheMapEdge) {
  cObject tall = Box(0, -3, 16, 320);  // margin 10 cells = 320 dots
  EXPECT_EQ(tall.ClampToStageY(2), kClampInside);
  EXPECT_EQ(tall.m_dY, -3);
  EXPECT_EQ(tall.m_nCellY, -1);  // trunc(-3) = -3, then the arithmetic shift
  cObject low = Box(0, -40, 16, 16);
  low.m_nHeight = 319;
  EXPECT_EQ(low.ClampToStageY(2), kClampMapEdge);
  EXPECT_EQ(low.m_dY, 0);
}

TEST_F(ObjectClampTest, ScalingKeepsTheHorizontalCentre) {
  cObject o = Box(400, 360, 20, 20);
  o.m_nBaseWidth = 20;
  o.m_nBaseHeight = 20;
  o.m_nBaseHitOffsetX = 6;
  o.m_nBaseHitOffsetY = 12;
  o.m_nBaseGraphicWidth = 32;
  o.m_nBaseGraphicHeight = 32;
  o.SetScale(1, 1, 1);  // equal scales change nothing
  EXPECT_EQ(o.m_dX, 400);
  o.SetScale(2, 1, 1);
  EXPECT_EQ(o.m_dX, 390);
  EXPECT_EQ(o.m_dX2, 429);
  EXPECT_EQ(o.m_nWidth, 40);
  EXPECT_EQ(o.m_nHeight, 40);
  EXPECT_EQ(o.m_nHitOffsetX, 12);
  EXPECT_EQ(o.m_nHitOffsetY, 24);
  EXPECT_EQ(o.m_nGraphicWidth, 64);
  EXPECT_EQ(o.m_nGraphicHeight, 64);
  EXPECT_EQ(o.m_dY, 360);  // the base object moves nothing vertically
  o.SetScale(1, 2, 1);
  EXPECT_EQ(o.m_dX, 400);
  EXPECT_EQ(o.m_nWidth, 20);
}

TEST(ObjectWithoutStage, ClampsOnlyRefreshTheDerivedValues) {
  cObject o;
  o.m_dX = -40.5;
  o.m_nWidth = 10;
  EXPECT_EQ(o.ClampToStageX(2), kClampInside);
  EXPECT_EQ(o.m_dX, -40.5);
  EXPECT_EQ(o.m_dX2, -31.5);
  EXPECT_EQ(o.m_nCellX, -2);  // trunc(-40.5) = -40, >> 5 = -2 (a floor for negatives)
  EXPECT_EQ(o.m_nCellX2, -1);
}

TEST(TruncToInt, TowardZeroAndSaturating) {
  EXPECT_EQ(TruncToInt(100.7), 100);
  EXPECT_EQ(TruncToInt(-0.5), 0);
  EXPECT_EQ(TruncToInt(-31.9), -31);
  EXPECT_EQ(TruncToInt(1e20), 2147483647);
  EXPECT_EQ(TruncToInt(-1e20), -2147483647 - 1);
  EXPECT_EQ(TruncToInt(std::numeric_limits<double>::quiet_NaN()), 0);
}
