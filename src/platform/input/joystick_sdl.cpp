// SDL joysticks into the device records. Axis values -32768..32767 become 0..65535, hat positions
// become angles, buttons a mask (button 1 = bit 0).
#include <SDL.h>

#include <array>

#include "platform/input/joystick.h"

namespace {
// Open SDL joysticks by device number; touched only by the UI thread.
std::array<SDL_Joystick*, kJoystickSlots> g_open{};

uint32_t axisToPos(Sint16 v) { return static_cast<uint32_t>(static_cast<int32_t>(v) + 32768); }
}  // namespace

uint32_t PovFromSdlHat(uint8_t hat) {
  switch (hat) {
    case SDL_HAT_UP: return 0;
    case SDL_HAT_RIGHTUP: return 4500;
    case SDL_HAT_RIGHT: return 9000;
    case SDL_HAT_RIGHTDOWN: return 13500;
    case SDL_HAT_DOWN: return 18000;
    case SDL_HAT_LEFTDOWN: return 22500;
    case SDL_HAT_LEFT: return 27000;
    case SDL_HAT_LEFTUP: return 31500;
    default: return JOY_POVCENTERED;
  }
}

void JoystickDeviceAdded(int deviceIndex) {
  SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(deviceIndex);
  for (auto* j : g_open)
    if (j && SDL_JoystickInstanceID(j) == instance) return;  // already open
  for (uint32_t id = 0; id < kJoystickSlots; ++id) {
    if (g_open[id]) continue;
    g_open[id] = SDL_JoystickOpen(deviceIndex);
    return;
  }
}

void JoystickDeviceRemoved(int instanceId) {
  for (uint32_t id = 0; id < kJoystickSlots; ++id) {
    if (g_open[id] && SDL_JoystickInstanceID(g_open[id]) == instanceId) {
      SDL_JoystickClose(g_open[id]);
      g_open[id] = nullptr;
      RemoveJoystick(id);
    }
  }
}

void RefreshJoysticks() {
  for (uint32_t id = 0; id < kJoystickSlots; ++id) {
    SDL_Joystick* j = g_open[id];
    if (!j) continue;
    if (!SDL_JoystickGetAttached(j)) {
      SDL_JoystickClose(j);
      g_open[id] = nullptr;
      RemoveJoystick(id);
      continue;
    }
    JoystickReading r;
    int axes = SDL_JoystickNumAxes(j);
    int hats = SDL_JoystickNumHats(j);
    int buttons = SDL_JoystickNumButtons(j);
    r.caps.wNumButtons = static_cast<uint32_t>(buttons < 0 ? 0 : buttons);
    r.caps.wCaps = hats > 0 ? JOYCAPS_HASPOV | JOYCAPS_POV4DIR : 0;
    r.pos.dwXpos = axes > 0 ? axisToPos(SDL_JoystickGetAxis(j, 0)) : 32768;
    r.pos.dwYpos = axes > 1 ? axisToPos(SDL_JoystickGetAxis(j, 1)) : 32768;
    r.pos.dwPOV = hats > 0 ? PovFromSdlHat(SDL_JoystickGetHat(j, 0)) : JOY_POVCENTERED;
    for (int b = 0; b < buttons && b < 32; ++b)
      if (SDL_JoystickGetButton(j, b)) r.pos.dwButtons |= 1u << b;
    SetJoystick(id, r);
  }
}

void CloseAllJoysticks() {
  for (uint32_t id = 0; id < kJoystickSlots; ++id) {
    if (g_open[id]) SDL_JoystickClose(g_open[id]);
    g_open[id] = nullptr;
  }
  RemoveAllJoysticks();
}
