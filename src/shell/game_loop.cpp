#include "shell/game_loop.h"

#include <atomic>
#include <cstdio>
#include <utility>

#include "core/log.h"
#include "core/thread.h"
#include "core/timing.h"
#include "media/graphics/display.h"
#include "media/graphics/recovery.h"
#include "platform/clock.h"
#include "platform/headless/input_script.h"
#include "platform/window/vertical_blank.h"
#include "shell/app_globals.h"
#include "shell/audio_dump_run.h"
#include "shell/input_state.h"
#include "shell/joystick_detect.h"
#include "shell/main_window.h"
#include "shell/scene.h"
#include "shell/scene_mgr.h"
#include "shell/system_ini.h"
#include "shell/workers.h"

namespace {
std::atomic<uint64_t> g_nFrameLimit{0};
std::atomic<uint64_t> g_nPolledFrames{0};
// The frame limit was reached inside a stage's modal wait: that close only ends the wait (the stage
// would close again on its next play frame, which the limit no longer runs), so the game loop closes
// again once the wait is over.
std::atomic<bool> g_bLimitCloseInWait{false};
cFrameStepHooks g_frameStepHooks;

bool directDrawMode() { return !lpDTCon && lpDDCon; }
}  // namespace

void SetFrameLimit(uint64_t frames) {
  g_nPolledFrames.store(0);
  g_bLimitCloseInWait.store(false);
  g_nFrameLimit.store(frames);
}
bool FrameLimitReached() {
  uint64_t limit = g_nFrameLimit.load();
  return limit != 0 && g_nPolledFrames.load() >= limit;
}
uint64_t PolledFrames() { return g_nPolledFrames.load(); }
cFrameStepHooks SetFrameStepHooks(const cFrameStepHooks& hooks) { return std::exchange(g_frameStepHooks, hooks); }

void NoteInputFrame() {
  uint64_t frame = g_nPolledFrames.fetch_add(1) + 1;
  // The sound of the frame before, pulled before this frame's input or its close can change it.
  PullAudioDumpFrame();
  ApplyInputScript(frame);
  if (frame == g_nFrameLimit.load()) {
    g_bLimitCloseInWait.store(PauseThreadRunning());
    g_bCloseConfirmed.store(1);
    PostMessage(g_hMainWnd.load(), WM_CLOSE, 0, 0);
  }
}

unsigned GameLoop(void*) {
  for (;;) {
    cThread::SafePoint();
    MSG msg;
    if (PeekMessage(&msg, true)) {
      if (msg.message == WM_QUIT) {
        ECLogPuts("GameLoop WM_QUIT!");
        return 1;
      }
      continue;  // the start message and anything else
    }
    if (!g_AppActive.load() || FrameLimitReached()) {
      if (FrameLimitReached() && !PauseThreadRunning() && g_bLimitCloseInWait.exchange(false))
        PostMessage(g_hMainWnd.load(), WM_CLOSE, 0, 0);
      WaitRealTime(1);
      continue;
    }
    if (!g_SceneMgr.FrameStep()) {
      PostMessage(g_hMainWnd.load(), WM_CLOSE, 0, 0);
      return 1;
    }
  }
}

void WaitFrameTiming() {
  while (!CheckFrameInterval(g_SceneMgr.m_nFrameRate)) QcSleep(1);
}

int cSceneMgr::FrameStep() {
  if (directDrawMode()) WaitFrameTiming();
  StartFrameTimer();
  if (directDrawMode() && !CheckLostSurfaces()) return 0;
  PollInput(g_InputStates);
  SwitchScene(m_nScene);
  if (cScene* scene = CurrentScene()) scene->Step();
  m_nMeasuredFps = CountFps(true);
  m_nFrameTime = static_cast<int32_t>(StopFrameTimer(true));
  if (g_IniSettings.ShowFps) {
    m_adwFrameTimes[m_nFrameTimeIndex] = static_cast<uint32_t>(m_nFrameTime);
    if (++m_nFrameTimeIndex >= 16) {
      m_nFrameTimeIndex = 0;
      uint32_t sum = 0;
      for (uint32_t t : m_adwFrameTimes) sum += t;
      m_dwFrameTimeAverage = sum >> 4;
    }
    char text[32];
    std::snprintf(text, sizeof text, "FPS%2d(%2d)", m_nMeasuredFps, static_cast<int>(m_dwFrameTimeAverage));
    if (auto draw = g_frameStepHooks.drawFpsText) {
      if (g_IniSettings.ShowFps == 2)
        draw(2, text, 549, 469);
      else
        draw(1, text, 495, 463);
    }
  }
  PresentFrame();
  ++m_nFramesRun;
  return 1;
}

void cSceneMgr::PresentFrame() {
  // A stage faster than 60 frames per second, or unthrottled (0), does not wait for the display.
  const bool fastStage = SceneAt(kSceneStage) && (m_nFrameRate > 60 || m_nFrameRate <= 0);
  if (lpDTCon) {
    // With vertical sync the present waits for the display's refresh.
    if (g_IniSettings.VSync) WaitForVerticalBlank();
    if (!DDPresent(m_nFrameRate, 0, nullptr) && g_Windowed) SendMessage(g_hMainWnd.load(), kMsgRestoreDevice, 0, 0);
    return;
  }
  gfx::Surface* primary = g_PrimarySD.lpDD ? g_PrimarySD.lpDD->lpSurface : nullptr;
  gfx::Surface* back = g_BackBufferSD.lpDD ? g_BackBufferSD.lpDD->lpSurface : nullptr;
  if (!primary) return;
  if (g_Windowed && !fastStage) WaitForVerticalBlank();
  if (g_Windowed || g_BltPresent || fastStage) {
    if (back && back != primary) primary->Blt(nullptr, back, nullptr, gfx::kBltWait);
  } else {
    WaitForVerticalBlank();  // a flip waits for the refresh
    primary->Flip();
  }
}

int cSceneMgr::CheckLostSurfaces() {
  if (lpDTCon || !g_lpDD) return 1;
  gfx::Surface* primary = g_PrimarySD.lpDD ? g_PrimarySD.lpDD->lpSurface : nullptr;
  if (!primary || !primary->IsLost()) return 1;
  // The display was lost: the primary and the back surface, then every game surface that says it is
  // lost (pictures reloaded), the palette and the fonts' strips.
  return DDRestore() ? 1 : 0;
}
