// Fonts: measuring on the cell grid, the glyph sheets and cached drawing, icons and the digit strip.
#include <gtest/gtest.h>

#include <string>

#include "graphics_fixture.h"
#include "platform/font/raster_font.h"

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
  EXPECT_TRUE(CellHasGlyph(half, 16 * 1, 16 * 4, 16, 16));   // 'A'
  EXPECT_FALSE(CellHasGlyph(half, 16 * 0, 16 * 2, 16, 16));  // space
  EXPECT_TRUE(CellHasGlyph(half, 16 * 1, 16 * 11, 16, 16));  // half-width katakana 0xB1
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
  DDFillRect(icons, 0, 0, 16, 16, 200);  // icon a
  DDFillRect(icons, 16, 0, 16, 16, 50);  // icon b
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

// The inked rectangle (alpha above 0) of a Direct3D 32-bit surface: {left, top, right, bottom}.
std::array<int, 4> AlphaBounds(DDSURFACEDATA* sd, int w, int h) {
  std::array<int, 4> b{w, h, -1, -1};
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if ((ReadRaw(sd, x, y) >> 24) == 0) continue;
      b[0] = std::min(b[0], x);
      b[1] = std::min(b[1], y);
      b[2] = std::max(b[2], x);
      b[3] = std::max(b[3], y);
    }
  }
  return b;
}

TEST(Fonts, Direct3DShadowLiesOneSixteenthOfTheCellDownAndRightAtLeastOnePixel) {
  Display d(kModes[1]);
  ASSERT_TRUE(d.ok);
  struct Case {
    int height, cell, offset;
  };
  for (const Case& c : {Case{10, 10, 1}, Case{16, 16, 1}, Case{30, 32, 2}}) {
    DDSURFACEDATA target{};
    ASSERT_TRUE(DDCreateSurface(&target, 64, 64, 1, 0, 0, 0, 0));
    std::array<int, 4> bounds[2];
    for (int shadow = 0; shadow < 2; ++shadow) {
      cFont font;
      font.Create("ＭＳ ゴシック", 0, c.height, c.cell, c.cell, 241, shadow, nullptr, 1, 240, nullptr, 0);
      DDFillSurface(&target, 0);
      font.DrawString(&target, 8, 8, "■", 0);
      bounds[shadow] = AlphaBounds(&target, 64, 64);
      font.Release();
    }
    ASSERT_GE(bounds[0][2], 0) << c.cell;
    EXPECT_EQ(bounds[1][0], bounds[0][0]) << c.cell;
    EXPECT_EQ(bounds[1][1], bounds[0][1]) << c.cell;
    EXPECT_EQ(bounds[1][2], bounds[0][2] + c.offset) << c.cell;
    EXPECT_EQ(bounds[1][3], bounds[0][3] + c.offset) << c.cell;
    DDReleaseSurface(&target);
  }
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

// The ink of a text as the installed font draws it at (0, 0) by itself: the top-left corner of
// its monochrome mask (the threshold of the DirectDraw text).
struct InkCorner {
  int x = -1, y = -1;
};
InkCorner ReferenceInk(const char* face, int height, const char* text) {
  std::unique_ptr<RasterFont> font = RasterFont::Create(face, height, 0);
  InkCorner ink;
  if (!font) return ink;
  std::vector<uint8_t> pixels(128 * 128, 0);
  CoverageTarget target{pixels.data(), 128, 128, 128};
  font->DrawCp932(text, 32, 32, GlyphRender::Monochrome, target);
  for (int y = 0; y < 128; ++y) {
    for (int x = 0; x < 128; ++x) {
      if (pixels[static_cast<size_t>(y) * 128 + x] < 128) continue;
      if (ink.y < 0) ink.y = y - 32;
      if (ink.x < 0 || x - 32 < ink.x) ink.x = x - 32;
    }
  }
  return ink;
}

// The top-left corner of the white ink of a screen rectangle, relative to (x0, y0).
InkCorner ScreenInk(int x0, int y0, int w, int h) {
  InkCorner ink;
  for (int y = y0; y < y0 + h; ++y) {
    for (int x = x0; x < x0 + w; ++x) {
      if (ReadRgb(&g_BackBufferSD, x, y) != 0xFFFFFFu) continue;
      if (ink.y < 0) ink.y = y - y0;
      if (ink.x < 0 || x - x0 < ink.x) ink.x = x - x0;
    }
  }
  return ink;
}

TEST(Fonts, CharactersSitInTheirCellsAsTheFaceAndTheCentreFlagSay) {
  Display d(kModes[4]);
  ASSERT_TRUE(d.ok);
  const char* gothic = "ＭＳ ゴシック";
  const char* pGothic = "ＭＳ Ｐゴシック";
  struct Case {
    const char* face;
    int height, cell;
    const char* text;
    int centre;
    int dx, dy;  // where the character's own origin goes in its cell (centred cases: computed below)
  };
  const Case cases[] = {
      {gothic, 10, 10, "A", 0, 1, -1},  // single byte: cell / 8 across, cell / 16 - 1 down
      {gothic, 16, 16, "A", 0, 2, 0},   {gothic, 30, 32, "A", 0, 4, 1},
      {gothic, 16, 16, "あ", 0, 0, 0},  // double byte: the cell's corner
      {gothic, 16, 16, "(", 0, 2, 0},   // brackets move only in the proportional face
      {pGothic, 16, 16, "(", 0, 6, 0},  // + cell / 4
      {pGothic, 16, 16, "}", 0, 6, 0},  {pGothic, 16, 16, "（", 0, 4, 0},
      {pGothic, 16, 16, "｝", 0, 4, 0}, {pGothic, 16, 16, "A", 0, 2, 0},
      {gothic, 16, 16, "i", 1, 0, 0},   // centred on its measured extent
      {pGothic, 16, 16, "(", 1, 0, 0},  // no bracket offset when centring
      {gothic, 30, 32, "!", 1, 0, 0},
  };
  for (const Case& c : cases) {
    cFont font;
    font.Create(c.face, 0, c.height, c.cell, c.cell, 241, 0, nullptr, 1, 240, nullptr, 0);
    font.m_bCentre = c.centre;
    int dx = c.dx, dy = c.dy;
    if (c.centre) {
      std::unique_ptr<RasterFont> raster = RasterFont::Create(c.face, c.height, 0);
      ASSERT_TRUE(raster);
      TextExtent extent = raster->MeasureCp932(c.text);
      dx = c.cell / 2 - extent.width / 2;
      dy = c.cell / 2 - extent.height / 2;
    }
    DDFillSurface(&g_BackBufferSD, 7);
    font.DrawString(&g_BackBufferSD, 100, 100, c.text, 0);
    InkCorner ref = ReferenceInk(c.face, c.height, c.text);
    InkCorner got = ScreenInk(90, 90, 2 * c.cell + 20, 2 * c.cell + 20);
    ASSERT_GE(ref.x, 0) << c.text;
    EXPECT_EQ(got.x, 10 + dx + ref.x) << c.face << " " << c.text << " centre " << c.centre;
    EXPECT_EQ(got.y, 10 + dy + ref.y) << c.face << " " << c.text << " centre " << c.centre;
    font.Release();
  }
}

TEST(Fonts, TextBlockSizeCountsCharactersOnTheGrid) {
  cFont font;
  font.m_nCellWidth = 8;
  font.m_nCellHeight = 16;
  struct Case {
    const char* text;
    int w, h;
  };
  const Case cases[] = {
      {"ab\nあいう", 24, 32}, {"", 0, 16}, {"abc", 24, 16}, {"\n", 0, 32}, {"あ\x81", 16, 16},
  };
  for (const Case& c : cases) {
    int w = -1, h = -1;
    GetTextBlockSize(&font, &w, &h, c.text);
    EXPECT_EQ(w, c.w) << c.text;
    EXPECT_EQ(h, c.h) << c.text;
  }
  // A line longer than any line buffer is measured whole.
  const std::string longLine = std::string(600, 'x') + "\n" + std::string(300, 'y');
  int w = -1, h = -1;
  GetTextBlockSize(&font, &w, &h, longLine.c_str());
  EXPECT_EQ(w, 600 * 8);
  EXPECT_EQ(h, 32);
}

// A full-width sheet that cannot hold the whole table: characters that do not fit are drawn
// directly each time, into the destination the text was drawn to.
class FullSheetModes : public ::testing::TestWithParam<Mode> {};

TEST_P(FullSheetModes, CharactersPastAFullSheetAreDrawnDirectly) {
  Display d(GetParam());
  ASSERT_TRUE(d.ok);
  cFont font;
  font.Create("ＭＳ ゴシック", 0, 60, 64, 64, 241, 0, nullptr, 1, 240, nullptr, 1);
  ASSERT_NE(font.m_lpFastFont_Full, nullptr);
  cGlyphSheet* full = font.m_lpFastFont_Full;
  ASSERT_LT(full->nCapacity, 258);
  EXPECT_EQ(full->nCount, full->nCapacity);
  DDSURFACEDATA target{};
  ASSERT_TRUE(DDCreateSurface(&target, 256, 64, 1, 0, 0, 0, 0));
  DDFillSurface(&g_BackBufferSD, 7);
  for (int pass = 0; pass < 2; ++pass) {
    DDFillSurface(&target, 0);
    font.DrawString(&target, 0, 0, "０漢：A", 0);  // cached, past the sheet, past the table's room, half-width
    EXPECT_EQ(full->nCount, full->nCapacity) << pass;
    for (int cell = 0; cell < 4; ++cell)
      EXPECT_TRUE(CellHasGlyph(&target, cell * 64, 0, 64, 64)) << pass << " " << cell;
  }
  // Nothing went astray to the screen.
  EXPECT_FALSE(HasInk(&g_BackBufferSD, 0, 0, 256, 64, AsShown(PaletteColour(7))));
  DDReleaseSurface(&target);
  font.Release();
}

INSTANTIATE_TEST_SUITE_P(Modes, FullSheetModes, ::testing::Values(kModes[1], kModes[0], kModes[3]),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Fonts, Direct3DResetRedrawsTheSheetsWithTheCharactersAddedSinceStartUp) {
  Display d(kModes[1]);
  ASSERT_TRUE(d.ok);
  cFont font;
  font.Create("ＭＳ ゴシック", 0, 16, 16, 16, 241, 0, nullptr, 1, 240, nullptr, 1);
  font.DrawString(&g_BackBufferSD, 0, 0, "漢", 0);
  cGlyphSheet* full = font.m_lpFastFont_Full;
  ASSERT_EQ(full->nCount, 259);
  const int cx = (258 % full->nColumns) * 16, cy = (258 / full->nColumns) * 16;
  ASSERT_TRUE(CellHasGlyph(&full->sd, cx, cy, 16, 16));
  g_lpDevice->SimulateDeviceLoss(1);
  EXPECT_EQ(DDPresent(60, 0, nullptr), 0);
  EXPECT_EQ(DDRestoreSurface(), 0);
  ASSERT_EQ(DDRestoreSurface(), 1);
  EXPECT_EQ(full->sd.bContentsLost, 0);
  EXPECT_EQ(full->nCount, 259);
  EXPECT_TRUE(CellHasGlyph(&full->sd, cx, cy, 16, 16));
  EXPECT_TRUE(CellHasGlyph(&font.m_lpFastFont_Half->sd, 16 * 1, 16 * 4, 16, 16));  // 'A'
  font.Release();
}

}  // namespace
