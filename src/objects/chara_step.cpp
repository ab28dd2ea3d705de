// The frame step of placed and summoned characters, and their part of the jump command.
#include "data/system_data.h"
#include "media/sound/sound_effects.h"
#include "objects/chara.h"
#include "objects/chara_frame_step.h"
#include "objects/flow_runner.h"
#include "objects/stage_physics.h"
#include "objects/stage_state.h"

int cChara::StepChara(int flag) {
  cStageState* stage = g_lpSceneStage;
  if (stage) {
    stage->m_lpCurObject = this;
    stage->m_lpCurObject2 = nullptr;
  }

  // A character that moves with the automatic scroll starts the step at the scroll's speed.
  StartStepSpeed();

  ResetStepMotion(*this);

  StartPreRollAnimations(*this);
  if (StepRunningFlows(*this, flag, true)) return 1;

  ClearStepContext();
  FinishFlowStep(*this);
  StepBaseAnimation(*this);
  return m_nHp <= 0 ? 1 : 0;
}

// A launch sets off upward at the state's speed; a launched state waits for the ground, and one
// that could not launch gives up after 4n sub-steps.
void cChara::StepJumpCmd(cCmdState& state) {
  const cFlowCmd* cmd = state.Cmd();
  auto launch = [&] {
    state.m_bLaunched = 1;
    m_dSpeedY = state.m_dSpeed;
    m_bTookOff = 1;
    m_bRiseEnded = 1;
    m_bRiding = 0;
  };
  const bool landing = m_nAirCount > 0;

  if (g_SystemData.m_bLegacy749) {
    if (m_bInAir || m_bCeilingHit || m_bKnockStarted || landing) return;
    launch();
    if (cmd) RequestDataSound(cmd->m_nSound);
    return;
  }

  if (state.m_bLaunched) {
    if (IsOnFloor()) {
      m_bCeilingHit = 0;
      m_bKnockStarted = 0;
      state.m_bKeyFlag = 0;
    }
    return;
  }
  const bool waits =
      m_bInAir || m_bCeilingHit || m_bKnockStarted || (g_SystemData.m_bLegacy845b ? landing : m_bTookOff != 0);
  if (waits) {
    if (state.m_nCalls >= 4 * StageSubSteps()) state.m_bLaunched = 1;
    return;
  }
  launch();
  if (cmd && !(cmd->m_bSoundOnScreen && !m_bOnScreen)) RequestDataSound(cmd->m_nSound);
}
