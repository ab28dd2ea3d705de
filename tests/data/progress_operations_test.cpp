// What stage play asks of the progress record: the retry backup and its restore, the carry-over of
// the hero from stage to stage, and the place request of the stage-clear command.
#include <cstring>

#include "data/chara_type.h"
#include "data/flow.h"
#include "data/save_data.h"
#include "data/stage_data.h"
#include "data/system_data.h"
#include "game_data_fixture.h"

class ProgressOperationsTest : public GameDataTest {
 protected:
  void SetUp() override {
    g_bQuit = 0;
    EnableItems({});
    g_SystemData.m_abCarryOverClear.assign(kCarryOverItems, 0);
  }
  void TearDown() override { g_bQuit = 0; }

  static void EnableItems(std::initializer_list<int> items) {
    g_SystemData.m_abCarryOver.assign(kCarryOverItems, 0);
    for (int item : items) g_SystemData.m_abCarryOver[item] = 1;
  }
  static void EnableAllItems() { g_SystemData.m_abCarryOver.assign(kCarryOverItems, 1); }
};

// ---- retry ----

struct RetryCase {
  const char* name;
  int force;
  bool directStart;
  int modeIndex;
  int restoreSetting;  // which project setting is on: 0-2 per game kind, 3 direct starts, -1 none
  bool variablesBack, livesBack;
};

class RetryTest : public ProgressOperationsTest, public ::testing::WithParamInterface<RetryCase> {};

TEST_P(RetryTest, PutsBackWhatTheStageStartKept) {
  const RetryCase& c = GetParam();
  int32_t* settings[] = {&g_SystemData.m_bRetryRestore0, &g_SystemData.m_bRetryRestore1, &g_SystemData.m_bRetryRestore2,
                         &g_SystemData.m_bRetryRestore3};
  for (int i = 0; i < 4; ++i) *settings[i] = i == c.restoreSetting ? 1 : 0;
  cSaveData save;
  save.m_anCommonVars = {0, 4, 5};
  save.m_nLives = 3;
  save.m_nScoreTotal = 1200;
  save.BackupRetryState();
  save.m_anCommonVars = {0, 9, 9};
  save.m_nLives = 1;
  save.m_nScoreTotal = 1800;

  EXPECT_EQ(save.RestoreRetryState(c.force, c.directStart, c.modeIndex), 1200);
  EXPECT_EQ(save.m_nScoreTotal, 1200);
  const std::vector<int32_t> kept = {0, 4, 5}, changed = {0, 9, 9};
  EXPECT_EQ(save.m_anCommonVars, c.variablesBack ? kept : changed);
  EXPECT_EQ(save.m_nLives, c.livesBack ? 3 : 1);
}

INSTANTIATE_TEST_SUITE_P(Settings, RetryTest,
                         ::testing::Values(RetryCase{"ForcedPutsAllBack", 1, false, 0, -1, true, true},
                                           RetryCase{"ForcedOnADirectStart", 1, true, 2, -1, true, true},
                                           RetryCase{"StoryWithItsSetting", 0, false, 0, 0, true, false},
                                           RetryCase{"StoryWithAnotherKindsSetting", 0, false, 0, 1, false, false},
                                           RetryCase{"ChallengeWithItsSetting", 0, false, 1, 1, true, false},
                                           RetryCase{"FreeWithItsSetting", 0, false, 2, 2, true, false},
                                           RetryCase{"FreeWithoutItsSetting", 0, false, 2, 0, false, false},
                                           RetryCase{"OtherKindsCountAsSet", 0, false, 3, -1, true, false},
                                           RetryCase{"DirectStartUsesItsOwnSetting", 0, true, 2, 3, true, false},
                                           RetryCase{"DirectStartIgnoresTheKindsSetting", 0, true, 2, 2, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProgressOperationsTest, ARetryWithoutAKeptBackupNeverTakesVariablesAway) {
  cSaveData save;  // a new play: nothing kept aside yet
  save.m_anCommonVars[7] = 70;
  save.m_nBackupScoreTotal = 0;
  save.m_nScoreTotal = 500;
  EXPECT_EQ(save.RestoreRetryState(1, false, 0), 0);
  EXPECT_EQ(save.m_anCommonVars.size(), static_cast<size_t>(kCommonVarCount));
  EXPECT_EQ(save.m_anCommonVars[7], 70);

  save.m_anCommonVarsBackup = {1, 2};  // cut short by a damaged file
  save.RestoreRetryState(1, false, 0);
  EXPECT_EQ(save.m_anCommonVars.size(), static_cast<size_t>(kCommonVarCount));
  EXPECT_EQ(save.m_anCommonVars[1], 2);
  EXPECT_EQ(save.m_anCommonVars[7], 70);
}

TEST_F(ProgressOperationsTest, ClearProgressBlockDropsThePlaceRequestAndTheClearFlag) {
  cSaveData save;
  save.m_nRankingKind = 4;
  save.m_bPlaceRequest = 1;
  save.m_nPlaceX = 12;
  save.m_nPlaceY = 7;
  save.m_nPlaceFacing = 2;
  save.m_bClearCounts = 1;
  save.m_nChallengeUnlocked = 3;
  save.ClearProgressBlock();
  EXPECT_EQ(save.m_bPlaceRequest, 0);
  EXPECT_EQ(save.m_nPlaceX, 0);
  EXPECT_EQ(save.m_nPlaceY, 0);
  EXPECT_EQ(save.m_nPlaceFacing, 0);
  EXPECT_EQ(save.m_bClearCounts, 0);
  // the fields around the block stay
  EXPECT_EQ(save.m_nRankingKind, 4);
  EXPECT_EQ(save.m_nChallengeUnlocked, 3);
}

// ---- carry-over ----

// The character type's numeric fields as its record declares them for the current version. The
// carry-over items name them as the original counts them, its name first: its member n is field
// n - 2 here (counting from 0).
class CarryOverTest : public ProgressOperationsTest {
 protected:
  static const cFieldDesc& Member(int n) {
    static const std::vector<cFieldDesc> fields = cCharaType().FieldTable();
    return fields.at(static_cast<size_t>(n - 2));
  }
  static int64_t Get(const cCharaType& type, int n) {
    const cFieldDesc& d = Member(n);
    const char* p = static_cast<const char*>(type.FieldAddress(d));
    switch (d.size) {
      case 1: return *reinterpret_cast<const int8_t*>(p);
      case 2: return *reinterpret_cast<const int16_t*>(p);
      default: return *reinterpret_cast<const int32_t*>(p);
    }
  }
  static void Set(cCharaType& type, int n, int64_t value) {
    const cFieldDesc& d = Member(n);
    char* p = static_cast<char*>(type.FieldAddress(d));
    const auto v8 = static_cast<int8_t>(value);
    const auto v16 = static_cast<int16_t>(value);
    const auto v32 = static_cast<int32_t>(value);
    std::memcpy(p,
                d.size == 1   ? static_cast<const void*>(&v8)
                : d.size == 2 ? &v16
                              : static_cast<const void*>(&v32),
                static_cast<size_t>(d.size));
  }
  // A hero type whose every numeric field differs from the defaults, with two flows.
  static cCharaType SourceType() {
    cCharaType type;
    for (int n = 2; n <= 54; ++n) Set(type, n, n + 40);
    type.m_aFlows.resize(2);
    type.m_aFlows[1].m_nFlowId = 5;
    return type;
  }
  static void Store(cSaveData& save, const cCharaType& type) {
    save.StoreCarryOver(0, type, 55, 66, 300, 2, 3, 77, 8, 9);
  }
};

struct TypeItemCase {
  int item;
  std::vector<int> members;  // the original's member numbers, its name first
};

TEST_F(CarryOverTest, EachTypeItemCarriesItsMembersAndNoOthers) {
  const TypeItemCase cases[] = {
      {0, {14, 15, 16}}, {1, {17}},  {2, {18}},  {3, {19}},  {5, {32}},  {6, {31}},  {7, {33}},  {8, {36}},  {9, {37}},
      {10, {38, 39}},    {13, {40}}, {14, {41}}, {15, {43}}, {16, {44}}, {17, {45}}, {18, {47}}, {19, {48}}, {20, {42}},
  };
  const cCharaType source = SourceType();
  for (const TypeItemCase& c : cases) {
    SCOPED_TRACE(c.item);
    EnableItems({c.item});
    cSaveData save;
    Store(save, source);
    EXPECT_EQ(save.m_bCarryOverValid, 1);
    for (int i = 0; i < kCarryOverItems; ++i) EXPECT_EQ(save.m_abCarryStored[i], i == c.item ? 1 : 0) << i;

    cCharaType applied, expected;
    cStageData stage;
    save.ApplyCarryOver(0, applied, stage);
    for (int n : c.members) Set(expected, n, Get(source, n));
    for (int n = 2; n <= 54; ++n) EXPECT_EQ(Get(applied, n), Get(expected, n)) << "member " << n;
    EXPECT_TRUE(applied.m_aFlows.empty());
  }
}

TEST_F(CarryOverTest, TheOtherItemsCarryTheEffectValuesFlowsTimeLivesAndMusic) {
  EnableAllItems();
  cSaveData save;
  save.m_nLives = 2;
  Store(save, SourceType());
  save.m_nLives = 1;

  cCharaType applied;
  cStageData stage;
  save.ApplyCarryOver(0, applied, stage);
  EXPECT_EQ(Get(applied, 20), 300);  // the running effect: its number and two values
  EXPECT_EQ(Get(applied, 21), 2);
  EXPECT_EQ(Get(applied, 22), 3);
  ASSERT_EQ(applied.m_aFlows.size(), 2u);
  EXPECT_EQ(applied.m_aFlows[1].m_nFlowId, 5);
  EXPECT_EQ(stage.m_nTimeLimit, 77);
  EXPECT_EQ(stage.m_nBgm, 9);
  EXPECT_EQ(save.m_nLives, 8);
  int32_t hp = 1, sp = 1;
  save.ApplyCarryOverValues(0, hp, sp);
  EXPECT_EQ(hp, 55);
  EXPECT_EQ(sp, 66);
}

TEST_F(CarryOverTest, AHeroKeptWithoutAGraphicComesBackWithGraphicOne) {
  EnableItems({0});
  cCharaType source = SourceType();
  source.m_nGraphic = 0;
  cSaveData save;
  Store(save, source);
  cCharaType applied;
  cStageData stage;
  save.ApplyCarryOver(0, applied, stage);
  EXPECT_EQ(applied.m_nGraphic, 1);
  EXPECT_EQ(applied.m_nGraphicSub, source.m_nGraphicSub);
}

TEST_F(CarryOverTest, OnlyItemsEnabledAndStoredWhileValidAreApplied) {
  EnableItems({1, 11, 22});
  cSaveData save;
  Store(save, SourceType());
  save.m_abCarryStored[22] = 0;       // enabled but no longer held
  EnableItems({1, 11, 12, 22, 23});   // 12 and 23 enabled only after the store
  g_SystemData.m_abCarryOver[1] = 0;  // held but no longer enabled

  cCharaType applied;
  cStageData stage;
  const int32_t time = stage.m_nTimeLimit;
  save.m_nLives = 4;
  save.ApplyCarryOver(0, applied, stage);
  EXPECT_EQ(applied.m_nAnimeSet, cCharaType().m_nAnimeSet);
  EXPECT_EQ(stage.m_nTimeLimit, time);
  EXPECT_EQ(save.m_nLives, 4);
  int32_t hp = -1, sp = -1;
  save.ApplyCarryOverValues(0, hp, sp);
  EXPECT_EQ(hp, 55);
  EXPECT_EQ(sp, -1);

  save.m_bCarryOverValid = 0;  // nothing is applied from a carry-over never stored
  EnableAllItems();
  cCharaType untouched;
  save.ApplyCarryOver(0, untouched, stage);
  hp = -1;
  save.ApplyCarryOverValues(0, hp, sp);
  EXPECT_EQ(untouched.m_nAnimeSet, cCharaType().m_nAnimeSet);
  EXPECT_EQ(hp, -1);
}

TEST_F(CarryOverTest, ClearingDropsTheItemsTheProjectNames) {
  EnableAllItems();
  cSaveData save;
  Store(save, SourceType());
  g_SystemData.m_abCarryOverClear[3] = 1;
  g_SystemData.m_abCarryOverClear[24] = 1;
  save.ClearCarryOverFlags();
  for (int i = 0; i < kCarryOverItems; ++i) EXPECT_EQ(save.m_abCarryStored[i], i == 3 || i == 24 ? 0 : 1) << i;
}

TEST_F(CarryOverTest, ASlotTheProgressDoesNotHaveIsARangeErrorAndChangesNothing) {
  EnableAllItems();
  cSaveData save;
  Store(save, SourceType());
  const std::vector<uint8_t> before = SaveBody(save);
  cCharaType other = SourceType();
  other.m_nAnimeSet = 3;
  save.StoreCarryOver(1, other, 1, 1, 1, 1, 1, 1, 1, 1);
  EXPECT_EQ(g_bQuit.load(), 1);
  EXPECT_EQ(SaveBody(save), before);

  cCharaType applied;
  cStageData stage;
  int32_t hp = -1, sp = -1;
  save.ApplyCarryOver(-1, applied, stage);
  save.ApplyCarryOverValues(5, hp, sp);
  EXPECT_EQ(applied.m_nAnimeSet, cCharaType().m_nAnimeSet);
  EXPECT_EQ(hp, -1);
}

TEST_F(CarryOverTest, AProgressWithFewerStoredFlagsStillStoresEveryItem) {
  EnableItems({24});
  cSaveData save;
  save.m_abCarryStored.assign(3, 1);  // as a damaged file may leave it
  Store(save, SourceType());
  ASSERT_EQ(save.m_abCarryStored.size(), static_cast<size_t>(kCarryOverItems));
  EXPECT_EQ(save.m_abCarryStored[24], 1);
  g_SystemData.m_abCarryOverClear.assign(kCarryOverItems, 1);
  save.m_abCarryStored.resize(2);
  save.ClearCarryOverFlags();
  EXPECT_EQ(save.m_abCarryStored, (std::vector<int32_t>{0, 0}));
}
