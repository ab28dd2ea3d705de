// Distance conditions (kind 7): whether the hero or a target lies within (or outside) an area
// around the tested character, on one axis with its facing or as a circle, and the display of those
// areas on screen for the designer.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "data/game_data.h"
#include "data/play_mode.h"
#include "data/system_data.h"
#include "media/graphics/blit.h"
#include "media/graphics/display.h"
#include "objects/chara_base.h"
#include "objects/chara_conditions.h"
#include "objects/play_objects.h"
#include "objects/stage_state.h"

namespace {

enum : int {
  kShapeHorizontal = 0,  // "横"
  kShapeFront = 1,       // "前"
  kShapeBack = 2,        // "後"
  kShapeVertical = 3,    // "縦"
  kShapeFrontY = 4,      // "前Y"
  kShapeBackY = 5,       // "後Y"
  kShapeCircle = 6,      // "円"
};
constexpr uint32_t kAreaColourBase = 208;
constexpr int kAreaCircleRadius = 64;  // the radius drawn on the circle surface
constexpr int kAreaCircleSize = 129;

int32_t ClampToInt(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// Half blocks of the operand plus the extra dots.
int32_t AreaRange(const cCond& cond) { return ClampToInt(int64_t{cond.m_nOperand} * 16 + cond.m_nRightVarIndex); }

bool IsVerticalShape(int shape) { return shape >= kShapeVertical && shape <= kShapeBackY; }

// The area of shapes 0-5 on its axis around the character's graphic on screen: the back extent f
// and the front extent g by the facing; an extent of 0 ends the area at the graphic's centre (both
// at 0 with a two-sided shape: the graphic itself).
void AreaSpan(const cCharaBase& chara, int shape, int32_t range, int64_t& lo, int64_t& hi) {
  const bool vertical = IsVerticalShape(shape);
  const int64_t a = vertical ? chara.m_ScreenRect.top : chara.m_ScreenRect.left;
  const int64_t half = (vertical ? chara.m_nGraphicHeight : chara.m_nGraphicWidth) / 2;
  const bool facingRight = chara.m_nFacing == 1;
  int64_t f = 0;
  int64_t g = 0;
  bool bothSides = false;
  switch (shape) {
    case kShapeHorizontal:
    case kShapeVertical:
      f = g = range;
      bothSides = true;
      break;
    case kShapeFront:
    case kShapeFrontY: (facingRight ? g : f) = range; break;
    case kShapeBack:
    case kShapeBackY: (facingRight ? f : g) = range; break;
    default: break;
  }
  lo = f != 0 ? a - f : a + half;
  hi = g != 0 ? a + 2 * half + g : a + half;
  if (bothSides && f == 0 && g == 0) {
    lo = a;
    hi = a + 2 * half;
  }
}

// The reference character's hit columns (or rows) on screen; a bottom-aligned hit box reaches the
// graphic's bottom in newer projects.
void ReferenceSpan(const cCharaBase& ref, bool vertical, int64_t& start, int64_t& end) {
  if (!vertical) {
    start = int64_t{ref.m_ScreenRect.left} + ref.m_nHitOffsetX;
    end = int64_t{ref.m_ScreenRect.right} - ref.m_nHitOffsetX;
    return;
  }
  start = int64_t{ref.m_ScreenRect.top} + ref.m_nHitOffsetY;
  end = int64_t{ref.m_ScreenRect.bottom} - ref.m_nHitOffsetY;
  if (!g_SystemData.m_bLegacy733 && ref.m_nHitOffsetY + ref.m_nHeight >= ref.m_nGraphicHeight)
    end = ref.m_ScreenRect.bottom;
}

bool CircleHolds(const cCharaBase& chara, const cCharaBase& ref, int32_t range) {
  const double dx = (chara.m_dX + chara.m_nWidth / 2) - (ref.m_dX + ref.m_nWidth / 2);
  const double dy = (chara.m_dY + chara.m_nHeight / 2) - (ref.m_dY + ref.m_nHeight / 2);
  return std::sqrt(dx * dx + dy * dy) <= range;
}

cCharaBase* ReferenceOf(cCharaBase& chara, int whose) {
  if (whose == 0) return g_HeroList.empty() ? nullptr : &g_HeroList[0];
  if (whose < 1 || whose > kTargetSlots || static_cast<size_t>(whose) > chara.m_apTargets.size()) return nullptr;
  return chara.m_apTargets[static_cast<size_t>(whose - 1)];
}

bool IsHidden(const cCharaBase& chara) { return chara.m_bSkipDraw || chara.m_Type.m_nOpt18 != 0; }

// The display setting: 1 always, 2 only in a test play.
bool AreaShown(const cCond& cond) {
  return cond.m_nKind == kCondDistance &&
         (cond.m_nLeftSource == 1 || (cond.m_nLeftSource == 2 && g_GameData.m_bTestPlay));
}

void DrawArea(DDSURFACEDATA* target, cStageState& stage, cCharaBase& chara, const cCond& cond, uint32_t phase) {
  if (!AreaShown(cond)) return;
  if (!chara.m_bActive) {
    if (cond.m_nRightSource != 1) return;
    chara.UpdateScreenRect();
  }
  if (IsHidden(chara) && cond.m_nRightWhose != 1) return;
  const uint32_t colour = kAreaColourBase + 4 * static_cast<uint32_t>(std::clamp<int>(cond.m_nLeftWhich, 0, 7)) + phase;
  const int32_t range = AreaRange(cond);
  const int shape = cond.m_nShape;
  if (shape == kShapeCircle) {
    const int cx = chara.m_ScreenRect.left + chara.m_nGraphicWidth / 2;
    const int cy = chara.m_ScreenRect.top + chara.m_nGraphicHeight / 2;
    if (range > kAreaCircleRadius && stage.m_lpAreaCircle) {
      DDFillSurface(stage.m_lpAreaCircle, 0);
      DDCircle(stage.m_lpAreaCircle, kAreaCircleRadius, kAreaCircleRadius, kAreaCircleRadius, colour);
      DDBltStretch(target, cx - range, cy - range, ClampToInt(int64_t{range} * 2), ClampToInt(int64_t{range} * 2),
                   stage.m_lpAreaCircle, 0, 0, kAreaCircleSize, kAreaCircleSize, 1);
    } else {
      DDCircle(target, cx, cy, range, colour);
    }
    return;
  }
  if (shape < kShapeHorizontal || shape > kShapeBackY) return;
  int64_t lo = 0;
  int64_t hi = 0;
  AreaSpan(chara, shape, range, lo, hi);
  if (IsVerticalShape(shape)) {
    DDFillRect(target, 0, ClampToInt(lo), 640, 1, colour);
    DDFillRect(target, 0, ClampToInt(hi), 640, 1, colour);
  } else {
    DDFillRect(target, ClampToInt(lo), 0, 1, 480, colour);
    DDFillRect(target, ClampToInt(hi), 0, 1, 480, colour);
  }
}

}  // namespace

bool CheckDistanceCond(cCharaBase& chara, cCond& cond) {
  cCharaBase* ref = ReferenceOf(chara, cond.m_nLeftWhose);
  if (!ref) return false;
  const int32_t range = AreaRange(cond);
  chara.UpdateScreenRect();
  const uint32_t replay = PlaybackDataVersion();
  if (!g_SystemData.m_bLegacy782 && !(replay != 0 && replay <= 781)) ref->UpdateScreenRect();

  bool inside = false;
  const int shape = cond.m_nShape;
  if (shape == kShapeCircle) {
    inside = CircleHolds(chara, *ref, range);
  } else if (shape >= kShapeHorizontal && shape <= kShapeBackY) {
    int64_t lo = 0;
    int64_t hi = 0;
    int64_t start = 0;
    int64_t end = 0;
    AreaSpan(chara, shape, range, lo, hi);
    ReferenceSpan(*ref, IsVerticalShape(shape), start, end);
    inside = lo <= end && start <= hi;
  } else {
    return false;
  }
  if (cond.m_nOperator == 0) return inside;
  if (cond.m_nOperator == 1) return !inside;
  return false;
}

void DrawDistanceAreas(DDSURFACEDATA* target) {
  cStageState* stage = g_lpSceneStage;
  if (!stage) return;
  // An 8-bit display with the palette animation cycles the colours itself.
  const bool paletteCycles = g_nDisplayBpp == 8 && g_SystemData.m_nPaletteOpt289;
  const uint32_t phase = paletteCycles ? 0 : static_cast<uint32_t>(stage->m_nAreaFrame / 8);
  DDBeginFillBatch();
  for (std::list<cCharaBase*>& group : stage->m_aCharaGroups) {
    for (cCharaBase* chara : group) {
      if (!chara || chara->m_bDead || !chara->IsOnScreen()) continue;
      if (!(chara->m_Type.m_bCondLatch && chara->m_bCondLatch))
        for (const cCond& cond : chara->m_Type.m_aConds) DrawArea(target, *stage, *chara, cond, phase);
      for (const cFlowState& state : chara->m_aFlowStates) {
        const cFlow* flow = state.m_lpFlow;
        if (!flow || (flow->m_bCondLatch && state.m_bCondLatch)) continue;
        for (const cCond& cond : flow->m_aConds) DrawArea(target, *stage, *chara, cond, phase);
      }
    }
  }
  DDEndFillBatch();
  if (!paletteCycles) stage->m_nAreaFrame = (stage->m_nAreaFrame + 1) % 32;
}
