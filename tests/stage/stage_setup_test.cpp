// Stage set-up on the stage scene: the restored stage, the block table and scroll axes, the
// objects built, the counters, the sub-step flags, the timer, the seed and the pacing.
#include <gtest/gtest.h>

#include "core/containers.h"
#include "core/log.h"
#include "core/numbers.h"
#include "data/game_data.h"
#include "data/save_data.h"
#include "data/system_data.h"
#include "media/graphics/display.h"
#include "media/graphics/palette.h"
#include "objects/chara.h"
#include "objects/play_objects.h"
#include "platform/message_box.h"
#include "shell/menu_cursor.h"
#include "shell/scene_mgr.h"
#include "stage/flow_trigger_probe.h"
#include "stage/scene_stage.h"
#include "stage/stage_loading.h"
#include "stage/stage_play_hooks.h"
#include "test_support/stage_play_harness.h"

namespace {

cHarnessSetup SceneSetup(std::vector<std::string> map) {
  cHarnessSetup setup;
  setup.map = std::move(map);
  setup.makeStage = [] { return std::unique_ptr<cStageState>(new cSceneStage); };
  setup.addStandIns = AddStagePlayServices;
  return setup;
}

// The harness builds the stage as loaded; the scene then sets it up as after a load.
class StageSetupTest : public testing::Test {
 protected:
  explicit StageSetupTest(std::vector<std::string> map = {"..C.....", ".H....I.", "########"})
      : m_Plugins(SetHarnessPlugins, WithStagePlay(CurrentHarnessPlugins())), m_Harness(SceneSetup(std::move(map))) {}
  cSceneStage& Scene() { return static_cast<cSceneStage&>(m_Harness.Stage()); }
  void Setup(int restart = 1, int fresh = 1) {
    TakeStageSettingsCopy();
    g_HeroType = g_StageFile.m_aCharas[static_cast<size_t>(HeroTypeIndex(g_StageFile))];
    Scene().SetupStage(restart, fresh);
  }
  cHooksGuard<cHarnessPlugins> m_Plugins;
  cStageHarness m_Harness;
};

TEST(SubStepFlags, SpreadsTheShotChecksOverTheSubSteps) {
  struct Case {
    int n, k;
    std::vector<int32_t> flags;
  };
  for (const Case& c : {Case{4, 3, {1, 1, 1, 0}}, Case{4, 0, {1, 1, 1, 1}}, Case{4, 2, {1, 0, 1, 0}}, Case{1, 1, {1}},
                        Case{3, 5, {1, 1, 1}}, Case{5, 1, {1, 0, 0, 0, 0}}, Case{3, -2, {1, 1, 1}},
                        Case{3, 0, {1, 1, 1}}, Case{5, 2, {1, 0, 1, 0, 0}}, Case{4, -1, {1, 1, 1, 1}}, Case{0, 3, {}},
                        Case{9, 1, {1, 0, 0, 0, 0, 0, 0, 0, 0}}})
    EXPECT_EQ(SubStepFlags(c.n, c.k), c.flags) << c.n << " sub-steps, " << c.k << " checks";
}

TEST_F(StageSetupTest, BuildsTheStageFromTheKeptSettings) {
  // An attempt that changed the stage's settings and placement is undone by the restart.
  Setup();
  g_StageFile.m_nWidth = 99;
  g_StageFile.m_aCharas[static_cast<size_t>(HeroTypeIndex(g_StageFile))].m_nCellX = 5;
  Scene().m_nEndRequest = kEndClear;
  Scene().m_nFrameCount = 12;
  Scene().SetupStage(1, 0);

  cSceneStage& scene = Scene();
  EXPECT_EQ(g_StageFile.m_nWidth, 8);
  EXPECT_EQ(scene.m_ScrollX.m_nCells, 28);
  EXPECT_EQ(scene.m_ScrollX.m_nShift, 5);  // 27 takes five bits
  EXPECT_EQ(scene.m_ScrollY.m_nCells, 23);
  EXPECT_EQ(g_BlockTable.size(), 32u * 23u);
  EXPECT_EQ(VecAt(g_BlockTable, ((2 + 10) << 5) + 3 + 10).m_nGraphic, 1);
  EXPECT_EQ(VecAt(g_BlockTable, ((1 + 10) << 5) + 3 + 10).m_nGraphic, 0);
  ASSERT_EQ(g_HeroList.size(), 1u);
  // The hero stands on its own cell.
  EXPECT_EQ(TruncToInt(g_HeroList[0].m_dX + g_HeroList[0].m_nWidth / 2) / 32 - 10, 1);
  EXPECT_EQ(g_CharaList.size(), 1u);
  EXPECT_EQ(g_ItemList.size(), 1u);
  EXPECT_EQ(g_HeroList[0].m_nNumber, 0);
  EXPECT_EQ(g_CharaList.front().m_nNumber, 1);
  EXPECT_EQ(scene.m_nFrameCount, 0);
  EXPECT_EQ(scene.m_nEndRequest, kEndNone);
  EXPECT_EQ(scene.m_nSubStepTotal, 0);
  EXPECT_EQ(scene.m_anStageVars.size(), 1000u);
  // Both in the group lists of their kinds, the hero first.
  ASSERT_FALSE(scene.m_aCharaGroups[g_HeroList[0].m_nKind].empty());
  EXPECT_EQ(scene.m_aCharaGroups[g_HeroList[0].m_nKind].front(), &g_HeroList[0]);
  EXPECT_EQ(scene.m_aCharaGroups[g_CharaList.front().m_nKind].back(), &g_CharaList.front());
}

// The largest map the loader takes on both axes asks for a block table whose cells its int indexes
// cannot reach: the set-up fails as it does when memory runs out, without trying to make the table.
TEST_F(StageSetupTest, ABlockTableBeyondItsIndexesFailsAsALackOfMemoryDoes) {
  std::vector<std::string> boxes;
  SetMessageBoxHandler([&boxes](const char* text, const char*, unsigned) {
    boxes.emplace_back(text);
    return 1;
  });
  g_StageFile.m_nWidth = g_StageFile.m_nHeight = 32768;  // 65536 x 32788 cells
  m_Harness.ExpectFatalStop();
  Setup();
  SetMessageBoxHandler(nullptr);
  EXPECT_EQ(boxes, std::vector<std::string>{"メモリ不足により、ステージの初期設定に失敗しました！"});
  EXPECT_EQ(g_bQuit.load(), 1);
  g_bQuit = 0;
}

// A map the loader takes whose block table would hold more than a gigabyte: the system would promise
// the memory and stop the program once it is touched, so the set-up fails as when memory runs out.
TEST_F(StageSetupTest, ABlockTableBeyondAGigabyteFailsAsALackOfMemoryDoes) {
  std::vector<std::string> boxes;
  SetMessageBoxHandler([&boxes](const char* text, const char*, unsigned) {
    boxes.emplace_back(text);
    return 1;
  });
  g_StageFile.m_nWidth = 4000;  // rows of 4096 cells
  g_StageFile.m_nHeight = 2000;
  m_Harness.ExpectFatalStop();
  Setup();
  SetMessageBoxHandler(nullptr);
  EXPECT_EQ(boxes, std::vector<std::string>{"メモリ不足により、ステージの初期設定に失敗しました！"});
  EXPECT_EQ(g_bQuit.load(), 1);
  g_bQuit = 0;
}

TEST_F(StageSetupTest, ARepeatedPlacementBuildsNumberedCopiesWhoseHomesFollowTheProjectSwitch) {
  cCharaType& placed = g_StageFile.m_aCharas[static_cast<size_t>(m_Harness.Placement('C').nIndex)];
  placed.m_nOpt6 = 2;  // two further copies
  placed.m_nPlaceOffsetX = 1;
  placed.m_nPlaceStepX = 1;
  for (int legacy : {0, 1}) {
    g_SystemData.m_bLegacy768 = legacy;
    Setup();
    ASSERT_EQ(g_CharaList.size(), 3u);
    int copy = 0;
    for (const cChara& chara : g_CharaList) {
      EXPECT_EQ(chara.m_nNumber, copy + 1);  // ids consecutive after the hero's
      EXPECT_EQ(chara.m_nClone, copy);
      const bool homeMoved = chara.m_dHomeX - chara.m_dX != g_CharaList.front().m_dHomeX - g_CharaList.front().m_dX;
      if (copy > 0) EXPECT_EQ(homeMoved, legacy == 1) << "copy " << copy << ", switch " << legacy;
      ++copy;
    }
  }
  g_SystemData.m_bLegacy768 = 0;
}

TEST_F(StageSetupTest, An8BitDisplayGetsTheGamesPaletteBack) {
  const int bpp = g_nDisplayBpp;
  for (int depth : {8, 32}) {
    g_nDisplayBpp = depth;
    g_GamePalette[20] = PALETTEENTRY{1, 2, 3, 0};
    g_WorkPalette[20] = PALETTEENTRY{9, 9, 9, 0};  // a flash of the last attempt
    Setup();
    EXPECT_EQ(g_WorkPalette[20].red, depth == 8 ? 1 : 9) << depth << " bits";
  }
  g_nDisplayBpp = bpp;
}

TEST_F(StageSetupTest, TheMenuCursorStartsAfresh) {
  g_MenuCursor.Top().nRow = 3;
  g_MenuCursor.PushCursor(1);
  Setup();
  EXPECT_EQ(g_MenuCursor.Depth(), 1u);
  EXPECT_EQ(g_MenuCursor.Top().nRow, 0);
}

TEST_F(StageSetupTest, TimerAndPacingFollowTheStage) {
  struct Case {
    int timeLimit, seconds, fps;
    int32_t timer, stopped, frameRate;
  };
  for (const Case& c : {Case{0, 30, 60, 999, 1, 60}, Case{1, 30, 0, 30, 0, 0}, Case{1, 5000, -3, 999, 0, 0},
                        Case{1, 20, 120, 20, 0, 120}}) {
    g_StageFile.m_bTimeLimit = c.timeLimit;
    g_StageFile.m_nTimeLimit = c.seconds;
    g_StageFile.m_nFps = c.fps;
    Setup();
    EXPECT_EQ(Scene().m_nTimer, c.timer);
    EXPECT_EQ(Scene().m_bTimerStopped, c.stopped);
    // A frame rate of 0 (and a negative one) leaves the frames unthrottled.
    EXPECT_EQ(g_SceneMgr.m_nFrameRate, c.frameRate);
  }
  g_SceneMgr.m_nFrameRate = 60;
}

TEST_F(StageSetupTest, ARecordingPlayStoresItsSeedAndKeepsThePreviousLog) {
  g_SystemData.m_bReplayOn = 1;
  g_InputLog.m_nSeed = 77;
  g_InputLog.m_anDirStates = {1};
  Setup();
  EXPECT_EQ(g_PrevInputLog.m_nSeed, 77);
  EXPECT_EQ(g_PrevInputLog.m_anDirStates, std::vector<int16_t>{1});
  EXPECT_TRUE(g_InputLog.m_anDirStates.empty());
  EXPECT_EQ(static_cast<uint32_t>(g_InputLog.m_nSeed), Scene().m_nSeed);
  // The game's generator was seeded with it.
  const uint32_t next = Scene().m_nSeed * 214013u + 2531011u;
  EXPECT_EQ(QcRand(), static_cast<int>((next >> 16) & 0x7FFF));

  // Playback takes the recorded seed and rewinds the log, and drops the progress's place request.
  g_PlayMode = kPlayModeReplay;
  g_InputLog.m_nSeed = 1234;
  g_InputLog.m_nDirIndex = 3;
  g_SaveData.m_bPlaceRequest = 1;
  Setup();
  EXPECT_EQ(Scene().m_nSeed, 1234u);
  EXPECT_EQ(g_InputLog.m_nDirIndex, 0u);
  EXPECT_EQ(g_SaveData.m_bPlaceRequest, 0);
  g_PlayMode = kPlayModeStoryNew;
}

TEST_F(StageSetupTest, KeepAreasAreOnWhenAnySideIs) {
  g_StageFile.m_aKeepAreas[1].m_bTopOn = 1;
  Setup();
  EXPECT_EQ(Scene().m_abKeepArea[0], 0);
  EXPECT_EQ(Scene().m_abKeepArea[1], 1);
  EXPECT_EQ(Scene().m_abKeepArea[2], 0);
}

TEST_F(StageSetupTest, APlacedCharacterCarriesTheItemItsPlacementNames) {
  // 'I' is placed item 0; a number outside the placed items (a damaged file) carries nothing.
  for (const int32_t carried : {0, -1, 1, -7}) {
    const bool carries = carried == 0;
    g_StageFile.m_aCharas[static_cast<size_t>(m_Harness.Placement('C').nIndex)].m_nCarriedItem = carried;
    Setup();
    ASSERT_EQ(g_CharaList.size(), 1u);
    cChara& carrier = g_CharaList.front();
    EXPECT_EQ(carrier.CarriedItem() != nullptr, carries) << carried;
    // The carried item's placement is not put on the map.
    EXPECT_EQ(g_ItemList.size(), carries ? 0u : 1u) << carried;
    m_Harness.ClearTraces();
    carrier.Defeat();
    EXPECT_EQ(m_Harness.CallsOf("takeItem").size(), carries ? 1u : 0u) << carried;
  }
}

TEST_F(StageSetupTest, ARestartRestoresTheHeroPlacementUnlessTheProjectForbidsIt) {
  for (const int forbidden : {0, 1}) {
    g_SystemData.m_bLegacy827 = forbidden;
    Setup();
    // Flows of the attempt moved the hero's placement.
    g_StageFile.m_aCharas[static_cast<size_t>(HeroTypeIndex(g_StageFile))].m_nCellX = 5;
    Scene().SetupStage(1, 0);
    EXPECT_EQ(TruncToInt(g_HeroList[0].m_dX + g_HeroList[0].m_nWidth / 2) / 32 - 10, forbidden ? 5 : 1) << forbidden;
  }
}

// A place request of the stage clear starts the hero on the requested cell with the requested
// facing, and the hero's placement keeps both: a restart that keeps the placement (the project's
// switch) starts the hero there again once the request is gone.
TEST_F(StageSetupTest, APlaceRequestMovesTheHeroAndItsPlacement) {
  g_SaveData.m_bPlaceRequest = 1;
  g_SaveData.m_nPlaceX = 5;
  g_SaveData.m_nPlaceY = 0;
  g_SaveData.m_nPlaceFacing = 1;
  Setup();
  const auto column = [] { return TruncToInt(g_HeroList[0].m_dX + g_HeroList[0].m_nWidth / 2) / 32 - 10; };
  const auto row = [] { return TruncToInt(g_HeroList[0].m_dY + g_HeroList[0].m_nHeight / 2) / 32 - 10; };
  EXPECT_EQ(column(), 5);
  EXPECT_EQ(row(), 0);
  const cCharaType& placement = g_StageFile.m_aCharas[static_cast<size_t>(HeroTypeIndex(g_StageFile))];
  EXPECT_EQ(placement.m_nCellX, 5);
  EXPECT_EQ(placement.m_nCellY, 0);
  EXPECT_EQ(placement.m_nFacing, 1);
  g_SaveData.m_bPlaceRequest = 0;
  g_SystemData.m_bLegacy827 = 1;
  Scene().SetupStage(1, 0);
  EXPECT_EQ(column(), 5);
  EXPECT_EQ(row(), 0);
}

// A requested place off the map (from a damaged progress or replay file, or a stage-clear command
// made for a larger stage) is not taken: the hero starts at its own placement.
TEST_F(StageSetupTest, APlaceRequestOffTheMapLeavesTheHeroAtItsPlacement) {
  const cCharaType placed = g_StageFile.m_aCharas[static_cast<size_t>(HeroTypeIndex(g_StageFile))];
  for (auto [x, y] : {std::pair{8, 0}, {0, 3}, {-1, 0}, {0, 134217738}, {2147483647, 1}}) {
    SCOPED_TRACE(testing::Message() << x << "," << y);
    g_SaveData.m_bPlaceRequest = 1;
    g_SaveData.m_nPlaceX = x;
    g_SaveData.m_nPlaceY = y;
    Setup();
    const cHero& hero = g_HeroList[0];
    EXPECT_EQ(TruncToInt(hero.m_dX + hero.m_nWidth / 2) / 32 - 10, placed.m_nCellX);
    EXPECT_EQ(TruncToInt(hero.m_dY + hero.m_nHeight / 2) / 32 - 10, placed.m_nCellY);
    const cCharaType& placement = g_StageFile.m_aCharas[static_cast<size_t>(HeroTypeIndex(g_StageFile))];
    EXPECT_EQ(placement.m_nCellX, placed.m_nCellX);
    EXPECT_EQ(placement.m_nCellY, placed.m_nCellY);
  }
  g_SaveData.m_bPlaceRequest = 0;
}

// The hero's status stored at the last stage end comes back only in a stage that carries it over:
// its maximum HP into the placement, its HP into the hero, its time limit into the stage.
TEST_F(StageSetupTest, TheCarriedOverStatusAppliesWhenTheStageCarriesItOver) {
  constexpr int kItemHp = 11, kItemMaxHp = 13, kItemTime = 22;
  g_SystemData.m_abCarryOver.assign(kCarryOverItems, 0);
  for (int item : {kItemHp, kItemMaxHp, kItemTime}) g_SystemData.m_abCarryOver[static_cast<size_t>(item)] = 1;
  cCharaType stored = HarnessHeroType();
  stored.m_nMaxHp = 30;
  g_SaveData.StoreCarryOver(0, stored, 7, 0, 0, 0, 0, 45, 3, 0);
  struct Case {
    int carryOver;
    int32_t maxHp, hp, timer;
  };
  for (const Case& c : {Case{0, 10, 10, 100}, Case{1, 30, 7, 45}}) {
    g_StageFile.m_bCarryOver = c.carryOver;
    g_StageFile.m_bTimeLimit = 1;
    g_StageFile.m_nTimeLimit = 100;
    g_StageFile.m_aCharas[static_cast<size_t>(HeroTypeIndex(g_StageFile))].m_nMaxHp = 10;
    Setup();
    EXPECT_EQ(g_HeroList[0].m_Type.m_nMaxHp, c.maxHp) << c.carryOver;
    EXPECT_EQ(g_HeroList[0].m_nHp, c.hp) << c.carryOver;
    EXPECT_EQ(Scene().m_nTimer, c.timer) << c.carryOver;
  }
}

TEST_F(StageSetupTest, TheStatusDisplayComesFromTheStage) {
  for (const int32_t shown : {0, 1}) {
    g_StageFile.m_bStatusDisplay = shown;
    Setup();
    EXPECT_EQ(Scene().m_nStatusDisplay, shown);
  }
}

// The before-the-stage flows (trigger 25) run for the active characters only, or for every
// character in projects that keep the older rule.
TEST(StageSetupFlows, BeforeTheStageFlowsRunForActiveCharactersOrForAllUnderTheProjectSwitch) {
  for (const int everyChara : {0, 1}) {
    cHooksGuard<cHarnessPlugins> plugins(SetHarnessPlugins, WithStagePlay(CurrentHarnessPlugins()));
    cHarnessSetup setup = SceneSetup({"..C.D...", ".H......", "########"});
    cCharaType shown = HarnessCharaType();
    shown.m_aFlows.emplace_back().m_nTrigger = 25;
    cCharaType hidden = shown;
    cCond never;
    never.m_nKind = kCondNone;
    hidden.m_aConds = {never};  // its appearance conditions fail: never active
    setup.charas['C'] = shown;
    setup.charas['D'] = hidden;
    setup.addStandIns = [](cStageHooks& hooks) {
      AddStagePlayServices(hooks);
      RecordFlowTriggers(hooks);
    };
    cStageHarness h(setup);
    g_SystemData.m_bLegacy697 = everyChara;
    h.ClearTraces();
    static_cast<cSceneStage&>(h.Stage()).SetupStage(0, 1);
    ASSERT_EQ(g_CharaList.size(), 2u);
    EXPECT_EQ(FiredTriggers(h, g_CharaList.front().m_nNumber), std::vector<int>{25}) << everyChara;
    EXPECT_EQ(FiredTriggers(h, g_CharaList.back().m_nNumber), everyChara ? std::vector<int>{25} : std::vector<int>{})
        << everyChara;
  }
}

TEST_F(StageSetupTest, MusicIsKeptOnARetryAndOnEntryWhenTheStageSaysSo) {
  g_StageFile.m_nBgm = 3;
  g_SaveData.m_nBgm = 3;
  Setup(1, 0);  // a retry with the same music: nothing requested
  EXPECT_TRUE(m_Harness.CallsOf("requestBgmByNumber").empty());
  Setup(1, 1);  // entering anew restarts it
  EXPECT_EQ(m_Harness.CallsOf("requestBgmByNumber").size(), 1u);
  g_StageFile.m_bBgmKeep = 1;
  Setup(1, 1);  // unless the stage keeps it
  EXPECT_EQ(m_Harness.CallsOf("requestBgmByNumber").size(), 1u);
}

}  // namespace
