// The per-frame life of a message window: its countdown, the refresh of its variable codes, its
// place on the screen by its anchor, and drawing the text window or the extra-life icon.
#include <algorithm>
#include <cstdint>
#include <iterator>

#include "core/numbers.h"
#include "flow/flow_stage.h"
#include "flow/mes_window.h"
#include "flow/screen_position.h"
#include "media/graphics/blit.h"
#include "media/graphics/font.h"
#include "media/graphics/surface_table.h"
#include "objects/chara_base.h"

namespace {

// "bmp\Symbol.bmp" in the game's surface table: the extra-life icon at (48, 0) and the choice
// cursor at (64, 0), 16 x 16 each.
constexpr int kSlotSymbolSheet = 51;
// The opening box grows for this many frames (less one) before the text shows.
constexpr double kOpeningFrames = 20.0;

}  // namespace

int cMesWindow::AgeMesWindow(int hold) {
  if (m_nCloseMode != 2) return 0;
  if (hold && !m_bCountWhileHeld) return 0;
  if (m_nLife != INT32_MIN && --m_nLife >= 0) return 0;
  ReleaseMesSurface();
  return 1;
}

void cMesWindow::RefreshMesText() {
  if (!m_bRefresh || !m_nRefreshFrames || m_nKind != kMesText || !m_bExpandCodes) return;
  const int frame = g_lpSceneStage ? g_lpSceneStage->m_nFrameCount : 0;
  if (frame % m_nRefreshFrames != 0) return;
  std::string text = m_strSource;
  FormatMesText(text, m_bExpandCodes, m_bChoices, nullptr, 1);
  if (text == m_strText) return;
  m_strText = text;
  int width = 0, height = 0;
  MeasureText(m_strText, width, height);
  if (width != m_nWidth || height != m_nHeight) {
    m_nWidth = width;
    m_nHeight = height;
    // The window's own pool entry is made again in its place.
    int slot = 0;
    if (cFlowStage* stage = FlowStage()) {
      std::list<DDSURFACEDATA>& pool = stage->m_MesSurfaces;
      auto own = std::find_if(pool.begin(), pool.end(), [&](const DDSURFACEDATA& s) { return &s == m_lpSurface; });
      slot = static_cast<int>(std::distance(pool.begin(), own));
    }
    AllocMesSurface(slot);
  }
  RenderMesText(m_lpSurface);
}

bool cMesWindow::PlaceMesWindow(const cCharaBase* anchor, int& x, int& y) {
  // Positions come from the command's parameters: worked out wide, so that no value overflows.
  const int64_t w = m_nWidth, h = m_nHeight;
  const int64_t posX = m_nPosX, posY = m_nPosY, offsetX = m_nOffsetX, offsetY = m_nOffsetY;
  const bool dots = m_nUnit != 0;
  int64_t px = 0, py = 0;
  switch (m_nAnchor) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6: {
      if (!anchor) {
        if (m_nKind == kMesText) {
          ReleaseMesSurface();
          return false;
        }
        px = m_nMapX;
        py = m_nMapY;
        break;
      }
      const cIntRect& box = anchor->m_ScreenRect;
      const int64_t graphicWidth = int64_t{box.right} - box.left + 1;
      const int64_t graphicHeight = int64_t{box.bottom} - box.top + 1;
      px = box.left + graphicWidth / 2 - w / 2 + offsetX;
      if (m_nAnchor == 1 || m_nAnchor == 4) {
        py = box.top - h + offsetY;
      } else if (m_nAnchor == 2 || m_nAnchor == 5) {
        py = box.bottom + 1 + offsetY;
      } else {
        py = box.top + graphicHeight / 2 - h / 2 + offsetY;
      }
      break;
    }
    case 7:
      px = dots ? offsetX + posX : offsetX + posX * 32;
      py = dots ? offsetY + posY : posY * 32 + offsetY;
      break;
    case 8:
      px = dots ? posX + offsetX - w / 2 : posX * 32 + offsetX - w / 2 + 16;
      py = dots ? offsetY + posY - h / 2 : posY * 32 - h / 2 + 16 + offsetY;
      break;
    case 9:
    case 10: {
      const int64_t originX = g_lpSceneStage ? g_lpSceneStage->m_nBlockOriginX : 0;
      const int64_t originY = g_lpSceneStage ? g_lpSceneStage->m_nBlockOriginY : 0;
      if (dots) {
        px = originX * 32 + posX + offsetX;
        py = originY * 32 + posY + offsetY;
      } else {
        px = (originX + posX) * 32 + offsetX;
        py = (posY + originY) * 32 + offsetY;
      }
      if (m_nAnchor == 10) {
        px -= w / 2 - (dots ? 0 : 16);
        py -= h / 2 - (dots ? 0 : 16);
      }
      px -= TruncToInt(StageScrollX());
      py -= TruncToInt(StageScrollY());
      break;
    }
    default:  // 0, and anchors no message names: the screen centre
      px = offsetX - w / 2 + 320;
      py = offsetY - h / 2 + 240;
      break;
  }
  x = SaturateToInt(px);
  y = SaturateToInt(py);

  // Screen positions stay at their place in the map unless fixed; the others, when fixed, stay
  // where they first stood on the screen.
  const bool screenAnchor = m_nAnchor == 0 || m_nAnchor == 7 || m_nAnchor == 8;
  if (screenAnchor != static_cast<bool>(m_bFixed)) LatchScreenPosition(screenAnchor, m_bPlaced, m_nMapX, m_nMapY, x, y);

  if (m_bClampToScreen) {
    if (x < 0) x = 0;
    if (int64_t{x} + w >= 639) x = SaturateToInt(640 - w);
    if (y < 20) y = 20;
    if (int64_t{y} + h >= 479) y = SaturateToInt(480 - h);
  }
  return true;
}

void cMesWindow::DrawMesWindow(DDSURFACEDATA* target, int x, int y) {
  if (m_nKind == kMesExtraLife) {
    DDBlt(target, x, y - RiseOffset(), 16, 16, &g_GameSurfaces[kSlotSymbolSheet], 48, 0, 1);
    return;
  }
  if (m_nKind != kMesText) return;
  if (m_lpSurface && m_lpSurface->bContentsLost) {
    RenderMesText(m_lpSurface);
    m_lpSurface->bContentsLost = 0;
  }
  if (m_strText.empty()) return;
  if (m_bOpening && m_dOpen + 1.0 < kOpeningFrames) {
    m_dOpen += 1.0;
    const double scale = m_dOpen * 0.05;
    if (m_bBox) {
      const int boxWidth = TruncToInt(m_nWidth * scale);
      const int boxHeight = TruncToInt(m_nHeight * scale);
      g_Font[1].DrawBox(target, x + (m_nWidth - boxWidth) / 2, y + (m_nHeight - boxHeight) / 2, boxWidth, boxHeight);
    }
    return;
  }
  if (m_lpSurface) DDBlt(target, x, y, m_nWidth, m_nHeight, m_lpSurface, 0, 0, 1);
  if (!m_bChoices) return;
  cFlowStage* stage = FlowStage();
  if (!stage) return;
  const std::vector<cChoiceEntry>& choices = stage->m_GameWait.m_aChoices;
  const int selection = stage->m_GameWait.m_nSelection;
  if (selection < 0 || selection >= static_cast<int>(choices.size())) return;
  const cChoiceEntry& chosen = choices[static_cast<size_t>(selection)];
  DDBlt(target, x + chosen.nX, y + chosen.nY, 16, 16, &g_GameSurfaces[kSlotSymbolSheet], 64, 0, 1);
}
