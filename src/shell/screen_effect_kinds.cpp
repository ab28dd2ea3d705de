// The fourteen screen-effect types. Each (but none and blink) copies the finished picture into its
// work surface, clears the back buffer to palette colour 16 and draws the copy back through one
// distorting blit with point sampling; then, unless the frame is frozen, it advances the effect.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include "media/graphics/blit.h"
#include "media/graphics/composite_draw.h"
#include "media/graphics/display.h"
#include "media/graphics/pixel_effects.h"
#include "media/graphics/surface_table.h"
#include "shell/screen_effect_kinds.h"

namespace {

constexpr int kScreenW = 640;
constexpr int kScreenH = 480;
constexpr uint32_t kClearColour = 16;
// The distorting blits skip the copy's transparent pixels, which the cleared screen shows instead.
constexpr int kKeyed = 1;

DDSURFACEDATA* BackBuffer() { return &g_BackBufferSD; }
DDSURFACEDATA* WorkA() { return &g_SurfaceData[kScreenEffectSlotA]; }
DDSURFACEDATA* WorkB() { return &g_SurfaceData[kScreenEffectSlotB]; }

// A value as a drawing argument: truncated toward zero and held inside the int range (NaN as 0), so
// that the numbers of a damaged effect record cannot overflow the conversion.
int ToInt(double v) {
  if (std::isnan(v)) return 0;
  if (v >= INT_MAX) return INT_MAX;
  if (v <= -INT_MAX) return -INT_MAX;
  return static_cast<int>(v);
}
int ToInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, -INT_MAX, INT_MAX)); }

// Parameter n (1 .. 5) of the record; parameter 1 is the running time in tenths of a second.
int Param(const cScreenEffectFrame& f, int n) { return f.entry.m_anParams[n - 1]; }

// The running time as a divisor. A time of 0 or less (a damaged record: the editor asks for 1 or
// more) would divide by zero; such an effect ends after its first frame (StepOverTime), so any
// positive divisor draws that frame alike.
double Tenths(const cScreenEffectFrame& f) { return Param(f, 1) > 0 ? Param(f, 1) : 1.0; }

// Advances an effect whose value counts tenths of a second from 0 to the running time (move, shakes,
// blink). A running time of 0 or less ends the effect after its first frame.
int StepOverTime(const cScreenEffectFrame& f) {
  const int time = Param(f, 1);
  if (time <= 0) return f.play.StepScrEffect(0, 0, 1.0);
  return f.play.StepScrEffect(0, time, f.play.dStep);
}

// Advances an effect whose value runs from parameter 2 to parameter 3.
int StepToEnd(const cScreenEffectFrame& f) { return f.play.StepScrEffect(Param(f, 2), Param(f, 3), f.play.dStep); }

// Copies the finished picture into work and, unless told otherwise, clears the back buffer.
void CopyPicture(DDSURFACEDATA* work, bool clear = true) {
  DDBlt(work, 0, 0, kScreenW, kScreenH, BackBuffer(), 0, 0, 0);
  if (clear) DDFillRect(BackBuffer(), 0, 0, kScreenW, kScreenH, kClearColour);
}

// The distorting blit with point sampling (Direct3D draws its pixels unfiltered and opaque).
template <class Draw>
void Unfiltered(Draw draw) {
  DDSetFilter(1);
  draw();
  DDResetFilter();
}

// The half extent of the circle and the lens around a centre: the distance to the farther edge.
int FartherEdge(int centre, int size) { return centre >= size / 2 ? centre : ToInt(int64_t{size} - centre); }

// ---- the types ---------------------------------------------------------------------------------

// 0: no picture change; the effect stays until another replaces it.
int RunNone(const cScreenEffectFrame&) {
  if (lpDTCon && lpDTCon->bVirtualBackBuffer) DDSetVirtualBackBuffer(0);
  return 0;
}

// 1: the picture moves from the start point to the end point (counters: the position drawn).
int RunMove(const cScreenEffectFrame& f) {
  cScrEffectPlay& p = f.play;
  CopyPicture(WorkA());
  Unfiltered([&] { DDBlt(BackBuffer(), p.nWork1, p.nWork2, kScreenW, kScreenH, WorkA(), 0, 0, kKeyed); });
  if (f.frozen) return 0;
  const double startX = Param(f, 2), startY = Param(f, 3);
  p.nWork1 = ToInt(startX + (Param(f, 4) - startX) / Tenths(f) * p.dValue);
  p.nWork2 = ToInt(startY + (Param(f, 5) - startY) / Tenths(f) * p.dValue);
  return StepOverTime(f);
}

// The offset of a shake drawn: truncated, and no farther than the screen (a larger one would show
// the same empty screen).
int ShakeOffset(const cScreenEffectFrame& f, int span) { return std::clamp(ToInt(f.play.dValue2), -span, span); }

// 2 and 3: the offset swings between -amplitude and +amplitude, `count` swings of 4 x amplitude of
// travel over the running time (first counter 1: moving toward -amplitude).
int AdvanceShake(const cScreenEffectFrame& f) {
  cScrEffectPlay& p = f.play;
  const double amplitude = Param(f, 2);
  const double speed = amplitude * Param(f, 3) * 4 / (Tenths(f) * 6);
  double& offset = p.dValue2;
  if (p.nWork1 == 1) {
    offset -= speed;
    if (offset <= -amplitude) {
      offset = -amplitude;
      p.nWork1 = 0;
    }
  } else {
    offset += speed;
    if (offset >= amplitude) {
      offset = amplitude;
      p.nWork1 = 1;
    }
  }
  return StepOverTime(f);
}

// 2: horizontal shake; only the strip the moved picture leaves uncovered is cleared.
int RunShakeX(const cScreenEffectFrame& f) {
  const int o = ShakeOffset(f, kScreenW);
  CopyPicture(WorkA(), false);
  if (o > 0) DDFillRect(BackBuffer(), 0, 0, o + 1, kScreenH, kClearColour);
  if (o < 0) DDFillRect(BackBuffer(), o + kScreenW, 0, 1 - o, kScreenH, kClearColour);
  Unfiltered([&] { DDBlt(BackBuffer(), o, 0, kScreenW, kScreenH, WorkA(), 0, 0, kKeyed); });
  return f.frozen ? 0 : AdvanceShake(f);
}

// 3: vertical shake.
int RunShakeY(const cScreenEffectFrame& f) {
  const int o = ShakeOffset(f, kScreenH);
  CopyPicture(WorkA());
  Unfiltered([&] { DDBlt(BackBuffer(), 0, o, kScreenW, kScreenH, WorkA(), 0, 0, kKeyed); });
  return f.frozen ? 0 : AdvanceShake(f);
}

// 4 and 5: the picture cut into `count` strips (rows, or columns when vertical), odd strips moved
// back and even strips forward by the value.
int RunSplit(const cScreenEffectFrame& f, bool vertical) {
  const int length = vertical ? kScreenW : kScreenH;
  // A split count of 0 or less (a damaged record: the editor asks for 2 or more) is one strip.
  const int count = std::max(Param(f, 4), 1);
  const int strip = (length + count - 1) / count;
  const int shift = ToInt(f.play.dValue);
  CopyPicture(WorkA());
  Unfiltered([&] {
    DDBltStripes(BackBuffer(), 0, 0, kScreenW, kScreenH, strip, shift, WorkA(), 0, 0, kKeyed, vertical ? 1 : 0);
    // The strips of the rounded-up size can end short of the screen's edge (7 strips of 69 rows
    // leave rows 414-479): the rest is drawn as one more, narrower strip, moved as its number's
    // parity moves it, so that no band of the picture is lost.
    const int whole = length / strip;
    const int at = whole * strip;
    if (at >= length) return;
    const int d = whole % 2 == 1 ? -shift : shift;
    if (vertical) {
      DDBlt(BackBuffer(), at, d, length - at, kScreenH, WorkA(), at, 0, kKeyed);
    } else {
      DDBlt(BackBuffer(), d, at, kScreenW, length - at, WorkA(), 0, at, kKeyed);
    }
  });
  return f.frozen ? 0 : StepToEnd(f);
}
int RunSplitX(const cScreenEffectFrame& f) { return RunSplit(f, false); }
int RunSplitY(const cScreenEffectFrame& f) { return RunSplit(f, true); }

// 6 and 7: rows (or columns) moved along a sine of amplitude value whose phase (first counter, in
// degrees) advances by one per frame.
int RunWave(const cScreenEffectFrame& f, bool vertical) {
  cScrEffectPlay& p = f.play;
  // A coarseness of 0 or less (a damaged record: the editor asks for 1 or more) would draw nothing;
  // it is taken as lines of one pixel.
  const int lineWidth = std::max(Param(f, 5), 1);
  CopyPicture(WorkA());
  Unfiltered([&] {
    DDBltWave(BackBuffer(), 0, 0, kScreenW, kScreenH, Param(f, 4), p.dValue, p.nWork1, lineWidth, WorkA(), 0, 0, kKeyed,
              vertical ? 1 : 0);
  });
  if (f.frozen) return 0;
  if (++p.nWork1 >= 360) p.nWork1 = 0;
  return StepToEnd(f);
}
int RunWaveX(const cScreenEffectFrame& f) { return RunWave(f, false); }
int RunWaveY(const cScreenEffectFrame& f) { return RunWave(f, true); }

// 8: every `interval` frames the stage's background layers hide what was drawn on them, or stop
// hiding it (second counter 0: hidden).
int RunBlink(const cScreenEffectFrame& f) {
  cScrEffectPlay& p = f.play;
  if (p.nWork2 == 0) DrawStageBackLayers();
  if (p.nWork1 >= Param(f, 2)) {
    p.nWork1 = 0;
    p.nWork2 = p.nWork2 == 0 ? 1 : 0;
  }
  if (f.frozen) return 0;
  ++p.nWork1;
  return StepOverTime(f);
}

// 9: the picture turned about the screen's centre by the value in degrees.
int RunRotation(const cScreenEffectFrame& f) {
  CopyPicture(WorkB());
  Unfiltered([&] {
    DDBltRotate(BackBuffer(), kScreenW / 2, kScreenH / 2, kScreenW, kScreenH, kScreenW / 2, kScreenH / 2,
                ToInt(f.play.dValue), WorkB(), 0, 0, kKeyed);
  });
  return f.frozen ? 0 : StepToEnd(f);
}

// 10: only a disc of radius value around the hero shows the picture.
int RunCircle(const cScreenEffectFrame& f) {
  const int cx = f.view.m_nHeroCentreX, cy = f.view.m_nHeroCentreY;
  // A coarseness of 0 or less (a damaged record) would draw nothing; it is taken as rows of one pixel.
  const int lineHeight = std::max(Param(f, 4), 1);
  CopyPicture(WorkA());
  Unfiltered([&] {
    DDBltCircle(BackBuffer(), cx, cy, FartherEdge(cx, kScreenW), FartherEdge(cy, kScreenH), ToInt(f.play.dValue),
                lineHeight, WorkA(), cx, cy, kKeyed);
  });
  return f.frozen ? 0 : StepToEnd(f);
}

// 11: the picture enlarged by value / 640 around the hero (a window of the picture stretched over
// the screen, kept inside the picture), or reduced into the centre of the cleared screen.
int RunZoom(const cScreenEffectFrame& f) {
  DDSURFACEDATA* source = f.view.m_lpZoomSource ? f.view.m_lpZoomSource : ScreenEffectZoomSource();
  const double scale = f.play.dValue * 0.0015625;
  CopyPicture(source, false);
  if (scale >= 1) {
    const double w = kScreenW / scale, h = kScreenH / scale;
    double x0 = f.view.m_nHeroCentreX - w / 2;
    if (x0 + w > kScreenW - 1) {
      x0 = kScreenW - w;
    } else if (x0 < 0) {
      x0 = 0;
    }
    double y0 = f.view.m_nHeroCentreY - h / 2;
    if (y0 + h > kScreenH - 1) {
      y0 = kScreenH - h;
    } else if (y0 < 0) {
      y0 = 0;
    }
    Unfiltered([&] {
      DDBltStretch(BackBuffer(), 0, 0, kScreenW, kScreenH, source, ToInt(x0), ToInt(y0), ToInt(w), ToInt(h), kKeyed);
    });
  } else {
    DDFillRect(BackBuffer(), 0, 0, kScreenW, kScreenH, kClearColour);
    Unfiltered([&] {
      DDBltStretch(BackBuffer(), ToInt((kScreenW - kScreenW * scale) / 2), ToInt((kScreenH - kScreenH * scale) / 2),
                   ToInt(kScreenW * scale), ToInt(kScreenH * scale), source, 0, 0, kScreenW, kScreenH, kKeyed);
    });
  }
  return f.frozen ? 0 : StepToEnd(f);
}

// 12: the picture seen through a lens around the hero (moved by the offsets) that covers the whole
// screen; the value is the lens's distance (smaller magnifies more).
int RunLens(const cScreenEffectFrame& f) {
  const int cx = ToInt(int64_t{f.view.m_nHeroCentreX} + Param(f, 4));
  const int cy = ToInt(int64_t{f.view.m_nHeroCentreY} + Param(f, 5));
  const int radius = ToInt(std::max(FartherEdge(cx, kScreenW), FartherEdge(cy, kScreenH)) * std::sqrt(2.0));
  const int side = ToInt(int64_t{radius} * (g_nDisplayBpp == 16 ? 4 : 2));
  DDFillRect(WorkB(), 0, 0, side, side, 0);
  CopyPicture(WorkB());
  Unfiltered(
      [&] { DDBltLens(BackBuffer(), cx, cy, radius, ToInt(f.play.dValue), WorkB(), cx, cy, kKeyed, 0, nullptr); });
  return f.frozen ? 0 : StepToEnd(f);
}

// 13: the picture in square cells of value pixels.
int RunMosaic(const cScreenEffectFrame& f) {
  // Cells below one pixel (a strength of 0 from a damaged record: the editor asks for 1 or more)
  // would draw nothing; one-pixel cells show the picture as it is.
  const int cell = std::max(ToInt(f.play.dValue), 1);
  CopyPicture(WorkB());
  Unfiltered([&] { DDBltMosaic(BackBuffer(), 0, 0, kScreenW, kScreenH, cell, WorkB(), 0, 0, kKeyed, nullptr); });
  return f.frozen ? 0 : StepToEnd(f);
}

using ScreenEffectHandler = int (*)(const cScreenEffectFrame&);
constexpr ScreenEffectHandler kHandlers[kScreenEffectTypeCount] = {
    RunNone,  RunMove,  RunShakeX,   RunShakeY, RunSplitX, RunSplitY, RunWaveX,
    RunWaveY, RunBlink, RunRotation, RunCircle, RunZoom,   RunLens,   RunMosaic,
};

}  // namespace

int RunScreenEffectType(int type, const cScreenEffectFrame& frame) { return kHandlers[type](frame); }
