// The object base: construction, copy, scaling and the clamps against the stage's limits.
#include "objects/object.h"

#include "objects/stage_state.h"

void cObject::AssignObject(const cObject& source) { cObject::operator=(source); }

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
