// Placed and summoned characters: building from the type, grid placement, boxes, activity and the
// moves with their result codes.
#include "objects/chara.h"

#include "core/containers.h"
#include "data/stage_data.h"
#include "objects/cell_math.h"
#include "objects/draw_modes.h"
#include "objects/flow_runner.h"

void cChara::InitChara(int id, cCharaType& type, const cItem* carried, double startX, double startY, int clone) {
  if (type.m_nScale == 0) type.m_nScale = 1;
  InitFromType(&type, startX, startY, clone);

  const cStageData& stage = g_StageFile;
  const bool block = m_Type.m_bBlockChara != 0;
  const int form = m_Type.m_nMoveMode != 0 ? 1 : 0;  // 0 walking, 1 flying
  int offsetX = 0, offsetY = 0, width = 32, height = 32;
  if (!block) {
    width = stage.m_anCharaHitBox[2 * form];
    height = stage.m_anCharaHitBox[2 * form + 1];
    HitBoxOffsetsInCell(width, height, stage.m_anCharaHitBoxBottom[form] != 0, offsetX, offsetY);
  }
  InitObject(id, m_Type.m_nControl, m_Type.m_nPlayer, m_Type.m_nOpt28, m_Type.m_nGraphic, nullptr, 0, offsetX, offsetY,
             width, height, 32, 32, m_Type.m_nFacing, m_Type.m_nMoveMode, clone);

  if (block) {
    // Whatever the stage's settings: no box against characters, the whole cell against shots.
    m_CharaBox = cHitBox();
    SetCentredBox(m_ShotBox, 32, 32, 0, 0);
  } else {
    switch (m_Type.m_nSizeMode) {
      case 0: {
        const int* pair = form ? stage.m_anCharaBoxFly : stage.m_anCharaBoxWalk;
        SetCharaBox(stage.m_anCharaBoxAlign[form], pair[0], pair[1]);
        break;
      }
      case 1: SetCharaBox(0, stage.m_anCharaShotBox[0], stage.m_anCharaShotBox[1]); break;
      case 2: SetCharaBox(0, stage.m_anShotCharaBox[0], stage.m_anShotCharaBox[1]); break;
      case 3: SetCharaBox(0, 32, 32); break;
      default: break;
    }
    SetCentredBox(m_ShotBox, stage.m_anCharaShotBox[0], stage.m_anCharaShotBox[1], m_nHitOffsetX, m_nHitOffsetY);
  }

  SetScale(m_Type.m_nScale, 1, 1);
  m_bActing = 0;

  if (carried) {
    m_Item = *carried;
  } else {
    m_Item = cItem();
    m_Item.m_nGraphic = 0;
  }

  m_bSkipRangeX = m_Type.m_nActiveRange == 2 || m_Type.m_nActiveRange == 3;
  m_bSkipRangeY = m_Type.m_nActiveRange == 1 || m_Type.m_nActiveRange == 3;
  m_bLatchedActive = 0;
  m_nCharaSpare = 0;

  m_Anim.SetAnime(m_bGravityFree ? 0 : 1, 1);
  InstallFlows(*this, m_Type.m_aFlows, 0, -1);
}

void cChara::PlaceCharaOnGrid(int column, int row) {
  m_dX = GridDotX(column);
  m_dY = GridDotY(row);
  AdjustAfterResize(m_Type.m_nScale, 1, 1);
  AfterMoveX();
  AfterMoveY();
}

void cChara::RecomputeHitBox(int scale) {
  if (m_Type.m_bBlockChara) {
    for (cHitBox* box : {&m_CharaBox, &m_ShotBox}) {
      box->nX = 0;
      box->nY = 0;
      box->nWidth = m_nWidth;
      box->nHeight = m_nHeight;
    }
  } else {
    ScaleHitBox(m_CharaBox, scale);
    ScaleHitBox(m_ShotBox, scale);
  }
  AfterMoveX();
  AfterMoveY();
}

void cChara::UpdateHitRectX() {
  const int x = TruncToInt(m_dX);
  PlaceHitBoxX(m_CharaBox, x);
  PlaceHitBoxX(m_ShotBox, x);
}

void cChara::UpdateHitRectY() {
  const int y = TruncToInt(m_dY);
  PlaceHitBoxY(m_CharaBox, y);
  PlaceHitBoxY(m_ShotBox, y);
}

// The carried item is there while its present flag is set (an item made for a character to carry
// is present from the start).
cItem* cChara::CarriedItem() { return m_Item.m_bActive ? &m_Item : nullptr; }

int cChara::AfterMoveX() { return ClampToStageX(2); }

int cChara::AfterMoveY() { return ClampToStageY(2); }

// Result 4: the character left the map sideways.
int cChara::MoveX() {
  if (m_dKnockX != 0.0) {
    m_dSpeedX = m_dKnockX;
  } else if (m_dImpactX != 0.0) {
    ApplyFriction(m_dImpactX, m_bFrictionX);
    m_dSpeedX += m_dImpactX;
  }
  const int code = MoveObjX(2);
  AfterMoveX();
  return code == kClampMapEdge ? 4 : code;
}

// Result 8: a flying character left the map at its top or bottom; 7: a walking one fell out below.
int cChara::MoveY() {
  ApplyKnockbackY();
  if (m_dKnockY == 0.0 && m_bGravityFree && m_dImpactY != 0.0) {
    ApplyFriction(m_dImpactY, m_bFrictionY);
    m_dSpeedY += m_dImpactY;
  }
  const int code = MoveObjY(2);
  AfterMoveY();
  if (m_bGravityFree && (code == kClampMapEdge || code == kClampMapBottom)) return 8;
  if (!m_bGravityFree && (code == kClampBelowOuter || code == kClampMapBottom)) return 7;
  return code;
}

int cChara::CheckActiveRange(std::vector<uint8_t>& groupFlags) {
  if (!IsOnScreenAxes(m_bSkipRangeX, m_bSkipRangeY)) {
    m_bInRange = 0;
    return 0;
  }
  m_bInRange = 1;
  if (m_Type.m_bGroupFlag) {
    // A group number outside the flags is a range error; nothing is raised for it.
    const int group = m_Type.m_nGroup;
    if (group >= 0 && static_cast<size_t>(group) < groupFlags.size())
      groupFlags[static_cast<size_t>(group)] = 1;
    else
      ReportRangeError('V', group, static_cast<int32_t>(groupFlags.size()), 1);
  }
  return 1;
}

// Out of range and out of an active group, only a walking character finishing a jump acts: one
// that has taken off, or one that acted before and is still in the air.
int cChara::IsActiveNow(std::vector<uint8_t>& groupFlags) {
  const bool groupActive = m_Type.m_bGroupFlag && VecAt(groupFlags, m_Type.m_nGroup) != 0;
  if (!m_bInRange && !groupActive) {
    const bool finishingJump = !m_bGravityFree && (m_bTookOff || (m_bLatchedActive && m_bInAir));
    if (!finishingJump) return 0;
  }
  m_bLatchedActive = 1;
  if (m_Type.m_nActiveMode == 1) {
    m_bSkipRangeX = 1;
    m_bSkipRangeY = 1;
  }
  UpdateScreenRect();
  return 1;
}

bool cChara::OverlapsRect(double left, double top, double right, double bottom) const {
  return m_dX <= right && m_dX2 >= left && m_dY <= bottom && m_dY2 >= top;
}

int cChara::UsesFootPoint(int referenceMode, int gravityFree) const {
  return referenceMode == 1 || (referenceMode == 2 && !gravityFree) ? 1 : 0;
}

// The item's half-size picture above the character, shown in the last 32 frames of every 96.
void cChara::DrawCarriedItemIcon(DDSURFACEDATA* target) {
  const cItem* item = CarriedItem();
  if (!item || !m_bOnScreen || m_Type.m_nOpt18 || item->m_Type.m_bInvisible) return;
  if (m_nIconTimer >= 64) {
    const int x = m_ScreenRect.left + (m_nGraphicWidth >> 1) - (item->m_nGraphicWidth >> 2);
    const int y = m_ScreenRect.top - (item->m_nGraphicHeight >> 1);
    DrawGraphicRef(target, x, y, item->m_Type.m_nGraphicKind, item->m_nGraphic, item->m_Type.m_nGraphicSub);
  }
  if (++m_nIconTimer >= 96) m_nIconTimer = 0;
}
