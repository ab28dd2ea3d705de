#include "shell/joystick_detect.h"

#include <utility>

#include "core/log.h"
#include "platform/input/joystick.h"
#include "shell/game_loop.h"
#include "shell/input_state.h"
#include "shell/key_config.h"
#include "shell/scene.h"
#include "shell/scene_mgr.h"

namespace {
int g_nLastPadCount = 0;
int g_nIdleCountdown = 0;
int g_bDetectionRan = 0;
cInputHooks g_inputHooks;

// The play loop of a stage: the stage scene is current and in its phase 2. Enumerating joysticks
// there would stall play frames.
bool inStagePlayLoop() {
  if (g_SceneMgr.m_nScene != kSceneStage) return false;
  const cScene* stage = g_SceneMgr.SceneAt(kSceneStage);
  return stage && stage->m_nPhase == 2;
}
}  // namespace

cInputHooks SetInputHooks(const cInputHooks& hooks) { return std::exchange(g_inputHooks, hooks); }

void ResetJoystickDetection() {
  g_nLastPadCount = 0;
  g_nIdleCountdown = 0;
  g_bDetectionRan = 0;
}

void DetectJoysticks(HWND /*window*/, int rate, std::vector<cInputState>& records) {
  bool needed = false;
  int pads = 0;
  for (const auto& r : records)
    if (r.m_bPadPresent) ++pads;
  if (pads < g_nLastPadCount) needed = true;
  g_nLastPadCount = pads;

  if (pads == 0) {
    if (g_nIdleCountdown > 0) {
      bool input = false;
      for (const auto& r : records)
        if (r.m_wDir || r.m_wButton) input = true;
      if (input)
        g_nIdleCountdown = 4 * rate;
      else
        --g_nIdleCountdown;
    }
    if (g_nIdleCountdown <= 0) {
      needed = true;
      g_nIdleCountdown = 4 * rate;
    }
  }
  if (!needed || records.empty()) return;

  cInputState& r = records[0];
  const uint32_t devices = joyGetNumDevs();
  for (uint32_t id = 0; id < devices; ++id) {
    JOYINFOEX info;
    info.dwSize = sizeof info;
    info.dwFlags = JOY_RETURNALL;
    if (joyGetPosEx(id, &info) != JOYERR_NOERROR) {
      r.m_bPadPresent = 0;
      continue;
    }
    JOYCAPSA caps;
    if (joyGetDevCapsA(id, &caps, sizeof caps) != JOYERR_NOERROR) continue;
    r.m_bPadPresent = 1;
    r.m_dwPadId = id;
    r.m_dwXLow = caps.wXmin + (caps.wXmax - caps.wXmin) / 3;
    r.m_dwXHigh = caps.wXmax - (caps.wXmax - caps.wXmin) / 3;
    r.m_dwYLow = caps.wYmin + (caps.wYmax - caps.wYmin) / 3;
    r.m_dwYHigh = caps.wYmax - (caps.wYmax - caps.wYmin) / 3;
    r.m_bPadHasHat = (caps.wCaps & (JOYCAPS_HASPOV | JOYCAPS_POV4DIR)) ? 1 : 0;
    return;
  }
}

void PollInput(std::vector<cInputState>& records) {
  NoteInputFrame();
  auto option = g_inputHooks.padDetectionOption;
  bool padOption = option ? option() != 0 : true;
  if ((padOption || !g_bDetectionRan) && !inStagePlayLoop()) {
    g_bDetectionRan = 1;
    DetectJoysticks(g_hMainWnd.load(), g_SceneMgr.m_nFrameRate, records);
  }
  if (g_KeyConfig.bEnabled) {
    PollMappedInput(records);
  } else {
    for (size_t i = 0; i < records.size(); ++i)
      records[i].ReadInputDevices(static_cast<int>(i), i == 0 ? kReadPad | kReadKeyboard : kReadPad, 60);
  }
}
