// The map picture: background colour, background picture, the chips of the cells in view and the
// icons of the places that offer something, checked through the drawing trace.
#include "menus/world_map_picture.h"

#include <gtest/gtest.h>

#include <vector>

#include "data/game_data.h"
#include "media/graphics/draw_trace.h"
#include "test_support/fresh_game_data.h"
#include "test_support/hooks_guard.h"

namespace {

std::vector<DDTRACECALL> g_calls;
void Record(const DDTRACECALL& call) { g_calls.push_back(call); }

class WorldMapPictureTest : public testing::Test {
 protected:
  WorldMapPictureTest() {
    g_calls.clear();
    g_WorldMap.SetSize(20, 15);
    cMapEntry grass, flowers;
    grass.m_nChip = 4;
    flowers.m_nChip = 7;
    g_WorldMap.m_aMapEntries = {grass, flowers};
  }
  void Render(int32_t vx, int32_t vy) {
    g_calls.clear();
    RenderWorldMapPicture(&m_Target, g_WorldMap, g_SaveData, vx, vy, {&m_Back, &m_Chips, &m_Events});
  }
  std::vector<DDTRACECALL> BlitsFrom(const DDSURFACEDATA* source) const {
    std::vector<DDTRACECALL> out;
    for (const DDTRACECALL& c : g_calls)
      if (c.strName == "DDBlt" && c.lpSrc == source) out.push_back(c);
    return out;
  }
  // A blit's dest x, y, size w, h, source x, y and flags.
  static std::vector<double> Args(const DDTRACECALL& c) { return c.adArgs; }
  static cWorld& AddPlace(int32_t x, int32_t y, int32_t iconRow, int32_t world) {
    cWorld place;
    place.m_nX = x;
    place.m_nY = y;
    place.m_aEntries[0].m_anSettings[0] = iconRow;
    place.m_aEntries[0].m_anSettings[1] = world;
    g_WorldMap.m_aWorlds.push_back(place);
    return g_WorldMap.m_aWorlds.back();
  }

  cFreshGameData m_Fresh;
  cHooksGuard<cDrawTraceHooks> m_Trace{SetDrawTraceHooks, {.record = Record}};
  DDSURFACEDATA m_Target{}, m_Back{}, m_Chips{}, m_Events{};
};

TEST_F(WorldMapPictureTest, TheBackgroundColourFillsThePictureFirst) {
  g_WorldMap.m_nBackColour = 33;
  Render(0, 0);
  ASSERT_FALSE(g_calls.empty());
  EXPECT_EQ(g_calls[0].strName, "DDFillRect");
  EXPECT_EQ(g_calls[0].lpDst, &m_Target);
  EXPECT_EQ(Args(g_calls[0]), (std::vector<double>{0, 0, 640, 480, 33}));
  // Without the background switch no background picture is copied.
  EXPECT_TRUE(BlitsFrom(&m_Back).empty());
}

TEST_F(WorldMapPictureTest, TheBackgroundPictureFollowsTheView) {
  g_WorldMap.m_nDisplaySwitch = 1;
  struct cCase {
    int32_t vx, vy;
    std::vector<double> args;
  };
  for (const cCase& c : std::vector<cCase>{{-6, -5, {192, 160, 640, 480, 0, 0, 0}},
                                           {11, 3, {0, 0, 640, 480, 352, 96, 0}},
                                           {-3, 4, {96, 0, 640, 480, 0, 128, 0}}}) {
    Render(c.vx, c.vy);
    const auto blits = BlitsFrom(&m_Back);
    ASSERT_EQ(blits.size(), 1u) << c.vx;
    EXPECT_EQ(Args(blits[0]), c.args) << c.vx << "," << c.vy;
  }
}

TEST_F(WorldMapPictureTest, ChipsOfTheCellsInViewInOneLayer) {
  *g_WorldMap.CellAt(0, 0) = 1;  // chip 7 at (64, 32)
  Render(-6, -5);
  const auto chips = BlitsFrom(&m_Chips);
  // The map's 20 x 15 cells start at screen column 6, row 5: 14 x 10 of them are in view.
  ASSERT_EQ(chips.size(), 140u);
  EXPECT_EQ(Args(chips[0]), (std::vector<double>{192, 160, 32, 32, 64, 32, 1}));
  EXPECT_EQ(Args(chips[1]), (std::vector<double>{224, 160, 32, 32, 128, 0, 1}));
  std::vector<std::string> order;
  for (const DDTRACECALL& c : g_calls)
    if (c.strName != "DDBlt" || c.lpSrc != &m_Chips) order.push_back(c.strName);
  EXPECT_EQ(order,
            (std::vector<std::string>{"DDFillRect", "DDBeginLayer", "DDEndLayer", "DDBeginLayer", "DDEndLayer"}));
}

TEST_F(WorldMapPictureTest, PlaceIconsShowWhatThePlaceOffersNow) {
  AddPlace(10, 8, 2, 3);  // uncleared
  AddPlace(12, 8, 1, 0);  // world 0 is always cleared
  cWorld& hidden = AddPlace(11, 8, 0, 0);
  hidden.m_aEntries[0].m_nFlag = 9;  // its only offer needs a flag that is clear
  cWorld& blocking = AddPlace(13, 8, 4, 3);
  blocking.m_aEntries[0].m_nKind = 2;
  AddPlace(40, 8, 0, 0);  // far off the picture
  Render(1, 1);
  const auto icons = BlitsFrom(&m_Events);
  ASSERT_EQ(icons.size(), 3u);
  EXPECT_EQ(Args(icons[0]), (std::vector<double>{288, 224, 32, 32, 0, 64, 1}));
  EXPECT_EQ(Args(icons[1]), (std::vector<double>{352, 224, 32, 32, 32, 32, 1}));
  EXPECT_EQ(Args(icons[2]), (std::vector<double>{384, 224, 32, 32, 0, 128, 1}));
}

TEST_F(WorldMapPictureTest, PicturesADamagedMapCannotNameAreLeftOut) {
  g_WorldMap.m_aMapEntries[1].m_nChip = -3;
  g_WorldMap.m_aMapEntries[0].m_nChip = INT32_MAX;
  AddPlace(2, 2, -1, 0);
  AddPlace(3, 2, INT32_MAX, 0);
  Render(0, 0);
  EXPECT_TRUE(BlitsFrom(&m_Chips).empty());
  EXPECT_TRUE(BlitsFrom(&m_Events).empty());
}

}  // namespace
