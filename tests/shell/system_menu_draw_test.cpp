// A menu of system texts: one box of the menu font, sized from the joined texts, on the back buffer.
#include "shell/system_menu_draw.h"

#include <gtest/gtest.h>

#include <list>

#include "media/graphics/graphics_fixture.h"
#include "test_support/fresh_game_data.h"

using namespace gfxtest;

namespace {

constexpr int kBackground = 7;
constexpr int kSkinColour = 50;
constexpr int kFrameColour = 240;

uint32_t Colour(int index) { return AsShown(PaletteColour(index)); }
uint32_t At(int x, int y) { return ReadRgb(&g_BackBufferSD, x, y); }

TEST(SystemMenuDraw, OneBoxOfTheMenuFontSizedFromTheTextsAndNothingWithoutEntries) {
  cFreshGameData freshGameData;
  Display display(kModes[1]);
  ASSERT_TRUE(display.ok);
  std::list<DDSURFACEDATA> skins;
  std::list<DDSURFACEINFO> skinInfos;
  ASSERT_TRUE(DDPushSurfaceList(skins, skinInfos, 320, 240, 1, 0, 0, 0));
  DDFillSurface(&skins.back(), kSkinColour);
  g_Font[1].Create("ＭＳ ゴシック", 0, 16, 16, 16, 241, 0, &skins.back(), 1, kFrameColour, nullptr, 0);
  DDFillSurface(&g_BackBufferSD, kBackground);

  DrawSystemMenu(g_SystemData, 100, 80, 10, 0, 1);
  EXPECT_EQ(At(100, 80), Colour(kBackground));
  EXPECT_EQ(At(99, 79), Colour(kBackground));

  // Texts 10 and 11 with the cursor column: 16 x (widest + 1) by 16 x 2.
  int width = 0, height = 0;
  g_SystemData.BuildSystemMenuText(10, 2, 1, &width, &height);
  ASSERT_GT(width, 16);
  ASSERT_EQ(height, 32);
  DrawSystemMenu(g_SystemData, 100, 80, 10, 2, 1);
  EXPECT_EQ(At(99, 79), Colour(kFrameColour));
  EXPECT_EQ(At(100 + width, 80 + height), Colour(kFrameColour));
  EXPECT_EQ(At(101 + width, 80 + height / 2), Colour(kBackground));
  EXPECT_EQ(At(100, 80), Colour(kSkinColour));  // the cursor column stays empty
  bool ink = false;
  for (int y = 80; y < 80 + height && !ink; ++y)
    for (int x = 116; x < 100 + width && !ink; ++x) ink = At(x, y) != Colour(kSkinColour);
  EXPECT_TRUE(ink);
  g_Font[1].Release();
  DDReleaseSurfaceList(skins);
}

}  // namespace
