#include "flow/play_values.h"

#include "data/save_data.h"
#include "data/stage_data.h"
#include "data/system_data.h"
#include "objects/stage_state.h"

int32_t LivesAsRead() {
  if (g_SaveData.m_nLives != kUnlimitedLives) return g_SaveData.m_nLives;
  return g_SystemData.m_bLegacy819 ? 0 : 100;
}

int32_t& AutoScrollSpeed(int axis) {
  return axis == 0 ? g_StageFile.m_nAutoScrollSpeedX : g_StageFile.m_nAutoScrollSpeedY;
}

void ApplyAutoScrollSpeed(int axis) {
  if (!g_lpSceneStage) return;
  cScrollAxis& scroll = axis == 0 ? g_lpSceneStage->m_ScrollX : g_lpSceneStage->m_ScrollY;
  scroll.SetAutoScroll(axis == 0 ? g_StageFile.m_bAutoScrollX : g_StageFile.m_bAutoScrollY, AutoScrollSpeed(axis));
}
