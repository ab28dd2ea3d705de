#include "data/progress_state.h"

cProgressState g_Progress;

void ResetProgressState() { g_Progress = cProgressState{}; }

uint32_t PlaybackDataVersion() { return g_nPlayMode == kPlayModeReplay ? g_Progress.m_nReplayVersion : 0; }
