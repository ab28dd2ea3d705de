// The values a command state gets when its flow is installed on a character: per command kind,
// the circle move's radius and angles, the homing interval, the jump's launch speed, duration and
// hold limit, and the speed or duration of the moves that cover a distance.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/containers.h"
#include "core/numbers.h"
#include "data/system_data.h"
#include "objects/chara_base.h"
#include "objects/flow_runner.h"
#include "objects/stage_physics.h"

namespace {

enum : int {
  kCmdStraightMove = 2,
  kCmdTurnaroundMove = 3,
  kCmdCircleMove = 4,
  kCmdChargeMove = 5,
  kCmdHomingMove = 6,
  kCmdAvoidMove = 7,
  kCmdJump = 10,
};

int32_t ClampToInt(int64_t v) {
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}

// A duration computed from a speed, made positive.
int32_t PositiveSteps(double steps) {
  const int32_t d = TruncToInt(steps);
  return d < 0 ? (d == INT32_MIN ? INT32_MAX : -d) : d;
}

// Direction byte 0 and 1 exchange; other directions stay.
uint8_t FlippedDirection(uint8_t direction) { return direction <= 1 ? static_cast<uint8_t>(1 - direction) : direction; }

// The circle move: the mirror settings of a character that faces right flip its sense and turn its
// angles by half a turn; radius and angles in sub-step units; the speed from the angle covered,
// or the duration from the speed. With nothing to divide by, the value stays as it was.
void InitCircleMove(cCmdState& cmd, const cCharaBase& chara, const cEdMove& move) {
  const int n = StageSubSteps();
  const int clone = chara.m_nClone;
  int flip = 0;
  if (chara.m_Type.m_nFacing == 1) {
    if (move.m_bMirrorX) {
      cmd.m_nDirection = FlippedDirection(cmd.m_nDirection);
      flip = 180;
    }
    if (move.m_bMirrorY) cmd.m_nDirection = FlippedDirection(cmd.m_nDirection);
  }
  const int64_t radius = std::clamp<int64_t>(int64_t{move.m_nM30} * clone + move.m_nM29, 0, 20);
  cmd.m_nRadius = ClampToInt(radius * 16 * n);
  cmd.m_nStartAngle = ClampToInt((int64_t{move.m_nAngleStep} * clone + move.m_nAngle + flip) * n);
  cmd.m_nEndAngle = ClampToInt((int64_t{move.m_nM27} * clone + move.m_nM26 + flip) * n);
  const double sweep = std::fabs(static_cast<double>(cmd.m_nEndAngle) - static_cast<double>(cmd.m_nStartAngle));
  if (move.m_nM23 == 0) {
    if (cmd.m_nDuration != 0) cmd.m_dSpeed = sweep / cmd.m_nDuration / n;
  } else if (move.m_nM23 == 1) {
    if (cmd.m_dSpeed != 0.0) cmd.m_nDuration = PositiveSteps(sweep / cmd.m_dSpeed / n);
  }
}

// The hero's variable-height jump counts the sub-steps its key is held against the hold limit, the
// command's duration (its use time in sub-steps): the same hold gives the same jump at every
// hit-check level.
void InitJump(cCmdState& cmd, const cCharaBase& chara) {
  cFlowCmd& record = *cmd.m_lpCmd;
  const int8_t height = static_cast<int8_t>(VecAt(record.m_anParams, 2));
  cmd.m_dSpeed = chara.JumpSpeedHbl(height);
  record.m_nUseTime = static_cast<int16_t>(chara.JumpDurationTenths(height));
  cmd.m_nDuration = ClampToInt(int64_t{record.m_nUseTime} * StageSubSteps6());
  cmd.m_nHoldLimit = cmd.m_nDuration;
}

}  // namespace

void SpeedFromDistance(cCmdState& cmd, int clone) {
  if (!cmd.m_lpCmd || !cmd.m_lpCmd->m_pMove) return;
  const cEdMove& move = *cmd.m_lpCmd->m_pMove;
  double distance = static_cast<double>(int64_t{move.m_nM27} * clone + move.m_nM26);
  if (move.m_nM28 != 1) distance *= 16;  // half blocks
  if (move.m_nM23 == 1) {
    if (cmd.m_nDuration != 0) cmd.m_dSpeed = distance / cmd.m_nDuration;
  } else if (move.m_nM23 == 2) {
    if (cmd.m_dSpeed == 0.0) return;
    const double steps = distance / cmd.m_dSpeed;
    cmd.m_nDuration = g_SystemData.m_bLegacy695 ? TruncToInt(steps) : PositiveSteps(steps);
  }
}

void InitCmdStateOfKind(cCmdState& cmd, cCharaBase& chara) {
  if (!cmd.m_lpCmd) return;
  const cFlowCmd& record = *cmd.m_lpCmd;
  const cEdMove* move = record.m_pMove.get();
  switch (record.m_nKind) {
    case kCmdStraightMove:
    case kCmdTurnaroundMove:
    case kCmdChargeMove:
    case kCmdAvoidMove:
      if (move && move->m_nM23) SpeedFromDistance(cmd, chara.m_nClone);
      break;
    case kCmdCircleMove:
      if (move) InitCircleMove(cmd, chara, *move);
      break;
    case kCmdHomingMove:
      if (!move) break;
      cmd.m_nInterval = ClampToInt((int64_t{move->m_nM30} * chara.m_nClone + move->m_nM29) * StageSubSteps());
      if (move->m_nM23) SpeedFromDistance(cmd, chara.m_nClone);
      break;
    case kCmdJump: InitJump(cmd, chara); break;
    default: break;
  }
}
