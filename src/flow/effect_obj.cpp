// Effect objects: a database effect played at a place or at a hit, drawn in its layer of the stage.
// An effect number outside the database is reported once and the effect ends at its first draw
// (nothing is drawn), instead of stopping the game.
#include "flow/effect_obj.h"

#include <algorithm>

#include "core/log.h"
#include "data/anim_scripts.h"
#include "data/database.h"
#include "media/graphics/blit.h"
#include "media/graphics/display.h"
#include "objects/stage_state.h"

namespace {

std::vector<DDSURFACEDATA>* g_lpEffectSurfaces = nullptr;

// The effect's record, or null for a number outside the effect list or marked invalid.
const cEffectData* EffectDataOf(int effect) {
  if (effect & 0x8000) return nullptr;
  const int index = effect & 0xFFFF;
  const auto& list = g_Database.m_aEffect;
  return static_cast<size_t>(index) < list.size() ? &list[static_cast<size_t>(index)] : nullptr;
}

const cEffectData* CheckedEffectData(int effect) {
  const cEffectData* data = EffectDataOf(effect);
  if (!data) ReportLogPrintf("エフェクト %d がありません", effect);
  return data;
}

// Surface 2n - 2 (normal) or 2n - 1 (for stretching) of effect n; none for effect 0 or an unloaded one.
DDSURFACEDATA* EffectSurface(int effect, int stretching) {
  const int slot = 2 * (effect & 0xFFFF) - 2 + (stretching ? 1 : 0);
  if (!g_lpEffectSurfaces || slot < 0 || static_cast<size_t>(slot) >= g_lpEffectSurfaces->size()) return nullptr;
  return &(*g_lpEffectSurfaces)[static_cast<size_t>(slot)];
}

}  // namespace

int g_bEffectDirectStretch = 0;

void UseEffectSurfaces(std::vector<DDSURFACEDATA>* surfaces) { g_lpEffectSurfaces = surfaces; }

cEffectObj::cEffectObj(int effect, double x, double y, int width, int height, int layer, int runWhileHeld)
    : m_nEffect(effect),
      m_dX(x),
      m_dY(y),
      m_nWidth(width),
      m_nHeight(height),
      m_nLayer(layer),
      m_bRunWhileHeld(runWhileHeld) {
  const cEffectData* data = CheckedEffectData(effect);
  m_bStretched = data && width != data->m_nCellWidth ? 1 : 0;
  StartEffectAnim(effect);
}

void cEffectObj::StartEffectAnim(int effect) {
  if (!EffectDataOf(effect)) return;
  const int index = effect & 0xFFFF;
  if (static_cast<size_t>(index) >= g_EffectScripts.size()) return;
  const std::vector<cFrameScript> script{g_EffectScripts[static_cast<size_t>(index)]};
  m_Anim.LoadAnimePatterns(&script);
  m_Anim.SetAnime(0, 1);
}

int cEffectObj::DrawEffectObj(DDSURFACEDATA* target, int hold) {
  const cEffectData* data = EffectDataOf(m_nEffect);
  if (!data || data->m_aFrames.empty()) return 1;
  int pattern = 0;
  if (m_bRunWhileHeld || !hold) {
    pattern = m_Anim.StepAnime();
    if (pattern == kScriptEnded) return 1;
  } else {
    pattern = m_Anim.CurrentPattern();
  }
  const cStageState* stage = g_lpSceneStage;
  const int x = TruncToInt(m_dX - (stage ? stage->m_ScrollX.m_dPosition : 0.0));
  const int y = TruncToInt(m_dY - (stage ? stage->m_ScrollY.m_dPosition : 0.0));
  const int w = data->m_nCellWidth;
  const int h = data->m_nCellHeight;
  if (m_bStretched) {
    const bool direct = lpDTCon && g_bEffectDirectStretch;
    DDBltStretch(target, x, y, m_nWidth, m_nHeight, EffectSurface(m_nEffect, direct ? 0 : 1), pattern * w, 0, w, h, 1);
  } else {
    DDBlt(target, x, y, w, h, EffectSurface(m_nEffect, 0), pattern * w, 0, 1);
  }
  return 0;
}

cEffectObj EffectObjAtHit(int effect, const cDblRect& a, const cDblRect& b, int scale) {
  cEffectObj obj;
  obj.m_nEffect = effect;
  obj.m_nLayer = 1;
  obj.m_bRunWhileHeld = 0;
  const cEffectData* data = CheckedEffectData(effect);
  const bool enlarge = data && data->m_bEnlargeable;
  const int spread = enlarge ? scale : 1;
  const int frameW = data ? data->m_nCellWidth : 0;
  const int frameH = data ? data->m_nCellHeight : 0;
  if (enlarge && scale > 1) {
    obj.m_bStretched = 1;
    obj.m_nWidth = frameW * scale;
    obj.m_nHeight = frameH * scale;
  } else {
    obj.m_bStretched = 0;
    obj.m_nWidth = frameW;
    obj.m_nHeight = frameH;
  }
  int ix1 = 0, iy1 = 0, ix2 = 0, iy2 = 0;
  if (a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom) {
    ix1 = TruncToInt(std::max(a.left, b.left));
    iy1 = TruncToInt(std::max(a.top, b.top));
    ix2 = TruncToInt(std::min(a.right, b.right));
    iy2 = TruncToInt(std::min(a.bottom, b.bottom));
  }
  obj.m_dX = ix1 + ((ix2 - ix1 + 1) >> 1) - (obj.m_nWidth >> 1);
  obj.m_dY = iy1 + ((iy2 - iy1 + 1) >> 1) - (obj.m_nHeight >> 1);
  // The spread is drawn whether or not the effect exists, so that replays draw the same numbers.
  obj.m_dX += RandRange(-4 * spread, 4 * spread);
  obj.m_dY += RandRange(-4 * spread, 4 * spread);
  obj.StartEffectAnim(effect);
  return obj;
}
