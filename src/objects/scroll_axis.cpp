#include "objects/scroll_axis.h"

#include <algorithm>
#include <cstdint>

#include "data/stage_data.h"
#include "objects/cell_math.h"
#include "objects/stage_physics.h"

namespace {
constexpr int kMapMarginCells = 10;
constexpr int kCellDots = 32;

// Number of halvings of v until 0.
int BitLength(int v) {
  int bits = 0;
  while (v > 0) {
    v >>= 1;
    ++bits;
  }
  return bits;
}
}  // namespace

void cScrollAxis::LayOutMap(int axis, int cells) {
  // The loader refuses larger maps; within these bounds no size below overflows.
  cells = std::clamp(cells, 0, kMaxMapCells);
  *this = cScrollAxis();
  m_nAxis = axis;
  m_nViewSize = axis == 0 ? 640 : 480;
  m_nMarginCells = kMapMarginCells;
  m_nCells = cells + 2 * kMapMarginCells;
  m_nMapDots = cells * kCellDots + 640;
  m_nShift = axis == 0 ? BitLength(m_nCells - 1) : 0;
  m_nRowStride = axis == 0 ? 1 << m_nShift : m_nCells;
  m_nBaseLow = kMapMarginCells * kCellDots;
  m_nBaseHigh = (cells + kMapMarginCells) * kCellDots;
}

double RunningAutoScroll(const cScrollAxis& axis) { return axis.m_bAtEdge ? 0.0 : axis.m_dAutoSpeed; }

void cScrollAxis::ClampScroll() {
  if (m_dPosition <= m_nLowLimit) {
    m_dPosition = m_nLowLimit;
    m_bAtEdge = 1;
  } else if (m_dPosition + m_nViewSize < m_nHighLimit) {
    m_bAtEdge = 0;
  } else {
    m_dPosition = static_cast<double>(m_nHighLimit) - m_nViewSize;
    if (m_dPosition < m_nLowLimit) m_dPosition = m_nLowLimit;
    m_bAtEdge = 1;
  }
}

void cScrollAxis::StepAutoScroll() {
  m_dPosition += m_dAutoSpeed;
  ClampScroll();
}

void cScrollAxis::SetAutoScroll(int on, int speed) {
  if (on) {
    m_dAutoSpeed = speed * 0.1 / StageSubStepsD();
    m_bAutoOn = 1;
  } else {
    m_dAutoSpeed = 0.0;
    m_bAutoOn = 0;
  }
}

// The limit cells come from the stage's header, which a damaged file can fill with any int: the limits
// are worked in 64 bits and held at the ends of the int range.
void cScrollAxis::SetScrollRange(int first, int last, int firstOn, int lastOn) {
  m_nLowLimit = firstOn ? SaturateToInt(m_nBaseLow + int64_t{first} * 32) : m_nBaseLow;
  if (lastOn) {
    m_nHighLimit = SaturateToInt(m_nBaseLow + (int64_t{last} + 1) * 32);
    if (m_nHighLimit < m_nLowLimit) m_nHighLimit = m_nLowLimit;
  } else {
    m_nHighLimit = m_nBaseHigh;
  }
}
