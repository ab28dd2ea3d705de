#include "menus/world_map_rules.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "data/game_data.h"

namespace {
// The story's row of the project's per-mode lists.
constexpr size_t kStoryMode = 0;

// Entry i of a list, or fallback when i lies outside it.
int32_t ListValue(const std::vector<int32_t>& list, int64_t i, int32_t fallback) {
  return i >= 0 && i < static_cast<int64_t>(list.size()) ? list[static_cast<size_t>(i)] : fallback;
}
}  // namespace

int64_t CellIndex(const cWorldMap& map, int32_t x, int32_t y) {
  const int64_t cx = std::max<int64_t>(0, std::min<int64_t>(x, int64_t{map.m_nWidth} - 1));
  if (y < 0) return cx;
  const int64_t cy = std::max<int64_t>(0, std::min<int64_t>(y, int64_t{map.m_nHeight} - 1));
  const int shift = std::clamp(map.m_nPitchShift, 0, 30);
  return cx + (cy << shift);
}

const cMapEntry* ChipAt(const cWorldMap& map, int32_t x, int32_t y) {
  if (x < 0 || y < 0 || x >= map.m_nWidth || y >= map.m_nHeight) return nullptr;
  const int64_t cell = CellIndex(map, x, y);
  if (cell >= static_cast<int64_t>(map.m_anGrid.size())) return nullptr;
  const int32_t chip = map.m_anGrid[static_cast<size_t>(cell)];
  if (chip < 0 || static_cast<size_t>(chip) >= map.m_aMapEntries.size()) return nullptr;
  return &map.m_aMapEntries[static_cast<size_t>(chip)];
}

bool CompareWorldVariable(int32_t op, int32_t v, int32_t d) {
  // 64 bits: the magnitude of the smallest int and its remainder by -1 stay defined.
  const int64_t magnitude = std::llabs(int64_t{v});
  switch (op) {
    case 0: return v == d;
    case 1: return v != d;
    case 2: return v >= d;
    case 3: return v <= d;
    case 4: return v > d;
    case 5: return v < d;
    case 6: return d == 0 || magnitude % d == 0;
    case 7: return d != 0 && magnitude % d != 0;
    default: return false;
  }
}

cWorldEntry* ChooseWorldEntry(cWorld* place, const cSaveData& save) {
  if (!place) return nullptr;
  for (cWorldEntry& e : place->m_aEntries) {
    if (e.m_nFlag != 0 && ListValue(save.m_anWorldFlags, e.m_nFlag, 0) == 0) continue;
    if (e.m_nVariable != 0) {
      if (e.m_nVariable < 0 || e.m_nVariable >= static_cast<int32_t>(save.m_anCommonVars.size())) continue;
      const int32_t v = save.m_anCommonVars[static_cast<size_t>(e.m_nVariable)];
      if (!CompareWorldVariable(e.m_nCompareKind, v, e.m_nCompareValue)) continue;
    }
    if (save.m_nResultTotal < e.m_nMinTotal) continue;
    return &e;
  }
  return nullptr;
}

bool IsEntryCleared(const cWorldEntry* entry, const cSaveData& save) {
  return entry && ListValue(save.m_anWorldFlags, EntryWorld(*entry), 0) != 0;
}

bool IsEntryPassable(const cWorldEntry* entry, const cSaveData& save) {
  if (!entry) return false;
  return EntryAlwaysPassable(*entry) || IsEntryCleared(entry, save);
}

cHeroStep StepHero(cWorldMap& map, const cSaveData& save, int32_t x, int32_t y, int facing, uint16_t dir) {
  cHeroStep step;
  step.nX = x;
  step.nY = y;
  step.nFacing = facing;
  const int32_t lastX = std::max(map.m_nWidth - 1, 0);
  const int32_t lastY = std::max(map.m_nHeight - 1, 0);
  int32_t nx = x, ny = y;
  if (dir & 1) {
    step.nFacing = kFacingLeft;
    nx = std::max(x - 1, 0);
  } else if (dir & 2) {
    step.nFacing = kFacingRight;
    nx = std::min(x + 1, lastX);
  } else if (dir & 4) {
    step.nFacing = kFacingUp;
    ny = std::max(y - 1, 0);
  } else if (dir & 8) {
    step.nFacing = kFacingDown;
    ny = std::min(y + 1, lastY);
  } else {
    return step;
  }
  step.bMoved = true;
  const cWorldEntry* entry = ChooseWorldEntry(map.FindMapEntryAt(nx, ny), save);
  const cMapEntry* chip = ChipAt(map, nx, ny);
  if ((!entry && chip && chip->m_bBlocked) || (entry && entry->m_nKind == kWorldEntryBlocking)) {
    step.bUndone = true;
    return step;
  }
  step.nX = nx;
  step.nY = ny;
  return step;
}

void StartEntryStage(const cWorldEntry& entry, const std::string& loadedPath, cSaveData& save) {
  save.m_nWorldEnding = EntryOnClear(entry);
  save.SetCurrentStage(loadedPath, entry.m_bVariation, entry.m_nVariationKey1, entry.m_nVariationKey2);
  save.m_nWorld = EntryWorld(entry);
  save.m_nStage = 1;
  const auto& infinite = g_SystemData.m_anModeOpt;
  const auto& startLives = g_SystemData.m_anStartLives;
  if (kStoryMode < infinite.size() && infinite[kStoryMode])
    save.m_nStartLives = kUnlimitedLives;
  else if (CarryLivesOn())
    // The lives left do not count the one about to be played.
    save.m_nStartLives = save.m_nLives < INT32_MAX ? save.m_nLives + 1 : INT32_MAX;
  else
    save.m_nStartLives = kStoryMode < startLives.size() ? startLives[kStoryMode] : 0;
}

bool CarryLivesOn() { return g_SystemData.m_nMapOptA != 0; }
bool ShowLivesOnMap() { return g_SystemData.m_nMapOpt191 != 0; }
bool MapShowsScore() { return g_SystemData.m_nMapOpt167a != 0; }

bool StoryRankingsOn() {
  const auto& modes = g_SystemData.m_aModeRanking;
  return !modes.empty() && modes[kStoryMode].m_bEnabled != 0;
}
