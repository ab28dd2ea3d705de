#include "objects/anim_seq.h"

#include "core/containers.h"
#include "data/system_data.h"

void cAnimSeq::LoadAnimePatterns(const std::vector<cFrameScript>* source) {
  if (!source) return;
  const int32_t count = static_cast<int32_t>(source->size());
  m_aAnims.assign(source->size(), {});
  for (size_t a = 0; a < source->size(); ++a) {
    std::vector<cAnimFrame>& frames = m_aAnims[a];
    for (const cScriptStep& step : (*source)[a]) {
      frames.push_back({step.nPattern, step.nFrames, static_cast<uint8_t>(step.bLock ? 1 : 0)});
      if (step.nPattern < 0) break;
    }
    if (frames.empty() || frames.back().nPattern >= 0) frames.push_back({kAnimEnd, 0, 0});

    cAnimFrame& control = frames.back();
    const bool hasPrevious = frames.size() > 1;
    switch (control.nPattern) {
      case kAnimHold:
        if (!hasPrevious) control.nPattern = kAnimEnd;
        break;
      case kAnimRestart:
      case kAnimEnd: break;
      case kAnimJump:
        if (control.nDuration < 0 || control.nDuration >= count) control.nPattern = hasPrevious ? kAnimHold : kAnimEnd;
        break;
      default: control.nPattern = kAnimEnd; break;
    }
  }
  m_nAnime = 0;
  m_nFrame = 0;
  m_nTime = 0;
}

cAnimFrame& cAnimSeq::CurrentFrame() { return VecAt(VecAt(m_aAnims, m_nAnime), m_nFrame); }

int cAnimSeq::SetAnime(int n, int force) {
  if (!force && !m_aAnims.empty() && CurrentFrame().bLock) return 0;
  m_nAnime = n;
  m_nFrame = 0;
  m_nTime = 0;
  return 1;
}

int cAnimSeq::ChangeAnime(int n, int force) {
  if (n == m_nAnime) return 1;
  return SetAnime(n, force);
}

int cAnimSeq::StepAnime() {
  if (m_aAnims.empty()) return 0;
  ++m_nTime;
  if (m_nTime >= CurrentFrame().nDuration) {
    const int32_t frameCount = static_cast<int32_t>(VecAt(m_aAnims, m_nAnime).size());
    // An ended animation (or one whose control frame is current for any other reason) stays on
    // its last frame rather than stepping past it.
    if (m_nFrame + 1 < frameCount) {
      m_nTime = 0;
      ++m_nFrame;
      const cAnimFrame& frame = CurrentFrame();
      switch (frame.nPattern) {
        case kAnimJump: SetAnime(frame.nDuration, 1); break;
        case kAnimRestart: m_nFrame = 0; break;
        case kAnimHold: m_nFrame = m_nFrame > 0 ? m_nFrame - 1 : 0; break;
        default: break;
      }
    } else {
      m_nTime = 0;
    }
  }
  return CurrentFrame().nPattern;
}

int cAnimSeq::CurrentPattern() {
  if (m_aAnims.empty()) return 0;
  return CurrentFrame().nPattern;
}

void RemoveOverlaysOfSerial(cAnimOverlayList& overlays, int serial) {
  overlays.remove_if([serial](const cAnimOverlay& o) { return o.nSerial == serial; });
}

void RemoveOverlaysOfAnime(cAnimOverlayList& overlays, int anime) {
  overlays.remove_if([anime](const cAnimOverlay& o) { return o.nAnime == anime; });
}

void HaltOverlaysOfSerial(cAnimOverlayList& overlays, int serial) {
  for (auto it = overlays.begin(); it != overlays.end();) {
    if (it->nSerial != serial) {
      ++it;
      continue;
    }
    if (g_SystemData.m_bLegacy904 && it->nRemaining + it->nExtra - 1 < 0) {
      it = overlays.erase(it);
    } else {
      it->bPaused = 1;
      ++it;
    }
  }
}

void ResumeOverlaysOfSerial(cAnimOverlayList& overlays, int serial) {
  for (auto& o : overlays)
    if (o.nSerial == serial) o.bPaused = 0;
}
