// Boxed texts of the fonts: the skin picture with its frame outside it, sizes taken from the text,
// and the 10000 position that centres a box on the skin.
#include <gtest/gtest.h>

#include <string>

#include "graphics_fixture.h"

using namespace gfxtest;

namespace {

constexpr int kBackground = 7;
constexpr int kSkinColour = 50;
constexpr int kFrameColour = 240;
constexpr int kCentred = 10000;

class FontBoxTest : public ::testing::TestWithParam<Mode> {
 protected:
  void SetUp() override {
    display = std::make_unique<Display>(GetParam());
    ASSERT_TRUE(display->ok);
    // A skin smaller than the screen, so that centring shows which size it uses.
    ASSERT_TRUE(DDPushSurfaceList(skins, skinInfos, 320, 240, 1, 0, 0, 0));
    DDFillSurface(&skins.back(), kSkinColour);
    font.Create("ＭＳ ゴシック", 0, 16, 16, 16, 241, 0, &skins.back(), 1, kFrameColour, nullptr, 0);
    DDFillSurface(&g_BackBufferSD, kBackground);
  }
  void TearDown() override {
    font.Release();
    DDReleaseSurfaceList(skins);
    display.reset();
  }
  static uint32_t Colour(int index) { return AsShown(PaletteColour(index)); }
  static uint32_t At(int x, int y) { return ReadRgb(&g_BackBufferSD, x, y); }
  // Checks a one-pixel frame just outside the box (x, y, w, h) and the skin just inside it.
  static void ExpectBox(int x, int y, int w, int h) {
    for (auto [fx, fy] : {std::pair{x - 1, y - 1},
                          {x + w, y + h},
                          {x - 1, y + h / 2},
                          {x + w, y + h / 2},
                          {x + w / 2, y - 1},
                          {x + w / 2, y + h}}) {
      EXPECT_EQ(At(fx, fy), Colour(kFrameColour)) << fx << "," << fy;
    }
    for (auto [ox, oy] :
         {std::pair{x - 2, y + h / 2}, {x + w + 1, y + h / 2}, {x + w / 2, y - 2}, {x + w / 2, y + h + 1}}) {
      EXPECT_EQ(At(ox, oy), Colour(kBackground)) << ox << "," << oy;
    }
    EXPECT_EQ(At(x, y), Colour(kSkinColour));
    EXPECT_EQ(At(x, y + h - 1), Colour(kSkinColour));
  }
  // True when some pixel of the rectangle is not the skin (text was drawn there).
  static bool HasInk(int x, int y, int w, int h) {
    for (int j = y; j < y + h; ++j) {
      for (int i = x; i < x + w; ++i) {
        if (At(i, j) != Colour(kSkinColour)) return true;
      }
    }
    return false;
  }
  std::unique_ptr<Display> display;
  std::list<DDSURFACEDATA> skins;
  std::list<DDSURFACEINFO> skinInfos;
  cFont font;
};

TEST_P(FontBoxTest, BoxIsCentredOnTheSkinAndFramedOutside) {
  font.DrawBox(&g_BackBufferSD, kCentred, kCentred, 200, 100);
  // (320 / 2 - 200 / 2, 240 / 2 - 100 / 2)
  ExpectBox(60, 70, 200, 100);
  EXPECT_EQ(At(259, 169), Colour(kSkinColour));
  font.DrawBox(&g_BackBufferSD, 400, kCentred, 30, 20);
  ExpectBox(400, 110, 30, 20);
}

TEST_P(FontBoxTest, BoxStringTakesItsWidthFromTheTextAndTheMargin) {
  // Five characters of 16 pixels after a margin of 8: 88 x 16.
  font.DrawBoxString(&g_BackBufferSD, 100, 300, 0, 0, "ABCDE", 8);
  ExpectBox(100, 300, 88, 16);
  EXPECT_FALSE(HasInk(100, 300, 8, 16));  // the margin shows only the skin
  EXPECT_TRUE(HasInk(108, 300, 80, 16));
  // A given width is kept; the height still comes from the text's two lines.
  DDFillSurface(&g_BackBufferSD, kBackground);
  font.DrawBoxString(&g_BackBufferSD, 100, 300, 50, 0, "AB\nC", 0);
  ExpectBox(100, 300, 50, 32);
  EXPECT_TRUE(HasInk(100, 316, 16, 16));
}

TEST_P(FontBoxTest, FormattedBoxStringIsSizedAndCentredFromTheFormattedText) {
  font.DrawBoxStringF(&g_BackBufferSD, kCentred, kCentred, 0, 0, "%d%s", 12, "AB");
  // "12AB": 64 x 16, centred on the 320 x 240 skin.
  ExpectBox(128, 112, 64, 16);
  EXPECT_TRUE(HasInk(128, 112, 16, 16));
  EXPECT_TRUE(HasInk(176, 112, 16, 16));
}

INSTANTIATE_TEST_SUITE_P(AllModes, FontBoxTest, ::testing::ValuesIn(kModes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FontBox, AFontWithoutASkinDrawsNoBox) {
  Display d(kModes[1]);
  ASSERT_TRUE(d.ok);
  cFont font;
  font.Create("ＭＳ ゴシック", 0, 16, 16, 16, 241, 0, nullptr, 1, kFrameColour, nullptr, 0);
  DDFillSurface(&g_BackBufferSD, kBackground);
  font.DrawBox(&g_BackBufferSD, 10, 10, 50, 20);
  font.DrawBoxString(&g_BackBufferSD, 10, 10, 0, 0, "AB", 0);
  for (int y = 8; y < 32; y += 3) {
    for (int x = 8; x < 62; x += 3) ASSERT_EQ(ReadRgb(&g_BackBufferSD, x, y), PaletteColour(kBackground));
  }
  font.Release();
}

}  // namespace
