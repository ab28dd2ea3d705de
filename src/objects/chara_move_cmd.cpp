// The movement arithmetic of the movement commands: direction rules, the velocity from a direction,
// an angle or a point, the ground turnaround, the screen-edge avoidance, and applying a velocity
// with the facing and the move animation.
#include <cmath>

#include "data/move_shot.h"
#include "data/play_mode.h"
#include "data/system_data.h"
#include "data/vocabulary_tables.h"
#include "objects/chara.h"
#include "objects/chara_base.h"
#include "objects/flow_state.h"
#include "objects/play_objects.h"
#include "objects/stage_physics.h"
#include "objects/stage_state.h"

namespace {

constexpr double kTowardZero = 1e-8;  // a velocity this small gives no facing
constexpr double kPi = 3.14159265358979;

// Facing results.
constexpr int kFacingNone = 0;
constexpr int kFacingLeft = 1;
constexpr int kFacingRight = 2;

// The direction codes that depend on the facing: forward, backward and their vertical forms.
int ResolveByFacing(int code, bool facingRight) {
  switch (code) {
    case kMoveDirFront: return facingRight ? kMoveDirRight : kMoveDirLeft;
    case kMoveDirBack: return facingRight ? kMoveDirLeft : kMoveDirRight;
    case kMoveDirFrontY: return facingRight ? kMoveDirDown : kMoveDirUp;
    case kMoveDirBackY: return facingRight ? kMoveDirUp : kMoveDirDown;
    default: return code;
  }
}

bool HasLeft(int kind) { return kind == kMoveDirLeft || kind == kMoveDirUpLeft || kind == kMoveDirDownLeft; }
bool HasRight(int kind) { return kind == kMoveDirRight || kind == kMoveDirUpRight || kind == kMoveDirDownRight; }
bool HasUp(int kind) { return kind == kMoveDirUp || kind == kMoveDirUpLeft || kind == kMoveDirUpRight; }
bool HasDown(int kind) { return kind == kMoveDirDown || kind == kMoveDirDownLeft || kind == kMoveDirDownRight; }

// A block solid for the kind number in a cell (none outside the block table).
bool SolidCell(int column, int row, int kind) {
  cBlock* block = BlockAtCell(column, row);
  return block && GetBlockContact(*block, kind) != 0;
}

// One axis of AvoidScreenEdge: the velocity that brings a graphic whose near edges on screen are
// low and high back into the view of the given size, toward the direction asked.
double AvoidEdge(bool towardLow, bool towardHigh, int low, int high, int viewSize, const cScrollAxis& axis,
                 double speed) {
  const double s = RunningAutoScroll(axis);
  const double scroll = axis.m_dPosition;
  const double far = viewSize - 32;
  if (s == 0) {
    if (towardLow && low > far) return -speed;
    if (towardHigh && high < 32) return speed;
    return 0.0;
  }
  const double f = std::fabs(s + 1);
  const double lastScroll = axis.m_nMapDots - viewSize;
  if (towardLow && low > far - f && scroll > 0 && s + scroll <= lastScroll) return s - speed;
  if (towardHigh && high < f + 32 && s + scroll > 0 && scroll < lastScroll) return s + speed;
  return 0.0;
}

}  // namespace

int cCharaBase::ResolveDirection(int code, int inputFlag, int keyArg, int flying) const {
  if (code != kMoveDirInput) return ResolveByFacing(code, m_nFacing != 0);
  int key = 0;
  if (inputFlag) {
    key = HeldDirKey();
  } else if (const cStageState* stage = g_lpSceneStage; stage && stage->m_lpCurFlowState) {
    key = stage->m_lpCurFlowState->m_nStartKey;
  }
  const int kind = MapDirKind(key, keyArg, m_nFacing != 0, PlaybackDataVersion());
  if (!flying) {
    if (kind == kMoveDirUpLeft || kind == kMoveDirDownLeft) return kMoveDirLeft;
    if (kind == kMoveDirUpRight || kind == kMoveDirDownRight) return kMoveDirRight;
  }
  return kind;
}

void cCharaBase::SpeedsForDirection(double& vx, double& vy, int& facing, double speed, int code) const {
  vx = 0.0;
  vy = 0.0;
  const int kind = ResolveDirection(code, 0, 1, m_bGravityFree);
  if (kind < kMoveDirLeft || kind > kMoveDirDownRight) return;
  const double diagonal = speed * g_dHalfSqrt2;
  int result = facing;
  switch (kind) {
    case kMoveDirLeft:
      vx = -speed;
      result = kFacingLeft;
      break;
    case kMoveDirRight:
      vx = speed;
      result = kFacingRight;
      break;
    case kMoveDirUp:
      if (m_bGravityFree) vy = -speed;
      result = kFacingNone;
      break;
    case kMoveDirDown:
      if (m_bGravityFree) vy = speed;
      result = kFacingNone;
      break;
    case kMoveDirUpLeft:
      vx -= diagonal;
      if (m_bGravityFree) vy -= diagonal;
      result = kFacingLeft;
      break;
    case kMoveDirDownLeft:
      vx -= diagonal;
      vy += diagonal;
      result = kFacingLeft;
      break;
    case kMoveDirUpRight:
      vx += diagonal;
      vy -= diagonal;
      result = kFacingRight;
      break;
    case kMoveDirDownRight:
      vx += diagonal;
      vy += diagonal;
      result = kFacingRight;
      break;
    default: break;
  }
  if (!m_Type.m_nOpt31) facing = result;  // a fixed facing gets no facing result
}

void cCharaBase::SpeedsForAngle(double& vx, double& vy, int& facing, double speed, int code, int angle) const {
  // Per direction kind: the base angle and the facing result (other kinds: 0, facing unchanged).
  struct cBase {
    int kind, angle, facing;
  };
  static constexpr cBase kBases[] = {
      {kMoveDirLeft, 0, kFacingLeft},       {kMoveDirRight, 180, kFacingRight},
      {kMoveDirUp, 90, kFacingNone},        {kMoveDirDown, 270, kFacingNone},
      {kMoveDirUpLeft, 45, kFacingLeft},    {kMoveDirDownLeft, 315, kFacingLeft},
      {kMoveDirUpRight, 135, kFacingRight}, {kMoveDirDownRight, 225, kFacingRight},
  };
  const int kind = ResolveDirection(code, 0, 1, m_bGravityFree);
  int base = 0;
  for (const cBase& b : kBases) {
    if (b.kind != kind) continue;
    base = b.angle;
    facing = b.facing;
  }
  const double a = (angle + base) * kPi / 180;
  vx = -std::cos(a) * speed;
  vy = m_bGravityFree ? -std::sin(a) * speed : 0.0;
}

// Reduced below 360 as repeated subtraction would, without looping over a large angle.
int cCharaBase::CmdAngle(const cCmdState& state) const {
  const cEdMove& settings = MoveSettingsOf(state);
  int angle = m_nClone * settings.m_nAngleStep + settings.m_nAngle;
  if (settings.m_bAngleMirror && m_Type.m_nFacing == 1) angle = 360 - angle;
  if (angle >= 360) angle %= 360;
  return angle;
}

void cCharaBase::CmdOffsets(cCmdState& state) const {
  const cEdMove& settings = MoveSettingsOf(state);
  int x = 0;
  int y = 0;
  switch (settings.m_nOffsetUnit) {
    case 0:
      x = settings.m_nCellX * 32 + settings.m_nDotX;
      y = settings.m_nCellY * 32 + settings.m_nDotY;
      break;
    case 1:
      x = settings.m_nCellX + settings.m_nDotX;
      y = settings.m_nCellY + settings.m_nDotY;
      break;
    default: return;  // other units leave the offsets as they were
  }
  if (m_Type.m_nFacing == 1) {
    if (settings.m_bMirrorX) x = -x;
    if (settings.m_bMirrorY) y = -y;
  }
  state.m_nOffsetX = x;
  state.m_nOffsetY = y;
}

void cCharaBase::PointSpeeds(double& vx, double& vy, int& facing, const cCmdState& state, double speed, double targetX,
                             double targetY, int& steps) const {
  const cEdMove& settings = MoveSettingsOf(state);
  const cStageState* stage = g_lpSceneStage;
  const double scrollX = stage ? stage->m_ScrollX.m_dPosition : 0.0;
  const double scrollY = stage ? stage->m_ScrollY.m_dPosition : 0.0;
  const double cx = ScreenCentreX() + scrollX;
  const double cy = ScreenCentreY() + scrollY;
  const int half = settings.m_nOffsetUnit == 1 ? 0 : 16;  // the middle of a cell, unless offsets are dots
  double dx = 0.0;
  double dy = 0.0;
  switch (settings.m_nM12) {
    case 0:  // from the start point
      if (settings.m_nM6) dx = targetX + m_dHomeX - cx;
      if (settings.m_nM7) dy = targetY + m_dHomeY - cy;
      break;
    case 1:  // relative
      dx = targetX;
      dy = targetY;
      break;
    case 2: {  // map cells
      const int marginX = stage ? stage->m_ScrollX.m_nMarginCells : 0;
      const int marginY = stage ? stage->m_ScrollY.m_nMarginCells : 0;
      dx = targetX + marginX * 32 + half - cx;
      dy = targetY + marginY * 32 + half - cy;
      break;
    }
    case 3:  // screen
      dx = scrollX + targetX + half - cx;
      dy = scrollY + targetY + half - cy;
      break;
    default: break;
  }
  const double d = std::sqrt(dx * dx + dy * dy);
  if (d != 0) {
    vx = settings.m_bLockX ? 0.0 : dx / d * speed;
    vy = settings.m_bLockY ? 0.0 : dy / d * speed;
  } else {
    vx = 0.0;
    vy = 0.0;
  }
  if (!m_Type.m_nOpt31) facing = vx < -kTowardZero ? kFacingLeft : vx > kTowardZero ? kFacingRight : kFacingNone;
  if (settings.m_nM15 && speed != 0) {
    steps = TruncToInt(std::fabs(d) / std::fabs(speed));
    if (settings.m_nM21 && steps < 1) {  // the point is reached within this step: the axes in use stop
      if (settings.m_nM6 && !settings.m_bLockX) {
        vx = 0.0;
        facing = kFacingNone;
      }
      if (settings.m_nM7 && !settings.m_bLockY) vy = 0.0;
    }
  }
}

void cCharaBase::TurnaroundSpeeds(cCmdState& state) {
  state.m_dVelY = 0.0;
  state.m_nFacing = kFacingNone;
  state.m_dVelX = FacingSign() * state.m_dSpeed;
  if (m_bLeftRide) {
    // Off a ride: turn back, and take along what the ridden character moved since the ride began
    // (twice when it moved against the new direction).
    state.m_nFacing = m_nFacing ? kFacingLeft : kFacingRight;
    state.m_dVelX = -state.m_dVelX;
    for (const cChara& ridden : g_CharaList) {
      if (ridden.m_nNumber != m_nRiddenId) continue;
      const double moved = ridden.m_dX - m_PushRect.left;
      const bool against = (moved < 0 && m_nFacing) || (moved > 0 && !m_nFacing);
      state.m_dVelX += against ? 2 * moved : moved;
      break;
    }
    m_bLeftRide = 0;
    return;
  }
  // At a floor's edge: the two cells just below the feet decide.
  int row = TruncToInt(m_dY2 + 1.1) >> 5;
  if (const cStageState* stage = g_lpSceneStage; stage && row > stage->m_ScrollY.m_nCells - 1)
    row = stage->m_ScrollY.m_nCells - 1;
  const bool leftSolid = SolidCell(m_nCellX, row, m_nKind);
  const bool rightSolid = SolidCell(m_nCellX2, row, m_nKind);
  const bool backwards = state.m_dSpeed < 0 && !g_SystemData.m_bLegacy805;
  if (leftSolid && !rightSolid) state.m_nFacing = backwards ? kFacingRight : kFacingLeft;
  if (rightSolid && !leftSolid) state.m_nFacing = backwards ? kFacingLeft : kFacingRight;
}

void cCharaBase::AvoidScreenEdge(cCmdState& state) const {
  const int kind = ResolveByFacing(MoveSettingsOf(state).m_nDirection, m_nFacing != 0);
  state.m_dVelX = 0.0;
  state.m_dVelY = 0.0;
  const cStageState* stage = g_lpSceneStage;
  if (!stage) return;
  state.m_dVelX = AvoidEdge(HasLeft(kind), HasRight(kind), m_ScreenRect.left, m_ScreenRect.right, 640, stage->m_ScrollX,
                            state.m_dSpeed);
  state.m_dVelY = AvoidEdge(HasUp(kind), HasDown(kind), m_ScreenRect.top, m_ScreenRect.bottom, 480, stage->m_ScrollY,
                            state.m_dSpeed);
}

int cCharaBase::ApplyCmdVelocity(double vx, double vy, int facing, cCmdState& state, const cEdMove& settings,
                                 int forced) {
  if ((!m_Type.m_nOpt31 || forced) && settings.m_nM22 == 0) {
    if (facing == kFacingLeft) m_nFacing = 0;
    if (facing == kFacingRight) m_nFacing = 1;
  }
  if (settings.m_bSecondSpeed) {
    // Acceleration mode: the velocity accelerates the impacts, harder (M33) against their sense.
    auto accelerate = [&](double& impact, double v, int32_t& frictionFlag) {
      double increment = StepsToSeconds(v);
      if ((impact > 0 && v < 0) || (impact < 0 && v > 0)) {
        increment *= settings.m_dM33;
      } else {
        frictionFlag = 0;
      }
      impact += increment;
      if (impact > state.m_dSpeed2)
        impact = state.m_dSpeed2;
      else if (impact < -state.m_dSpeed2)
        impact = -state.m_dSpeed2;
    };
    accelerate(m_dImpactX, vx, m_bFrictionX);
    accelerate(m_dImpactY, vy, m_bFrictionY);
  } else {
    m_dSpeedX += vx;
    m_dSpeedY += vy;
  }
  // The move animation: a request of a lower level never replaces a higher one.
  auto request = [&](int level, int anime) {
    m_bMoved = 1;
    if (m_nMoveLevel > level) return level;
    m_nMoveLevel = level;
    m_nMoveAnime = anime;
    return static_cast<int>(m_bGravityFree);
  };
  switch (settings.m_nAnimeChoice) {
    case 0: return request(2, m_bGravityFree ? 3 : 1);
    case 1: return request(1, m_bGravityFree ? 2 : 0);
    default: return settings.m_nAnimeChoice - 1;
  }
}
