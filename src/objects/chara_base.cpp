// Character base: construction, copy, destruction and the virtual slots it fills itself.
#include "objects/chara_base.h"

#include "data/system_data.h"

namespace {
void StopCmdVelocity(cCmdState& state) {
  state.m_dVelX = 0.0;
  state.m_dVelY = 0.0;
}
}  // namespace

cCharaBase::cCharaBase() = default;

cCharaBase::cCharaBase(const cCharaBase& source) : cCharaFields(source) { RebindFlowStates(*this); }

cCharaBase& cCharaBase::operator=(const cCharaBase& source) {
  if (this != &source) CopyChara(source);
  return *this;
}

cCharaBase::~cCharaBase() { UnlinkAll(); }

// The character copied over is first unlinked, so that nothing keeps pointing at it while it
// carries the source's links.
void cCharaBase::CopyChara(const cCharaBase& source) {
  if (this == &source) return;
  UnlinkAll();
  cCharaFields::operator=(source);
  RebindFlowStates(*this);
}

void cCharaBase::AdjustAfterResize(int newScale, int oldScale, int anchor) {
  const int d = newScale - oldScale;
  if (d == 0) return;
  // The graphic's bottom stays, or (mode 0 of newer projects) the hit box's bottom.
  const bool keepGraphicBottom = g_SystemData.m_bLegacy831 == 0 ? anchor != 0 : g_SystemData.m_bLegacy261 == 0;
  if (keepGraphicBottom)
    m_dY -= d * m_nBaseGraphicHeight - d * m_nBaseHitOffsetY;
  else
    m_dY += oldScale * m_nBaseHeight - newScale * m_nBaseHeight;
  AfterMoveY();
}

void cCharaBase::MoveCentreTo(int x, int y) {
  MoveCentreXTo(x);
  MoveCentreYTo(y);
}

void cCharaBase::MoveCentreToAndStop(int x, int y, cCmdState& state) {
  MoveCentreTo(x, y);
  StopCmdVelocity(state);
}

void cCharaBase::MoveCentreXTo(int x) {
  m_dX += x - (m_ScreenRect.left + m_nGraphicWidth / 2);
  AfterMoveX();
}

void cCharaBase::MoveCentreXToAndStop(int x, cCmdState& state) {
  MoveCentreXTo(x);
  StopCmdVelocity(state);
}

void cCharaBase::MoveCentreYTo(int y) {
  m_dY += y - (m_ScreenRect.top + m_nGraphicHeight / 2);
  AfterMoveY();
}

void cCharaBase::MoveCentreYToAndStop(int y, cCmdState& state) {
  MoveCentreYTo(y);
  StopCmdVelocity(state);
}
