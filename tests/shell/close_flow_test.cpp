// When closing asks the quit question and saves the window placement; where a restored window may stand.
#include <gtest/gtest.h>

#include <cstring>

#include "shell/close_flow.h"
#include "shell/scene_mgr.h"
#include "shell/window_data.h"

namespace {
struct CloseCase {
  const char* name;
  cCloseState state;
  bool asks;
  bool saves;
};

cCloseState base() {
  cCloseState s;
  s.windowed = 1;
  s.currentScene = kSceneWorldMap;
  s.windowMode = 1;
  s.gameStarted = 1;
  return s;
}

cCloseState with(void (*change)(cCloseState&)) {
  cCloseState s = base();
  change(s);
  return s;
}

class CloseFlowTest : public ::testing::TestWithParam<CloseCase> {};

TEST_P(CloseFlowTest, Decides) {
  const CloseCase& c = GetParam();
  EXPECT_EQ(CloseAsksQuestion(c.state), c.asks);
  EXPECT_EQ(CloseSavesPlacement(c.state), c.saves);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CloseFlowTest,
    ::testing::Values(CloseCase{"WindowOutsideTitle", base(), true, true},
                      CloseCase{"Title", with([](cCloseState& s) { s.currentScene = kSceneTitle; }), false, true},
                      CloseCase{"DirectStart", with([](cCloseState& s) { s.directPlay = 1; }), false, true},
                      CloseCase{"TestPlay", with([](cCloseState& s) { s.testPlay = 1; }), false, true},
                      CloseCase{"FullScreen", with([](cCloseState& s) {
                                  s.windowed = 0;
                                  s.windowMode = 0;
                                }),
                                false, false},
                      CloseCase{"AfterFatalStop", with([](cCloseState& s) { s.quit = 1; }), false, false},
                      CloseCase{"AfterYesDuringWait", with([](cCloseState& s) { s.closeConfirmed = 1; }), false, true},
                      CloseCase{"Minimised", with([](cCloseState& s) { s.minimized = 1; }), true, false},
                      CloseCase{"BeforeGameStarted", with([](cCloseState& s) { s.gameStarted = 0; }), true, false},
                      CloseCase{"Headless", with([](cCloseState& s) { s.headless = 1; }), true, false},
                      CloseCase{"StageScene", with([](cCloseState& s) { s.currentScene = kSceneStage; }), true, true}),
    [](const ::testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.name); });

TEST(WindowData, RestoredWindowStaysReachable) {
  struct {
    int x, y, wantX, wantY;
  } cases[] = {{-500, -20, 0, 0},
               {100, 200, 100, 200},
               {5000, 4000, 1920 - kWindowGrabWidth, 1040 - kWindowGrabHeight},
               {1900, 1039, 1920 - kWindowGrabWidth, 1040 - kWindowGrabHeight}};
  for (auto c : cases) {
    cWindowData d;
    d.m_nX = c.x;
    d.m_nY = c.y;
    d.ClampToWorkArea(0, 0, 1920, 1040);
    EXPECT_EQ(d.m_nX, c.wantX);
    EXPECT_EQ(d.m_nY, c.wantY);
  }
}

TEST(WindowData, StoredSizeMustFitTheDesktop) {
  struct {
    int w, h;
    bool fits;
  } cases[] = {{1280, 960, true},     {1920, 1040, true}, {1921, 960, false}, {1280, 1041, false},
               {64000, 48000, false}, {640, 480, true},   {-5, 0, true}};
  for (auto c : cases) {
    cWindowData d;
    d.m_nWidth = c.w;
    d.m_nHeight = c.h;
    EXPECT_EQ(d.SizeFitsWorkArea(1920, 1040), c.fits) << c.w << "x" << c.h;
  }
  // A desktop smaller than the game still takes the 100 % window.
  cWindowData small;
  small.m_nWidth = 640;
  small.m_nHeight = 480;
  EXPECT_TRUE(small.SizeFitsWorkArea(600, 400));
}

TEST(WindowData, RecordBodyIsFiveInts) {
  cWindowData d;
  d.m_nX = 1;
  d.m_nY = 2;
  d.m_nWidth = 1280;
  d.m_nHeight = 960;
  d.m_bZoomed = 1;
  std::vector<uint8_t> bytes = d.SaveToBytes();
  // Version, field count 5, five ints, string count 0.
  const int32_t expect[] = {986, 5, 1, 2, 1280, 960, 1, 0};
  ASSERT_EQ(bytes.size(), sizeof expect);
  EXPECT_EQ(std::memcmp(bytes.data(), expect, sizeof expect), 0);
  cWindowData back;
  ASSERT_EQ(back.LoadFromBytes(bytes), 1);
  EXPECT_EQ(back.m_nWidth, 1280);
  EXPECT_EQ(back.m_bZoomed, 1);
}
}  // namespace
