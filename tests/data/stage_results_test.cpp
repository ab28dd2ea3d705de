// The progress record's stage keys and results, the next round and the ranking kind: what the
// scenes and the stage end ask of the live progress between plays.
#include <string>
#include <vector>

#include "data/save_data.h"
#include "data/system_data.h"
#include "data/world_map.h"
#include "game_data_fixture.h"
#include "progress_bytes.h"

class StageResultsTest : public GameDataTest {
 protected:
  void SetUp() override { g_bQuit = 0; }
  void TearDown() override { g_bQuit = 0; }
};

TEST_F(StageResultsTest, TheCurrentStageGivesItsKeysAndTheNumberedFlag) {
  struct Case {
    const char* path;
    int32_t on, variable, value;
    const char* stageKey;
    const char* resultKey;
    int32_t numbered;
  };
  const Case cases[] = {
      {"data\\stg4\\c05-1.stg4_000", 0, 0, 0, "data\\stg4\\c05.", "data\\stg4\\c05.", 1},
      {"data\\stg4\\c05-1.stg4_000", 1, 5, 3, "data\\stg4\\c05.", "data\\stg4\\c05_c005_3.", 1},
      {"data\\stg4\\bonus.stg4_002", 0, 0, 0, "data\\stg4\\bonus.", "data\\stg4\\bonus.", 0},
      {"data\\stg4\\c05-2.stg4", 1, 12, -1, "data\\stg4\\c05-2.", "data\\stg4\\c05-2_c012_-1.", 0},
      // only the file name counts: a "-1" or a "." in a folder name is not the stage's
      {"data\\world-1\\bonus.stg4_002", 0, 0, 0, "data\\world-1\\bonus.", "data\\world-1\\bonus.", 0},
      {"data/world-1/bonus.stg4_002", 0, 0, 0, "data/world-1/bonus.", "data/world-1/bonus.", 0},
      {"data\\v1.0\\stage", 0, 0, 0, "data\\v1.0\\stage", "data\\v1.0\\stage", 0},
      {"data\\world-1\\c07-1.stg4_000", 0, 0, 0, "data\\world-1\\c07.", "data\\world-1\\c07.", 1},
  };
  for (const Case& c : cases) {
    cSaveData save;
    save.m_bNumberedStage = 7;
    save.SetCurrentStage(c.path, c.on, c.variable, c.value);
    EXPECT_EQ(save.m_strStageKey, c.stageKey) << c.path;
    EXPECT_EQ(save.m_strResultKey, c.resultKey) << c.path;
    EXPECT_EQ(save.m_bNumberedStage, c.numbered) << c.path;
    EXPECT_EQ(save.m_bCondOn, c.on);
    EXPECT_EQ(save.m_nCondVar, c.variable);
    EXPECT_EQ(save.m_nCondValue, c.value);
  }
}

TEST_F(StageResultsTest, AResultIsStoredOncePerKeyAndOnlyABetterOneRaisesTheTotal) {
  cSaveData save;
  save.m_nResultTotal = 10;
  save.StoreStageResult("c05.", "c05_c005_3.", 1, 5, 3, 300);
  EXPECT_EQ(save.m_nResultTotal, 310);
  EXPECT_EQ(save.GetStageResult("c05_c005_3."), 300);
  // another world entry of the same stage file keeps a result of its own
  save.StoreStageResult("c05.", "c05_c005_4.", 1, 5, 4, 100);
  EXPECT_EQ(save.m_nResultTotal, 410);
  ASSERT_EQ(save.m_aStageResults.size(), 2u);
  EXPECT_EQ(save.GetStageResult("c05_c005_4."), 100);
  // a tie and a worse result change nothing
  save.StoreStageResult("c05.", "c05_c005_3.", 1, 5, 3, 300);
  save.StoreStageResult("c05.", "c05_c005_3.", 1, 5, 3, 250);
  EXPECT_EQ(save.m_nResultTotal, 410);
  EXPECT_EQ(save.GetStageResult("c05_c005_3."), 300);
  // a better one raises the total by the difference
  save.StoreStageResult("c05.", "c05_c005_3.", 1, 5, 3, 420);
  EXPECT_EQ(save.m_nResultTotal, 530);
  EXPECT_EQ(save.GetStageResult("c05_c005_3."), 420);
  EXPECT_EQ(save.m_aStageResults.size(), 2u);
  // keys compare case-sensitively; an unknown key has no result
  EXPECT_EQ(save.GetStageResult("C05_c005_3."), 0);
  EXPECT_EQ(save.GetStageResult(""), 0);
  // the entry keeps all six values
  const cStageResult& first = save.m_aStageResults[0];
  EXPECT_EQ(first.m_strName, "c05.");
  EXPECT_EQ(first.m_strKey, "c05_c005_3.");
  EXPECT_EQ(first.m_anValues[0], 1);
  EXPECT_EQ(first.m_anValues[1], 5);
  EXPECT_EQ(first.m_anValues[2], 3);
}

TEST_F(StageResultsTest, TotalsAddWithSaturation) {
  cSaveData save;
  save.m_nResultTotal = 2147483000;
  save.StoreStageResult("a.", "a.", 0, 0, 0, 1000);
  EXPECT_EQ(save.m_nResultTotal, 2147483647);
  save.StoreStageResult("a.", "a.", 0, 0, 0, 2147483647);
  EXPECT_EQ(save.m_nResultTotal, 2147483647);
  EXPECT_EQ(save.GetStageResult("a."), 2147483647);
}

TEST_F(StageResultsTest, TheResultTotalCountsOnlyStagesStillOnTheWorldMap) {
  g_WorldMap.m_aWorlds.resize(1);
  g_WorldMap.m_aWorlds[0].m_aEntries.resize(2);
  g_WorldMap.m_aWorlds[0].m_aEntries[0].m_strStage = "c05-1.stg4";
  g_WorldMap.m_aWorlds[0].m_aEntries[1].m_strStage = "c07-1.stg4";
  g_WorldMap.m_aWorlds[0].m_aEntries[1].m_bVariation = 1;
  g_WorldMap.m_aWorlds[0].m_aEntries[1].m_nVariationKey1 = 5;
  g_WorldMap.m_aWorlds[0].m_aEntries[1].m_nVariationKey2 = 3;
  cSaveData save;
  save.StoreStageResult("c05.", "c05.", 0, 0, 0, 100);
  save.StoreStageResult("c06.", "c06.", 0, 0, 0, 40);           // gone from the map
  save.StoreStageResult("c07.", "c07_c005_3.", 1, 5, 3, 7);     // on the map with its condition
  save.StoreStageResult("c07.", "c07_c005_4.", 1, 5, 4, 1000);  // another condition: not there
  EXPECT_EQ(save.m_nResultTotal, 1147);
  save.RecomputeResultTotal();
  EXPECT_EQ(save.m_nResultTotal, 107);
}

TEST_F(StageResultsTest, TheNextRoundClosesEveryWorldButTheFirstAndGoesToTheStart) {
  g_WorldMap.m_nStartX = 4;
  g_WorldMap.m_nStartY = 6;
  cSaveData save;
  save.m_nGameRound = 2;
  save.m_nMapX = 11;
  save.m_nMapY = 12;
  save.m_anWorldFlags = {0, 1, 1, 1};
  save.ResetForNextRound();
  EXPECT_EQ(save.m_nGameRound, 3);
  EXPECT_EQ(save.m_anWorldFlags, (std::vector<int32_t>{1, 0, 0, 0}));
  EXPECT_EQ(save.m_nMapX, 4);
  EXPECT_EQ(save.m_nMapY, 6);
}

TEST_F(StageResultsTest, TheRankingKindStepsOverTheKindsTheModeLeavesOff) {
  struct Case {
    std::vector<uint8_t> kinds;  // the mode row's enable bytes
    int32_t from, step, expected;
  };
  const Case cases[] = {
      // only kind 2: every start and step lands on it
      {{0, 0, 1, 0, 0}, 0, 0, 2},
      {{0, 0, 1, 0, 0}, 4, 1, 2},
      {{0, 0, 1, 0, 0}, 2, 1, 2},
      {{0, 0, 1, 0, 0}, 1, -1, 2},
      {{0, 0, 1, 0, 0}, 3, 3, 2},
      // none: the kind stays
      {{0, 0, 0, 0, 0}, 3, 1, 3},
      {{0, 0, 0, 0, 0}, 1, 0, 1},
      // kinds 0, 2 and 4
      {{1, 0, 1, 0, 1}, 0, 1, 2},
      {{1, 0, 1, 0, 1}, 0, 2, 4},
      {{1, 0, 1, 0, 1}, 4, 1, 0},
      {{1, 0, 1, 0, 1}, 0, -1, 4},
      {{1, 0, 1, 0, 1}, 2, -2, 4},
      {{1, 0, 1, 0, 1}, 1, 0, 2},
      {{1, 0, 1, 0, 1}, 0, 0, 0},
  };
  for (const Case& c : cases) {
    g_SystemData.m_aModeRanking[1].m_abKinds = c.kinds;
    cSaveData save;
    save.m_nRankingKind = c.from;
    save.StepRankingKind(1, c.step);
    EXPECT_EQ(save.m_nRankingKind, c.expected) << "from " << c.from << " step " << c.step;
  }
}

TEST_F(StageResultsTest, AStagesTotalsAddUpAndStopAtTheLargestValue) {
  cSaveData save;
  save.m_nScore = 250;
  save.m_nScoreTotal = 1000;
  save.m_nRemainTimeTotal = 7;
  save.m_nClearTimeTotal = 100;
  save.m_nRemainHpTotal = 2147483600;
  save.m_nRemainSpTotal = 1;
  save.AddStageTotals(30, true, 4567, 100, 2);
  EXPECT_EQ(save.m_nScoreTotal, 1250);
  EXPECT_EQ(save.m_nRemainTimeTotal, 37);
  EXPECT_EQ(save.m_nClearTimeTotal, 4667);
  EXPECT_EQ(save.m_nRemainHpTotal, 2147483647);
  EXPECT_EQ(save.m_nRemainSpTotal, 3);
  // with the timer stopped the remaining time does not count; the clear time does
  save.AddStageTotals(30, false, 33, 0, 0);
  EXPECT_EQ(save.m_nRemainTimeTotal, 37);
  EXPECT_EQ(save.m_nClearTimeTotal, 4700);
  EXPECT_EQ(save.m_nScoreTotal, 1500);
}

TEST_F(StageResultsTest, AClearedChallengeStageKeepsItsBestAndOpensTheNext) {
  g_SystemData.m_nSaveVarCount = 3;
  struct Case {
    int32_t world, unlocked, scoreTotal, best;
    int32_t expectBest, expectResultTotal, expectUnlocked;
  };
  const Case cases[] = {
      {2, 1, 500, 300, 500, 1200, 3},  // a better total, the next stage opens
      {2, 3, 200, 300, 300, 1000, 3},  // a worse total keeps the best
      {3, 2, 300, 300, 300, 1000, 3},  // the last stage opens nothing past the count
      {1, 3, 900, 0, 900, 1900, 3},    // already open stays as it is
  };
  for (const Case& c : cases) {
    cSaveData save;
    save.ResetProgress(3);
    save.m_nWorld = c.world;
    save.m_nChallengeUnlocked = c.unlocked;
    save.m_nScoreTotal = c.scoreTotal;
    save.m_nResultTotal = 1000;
    save.m_aChallenge[static_cast<size_t>(c.world - 1)].m_nValueB = c.best;
    save.StoreChallengeClear();
    const cSaveVar& record = save.m_aChallenge[static_cast<size_t>(c.world - 1)];
    EXPECT_EQ(record.m_nValueA, 1) << c.world;
    EXPECT_EQ(record.m_nValueB, c.expectBest) << c.world;
    EXPECT_EQ(save.m_nResultTotal, c.expectResultTotal) << c.world;
    EXPECT_EQ(save.m_nChallengeUnlocked, c.expectUnlocked) << c.world;
  }
}

// Which fields a progress file holds by its version, around the versions that added the in-stage
// flag, the next stage, the retry backup (915) and the world-entry ending (916).
TEST_F(StageResultsTest, TheEndingAndTheRetryFieldsByVersion) {
  SetProgressProject();
  struct Case {
    uint32_t version;
    int32_t ending, inStage, nextStage, backupLives;
    size_t backup;
    const char* nextPath;
  };
  const Case cases[] = {
      {916, 104, 106, 124, 133, 2, "next."},
      {915, 0, 106, 124, 133, 2, "next."},
      {914, 0, 0, 0, 0, 0, ""},
  };
  for (const Case& c : cases) {
    cSaveData save;
    ASSERT_TRUE(LoadBody(save, c.version, ProgressFileBody(c.version))) << c.version;
    EXPECT_EQ(save.m_nWorldEnding, c.ending) << c.version;
    EXPECT_EQ(save.m_bInStage, c.inStage) << c.version;
    EXPECT_EQ(save.m_nNextStage, c.nextStage) << c.version;
    EXPECT_EQ(save.m_nBackupLives, c.backupLives) << c.version;
    EXPECT_EQ(save.m_anCommonVarsBackup.size(), c.backup) << c.version;
    EXPECT_EQ(save.m_strNextStagePath, c.nextPath) << c.version;
    EXPECT_EQ(save.m_nGameRound, 105) << c.version;  // the field after the ending is read in every version
  }
}
