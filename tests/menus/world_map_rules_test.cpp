// The world map's rules without a screen: cells of the grid, which offer a place shows, cleared and
// passable offers, one step of the hero, and what a stage start takes from its offer.
#include "menus/world_map_rules.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "data/game_data.h"
#include "test_support/fresh_game_data.h"

namespace {

class WorldMapRulesTest : public testing::Test {
 protected:
  WorldMapRulesTest() {
    // 20 x 15 of walkable grass (entry 0), with water (entry 1) where a test puts it.
    g_WorldMap.SetSize(20, 15);
    cMapEntry grass, water;
    water.m_bBlocked = 1;
    water.m_nChip = 7;
    g_WorldMap.m_aMapEntries = {grass, water};
  }
  static void SetChip(int x, int y, int32_t chip) { *g_WorldMap.CellAt(x, y) = chip; }
  static cWorldEntry Entry(int32_t kind, int32_t world = 0) {
    cWorldEntry e;
    e.m_nKind = kind;
    e.m_anSettings[1] = world;
    return e;
  }
  static cWorld& AddPlace(int32_t x, int32_t y, std::vector<cWorldEntry> entries) {
    cWorld place;
    place.m_nX = x;
    place.m_nY = y;
    place.m_aEntries = std::move(entries);
    g_WorldMap.m_aWorlds.push_back(place);
    return g_WorldMap.m_aWorlds.back();
  }

  cFreshGameData m_Fresh;
};

TEST_F(WorldMapRulesTest, CellIndexHoldsTheCellOnTheMap) {
  ASSERT_EQ(g_WorldMap.m_nPitchShift, 5);
  struct cCase {
    int32_t x, y;
    int64_t index;
  };
  for (const cCase& c : std::vector<cCase>{{3, 2, 67},
                                           {-1, 2, 64},
                                           {25, 2, 83},
                                           {3, -1, 3},
                                           {25, -4, 19},
                                           {3, 20, 3 + 14 * 32},
                                           {19, 14, 467},
                                           {INT_MIN, INT_MAX, 14 * 32}})
    EXPECT_EQ(CellIndex(g_WorldMap, c.x, c.y), c.index) << c.x << "," << c.y;
}

TEST_F(WorldMapRulesTest, TheVariableComparisons) {
  struct cCase {
    int32_t op, v, d;
    bool pass;
  };
  const std::vector<cCase> cases = {
      {0, 5, 5, true},  {0, 5, 4, false},   {1, 5, 4, true},   {1, 5, 5, false},       {2, 5, 5, true},
      {2, 5, 6, false}, {3, 5, 5, true},    {3, 5, 4, false},  {4, 5, 4, true},        {4, 5, 5, false},
      {5, 5, 6, true},  {5, 5, 5, false},   {6, 9, 3, true},   {6, 9, 4, false},       {6, -9, 3, true},
      {6, 7, 0, true},  {7, 9, 4, true},    {7, 9, 3, false},  {7, -9, 4, true},       {7, 7, 0, false},
      {8, 5, 5, false}, {255, 0, 0, false}, {-1, 5, 5, false}, {6, INT_MIN, -1, true}, {7, INT_MIN, 3, true},
  };
  for (const cCase& c : cases)
    EXPECT_EQ(CompareWorldVariable(c.op, c.v, c.d), c.pass) << "op " << c.op << " v " << c.v << " d " << c.d;
}

TEST_F(WorldMapRulesTest, ThePlaceShowsItsFirstOfferWhoseConditionsHold) {
  g_SaveData.m_anCommonVars[5] = 9;
  g_SaveData.m_nResultTotal = 100;
  cWorldEntry needsFlag = Entry(0), free = Entry(1), needsVariable = Entry(0), needsTotal = Entry(0);
  needsFlag.m_nFlag = 3;
  needsVariable.m_nVariable = 5;
  needsVariable.m_nCompareKind = 6;
  needsVariable.m_nCompareValue = 3;
  needsTotal.m_nMinTotal = 101;

  cWorld& place = AddPlace(2, 2, {needsFlag, needsTotal, free, needsVariable});
  EXPECT_EQ(ChooseWorldEntry(&place, g_SaveData), &place.m_aEntries[2]);
  g_SaveData.m_anWorldFlags[3] = 1;
  EXPECT_EQ(ChooseWorldEntry(&place, g_SaveData), &place.m_aEntries[0]);
  g_SaveData.m_anWorldFlags[3] = 0;
  g_SaveData.m_nResultTotal = 101;
  EXPECT_EQ(ChooseWorldEntry(&place, g_SaveData), &place.m_aEntries[1]);

  // Every offer failing, or no place at all, shows nothing.
  cWorld& strict = AddPlace(3, 3, {needsFlag, needsVariable});
  g_SaveData.m_anCommonVars[5] = 10;
  EXPECT_EQ(ChooseWorldEntry(&strict, g_SaveData), nullptr);
  g_SaveData.m_anCommonVars[5] = -12;
  EXPECT_EQ(ChooseWorldEntry(&strict, g_SaveData), &strict.m_aEntries[1]);
  EXPECT_EQ(ChooseWorldEntry(nullptr, g_SaveData), nullptr);
}

TEST_F(WorldMapRulesTest, AnOperatorOnAVariableOfZeroIsNotTested) {
  cWorldEntry e = Entry(0);
  e.m_nCompareKind = 8;  // never holds, but variable 0 means "no condition"
  cWorld& place = AddPlace(1, 1, {e});
  EXPECT_EQ(ChooseWorldEntry(&place, g_SaveData), &place.m_aEntries[0]);
}

TEST_F(WorldMapRulesTest, FlagsAndVariablesOutsideTheProgressFailTheirCondition) {
  cWorldEntry flag = Entry(0), variable = Entry(0), negativeFlag = Entry(0);
  flag.m_nFlag = 5000;
  variable.m_nVariable = 99999;
  variable.m_nCompareKind = 6;  // would pass any value
  negativeFlag.m_nFlag = -2;
  cWorld& place = AddPlace(1, 1, {flag, variable, negativeFlag});
  EXPECT_EQ(ChooseWorldEntry(&place, g_SaveData), nullptr);
}

TEST_F(WorldMapRulesTest, ClearedAndPassableOffers) {
  struct cCase {
    int32_t world, flag, always;
    bool cleared, passable;
  };
  for (const cCase& c : std::vector<cCase>{{3, 0, 0, false, false},
                                           {3, 1, 0, true, true},
                                           {3, 0, 1, false, true},
                                           {0, 1, 0, true, true},
                                           {5000, 0, 0, false, false},
                                           {-1, 0, 0, false, false}}) {
    if (c.world >= 0 && c.world < 1000) g_SaveData.m_anWorldFlags[static_cast<size_t>(c.world)] = c.flag;
    cWorldEntry e = Entry(0, c.world);
    e.m_anSettings[2] = c.always;
    EXPECT_EQ(IsEntryCleared(&e, g_SaveData), c.cleared) << c.world;
    EXPECT_EQ(IsEntryPassable(&e, g_SaveData), c.passable) << c.world;
  }
  EXPECT_FALSE(IsEntryCleared(nullptr, g_SaveData));
  EXPECT_FALSE(IsEntryPassable(nullptr, g_SaveData));
}

TEST_F(WorldMapRulesTest, HeroSteps) {
  SetChip(6, 5, 1);  // water right of (5, 5)
  AddPlace(4, 5, {Entry(kWorldEntryBlocking)});
  AddPlace(5, 6, {Entry(kWorldEntryStage)});
  AddPlace(5, 4, {Entry(1)});
  SetChip(5, 4, 1);  // an offer makes a water cell walkable
  struct cCase {
    const char* name;
    int32_t x, y;
    uint16_t dir;
    int32_t toX, toY;
    int facing;
    bool moved, undone;
  };
  const std::vector<cCase> cases = {
      {"no input", 5, 5, 0, 5, 5, kFacingUp, false, false},
      {"water", 5, 5, 2, 5, 5, kFacingRight, true, true},
      {"blocking offer", 5, 5, 1, 5, 5, kFacingLeft, true, true},
      {"stage offer", 5, 5, 8, 5, 6, kFacingDown, true, false},
      {"offer on water", 5, 5, 4, 5, 4, kFacingUp, true, false},
      {"left edge", 0, 5, 1, 0, 5, kFacingLeft, true, false},
      {"right edge", 19, 5, 2, 19, 5, kFacingRight, true, false},
      {"top edge", 8, 0, 4, 8, 0, kFacingUp, true, false},
      {"bottom edge", 8, 14, 8, 8, 14, kFacingDown, true, false},
      {"left before up", 8, 8, 1 | 4, 7, 8, kFacingLeft, true, false},
      {"right before down", 8, 8, 2 | 8, 9, 8, kFacingRight, true, false},
      {"left before right", 8, 8, 1 | 2, 7, 8, kFacingLeft, true, false},
      {"up before down", 8, 8, 4 | 8, 8, 7, kFacingUp, true, false},
  };
  for (const cCase& c : cases) {
    const cHeroStep step = StepHero(g_WorldMap, g_SaveData, c.x, c.y, kFacingUp, c.dir);
    EXPECT_EQ(step.nX, c.toX) << c.name;
    EXPECT_EQ(step.nY, c.toY) << c.name;
    EXPECT_EQ(step.nFacing, c.facing) << c.name;
    EXPECT_EQ(step.bMoved, c.moved) << c.name;
    EXPECT_EQ(step.bUndone, c.undone) << c.name;
  }
}

TEST_F(WorldMapRulesTest, ADamagedMapNeverReadsOutsideItsLists) {
  SetChip(3, 3, 1);
  g_WorldMap.m_aMapEntries.resize(1);  // the water entry is gone: the cell names nothing
  EXPECT_EQ(ChipAt(g_WorldMap, 3, 3), nullptr);
  EXPECT_FALSE(StepHero(g_WorldMap, g_SaveData, 2, 3, kFacingDown, 2).bUndone);
  g_WorldMap.m_anGrid.clear();
  EXPECT_EQ(ChipAt(g_WorldMap, 0, 0), nullptr);
  EXPECT_EQ(ChipAt(g_WorldMap, -1, 0), nullptr);
  EXPECT_EQ(StepHero(g_WorldMap, g_SaveData, 0, 0, kFacingDown, 2).nX, 1);
}

class StartEntryStageTest : public WorldMapRulesTest {
 protected:
  StartEntryStageTest() {
    m_Entry = Entry(kWorldEntryStage, 4);
    m_Entry.m_anSettings[4] = 2;  // clearing it ends the game
    m_Entry.m_bVariation = 1;
    m_Entry.m_nVariationKey1 = 5;
    m_Entry.m_nVariationKey2 = 3;
    m_Entry.m_strStage = "data\\stg4\\w04-1.stg4";
    g_SaveData.m_nLives = 3;
    g_SaveData.m_nStage = 7;
  }
  cWorldEntry m_Entry;
};

TEST_F(StartEntryStageTest, TheStageTakesItsOfferAndUnlimitedLives) {
  g_SystemData.m_anModeOpt[0] = 1;
  StartEntryStage(m_Entry, "data\\stg4\\w04-1.stg4_002", g_SaveData);
  EXPECT_EQ(g_SaveData.m_nWorldEnding, 2);
  EXPECT_EQ(g_SaveData.m_strStageKey, "data\\stg4\\w04.");
  EXPECT_EQ(g_SaveData.m_strResultKey, "data\\stg4\\w04_c005_3.");
  EXPECT_EQ(g_SaveData.m_bNumberedStage, 1);
  EXPECT_EQ(g_SaveData.m_nWorld, 4);
  EXPECT_EQ(g_SaveData.m_nStage, 1);
  EXPECT_EQ(g_SaveData.m_nStartLives, kUnlimitedLives);
  EXPECT_EQ(g_SaveData.m_nLives, 3);
}

TEST_F(StartEntryStageTest, LivesCarryOverOrStartAfresh) {
  g_SystemData.m_anModeOpt[0] = 0;
  g_SystemData.m_anStartLives[0] = 5;
  g_SystemData.m_nMapOptA = 1;
  StartEntryStage(m_Entry, m_Entry.m_strStage, g_SaveData);
  EXPECT_EQ(g_SaveData.m_nStartLives, 4);
  EXPECT_EQ(g_SaveData.m_nLives, 3);
  g_SaveData.m_nLives = INT_MAX;
  StartEntryStage(m_Entry, m_Entry.m_strStage, g_SaveData);
  EXPECT_EQ(g_SaveData.m_nStartLives, INT_MAX);

  g_SystemData.m_nMapOptA = 0;
  StartEntryStage(m_Entry, m_Entry.m_strStage, g_SaveData);
  EXPECT_EQ(g_SaveData.m_nStartLives, 5);
}

TEST_F(StartEntryStageTest, WithoutAConditionTheResultKeyIsTheStageKey) {
  m_Entry.m_bVariation = 0;
  StartEntryStage(m_Entry, "data\\stg4\\free.stg4_000", g_SaveData);
  EXPECT_EQ(g_SaveData.m_strStageKey, "data\\stg4\\free.");
  EXPECT_EQ(g_SaveData.m_strResultKey, g_SaveData.m_strStageKey);
  EXPECT_EQ(g_SaveData.m_bNumberedStage, 0);
}

}  // namespace
