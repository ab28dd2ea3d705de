#pragma once
// Keeps the flow context the stage publishes (current object, flow state, command state, flow
// variables and the further slots) across a nested run: a command body that triggers other flows,
// takes an item or runs an item's commands replaces or clears that context on its way, and the
// flow that called it must find its own again afterwards.
#include "objects/stage_state.h"

class cFlowContextScope {
 public:
  cFlowContextScope() : m_lpStage(g_lpSceneStage) {
    if (!m_lpStage) return;
    m_lpObject = m_lpStage->m_lpCurObject;
    m_lpObject2 = m_lpStage->m_lpCurObject2;
    m_lpFlowState = m_lpStage->m_lpCurFlowState;
    m_lpCmdState = m_lpStage->m_lpCurCmdState;
    m_lpFlowVars = m_lpStage->m_lpFlowVars;
    m_lpContext3 = m_lpStage->m_lpContext3;
    m_lpContext4 = m_lpStage->m_lpContext4;
  }
  ~cFlowContextScope() {
    // Only the stage that was published when the scope began gets its context back.
    if (!m_lpStage || m_lpStage != g_lpSceneStage) return;
    m_lpStage->m_lpCurObject = m_lpObject;
    m_lpStage->m_lpCurObject2 = m_lpObject2;
    m_lpStage->m_lpCurFlowState = m_lpFlowState;
    m_lpStage->m_lpCurCmdState = m_lpCmdState;
    m_lpStage->m_lpFlowVars = m_lpFlowVars;
    m_lpStage->m_lpContext3 = m_lpContext3;
    m_lpStage->m_lpContext4 = m_lpContext4;
  }
  cFlowContextScope(const cFlowContextScope&) = delete;
  cFlowContextScope& operator=(const cFlowContextScope&) = delete;

 private:
  cStageState* m_lpStage;
  cCharaBase* m_lpObject = nullptr;
  cCharaBase* m_lpObject2 = nullptr;
  cFlowState* m_lpFlowState = nullptr;
  cCmdState* m_lpCmdState = nullptr;
  int32_t* m_lpFlowVars = nullptr;
  void* m_lpContext3 = nullptr;
  void* m_lpContext4 = nullptr;
};
