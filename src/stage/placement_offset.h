#pragma once
// The offset of a placed or summoned character within its cell: copy `index` of the type's
// placement, mirrored by the facing `direction`.
#include "data/chara_type.h"
#include "objects/chara_base.h"

// Moves the character's rectangle by the offset and, when moveHome is set, its home position with it
// (placed and summoned characters move it unless the project keeps the older rule; the hero never).
inline void ApplyPlacementOffset(cCharaBase& chara, const cCharaType& type, int index, int direction, bool moveHome) {
  const double dx = type.PlaceOffsetX(index, direction);
  const double dy = type.PlaceOffsetY(index, direction);
  chara.m_dX += dx;
  chara.m_dX2 += dx;
  chara.m_dY += dy;
  chara.m_dY2 += dy;
  if (moveHome) {
    chara.m_dHomeX += dx;
    chara.m_dHomeY += dy;
  }
}
