// Stopwatch, counters and both frame-pacing rules on the virtual clock.
#include "core/timing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clock.h"
#include "test_support/hooks_guard.h"

namespace {

class TimingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetVirtualClock(true);
    SetVirtualTime(0xFFFFF000u);  // close to the wrap, which every rule must survive
    ResetFrameTiming();
  }
  void TearDown() override {
    ResetFrameTiming();
    SetVirtualClock(false);
  }
};

TEST_F(TimingTest, StopwatchAndFrameTimer) {
  StartStopwatch();
  AdvanceVirtualTime(5000);  // across the wrap
  EXPECT_EQ(GetStopwatchTime(false), 5000u);
  EXPECT_EQ(GetStopwatchTime(true), 5000u);
  AdvanceVirtualTime(3);
  EXPECT_EQ(GetStopwatchTime(false), 3u);
  StartFrameTimer();
  AdvanceVirtualTime(12);
  EXPECT_EQ(StopFrameTimer(true), 12u);
  AdvanceVirtualTime(50);
  EXPECT_EQ(StopFrameTimer(false), 12u);
}

TEST_F(TimingTest, CountIntervalEveryNCalls) {
  CountInterval(0, 0);
  EXPECT_EQ(CountInterval(2, 3), 1);
  std::vector<int> got;
  for (int i = 0; i < 6; ++i) got.push_back(CountInterval(1, 3));
  EXPECT_EQ(got, (std::vector<int>{0, 0, 1, 0, 0, 1}));
  CountInterval(1, 3);
  EXPECT_EQ(CountInterval(2, 3), 0);
  EXPECT_EQ(CountInterval(0, 3), 0);
  EXPECT_EQ(CountInterval(2, 3), 1);
}

TEST_F(TimingTest, CountFpsPublishesEachWindowWithoutTheClosingFrame) {
  EXPECT_EQ(CountFps(false), 0);
  // 10 ms frames: frames at 0..990 ms are counted (100), the one at 1000 ms closes the window.
  int last = -1;
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(CountFps(true), 0);
    AdvanceVirtualTime(10);
  }
  last = CountFps(true);  // 1000 ms: more than 999
  EXPECT_EQ(last, 100);
  EXPECT_EQ(CountFps(false), 100);
  // The second window: the closing frame above was not counted in it either.
  for (int i = 0; i < 50; ++i) {
    AdvanceVirtualTime(20);
    CountFps(true);
  }
  AdvanceVirtualTime(1);
  EXPECT_EQ(CountFps(true), 49);
}

TEST_F(TimingTest, FrameIntervalIsWholeMillisecondsAndNeverCatchesUp) {
  EXPECT_TRUE(CheckFrameInterval(60));
  for (int ms = 1; ms < 16; ++ms) {
    AdvanceVirtualTime(1);
    EXPECT_FALSE(CheckFrameInterval(60)) << ms;
  }
  AdvanceVirtualTime(1);
  EXPECT_TRUE(CheckFrameInterval(60));  // 16 ms
  AdvanceVirtualTime(40);               // a late frame ...
  EXPECT_TRUE(CheckFrameInterval(60));
  AdvanceVirtualTime(15);  // ... does not make the next one earlier
  EXPECT_FALSE(CheckFrameInterval(60));
  AdvanceVirtualTime(1);
  EXPECT_TRUE(CheckFrameInterval(60));
  EXPECT_TRUE(CheckFrameInterval(0));
  // Run as the frame loop does (sleep 1 ms while false): 1000 ms give 63 frames, 16 ms apart.
  ResetFrameTiming();
  int frames = 0;
  for (int ms = 0; ms < 1000; ++ms) {
    if (CheckFrameInterval(60)) ++frames;
    QcSleep(1);
  }
  EXPECT_EQ(frames, 63);
}

std::vector<std::string> g_overlays;
void recordOverlay(void*, const char* text) { g_overlays.push_back(text); }
bool g_deviceThere = true;
bool deviceThere() { return g_deviceThere; }

TEST_F(TimingTest, FramePaceSpreadsSixtyFramesOverEachSecond) {
  const uint32_t start = timeGetTime();
  std::vector<uint32_t> shown;
  while (shown.size() < 120) {
    if (CheckFramePace(60, false, nullptr)) shown.push_back(timeGetTime() - start);
    QcSleep(1);
  }
  // Frame n of the window is not shown before n x 16.67 ms; the first window holds 60 frames.
  for (int n = 0; n < 60; ++n) {
    EXPECT_GE(shown[n], n * (1000.0 / 60)) << n;
    EXPECT_LT(shown[n], n * (1000.0 / 60) + 1) << n;
  }
  // The 60th frame started a new window: its frame 0 is due at once (the loop slept 1 ms), frame 1
  // 16.67 ms after the window's start.
  EXPECT_EQ(shown[60], shown[59] + 1);
  EXPECT_EQ(shown[61], shown[59] + 17);
  EXPECT_TRUE(CheckFramePace(0, false, nullptr));
}

TEST_F(TimingTest, FramePaceOverlayAndDeviceHook) {
  g_overlays.clear();
  g_deviceThere = false;
  cHooksGuard guard(SetFramePaceHooks, {.hasDevice = deviceThere, .drawOverlay = recordOverlay});
  int surface = 0;
  EXPECT_TRUE(CheckFramePace(60, true, &surface));
  EXPECT_TRUE(CheckFramePace(60, true, &surface));  // no device: never held back, nothing drawn
  EXPECT_TRUE(g_overlays.empty());
  g_deviceThere = true;
  ResetFrameTiming();
  StartFrameTimer();
  AdvanceVirtualTime(5);
  StopFrameTimer(true);
  int frames = 0;
  while (frames < 16) {
    if (CheckFramePace(60, true, &surface)) ++frames;
    QcSleep(1);
  }
  ASSERT_EQ(g_overlays.size(), 16u);
  // After 16 samples of a 5 ms frame time the average shows; the window counts 16 frames.
  std::string expected = "FPS-Ave 0(5)\ndwTime_OneSec " + std::to_string(0xFFFFF005u) + "\nnFrameCt_OneSec 16";
  EXPECT_EQ(g_overlays.back(), expected);
  EXPECT_EQ(g_overlays.front(), "FPS-Ave 0(0)\ndwTime_OneSec " + std::to_string(0xFFFFF005u) + "\nnFrameCt_OneSec 1");
  QcSleep(100);
  EXPECT_TRUE(CheckFramePace(60, true, nullptr));  // no surface: nothing drawn
  EXPECT_EQ(g_overlays.size(), 16u);
}

}  // namespace
