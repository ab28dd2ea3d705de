// The progress record and the replay input log: their record bodies by file version, the new-play
// reset and the choice values of a replay.
#include <utility>

#include "data/game_data.h"
#include "data/input_log.h"
#include "data/play_mode.h"
#include "game_data_fixture.h"
#include "progress_bytes.h"

class ProgressRecordTest : public GameDataTest {
 protected:
  void SetUp() override { SetProgressProject(); }
};

TEST_F(ProgressRecordTest, TheNewestBodyFillsEveryField) {
  cProgressLists lists;
  lists.commonVars.resize(kCommonVarCount, 0);  // as many as a new play has, so none are added
  cSaveData save;
  ASSERT_TRUE(LoadBody(save, kDataVersion, ProgressFileBody(kDataVersion, lists)));
  EXPECT_EQ(save.m_bCarryOverValid, 101);
  EXPECT_EQ(save.m_nWorldEnding, 104);
  EXPECT_EQ(save.m_bInStage, 106);
  EXPECT_EQ(save.m_bCondOn, 109);
  EXPECT_EQ(save.m_nCondValue, 111);
  EXPECT_EQ(save.m_nWorld, 112);
  EXPECT_EQ(save.m_nLives, 115);
  EXPECT_EQ(save.m_nScore, 116);
  EXPECT_EQ(save.m_nRemainSpTotal, 122);
  EXPECT_EQ(save.m_nNextStage, 124);
  EXPECT_EQ(save.m_nBgm, 126);
  EXPECT_EQ(save.m_nPrevMapY, 131);
  EXPECT_EQ(save.m_nStorySlot, 135);
  EXPECT_EQ(save.m_nRankingKind, 139);
  EXPECT_EQ(save.m_nPlaceFacing, 143);
  EXPECT_EQ(save.m_bClearCounts, 144);
  EXPECT_EQ(save.m_strStageKey, "c01-1.");
  EXPECT_EQ(save.m_strResultKey, "c01-1._c003_7");
  EXPECT_EQ(save.m_strNextStagePath, "next.");
  EXPECT_EQ(save.m_strRankingName, "xyz");
  // and it writes the same body back
  EXPECT_EQ(SaveBody(save), ProgressFileBody(kDataVersion, lists));
}

TEST_F(ProgressRecordTest, OlderBodiesLeaveTheFieldsTheyDoNotHoldAtANewPlaysValues) {
  cSaveData save;
  save.m_bClearCounts = 9;
  save.m_nWorldEnding = 8;
  ASSERT_TRUE(LoadBody(save, 915, ProgressFileBody(915)));
  EXPECT_EQ(save.m_bInStage, 106);
  EXPECT_EQ(save.m_nBackupScoreTotal, 134);
  EXPECT_EQ(save.m_nWorldEnding, 0);  // before 916 the fourth value is not the ending
  EXPECT_EQ(save.m_bClearCounts, 0);
  EXPECT_EQ(save.m_nGameRound, 105);
  EXPECT_EQ(save.m_anCommonVarsBackup, (std::vector<int32_t>{0, 1}));

  cSaveData old;
  ASSERT_TRUE(LoadBody(old, 165, ProgressFileBody(165)));
  EXPECT_EQ(old.m_nWorld, 112);  // the conditions (758) are not in the file
  EXPECT_EQ(old.m_bCondOn, 0);
  EXPECT_EQ(old.m_nBgm, 126);
  EXPECT_EQ(old.m_nChallengeUnlocked, 2);
  EXPECT_EQ(old.m_nStorySlot, 135);
  EXPECT_EQ(old.m_bRankingPanel, 138);
  EXPECT_EQ(old.m_strStageKey, "c01-1.");
  EXPECT_EQ(old.m_strRankingName, "xyz");
  EXPECT_EQ(old.m_strResultKey, "");
}

// The fix-ups of older progress files, by the first version that no longer needs each.
struct ProgressUpgradeCase {
  uint32_t version;
  int32_t bgmOption, autoSave, remainHp;
  size_t carryStored;
  int32_t carryValue;
  size_t commonVars, backup;
  int32_t worldFlag0;
};

class ProgressUpgradeTest : public ProgressRecordTest, public ::testing::WithParamInterface<ProgressUpgradeCase> {};

TEST_P(ProgressUpgradeTest, OldFilesGetTheFixedValues) {
  const ProgressUpgradeCase& c = GetParam();
  cProgressLists lists;
  lists.worldFlags = {0, 1};
  lists.carryStored = {0, 0, 0};
  cSaveData save;
  ASSERT_TRUE(LoadBody(save, c.version, ProgressFileBody(c.version, lists)));
  EXPECT_EQ(save.m_nBgmOption, c.bgmOption);
  EXPECT_EQ(save.m_bAutoSave, c.autoSave);
  EXPECT_EQ(save.m_nRemainHpTotal, c.remainHp);
  ASSERT_EQ(save.m_abCarryStored.size(), c.carryStored);
  EXPECT_EQ(save.m_abCarryStored[0], c.carryValue);
  EXPECT_EQ(save.m_anCommonVars.size(), c.commonVars);
  EXPECT_EQ(save.m_anCommonVarsBackup.size(), c.backup);
  EXPECT_EQ(save.m_anWorldFlags[0], c.worldFlag0);
}

INSTANTIATE_TEST_SUITE_P(Versions, ProgressUpgradeTest,
                         ::testing::Values(ProgressUpgradeCase{165, 1, 0, 0, 25, 1, 1000, 1000, 1},
                                           ProgressUpgradeCase{168, 127, 0, 0, 25, 1, 1000, 1000, 1},
                                           ProgressUpgradeCase{181, 127, 136, 0, 25, 1, 1000, 1000, 1},
                                           ProgressUpgradeCase{500, 127, 136, 121, 25, 1, 1000, 1000, 1},
                                           ProgressUpgradeCase{753, 127, 136, 121, 3, 0, 1000, 1000, 1},
                                           // a list shorter than the oldest saves' 1000 common
                                           // variables is filled up to them
                                           ProgressUpgradeCase{803, 127, 136, 121, 3, 0, 1000, 0, 1},
                                           ProgressUpgradeCase{804, 127, 136, 121, 3, 0, 1000, 0, 0},
                                           ProgressUpgradeCase{986, 127, 136, 121, 3, 0, 1000, 2, 0}));

TEST_F(ProgressRecordTest, APlaceOffTheWorldMapAndSurplusChallengesAreNormalised) {
  g_WorldMap.m_nWidth = 20;
  g_WorldMap.m_nHeight = 15;
  g_WorldMap.m_nStartX = 9;
  g_WorldMap.m_nStartY = 7;
  g_SystemData.m_nSaveVarCount = 1;
  cSaveData save;
  ASSERT_TRUE(LoadBody(save, kDataVersion, ProgressFileBody(kDataVersion)));
  EXPECT_EQ(save.m_nMapX, 9);  // 102 is off the map
  EXPECT_EQ(save.m_nMapY, 7);
  EXPECT_EQ(save.m_aChallenge.size(), 1u);
  EXPECT_EQ(save.m_aChallenge[0].m_nValueB, 500);
  EXPECT_EQ(save.m_nChallengeUnlocked, 1);
  save.m_nMapX = -3;  // as far off the map as one past its edge
  g_SystemData.m_nSaveVarCount = 3;
  const cSaveData reread = RoundTrip(save);
  EXPECT_EQ(reread.m_nMapX, 9);
  EXPECT_EQ(reread.m_aChallenge.size(), 3u);
}

TEST_F(ProgressRecordTest, ANewPlayStartsFromItsDefaults) {
  cSaveData save;
  save.m_nScore = 50;
  save.m_anCommonVars.assign(3, 7);
  save.m_aStageResults.emplace_back();
  save.ResetProgress(4);
  EXPECT_EQ(save.m_nScore, 0);
  EXPECT_EQ(save.m_nStorySlot, -1);
  EXPECT_EQ(save.m_nChallengeUnlocked, 1);
  EXPECT_EQ(save.m_strRankingName, "aaa");
  EXPECT_EQ(save.m_abCarryStored, std::vector<int32_t>(kCarryOverItems, 0));
  EXPECT_EQ(save.m_aCarryOver.size(), 1u);
  EXPECT_TRUE(save.m_aStageResults.empty());
  EXPECT_EQ(save.m_aChallenge.size(), 4u);
  ASSERT_EQ(save.m_anWorldFlags.size(), static_cast<size_t>(kWorldFlagCount));
  EXPECT_EQ(save.m_anWorldFlags[0], 1);
  EXPECT_EQ(save.m_anWorldFlags[1], 0);
  EXPECT_EQ(save.m_anCommonVars, std::vector<int32_t>(kCommonVarCount, 0));
}

TEST_F(ProgressRecordTest, InputLogBodyHoldsTheClearedFlagFrom931) {
  cInputLog log;
  ASSERT_TRUE(LoadBody(log, 930, cByteBuilder().I32(1).I32(1234).I32(0).I32s({0, 0, 0, 0}).Get()));
  EXPECT_EQ(log.m_nSeed, 1234);
  EXPECT_EQ(log.m_bCleared, 0);
  ASSERT_TRUE(LoadBody(log, 931, cByteBuilder().I32(2).I32(99).I32(1).I32(0).I32s({0, 0, 0, 0}).Get()));
  EXPECT_EQ(log.m_nSeed, 99);
  EXPECT_EQ(log.m_bCleared, 1);
}

TEST_F(ProgressRecordTest, ChoiceValuesPlayBackInOrderThenZero) {
  cInputLog log;
  EXPECT_EQ(log.PlayInputValue(), 0);
  log.RecordInputValue(2);
  log.RecordInputValue(-5);
  EXPECT_EQ(log.PlayInputValue(), 2);
  EXPECT_EQ(log.PlayInputValue(), -5);
  EXPECT_EQ(log.PlayInputValue(), 0);
  EXPECT_EQ(log.m_anValues.size(), 2u);
}

TEST_F(ProgressRecordTest, TheReplayVersionCountsOnlyInReplayMode) {
  g_GameData.m_nReplayVersion = 781;
  EXPECT_EQ(PlaybackDataVersion(), 0u);
  g_nPlayMode = kPlayModeReplay;
  EXPECT_EQ(PlaybackDataVersion(), 781u);
}

TEST_F(ProgressRecordTest, TheRunsResetRenewsTheProgressInPlace) {
  g_nPlayMode = kPlayModeReplay;
  g_GameData.m_nReplayVersion = 781;
  g_SaveData.m_nScore = 12;
  g_InputLog.RecordInputValue(3);
  g_GameData.Reset();
  EXPECT_EQ(g_nPlayMode, kPlayModeStoryNew);
  EXPECT_EQ(g_GameData.m_nReplayVersion, 0u);
  EXPECT_EQ(g_SaveData.m_nScore, 0);
  EXPECT_TRUE(g_InputLog.m_anValues.empty());
  EXPECT_EQ(&g_SaveData, &g_GameData.m_SaveData);
  EXPECT_EQ(&g_InputLog, &g_GameData.m_InputLog);
}

TEST(StageConditionTest, TheSuffixGoesBeforeAKeysTrailingDot) {
  struct Case {
    const char* key;
    int32_t on, variable, value;
    const char* expected;
  };
  const Case cases[] = {
      {"data\\stg4\\c05.", 1, 5, 3, "data\\stg4\\c05_c005_3."},
      {"data\\stg4\\c05.", 1, 5, 4, "data\\stg4\\c05_c005_4."},  // another condition, another key
      {"Boss", 1, 12, -7, "Boss_c012_-7"},
      {"data\\stg4\\c05.", 0, 5, 3, "data\\stg4\\c05."},
  };
  for (const Case& c : cases) {
    std::string key = c.key;
    AppendStageCondition(key, c.on, c.variable, c.value);
    EXPECT_EQ(key, c.expected);
  }
}
