#pragma once
// Shared set-up of the graphics tests: bitmaps built byte by byte, a game folder in a temporary
// directory, and a display brought up in one of the five modes (Direct3D 16/32, DirectDraw 8/16/32).
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "media/graphics/graphics.h"
#include "platform/clock.h"
#include "platform/gfx/d3d_device.h"
#include "platform/gfx/directdraw.h"
#include "platform/gfx/pixel_format.h"

namespace gfxtest {

// A Windows bitmap straight from the file layout: 24-bit (palette empty) or 8-bit (palette given),
// bottom-up rows padded to 4 bytes.
inline std::vector<uint8_t> MakeBmp(int w, int h, const std::function<uint32_t(int, int)>& pixel,
                                    const std::vector<uint32_t>& palette = {}) {
  const bool indexed = !palette.empty();
  const int bpp = indexed ? 8 : 24;
  const int rowBytes = ((w * bpp / 8) + 3) & ~3;
  const int paletteBytes = indexed ? 256 * 4 : 0;
  const uint32_t offset = 14 + 40 + paletteBytes;
  const uint32_t size = offset + rowBytes * h;
  std::vector<uint8_t> b(size, 0);
  auto put16 = [&](size_t at, uint32_t v) {
    b[at] = v & 255;
    b[at + 1] = (v >> 8) & 255;
  };
  auto put32 = [&](size_t at, uint32_t v) {
    put16(at, v & 0xFFFF);
    put16(at + 2, v >> 16);
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, size);
  put32(10, offset);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(w));
  put32(22, static_cast<uint32_t>(h));
  put16(26, 1);
  put16(28, static_cast<uint32_t>(bpp));
  put32(34, static_cast<uint32_t>(rowBytes * h));
  if (indexed) {
    put32(46, 256);
    for (size_t i = 0; i < 256; ++i) {
      uint32_t c = i < palette.size() ? palette[i] : 0;
      b[54 + i * 4] = c & 255;
      b[54 + i * 4 + 1] = (c >> 8) & 255;
      b[54 + i * 4 + 2] = (c >> 16) & 255;
    }
  }
  for (int y = 0; y < h; ++y) {
    uint8_t* row = &b[offset + static_cast<size_t>(h - 1 - y) * rowBytes];
    for (int x = 0; x < w; ++x) {
      uint32_t v = pixel(x, y);
      if (indexed) {
        row[x] = static_cast<uint8_t>(v);
      } else {
        row[x * 3] = v & 255;
        row[x * 3 + 1] = (v >> 8) & 255;
        row[x * 3 + 2] = (v >> 16) & 255;
      }
    }
  }
  return b;
}

inline void WriteFile(const std::filesystem::path& p, const std::vector<uint8_t>& bytes) {
  std::filesystem::create_directories(p.parent_path());
  FILE* f = std::fopen(p.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

constexpr uint32_t kMagenta = 0xFF00FF;
// The test palette: entry 0 magenta (transparent), entry i = (i, 255 - i, i / 2), 241 white.
inline uint32_t PaletteColour(int i) {
  if (i == 0) return kMagenta;
  if (i == 241) return 0xFFFFFF;
  return static_cast<uint32_t>(i) << 16 | static_cast<uint32_t>(255 - i) << 8 | static_cast<uint32_t>(i / 2);
}

// A bitmap over the test palette: pixel(x, y) gives each pixel's palette index.
inline void WritePaletteBmp(const std::filesystem::path& p, int w, int h,
                            const std::function<uint32_t(int, int)>& pixel) {
  std::vector<uint32_t> pal;
  for (int i = 0; i < 256; ++i) pal.push_back(PaletteColour(i));
  WriteFile(p, MakeBmp(w, h, pixel, pal));
}

// Display modes under test.
struct Mode {
  int d3d;
  int bpp;
  const char* name;
};
inline const Mode kModes[] = {{1, 16, "D3D16"}, {1, 32, "D3D32"}, {0, 8, "DD8"}, {0, 16, "DD16"}, {0, 32, "DD32"}};

// A game folder with the palette bitmap and a sprite sheet, and a display in the given mode.
class Display {
 public:
  explicit Display(Mode mode, bool fullScreen = false) : m_mode(mode) {
    SetVirtualClock(true);
    m_oldDir = std::filesystem::current_path();
    char tmpl[] = "/tmp/qc4_gfx_XXXXXX";
    m_dir = mkdtemp(tmpl);
    std::filesystem::current_path(m_dir);
    std::vector<uint32_t> pal;
    for (int i = 0; i < 256; ++i) pal.push_back(PaletteColour(i));
    // Palette picture: 8-bit, top-left pixel index 0; the 16 x 16 block at (0, 8) holds entry r*16+c.
    WriteFile(m_dir / "bmp/plt/Palette.bmp",
              MakeBmp(
                  32, 24,
                  [](int x, int y) { return (y >= 8 && x < 16) ? static_cast<uint32_t>((y - 8) * 16 + x) : 0u; }, pal));
    ok = DDInit(mode.d3d, nullptr, 640, 480, mode.bpp, 1, fullScreen ? 0 : 1, 1, 60, 0, g_SurfaceData, g_SurfaceInfo,
                kSurfaceTableSize, 0);
    if (!ok) return;
    LinkMirrorSurfaces();
    ok = DDLoadPaletteFromFile(g_GamePalette, "bmp\\plt\\Palette.bmp", 0);
    std::copy(g_GamePalette, g_GamePalette + 256, g_WorkPalette);
    ok = ok && DDSetTransmitFromFile("bmp\\plt\\Palette.bmp") == 1;
  }
  ~Display() {
    for (cFont& f : g_Font) f.Release();
    DDRelease();
    for (DDSURFACEDATA& sd : g_SurfaceData) std::memset(&sd, 0, sizeof sd);
    DDResetFadePhases();
    std::filesystem::current_path(m_oldDir);
    std::error_code ec;
    std::filesystem::remove_all(m_dir, ec);
  }
  const std::filesystem::path& Dir() const { return m_dir; }
  bool ok = false;

 private:
  Mode m_mode;
  std::filesystem::path m_oldDir;
  std::filesystem::path m_dir;
};

// The colour (0xRRGGBB) of a pixel of a surface, read through the game's lock, in the display's
// format (8 bits: through the game palette).
inline uint32_t ReadRgb(DDSURFACEDATA* sd, int x, int y) {
  cSurfaceLock lock;
  if (!lock.Lock(sd)) return 0xDEADBEEF;
  DDSURFACEDATA* s = lock.Surface();
  gfx::Surface* surface =
      lpDTCon ? (s == &g_BackBufferSD || !s->lpDT->lpSystemSurface ? s->lpDT->lpSurface : s->lpDT->lpSystemSurface)
              : s->lpDD->lpSurface;
  uint32_t raw = gfx::LoadPixel(lock.PixelAddress(x, y), lock.BytesPerPixel());
  if (g_nDisplayBpp == 8) {
    const PALETTEENTRY& e = g_GamePalette[raw & 255];
    return static_cast<uint32_t>(e.red) << 16 | e.green << 8 | e.blue;
  }
  return gfx::PixelToArgb(surface->GetFormat(), raw) & 0xFFFFFF;
}

// The raw pixel value of a surface.
inline uint32_t ReadRaw(DDSURFACEDATA* sd, int x, int y) {
  cSurfaceLock lock;
  if (!lock.Lock(sd)) return 0xDEADBEEF;
  return gfx::LoadPixel(lock.PixelAddress(x, y), lock.BytesPerPixel());
}

// A colour as the display keeps it (16 bits: narrowed to 5/6 bits, read back widened).
inline uint32_t AsShown(uint32_t rgb) {
  if (g_nDisplayBpp != 16) return rgb;
  gfx::Format f = lpDTCon ? gfx::Format::A1R5G5B5 : gfx::Format::R5G6B5;
  return gfx::PixelToArgb(f, gfx::ArgbToPixel(f, 0xFF000000u | rgb)) & 0xFFFFFF;
}

}  // namespace gfxtest
