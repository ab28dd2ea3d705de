#include "objects/scroll_axis.h"

#include "objects/stage_physics.h"

double RunningAutoScroll(const cScrollAxis& axis) { return axis.m_bAtEdge ? 0.0 : axis.m_dAutoSpeed; }

void cScrollAxis::ClampScroll() {
  if (m_dPosition <= m_nLowLimit) {
    m_dPosition = m_nLowLimit;
    m_bAtEdge = 1;
  } else if (m_dPosition + m_nViewSize < m_nHighLimit) {
    m_bAtEdge = 0;
  } else {
    m_dPosition = m_nHighLimit - m_nViewSize;
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

void cScrollAxis::SetScrollRange(int first, int last, int firstOn, int lastOn) {
  m_nLowLimit = firstOn ? m_nBaseLow + first * 32 : m_nBaseLow;
  if (lastOn) {
    m_nHighLimit = m_nBaseLow + (last + 1) * 32;
    if (m_nHighLimit < m_nLowLimit) m_nHighLimit = m_nLowLimit;
  } else {
    m_nHighLimit = m_nBaseHigh;
  }
}
