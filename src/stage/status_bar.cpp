#include "stage/status_bar.h"

#include <algorithm>
#include <cstdint>

#include "core/containers.h"
#include "core/strings.h"
#include "data/game_data.h"
#include "data/save_data.h"
#include "data/system_data.h"
#include "media/graphics/blit.h"
#include "media/graphics/font.h"
#include "media/graphics/surface_table.h"
#include "objects/hero.h"
#include "objects/play_objects.h"
#include "stage/scene_stage.h"

namespace {

constexpr int kSlotStatusWindow = 47;
constexpr int kSlotAccessory = 50;

// The five entries of the status display.
enum : int {
  kEntryScoreTotal = 0,
  kEntryStageScore = 1,
  kEntryHp = 2,
  kEntrySp = 3,
  kEntryLives = 4,
  kEntryCount = 5,
};

constexpr int kBarWidth = 640;
constexpr int kBarHeight = 20;
// The entries share this width with the gaps between them.
constexpr int64_t kSpreadWidth = 638;
constexpr int kRowY = 3;
// Icons, label characters and reserved digits each take one cell.
constexpr int kCell = 16;
constexpr int kIconRowY = 32;
// Gauges: 50 dots long, their frame and their fill rows in "bmp\Accessory.bmp".
constexpr int kGaugeLength = 50;
constexpr int kGaugeFrameY = 128;
constexpr int kGaugeFillY = 144;
constexpr int kGaugeLowY = 160;
constexpr int kGaugeValueY = 6;
// Widths come from the project file; an entry placed this far off the bar is off the screen whatever
// it draws, and no drawing position gets near the int range.
constexpr int64_t kFarOff = int64_t{1} << 24;

bool IsGauge(int entry) { return entry == kEntryHp || entry == kEntrySp; }

int64_t LabelWidth(const cSysEntry& item) { return int64_t{CountSjisChars(item.m_strLabel.c_str())} * kCell; }

// The width the entry takes on the bar (0 for a hidden one).
int64_t EntryWidth(int entry, const cSysEntry& item) {
  if (!item.m_bShown) return 0;
  const int64_t head = item.m_bIconLabel ? kCell : LabelWidth(item);
  return head + (IsGauge(entry) ? kGaugeLength : int64_t{item.m_nWidthCells} * kCell);
}

int ScreenX(int64_t x) { return static_cast<int>(std::clamp(x, -kFarOff, kFarOff)); }

// The gauge's filled length: value x 50 / maximum, empty without a maximum, never past the frame.
int GaugeFill(int32_t value, int32_t max) {
  if (max == 0) return 0;
  return static_cast<int>(std::clamp<int64_t>(int64_t{value} * kGaugeLength / max, 0, kGaugeLength));
}

void DrawGauge(DDSURFACEDATA* surface, int entry, const cSysEntry& item, int x, int32_t value, int32_t max) {
  DDSURFACEDATA* sheet = &g_SurfaceData[kSlotAccessory];
  const int column = entry == kEntryHp ? 0 : 64;
  DDBlt(surface, x, kRowY, kGaugeLength, kCell, sheet, column, kGaugeFrameY, 1);
  const int row = g_SystemData.IsGaugeLow(entry, value, max) ? kGaugeLowY : kGaugeFillY;
  DDBlt(surface, x, kRowY, GaugeFill(value, max), kCell, sheet, column, row, 1);
  if (item.m_bShowNumber) g_Font[0].DrawStringF(surface, x, kGaugeValueY, "%d", value);
}

void DrawEntry(DDSURFACEDATA* surface, int entry, const cSysEntry& item, int64_t at) {
  cFont& font = g_Font[1];
  const int x = ScreenX(at);
  const bool icon = item.m_bIconLabel != 0;
  const char* label = item.m_strLabel.c_str();
  if (icon) DDBlt(surface, x, kRowY, kCell, kCell, &g_SurfaceData[kSlotAccessory], kCell * entry, kIconRowY, 1);
  switch (entry) {
    case kEntryScoreTotal:
    case kEntryStageScore: {
      const int32_t value = entry == kEntryScoreTotal ? g_SaveData.m_nScoreTotal : g_SaveData.m_nScore;
      if (icon) {
        font.DrawStringF(surface, x + kCell, kRowY, "%d", value);
      } else {
        font.DrawStringF(surface, x, kRowY, "%s%d", label, value);
      }
      break;
    }
    case kEntryHp:
    case kEntrySp: {
      const cHero& hero = VecAt(g_HeroList, 0);
      const bool hp = entry == kEntryHp;
      int64_t gaugeAt = at + kCell;
      if (!icon) {
        font.DrawStringF(surface, x, kRowY, "%s", label);
        gaugeAt = at + LabelWidth(item);
      }
      DrawGauge(surface, entry, item, ScreenX(gaugeAt), hp ? hero.m_nHp : hero.m_nSp,
                hp ? hero.m_Type.m_nMaxHp : hero.m_Type.m_nMaxSp);
      break;
    }
    default: {
      const int32_t lives = g_SaveData.m_nLives;
      if (icon) {
        if (lives == kUnlimitedLives) {
          font.DrawStringF(surface, x + kCell, kRowY, "-");
        } else {
          font.DrawStringF(surface, x + kCell, kRowY, "%d", lives);
        }
      } else if (lives == kUnlimitedLives) {
        font.DrawStringF(surface, x, kRowY, "%s-", label);
      } else {
        font.DrawStringF(surface, x, kRowY, "%s%d", label, lives);
      }
      break;
    }
  }
}

}  // namespace

void DrawStatusBar(const cSceneStage& scene, DDSURFACEDATA* surface) {
  if (!scene.m_nStatusDisplay) return;
  const std::vector<cSysEntry>& items = g_SystemData.m_aStatusItems;
  int shown = 0;
  int64_t widths = 0;
  for (int entry = 0; entry < kEntryCount; ++entry) {
    const cSysEntry& item = VecAt(items, entry);
    if (item.m_bShown) ++shown;
    widths += EntryWidth(entry, item);
  }
  if (shown == 0) return;
  // The gap truncates toward zero; entries wider than the bar make it negative.
  const int64_t gap = (kSpreadWidth - widths) / (shown + 1);
  DDBlt(surface, 0, 0, kBarWidth, kBarHeight, &g_SurfaceData[kSlotStatusWindow], 0, 0, 1);
  int64_t x = gap;
  for (int entry = 0; entry < kEntryCount; ++entry) {
    const cSysEntry& item = VecAt(items, entry);
    if (!item.m_bShown) continue;
    DrawEntry(surface, entry, item, x);
    x += EntryWidth(entry, item) + gap;
  }
}
