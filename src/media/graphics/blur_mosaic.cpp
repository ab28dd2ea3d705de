// The two filters over locked pixels: blur (each pixel the average of a box around it) and mosaic
// (square cells of one colour).
#include <algorithm>
#include <cstdint>
#include <vector>

#include "media/graphics/draw_trace.h"
#include "media/graphics/pixel_effects.h"
#include "media/graphics/pixel_rules.h"

namespace {

// The red, green and blue of a source pixel in the units the filters average: 16-bit field values
// or bytes (DirectDraw 16 bits widens them for the mosaic itself).
DDFIELDS FilterChannels(uint32_t p) { return g_nDisplayBpp == 16 ? DDSplit16(p, g_SurfaceLayout) : DDSplit32(p); }

// Sums of the counted positions of a rectangle of the block, answered for any box in four look-ups:
// entry (i, j) holds the sums over rows [0, i) and columns [0, j) of the rectangle.
class cBoxSums {
 public:
  void Build(int rows, int columns) {
    m_nColumns = columns + 1;
    m_Sums.assign(static_cast<size_t>(rows + 1) * static_cast<size_t>(m_nColumns), cSum{});
  }
  // Adds a counted position (i, j) of the rectangle; positions must come row by row, left to right.
  void Put(int i, int j, const DDFIELDS& c) { At(i + 1, j + 1) = {c.r, c.g, c.b, 1}; }
  // Turns the single entries into running sums.
  void Accumulate(int rows, int columns) {
    for (int i = 1; i <= rows; ++i)
      for (int j = 1; j <= columns; ++j) {
        cSum& s = At(i, j);
        const cSum &up = At(i - 1, j), &left = At(i, j - 1), &corner = At(i - 1, j - 1);
        s.r += up.r + left.r - corner.r;
        s.g += up.g + left.g - corner.g;
        s.b += up.b + left.b - corner.b;
        s.n += up.n + left.n - corner.n;
      }
  }
  struct cSum {
    uint64_t r = 0, g = 0, b = 0, n = 0;
  };
  // The sums over rows [i0, i1) and columns [j0, j1) of the rectangle.
  cSum Box(int i0, int i1, int j0, int j1) const {
    const cSum &a = At(i1, j1), &b = At(i0, j1), &c = At(i1, j0), &d = At(i0, j0);
    return {a.r - b.r - c.r + d.r, a.g - b.g - c.g + d.g, a.b - b.b - c.b + d.b, a.n - b.n - c.n + d.n};
  }

 private:
  cSum& At(int i, int j) {
    return m_Sums[static_cast<size_t>(i) * static_cast<size_t>(m_nColumns) + static_cast<size_t>(j)];
  }
  const cSum& At(int i, int j) const {
    return m_Sums[static_cast<size_t>(i) * static_cast<size_t>(m_nColumns) + static_cast<size_t>(j)];
  }
  int m_nColumns = 1;
  std::vector<cSum> m_Sums;
};

// The span [first, last) of block offsets (0 .. len) that reach the destination from pos.
bool DestinationSpan(int64_t pos, int64_t len, int size, int64_t& first, int64_t& last) {
  first = std::max<int64_t>(0, -pos);
  last = std::min<int64_t>(len, size - pos);
  return first < last;
}

// A blurred pixel in the destination's form.
uint32_t BlurredPixel(const DDFIELDS& avg, uint32_t dstPixel, bool screen, const DDALPHA* alpha) {
  const DDCHANNELLAYOUT& l = g_SurfaceLayout;
  if (lpDTCon) {
    if (g_nDisplayBpp == 16) {
      uint32_t p = DDCompose16(avg, l) | static_cast<uint32_t>(l.nAlphaMask) << l.nAlphaShift;
      p = DDAddPairColour(p, alpha);
      return screen ? DDSurfaceToScreen16(p) : p;
    }
    return DDAddPairColour(DDCompose32(avg, 255), alpha) | 0xFF000000u;
  }
  if (g_nDisplayBpp == 16) return DDCompose16(avg, l);
  return DDCompose32(avg, dstPixel >> 24);
}

}  // namespace

bool DDBltBlur(DDSURFACEDATA* dst, int x, int y, int w, int h, int rx, int ry, DDSURFACEDATA* src, int sx, int sy,
               int flags, const DDALPHA* alpha) {
  if (DDTraceCall("DDBltBlur", dst, src,
                  DDTraceArgsWithPair({double(x), double(y), double(w), double(h), double(rx), double(ry), double(sx),
                                       double(sy), double(flags)},
                                      alpha)))
    return true;
  if (!dst || !src) return false;
  // A radius of 0 has an empty box; a negative one is taken as empty too.
  if (rx <= 0 || ry <= 0 || w <= 0 || h <= 0) return true;
  if (g_nDisplayBpp != 16 && g_nDisplayBpp != 32) return true;
  DDResolveEffectSurfaces(dst, src);
  // A box wider than the block reaches the whole block, as the block's own width does.
  rx = std::min(rx, w);
  ry = std::min(ry, h);
  int64_t oj0, oj1, oi0, oi1;
  if (!DestinationSpan(x, w, dst->nWidth, oj0, oj1) || !DestinationSpan(y, h, dst->nHeight, oi0, oi1)) return true;
  // The part of the block the boxes of the drawn pixels reach; positions outside the source surface
  // never count (the block is read only where the source has pixels).
  const int64_t ca = std::max<int64_t>({0, oj0 - rx, -int64_t{sx}});
  const int64_t cb = std::min<int64_t>({int64_t{w}, oj1 + rx - 1, int64_t{src->nWidth} - sx});
  const int64_t ra = std::max<int64_t>({0, oi0 - ry, -int64_t{sy}});
  const int64_t rb = std::min<int64_t>({int64_t{h}, oi1 + ry - 1, int64_t{src->nHeight} - sy});
  if (ca >= cb || ra >= rb) return true;
  cEffectLocks locks(dst, src);
  if (!locks.IsDstLocked()) return false;
  if (!locks.Ok()) return true;
  const int rows = static_cast<int>(rb - ra), columns = static_cast<int>(cb - ca);
  const bool keyed = flags == 1;
  // Kept between calls so that a running effect does not allocate every frame.
  thread_local cBoxSums sums;
  sums.Build(rows, columns);
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < columns; ++j) {
      const uint32_t p = DDReadPixel(locks.Src(), static_cast<int>(sx + ca + j), static_cast<int>(sy + ra + i));
      if (!keyed || !DDIsKeyedOut(p)) sums.Put(i, j, FilterChannels(p));
    }
  sums.Accumulate(rows, columns);
  // The blurred pixels are written after every source pixel was read, so a source that is also
  // the destination is blurred from its picture as it was.
  const bool screen = DDIsScreenLayoutTarget(dst);
  for (int64_t i = oi0; i < oi1; ++i) {
    if (i < ra || i >= rb) continue;  // centre outside the source
    for (int64_t j = oj0; j < oj1; ++j) {
      if (j < ca || j >= cb) continue;
      // The centre counts exactly when it is drawn (inside the source, not transparent when keyed).
      const int ci = static_cast<int>(i - ra), cj = static_cast<int>(j - ca);
      if (sums.Box(ci, ci + 1, cj, cj + 1).n == 0) continue;
      const int i0 = static_cast<int>(std::max(i - ry, ra) - ra), i1 = static_cast<int>(std::min(i + ry, rb) - ra);
      const int j0 = static_cast<int>(std::max(j - rx, ca) - ca), j1 = static_cast<int>(std::min(j + rx, cb) - ca);
      const cBoxSums::cSum s = sums.Box(i0, i1, j0, j1);
      if (s.n == 0) continue;
      const DDFIELDS avg = {static_cast<uint32_t>(s.r / s.n), static_cast<uint32_t>(s.g / s.n),
                            static_cast<uint32_t>(s.b / s.n)};
      const int dx = static_cast<int>(x + j), dy = static_cast<int>(y + i);
      DDWritePixel(locks.Dst(), dx, dy, BlurredPixel(avg, DDReadPixel(locks.Dst(), dx, dy), screen, alpha));
    }
  }
  return true;
}

namespace {

// DirectDraw at 16 and 32 bits: the average of a cell's source pixels that count (16 bits: fields
// widened to 0-255 for the sum, narrowed back); false when none counts.
bool CellAverage(const cSurfaceLock& src, DDSURFACEDATA* srcSD, int64_t x0, int64_t y0, int64_t x1, int64_t y1,
                 bool keyed, uint32_t& out) {
  const DDCHANNELLAYOUT& l = g_SurfaceLayout;
  uint64_t r = 0, g = 0, b = 0, n = 0;
  for (int64_t py = std::max<int64_t>(y0, 0); py < std::min<int64_t>(y1, srcSD->nHeight); ++py)
    for (int64_t px = std::max<int64_t>(x0, 0); px < std::min<int64_t>(x1, srcSD->nWidth); ++px) {
      const uint32_t p = DDReadPixel(src, static_cast<int>(px), static_cast<int>(py));
      if (keyed && DDIsKeyedOut(p)) continue;
      if (g_nDisplayBpp == 16) {
        const DDFIELDS f = DDSplit16(p, l);
        r += DDWidenField(f.r, l.nRedMask);
        g += DDWidenField(f.g, l.nGreenMask);
        b += DDWidenField(f.b, l.nBlueMask);
      } else {
        const DDFIELDS f = DDSplit32(p);
        r += f.r;
        g += f.g;
        b += f.b;
      }
      ++n;
    }
  if (n == 0) return false;
  const DDFIELDS avg = {static_cast<uint32_t>(r / n), static_cast<uint32_t>(g / n), static_cast<uint32_t>(b / n)};
  if (g_nDisplayBpp == 16) {
    out = DDCompose16(
        {DDNarrowField(avg.r, l.nRedMask), DDNarrowField(avg.g, l.nGreenMask), DDNarrowField(avg.b, l.nBlueMask)}, l);
  } else {
    out = DDCompose32(avg, 0);
  }
  return !(keyed && out == g_dwColorKey);
}

}  // namespace

bool DDBltMosaic(DDSURFACEDATA* dst, int x, int y, int w, int h, int n, DDSURFACEDATA* src, int sx, int sy, int flags,
                 const DDALPHA* alpha) {
  if (DDTraceCall(
          "DDBltMosaic", dst, src,
          DDTraceArgsWithPair(
              {double(x), double(y), double(w), double(h), double(n), double(sx), double(sy), double(flags)}, alpha)))
    return true;
  if (!dst || !src) return false;
  // A cell of no pixels is no mosaic; a negative size is taken as none too.
  if (n <= 0 || w <= 0 || h <= 0) return true;
  if (g_nDisplayBpp != 8 && g_nDisplayBpp != 16 && g_nDisplayBpp != 32) return true;
  DDResolveEffectSurfaces(dst, src);
  int64_t oj0, oj1, oi0, oi1;
  if (!DestinationSpan(x, w, dst->nWidth, oj0, oj1) || !DestinationSpan(y, h, dst->nHeight, oi0, oi1)) return true;
  cEffectLocks locks(dst, src);
  if (!locks.IsDstLocked()) return false;
  if (!locks.Ok()) return true;
  const bool keyed = flags == 1;
  const bool screen = DDIsScreenLayoutTarget(dst);
  const bool averages = !lpDTCon && g_nDisplayBpp != 8;
  const int64_t step = n;
  // Only the cells that reach the destination are visited.
  for (int64_t ci = oi0 / step * step; ci < oi1; ci += step) {
    for (int64_t cj = oj0 / step * step; cj < oj1; cj += step) {
      uint32_t colour;
      if (averages) {
        if (!CellAverage(locks.Src(), src, sx + cj, sy + ci, sx + std::min<int64_t>(cj + step, w),
                         sy + std::min<int64_t>(ci + step, h), keyed, colour))
          continue;
      } else {
        if (!DDInsideSurface(src, sx + cj, sy + ci)) continue;
        colour = DDReadPixel(locks.Src(), static_cast<int>(sx + cj), static_cast<int>(sy + ci));
        if (keyed && DDIsKeyedOut(colour)) continue;
        if (lpDTCon) {
          colour = DDAddPairColour(colour, alpha);
          if (g_nDisplayBpp == 32) colour |= 0xFF000000u;
          if (screen) colour = DDSurfaceToScreen16(colour);
        }
      }
      for (int64_t i = std::max(ci, oi0); i < std::min({ci + step, oi1}); ++i)
        for (int64_t j = std::max(cj, oj0); j < std::min({cj + step, oj1}); ++j) {
          const int dx = static_cast<int>(x + j), dy = static_cast<int>(y + i);
          uint32_t out = colour;
          if (averages && g_nDisplayBpp == 32) out = (DDReadPixel(locks.Dst(), dx, dy) & 0xFF000000u) | colour;
          DDWritePixel(locks.Dst(), dx, dy, out);
        }
    }
  }
  return true;
}
