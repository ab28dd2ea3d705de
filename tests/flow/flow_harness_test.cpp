// The flow layer's stage-logic harness: its stage is a flow stage, published as the flow layer sees
// it, and the modal waits answer at once with the scripted or recorded choice.
#include "test_support/flow_harness.h"

#include <gtest/gtest.h>

#include "data/game_data.h"
#include "flow/game_wait.h"
#include "objects/stage_hooks.h"

TEST(FlowHarness, TheFlowStageIsPublishedAndOtherStandInsStay) {
  cHarnessSetup setup;
  setup.map = {"H#"};
  setup.addStandIns = [](cStageHooks& hooks) { hooks.takeItem = [](cItem&, cHero&) { return 2; }; };
  {
    cFlowHarness h(setup);
    EXPECT_EQ(FlowStage(), &h.Stage());
    EXPECT_EQ(g_lpSceneStage, &h.Stage());
    EXPECT_EQ(CountActiveBlocks(), 1);  // the objects' stand-ins are there too
    cItem item;
    EXPECT_EQ(TakeItem(item, h.Hero()), 2);  // and so is the set-up's own addition
  }
  EXPECT_EQ(FlowStage(), nullptr);
  // A stage that is only the objects' part is no flow stage.
  cStageHarness plain({"H"});
  EXPECT_EQ(FlowStage(), nullptr);
  EXPECT_EQ(RunModalWait(0), 0);  // the objects' harness has no modal wait
}

TEST(FlowHarness, ModalWaitsAnswerAtOnceWithTheScriptedChoice) {
  cFlowHarness h({"H"});
  std::vector<cChoiceEntry> choices(3);
  SetupGameWait(kWaitMessage, 1, 0, 0, &choices);
  EXPECT_EQ(h.Stage().m_GameWait.m_nKeyDelay, 20);
  EXPECT_EQ(h.Stage().m_GameWait.m_nChoiceCount, 3);
  h.m_nChoice = 7;
  EXPECT_EQ(RunModalWait(1), 1);
  EXPECT_EQ(h.Stage().m_GameWait.m_nSelection, 2);  // clamped to the choices shown
  // In replay playback the recorded choice is taken.
  g_nPlayMode = kPlayModeReplay;
  g_InputLog.RecordInputValue(1);
  EXPECT_EQ(RunModalWait(0), 1);
  EXPECT_EQ(h.Stage().m_GameWait.m_nSelection, 1);
  SetupGameWait(kWaitMessage, 1, 0, 1, nullptr);
  EXPECT_EQ(h.Stage().m_GameWait.m_nKeyDelay, 0);
  EXPECT_EQ(h.CallsOf("runModalWait").size(), 2u);
  EXPECT_EQ(h.CallsOf("setupGameWait")[0].adArgs, (std::vector<double>{kWaitMessage, 1, 0, 0, 3}));
  h.Stage().m_bAbort = 1;
  EXPECT_EQ(RunModalWait(0), 0);
}
