// The two geometric effects: an image turned about a pivot (a textured quad in Direct3D when it
// can, else a 10-bit fixed-point copy) and a circular magnifying lens over locked pixels.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "media/graphics/bitmap_copy.h"
#include "media/graphics/draw_trace.h"
#include "media/graphics/pixel_effects.h"
#include "media/graphics/pixel_rules.h"

namespace {

// Degrees to radians as these two effects convert (a constant a little below the exact one).
constexpr double kRotateRadiansPerDegree = 0.017453292519943278;

int64_t FixedTurn(int64_t c, int64_t s, int64_t dx, int64_t dy) { return (c * dx - s * dy) >> 10; }

void RotateQuad(DDSURFACEDATA* dst, DDSURFACEDATA* original, DDSURFACEDATA* src, int px, int py, int w, int h, int ox,
                int oy, int angle, int sx, int sy) {
  const float radians = static_cast<float>(angle * kRotateRadiansPerDegree);
  const float s = std::sin(radians), c = std::cos(radians);
  int sw = w, sh = h;
  DDMirrorSource(original, sx, sy, sw, sh);
  const float tw = static_cast<float>(std::max(src->nTexWidth, 1));
  const float th = static_cast<float>(std::max(src->nTexHeight, 1));
  const float baseX = static_cast<float>(px) - 0.5f + static_cast<float>(ox - w / 2);
  const float baseY = static_cast<float>(py) - 0.5f + static_cast<float>(oy - h / 2);
  const gfx::Colour diffuse = lpDTCon->dwVertexColor;
  gfx::Vertex v[4];
  const int corners[4][2] = {{0, 0}, {0, h}, {w, 0}, {w, h}};
  for (int k = 0; k < 4; ++k) {
    const float dx = static_cast<float>(corners[k][0] - ox), dy = static_cast<float>(corners[k][1] - oy);
    const float u = static_cast<float>(corners[k][0] == 0 ? sx : sx + sw) / tw;
    const float t = static_cast<float>(corners[k][1] == 0 ? sy : sy + sh) / th;
    v[k] = {baseX + c * dx - s * dy, baseY + s * dx + c * dy, 0, 1, diffuse, u, t};
  }
  DDSetQuadStage(lpDTCon->nColorOp, lpDTCon->nAlphaOp);
  DDDrawEffectQuad(dst, src, v);
}

void RotatePixels(DDSURFACEDATA* dst, DDSURFACEDATA* src, int px, int py, int w, int h, int ox, int oy, int angle,
                  int sx, int sy, bool keyed) {
  const double radians = angle * kRotateRadiansPerDegree;
  const int64_t s = static_cast<int64_t>(1024 * std::sin(radians)), c = static_cast<int64_t>(1024 * std::cos(radians));
  const int64_t back_s = static_cast<int64_t>(1024 * std::sin(-radians));
  const int64_t back_c = static_cast<int64_t>(1024 * std::cos(-radians));
  // The turned image's bounding box, widened by two pixels.
  const int64_t cornerX[4] = {-ox, int64_t{w} - 1 - ox, -ox, int64_t{w} - 1 - ox};
  const int64_t cornerY[4] = {-oy, -oy, int64_t{h} - 1 - oy, int64_t{h} - 1 - oy};
  int64_t minX = INT64_MAX, maxX = INT64_MIN, minY = INT64_MAX, maxY = INT64_MIN;
  for (int k = 0; k < 4; ++k) {
    const int64_t X = ox + FixedTurn(c, s, cornerX[k], cornerY[k]);
    const int64_t Y = oy + ((s * cornerX[k] + c * cornerY[k]) >> 10);
    minX = std::min(minX, X);
    maxX = std::max(maxX, X);
    minY = std::min(minY, Y);
    maxY = std::max(maxY, Y);
  }
  // Only the part of the box that lands on the destination is visited.
  const int64_t shiftX = int64_t{px} - ox, shiftY = int64_t{py} - oy;
  const int64_t x0 = std::max(minX - 2, -shiftX), x1 = std::min(maxX + 1, dst->nWidth - 1 - shiftX);
  const int64_t y0 = std::max(minY - 2, -shiftY), y1 = std::min(maxY + 1, dst->nHeight - 1 - shiftY);
  if (x0 > x1 || y0 > y1) return;
  cEffectLocks locks(dst, src);
  if (!locks.Ok()) return;
  for (int64_t Y = y0; Y <= y1; ++Y) {
    for (int64_t X = x0; X <= x1; ++X) {
      const int64_t u = ox + FixedTurn(back_c, back_s, X - ox, Y - oy);
      const int64_t v = oy + ((back_s * (X - ox) + back_c * (Y - oy)) >> 10);
      if (u < 0 || u >= w || v < 0 || v >= h || !DDInsideSurface(src, sx + u, sy + v)) continue;
      const uint32_t p = DDReadPixel(locks.Src(), static_cast<int>(sx + u), static_cast<int>(sy + v));
      if (keyed && p == g_dwColorKey) continue;
      DDWritePixel(locks.Dst(), static_cast<int>(X + shiftX), static_cast<int>(Y + shiftY), p);
    }
  }
}

// A lens pixel of the source in the destination's form, or false when it is not drawn.
bool LensPixel(uint32_t p, uint32_t dstPixel, bool keyed, bool screen, const DDALPHA* alpha, uint32_t& out) {
  if (!lpDTCon) {
    if (p == g_dwColorKey) return false;
    out = p;
    return true;
  }
  if (g_nDisplayBpp == 16) {
    if (keyed && (p & 0xA000) == 0) return false;
    out = DDAddPairColour(p, alpha);
    if (screen) out = DDSurfaceToScreen16(out);
    return true;
  }
  if ((p >> 24) == 0) return false;
  out = alpha && alpha->nBlendMode == kBlendOpAdd ? (dstPixel & 0xFF000000u) | (DDAddPairColour(p, alpha) & 0x00FFFFFFu)
                                                  : p;
  return true;
}

}  // namespace

void DDBltRotate(DDSURFACEDATA* dst, int px, int py, int w, int h, int ox, int oy, int angle, DDSURFACEDATA* src,
                 int sx, int sy, int flags) {
  if (DDTraceCall("DDBltRotate", dst, src,
                  {double(px), double(py), double(w), double(h), double(ox), double(oy), double(angle), double(sx),
                   double(sy), double(flags)}))
    return;
  if (!dst || !src || w <= 0 || h <= 0) return;
  if (g_nDisplayBpp != 8 && g_nDisplayBpp != 16 && g_nDisplayBpp != 32) return;
  DDSURFACEDATA* original = src;
  DDResolveEffectSurfaces(dst, src);
  if (DDEffectUsesQuad(dst, src)) {
    RotateQuad(dst, original, src, px, py, w, h, ox, oy, angle, sx, sy);
    return;
  }
  RotatePixels(dst, src, px, py, w, h, ox, oy, angle, sx, sy, flags == 1);
}

bool DDBltLens(DDSURFACEDATA* dst, int cx, int cy, int r, int d, DDSURFACEDATA* src, int scx, int scy, int flags,
               int bClear, const DDALPHA* alpha) {
  if (DDTraceCall("DDBltLens", dst, src,
                  DDTraceArgsWithPair({double(cx), double(cy), double(r), double(d), double(scx), double(scy),
                                       double(flags), double(bClear)},
                                      alpha)))
    return true;
  if (r < 0 || d < 0) return false;
  const int64_t k = static_cast<int64_t>(std::sqrt(static_cast<double>(int64_t{d} * d + int64_t{r} * r)));
  if (k <= d) return false;
  if (!dst || !src) return true;
  if (g_nDisplayBpp != 8 && g_nDisplayBpp != 16 && g_nDisplayBpp != 32) return true;
  DDResolveEffectSurfaces(dst, src);
  // Rows and columns off the destination draw nothing (and have nothing to clear).
  const int64_t i0 = std::max<int64_t>(-r, -int64_t{cy}), i1 = std::min<int64_t>(r, int64_t{dst->nHeight} - 1 - cy);
  const int64_t j0 = std::max<int64_t>(-r, -int64_t{cx}), j1 = std::min<int64_t>(r, int64_t{dst->nWidth} - 1 - cx);
  if (i0 > i1 || j0 > j1) return true;
  cEffectLocks locks(dst, src);
  if (!locks.Ok()) return true;
  const bool clear = bClear && lpDTCon && g_nDisplayBpp == 32;
  const bool keyed = flags == 1;
  const bool screen = DDIsScreenLayoutTarget(dst);
  const int64_t rr = int64_t{r} * r, kk = k * k;
  for (int64_t i = i0; i <= i1; ++i) {
    const int dy = static_cast<int>(cy + i);
    for (int64_t j = j0; j <= j1; ++j) {
      const int dx = static_cast<int>(cx + j);
      const int64_t radius2 = i * i + j * j;
      if (radius2 > rr) {
        if (clear) DDWritePixel(locks.Dst(), dx, dy, 0);
        continue;
      }
      const double z = std::sqrt(static_cast<double>(kk - radius2));
      int64_t u = j, v = i;
      if (z != 0) {
        u = static_cast<int64_t>(static_cast<double>(j * d) / z + 0.5);
        v = static_cast<int64_t>(static_cast<double>(i * d) / z + 0.5);
      }
      uint32_t out = 0;
      bool drawn = false;
      if (DDInsideSurface(src, scx + u, scy + v)) {
        const uint32_t p = DDReadPixel(locks.Src(), static_cast<int>(scx + u), static_cast<int>(scy + v));
        drawn = LensPixel(p, DDReadPixel(locks.Dst(), dx, dy), keyed, screen, alpha, out);
      }
      if (drawn) {
        DDWritePixel(locks.Dst(), dx, dy, out);
      } else if (clear) {
        DDWritePixel(locks.Dst(), dx, dy, 0);
      }
    }
  }
  return true;
}
