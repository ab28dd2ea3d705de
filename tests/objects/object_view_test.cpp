// The object base against the view: the screen rectangle with its truncations (they differ with
// gravity and the automatic scroll), visibility, the stage limits and the keep areas, on a harness
// stage of 40 x 30 cells (the map with its margins runs 0..1919 x 0..1599 dots).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "objects/object.h"
#include "test_support/stage_harness.h"

namespace {

std::vector<std::string> OpenMap(int columns, int rows) {
  std::vector<std::string> map(rows, std::string(columns, '.'));
  map[0][0] = 'H';
  return map;
}

class ObjectViewTest : public ::testing::Test {
 protected:
  ObjectViewTest() : h(OpenMap(40, 30)) {}
  void ScrollTo(double x, double y) {
    h.Stage().m_ScrollX.m_dPosition = x;
    h.Stage().m_ScrollY.m_dPosition = y;
  }
  static cObject Box(double x, double y, int width, int height) {
    cObject o;
    o.m_dX = x;
    o.m_dY = y;
    o.m_nWidth = width;
    o.m_nHeight = height;
    o.ClampToStageX(-1);  // only the derived values
    o.ClampToStageY(-1);
    return o;
  }
  cStageHarness h;
};

}  // namespace

TEST_F(ObjectViewTest, ScreenRectangleTruncatesByGravityAndAutoScroll) {
  struct Case {
    const char* what;
    int gravityFree, sync;
    double autoX;
    int heldX;
    double autoY, x, y;
    int left, top;
  };
  // Scroll (123.7, 45.6), hit offsets (6, 4), graphic 32 x 24.
  const Case cases[] = {
      {"walking: the difference is truncated", 0, 0, 0, 0, 0, 125.5, 47.5, -3, -1},
      {"walking, auto-scroll changes nothing", 0, 1, 0.5, 0, 0.5, 400.5, 47.5, 271, -1},
      {"flying: x and the scroll truncated apart", 1, 0, 0, 0, 0, 125.5, 47.5, -4, -2},
      {"flying with the auto-scroll, in sync", 1, 1, 0.5, 0, 0, 400.5, 47.5, 270, -2},
      {"flying with the auto-scroll, not in sync", 1, 0, 0.5, 0, 0, 125.5, 47.5, -3, -2},
      {"flying, the auto-scroll held at its limit", 1, 1, 0.5, 1, 0, 400.5, 47.5, 271, -2},
      {"flying with the vertical auto-scroll", 1, 0, 0, 0, -0.5, 400.5, 100.5, 271, 51},
  };
  for (const Case& c : cases) {
    h.Stage().m_ScrollX.m_dAutoSpeed = c.autoX;
    h.Stage().m_ScrollX.m_bAtEdge = c.heldX;
    h.Stage().m_ScrollY.m_dAutoSpeed = c.autoY;
    h.Stage().m_ScrollY.m_bAtEdge = 0;
    ScrollTo(123.7, 45.6);
    cObject o = Box(c.x, c.y, 20, 20);
    o.m_bGravityFree = c.gravityFree;
    o.m_bSyncScroll = c.sync;
    o.m_nHitOffsetX = 6;
    o.m_nHitOffsetY = 4;
    o.m_nGraphicWidth = 32;
    o.m_nGraphicHeight = 24;
    o.UpdateScreenRect();
    EXPECT_EQ(o.m_ScreenRect.left, c.left) << c.what;
    EXPECT_EQ(o.m_ScreenRect.top, c.top) << c.what;
    EXPECT_EQ(o.m_ScreenRect.right, c.left + 31) << c.what;
    EXPECT_EQ(o.m_ScreenRect.bottom, c.top + 23) << c.what;
  }
}

TEST_F(ObjectViewTest, VisibilityAgainstTheView) {
  ScrollTo(400.5, 300.5);
  struct Case {
    double x, y;
    bool onScreen, onScreenX, onScreenY;
  };
  const Case cases[] = {
      {500, 400, true, true, true},     {391.5, 400, true, true, true},     // x2 = 400.5 touches the view
      {391.4, 400, false, false, true}, {1040.5, 400, false, false, true},  // x = sx + 640 is outside
      {1040.4, 400, true, true, true},  {500, 291.4, false, true, false},   // y2 above the view
      {500, 291.5, true, true, true},   {500, 780.5, false, true, false},  {500, 780.4, true, true, true},
  };
  for (const Case& c : cases) {
    cObject o = Box(c.x, c.y, 10, 10);
    EXPECT_EQ(o.IsOnScreen(), c.onScreen) << c.x << "," << c.y;
    EXPECT_EQ(o.IsOnScreenAxes(0, 1), c.onScreenX) << c.x << "," << c.y;
    EXPECT_EQ(o.IsOnScreenAxes(1, 0), c.onScreenY) << c.x << "," << c.y;
    EXPECT_TRUE(o.IsOnScreenAxes(1, 1));
  }
}

TEST_F(ObjectViewTest, InsideTheWholeMapOrTheOuterLimits) {
  // Whole map 0..1919 x 0..1599; outer limits 320..1599 x 320..1279.
  struct Case {
    double x, y;
    bool whole, outer;
  };
  const Case cases[] = {
      {0, 0, true, false},          {-0.5, 10, false, false}, {1910.9, 10, true, false},
      {1911, 10, false, false},     {10, 1591, false, false}, {320, 320, true, true},
      {1590.5, 1270.5, true, true}, {1591, 700, true, false}, {700, 319.9, true, false},
  };
  for (const Case& c : cases) {
    cObject o = Box(c.x, c.y, 10, 10);
    EXPECT_EQ(o.IsInsideStage(1), c.whole) << c.x << "," << c.y;
    EXPECT_EQ(o.IsInsideStage(0), c.outer) << c.x << "," << c.y;
  }
}

TEST_F(ObjectViewTest, KeepAreas) {
  ScrollTo(400.5, 300.5);
  cStageQuad area;
  area.m_bLeftOn = area.m_bRightOn = area.m_bTopOn = area.m_bBottomOn = 1;
  area.m_nLeft = 2;    // beyond when 336 >= x2
  area.m_nRight = 1;   // beyond when x >= 1072
  area.m_nTop = 3;     // beyond when 204 >= y2
  area.m_nBottom = 0;  // beyond when y >= 780
  struct Case {
    double x, y;
    bool beyond;
  };
  const Case cases[] = {
      {700, 500, false}, {327, 500, true},    {327.5, 500, false}, {1072, 500, true},   {1071.5, 500, false},
      {700, 195, true},  {700, 195.5, false}, {700, 780, true},    {700, 779.5, false},
  };
  for (const Case& c : cases) {
    cObject o = Box(c.x, c.y, 10, 10);
    EXPECT_EQ(o.IsBeyondKeepArea(area), c.beyond) << c.x << "," << c.y;
    cStageQuad off;
    EXPECT_FALSE(o.IsBeyondKeepArea(off)) << c.x << "," << c.y;
  }
}

TEST_F(ObjectViewTest, TheMapEdgeIsAlwaysBeyondAndTheScreenNever) {
  ScrollTo(400.5, 300.5);
  const cStageQuad off;
  EXPECT_TRUE(Box(0, 500, 10, 10).IsBeyondKeepArea(off));
  EXPECT_TRUE(Box(700, -3, 10, 10).IsBeyondKeepArea(off));
  EXPECT_TRUE(Box(1910, 500, 10, 10).IsBeyondKeepArea(off));  // x2 = W - 1
  EXPECT_FALSE(Box(1909, 500, 10, 10).IsBeyondKeepArea(off));
  EXPECT_TRUE(Box(700, 1590, 10, 10).IsBeyondKeepArea(off));  // y2 = H - 1
  cObject shown = Box(0, 0, 10, 10);
  shown.m_bOnScreen = 1;
  cStageQuad all;
  all.m_bLeftOn = all.m_bRightOn = all.m_bTopOn = all.m_bBottomOn = 1;
  EXPECT_FALSE(shown.IsBeyondKeepArea(all));
}

// Margins of any size a stage file may hold are multiplied without overflowing.
TEST_F(ObjectViewTest, HugeKeepMarginsDoNotOverflow) {
  ScrollTo(400.5, 300.5);
  cStageQuad area;
  area.m_bLeftOn = area.m_bRightOn = area.m_bTopOn = area.m_bBottomOn = 1;
  area.m_nLeft = area.m_nRight = area.m_nTop = area.m_nBottom = 2000000000;
  EXPECT_FALSE(Box(700, 500, 10, 10).IsBeyondKeepArea(area));
  area.m_nLeft = area.m_nRight = area.m_nTop = area.m_nBottom = -2000000000;
  EXPECT_TRUE(Box(700, 500, 10, 10).IsBeyondKeepArea(area));
}
