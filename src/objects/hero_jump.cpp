// The hero's variable-height jump: the longer the jump key is held (up to the command's hold
// limit), the higher the jump; releasing it early cuts the rise short.
#include <cmath>

#include "data/system_data.h"
#include "media/sound/sound_effects.h"
#include "objects/flow_runner.h"
#include "objects/hero.h"
#include "objects/stage_physics.h"
#include "objects/stage_state.h"

namespace {

int Param(const cFlowCmd* cmd, size_t i) { return cmd && i < cmd->m_anParams.size() ? cmd->m_anParams[i] : 0; }

}  // namespace

void cHero::StepJumpCmd(cCmdState& state) {
  if (m_bGravityFree || m_bJumpProcessed) return;
  const cFlowCmd* cmd = state.Cmd();
  const int kind = Param(cmd, 0);

  // The key is the last key condition of the flow that runs the command; a flow without one has
  // its key released, and jump kind 0 holds it for good.
  const cStageState* stage = g_lpSceneStage;
  const cFlowState* flow = stage ? stage->m_lpCurFlowState : nullptr;
  const bool keyCond = flow && !flow->m_aKeySteps.empty() && flow->m_aKeySteps.back();
  bool held = false;
  if (kind == 0)
    held = true;
  else if (keyCond && m_lpInput)
    held = KeyStepHeldNow(*m_lpInput, *flow->m_aKeySteps.back());

  // Kind 2: the height follows the horizontal run-up speed between two thresholds.
  if (kind == 2) {
    const double unit = StageSubSteps() * 10.0;
    const double speed = std::fabs(m_dImpactX);
    const double high = Param(cmd, 1) / unit;
    const double low = Param(cmd, 3) / unit;
    int height;
    if (speed >= high)
      height = Param(cmd, 2);
    else if (speed <= low)
      height = Param(cmd, 4);
    else
      height = TruncToInt((static_cast<double>(Param(cmd, 2)) - Param(cmd, 4)) * (speed / high) + Param(cmd, 4));
    state.m_dSpeed = JumpLaunchSpeed(height * 16.0);
  }

  const int n = StageSubSteps();
  if (held && !m_bNoJump) {
    ++m_nJumpHold;
    const bool rising = !m_bRiseEnded || m_bRiding;
    if (m_nJumpHold >= state.m_nHoldLimit && rising && m_bJumpReady && !m_bCeilingHit &&
        (m_dSpeedY < 0.0 || m_bRiding)) {
      // Held to the limit: the rise goes on by its own speed from here.
      m_bRiseEnded = 1;
      m_bJumpReady = 0;
    } else if (!m_bInAir && m_nJumpHold <= n && rising && m_bJumpReady && !m_bCeilingHit && !m_bKnockStarted &&
               !state.m_bLaunched) {
      const bool legacy = g_SystemData.m_bLegacy845a != 0;
      const bool lastSubStep = stage && stage->m_nSubStep == n;
      bool takeOff = true;
      double speed = state.m_dSpeed;
      if (!legacy) {
        // A hero that already took off does not again; one riding takes off with the frame's last
        // sub-step, when the ridden character has made its move.
        if (m_bTookOff || (m_bRiding && !lastSubStep)) takeOff = false;
      } else if (m_bRiding && lastSubStep) {
        speed *= 1.02;
      }
      if (takeOff) {
        m_bTookOff = 1;
        m_dSpeedY = speed;
        m_bRiding = 0;
        state.m_bLaunched = 1;
        if (cmd) RequestDataSound(cmd->m_nSound);
      }
    }
  } else {
    // Released early: the rise is cut short.
    if (m_nJumpHold > 0 && m_nJumpHold < state.m_nHoldLimit && !m_bRiseEnded && !m_bCeilingHit && !m_bNoJump &&
        !m_bKnockStarted) {
      m_bRiding = 0;
      if (m_dSpeedY < 0.0) m_dSpeedY *= 0.3;
      m_bRiseEnded = 1;
    }
    m_nJumpHold = 0;
    m_bJumpReady = 1;
    m_bCeilingHit = 0;
  }

  // Standing again: the jump is over and the command may jump once more.
  if (IsOnFloor() && m_dSpeedY >= 0.0 && (!keyCond || !held)) {
    m_nJumpHold = 0;
    m_bJumpReady = 1;
    m_bCeilingHit = 0;
    m_bKnockStarted = 0;
    if (keyCond)
      state.m_bKeyFlag = 0;
    else
      state.m_bLaunched = 0;
  }
  m_bJumpProcessed = 1;
}
