#include "menus/world_map_picture.h"

#include <algorithm>
#include <cstdint>

#include "media/graphics/blit.h"
#include "media/graphics/layer.h"
#include "menus/world_map_rules.h"

namespace {
constexpr int kScreenWidth = kMapViewColumns * kMapCell;
constexpr int kScreenHeight = kMapViewRows * kMapCell;
constexpr int kChipsPerRow = 5;
constexpr int kClearedIconX = 32;
constexpr int kColourKey = 1;
// No picture sheet is this tall: a chip or icon number beyond it names nothing (and its source row
// would not fit an int).
constexpr int64_t kMaxSheetRow = int64_t{1} << 20;

// The source row of picture number n on a sheet of rows 32 high, or -1 when it names nothing.
int SheetRowY(int64_t row) { return row < 0 || row * kMapCell >= kMaxSheetRow ? -1 : static_cast<int>(row * kMapCell); }
}  // namespace

void RenderWorldMapPicture(DDSURFACEDATA* target, cWorldMap& map, const cSaveData& save, int32_t vx, int32_t vy,
                           const cWorldMapSheets& sheets) {
  DDFillRect(target, 0, 0, kScreenWidth, kScreenHeight, static_cast<uint32_t>(map.m_nBackColour));
  if (map.m_nDisplaySwitch) {
    // 64 bits: a view origin far off a large map must not wrap the pixel offsets.
    const auto px = [](int32_t cells) {
      return static_cast<int>(std::clamp<int64_t>(int64_t{cells} * kMapCell, -kScreenWidth * 2, INT32_MAX / 2));
    };
    DDBlt(target, std::max(0, -px(vx)), std::max(0, -px(vy)), kScreenWidth, kScreenHeight, sheets.lpBack,
          std::max(0, px(vx)), std::max(0, px(vy)), 0);
  }

  DDBeginLayer(0);
  for (int i = 0; i < kMapViewRows; ++i) {
    for (int j = 0; j < kMapViewColumns; ++j) {
      const cMapEntry* chip = ChipAt(map, vx + j, vy + i);
      const int sy = chip ? SheetRowY(chip->m_nChip / kChipsPerRow) : -1;
      if (sy < 0 || chip->m_nChip < 0) continue;
      DDBlt(target, kMapCell * j, kMapCell * i, kMapCell, kMapCell, sheets.lpChips,
            (chip->m_nChip % kChipsPerRow) * kMapCell, sy, kColourKey);
    }
  }
  DDEndLayer();

  DDBeginLayer(0);
  for (cWorld& place : map.m_aWorlds) {
    const cWorldEntry* entry = ChooseWorldEntry(&place, save);
    const int sy = entry ? SheetRowY(EntryIconRow(*entry)) : -1;
    if (sy < 0) continue;
    const int64_t x = (int64_t{place.m_nX} - vx) * kMapCell;
    const int64_t y = (int64_t{place.m_nY} - vy) * kMapCell;
    if (x <= -kMapCell || y <= -kMapCell || x >= kScreenWidth || y >= kScreenHeight) continue;  // off the picture
    DDBlt(target, static_cast<int>(x), static_cast<int>(y), kMapCell, kMapCell, sheets.lpEvents,
          IsEntryCleared(entry, save) ? kClearedIconX : 0, sy, kColourKey);
  }
  DDEndLayer();
}
