// The play phase's frame: its counters and timers, the sub-steps it runs, its input (live, held
// buttons, replay), the per-frame look for the replay code, a stage played to its clear, and stages
// whose header holds extreme values.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "core/timing.h"
#include "data/game_data.h"
#include "data/save_data.h"
#include "data/system_data.h"
#include "flow/install_flow_hooks.h"
#include "objects/flow_hooks.h"
#include "objects/play_objects.h"
#include "shell/input_state.h"
#include "shell/scene_mgr.h"
#include "stage/scene_stage.h"
#include "stage/stage_loading.h"
#include "stage/stage_play_hooks.h"
#include "stage/stage_start.h"
#include "stage_files.h"
#include "test_support/stage_play_harness.h"

namespace {

std::vector<int32_t> g_watched;
cInputState* g_replayFrameInput = nullptr;
int g_replayFramesLeft = 0;

cHarnessSetup SceneSetup(std::vector<std::string> map, int level) {
  cHarnessSetup setup;
  setup.map = std::move(map);
  setup.nHitCheckLevel = level;
  setup.makeStage = [] { return std::unique_ptr<cStageState>(new cSceneStage); };
  setup.addStandIns = AddStagePlayServices;
  return setup;
}

cFlowHooks InstalledFlowHooks() {
  const cFlowHooks before = SetFlowHooks(cFlowHooks());
  InstallFlowHooks();
  return SetFlowHooks(before);
}

class PlayLoopTest : public testing::Test {
 protected:
  explicit PlayLoopTest(int level = 3)
      : m_Plugins(SetHarnessPlugins, WithStagePlay(CurrentHarnessPlugins())),
        m_Harness(SceneSetup({"........", ".H......", "########"}, level)),
        m_PlayHooks(SetStagePlayHooks, Watching()) {
    g_watched.clear();
    g_StageFile.m_nHitCheckLevel = level;
    Restart();
  }
  static cStagePlayHooks Watching() {
    cStagePlayHooks hooks;
    hooks.afterFrameLogic = [](int32_t frame) { g_watched.push_back(frame); };
    return hooks;
  }
  cSceneStage& Scene() { return static_cast<cSceneStage&>(m_Harness.Stage()); }
  void Restart() {
    TakeStageSettingsCopy();
    g_HeroType = g_StageFile.m_aCharas[static_cast<size_t>(HeroTypeIndex(g_StageFile))];
    Scene().SetupStage(1, 1);
    Scene().m_nPhase = kStagePhasePlay;
  }
  // Play frames with player 0 holding the words (as polled before each frame).
  void Play(int frames, uint16_t dir = 0, uint16_t button = 0) {
    for (int i = 0; i < frames; ++i) {
      g_InputStates[0].m_wDir = dir;
      g_InputStates[0].m_wButton = button;
      Scene().Step();
    }
  }

  cHooksGuard<cHarnessPlugins> m_Plugins;
  cStageHarness m_Harness;
  cHooksGuard<cStagePlayHooks> m_PlayHooks;
};

TEST_F(PlayLoopTest, AFrameRunsTheStagesSubStepsAndIsWatchedAfterItsLogic) {
  Play(3);
  EXPECT_EQ(Scene().m_nFrameCount, 3);
  EXPECT_EQ(Scene().m_nSubStepTotal, 9);  // hit-check level 3: three sub-steps a frame
  EXPECT_EQ(Scene().m_nSubStep, 3);
  EXPECT_EQ(g_watched, (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(Scene().m_nPlayFrames, 3);
  EXPECT_EQ(Scene().m_nPlayTime, 5);  // 3 x 100 / 60
  Play(57);
  EXPECT_EQ(Scene().m_nPlayTime, 100);
  // The hero stands on the floor: three sub-steps of gravity a frame did not move it through it.
  EXPECT_FALSE(g_HeroList[0].m_bDead);
}

TEST_F(PlayLoopTest, PlayTimeStopsAtItsLimit) {
  Scene().m_nPlayFrames = 359999;
  Scene().m_nPlayTime = 599998;
  Play(2);
  EXPECT_EQ(Scene().m_nPlayTime, kPlayTimeMax);
  EXPECT_EQ(Scene().m_nPlayFrames, 360000);
}

TEST_F(PlayLoopTest, TheTimeLimitCountsSecondsAndDefeatsTheHeroOnce) {
  g_StageFile.m_bTimeLimit = 1;
  g_StageFile.m_nTimeLimit = 2;
  Restart();
  EXPECT_EQ(Scene().m_nTimer, 2);
  Play(59);
  EXPECT_EQ(Scene().m_nTimer, 2);
  Play(1);
  EXPECT_EQ(Scene().m_nTimer, 1);
  EXPECT_FALSE(g_HeroList[0].m_bDead);
  const int subStepsBefore = Scene().m_nSubStepTotal + 3 * 59;
  Play(60);
  EXPECT_EQ(Scene().m_nTimer, 0);
  EXPECT_TRUE(g_HeroList[0].m_bDead);
  // The frame the time ran out ran no sub-steps, and was still watched.
  EXPECT_EQ(Scene().m_nSubStepTotal, subStepsBefore);
  EXPECT_EQ(g_watched.back(), 120);
  // The drawn timer warned once when one second was left; the hero's defeat sound followed.
  EXPECT_EQ(m_Harness.Sounds(), (std::vector<int>{13, 8}));
  Play(60);
  EXPECT_EQ(m_Harness.Sounds(), (std::vector<int>{13, 8}));  // a dead hero is not defeated twice
}

TEST_F(PlayLoopTest, AButtonHeldWhenAMenuClosedStaysIgnoredUntilReleased) {
  Scene().m_bButtonHold = 1;
  Play(2, 0, 1);
  EXPECT_EQ(g_InputStates[0].m_wButton, 0);
  Play(1, 0, 0);
  EXPECT_EQ(Scene().m_bButtonHold, 0);
  Play(1, 0, 1);
  EXPECT_EQ(g_InputStates[0].m_wButton, 1);
}

TEST_F(PlayLoopTest, PlaybackTakesItsInputFromTheLogAndStartsAgainAtItsEnd) {
  cStagePlayHooks hooks = Watching();
  hooks.playInputFrame = [](cInputState& input) {
    if (g_replayFramesLeft-- <= 0) return false;
    input.m_wDir = 0x0004;
    return true;
  };
  cHooksGuard<cStagePlayHooks> replay(SetStagePlayHooks, hooks);
  g_PlayMode = kPlayModeReplay;
  g_replayFramesLeft = 2;
  Play(1, 0, 1);  // the live words are not used
  EXPECT_EQ(g_InputStates[0].m_wDir, 0x0004);
  EXPECT_EQ(g_InputStates[0].m_wButton, 0);
  EXPECT_EQ(g_InputStates[0].m_nDirNumber, GetDirNumber(0x0004));
  Play(1);
  EXPECT_EQ(Scene().m_nFrameCount, 2);
  Play(1);  // the log has ended: the stage is set up again and its intro follows
  EXPECT_EQ(Scene().m_nPhase, kStagePhaseIntro);
  EXPECT_EQ(Scene().m_nFrameCount, 0);
  g_PlayMode = kPlayModeStoryNew;
}

// The end of the hero's defeat display in live play: a life is used, the progress goes back to the
// attempt's start (the common variables by the game kind's retry setting), carried-over items the
// project drops on a miss go, and the stage starts again, or the continue menu follows in story play
// when the project asks for it, or the game is over when no life is left.
TEST_F(PlayLoopTest, TheHerosDefeatUsesALifeAndRetriesOrEndsTheGame) {
  constexpr int kItemHp = 11;
  struct Case {
    int32_t lives;
    int mode, continueMenu, restoreVars, carryOver;
    int32_t phase, livesAfter, varAfter, hpStoredAfter;
  };
  for (const Case& c :
       {Case{0, 0, 0, 1, 1, kStagePhaseGameOver, 0, 5, 1}, Case{2, 0, 1, 1, 1, kStagePhaseContinueMenu, 1, 0, 0},
        Case{2, 0, 0, 0, 0, kStagePhaseIntro, 1, 5, 1}, Case{2, 1, 1, 1, 0, kStagePhaseIntro, 1, 0, 1}}) {
    g_ModeIndex = c.mode;
    g_SystemData.m_nStageOpt191 = c.continueMenu;
    g_SystemData.m_bRetryRestore0 = g_SystemData.m_bRetryRestore1 = c.restoreVars;
    g_SystemData.m_abCarryOver.assign(kCarryOverItems, 0);
    g_SystemData.m_abCarryOverClear.assign(kCarryOverItems, 0);
    g_SystemData.m_abCarryOver[kItemHp] = g_SystemData.m_abCarryOverClear[kItemHp] = 1;
    g_SaveData.StoreCarryOver(0, g_HeroType, 5, 0, 0, 0, 0, 0, 0, 0);
    g_StageFile.m_bCarryOver = c.carryOver;
    g_SaveData.m_nLives = c.lives;
    g_SaveData.m_anCommonVars[0] = 0;
    Restart();  // the attempt starts: its progress is kept aside
    g_SaveData.m_anCommonVars[0] = 5;
    Scene().HeroDefeatOver();
    EXPECT_EQ(Scene().m_nPhase, c.phase) << c.lives << " lives, mode " << c.mode;
    EXPECT_EQ(g_SaveData.m_nLives, c.livesAfter) << c.lives << " lives, mode " << c.mode;
    EXPECT_EQ(g_SaveData.m_anCommonVars[0], c.varAfter) << c.lives << " lives, mode " << c.mode;
    EXPECT_EQ(g_SaveData.m_abCarryStored[kItemHp], c.hpStoredAfter) << c.lives << " lives, mode " << c.mode;
  }
  g_ModeIndex = 0;
}

class PlayToClearTest : public PlayLoopTest {
 protected:
  PlayToClearTest() : PlayLoopTest(1), m_Flows(SetFlowHooks, InstalledFlowHooks()) {}
  cGameFolder m_Folder;
  cHooksGuard<cFlowHooks> m_Flows;
};

TEST_F(PlayToClearTest, AStagePlayedByScriptedInputIsCleared) {
  cStageBytes s = SmallStage(10, 4);
  s.charas = {HeroClearingOnButton1(1, 2)};
  m_Folder.Stage("clear.stg4_000", StageFile(986, s));
  ASSERT_EQ(StartStageFromFile("data\\stg4\\clear.stg4", true), 1) << testing::PrintToString(m_Folder.Boxes());
  Scene().SetupStage(1, 1);
  Scene().m_nPhase = kStagePhasePlay;

  Play(30);
  EXPECT_EQ(Scene().m_nPhase, kStagePhasePlay);
  Play(5, 0, 1);  // button 1 held: the hero's flow clears the stage
  EXPECT_EQ(Scene().m_nPhase, kStagePhaseStageEnd);
  EXPECT_EQ(Scene().m_nOutcome, kOutcomeCleared);
  EXPECT_EQ(g_SaveData.m_nNextStage, 2);
  const int32_t frames = Scene().m_nFrameCount;
  // The end display notes the cleared play at once; once it is ready, button 1 leaves the stage
  // through the fade-out.
  Play(1);
  EXPECT_EQ(LastStageOutcome(), kOutcomeCleared);
  EXPECT_EQ(LastStageFrames(), frames);
  Play(60);
  EXPECT_EQ(Scene().m_nPhase, kStagePhaseStageEnd);
  Play(1, 0, 1);
  EXPECT_EQ(Scene().m_nPhase, kStagePhaseFadeOut);
}

// A damaged header may hold any int32 in any field: each of the stage's integer header fields at the
// extremes of its range loads, sets up and plays without undefined arithmetic (the sanitizer build
// stops at the first overflow). The map's own size, which a file cannot hold beyond its placements'
// reach, is refused at loading instead.
TEST_F(PlayToClearTest, EveryIntegerHeaderFieldAtItsExtremesLoadsAndPlays) {
  const std::vector<cFieldSpec>& spec = StageHeaderSpec();
  for (int field = 2; field <= static_cast<int>(spec.size()); ++field) {
    if (field == 4 || spec[static_cast<size_t>(field - 1)].size != 4) continue;
    for (const int32_t value : {std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()}) {
      cStageBytes s = SmallStage(10, 4);
      s.header[field] = value;
      m_Folder.Stage("extreme.stg4_000", StageFile(986, s));
      ASSERT_EQ(StartStageFromFile("data\\stg4\\extreme.stg4", true), 1)
          << "field " << field << " = " << value << testing::PrintToString(m_Folder.Boxes());
      Scene().SetupStage(1, 1);
      Scene().m_nPhase = kStagePhasePlay;
      Play(10, kDirRight, 1);
      Play(10);
    }
  }
}

}  // namespace
