// The progress record and the replay input log: their record bodies by file version, the new-play
// reset and the choice values of a replay.
#include <utility>

#include "data/game_data.h"
#include "data/input_log.h"
#include "data/play_mode.h"
#include "game_data_fixture.h"

namespace {

// The numeric fields of the progress record in file order, each with the first version that holds
// it (0: every version) and a value distinct from the others.
struct ProgressField {
  uint32_t since;
  int32_t value;
};
const ProgressField kProgressFields[] = {
    {0, 101},   {0, 102},   {0, 103},   {0, 104},   {0, 105},   {915, 106}, {758, 109}, {758, 110},
    {758, 111}, {0, 112},   {0, 113},   {0, 114},   {0, 115},   {0, 116},   {0, 117},   {0, 118},
    {0, 119},   {0, 120},   {182, 121}, {182, 122}, {0, 123},   {915, 124}, {0, 126},   {166, 127},
    {194, 128}, {190, 129}, {191, 130}, {191, 131}, {0, 132},   {915, 133}, {915, 134}, {0, 135},
    {169, 136}, {0, 138},   {0, 139},   {678, 140}, {678, 141}, {678, 142}, {679, 143}, {944, 144},
};
const std::pair<uint32_t, const char*> kProgressStrings[] = {
    {0, "c01-1."}, {724, "c01-1._c003_7"}, {915, "next."}, {0, "xyz"}};

std::vector<uint8_t> ProgressBody(uint32_t version) {
  cByteBuilder b;
  int32_t count = 0;
  for (const auto& f : kProgressFields) count += f.since <= version ? 1 : 0;
  b.I32(count);
  for (const auto& f : kProgressFields)
    if (f.since <= version) b.I32(f.value);
  int32_t strings = 0;
  for (const auto& s : kProgressStrings) strings += s.first <= version ? 1 : 0;
  b.I32(strings);
  for (const auto& s : kProgressStrings)
    if (s.first <= version) b.Str(s.second);
  return b.Get();
}

}  // namespace

class ProgressRecordTest : public GameDataTest {};

TEST_F(ProgressRecordTest, TheNewestBodyFillsEveryField) {
  cSaveData save;
  ASSERT_TRUE(LoadBody(save, kDataVersion, ProgressBody(kDataVersion)));
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
  EXPECT_EQ(SaveBody(save), ProgressBody(kDataVersion));
}

TEST_F(ProgressRecordTest, OlderBodiesKeepTheFieldsTheyDoNotHold) {
  cSaveData save;
  save.m_bClearCounts = 9;
  save.m_nWorldEnding = 8;
  ASSERT_TRUE(LoadBody(save, 915, ProgressBody(915)));
  EXPECT_EQ(save.m_bInStage, 106);
  EXPECT_EQ(save.m_nBackupScoreTotal, 134);
  EXPECT_EQ(save.m_nWorldEnding, 8);  // before 916 the fourth value is not the ending
  EXPECT_EQ(save.m_bClearCounts, 9);
  EXPECT_EQ(save.m_nGameRound, 105);

  cSaveData old;
  ASSERT_TRUE(LoadBody(old, 165, ProgressBody(165)));
  EXPECT_EQ(old.m_nWorld, 112);  // the conditions (758) are not in the file
  EXPECT_EQ(old.m_bCondOn, 0);
  EXPECT_EQ(old.m_nBgm, 126);
  EXPECT_EQ(old.m_nChallengeUnlocked, 132);
  EXPECT_EQ(old.m_nStorySlot, 135);
  EXPECT_EQ(old.m_bRankingPanel, 138);
  EXPECT_EQ(old.m_strStageKey, "c01-1.");
  EXPECT_EQ(old.m_strRankingName, "xyz");
  EXPECT_EQ(old.m_strResultKey, "");
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
  ASSERT_TRUE(LoadBody(log, 930, cByteBuilder().I32(1).I32(1234).I32(0).Get()));
  EXPECT_EQ(log.m_nSeed, 1234);
  EXPECT_EQ(log.m_bCleared, 0);
  ASSERT_TRUE(LoadBody(log, 931, cByteBuilder().I32(2).I32(99).I32(1).I32(0).Get()));
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
