// The pattern a character shows: which overlay animation wins the choice (a table of overlay lists),
// and how the base and overlay animations step, end and hold.
#include <gtest/gtest.h>

#include <vector>

#include "objects/chara.h"
#include "test_support/fresh_play_objects.h"

namespace {

// One animation: a pattern held for a long time (looping), or a pattern shown for one step and then
// the end.
std::vector<cFrameScript> Held(int pattern) { return {{{pattern, 1000, 0}, {kScriptRestart, 0, 0}}}; }
std::vector<cFrameScript> Ending(int pattern) { return {{{pattern, 1, 0}, {kScriptEnded, 0, 0}}}; }

struct Overlay {
  int priority, remaining, paused;
};
struct ChoiceCase {
  const char* what;
  std::vector<Overlay> overlays;  // overlay i shows pattern 10 + i
  int pattern;                    // the pattern shown; 1 is the base animation's
};

const ChoiceCase kChoices[] = {
    {"no overlay: the base animation", {}, 1},
    {"an unflagged overlay", {{0, 5, 0}}, 10},
    {"the first of two unflagged overlays", {{0, 5, 0}, {0, 2, 0}}, 10},
    {"a flagged overlay over an unflagged one", {{0, 5, 0}, {1, 5, 0}}, 11},
    {"the flagged overlay with less time left", {{1, 5, 0}, {1, 3, 0}}, 11},
    {"the flagged overlay with less time left, first", {{1, 3, 0}, {1, 5, 0}}, 10},
    {"a second run-out flagged overlay settles the choice", {{1, 0, 0}, {1, -2, 0}}, 11},
    {"once settled, only an overlay run out less far", {{1, -1, 0}, {1, -3, 0}, {0, -2, 0}}, 11},
    {"once settled, an overlay run out less far wins", {{1, -3, 0}, {1, -1, 0}, {1, -2, 0}}, 12},
    {"before settling an unflagged overlay does not replace a best", {{1, -1, 0}, {0, -5, 0}}, 10},
    {"paused overlays are passed over", {{1, 1, 1}, {0, 9, 0}}, 11},
    // At the settle boundary: a counter of 0 has run out.
    {"a lone flagged overlay at 0 does not settle but wins", {{1, 0, 0}}, 10},
    {"the second reaches 0 first", {{1, 1, 0}, {1, 0, 0}}, 11},
    {"both at 0: the second settles the choice", {{1, 0, 0}, {1, 0, 0}}, 11},
    {"the second has not run out", {{1, 0, 0}, {1, 2, 0}}, 10},
    {"both at 1: the first", {{1, 1, 0}, {1, 1, 0}}, 10},
    {"an unflagged overlay first gives way to a flagged one", {{0, -3, 0}, {1, 4, 0}}, 11},
    {"an unflagged overlay after a flagged one", {{1, 4, 0}, {0, -3, 0}}, 10},
    {"all paused: the base animation", {{1, 1, 1}, {0, 9, 1}}, 1},
};

class AnimPatternTest : public ::testing::Test {
 protected:
  void Build(const std::vector<Overlay>& overlays) {
    base = Held(1);
    chara.m_Anim.LoadAnimePatterns(&base);
    chara.m_Overlays.clear();
    scripts.clear();
    scripts.reserve(overlays.size());
    for (size_t i = 0; i < overlays.size(); ++i) {
      scripts.push_back(Held(10 + static_cast<int>(i)));
      cAnimOverlay o;
      o.seq.LoadAnimePatterns(&scripts.back());
      o.bPriority = overlays[i].priority;
      o.nRemaining = overlays[i].remaining;
      o.bPaused = overlays[i].paused;
      chara.m_Overlays.push_back(o);
    }
  }
  cFreshPlayObjects m_Fresh;
  cChara chara;
  std::vector<cFrameScript> base;
  std::vector<std::vector<cFrameScript>> scripts;
};

TEST_F(AnimPatternTest, TheOverlayChoice) {
  for (const ChoiceCase& c : kChoices) {
    Build(c.overlays);
    EXPECT_EQ(chara.StepAnimePattern(1), c.pattern) << c.what;
  }
}

// Two flagged overlays counting down together: the first shows until both reach 0 in the same
// frame, which settles the choice on the second, and the second stays on after that.
TEST_F(AnimPatternTest, TheChoiceSettlesOnTheFrameBothCountersReachZero) {
  Build({{1, 3, 0}, {1, 3, 0}});
  std::vector<int> shown;
  for (int frame = 0; frame < 5; ++frame) shown.push_back(chara.StepAnimePattern(0));  // counters 2 .. -2
  EXPECT_EQ(shown, (std::vector<int>{10, 10, 11, 11, 11}));
}

TEST_F(AnimPatternTest, StepsCountDownRemoveEndedOverlaysAndLeavePausedOnesAlone) {
  Build({{0, 4, 0}, {0, 4, 1}});
  const std::vector<cFrameScript> ending = Ending(20);
  cAnimOverlay last;
  last.seq.LoadAnimePatterns(&ending);
  last.nRemaining = 7;
  chara.m_Overlays.push_front(last);
  // The overlay of a one-step animation reaches its end at its first step and is removed.
  EXPECT_EQ(chara.StepAnimePattern(0), 10);
  ASSERT_EQ(chara.m_Overlays.size(), 2u);
  EXPECT_EQ(chara.m_Overlays.front().nRemaining, 3);  // stepped
  EXPECT_EQ(chara.m_Overlays.back().nRemaining, 4);   // paused: not stepped
  // Held: nothing steps.
  EXPECT_EQ(chara.StepAnimePattern(1), 10);
  EXPECT_EQ(chara.m_Overlays.front().nRemaining, 3);
  // The remaining time goes below 0 and the overlay stays.
  for (int i = 0; i < 5; ++i) chara.StepAnimePattern(0);
  EXPECT_EQ(chara.m_Overlays.front().nRemaining, -2);
  EXPECT_EQ(chara.m_Overlays.size(), 2u);
}

TEST_F(AnimPatternTest, TheBaseAnimationStepsUnlessHeld) {
  const std::vector<cFrameScript> walk = {{{3, 2, 0}, {4, 2, 0}, {kScriptRestart, 0, 0}}};
  chara.m_Anim.LoadAnimePatterns(&walk);
  std::vector<int> shown;
  for (int hold : {0, 0, 1, 0, 0, 0}) shown.push_back(chara.StepAnimePattern(hold));
  EXPECT_EQ(shown, (std::vector<int>{3, 4, 4, 4, 3, 3}));
}

}  // namespace
