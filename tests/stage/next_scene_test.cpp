// What follows a cleared stage, per play mode: the hero's status carried over, the next numbered
// stage loaded in place (story, challenge, free play), the story slot saved, the world flag and the
// stage result stored and the world entry's ending (story), the challenge record and file
// (challenge), the same stage again (free play), and replay playback stepping through the replay
// list, wrapping round and skipping replays whose file has gone.
#include "stage/next_scene.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/file_helpers.h"
#include "core/log.h"
#include "data/game_data.h"
#include "data/input_log.h"
#include "data/option_data.h"
#include "data/replay_file.h"
#include "data/save_data.h"
#include "data/stage_data.h"
#include "data/story_slots.h"
#include "data/system_data.h"
#include "shell/app_globals.h"
#include "shell/list_positions.h"
#include "shell/menu_cursor.h"
#include "shell/scene_mgr.h"
#include "stage/replay_play.h"
#include "stage/scene_stage.h"
#include "stage/stage_end.h"
#include "stage/stage_loading.h"
#include "stage/stage_menus.h"
#include "stage/stage_play_hooks.h"
#include "stage_files.h"
#include "test_support/hooks_guard.h"
#include "test_support/stage_play_harness.h"

namespace {

namespace fs = std::filesystem;

// The numbered stages of world 5: c05-1 is played; c05-2 follows when its file exists.
constexpr const char* kStageKey = "data\\stg4\\c05.";
constexpr const char* kResultKey = "data\\stg4\\c05_c007_2.";
constexpr const char* kNextStageFile = "data\\stg4\\c05-2.stg4_000";
// The width of the next stage, which the stage played (10 columns) does not have.
constexpr int kNextStageWidth = 7;

// A cleared stage in a scratch game folder, with a progress standing on numbered stage 1 of world 5
// whose clear command chose stage 2.
class NextSceneTest : public testing::Test {
 protected:
  NextSceneTest()
      : m_Plugins(SetHarnessPlugins, WithStagePlay(CurrentHarnessPlugins())),
        m_Harness(StageSetup()),
        m_OldReplayList(g_ReplayList),
        m_nOldCursor(g_ReplayData.m_nCursor),
        m_strOldReplayName(g_ReplayData.m_strFileName),
        m_nOldRow(g_MenuCursor.Top().nRow) {
    fs::create_directories("user_data/story");
    fs::create_directories("user_data/challenge");
    fs::create_directories("user_data/rpl4");
    TakeStageSettingsCopy();
    g_HeroType = g_StageFile.m_aCharas[static_cast<size_t>(HeroTypeIndex(g_StageFile))];
    g_DirectPlay = g_TestPlay = 0;
    g_bReplaySwitched = 0;
    g_StageFile.m_bCarryOver = 0;
    g_StagePath = "data\\stg4\\c05-1.stg4_000";
    g_SaveData.SetCurrentStage(g_StagePath, 1, 7, 2);
    g_SaveData.m_nWorld = 5;
    g_SaveData.m_nStage = 1;
    g_SaveData.m_nNextStage = 2;
    g_SaveData.m_nScoreTotal = 800;
    g_InputLog.RecordInputFrame(6, 1);
    g_PrevInputLog.RecordInputFrame(4, 0);
    g_ReplayList.clear();
    g_ReplayData.m_nCursor = 0;
    g_ReplayData.m_strFileName.clear();
  }
  ~NextSceneTest() override {
    g_DirectPlay = g_TestPlay = 0;
    g_bReplaySwitched = 0;
    g_ReplayList = m_OldReplayList;
    g_ReplayData.m_nCursor = m_nOldCursor;
    g_ReplayData.m_strFileName = m_strOldReplayName;
    g_MenuCursor.Top().nRow = m_nOldRow;
  }
  static cHarnessSetup StageSetup() {
    cHarnessSetup setup;
    setup.map = {"..........", ".H........", "##########"};
    setup.makeStage = [] { return std::unique_ptr<cStageState>(new cSceneStage); };
    setup.addStandIns = AddStagePlayServices;
    return setup;
  }
  cSceneStage& Scene() { return static_cast<cSceneStage&>(m_Harness.Stage()); }

  // Numbered stage 2 of world 5 in the stage folder.
  void WriteNextStage() {
    cStageBytes s = SmallStage(kNextStageWidth);
    s.name = "second";
    m_Folder.Stage("c05-2.stg4_000", StageFile(986, s));
  }
  static bool LogsEmpty() { return g_InputLog.m_anDirStates.empty() && g_PrevInputLog.m_anDirStates.empty(); }

  cGameFolder m_Folder;
  cHooksGuard<cHarnessPlugins> m_Plugins;
  cStageHarness m_Harness;
  std::vector<cReplayListEntry> m_OldReplayList;
  int32_t m_nOldCursor;
  std::string m_strOldReplayName;
  int32_t m_nOldRow;
};

// The file of the next numbered stage: the stage key's "-n" stage or the next stage path the clear
// command named, always its newest "_NNN" variant; none without a numbered stage or a next number.
TEST_F(NextSceneTest, TheNextStageIsTheNewestVariantOfItsFile) {
  struct Case {
    const char* what;
    int32_t numbered, next;
    const char* nextPath;
    std::vector<const char*> files;  // in data\stg4
    int n, keep;
    int answer;
    const char* out;
  };
  const Case cases[] = {
      {"not a numbered stage", 0, 2, "", {"c05-2.stg4_000"}, 2, 1, 0, ""},
      {"no next number", 1, 0, "", {"c05-2.stg4_000"}, 2, 1, 0, ""},
      {"the stage key's stage n", 1, 2, "", {"c05-2.stg4_000"}, 2, 0, 1, "data\\stg4\\c05-2.stg4_000"},
      {"the newest variant", 1, 2, "", {"c05-2.stg4_001", "c05-2.stg4_010"}, 2, 0, 1, "data\\stg4\\c05-2.stg4_010"},
      {"n names the stage", 1, 2, "", {"c05-3.stg4_000"}, 3, 0, 1, "data\\stg4\\c05-3.stg4_000"},
      {"a file without a variant number", 1, 2, "", {"c05-2.stg4"}, 2, 1, 0, "data\\stg4\\c05-2.stg4"},
      {"none, the path kept", 1, 2, "", {}, 2, 1, 0, "data\\stg4\\c05-2.stg4"},
      {"none", 1, 2, "", {}, 2, 0, 0, ""},
      {"the next stage path",
       1,
       2,
       "data\\stg4\\bonus",
       {"bonus.stg4_004", "c05-2.stg4_000"},
       2,
       0,
       1,
       "data\\stg4\\bonus.stg4_004"},
      {"the next stage path missing, kept",
       1,
       2,
       "data\\stg4\\bonus",
       {"c05-2.stg4_000"},
       2,
       1,
       0,
       "data\\stg4\\bonus.stg4"},
  };
  for (const Case& c : cases) {
    fs::remove_all("data/stg4");
    fs::create_directories("data/stg4");
    for (const char* file : c.files) WriteBytes(fs::path("data/stg4") / file, {'x'});
    g_SaveData.m_bNumberedStage = c.numbered;
    g_SaveData.m_nNextStage = c.next;
    g_SaveData.m_strNextStagePath = c.nextPath;
    std::string out = "left over";
    EXPECT_EQ(BuildNextStagePath(out, c.n, c.keep), c.answer) << c.what;
    EXPECT_EQ(out, c.out) << c.what;
    EXPECT_EQ(IsLastStage(c.n), c.answer ? 0 : 1) << c.what;
  }
  g_SaveData.m_strNextStagePath.clear();
}

// Story play with the next numbered stage there: it is loaded in place and the stage scene goes on;
// the play saves itself into its slot only when both the clear command and the player ask for it.
TEST_F(NextSceneTest, StoryLoadsTheNextNumberedStageInPlace) {
  WriteNextStage();
  struct Case {
    int32_t saveOnClear, autoSave;
    bool saved;
  };
  for (const Case& c : {Case{0, 0, false}, Case{1, 0, false}, Case{0, 1, false}, Case{1, 1, true}}) {
    const std::string what =
        "clear save " + std::to_string(c.saveOnClear) + ", auto-save " + std::to_string(c.autoSave);
    fs::remove("user_data/story/Story05.dat");
    g_PlayMode = kPlayModeStoryContinue;
    g_SaveData.m_nStage = 1;
    g_SaveData.m_nStorySlot = 4;
    g_SaveData.m_bAutoSave = c.autoSave;
    Scene().m_bSaveOnClear = c.saveOnClear;
    g_InputLog.RecordInputFrame(6, 1);
    g_PrevInputLog.RecordInputFrame(4, 0);
    g_StagePath = "data\\stg4\\c05-1.stg4_000";
    g_StageFile.m_nWidth = 10;

    EXPECT_EQ(DecideNextScene(Scene()), kSceneStage) << what;
    EXPECT_EQ(g_SaveData.m_nStage, 2) << what;
    EXPECT_EQ(g_StagePath, kNextStageFile) << what;
    EXPECT_EQ(g_StageFile.m_nWidth, kNextStageWidth) << what;
    EXPECT_EQ(g_StageData.m_nWidth, kNextStageWidth) << what;
    EXPECT_TRUE(LogsEmpty()) << what;
    // The world is not finished yet: no world flag, no stored result.
    EXPECT_EQ(g_SaveData.m_anWorldFlags[5], 0) << what;
    EXPECT_TRUE(g_SaveData.m_aStageResults.empty()) << what;
    EXPECT_EQ(fs::exists("user_data/story/Story05.dat"), c.saved) << what;
    if (c.saved) {
      cSaveData slot;
      ASSERT_EQ(slot.LoadStorySlot(4), 1);
      EXPECT_EQ(slot.m_nStage, 2) << "the slot resumes at the next stage";
    }
  }
  EXPECT_TRUE(m_Folder.Boxes().empty()) << testing::PrintToString(m_Folder.Boxes());
}

// A progress without a story slot (auto-save set by a damaged or foreign file) has nowhere to save
// itself: the next stage plays on and nothing stops.
TEST_F(NextSceneTest, AStoryWithoutASlotGoesOnWithoutSaving) {
  WriteNextStage();
  g_PlayMode = kPlayModeStoryNew;
  g_SaveData.m_nStorySlot = -1;
  g_SaveData.m_bAutoSave = 1;
  Scene().m_bSaveOnClear = 1;
  EXPECT_EQ(DecideNextScene(Scene()), kSceneStage);
  EXPECT_EQ(g_SaveData.m_nStage, 2);
  EXPECT_EQ(g_bQuit.load(), 0);
  EXPECT_TRUE(fs::is_empty("user_data/story"));
}

// Story play without a next numbered stage (none chosen, its file missing, or a file that does not
// load): the world is cleared, the score total stored as the stage's result, and the world entry's
// ending decides: the next round on the world map, the title, or the world map.
TEST_F(NextSceneTest, StoryWithoutANextStageFinishesTheWorld) {
  g_WorldMap.m_nStartX = 4;
  g_WorldMap.m_nStartY = 6;
  struct Case {
    const char* what;
    int32_t numbered, ending;
    const char* nextFile;  // written as stage 2 (null: none)
    int scene;
    int32_t worldFlag, round, mapX;
    bool boxShown;
  };
  const Case cases[] = {
      {"no next stage chosen, ending 0", 0, 0, nullptr, kSceneWorldMap, 1, 0, 1, false},
      {"next stage missing, ending 0", 1, 0, nullptr, kSceneWorldMap, 1, 0, 1, false},
      {"next stage does not load, ending 3", 1, 3, "x", kSceneWorldMap, 1, 0, 1, true},
      {"next round", 1, 1, nullptr, kSceneWorldMap, 0, 1, 4, false},
      {"end of the game", 1, 2, nullptr, kSceneTitle, 1, 0, 1, false},
  };
  for (const Case& c : cases) {
    fs::remove_all("data/stg4");
    fs::create_directories("data/stg4");
    if (c.nextFile) WriteBytes("data/stg4/c05-2.stg4_000", {'x'});
    g_PlayMode = kPlayModeStoryContinue;
    g_MenuCursor.Top().nRow = 0;
    g_SaveData.m_bNumberedStage = c.numbered;
    g_SaveData.m_nWorldEnding = c.ending;
    g_SaveData.m_nStage = 1;
    g_SaveData.m_nGameRound = 0;
    g_SaveData.m_nMapX = g_SaveData.m_nMapY = 1;
    g_SaveData.m_anWorldFlags.assign(kWorldFlagCount, 0);
    g_SaveData.m_anWorldFlags[0] = 1;
    g_SaveData.m_aStageResults.clear();
    g_SaveData.m_nResultTotal = 100;
    g_SaveData.m_nStorySlot = 4;
    g_SaveData.m_bAutoSave = 1;
    Scene().m_bSaveOnClear = 1;
    const size_t boxes = m_Folder.Boxes().size();

    EXPECT_EQ(DecideNextScene(Scene()), c.scene) << c.what;
    EXPECT_EQ(g_SaveData.m_anWorldFlags[5], c.worldFlag) << c.what;
    EXPECT_EQ(g_SaveData.m_anWorldFlags[0], 1) << c.what;
    EXPECT_EQ(g_SaveData.m_nGameRound, c.round) << c.what;
    EXPECT_EQ(g_SaveData.m_nMapX, c.mapX) << c.what;
    EXPECT_EQ(g_SaveData.m_nMapY, c.round ? 6 : 1) << c.what;
    ASSERT_EQ(g_SaveData.m_aStageResults.size(), 1u) << c.what;
    const cStageResult& result = g_SaveData.m_aStageResults[0];
    EXPECT_EQ(result.m_strName, kStageKey) << c.what;
    EXPECT_EQ(result.m_strKey, kResultKey) << c.what;
    EXPECT_EQ(result.m_nBest, 800) << c.what;
    EXPECT_EQ(g_SaveData.m_nResultTotal, 900) << c.what;
    if (c.scene == kSceneWorldMap) { EXPECT_EQ(g_SaveData.m_nStage, 1) << c.what << ": the stage number is put back"; }
    if (c.scene == kSceneTitle) { EXPECT_EQ(g_MenuCursor.Top().nRow, kPlayModeStoryContinue) << c.what; }
    EXPECT_EQ(m_Folder.Boxes().size() > boxes, c.boxShown) << c.what;
    // Only a stage that follows saves the slot.
    EXPECT_FALSE(fs::exists("user_data/story/Story05.dat")) << c.what;
    EXPECT_FALSE(LogsEmpty()) << c.what;
  }
}

TEST_F(NextSceneTest, AStoryResultKeepsTheBestScoreOfTheStage) {
  g_PlayMode = kPlayModeStoryNew;
  g_SaveData.m_bNumberedStage = 0;
  g_SaveData.m_nResultTotal = 0;
  g_SaveData.StoreStageResult(kStageKey, kResultKey, 1, 7, 2, 1000);
  EXPECT_EQ(DecideNextScene(Scene()), kSceneWorldMap);
  EXPECT_EQ(g_SaveData.m_aStageResults.size(), 1u);
  EXPECT_EQ(g_SaveData.m_aStageResults[0].m_nBest, 1000) << "800 does not beat 1000";
  EXPECT_EQ(g_SaveData.m_nResultTotal, 1000);
  g_SaveData.m_nScoreTotal = 1300;
  EXPECT_EQ(DecideNextScene(Scene()), kSceneWorldMap);
  EXPECT_EQ(g_SaveData.m_aStageResults[0].m_nBest, 1300);
  EXPECT_EQ(g_SaveData.m_nResultTotal, 1300);
}

// Challenge play: the next numbered stage as in story play (no slot save); at the end of the
// challenge its record is cleared and keeps the better score total (the result total grows by the
// gain), the challenge after it opens up to the project's count, the challenge file is written and
// the stage select follows.
TEST_F(NextSceneTest, ChallengeRecordsTheClearAndWritesTheChallengeFile) {
  g_SystemData.m_nSaveVarCount = 3;
  struct Case {
    const char* what;
    int32_t world, unlocked, best;
    int32_t bestAfter, resultTotalAfter, unlockedAfter;
  };
  const Case cases[] = {
      {"a better score opens the next challenge", 2, 2, 500, 800, 400, 3},
      {"a worse score keeps the best", 2, 3, 900, 900, 100, 3},
      {"the last challenge opens no further one", 3, 3, 0, 800, 900, 3},
      {"an earlier challenge leaves a later opening", 1, 3, 0, 800, 900, 3},
  };
  for (const Case& c : cases) {
    fs::remove("user_data/challenge/Challenge.dat");
    g_PlayMode = kPlayModeChallenge;
    g_SaveData.m_bNumberedStage = 1;  // stage 2 is chosen, but its file is missing
    g_SaveData.m_nStage = 1;
    g_SaveData.m_nWorld = c.world;
    g_SaveData.m_nChallengeUnlocked = c.unlocked;
    g_SaveData.m_aChallenge.assign(3, cSaveVar());
    g_SaveData.m_aChallenge[static_cast<size_t>(c.world - 1)].m_nValueB = c.best;
    g_SaveData.m_nResultTotal = 100;

    EXPECT_EQ(DecideNextScene(Scene()), kSceneStageSelect) << c.what;
    const cSaveVar& record = g_SaveData.m_aChallenge[static_cast<size_t>(c.world - 1)];
    EXPECT_EQ(record.m_nValueA, 1) << c.what;
    EXPECT_EQ(record.m_nValueB, c.bestAfter) << c.what;
    EXPECT_EQ(g_SaveData.m_nResultTotal, c.resultTotalAfter) << c.what;
    EXPECT_EQ(g_SaveData.m_nChallengeUnlocked, c.unlockedAfter) << c.what;
    EXPECT_EQ(g_SaveData.m_nStage, 1) << c.what;
    cSaveData written;
    ASSERT_EQ(written.LoadChallengeData(), 1) << c.what;
    ASSERT_EQ(written.m_aChallenge.size(), 3u) << c.what;
    EXPECT_EQ(written.m_aChallenge[static_cast<size_t>(c.world - 1)].m_nValueA, 1) << c.what;
    EXPECT_EQ(written.m_aChallenge[static_cast<size_t>(c.world - 1)].m_nValueB, c.bestAfter) << c.what;
    EXPECT_EQ(written.m_nChallengeUnlocked, c.unlockedAfter) << c.what;
  }
}

TEST_F(NextSceneTest, AChallengeWithoutRecordsStillOpensTheNextAndIsWritten) {
  g_SystemData.m_nSaveVarCount = 3;
  g_PlayMode = kPlayModeChallenge;
  g_SaveData.m_nWorld = 2;
  g_SaveData.m_nChallengeUnlocked = 2;
  g_SaveData.m_aChallenge.clear();
  EXPECT_EQ(DecideNextScene(Scene()), kSceneStageSelect);
  EXPECT_EQ(g_SaveData.m_nChallengeUnlocked, 3);
  cSaveData written;
  ASSERT_EQ(written.LoadChallengeData(), 1);
  EXPECT_EQ(written.m_nChallengeUnlocked, 3);
}

// A world number from a progress file that indexes no world flag or challenge record is a range
// error: reported, and the program stops; nothing outside the lists is written.
TEST_F(NextSceneTest, AWorldNumberOutsideTheProgressListsStopsTheProgram) {
  g_SystemData.m_nSaveVarCount = 3;
  for (int mode : {kPlayModeStoryNew, kPlayModeChallenge}) {
    g_PlayMode = mode;
    g_SaveData.m_bNumberedStage = 0;
    g_SaveData.m_nWorld = mode == kPlayModeChallenge ? 4 : kWorldFlagCount;
    g_SaveData.m_aChallenge.assign(3, cSaveVar());
    m_Harness.ExpectFatalStop();
    DecideNextScene(Scene());
    EXPECT_EQ(g_bQuit.load(), 1) << mode;
    EXPECT_EQ(g_SaveData.m_anWorldFlags.size(), static_cast<size_t>(kWorldFlagCount)) << mode;
    EXPECT_EQ(g_SaveData.m_aChallenge.size(), 3u) << mode;
    EXPECT_FALSE(fs::exists("user_data/challenge/Challenge.dat")) << "no file is written after a fatal stop";
    g_bQuit = 0;
  }
}

TEST_F(NextSceneTest, AChallengeGoesOnToItsNextNumberedStage) {
  WriteNextStage();
  g_SystemData.m_nSaveVarCount = 3;
  g_PlayMode = kPlayModeChallenge;
  g_SaveData.m_nWorld = 2;
  g_SaveData.m_nChallengeUnlocked = 2;
  g_SaveData.m_aChallenge.assign(3, cSaveVar());
  g_SaveData.m_nStorySlot = 4;
  g_SaveData.m_bAutoSave = 1;
  Scene().m_bSaveOnClear = 1;
  EXPECT_EQ(DecideNextScene(Scene()), kSceneStage);
  EXPECT_EQ(g_SaveData.m_nStage, 2);
  EXPECT_EQ(g_StageFile.m_nWidth, kNextStageWidth);
  EXPECT_TRUE(LogsEmpty());
  // The challenge is not over yet.
  EXPECT_EQ(g_SaveData.m_aChallenge[1].m_nValueA, 0);
  EXPECT_EQ(g_SaveData.m_nChallengeUnlocked, 2);
  EXPECT_FALSE(fs::exists("user_data/challenge/Challenge.dat"));
  EXPECT_FALSE(fs::exists("user_data/story/Story05.dat"));
}

// Free play: a numbered stage goes on to the next one or back to the title; a stage file of its own,
// and any stage started directly, plays again with the hero at its own placement.
TEST_F(NextSceneTest, FreePlayGoesOnToTheNextNumberedStageOrPlaysTheStageAgain) {
  struct Case {
    const char* what;
    int32_t numbered, direct;
    bool nextExists;
    int scene;
    int32_t stageAfter, placeRequestAfter;
    bool loaded;
  };
  const Case cases[] = {
      {"numbered, next there", 1, 0, true, kSceneStage, 2, 1, true},
      {"numbered, no next", 1, 0, false, kSceneTitle, 1, 1, false},
      {"a stage file of its own", 0, 0, true, kSceneStage, 1, 0, false},
      {"numbered, started directly", 1, 1, true, kSceneStage, 1, 0, false},
  };
  for (const Case& c : cases) {
    fs::remove_all("data/stg4");
    fs::create_directories("data/stg4");
    if (c.nextExists) WriteNextStage();
    g_PlayMode = kPlayModeFree;
    g_DirectPlay = c.direct;
    g_SaveData.m_bNumberedStage = c.numbered;
    g_SaveData.m_nStage = 1;
    g_SaveData.m_bPlaceRequest = 1;
    g_StagePath = "data\\stg4\\c05-1.stg4_000";
    g_StageFile.m_nWidth = 10;
    g_InputLog.RecordInputFrame(6, 1);
    g_PrevInputLog.RecordInputFrame(4, 0);

    EXPECT_EQ(DecideNextScene(Scene()), c.scene) << c.what;
    EXPECT_EQ(g_SaveData.m_nStage, c.stageAfter) << c.what;
    EXPECT_EQ(g_SaveData.m_bPlaceRequest, c.placeRequestAfter) << c.what;
    EXPECT_EQ(g_StageFile.m_nWidth, c.loaded ? kNextStageWidth : 10) << c.what;
    EXPECT_EQ(LogsEmpty(), c.loaded) << c.what;
    // Free play keeps no progress files.
    EXPECT_FALSE(fs::exists("user_data/challenge/Challenge.dat")) << c.what;
    EXPECT_EQ(g_SaveData.m_anWorldFlags[5], 0) << c.what;
  }
}

TEST_F(NextSceneTest, AnyOtherPlayModeGoesToTheStageSelect) {
  g_PlayMode = 7;
  EXPECT_EQ(DecideNextScene(Scene()), kSceneStageSelect);
  EXPECT_EQ(g_SaveData.m_nStage, 1);
}

// The hero's status is carried over only from a stage that carries it: HP, the running character
// effect, the remaining time, the lives and the music, as far as the project enables the items.
TEST_F(NextSceneTest, TheHerosStatusIsCarriedOverWhenTheStageCarriesIt) {
  constexpr int kItemEffect = 4, kItemHp = 11, kItemSp = 12, kItemTime = 22, kItemLives = 23, kItemMusic = 24;
  g_SystemData.m_abCarryOver.assign(kCarryOverItems, 0);
  for (int item : {kItemEffect, kItemHp, kItemTime, kItemLives, kItemMusic})
    g_SystemData.m_abCarryOver[static_cast<size_t>(item)] = 1;
  for (int32_t carry : {0, 1}) {
    g_PlayMode = kPlayModeFree;
    g_SaveData.m_bNumberedStage = 0;
    g_SaveData.m_bCarryOverValid = 0;
    g_SaveData.m_abCarryStored.assign(kCarryOverItems, 0);
    g_SaveData.m_aCarryOver.assign(1, cSaveHero());
    g_SaveData.m_nLives = 4;
    g_SaveData.m_nBgm = 9;
    g_StageFile.m_bCarryOver = carry;
    Scene().m_nTimer = 55;
    cHero& hero = m_Harness.Hero();
    hero.m_nHp = 7;
    hero.m_nSp = 3;
    hero.m_CharaEffect.nEffect = 12;
    hero.m_CharaEffect.nPlayMode = 2;
    hero.m_CharaEffect.bLoop = 0;

    EXPECT_EQ(DecideNextScene(Scene()), kSceneStage);
    const cSaveHero& slot = g_SaveData.m_aCarryOver[0];
    EXPECT_EQ(g_SaveData.m_bCarryOverValid, carry);
    EXPECT_EQ(slot.m_nItem11, carry ? 7 : 0);
    EXPECT_EQ(slot.m_nItem12, 0) << "SP is not enabled";
    EXPECT_EQ(g_SaveData.m_abCarryStored[kItemSp], 0);
    EXPECT_EQ(slot.m_nTimeLimit, carry ? 55 : 0);
    EXPECT_EQ(slot.m_nProgress, carry ? 4 : 0);
    EXPECT_EQ(slot.m_nBgm, carry ? 9 : 0);
    EXPECT_EQ(slot.m_CharaType.m_nCharaEffect, carry ? 12 : cCharaType().m_nCharaEffect);
    EXPECT_EQ(slot.m_CharaType.m_nCharaEffectOptA, carry ? 2 : cCharaType().m_nCharaEffectOptA);
    EXPECT_EQ(slot.m_CharaType.m_nCharaEffectOptB, carry ? 0 : cCharaType().m_nCharaEffectOptB);
    for (int item : {kItemEffect, kItemHp, kItemTime, kItemLives, kItemMusic})
      EXPECT_EQ(g_SaveData.m_abCarryStored[static_cast<size_t>(item)], carry) << "item " << item;
  }
}

// Replay playback through a list of three replays whose stages differ in their time limit, in the
// scratch game folder's replay folder.
class ReplayStepTest : public NextSceneTest {
 protected:
  ReplayStepTest() {
    g_PlayMode = kPlayModeReplay;
    for (int i = 0; i < 3; ++i) {
      g_StageData.m_nTimeLimit = kTimeLimits[i];
      cInputLog log;
      log.RecordInputFrame(static_cast<int16_t>(i + 1), 0);
      const std::string path = std::string(kReplayFolder) + kNames[i];
      EXPECT_EQ(SaveReplayFile(path.c_str(), log, g_StageFile, g_StageData, g_SaveData), 1);
      g_ReplayList.push_back({kNames[i], std::string("title ") + kNames[i]});
    }
    g_StageData.m_nTimeLimit = 999;
    g_StagePath = std::string(kReplayFolder) + kNames[0];
    ToFullPathStr(g_StagePath);
  }
  static void Remove(int i) { fs::remove(fs::path("user_data/rpl4") / kNames[i]); }
  // The replay now played, by its file's place in the list (-1: another file).
  static int Played() {
    for (int i = 0; i < 3; ++i) {
      std::string path = std::string(kReplayFolder) + kNames[i];
      ToFullPathStr(path);
      if (g_StagePath == path) return i;
    }
    return -1;
  }
  static constexpr const char* kNames[3] = {"a.rpl4_986", "b.rpl4_986", "c.rpl4_986"};
  static constexpr int32_t kTimeLimits[3] = {101, 102, 103};
};

TEST_F(ReplayStepTest, TheStepWrapsRoundTheListAndSkipsReplaysThatHaveGone) {
  struct Case {
    const char* what;
    int32_t order, explicitStep, step, cursor;
    std::vector<bool> exists;  // per replay of the list
    int32_t cursorAfter;
  };
  const std::vector<bool> all{true, true, true};
  const Case cases[] = {
      {"list order", 0, 0, 0, 0, all, 1},
      {"list order, cleared plays only", 1, 0, 0, 1, all, 2},
      {"the option's step, not the argument's", 0, 0, -1, 1, all, 2},
      {"past the end to the first", 0, 0, 0, 2, all, 0},
      {"the next replay", 2, 1, 1, 0, all, 1},
      {"the previous replay", 0, 1, -1, 1, all, 0},
      {"below the first to the last", 0, 1, -1, 0, all, 2},
      {"a replay that has gone is skipped", 0, 0, 0, 0, {true, false, true}, 2},
      {"skipped backwards round the start", 0, 1, -1, 1, {false, true, true}, 2},
      {"round the whole list to the replay played", 0, 1, 1, 0, {true, false, false}, 0},
      {"a position outside the list starts again at its start", 0, 1, 1, 40, all, 0},
      {"a position below the list starts again at its end", 0, 1, -1, -7, all, 2},
      {"the largest position does not overflow", 0, 1, 1, INT32_MAX, all, 0},
  };
  for (const Case& c : cases) {
    for (int i = 0; i < 3; ++i) {
      Remove(i);
      if (!c.exists[static_cast<size_t>(i)]) continue;
      g_StageData.m_nTimeLimit = kTimeLimits[i];
      cInputLog log;
      log.RecordInputFrame(static_cast<int16_t>(i + 1), 0);
      const std::string path = std::string(kReplayFolder) + kNames[i];
      ASSERT_EQ(SaveReplayFile(path.c_str(), log, g_StageFile, g_StageData, g_SaveData), 1) << c.what;
    }
    g_OptionData.m_nReplayOrder = c.order;
    g_ReplayData.m_nCursor = c.cursor;
    g_ReplayData.m_strFileName = "old";
    g_bReplaySwitched = 0;

    StepToAdjacentReplay(c.explicitStep, c.step);
    EXPECT_EQ(g_ReplayData.m_nCursor, c.cursorAfter) << c.what;
    EXPECT_EQ(g_ReplayData.m_strFileName, kNames[c.cursorAfter]) << c.what;
    EXPECT_EQ(Played(), c.cursorAfter) << c.what;
    EXPECT_EQ(g_bReplaySwitched, 1) << c.what;
    // The restart plays the replay stepped to, with its own stage.
    Scene().SetupStage(1, 1);
    EXPECT_EQ(g_bReplaySwitched, 0) << c.what;
    EXPECT_EQ(g_StageData.m_nTimeLimit, kTimeLimits[c.cursorAfter]) << c.what;
    EXPECT_EQ(g_InputLog.m_anDirStates, std::vector<int16_t>{static_cast<int16_t>(c.cursorAfter + 1)}) << c.what;
  }
  EXPECT_TRUE(m_Folder.Boxes().empty()) << testing::PrintToString(m_Folder.Boxes());
}

TEST_F(ReplayStepTest, AListWhoseReplaysHaveAllGoneStopsTheProgram) {
  for (int i = 0; i < 3; ++i) Remove(i);
  g_ReplayData.m_nCursor = 1;
  g_ReplayData.m_strFileName = "b.rpl4_986";
  m_Harness.ExpectFatalStop();
  StepToAdjacentReplay(1, 1);
  EXPECT_EQ(g_bQuit.load(), 1);
  // Every replay was tried once, round to the one the play started from.
  EXPECT_EQ(g_ReplayData.m_nCursor, 1);
  EXPECT_EQ(Played(), 1);
  EXPECT_EQ(g_ReplayData.m_strFileName, "b.rpl4_986");
  g_bQuit = 0;
}

// The same replay plays again, its progress put back whole, when the option repeats it, when the
// project picks replays with file dialogs, and when the list is empty.
TEST_F(ReplayStepTest, TheSameReplayPlaysAgainWhenTheListIsNotStepped) {
  struct Case {
    const char* what;
    int32_t order, fileDialogs, explicitStep, step;
    bool emptyList;
  };
  const Case cases[] = {
      {"the option repeats the replay", 2, 0, 0, 0, false},
      {"an option value beyond the known ones", 3, 0, 0, 0, false},
      {"a negative option value", -1, 0, 0, 0, false},
      {"replays picked with file dialogs", 0, 1, 1, 1, false},
      {"an empty list", 0, 0, 1, -1, true},
      {"an explicit step of 0", 0, 0, 1, 0, false},
  };
  for (const Case& c : cases) {
    if (c.emptyList) g_ReplayList.clear();
    g_OptionData.m_nReplayOrder = c.order;
    g_SystemData.m_bFileDialogs = c.fileDialogs;
    g_ReplayData.m_nCursor = 1;
    g_ReplayData.m_strFileName = "b.rpl4_986";
    const std::string played = g_StagePath;
    g_SaveData.m_anCommonVars[3] = 0;
    g_SaveData.m_nLives = 2;
    g_SaveData.m_nScoreTotal = 300;
    g_SaveData.BackupRetryState();
    g_SaveData.m_anCommonVars[3] = 8;
    g_SaveData.m_nLives = 1;
    g_SaveData.m_nScoreTotal = 900;

    StepToAdjacentReplay(c.explicitStep, c.step);
    EXPECT_EQ(g_ReplayData.m_nCursor, 1) << c.what;
    EXPECT_EQ(g_ReplayData.m_strFileName, "b.rpl4_986") << c.what;
    EXPECT_EQ(g_StagePath, played) << c.what;
    EXPECT_EQ(g_bReplaySwitched, 0) << c.what;
    EXPECT_EQ(g_SaveData.m_anCommonVars[3], 0) << c.what;
    EXPECT_EQ(g_SaveData.m_nLives, 2) << c.what;
    EXPECT_EQ(g_SaveData.m_nScoreTotal, 300) << c.what;
  }
  g_SystemData.m_bFileDialogs = 0;
}

TEST_F(ReplayStepTest, AClearedReplayGoesOnToTheNextReplay) {
  g_OptionData.m_nReplayOrder = 0;
  g_ReplayData.m_nCursor = 0;
  EXPECT_EQ(DecideNextScene(Scene()), kSceneStage);
  EXPECT_EQ(g_ReplayData.m_nCursor, 1);
  EXPECT_EQ(Played(), 1);
  EXPECT_EQ(g_bReplaySwitched, 1);
  EXPECT_TRUE(ReplayListFilled());
  g_ReplayList.clear();
  EXPECT_FALSE(ReplayListFilled());
}

// The end of a replay in playback, when its log ends or the hero's defeat display is over, moves
// on by the playback-order option and sets the stage up again with the replay stepped to.
TEST_F(ReplayStepTest, TheEndOfAReplayMovesOnByThePlaybackOrder) {
  cHooksGuard<cStageMenuHooks> menus(SetStageMenuHooks, StageMenuHooks());
  InstallNextScene();
  cStagePlayHooks play;
  play.playInputFrame = [](cInputState&) { return false; };
  cHooksGuard<cStagePlayHooks> input(SetStagePlayHooks, play);
  g_OptionData.m_nReplayOrder = 0;
  ASSERT_EQ(LoadReplayForPlayback(g_StagePath.c_str()), 1);
  Scene().SetupStage(1, 1);
  Scene().m_nPhase = kStagePhasePlay;

  g_ReplayData.m_nCursor = 0;
  Scene().PhasePlay();
  EXPECT_EQ(g_ReplayData.m_nCursor, 1);
  EXPECT_EQ(Played(), 1);
  EXPECT_EQ(Scene().m_nPhase, kStagePhaseIntro);
  EXPECT_EQ(g_bReplaySwitched, 0) << "the restart has read the replay";
  EXPECT_EQ(g_StageData.m_nTimeLimit, kTimeLimits[1]);

  Scene().m_nPhase = kStagePhasePlay;
  Scene().HeroDefeatOver();
  EXPECT_EQ(g_ReplayData.m_nCursor, 2);
  EXPECT_EQ(Scene().m_nPhase, kStagePhaseIntro);
  EXPECT_EQ(g_StageData.m_nTimeLimit, kTimeLimits[2]);

  // Repeating the same replay: the list stays where it is.
  g_OptionData.m_nReplayOrder = 2;
  Scene().m_nPhase = kStagePhasePlay;
  Scene().PhasePlay();
  EXPECT_EQ(g_ReplayData.m_nCursor, 2);
  EXPECT_EQ(Played(), 2);
  EXPECT_EQ(Scene().m_nPhase, kStagePhaseIntro);
}

}  // namespace
