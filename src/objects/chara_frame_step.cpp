// The pieces the frame steps of the hero and the other characters share.
#include "objects/chara_frame_step.h"

#include "objects/chara_base.h"
#include "objects/flow_runner.h"
#include "objects/stage_state.h"

namespace {

// Trigger of the flows that run when the character is defeated.
constexpr int kTriggerDeath = 5;

}  // namespace

bool ResetStepMotion(cCharaBase& chara) {
  chara.m_bFrictionX = 1;
  chara.m_bFrictionY = 1;
  chara.m_dCmdSpeedX = 0.0;
  chara.m_dCmdSpeedY = 0.0;
  chara.m_bMoved = 0;
  chara.m_nMoveAnime = 0;
  chara.m_nMoveLevel = 0;
  chara.m_bMoveDisabled = 0;
  if (chara.m_nCrushGrace > 0) return --chara.m_nCrushGrace == 0;
  return false;
}

// Flows may add or remove flow states while they run, so the states are reached by position each
// time and never held across a step.
bool StepRunningFlows(cCharaBase& chara, int flag, bool endWhenVanished) {
  for (size_t i = 0; i < chara.m_aFlowStates.size(); ++i) {
    cFlowState& state = chara.m_aFlowStates[i];
    if (!state.m_bRunning) continue;
    if (!state.m_lpFlow || state.m_lpFlow->m_aCmds.empty()) {
      StopFlow(state, chara);
      continue;
    }
    if (state.m_bSuspended || state.m_bHalted) continue;
    const bool death = state.m_lpFlow->m_nTrigger == kTriggerDeath;
    if (flag == 1 && !death) continue;
    if (StepFlow(state) && i < chara.m_aFlowStates.size()) StopFlow(chara.m_aFlowStates[i], chara);
    if (endWhenVanished && chara.m_bVanished) return true;
    if (flag == 0 && !death && chara.m_nHp <= 0) return true;
  }
  return false;
}

void ClearStepContext() {
  cStageState* stage = g_lpSceneStage;
  if (!stage) return;
  stage->m_lpCurObject = nullptr;
  stage->m_lpCurFlowState = nullptr;
  stage->m_lpFlowVars = nullptr;
  stage->m_lpContext4 = nullptr;
}

void FinishFlowStep(cCharaBase& chara) {
  RemoveFlaggedFlows(chara);
  ReleaseFlowIds(chara);
}

void StepBaseAnimation(cCharaBase& chara) {
  if (chara.m_bMoved) {
    chara.m_Anim.ChangeAnime(chara.m_nMoveAnime, 1);
  } else if (chara.m_dImpactX == 0.0 && chara.m_dImpactY == 0.0) {
    chara.m_Anim.ChangeAnime(chara.m_bGravityFree ? 2 : 0, 1);
  }
}
