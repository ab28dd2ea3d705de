#include "data/play_mode.h"

#include "data/game_data.h"

uint32_t PlaybackDataVersion() { return g_nPlayMode == kPlayModeReplay ? g_GameData.m_nReplayVersion : 0; }
