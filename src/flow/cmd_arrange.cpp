// "アレンジ": the command's parameters wait as an entry for the next command of the flow (or of the
// item's list) that is not an arrange command; preparing that command applies them.
#include "flow/cmd_tables.h"
#include "objects/flow_state.h"
#include "objects/hero.h"
#include "objects/stage_state.h"

void CmdArrange(cCharaBase& actor, cFlowCmd& cmd) {
  if (cmd.IsItemContext()) {
    // An item's commands run for the hero.
    if (auto* hero = dynamic_cast<cHero*>(&actor)) hero->m_Arrange.push_back(cmd.m_anParams);
    return;
  }
  cFlowState* flow = g_lpSceneStage ? g_lpSceneStage->m_lpCurFlowState : nullptr;
  if (flow) flow->m_Arrange.push_back(cmd.m_anParams);
}
