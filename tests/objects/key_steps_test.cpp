// Key-input sequences of flows, read from the hero's input record as the frame loop fills it: a
// table of inputs and sequences (gaps toward the present and one frame into the past, hold limits,
// the three key logics, released keys, mirroring by facing, the 669 refusal, key repeat), the
// repeat-off latch, and the two tests of the newest runs.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "data/flow.h"
#include "data/system_data.h"
#include "objects/chara.h"
#include "objects/flow_runner.h"
#include "objects/hero.h"
#include "objects/play_objects.h"
#include "objects/stage_state.h"
#include "shell/input_state.h"
#include "test_support/fresh_play_objects.h"

namespace {

// Step entries: directions 0-9 (neutral, left, right, up, down, up-left, down-left, up-right,
// down-right, any), buttons 10-18 (none, 1-8).
constexpr int kLeft = 1;
constexpr int kRight = 2;
constexpr int kDown = 4;
constexpr int kUpLeft = 5;
constexpr int kDownRight = 8;
constexpr int kButtonA = 11;
constexpr int kButtonB = 12;
constexpr int kButtonC = 13;
constexpr uint8_t kPressed = 1;
constexpr uint8_t kReleased = 2;

constexpr uint16_t kBtnA = 1;
constexpr uint16_t kBtnB = 2;
constexpr uint16_t kBtnC = 4;

// Frames of input, oldest first.
struct cRun {
  uint16_t wDir;
  uint16_t wButton;
  int nFrames;
};

cInputState RecordInput(const std::vector<cRun>& runs) {
  cInputState input;
  for (const cRun& run : runs) {
    for (int f = 0; f < run.nFrames; ++f) {
      input.m_wDir = run.wDir;
      input.m_wButton = run.wButton;
      input.UpdateKeyEvents();
    }
  }
  return input;
}

struct cTestStep {
  std::vector<std::pair<int, uint8_t>> keys;
  int logic = 0;
  int anyHold = 1;
  int minHold = 0;
  int maxHold = 0;
  int facingRelative = 0;
};

cKeyCond MakeStep(const cTestStep& shape) {
  cKeyCond step;
  step.m_anKeyStates.assign(kKeyStateCount, 0);
  for (const auto& [entry, state] : shape.keys) step.m_anKeyStates[static_cast<size_t>(entry)] = state;
  step.m_nKeyLogic = static_cast<int8_t>(shape.logic);
  step.m_bAnyHold = static_cast<int8_t>(shape.anyHold);
  step.m_nMinHold = static_cast<int16_t>(shape.minHold);
  step.m_nMaxHold = static_cast<int16_t>(shape.maxHold);
  step.m_bFacingRelative = static_cast<int8_t>(shape.facingRelative);
  return step;
}

cTestStep Press(int entry) { return {{{entry, kPressed}}}; }

// A hero whose input record is the test's, a character whose flow holds the sequence, and the
// stage publishing the character as the current object.
class KeyStepsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_HeroList.resize(1);
    g_HeroList[0].m_lpInput = &m_Input;
    m_lpPrevStage = std::exchange(g_lpSceneStage, &m_Stage);
    m_Stage.m_lpCurObject = &m_Chara;
    m_Chara.m_nFacing = 1;
    m_Chara.m_abInUse.assign(27, 0);
    m_Chara.m_abRelease.assign(27, 0);
  }
  void TearDown() override { g_lpSceneStage = m_lpPrevStage; }

  void SetSequence(const std::vector<cTestStep>& steps, int gap = 3, int repeat = 0) {
    m_Flow.m_aKeyConds.clear();
    for (const cTestStep& shape : steps) m_Flow.m_aKeyConds.push_back(MakeStep(shape));
    m_Flow.m_nKeyStepGap = static_cast<int8_t>(gap);
    m_Flow.m_bKeyRepeat = static_cast<int8_t>(repeat);
    m_State = cFlowState();
    m_State.m_lpFlow = &m_Flow;
    for (cKeyCond& step : m_Flow.m_aKeyConds) m_State.m_aKeySteps.push_back(&step);
  }

  bool Matches(const std::vector<cRun>& input) {
    m_Input = RecordInput(input);
    return MatchKeySteps(m_Chara, m_State);
  }

  cFreshPlayObjects m_FreshRun;
  cStageState m_Stage;
  cStageState* m_lpPrevStage = nullptr;
  cInputState m_Input;
  cChara m_Chara;
  cFlow m_Flow;
  cFlowState m_State;
};

struct cSequenceCase {
  std::string name;
  std::vector<cTestStep> steps;
  std::vector<cRun> input;
  bool expected;
  int gap = 3;
  int facing = 1;
  int legacy669 = 0;
};

}  // namespace

TEST_F(KeyStepsTest, SequencesAgainstRecordedInput) {
  const cTestStep heldFivePlus{{{kRight, kPressed}}, 0, 0, 5, 100};
  const std::vector<cSequenceCase> cases = {
      {"one step, held now", {Press(kButtonA)}, {{0, 0, 4}, {0, kBtnA, 2}}, true},
      {"one step, released now", {Press(kButtonA)}, {{0, kBtnA, 2}, {0, 0, 1}}, false},
      {"quarter circle with the button pressed while right is held",
       {Press(kDown), Press(kDownRight), Press(kRight), Press(kButtonA)},
       {{0, 0, 5}, {kDirDown, 0, 6}, {kDirDown | kDirRight, 0, 2}, {kDirRight, 0, 4}, {kDirRight, kBtnA, 1}},
       true},
      {"quarter circle broken by five neutral frames",
       {Press(kDown), Press(kDownRight), Press(kRight), Press(kButtonA)},
       {{kDirDown, 0, 6}, {kDirDown | kDirRight, 0, 2}, {0, 0, 5}, {kDirRight, 0, 4}, {0, kBtnA, 1}},
       false},
      {"one neutral frame is bridged one frame into the past",
       {Press(kRight), Press(kButtonA)},
       {{0, 0, 3}, {kDirRight, 0, 4}, {0, 0, 1}, {0, kBtnA, 2}},
       true},
      {"two neutral frames are not",
       {Press(kRight), Press(kButtonA)},
       {{kDirRight, 0, 4}, {0, 0, 2}, {0, kBtnA, 2}},
       false},
      // Right held 5 frames, the last 2 with the button: at the cursor only 3 frames are left of
      // it, 2 frames toward the present all 5.
      {"hold limit met by searching toward the present",
       {heldFivePlus, Press(kButtonA)},
       {{0, 0, 2}, {kDirRight, 0, 3}, {kDirRight, kBtnA, 2}},
       true},
      {"the search goes no further than the gap",
       {heldFivePlus, Press(kButtonA)},
       {{0, 0, 2}, {kDirRight, 0, 3}, {kDirRight, kBtnA, 2}},
       false,
       1},
      {"a gap of 0 makes the sequence fail",
       {heldFivePlus, Press(kButtonA)},
       {{0, 0, 2}, {kDirRight, 0, 3}, {kDirRight, kBtnA, 2}},
       false,
       0},
      {"hold below the minimum", {{{{kButtonA, kPressed}}, 0, 0, 5, 10}}, {{0, kBtnA, 4}}, false},
      {"hold within the limits", {{{{kButtonA, kPressed}}, 0, 0, 3, 4}}, {{0, kBtnA, 4}}, true},
      {"hold above the maximum", {{{{kButtonA, kPressed}}, 0, 0, 1, 3}}, {{0, kBtnA, 4}}, false},
      {"all keys: both held", {{{{kButtonA, kPressed}, {kButtonB, kPressed}}, 0}}, {{0, kBtnA | kBtnB, 2}}, true},
      {"all keys: one held", {{{{kButtonA, kPressed}, {kButtonB, kPressed}}, 0}}, {{0, kBtnA, 2}}, false},
      {"at least one key", {{{{kButtonA, kPressed}, {kButtonB, kPressed}}, 1}}, {{0, kBtnB, 2}}, true},
      {"exactly one key: one held", {{{{kButtonA, kPressed}, {kButtonB, kPressed}}, 2}}, {{0, kBtnA, 2}}, true},
      {"exactly one key: both held",
       {{{{kButtonA, kPressed}, {kButtonB, kPressed}}, 2}},
       {{0, kBtnA | kBtnB, 2}},
       false},
      {"a step listing no key matches nothing", {{{}, 0}}, {{0, kBtnA, 2}}, false},
      {"double tap: pressed, released, pressed",
       {Press(kButtonA), {{{kButtonA, kReleased}}}, Press(kButtonA)},
       {{0, 0, 10}, {0, kBtnA, 2}, {0, 0, 2}, {0, kBtnA, 2}},
       true},
      {"one long press is no double tap",
       {Press(kButtonA), {{{kButtonA, kReleased}}}, Press(kButtonA)},
       {{0, 0, 10}, {0, kBtnA, 6}},
       false},
      {"facing-relative right reads left while facing left",
       {{{{kRight, kPressed}}, 0, 1, 0, 0, 1}},
       {{kDirLeft, 0, 2}},
       true,
       3,
       0},
      {"facing-relative right reads right while facing right",
       {{{{kRight, kPressed}}, 0, 1, 0, 0, 1}},
       {{kDirLeft, 0, 2}},
       false,
       3,
       1},
      {"facing-relative up-left reads up-right while facing left",
       {{{{kUpLeft, kPressed}}, 0, 1, 0, 0, 1}},
       {{kDirUp | kDirRight, 0, 2}},
       true,
       3,
       0},
      {"plain steps are not mirrored", {Press(kRight)}, {{kDirLeft, 0, 2}}, false, 3, 0},
      // B or C now; A found one frame into the past, where C (the later step) also held.
      {"one frame into the past is refused when the later step matches there",
       {Press(kButtonA), {{{kButtonB, kPressed}, {kButtonC, kPressed}}, 1}},
       {{0, kBtnA | kBtnC, 3}, {0, 0, 1}, {0, kBtnB, 2}},
       false},
      {"older projects take it",
       {Press(kButtonA), {{{kButtonB, kPressed}, {kButtonC, kPressed}}, 1}},
       {{0, kBtnA | kBtnC, 3}, {0, 0, 1}, {0, kBtnB, 2}},
       true,
       3,
       1,
       1},
  };
  for (const cSequenceCase& c : cases) {
    g_SystemData.m_bLegacy669 = c.legacy669;
    m_Chara.m_nFacing = c.facing;
    SetSequence(c.steps, c.gap);
    EXPECT_EQ(Matches(c.input), c.expected) << c.name;
  }
}

TEST_F(KeyStepsTest, TheCurrentObjectDecidesTheMirroring) {
  cChara other;
  other.m_nFacing = 0;
  m_Stage.m_lpCurObject = &other;
  m_Chara.m_nFacing = 1;
  SetSequence({{{{kRight, kPressed}}, 0, 1, 0, 0, 1}});
  EXPECT_TRUE(Matches({{kDirLeft, 0, 1}}));
  m_Stage.m_lpCurObject = nullptr;
  EXPECT_FALSE(MatchKeySteps(m_Chara, m_State));
}

TEST_F(KeyStepsTest, WithoutAHeroRecordTheFirstInputRecordIsRead) {
  g_HeroList[0].m_lpInput = nullptr;
  cInputState& first = g_InputStates.at(0);
  const cInputState saved = first;
  first = RecordInput({{0, kBtnA, 2}});
  SetSequence({Press(kButtonA)});
  EXPECT_TRUE(MatchKeySteps(m_Chara, m_State));
  first = saved;
}

TEST_F(KeyStepsTest, KeyRepeatLetsTheLastStepAloneHoldOnceHeld) {
  SetSequence({Press(kRight), Press(kButtonA)}, 3, 1);
  const std::vector<cRun> buttonOnly = {{0, 0, 3}, {0, kBtnA, 5}};
  EXPECT_FALSE(Matches(buttonOnly));
  m_State.m_bKeyHeld = 1;
  EXPECT_TRUE(Matches(buttonOnly));
  EXPECT_FALSE(Matches({{0, 0, 3}}));
}

TEST_F(KeyStepsTest, RepeatOffFiresOncePerCompletedSequence) {
  SetSequence({Press(kButtonA)});
  m_Flow.m_nTrigger = 3;
  m_Input = RecordInput({{0, kBtnA, 1}});
  EXPECT_TRUE(CheckKeySteps(m_Chara, m_State));
  EXPECT_EQ(m_State.m_bKeyLatch, 1);
  m_Input = RecordInput({{0, kBtnA, 2}});
  EXPECT_FALSE(CheckKeySteps(m_Chara, m_State));  // still held: no new start
  m_Input = RecordInput({{0, kBtnA, 2}, {0, 0, 1}});
  EXPECT_FALSE(CheckKeySteps(m_Chara, m_State));
  EXPECT_EQ(m_State.m_bKeyLatch, 0);
  m_Input = RecordInput({{0, kBtnA, 2}, {0, 0, 1}, {0, kBtnA, 1}});
  EXPECT_TRUE(CheckKeySteps(m_Chara, m_State));
  EXPECT_EQ(m_State.m_bKeyHeld, 0);
  EXPECT_EQ(m_Chara.m_bReleasePending, 0);  // not a trigger-0 flow with an id
}

TEST_F(KeyStepsTest, AHeldSequenceKeepsTheIdOfAnAlwaysFlowTaken) {
  SetSequence({Press(kButtonA)});
  m_Flow.m_nTrigger = 0;
  m_Flow.m_nFlowId = 3;
  m_Input = RecordInput({{0, kBtnA, 3}});
  m_State.m_bKeyLatch = 1;
  EXPECT_FALSE(CheckKeySteps(m_Chara, m_State));
  EXPECT_EQ(m_Chara.m_abInUse[3], 1);
  EXPECT_EQ(m_Chara.m_abRelease[3], 1);
  EXPECT_EQ(m_Chara.m_bReleasePending, 1);
  EXPECT_EQ(m_State.m_bKeyLatch, 1);
}

TEST_F(KeyStepsTest, KeyRepeatRecordsTheResultAsHeld) {
  SetSequence({Press(kButtonA)}, 3, 1);
  m_Input = RecordInput({{0, kBtnA, 3}});
  EXPECT_TRUE(CheckKeySteps(m_Chara, m_State));
  EXPECT_TRUE(CheckKeySteps(m_Chara, m_State));
  EXPECT_EQ(m_State.m_bKeyHeld, 1);
  m_Input = RecordInput({{0, 0, 3}});
  EXPECT_FALSE(CheckKeySteps(m_Chara, m_State));
  EXPECT_EQ(m_State.m_bKeyHeld, 0);
  // A flow without key steps passes.
  SetSequence({});
  EXPECT_TRUE(CheckKeySteps(m_Chara, m_State));
}

TEST(KeyStepsNow, TheNewestRunOfEachListedKey) {
  const cInputState input = RecordInput({{kDirLeft, kBtnA, 5}, {kDirRight, kBtnB, 1}});
  struct Case {
    cTestStep step;
    bool held;
  };
  const Case cases[] = {
      {Press(kRight), true},
      {Press(kLeft), false},
      {{{{kLeft, kReleased}}}, true},
      {{{{kButtonB, kPressed}, {kButtonA, kReleased}}, 0}, true},
      {{{{kButtonB, kPressed}, {kButtonA, kPressed}}, 0}, false},
      {{{{kButtonB, kPressed}, {kButtonA, kPressed}}, 1}, true},
      {{{{kButtonB, kPressed}, {kButtonC, kReleased}}, 2}, false},
      {{{{kButtonB, kPressed}, {kButtonC, kPressed}}, 2}, true},
      {{{}, 0}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(KeyStepHeldNow(input, MakeStep(c.step)), c.held);
}

TEST(KeyStepsNow, TheFirstDirectionKeyDown) {
  EXPECT_EQ(FirstDirKeyDown(RecordInput({{kDirRight, 0, 2}})), 2);
  EXPECT_EQ(FirstDirKeyDown(RecordInput({{kDirDown | kDirLeft, 0, 2}})), 6);
  // No direction: the neutral key (0).
  EXPECT_EQ(FirstDirKeyDown(RecordInput({{kDirRight, 0, 2}, {0, kBtnA, 1}})), 0);
  cInputState empty;
  empty.m_aDirEvents.clear();
  EXPECT_EQ(FirstDirKeyDown(empty), 0);
}
