#include "stage/summons.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "core/containers.h"
#include "core/numbers.h"
#include "data/game_data.h"
#include "data/palette.h"
#include "data/system_data.h"
#include "objects/chara.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "objects/play_objects.h"
#include "objects/stage_physics.h"
#include "objects/stage_state.h"
#include "stage/block_charas.h"
#include "stage/condition_lists.h"
#include "stage/contact_rules.h"
#include "stage/placement_offset.h"
#include "stage/project_rules.h"

bool SummonHasLifetime(const cEdShot& settings) { return settings.m_bTimeLimit != 0; }
int SummonLifetimeTenths(const cEdShot& settings) { return settings.m_nTime; }
int SummonBlockMode(const cEdShot& settings) { return settings.m_nS60; }
bool SummonRefusesHero(const cEdShot& settings) { return settings.m_nS61 != 0; }
bool SummonRefusesChara(const cEdShot& settings) { return settings.m_nS62 != 0; }
int32_t SummonCountsForParent(const cEdShot& settings) { return settings.m_nS63; }
uint8_t SummonParentArg(const cEdShot& settings) { return static_cast<uint8_t>(settings.m_nS64); }

namespace {

// Any block with the protect flag is safe from summons, not only a present one whose conditions hold.
bool ProtectAnyFlaggedBlock() { return g_SystemData.m_nSummonOpt637 != 0; }

// Sub-steps a summon lives: tenths x 6 frames x n sub-steps, kept within int32.
int32_t LifetimeSubSteps(const cEdShot& settings) {
  const int64_t steps = static_cast<int64_t>(SummonLifetimeTenths(settings)) * StageSubSteps6();
  return static_cast<int32_t>(std::clamp<int64_t>(steps, INT32_MIN, INT32_MAX));
}

// Frees a new character from the blocks: up one dot, then down one and left one, then up one.
bool FreeFromBlocks(cChara& chara) {
  if (!IsCharaPlaceTaken(chara)) return true;
  chara.m_dY -= 1;
  chara.AfterMoveY();
  if (!IsCharaPlaceTaken(chara)) return true;
  chara.m_dY += 1;
  chara.m_dX -= 1;
  chara.AfterMoveX();
  chara.AfterMoveY();
  if (!IsCharaPlaceTaken(chara)) return true;
  chara.m_dY -= 1;
  chara.AfterMoveY();
  return !IsCharaPlaceTaken(chara);
}

// The cell left behind by an erase: the common palette's empty block, with no contact and no
// protection, as set-up leaves an empty cell.
void EraseCell(cBlock& cell) {
  if (!g_CommonPalette.m_aBlockTypes.empty())
    static_cast<cBlockType&>(cell) = g_CommonPalette.m_aBlockTypes[0];
  else
    static_cast<cBlockType&>(cell) = cBlockType();
  cell.m_nGraphic = 0;
  cell.m_nContact = 0;
  cell.m_bProtected = 0;
  cell.m_nLatch = 0;
}

void PutBlock(cBlock& cell, const cBlockType& type) {
  static_cast<cBlockType&>(cell) = type;
  cell.m_nLatch = 0;
}

bool IsProtected(cBlock& cell) {
  if (!cell.m_bProtected) return false;
  if (ProtectAnyFlaggedBlock()) return true;
  return cell.m_nGraphic != 0 && CheckBlockCondition(cell);
}

// Mode 0: the new block stands unless a refusing object occupies the cell, in which case the old
// block is put back. True when the block was placed.
bool PlaceBlock(cBlock& cell, const cSummonCell& at, const cEdShot& settings, const cBlockType& type) {
  if (!SummonRefusesHero(settings) && !SummonRefusesChara(settings)) {
    PutBlock(cell, type);
    IsCellOccupied(at.nIndex, at.nColumn, at.nRow, settings);
    return true;
  }
  const cBlock old = cell;
  PutBlock(cell, type);
  if (!IsCellOccupied(at.nIndex, at.nColumn, at.nRow, settings)) return true;
  cell = old;
  return false;
}

// The hit box of an object whose graphic box has its top-left at (x, y), edges included.
void PutHitBoxAt(cObject& object, double x, double y) {
  object.m_dX = x + object.m_nHitOffsetX;
  object.m_dY = y + object.m_nHitOffsetY;
  object.m_dX2 = object.m_dX + object.m_nWidth - 1;
  object.m_dY2 = object.m_dY + object.m_nHeight - 1;
}

bool Overlaps(const cObject& object, double left, double top, double right, double bottom) {
  return object.m_dX <= right && object.m_dX2 >= left && object.m_dY <= bottom && object.m_dY2 >= top;
}

}  // namespace

int SummonCellCoord(double v) { return TruncToInt(v + 16.5) >> 5; }

bool FindSummonCell(double x, double y, cSummonCell& cell) {
  const cStageState* stage = g_lpSceneStage;
  if (!stage) return false;
  const cScrollAxis& ax = stage->m_ScrollX;
  const cScrollAxis& ay = stage->m_ScrollY;
  if (std::isnan(x) || std::isnan(y)) return false;  // no place at all
  const int column = SummonCellCoord(x);
  const int row = SummonCellCoord(y);
  // The map with its margins; a column past its right edge would land in the row's unused end or
  // in the next row.
  if (column < 0 || column >= ax.m_nCells || row < 0 || row >= ay.m_nCells) return false;
  const int shift = stage->BlockRowShift();
  if (shift < 0 || shift > 20 || column >= (1 << shift)) return false;
  const int64_t index = static_cast<int64_t>(column) + (static_cast<int64_t>(row) << shift);
  // Cell 0 stays empty: it stands for "no cell" in the map sampling.
  if (index <= 0 || index >= static_cast<int64_t>(g_BlockTable.size())) return false;
  cell.nColumn = column;
  cell.nRow = row;
  cell.nIndex = static_cast<int>(index);
  return true;
}

void SummonCharaInto(std::list<cChara>& list, double x, double y, const cCharaType& type, const cEdShot& settings,
                     int32_t& idCounter, cCharaBase* summoner) {
  cStageState* stage = g_lpSceneStage;
  if (!stage) return;
  const int repeat = type.m_nOpt6;
  for (int i = 0; i <= repeat; ++i) {
    cCharaType copy = type;
    list.emplace_back();
    auto it = std::prev(list.end());
    cChara& chara = *it;
    chara.InitChara(idCounter, copy, nullptr, x + 16, y + 16, i);
    // The graphic box's top-left on the summoning point. Nothing clamps it yet: a character placed
    // outside the map is dropped below, not pushed back in.
    PutHitBoxAt(chara, x, y);
    ApplyPlacementOffset(chara, chara.m_Type, i, chara.m_Type.m_nFacing, HomeKeepsPlacementOffset());
    if (!chara.IsInsideStage(1)) {
      list.erase(it);
      continue;
    }
    chara.AfterMoveX();
    chara.AfterMoveY();
    chara.UpdateScreenRect();
    if (!FreeFromBlocks(chara)) {
      list.erase(it);
      continue;
    }
    chara.LinkHeroAndParent(summoner);
    if (SummonHasLifetime(settings)) chara.m_nLifetime = LifetimeSubSteps(settings);
    chara.m_bCountsForParent = SummonCountsForParent(settings);
    chara.m_nParentArg = SummonParentArg(settings);
    VecAt(stage->m_aCharaGroups, chara.m_nKind).push_back(&chara);
    ++idCounter;
  }
}

void SummonItemInto(std::list<cItem>& list, double x, double y, const cItemType& type, const cEdShot& settings,
                    int32_t& idCounter) {
  cItemType copy = type;
  cItem item;
  item.InitItem(idCounter, copy, 0);
  PutHitBoxAt(item, x + type.m_nValue5, y + type.m_nValue6);
  if (!item.IsInsideStage(1)) return;
  item.ClampToStageX(2);
  item.ClampToStageY(2);
  if (SummonHasLifetime(settings)) item.m_nLifetime = LifetimeSubSteps(settings);
  list.push_back(item);
  ++idCounter;
}

int SummonBlockAt(double x, double y, const cEdShot& settings, const cBlockType& type) {
  cSummonCell at;
  if (!FindSummonCell(x, y, at)) return 0;
  cBlock& cell = VecAt(g_BlockTable, at.nIndex);
  if (IsProtected(cell)) return 0;
  switch (SummonBlockMode(settings)) {
    case kSummonPlace: return PlaceBlock(cell, at, settings, type) ? 1 : 0;
    case kSummonErase: EraseCell(cell); return 1;
    case kSummonToggle: {
      std::vector<int32_t>& replaced = g_lpSceneStage->m_anReplacedCells;
      if (std::find(replaced.begin(), replaced.end(), at.nIndex) != replaced.end()) return 0;
      if (cell.m_nGraphic != 0 && CheckBlockCondition(cell))
        EraseCell(cell);
      else if (!PlaceBlock(cell, at, settings, type))
        return 0;
      replaced.push_back(at.nIndex);
      return 1;
    }
    default: return 0;
  }
}

bool IsCellOccupied(int cell, int column, int row, const cEdShot& settings) {
  const double left = column * 32.0;
  const double top = row * 32.0;
  const double right = (column + 1) * 32.0 - 0.1;
  const double bottom = (row + 1) * 32.0 - 0.1;
  cBlock& block = VecAt(g_BlockTable, cell);
  auto counts = [&](cCharaBase& object) {
    if (!Overlaps(object, left, top, right, bottom)) return false;
    if (GetBlockContact(block, object.m_nKind) == 0) return false;
    if (FliesThroughBlocks(object) && !CountObjectsFlyingThrough()) return false;
    object.m_anBlockSummon[0] = 2;
    return true;
  };
  for (cHero& hero : g_HeroList)
    if (!hero.m_bDead && counts(hero) && SummonRefusesHero(settings)) return true;
  for (cChara& chara : g_CharaList)
    if (!chara.m_bDead && chara.m_bActive && counts(chara) && SummonRefusesChara(settings)) return true;
  return false;
}
