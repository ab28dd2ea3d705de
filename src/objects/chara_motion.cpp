// Character motion and contacts: the jump, gravity of characters, landing and ceilings with their
// triggers, riding, side contacts and crushes, the previous rectangle, knock-back with its decay,
// placement on the block grid, and the life and special points with their gauges.
#include <cmath>
#include <cstdint>

#include "core/containers.h"
#include "data/block_type.h"
#include "data/system_data.h"
#include "objects/chara_base.h"
#include "objects/flow_runner.h"
#include "objects/shot.h"
#include "objects/stage_physics.h"
#include "shell/input_state.h"

namespace {

// Trigger rows fired by block contacts.
constexpr int kTriggerBlockHit = 11;         // "ブロックに当たった時"
constexpr int kTriggerBlockAboveBelow = 15;  // "自分の上下にブロックが当たった時"
constexpr int kTriggerBlockAbove = 16;       // "自分の上にブロックが当たった時"
constexpr int kTriggerBlockBelow = 17;       // "自分の下にブロックが当たった時"

constexpr double kCloseIn = 1e-8;   // touchers closing in for a crush
constexpr double kOpposite = 1e-8;  // an impact opposing a new knock-back
constexpr int kMaxKnockPower = 20;  // knock-back power in half blocks
constexpr int kGaugeUnits = 50;     // a gauge is 50 dots long
constexpr int kGaugeShowFrames = 120;

// A contact on one side, with the toucher's speed along the axis unless the project is older.
void Touch(int32_t& contact, double& toucherSpeed, double speed) {
  contact = 1;
  if (!g_SystemData.m_bLegacy912) toucherSpeed = speed;
}

bool Opposes(double a, double b) { return (a > kOpposite && b < -kOpposite) || (a < -kOpposite && b > kOpposite); }

// value + delta within 0..maximum, in 64 bits so that no delta a command gives can overflow.
int32_t AddClamped(int32_t value, int64_t delta, int32_t maximum) {
  int64_t result = int64_t{value} + delta;
  if (result > maximum) result = maximum;
  if (result < 0) result = 0;
  return static_cast<int32_t>(result);
}

// A change shown on a gauge: its length and the part that moves, in gauge units. A maximum of 0
// (a type may have one) leaves the gauge as it was instead of dividing by it.
void ShowGaugeChange(cGauge& gauge, int value, int maximum, int delta) {
  if (maximum == 0) return;
  gauge.nShowTimer = kGaugeShowFrames;
  gauge.nLength = static_cast<int32_t>(int64_t{value} * kGaugeUnits / maximum);
  gauge.dChange = delta * static_cast<double>(kGaugeUnits) / maximum;
  gauge.dChangeStep = gauge.dChange * 0.016666666666666666;
}

}  // namespace

int HalfBlocksToDots(int8_t halfBlocks) { return halfBlocks * 16; }

double FrictionFromSetting(int16_t setting) { return setting * 0.01 / StageSubStepsSq(); }

// Without gravity a jump has no rise to wait for: the quotient is left out instead of 0/0.
int JumpSteps(double launchSpeed) {
  const double g = StageGravity();
  const double rise = g != 0 ? launchSpeed / g : 0.0;
  return TruncToInt(StageSubStepsD() - rise);
}

double cCharaBase::JumpLaunchSpeed(double heightDots) const {
  const double g = StageGravity();
  double speed = (-g - std::sqrt(g * (g + 8 * heightDots))) * 0.5;
  if (g_SystemData.m_bLegacy845c && m_nControl == 0) speed *= 0.99 - StageGravitySetting() * 0.025;
  return speed;
}

double cCharaBase::JumpSpeedHbl(int8_t halfBlocks) const { return JumpLaunchSpeed(HalfBlocksToDots(halfBlocks)); }

// Before a stage has set its physics values n is 0: the steps are then left undivided.
int cCharaBase::JumpDurationTenths(int8_t halfBlocks) const {
  const int n = StageSubSteps();
  const int steps = JumpSteps(JumpSpeedHbl(halfBlocks));
  return (n > 0 ? steps / n : steps) / 6 + 1;
}

void cCharaBase::SetGridPos(int column, int row, int mode) {
  SetGridX(column);
  SetGridY(row, mode);
}

void cCharaBase::SetGridX(int column) {
  m_dX = GridDotX(column);
  ShiftForScale(m_Type.m_nScale, 1);
  AfterMoveX();
}

void cCharaBase::SetGridY(int row, int mode) {
  m_dY = GridDotY(row);
  AdjustAfterResize(m_Type.m_nScale, 1, mode);
  AfterMoveY();
}

void cCharaBase::ApplyCharaGravity() {
  if (m_bGravityFree || m_bRiding || m_bMoveDisabled || m_dKnockY < 0) return;
  m_dSpeedY += StageGravity();
}

// The air counter of stage play's block tests is zeroed here too, with the in-air flag it leads to:
// every landing ends the fall they count.
void cCharaBase::LandOnBlock() {
  m_dToucherBottom = 0.0;
  m_dSpeedY = 0.0;
  m_dImpactY = 0.0;
  m_bContactBottom = 1;
  ClearFallState();
  m_bKnockStarted = 0;
  m_dY -= (TruncToInt(m_dY2) & 31) + 1;
  AfterMoveY();
  TriggerFlows(*this, kTriggerBlockHit);
  TriggerFlows(*this, kTriggerBlockAboveBelow);
  TriggerFlows(*this, kTriggerBlockBelow);
}

void cCharaBase::ClearFallState() {
  m_nAirCount = 0;
  m_bInAir = 0;
  m_bRiseEnded = 0;
  m_bTookOff = 0;
  m_bJumpFlag5 = 0;
  if (m_nControl == 1) m_bCeilingHit = 0;
}

void cCharaBase::SetCeilingJumpFlags() {
  m_bRiseEnded = 1;
  m_bTookOff = 1;
  m_bCeilingHit = 1;
}

void cCharaBase::HitCeilingBlock() {
  SetCeilingJumpFlags();
  m_bContactTop = 1;
  m_dSpeedY = 0.0;
  m_dImpactY = 0.0;
  if (!g_SystemData.m_bLegacy781) EndKnockback();
  m_dY += 32 - (TruncToInt(m_dY) & 31);
  AfterMoveY();
  TriggerFlows(*this, kTriggerBlockHit);
  TriggerFlows(*this, kTriggerBlockAboveBelow);
  TriggerFlows(*this, kTriggerBlockAbove);
}

void cCharaBase::StopRiding(int flag) {
  m_bRiding = 0;
  if (m_dKnockY == 0.0) m_dSpeedY = 0.0;
  if (flag) m_bLeftRide = 1;
}

bool cCharaBase::IsOnFloor() const {
  return (m_lpFloorBlock && GetBlockContact(*m_lpFloorBlock, m_nKind) != 0) || m_bRiding;
}

int cCharaBase::HeldDirKey() const { return FirstDirKeyDown(VecAt(g_InputStates, m_nControl == 0 ? m_nPlayer : 0)); }

void cCharaBase::ClearContacts() {
  m_bContactLeft = m_bContactRight = m_bContactTop = m_bContactBottom = 0;
  m_dToucherLeft = m_dToucherRight = m_dToucherTop = m_dToucherBottom = 0.0;
}

void cCharaBase::SetContactLeft(const cObject& toucher) { Touch(m_bContactLeft, m_dToucherLeft, toucher.m_dSpeedX); }

void cCharaBase::SetContactRight(const cObject& toucher) { Touch(m_bContactRight, m_dToucherRight, toucher.m_dSpeedX); }

void cCharaBase::SetContactTop(const cObject& toucher) { Touch(m_bContactTop, m_dToucherTop, toucher.m_dSpeedY); }

void cCharaBase::SetContactBottom(const cObject& toucher) {
  Touch(m_bContactBottom, m_dToucherBottom, toucher.m_dSpeedY);
}

bool cCharaBase::IsCrushedX() const {
  return m_bContactLeft && m_bContactRight && (m_dToucherLeft > kCloseIn || m_dToucherRight < -kCloseIn) &&
         m_dToucherLeft >= m_dToucherRight;
}

bool cCharaBase::IsCrushedY() const {
  return m_bContactTop && m_bContactBottom && (m_dToucherTop > kCloseIn || m_dToucherBottom < -kCloseIn) &&
         m_dToucherTop >= m_dToucherBottom;
}

void cCharaBase::SavePrevRect() { m_PrevRect = cDblRect{m_dX, m_dY, m_dX2, m_dY2}; }

void cCharaBase::RestorePrevRect() {
  m_dX = m_PrevRect.left;
  m_dY = m_PrevRect.top;
  m_dX2 = m_PrevRect.right;
  m_dY2 = m_PrevRect.bottom;
}

// The power and the resistance are bytes of the type; they are combined in int and the result is
// narrowed only once it lies within -20..20, so that no resistance can wrap a power around.
void cCharaBase::KnockBack(int8_t power, double dirX, double dirY, int& effectivePower) {
  if (power == 0) return;
  int p = power;
  const int resistance = m_Type.m_nImpactResist;
  if (p < 0) {
    p += resistance;
    if (p < -kMaxKnockPower) p = -kMaxKnockPower;
    if (p > 0) p = 0;
  } else {
    p -= resistance;
    if (p < 0) p = 0;
    if (p > kMaxKnockPower) p = kMaxKnockPower;
  }
  effectivePower = p;
  LaunchSpeeds(m_dKnockX, m_dKnockY, static_cast<int8_t>(p), dirX, dirY, &m_dPrevKnockY);
  if (Opposes(m_dImpactX, m_dKnockX)) m_dImpactX = 0.0;
  if (Opposes(m_dImpactY, m_dKnockY)) m_dImpactY = 0.0;
  if (Opposes(m_dSpeedY, m_dKnockY)) m_dSpeedY = 0.0;
  m_bKnockStarted = 1;
}

// Only a walking attacker falling at least 8n x g fast pushes downward.
void cCharaBase::KnockBackFromBody(const cCharaBase& attacker, int& effectivePower) {
  double dirY = attacker.m_dSpeedY;
  if (attacker.m_Type.m_nMoveMode == 0 && attacker.m_dSpeedY < StageSubSteps8() * StageGravity()) dirY = 0.0;
  KnockBack(attacker.m_Type.m_nBodyImpact, attacker.m_dSpeedX, dirY, effectivePower);
}

// A shot pushes along its speed, a sword swing along its facing.
void cCharaBase::KnockBackFromShot(const cShot& shot, int& effectivePower) {
  if (shot.m_bIsShot)
    KnockBack(shot.m_Settings.m_nImpact, shot.m_dSpeedX, shot.m_dSpeedY, effectivePower);
  else
    KnockBack(shot.m_Settings.m_nImpact, shot.FacingSign(), 0.0, effectivePower);
}

void cCharaBase::ApplyKnockbackY() {
  const double k = m_dKnockY;
  if (k == 0) return;
  if (m_bGravityFree) {
    m_dSpeedY += k;
  } else if (k > 0 && IsOnFloor()) {
    EndKnockback();  // a downward knock-back ends on the ground
  } else if (!(g_SystemData.m_bLegacy897 && !g_SystemData.m_bLegacy841) ||
             m_dPrevKnockY - m_dSpeedY <= 1 / StageSubStepsD()) {
    m_dSpeedY = m_dSpeedY - m_dPrevKnockY + k;  // the previous share is replaced by the current one
  }
  m_dPrevKnockY = m_dKnockY;
}

void cCharaBase::DecayKnockbackX() { StepTowardZero(m_dKnockX, 1 / StageSubStepsD()); }

// Passing 0 ends the vertical knock-back with its previous share.
void cCharaBase::DecayKnockbackY() {
  if (StepTowardZero(m_dKnockY, 1 / StageSubStepsD())) EndKnockback();
}

void cCharaBase::EndKnockback() {
  m_dKnockY = 0.0;
  m_dPrevKnockY = 0.0;
}

int cCharaBase::ChangeHP(int delta, int forced, int showGauge) {
  if (!forced && delta <= 0 && m_Type.m_nOpt32 != 0) return 0;
  int64_t d = delta;
  if (d > 0 && d > int64_t{m_Type.m_nMaxHp} - m_nHp) d = int64_t{m_Type.m_nMaxHp} - m_nHp;
  m_nHp = AddClamped(m_nHp, d, m_Type.m_nMaxHp);
  if (m_nHp <= 0) {
    m_nHp = 0;
    return 1;
  }
  if (showGauge && d != 0) ShowHpChange(static_cast<int>(d));
  return 0;
}

void cCharaBase::ChangeSP(int delta, int showGauge) {
  int64_t d = delta;
  if (d > 0 && d > int64_t{m_Type.m_nMaxSp} - m_nSp) d = int64_t{m_Type.m_nMaxSp} - m_nSp;
  m_nSp = AddClamped(m_nSp, d, m_Type.m_nMaxSp);
  if (m_nSp <= 0) {
    m_nSp = 0;
    return;
  }
  if (showGauge && d != 0) ShowSpChange(static_cast<int>(d));
}

void cCharaBase::ShowHpChange(int delta) { ShowGaugeChange(m_HpGauge, m_nHp, m_Type.m_nMaxHp, delta); }

void cCharaBase::ShowSpChange(int delta) {
  if (m_Type.m_nMaxSp > 0) ShowGaugeChange(m_SpGauge, m_nSp, m_Type.m_nMaxSp, delta);
}
