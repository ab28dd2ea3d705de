// Summons: the cell under a summoning point with its range checks, the three block modes with the
// protect flag and the refusals, and characters and items built from a summoning shot.
#include "stage/summons.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "data/game_data.h"
#include "data/palette.h"
#include "data/system_data.h"
#include "objects/chara.h"
#include "objects/hero.h"
#include "objects/stage_physics.h"
#include "stage/condition_lists.h"
#include "test_support/hooks_guard.h"
#include "test_support/stage_harness.h"

namespace {

constexpr int kMargin = 10;

// The map dot of a stage cell's left (or top) edge, where a summoning point puts a block into it.
double CellDot(int stageCell) { return (stageCell + kMargin) * 32.0; }

cEdShot BlockSettings(int mode, bool refuseHero = false, bool refuseChara = false) {
  cEdShot settings;
  settings.m_nS60 = static_cast<int8_t>(mode);
  settings.m_nS61 = refuseHero ? 1 : 0;
  settings.m_nS62 = refuseChara ? 1 : 0;
  return settings;
}

cBlockType NewBlock() {
  cBlockType type = HarnessBlockType(1);
  type.m_nGraphic = 7;
  return type;
}

bool InGroup(const cStageState& stage, const cCharaBase& chara) {
  for (const auto& group : stage.m_aCharaGroups)
    if (std::find(group.begin(), group.end(), &chara) != group.end()) return true;
  return false;
}

}  // namespace

TEST(SummonCells, TheCentreOfTheSummonDecidesTheColumn) {
  EXPECT_EQ(SummonCellCoord(15.4), 0);  // trunc(31.9) >> 5
  EXPECT_EQ(SummonCellCoord(15.5), 1);
  EXPECT_EQ(SummonCellCoord(-16.6), 0);  // trunc(-0.1) is 0: the margin's first column
  EXPECT_EQ(SummonCellCoord(-50), -2);   // left of the map: a negative column
  EXPECT_EQ(SummonCellCoord(CellDot(0)), kMargin);
}

// A 5 x 4 stage: map columns 10-14 and rows 10-13 are the stage proper, 25 columns and 24 rows with
// the margins, which take summons too. Rows of the block table are 32 cells long: a column past the
// right margin would land in the row's unused end (columns 25-31) or reach into the next row, and is
// refused, as is cell 0.
TEST(SummonCells, ColumnAndRowAreCheckedOnTheirOwnAgainstTheMapWithItsMargins) {
  cStageHarness h({"H....", ".....", ".....", "....."});
  struct Case {
    double x, y;
    bool found;
    int column, row;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
      {CellDot(0), CellDot(0), true, 10, 10},
      {CellDot(4), CellDot(3), true, 14, 13},
      {CellDot(0) - 16.6, CellDot(0), true, 9, 10},  // half a cell left: the margin's last column
      {CellDot(5), CellDot(0), true, 15, 10},        // the right margin
      {CellDot(0), CellDot(-1), true, 10, 9},        // the top margin
      {CellDot(0), CellDot(4), true, 10, 14},        // the bottom margin
      {CellDot(14), CellDot(13), true, 24, 23},      // the last cell of the margins
      {15.5, 15.4, true, 1, 0},                      // the corner row
      {15.4, 47.4, true, 0, 1},                      // the margin column
      {15.4, 15.4, false, 0, 0},                     // cell 0
      {CellDot(15), CellDot(1), false, 0, 0},        // past the right margin, inside the table's row
      {43 * 32.0, CellDot(1), false, 0, 0},          // would reach into the next row
      {-17.5, 47.5, false, 0, 0},                    // column -1: the end of the row above
      {CellDot(0), CellDot(14), false, 0, 0},        // past the bottom margin: beyond the table
      {-5000, CellDot(1), false, 0, 0},
      {CellDot(1), 1e12, false, 0, 0},
      {nan, CellDot(1), false, 0, 0},
  };
  for (const Case& c : cases) {
    cSummonCell cell;
    ASSERT_EQ(FindSummonCell(c.x, c.y, cell), c.found) << c.x << "," << c.y;
    if (!c.found) continue;
    EXPECT_EQ(cell.nColumn, c.column);
    EXPECT_EQ(cell.nRow, c.row);
    EXPECT_EQ(cell.nIndex, c.column + (c.row << h.Stage().BlockRowShift()));
  }
}

TEST(SummonBlocks, RefusedPointsLeaveEveryCellAloneAndCellZeroStaysEmpty) {
  cStageHarness h({"H....", ".....", ".....", "....."});
  const std::vector<cBlock> before = g_BlockTable;
  for (double x : {-40.0, 43 * 32.0, CellDot(15)})
    EXPECT_EQ(SummonBlockAt(x, CellDot(1), BlockSettings(kSummonPlace), NewBlock()), 0);
  EXPECT_EQ(SummonBlockAt(0, 0, BlockSettings(kSummonPlace), NewBlock()), 0);
  for (size_t i = 0; i < before.size(); ++i) {
    EXPECT_EQ(g_BlockTable[i].m_nGraphic, before[i].m_nGraphic) << i;
    EXPECT_EQ(g_BlockTable[i].m_nContact, before[i].m_nContact) << i;
  }
  EXPECT_EQ(GetBlockContact(g_BlockTable[0], 0), 0);
  // A margin cell takes the block.
  EXPECT_EQ(SummonBlockAt(15.4, CellDot(1), BlockSettings(kSummonPlace), NewBlock()), 1);
  EXPECT_EQ(g_BlockTable[static_cast<size_t>(11 << h.Stage().BlockRowShift())].m_nGraphic, 7);
}

TEST(SummonBlocks, PlaceEraseAndToggleOncePerCell) {
  cStageHarness h({"H....", ".....", "..#..", "....."});
  cBlock& empty = h.Cell(3, 1);
  EXPECT_EQ(SummonBlockAt(CellDot(3), CellDot(1), BlockSettings(kSummonPlace), NewBlock()), 1);
  EXPECT_EQ(empty.m_nGraphic, 7);
  EXPECT_EQ(empty.m_nLatch, 0);

  cBlock& solid = h.Cell(2, 2);
  EXPECT_EQ(SummonBlockAt(CellDot(2), CellDot(2), BlockSettings(kSummonErase), NewBlock()), 1);
  EXPECT_EQ(solid.m_nGraphic, 0);
  EXPECT_EQ(GetBlockContact(solid, 0), 0);  // erased: no invisible wall is left behind

  EXPECT_EQ(SummonBlockAt(CellDot(3), CellDot(1), BlockSettings(kSummonToggle), NewBlock()), 1);
  EXPECT_EQ(empty.m_nGraphic, 0);  // a present block is toggled off
  EXPECT_EQ(SummonBlockAt(CellDot(3), CellDot(1), BlockSettings(kSummonToggle), NewBlock()), 0);
  EXPECT_EQ(empty.m_nGraphic, 0);  // the same cell toggles once per stage object
  EXPECT_EQ(SummonBlockAt(CellDot(4), CellDot(1), BlockSettings(kSummonToggle), NewBlock()), 1);
  EXPECT_EQ(h.Cell(4, 1).m_nGraphic, 7);  // an empty cell is toggled on
  EXPECT_EQ(h.Stage().m_anReplacedCells, (std::vector<int32_t>{h.CellIndex(3, 1), h.CellIndex(4, 1)}));
  EXPECT_EQ(SummonBlockAt(CellDot(1), CellDot(1), BlockSettings(7), NewBlock()), 0);
  EXPECT_EQ(h.Cell(1, 1).m_nGraphic, 0);
}

TEST(SummonBlocks, AProtectedBlockIsSafeWhilePresentOrAlwaysUnderTheProjectSetting) {
  cStageHarness h({"H....", ".....", "..#..", "....."});
  cHooksGuard blocks(SetBlockHooks, cBlockHooks{CheckBlockCondition});
  g_SaveData.m_anCommonVars.assign(4, 0);
  cBlock& cell = h.Cell(2, 2);
  cell.m_bProtected = 1;
  EXPECT_EQ(SummonBlockAt(CellDot(2), CellDot(2), BlockSettings(kSummonErase), NewBlock()), 0);
  EXPECT_EQ(cell.m_nGraphic, 1);
  cCond absent;
  absent.m_nKind = kCondCommonVar;
  absent.m_nOperand = 1;  // the variable is 0: the block is not there
  cell.m_aConds = {absent};
  EXPECT_EQ(SummonBlockAt(CellDot(2), CellDot(2), BlockSettings(kSummonPlace), NewBlock()), 1);
  EXPECT_EQ(cell.m_nGraphic, 7);

  g_SystemData.m_nSummonOpt637 = 1;
  cBlock& flaggedEmpty = h.Cell(1, 1);
  flaggedEmpty.m_bProtected = 1;
  EXPECT_EQ(SummonBlockAt(CellDot(1), CellDot(1), BlockSettings(kSummonPlace), NewBlock()), 0);
  EXPECT_EQ(flaggedEmpty.m_nGraphic, 0);
}

TEST(SummonBlocks, ARefusingSummonKeepsTheOldCellWhereTheHeroStands) {
  cStageHarness h({".....", "H....", "#####", "....."});
  cHero& hero = h.Hero();
  const cHarnessPlacement& at = h.Placement('H');
  EXPECT_EQ(SummonBlockAt(CellDot(at.nColumn), CellDot(at.nRow), BlockSettings(kSummonPlace, true), NewBlock()), 0);
  EXPECT_EQ(h.Cell(at.nColumn, at.nRow).m_nGraphic, 0);
  EXPECT_EQ(hero.m_anBlockSummon[0], 2);
  hero.m_anBlockSummon[0] = 0;
  // Refusing only other characters: the hero is counted, the block stands.
  EXPECT_EQ(SummonBlockAt(CellDot(at.nColumn), CellDot(at.nRow), BlockSettings(kSummonPlace, false, true), NewBlock()),
            1);
  EXPECT_EQ(h.Cell(at.nColumn, at.nRow).m_nGraphic, 7);
  EXPECT_EQ(hero.m_anBlockSummon[0], 2);
}

// A hero that flies through blocks takes no room from a summoned block, unless the project counts
// such objects as occupying the cell.
TEST(SummonBlocks, ObjectsFlyingThroughBlocksOccupyACellOnlyUnderTheProjectSwitch) {
  for (const int counted : {0, 1}) {
    cStageHarness h({".....", "H....", "#####", "....."});
    g_SystemData.m_bLegacy913 = counted;
    cHero& hero = h.Hero();
    hero.m_bGravityFree = 1;
    hero.m_nFlightMode = 0;
    const cHarnessPlacement& at = h.Placement('H');
    EXPECT_EQ(SummonBlockAt(CellDot(at.nColumn), CellDot(at.nRow), BlockSettings(kSummonPlace, true), NewBlock()),
              counted ? 0 : 1)
        << counted;
    EXPECT_EQ(hero.m_anBlockSummon[0], counted ? 2 : 0);
  }
}

TEST(SummonCharas, ASummonedCharacterIsLinkedJoinsItsGroupAndTakesTheNextId) {
  cStageHarness h({"H...C...", "........", "........", "########"});
  cStageState& stage = h.Stage();
  cChara& summoner = h.Chara(0);
  const int32_t firstId = stage.m_nNextCharaId;
  cCharaType type = HarnessCharaType();
  type.m_nOpt28 = 3;  // kind 3
  cEdShot settings;
  settings.m_bTimeLimit = 1;
  settings.m_nTime = 5;
  settings.m_nS63 = 1;
  settings.m_nS64 = 6;
  SummonCharaInto(g_CharaList, CellDot(2), CellDot(1), type, settings, stage.m_nNextCharaId, &summoner);
  ASSERT_EQ(g_CharaList.size(), 2u);
  cChara& chara = g_CharaList.back();
  EXPECT_EQ(chara.m_nNumber, firstId);
  EXPECT_EQ(stage.m_nNextCharaId, firstId + 1);
  EXPECT_EQ(chara.m_nKind, 3);
  EXPECT_TRUE(InGroup(stage, chara));
  EXPECT_EQ(std::count(stage.m_aCharaGroups[3].begin(), stage.m_aCharaGroups[3].end(), &chara), 1);
  EXPECT_EQ(chara.m_apTargets[0], &h.Hero());
  EXPECT_EQ(chara.m_lpParent, &summoner);
  EXPECT_NE(std::find(summoner.m_aLinks.begin(), summoner.m_aLinks.end(), cCharaLink{&chara, kLinkChild}),
            summoner.m_aLinks.end());
  EXPECT_EQ(chara.m_nLifetime, 5 * StageSubSteps6());
  EXPECT_EQ(chara.m_bCountsForParent, 1);
  EXPECT_EQ(chara.m_nParentArg, 6);
  // Its graphic box on the summoning point, its home at the point's cell centre.
  EXPECT_EQ(chara.m_dX - chara.m_nHitOffsetX, CellDot(2));
  EXPECT_EQ(chara.m_dHomeX, CellDot(2) + 16);
  EXPECT_EQ(chara.m_dHomeY, CellDot(1) + 16);
}

TEST(SummonCharas, RepeatsArePlacedByTheTypesOffsetsAndOutsidersAreDropped) {
  cStageHarness h({"H.......", "........", "........", "########"});
  cStageState& stage = h.Stage();
  cCharaType type = HarnessCharaType();
  type.m_nOpt6 = 2;  // three characters
  type.m_nPlaceStepX = 32;
  type.m_nPlaceOffsetY = -8;
  const int32_t firstId = stage.m_nNextCharaId;
  SummonCharaInto(g_CharaList, CellDot(1), CellDot(1), type, cEdShot(), stage.m_nNextCharaId, nullptr);
  ASSERT_EQ(g_CharaList.size(), 3u);
  int i = 0;
  for (const cChara& chara : g_CharaList) {
    EXPECT_EQ(chara.m_nNumber, firstId + i);
    EXPECT_EQ(chara.m_dX - chara.m_nHitOffsetX, CellDot(1) + 32 * i);
    EXPECT_EQ(chara.m_dY - chara.m_nHitOffsetY, CellDot(1) - 8);
    EXPECT_EQ(chara.m_dHomeX, CellDot(1) + 16 + 32 * i);
    EXPECT_EQ(chara.m_nLifetime, 2147483647);  // no lifetime in the settings
    ++i;
  }
  g_SystemData.m_bLegacy768 = 1;  // older projects: the home stays on the summoning point
  type.m_nOpt6 = 0;
  SummonCharaInto(g_CharaList, CellDot(1), CellDot(1), type, cEdShot(), stage.m_nNextCharaId, nullptr);
  EXPECT_EQ(g_CharaList.back().m_dHomeY, CellDot(1) + 16);

  const size_t count = g_CharaList.size();
  const int32_t next = stage.m_nNextCharaId;
  SummonCharaInto(g_CharaList, -3000, CellDot(1), type, cEdShot(), stage.m_nNextCharaId, nullptr);
  EXPECT_EQ(g_CharaList.size(), count);
  EXPECT_EQ(stage.m_nNextCharaId, next);
}

TEST(SummonCharas, ThreeNudgesFreeACharacterOrItIsDiscardedWithoutUsingAnId) {
  cStageHarness h({"H.......", "........", "........", "########"});
  cStageState& stage = h.Stage();
  const cCharaType type = HarnessCharaType();
  // Where a free summon's bottom lies, so that one dot lower it stands a dot inside the floor.
  SummonCharaInto(g_CharaList, CellDot(3), CellDot(1), type, cEdShot(), stage.m_nNextCharaId, nullptr);
  ASSERT_EQ(g_CharaList.size(), 1u);
  const double drop = CellDot(3) - std::trunc(g_CharaList.back().m_dY2);  // the floor row's top - y2
  const double freeY = g_CharaList.back().m_dY;
  SummonCharaInto(g_CharaList, CellDot(3), CellDot(1) + drop, type, cEdShot(), stage.m_nNextCharaId, nullptr);
  ASSERT_EQ(g_CharaList.size(), 2u);
  EXPECT_EQ(g_CharaList.back().m_dY, freeY + drop - 1);  // nudged up by one dot

  const size_t count = g_CharaList.size();
  const int32_t next = stage.m_nNextCharaId;
  SummonCharaInto(g_CharaList, CellDot(3), CellDot(3), type, cEdShot(), stage.m_nNextCharaId, nullptr);
  EXPECT_EQ(g_CharaList.size(), count);  // inside the floor: discarded
  EXPECT_EQ(stage.m_nNextCharaId, next);
}

TEST(SummonItems, AnItemInsideTheMapIsClampedAndTimedOutsidersAreNotMade) {
  cStageHarness h({"H....", ".....", "....."});
  cStageState& stage = h.Stage();
  const size_t count = g_ItemList.size();
  cItemType type = HarnessItemType();
  type.m_nValue5 = 4;
  type.m_nValue6 = -2;
  cEdShot settings;
  settings.m_bTimeLimit = 1;
  settings.m_nTime = 2;
  const int32_t firstId = stage.m_nNextItemId;
  SummonItemInto(g_ItemList, CellDot(2), CellDot(1), type, settings, stage.m_nNextItemId);
  ASSERT_EQ(g_ItemList.size(), count + 1);
  const cItem& item = g_ItemList.back();
  EXPECT_EQ(item.m_nNumber, firstId);
  EXPECT_EQ(stage.m_nNextItemId, firstId + 1);
  EXPECT_EQ(item.m_dX, CellDot(2) + 4 + item.m_nHitOffsetX);
  EXPECT_EQ(item.m_dY, CellDot(1) - 2 + item.m_nHitOffsetY);
  EXPECT_EQ(item.m_nLifetime, 2 * StageSubSteps6());
  SummonItemInto(g_ItemList, -500, CellDot(1), type, settings, stage.m_nNextItemId);
  EXPECT_EQ(g_ItemList.size(), count + 1);
  EXPECT_EQ(stage.m_nNextItemId, firstId + 1);
}
