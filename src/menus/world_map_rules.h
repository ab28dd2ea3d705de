#pragma once
// The rules of the world map that need no screen: where a cell lies in the grid, which offer of a
// place stands there now, whether it is cleared or may be walked over, one step of the hero, the
// progress a stage start takes from the offer, and the project's world-map switches.
#include <cstdint>
#include <string>

#include "data/save_data.h"
#include "data/world_map.h"

// Offer kinds: a stage, and the one the hero may not step on; every other kind is walkable and
// starts nothing.
constexpr int32_t kWorldEntryStage = 0;
constexpr int32_t kWorldEntryBlocking = 2;

// Hero facings on the map (the progress keeps the same numbers).
enum eMapFacing : int {
  kFacingDown = 0,
  kFacingUp = 1,
  kFacingLeft = 2,
  kFacingRight = 3,
};

// The settings of an offer, by what the map reads of them.
inline int32_t EntryIconRow(const cWorldEntry& e) { return e.m_anSettings[0]; }
inline int32_t EntryWorld(const cWorldEntry& e) { return e.m_anSettings[1]; }
inline bool EntryAlwaysPassable(const cWorldEntry& e) { return e.m_anSettings[2] != 0; }
inline bool EntryReplayable(const cWorldEntry& e) { return e.m_anSettings[3] != 0; }
inline int32_t EntryOnClear(const cWorldEntry& e) { return e.m_anSettings[4]; }

// Index of cell (x, y) in the grid: x is held to the map's columns; a negative y gives x alone (row
// 0); a y past the last row is held to it.
int64_t CellIndex(const cWorldMap& map, int32_t x, int32_t y);
// The map chip of cell (x, y), or null when the cell or its chip number lies outside the map's lists.
const cMapEntry* ChipAt(const cWorldMap& map, int32_t x, int32_t y);

// Whether common variable value v passes comparison op with operand d: 0 =, 1 !=, 2 >=, 3 <=, 4 >,
// 5 <, 6 d is 0 or divides |v|, 7 d is not 0 and does not divide |v|; any other op fails.
bool CompareWorldVariable(int32_t op, int32_t v, int32_t d);
// The first offer of the place whose world flag, common-variable condition and required result total
// all hold for the progress; null when none does or there is no place. A flag or variable number
// outside the progress's lists fails its condition.
cWorldEntry* ChooseWorldEntry(cWorld* place, const cSaveData& save);
// The offer's world was cleared (its world flag is set); false for null.
bool IsEntryCleared(const cWorldEntry* entry, const cSaveData& save);
// The hero may walk over the offer: always-passable, or cleared; false for null.
bool IsEntryPassable(const cWorldEntry* entry, const cSaveData& save);

// One step of the hero by a direction word (only the first of left, right, up, down counts; the map
// edge holds the hero on its cell but the hero still turns).
struct cHeroStep {
  int32_t nX = 0, nY = 0;  // the cell after the step (the old one when undone or without a move)
  int nFacing = kFacingDown;
  bool bMoved = false;   // a direction was given
  bool bUndone = false;  // the new cell refused the hero: a blocked chip without an offer, or a blocking offer
};
cHeroStep StepHero(cWorldMap& map, const cSaveData& save, int32_t x, int32_t y, int facing, uint16_t dir);

// The progress of a stage start from an offer: its on-clear action, the stage loaded from path as
// the current stage with the offer's result-key condition, its world, stage 1, and the lives at the
// start (unlimited under the story's unlimited-lives switch; else the lives left plus the one being
// played when lives carry over, or the story's start lives).
void StartEntryStage(const cWorldEntry& entry, const std::string& loadedPath, cSaveData& save);

// The project's world-map switches.
bool CarryLivesOn();
bool ShowLivesOnMap();
bool MapShowsScore();
// The story's rankings are enabled (entry 0 of the project's mode list).
bool StoryRankingsOn();
