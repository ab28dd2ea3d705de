// Flow states bound to their character's flows.
#include "objects/flow_state.h"

#include "core/containers.h"
#include "objects/chara_base.h"

void RebindFlowStates(cCharaBase& chara) {
  std::vector<cFlow>& flows = chara.m_Type.m_aFlows;
  for (size_t i = 0; i < chara.m_aFlowStates.size(); ++i) {
    cFlowState& state = chara.m_aFlowStates[i];
    cFlow& flow = VecAt(flows, static_cast<int32_t>(i));
    state.m_nIndex = static_cast<int32_t>(i);
    state.m_lpFlow = &flow;
    state.m_aKeySteps.clear();
    for (cKeyCond& step : flow.m_aKeyConds) state.m_aKeySteps.push_back(&step);
    for (size_t c = 0; c < state.m_aCmdStates.size(); ++c)
      state.m_aCmdStates[c].m_lpCmd = &VecAt(flow.m_aCmds, static_cast<int32_t>(c));
  }
}

void AssignFlowStates(cCharaBase& chara, const std::vector<cFlowState>& source) {
  chara.m_aFlowStates = source;
  RebindFlowStates(chara);
}
