// Rotation and lens in every display mode: the fixed-point turn of the pixel path (angles 0 and 90
// exactly, any angle by the rule written out here), the Direct3D quad, and the lens against its rule
// with the clear flag, the added colour and the sizes that draw nothing.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <optional>
#include <vector>

#include "effect_fixture.h"
#include "media/graphics/pixel_effects.h"

using namespace fxtest;

namespace {

constexpr int kDstW = 24, kDstH = 20;

class GeometryTest : public EffectTest {
 protected:
  void SetUp() override {
    EffectTest::SetUp();
    dst = GetParam().fullScreen ? &g_BackBufferSD : Pixels(kDstW, kDstH);
  }
  void PaintDestination() { before = PaintRandom(dst, kDstW, kDstH); }
  // Checks every destination pixel against `expected` (nullopt: left alone).
  void Check(const std::function<std::optional<uint32_t>(int x, int y, uint32_t d)>& expected) {
    for (int y = 0; y < kDstH; ++y)
      for (int x = 0; x < kDstW; ++x) {
        const uint32_t d = before[y * kDstW + x];
        ASSERT_EQ(Raw(dst, x, y), expected(x, y, d).value_or(d)) << "pixel " << x << "," << y;
      }
  }
  // A source whose pixels include the colour-key value (which keyed turns skip in both modes).
  DDSURFACEDATA* KeyedSource(int w, int h) {
    DDSURFACEDATA* src = Pixels(w, h);
    Paint(src, [&](int x, int y) { return (x + 2 * y) % 7 == 3 ? g_dwColorKey : Next(); });
    return src;
  }
  // A source pixel as the lens writes it: Direct3D 16 bits to the full-screen back buffer in the
  // screen layout.
  uint32_t AsWritten(uint32_t p) const {
    if (!GetParam().fullScreen) return p;
    const Rgb c = kTexture16.Split(p);
    return kScreen16.Join({c.r, c.g * 2, c.b});
  }

  DDSURFACEDATA* dst = nullptr;
  std::vector<uint32_t> before;
};

// ---- rotation, pixel path ------------------------------------------------------------------------

TEST_P(GeometryTest, TurnOfZeroCopiesTheImageWithItsPivotAtThePoint) {
  const int w = 7, h = 5;
  DDSURFACEDATA* src = KeyedSource(9, 8);
  for (int flags : {0, 1}) {
    PaintDestination();
    DDBltRotate(dst, 10, 6, w, h, w / 2, h / 2, 0, src, 2, 1, flags);
    Check([&](int x, int y, uint32_t) -> std::optional<uint32_t> {
      const int u = x - (10 - w / 2), v = y - (6 - h / 2);
      if (u < 0 || v < 0 || u >= w || v >= h) return std::nullopt;
      const uint32_t p = Raw(src, 2 + u, 1 + v);
      if (flags == 1 && p == g_dwColorKey) return std::nullopt;
      return p;  // the whole pixel, unconverted
    });
  }
}

TEST_P(GeometryTest, TurnOfNinetyLaysAWideImageOnItsSide) {
  const int w = 8, h = 4, ox = 4, oy = 2, px = 12, py = 9;
  DDSURFACEDATA* src = Pixels(w, h);
  Paint(src, [&](int, int) { return Next(false); });
  PaintDestination();
  DDBltRotate(dst, px, py, w, h, ox, oy, 90, src, 0, 0, 0);
  int drawn = 0, minX = kDstW, maxX = -1, minY = kDstH, maxY = -1;
  Check([&](int x, int y, uint32_t) -> std::optional<uint32_t> {
    const int X = x - px + ox, Y = y - py + oy;
    const int u = ox + (Y - oy), v = oy - (X - ox);
    if (u < 0 || v < 0 || u >= w || v >= h) return std::nullopt;
    ++drawn;
    minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
    return Raw(src, u, v);
  });
  EXPECT_EQ(drawn, w * h);
  EXPECT_EQ(maxX - minX + 1, h);
  EXPECT_EQ(maxY - minY + 1, w);
}

TEST_P(GeometryTest, AnyTurnFollowsTheFixedPointRule) {
  const int w = 9, h = 6, ox = 4, oy = 3;
  DDSURFACEDATA* src = KeyedSource(w + 2, h + 1);
  for (int angle : {30, 135, 200, -75, 360}) {
    SCOPED_TRACE(angle);
    PaintDestination();
    const int px = 11, py = 9, sx = 1, sy = 1;
    DDBltRotate(dst, px, py, w, h, ox, oy, angle, src, sx, sy, 1);
    const double a = angle * 0.017453292519943278;
    const int64_t s = static_cast<int64_t>(1024 * std::sin(-a)), c = static_cast<int64_t>(1024 * std::cos(-a));
    // Only the box of the turned corners, widened by two pixels, is visited.
    const int64_t fs = static_cast<int64_t>(1024 * std::sin(a)), fc = static_cast<int64_t>(1024 * std::cos(a));
    int64_t x0 = INT64_MAX, x1 = INT64_MIN, y0 = INT64_MAX, y1 = INT64_MIN;
    for (const auto& [dx, dy] : {std::pair{-ox, -oy}, {w - 1 - ox, -oy}, {-ox, h - 1 - oy}, {w - 1 - ox, h - 1 - oy}}) {
      const int64_t X = ox + ((fc * dx - fs * dy) >> 10), Y = oy + ((fs * dx + fc * dy) >> 10);
      x0 = std::min(x0, X - 2), x1 = std::max(x1, X + 1), y0 = std::min(y0, Y - 2), y1 = std::max(y1, Y + 1);
    }
    Check([&](int x, int y, uint32_t) -> std::optional<uint32_t> {
      const int64_t X = x - px + ox, Y = y - py + oy;
      if (X < x0 || X > x1 || Y < y0 || Y > y1) return std::nullopt;
      const int64_t u = ox + ((c * (X - ox) - s * (Y - oy)) >> 10), v = oy + ((s * (X - ox) + c * (Y - oy)) >> 10);
      if (u < 0 || v < 0 || u >= w || v >= h) return std::nullopt;
      const uint32_t p = Raw(src, static_cast<int>(sx + u), static_cast<int>(sy + v));
      if (p == g_dwColorKey) return std::nullopt;
      return p;
    });
  }
}

// ---- lens --------------------------------------------------------------------------------------

TEST_P(GeometryTest, LensDrawsEveryDiscPixelByItsRule) {
  DDSURFACEDATA* src = Pixels(15, 13);
  Paint(src, [&](int, int) { return Next(); });
  const DDALPHA pair{static_cast<int>(0xFF304050u), 7};
  struct LensCase {
    int cx, cy, r, d, scx, scy;
  };
  const LensCase cases[] = {{12, 10, 5, 3, 7, 6}, {2, 3, 6, 10, 4, 5}, {22, 18, 4, 1, 13, 11}, {8, 8, 7, 0, 1, 2}};
  for (const LensCase& l : cases)
    for (int flags : {0, 1})
      for (int clear : {0, 1})
        for (const DDALPHA* alpha : {static_cast<const DDALPHA*>(nullptr), &pair}) {
          SCOPED_TRACE(testing::Message() << "lens " << l.cx << "," << l.cy << " r " << l.r << " d " << l.d << " flags "
                                          << flags << " clear " << clear << " pair " << (alpha != nullptr));
          PaintDestination();
          EXPECT_TRUE(DDBltLens(dst, l.cx, l.cy, l.r, l.d, src, l.scx, l.scy, flags, clear, alpha));
          const int64_t k = static_cast<int64_t>(std::sqrt(static_cast<double>(l.d * l.d + l.r * l.r)));
          const bool clears = clear && D3D() && Bpp() == 32;
          Check([&](int x, int y, uint32_t d) -> std::optional<uint32_t> {
            const int i = y - l.cy, j = x - l.cx;
            if (std::abs(i) > l.r || std::abs(j) > l.r) return std::nullopt;
            const std::optional<uint32_t> cleared = clears ? std::optional<uint32_t>(0u) : std::nullopt;
            if (i * i + j * j > l.r * l.r) return cleared;
            const double z = std::sqrt(static_cast<double>(k * k - i * i - j * j));
            int64_t u = j, v = i;
            if (z != 0) {
              u = static_cast<int64_t>(static_cast<double>(j * l.d) / z + 0.5);
              v = static_cast<int64_t>(static_cast<double>(i * l.d) / z + 0.5);
            }
            const int64_t sxp = l.scx + u, syp = l.scy + v;
            if (sxp < 0 || syp < 0 || sxp >= 15 || syp >= 13) return cleared;
            const uint32_t p = Raw(src, static_cast<int>(sxp), static_cast<int>(syp));
            if (!D3D()) {
              if (p == g_dwColorKey) return std::nullopt;  // never drawn, keyed or not
              return p;
            }
            if (Bpp() == 16) {
              if (flags == 1 && (p & 0xA000) == 0) return std::nullopt;
              if (!alpha) return AsWritten(p);
              const Rgb f = kTexture16.Split(p), add = Bytes(static_cast<uint32_t>(alpha->nAlpha));
              return AsWritten(
                  kTexture16.Join({std::min(f.r + add.r * 31 / 255, 31u), std::min(f.g + add.g * 31 / 255, 31u),
                                   std::min(f.b + add.b * 31 / 255, 31u)}) |
                  0x8000);
            }
            if ((p >> 24) == 0) return cleared;  // never drawn, keyed or not
            if (!alpha) return p;
            const Rgb f = Bytes(p), add = Bytes(static_cast<uint32_t>(alpha->nAlpha));
            return JoinBytes({std::min(f.r + add.r, 255u), std::min(f.g + add.g, 255u), std::min(f.b + add.b, 255u)},
                             d >> 24);
          });
        }
}

TEST_P(GeometryTest, LensOfStrengthZeroShowsTheCentrePixelInsideTheRim) {
  DDSURFACEDATA* src = Pixels(15, 15);
  Paint(src, [&](int, int) { return Next(false); });
  PaintDestination();
  ASSERT_TRUE(DDBltLens(dst, 10, 9, 5, 0, src, 7, 7, 0, 0, nullptr));
  const uint32_t centre = AsWritten(Raw(src, 7, 7));
  for (int i = -5; i <= 5; ++i)
    for (int j = -5; j <= 5; ++j) {
      if (i * i + j * j >= 25) continue;
      EXPECT_EQ(Raw(dst, 10 + j, 9 + i), centre) << j << "," << i;
    }
  // On the rim the offset is the position itself.
  EXPECT_EQ(Raw(dst, 15, 9), AsWritten(Raw(src, 12, 7)));
  EXPECT_EQ(Raw(dst, 10, 4), AsWritten(Raw(src, 7, 2)));
}

TEST_P(GeometryTest, EmptyOrNegativeLensesReturnFalseAndDrawNothing) {
  DDSURFACEDATA* src = Pixels(8, 8);
  Paint(src, [&](int, int) { return Next(false); });
  PaintDestination();
  EXPECT_FALSE(DDBltLens(dst, 5, 5, 0, 4, src, 4, 4, 0, 1, nullptr));
  EXPECT_FALSE(DDBltLens(dst, 5, 5, -2, 4, src, 4, 4, 0, 1, nullptr));
  EXPECT_FALSE(DDBltLens(dst, 5, 5, 3, -1, src, 4, 4, 0, 1, nullptr));
  Check([](int, int, uint32_t) { return std::nullopt; });
}

// ---- hand-worked turns and lenses, and parameters that reach past the source ---------------------

// A 4 x 2 image (pivot (2, 1)) drawn with its pivot at (10, 10): where each image pixel (u, v) lands,
// worked out by hand from the 10-bit sine and cosine and the floor shift.
TEST_P(GeometryTest, TurnsOfAFourByTwoImageByHand) {
  DDSURFACEDATA* src = Pixels(4, 2);
  Paint(src, [&](int, int) { return Next(false); });
  struct Landing {
    int x, y, u, v;
  };
  std::vector<Landing> straight;
  for (int v = 0; v < 2; ++v)
    for (int u = 0; u < 4; ++u) straight.push_back({8 + u, 9 + v, u, v});
  struct Turn {
    int angle;
    std::vector<Landing> pixels;
  };
  // clang-format off
  const Turn turns[] = {
      {0, straight},
      {360, straight},
      {90, {{10, 8, 0, 1}, {10, 9, 1, 1}, {10, 10, 2, 1}, {10, 11, 3, 1},
            {11, 8, 0, 0}, {11, 9, 1, 0}, {11, 10, 2, 0}, {11, 11, 3, 0}}},
      // Turned about the pivot pixel (2, 1), not about the image's middle: one pixel right of and
      // below the straight place.
      {180, {{9, 10, 3, 1}, {10, 10, 2, 1}, {11, 10, 1, 1}, {12, 10, 0, 1},
             {9, 11, 3, 0}, {10, 11, 2, 0}, {11, 11, 1, 0}, {12, 11, 0, 0}}},
      {270, {{9, 9, 3, 0}, {9, 10, 2, 0}, {9, 11, 1, 0}, {9, 12, 0, 0},
             {10, 9, 3, 1}, {10, 10, 2, 1}, {10, 11, 1, 1}, {10, 12, 0, 1}}},
      // Seven pixels: (2, 1) twice, (0, 0) and (3, 0) nowhere.
      {45, {{9, 9, 0, 1}, {9, 10, 1, 1}, {10, 9, 1, 0}, {10, 10, 2, 1}, {10, 11, 2, 1}, {11, 10, 2, 0}, {11, 11, 3, 1}}},
  };
  // clang-format on
  for (const Turn& t : turns) {
    SCOPED_TRACE(t.angle);
    PaintDestination();
    DDBltRotate(dst, 10, 10, 4, 2, 2, 1, t.angle, src, 0, 0, 0);
    Check([&](int x, int y, uint32_t) -> std::optional<uint32_t> {
      for (const Landing& l : t.pixels)
        if (l.x == x && l.y == y) return Raw(src, l.u, l.v);
      return std::nullopt;
    });
  }
}

TEST_P(GeometryTest, TurnsReadOnlyInsideTheSource) {
  DDSURFACEDATA* src = Pixels(4, 3);
  Paint(src, [&](int, int) { return Next(false); });
  // An 8 x 6 image starting 2 columns left of and 2 rows above the 4 x 3 source: only the source's
  // own pixels are drawn, at the places of the image they stand for.
  PaintDestination();
  DDBltRotate(dst, 10, 10, 8, 6, 4, 3, 0, src, -2, -2, 0);
  Check([&](int x, int y, uint32_t) -> std::optional<uint32_t> {
    const int u = x - 6 - 2, v = y - 7 - 2;
    if (u < 0 || v < 0 || u >= 4 || v >= 3) return std::nullopt;
    return Raw(src, u, v);
  });
  // An image as large as the int range, placed so that its source runs from the source's top-left
  // at the destination's top-left: the source is copied there and nothing else is drawn.
  PaintDestination();
  const int half = INT_MAX / 2;
  DDBltRotate(dst, 10, 10, INT_MAX, INT_MAX, half, half, 0, src, 10 - half, 10 - half, 0);
  Check([&](int x, int y, uint32_t) -> std::optional<uint32_t> {
    if (x >= 4 || y >= 3) return std::nullopt;
    return Raw(src, x, y);
  });
}

// Source offsets (u, v) of lens pixels (j, i), worked out by hand: K = trunc(sqrt(d^2 + R^2)),
// z = sqrt(K^2 - i^2 - j^2), offset trunc(j d / z + 0.5) (so -1 rounds to 0 but +1 stays 1).
TEST_P(GeometryTest, LensOffsetsByHand) {
  DDSURFACEDATA* src = Pixels(15, 13);
  Paint(src, [&](int, int) { return Next(false); });
  struct Offset {
    int j, i, u, v;
  };
  struct Lens {
    int r, d;
    std::vector<Offset> offsets;
  };
  // clang-format off
  const Lens lenses[] = {
      {3, 2, {{-3, 0, -3, 0}, {-2, 0, -1, 0}, {-1, 0, 0, 0}, {0, 0, 0, 0}, {1, 0, 1, 0}, {2, 0, 2, 0}, {3, 0, 3, 0},
              {-2, -2, -3, -3}, {-1, -2, 0, -1}, {0, -2, 0, -1}, {1, -2, 1, -1}, {2, -2, 4, -3},
              {-2, 2, -3, 4}, {-1, 2, 0, 2}, {0, 2, 0, 2}, {1, 2, 1, 2}, {2, 2, 4, 4}}},
      {2, 1, {{-2, 0, -2, 0}, {-1, 0, 0, 0}, {0, 0, 0, 0}, {1, 0, 1, 0}, {2, 0, 2, 0}}},
      // Strength 0: the centre's pixel inside the rim; on the rim the position itself.
      {1, 0, {{0, 0, 0, 0}, {-1, 0, -1, 0}, {1, 0, 1, 0}, {0, -1, 0, -1}, {0, 1, 0, 1}}},
      {3, 0, {{-3, 0, -3, 0}, {3, 0, 3, 0}, {0, -3, 0, -3}, {0, 3, 0, 3}, {-2, 2, 0, 0}, {1, -1, 0, 0}, {2, 0, 0, 0}}},
  };
  // clang-format on
  for (const Lens& l : lenses) {
    SCOPED_TRACE(testing::Message() << "r " << l.r << " d " << l.d);
    PaintDestination();
    ASSERT_TRUE(DDBltLens(dst, 12, 10, l.r, l.d, src, 7, 6, 0, 0, nullptr));
    for (const Offset& o : l.offsets)
      EXPECT_EQ(Raw(dst, 12 + o.j, 10 + o.i), AsWritten(Raw(src, 7 + o.u, 6 + o.v))) << o.j << "," << o.i;
  }
  // K not above d: nothing.
  PaintDestination();
  EXPECT_FALSE(DDBltLens(dst, 12, 10, 2, 2, src, 7, 6, 0, 0, nullptr));
  EXPECT_FALSE(DDBltLens(dst, 12, 10, 2, 5, src, 7, 6, 0, 0, nullptr));
  Check([](int, int, uint32_t) { return std::nullopt; });
}

TEST_P(GeometryTest, LensesReadOnlyInsideTheSource) {
  DDSURFACEDATA* src = Pixels(4, 3);
  Paint(src, [&](int, int) { return Next(false); });
  // Strength 0 around source (1, 1): the disc shows that pixel; the rim's offsets are the positions
  // themselves, which lie off the 4 x 3 source, so the rim is not drawn.
  PaintDestination();
  EXPECT_TRUE(DDBltLens(dst, 12, 10, 10, 0, src, 1, 1, 0, 0, nullptr));
  Check([&](int x, int y, uint32_t) -> std::optional<uint32_t> {
    const int j = x - 12, i = y - 10;
    if (i * i + j * j >= 100) return std::nullopt;
    return AsWritten(Raw(src, 1, 1));
  });
  // A lens far larger than the destination: every destination pixel shows the centre pixel.
  PaintDestination();
  EXPECT_TRUE(DDBltLens(dst, 12, 10, 1000, 0, src, 2, 1, 0, 0, nullptr));
  Check([&](int, int, uint32_t) -> std::optional<uint32_t> { return AsWritten(Raw(src, 2, 1)); });
  // Centred far off the source: nothing is drawn.
  PaintDestination();
  EXPECT_TRUE(DDBltLens(dst, 12, 10, 100000, 100000, src, 1000000, -1000000, 0, 0, nullptr));
  Check([](int, int, uint32_t) { return std::nullopt; });
}

INSTANTIATE_TEST_SUITE_P(AllModes, GeometryTest, ::testing::ValuesIn(kEffectModes), ModeName);

// ---- Direct3D: the clear flag and the rotation quad --------------------------------------------------

class GeometryDirect3DTest : public EffectTest {};

TEST_P(GeometryDirect3DTest, ClearFlagLeavesTheSquaresCornersTransparentBlackAt32Bits) {
  DDSURFACEDATA* src = Pixels(16, 16);
  DDSURFACEDATA* dst = Pixels(16, 16);
  Paint(src, [&](int, int) { return Next(false); });
  const uint32_t ground = Next(false);
  Paint(dst, [&](int, int) { return ground; });
  DDBltLens(dst, 8, 8, 6, 4, src, 8, 8, 0, 1, nullptr);
  EXPECT_EQ(Raw(dst, 2, 2), Bpp() == 32 ? 0u : ground);    // corner of the 13 x 13 square
  EXPECT_EQ(Raw(dst, 14, 14), Bpp() == 32 ? 0u : ground);  // the other corner
  EXPECT_EQ(Raw(dst, 1, 1), ground);                       // outside the square
  EXPECT_NE(Raw(dst, 8, 8), ground);                       // the disc
}

// An 8 x 4 image turned about its centre by the quad lands on its side: source (j, i) at
// (px + oy - 1 - i, py - ox + j).
TEST_P(GeometryDirect3DTest, RotationQuadTurnsAboutThePivotWithTheCurrentState) {
  const int w = 8, h = 4, ox = 4, oy = 2, px = 10, py = 10;
  DDSURFACEDATA* src = RenderTarget(w, h);
  DDSURFACEDATA* dst = RenderTarget(24, 24);
  Paint(src, [&](int, int) { return Next(false); });
  Paint(dst, [](int, int) { return 0u; });
  DDBltRotate(dst, px, py, w, h, ox, oy, 90, src, 0, 0, 1);
  for (int i = 0; i < h; ++i)
    for (int j = 0; j < w; ++j)
      EXPECT_EQ(gfxtest::ReadRgb(dst, px + oy - 1 - i, py - ox + j), gfxtest::ReadRgb(src, j, i)) << j << "," << i;
  EXPECT_EQ(Raw(dst, px + oy, py), 0u);  // beside the turned image
  // Angle 0 is the plain copy; the vertex colour of DDSetAlpha tints it.
  Paint(dst, [](int, int) { return 0u; });
  DDSetAlpha(0xFF000000u);  // black, opaque
  DDBltRotate(dst, px, py, w, h, ox, oy, 0, src, 0, 0, 1);
  DDResetAlpha();
  EXPECT_EQ(gfxtest::ReadRgb(dst, px - ox, py - oy), 0u);
  EXPECT_EQ(Raw(dst, px - ox, py - oy) >> (Bpp() == 32 ? 24 : 15), Bpp() == 32 ? 255u : 1u);
}

INSTANTIATE_TEST_SUITE_P(Direct3D, GeometryDirect3DTest, ::testing::Values(kEffectModes[0], kEffectModes[2]), ModeName);

}  // namespace
