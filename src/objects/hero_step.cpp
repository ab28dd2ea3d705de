// The hero's frame step.
#include <utility>

#include "data/system_data.h"
#include "objects/chara_frame_step.h"
#include "objects/flow_hooks.h"
#include "objects/flow_runner.h"
#include "objects/hero.h"
#include "objects/stage_state.h"

int cHero::StepChara(int flag) {
  cStageState* stage = g_lpSceneStage;
  if (stage) {
    stage->m_lpCurObject = this;
    stage->m_lpCurObject2 = nullptr;
  }

  // Older projects let a flying hero always move with the automatic scroll; newer ones only a hero
  // that is set to.
  const bool legacy = g_SystemData.m_bLegacy214 != 0;
  if (stage && legacy) {
    m_dSpeedX = m_bGravityFree ? RunningAutoScroll(stage->m_ScrollX) : 0.0;
    if (m_bGravityFree) m_dSpeedY = RunningAutoScroll(stage->m_ScrollY);
  } else if (stage && m_bSyncScroll) {
    m_dSpeedX = RunningAutoScroll(stage->m_ScrollX);
    if (m_bGravityFree) m_dSpeedY = RunningAutoScroll(stage->m_ScrollY);
  } else {
    m_dSpeedX = 0.0;
    if (m_bGravityFree) m_dSpeedY = 0.0;
  }

  if (ResetStepMotion(*this)) m_bRestoreOnCrush = 0;
  m_bJumpProcessed = 0;
  m_anScratch[0] = 0;
  m_anScratch[1] = 0;

  StartPreRollAnimations(*this);
  if (StepRunningFlows(*this, flag, false)) return 1;
  ClearStepContext();

  // Flow changes that taken items asked for while the hero's own flows ran.
  std::vector<cFlowCmd> pending;
  pending.swap(m_aPendingFlowCmds);
  for (cFlowCmd& cmd : pending) CallChangeFlow(*this, cmd);

  FinishFlowStep(*this);
  ++m_nFrameCounter;
  StepBaseAnimation(*this);
  if (!m_bJumpProcessed) {
    m_nJumpHold = 0;
    m_bJumpReady = 1;
    m_bCeilingHit = 0;
  }
  return m_nHp <= 0 ? 1 : 0;
}
