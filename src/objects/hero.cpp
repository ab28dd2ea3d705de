// The hero: building from the placed hero's type, the walking and flying forms with their three
// boxes, the camera that follows it, its moves, the crush grace and the items it touches and takes.
#include "objects/hero.h"

#include <algorithm>

#include "core/containers.h"
#include "core/log.h"
#include "data/stage_data.h"
#include "data/system_data.h"
#include "objects/cell_math.h"
#include "objects/flow_context.h"
#include "objects/flow_hooks.h"
#include "objects/flow_runner.h"
#include "objects/item.h"
#include "objects/stage_physics.h"
#include "objects/stage_state.h"
#include "shell/input_state.h"

namespace {

constexpr int kViewWidth = 640;
constexpr int kViewHeight = 480;
// Item-context kind of the arrange command, which is not itself arranged.
constexpr int kItemCmdArrange = 23;

// Scrolls an axis so that a box of the given size at pos stands in the middle of the view, inside
// the axis's scroll range; an axis that scrolls by itself is left alone.
void FollowOnAxis(cScrollAxis& axis, double pos, int size, int centre, int view) {
  if (axis.m_bAutoOn) return;
  double scroll = pos - (centre - (size >> 1));
  if (axis.m_nLowLimit > scroll)
    scroll = axis.m_nLowLimit;
  else if (axis.m_nHighLimit <= scroll + view)
    scroll = axis.m_nHighLimit - view;
  axis.m_dPosition = scroll;
}

// Left (or top) of the graphic on screen: with the axis scrolling by itself the position and the
// scroll are each truncated to whole dots first, else their difference is.
int ScreenEdge(const cScrollAxis& axis, double pos, int hitOffset) {
  if (axis.m_bAutoOn) return TruncToInt(pos) - TruncToInt(axis.m_dPosition) - hitOffset;
  return TruncToInt(pos - axis.m_dPosition - hitOffset);
}

}  // namespace

void cHero::InitHero(int id, cCharaType& type, double startX, double startY, int clone) {
  if (type.m_nScale == 0) type.m_nScale = 1;
  InitFromType(&type, startX, startY, clone);

  int offsetX = 0, offsetY = 0, width = 0, height = 0;
  GetHeroHitBox(offsetX, offsetY, width, height);
  InitObject(id, m_Type.m_nControl, m_Type.m_nPlayer, m_Type.m_nOpt28, m_Type.m_nGraphic, nullptr, 0, offsetX, offsetY,
             width, height, 32, 32, 1, 0, clone);

  // A player number without an input record is a range error; the hero then reads no input.
  const int player = m_Type.m_nPlayer;
  if (player >= 0 && static_cast<size_t>(player) < g_InputStates.size()) {
    m_lpInput = &g_InputStates[static_cast<size_t>(player)];
  } else {
    ReportRangeError('V', player, static_cast<int32_t>(g_InputStates.size()),
                     static_cast<int32_t>(sizeof(cInputState)));
    m_lpInput = nullptr;
  }
  ChangeMoveMode(m_Type.m_nMoveMode, 0, 0, 0);
  SetScale(m_Type.m_nScale, 1, 1);

  m_nFacing = m_Type.m_nFacing;
  m_nPrevFacing = m_nFacing;
  m_bSavedRect = 0;
  m_bRestoreOnCrush = 0;
  m_bNoJump = 0;
  m_nJumpHold = 0;
  m_bJumpProcessed = 0;
  m_bJumpReady = 1;
  m_dDecelUnit = 4.0 / StageSubStepsD();
  m_nFloorEffect = 0;
  m_dFloorFactor = 0.0;
  m_nFloorSteps = 0;
  m_anFloorExtra[0] = 0;
  m_anFloorExtra[1] = 0;
  m_nFrameCounter = 0;
  m_anScratch[0] = 0;
  m_anScratch[1] = 0;
  m_bKnockLoggedX = 0;
  m_bKnockLoggedY = 0;

  BuildHitBoxDisplay();
  m_Touching.clear();
  InstallFlows(*this, m_Type.m_aFlows, 0, -1);
}

void cHero::GetHeroHitBox(int& offsetX, int& offsetY, int& width, int& height) const {
  const cStageData& stage = g_StageFile;
  const int form = m_bGravityFree ? 1 : 0;
  width = stage.m_anHeroHitBox[2 * form];
  height = stage.m_anHeroHitBox[2 * form + 1];
  HitBoxOffsetsInCell(width, height, stage.m_anHeroHitBoxBottom[form] != 0, offsetX, offsetY);
}

void cHero::ChangeMoveMode(int mode, int scale, int saveRect, int restoreOnCrush) {
  const int wasFlying = m_bGravityFree;
  const int oldMode = m_Type.m_nMoveMode;
  m_Type.m_nMoveMode = static_cast<int8_t>(mode);
  SetFlyingMode(mode);

  if (saveRect) {
    m_bSavedRect = 1;
    m_dSavedX = m_dX;
    m_dSavedY = m_dY;
    m_dSavedX2 = m_dX2;
    m_dSavedY2 = m_dY2;
  }
  if (m_Type.m_nMoveMode != oldMode) {
    m_nCrushGrace = 2;
    if (restoreOnCrush) m_bRestoreOnCrush = 1;
  }
  if (wasFlying && !m_bGravityFree) {
    m_dSpeedX = 0.0;
    m_dSpeedY = 0.0;
    m_dImpactX = 0.0;
    m_dImpactY = 0.0;
  }
  if (m_bGravityFree && !g_SystemData.m_bLegacy818b) {
    m_bInAir = 1;
    m_nAirCount = StageSubSteps8();
  }

  int offsetX = 0, offsetY = 0, width = 0, height = 0;
  GetHeroHitBox(offsetX, offsetY, width, height);
  m_nWidth = m_nBaseWidth = width;
  m_nHeight = m_nBaseHeight = height;
  m_nHitOffsetX = m_nBaseHitOffsetX = offsetX;
  m_nHitOffsetY = m_nBaseHitOffsetY = offsetY;
  m_nGraphicWidth = m_nBaseGraphicWidth = 32;
  m_nGraphicHeight = m_nBaseGraphicHeight = 32;

  const cStageData& stage = g_StageFile;
  const int form = m_bGravityFree ? 1 : 0;
  switch (m_Type.m_nSizeMode) {
    case 0: {
      const int* pair = form ? stage.m_anHeroCharaBoxFly : stage.m_anHeroCharaBoxWalk;
      SetCharaBox(stage.m_anHeroCharaBoxAlign[form], pair[0], pair[1]);
      break;
    }
    case 1: SetCharaBox(0, stage.m_anHeroShotBox[0], stage.m_anHeroShotBox[1]); break;
    case 2: SetCharaBox(0, stage.m_anShotCharaBox[0], stage.m_anShotCharaBox[1]); break;
    case 3: SetCharaBox(0, 32, 32); break;
    default: break;
  }
  SetCentredBox(m_ShotBox, stage.m_anHeroShotBox[0], stage.m_anHeroShotBox[1], m_nHitOffsetX, m_nHitOffsetY);
  SetCentredBox(m_ItemBox, stage.m_anHeroItemBox[0], stage.m_anHeroItemBox[1], m_nHitOffsetX, m_nHitOffsetY);

  if (scale) {
    const int s = m_Type.m_nScale;
    m_nWidth = ScaledSize(m_nWidth, s);
    m_nHeight = ScaledSize(m_nHeight, s);
    m_nHitOffsetX = ScaledSize(m_nHitOffsetX, s);
    m_nHitOffsetY = ScaledSize(m_nHitOffsetY, s);
    m_nGraphicWidth = ScaledSize(m_nGraphicWidth, s);
    m_nGraphicHeight = ScaledSize(m_nGraphicHeight, s);
    ScaleHitBox(m_CharaBox, s);
    ScaleHitBox(m_ShotBox, s);
    ScaleHitBox(m_ItemBox, s);
  }
  BuildHitBoxDisplay();
}

void cHero::RecomputeHitBox(int scale) {
  ScaleHitBox(m_CharaBox, scale);
  ScaleHitBox(m_ShotBox, scale);
  ScaleHitBox(m_ItemBox, scale);
  AfterMoveX();
  AfterMoveY();
}

void cHero::UpdateHitRectX() {
  const int x = TruncToInt(m_dX);
  PlaceHitBoxX(m_CharaBox, x);
  PlaceHitBoxX(m_ShotBox, x);
  PlaceHitBoxX(m_ItemBox, x);
}

void cHero::UpdateHitRectY() {
  const int y = TruncToInt(m_dY);
  PlaceHitBoxY(m_CharaBox, y);
  PlaceHitBoxY(m_ShotBox, y);
  PlaceHitBoxY(m_ItemBox, y);
}

void cHero::UpdateHeroScreenRect() {
  const cStageState* stage = g_lpSceneStage;
  if (!stage) return;
  m_ScreenRect.left = ScreenEdge(stage->m_ScrollX, m_dX, m_nHitOffsetX);
  m_ScreenRect.right = m_ScreenRect.left + m_nGraphicWidth - 1;
  m_ScreenRect.top = ScreenEdge(stage->m_ScrollY, m_dY, m_nHitOffsetY);
  m_ScreenRect.bottom = m_ScreenRect.top + m_nGraphicHeight - 1;
}

// The view follows the hero, which is then kept inside the scroll range (flying) or the outer
// limits (walking).
int cHero::AfterMoveX() {
  if (cStageState* stage = g_lpSceneStage) FollowOnAxis(stage->m_ScrollX, m_dX, m_nWidth, 320, kViewWidth);
  const int code = ClampToStageX(m_bGravityFree ? 0 : 1);
  m_dX2 = m_nWidth + m_dX - 1;
  return code;
}

int cHero::AfterMoveY() {
  if (cStageState* stage = g_lpSceneStage) FollowOnAxis(stage->m_ScrollY, m_dY, m_nHeight, 240, kViewHeight);
  return ClampToStageY(m_bGravityFree ? 0 : 1);
}

// The hero's horizontal move goes through the camera rather than the map clamp; it always
// answers 0. A knock-back is reported once when it starts, not on every sub-step it lasts.
int cHero::MoveX() {
  if (m_dKnockX != 0.0) {
    m_dSpeedX = m_dKnockX;
    if (!m_bKnockLoggedX) LogPrintf("MoveX() m_dSpeedX = %lf, m_dImpactX = %lf", m_dSpeedX, m_dKnockX);
    m_bKnockLoggedX = 1;
  } else {
    m_bKnockLoggedX = 0;
    if (m_dImpactX != 0.0) {
      ApplyFriction(m_dImpactX, m_bFrictionX);
      if (m_nFloorEffect == 3 && m_nFloorSteps > 0) {
        // A floor that changes the walking speed stretches or shrinks the impact by its factor.
        const double change = StepsToSeconds(m_dDecelUnit) * (m_dFloorFactor - 1);
        if (m_dImpactX > 0.0) {
          m_dImpactX += change;
          if (m_dImpactX < 0.0) m_dImpactX = 0.0;
        } else {
          m_dImpactX -= change;
          if (m_dImpactX > 0.0) m_dImpactX = 0.0;
        }
      }
      m_dSpeedX += m_dImpactX;
    }
  }
  const double limit = StageSpeedLimitPerStep();
  m_dSpeedX = std::clamp(m_dSpeedX, -limit, limit);
  m_dX += m_dSpeedX;
  AfterMoveX();
  return 0;
}

// 7 when a walking hero fell out below the outer limit or the map.
int cHero::MoveY() {
  ApplyKnockbackY();
  if (m_dKnockY != 0.0) {
    if (!m_bKnockLoggedY) LogPrintf("MoveY() m_dSpeedY = %lf, m_dImpactY = %lf", m_dSpeedY, m_dKnockY);
    m_bKnockLoggedY = 1;
  } else {
    m_bKnockLoggedY = 0;
    if (m_bGravityFree && m_dImpactY != 0.0) {
      ApplyFriction(m_dImpactY, m_bFrictionY);
      m_dSpeedY += m_dImpactY;
    }
  }
  const int code = MoveObjY(m_bGravityFree ? 0 : 2);
  AfterMoveY();
  if (!m_bGravityFree && (code == kClampBelowOuter || code == kClampMapBottom)) return 7;
  return code;
}

void cHero::RememberFloor() { m_lpPrevFloorBlock = m_lpFloorBlock; }

void cHero::RememberFacing() { m_nPrevFacing = m_nFacing; }

// Within the grace that follows a change of form the hero survives; the first crush puts it back
// where it was when the form changed, when that was asked for.
int cHero::SurviveCrush() {
  if (m_nCrushGrace <= 0) return 0;
  if (m_bRestoreOnCrush && m_bSavedRect) {
    m_bRestoreOnCrush = 0;
    m_dX = m_dSavedX;
    m_dY = m_dSavedY;
    m_dX2 = m_dSavedX2;
    m_dY2 = m_dSavedY2;
  }
  return 1;
}

int cHero::IsNotTouching(const cObject& item) const {
  return std::find(m_Touching.begin(), m_Touching.end(), item.m_nNumber) == m_Touching.end() ? 1 : 0;
}

void cHero::ForgetTouch(const cObject& item) { m_Touching.remove(item.m_nNumber); }

// The item's flow variables stand in for a flow's while its commands run; the flow context the
// stage published before (a flow's, when a command took the item) is its own again afterwards. A
// command that leaves the hero without life ends the list with 2; any other non-zero result ends
// it with that result.
int cHero::RunItemCommands(cItem& item) {
  cFlowContextScope keep;
  if (cStageState* stage = g_lpSceneStage) {
    stage->m_lpFlowVars = item.m_anFlowVars;
    stage->m_bItemMesContinue = 0;
  }
  for (cFlowCmd& cmd : item.m_Type.m_aCmds) {
    if (cmd.m_nKind != kItemCmdArrange) CallApplyHeroArrangeList(cmd, *this);
    const int result = CallItemCmdTable(*this, cmd);
    if (m_nHp <= 0) return 2;
    if (result != 0) return result;
  }
  return m_nHp <= 0 ? 2 : 0;
}

void cHero::ShowItemMes(int kind, int number, int pattern) { AddItemMes(*this, kind, number, pattern); }
