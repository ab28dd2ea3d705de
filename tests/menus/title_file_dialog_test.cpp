// The title's free play and replays through the file dialogs: the title asks the main window for the
// dialog and leaves for the stage only when a file was taken; a cancelled dialog leaves the title as
// it was. The main window's side is played by a thread that answers the request flags.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "menu_scene_fixture.h"
#include "menus/menu_scene.h"
#include "menus/title_scene.h"
#include "shell/main_window.h"

namespace menutest {
namespace {

class TitleFileDialogTest : public cMenuSceneTest {
 protected:
  TitleFileDialogTest() {
    g_SystemData.m_bFileDialogs = 1;
    m_hWindow = CreateMessageWindow([](HWND, uint32_t, WPARAM, LPARAM) -> LRESULT { return 0; });
    m_hOldMain = g_hMainWnd.exchange(m_hWindow);
  }
  ~TitleFileDialogTest() override {
    g_hMainWnd.store(m_hOldMain);
    DestroyMessageWindow(m_hWindow);
    g_nStageFileRequest.store(0);
    g_nReplayFileRequest.store(0);
  }
  // Chooses the title item with a main window that answers the request with `result`; the flag the
  // request was raised on.
  int ChooseWithDialog(int kind, int result) {
    g_PlayMode = kind;
    Start<cSceneTitle>();
    FadeIn();
    std::atomic<int> raised{0};
    std::thread window([&] {
      const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
      while (!raised.load() && std::chrono::steady_clock::now() < giveUp) {
        if (g_nStageFileRequest.exchange(0)) raised.store(1);
        if (g_nReplayFileRequest.exchange(0)) raised.store(2);
        if (!raised.load()) std::this_thread::yield();
      }
      g_nDialogResult.store(result);
      g_nDialogDone.store(1);
    });
    Push(kMenuDecide);
    window.join();
    return raised.load();
  }
  HWND m_hWindow = nullptr;
  HWND m_hOldMain = nullptr;
};

TEST_F(TitleFileDialogTest, OnlyATakenFileLeavesForTheStage) {
  struct Case {
    int kind;
    int result;
    int flag;  // 1 stage-file request, 2 replay-file request
    int modeIndex;
  };
  const Case cases[] = {
      {kTitleFree, 1, 1, 2},
      {kTitleFree, 0, 1, 2},
      {kTitleReplay, 1, 2, 3},
      {kTitleReplay, 0, 2, 3},
  };
  for (const Case& c : cases) {
    g_SceneMgr.m_nRequestScene = kSceneTitle;
    EXPECT_EQ(ChooseWithDialog(c.kind, c.result), c.flag) << c.kind;
    EXPECT_EQ(g_ModeIndex, c.modeIndex) << c.kind;
    if (c.result) {
      EXPECT_EQ(m_Scene->m_nPhase, cSceneTitle::kPhaseFadeOut) << c.kind;
      EXPECT_EQ(g_SceneMgr.m_nRequestScene, kSceneStage) << c.kind;
    } else {
      EXPECT_EQ(m_Scene->m_nPhase, cSceneTitle::kPhaseMenu) << c.kind;
      EXPECT_EQ(g_SceneMgr.m_nRequestScene, kSceneTitle) << c.kind;
    }
  }
}

}  // namespace
}  // namespace menutest
