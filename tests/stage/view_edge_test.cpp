// The hero held inside the view: only while the axis scrolls by itself or while the hero flies; the
// left and top edges put it at the scroll position, the right and bottom edges a dot inside; at the
// bottom a walking hero dies.
#include "stage/view_edge.h"

#include <gtest/gtest.h>

#include "stage/block_contact.h"
#include "stage/contact_fixture.h"

namespace {

// A hero with a 16 x 24 hit box centred in its 32 x 32 graphic box.
void MakeHero(cProbeHero& hero, double x, double y, int flying) {
  hero.m_nNumber = 0;
  hero.m_nControl = 0;
  if (flying)
    SetFlying(hero, 1);
  else
    SetWalking(hero);
  hero.m_nGraphicWidth = hero.m_nBaseGraphicWidth = 32;
  hero.m_nGraphicHeight = hero.m_nBaseGraphicHeight = 32;
  hero.m_nHitOffsetX = hero.m_nBaseHitOffsetX = 8;
  hero.m_nHitOffsetY = hero.m_nBaseHitOffsetY = 4;
  SetBox(hero, x, y, 16, 24);
}

}  // namespace

TEST(ViewEdge, TheHeroStopsAtTheLeftAndRightEdgesOfAScrollingView) {
  struct Case {
    const char* what;
    int autoScroll;
    int flying;
    double x;
    double expectedX;
    int left, right;
  };
  // The view starts at x = 50: its hit box on screen is x - 50 .. x - 35.
  const Case cases[] = {
      {"past the left edge", 1, 0, 45, 50, 1, 0}, {"past the right edge", 1, 0, 680, 673, 0, 1},
      {"inside", 1, 0, 400, 400, 0, 0},           {"a dot inside the right edge", 1, 0, 673, 673, 0, 0},
      {"no auto-scroll", 0, 0, 45, 45, 0, 0},     {"no auto-scroll, flying", 0, 1, 45, 50, 1, 0},
  };
  for (const Case& c : cases) {
    cStageHarness h({"H..", "...", "..."});
    h.Stage().m_ScrollX.m_dPosition = 50;
    h.Stage().m_ScrollX.m_bAutoOn = c.autoScroll;
    cProbeHero hero;
    MakeHero(hero, c.x, 400, c.flying);
    StopAtViewEdgeX(hero);
    EXPECT_EQ(hero.m_dX, c.expectedX) << c.what;
    EXPECT_EQ(hero.m_bContactLeft, c.left) << c.what;
    EXPECT_EQ(hero.m_bContactRight, c.right) << c.what;
  }
}

TEST(ViewEdge, AWalkingHeroPushedOutAtTheBottomDiesAFlyingOneIsHeld) {
  struct Case {
    const char* what;
    int flying;
    double y;
    int result;
    double expectedY;
    int top, bottom;
  };
  // The view starts at y = 100: the hit box on screen is y - 100 .. y - 77.
  const Case cases[] = {
      {"past the top edge", 0, 95, 0, 100, 1, 0},
      {"past the bottom edge, walking", 0, 570, kContactFatal, 555, 0, 1},
      {"past the bottom edge, flying", 1, 570, 0, 555, 0, 1},
      {"inside", 0, 300, 0, 300, 0, 0},
  };
  for (const Case& c : cases) {
    cStageHarness h({"H..", "...", "..."});
    h.Stage().m_ScrollY.m_dPosition = 100;
    h.Stage().m_ScrollY.m_bAutoOn = 1;
    cProbeHero hero;
    MakeHero(hero, 400, c.y, c.flying);
    EXPECT_EQ(StopAtViewEdgeY(hero), c.result) << c.what;
    EXPECT_EQ(hero.m_dY, c.expectedY) << c.what;
    EXPECT_EQ(hero.m_bContactTop, c.top) << c.what;
    EXPECT_EQ(hero.m_bContactBottom, c.bottom) << c.what;
  }
}
