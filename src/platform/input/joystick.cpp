#include "platform/input/joystick.h"

#include <array>
#include <mutex>

namespace {
struct Slot {
  bool present = false;
  JoystickReading reading;
};
std::mutex g_mutex;
std::array<Slot, kJoystickSlots> g_slots;
}  // namespace

uint32_t joyGetNumDevs() { return kJoystickSlots; }

uint32_t joyGetPosEx(uint32_t id, JOYINFOEX* info) {
  if (id >= kJoystickSlots || !info) return JOYERR_PARMS;
  std::lock_guard lock(g_mutex);
  if (!g_slots[id].present) return JOYERR_UNPLUGGED;
  *info = g_slots[id].reading.pos;
  return JOYERR_NOERROR;
}

uint32_t joyGetDevCapsA(uint32_t id, JOYCAPSA* caps, uint32_t /*size*/) {
  if (id >= kJoystickSlots || !caps) return JOYERR_PARMS;
  std::lock_guard lock(g_mutex);
  if (!g_slots[id].present) return JOYERR_PARMS;
  *caps = g_slots[id].reading.caps;
  return JOYERR_NOERROR;
}

void SetJoystick(uint32_t id, const JoystickReading& reading) {
  if (id >= kJoystickSlots) return;
  std::lock_guard lock(g_mutex);
  g_slots[id].present = true;
  g_slots[id].reading = reading;
}

void RemoveJoystick(uint32_t id) {
  if (id >= kJoystickSlots) return;
  std::lock_guard lock(g_mutex);
  g_slots[id] = Slot{};
}

void RemoveAllJoysticks() {
  std::lock_guard lock(g_mutex);
  for (auto& s : g_slots) s = Slot{};
}
