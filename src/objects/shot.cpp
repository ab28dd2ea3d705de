// Shots: construction, destruction and the hit rectangle.
#include "objects/shot.h"

#include <algorithm>

cShot::cShot() {
  m_Settings.ResetFields();
  m_Settings.m_bUserBlockTest = 1;  // S23
  m_Settings.m_bAngleMirror = 1;    // S10
  m_Settings.m_bMirrorX = 1;        // S18
  m_Settings.m_bMirrorY = 0;        // S19
  m_Settings.m_nSize = 1;           // S26
  m_Settings.m_nTargetSlot = 0;     // S7
  m_Settings.m_nTargetSlot2 = 0;    // S30
}

cShot::~cShot() { UnlinkShot(); }

void cShot::UpdateHitRectX() {
  m_HitBox.rect.left = TruncToInt(m_dX) + m_HitBox.nX;
  m_HitBox.rect.right = m_HitBox.rect.left + m_HitBox.nWidth - 1;
}

void cShot::UpdateHitRectY() {
  m_HitBox.rect.top = TruncToInt(m_dY) + m_HitBox.nY;
  m_HitBox.rect.bottom = m_HitBox.rect.top + m_HitBox.nHeight - 1;
}

void cShot::UnlinkShot() {
  auto forget = [this](cCharaBase* chara, int kind) {
    if (!chara) return;
    auto& links = chara->m_aShotLinks;
    links.erase(std::remove(links.begin(), links.end(), cShotLink{this, kind}), links.end());
  };
  forget(m_lpTarget, kShotLinkTarget);
  forget(m_lpOwner, kShotLinkOwner);
  m_lpTarget = nullptr;
  m_lpOwner = nullptr;
}
