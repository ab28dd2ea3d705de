// Drawing a picture of the stage for one frame, and the point of the character it follows.
#include "core/numbers.h"
#include "data/system_data.h"
#include "flow/screen_picture.h"
#include "objects/chara_base.h"
#include "objects/draw_modes.h"

int cScreenPicture::DrawScreenPicture(DDSURFACEDATA* target, DDSURFACEDATA* surface, int hold) {
  if (ExpireScreenPicture(hold)) return 1;
  int anchorX = m_nX, anchorY = m_nY;
  // Older games make a picture follow its character on every draw.
  if ((m_nAnchor == 1 || m_nAnchor == 2) && g_SystemData.m_bLegacy833) GetScreenPictureAnchor(anchorX, anchorY);
  int x = 0, y = 0;
  if (PlaceScreenPicture(anchorX, anchorY, x, y)) BlitScreenPicture(target, surface, x, y);
  return 0;
}

void cScreenPicture::GetScreenPictureAnchor(int& x, int& y) {
  if (m_nAnchor != 1 && m_nAnchor != 2) return;
  if (const cCharaBase* chara = FindCharaById(m_nCharaId)) {
    m_dAnchorX = chara->m_dX + chara->m_nWidth / 2.0;
    m_dAnchorY = chara->m_dY + chara->m_nHeight / 2.0;
  }
  x = TruncToInt(static_cast<double>(TruncToInt(m_dAnchorX - (m_nWidth >> 1))) + m_nOffsetX);
  y = TruncToInt(static_cast<double>(TruncToInt(m_dAnchorY - (m_nHeight >> 1))) + m_nOffsetY);
}
