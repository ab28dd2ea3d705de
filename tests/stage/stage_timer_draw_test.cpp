// The stage timer's countdown over the picture: the digit cells and the once-a-second warning sound
// while little time is left.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/timing.h"
#include "data/game_data.h"
#include "data/stage_data.h"
#include "media/graphics/display.h"
#include "media/graphics/surface_table.h"
#include "stage/scene_stage.h"
#include "stage/stage_timer_draw.h"
#include "test_support/stage_harness.h"

namespace {

constexpr int kSoundTimeWarning = 13;

class StageTimerDrawTest : public testing::Test {
 protected:
  StageTimerDrawTest() : m_Harness(SceneSetup()) {}
  static cHarnessSetup SceneSetup() {
    cHarnessSetup setup;
    setup.map = {"........", ".H......", "########"};
    setup.makeStage = [] { return std::unique_ptr<cStageState>(new cSceneStage); };
    return setup;
  }
  cSceneStage& Scene() { return static_cast<cSceneStage&>(m_Harness.Stage()); }
  // A stage whose timer starts at limit seconds, as set-up leaves it.
  void StartTimer(int limit, int warning) {
    Scene().m_nTimer = limit;
    Scene().m_bTimerStopped = 0;
    g_StageFile.m_nTimeWarning = warning;
    CountInterval(0, 60);
  }
  // Play frames as the play loop runs them: the timer counts, then the picture (with the timer) is
  // drawn unless the time has run out. The frames (from 1) on which the warning sounded.
  std::vector<int> PlayFrames(int frames) {
    std::vector<int> warned;
    for (int frame = 1; frame <= frames; ++frame) {
      m_Harness.ClearTraces();
      if (Scene().StepStageTimer(-1)) break;
      DrawStageTimer(Scene(), &g_BackBufferSD, 1);
      for (int slot : m_Harness.Sounds())
        if (slot == kSoundTimeWarning) warned.push_back(frame);
    }
    return warned;
  }

  cStageHarness m_Harness;
};

TEST_F(StageTimerDrawTest, TheSecondsInThreeCentredDigitCells) {
  struct Case {
    int timer;
    std::vector<std::string> cells;  // "x <- source x", all at y 24 from row 160 of "bmp\Word.bmp"
  };
  for (const Case& c : {Case{5, {"304 160"}}, Case{0, {"304 0"}}, Case{42, {"288 128", "320 64"}},
                        Case{120, {"272 32", "304 64", "336 0"}}, Case{999, {"272 288", "304 288", "336 288"}}}) {
    StartTimer(c.timer, 0);
    m_Harness.ClearTraces();
    DrawStageTimer(Scene(), &g_BackBufferSD, 0);
    std::vector<std::string> cells;
    for (const DDTRACECALL& call : m_Harness.Draws()) {
      ASSERT_EQ(call.strName, "DDBlt");
      EXPECT_EQ(call.lpDst, &g_BackBufferSD);
      EXPECT_EQ(call.lpSrc, &g_SurfaceData[52]);
      EXPECT_EQ(call.adArgs, (std::vector<double>{call.adArgs[0], 24, 32, 32, call.adArgs[4], 160, 1}));
      cells.push_back(std::to_string(int(call.adArgs[0])) + " " + std::to_string(int(call.adArgs[4])));
    }
    EXPECT_EQ(cells, c.cells) << c.timer;
  }
}

TEST_F(StageTimerDrawTest, NothingWhileTheStageHasNoTimeLimit) {
  StartTimer(5, 20);
  Scene().m_bTimerStopped = 1;
  DrawStageTimer(Scene(), &g_BackBufferSD, 1);
  EXPECT_TRUE(m_Harness.Draws().empty());
  EXPECT_TRUE(m_Harness.Sounds().empty());
}

TEST_F(StageTimerDrawTest, TheWarningSoundsOnceASecondWhileLittleTimeIsLeft) {
  struct Case {
    int limit, warning;
    int first, count;  // the first warning's play frame (0: none) and how many there are
  };
  for (const Case& c : {
           Case{10, 20, 60, 9},    // 9 .. 1 seconds; at 0 the hero is defeated, nothing is drawn
           Case{25, 20, 300, 20},  // from 20 seconds on
           Case{20, 20, 60, 19},   // 20 is shown silently until the first count
           Case{10, 0, 0, 0},      // no threshold
       }) {
    StartTimer(c.limit, c.warning);
    const std::vector<int> warned = PlayFrames(c.limit * 60 + 5);
    ASSERT_EQ(static_cast<int>(warned.size()), c.count) << c.limit << " s, warning " << c.warning;
    for (int i = 0; i < c.count; ++i) EXPECT_EQ(warned[static_cast<size_t>(i)], c.first + 60 * i) << c.limit;
  }
}

TEST_F(StageTimerDrawTest, FramesOutsidePlayNeverWarn) {
  // The counter stands at 0 right after set-up and after each count: only play frames sound.
  StartTimer(5, 20);
  DrawStageTimer(Scene(), &g_BackBufferSD, 0);
  EXPECT_TRUE(m_Harness.Sounds().empty());
  DrawStageTimer(Scene(), &g_BackBufferSD, 1);
  EXPECT_EQ(m_Harness.Sounds(), std::vector<int>{kSoundTimeWarning});
  m_Harness.ClearTraces();
  CountInterval(1, 60);  // a frame into the second
  DrawStageTimer(Scene(), &g_BackBufferSD, 1);
  EXPECT_TRUE(m_Harness.Sounds().empty());
}

}  // namespace
