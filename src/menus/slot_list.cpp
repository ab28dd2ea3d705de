#include "menus/slot_list.h"

#include "media/graphics/blit.h"
#include "media/graphics/font.h"

namespace {
constexpr int kRowHeight = 16;
constexpr int kListWidth = 320;
constexpr uint32_t kLineColour = 240;
}  // namespace

void DrawSlotList(DDSURFACEDATA* surface, int x, int y, const std::vector<cSlotInfo>& list, int first, int rows) {
  cFont& font = g_Font[1];
  font.DrawBox(surface, x, y, kListWidth, rows * kRowHeight);
  for (int i = 0; i < rows; ++i) {
    const int rowY = y + kRowHeight * i;
    const int slot = first + i;
    if (slot >= 0 && static_cast<size_t>(slot) < list.size()) {
      const cSlotInfo& info = list[static_cast<size_t>(slot)];
      font.DrawStringF(surface, x + 16, rowY, "%d", slot + 1);
      if (info.m_bDamaged) {
        font.DrawStringF(surface, x + 64, rowY, "%s", "データが壊れています");
      } else if (info.m_bExists) {
        const SAVETIME& t = info.m_SaveTime;
        font.DrawStringF(surface, x + 64, rowY, "%04d/%02d/%02d %02d:%02d\n", t.wYear, t.wMonth, t.wDay, t.wHour,
                         t.wMinute);
      }
    }
    if (i + 1 < rows) DDFillRect(surface, x, rowY + kRowHeight - 1, kListWidth, 1, kLineColour);
  }
}
