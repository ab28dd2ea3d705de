#pragma once
// One player's input for a frame: the direction and button words read from the keyboard and the
// joystick, and what scenes, flows and the replay recorder derive from them (numpad code, menu
// auto-repeat, one report per press, a run-length history and per-pattern event lists).
// Touched only by the thread that currently runs game frames, so no locks.
#include <cstdint>
#include <vector>

// Direction bits of the direction word.
constexpr uint16_t kDirLeft = 1;
constexpr uint16_t kDirRight = 2;
constexpr uint16_t kDirUp = 4;
constexpr uint16_t kDirDown = 8;

// ReadInputDevices flags.
constexpr int kReadPad = 1;
constexpr int kReadKeyboard = 2;

constexpr int kHistoryLength = 32;
constexpr int kKeyEventLength = 32;
constexpr int kDirEventLists = 10;
constexpr int kButtonEventLists = 9;
constexpr int32_t kRunMax = 2147483647;

// One run of a history ring.
struct INPUTHISTORY {
  int16_t nState = 0;
  int32_t nRun = 0;
};

// One entry of an event list: whether the list's pattern held during the run, and the run's length.
struct KEYLOG {
  int32_t nState = 0;
  int32_t nRun = 0;
};
using KeyLogList = std::vector<KEYLOG>;

class cInputState {
 public:
  cInputState();

  // Reads the devices into the words: flags kReadPad (the assigned joystick), kReadKeyboard (the
  // fixed layout: arrows, Z X C V A S D F). Index and rate are not used. Returns 1.
  int ReadInputDevices(int index, int flags, int rate);

  void ClearDirInput();
  void ClearButtonInput();
  void RepeatDirKeys();
  void TriggerButtons(uint16_t mask);

  void ClearInputHistory();
  void RecordInputHistory();
  // State of channel 0 (directions) or 1 (buttons) `framesAgo` frames ago (0 = now).
  int16_t GetPastInput(int channel, int framesAgo) const;

  void ResetKeyEvents();
  void UpdateKeyEvents();

  void CopyInputTo(cInputState& other) const;
  void CopyInputFrom(const cInputState& other);

  void SetKeyRepeat(uint32_t delay, uint32_t interval);
  // Game buttons 1..8 on pad buttons 1..8.
  void SetPadButtonMap();
  // Whether a key-table joystick code holds in this record's readings: 256 left, 512 right, 1024 up,
  // 2048 down, any other value a mask of the button word.
  bool IsPadInputDown(int code) const;

  uint16_t m_wDir = 0;
  uint16_t m_wButton = 0;
  uint16_t m_wDirShift = 0;
  INPUTHISTORY m_aHistory[2][kHistoryLength];
  int32_t m_anHistoryHead[2] = {0, 0};
  std::vector<KeyLogList> m_aDirEvents;
  std::vector<KeyLogList> m_aButtonEvents;
  int32_t m_nDirNumber = 5;
  uint32_t m_dwRepeatCountH = 0;
  uint32_t m_dwRepeatCountV = 0;
  uint32_t m_dwRepeatDelay = 0;
  uint32_t m_dwRepeatInterval = 0;
  int32_t m_nButtonLock = 0;
  uint16_t m_awPadButtonMask[8] = {};
  int32_t m_bPadPresent = 0;
  uint32_t m_dwPadId = 0;
  int32_t m_bPadHasHat = 0;
  uint32_t m_dwXLow = 0, m_dwXHigh = 0, m_dwYLow = 0, m_dwYHigh = 0;
};

// Numpad code of a direction word: 5 neutral; left -1 else right +1; up -3 else down +3.
int GetDirNumber(uint16_t dir);

// The input records, one per player (one in practice).
extern std::vector<cInputState> g_InputStates;
