#include "menus/ranking_panels.h"

#include <algorithm>
#include <string>

#include "core/containers.h"
#include "core/strings.h"
#include "data/game_data.h"
#include "media/graphics/blit.h"
#include "media/graphics/font.h"
#include "media/graphics/surface_table.h"
#include "shell/app_globals.h"
#include "shell/scene_mgr.h"
#include "shell/system_ini.h"

namespace {
constexpr int kCell = 16;
// System texts: the five result kinds' names from 5 on, and the kind-switch hint.
constexpr int kTextKindNames = 5;
constexpr int kTextKindHint = 28;
// The cursor cell of the accessory sheet.
constexpr int kCursorX = 16;
constexpr int kCursorY = 48;
constexpr int kTimeWidth = 8;  // "mm:ss.hh"

cFont& PanelFont() { return g_Font[1]; }

const std::string& SystemText(int n) { return VecAt(g_SystemData.m_astrTexts, n); }

// With the project's letter icons on, the title and the names are shown as the letters they are.
class cLettersAsText {
 public:
  cLettersAsText() : m_bSwitch(g_SystemData.m_nFontOpt != 0) {
    if (m_bSwitch) PanelFont().m_bIcons = 0;
  }
  ~cLettersAsText() {
    if (m_bSwitch) PanelFont().m_bIcons = 1;
  }
  cLettersAsText(const cLettersAsText&) = delete;
  cLettersAsText& operator=(const cLettersAsText&) = delete;

 private:
  bool m_bSwitch;
};

void DrawCursor(DDSURFACEDATA* surface, int x, int y) {
  DDBlt(surface, x, y, kCell, kCell, &g_SurfaceData[kSlotAccessory], kCursorX, kCursorY, 1);
}

// The totals of the five result kinds, in kind order.
int32_t TotalOf(int kind) {
  switch (kind) {
    case 0: return g_SaveData.m_nScoreTotal;
    case 1: return g_SaveData.m_nRemainTimeTotal;
    case 2: return g_SaveData.m_nClearTimeTotal;
    case 3: return g_SaveData.m_nRemainHpTotal;
    default: return g_SaveData.m_nRemainSpTotal;
  }
}

// A byte or int list's entry, 0 past its end (a short project or stage list shows nothing there).
template <class T>
bool FlagAt(const std::vector<T>& list, int i) {
  return i >= 0 && static_cast<size_t>(i) < list.size() && list[static_cast<size_t>(i)] != 0;
}
}  // namespace

int DrawRanking(cRanking& ranking, DDSURFACEDATA* surface, int x, int y, int kind, int cursor) {
  return DrawRankTable(VecAt(ranking.m_aTables, kind), surface, x, y, kind, cursor);
}

int DrawRankTable(cRankTable& table, DDSURFACEDATA* surface, int x, int y, int kind, int cursor) {
  cFont& font = PanelFont();
  font.DrawBox(surface, x + 1, y + 1, 270, 351);
  {
    cLettersAsText letters;
    font.DrawStringF(surface, x, y, g_IniSettings.English ? "Ranking  %s" : "ランキング    %s",
                     SystemText(kTextKindNames + kind).c_str());
  }
  const int width = kind == kRankKindClearTime ? kTimeWidth : CountDigits(VecAt(table.m_aEntries, 0).m_nValue);
  for (int i = 0; i < kRankRowCount; ++i) {
    const cRankEntry& row = VecAt(table.m_aEntries, i);
    if (!row.m_bUsed) continue;
    const int rowY = y + kCell * (i + 1);
    font.DrawStringF(surface, x + 16, rowY, "%d", i + 1);
    {
      cLettersAsText letters;
      font.DrawStringF(surface, x + 64, rowY, "%s", row.m_strName.c_str());
    }
    if (kind == kRankKindClearTime) {
      std::string time;
      FormatTime(time, row.m_nValue);
      font.DrawStringF(surface, x + 144, rowY, "%s", time.c_str());
    } else {
      font.DrawStringF(surface, x + kCell * (width + 9 - CountDigits(row.m_nValue)), rowY, "%d", row.m_nValue);
    }
  }
  if (g_SystemData.CountModeFlags(g_ModeIndex) > 1) {
    const std::string& hint = SystemText(kTextKindHint);
    font.DrawStringF(surface, x + 136 - 8 * CountSjisChars(hint.c_str()), y + kCell * (kRankRowCount + 1), "%s",
                     hint.c_str());
  }
  if (cursor == -1) return -1;
  DrawCursor(surface, x, y + kCell * cursor + kCell);
  return 1;
}

int DrawPlayTotals(DDSURFACEDATA* surface, int x, int y, const int32_t places[kRankTableCount]) {
  bool shown[kRankTableCount] = {};
  int lines = 0;
  int labelWidth = 1;
  int numberWidth = 1;
  const std::vector<uint8_t>& modeKinds = VecAt(g_SystemData.m_aModeRanking, g_ModeIndex).m_abKinds;
  for (int kind = 0; kind < kRankTableCount; ++kind) {
    shown[kind] = FlagAt(g_StageFile.m_anTotalsLines, kind) && (g_DirectPlay || FlagAt(modeKinds, kind));
    if (!shown[kind]) continue;
    ++lines;
    labelWidth = std::max(labelWidth, CountSjisChars(SystemText(kTextKindNames + kind).c_str()));
    numberWidth = std::max(numberWidth, kind == kRankKindClearTime ? kTimeWidth : CountDigits(TotalOf(kind)));
  }
  if (lines == 0) return 0;
  cFont& font = PanelFont();
  font.DrawBox(surface, x, y, (numberWidth + labelWidth + 2) * kCell, kCell * lines);
  int line = 0;
  for (int kind = 0; kind < kRankTableCount; ++kind) {
    if (!shown[kind]) continue;
    const int lineY = y + kCell * line;
    font.DrawStringF(surface, x + 16, lineY, "%s", SystemText(kTextKindNames + kind).c_str());
    if (kind == kRankKindClearTime) {
      std::string time;
      FormatTime(time, TotalOf(kind));
      font.DrawStringF(surface, x + 32 + kCell * labelWidth, lineY, "%s", time.c_str());
    } else {
      font.DrawStringF(surface, x + 32 + kCell * labelWidth, lineY, "%d", TotalOf(kind));
    }
    // The mark stands on the line of the kind that took the place.
    if (places[kind] != -1) DrawCursor(surface, x, lineY);
    ++line;
  }
  return lines;
}

int DrawPlayTotals(DDSURFACEDATA* surface, int x, int y, const std::vector<int32_t>& places) {
  int32_t fixed[kRankTableCount];
  for (int kind = 0; kind < kRankTableCount; ++kind)
    fixed[kind] = static_cast<size_t>(kind) < places.size() ? places[static_cast<size_t>(kind)] : -1;
  return DrawPlayTotals(surface, x, y, fixed);
}
