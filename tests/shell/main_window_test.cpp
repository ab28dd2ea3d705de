// The main window's procedure: the close flow with its question, closing during a modal wait, the
// zoom by right click, the file-dialog request protocol between the two threads, and the requests a
// worker makes while the close waits for it.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/log.h"
#include "core/thread.h"
#include "media/graphics/display.h"
#include "media/graphics/graphics_fixture.h"
#include "platform/headless/input_script.h"
#include "platform/message_box.h"
#include "platform/window/game_window.h"
#include "platform/window/message_boxes.h"
#include "shell/app_globals.h"
#include "shell/main_window.h"
#include "shell/scene_mgr.h"
#include "shell/system_ini.h"
#include "test_support/hooks_guard.h"

namespace {
int g_aborts = 0;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(GameWindowInit(true));
    window = CreateMessageWindow(MainWndProc, &g_MainWindow);
    ASSERT_TRUE(GameWindowCreate(window, 100, 100, 640, 480));
    g_hMainWnd.store(window);
    g_Windowed = 1;
    g_DirectPlay = 0;
    g_TestPlay = 0;
    g_bCloseConfirmed.store(0);
    g_GameStarted.store(0);  // nothing is saved
    g_IniSettings.WindowMode = 1;
    g_SceneMgr.m_nScene = kSceneWorldMap;
    g_aborts = 0;
    InstallHeadlessMessageBoxes(nullptr);
  }
  void TearDown() override {
    UseInputScript(cInputScript{});
    SetMessageBoxHandler(nullptr);
    if (IsWindow(window)) DestroyMessageWindow(window);
    GameWindowDestroy();
    GameWindowShutdown();
    g_hMainWnd.store(nullptr);
    MSG msg;
    while (PeekMessage(&msg, true)) {}
    g_SceneMgr.m_nScene = 0;
    g_bCloseConfirmed.store(0);
  }
  static void answers(const char* text) {
    cInputScript s;
    ASSERT_TRUE(ParseInputScript(text, s, nullptr));
    UseInputScript(s);
  }
  // Every test's hooks: a modal wait's abort is counted.
  static cUiHooks BaseHooks() {
    return {.abortStageWait = [] { ++g_aborts; }};
  }
  HWND window = nullptr;
  cHooksGuard<cUiHooks> m_UiHooks{SetUiHooks, BaseHooks()};
};

TEST_F(MainWindowTest, CloseAnsweredNoKeepsEverything) {
  answers("answer no\n");
  SendMessage(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(g_bCloseConfirmed.load(), 0);
  EXPECT_FALSE(HeadlessBoxUnanswered());
}

TEST_F(MainWindowTest, CloseInTitleAsksNothingAndEnds) {
  g_SceneMgr.m_nScene = kSceneTitle;
  SendMessage(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(HeadlessBoxUnanswered());
  MSG msg;
  bool quit = false;
  while (PeekMessage(&msg, true))
    if (msg.message == WM_QUIT) quit = true;
  EXPECT_TRUE(quit);
}

TEST_F(MainWindowTest, CloseDuringModalWaitAsksOnce) {
  // A stand-in for the pause thread's nested loop: it runs until WM_QUIT.
  ASSERT_TRUE(thPause.Start(
      [](void*) -> unsigned {
        MSG msg;
        while (GetMessage(&msg)) {}
        return 0;
      },
      nullptr));
  answers("answer yes\n");
  SendMessage(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(window));  // the stage handles the abort; the window stays
  EXPECT_EQ(g_aborts, 1);
  thPause.Join();
  // The stage's next frame closes again: no second question (none is scripted), and the window goes.
  SendMessage(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(HeadlessBoxUnanswered());
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(MainWindowTest, RightClickStepsTheZoom) {
  // The headless desktop's work area is 1920 x 1040: zooms 1 and 2 fit.
  ASSERT_EQ(MaxZoom(), 2);
  SendMessage(window, WM_RBUTTONDOWN, 0, 0);
  EXPECT_EQ(CurrentZoom(), 2);
  QcRect r = GameWindowRect();
  EXPECT_GE(r.left, 0);
  EXPECT_LE(r.left + 1280, 1920);
  EXPECT_LE(r.top + 960, 1040);
  SendMessage(window, WM_RBUTTONDOWN, 0, 0);
  EXPECT_EQ(CurrentZoom(), 1);
  SendMessage(window, WM_SYSCOMMAND, 2, 0);
  EXPECT_EQ(CurrentZoom(), 2);
}

// In Direct3D mode in a window the zoom choices are the sizes that fit the desktop, as the system
// menu lists them: Alt+1 and Alt+2 on the headless desktop, no Alt+3.
TEST_F(MainWindowTest, ZoomKeysOfferTheSizesThatFit) {
  static DTCONTEXT context;
  DTCONTEXT* saved = lpDTCon;
  lpDTCon = &context;
  g_MainWindow.m_bZoomMenuAdded = false;
  SendMessage(window, WM_MOUSEMOVE, 0, 0);
  EXPECT_EQ(ZoomKeyCount(), MaxZoom());
  EXPECT_EQ(ZoomKeyCount(), 2);
  lpDTCon = saved;
  g_MainWindow.m_bZoomMenuAdded = false;
}

TEST_F(MainWindowTest, FileDialogRequestEndsEvenWithoutAName) {
  cUiHooks hooks = BaseHooks();
  hooks.makeReplayFileName = [](int, std::string&) { return false; };
  cHooksGuard guard(SetUiHooks, hooks);
  std::atomic<int> result{-1};  // written by the game thread, polled here
  std::thread game([&] { result = RequestFileDialog(g_nReplaySaveRequest, 1); });
  // The user-interface loop's idle step, until the request is served.
  for (int i = 0; i < 100000 && result == -1; ++i) {
    ServiceUiRequests();
    MSG msg;
    while (PeekMessage(&msg, true)) DispatchMessage(&msg);
    std::this_thread::yield();
  }
  game.join();
  EXPECT_EQ(result, 0);
  EXPECT_EQ(g_nDialogDone.load(), 1);
}

TEST_F(MainWindowTest, ChosenFileStartsTheStage) {
  static std::string started;
  cUiHooks hooks = BaseHooks();
  hooks.runFileDialog = [](int mode, const std::string&, std::string& chosen) {
    chosen = "data\\stg4\\free.stg4";
    return mode == 0;
  };
  hooks.startStageFromFile = [](const std::string& path) {
    started = path;
    return true;
  };
  cHooksGuard guard(SetUiHooks, hooks);
  std::atomic<int> result{-1};  // written by the game thread, polled here
  std::thread game([&] { result = RequestFileDialog(g_nStageFileRequest); });
  for (int i = 0; i < 100000 && result == -1; ++i) {
    ServiceUiRequests();
    std::this_thread::yield();
  }
  game.join();
  EXPECT_EQ(result, 1);
  EXPECT_EQ(started, "data\\stg4\\free.stg4");
  EXPECT_EQ(g_bQuit.load(), 0);
}
TEST_F(MainWindowTest, ScriptedEscapeAsksToQuitLikeAKeyPress) {
  answers("1 press ESCAPE\n2 release ESCAPE\nanswer yes\n");
  ApplyInputScript(1);
  MSG msg;
  // The key message, then the close it posts: the question is answered Yes and the window goes.
  for (int i = 0; i < 10 && PeekMessage(&msg, true); ++i) DispatchMessage(&msg);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(HeadlessBoxUnanswered());
}

TEST_F(MainWindowTest, QuitQuestionTextsByLanguage) {
  struct Seen {
    std::string text, caption;
    unsigned type = 0;
  };
  static Seen seen;
  SetMessageBoxHandler([](const char* text, const char* caption, unsigned type) {
    seen = Seen{text, caption, type};
    return IDNO;
  });
  const int savedEnglish = g_IniSettings.English;
  g_IniSettings.English = 0;
  SendMessage(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(seen.text, "\x8f\x49\x97\xb9\x82\xb5\x82\xdc\x82\xb7\x82\xa9\x81\x48\n");  // 終了しますか？
  EXPECT_EQ(seen.caption, "\x8f\x49\x97\xb9\x8a\x6d\x94\x46");                         // 終了確認
  EXPECT_EQ(seen.type, MB_YESNO);
  g_IniSettings.English = 1;
  SendMessage(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(seen.text, "Would you like to quit?\n");
  EXPECT_EQ(seen.caption, "End confirmation");
  g_IniSettings.English = savedEnglish;
  EXPECT_TRUE(IsWindow(window));  // answered No both times
}
TEST_F(MainWindowTest, FileDialogRequestEndsWhenTheWindowCloses) {
  // Closed without a fatal stop while the request waited (the application was inactive, so no idle
  // step served it): the waiting game thread does not wait for ever.
  g_SceneMgr.m_nScene = kSceneTitle;
  std::atomic<int> result{-1};
  std::thread game([&] { result = RequestFileDialog(g_nStageFileRequest); });
  while (g_nStageFileRequest.load() == 0) std::this_thread::yield();
  SendMessage(window, WM_CLOSE, 0, 0);
  game.join();
  EXPECT_EQ(result.load(), 0);
  EXPECT_EQ(g_bQuit.load(), 0);
  g_nStageFileRequest.store(0);
}

TEST_F(MainWindowTest, TheRestoreRequestResetsTheLostDevice) {
  gfxtest::Display display(gfxtest::kModes[1]);  // Direct3D, 32 bits, in a window
  ASSERT_TRUE(display.ok);
  g_lpDevice->SimulateDeviceLoss(1);
  EXPECT_EQ(DDPresent(60, 0, nullptr), 0);
  SendMessage(window, kMsgRestoreDevice, 0, 0);  // not resettable yet: asked again later
  EXPECT_TRUE(g_lpDevice->IsLost());
  SendMessage(window, kMsgRestoreDevice, 0, 0);
  EXPECT_FALSE(g_lpDevice->IsLost());
  EXPECT_EQ(DDPresent(60, 0, nullptr), 1);

  // The frame's presentation asks for the restore itself when the device is lost in a window.
  g_lpDevice->SimulateDeviceLoss(0);
  g_SceneMgr.PresentFrame();
  EXPECT_FALSE(g_lpDevice->IsLost());
  EXPECT_EQ(DDPresent(60, 0, nullptr), 1);

  // Full screen, the request comes when the application is activated again.
  g_lpDevice->SimulateDeviceLoss(0);
  g_Windowed = 0;
  g_AppActive.store(0);
  SendMessage(window, WM_ACTIVATEAPP, 1, 0);
  EXPECT_FALSE(g_lpDevice->IsLost());
  EXPECT_EQ(g_AppActive.load(), 1);
  g_AppActive.store(0);
}

// What a worker asks of the window while the close waits for it to end: every request is answered at
// once and none opens a dialog, so the worker ends and the close completes.
enum class eAskAtClose { NameEntry, ReplaySaveDialog, ReplayFileRequest, SecondClose };
std::atomic<eAskAtClose> g_ask{eAskAtClose::NameEntry};
std::atomic<int> g_dialogsOpened{0};
std::atomic<bool> g_askAnswered{false};
std::atomic<bool> g_workerEnded{false};

unsigned askOnceTheCloseBegan(void*) {
  // The close has begun once Exit's WM_QUIT is queued; it is left there for the loop that would end.
  MSG msg;
  while (!PeekMessage(&msg, false) || msg.message != WM_QUIT) std::this_thread::yield();
  const HWND window = g_hMainWnd.load();
  switch (g_ask.load()) {
    case eAskAtClose::NameEntry:
      g_nNameEntryDone.store(0);
      SendMessage(window, kMsgNameEntry, 0, 0);
      g_askAnswered = g_nNameEntryDone.load() == 1;
      break;
    case eAskAtClose::ReplaySaveDialog:
      g_nReplaySaveDone.store(0);
      SendMessage(window, kMsgReplaySaveDialog, 0, 0);
      g_askAnswered = g_nReplaySaveDone.load() == 1;
      break;
    case eAskAtClose::ReplayFileRequest: g_askAnswered = RequestFileDialog(g_nReplayFileRequest) == 0; break;
    case eAskAtClose::SecondClose: g_askAnswered = SendMessage(window, WM_CLOSE, 0, 0) == 0; break;
  }
  g_workerEnded = true;
  return 1;
}

class CloseWhileWorkerAsks : public MainWindowTest, public ::testing::WithParamInterface<eAskAtClose> {};

TEST_P(CloseWhileWorkerAsks, AnswersWithoutDialogsAndWaitsForTheWorker) {
  cUiHooks hooks = BaseHooks();
  hooks.runNameDialog = [] { ++g_dialogsOpened; };
  hooks.runFileDialog = [](int, const std::string&, std::string&) {
    ++g_dialogsOpened;
    return false;
  };
  hooks.runReplaySaveDialog = [](int, std::string&) {
    ++g_dialogsOpened;
    return false;
  };
  cHooksGuard guard(SetUiHooks, hooks);
  g_dialogsOpened = 0;
  g_askAnswered = false;
  g_workerEnded = false;
  g_ask = GetParam();
  g_SceneMgr.m_nScene = kSceneTitle;  // no question
  ASSERT_TRUE(thGame.Start(askOnceTheCloseBegan, nullptr));
  SendMessage(window, WM_CLOSE, 0, 0);
  // The worker had ended before the close went on; it was not left behind.
  EXPECT_TRUE(g_workerEnded.load());
  EXPECT_FALSE(thGame.HasThread());
  EXPECT_TRUE(g_askAnswered.load());
  EXPECT_EQ(g_dialogsOpened.load(), 0);
  EXPECT_FALSE(IsWindow(window));
  g_nReplayFileRequest.store(0);
}

std::string askName(const ::testing::TestParamInfo<eAskAtClose>& info) {
  const char* const names[] = {"NameEntry", "ReplaySaveDialog", "ReplayFileRequest", "SecondClose"};
  return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Asks, CloseWhileWorkerAsks,
                         ::testing::Values(eAskAtClose::NameEntry, eAskAtClose::ReplaySaveDialog,
                                           eAskAtClose::ReplayFileRequest, eAskAtClose::SecondClose),
                         askName);
}  // namespace
