#pragma once
// The play mode the menus chose for a run (g_nPlayMode, in g_GameData: data/game_data.h) and the
// data version the replay-dependent rules compare against.
#include <cstdint>

// Play modes chosen by the menus.
enum : int32_t {
  kPlayModeStoryNew = 0,
  kPlayModeStoryContinue = 1,
  kPlayModeChallenge = 2,
  kPlayModeFree = 3,
  kPlayModeReplay = 4,
};

extern int32_t& g_nPlayMode;  // in g_GameData (data/game_data.h)

// The version of the replay being played back in replay mode, else 0 (a live play follows the
// current rules).
uint32_t PlaybackDataVersion();
