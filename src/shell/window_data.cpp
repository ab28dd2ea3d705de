#include "shell/window_data.h"

#include <algorithm>

cWindowData::cWindowData() { cWindowData::DeclareFields(kDataVersion); }

void cWindowData::DeclareFields(uint32_t /*version*/) {
  ClearFieldTables();
  QC4_DECLARE(m_nX);
  QC4_DECLARE(m_nY);
  QC4_DECLARE(m_nWidth);
  QC4_DECLARE(m_nHeight);
  QC4_DECLARE(m_bZoomed);
}

void cWindowData::ClampToWorkArea(int workLeft, int workTop, int workRight, int workBottom) {
  int maxX = std::max(workLeft, workRight - kWindowGrabWidth);
  int maxY = std::max(workTop, workBottom - kWindowGrabHeight);
  m_nX = std::clamp<int32_t>(m_nX, workLeft, maxX);
  m_nY = std::clamp<int32_t>(m_nY, workTop, maxY);
}

bool cWindowData::SizeFitsWorkArea(int workWidth, int workHeight) const {
  return m_nWidth <= std::max(640, workWidth) && m_nHeight <= std::max(480, workHeight);
}

bool cWindowData::ClientSizeFor(int windowMode, int workWidth, int workHeight, int maxZoom, int& width,
                                int& height) const {
  if (windowMode == 1) {
    // Only a zoom the game offers: the same whole factor across and down, at most the largest zoom.
    const int zoom = m_nWidth / 640;
    const bool offered = zoom >= 1 && zoom <= std::max(1, maxZoom) && m_nWidth == 640 * zoom && m_nHeight == 480 * zoom;
    if (!offered || !SizeFitsWorkArea(workWidth, workHeight)) return false;
    width = m_nWidth;
    height = m_nHeight;
    return true;
  }
  if (windowMode == 2) {
    width = std::clamp<int32_t>(m_nWidth, kMinFreeClientSide, std::max(640, workWidth));
    height = std::clamp<int32_t>(m_nHeight, kMinFreeClientSide, std::max(480, workHeight));
    return true;
  }
  return false;
}
