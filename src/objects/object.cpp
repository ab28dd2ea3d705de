// The object base: initialisation, copy, scaling, the clamps against the stage's limits, the moves
// with gravity and friction, the screen rectangle, visibility, keep areas and the block test.
#include "objects/object.h"

#include "core/containers.h"
#include "data/block_type.h"
#include "data/system_data.h"
#include "media/graphics/surface_table.h"
#include "objects/play_objects.h"
#include "objects/scroll_axis.h"
#include "objects/stage_physics.h"
#include "objects/stage_state.h"

namespace {

constexpr int kViewWidth = 640;
constexpr int kViewHeight = 480;
// Mirrored twins of the system bitmaps stand this many slots after their originals.
constexpr int kTwinOffset = 18;

// The speed limits per sub-step, as the stage's physics values give them.
double LimitSpeed(double speed) {
  const double limit = StageSpeedLimitPerStep();
  if (speed > limit) return limit;
  if (speed < -limit) return -limit;
  return speed;
}

bool SlotHoldsImage(int slot) {
  if (slot < 0 || slot >= kSurfaceTableSize) return false;
  const DDSURFACEDATA& sd = g_GameSurfaces[slot];
  return (sd.lpDT || sd.lpDD) && sd.nWidth > 0;
}

// A block solid for the kind number at the cell of a point (truncated toward zero, then >> 5).
bool SolidAt(double x, double y, int kind) {
  cBlock* block = BlockAtCell(TruncToInt(x) >> 5, TruncToInt(y) >> 5);
  return block && GetBlockContact(*block, kind) != 0;
}

}  // namespace

void cObject::AssignObject(const cObject& source) { cObject::operator=(source); }

void cObject::InitObject(int number, int control, int player, int kind, int graphic,
                         const std::vector<cFrameScript>* patterns, int anime, int hitOffsetX, int hitOffsetY,
                         int width, int height, int graphicWidth, int graphicHeight, int facing, int flightMode,
                         int clone) {
  m_nNumber = number;
  m_nReserved = 2147483647;
  m_nControl = control;
  m_nPlayer = player;
  m_nKind = kind;
  m_nGraphic = graphic;
  m_nHitOffsetX = m_nBaseHitOffsetX = hitOffsetX;
  m_nHitOffsetY = m_nBaseHitOffsetY = hitOffsetY;
  m_nWidth = m_nBaseWidth = width;
  m_nHeight = m_nBaseHeight = height;
  m_nGraphicWidth = m_nBaseGraphicWidth = graphicWidth;
  m_nGraphicHeight = m_nBaseGraphicHeight = graphicHeight;
  m_nFacing = facing;
  m_nClone = static_cast<int16_t>(clone);
  if (patterns) {
    m_Anim.LoadAnimePatterns(patterns);
    m_Anim.SetAnime(anime, 1);
  }
  m_dSpeedX = m_dSpeedY = 0.0;
  m_dImpactX = m_dImpactY = 0.0;
  m_bActive = 0;
  m_bOnScreen = 0;
  m_bExtra = 0;
  SetFlyingMode(flightMode);
}

void cObject::SetFlyingMode(int mode) {
  switch (mode) {
    case 0:
      m_bGravityFree = 0;
      m_nFlightMode = 1;
      break;
    case 1:
      m_bGravityFree = 1;
      m_nFlightMode = 0;
      break;
    case 2:
      m_bGravityFree = 1;
      m_nFlightMode = 1;
      break;
    case 3:
      m_bGravityFree = 1;
      m_nFlightMode = 2;
      break;
    default: break;
  }
}

void cObject::SetScale(int newScale, int oldScale, int anchor) {
  if (newScale == oldScale) return;
  m_nWidth = m_nBaseWidth * newScale;
  m_nHeight = m_nBaseHeight * newScale;
  m_nHitOffsetX = m_nBaseHitOffsetX * newScale;
  m_nHitOffsetY = m_nBaseHitOffsetY * newScale;
  m_nGraphicWidth = m_nBaseGraphicWidth * newScale;
  m_nGraphicHeight = m_nBaseGraphicHeight * newScale;
  ShiftForScale(newScale, oldScale);
  AdjustAfterResize(newScale, oldScale, anchor);
  RecomputeHitBox(newScale);
}

void cObject::ShiftForScale(int newScale, int oldScale) {
  if (newScale == oldScale) return;
  m_dX -= (newScale - oldScale) * (m_nBaseWidth / 2);
  ClampToStageX(2);
}

// Without a stage nothing clamps: the object keeps its place and only its derived values follow.
int cObject::ClampToStageX(int mode) {
  int code = kClampInside;
  if (const cStageState* stage = g_lpSceneStage) {
    const cScrollAxis& axis = stage->m_ScrollX;
    const double right = m_dX + m_nWidth - 1;
    switch (mode) {
      case 0:
        if (axis.m_nLowLimit > m_dX)
          m_dX = axis.m_nLowLimit;
        else if (right >= axis.m_nHighLimit)
          m_dX = axis.m_nHighLimit - m_nWidth;
        break;
      case 1:
        if (axis.m_nBaseLow > m_dX)
          m_dX = axis.m_nBaseLow;
        else if (right >= axis.m_nBaseHigh)
          m_dX = axis.m_nBaseHigh - m_nWidth;
        else if (axis.m_nLowLimit > m_dX || right >= axis.m_nHighLimit)
          code = kClampOutsideInner;
        break;
      case 2:
        if (m_dX < 0) {
          m_dX = 0;
          code = kClampMapEdge;
        } else if (right >= axis.m_nMapDots) {
          m_dX = axis.m_nMapDots - m_nWidth;
          code = kClampMapEdge;
        } else if (axis.m_nBaseLow > m_dX || right >= axis.m_nBaseHigh) {
          code = kClampOutsideOuter;
        } else if (axis.m_nLowLimit > m_dX || right >= axis.m_nHighLimit) {
          code = kClampOutsideInner;
        }
        break;
      default: break;
    }
  }
  m_dX2 = m_dX + m_nWidth - 1;
  UpdateHitRectX();
  m_nCellX = TruncToInt(m_dX) >> 5;
  m_nCellX2 = TruncToInt(m_dX2) >> 5;
  return code;
}

int cObject::ClampToStageY(int mode) {
  int code = kClampInside;
  if (const cStageState* stage = g_lpSceneStage) {
    const cScrollAxis& axis = stage->m_ScrollY;
    const double bottom = m_dY + m_nHeight - 1;
    switch (mode) {
      case 0:
        if (axis.m_nLowLimit > m_dY)
          m_dY = axis.m_nLowLimit;
        else if (bottom >= axis.m_nHighLimit)
          m_dY = axis.m_nHighLimit - m_nHeight;
        break;
      case 1:
        if (axis.m_nBaseLow > m_dY)
          m_dY = axis.m_nBaseLow;
        else if (bottom >= axis.m_nBaseHigh)
          m_dY = axis.m_nBaseHigh - m_nHeight;
        else if (axis.m_nLowLimit > m_dY)
          code = kClampOutsideInner;
        else if (bottom >= axis.m_nHighLimit)
          code = kClampBelowInner;
        break;
      case 2:
        if (m_dY < 0 || bottom >= axis.m_nMapDots) {
          // At the map's edge only an object lower than the margin is clamped; a taller one stays.
          if (m_nHeight < axis.m_nMarginCells * 32) {
            if (m_dY < 0) {
              m_dY = 0;
              code = kClampMapEdge;
            } else {
              m_dY = axis.m_nMapDots - m_nHeight;
              code = kClampMapBottom;
            }
          }
        } else if (axis.m_nBaseLow > m_dY) {
          code = kClampOutsideOuter;
        } else if (bottom >= axis.m_nBaseHigh) {
          code = kClampBelowOuter;
        } else if (axis.m_nLowLimit > m_dY) {
          code = kClampOutsideInner;
        } else if (bottom >= axis.m_nHighLimit) {
          code = kClampBelowInner;
        }
        break;
      default: break;
    }
  }
  m_dY2 = m_dY + m_nHeight - 1;
  UpdateHitRectY();
  m_nCellY = TruncToInt(m_dY) >> 5;
  m_nCellY2 = TruncToInt(m_dY2) >> 5;
  return code;
}

int cObject::MoveObjX(int mode) {
  m_dSpeedX = LimitSpeed(m_dSpeedX);
  m_dX += m_dSpeedX;
  return ClampToStageX(mode);
}

int cObject::MoveObjY(int mode) {
  m_dSpeedY = LimitSpeed(m_dSpeedY);
  m_dY += m_dSpeedY;
  return ClampToStageY(mode);
}

void cObject::StartStepSpeed() {
  const cStageState* stage = g_lpSceneStage;
  if (stage && !g_SystemData.m_bLegacy214 && m_bSyncScroll) {
    m_dSpeedX = RunningAutoScroll(stage->m_ScrollX);
    if (m_bGravityFree) m_dSpeedY = RunningAutoScroll(stage->m_ScrollY);
  } else {
    m_dSpeedX = 0.0;
    if (m_bGravityFree) m_dSpeedY = 0.0;
  }
}

void cObject::ApplyGravity() {
  if (!m_bGravityFree) m_dSpeedY += StageGravity();
}

void cObject::ApplyFriction(double& speed, int enabled) const {
  if (enabled) StepTowardZero(speed, m_dFriction);
}

bool StepTowardZero(double& value, double step) {
  if (value > 0) {
    value -= step;
    if (value >= 0) return false;
  } else if (value < 0) {
    value += step;
    if (value <= 0) return false;
  } else {
    return false;
  }
  value = 0;
  return true;
}

int cObject::FacingSign() const { return m_nFacing ? 1 : -1; }

// The truncations differ by case on purpose: what is drawn where depends on them to the dot.
void cObject::UpdateScreenRect() {
  const cStageState* stage = g_lpSceneStage;
  if (!stage) return;
  const double sx = stage->m_ScrollX.m_dPosition;
  const double sy = stage->m_ScrollY.m_dPosition;
  if (!m_bGravityFree) {
    m_ScreenRect.left = TruncToInt(m_dX - m_nHitOffsetX - TruncToInt(sx));
  } else if (RunningAutoScroll(stage->m_ScrollX) != 0) {
    m_ScreenRect.left =
        m_bSyncScroll ? TruncToInt(m_dX - sx) - m_nHitOffsetX : TruncToInt(m_dX - m_nHitOffsetX - TruncToInt(sx));
  } else {
    m_ScreenRect.left = TruncToInt(m_dX) - TruncToInt(sx) - m_nHitOffsetX;
  }
  m_ScreenRect.right = m_ScreenRect.left + m_nGraphicWidth - 1;
  if (!m_bGravityFree)
    m_ScreenRect.top = TruncToInt(m_dY - m_nHitOffsetY - TruncToInt(sy));
  else if (RunningAutoScroll(stage->m_ScrollY) != 0)
    m_ScreenRect.top = TruncToInt(m_dY - sy) - m_nHitOffsetY + 1;
  else
    m_ScreenRect.top = TruncToInt(m_dY) - TruncToInt(sy) - m_nHitOffsetY;
  m_ScreenRect.bottom = m_ScreenRect.top + m_nGraphicHeight - 1;
}

bool cObject::IsOnScreen() const { return IsOnScreenAxes(0, 0); }

bool cObject::IsOnScreenAxes(int skipX, int skipY) const {
  const cStageState* stage = g_lpSceneStage;
  if (!stage) return false;
  const double sx = stage->m_ScrollX.m_dPosition;
  const double sy = stage->m_ScrollY.m_dPosition;
  if (!skipX && !(m_dX2 >= sx && sx + kViewWidth > m_dX)) return false;
  if (!skipY && !(m_dY2 >= sy && sy + kViewHeight > m_dY)) return false;
  return true;
}

bool cObject::IsInsideStage(int wholeMap) const {
  const cStageState* stage = g_lpSceneStage;
  if (!stage) return false;
  const cScrollAxis& ax = stage->m_ScrollX;
  const cScrollAxis& ay = stage->m_ScrollY;
  if (wholeMap == 1) return m_dX >= 0 && m_dX2 < ax.m_nMapDots && m_dY >= 0 && m_dY2 < ay.m_nMapDots;
  return ax.m_nBaseLow <= m_dX && m_dX2 < ax.m_nBaseHigh && ay.m_nBaseLow <= m_dY && m_dY2 < ay.m_nBaseHigh;
}

// The margins are in blocks; they are multiplied in double so that no margin a stage file holds can
// overflow.
bool cObject::IsBeyondKeepArea(const cStageQuad& area) const {
  if (m_bOnScreen) return false;
  const cStageState* stage = g_lpSceneStage;
  if (!stage) return false;
  const double sx = stage->m_ScrollX.m_dPosition;
  const double sy = stage->m_ScrollY.m_dPosition;
  if (area.m_bLeftOn && TruncToInt(sx - 32.0 * area.m_nLeft) >= m_dX2) return true;
  if (area.m_bRightOn && m_dX >= TruncToInt(sx + 32.0 * area.m_nRight + kViewWidth)) return true;
  if (area.m_bBottomOn && m_dY >= TruncToInt(sy + 32.0 * area.m_nBottom + kViewHeight)) return true;
  if (area.m_bTopOn && TruncToInt(sy - 32.0 * area.m_nTop) >= m_dY2) return true;
  return m_dX <= 0 || m_dX2 >= stage->m_ScrollX.m_nMapDots - 1 || m_dY <= 0 || m_dY2 >= stage->m_ScrollY.m_nMapDots - 1;
}

bool cObject::CornersInSolidTile() const {
  for (int column : {m_nCellX, m_nCellX2}) {
    for (int row : {m_nCellY, m_nCellY2}) {
      cBlock* block = BlockAtCell(column, row);
      if (block && GetBlockContact(*block, m_nKind) != 0) return true;
    }
  }
  return false;
}

bool CornersInSolidTileObj(const cObject& object, const cDblRect& rect) {
  for (double x : {rect.left, rect.right})
    for (double y : {rect.top, rect.bottom})
      if (SolidAt(x, y, object.m_nKind)) return true;
  return false;
}

cBlock* BlockAtCell(int column, int row) {
  const cStageState* stage = g_lpSceneStage;
  if (!stage || column < 0 || row < 0) return nullptr;
  const int shift = stage->BlockRowShift();
  if (shift < 0 || shift > 30 || column >= (1 << shift)) return nullptr;
  const int64_t index = (static_cast<int64_t>(row) << shift) + column;
  if (index >= static_cast<int64_t>(g_BlockTable.size())) return nullptr;
  return &VecAt(g_BlockTable, static_cast<int32_t>(index));
}

double cObject::GridDotX(int column) const { return (column + StageOriginCells(0)) * 32 + m_nBaseHitOffsetX + 0.5; }

double cObject::GridDotY(int row) const { return (row + StageOriginCells(1)) * 32 + m_nBaseHitOffsetY; }

double StepsToSeconds(double x) { return x / StageSubStepsD() / 60; }

int SurfaceSlotFor(int slot, int mirrored) {
  if (!g_bMirrorTwins) return slot;
  // A slot with no twin inside the table stays itself.
  if (slot < 0 || slot + kTwinOffset >= kSurfaceTableSize) return slot;
  if (mirrored == 1 ? SlotHoldsImage(slot + kTwinOffset) : (mirrored == 0 && !SlotHoldsImage(slot)))
    return slot + kTwinOffset;
  return slot;
}
