// The pixel-copy path of Direct3D blits (system-memory sources, or destinations that are not render
// targets): 1:1 copies cut at every edge of both surfaces, the 16-bit transparency test on bits 15
// and 13, the 32-bit test on alpha, and the move into the screen's 16-bit layout on the back buffer.
#include <gtest/gtest.h>

#include <algorithm>

#include "graphics_fixture.h"

using namespace gfxtest;

namespace {

struct PixelCopyMode {
  int bpp;
  bool fullScreen;  // 16 bits: the back buffer is R5G6B5 instead of the surfaces' A1R5G5B5
  bool toBackBuffer;
  const char* name;
};

class PixelCopyTest : public ::testing::TestWithParam<PixelCopyMode> {};

// The part of a surface the cases reach: its texture area, at most 40 x 40 pixels.
int SpanW(const DDSURFACEDATA* sd) { return std::min(sd->nTexWidth, 40); }
int SpanH(const DDSURFACEDATA* sd) { return std::min(sd->nTexHeight, 40); }

std::vector<uint32_t> Snapshot(DDSURFACEDATA* sd) {
  std::vector<uint32_t> out;
  cSurfaceLock lock(sd);
  if (!lock.IsLocked()) return out;
  for (int y = 0; y < SpanH(sd); ++y)
    for (int x = 0; x < SpanW(sd); ++x) out.push_back(gfx::LoadPixel(lock.PixelAddress(x, y), lock.BytesPerPixel()));
  return out;
}

TEST_P(PixelCopyTest, CopiesMatchThePixelByPixelRule) {
  const PixelCopyMode m = GetParam();
  Display d({1, m.bpp, m.name}, m.fullScreen);
  ASSERT_TRUE(d.ok);
  DDSURFACEDATA src{}, other{};
  ASSERT_TRUE(DDCreateSurface(&src, 24, 12, 1, 1, 1, 0, 0));  // system memory: the pixel path
  ASSERT_TRUE(DDCreateSurface(&other, 20, 10, 1, 1, 1, 0, 0));
  DDSURFACEDATA* dst = m.toBackBuffer ? &g_BackBufferSD : &other;
  const bool screen = m.toBackBuffer && m.bpp == 16 && m.fullScreen;
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  {
    cSurfaceLock lock(&src);
    ASSERT_TRUE(lock.IsLocked());
    for (int y = 0; y < src.nTexHeight; ++y)
      for (int x = 0; x < src.nTexWidth; ++x) {
        uint32_t v = next() >> 3;
        // About a third transparent: bits 15 and 13 clear (16 bits) or alpha 0 (32 bits).
        if ((x + 2 * y) % 3 == 0) v &= m.bpp == 16 ? ~0xA000u : 0x00FFFFFFu;
        gfx::StorePixel(lock.PixelAddress(x, y), lock.BytesPerPixel(), m.bpp == 16 ? v & 0xFFFF : v);
      }
  }
  struct Case {
    int x, y, w, h, sx, sy;
  };
  const Case cases[] = {
      {2, 1, 8, 5, 3, 2},     // inside both
      {-3, -2, 9, 6, 0, 0},   // hangs over the destination's top-left
      {4, 3, 10, 8, -4, -2},  // starts before the source's top-left
      {15, 6, 12, 9, 5, 1},   // runs past the destination's right and bottom
      {0, 0, 30, 20, 14, 6},  // runs past the source's right and bottom
      {-10, 0, 4, 4, 0, 0},   // wholly left of the destination
  };
  for (int flags : {0, 1}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << "flags " << flags << " rect " << c.x << "," << c.y << " " << c.w << "x" << c.h
                                      << " from " << c.sx << "," << c.sy);
      {
        cSurfaceLock lock(dst);
        ASSERT_TRUE(lock.IsLocked());
        for (int y = 0; y < SpanH(dst); ++y)
          for (int x = 0; x < SpanW(dst); ++x)
            gfx::StorePixel(lock.PixelAddress(x, y), lock.BytesPerPixel(),
                            (next() >> 5) & (m.bpp == 16 ? 0xFFFF : ~0u));
      }
      const std::vector<uint32_t> source = Snapshot(&src);
      std::vector<uint32_t> expect = Snapshot(dst);
      for (int i = 0; i < c.h; ++i)
        for (int j = 0; j < c.w; ++j) {
          const int dx = c.x + j, dy = c.y + i, sx = c.sx + j, sy = c.sy + i;
          if (dx < 0 || dy < 0 || dx >= dst->nTexWidth || dy >= dst->nTexHeight) continue;
          if (sx < 0 || sy < 0 || sx >= src.nTexWidth || sy >= src.nTexHeight) continue;
          const uint32_t p = source[static_cast<size_t>(sy) * SpanW(&src) + sx];
          if (flags == 1 && (m.bpp == 16 ? (p & 0xA000) == 0 : (p >> 24) == 0)) continue;
          uint32_t out = p;
          if (screen) out = (p >> 10 & 31) << 11 | (p >> 5 & 31) * 2 << 5 | (p & 31);  // A1R5G5B5 -> R5G6B5
          ASSERT_LT(dx, SpanW(dst));
          ASSERT_LT(dy, SpanH(dst));
          expect[static_cast<size_t>(dy) * SpanW(dst) + dx] = out;
        }
      DDBlt(dst, c.x, c.y, c.w, c.h, &src, c.sx, c.sy, flags);
      const std::vector<uint32_t> got = Snapshot(dst);
      ASSERT_EQ(got.size(), expect.size());
      for (size_t k = 0; k < got.size(); ++k)
        ASSERT_EQ(got[k], expect[k]) << "at " << k % SpanW(dst) << "," << k / SpanW(dst);
    }
  }
  DDReleaseSurface(&src);
  DDReleaseSurface(&other);
}

// Scaled pixel copies: column j takes source column sx + trunc(j * sw / w); a negative (mirrored)
// width reads leftward from sx - 1; rows likewise; keyed copies skip transparent source pixels.
TEST(PixelCopyScaled, ColumnsAndRowsAreTruncatedAndMirroredLeftward) {
  for (int bpp : {16, 32}) {
    SCOPED_TRACE(bpp);
    Display d({1, bpp, "D3D"});
    ASSERT_TRUE(d.ok);
    DDSURFACEDATA src{}, dst{};
    ASSERT_TRUE(DDCreateSurface(&src, 4, 2, 1, 1, 1, 0, 0));  // system memory: the pixel path
    ASSERT_TRUE(DDCreateSurface(&dst, 8, 4, 1, 1, 1, 0, 0));
    const uint32_t opaque = bpp == 16 ? 0x8000u : 0xFF000000u;
    auto value = [&](int x, int y) {
      return x == 1 && y == 1 ? 0x11u : opaque | (y * 4 + x + 1);
    };  // (1, 1) transparent
    {
      cSurfaceLock lock(&src);
      ASSERT_TRUE(lock.IsLocked());
      for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) gfx::StorePixel(lock.PixelAddress(x, y), lock.BytesPerPixel(), value(x, y));
    }
    struct Case {
      int w, h, sx, sy, sw, sh, flags;
      std::array<int, 8> columns;  // source column of each destination column, -1 = untouched
      std::array<int, 4> rows;
    };
    const Case cases[] = {
        {8, 4, 0, 0, 4, 2, 0, {0, 0, 1, 1, 2, 2, 3, 3}, {0, 0, 1, 1}},
        {8, 4, 4, 2, -4, -2, 0, {3, 3, 2, 2, 1, 1, 0, 0}, {1, 1, 0, 0}},
        {2, 1, 0, 0, 4, 2, 0, {0, 2, -1, -1, -1, -1, -1, -1}, {0, -1, -1, -1}},
        {8, 4, 0, 0, 4, 2, 1, {0, 0, 1, 1, 2, 2, 3, 3}, {0, 0, 1, 1}},
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " from " << c.sx << "," << c.sy << " " << c.sw << "x"
                                      << c.sh << " flags " << c.flags);
      const uint32_t background = opaque | 0x3E0;
      {
        cSurfaceLock lock(&dst);
        for (int y = 0; y < 4; ++y)
          for (int x = 0; x < 8; ++x) gfx::StorePixel(lock.PixelAddress(x, y), lock.BytesPerPixel(), background);
      }
      DDBltStretch(&dst, 0, 0, c.w, c.h, &src, c.sx, c.sy, c.sw, c.sh, c.flags);
      for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) {
          const int sx = c.columns[x], sy = c.rows[y];
          uint32_t expect = background;
          if (sx >= 0 && sy >= 0 && !(c.flags == 1 && sx == 1 && sy == 1)) expect = value(sx, sy);
          EXPECT_EQ(ReadRaw(&dst, x, y), expect) << x << "," << y;
        }
    }
    DDReleaseSurface(&src);
    DDReleaseSurface(&dst);
  }
}

const PixelCopyMode kPixelCopyModes[] = {
    {16, false, false, "D3D16_surface"},
    {16, false, true, "D3D16_window_back_buffer"},
    {16, true, true, "D3D16_full_screen_back_buffer"},
    {32, false, false, "D3D32_surface"},
    {32, false, true, "D3D32_back_buffer"},
};
INSTANTIATE_TEST_SUITE_P(Modes, PixelCopyTest, ::testing::ValuesIn(kPixelCopyModes),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
