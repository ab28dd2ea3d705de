#pragma once
// The summons of the shot pattern loop: characters and items built from a type at a map position, and
// blocks placed, erased or toggled in the map cell under a summoning point. A summon never reaches
// outside the stage proper: a point over the margin or past the map builds nothing.
#include <cstdint>
#include <list>

#include "data/block_type.h"
#include "data/chara_type.h"
#include "data/item_type.h"
#include "data/move_shot.h"

class cChara;
class cCharaBase;
class cItem;

// Block modes of the summoning settings.
enum : int {
  kSummonPlace = 0,
  kSummonErase = 1,
  kSummonToggle = 2,
};

// What a summon reads of its summoning settings besides the position: whether the summoned object
// lives for a limited time and how long (tenths of a second), the block mode, the refusals of a
// block placed onto the hero or onto another character, and the two flags a summoned character
// takes over (its attacks fire the summoner's triggers 20-23, with an argument).
bool SummonHasLifetime(const cEdShot& settings);
int SummonLifetimeTenths(const cEdShot& settings);
int SummonBlockMode(const cEdShot& settings);
bool SummonRefusesHero(const cEdShot& settings);
bool SummonRefusesChara(const cEdShot& settings);
int32_t SummonCountsForParent(const cEdShot& settings);
uint8_t SummonParentArg(const cEdShot& settings);

// The map column (or row) of a block summoned at coordinate v: the cell under the summon's 32-dot
// centre, trunc(v + 16.5) >> 5, margins counted (so 15.4 gives 0 and 15.5 gives 1).
int SummonCellCoord(double v);
// The block-table cell of a summon at (x, y), margins included: false when its column or its row
// lies outside the map with its margins, each checked on its own, so that a column past the end of
// a row never reaches into the next row, and for cell 0, which stands for "no cell" in the map
// sampling and stays empty.
struct cSummonCell {
  int nColumn = 0;
  int nRow = 0;
  int nIndex = 0;
};
bool FindSummonCell(double x, double y, cSummonCell& cell);

// Builds the characters of a type (the type's repeat count + 1) around (x, y) into list: each one
// that lies inside the map and can be freed from the blocks by three one-dot nudges is linked to the
// hero and the summoner, takes its lifetime and flags from the settings, joins its group and takes the
// next id; the others are dropped without using an id.
void SummonCharaInto(std::list<cChara>& list, double x, double y, const cCharaType& type, const cEdShot& settings,
                     int32_t& idCounter, cCharaBase* summoner);
// Builds an item of a type at (x, y) moved by the type's placement offsets into list, when it lies
// inside the map: clamped to the map, with the summon's lifetime and the next id.
void SummonItemInto(std::list<cItem>& list, double x, double y, const cItemType& type, const cEdShot& settings,
                    int32_t& idCounter);
// Places, erases or toggles the block of the cell under (x, y) by the settings' block mode. 1 when
// the cell changed, else 0.
int SummonBlockAt(double x, double y, const cEdShot& settings, const cBlockType& type);
// Whether a living hero or a living active character in the cell (map column and row) touches its
// block and the settings refuse a placement onto it; every counted object gets its block-summon
// flag set to 2.
bool IsCellOccupied(int cell, int column, int row, const cEdShot& settings);
