// Character base: construction, copy, destruction and the virtual slots it fills itself.
#include "objects/chara_base.h"

#include <cstdint>

#include "core/containers.h"
#include "data/database.h"
#include "data/system_data.h"
#include "objects/cell_math.h"

namespace {
void StopCmdVelocity(cCmdState& state) {
  state.m_dVelX = 0.0;
  state.m_dVelY = 0.0;
}

// A box's offset and size, the same at scale 1.
void SetBoxValues(cHitBox& box, int x, int y, int width, int height) {
  box.nX = box.nBaseX = x;
  box.nY = box.nBaseY = y;
  box.nWidth = box.nBaseWidth = width;
  box.nHeight = box.nBaseHeight = height;
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

// The placement passes the start point of the move-to commands; everything a previous life of the
// object left (links, flow state, motion, contacts, points, effects, overlays) starts anew. A
// character that is linked already is unlinked from both ends, so that nothing keeps pointing at it.
void cCharaBase::InitFromType(const cCharaType* type, double startX, double startY, int clone) {
  m_nClone = static_cast<int16_t>(clone);

  UnlinkAll();
  m_apTargets.assign(kTargetSlots, nullptr);
  m_nFlowSerial = 0;

  m_abInUse.assign(kFlowIdSlots, 0);
  m_abRelease.assign(kFlowIdSlots, 0);
  m_abStartedFrame.assign(kFlowIdSlots, 0);

  m_bReleasePending = 0;
  m_bRemovePending = 0;
  m_dHomeX = startX;
  m_dHomeY = startY;
  m_bMoved = 0;
  m_nMoveAnime = 0;
  m_nMoveLevel = 0;
  m_dCmdSpeedX = 0.0;
  m_dCmdSpeedY = 0.0;
  m_bFixedScreenX = 0;
  m_bFixedScreenY = 0;
  m_nFixedScreenX = 0;
  m_nFixedScreenY = 0;

  m_dKnockX = 0.0;
  m_dKnockY = 0.0;
  m_bKnockStarted = 0;
  m_dPrevKnockY = 0.0;
  m_bMoveDisabled = 0;
  m_nKnockValue = -1;
  m_bInAir = 1;
  m_bRiseEnded = 0;
  m_bTookOff = 0;
  m_bCeilingHit = 0;
  m_bJumpFlag5 = 0;

  m_bContactLeft = 0;
  m_bContactRight = 0;
  m_bContactTop = 0;
  m_bContactBottom = 0;
  m_dToucherLeft = 0.0;
  m_dToucherRight = 0.0;
  m_dToucherTop = 0.0;
  m_dToucherBottom = 0.0;
  m_bLeftRide = 0;
  m_bRiding = 0;
  m_nRiddenId = 0;

  m_nHp = 0;
  m_nSp = 0;
  m_HpGauge = cGauge();
  m_SpGauge = cGauge();

  m_anVars.assign(kCharaVarCount, 0);

  if (type) {
    m_Type = *type;
    m_nHp = m_Type.m_nMaxHp;
    m_nSp = m_Type.m_nMaxSp;
  }

  m_bSyncScroll = m_Type.m_nOpt36;
  m_nViewRange = m_Type.m_nViewRange * 16;
  m_dFriction = FrictionFromSetting(m_Type.m_nStopEase);

  m_CharaEffect.ClearCharaEffect();
  if (m_Type.m_nCharaEffect != 0)
    m_CharaEffect.StartCharaEffect(m_Type.m_nCharaEffect, m_Type.m_nCharaEffectOptA, m_Type.m_nCharaEffectOptB);

  m_nInvincible = 0;
  m_InvincibleFrom.clear();

  SetAnimeSet(m_Type.m_nAnimeSet, 1);
  m_Overlays.clear();
  m_nCounterA = 0;
  m_nCounterB = 0;
}

// Every frame of the set becomes a locked step of its duration in game frames (the database keeps
// tenths of a second); each animation ends by starting again. A set number outside the database
// takes the checked accessor's fatal path and builds from entry 0.
void cCharaBase::SetAnimeSet(int number, int forced) {
  if (!forced && number == m_nAnimeSet) return;
  m_nAnimeSet = number;
  const cAnimeSetData& set = VecAt(g_Database.m_aAnimeSet, number);
  std::vector<cFrameScript> scripts;
  scripts.reserve(set.m_aAnimes.size());
  for (const cAnimeData& anime : set.m_aAnimes) {
    cFrameScript& script = scripts.emplace_back();
    for (const cAnimeFrame& frame : anime.m_aFrames)
      script.push_back({frame.m_nPattern, frame.m_nDuration * kFramesPerTenth, 1});
    script.push_back({kScriptRestart, 0, 1});
  }
  m_Anim.LoadAnimePatterns(&scripts);
}

// Offsets are relative to the hit box, so that the box sits centred (or on the bottom edge) in the
// 32 x 32 cell of the graphic.
void cCharaBase::SetCharaBox(int bottomAligned, int width, int height) {
  const int64_t y = bottomAligned ? 32 - int64_t{m_nHitOffsetY} - height : 16 - int64_t{m_nHitOffsetY} - height / 2;
  SetBoxValues(m_CharaBox, SaturateToInt(16 - int64_t{m_nHitOffsetX} - width / 2), SaturateToInt(y), width, height);
}

void SetCentredBox(cHitBox& box, int width, int height, int hitOffsetX, int hitOffsetY) {
  SetBoxValues(box, SaturateToInt(16 - int64_t{width >> 1} - hitOffsetX),
               SaturateToInt(16 - int64_t{height >> 1} - hitOffsetY), width, height);
}

void ScaleHitBox(cHitBox& box, int scale) {
  box.nX = ScaledSize(box.nBaseX, scale);
  box.nY = ScaledSize(box.nBaseY, scale);
  box.nWidth = ScaledSize(box.nBaseWidth, scale);
  box.nHeight = ScaledSize(box.nBaseHeight, scale);
}

// In doubles: a position at the far end of the int range plus an offset stays a number.
void PlaceHitBoxX(cHitBox& box, int x) {
  box.rect.left = static_cast<double>(x) + box.nX;
  box.rect.right = box.rect.left + box.nWidth - 1;
}

void PlaceHitBoxY(cHitBox& box, int y) {
  box.rect.top = static_cast<double>(y) + box.nY;
  box.rect.bottom = box.rect.top + box.nHeight - 1;
}

int ScaledSize(int size, int scale) {
  return static_cast<int32_t>(static_cast<uint32_t>(size) * static_cast<uint32_t>(scale));
}
