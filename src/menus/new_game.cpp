#include "menus/new_game.h"

#include <algorithm>

#include "data/game_data.h"
#include "data/save_data.h"
#include "data/system_data.h"
#include "data/world_map.h"

namespace {
constexpr size_t kStoryKind = 0;
}  // namespace

void StartNewGame() {
  g_SaveData.ResetProgress(ProjectChallengeCount());
  g_SaveData.m_nMapX = g_WorldMap.m_nStartX;
  g_SaveData.m_nMapY = g_WorldMap.m_nStartY;
  g_SaveData.m_nGameRound = 0;
  const auto& infinite = g_SystemData.m_anModeOpt;
  const auto& startLives = g_SystemData.m_anStartLives;
  if ((kStoryKind < infinite.size() && infinite[kStoryKind]) || kStoryKind >= startLives.size()) {
    g_SaveData.m_nStartLives = g_SaveData.m_nLives = kUnlimitedLives;
  } else {
    // The lives shown count the one being played: a start of n lives leaves n - 1 in reserve.
    g_SaveData.m_nStartLives = std::max(startLives[kStoryKind], 0);
    g_SaveData.m_nLives = std::max(g_SaveData.m_nStartLives - 1, 0);
  }
}
