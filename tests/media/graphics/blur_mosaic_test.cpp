// Blur and mosaic in every display mode, each destination pixel checked against the filter's rule
// written out here (the blur by summing its box pixel by pixel), with the colour a blend pair adds
// in Direct3D mode and the sizes that draw nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <optional>
#include <vector>

#include "effect_fixture.h"
#include "media/graphics/pixel_effects.h"

using namespace fxtest;

namespace {

constexpr int kSrcW = 13, kSrcH = 11, kDstW = 16, kDstH = 12;

// A block of a filter and where it comes from.
struct Block {
  int x, y, w, h, sx, sy;
};
const Block kBlocks[] = {
    {1, 1, 10, 9, 2, 1},   // inside both surfaces
    {-3, -2, 9, 8, 0, 0},  // over the destination's top-left
    {9, 5, 10, 9, 3, 2},   // past the destination's right and bottom
    {0, 0, 12, 10, 4, 3},  // past the source's right and bottom
    {2, 2, 6, 6, -2, -1},  // starting before the source's top-left
};

class FilterTest : public EffectTest {
 protected:
  void SetUp() override {
    EffectTest::SetUp();
    src = Pixels(kSrcW, kSrcH);
    dst = GetParam().fullScreen ? &g_BackBufferSD : Pixels(kDstW, kDstH);
    Paint(src, [&](int, int) { return Next(); });
  }
  void PaintDestination() { before = PaintRandom(dst, kDstW, kDstH); }
  // The source pixel of block position (i, j), or none outside the source.
  std::optional<uint32_t> Source(const Block& b, int i, int j) {
    const int x = b.sx + j, y = b.sy + i;
    if (x < 0 || y < 0 || x >= kSrcW || y >= kSrcH) return std::nullopt;
    return Raw(src, x, y);
  }
  // The red, green and blue of a source pixel in the units the filters average.
  Rgb Channels(uint32_t p) const {
    if (Bpp() == 16) return D3D() ? kTexture16.Split(p) : DirectDraw16().Split(p);
    return Bytes(p);
  }
  // Checks every destination pixel: inside the block by `expected` (nullopt: left alone).
  void Check(const Block& b, const std::function<std::optional<uint32_t>(int i, int j, uint32_t d)>& expected) {
    for (int y = 0; y < kDstH; ++y)
      for (int x = 0; x < kDstW; ++x) {
        const uint32_t d = before[y * kDstW + x];
        uint32_t want = d;
        const int i = y - b.y, j = x - b.x;
        if (i >= 0 && j >= 0 && i < b.h && j < b.w) want = expected(i, j, d).value_or(d);
        ASSERT_EQ(Raw(dst, x, y), want) << "pixel " << x << "," << y;
      }
  }
  // A pixel of the filters' result in the destination's form (Direct3D: with the pair's colour).
  uint32_t Written(Rgb c, uint32_t d, const DDALPHA* pair) const {
    const bool screen = GetParam().fullScreen;
    const bool add = pair && pair->nBlendMode == 7;
    const Rgb plus = Bytes(add ? static_cast<uint32_t>(pair->nAlpha) : 0u);
    if (D3D() && Bpp() == 16) {
      c = {std::min(c.r + plus.r * 31 / 255, 31u), std::min(c.g + plus.g * 31 / 255, 31u),
           std::min(c.b + plus.b * 31 / 255, 31u)};
      return screen ? kScreen16.Join({c.r, c.g * 2, c.b}) : kTexture16.Join(c) | 0x8000;
    }
    if (D3D())
      return JoinBytes({std::min(c.r + plus.r, 255u), std::min(c.g + plus.g, 255u), std::min(c.b + plus.b, 255u)}, 255);
    if (Bpp() == 16) return DirectDraw16().Join(c);
    return JoinBytes(c, d >> 24);
  }

  DDSURFACEDATA* src = nullptr;
  DDSURFACEDATA* dst = nullptr;
  std::vector<uint32_t> before;
};

// ---- blur --------------------------------------------------------------------------------------

TEST_P(FilterTest, BlurAveragesTheBoxOfEveryPixelCutToTheBlock) {
  const DDALPHA pair{static_cast<int>(0xFF203040u), 7};
  struct Radii {
    int rx, ry;
  };
  for (const Radii r : {Radii{1, 1}, {2, 3}, {4, 1}, {100, 100}})
    for (int flags : {0, 1})
      for (const DDALPHA* alpha : {static_cast<const DDALPHA*>(nullptr), &pair})
        for (const Block& b : kBlocks) {
          SCOPED_TRACE(testing::Message() << "radii " << r.rx << "," << r.ry << " flags " << flags << " pair "
                                          << (alpha != nullptr) << " block " << b.x << "," << b.y);
          PaintDestination();
          EXPECT_TRUE(DDBltBlur(dst, b.x, b.y, b.w, b.h, r.rx, r.ry, src, b.sx, b.sy, flags, alpha));
          if (Bpp() == 8) {
            Check(b, [](int, int, uint32_t) { return std::nullopt; });  // palette screens: nothing
            continue;
          }
          const bool keyed = flags == 1;
          Check(b, [&](int i, int j, uint32_t d) -> std::optional<uint32_t> {
            const std::optional<uint32_t> centre = Source(b, i, j);
            if (!centre || (keyed && IsTransparent(*centre))) return std::nullopt;
            uint64_t sr = 0, sg = 0, sb = 0, n = 0;
            for (int di = -r.ry; di < r.ry; ++di)
              for (int dj = -r.rx; dj < r.rx; ++dj) {
                const int bi = i + di, bj = j + dj;
                if (bi < 0 || bj < 0 || bi >= b.h || bj >= b.w) continue;
                const std::optional<uint32_t> p = Source(b, bi, bj);
                if (!p || (keyed && IsTransparent(*p))) continue;
                const Rgb c = Channels(*p);
                sr += c.r;
                sg += c.g;
                sb += c.b;
                ++n;
              }
            if (n == 0) return std::nullopt;
            return Written(
                {static_cast<uint32_t>(sr / n), static_cast<uint32_t>(sg / n), static_cast<uint32_t>(sb / n)}, d,
                D3D() ? alpha : nullptr);
          });
        }
}

TEST_P(FilterTest, BlurOfRadiusOneIsThePixelWithItsLeftUpperAndUpperLeftNeighbours) {
  if (Bpp() == 8) GTEST_SKIP() << "palette screens do not blur";
  Paint(src, [&](int x, int y) { return Next(false) ^ static_cast<uint32_t>(x * 3 + y); });
  PaintDestination();
  DDBltBlur(dst, 0, 0, 4, 4, 1, 1, src, 5, 5, 0, nullptr);
  const Rgb a = Channels(Raw(src, 7, 7)), l = Channels(Raw(src, 6, 7)), u = Channels(Raw(src, 7, 6)),
            ul = Channels(Raw(src, 6, 6));
  EXPECT_EQ(Raw(dst, 2, 2),
            Written({(a.r + l.r + u.r + ul.r) / 4, (a.g + l.g + u.g + ul.g) / 4, (a.b + l.b + u.b + ul.b) / 4},
                    before[2 * kDstW + 2], nullptr));
  // At the block's top-left corner only the pixel itself is in the box.
  EXPECT_EQ(Raw(dst, 0, 0), Written(Channels(Raw(src, 5, 5)), before[0], nullptr));
}

TEST_P(FilterTest, BlurWithAZeroOrNegativeRadiusDrawsNothing) {
  PaintDestination();
  for (const auto& [rx, ry] : {std::pair{0, 2}, {2, 0}, {-1, 3}}) {
    EXPECT_TRUE(DDBltBlur(dst, 0, 0, 8, 8, rx, ry, src, 0, 0, 0, nullptr));
    Check({0, 0, 8, 8, 0, 0}, [](int, int, uint32_t) { return std::nullopt; });
  }
}

// ---- mosaic ------------------------------------------------------------------------------------

TEST_P(FilterTest, MosaicFillsEachCellWithItsColour) {
  const DDALPHA pair{static_cast<int>(0xFF401020u), 7};
  const Layout dd16 = DirectDraw16();
  for (int n : {1, 3, 4, 20})
    for (int flags : {0, 1})
      for (const DDALPHA* alpha : {static_cast<const DDALPHA*>(nullptr), &pair})
        for (const Block& b : kBlocks) {
          SCOPED_TRACE(testing::Message() << "n " << n << " flags " << flags << " pair " << (alpha != nullptr)
                                          << " block " << b.x << "," << b.y);
          PaintDestination();
          EXPECT_TRUE(DDBltMosaic(dst, b.x, b.y, b.w, b.h, n, src, b.sx, b.sy, flags, alpha));
          const bool keyed = flags == 1;
          Check(b, [&](int i, int j, uint32_t d) -> std::optional<uint32_t> {
            const int ci = i / n * n, cj = j / n * n;
            if (D3D() || Bpp() == 8) {
              // The colour of the cell's top-left pixel.
              const std::optional<uint32_t> p = Source(b, ci, cj);
              if (!p || (keyed && IsTransparent(*p))) return std::nullopt;
              if (Bpp() == 8) return *p;
              const bool add = alpha && D3D();
              if (Bpp() == 16) {
                uint32_t v = *p;
                if (add) v = Written(kTexture16.Split(v), d, alpha);
                if (!add && GetParam().fullScreen)
                  v = kScreen16.Join({kTexture16.Split(v).r, kTexture16.Split(v).g * 2, kTexture16.Split(v).b});
                return v;
              }
              return add ? Written(Bytes(*p), d, alpha) : (*p | 0xFF000000u);
            }
            // DirectDraw 16 and 32 bits: the average of the cell's pixels that count.
            uint64_t sr = 0, sg = 0, sb = 0, cnt = 0;
            for (int yi = ci; yi < std::min(ci + n, b.h); ++yi)
              for (int xj = cj; xj < std::min(cj + n, b.w); ++xj) {
                const std::optional<uint32_t> p = Source(b, yi, xj);
                if (!p || (keyed && IsTransparent(*p))) continue;
                Rgb c = Bpp() == 16 ? dd16.Split(*p) : Bytes(*p);
                if (Bpp() == 16) c = {c.r * 255 / dd16.rm, c.g * 255 / dd16.gm, c.b * 255 / dd16.bm};
                sr += c.r;
                sg += c.g;
                sb += c.b;
                ++cnt;
              }
            if (cnt == 0) return std::nullopt;
            Rgb avg{static_cast<uint32_t>(sr / cnt), static_cast<uint32_t>(sg / cnt), static_cast<uint32_t>(sb / cnt)};
            uint32_t colour;
            if (Bpp() == 16) {
              colour = dd16.Join({avg.r * dd16.rm / 255, avg.g * dd16.gm / 255, avg.b * dd16.bm / 255});
            } else {
              colour = JoinBytes(avg, 0);
            }
            if (keyed && colour == g_dwColorKey) return std::nullopt;
            return Bpp() == 32 ? (d & 0xFF000000u) | colour : colour;
          });
        }
}

TEST_P(FilterTest, MosaicCellsOfFourOverTenColumnsAreFourFourAndTwoWide) {
  if (!D3D() && Bpp() != 8) GTEST_SKIP() << "averaged cells are checked by the table";
  const uint32_t base = Next(false);
  const uint32_t mask = Bpp() == 8 ? 0xFFu : Bpp() == 16 ? 0xFFFFu : ~0u;
  auto column = [&](int x) { return (base + static_cast<uint32_t>(x)) & mask; };
  Paint(src, [&](int x, int) { return column(x); });  // every column its own colour
  PaintDestination();
  DDBltMosaic(dst, 0, 0, 10, 1, 4, src, 0, 0, 0, nullptr);
  auto shown = [&](uint32_t p) {
    if (D3D() && Bpp() == 32) return p | 0xFF000000u;
    if (GetParam().fullScreen) {
      const Rgb c = kTexture16.Split(p);
      return kScreen16.Join({c.r, c.g * 2, c.b});
    }
    return p;
  };
  for (int x = 0; x < 10; ++x) EXPECT_EQ(Raw(dst, x, 0), shown(column(x / 4 * 4))) << x;
  EXPECT_EQ(Raw(dst, 10, 0), before[10]);
}

TEST_P(FilterTest, MosaicOfNoCellSizeDrawsNothing) {
  PaintDestination();
  for (int n : {0, -3}) {
    EXPECT_TRUE(DDBltMosaic(dst, 0, 0, 8, 8, n, src, 0, 0, 0, nullptr));
    Check({0, 0, 8, 8, 0, 0}, [](int, int, uint32_t) { return std::nullopt; });
  }
}

// ---- hand-worked cases at 32 bits -----------------------------------------------------------------

// An opaque 32-bit pixel of red, green and blue.
uint32_t Opaque(Rgb c) { return JoinBytes(c, 255); }

TEST_P(FilterTest, BlurOfRadiusOneByHand) {
  if (Bpp() != 32) GTEST_SKIP() << "worked out in bytes";
  // A 2 x 2 block: A (100, 0, 0), B right of it (0, 100, 0), C below A (0, 0, 100), D (40, 40, 40).
  Paint(src, [](int x, int y) {
    const Rgb block[2][2] = {{{100, 0, 0}, {0, 100, 0}}, {{0, 0, 100}, {40, 40, 40}}};
    return x < 2 && y < 2 ? Opaque(block[y][x]) : Opaque({1, 2, 3});
  });
  PaintDestination();
  DDBltBlur(dst, 3, 4, 2, 2, 1, 1, src, 0, 0, 0, nullptr);
  EXPECT_EQ(Bytes(Raw(dst, 3, 4)), (Rgb{100, 0, 0}));
  EXPECT_EQ(Bytes(Raw(dst, 4, 4)), (Rgb{50, 50, 0}));
  EXPECT_EQ(Bytes(Raw(dst, 3, 5)), (Rgb{50, 0, 50}));
  EXPECT_EQ(Bytes(Raw(dst, 4, 5)), (Rgb{35, 35, 35}));
  // Radii 2 and 1 over one row of reds 0, 40, 80, 120: boxes of columns -2 .. +1, cut to the block.
  Paint(src, [](int x, int) { return Opaque({static_cast<uint32_t>(40 * std::min(x, 3)), 0, 0}); });
  DDBltBlur(dst, 0, 0, 4, 1, 2, 1, src, 0, 0, 0, nullptr);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(Bytes(Raw(dst, x, 0)).r, static_cast<uint32_t>(20 + 20 * x)) << x;
}

TEST_P(FilterTest, MosaicCellsByHand) {
  if (Bpp() == 8) GTEST_SKIP() << "palette cells are checked by the table";
  if (Bpp() == 16) {
    if (D3D()) GTEST_SKIP() << "Direct3D cells take the top-left pixel";
    const Layout l = DirectDraw16();
    ASSERT_EQ(l.gm, 63u) << "worked out for a 5-6-5 layout";
    // Widened to bytes: reds 255, 0, 0, 0; greens 255, 255, 0, 0; blues 0, 0, 0, 255. The averages
    // 63, 127, 63 narrow to 7, 31, 7.
    const Rgb cell[2][2] = {{{31, 63, 0}, {0, 63, 0}}, {{0, 0, 0}, {0, 0, 31}}};
    Paint(src, [&](int x, int y) { return l.Join(cell[y % 2][x % 2]); });
    PaintDestination();
    DDBltMosaic(dst, 0, 0, 2, 2, 2, src, 0, 0, 0, nullptr);
    EXPECT_EQ(l.Split(Raw(dst, 1, 1)), (Rgb{7, 31, 7}));
    return;
  }
  // A 4 x 4 cell of reds 16 x column, greens 10 x row, blue 255.
  Paint(src, [](int x, int y) {
    return Opaque({static_cast<uint32_t>(16 * (x % 4)), static_cast<uint32_t>(10 * (y % 4)), 255});
  });
  PaintDestination();
  DDBltMosaic(dst, 0, 0, 4, 4, 4, src, 0, 0, 0, nullptr);
  // DirectDraw averages the cell and keeps each pixel's byte 3; Direct3D takes the top-left pixel.
  const Rgb want = D3D() ? Rgb{0, 0, 255} : Rgb{24, 15, 255};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      const uint32_t p = Raw(dst, x, y);
      EXPECT_EQ(Bytes(p), want) << x << "," << y;
      EXPECT_EQ(p >> 24, D3D() ? 255u : before[y * kDstW + x] >> 24) << x << "," << y;
    }
  if (D3D()) return;
  const Rgb cell[2][2] = {{{10, 20, 30}, {20, 30, 40}}, {{30, 40, 50}, {41, 51, 61}}};
  Paint(src, [&](int x, int y) { return Opaque(cell[y % 2][x % 2]); });
  DDBltMosaic(dst, 0, 0, 2, 2, 2, src, 0, 0, 0, nullptr);
  EXPECT_EQ(Bytes(Raw(dst, 0, 0)), (Rgb{25, 35, 45}));
}

// ---- reading only inside the source, whatever the block -----------------------------------------

class FilterBoundsTest : public FilterTest {
 protected:
  void SetUp() override {
    FilterTest::SetUp();
    small = Pixels(4, 3);
    Paint(small, [&](int, int) { return Next(false); });
    PaintDestination();
  }
  // The average of all twelve pixels of the small source in the units the blur sums (the mosaic of
  // DirectDraw: widened to bytes at 16 bits).
  Rgb Average(bool widened) const {
    uint64_t r = 0, g = 0, b = 0;
    const Layout dd16 = DirectDraw16();
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 4; ++x) {
        Rgb c = Channels(Raw(small, x, y));
        if (widened && Bpp() == 16) c = {c.r * 255 / dd16.rm, c.g * 255 / dd16.gm, c.b * 255 / dd16.bm};
        r += c.r, g += c.g, b += c.b;
      }
    return {static_cast<uint32_t>(r / 12), static_cast<uint32_t>(g / 12), static_cast<uint32_t>(b / 12)};
  }
  DDSURFACEDATA* small = nullptr;
};

TEST_P(FilterBoundsTest, BlurOfABlockFarPastTheSourceAveragesOnlyTheSource) {
  // The block starts 3 columns left of and 2 rows above a 4 x 3 source and runs to the end of the int
  // range, with boxes as large: only the pixels over the source are drawn, each the average of all
  // twelve.
  EXPECT_TRUE(DDBltBlur(dst, 0, 0, INT_MAX, INT_MAX, INT_MAX, INT_MAX, small, -3, -2, 0, nullptr));
  const Rgb avg = Average(false);
  Check({0, 0, INT_MAX, INT_MAX, -3, -2}, [&](int i, int j, uint32_t d) -> std::optional<uint32_t> {
    if (Bpp() == 8 || j < 3 || j >= 7 || i < 2 || i >= 5) return std::nullopt;
    return Written(avg, d, nullptr);
  });
}

TEST_P(FilterBoundsTest, MosaicOfOneCellOverTheWholeIntRangeReadsOnlyTheSource) {
  for (const auto& [sx, sy] : {std::pair{0, 0}, {-3, -2}}) {
    SCOPED_TRACE(testing::Message() << "source at " << sx << "," << sy);
    PaintDestination();
    EXPECT_TRUE(DDBltMosaic(dst, 0, 0, INT_MAX, INT_MAX, INT_MAX, small, sx, sy, 0, nullptr));
    Check({0, 0, INT_MAX, INT_MAX, sx, sy}, [&](int, int, uint32_t d) -> std::optional<uint32_t> {
      if (D3D() || Bpp() == 8) {
        // The cell's top-left pixel: none when it lies off the source.
        if (sx < 0) return std::nullopt;
        const uint32_t p = Raw(small, 0, 0);
        if (D3D() && Bpp() == 32) return p | 0xFF000000u;
        if (GetParam().fullScreen)
          return kScreen16.Join({kTexture16.Split(p).r, kTexture16.Split(p).g * 2, kTexture16.Split(p).b});
        return p;
      }
      // DirectDraw: the average of the source pixels the cell covers, which are all twelve.
      const Rgb avg = Average(true);
      if (Bpp() == 16) {
        const Layout l = DirectDraw16();
        return l.Join({avg.r * l.rm / 255, avg.g * l.gm / 255, avg.b * l.bm / 255});
      }
      return JoinBytes(avg, d >> 24);
    });
  }
}

INSTANTIATE_TEST_SUITE_P(AllModes, FilterBoundsTest, ::testing::ValuesIn(kEffectModes), ModeName);

INSTANTIATE_TEST_SUITE_P(AllModes, FilterTest, ::testing::ValuesIn(kEffectModes), ModeName);

}  // namespace
