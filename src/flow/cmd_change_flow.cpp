// "フローの変更" (item commands): adds, replaces or removes flows of the hero. While the hero's own
// flows run, the change waits in the hero's queue until its frame step has finished with them.
#include "core/containers.h"
#include "flow/cmd_tables.h"
#include "objects/flow_runner.h"
#include "objects/hero.h"
#include "objects/stage_state.h"

namespace {

// Modes (P0).
enum : int32_t {
  kFlowsAdd = 0,
  kFlowsReplace = 1,
  kFlowsRemove = 2,
};

}  // namespace

int CmdChangeFlow(cHero& hero, cFlowCmd& cmd, int deferral) {
  if (deferral && g_lpSceneStage && g_lpSceneStage->m_lpCurObject == &hero) {
    hero.m_aPendingFlowCmds.push_back(cmd);
    return 0;
  }
  const int32_t mode = VecAt(cmd.m_anParams, 0);
  const int32_t group = VecAt(cmd.m_anParams, 1);
  switch (mode) {
    case kFlowsAdd: InstallFlows(hero, cmd.m_aFlows, 1, -1); break;
    case kFlowsReplace:
      // The new flows take the place of the first one removed (the end when none was).
      InstallFlows(hero, cmd.m_aFlows, 1, RemoveFlowsByGroup(hero, group));
      break;
    case kFlowsRemove: RemoveFlowsByGroup(hero, group); break;
    default: break;
  }
  return 0;
}
