// The 17 draw modes of the character effects. Each handler draws the character's cell into its
// screen rectangle through the mode's effect blit, with v the effect's current value and the effect
// record's further parameters, then advances the effect unless the stage is held.
//
// A graphic made for another scale than the character's (or any graphic of a character larger than
// 1 whose record has no fixed scale) is first drawn at the character's size into a work surface, and
// the effect takes it from there. A draw record that asks for blending sets the blend state around
// the effect blit. Work surfaces and effects that read pixels back draw at once, with the stage's
// draw layer suspended.
#include "objects/draw_modes.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/numbers.h"
#include "data/anim_scripts.h"
#include "media/graphics/blit.h"
#include "media/graphics/composite_draw.h"
#include "media/graphics/display.h"
#include "media/graphics/layer.h"
#include "media/graphics/palette.h"
#include "media/graphics/pixel_effects.h"
#include "media/graphics/surface_table.h"
#include "objects/cell_math.h"
#include "objects/chara_base.h"
#include "objects/graphic_source.h"

namespace {

// The work surfaces of the effects: the graphic at the character's size (1024 x 1024, keyed), and
// the lens before it is blended (640 x 480, a keyed render target in Direct3D mode).
constexpr int kSlotEffectWork = 70;
constexpr int kSlotEffectWork2 = 68;
// An enlargement value of 32 dots is the graphic's own size.
constexpr int kNormalSize = 32;
constexpr int kFullTurn = 360;
// Palette colour of the blur drawn as a colour change on 8-bit screens.
constexpr int kBlurColourAt8Bits = 31;

DDSURFACEDATA* Work() { return &g_SurfaceData[kSlotEffectWork]; }

// What one draw of a handler works with.
struct cModeFrame {
  cModeFrame(cCharaBase& c, DDSURFACEDATA* t, const GRAPHICSOURCE& r)
      : chara(c), target(t), record(r), effect(c.m_CharaEffect) {
    left = c.m_ScreenRect.left;
    top = c.m_ScreenRect.top;
    w = c.m_nGraphicWidth;
    h = c.m_nGraphicHeight;
    cellW = SaturateToInt(int64_t{c.m_nBaseGraphicWidth} * r.nCellUnits);
    cellH = SaturateToInt(int64_t{c.m_nBaseGraphicHeight} * r.nCellUnits);
    scale = c.m_Type.m_nScale;
    scaled = r.nCellUnits != scale || (scale > 1 && !r.bOwnCellSize);
    v = effect.dValue;
    iv = TruncToInt(v);
  }
  // Parameter n (1-5) of the effect record; 0 without a record.
  int Param(int n) const { return ParamOf(effect, n); }
  static int ParamOf(const cCharaEffectPlay& e, int n) { return e.pEntry ? e.pEntry->m_anParams[n - 1] : 0; }
  // A value in the record's units on the work surface, where it counts at the character's size.
  int OnWork(int64_t value) const { return SaturateToInt(scaled ? value * scale : value); }
  const DDALPHA* Pair() const { return record.bUseBlend ? &record.blend : nullptr; }
  int CentreX() const { return left + w / 2; }
  int CentreY() const { return top + h / 2; }

  cCharaBase& chara;
  DDSURFACEDATA* target;
  const GRAPHICSOURCE& record;
  cCharaEffectPlay& effect;
  int left = 0, top = 0, w = 0, h = 0;
  int cellW = 0, cellH = 0;  // the cell in the sheet
  int scale = 1;
  bool scaled = false;  // drawn through the work surface
  double v = 0.0;
  int iv = 0;
};

// The picture an effect blit takes: the cell in its sheet, or the graphic at the character's size
// on the work surface.
struct cSource {
  DDSURFACEDATA* sd;
  int x, y;
};

// The cell drawn at the character's size at (x, y) of a work surface, with the colour key.
void DrawCellAt(const cModeFrame& f, DDSURFACEDATA* work, int x, int y) {
  const GRAPHICSOURCE& r = f.record;
  if (f.w == f.cellW && f.h == f.cellH) {
    DDBlt(work, x, y, f.w, f.h, r.lpSD, r.nSrcX, r.nSrcY, 1);
  } else {
    DDBltStretch(work, x, y, f.w, f.h, r.lpSD, r.nSrcX, r.nSrcY, f.cellW, f.cellH, 1);
  }
}

cSource PrepareSource(const cModeFrame& f) {
  if (!f.scaled) return {f.record.lpSD, f.record.nSrcX, f.record.nSrcY};
  DDFillRect(Work(), 0, 0, f.w, f.h, 0);
  DrawCellAt(f, Work(), 0, 0);
  return {Work(), 0, 0};
}

// The blend state of the draw record around one blit.
class cBlendScope {
 public:
  explicit cBlendScope(const GRAPHICSOURCE& record) : m_bOn(record.bUseBlend != 0) {
    if (!m_bOn) return;
    DDSetAlpha(static_cast<gfx::Colour>(record.blend.nAlpha));
    DDSetBlendMode(record.blend.nBlendMode);
  }
  ~cBlendScope() {
    if (!m_bOn) return;
    DDResetAlpha();
    DDResetBlendMode();
  }
  cBlendScope(const cBlendScope&) = delete;
  cBlendScope& operator=(const cBlendScope&) = delete;

 private:
  bool m_bOn;
};

// The stage's draw layer draws at once while pixels are drawn and read back.
class cLayerPause {
 public:
  explicit cLayerPause(bool on) : m_bOn(on) {
    if (m_bOn) DDSuspendLayer();
  }
  ~cLayerPause() {
    if (m_bOn) DDResumeLayer();
  }
  cLayerPause(const cLayerPause&) = delete;
  cLayerPause& operator=(const cLayerPause&) = delete;

 private:
  bool m_bOn;
};

// Draws through the source (the work surface when scaled) with the blend state set around the blit.
template <class Blit>
void DrawEffect(const cModeFrame& f, bool readsPixels, Blit blit) {
  cLayerPause pause(f.scaled || readsPixels);
  const cSource source = PrepareSource(f);
  cBlendScope blend(f.record);
  blit(source);
}

// The plain drawing of modes 0 and 6: 1:1 or stretched to the graphic size, blended when asked.
void DrawPlain(const cModeFrame& f) {
  const GRAPHICSOURCE& r = f.record;
  if (f.w == f.cellW && f.h == f.cellH) {
    if (r.bUseBlend) {
      DDBltAlpha(f.target, f.left, f.top, f.w, f.h, r.lpSD, r.nSrcX, r.nSrcY, 1, r.blend);
    } else {
      DDBlt(f.target, f.left, f.top, f.w, f.h, r.lpSD, r.nSrcX, r.nSrcY, 1);
    }
  } else if (r.bUseBlend) {
    DDBltStretchAlpha(f.target, f.left, f.top, f.w, f.h, r.lpSD, r.nSrcX, r.nSrcY, f.cellW, f.cellH, 1, r.blend);
  } else {
    DDBltStretch(f.target, f.left, f.top, f.w, f.h, r.lpSD, r.nSrcX, r.nSrcY, f.cellW, f.cellH, 1);
  }
}

// Whether a handler draws: asked to, and the record has a picture.
bool Draws(int draw, const GRAPHICSOURCE& record) { return draw != 0 && record.lpSD != nullptr; }

// One frame of the effect unless held; 1 when it ended.
int Advance(cCharaBase& chara, int hold) { return hold ? 0 : chara.m_CharaEffect.StepCharaEffect(); }

// Modes 6 and 14: the counter runs up to the record's interval (parameter 2), then starts again
// and the toggle flips; it counts unless held, the reset and flip happen held or not.
void StepBlink(cCharaEffectPlay& e, int hold) {
  if (e.nWork1 >= cModeFrame::ParamOf(e, 2)) {
    e.nWork1 = 0;
    e.nWork2 = e.nWork2 ? 0 : 1;
  }
  if (!hold) ++e.nWork1;
}

int DrawModeStripes(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw,
                    int vertical) {
  if (Draws(draw, record)) {
    const cModeFrame f(chara, target, record);
    // A division count of 0 (broken data) leaves the length whole: one strip.
    const int strip = SaturateToInt(CeilDivOrKeep(vertical ? f.w : f.h, f.Param(4)));
    DrawEffect(f, false, [&](const cSource& s) {
      DDBltStripes(target, f.left, f.top, f.w, f.h, strip, f.iv, s.sd, s.x, s.y, 1, vertical);
    });
  }
  return Advance(chara, hold);
}

int DrawModeWave(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw,
                 int vertical) {
  cCharaEffectPlay& e = chara.m_CharaEffect;
  if (Draws(draw, record)) {
    const cModeFrame f(chara, target, record);
    const int roughness = f.OnWork(f.Param(5));
    DrawEffect(f, false, [&](const cSource& s) {
      DDBltWave(target, f.left, f.top, f.w, f.h, f.Param(4), f.v, e.nWork1, roughness, s.sd, s.x, s.y, 1, vertical);
    });
  }
  if (!hold && ++e.nWork1 >= kFullTurn) e.nWork1 = 0;
  return Advance(chara, hold);
}

int DrawModeRotate(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw,
                   bool quickForLarge) {
  if (Draws(draw, record)) {
    const cModeFrame f(chara, target, record);
    if (quickForLarge && !lpDTCon && f.scaled) {
      // DirectDraw, mode 7: the cell is turned at its own size in a square work area that holds any
      // turn of it, and the area is stretched to the character's size.
      const int side =
          TruncToInt(std::sqrt(static_cast<double>(f.cellW) * f.cellW + static_cast<double>(f.cellH) * f.cellH)) + 2;
      const int outW = SaturateToInt(DivOrKeep(int64_t{side} * f.w, f.cellW));
      const int outH = SaturateToInt(DivOrKeep(int64_t{side} * f.h, f.cellH));
      cLayerPause pause(true);
      DDFillRect(Work(), 0, 0, side, side, 0);
      DDBltRotate(Work(), side / 2, side / 2, f.cellW, f.cellH, f.cellW / 2, f.cellH / 2, f.iv, record.lpSD,
                  record.nSrcX, record.nSrcY, 1);
      cBlendScope blend(record);
      DDBltStretch(target, f.CentreX() - outW / 2, f.CentreY() - outH / 2, outW, outH, Work(), 0, 0, side, side, 1);
    } else {
      DrawEffect(f, false, [&](const cSource& s) {
        DDBltRotate(target, f.CentreX(), f.CentreY(), f.w, f.h, f.w / 2, f.h / 2, f.iv, s.sd, s.x, s.y, 1);
      });
    }
  }
  return Advance(chara, hold);
}

}  // namespace

int DrawModePlain(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int, int draw) {
  if (Draws(draw, record)) DrawPlain(cModeFrame(chara, target, record));
  return 0;
}

int DrawModeBurst(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw) {
  if (Draws(draw, record)) {
    const cModeFrame f(chara, target, record);
    DrawEffect(f, false,
               [&](const cSource& s) { DDBltBurst(target, f.left, f.top, f.w, f.h, s.sd, s.x, s.y, f.iv, 1); });
  }
  return Advance(chara, hold);
}

int DrawModeStripesH(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw) {
  return DrawModeStripes(chara, target, record, hold, draw, 0);
}

int DrawModeStripesV(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw) {
  return DrawModeStripes(chara, target, record, hold, draw, 1);
}

int DrawModeWaveH(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw) {
  return DrawModeWave(chara, target, record, hold, draw, 0);
}

int DrawModeWaveV(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw) {
  return DrawModeWave(chara, target, record, hold, draw, 1);
}

int DrawModeBlink(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw) {
  cCharaEffectPlay& e = chara.m_CharaEffect;
  if (Draws(draw, record) && e.nWork2) DrawPlain(cModeFrame(chara, target, record));
  StepBlink(e, hold);
  return Advance(chara, hold);
}

int DrawModeRotateA(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw) {
  return DrawModeRotate(chara, target, record, hold, draw, true);
}

int DrawModeRotateB(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw) {
  return DrawModeRotate(chara, target, record, hold, draw, false);
}

int DrawModeFlip(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw) {
  if (Draws(draw, record)) {
    // The flip stretches the cell itself, so it needs no work surface.
    const cModeFrame f(chara, target, record);
    cBlendScope blend(record);
    DDBltFlip(target, f.left, f.top, f.w, f.h, record.lpSD, record.nSrcX, record.nSrcY, record.lpSDBack, record.nSrcX,
              record.nSrcY, f.cellW, f.cellH, 1, f.iv, 0);
  }
  return Advance(chara, hold);
}

int DrawModeCircle(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw) {
  if (Draws(draw, record)) {
    const cModeFrame f(chara, target, record);
    const int radius = f.OnWork(f.iv);
    const int roughness = SaturateToInt(int64_t{f.Param(4)} * f.scale);
    DrawEffect(f, false, [&](const cSource& s) {
      DDBltCircle(target, f.CentreX(), f.CentreY(), f.w / 2, f.h / 2, radius, roughness, s.sd, s.x + f.w / 2,
                  s.y + f.h / 2, 1);
    });
  }
  return Advance(chara, hold);
}

int DrawModeEnlarge(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw) {
  if (Draws(draw, record)) {
    const cModeFrame f(chara, target, record);
    const int64_t grow = int64_t{f.iv} - kNormalSize;
    const int e = SaturateToInt(f.scaled ? grow * f.scale / 2 : grow);
    DrawEffect(f, false, [&](const cSource& s) {
      DDBltStretch(target, f.left - e / 2, f.top - e / 2, SaturateToInt(int64_t{f.w} + e),
                   SaturateToInt(int64_t{f.h} + e), s.sd, s.x, s.y, f.w, f.h, 1);
    });
  }
  return Advance(chara, hold);
}

int DrawModeLens(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw) {
  if (Draws(draw, record)) {
    const cModeFrame f(chara, target, record);
    const int offX = SaturateToInt(int64_t{f.Param(4)} * f.scale);
    const int offY = SaturateToInt(int64_t{f.Param(5)} * f.scale);
    // v is the lens's radius; its strength is the distance that reaches over the whole graphic
    // from the lens's centre (the graphic's centre moved by the offsets), so the lens magnifies
    // more the larger it grows. The square work area holds the graphic at its centre and
    // everything the lens reads around the moved centre.
    const int radius = f.OnWork(f.iv);
    const int64_t reach = std::max(std::abs(int64_t{offX}), std::abs(int64_t{offY}));
    const int distance = SaturateToInt(reach + std::max(f.w, f.h) / 2);
    const int half = SaturateToInt(reach + std::max<int64_t>(radius, distance) + 1);
    const int side = SaturateToInt(int64_t{half} * 2 + 1);
    cLayerPause pause(true);
    DDFillRect(Work(), 0, 0, side, side, 0);
    DrawCellAt(f, Work(), half - f.w / 2, half - f.h / 2);
    const int lensX = half + offX, lensY = half + offY;
    if (lpDTCon && record.bUseBlend) {
      // Blended: the lens is drawn into a second work area first, then blitted with the blend.
      DDSURFACEDATA* lens = &g_SurfaceData[kSlotEffectWork2];
      DDFillRect(lens, 0, 0, side, side, 0);
      DDBltLens(lens, lensX, lensY, radius, distance, Work(), lensX, lensY, 1, 1, nullptr);
      DDBltAlpha(target, f.CentreX() - half, f.CentreY() - half, side, side, lens, 0, 0, 1, record.blend);
    } else {
      DDBltLens(target, f.CentreX() + offX, f.CentreY() + offY, radius, distance, Work(), lensX, lensY, 1, 0, nullptr);
    }
  }
  return Advance(chara, hold);
}

int DrawModeColourChange(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw) {
  if (Draws(draw, record)) {
    const cModeFrame f(chara, target, record);
    DrawEffect(f, true, [&](const cSource& s) {
      DDBltColorChange(target, f.left, f.top, f.w, f.h, s.sd, s.x, s.y, 1, g_WorkPalette, g_BlendTable, f.Param(4),
                       f.iv, f.Pair());
    });
  }
  return Advance(chara, hold);
}

int DrawModeHalfTrans(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw) {
  cCharaEffectPlay& e = chara.m_CharaEffect;
  if (Draws(draw, record) && !e.nWork2) {
    const cModeFrame f(chara, target, record);
    DrawEffect(f, true, [&](const cSource& s) {
      DDBltHalfTrans(target, f.left, f.top, f.w, f.h, s.sd, s.x, s.y, 1, g_BlendTable);
    });
  }
  StepBlink(e, hold);
  return Advance(chara, hold);
}

int DrawModeMosaic(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw) {
  if (Draws(draw, record)) {
    const cModeFrame f(chara, target, record);
    if (!lpDTCon) {
      // DirectDraw: the cells are taken from the graphic at its size in a cleared work area of
      // twice the graphic's size.
      cLayerPause pause(true);
      DDFillRect(Work(), 0, 0, f.w * 2, f.h * 2, 0);
      DrawCellAt(f, Work(), 0, 0);
      DDBltMosaic(target, f.left, f.top, f.w, f.h, f.iv, Work(), 0, 0, 1, nullptr);
    } else {
      DrawEffect(f, true, [&](const cSource& s) {
        DDBltMosaic(target, f.left, f.top, f.w, f.h, f.iv, s.sd, s.x, s.y, 1, f.Pair());
      });
    }
  }
  return Advance(chara, hold);
}

int DrawModeBlur(cCharaBase& chara, DDSURFACEDATA* target, const GRAPHICSOURCE& record, int hold, int draw) {
  if (Draws(draw, record)) {
    const cModeFrame f(chara, target, record);
    DrawEffect(f, true, [&](const cSource& s) {
      if (g_nDisplayBpp == 8) {
        // Palette screens cannot average colours: the graphic is pulled towards a dark colour.
        DDBltColorChange(target, f.left, f.top, f.w, f.h, s.sd, s.x, s.y, 1, g_WorkPalette, g_BlendTable,
                         kBlurColourAt8Bits, f.iv, f.Pair());
      } else {
        DDBltBlur(target, f.left, f.top, f.w, f.h, f.iv, f.iv, s.sd, s.x, s.y, 1, f.Pair());
      }
    });
  }
  return Advance(chara, hold);
}

const DrawModeHandler g_DrawModeHandlers[kDrawModeCount] = {
    DrawModePlain, DrawModeBurst,        DrawModeStripesH,  DrawModeStripesV, DrawModeWaveH,  DrawModeWaveV,
    DrawModeBlink, DrawModeRotateA,      DrawModeRotateB,   DrawModeFlip,     DrawModeCircle, DrawModeEnlarge,
    DrawModeLens,  DrawModeColourChange, DrawModeHalfTrans, DrawModeMosaic,   DrawModeBlur};
