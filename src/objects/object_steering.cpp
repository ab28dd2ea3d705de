// Steering of the move-to commands and the aiming shots, the knock-back launch and the wave terms.
#include <cmath>
#include <numbers>

#include "data/flow_cmd.h"
#include "data/move_shot.h"
#include "data/system_data.h"
#include "objects/flow_state.h"
#include "objects/object.h"
#include "objects/stage_physics.h"
#include "objects/stage_state.h"

namespace {

// The stage's running auto-scroll speeds (0 where an axis does not run or outside play).
struct cScrollSpeeds {
  double x = 0.0;
  double y = 0.0;
};

cScrollSpeeds RunningScrollSpeeds() {
  cScrollSpeeds speeds;
  if (const cStageState* stage = g_lpSceneStage) {
    speeds.x = RunningAutoScroll(stage->m_ScrollX);
    speeds.y = RunningAutoScroll(stage->m_ScrollY);
  }
  return speeds;
}

int FacingOf(double speedX) { return speedX > 0 ? 2 : speedX < 0 ? 1 : 0; }

// The launch speed of one knock-back component c (half blocks): the speed that, decaying by 1/n
// per sub-step, covers 16 |c| dots.
double LaunchComponent(double c) {
  const double n = StageSubStepsD();
  if (c > 0) return (std::sqrt(1 + 128 * n * c) - 1) / (2 * n);
  if (c < 0) return -(std::sqrt(1 - 128 * n * c) - 1) / (2 * n);
  return 0.0;
}

// One axis pair of the interception, the major axis being the one with the longer distance: the
// major speed from the quadratic, the time to meet, then the minor speed. False when there is no
// course; the speeds are then left as they stand at that point (the old routine's early returns).
bool InterceptAlong(double& major, double& minor, double dMajor, double dMinor, double vMajor, double vMinor,
                    double srcMajor, double dstMajor, double v0Sq) {
  if (dMajor == 0) return false;
  const double dMajorSq = dMajor * dMajor;
  const double a = dMinor * dMinor / dMajorSq + 1;
  const double b = (2 * vMajor * dMinor * dMinor - 2 * dMinor * dMajor * vMinor) / dMajorSq;
  const double c =
      (dMinor * dMinor * vMajor * vMajor + dMajorSq * vMinor * vMinor - 2 * dMinor * dMajor * vMajor * vMinor) /
          dMajorSq -
      v0Sq;
  const double disc = b * b - 4 * a * c;
  if (disc < 0) return false;
  const double r = (-b - std::sqrt(disc)) / (2 * a);
  major = dMajor < 0 ? r : -r;
  if (vMajor - major == 0) return false;
  const double t = (srcMajor - dstMajor) / (vMajor - major);
  if (t == 0) return false;
  minor = (dMinor + t * vMinor) / t;
  return true;
}

// The interception of a target that moves with the auto-scroll (vx, vy): speeds of the size of
// (speedX, speedY) that meet it, solved along the axis of the longer distance.
bool Intercept(double& speedX, double& speedY, double srcX, double srcY, double dstX, double dstY, double vx,
               double vy) {
  const double dx = dstX - srcX;
  const double dy = dstY - srcY;
  const double v0Sq = speedX * speedX + speedY * speedY;
  if (std::fabs(dy) >= std::fabs(dx)) return InterceptAlong(speedY, speedX, dy, dx, vy, vx, srcY, dstY, v0Sq);
  return InterceptAlong(speedX, speedY, dx, dy, vx, vy, srcX, dstX, v0Sq);
}

// The wave's angle step k (radians per degree of frequency) and the angle of the accumulator.
double WaveAngleStep(double frequency) { return frequency * std::numbers::pi / 180; }

void AdvanceWave(double& phase, double step) {
  const double turn = 360 * StageSubStepsD();
  phase += step;
  if (phase >= turn) phase -= turn;
}

// On arrival of a command that stops on the point: both screen rectangles refreshed unless the
// command accelerates, then the graphic centre placed by one of the AndStop slots.
bool StopsOnArrival(cObject& self, cObject* other, const cCmdState& state) {
  const cEdMove& settings = MoveSettingsOf(state);
  if (!settings.m_nM21) return false;
  if (!settings.m_bSecondSpeed) {
    self.UpdateScreenRect();
    if (other) other->UpdateScreenRect();
  }
  return true;
}

}  // namespace

const cEdMove& MoveSettingsOf(const cCmdState& state) {
  static const cEdMove kDefaults;
  const cFlowCmd* cmd = state.Cmd();
  return cmd && cmd->m_pMove ? *cmd->m_pMove : kDefaults;
}

void LaunchSpeeds(double& speedX, double& speedY, int8_t power, double dirX, double dirY, double* prevKnockY) {
  if (power == 0) return;
  if (g_SystemData.m_bLegacy897 == 0 && prevKnockY) *prevKnockY = 0.0;
  const double s = std::fabs(dirX) + std::fabs(dirY);
  if (s == 0) {
    speedX = 0.0;
    speedY = 0.0;
    return;
  }
  speedX = LaunchComponent(power * dirX / s);
  speedY = LaunchComponent(power * dirY / s);
}

double WaveSpeed(double amplitude, double frequency, double& phase, double step, double offset) {
  const double n = StageSubStepsD();
  const double k = WaveAngleStep(frequency);
  const double result = k * std::cos(k * (phase / n + offset)) * amplitude / n;
  AdvanceWave(phase, step);
  return result;
}

double WaveAccel(double amplitude, double frequency, double& phase, double step, double offset) {
  const double n = StageSubStepsD();
  const double k = WaveAngleStep(frequency);
  const double result = -amplitude * k * (k / n) * std::sin(k * (phase / n + offset)) / n;
  AdvanceWave(phase, step);
  return result;
}

int AimAtPoint(double& speedX, double& speedY, int& facing, const cObject* other, double srcX, double srcY, double dstX,
               double dstY, double speed, int ownSync, int noDiagonal, int arrivalTest) {
  speedX = 0.0;
  speedY = 0.0;
  const cScrollSpeeds scroll = RunningScrollSpeeds();
  const bool legacy214 = g_SystemData.m_bLegacy214 != 0;
  if (speed < 0 && !noDiagonal) {
    const double each = std::fabs(speed) * g_dHalfSqrt2;
    speedX = dstX <= srcX ? -each : each;
    speedY = dstY <= srcY ? -each : each;
    if (legacy214) {
      speedX += scroll.x;
      speedY += scroll.y;
    } else if (other && ((ownSync == 0 && other->m_bSyncScroll) || (ownSync == 1 && !other->m_bSyncScroll))) {
      speedX -= scroll.x;
      speedY -= scroll.y;
    }
    facing = FacingOf(speedX);
    return 0;
  }
  const double dx = dstX - srcX;
  const double dy = dstY - srcY;
  double length = std::sqrt(dx * dx + dy * dy);
  if (length == 0) length = 1;
  speedX = speed * dx / length;
  speedY = speed * dy / length;
  if (legacy214) {
    speedX += scroll.x;
    speedY += scroll.y;
  } else if (other) {
    if (!other->m_bSyncScroll) {
      speedX -= scroll.x;
      speedY -= scroll.y;
    } else if (ownSync == 0 && !Intercept(speedX, speedY, srcX, srcY, dstX, dstY, scroll.x, scroll.y)) {
      return 0;
    }
  }
  facing = FacingOf(speedX);
  if (!arrivalTest) return 0;
  return std::fabs(dx) <= std::fabs(speed) && std::fabs(dy) <= std::fabs(speed) ? 1 : 0;
}

int AimAtX(double& speedX, double& speedY, int& facing, const cObject* other, double src, double dst, double speed,
           int ownSync, int arrivalTest) {
  if (src < dst) {
    speedX = speed;
    facing = 2;
  } else {
    speedX = -speed;
    facing = 1;
  }
  if (ownSync == 0 && other && other->m_bSyncScroll && g_SystemData.m_bLegacy214) speedX += RunningScrollSpeeds().x;
  speedY = 0.0;
  if (!arrivalTest) return 0;
  return std::fabs(speed) > std::fabs(src - dst) ? 1 : 0;
}

int AimAtY(double& speedX, double& speedY, int& facing, const cObject* other, double src, double dst, double speed,
           int ownSync, int arrivalTest) {
  speedY = src < dst ? speed : -speed;
  facing = 0;
  if (ownSync == 0 && other && other->m_bSyncScroll && g_SystemData.m_bLegacy214) speedY += RunningScrollSpeeds().y;
  speedX = 0.0;
  if (!arrivalTest) return 0;
  return std::fabs(speed) > std::fabs(src - dst) ? 1 : 0;
}

// The move-to commands ask for no diagonal steering of their own: a negative speed steers
// diagonally, as it does for every caller that leaves it allowed.
int cObject::MoveTowardPoint(cCmdState& state, cObject* other, int targetX, int targetY, int ownSync, int arrivalTest) {
  const int arrived = AimAtPoint(state.m_dVelX, state.m_dVelY, state.m_nFacing, other, ScreenCentreX(), ScreenCentreY(),
                                 targetX, targetY, state.m_dSpeed, ownSync, 0, arrivalTest);
  if (arrived != 1) return 0;
  if (StopsOnArrival(*this, other, state)) MoveCentreToAndStop(targetX, targetY, state);
  return 1;
}

int cObject::MoveTowardX(cCmdState& state, cObject* other, int targetX, int ownSync, int arrivalTest) {
  const int arrived = AimAtX(state.m_dVelX, state.m_dVelY, state.m_nFacing, other, ScreenCentreX(), targetX,
                             state.m_dSpeed, ownSync, arrivalTest);
  if (arrived != 1) return 0;
  if (StopsOnArrival(*this, other, state)) MoveCentreXToAndStop(targetX, state);
  return 1;
}

int cObject::MoveTowardY(cCmdState& state, cObject* other, int targetY, int ownSync, int arrivalTest) {
  const int arrived = AimAtY(state.m_dVelX, state.m_dVelY, state.m_nFacing, other, ScreenCentreY(), targetY,
                             state.m_dSpeed, ownSync, arrivalTest);
  if (arrived != 1) return 0;
  if (StopsOnArrival(*this, other, state)) MoveCentreYToAndStop(targetY, state);
  return 1;
}

void cObject::CommandTargetPoint(int& x, int& y, const cCmdState& state) const {
  const cEdMove& settings = MoveSettingsOf(state);
  if (settings.m_bLockY) {
    x = ScreenCentreX() + state.m_nOffsetX;
  } else if (settings.m_bLockX) {
    y = ScreenCentreY() + state.m_nOffsetY;
  } else {
    x = ScreenCentreX() + state.m_nOffsetX;
    y = ScreenCentreY() + state.m_nOffsetY;
  }
}
