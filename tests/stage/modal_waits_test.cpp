// The modal waits on thPause: key delay, fresh presses, choices and their defaults, replay
// auto-advance, timed waits, the player's input kept out of the wait, the generator state of a wait,
// the abort when the window closes, and the ranking display on thRanking. The test thread plays the
// game thread; input comes from an input script through the frame loop's input poll.
#include "stage/modal_waits.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "core/numbers.h"
#include "core/thread.h"
#include "data/input_log.h"
#include "data/option_data.h"
#include "data/play_mode.h"
#include "data/save_data.h"
#include "flow/flow_stage.h"
#include "media/sound/sound_effects.h"
#include "objects/stage_hooks.h"
#include "platform/headless/input_script.h"
#include "platform/input/joystick.h"
#include "platform/input/keyboard.h"
#include "platform/messages.h"
#include "shell/game_loop.h"
#include "shell/input_state.h"
#include "shell/joystick_detect.h"
#include "shell/key_config.h"
#include "shell/main_window.h"
#include "shell/scene_mgr.h"
#include "shell/workers.h"
#include "test_support/hooks_guard.h"
#include "test_support/stage_harness.h"

namespace {

// What the nested loop did, written on thPause and read after the join (or atomically meanwhile).
std::atomic<int> g_draws{0};
std::vector<uint64_t> g_drawFrames;  // the polled frame of every drawn frame
std::vector<int> g_firstDraws;       // the first random draw of each wait, taken while drawing
bool g_drawRandom = false;
uint64_t g_replayKeyFrame = 0;  // the frame whose replay-key check reports a key handled

void CountDraw() {
  g_drawFrames.push_back(PolledFrames());
  if (g_drawRandom && g_drawFrames.size() == 1) g_firstDraws.push_back(QcRand());
  g_draws.fetch_add(1);
}

cModalWaitHooks TestHooks() {
  cModalWaitHooks hooks;
  hooks.drawWaitFrame = CountDraw;
  hooks.checkReplayKeys = [] { return g_replayKeyFrame != 0 && PolledFrames() == g_replayKeyFrame; };
  return hooks;
}

cHarnessSetup FlowStageSetup() {
  cHarnessSetup setup;
  setup.map = {"H.C", "###"};
  setup.makeStage = [] { return std::unique_ptr<cStageState>(std::make_unique<cFlowStage>()); };
  return setup;
}

class ModalWaitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ReleaseAllKeys();
    RemoveAllJoysticks();
    ResetJoystickDetection();
    SetDefaultKeyConfig();
    g_InputStates.assign(1, cInputState{});
    g_AppActive.store(1);
    g_SceneMgr.m_nFrameRate = 0;  // unpaced
    SetFrameLimit(0);
    g_draws.store(0);
    g_drawFrames.clear();
    m_nSoundsBefore = m_Harness.Sounds().size();
    g_firstDraws.clear();
    g_drawRandom = false;
    g_replayKeyFrame = 0;
    InstallModalWaits();
  }
  void TearDown() override {
    UseInputScript(cInputScript{});
    ReleaseAllKeys();
    g_SceneMgr.m_nFrameRate = 60;
    g_AppActive.store(0);
    SetFrameLimit(0);
  }
  // A fresh script from frame 1 with every key up.
  static void Script(const char* text) {
    SetFrameLimit(0);
    ReleaseAllKeys();
    cInputScript script;
    ASSERT_TRUE(ParseInputScript(text, script, nullptr)) << text;
    UseInputScript(script);
  }
  // Arms and runs a wait as a flow command does; the frame it ended on.
  uint64_t Wait(int kind, int waitKey, int frames, int noDelay, const std::vector<cChoiceEntry>* choices = nullptr) {
    SetupGameWait(kind, waitKey, frames, noDelay, choices);
    m_nResult = RunModalWait(1);
    return PolledFrames();
  }
  cFlowStage& Stage() { return static_cast<cFlowStage&>(m_Harness.Stage()); }

  cHooksGuard<cUiHooks> m_UiHooks{SetUiHooks, {}};
  cHooksGuard<cModalWaitHooks> m_WaitHooks{SetModalWaitHooks, TestHooks()};
  cStageHarness m_Harness{FlowStageSetup()};
  // The sounds requested since the mark (the harness records them).
  std::vector<int> Sounds() const {
    return std::vector<int>(m_Harness.Sounds().begin() + static_cast<long>(m_nSoundsBefore), m_Harness.Sounds().end());
  }
  int m_nResult = -1;
  size_t m_nSoundsBefore = 0;
};

TEST_F(ModalWaitTest, KeyWaitIgnoresKeysDuringItsDelayAndEndsOnAFreshPress) {
  struct Case {
    int noDelay;
    uint64_t endFrame;
  };
  // A press at frame 5 falls into the 20-frame delay of a message that opens; a continued message
  // takes it.
  for (const Case c : {Case{0, 25}, Case{1, 5}}) {
    g_drawFrames.clear();
    m_nSoundsBefore = m_Harness.Sounds().size();
    Script("5 press Z\n6 release Z\n25 press Z\n");
    EXPECT_EQ(Wait(kWaitMessage, 1, 0, c.noDelay), c.endFrame) << c.noDelay;
    EXPECT_EQ(m_nResult, 1);
    EXPECT_EQ(g_drawFrames.size(), c.endFrame - 1);  // the ending frame is not drawn
    EXPECT_EQ(Sounds(), std::vector<int>{kSoundMessageEnds});
  }
}

TEST_F(ModalWaitTest, AKeyHeldWhenTheWaitStartsMustBeReleasedFirst) {
  // Z is down since before the wait (the press that ended the previous message) and stays down.
  SetKeyState('Z', true);
  PollInput(g_InputStates);
  g_InputStates[0].RecordInputHistory();
  cInputScript script;
  ASSERT_TRUE(ParseInputScript("1 press Z\n10 release Z\n12 press Z\n", script, nullptr));
  SetFrameLimit(0);
  UseInputScript(script);
  EXPECT_EQ(Wait(kWaitMessage, 1, 0, 1), 12u);
}

TEST_F(ModalWaitTest, TimedWaitCountsItsFramesAndEndsSilently) {
  Script("2 press Z\n");  // keys do not end a timed wait
  EXPECT_EQ(Wait(kWaitTimer, 0, 3, 0), 4u);
  EXPECT_EQ(g_drawFrames, (std::vector<uint64_t>{1, 2, 3}));
  EXPECT_TRUE(Sounds().empty());
}

TEST_F(ModalWaitTest, ReplayKeyFrameDrawsNothing) {
  g_replayKeyFrame = 2;
  EXPECT_EQ(Wait(kWaitTimer, 0, 3, 0), 5u);  // the handled frame does not count down either
  EXPECT_EQ(g_drawFrames, (std::vector<uint64_t>{1, 3, 4}));
}

// The player's input before the wait, as the play loop left it: right held for three frames.
void PrepareHeldRight(cInputState& input) {
  input.m_wDir = kDirRight;
  for (int i = 0; i < 3; ++i) input.RecordInputHistory();
}

TEST_F(ModalWaitTest, EveryWaitGivesThePlayerInputBackAsItWas) {
  struct Case {
    int playMode;
    int waitKey;
  };
  // Timed waits used to leave the viewer's keys in the input and its history, live and in replays.
  for (const Case c : {Case{kPlayModeStoryNew, 0}, Case{kPlayModeReplay, 0}, Case{kPlayModeStoryNew, 1}}) {
    g_nPlayMode = c.playMode;
    g_InputStates.assign(1, cInputState{});
    PrepareHeldRight(g_InputStates[0]);
    cInputState before;
    g_InputStates[0].CopyInputTo(before);
    Script("1 press LEFT X\n2 release X\n3 press Z\n4 release Z\n5 press Z\n");
    Wait(c.waitKey ? kWaitMessage : kWaitTimer, c.waitKey, 6, 1);
    const cInputState& after = g_InputStates[0];
    EXPECT_EQ(after.m_wDir, before.m_wDir) << c.playMode << c.waitKey;
    EXPECT_EQ(after.m_wButton, before.m_wButton);
    for (int past = 0; past < 5; ++past) {
      EXPECT_EQ(after.GetPastInput(0, past), before.GetPastInput(0, past)) << past;
      EXPECT_EQ(after.GetPastInput(1, past), before.GetPastInput(1, past)) << past;
    }
  }
}

TEST_F(ModalWaitTest, ChoiceDefaultFollowsItsRules) {
  cFlowStage& stage = Stage();
  int32_t flowVars[2] = {0, 0};
  stage.m_lpFlowVars = flowVars;
  stage.m_lpCurObject = &m_Harness.Chara(0);
  const auto entry = [](int32_t rule, int32_t index, int32_t value) {
    cChoiceEntry e;
    e.nAction = rule;
    e.nIndex = index;
    e.nValue = value;
    return e;
  };
  struct Case {
    const char* what;
    std::vector<cChoiceEntry> choices;
    int32_t expected;
  };
  g_SaveData.m_anCommonVars[3] = 7;
  stage.m_anStageVars[4] = 8;
  m_Harness.Chara(0).m_anVars[2] = 9;
  flowVars[1] = 5;
  const Case cases[] = {
      {"the last always entry", {entry(1, 0, 0), entry(2, 3, 1), entry(1, 0, 0)}, 2},
      {"a matching common variable ends the search", {entry(1, 0, 0), entry(2, 3, 7), entry(1, 0, 0)}, 1},
      {"stage variable", {entry(0, 0, 0), entry(3, 4, 8)}, 1},
      {"object variable", {entry(0, 0, 0), entry(0, 0, 0), entry(4, 2, 9)}, 2},
      {"flow variable B", {entry(5, 1, 5), entry(5, 2, 5)}, 1},
      {"an index out of range never matches", {entry(1, 0, 0), entry(2, 5000, 0), entry(3, -1, 0)}, 0},
  };
  for (const Case& c : cases) {
    Script("1 press Z\n2 release Z\n3 press Z\n");
    Wait(kWaitMessage, 1, 0, 1, &c.choices);
    EXPECT_EQ(stage.m_GameWait.m_nSelection, c.expected) << c.what;
    EXPECT_EQ(Sounds().back(), kSoundWaitDecide);
  }
}

TEST_F(ModalWaitTest, ChoiceCursorWrapsAndReplaysTakeTheRecordedRow) {
  const std::vector<cChoiceEntry> three(3);
  Script("2 press UP\n3 release UP\n4 press UP\n5 release UP\n6 press Z\n");
  Wait(kWaitMessage, 1, 0, 1, &three);
  EXPECT_EQ(Stage().m_GameWait.m_nSelection, 1);  // 0 -> 2 -> 1

  // The cursor stands still during a message's key delay.
  Script("5 press UP\n6 release UP\n22 press DOWN\n23 release DOWN\n24 press Z\n");
  Wait(kWaitMessage, 1, 0, 0, &three);
  EXPECT_EQ(Stage().m_GameWait.m_nSelection, 1);

  g_nPlayMode = kPlayModeReplay;
  g_InputLog.m_anValues = {2, 99};
  g_InputLog.m_nValueIndex = 0;
  for (int32_t expected : {2, 2}) {  // a damaged value stays on the last row
    Script("2 press Z\n");
    Wait(kWaitMessage, 1, 0, 1, &three);
    EXPECT_EQ(Stage().m_GameWait.m_nSelection, expected);
  }
}

// The player's automatic-advance option (seconds in halves, 21 off): a key-waiting message of a
// replay ends by itself after 0.1 s for option 0 (the 7th frame after its 20-frame key delay), after
// trunc(option / 2) seconds otherwise, and never for 21, the option of a fresh record, where only a
// press ends it.
TEST_F(ModalWaitTest, ReplayPlaybackAdvancesMessagesByTheOption) {
  g_nPlayMode = kPlayModeReplay;
  g_SceneMgr.m_nFrameRate = 60;
  struct Case {
    int option;
    int noDelay;
    const char* script;
    uint64_t endFrame;
  };
  const Case cases[] = {{0, 0, "", 27}, {0, 1, "", 7},   {1, 0, "", 21},   {2, 0, "", 81},
                        {3, 0, "", 81}, {5, 0, "", 141}, {20, 0, "", 621}, {21, 0, "300 press Z\n", 300}};
  EXPECT_EQ(g_OptionData.m_nMessageAutoSeconds, 21);
  Script("300 press Z\n");
  EXPECT_EQ(Wait(kWaitMessage, 1, 0, 0), 300u) << "a fresh option record";
  for (const Case& c : cases) {
    g_OptionData.m_nMessageAutoSeconds = c.option;
    Script(c.script);
    EXPECT_EQ(Wait(kWaitMessage, 1, 0, c.noDelay), c.endFrame) << c.option << " " << c.noDelay;
  }
  // Live play waits for the press whatever the option.
  g_nPlayMode = kPlayModeStoryNew;
  g_OptionData.m_nMessageAutoSeconds = 0;
  Script("90 press Z\n");
  EXPECT_EQ(Wait(kWaitMessage, 1, 0, 0), 90u);
}

TEST_F(ModalWaitTest, EachWaitDrawsFromAFreshGenerator) {
  g_drawRandom = true;
  QcSrand(77);
  const int expected = QcRand();
  QcSrand(77);
  for (int i = 0; i < 2; ++i) {
    g_drawFrames.clear();
    Wait(kWaitTimer, 0, 1, 0);
  }
  QcSrand(1);
  const int fromOne = QcRand();
  EXPECT_EQ(g_firstDraws, (std::vector<int>{fromOne, fromOne}));
  QcSrand(77);
  QcRand();
  const int second = QcRand();
  QcSrand(77);
  EXPECT_EQ(QcRand(), expected);  // the game thread's own sequence is untouched by the waits
  EXPECT_EQ(QcRand(), second);
}

TEST_F(ModalWaitTest, ClosingTheWindowEndsTheWaitAndLaterWaitsAtOnce) {
  int result = -1;
  std::thread game([&] {
    SetupGameWait(kWaitTimer, 0, 1000000, 0, nullptr);
    result = RunModalWait(0);
  });
  while (g_draws.load() < 3) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  // What the main window does on WM_CLOSE while thPause runs.
  ASSERT_TRUE(PauseThreadRunning());
  AbortStageWait();
  const int drawsAtAbort = g_draws.load();
  PostThreadMessage(PauseThreadId(), WM_QUIT, 0, 0);
  game.join();
  EXPECT_EQ(result, 0);
  EXPECT_LE(g_draws.load(), drawsAtAbort + 1);  // at most the frame under way
  EXPECT_TRUE(StageWaitAborted(Stage()));

  g_draws.store(0);
  EXPECT_EQ(RunModalWait(0), 0);
  EXPECT_EQ(g_draws.load(), 0);
}

TEST_F(ModalWaitTest, AnAbortedWaitQuitsOnItsOwnWhenNoQuitArrives) {
  std::thread game([&] {
    SetupGameWait(kWaitTimer, 0, 1000000, 0, nullptr);
    RunModalWait(0);
  });
  while (g_draws.load() < 1) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  AbortStageWait();
  game.join();  // about 2 s later
  EXPECT_FALSE(PauseThreadRunning());
}

TEST_F(ModalWaitTest, NoFrameRunsWhileTheApplicationIsInactive) {
  g_AppActive.store(0);
  std::thread game([] {
    SetupGameWait(kWaitTimer, 0, 2, 0, nullptr);
    RunModalWait(0);
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(g_draws.load(), 0);
  g_AppActive.store(1);
  game.join();
  EXPECT_EQ(g_draws.load(), 2);
}

TEST_F(ModalWaitTest, InstallKeepsTheOtherServices) {
  cStageHooks own;
  own.countActiveBlocks = [] { return 5; };
  cHooksGuard<cStageHooks> guard(SetStageHooks, own);
  InstallModalWaits();
  EXPECT_EQ(CountActiveBlocks(), 5);
  SetupGameWait(kWaitMessage, 1, 0, 0, nullptr);
  EXPECT_EQ(Stage().m_GameWait.m_nKeyDelay, kMessageKeyDelay);
}

// Ranking display hooks: kinds stepped, tables drawn.
std::vector<int> g_rankingSteps;
int g_rankingDraws = 0;
int g_rankingKinds = 1;

TEST_F(ModalWaitTest, RankingDisplayStepsKindsUntilButtonOne) {
  for (int kinds : {1, 3}) {
    g_rankingSteps.clear();
    g_rankingDraws = 0;
    g_rankingKinds = kinds;
    cModalWaitHooks hooks = TestHooks();
    hooks.stepRankingKind = [](int step) { g_rankingSteps.push_back(step); };
    hooks.rankingKindCount = [] { return g_rankingKinds; };
    hooks.drawRanking = [] { ++g_rankingDraws; };
    cHooksGuard<cModalWaitHooks> guard(SetModalWaitHooks, hooks);
    m_nSoundsBefore = m_Harness.Sounds().size();
    Script("2 press V\n3 release V\n5 press Z\n");  // V is button 4
    EXPECT_EQ(RunRankingDisplay(), 1);
    EXPECT_EQ(PolledFrames(), 5u);
    EXPECT_EQ(g_rankingDraws, 4);
    if (kinds == 1) {
      EXPECT_EQ(g_rankingSteps, std::vector<int>{0});
      EXPECT_EQ(Sounds(), std::vector<int>{kSoundWaitDecide});
    } else {
      EXPECT_EQ(g_rankingSteps, (std::vector<int>{0, 1}));
      EXPECT_EQ(Sounds(), (std::vector<int>{kSoundRankingKind, kSoundWaitDecide}));
    }
  }
}

}  // namespace
