// A character for testing the motion operations on their own: its after-move hooks clamp to the
// whole map and refresh the derived values, as those of the placed characters do.
#pragma once

#include "objects/chara_base.h"

class cTestChara : public cCharaBase {
 public:
  int AfterMoveX() override { return ClampToStageX(2); }
  int AfterMoveY() override { return ClampToStageY(2); }

  // Puts the hit box at (x, y) with the given size; x2, y2 and the cells follow (no clamp).
  void Place(double x, double y, int width, int height) {
    m_dX = x;
    m_dY = y;
    m_nWidth = m_nBaseWidth = width;
    m_nHeight = m_nBaseHeight = height;
    ClampToStageX(-1);
    ClampToStageY(-1);
  }
};
