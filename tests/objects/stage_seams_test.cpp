// The scroll axes objects read, and the seams to stage play and the flow layer: installed services
// are called, and without them every service does nothing and answers 0 or false.
#include <gtest/gtest.h>

#include <list>

#include "objects/flow_hooks.h"
#include "objects/play_objects.h"
#include "objects/scroll_axis.h"
#include "objects/stage_hooks.h"
#include "objects/stage_physics.h"
#include "test_support/fresh_game_data.h"
#include "test_support/hooks_guard.h"

TEST(ScrollAxis, ClampRecordsWhetherThePositionStandsAtALimit) {
  cScrollAxis axis;
  axis.m_nViewSize = 640;
  axis.m_nBaseLow = 320;
  axis.m_nBaseHigh = 2000;
  axis.SetScrollRange(0, 0, 0, 0);
  EXPECT_EQ(axis.m_nLowLimit, 320);
  EXPECT_EQ(axis.m_nHighLimit, 2000);
  axis.m_dPosition = 500;
  axis.ClampScroll();
  EXPECT_EQ(axis.m_dPosition, 500);
  EXPECT_EQ(axis.m_bAtEdge, 0);
  axis.m_dPosition = 1500;
  axis.ClampScroll();
  EXPECT_EQ(axis.m_dPosition, 1360);
  EXPECT_EQ(axis.m_bAtEdge, 1);
  // A range narrower than the view keeps the position at the low limit.
  axis.SetScrollRange(2, 5, 1, 1);
  EXPECT_EQ(axis.m_nLowLimit, 384);
  EXPECT_EQ(axis.m_nHighLimit, 512);
  axis.ClampScroll();
  EXPECT_EQ(axis.m_dPosition, 384);
  // A last cell before the first is raised to it.
  axis.SetScrollRange(6, 1, 1, 1);
  EXPECT_EQ(axis.m_nHighLimit, axis.m_nLowLimit);
}

TEST(ScrollAxis, AutoScrollSpreadsItsSpeedOverTheSubSteps) {
  cFreshGameData freshGameData;
  g_StageFile.SetHitCheckLevel(4);
  cScrollAxis axis;
  axis.m_nViewSize = 640;
  axis.m_nLowLimit = 0;
  axis.m_nHighLimit = 10000;
  axis.SetAutoScroll(1, 30);  // tenths of a dot per frame
  EXPECT_EQ(axis.m_bAutoOn, 1);
  EXPECT_DOUBLE_EQ(axis.m_dAutoSpeed, 30 * 0.1 / 4);
  for (int i = 0; i < 4; ++i) axis.StepAutoScroll();
  EXPECT_DOUBLE_EQ(axis.m_dPosition, 3.0);
  axis.SetAutoScroll(0, 30);
  EXPECT_EQ(axis.m_bAutoOn, 0);
  EXPECT_EQ(axis.m_dAutoSpeed, 0.0);
  EXPECT_EQ(StageSubSteps(), 4);
}

TEST(StageSeams, ServicesWithoutAStageDoNothing) {
  cHooksGuard guard(SetStageHooks, cStageHooks{});
  cHero hero;
  cItem item;
  std::vector<cCond> conds;
  EXPECT_EQ(TakeItem(item, hero), 0);
  EXPECT_FALSE(EvalConditionList(conds, 0, &hero, nullptr));
  EXPECT_EQ(RunModalWait(0), 0);
  EXPECT_EQ(CountActiveBlocks(), 0);
  std::list<cChara> list(2);
  EXPECT_EQ(EraseChara(list.begin()), std::next(list.begin()));  // nothing removed, the walk goes on
  EXPECT_EQ(list.size(), 2u);
}

TEST(StageSeams, InstalledServicesAreCalledAndTheOldOnesHandedBack) {
  cStageHooks hooks;
  hooks.takeItem = [](cItem& item, cHero&) { return item.m_nNumber; };
  hooks.countActiveBlocks = [] { return 12; };
  cHooksGuard guard(SetStageHooks, hooks);
  cHero hero;
  cItem item;
  item.m_nNumber = 2;
  EXPECT_EQ(TakeItem(item, hero), 2);
  EXPECT_EQ(CountActiveBlocks(), 12);
  EXPECT_EQ(SetStageHooks(hooks).countActiveBlocks, hooks.countActiveBlocks);
}

TEST(FlowSeams, CallsWithoutTheFlowLayerDoNothing) {
  cHero hero;
  cFlowCmd cmd;
  cmd.m_nKind = 2;
  {
    cHooksGuard guard(SetFlowHooks, cFlowHooks{});
    EXPECT_EQ(CallItemCmdTable(hero, cmd), 0);
  }
  cFlowHooks hooks;
  hooks.runItemCmd = [](cHero&, cFlowCmd& c) { return int{c.m_nKind}; };
  cHooksGuard guard(SetFlowHooks, hooks);
  EXPECT_EQ(CallItemCmdTable(hero, cmd), 2);
}
