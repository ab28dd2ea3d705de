#pragma once
// Shared set-up of the per-pixel effect tests: a display in each mode (Direct3D 16 bits also full
// screen, where the back buffer has its own layout), surfaces painted pixel by pixel, and the
// channel arithmetic the expected values are computed with, written out here from the drawing rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "graphics_fixture.h"

namespace fxtest {

using gfxtest::Display;

struct EffectMode {
  int d3d;
  int bpp;
  bool fullScreen;
  const char* name;
};
inline const EffectMode kEffectModes[] = {{1, 16, false, "D3D16"}, {1, 16, true, "D3D16Full"}, {1, 32, false, "D3D32"},
                                          {0, 8, false, "DD8"},    {0, 16, false, "DD16"},     {0, 32, false, "DD32"}};
inline std::string ModeName(const ::testing::TestParamInfo<EffectMode>& info) { return info.param.name; }
inline void PrintTo(const EffectMode& m, std::ostream* os) { *os << m.name; }

// Red, green and blue of a pixel, in field units or bytes.
struct Rgb {
  uint32_t r, g, b;
  bool operator==(const Rgb&) const = default;
};
struct Layout {
  int rs, gs, bs;
  uint32_t rm, gm, bm;
  Rgb Split(uint32_t p) const { return {(p >> rs) & rm, (p >> gs) & gm, (p >> bs) & bm}; }
  uint32_t Join(Rgb c) const { return c.r << rs | c.g << gs | c.b << bs; }
};
// Direct3D textures at 16 bits (A1R5G5B5) and the full-screen back buffer (R5G6B5).
inline constexpr Layout kTexture16{10, 5, 0, 31, 31, 31};
inline constexpr Layout kScreen16{11, 5, 0, 31, 63, 31};
inline Layout DirectDraw16() {
  const DDCHANNELLAYOUT& l = g_SurfaceLayout;
  return {l.nRedShift,
          l.nGreenShift,
          l.nBlueShift,
          static_cast<uint32_t>(l.nRedMask),
          static_cast<uint32_t>(l.nGreenMask),
          static_cast<uint32_t>(l.nBlueMask)};
}
inline Rgb Bytes(uint32_t p) { return {(p >> 16) & 255, (p >> 8) & 255, p & 255}; }
inline uint32_t JoinBytes(Rgb c, uint32_t top) { return top << 24 | c.r << 16 | c.g << 8 | c.b; }

class EffectTest : public ::testing::TestWithParam<EffectMode> {
 protected:
  void SetUp() override {
    const EffectMode m = GetParam();
    m_Display = std::make_unique<Display>(gfxtest::Mode{m.d3d, m.bpp, m.name}, m.fullScreen);
    ASSERT_TRUE(m_Display->ok);
  }
  void TearDown() override {
    for (DDSURFACEDATA& sd : m_Surfaces) DDReleaseSurface(&sd);
    m_Surfaces.clear();
    m_Display.reset();
  }
  bool D3D() const { return GetParam().d3d != 0; }
  int Bpp() const { return GetParam().bpp; }
  // A keyed surface that the effects reach pixel by pixel (Direct3D: a system-memory texture).
  DDSURFACEDATA* Pixels(int w, int h) { return Make(w, h, 1); }
  // A keyed render-target texture (Direct3D; an ordinary surface in DirectDraw mode).
  DDSURFACEDATA* RenderTarget(int w, int h) { return Make(w, h, 0); }

  static void Paint(DDSURFACEDATA* sd, const std::function<uint32_t(int, int)>& raw) {
    cSurfaceLock lock(sd);
    ASSERT_TRUE(lock.IsLocked());
    DDSURFACEDATA* s = lock.Surface();
    for (int y = 0; y < s->nHeight; ++y)
      for (int x = 0; x < s->nWidth; ++x) gfx::StorePixel(lock.PixelAddress(x, y), lock.BytesPerPixel(), raw(x, y));
  }
  static uint32_t Raw(DDSURFACEDATA* sd, int x, int y) { return gfxtest::ReadRaw(sd, x, y); }
  // Fills the top-left w x h of a surface with opaque pixels of Next; the values row by row.
  std::vector<uint32_t> PaintRandom(DDSURFACEDATA* sd, int w, int h) {
    std::vector<uint32_t> values;
    cSurfaceLock lock(sd);
    EXPECT_TRUE(lock.IsLocked());
    if (!lock.IsLocked()) return values;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const uint32_t v = Next(false);
        gfx::StorePixel(lock.PixelAddress(x, y), lock.BytesPerPixel(), v);
        values.push_back(v);
      }
    return values;
  }

  // The value a keyed effect does not draw.
  uint32_t Transparent() const {
    if (!D3D()) return g_dwColorKey;
    return Bpp() == 16 ? 0x1234u & ~0xA000u : 0x00123456u;
  }
  bool IsTransparent(uint32_t p) const {
    if (!D3D()) return p == g_dwColorKey;
    return Bpp() == 16 ? (p & 0xA000) == 0 : (p >> 24) == 0;
  }
  // A pseudo-random pixel of the display's depth; about one in five transparent when asked.
  uint32_t Next(bool withTransparent = true) {
    m_nSeed = m_nSeed * 1103515245u + 12345u;
    const uint32_t v = m_nSeed >> 3;
    if (withTransparent && (v >> 20) % 5 == 0) return Transparent();
    uint32_t p;
    switch (Bpp()) {
      case 8: p = v & 255; break;
      case 16: p = v & 0xFFFF; break;
      default: p = v * 2654435761u; break;
    }
    if (D3D() && Bpp() == 16) p |= 0x8000;       // opaque texels have the alpha bit
    if (D3D() && Bpp() == 32) p |= 0xFF000000u;  // and alpha 255
    if (!D3D() && Bpp() == 16) p &= 0xFFFF;      //
    if (!D3D() && p == g_dwColorKey) p ^= 1;     // an opaque pixel is never the key
    return p;
  }

  std::unique_ptr<Display> m_Display;

 private:
  DDSURFACEDATA* Make(int w, int h, int kind) {
    m_Surfaces.emplace_back();
    DDSURFACEDATA* sd = &m_Surfaces.back();
    DDInitSurfaceData(sd);
    EXPECT_TRUE(DDCreateSurface(sd, w, h, 1, kind == 1 ? 1 : 0, kind, 0, 0));
    return sd;
  }
  std::deque<DDSURFACEDATA> m_Surfaces;
  uint32_t m_nSeed = 2024;
};

}  // namespace fxtest
