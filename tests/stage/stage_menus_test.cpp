// The menus and displays over the frozen stage: the pause menu's entries per game kind, its cursor
// and what each entry does; the stage-end display (the clear word splitting in, the ranking hint,
// the totals, leaving by button 1 or by itself); the continue menu after a miss; game over. Drawing
// is checked through the drawing trace, sounds through the sound trace.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "data/game_data.h"
#include "data/option_data.h"
#include "data/save_data.h"
#include "data/system_data.h"
#include "media/graphics/display.h"
#include "media/graphics/draw_trace.h"
#include "media/graphics/font.h"
#include "media/graphics/surface_table.h"
#include "objects/play_objects.h"
#include "platform/input/keyboard.h"
#include "platform/input/virtual_keys.h"
#include "platform/messages.h"
#include "shell/app_globals.h"
#include "shell/input_state.h"
#include "shell/menu_cursor.h"
#include "shell/scene_mgr.h"
#include "stage/replay_save.h"
#include "stage/scene_stage.h"
#include "stage/stage_loading.h"
#include "stage/stage_menus.h"
#include "stage/stage_start.h"
#include "test_support/stage_play_harness.h"

namespace {

constexpr int kWordSheet = 52;
constexpr int kAccessorySheet = 50;

// What the stage-end and replay parts were asked, and what they answer.
std::vector<std::string> g_calls;
bool g_replayListFilled = false;
int g_nextScene = kSceneStageSelect;
std::vector<int32_t> g_totalsPlaces;
int g_totalsX = 0, g_totalsY = 0;

cStageMenuHooks Recording() {
  cStageMenuHooks hooks;
  hooks.finishStage = [](cSceneStage&) { g_calls.push_back("finishStage"); };
  hooks.registerRanking = [](cSceneStage&) { g_calls.push_back("registerRanking"); };
  hooks.decideNextScene = [](cSceneStage&) {
    g_calls.push_back("decideNextScene");
    return g_nextScene;
  };
  hooks.stepToAdjacentReplay = [](int explicitStep, int step) {
    g_calls.push_back("step " + std::to_string(explicitStep) + " " + std::to_string(step));
  };
  hooks.replayListFilled = [] { return g_replayListFilled; };
  hooks.drawPlayTotals = [](DDSURFACEDATA*, int x, int y, const std::vector<int32_t>& places) {
    g_calls.push_back("drawPlayTotals");
    g_totalsX = x;
    g_totalsY = y;
    g_totalsPlaces = places;
  };
  return hooks;
}

cReplaySaveHooks PlentyOfSpace() {
  cReplaySaveHooks hooks;
  hooks.diskFreeBytes = [](const char*) { return int32_t{2000000000}; };
  return hooks;
}

cHarnessSetup SceneSetup() {
  cHarnessSetup setup;
  setup.map = {"..........", ".H........", "##########"};
  setup.makeStage = [] { return std::unique_ptr<cStageState>(new cSceneStage); };
  setup.addStandIns = AddStagePlayServices;
  return setup;
}

cBackLayer ColourLayer(int colour) {
  cBackLayer layer;
  layer.m_bColourFill = 1;
  layer.m_nColour = colour;
  return layer;
}

class StageMenusTest : public testing::Test {
 protected:
  StageMenusTest()
      : m_Plugins(SetHarnessPlugins, WithStagePlay(CurrentHarnessPlugins())),
        m_Harness(SceneSetup()),
        m_Menus(SetStageMenuHooks, Recording()),
        m_Space(SetReplaySaveHooks, PlentyOfSpace()),
        m_SavedScenes{g_SceneMgr.m_nRequestScene, g_SceneMgr.m_nPrevScene, g_ModeIndex, g_RankingOn} {
    g_calls.clear();
    g_replayListFilled = false;
    g_nextScene = kSceneStageSelect;
    g_totalsPlaces.clear();
    g_SceneMgr.m_nRequestScene = kSceneStage;
    g_SceneMgr.m_nPrevScene = kSceneWorldMap;
    g_ModeIndex = 2;
    g_RankingOn = 0;
    g_PlayMode = kPlayModeFree;
    std::vector<std::string>& texts = g_SystemData.m_astrTexts;
    texts.resize(kSystemTextCount);
    const char* pause[] = {"END", "CONTINUE", "RETRY", "WORLDMAP", "NEXTREPLAY", "PREVREPLAY", "REPLAYLIST"};
    for (int i = 0; i < kPauseCmdCount; ++i) texts[static_cast<size_t>(19 + i)] = pause[i];
    texts[26] = "YES";
    texts[27] = "NO";
    texts[29] = "TESTPLAY";
    texts[31] = "PRESS F3";
    g_SystemData.m_bPauseKey = 1;
    TakeStageSettingsCopy();
    g_HeroType = g_StageFile.m_aCharas[static_cast<size_t>(HeroTypeIndex(g_StageFile))];
    Restart();
    // The stage's own picture, to see it drawn: a full-screen fill of colour 5.
    g_StageFile.m_aLayers = {ColourLayer(5)};
    DrainMessages();
  }
  ~StageMenusTest() override {
    ReleaseAllKeys();
    DrainMessages();
    g_TestPlay = g_DirectPlay = g_ReturnToTitle = 0;
    g_bCloseConfirmed.store(0);
    g_PlayMode = kPlayModeStoryNew;
    g_SceneMgr.m_nRequestScene = m_SavedScenes[0];
    g_SceneMgr.m_nPrevScene = m_SavedScenes[1];
    g_ModeIndex = m_SavedScenes[2];
    g_RankingOn = m_SavedScenes[3];
    g_MenuCursor.ResetCursorStack();
  }
  cSceneStage& Scene() { return static_cast<cSceneStage&>(m_Harness.Stage()); }

  // A fresh attempt of the stage (its progress kept aside for a retry), in the play phase.
  void Restart() {
    Scene().SetupStage(1, 1);
    Scene().m_nPhase = kStagePhasePlay;
    Scene().m_nSubState = 0;
  }
  // One frame with player 0's words as the devices gave them; the traces hold this frame's only.
  void Frame(uint16_t dir = 0, uint16_t button = 0) {
    m_Harness.ClearTraces();
    g_InputStates[0].m_wDir = dir;
    g_InputStates[0].m_wButton = button;
    Scene().Step();
  }
  // The pause key pressed in the running phase, then let go: the pause menu's first frame has run.
  void OpenPauseMenu() {
    SetKeyState(VK_SPACE, true);
    Frame();
    SetKeyState(VK_SPACE, false);
    ASSERT_EQ(Scene().m_nPhase, kStagePhasePauseMenu);
    Frame();
  }
  // Enabled pause entries, by their index.
  std::vector<int> EnabledPauseCmds() {
    std::vector<int> enabled;
    for (size_t i = 0; i < Scene().m_aPauseCmds.size(); ++i)
      if (Scene().m_aPauseCmds[i].m_bEnabled) enabled.push_back(static_cast<int>(i));
    return enabled;
  }
  // One cursor step, then the direction let go (a held direction repeats only after a delay).
  void Move(uint16_t dir) {
    Frame(dir);
    Frame();
  }
  // Chooses the pause menu's row (from the continue row it opens on) with button 1.
  void ChoosePauseRow(int row) {
    for (int r = 1; r < row; ++r) Move(kDirDown);
    for (int r = 1; r > row; --r) Move(kDirUp);
    Frame(0, 1);
  }

  // The calls of this frame, by name.
  std::vector<DDTRACECALL> DrawsNamed(const std::string& name) const {
    std::vector<DDTRACECALL> calls;
    for (const DDTRACECALL& c : m_Harness.Draws())
      if (c.strName == name) calls.push_back(c);
    return calls;
  }
  // Whether this frame drew the stage (its full-screen colour layer).
  bool StageDrawn() const {
    for (const DDTRACECALL& c : m_Harness.Draws())
      if (c.strName == "DDFillRect" && c.adArgs.size() >= 5 && c.adArgs[2] == 640 && c.adArgs[3] == 480 &&
          c.adArgs[4] == 5)
        return true;
    return false;
  }
  // Blits of a sheet onto the back buffer: x, y, w, h, source x, source y.
  std::vector<std::vector<double>> Blits(int sheet) const {
    std::vector<std::vector<double>> blits;
    for (const DDTRACECALL& c : m_Harness.Draws())
      if (c.strName == "DDBlt" && c.lpDst == &g_BackBufferSD && c.lpSrc == &g_SurfaceData[sheet])
        blits.push_back({c.adArgs[0], c.adArgs[1], c.adArgs[2], c.adArgs[3], c.adArgs[4], c.adArgs[5]});
    return blits;
  }
  // Where the menu's arrow (16 x 16 at (64, 0) of "bmp\Accessory.bmp") was drawn.
  std::vector<std::vector<double>> Cursors() const {
    std::vector<std::vector<double>> cursors;
    for (const std::vector<double>& blit : Blits(kAccessorySheet))
      if (blit[4] == 64 && blit[5] == 0) cursors.push_back(blit);
    return cursors;
  }
  // Texts drawn at y: their x and text.
  std::vector<std::pair<double, std::string>> TextsAt(double y) const {
    std::vector<std::pair<double, std::string>> texts;
    for (const DDTRACECALL& c : DrawsNamed("cFont::DrawString"))
      if (c.adArgs[1] == y) texts.emplace_back(c.adArgs[0], c.strText);
    return texts;
  }
  static void DrainMessages() {
    MSG msg;
    while (PeekMessage(&msg, true)) {}
  }
  static bool CloseWasPosted() {
    MSG msg;
    bool posted = false;
    while (PeekMessage(&msg, true))
      if (msg.message == WM_CLOSE) posted = true;
    return posted;
  }

  cHooksGuard<cHarnessPlugins> m_Plugins;
  cStageHarness m_Harness;
  cHooksGuard<cStageMenuHooks> m_Menus;
  cHooksGuard<cReplaySaveHooks> m_Space;
  int32_t m_SavedScenes[4];
};

// ---- The pause menu ----

TEST_F(StageMenusTest, ThePauseMenuOffersTheEntriesOfTheGameKind) {
  struct Case {
    const char* what;
    int32_t modeIndex;
    int32_t storyRetry, storyMap, challengeRetry;
    int32_t worldFlag, challengeCleared;
    bool replayList;
    std::vector<int> enabled;
  };
  const Case cases[] = {
      {"story, world cleared", 0, 1, 1, 1, 1, 0, false, {0, 1, 2, 3}},
      {"story, world not cleared", 0, 1, 1, 1, 0, 0, false, {0, 1}},
      {"story, no retry", 0, 0, 1, 1, 1, 0, false, {0, 1, 3}},
      {"story, no world map", 0, 1, 0, 1, 1, 0, false, {0, 1, 2}},
      {"challenge, cleared", 1, 1, 1, 1, 0, 1, true, {0, 1, 2}},
      {"challenge, not cleared", 1, 1, 1, 1, 1, 0, false, {0, 1}},
      {"challenge, no retry", 1, 1, 1, 0, 1, 1, false, {0, 1}},
      {"free play", 2, 0, 0, 0, 0, 0, true, {0, 1, 2}},
      {"replay, empty list", 3, 0, 0, 0, 0, 0, false, {0, 1, 2}},
      {"replay, list", 3, 0, 0, 0, 0, 0, true, {0, 1, 2, 4, 5, 6}},
  };
  for (const Case& c : cases) {
    g_ModeIndex = c.modeIndex;
    g_SystemData.m_nStageOpt224a = c.storyRetry;
    g_SystemData.m_nStageOpt224b = c.storyMap;
    g_SystemData.m_nStageOpt757 = c.challengeRetry;
    g_SaveData.m_nWorld = 3;
    g_SaveData.m_anWorldFlags[3] = c.worldFlag;
    g_SaveData.m_aChallenge.resize(5);
    g_SaveData.m_aChallenge[2].m_nValueA = c.challengeCleared;
    g_replayListFilled = c.replayList;
    Scene().m_nPhase = kStagePhasePauseMenu;
    Scene().m_nSubState = 0;
    Frame();
    EXPECT_EQ(EnabledPauseCmds(), c.enabled) << c.what;
    ASSERT_EQ(Scene().m_aPauseCmds.size(), 7u);
    EXPECT_EQ(Scene().m_aPauseCmds[4].m_strCaption, "NEXTREPLAY");
  }
}

TEST_F(StageMenusTest, AWorldOrChallengeOutsideTheProgressListsOffersNoRetry) {
  g_SystemData.m_nStageOpt224a = g_SystemData.m_nStageOpt224b = g_SystemData.m_nStageOpt757 = 1;
  g_SaveData.m_aChallenge.resize(2);
  for (cSaveVar& record : g_SaveData.m_aChallenge) record.m_nValueA = 1;
  std::fill(g_SaveData.m_anWorldFlags.begin(), g_SaveData.m_anWorldFlags.end(), 1);
  struct Case {
    int32_t modeIndex, world;
  };
  // 1000 world flags; two challenge records (worlds 1 and 2).
  for (const Case& c : {Case{0, -1}, Case{0, 1000}, Case{0, 5000}, Case{1, 0}, Case{1, 3}, Case{1, -7}}) {
    g_ModeIndex = c.modeIndex;
    g_SaveData.m_nWorld = c.world;
    Scene().m_nPhase = kStagePhasePauseMenu;
    Scene().m_nSubState = 0;
    Frame();
    EXPECT_EQ(EnabledPauseCmds(), (std::vector<int>{0, 1})) << "mode " << c.modeIndex << " world " << c.world;
  }
}

// Free play: end, continue and retry, in a window as wide as "CONTINUE" plus the cursor column,
// centred on 320 (x 320 - 9 x 16 / 2 = 248), from y 272, over the stage.
TEST_F(StageMenusTest, ThePauseMenuShowsItsWindowAndCursorOverTheStage) {
  OpenPauseMenu();
  EXPECT_TRUE(StageDrawn());
  const std::vector<DDTRACECALL> boxes = DrawsNamed("cFont::DrawBox");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].adArgs, (std::vector<double>{248, 272, 144, 48}));
  EXPECT_EQ(TextsAt(272), (std::vector<std::pair<double, std::string>>{{264, "END"}}));
  EXPECT_EQ(TextsAt(288), (std::vector<std::pair<double, std::string>>{{264, "CONTINUE"}}));
  EXPECT_EQ(TextsAt(304), (std::vector<std::pair<double, std::string>>{{264, "RETRY"}}));
  // The cursor opens on "continue".
  EXPECT_EQ(Cursors(), (std::vector<std::vector<double>>{{248, 288, 16, 16, 64, 0}}));

  // Up, up again (the first row wraps to the last), down.
  struct Step {
    uint16_t dir;
    int32_t row;
  };
  for (const Step& s : {Step{kDirUp, 0}, Step{kDirUp, 2}, Step{kDirDown, 0}, Step{kDirDown, 1}}) {
    Frame(s.dir);
    EXPECT_EQ(g_MenuCursor.Top().nRow, s.row);
    EXPECT_EQ(Cursors(), (std::vector<std::vector<double>>{{248, 272.0 + 16 * s.row, 16, 16, 64, 0}}));
    Frame();
  }
  // Nothing moved in the stage while the menu was open.
  EXPECT_EQ(Scene().m_nFrameCount, 0);
}

TEST_F(StageMenusTest, ContinueAndCancelGoBackToExactlyThePhaseThatRan) {
  struct Case {
    int32_t phase, subState;
    uint16_t button;
    int sound;
  };
  for (const Case& c : {Case{kStagePhasePlay, 0, 1, 1}, Case{kStagePhasePlay, 0, 2, 2},
                        Case{kStagePhaseStageEnd, 1, 1, 1}, Case{kStagePhaseStageEnd, 1, 2, 2}}) {
    Scene().m_nPhase = c.phase;
    Scene().m_nSubState = c.subState;
    Scene().m_bButtonHold = 0;
    OpenPauseMenu();
    EXPECT_EQ(Scene().m_nSavedPhase, c.phase);
    Frame(0, c.button);  // on "continue", or cancel
    EXPECT_EQ(Scene().m_nPhase, c.phase) << "button " << c.button;
    EXPECT_EQ(Scene().m_nSubState, c.subState) << "button " << c.button;
    EXPECT_EQ(Scene().m_bButtonHold, 1);
    EXPECT_EQ(m_Harness.Sounds(), (std::vector<int>{c.sound}));
    Frame();  // let the button go
  }
}

// A retry puts the progress back as the attempt started (lives too) and starts the stage again; the
// way to the world map keeps the lives and leaves for the world map, noting that the stage was left.
TEST_F(StageMenusTest, RetryAndWorldMapPutTheProgressBack) {
  g_ModeIndex = 0;
  g_PlayMode = kPlayModeStoryContinue;
  g_SystemData.m_nStageOpt224a = g_SystemData.m_nStageOpt224b = 1;
  g_SaveData.m_nWorld = 1;
  g_SaveData.m_anWorldFlags[1] = 1;
  g_SystemData.m_bRetryRestore0 = 0;
  struct Case {
    int row;  // 2 retry, 3 world map
    int32_t lives, commonVar, scoreTotal;
    int32_t phase, leftStage, request;
  };
  for (const Case& c : {Case{2, 3, 7, 100, kStagePhaseIntro, 0, kSceneStage},
                        Case{3, 1, 9, 100, kStagePhaseFadeOut, 1, kSceneWorldMap}}) {
    g_SaveData.m_nLives = 3;
    g_SaveData.m_nScoreTotal = 100;
    g_SaveData.m_anCommonVars[1] = 7;
    g_SaveData.m_bLeftStage = 0;
    g_SceneMgr.m_nRequestScene = kSceneStage;
    Restart();
    g_SaveData.m_nLives = 1;
    g_SaveData.m_nScoreTotal = 250;
    g_SaveData.m_anCommonVars[1] = 9;
    Scene().m_nFrameCount = 40;
    OpenPauseMenu();
    ChoosePauseRow(c.row);
    EXPECT_EQ(g_SaveData.m_nLives, c.lives) << "row " << c.row;
    EXPECT_EQ(g_SaveData.m_anCommonVars[1], c.commonVar) << "row " << c.row;
    EXPECT_EQ(g_SaveData.m_nScoreTotal, c.scoreTotal) << "row " << c.row;
    EXPECT_EQ(Scene().m_nPhase, c.phase) << "row " << c.row;
    EXPECT_EQ(Scene().m_nSubState, 0) << "row " << c.row;
    EXPECT_EQ(g_SaveData.m_bLeftStage, c.leftStage) << "row " << c.row;
    EXPECT_EQ(g_SceneMgr.m_nRequestScene, c.request) << "row " << c.row;
    EXPECT_EQ(Scene().m_bButtonHold, 1);
    EXPECT_EQ(m_Harness.Sounds(), (std::vector<int>{1}));
    if (c.row == 2) EXPECT_EQ(Scene().m_nFrameCount, 0);  // the stage was set up again
    Frame();
  }
}

TEST_F(StageMenusTest, TheEndEntryGoesToTheTitleWithItsCursorOnThePlayMode) {
  g_OptionData.m_nReplayAutoSave = kReplayAutoSaveEvery;
  g_SystemData.m_bReplayOn = 1;
  g_StageFile.m_bReplayAllowed = 1;
  g_ReplaySave.m_bSaved = 0;
  OpenPauseMenu();
  ChoosePauseRow(0);
  EXPECT_EQ(Scene().m_nPhase, kStagePhaseFadeOut);
  EXPECT_EQ(Scene().m_nSubState, 0);
  EXPECT_EQ(g_SceneMgr.m_nRequestScene, kSceneTitle);
  EXPECT_EQ(g_MenuCursor.Top().nRow, kPlayModeFree);
  EXPECT_EQ(m_Harness.Sounds(), (std::vector<int>{1}));
  EXPECT_EQ(g_ReplaySave.m_bSaved, 1);  // the automatic replay save was asked for
  EXPECT_FALSE(CloseWasPosted());
}

TEST_F(StageMenusTest, TheEndEntryOfADirectStartClosesTheProgram) {
  g_DirectPlay = 1;
  OpenPauseMenu();
  ChoosePauseRow(0);
  EXPECT_TRUE(CloseWasPosted());
  EXPECT_EQ(g_SceneMgr.m_nRequestScene, kSceneStage);  // no scene is asked for
  EXPECT_EQ(m_Harness.Sounds(), (std::vector<int>{1}));
}

// Replay playback with replays in the list: the rows are end, continue, retry, next replay, previous
// replay, replay list.
TEST_F(StageMenusTest, TheReplayEntriesStepThroughTheReplayListOrLeaveForIt) {
  g_ModeIndex = 3;
  g_PlayMode = kPlayModeReplay;
  g_replayListFilled = true;
  struct Case {
    int row;
    const char* call;  // the step asked for, or null
    int32_t phase, request;
  };
  for (const Case& c :
       {Case{3, "step 1 1", kStagePhaseIntro, kSceneStage}, Case{4, "step 1 -1", kStagePhaseIntro, kSceneStage},
        Case{5, nullptr, kStagePhaseFadeOut, kSceneReplayList}}) {
    g_calls.clear();
    g_SceneMgr.m_nRequestScene = kSceneStage;
    Restart();
    OpenPauseMenu();
    ChoosePauseRow(c.row);
    EXPECT_EQ(g_calls, c.call ? std::vector<std::string>{c.call} : std::vector<std::string>{}) << "row " << c.row;
    EXPECT_EQ(Scene().m_nPhase, c.phase) << "row " << c.row;
    EXPECT_EQ(Scene().m_nSubState, 0) << "row " << c.row;
    EXPECT_EQ(g_SceneMgr.m_nRequestScene, c.request) << "row " << c.row;
    EXPECT_EQ(Scene().m_bButtonHold, 1);
    Frame();
  }
}

// ---- The stage end ----

class StageEndTest : public StageMenusTest {
 protected:
  StageEndTest() {
    g_StageFile.m_nStageEndOpt35 = 1;  // the clear banner
    g_StageFile.m_bAutoResultEnd = 0;
    g_RankingOn = 1;
    Scene().ClearStage();
    Scene().m_anRankPlaces.assign(5, -1);
    g_calls.clear();
  }
  // The clear word's draws of this frame: "split D" or "plain", at its place.
  std::string ClearWord() {
    std::string word;
    for (const DDTRACECALL& c : m_Harness.Draws()) {
      if (c.lpSrc != &g_SurfaceData[kWordSheet]) continue;
      const std::vector<double> at(c.adArgs.begin(), c.adArgs.begin() + 4);
      if (at != std::vector<double>{256, 192, 128, 32}) return "elsewhere";
      if (c.strName == "DDBltStripes" && c.adArgs[4] == 4 && c.adArgs[6] == 0 && c.adArgs[7] == 64)
        word += "split " + std::to_string(static_cast<int>(c.adArgs[5]));
      else if (c.strName == "DDBlt" && c.adArgs[4] == 0 && c.adArgs[5] == 64)
        word += "plain";
      else
        word += "other";
    }
    return word;
  }
};

TEST_F(StageEndTest, TheStageClearSetsUpTheDisplay) {
  cHooksGuard<cStageMenuHooks> none(SetStageMenuHooks, cStageMenuHooks());
  g_SaveData.m_bClearCounts = 1;
  g_InputLog.m_bCleared = 0;
  Scene().m_anRankPlaces.assign(5, 0);
  Scene().m_bNewRanking = Scene().m_bRankingDone = 1;
  Scene().m_nPhase = kStagePhasePlay;
  Scene().ClearStage();
  EXPECT_EQ(Scene().m_nPhase, kStagePhaseStageEnd);
  EXPECT_EQ(Scene().m_nSubState, 0);
  EXPECT_EQ(g_InputLog.m_bCleared, 1);
  // Without the stage's results no ranking place is reached.
  EXPECT_EQ(Scene().m_anRankPlaces, std::vector<int32_t>(5, -1));
  EXPECT_EQ(Scene().m_bNewRanking, 0);
  EXPECT_EQ(Scene().m_bRankingDone, 0);

  cHooksGuard<cStageMenuHooks> hooks(SetStageMenuHooks, Recording());
  Scene().ClearStage();
  EXPECT_EQ(g_calls, std::vector<std::string>{"finishStage"});
}

// The counter grows by 4 a frame: the clear word splits in (offset 100 - counter) until 100, then
// stands; from 200 on the totals show and a press of button 1 (not one made earlier) leaves for the
// scene the stage end decides.
TEST_F(StageEndTest, TheClearWordSplitsInAndButton1LeavesOnceTheTotalsShow) {
  Frame();
  EXPECT_TRUE(StageDrawn());
  EXPECT_EQ(ClearWord(), "split 96");
  EXPECT_EQ(LastStageOutcome(), kOutcomeCleared);
  for (int frame = 2; frame <= 24; ++frame) Frame();
  EXPECT_EQ(ClearWord(), "split 4");
  Frame();  // frame 25: counter 100
  EXPECT_EQ(ClearWord(), "plain");
  for (int frame = 26; frame <= 49; ++frame) Frame(0, frame == 30 ? 1 : 0);
  EXPECT_EQ(Scene().m_nPhase, kStagePhaseStageEnd);  // too early a press is not kept
  EXPECT_TRUE(g_calls.empty());
  Frame(0, 1);  // frame 50: counter 200, totals shown; the press is still too early
  EXPECT_EQ(g_calls, std::vector<std::string>{"drawPlayTotals"});
  EXPECT_EQ(g_totalsX, 336);
  EXPECT_EQ(g_totalsY, 224);
  EXPECT_EQ(g_totalsPlaces, Scene().m_anRankPlaces);
  Frame(0, 1);  // held: not a new press
  EXPECT_EQ(Scene().m_nPhase, kStagePhaseStageEnd);
  EXPECT_TRUE(m_Harness.Sounds().empty());
  Frame();
  g_calls.clear();
  Frame(0, 1);
  EXPECT_EQ(m_Harness.Sounds(), std::vector<int>{1});
  EXPECT_EQ(g_calls, std::vector<std::string>{"decideNextScene"});
  EXPECT_EQ(g_SceneMgr.m_nRequestScene, kSceneStageSelect);
  EXPECT_EQ(Scene().m_nPhase, kStagePhaseFadeOut);
  EXPECT_EQ(Scene().m_nSubState, 0);
  EXPECT_EQ(Scene().m_nBannerCounter, 0);
}

TEST_F(StageEndTest, WithoutTheClearBannerTheDisplayIsReadyOnItsSecondFrame) {
  g_StageFile.m_nStageEndOpt35 = 0;
  Frame();
  EXPECT_EQ(ClearWord(), "");
  EXPECT_EQ(g_calls, std::vector<std::string>{"drawPlayTotals"});
  EXPECT_EQ(Scene().m_nPhase, kStagePhaseStageEnd);
  Frame(0, 1);
  EXPECT_EQ(Scene().m_nPhase, kStagePhaseFadeOut);
}

// The automatic end leaves by itself on the 51st frame (clear banner on) or the second (off), without
// totals or ranking hint, and without the pause key.
TEST_F(StageEndTest, TheAutomaticEndLeavesByItself) {
  for (int32_t banner : {1, 0}) {
    g_StageFile.m_nStageEndOpt35 = banner;
    g_StageFile.m_bAutoResultEnd = 1;
    Scene().ClearStage();
    Scene().m_anRankPlaces.assign(5, 0);  // a ranking place: still no hint
    g_calls.clear();
    SetKeyState(VK_SPACE, true);
    const int leaves = banner ? 51 : 2;
    for (int frame = 1; frame < leaves; ++frame) {
      Frame();
      ASSERT_EQ(Scene().m_nPhase, kStagePhaseStageEnd) << "frame " << frame << " banner " << banner;
      EXPECT_TRUE(TextsAt(456).empty());
    }
    Frame();
    EXPECT_EQ(Scene().m_nPhase, kStagePhaseFadeOut) << "banner " << banner;
    EXPECT_EQ(g_calls, std::vector<std::string>{"decideNextScene"}) << "banner " << banner;
    EXPECT_TRUE(m_Harness.Sounds().empty());
    SetKeyState(VK_SPACE, false);
  }
}

// The hint to press F3 takes the test play's caption's place at the bottom, centred
// (320 - 8 characters x 16 / 2 = 256), while a manual ranking entry is open to the play.
TEST_F(StageEndTest, TheRankingHintShowsWhileAManualEntryIsOpen) {
  g_TestPlay = 1;
  struct Case {
    const char* what;
    int32_t place, option, done, returnToTitle;
    bool hint;
  };
  const Case cases[] = {
      {"a place, entry by hand with a name", 0, 0, 0, 0, true},
      {"a place, entry by hand, fixed name", 3, 1, 0, 0, true},
      {"no place", -1, 0, 0, 0, false},
      {"automatic entry", 0, 2, 0, 0, false},
      {"already entered", 0, 0, 1, 0, false},
      {"going back to the title", 0, 0, 0, 1, false},
  };
  for (const Case& c : cases) {
    Scene().m_anRankPlaces.assign(5, -1);
    Scene().m_anRankPlaces[4] = c.place;
    g_OptionData.m_nRankingEntry = c.option;
    Scene().m_bRankingDone = c.done;
    g_ReturnToTitle = c.returnToTitle;
    Frame();
    const auto bottom = TextsAt(456);
    ASSERT_EQ(bottom.size(), 1u) << c.what;
    if (c.hint)
      EXPECT_EQ(bottom[0], (std::pair<double, std::string>{256, "PRESS F3"})) << c.what;
    else
      EXPECT_EQ(bottom[0].second, "TESTPLAY") << c.what;
    EXPECT_TRUE(StageDrawn()) << c.what;
  }
}

TEST_F(StageEndTest, F3EntersAManualRankingAndButton1AnAutomaticOne) {
  g_RankingOn = 0;  // the recorder below does not ask it; no totals among the calls
  Scene().m_anRankPlaces.assign(5, -1);
  Scene().m_anRankPlaces[0] = 2;
  Scene().m_bNewRanking = 1;
  struct Case {
    int32_t option;
    std::vector<std::string> onF3;
    std::vector<int> sounds;  // when leaving
  };
  for (const Case& c :
       {Case{0, {"registerRanking"}, {1}}, Case{1, {"registerRanking"}, {1}}, Case{2, {}, {}}, Case{3, {}, {}}}) {
    g_OptionData.m_nRankingEntry = c.option;
    Scene().ClearStage();
    Scene().m_anRankPlaces[0] = 2;
    Scene().m_bNewRanking = 1;
    for (int frame = 0; frame < 60; ++frame) Frame();
    g_calls.clear();
    SetKeyState(VK_F3, true);
    Frame();
    SetKeyState(VK_F3, false);
    EXPECT_EQ(g_calls, c.onF3) << "option " << c.option;
    g_calls.clear();
    m_Harness.ClearTraces();
    Frame(0, 1);
    std::vector<std::string> leaving = {"decideNextScene"};
    if (c.option >= 2) leaving.insert(leaving.begin(), "registerRanking");
    EXPECT_EQ(g_calls, leaving) << "option " << c.option;
    EXPECT_EQ(m_Harness.Sounds(), c.sounds) << "option " << c.option;
  }
}

TEST_F(StageEndTest, ThePauseKeyOpensThePauseMenuOverTheDisplay) {
  for (int frame = 0; frame < 10; ++frame) Frame();
  SetKeyState(VK_SPACE, true);
  Frame();
  SetKeyState(VK_SPACE, false);
  EXPECT_EQ(Scene().m_nPhase, kStagePhasePauseMenu);
  EXPECT_EQ(Scene().m_nSavedPhase, kStagePhaseStageEnd);
  EXPECT_EQ(Scene().m_nSavedSubState, 1);
  EXPECT_EQ(m_Harness.Sounds(), std::vector<int>{4});
  Frame();
  Frame(0, 2);
  EXPECT_EQ(Scene().m_nPhase, kStagePhaseStageEnd);
  EXPECT_EQ(Scene().m_nBannerCounter, 40);  // the display goes on where it was
}

TEST_F(StageEndTest, ATestPlayEndsWithTheDisplay) {
  g_TestPlay = g_DirectPlay = 1;
  Frame();
  Frame();
  EXPECT_EQ(Scene().m_nPhase, kStagePhaseStageEnd);
  g_StageFile.m_bAutoResultEnd = 1;
  for (int frame = 0; frame < 60 && !Scene().m_bClosing; ++frame) Frame();
  EXPECT_EQ(Scene().m_bClosing, 1);
  EXPECT_TRUE(CloseWasPosted());
  EXPECT_EQ(LastStageOutcome(), kOutcomeCleared);
}

// ---- The continue menu ----

// "YES" and "NO" with the cursor column: 4 columns wide, centred on 320 at x 288, from y 272.
TEST_F(StageMenusTest, TheContinueMenuRetriesOrLeavesForTheWorldMap) {
  Scene().m_nPhase = kStagePhaseContinueMenu;
  Scene().m_nSubState = 0;
  // The menu font's box picture, to see the menu's box drawn.
  DDSURFACEDATA* skin = &g_SurfaceData[kAccessorySheet + 1];
  g_Font[1].m_lpSkin = skin;
  Frame();
  g_Font[1].m_lpSkin = nullptr;
  EXPECT_TRUE(StageDrawn());
  std::vector<std::vector<double>> boxes;
  for (const DDTRACECALL& c : DrawsNamed("DDBlt"))
    if (c.lpSrc == skin) boxes.push_back({c.adArgs[0], c.adArgs[1], c.adArgs[2], c.adArgs[3]});
  EXPECT_EQ(boxes, (std::vector<std::vector<double>>{{288, 272, 64, 32}}));
  EXPECT_EQ(TextsAt(272), (std::vector<std::pair<double, std::string>>{{288, " YES\n NO\n"}}));
  EXPECT_EQ(Cursors(), (std::vector<std::vector<double>>{{288, 272, 16, 16, 64, 0}}));
  Frame(kDirDown);
  EXPECT_EQ(Cursors(), (std::vector<std::vector<double>>{{288, 288, 16, 16, 64, 0}}));
  Frame();
  Frame(kDirDown);  // two rows: back to the first
  EXPECT_EQ(g_MenuCursor.Top().nRow, 0);
  Frame(0, 2);  // no cancel here
  EXPECT_EQ(Scene().m_nPhase, kStagePhaseContinueMenu);

  Scene().m_nFrameCount = 30;
  Frame();
  Frame(0, 1);  // yes: the stage again
  EXPECT_EQ(Scene().m_nPhase, kStagePhaseIntro);
  EXPECT_EQ(Scene().m_nSubState, 0);
  EXPECT_EQ(Scene().m_nFrameCount, 0);
  EXPECT_EQ(m_Harness.Sounds(), std::vector<int>{1});

  Scene().m_nPhase = kStagePhaseContinueMenu;
  Scene().m_nSubState = 0;
  g_SaveData.m_bLeftStage = 0;
  Frame();
  Move(kDirDown);
  Frame(0, 1);  // no: the world map
  EXPECT_EQ(Scene().m_nPhase, kStagePhaseFadeOut);
  EXPECT_EQ(Scene().m_nSubState, 0);
  EXPECT_EQ(g_SceneMgr.m_nRequestScene, kSceneWorldMap);
  EXPECT_EQ(g_SaveData.m_bLeftStage, 1);
  EXPECT_EQ(m_Harness.Sounds(), std::vector<int>{1});
}

// ---- Game over ----

TEST_F(StageMenusTest, GameOverShowsItsWordByTheStageAndLeavesForTheTitle) {
  for (int32_t banner : {1, 0}) {
    g_StageFile.m_bKeyWaitCaption = banner;
    Scene().m_nPhase = kStagePhaseGameOver;
    Scene().m_nSubState = 0;
    Frame();
    EXPECT_TRUE(StageDrawn());
    const std::vector<std::vector<double>> word = {{248, 224, 144, 32, 0, 96}};
    EXPECT_EQ(Blits(kWordSheet), banner ? word : std::vector<std::vector<double>>{}) << "banner " << banner;
  }
  // A button held down when the display began leaves it at once: no press is waited for.
  g_SceneMgr.m_nRequestScene = kSceneStage;
  Frame(0, 1);
  EXPECT_EQ(Scene().m_nPhase, kStagePhaseFadeOut);
  EXPECT_EQ(g_SceneMgr.m_nRequestScene, kSceneTitle);
  EXPECT_EQ(m_Harness.Sounds(), std::vector<int>{1});
}

TEST_F(StageMenusTest, ThePauseKeyOpensThePauseMenuOverGameOver) {
  Scene().m_nPhase = kStagePhaseGameOver;
  Scene().m_nSubState = 0;
  Frame();
  OpenPauseMenu();
  EXPECT_EQ(Scene().m_nSavedPhase, kStagePhaseGameOver);
  Frame(0, 2);
  EXPECT_EQ(Scene().m_nPhase, kStagePhaseGameOver);
}

}  // namespace
