#pragma once
// Joysticks as the game reads them: numbered devices with a position record (two axes in 0..65535, a
// point-of-view hat in hundredths of a degree, a button mask) and capabilities (axis ranges, hat flag).
// The UI thread keeps the records up to date from the window system's joystick API (or a headless run
// from its input script); the thread that runs game frames reads them through the calls below.
#include <cstdint>

constexpr uint32_t JOYERR_NOERROR = 0;
constexpr uint32_t JOYERR_PARMS = 165;
constexpr uint32_t JOYERR_UNPLUGGED = 167;
constexpr uint32_t JOY_RETURNALL = 0xFF;
constexpr uint32_t JOYCAPS_HASPOV = 0x10;
constexpr uint32_t JOYCAPS_POV4DIR = 0x20;
constexpr uint32_t JOY_POVCENTERED = 0xFFFF;

// Number of device numbers that can hold a joystick.
constexpr uint32_t kJoystickSlots = 16;

struct JOYINFOEX {
  uint32_t dwSize = sizeof(JOYINFOEX);
  uint32_t dwFlags = 0;
  uint32_t dwXpos = 0, dwYpos = 0, dwZpos = 0, dwRpos = 0, dwUpos = 0, dwVpos = 0;
  uint32_t dwButtons = 0;
  uint32_t dwButtonNumber = 0;
  uint32_t dwPOV = JOY_POVCENTERED;
  uint32_t dwReserved1 = 0, dwReserved2 = 0;
};

struct JOYCAPSA {
  uint32_t wXmin = 0, wXmax = 65535, wYmin = 0, wYmax = 65535;
  uint32_t wNumButtons = 0;
  uint32_t wCaps = 0;
};

uint32_t joyGetNumDevs();
uint32_t joyGetPosEx(uint32_t id, JOYINFOEX* info);
uint32_t joyGetDevCapsA(uint32_t id, JOYCAPSA* caps, uint32_t size);

// Writers of the device records (UI thread, headless script, tests).
struct JoystickReading {
  JOYCAPSA caps;
  JOYINFOEX pos;
};
void SetJoystick(uint32_t id, const JoystickReading& reading);
void RemoveJoystick(uint32_t id);
void RemoveAllJoysticks();
// The hat angle of an SDL hat value (JOY_POVCENTERED when centred).
uint32_t PovFromSdlHat(uint8_t hat);

// UI thread, SDL running: opens a newly attached joystick, closes a removed one, and copies the state
// of every open one into its record. Call once per pass of the user-interface loop.
void JoystickDeviceAdded(int deviceIndex);
void JoystickDeviceRemoved(int instanceId);
void RefreshJoysticks();
void CloseAllJoysticks();
