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
