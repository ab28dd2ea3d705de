// Removals made by drawing: at once in a play frame; during a modal wait only marked (the blocked
// game thread may hold positions in the lists), carried out at the next sub-step boundary, passing
// over what a command removed meanwhile.
#include "stage/deferred_removals.h"

#include <gtest/gtest.h>

#include <iterator>
#include <memory>

#include "flow/flow_stage.h"
#include "objects/chara.h"
#include "objects/play_objects.h"
#include "objects/stage_hooks.h"
#include "shell/game_loop.h"
#include "shell/input_state.h"
#include "shell/main_window.h"
#include "shell/scene_mgr.h"
#include "stage/chara_removal.h"
#include "stage/modal_waits.h"
#include "test_support/hooks_guard.h"
#include "test_support/stage_harness.h"

namespace {

constexpr int32_t kFinished = 1;  // the number of the windows and pictures the test's drawing finds finished

cScreenPicture Picture(int number) {
  return cScreenPicture(1, 0, 0, 0, 0, 0, 0, 32, 32, 0, 0, 100, 0, 0, 0, 0, 1, number);
}

cMesWindow& AddWindow(cFlowStage& stage, int number) {
  MESWINDOWARGS args;
  args.bNumbered = 1;
  args.nNumber = number;
  return stage.m_MesWindows.emplace_back(args);
}

// What stage drawing does with finished elements (the test's drawing knows them by their number).
int g_nFlushesTried = 0;
void DrawLikeTheStage() {
  cFlowStage& stage = *FlowStage();
  for (auto it = g_CharaList.begin(); it != g_CharaList.end();) it = it->m_bDead ? RemoveDrawnChara(it) : std::next(it);
  for (auto it = stage.m_MesWindows.begin(); it != stage.m_MesWindows.end();)
    it = it->m_nNumber == kFinished ? RemoveFinishedMesWindow(stage, it) : std::next(it);
  auto surface = stage.m_PictureSurfaces.begin();
  for (auto it = stage.m_Pictures.begin(); it != stage.m_Pictures.end();) {
    auto nextSurface = std::next(surface);
    it = it->m_nNumber == kFinished ? RemoveExpiredPicture(stage, it, &*surface) : std::next(it);
    surface = nextSurface;
  }
  // A boundary asked for inside the wait waits for the wait's end.
  FlushDeferredRemovals(stage);
  ++g_nFlushesTried;
}

cHarnessSetup RemovalStageSetup() {
  cHarnessSetup setup;
  setup.map = {"H.CC", "####"};
  setup.makeStage = [] { return std::unique_ptr<cStageState>(std::make_unique<cFlowStage>()); };
  return setup;
}

class DeferredRemovalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_InputStates.assign(1, cInputState{});
    g_AppActive.store(1);
    g_SceneMgr.m_nFrameRate = 0;
    SetFrameLimit(0);
    InstallModalWaits();
    ForgetDeferredRemovals();
    g_nFlushesTried = 0;
    cFlowStage& stage = Stage();
    AddWindow(stage, 0);
    AddWindow(stage, kFinished);
    for (int number : {kFinished, 0}) {
      stage.m_Pictures.push_back(Picture(number));
      stage.m_PictureSurfaces.emplace_back();
      stage.m_PictureSurfaceInfos.emplace_back();
    }
    m_Harness.Chara(0).m_bDead = 1;
  }
  void TearDown() override {
    g_SceneMgr.m_nFrameRate = 60;
    g_AppActive.store(0);
    ForgetDeferredRemovals();
  }
  cFlowStage& Stage() { return static_cast<cFlowStage&>(m_Harness.Stage()); }
  // A timed wait of three frames, run as a flow command runs it.
  void RunWait() {
    SetupGameWait(kWaitTimer, 0, 3, 0, nullptr);
    ASSERT_EQ(RunModalWait(0), 1);
  }

  cHooksGuard<cUiHooks> m_UiHooks{SetUiHooks, {}};
  cHooksGuard<cModalWaitHooks> m_WaitHooks{SetModalWaitHooks, {.drawWaitFrame = DrawLikeTheStage}};
  cStageHarness m_Harness{RemovalStageSetup()};
};

TEST_F(DeferredRemovalTest, APlayFrameRemovesAtOnce) {
  DrawLikeTheStage();
  EXPECT_EQ(g_CharaList.size(), 1u);
  EXPECT_EQ(Stage().m_MesWindows.size(), 1u);
  EXPECT_EQ(Stage().m_Pictures.size(), 1u);
  EXPECT_EQ(Stage().m_PictureSurfaces.size(), 1u);
  EXPECT_EQ(Stage().m_PictureSurfaceInfos.size(), 1u);
  EXPECT_EQ(CountDeferredRemovals(), 0);
}

TEST_F(DeferredRemovalTest, AWaitOnlyMarksAndTheSubStepBoundaryRemoves) {
  // The game thread is inside the dead character's flow: it holds its position across the wait.
  const auto held = g_CharaList.begin();
  RunWait();
  EXPECT_EQ(g_nFlushesTried, 3);
  ASSERT_EQ(g_CharaList.size(), 2u);
  EXPECT_EQ(&*held, &g_CharaList.front());
  EXPECT_EQ(std::next(held), std::prev(g_CharaList.end()));  // the position still walks the list
  EXPECT_EQ(Stage().m_MesWindows.size(), 2u);
  EXPECT_EQ(Stage().m_Pictures.size(), 2u);
  EXPECT_EQ(CountDeferredRemovals(), 3);  // each marked once, though drawn three times
  // Marked elements draw nothing from now on, also outside play frames.
  EXPECT_EQ(std::next(Stage().m_MesWindows.begin())->StepMesWindow(nullptr, 1), 1);
  EXPECT_EQ(Stage().m_Pictures.front().DrawScreenPicture(nullptr, nullptr, 1), 1);

  FlushDeferredRemovals(Stage());
  EXPECT_EQ(g_CharaList.size(), 1u);
  for (const auto& list : Stage().m_aCharaGroups)
    for (const cCharaBase* chara : list) EXPECT_NE(chara, &*held);
  ASSERT_EQ(Stage().m_MesWindows.size(), 1u);
  EXPECT_EQ(Stage().m_MesWindows.front().m_nNumber, 0);
  ASSERT_EQ(Stage().m_Pictures.size(), 1u);
  EXPECT_EQ(Stage().m_Pictures.front().m_nNumber, 0);
  EXPECT_EQ(Stage().m_PictureSurfaces.size(), 1u);
  EXPECT_EQ(CountDeferredRemovals(), 0);
}

TEST_F(DeferredRemovalTest, TheBoundaryPassesOverWhatCommandsRemovedOrReplacedMeanwhile) {
  RunWait();
  cFlowStage& stage = Stage();
  // After the wait a command removed the character and the window itself, and a new picture took
  // the marked one's place in memory.
  const int32_t survivor = std::next(g_CharaList.begin())->m_nNumber;
  RemoveCharaQuietly(g_CharaList.begin());
  stage.m_MesWindows.erase(std::next(stage.m_MesWindows.begin()));
  stage.m_Pictures.front() = Picture(kFinished + 1);
  FlushDeferredRemovals(stage);
  ASSERT_EQ(g_CharaList.size(), 1u);
  EXPECT_EQ(g_CharaList.front().m_nNumber, survivor);
  EXPECT_EQ(stage.m_MesWindows.size(), 1u);
  ASSERT_EQ(stage.m_Pictures.size(), 2u);
  EXPECT_EQ(stage.m_Pictures.front().m_nNumber, kFinished + 1);
}

TEST_F(DeferredRemovalTest, SetUpForgetsTheMarks) {
  RunWait();
  ForgetDeferredRemovals();
  FlushDeferredRemovals(Stage());
  EXPECT_EQ(g_CharaList.size(), 2u);
}

}  // namespace
