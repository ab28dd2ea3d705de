// The two pacing rules on the virtual clock: DirectDraw frames start at least 16 ms apart; Direct3D
// frames are due at fixed points of each second.
#include <gtest/gtest.h>

#include <vector>

#include "core/timing.h"
#include "media/graphics/display.h"
#include "platform/clock.h"
#include "shell/app_init.h"
#include "shell/scene.h"
#include "shell/scene_mgr.h"

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
    RegisterSceneFactory(kSceneTitle, [] { return static_cast<cScene*>(new cClockScene); });
  }
  void TearDown() override {
    g_SceneMgr.DestroyAllScenes();
    RegisterSceneFactory(kSceneTitle, nullptr);
    lpDDCon = nullptr;
    SetVirtualClock(false);
  }
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
  // The present polls the installed rule with 1-ms sleeps.
  std::vector<uint32_t> shown;
  for (int frame = 0; frame < 121; ++frame) {
    while (!ShellFramePace(60, 0, nullptr)) QcSleep(1);
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
}  // namespace
