#pragma once
// What the world map keeps from one visit to the next for the whole run: the view origin its map
// picture was composed for, where the stage confirm menu stands, whether the confirm's stage file
// loaded, and the counter of the hero's two-picture walk.
#include <cstdint>

class cWorldMapState {
 public:
  // As at the start of a run.
  void Reset() { *this = cWorldMapState(); }

  int32_t m_nRenderedViewX = 0;
  int32_t m_nRenderedViewY = 0;
  int32_t m_nConfirmX = 0;
  int32_t m_nConfirmY = 260;
  int32_t m_bStageLoaded = 0;
  int32_t m_nHeroAnim = 0;  // 0-79: the first picture for 0-39, the second for 40-79
};

extern cWorldMapState g_WorldMapState;
