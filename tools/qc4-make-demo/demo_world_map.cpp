#include "demo_world_map.h"

#include <cstdio>

#include "data/world_map.h"
#include "demo_data.h"
#include "demo_events.h"
#include "demo_pictures.h"

namespace {

// Map chip kinds (entries of the map's chip list).
enum : int {
  kChipGrass = 0,
  kChipRoad = 1,
  kChipWater = 2,
  kChipTree = 3,
  kChipFlowers = 4,
};

// Offer kinds.
constexpr int32_t kEntryStage = 0;
constexpr int32_t kEntryBlocking = 2;

cWorldEntry StageEntry(int world, int iconRow, const char* title) {
  cWorldEntry e;
  e.m_nKind = kEntryStage;
  e.m_anSettings[0] = iconRow;
  e.m_anSettings[1] = world;  // its world flag marks the stage cleared
  e.m_anSettings[3] = 1;      // can be played again after clearing
  e.m_strText = title;
  char path[64];
  std::snprintf(path, sizeof path, "data\\stg4\\c%02d-1.stg4", world);
  e.m_strStage = path;
  return e;
}

// The bonus place: its stage is offered once the first stage is cleared (world flag 1); until then
// the second offer, a closed gate, stands there and the hero cannot step on it.
cWorld BonusPlace() {
  cWorld place;
  place.m_nX = kDemoBonusX;
  place.m_nY = kDemoBonusY;
  place.m_strName = "ひみつの花畑";
  cWorldEntry bonus = StageEntry(kDemoBonusStage, kDemoIconBonus, "ボーナスステージ");
  bonus.m_nFlag = 1;
  cWorldEntry gate;
  gate.m_nKind = kEntryBlocking;
  gate.m_anSettings[0] = kDemoIconGate;
  gate.m_strText = "とじた門";
  place.m_aEntries = {bonus, gate};
  return place;
}

}  // namespace

void FillDemoWorldMap(cWorldMap& map) {
  map.SetWorldMapDefaults();
  map.m_strName = "デモワールド";
  map.SetSize(20, 15);
  auto entry = [](const char* name, int chip, int blocked) {
    cMapEntry e;
    e.m_strName = name;
    e.m_nChip = chip;
    e.m_bBlocked = blocked;
    return e;
  };
  map.m_aMapEntries = {entry("草原", kMapChipGrass, 0), entry("道", kMapChipPath, 0), entry("水", kMapChipWater, 1),
                       entry("木", kMapChipTree, 1), entry("花畑", kMapChipFlowers, 0)};
  for (int y = 0; y < 15; ++y)
    for (int x = 0; x < 20; ++x) {
      int kind = kChipGrass;
      if (x == 0 || y == 0 || x == 19 || y == 14)
        kind = kChipWater;  // water all round
      else if (y == kDemoMapRoadY && x >= 3 && x <= 16)
        kind = kChipRoad;
      else if (x == kDemoBonusX && y > kDemoMapRoadY && y < kDemoBonusY)
        kind = kChipRoad;  // the side road to the bonus place
      else if (x >= kDemoBonusX - 1 && x <= kDemoBonusX + 1 && y >= kDemoBonusY && y <= kDemoBonusY + 1)
        kind = kChipFlowers;  // the flower field round it
      else if ((x * 7 + y * 3) % 11 == 0)
        kind = kChipTree;
      else if ((x * 5 + y * 11) % 13 == 0)
        kind = kChipFlowers;
      if (int32_t* cell = map.CellAt(x, y)) *cell = kind;
    }
  map.m_nStartX = 3;
  map.m_nStartY = kDemoMapRoadY;
  map.m_aWorlds.clear();
  for (int n = 1; n <= kDemoStageCount; ++n) {
    cWorld place;
    place.m_nX = 2 + n * 4;
    place.m_nY = kDemoMapRoadY;
    char name[32];
    std::snprintf(name, sizeof name, "ステージ%d", n);
    place.m_strName = name;
    cWorldEntry& e = place.m_aEntries[0];
    e = StageEntry(n, n - 1, name);  // icon row n - 1
    e.m_nFlag = n - 1;               // the stage before must be cleared (flag 0 is always set)
    map.m_aWorlds.push_back(place);
  }
  map.m_aWorlds.push_back(BonusPlace());
}
