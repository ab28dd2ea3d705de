// Pictures of the picture command: the scaled size, the display time, the place by anchor with the
// latch to the map or to the screen, and the blit (stretched only when scaled).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "flow/screen_picture.h"
#include "media/graphics/display.h"
#include "test_support/flow_harness.h"

namespace {

class ScreenPicture : public ::testing::Test {
 protected:
  ScreenPicture() {
    surface.nWidth = 33;
    surface.nHeight = 20;
  }

  // A picture of 33 x 20 at the given anchor and unit, position (2, 1) and offsets (4, 0).
  static cScreenPicture Picture(int anchor, int unit = 0, int percentage = 100, int screenFixed = 0) {
    return cScreenPicture(1, anchor, unit, 2, 1, 4, 0, 33, 20, screenFixed, 0, percentage, 0, 0, 0, 0, 0, 0);
  }

  cFlowHarness h{std::vector<std::string>{"H"}};
  DDSURFACEDATA surface{};
};

TEST_F(ScreenPicture, AScaledPictureIsStretchedAndAnUnscaledOneBlitted) {
  cScreenPicture scaled = Picture(3, 0, 150);
  EXPECT_EQ(scaled.m_nWidth, 50);  // 49.5 rounded away from zero
  EXPECT_EQ(scaled.m_nHeight, 30);
  EXPECT_EQ(scaled.m_bScaled, 1);
  scaled.BlitScreenPicture(&g_BackBufferSD, &surface, 7, 8);
  cScreenPicture plain = Picture(3);
  EXPECT_EQ(plain.m_nWidth, 33);
  EXPECT_EQ(plain.m_bScaled, 0);
  plain.BlitScreenPicture(&g_BackBufferSD, &surface, 7, 8);
  ASSERT_EQ(h.Draws().size(), 2u);
  EXPECT_EQ(h.Draws()[0].strName, "DDBltStretch");
  EXPECT_EQ(h.Draws()[0].lpSrc, &surface);
  EXPECT_EQ(h.Draws()[0].adArgs, (std::vector<double>{7, 8, 50, 30, 0, 0, 33, 20, 1}));
  EXPECT_EQ(h.Draws()[1].strName, "DDBlt");
  EXPECT_EQ(h.Draws()[1].adArgs, (std::vector<double>{7, 8, 33, 20, 0, 0, 1}));
  EXPECT_EQ(Picture(0, 0, -50).m_nWidth, -17);  // -16.5 away from zero
}

TEST_F(ScreenPicture, ALimitedPictureCountsItsFramesDown) {
  cScreenPicture once(1, 0, 0, 0, 0, 0, 0, 8, 8, 0, 0, 100, 2, 1, 0, 0, 0, 0);
  EXPECT_EQ(once.ExpireScreenPicture(0), 0);  // drawn once
  EXPECT_EQ(once.ExpireScreenPicture(0), 1);  // removed at the second draw
  cScreenPicture never(1, 0, 0, 0, 0, 0, 0, 8, 8, 0, 0, 100, 2, 0, 0, 0, 0, 0);
  EXPECT_EQ(never.ExpireScreenPicture(0), 1);
  // Held frames count only when the picture asks for it.
  cScreenPicture held(1, 0, 0, 0, 0, 0, 0, 8, 8, 0, 0, 100, 2, 1, 0, 0, 0, 0);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(held.ExpireScreenPicture(1), 0);
  EXPECT_EQ(held.m_nDisplayTime, 1);
  cScreenPicture heldToo(1, 0, 0, 0, 0, 0, 0, 8, 8, 0, 0, 100, 2, 1, 1, 0, 0, 0);
  EXPECT_EQ(heldToo.ExpireScreenPicture(1), 0);
  EXPECT_EQ(heldToo.ExpireScreenPicture(1), 1);
  // Other display modes stay.
  cScreenPicture stays(1, 0, 0, 0, 0, 0, 0, 8, 8, 0, 0, 100, 0, 0, 0, 0, 0, 0);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(stays.ExpireScreenPicture(0), 0);
  cScreenPicture lowest(1, 0, 0, 0, 0, 0, 0, 8, 8, 0, 0, 100, 2, INT32_MIN, 0, 0, 0, 0);
  EXPECT_EQ(lowest.ExpireScreenPicture(0), 1);
}

TEST_F(ScreenPicture, EachAnchorPlacesThePicture) {
  h.Stage().m_ScrollX.m_dPosition = 100.7;
  h.Stage().m_ScrollY.m_dPosition = 50.2;
  h.Stage().m_nBlockOriginX = 10;
  h.Stage().m_nBlockOriginY = 10;
  struct Case {
    int anchor, unit, x, y;
  };
  // 33 x 20: half sizes 16 and 10; anchor point of anchors 1 and 2 at (500, 300).
  const Case cases[] = {
      {0, 0, 308, 230}, {0, 1, 308, 230},                                      // screen centre
      {1, 0, 400, 250}, {2, 1, 400, 250},                                      // a character
      {3, 0, 68, 32},   {3, 1, 6, 1},     {4, 0, 68, 38},   {4, 1, -10, -9},   // screen position
      {5, 0, 287, 301}, {5, 1, 225, 270}, {6, 0, 287, 307}, {6, 1, 209, 260},  // map position
  };
  for (const Case& c : cases) {
    cScreenPicture p = Picture(c.anchor, c.unit, 100, 1);
    int x = 0, y = 0;
    ASSERT_TRUE(p.PlaceScreenPicture(500, 300, x, y)) << c.anchor;
    EXPECT_EQ(x, c.x) << c.anchor << "/" << c.unit;
    EXPECT_EQ(y, c.y) << c.anchor << "/" << c.unit;
  }
  // The Part's own examples: anchor 0 at 100 x 50 and anchor 3 in cells.
  cScreenPicture centred(1, 0, 0, 0, 0, 0, 0, 100, 50, 0, 0, 100, 0, 0, 0, 0, 0, 0);
  int x = 0, y = 0;
  ASSERT_TRUE(centred.PlaceScreenPicture(0, 0, x, y));
  EXPECT_EQ(x, 270);
  EXPECT_EQ(y, 215);
  // Anchors and units that name no position are not drawn.
  for (const cScreenPicture& bad : {Picture(7), Picture(-1), Picture(3, 2), Picture(6, -1)}) {
    cScreenPicture p = bad;
    EXPECT_FALSE(p.PlaceScreenPicture(0, 0, x, y)) << p.m_nAnchor << "/" << p.m_nUnit;
  }
}

TEST_F(ScreenPicture, ScreenPicturesFollowTheMapAndFixedMapPicturesStayOnTheScreen) {
  h.Stage().m_ScrollX.m_dPosition = 100.7;
  h.Stage().m_ScrollY.m_dPosition = 50.2;
  cScreenPicture screen = Picture(3);  // follows the map
  cScreenPicture screenFixed = Picture(3, 0, 100, 1);
  cScreenPicture map = Picture(5, 1);  // moves with the map by itself
  cScreenPicture mapFixed = Picture(5, 1, 100, 1);
  int x = 0, y = 0;
  for (cScreenPicture* p : {&screen, &screenFixed, &map, &mapFixed}) ASSERT_TRUE(p->PlaceScreenPicture(0, 0, x, y));
  EXPECT_EQ(screen.m_bLatched, 1);
  EXPECT_EQ(screen.m_nLatchX, 169);  // trunc(68 + 100.7 + 0.5)
  EXPECT_EQ(screen.m_nLatchY, 82);   // trunc(32 + 50.2 + 0.5)
  EXPECT_EQ(screenFixed.m_bLatched, 0);
  EXPECT_EQ(map.m_bLatched, 0);
  EXPECT_EQ(mapFixed.m_bLatched, 1);

  h.Stage().m_ScrollX.m_dPosition = 150.0;
  h.Stage().m_ScrollY.m_dPosition = 60.0;
  ASSERT_TRUE(screen.PlaceScreenPicture(0, 0, x, y));
  EXPECT_EQ(x, 19);  // trunc(169 - (150 - 0.5))
  EXPECT_EQ(y, 22);
  ASSERT_TRUE(screenFixed.PlaceScreenPicture(0, 0, x, y));
  EXPECT_EQ(x, 68);
  EXPECT_EQ(y, 32);
  ASSERT_TRUE(map.PlaceScreenPicture(0, 0, x, y));
  EXPECT_EQ(x, 176);  // the block origin is the harness's margin of 10 cells: 320 + 2 + 4 - 150
  EXPECT_EQ(y, 261);
  ASSERT_TRUE(mapFixed.PlaceScreenPicture(0, 0, x, y));
  EXPECT_EQ(x, 225);  // where it first stood: trunc(326 - 100.7)
  EXPECT_EQ(y, 270);
}

}  // namespace
