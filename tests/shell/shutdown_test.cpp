// Shutting the whole program down while the game thread is blocked on a request to the main window:
// the close answers the request, waits until the game thread has ended, and only then are the scenes,
// fonts and device released. Under AddressSanitizer a release that came first shows as a use after
// free; the end of the scene's step shows that no game thread ran past the shutdown.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "core/log.h"
#include "core/thread.h"
#include "media/graphics/blit.h"
#include "media/graphics/display.h"
#include "media/graphics/font.h"
#include "media/sound/sound_effects.h"
#include "platform/headless/input_script.h"
#include "platform/messages.h"
#include "platform/window/message_boxes.h"
#include "shell/app_globals.h"
#include "shell/main_window.h"
#include "shell/program.h"
#include "shell/scene.h"
#include "shell/scene_mgr.h"
#include "test_support/temp_dir.h"

namespace fs = std::filesystem;

namespace {
// The request the world map makes once the close has begun; answers what the window said.
enum class eRequest { SoundEffect, StageFileDialog };
std::atomic<eRequest> g_request{eRequest::SoundEffect};
std::atomic<int> g_requestsMade{0};
std::atomic<int> g_stepsFinished{0};
std::atomic<bool> g_sawQuit{false};

// True once the game thread's queue holds WM_QUIT: the user-interface thread is then inside Exit.
bool waitForQuitMessage() {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (std::chrono::steady_clock::now() < deadline) {
    MSG msg;
    if (PeekMessage(&msg, false) && msg.message == WM_QUIT) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

// The title hands over to the world map at once, so the close comes from a scene that asks the quit
// question, and the scene id the close handler reads was written by the game thread.
class cHandOverTitle : public cScene {
 public:
  int Step() override {
    g_SceneMgr.m_nScene = kSceneWorldMap;
    return 0;
  }
};

class cRequestAtCloseScene : public cScene {
 public:
  int Step() override {
    if (m_nSteps++ > 0) return 0;
    // Esc: the close handler asks (answered Yes by the script), then stops the worker threads.
    PostMessage(g_hMainWnd.load(), WM_KEYDOWN, 27, 0);
    g_sawQuit = waitForQuitMessage();
    g_requestsMade.fetch_add(1);
    if (g_request.load() == eRequest::SoundEffect)
      RequestSound(1);  // the "decide" system sound
    else
      RequestFileDialog(g_nStageFileRequest);
    // Widens the window in which a shutdown that stopped waiting would already free what follows.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    m_nSubState = 1;
    DDFillRect(&g_BackBufferSD, 0, 0, 32, 32, 1);
    g_Font[1].DrawString(&g_BackBufferSD, 8, 8, "closing");
    g_stepsFinished.fetch_add(1);
    return 0;
  }

 private:
  int m_nSteps = 0;
};

class ShutdownTest : public ::testing::TestWithParam<eRequest> {
 protected:
  static void SetUpTestSuite() {
    s_game = TestTempDir() / "shutdown_game";
    fs::remove_all(s_game);
    const std::string makeDemo =
        "'" + std::string(QC4_BINARY_DIR) + "/tools/qc4-make-demo' '" + s_game.string() + "' >/dev/null 2>&1";
    s_made = std::system(makeDemo.c_str()) == 0;
    std::ofstream ini(s_game / "System.ini", std::ios::binary);
    ini << "Direct3D=0\r\nWindowMode=1\r\nShowFps=0\r\nExit\r\n";
    std::ofstream script(s_game / "input.txt");
    script << "answer yes\n";
  }
  static void TearDownTestSuite() { fs::remove_all(s_game); }
  void SetUp() override {
    ASSERT_TRUE(s_made) << "qc4-make-demo failed; is it built?";
    cSceneHooks scenes;
    scenes.createScene[kSceneTitle] = [] { return static_cast<cScene*>(new cHandOverTitle); };
    scenes.createScene[kSceneWorldMap] = [] { return static_cast<cScene*>(new cRequestAtCloseScene); };
    m_PreviousScenes = SetSceneHooks(scenes);
    g_request = GetParam();
    g_requestsMade = 0;
    g_stepsFinished = 0;
    g_sawQuit = false;
    g_bCloseConfirmed.store(0);
  }
  void TearDown() override {
    SetSceneHooks(m_PreviousScenes);
    g_SceneMgr.m_nScene = kSceneTitle;
    g_bCloseConfirmed.store(0);
    g_nStageFileRequest.store(0);
  }
  static inline fs::path s_game;
  static inline bool s_made = false;
  cSceneHooks m_PreviousScenes;
};

TEST_P(ShutdownTest, ClosesOnlyAfterTheGameThreadHasEnded) {
  char cwd[PATH_MAX];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  cCommandLine cl;
  cl.gameDir = s_game.string();
  cl.headless = true;
  cl.inputScript = (s_game / "input.txt").string();
  int code = RunProgram(cl);
  ASSERT_EQ(chdir(cwd), 0);

  EXPECT_EQ(code, 0);
  // The quit question was asked once and took the scripted Yes.
  int unusedAnswer = 0;
  EXPECT_FALSE(TakeScriptedAnswer(&unusedAnswer));
  EXPECT_FALSE(HeadlessBoxUnanswered());
  EXPECT_TRUE(g_sawQuit.load());
  EXPECT_EQ(g_requestsMade.load(), 1);
  // The step that was blocked in its request finished before the program was done: nothing of the
  // game thread outlived the shutdown.
  EXPECT_EQ(g_stepsFinished.load(), 1);
  EXPECT_FALSE(thGame.HasThread());
}

INSTANTIATE_TEST_SUITE_P(Requests, ShutdownTest, ::testing::Values(eRequest::SoundEffect, eRequest::StageFileDialog),
                         [](const ::testing::TestParamInfo<eRequest>& info) {
                           return info.param == eRequest::SoundEffect ? "SoundEffect" : "StageFileDialog";
                         });
}  // namespace
