// The progress record's stage keys and results, the next round and the ranking kind: what the
// scenes and the stage end ask of the live progress between plays.
#include <string>
#include <vector>

#include "data/save_data.h"
#include "data/system_data.h"
#include "data/world_map.h"
#include "game_data_fixture.h"

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
