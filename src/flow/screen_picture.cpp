// A picture of the picture command on the stage screen: its scaled size, its display time, its
// place by anchor with the latch that pins it to the map or to the screen, and its blit.
#include "flow/screen_picture.h"

#include <cstdint>

#include "core/numbers.h"
#include "flow/screen_position.h"
#include "media/graphics/blit.h"
#include "media/graphics/surface_data.h"
#include "objects/stage_state.h"

cScreenPicture::cScreenPicture(int picture, int anchor, int unit, int x, int y, int offsetX, int offsetY, int width,
                               int height, int screenFixed, int layer, int percentage, int displayMode, int displayTime,
                               int countWhileHeld, int charaId, int numbered, int number)
    : m_nPicture(static_cast<int16_t>(picture)),
      m_nAnchor(anchor),
      m_nUnit(unit),
      m_nX(x),
      m_nY(y),
      m_nOffsetX(offsetX),
      m_nOffsetY(offsetY),
      m_nWidth(PercentOf(width, percentage)),
      m_nHeight(PercentOf(height, percentage)),
      m_bScreenFixed(screenFixed),
      m_nLayer(layer),
      m_bScaled(percentage != 100),
      m_nDisplayMode(displayMode),
      m_nDisplayTime(displayTime),
      m_bCountWhileHeld(countWhileHeld),
      m_nCharaId(charaId),
      m_bNumbered(numbered),
      m_nNumber(number) {}

int cScreenPicture::ExpireScreenPicture(int hold) {
  if (m_nDisplayMode != 2 || (!m_bCountWhileHeld && hold)) return 0;
  if (m_nDisplayTime == INT32_MIN) return 1;
  return --m_nDisplayTime < 0 ? 1 : 0;
}

bool cScreenPicture::PlaceScreenPicture(int anchorX, int anchorY, int& x, int& y) {
  // Positions come from the command's parameters: worked out wide, so that no value overflows.
  const int64_t halfW = m_nWidth >> 1, halfH = m_nHeight >> 1;
  const int64_t offsetX = m_nOffsetX, offsetY = m_nOffsetY, posX = m_nX, posY = m_nY;
  const int64_t originX = g_lpSceneStage ? g_lpSceneStage->m_nBlockOriginX : 0;
  const int64_t originY = g_lpSceneStage ? g_lpSceneStage->m_nBlockOriginY : 0;
  const bool cells = m_nUnit == 0;
  if (m_nAnchor >= 3 && m_nAnchor <= 6 && m_nUnit != 0 && m_nUnit != 1) return false;
  int64_t px = 0, py = 0;
  switch (m_nAnchor) {
    case 0:
      px = offsetX - halfW + 320;
      py = offsetY - halfH + 240;
      break;
    case 1:
    case 2:
      px = anchorX - int64_t{TruncToInt(StageScrollX())};
      py = anchorY - int64_t{TruncToInt(StageScrollY())};
      break;
    case 3:
      px = cells ? posX * 32 + offsetX : posX + offsetX;
      py = cells ? posY * 32 + offsetY : posY + offsetY;
      break;
    case 4:
      px = cells ? posX * 32 + offsetX - halfW + 16 : posX + offsetX - halfW;
      py = cells ? posY * 32 + offsetY - halfH + 16 : posY + offsetY - halfH;
      break;
    case 5:
    case 6: {
      int64_t mapX = cells ? (posX + originX) * 32 + offsetX : originX * 32 + posX + offsetX;
      int64_t mapY = cells ? (posY + originY) * 32 + offsetY : originY * 32 + posY + offsetY;
      if (m_nAnchor == 6) {
        mapX -= halfW - (cells ? 16 : 0);
        mapY -= halfH - (cells ? 16 : 0);
      }
      px = TruncToInt(static_cast<double>(mapX) - StageScrollX());
      py = TruncToInt(static_cast<double>(mapY) - StageScrollY());
      break;
    }
    default: return false;
  }
  x = SaturateToInt(px);
  y = SaturateToInt(py);

  // Screen anchors follow the map unless screen-fixed; map anchors stay on the screen when fixed.
  const bool screenAnchor = m_nAnchor == 0 || m_nAnchor == 3 || m_nAnchor == 4;
  if (screenAnchor != static_cast<bool>(m_bScreenFixed)) {
    LatchScreenPosition(screenAnchor, m_bLatched, m_nLatchX, m_nLatchY, x, y);
  }
  return true;
}

void cScreenPicture::BlitScreenPicture(DDSURFACEDATA* target, DDSURFACEDATA* surface, int x, int y) const {
  if (!surface) return;
  if (m_bScaled) {
    DDBltStretch(target, x, y, m_nWidth, m_nHeight, surface, 0, 0, surface->nWidth, surface->nHeight, 1);
  } else {
    DDBlt(target, x, y, m_nWidth, m_nHeight, surface, 0, 0, 1);
  }
}
