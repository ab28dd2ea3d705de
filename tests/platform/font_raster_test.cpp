// Rasterised fonts: GDI-style sizes, text extents, glyph placement in the cell, and monochrome
// against anti-aliased output.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "platform/font/raster_font.h"

namespace {

std::unique_ptr<RasterFont> MakeFont(const char* face, int height) {
  auto font = RasterFont::Create(face, height);
  EXPECT_NE(font, nullptr) << face << " " << height;
  return font;
}

// A coverage picture of some text drawn at a position, with the drawn bounds.
struct Drawn {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;
  int inked = 0;
  int minX = 1 << 20, minY = 1 << 20, maxX = -1, maxY = -1;
};

Drawn Draw(RasterFont& font, const char* text, GlyphRender mode, int x = 0, int y = 0, int width = 96,
           int height = 48) {
  Drawn drawn;
  drawn.width = width;
  drawn.height = height;
  drawn.pixels.assign(static_cast<size_t>(width) * height, 0);
  font.DrawCp932(text, x, y, mode, CoverageTarget{drawn.pixels.data(), width, height, width});
  for (int py = 0; py < height; ++py) {
    for (int px = 0; px < width; ++px) {
      if (drawn.pixels[static_cast<size_t>(py) * width + px] == 0) continue;
      ++drawn.inked;
      drawn.minX = std::min(drawn.minX, px);
      drawn.maxX = std::max(drawn.maxX, px);
      drawn.minY = std::min(drawn.minY, py);
      drawn.maxY = std::max(drawn.maxY, py);
    }
  }
  return drawn;
}

TEST(RasterFont, HeightFollowsTheGdiRule) {
  for (int height : {10, 16, 30}) {
    SCOPED_TRACE(height);
    auto font = MakeFont("ＭＳ ゴシック", height);
    ASSERT_NE(font, nullptr);
    const FontMetrics& metrics = font->Metrics();
    EXPECT_EQ(metrics.height, height);  // positive: the cell height
    EXPECT_EQ(metrics.ascent + metrics.descent, height);
    EXPECT_EQ(metrics.internalLeading, height - metrics.emPixels);
    EXPECT_GT(metrics.ascent, metrics.descent);
  }
  auto characterHeight = MakeFont("ＭＳ ゴシック", -16);  // negative: the em size
  ASSERT_NE(characterHeight, nullptr);
  EXPECT_EQ(characterHeight->Metrics().emPixels, 16);
  EXPECT_GE(characterHeight->Metrics().height, 16);

  EXPECT_EQ(RasterFont::Create("ＭＳ ゴシック", 0), nullptr);
  EXPECT_EQ(RasterFont::Create("ＭＳ ゴシック", 100000), nullptr);
}

TEST(RasterFont, TextExtents) {
  auto fixed = MakeFont("ＭＳ ゴシック", 16);
  auto proportional = MakeFont("ＭＳ Ｐゴシック", 16);
  ASSERT_TRUE(fixed && proportional);
  const int half = fixed->Advance(U'A');
  const int full = fixed->Advance(U'あ');
  EXPECT_GT(half, 0);
  EXPECT_GT(full, half);

  struct Case {
    const char* text;
    int halfWidth;
    int fullWidth;
  };
  const Case cases[] = {
      {"", 0, 0}, {"ABC", 3, 0}, {"iiiWWW", 6, 0}, {"あいう", 0, 3}, {"AB漢字", 2, 2}, {"表\\", 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(fixed->MeasureCp932(c.text), (TextExtent{c.halfWidth * half + c.fullWidth * full, 16}));
  }
  // Exact answers with the installed IPA Gothic at height 16 (em 15 pixels).
  if (fixed->FontFile().family == "IPAGothic") {
    EXPECT_EQ(half, 8);
    EXPECT_EQ(full, 15);
    EXPECT_EQ(fixed->MeasureCp932("ABCあい").width, 54);
  }
  // Proportional: narrow and wide letters differ; a mixed line is the sum of its parts.
  EXPECT_LT(proportional->MeasureCp932("iii").width, proportional->MeasureCp932("WWW").width);
  EXPECT_EQ(proportional->MeasureCp932("Wiあ").width,
            proportional->MeasureCp932("Wi").width + proportional->MeasureCp932("あ").width);
  EXPECT_EQ(proportional->MeasureCp932("").height, 16);
}

TEST(RasterFont, GlyphsLeaveInkInsideTheirCell) {
  struct Case {
    int height;
    const char* text;
  };
  const Case cases[] = {{10, "A"}, {10, "あ"}, {16, "A"}, {16, "漢"}, {16, "g"}, {30, "あ"}, {30, "_"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.height << " " << c.text);
    auto font = MakeFont("ＭＳ ゴシック", c.height);
    ASSERT_NE(font, nullptr);
    const int advance = font->MeasureCp932(c.text).width;
    const Drawn drawn = Draw(*font, c.text, GlyphRender::Monochrome, 10, 5);
    EXPECT_GT(drawn.inked, 0);
    EXPECT_GE(drawn.minX, 10);
    EXPECT_LT(drawn.maxX, 10 + advance);
    EXPECT_GE(drawn.minY, 5);
    EXPECT_LT(drawn.maxY, 5 + c.height);
  }
}

TEST(RasterFont, MonochromeHasNoFringesAntiAliasedHas) {
  auto font = MakeFont("ＭＳ ゴシック", 16);
  ASSERT_NE(font, nullptr);
  const Drawn mono = Draw(*font, "あA漢", GlyphRender::Monochrome);
  const Drawn smooth = Draw(*font, "あA漢", GlyphRender::AntiAliased);
  std::set<int> monoValues(mono.pixels.begin(), mono.pixels.end());
  EXPECT_EQ(monoValues, (std::set<int>{0, 255}));
  int partial = 0;
  for (uint8_t value : smooth.pixels) partial += value > 0 && value < 255;
  EXPECT_GT(partial, 0);
  // Both draw the same text in the same place.
  EXPECT_NEAR(mono.minX, smooth.minX, 1);
  EXPECT_NEAR(mono.maxX, smooth.maxX, 1);
  EXPECT_NEAR(mono.minY, smooth.minY, 1);
  EXPECT_NEAR(mono.maxY, smooth.maxY, 1);
}

TEST(RasterFont, CallbackAndBufferDrawingAgreeAndClip) {
  auto font = MakeFont("ＭＳ Ｐゴシック", 16);
  ASSERT_NE(font, nullptr);
  const Drawn buffered = Draw(*font, "Aあ", GlyphRender::AntiAliased, 3, 2);
  std::vector<uint8_t> plotted(buffered.pixels.size(), 0);
  const int penEnd = font->DrawCp932("Aあ", 3, 2, GlyphRender::AntiAliased, [&](int x, int y, uint8_t coverage) {
    ASSERT_TRUE(x >= 0 && y >= 0 && x < buffered.width && y < buffered.height);
    plotted[static_cast<size_t>(y) * buffered.width + x] =
        std::max(plotted[static_cast<size_t>(y) * buffered.width + x], coverage);
  });
  EXPECT_EQ(plotted, buffered.pixels);
  EXPECT_EQ(penEnd, 3 + font->MeasureCp932("Aあ").width);

  // Text hanging over every edge of a small buffer stays inside it (the sanitizer checks).
  std::vector<uint8_t> small(6 * 5, 0);
  for (int x : {-12, -3, 2}) {
    for (int y : {-10, -4, 3})
      font->DrawCp932("あW", x, y, GlyphRender::Monochrome, CoverageTarget{small.data(), 6, 5, 6});
  }
  int inked = 0;
  for (uint8_t value : small) inked += value != 0;
  EXPECT_GT(inked, 0);
}

TEST(RasterFont, SpacesAndControlsDrawNothingLatinFacesBorrowJapaneseGlyphs) {
  auto gothic = MakeFont("ＭＳ ゴシック", 16);
  ASSERT_NE(gothic, nullptr);
  EXPECT_EQ(Draw(*gothic, " \t\n　", GlyphRender::AntiAliased).inked, 0);
  EXPECT_EQ(gothic->Advance(U'\n'), gothic->Advance(U' '));

  auto latin = MakeFont("Arial", 16);
  ASSERT_NE(latin, nullptr);
  EXPECT_EQ(latin->FontFile().family, "DejaVu Sans");
  EXPECT_GT(Draw(*latin, "あ", GlyphRender::Monochrome).inked, 20);
  EXPECT_GT(latin->Advance(U'あ'), latin->Advance(U'i'));
}

}  // namespace
