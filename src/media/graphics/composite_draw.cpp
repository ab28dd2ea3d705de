// Composite drawing: outlines, framed pictures, digit strips and the piece-wise picture effects.
#include "media/graphics/composite_draw.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "media/graphics/blit.h"
#include "media/graphics/display.h"
#include "media/graphics/draw_trace.h"
#include "media/graphics/layer.h"
#include "media/graphics/surface.h"

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;

// A wave offset as a pixel count, truncated toward zero. The value is held inside the int range so
// that an absurd amplitude moves the line off the surface instead of overflowing the conversion.
int WaveOffset(double amplitude, double angle) {
  double v = amplitude * std::sin(angle);
  if (!(v > -1e9)) return v < 0 ? -1000000000 : 0;  // also catches NaN
  if (v > 1e9) return 1000000000;
  return static_cast<int>(v);
}

// Half the chord of a disc of radius r at row offset i, kept below r so that a chord never reaches
// the disc's full width; 0 for a row outside the disc.
int64_t HalfChord(int64_t r, int64_t i) {
  const int64_t squared = r * r - i * i;
  if (squared <= 0) return 0;
  int64_t half = static_cast<int64_t>(std::floor(std::sqrt(static_cast<double>(squared))));
  if (half >= r) half = r - 1;
  return half;
}

// One piece of a circle: in Direct3D mode a 1:1 stretch blit, which the open layer queues.
void DrawCirclePiece(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int flags) {
  if (w <= 0 || h <= 0) return;
  if (lpDTCon) {
    DDBltStretch(dst, x, y, w, h, src, sx, sy, w, h, flags);
  } else {
    DDBlt(dst, x, y, w, h, src, sx, sy, flags);
  }
}

// Draws rows (or strips) [i, i + height) of the disc: the chord of half-width `half` around the
// source centre, cut to the source columns [left, right).
void DrawChord(DDSURFACEDATA* dst, int cx, int cy, DDSURFACEDATA* src, int scx, int scy, int64_t i, int64_t height,
               int64_t half, int64_t left, int64_t right, int flags) {
  int64_t start = scx - half;
  int64_t width = 2 * half;
  int64_t column = cx - half;
  if (start < left) {
    width -= left - start;
    start = left;
    column = cx + (left - scx);
  }
  if (start + width >= right) width = right - start;
  DrawCirclePiece(dst, static_cast<int>(column), static_cast<int>(cy + i), static_cast<int>(width),
                  static_cast<int>(height), src, static_cast<int>(start), static_cast<int>(scy + i), flags);
}

}  // namespace

int DDFrameRect(DDSURFACEDATA* dst, int x, int y, int w, int h, int t, uint32_t palNum) {
  if (DDTraceCall("DDFrameRect", dst, nullptr, {double(x), double(y), double(w), double(h), double(t), double(palNum)}))
    return 1;
  DDBeginFillBatch();
  DDFillRect(dst, x, y, w, t, palNum);
  DDFillRect(dst, x, y + h - t, w, t, palNum);
  DDFillRect(dst, x, y, t, h, palNum);
  DDFillRect(dst, x + w - t, y, t, h, palNum);
  return DDEndFillBatch();
}

void DDBltFramed(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int t, uint32_t palNum) {
  DDBlt(dst, x, y, w, h, src, 0, 0, 1);
  DDFrameRect(dst, x - t, y - t, w + 2 * t, h + 2 * t, t, palNum);
}

void DDDrawNumber(DDSURFACEDATA* dst, int x, int y, int cw, int ch, DDSURFACEDATA* src, int sx, int sy, int flags,
                  int n, int minDigits, int bCentre) {
  // A negative value has no cells in the strip: its digits would pick cells left of the strip.
  int value = std::max(n, 0);
  int digits[10];
  int count = 0;
  do {
    digits[count++] = value % 10;
    value /= 10;
  } while (value != 0 && count < 10);
  int offset = 0;
  if (count < minDigits) {
    offset = (minDigits - count) * cw;
    if (bCentre) offset /= 2;
  }
  for (int k = count - 1; k >= 0; --k) {
    DDBlt(dst, x + offset, y, cw, ch, src, sx + digits[k] * cw, sy, flags);
    offset += cw;
  }
}

void DDBltWave(DDSURFACEDATA* dst, int x, int y, int w, int h, int waves, double amplitude, int phase, int lineWidth,
               DDSURFACEDATA* src, int sx, int sy, int flags, int bVertical) {
  if (DDTraceCall("DDBltWave", dst, src,
                  {double(x), double(y), double(w), double(h), double(waves), amplitude, double(phase),
                   double(lineWidth), double(sx), double(sy), double(flags), double(bVertical)}))
    return;
  const int s = lineWidth;
  const int length = bVertical ? w : h;
  if (s <= 0 || length <= 0) return;
  const double turn = waves * kRadiansPerDegree;
  double step = 360.0 / length;
  if (s > 1) step *= s;
  double sum = 0.0;
  DDBeginLayer(0);
  for (int64_t pos = 0; pos < length; pos += s) {
    const int p = static_cast<int>(pos);
    const int size = pos + s > length ? length - p : s;
    sum += step;
    const int offset = WaveOffset(amplitude, turn * (phase + sum));
    if (bVertical) {
      DDBlt(dst, x + p, y + offset, size, h, src, sx + p, sy, flags);
    } else {
      DDBlt(dst, x + offset, y + p, w, size, src, sx, sy + p, flags);
    }
  }
  DDEndLayer();
}

void DDBltStripes(DDSURFACEDATA* dst, int x, int y, int w, int h, int stripWidth, int displacement, DDSURFACEDATA* src,
                  int sx, int sy, int flags, int bVertical) {
  if (DDTraceCall("DDBltStripes", dst, src,
                  {double(x), double(y), double(w), double(h), double(stripWidth), double(displacement), double(sx),
                   double(sy), double(flags), double(bVertical)}))
    return;
  const int s = stripWidth;
  if (s == 0) {
    DDBlt(dst, x, y, w, h, src, sx, sy, flags);
    return;
  }
  if (s < 0) return;
  const int count = (bVertical ? w : h) / s;
  auto strip = [&](int j, int d) {
    const int at = j * s;
    if (bVertical) {
      DDBlt(dst, x + at, y + d, s, h, src, sx + at, sy, flags);
    } else {
      DDBlt(dst, x + d, y + at, w, s, src, sx, sy + at, flags);
    }
  };
  DDBeginLayer(0);
  for (int j = 1; j < count; j += 2) strip(j, -displacement);
  for (int j = 0; j < count; j += 2) strip(j, displacement);
  DDEndLayer();
}

int DDBltFlip(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* front, int frontX, int frontY,
              DDSURFACEDATA* back, int backX, int backY, int sw, int sh, int flags, int phase, int axis) {
  if (DDTraceCall("DDBltFlip", dst, front,
                  {double(x), double(y), double(w), double(h), double(frontX), double(frontY), double(backX),
                   double(backY), double(sw), double(sh), double(flags), double(phase), double(axis)}))
    return 1;
  if (axis != 0 && axis != 1) return 0;
  const int length = axis == 0 ? w : h;
  const int u = length >> 1;
  // A card narrower than two pixels has no turn to show, and the turn starts at phase 0.
  if (u < 1 || phase < 0) return 0;
  const int turn = phase / u;
  const int rest = phase % u;
  const int v = turn % 2 == 0 ? rest : u - 1 - rest;
  const bool useBack = ((static_cast<int64_t>(phase) + u) / length) % 2 == 1;
  DDSURFACEDATA* image = useBack ? back : front;
  const int ix = useBack ? backX : frontX;
  const int iy = useBack ? backY : frontY;
  if (axis == 0) return DDBltStretch(dst, x + v, y, w - 2 * v, h, image, ix, iy, sw, sh, flags);
  return DDBltStretch(dst, x, y + v, w, h - 2 * v, image, ix, iy, sw, sh, flags);
}

void DDBltBurst(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int d, int flags) {
  if (DDTraceCall("DDBltBurst", dst, src,
                  {double(x), double(y), double(w), double(h), double(sx), double(sy), double(d), double(flags)}))
    return;
  const int hw = w >> 1;
  const int hh = h >> 1;
  DDBeginLayer(0);
  DDBlt(dst, x - d, y - d, hw, hh, src, sx, sy, flags);
  DDBlt(dst, x + hw + d, y - d, hw, hh, src, sx + hw, sy, flags);
  DDBlt(dst, x - d, y + hh + d, hw, hh, src, sx, sy + hh, flags);
  DDBlt(dst, x + hw + d, y + hh + d, hw, hh, src, sx + hw, sy + hh, flags);
  DDEndLayer();
}

void DDBltCircle(DDSURFACEDATA* dst, int cx, int cy, int hw, int hh, int r, int lineHeight, DDSURFACEDATA* src, int scx,
                 int scy, int flags) {
  if (DDTraceCall("DDBltCircle", dst, src,
                  {double(cx), double(cy), double(hw), double(hh), double(r), double(lineHeight), double(scx),
                   double(scy), double(flags)}))
    return;
  if (r <= 0 || lineHeight <= 0 || !dst || !src) return;
  // In Direct3D mode both records become the ones whose textures they draw from: a mirrored twin
  // shows its unmirrored picture here, as games made for this mode show it.
  DDFollowAlias(dst);
  DDFollowAlias(src);
  const int64_t left = std::max<int64_t>(int64_t{scx} - hw, 0);
  const int64_t right = std::min<int64_t>(int64_t{scx} + hw, src->nWidth);
  const int64_t s = lineHeight;
  DDBeginLayer(0);
  if (s == 1) {
    // Rows at or below hh are skipped; starting just above them keeps a huge radius cheap.
    for (int64_t i = std::min<int64_t>(int64_t{r} - 1, int64_t{hh} - 1); i >= -int64_t{r}; --i) {
      if (i < -hh) break;
      DrawChord(dst, cx, cy, src, scx, scy, i, 1, HalfChord(r, i), left, right, flags);
    }
  } else {
    int64_t i = int64_t{r} - s;
    // Skip the strips that start at or below hh in one step.
    if (i >= hh) i -= ((i - hh) / s + 1) * s;
    while (i >= -int64_t{r}) {
      if (i >= hh) {
        i -= s;
        continue;
      }
      if (-int64_t{hh} >= i + s) break;  // the strip lies wholly above the box
      if (i + s > hh) i = int64_t{hh} - s;
      if (i < -hh) i = -int64_t{hh};
      DrawChord(dst, cx, cy, src, scx, scy, i, s, HalfChord(r, i + (s >> 1)), left, right, flags);
      i -= s;
    }
  }
  DDEndLayer();
}
