// Fonts: measuring on the cell grid, the glyph sheets and cached drawing, icons and the digit strip.
#include <gtest/gtest.h>

#include "graphics_fixture.h"

using namespace gfxtest;

namespace {

// True when some pixel of the rectangle is not the given colour.
bool HasInk(DDSURFACEDATA* sd, int x, int y, int w, int h, uint32_t background) {
  for (int j = y; j < y + h; ++j) {
    for (int i = x; i < x + w; ++i) {
      if (ReadRgb(sd, i, j) != background) return true;
    }
  }
  return false;
}

// True when some pixel of a keyed sheet cell is opaque (not transparent black / not the key).
bool CellHasGlyph(DDSURFACEDATA* sheet, int cx, int cy, int cw, int ch) {
  for (int j = cy; j < cy + ch; ++j) {
    for (int i = cx; i < cx + cw; ++i) {
      uint32_t raw = ReadRaw(sheet, i, j);
      if (lpDTCon ? (g_nDisplayBpp == 32 ? (raw >> 24) != 0 : (raw & 0x8000) != 0) : raw != g_dwColorKey) return true;
    }
  }
  return false;
}

class FontModes : public ::testing::TestWithParam<Mode> {};

TEST_P(FontModes, MeasuresOnTheCellGrid) {
  Display d(GetParam());
  ASSERT_TRUE(d.ok);
  cFont font;
  font.Create("ＭＳ ゴシック", 0, 16, 16, 16, 241, 1, nullptr, 1, 240, nullptr, 0);
  struct Case {
    const char* text;
    int w, h;
  };
  const Case cases[] = {
      {"AB\nC", 32, 32}, {"あいう", 48, 16}, {"abc", 48, 16}, {"", 0, 16}, {"x\n\nyy", 32, 48}, {"漢\x81", 32, 16},
  };
  for (const Case& c : cases) {
    int w = -1, h = -1;
    font.Measure(c.text, &w, &h);
    EXPECT_EQ(w, c.w) << c.text;
    EXPECT_EQ(h, c.h) << c.text;
  }
  font.Release();
}

TEST_P(FontModes, DrawsTextOnTheScreenAndThroughTheGlyphSheets) {
  Display d(GetParam());
  ASSERT_TRUE(d.ok);
  cFont font;
  font.Create("ＭＳ ゴシック", 0, 16, 16, 16, 241, 0, nullptr, 1, 240, nullptr, 1);
  ASSERT_NE(font.m_lpFastFont_Half, nullptr);
  ASSERT_NE(font.m_lpFastFont_Full, nullptr);
  DDSURFACEDATA* half = &font.m_lpFastFont_Half->sd;
  EXPECT_TRUE(CellHasGlyph(half, 16 * 1, 16 * 4, 16, 16));    // 'A'
  EXPECT_FALSE(CellHasGlyph(half, 16 * 0, 16 * 2, 16, 16));   // space
  EXPECT_TRUE(CellHasGlyph(half, 16 * 1, 16 * 11, 16, 16));   // half-width katakana 0xB1
  EXPECT_EQ(font.m_lpFastFont_Full->nCount, 258);
  const uint32_t background = AsShown(PaletteColour(7));
  DDFillSurface(&g_BackBufferSD, 7);
  font.DrawString(&g_BackBufferSD, 100, 100, "A\nあ", 0);
  EXPECT_TRUE(HasInk(&g_BackBufferSD, 100, 100, 16, 16, background));
  EXPECT_TRUE(HasInk(&g_BackBufferSD, 100, 116, 16, 16, background));
  EXPECT_FALSE(HasInk(&g_BackBufferSD, 116, 100, 16, 32, background));
  // A character outside the table is added to the full-width sheet on first use.
  font.DrawString(&g_BackBufferSD, 200, 100, "漢", 0);
  EXPECT_EQ(font.m_lpFastFont_Full->nCount, 259);
  EXPECT_TRUE(HasInk(&g_BackBufferSD, 200, 100, 16, 16, background));
  font.Release();
}

TEST_P(FontModes, IconsReplaceLowerCaseLettersUnlessAskedNot) {
  Display d(GetParam());
  ASSERT_TRUE(d.ok);
  std::list<DDSURFACEDATA> l;
  std::list<DDSURFACEINFO> i;
  ASSERT_TRUE(DDPushSurfaceList(l, i, 16 * 26, 16, 1, 0, 0, 0));
  DDSURFACEDATA* icons = &l.back();
  DDFillRect(icons, 0, 0, 16, 16, 200);   // icon a
  DDFillRect(icons, 16, 0, 16, 16, 50);   // icon b
  cFont font;
  font.Create("ＭＳ ゴシック", 0, 16, 16, 16, 241, 0, nullptr, 1, 240, icons, 0);
  DDFillSurface(&g_BackBufferSD, 7);
  font.DrawString(&g_BackBufferSD, 0, 0, "ab", 0);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 8, 8), AsShown(PaletteColour(200)));
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 24, 8), AsShown(PaletteColour(50)));
  DDFillSurface(&g_BackBufferSD, 7);
  font.DrawString(&g_BackBufferSD, 0, 0, "ab", 1);
  EXPECT_NE(ReadRgb(&g_BackBufferSD, 8, 8), AsShown(PaletteColour(200)));
  font.Release();
  DDReleaseSurfaceList(l);
}

INSTANTIATE_TEST_SUITE_P(AllModes, FontModes, ::testing::ValuesIn(kModes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Fonts, Direct3DShadowIsOffsetAndDarker) {
  Display d(kModes[1]);
  ASSERT_TRUE(d.ok);
  cFont font;
  font.Create("ＭＳ ゴシック", 0, 30, 32, 32, 241, 1, nullptr, 1, 240, nullptr, 0);
  EXPECT_EQ(font.m_dwShadowColor, 0xFF666666u);  // 0.4 x white, truncated
  DDFillSurface(&g_BackBufferSD, 7);
  font.DrawString(&g_BackBufferSD, 0, 0, "I", 0);
  bool shadow = false;
  for (int y = 0; y < 40 && !shadow; ++y) {
    for (int x = 0; x < 40 && !shadow; ++x) shadow = ReadRgb(&g_BackBufferSD, x, y) == 0x666666u;
  }
  EXPECT_TRUE(shadow);
  font.Release();
}

TEST(Fonts, DigitStripsHoldTenCells) {
  Display d(kModes[1]);
  ASSERT_TRUE(d.ok);
  FONTINFO infos[1] = {g_FontInfo[1]};
  infos[0].nCacheMode = 0;
  infos[0].nIconSlot = -1;
  ASSERT_EQ(CreateFonts(g_Font + 1, infos, 1), 1);
  ASSERT_EQ(CreateFastFonts(g_FastFontSurface + 1, g_FastFontInfo + 1, 1, g_Font + 1, infos), 1);
  DDSURFACEDATA* strip = &g_FastFontSurface[1];
  EXPECT_EQ(strip->nWidth, 160);
  for (int digit = 0; digit < 10; ++digit) EXPECT_TRUE(CellHasGlyph(strip, digit * 16, 0, 16, 16)) << digit;
  int w = 0, h = 0;
  MeasureText("12345", &w, &h);
  EXPECT_EQ(w, 80);
  DDReleaseSurface(strip);
}

TEST(Fonts, FormattedTextIsCutAtACharacterBoundary) {
  Display d(kModes[4]);
  ASSERT_TRUE(d.ok);
  cFont font;
  font.Create("ＭＳ ゴシック", 0, 10, 10, 10, 241, 0, nullptr, 1, 240, nullptr, 0);
  std::string text = "a";
  for (int i = 0; i < 200; ++i) text += "あ";
  font.DrawStringF(&g_BackBufferSD, 0, 0, "%s", text.c_str());  // 401 bytes into a 256-byte buffer
  font.Release();
}

}  // namespace
