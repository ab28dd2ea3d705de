// The stage-logic harness of the flow layer's tests: a cStageHarness (test_support/stage_harness.h)
// whose stage is a cFlowStage, with stand-ins for the modal waits, which run on the flow layer's
// stage. The wait set-up arms the stage's cGameWait as stage play does; the modal wait ends at once,
// a choice taking m_nChoice (in replay mode the recorded choice).
//
//   cFlowHarness h({"H..C", "####"});
//   h.Stage().m_GameWait ...
#pragma once

#include <string>
#include <vector>

#include "flow/flow_stage.h"
#include "test_support/stage_harness.h"

class cFlowHarness : public cStageHarness {
 public:
  explicit cFlowHarness(const std::vector<std::string>& map);
  // The set-up's stage is made a cFlowStage, and the wait stand-ins go in before its own additions.
  explicit cFlowHarness(cHarnessSetup setup);

  cFlowStage& Stage() { return static_cast<cFlowStage&>(cStageHarness::Stage()); }

  int m_nChoice = 0;  // the choice the modal-wait stand-in selects (clamped to the choices shown)
};
