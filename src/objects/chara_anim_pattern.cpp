// The pattern a character shows: its base animation, or the overlay animation that wins the choice.
#include <climits>

#include "objects/chara_base.h"

namespace {

// The overlay to show among those not paused, in list order. A flagged overlay whose time has run
// out settles the choice when the best one so far has run out too; until then a flagged overlay with
// less time left wins, and an unflagged one is taken only while there is none. Once settled, any
// overlay that has run out, but less far, wins.
cAnimOverlay* ChooseOverlay(cAnimOverlayList& overlays) {
  cAnimOverlay* best = nullptr;
  int best_left = INT_MAX;
  bool settled = false;
  for (cAnimOverlay& overlay : overlays) {
    if (overlay.bPaused) continue;
    const int left = overlay.nRemaining;
    if (settled) {
      if (left <= 0 && left > best_left) {
        best = &overlay;
        best_left = left;
      }
    } else if (overlay.bPriority) {
      if (left <= 0 && best_left <= 0) {
        best = &overlay;
        settled = true;
      } else if (left < best_left) {
        best = &overlay;
        best_left = left;
      }
    } else if (!best) {
      best = &overlay;
      best_left = INT_MAX;
    }
  }
  return best;
}

}  // namespace

int cCharaBase::StepAnimePattern(int hold) {
  if (!hold) {
    m_Anim.StepAnime();
    for (auto it = m_Overlays.begin(); it != m_Overlays.end();) {
      if (it->bPaused) {
        ++it;
        continue;
      }
      if (it->seq.StepAnime() == kAnimEnd) {
        it = m_Overlays.erase(it);
        continue;
      }
      --it->nRemaining;
      ++it;
    }
  }
  cAnimOverlay* best = ChooseOverlay(m_Overlays);
  return best ? best->seq.CurrentPattern() : m_Anim.CurrentPattern();
}
