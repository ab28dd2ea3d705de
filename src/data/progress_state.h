#pragma once
// The progress side of a run: the live progress record, the progress snapshots and input logs of
// this play and the previous one (a replay saves them), and the play mode the menus chose. One
// owner with one reset; the g_ names are references into it. Objects and flows read the progress
// and the play mode every frame.
#include <cstdint>

#include "data/input_log.h"
#include "data/save_data.h"

// Play modes chosen by the menus.
enum : int32_t {
  kPlayModeStoryNew = 0,
  kPlayModeStoryContinue = 1,
  kPlayModeChallenge = 2,
  kPlayModeFree = 3,
  kPlayModeReplay = 4,
};

struct cProgressState {
  cSaveData m_SaveData;           // the progress of the running play
  cSaveData m_PlayStartSave;      // the progress as it stood at the start of this play
  cSaveData m_PrevPlayStartSave;  // the same for the previous play of the stage
  cInputLog m_InputLog;           // this play's input log (recorded, or played back)
  cInputLog m_PrevInputLog;       // the previous play's input log
  int32_t m_nPlayMode = kPlayModeStoryNew;
  uint32_t m_nReplayVersion = 0;  // data version of the replay file being played back, 0 when none
};

extern cProgressState g_Progress;

// A fresh progress state in the same place (the references below stay valid).
void ResetProgressState();

inline cSaveData& g_SaveData = g_Progress.m_SaveData;
inline cSaveData& g_PlayStartSave = g_Progress.m_PlayStartSave;
inline cSaveData& g_PrevPlayStartSave = g_Progress.m_PrevPlayStartSave;
inline cInputLog& g_InputLog = g_Progress.m_InputLog;
inline cInputLog& g_PrevInputLog = g_Progress.m_PrevInputLog;
inline int32_t& g_nPlayMode = g_Progress.m_nPlayMode;

// The data version the replay-dependent rules compare against: the version of the replay being
// played back in replay mode, else 0 (a live play follows the current rules).
uint32_t PlaybackDataVersion();
