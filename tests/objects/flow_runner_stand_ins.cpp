// Stand-ins for the two flow-runner functions that the character motion calls, for as long as the
// flow runner is not part of the objects library these tests link: starting flows by trigger (here
// only the condition check of each flow of the trigger, in flow order, which is where the real one
// asks stage play) and the first direction key held now. Both are weak: wherever the flow runner's
// own functions are linked in they replace these. Delete this file once the flow runner is merged.
#include "objects/chara_base.h"
#include "objects/flow_runner.h"
#include "objects/stage_hooks.h"
#include "shell/input_state.h"

__attribute__((weak)) void TriggerFlows(cCharaBase& chara, int trigger) {
  for (cFlowState& state : chara.m_aFlowStates)
    if (state.m_lpFlow && state.m_lpFlow->m_nTrigger == trigger) CheckFlowCondition(state, chara);
}

__attribute__((weak)) int FirstDirKeyDown(const cInputState& input) {
  for (int key = 0; key < static_cast<int>(input.m_aDirEvents.size()); ++key)
    if (!input.m_aDirEvents[key].empty() && input.m_aDirEvents[key][0].nState == 1) return key;
  return 0;
}
