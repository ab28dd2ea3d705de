// The two pacing rules on the virtual clock: DirectDraw frames start at least 16 ms apart; Direct3D
// frames are due at fixed points of each second.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/timing.h"
#include "media/graphics/display.h"
#include "platform/clock.h"
#include "shell/game_loop.h"
#include "shell/scene.h"
#include "shell/scene_mgr.h"
#include "shell/system_ini.h"
#include "test_support/hooks_guard.h"

namespace {
std::vector<uint32_t> g_stepTimes;

class cClockScene : public cScene {
 public:
  int Step() override {
    g_stepTimes.push_back(timeGetTime());
    // A slow frame now and then: the next one must still keep its distance.
    if (g_stepTimes.size() == 4) AdvanceVirtualTime(40);
    return 0;
  }
};

class PacingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetVirtualClock(true);
    SetVirtualTime(5000);
    ResetFrameTiming();
    g_stepTimes.clear();
    g_SceneMgr.DestroyAllScenes();
    g_SceneMgr.m_nScene = kSceneTitle;
    g_SceneMgr.m_nFrameRate = 60;
  }
  void TearDown() override {
    g_SceneMgr.DestroyAllScenes();
    lpDDCon = nullptr;
    SetVirtualClock(false);
  }
  template <class Scene>
  static cSceneHooks TitleScene() {
    cSceneHooks hooks;
    hooks.createScene[kSceneTitle] = [] { return static_cast<cScene*>(new Scene); };
    return hooks;
  }
  cHooksGuard<cSceneHooks> m_SceneHooks{SetSceneHooks, TitleScene<cClockScene>()};
};

TEST_F(PacingTest, DirectDrawFramesAreSixteenMillisecondsApart) {
  static DDCONTEXT context;
  lpDDCon = &context;
  ASSERT_EQ(lpDTCon, nullptr);
  for (int i = 0; i < 8; ++i) ASSERT_EQ(g_SceneMgr.FrameStep(), 1);
  ASSERT_EQ(g_stepTimes.size(), 8u);
  for (size_t i = 1; i < g_stepTimes.size(); ++i) {
    uint32_t gap = g_stepTimes[i] - g_stepTimes[i - 1];
    if (i == 4)
      EXPECT_GE(gap, 40u) << i;  // after the slow frame: no catching up
    else
      EXPECT_EQ(gap, 16u) << i;
  }
}

TEST_F(PacingTest, Direct3DFramesAreDueAtPointsOfTheSecond) {
  // The present polls the rule with 1-ms sleeps, while a Direct3D device is there.
  cHooksGuard device(SetFramePaceHooks, {.hasDevice = [] { return true; }});
  std::vector<uint32_t> shown;
  for (int frame = 0; frame < 121; ++frame) {
    while (!CheckFramePace(60, false, nullptr)) QcSleep(1);
    shown.push_back(timeGetTime());
  }
  const uint32_t start = shown[0];
  for (int n = 0; n < 60; ++n) {
    int offset = static_cast<int>(shown[n] - start);
    EXPECT_GE(offset, n * 1000 / 60 - 1) << n;
    EXPECT_LE(offset, n * 1000 / 60 + 1) << n;
  }
  // Sixty frames make a second; the next second starts after the last frame of the first.
  EXPECT_GE(shown[60] - start, 960u);
  EXPECT_LE(shown[120] - start, 2040u);
  for (size_t i = 1; i < shown.size(); ++i) EXPECT_GE(shown[i], shown[i - 1]);
}
struct FpsDraw {
  int mode, x, y;
  std::string text;
};
std::vector<FpsDraw> g_fpsDraws;

class cFiveMsScene : public cScene {
 public:
  int Step() override {
    AdvanceVirtualTime(5);
    return 0;
  }
};

TEST_F(PacingTest, FpsTextAndFrameTimeAverage) {
  cHooksGuard scenes(SetSceneHooks, TitleScene<cFiveMsScene>());
  g_fpsDraws.clear();
  cHooksGuard drawer(SetFrameStepHooks, {.drawFpsText = [](int mode, const char* text, int x, int y) {
                       g_fpsDraws.push_back({mode, x, y, text});
                     }});
  const int savedShowFps = g_IniSettings.ShowFps;
  g_SceneMgr.m_nFrameTimeIndex = 0;
  g_SceneMgr.m_dwFrameTimeAverage = 0;

  // ShowFps 0: no text, and the ring stands still.
  g_IniSettings.ShowFps = 0;
  for (int i = 0; i < 20; ++i) ASSERT_EQ(g_SceneMgr.FrameStep(), 1);
  EXPECT_TRUE(g_fpsDraws.empty());
  EXPECT_EQ(g_SceneMgr.m_nFrameTimeIndex, 0);

  // Boxed text of font 1; the average of the 16 frame times appears once the ring wraps.
  g_IniSettings.ShowFps = 1;
  for (int i = 0; i < 16; ++i) ASSERT_EQ(g_SceneMgr.FrameStep(), 1);
  ASSERT_EQ(g_fpsDraws.size(), 16u);
  char want[32];
  EXPECT_EQ(g_fpsDraws[14].mode, 1);
  EXPECT_EQ(g_fpsDraws[14].x, 495);
  EXPECT_EQ(g_fpsDraws[14].y, 463);
  EXPECT_NE(g_fpsDraws[14].text.find("( 0)"), std::string::npos) << g_fpsDraws[14].text;
  std::snprintf(want, sizeof want, "FPS%2d( 5)", g_SceneMgr.m_nMeasuredFps);
  EXPECT_EQ(g_fpsDraws[15].text, want);

  // ShowFps 2: plain text of font 0.
  g_IniSettings.ShowFps = 2;
  ASSERT_EQ(g_SceneMgr.FrameStep(), 1);
  EXPECT_EQ(g_fpsDraws.back().mode, 2);
  EXPECT_EQ(g_fpsDraws.back().x, 549);
  EXPECT_EQ(g_fpsDraws.back().y, 469);
  EXPECT_EQ(g_fpsDraws.back().text.rfind("FPS", 0), 0u);

  g_IniSettings.ShowFps = savedShowFps;
}
}  // namespace
