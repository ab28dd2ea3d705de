// The movement commands: straight, ground turnaround, circle, charge, homing, off-screen avoidance
// and disabling movement. Each computes a velocity into its command state with the character's
// movement arithmetic and applies it; the flow runner calls them once per logic sub-step.
#include <cmath>
#include <cstdint>

#include "core/containers.h"
#include "data/move_shot.h"
#include "data/system_data.h"
#include "flow/action_cmds.h"
#include "objects/chara_base.h"
#include "objects/flow_state.h"
#include "objects/stage_physics.h"
#include "objects/stage_state.h"

namespace {

constexpr double kDegPerRad = 57.29577951308239;
constexpr double kRadPerDeg = 0.017453292519943278;

// Circle senses of the direction code.
enum : int { kClockwise = 0, kAnticlockwise = 1, kClockwiseFacingLeft = 2, kAnticlockwiseFacingLeft = 3 };

// Every movement body starts by letting go of a fixed screen position.
void ClearCmdMoveFlags(cCharaBase& actor) {
  actor.m_bFixedScreenX = 0;
  actor.m_bFixedScreenY = 0;
}

bool IsFlying(const cCharaBase& actor) { return actor.m_bGravityFree != 0; }

void KeepGroundVelocity(const cCharaBase& actor, cCmdState& state) {
  if (!IsFlying(actor)) state.m_dVelY = 0.0;
}

int Apply(cCharaBase& actor, cCmdState& state, int forced = 0) {
  return actor.ApplyCmdVelocity(state.m_dVelX, state.m_dVelY, state.m_nFacing, state, MoveSettingsOf(state), forced);
}

// The target slot of charge and homing (the settings' target byte, 0-3 for "ターゲット1"-"ターゲット4").
cCharaBase* MoveTarget(const cCharaBase& actor, const cCmdState& state) {
  return VecAt(actor.m_apTargets, MoveSettingsOf(state).m_nM35);
}

// A remembered aim point is kept in map dots, so that a scroll in the meantime does not shift it.
double ScrollX() { return g_lpSceneStage ? g_lpSceneStage->m_ScrollX.m_dPosition : 0.0; }
double ScrollY() { return g_lpSceneStage ? g_lpSceneStage->m_ScrollY.m_dPosition : 0.0; }

// The point a flying move steers to: the target's centre plus the offsets; an axis the settings
// lock keeps the actor's own centre, so that it gives no motion.
void TargetAimPoint(const cCharaBase& actor, const cCharaBase& target, const cCmdState& state, int& x, int& y) {
  x = actor.ScreenCentreX();
  y = actor.ScreenCentreY();
  target.CommandTargetPoint(x, y, state);
}

// The charge's fixed angle turns the aimed velocity.
void TurnChargeVelocity(const cCharaBase& actor, cCmdState& state) {
  const double speed = state.m_dSpeed;
  double b = 0.0;
  if (g_SystemData.m_bLegacy728) {
    b = state.m_nAngle + std::atan2(state.m_dVelX, state.m_dVelY) * kDegPerRad + 90;
    state.m_dVelX = speed * std::cos(b * kRadPerDeg);
  } else {
    b = std::atan2(state.m_dVelY, state.m_dVelX) * kDegPerRad + 180 + state.m_nAngle;
    state.m_dVelX = -(speed * std::cos(b * kRadPerDeg));
  }
  if (IsFlying(actor)) state.m_dVelY = -(speed * std::sin(b * kRadPerDeg));
}

}  // namespace

int CmdStraightMove(cCharaBase& actor, cCmdState& state) {
  ClearCmdMoveFlags(actor);
  const cEdMove& move = MoveSettingsOf(state);
  if (!state.m_bStarted) {
    state.m_bStarted = 1;
    state.m_nAngle = actor.CmdAngle(state);
    if (move.m_nMoveKind == 1) actor.CmdOffsets(state);
    if (move.m_nMoveKind == 0) {
      if (state.m_nAngle != 0) {
        actor.SpeedsForAngle(state.m_dVelX, state.m_dVelY, state.m_nFacing, state.m_dSpeed, state.m_nDirection,
                             state.m_nAngle);
      } else {
        actor.SpeedsForDirection(state.m_dVelX, state.m_dVelY, state.m_nFacing, state.m_dSpeed, state.m_nDirection);
      }
    } else if (move.m_nMoveKind == 1) {
      int steps = 0;
      actor.PointSpeeds(state.m_dVelX, state.m_dVelY, state.m_nFacing, state, state.m_dSpeed, state.m_nOffsetX,
                        state.m_nOffsetY, steps);
    }
    KeepGroundVelocity(actor, state);
  } else {
    KeepGroundVelocity(actor, state);
    // A character whose facing stays fixed reverses the move when it is turned round.
    const bool byDirection = g_SystemData.m_bLegacy783 || move.m_nMoveKind == 0;
    if (move.m_bTurnWithFacing && actor.m_Type.m_nOpt31 && byDirection && actor.m_nFacing != state.m_nPrevFacing) {
      state.m_dVelX = -state.m_dVelX;
      state.m_dVelY = -state.m_dVelY;
    }
  }
  if (!g_SystemData.m_bLegacy773) {
    if (move.m_bLockX) state.m_dVelX = 0.0;
    if (move.m_bLockY) state.m_dVelY = 0.0;
  }
  const int result = Apply(actor, state);
  state.m_nPrevFacing = actor.m_nFacing;
  return result;
}

int CmdTurnaroundMove(cCharaBase& actor, cCmdState& state) {
  ClearCmdMoveFlags(actor);
  if (IsFlying(actor)) return 0;
  if (actor.m_dKnockX != 0 || actor.m_dKnockY != 0) {
    // Knocked back: keep walking the way it faces, without turning.
    state.m_dVelX = actor.FacingSign() * state.m_dSpeed;
    state.m_dVelY = 0.0;
    state.m_nFacing = 0;
  } else {
    actor.TurnaroundSpeeds(state);
  }
  return Apply(actor, state, 1);
}

// The character runs round a circle of the state's radius: each axis moves by the change of
// radius x sin over the angle the step covers, the vertical axis a quarter turn apart (ahead for
// clockwise, behind for anticlockwise, screen y pointing down). The phases count degrees x n; a
// call advances them by speed x n, so the angle grows by the speed each sub-step. A walking
// character swings along x only.
int CmdCircleMove(cCharaBase& actor, cCmdState& state) {
  ClearCmdMoveFlags(actor);
  if (state.m_nRadius == 0) return 0;
  const cEdMove& move = MoveSettingsOf(state);
  if (!state.m_bStarted) {
    state.m_bStarted = 1;
    state.m_dPhaseX = state.m_nStartAngle;
    state.m_dPhaseY = state.m_nStartAngle;
  }
  int sense = state.m_nDirection;
  if (sense == kClockwiseFacingLeft) sense = actor.m_nFacing == 0 ? kClockwise : kAnticlockwise;
  if (sense == kAnticlockwiseFacingLeft) sense = actor.m_nFacing == 0 ? kAnticlockwise : kClockwise;
  const double baseY = sense == kAnticlockwise ? 90 : 270;
  const double speed = state.m_dSpeed;
  const double step = speed * StageSubStepsD();
  const double radius = state.m_nRadius;
  state.m_dVelX = 0.0;
  state.m_dVelY = 0.0;
  state.m_nFacing = 0;
  if (!move.m_bLockX) state.m_dVelX -= WaveSpeed(radius, 1, state.m_dPhaseX, step, 0) * speed;
  if (IsFlying(actor) && !move.m_bLockY) state.m_dVelY -= WaveSpeed(radius, 1, state.m_dPhaseY, step, baseY) * speed;
  return Apply(actor, state);
}

int CmdChargeMove(cCharaBase& actor, cCmdState& state) {
  ClearCmdMoveFlags(actor);
  const cEdMove& move = MoveSettingsOf(state);
  if (!state.m_bStarted) {
    state.m_bStarted = 1;
    state.m_nAngle = actor.CmdAngle(state);
    actor.CmdOffsets(state);
    cCharaBase* target = MoveTarget(actor, state);
    if (!target) {
      state.m_dVelX = 0.0;
      state.m_dVelY = 0.0;
      return 0;
    }
    if (target->m_bDead) return 0;
    // The charge aims once, at its start, and keeps that velocity.
    if (IsFlying(actor)) {
      int x = 0;
      int y = 0;
      TargetAimPoint(actor, *target, state, x, y);
      actor.MoveTowardPoint(state, target, x, y, actor.m_bSyncScroll, move.m_nM21);
    } else if (move.m_bLockX) {
      state.m_dVelX = 0.0;
    } else {
      AimAtX(state.m_dVelX, state.m_dVelY, state.m_nFacing, target, actor.ScreenCentreX(),
             target->ScreenCentreX() + state.m_nOffsetX, state.m_dSpeed, actor.m_bSyncScroll, 0);
    }
    if (state.m_nAngle != 0) TurnChargeVelocity(actor, state);
  } else {
    KeepGroundVelocity(actor, state);
  }
  return Apply(actor, state);
}

// Homing with an update interval i follows the target's aim point of i calls before: the point is
// sampled every i calls (twice on the first) and the velocity re-aimed at the oldest one kept, which
// is then dropped. An interval of 0 or less re-aims at the target every call.
int CmdHomingMove(cCharaBase& actor, cCmdState& state) {
  ClearCmdMoveFlags(actor);
  cCharaBase* target = MoveTarget(actor, state);
  if (!target || target->m_bDead) return 0;
  const cEdMove& move = MoveSettingsOf(state);
  const bool first = !state.m_bStarted;
  if (first) {
    state.m_bStarted = 1;
    actor.CmdOffsets(state);
    state.m_Points.clear();  // points of an earlier run of the command are not this run's
  }
  const int interval = state.m_nInterval;
  const bool delayed = interval > 0;
  const bool sample = !delayed || state.m_nCalls % interval == 0;
  int x = 0;
  int y = 0;
  TargetAimPoint(actor, *target, state, x, y);
  if (!IsFlying(actor)) x = target->ScreenCentreX() + state.m_nOffsetX;
  if (delayed && sample) {
    // The first call remembers the point twice: it aims at it now and again i calls later.
    const cCmdPoint point = {x + ScrollX(), y + ScrollY()};
    if (first) state.m_Points.push_back(point);
    state.m_Points.push_back(point);
    const cCmdPoint oldest = state.m_Points.front();
    state.m_Points.pop_front();
    x = static_cast<int>(std::lround(oldest.dX - ScrollX()));
    y = static_cast<int>(std::lround(oldest.dY - ScrollY()));
  }
  if (IsFlying(actor)) {
    if (sample) actor.MoveTowardPoint(state, target, x, y, actor.m_bSyncScroll, move.m_nM21);
  } else {
    if (sample && !move.m_bLockX) actor.MoveTowardX(state, target, x, actor.m_bSyncScroll, move.m_nM21);
    state.m_dVelY = 0.0;
  }
  const int result = Apply(actor, state);
  ++state.m_nCalls;
  if (delayed && state.m_nCalls >= interval) state.m_nCalls = 0;  // the sampling only needs calls mod i
  return result;
}

int CmdAvoidEdgeMove(cCharaBase& actor, cCmdState& state) {
  ClearCmdMoveFlags(actor);
  actor.AvoidScreenEdge(state);
  KeepGroundVelocity(actor, state);
  const int result = Apply(actor, state);
  ++state.m_nCalls;
  return result;
}

int CmdDisableMove(cCharaBase& actor, cCmdState&) {
  actor.m_dSpeedX = actor.m_dSpeedY = 0.0;
  actor.m_dImpactX = actor.m_dImpactY = 0.0;
  actor.m_dKnockX = actor.m_dKnockY = 0.0;
  ClearCmdMoveFlags(actor);
  actor.m_bMoveDisabled = 1;
  actor.EndKnockback();
  return 0;
}
