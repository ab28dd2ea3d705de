// Character drawing on a real display in both modes: a character twice the size of its graphic
// drawn plainly and through the work surface of its effects shows the same picture as the sheet's
// cell stretched, also inside an open draw layer of the stage.
#include <gtest/gtest.h>

#include <memory>

#include "media/graphics/graphics_fixture.h"
#include "objects/chara.h"
#include "objects/graphic_source.h"
#include "test_support/fresh_play_objects.h"

using namespace gfxtest;

namespace {

constexpr int kBackground = 7;

// Character sheet: 3 characters down, 2 patterns across; each cell a colour of its own with a
// transparent band and a diagonal stroke, so that a wrong cell or a wrong scale shows.
uint32_t SheetPixel(int x, int y) {
  if (y % 32 < 3) return 0;
  if (x % 32 == y % 32) return 241;
  return static_cast<uint32_t>(40 + (y / 32) * 2 + x / 32);
}

class CharaPixelTest : public ::testing::TestWithParam<Mode> {
 protected:
  void SetUp() override {
    display = std::make_unique<Display>(GetParam());
    ASSERT_TRUE(display->ok);
    WritePaletteBmp(display->Dir() / "bmp/Character1.bmp", 64, 96, SheetPixel);
    const int slots[] = {4, 5, 22, 23, 68, 70};
    ASSERT_TRUE(DDLoadSurfaces(g_SurfaceData, slots, 6));
    c = std::make_unique<cChara>();
    c->m_ScreenRect = {100, 100, 163, 163};
    c->m_nGraphicWidth = c->m_nGraphicHeight = 64;
    c->m_nBaseGraphicWidth = c->m_nBaseGraphicHeight = 32;
    c->m_Type.m_nScale = 2;
    c->m_Type.m_nGraphicKind = kGraphicKindChara;
    c->m_Type.m_nGraphic = 2;  // the third character
    c->m_Type.m_nGraphicSub = 0;
    DDFillSurface(&g_BackBufferSD, kBackground);
  }
  void TearDown() override {
    c.reset();
    display.reset();
  }
  // The character's area against the cell (pattern 1 of character 2) stretched at (300, 100).
  void ExpectSameAsStretchedCell() {
    DDBltStretch(&g_BackBufferSD, 300, 100, 64, 64, &g_SurfaceData[4], 32, 64, 32, 32, 1);
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x)
        ASSERT_EQ(ReadRgb(&g_BackBufferSD, 100 + x, 100 + y), ReadRgb(&g_BackBufferSD, 300 + x, 100 + y))
            << x << "," << y;
    EXPECT_EQ(ReadRgb(&g_BackBufferSD, 100, 100), AsShown(PaletteColour(kBackground)));  // transparent band
    EXPECT_EQ(ReadRgb(&g_BackBufferSD, 110, 120), AsShown(PaletteColour(45)));
  }
  std::unique_ptr<Display> display;
  cFreshPlayObjects fresh;
  std::unique_ptr<cChara> c;
};

TEST_P(CharaPixelTest, PlainDrawingStretchesTheCell) {
  c->DrawCharaOnScreen(&g_BackBufferSD, 0, 1);
  ExpectSameAsStretchedCell();
}

TEST_P(CharaPixelTest, AnEffectThroughTheWorkSurfaceShowsTheSamePicture) {
  cCharaEffectData entry;
  entry.m_nKind = 1;  // burst, its quarters at distance 0
  c->m_CharaEffect.pEntry = &entry;
  c->m_CharaEffect.nEffect = 1;
  c->m_CharaEffect.nEnd = 100;
  c->m_CharaEffect.dStep = 1.0;
  // Drawn inside the stage's grouped draw layer (Direct3D), as the stage draws its characters.
  DDBeginLayer(1);
  c->DrawCharaOnScreen(&g_BackBufferSD, 1, 1);
  DDEndLayer();
  ExpectSameAsStretchedCell();
}

INSTANTIATE_TEST_SUITE_P(Modes, CharaPixelTest, ::testing::ValuesIn(kModes),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
