#pragma once
// The scene manager: one object slot per scene id, the current, requested and previous ids, the values
// scenes hand to each other, the frame rate and fade step of the frame loop, the last music request,
// and the frame-loop measurements. One instance, g_SceneMgr, touched only by the thread that runs game
// frames, except the current scene id, which the close handler reads on the user-interface thread.
#include <atomic>
#include <cstdint>

#include "data/play_mode.h"

class cScene;

enum eSceneId {
  kSceneTitle = 0,
  kSceneWorldMap = 1,
  kSceneMapMenu = 2,
  kSceneStageSelect = 3,
  kSceneFreeList = 4,
  kSceneReplayList = 5,
  kSceneStage = 6,
  kSceneOption = 7,
  kSceneCount = 8,
};

// What the scene manager asks of the layers that own the scene classes (stage play and the menus),
// installed at start-up before the game thread runs.
struct cSceneHooks {
  // Builds the object of a scene id; a scene without one is an empty scene that draws nothing.
  cScene* (*createScene[kSceneCount])() = {};
};
// Installs the hooks; returns the ones they replace.
cSceneHooks SetSceneHooks(const cSceneHooks& hooks);

class cSceneMgr {
 public:
  // Deletes every scene object other than id's and creates id's when it is missing.
  void SwitchScene(int id);
  void DestroyAllScenes();
  // The object of a scene id (null when not created or id out of range).
  cScene* SceneAt(int id) const;
  cScene* CurrentScene() const { return SceneAt(m_nScene); }

  // Asks the main window for the music of a situation 0..5, unless the same looping music plays.
  void RequestBgm(int number, int flag, int situation, int force);

  // One frame of the game (see the frame loop); 1 = go on, 0 = end the game.
  int FrameStep();
  void PresentFrame();
  int CheckLostSurfaces();

  // Scene objects in the order of ids 0, 1, 2, 3, 4, 5, 7, 6.
  cScene* m_apScenes[kSceneCount] = {};
  // Written by the game thread, read by the close handler: atomic.
  std::atomic<int32_t> m_nScene{0};
  int32_t m_nRequestScene = 0;
  int32_t m_nPrevScene = 0;
  int32_t m_nModeIndex = 0;
  int32_t m_anSelectPos[2] = {0, 0};
  int32_t m_bRankingOn = 0;
  int32_t m_nFrameRate = 60;
  int32_t m_nFadeStep = 10;
  int32_t m_nLastBgm = 0;
  int32_t m_nLastBgmFlag = 0;

  // Frame-loop measurements.
  int32_t m_nMeasuredFps = 0;
  int32_t m_nFrameTime = 0;
  uint32_t m_adwFrameTimes[16] = {};
  int32_t m_nFrameTimeIndex = 0;
  uint32_t m_dwFrameTimeAverage = 0;
  // Frames stepped since start (the input script and --frames count them).
  uint64_t m_nFramesRun = 0;
};

extern cSceneMgr g_SceneMgr;

// Names the scenes use for the manager's hand-over values.
inline int32_t& g_PlayMode = g_nPlayMode;  // the run's play mode (data/play_mode.h)
inline int32_t& g_ModeIndex = g_SceneMgr.m_nModeIndex;
inline int32_t& g_RankingOn = g_SceneMgr.m_bRankingOn;

// Index of a scene id's slot in m_apScenes (the option scene's slot precedes the stage scene's).
int SceneSlotOf(int id);

// One step of a triangle wave between minimum and maximum: 1 once per cycle, at the bottom.
int PulseValue(int& value, int& direction, int step, int minimum, int maximum);

// Shows the saved frame (surface slot 45) again.
void RedrawAndPresent();
// 8-bit palette set-up for palette number n; 1 = done or not needed, 0 = failure.
int LoadHbtPalette(int n);
// One step of the palette animation; every scene calls it once per drawn frame.
void AnimatePalette();
