#include "test_support/flow_harness.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "data/input_log.h"
#include "data/play_mode.h"
#include "flow/game_wait.h"

namespace {

void StandInSetupGameWait(int kind, int keyWait, int frames, int noDelay, const std::vector<cChoiceEntry>* choices) {
  if (cStageHarness* h = cStageHarness::Active())
    h->AddCall("setupGameWait", {double(kind), double(keyWait), double(frames), double(noDelay),
                                 choices ? double(choices->size()) : -1.0});
  cFlowStage* stage = FlowStage();
  if (!stage) return;
  stage->m_GameWait.Arm(kind, keyWait, frames, noDelay, choices);
}

// The wait ends at once; a choice takes the scripted selection (in replay mode the recorded one).
int StandInRunModalWait(int postStart) {
  auto* h = dynamic_cast<cFlowHarness*>(cStageHarness::Active());
  if (h) h->AddCall("runModalWait", {double(postStart)});
  cFlowStage* stage = FlowStage();
  if (!stage) return 0;
  if (stage->m_bAbort) return 0;
  cGameWait& wait = stage->m_GameWait;
  if (wait.m_nChoiceCount > 0) {
    const int choice = g_nPlayMode == kPlayModeReplay ? g_InputLog.PlayInputValue() : (h ? h->m_nChoice : 0);
    wait.m_nSelection = std::clamp(choice, 0, wait.m_nChoiceCount - 1);
  }
  return 1;
}

cHarnessSetup FlowSetup(cHarnessSetup setup) {
  setup.makeStage = [] { return std::unique_ptr<cStageState>(std::make_unique<cFlowStage>()); };
  setup.addStandIns = [own = std::move(setup.addStandIns)](cStageHooks& hooks) {
    hooks.setupGameWait = StandInSetupGameWait;
    hooks.runModalWait = StandInRunModalWait;
    if (own) own(hooks);
  };
  return setup;
}

}  // namespace

cFlowHarness::cFlowHarness(const std::vector<std::string>& map)
    : cFlowHarness([&] {
        cHarnessSetup setup;
        setup.map = map;
        return setup;
      }()) {}

cFlowHarness::cFlowHarness(cHarnessSetup setup) : cStageHarness(FlowSetup(std::move(setup))) {}
