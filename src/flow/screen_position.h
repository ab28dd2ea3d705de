#pragma once
// Screen positions of message windows and pictures: the view's scroll, positions worked out wide
// brought back to int, and the latch that pins a position to the map or to the screen.
#include <algorithm>
#include <cstdint>

#include "core/numbers.h"
#include "objects/stage_state.h"

// The view's left and top edges in map dots (0 without a stage).
inline double StageScrollX() { return g_lpSceneStage ? g_lpSceneStage->m_ScrollX.m_dPosition : 0.0; }
inline double StageScrollY() { return g_lpSceneStage ? g_lpSceneStage->m_ScrollY.m_dPosition : 0.0; }

// Positions come from commands' parameters and are worked out in 64 bits; the result saturates.
inline int SaturateToInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// The first call stores the position, later calls give the stored one back. pinToMap: the map point
// under the position (position + scroll + 0.5, truncated) is stored and given back less the scroll
// (less 0.5), so that the position moves with the map; otherwise the screen position itself.
template <class Flag>
void LatchScreenPosition(bool pinToMap, Flag& latched, int32_t& storedX, int32_t& storedY, int& x, int& y) {
  if (!latched) {
    storedX = pinToMap ? TruncToInt(x + StageScrollX() + 0.5) : x;
    storedY = pinToMap ? TruncToInt(y + StageScrollY() + 0.5) : y;
    latched = 1;
    return;
  }
  x = pinToMap ? TruncToInt(storedX - (StageScrollX() - 0.5)) : storedX;
  y = pinToMap ? TruncToInt(storedY - (StageScrollY() - 0.5)) : storedY;
}
