// The stage-logic harness the object and flow tests build their stages on: the map with its margin,
// the block table, the scroll axes, the placed objects, the sub-step loop, scripted input, the
// recorded drawing and sounds, the stage-service stand-ins and the fresh run it plays on.
#include "test_support/stage_harness.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "core/log.h"
#include "data/game_data.h"
#include "data/system_data.h"
#include "media/graphics/blit.h"
#include "media/sound/sound_effects.h"
#include "objects/stage_hooks.h"
#include "shell/input_state.h"
#include "test_support/hooks_guard.h"

namespace {

// A plug-in that only places the objects where set-up hands them over.
void PlaceHero(cStageHarness&, cHero& hero, cCharaType& type, const cHarnessPlacement& at) {
  hero.m_nNumber = 100;
  hero.m_dX = at.dX;
  hero.m_dY = at.dY;
  hero.m_nControl = type.m_nControl;
}
void PlaceChara(cStageHarness& h, cChara& chara, cCharaType&, const cHarnessPlacement& at) {
  chara.m_nNumber = h.Stage().m_nNextCharaId++;
  chara.m_dX = at.dX;
  chara.m_dY = at.dY;
  chara.m_nKind = 2;
}

}  // namespace

TEST(StageHarness, TheMapLiesInsideATenCellMargin) {
  cStageHarness h({"..........",  //
                   "..H...C...",  //
                   "#........I",  //
                   "##########"});
  EXPECT_EQ(h.Columns(), 10);
  EXPECT_EQ(h.Rows(), 4);
  EXPECT_EQ(h.Stage().m_nBlockOriginX, 10);
  EXPECT_EQ(h.Stage().m_nBlockOriginY, 10);

  // Columns with margins: 30, so rows of the block table are 32 cells long (shift 5).
  const cScrollAxis& x = h.Stage().m_ScrollX;
  const cScrollAxis& y = h.Stage().m_ScrollY;
  EXPECT_EQ(h.Stage().BlockRowShift(), 5);
  EXPECT_EQ(x.m_nRowStride, 32);
  EXPECT_EQ(x.m_nCells, 30);
  EXPECT_EQ(y.m_nCells, 24);
  EXPECT_EQ(g_BlockTable.size(), 32u * 24u);
  EXPECT_EQ(x.m_nMapDots, 10 * 32 + 640);
  EXPECT_EQ(y.m_nMapDots, 4 * 32 + 640);
  EXPECT_EQ(x.m_nBaseLow, 320);
  EXPECT_EQ(x.m_nBaseHigh, 20 * 32);
  EXPECT_EQ(y.m_nBaseHigh, 14 * 32);
  EXPECT_EQ(x.m_nLowLimit, 320);  // no scroll limits: the map's own range
  EXPECT_EQ(x.m_nHighLimit, 20 * 32);

  // Stage cell (c, r) is block-table cell (c + 10) + ((r + 10) << shift).
  EXPECT_EQ(h.CellIndex(0, 2), 10 + (12 << 5));
  EXPECT_EQ(h.Cell(0, 2).m_nGraphic, 1);
  EXPECT_EQ(h.Cell(0, 2).m_nContact, 1);
  EXPECT_EQ(h.Cell(1, 2).m_nGraphic, 0);
  EXPECT_EQ(h.Cell(1, 2).m_nContact, 0);
  for (int c = 0; c < 10; ++c) EXPECT_EQ(h.Cell(c, 3).m_nContact, 1) << c;
  int solid = 0;
  for (const cBlock& cell : g_BlockTable) solid += cell.m_nContact != 0;
  EXPECT_EQ(solid, 11);
  EXPECT_EQ(GetBlockContact(g_BlockTable[static_cast<size_t>(10 + (13 << 5))], 1), 1);

  // Placed objects: (cell + 10) x 32 + 16 on each axis.
  const cHarnessPlacement& hero = h.Placement('H');
  EXPECT_EQ(hero.nColumn, 2);
  EXPECT_EQ(hero.nRow, 1);
  EXPECT_EQ(hero.dX, 12 * 32 + 16);
  EXPECT_EQ(hero.dY, 11 * 32 + 16);
  EXPECT_EQ(h.Placement('C').dX, 16 * 32 + 16);
  EXPECT_EQ(h.Placement('I').dX, 19 * 32 + 16);
  EXPECT_EQ(h.Placement('I').dY, 12 * 32 + 16);
  EXPECT_EQ(g_StageFile.m_aCharas.size(), 2u);
  EXPECT_EQ(g_StageFile.m_aItems.size(), 1u);
  EXPECT_EQ(g_StageFile.m_aBlocks.size(), 11u);
  EXPECT_EQ(g_StageFile.FindHero(), 0);

  // One hero, one character, one item.
  EXPECT_EQ(g_HeroList.size(), 1u);
  EXPECT_EQ(g_CharaList.size(), 1u);
  EXPECT_EQ(g_ItemList.size(), 1u);
  EXPECT_EQ(g_lpSceneStage, &h.Stage());
}

TEST(StageHarness, ShiftFollowsTheWidthWithMargins) {
  // 1 x 1 cells: 21 columns with margins, 20 halves to 0 in five steps.
  cStageHarness one({"H"});
  EXPECT_EQ(one.Stage().BlockRowShift(), 5);
  EXPECT_EQ(g_BlockTable.size(), 32u * 21u);
}

TEST(StageHarness, WideMapsUseLongerRows) {
  std::string wide(45, '.');  // 64 columns with margins: 64 halves to 0 in seven steps
  wide[0] = 'H';
  wide[44] = '#';
  cStageHarness h({wide});
  EXPECT_EQ(h.Stage().BlockRowShift(), 7);
  EXPECT_EQ(h.CellIndex(44, 0), 54 + (10 << 7));
  EXPECT_EQ(g_BlockTable[static_cast<size_t>(54 + (10 << 7))].m_nGraphic, 1);
}

TEST(StageHarness, ObjectsAreInitialisedByThePlugInsGroupedAndLinked) {
  cHarnessPlugins plugins;
  plugins.initHero = PlaceHero;
  plugins.initChara = PlaceChara;
  cHooksGuard guard(SetHarnessPlugins, plugins);
  cStageHarness h({"..........",  //
                   ".H..C..C..",  //
                   "##########"});
  EXPECT_EQ(h.Hero().m_nNumber, 100);
  EXPECT_EQ(h.Hero().m_dX, 11 * 32 + 16);
  EXPECT_EQ(h.Chara(0).m_nNumber, 0);
  EXPECT_EQ(h.Chara(1).m_nNumber, 1);
  EXPECT_EQ(h.Chara(1).m_dX, 17 * 32 + 16);
  // Characters sit in the list of their kind; every character targets the hero, which knows it.
  EXPECT_EQ(h.Stage().m_aCharaGroups[2].size(), 2u);
  EXPECT_EQ(h.Stage().m_aCharaGroups[0].front(), &h.Hero());
  ASSERT_EQ(h.Chara(0).m_apTargets.size(), 4u);
  EXPECT_EQ(h.Chara(0).m_apTargets[0], &h.Hero());
  EXPECT_EQ(h.Hero().m_aLinks.size(), 3u);  // itself and the two characters
  // The view is centred on the hero and kept inside the map.
  EXPECT_EQ(h.Stage().m_ScrollX.m_dPosition, 320);
  EXPECT_EQ(h.Stage().m_ScrollX.m_bAtEdge, 1);
}

TEST(StageHarness, StepRunsNSubStepsPerFrameWithTheScriptedInput) {
  static std::vector<int> steps;
  static std::vector<uint16_t> dirs;
  steps.clear();
  dirs.clear();
  cHarnessPlugins plugins;
  plugins.subStep = [](cStageHarness& h, int i) {
    steps.push_back(i);
    EXPECT_EQ(h.Stage().m_nSubStep, i);
  };
  plugins.frameStart = [](cStageHarness&) { dirs.push_back(g_InputStates[0].m_wDir); };
  cHooksGuard guard(SetHarnessPlugins, plugins);
  cHarnessSetup setup;
  setup.map = {"H.", "##"};
  setup.nHitCheckLevel = 12;  // levels 11-19: n = level - 10
  cStageHarness h(setup);
  EXPECT_EQ(g_StageFile.m_nSubSteps, 2);
  EXPECT_EQ(g_StageFile.m_dSpeedLimitPerStep, 30.0);
  h.Input(kDirRight, 0, 2);
  h.Input(kDirLeft, 1, 1);
  h.Step(4);
  EXPECT_EQ(steps, (std::vector<int>{1, 2, 1, 2, 1, 2, 1, 2}));
  EXPECT_EQ(dirs, (std::vector<uint16_t>{kDirRight, kDirRight, kDirLeft, 0}));
  EXPECT_EQ(h.Stage().m_nSubStepTotal, 8);
  EXPECT_EQ(h.m_nFrame, 4);
  // The input history saw the frames as they came.
  EXPECT_EQ(g_InputStates[0].GetPastInput(0, 1), kDirLeft);
  EXPECT_EQ(g_InputStates[0].GetPastInput(1, 1), 1);

  h.SetHitCheckLevel(4);
  steps.clear();
  h.Step(1);
  EXPECT_EQ(steps, (std::vector<int>{1, 2, 3, 4}));
  EXPECT_DOUBLE_EQ(g_StageFile.m_dGravityPerStep, 0.4 / 16);
}

TEST(StageHarness, StepWithoutASubStepFails) {
  cStageHarness h({"H"});
  EXPECT_NONFATAL_FAILURE(h.Step(1), "no logic sub-step");
}

TEST(StageHarness, DrawingAndSoundsAreRecorded) {
  cHarnessPlugins plugins;
  plugins.subStep = [](cStageHarness&, int) {};
  plugins.drawFrame = [](cStageHarness&, int hold) {
    DDSURFACEDATA target{};
    DDBlt(&target, hold, 2, 32, 32, &target, 0, 0, 1);
    RequestSound(7);
    RequestDataSound(2);
  };
  cHooksGuard guard(SetHarnessPlugins, plugins);
  cStageHarness h({"H"});
  h.Step(1);
  h.Draw(1);
  ASSERT_EQ(h.Draws().size(), 2u);
  EXPECT_EQ(h.Draws()[0].strName, "DDBlt");
  EXPECT_EQ(h.Draws()[0].adArgs[0], 0);
  EXPECT_EQ(h.Draws()[1].adArgs[0], 1);
  EXPECT_EQ(h.Sounds(), (std::vector<int>{7, 18, 7, 18}));
  h.ClearTraces();
  EXPECT_TRUE(h.Draws().empty());
}

TEST(StageHarness, StandInsRecordTheServicesTheyAnswer) {
  cStageHarness h({"H.I.",  //
                   "#..#"});
  h.m_nTakeItemResult = 1;
  EXPECT_EQ(TakeItem(h.Item(0), h.Hero()), 1);
  cCharaType type;
  cEdShot shot;
  SummonChara(40.0, 48.5, type, shot, &h.Hero());
  RequestBgmByNumber(3, 1);
  EXPECT_EQ(CountActiveBlocks(), 2);
  ASSERT_EQ(h.Calls().size(), 3u);
  EXPECT_EQ(h.Calls()[0].strName, "takeItem");
  EXPECT_EQ(h.CallsOf("summonChara")[0].adArgs, (std::vector<double>{40.0, 48.5, 0.0}));
  EXPECT_EQ(h.CallsOf("requestBgmByNumber")[0].adArgs, (std::vector<double>{3, 1}));

  // The place test looks at the cells under the corners.
  cHero& hero = h.Hero();
  hero.m_nKind = 1;
  hero.m_dX = 10 * 32 + 8;
  hero.m_dY = 10 * 32 + 8;
  hero.m_dX2 = hero.m_dX + 15;
  hero.m_dY2 = hero.m_dY + 15;
  EXPECT_FALSE(IsCharaPlaceBlocked(hero));
  hero.m_dY2 = 11 * 32 + 1;  // reaches into the block below
  EXPECT_TRUE(IsCharaPlaceBlocked(hero));
}

TEST(StageHarness, ConditionListsAndFlowConditions) {
  cStageHarness h({"H"});
  std::vector<cCond> conds(2);
  conds[0].m_nKind = kCondCommonVar;
  conds[0].m_nVarIndex = 3;
  conds[0].m_nOperand = 5;
  conds[0].m_nOperator = 2;  // >=
  conds[1].m_nKind = kCondStageVar;
  conds[1].m_nVarIndex = 7;
  conds[1].m_nOperand = 1;
  conds[1].m_nOperator = 0;  // =
  g_SaveData.m_anCommonVars[3] = 5;
  EXPECT_FALSE(EvalConditionList(conds, 0, &h.Hero(), nullptr));
  EXPECT_TRUE(EvalConditionList(conds, 1, &h.Hero(), nullptr));
  h.Stage().m_anStageVars[7] = 1;
  EXPECT_TRUE(EvalConditionList(conds, 0, &h.Hero(), nullptr));
  EXPECT_FALSE(EvalConditionList(conds, 2, &h.Hero(), nullptr));
  std::vector<cCond> none;
  EXPECT_TRUE(EvalConditionList(none, 0, nullptr, nullptr));
  EXPECT_FALSE(EvalConditionList(none, 1, nullptr, nullptr));

  // A flow whose conditions hold once stays started-able while its latch holds.
  cFlow flow;
  flow.m_aConds = {conds[0]};
  flow.m_bCondLatch = 1;
  cFlowState state;
  state.m_lpFlow = &flow;
  EXPECT_TRUE(CheckFlowCondition(state, h.Hero()));
  g_SaveData.m_anCommonVars[3] = 0;
  EXPECT_TRUE(CheckFlowCondition(state, h.Hero()));
  flow.m_bCondLatch = 0;
  EXPECT_FALSE(CheckFlowCondition(state, h.Hero()));
}

TEST(StageHarness, ErasingACharacterUnlinksItAndLeavesItsGroup) {
  cHarnessPlugins plugins;
  plugins.initHero = PlaceHero;
  plugins.initChara = PlaceChara;
  cHooksGuard guard(SetHarnessPlugins, plugins);
  cStageHarness h({"H.C.C"});
  cChara* first = &h.Chara(0);
  h.Chara(1).SetTarget(2, first);
  auto next = EraseChara(g_CharaList.begin());
  EXPECT_EQ(&*next, &h.Chara(0));
  EXPECT_EQ(g_CharaList.size(), 1u);
  EXPECT_EQ(h.Chara(0).m_apTargets[2], nullptr);
  EXPECT_EQ(h.Stage().m_aCharaGroups[2].size(), 1u);
  EXPECT_EQ(h.Hero().m_aLinks.size(), 2u);
}

TEST(StageHarness, EachHarnessPlaysAFreshRunAndPutsBackWhatItReplaced) {
  cStageState outside;
  g_lpSceneStage = &outside;
  cStageHooks outer;
  outer.countActiveBlocks = [] { return -1; };
  cHooksGuard guard(SetStageHooks, outer);
  g_InputStates.resize(2);
  g_SaveData.m_nScore = 9;  // left behind by an earlier play
  {
    cHarnessSetup setup;
    setup.map = {"H#"};
    setup.prepareRun = [] { g_SystemData.m_bLegacy845c = 1; };
    setup.addStandIns = [](cStageHooks& hooks) { hooks.countActiveBlocks = [] { return 5; }; };
    cStageHarness h(setup);
    EXPECT_EQ(g_SaveData.m_nScore, 0);
    EXPECT_EQ(g_SystemData.m_bLegacy845c, 1);  // what the set-up prepared
    EXPECT_EQ(CountActiveBlocks(), 5);         // a stand-in the set-up replaced
    EXPECT_EQ(g_InputStates.size(), 1u);
    EXPECT_EQ(g_lpSceneStage, &h.Stage());
    g_SaveData.m_nScore = 7;
  }
  EXPECT_EQ(g_lpSceneStage, &outside);
  EXPECT_EQ(CountActiveBlocks(), -1);
  EXPECT_EQ(g_InputStates.size(), 2u);
  // The run left behind is a fresh one.
  EXPECT_EQ(g_SaveData.m_nScore, 0);
  EXPECT_EQ(g_SystemData.m_bLegacy845c, 0);
  EXPECT_TRUE(g_HeroList.empty());
  EXPECT_TRUE(g_StageFile.m_aCharas.empty());
  g_lpSceneStage = nullptr;
  g_InputStates.resize(1);
}
