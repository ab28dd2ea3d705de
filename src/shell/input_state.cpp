#include "shell/input_state.h"

#include "platform/input/joystick.h"
#include "platform/input/keyboard.h"
#include "platform/input/virtual_keys.h"

namespace {
// Keys of the fixed layout for game buttons 1..8.
constexpr int kButtonKeys[8] = {'Z', 'X', 'C', 'V', 'A', 'S', 'D', 'F'};

bool held(int vk) { return (GetAsyncKeyState(vk) & 0x8000) != 0; }

// Direction patterns of the event lists 0..9.
bool dirPatternHolds(int list, uint16_t word) {
  switch (list) {
    case 0: return word == 0;
    case 1: return word == 1;
    case 2: return word == 2;
    case 3: return word == 4;
    case 4: return word == 8;
    case 5: return word == 5;
    case 6: return word == 9;
    case 7: return word == 6;
    case 8: return word == 10;
    default: return (word & 15) != 0;
  }
}

bool buttonPatternHolds(int list, uint16_t word) { return list == 0 ? word == 0 : (word & (1u << (list - 1))) != 0; }

void pushEvent(KeyLogList& list, bool match) {
  if (list.empty()) list.assign(kKeyEventLength, KEYLOG{});
  int32_t state = match ? 1 : 0;
  if (list[0].nState != state) {
    list.pop_back();
    list.insert(list.begin(), KEYLOG{state, 1});
  } else if (list[0].nRun != kRunMax) {
    ++list[0].nRun;
  }
}

// One axis of the menu auto-repeat: passes a change at once, then after `delay` frames every
// `interval` frames.
void repeatAxis(uint16_t& word, uint16_t previous, uint16_t mask, uint32_t& counter, uint32_t delay,
                uint32_t interval) {
  if ((previous & mask) != (word & mask)) {
    counter = 0;
    return;
  }
  ++counter;
  if (counter < delay || interval == 0 || counter % interval != 0) word &= static_cast<uint16_t>(~mask);
}
}  // namespace

int GetDirNumber(uint16_t dir) {
  // Each bit on its own, as the devices are read, so that a played-back word gives the code the live
  // play had (left and right together are neutral, not left).
  int code = 5;
  if (dir & kDirLeft) code -= 1;
  if (dir & kDirRight) code += 1;
  if (dir & kDirUp) code -= 3;
  if (dir & kDirDown) code += 3;
  return code;
}

cInputState::cInputState() {
  ClearInputHistory();
  ResetKeyEvents();
}

int cInputState::ReadInputDevices(int /*index*/, int flags, int /*rate*/) {
  int code = 5;
  m_wDir = 0;
  m_wButton = 0;
  bool padMoved = false;
  bool padButtons = false;

  if ((flags & kReadPad) && m_bPadPresent) {
    JOYINFOEX info;
    info.dwSize = sizeof info;
    info.dwFlags = JOY_RETURNALL;
    if (joyGetPosEx(m_dwPadId, &info) != JOYERR_NOERROR) {
      m_bPadPresent = 0;
    } else {
      if (info.dwXpos <= m_dwXLow) {
        m_wDir |= kDirLeft;
        code -= 1;
      } else if (info.dwXpos >= m_dwXHigh) {
        m_wDir |= kDirRight;
        code += 1;
      }
      if (info.dwYpos <= m_dwYLow) {
        m_wDir |= kDirUp;
        code -= 3;
      } else if (info.dwYpos >= m_dwYHigh) {
        m_wDir |= kDirDown;
        code += 3;
      }
      if (m_bPadHasHat && code == 5) {
        struct cHatDir {
          uint32_t angle;
          uint16_t bits;
          int code;
        };
        static constexpr cHatDir kHat[] = {{0, kDirUp, 2},       {4500, kDirUp | kDirRight, 3},
                                           {9000, kDirRight, 6}, {13500, kDirDown | kDirRight, 9},
                                           {18000, kDirDown, 8}, {22500, kDirDown | kDirLeft, 7},
                                           {27000, kDirLeft, 4}, {31500, kDirUp | kDirLeft, 1}};
        for (const auto& h : kHat) {
          if (info.dwPOV == h.angle) {
            m_wDir |= h.bits;
            code = h.code;
            break;
          }
        }
      }
      padMoved = code != 5;
      for (int i = 0; i < 8; ++i)
        if (info.dwButtons & m_awPadButtonMask[i]) m_wButton |= static_cast<uint16_t>(1u << i);
      padButtons = m_wButton != 0;
    }
  }

  if (flags & kReadKeyboard) {
    if (!padMoved) {
      if (held(VK_LEFT)) {
        m_wDir |= kDirLeft;
        code -= 1;
      }
      if (held(VK_RIGHT)) {
        m_wDir |= kDirRight;
        code += 1;
      }
      if (held(VK_UP)) {
        m_wDir |= kDirUp;
        code -= 3;
      }
      if (held(VK_DOWN)) {
        m_wDir |= kDirDown;
        code += 3;
      }
    }
    if (!padButtons) {
      for (int i = 0; i < 8; ++i)
        if (held(kButtonKeys[i])) m_wButton |= static_cast<uint16_t>(1u << i);
    }
  }
  m_nDirNumber = code;
  return 1;
}

void cInputState::ClearDirInput() {
  m_wDir = 0;
  m_nDirNumber = 5;
}

void cInputState::ClearButtonInput() { m_wButton = 0; }

void cInputState::RepeatDirKeys() {
  m_wDirShift = static_cast<uint16_t>((m_wDirShift << 4) | m_wDir);
  uint16_t previous = static_cast<uint16_t>((m_wDirShift >> 4) & 15);
  repeatAxis(m_wDir, previous, kDirLeft | kDirRight, m_dwRepeatCountH, m_dwRepeatDelay, m_dwRepeatInterval);
  repeatAxis(m_wDir, previous, kDirUp | kDirDown, m_dwRepeatCountV, m_dwRepeatDelay, m_dwRepeatInterval);
}

void cInputState::TriggerButtons(uint16_t mask) {
  if (mask == 0) mask = 0xFF;
  const uint16_t onEntry = m_wButton;
  for (int i = 0; i < 8; ++i) {
    uint16_t bit = static_cast<uint16_t>(1u << i);
    if (!(mask & bit) || !(m_wButton & bit)) continue;
    if (m_nButtonLock == 1) {
      m_wButton &= static_cast<uint16_t>(~bit);
    } else {
      m_nButtonLock = 1;
      return;  // the first frame of a press passes every held button
    }
  }
  if ((onEntry & mask) == 0)
    m_nButtonLock = 0;
  else
    m_wButton &= static_cast<uint16_t>(~mask);
}

void cInputState::ClearInputHistory() {
  for (auto& ring : m_aHistory)
    for (auto& e : ring) e = INPUTHISTORY{};
  m_anHistoryHead[0] = m_anHistoryHead[1] = 0;
}

void cInputState::RecordInputHistory() {
  const uint16_t words[2] = {m_wDir, m_wButton};
  for (int ch = 0; ch < 2; ++ch) {
    INPUTHISTORY& head = m_aHistory[ch][m_anHistoryHead[ch]];
    int16_t state = static_cast<int16_t>(words[ch]);
    if (head.nState == state) {
      if (head.nRun != kRunMax) ++head.nRun;
    } else {
      m_anHistoryHead[ch] = (m_anHistoryHead[ch] + 1) % kHistoryLength;
      m_aHistory[ch][m_anHistoryHead[ch]] = INPUTHISTORY{state, 1};
    }
  }
}

int16_t cInputState::GetPastInput(int channel, int framesAgo) const {
  if (channel != 0) channel = 1;
  int64_t remaining = static_cast<int64_t>(framesAgo) + 1;
  int index = m_anHistoryHead[channel];
  for (int i = 0; i < kHistoryLength; ++i) {
    const INPUTHISTORY& e = m_aHistory[channel][index];
    if (remaining > e.nRun) {
      remaining -= e.nRun;
      index = (index + kHistoryLength - 1) % kHistoryLength;
    }
  }
  return m_aHistory[channel][index].nState;
}

void cInputState::ResetKeyEvents() {
  m_aDirEvents.assign(kDirEventLists, KeyLogList(kKeyEventLength));
  m_aButtonEvents.assign(kButtonEventLists, KeyLogList(kKeyEventLength));
}

void cInputState::UpdateKeyEvents() {
  if (m_aDirEvents.size() != kDirEventLists || m_aButtonEvents.size() != kButtonEventLists) ResetKeyEvents();
  for (int i = 0; i < kDirEventLists; ++i) pushEvent(m_aDirEvents[i], dirPatternHolds(i, m_wDir));
  for (int i = 0; i < kButtonEventLists; ++i) pushEvent(m_aButtonEvents[i], buttonPatternHolds(i, m_wButton));
}

void cInputState::CopyInputTo(cInputState& other) const {
  other.m_wDir = m_wDir;
  other.m_wButton = m_wButton;
  other.m_nDirNumber = m_nDirNumber;
  other.m_wDirShift = m_wDirShift;
  for (int ch = 0; ch < 2; ++ch) {
    for (int i = 0; i < kHistoryLength; ++i) other.m_aHistory[ch][i] = m_aHistory[ch][i];
    other.m_anHistoryHead[ch] = m_anHistoryHead[ch];
  }
  other.m_aDirEvents = m_aDirEvents;
  other.m_aButtonEvents = m_aButtonEvents;
  other.m_dwRepeatCountH = m_dwRepeatCountH;
  other.m_dwRepeatCountV = m_dwRepeatCountV;
  other.m_nButtonLock = m_nButtonLock;
}

void cInputState::CopyInputFrom(const cInputState& other) { other.CopyInputTo(*this); }

void cInputState::SetKeyRepeat(uint32_t delay, uint32_t interval) {
  m_dwRepeatDelay = delay;
  m_dwRepeatInterval = interval;
}

void cInputState::SetPadButtonMap() {
  for (int i = 0; i < 8; ++i) m_awPadButtonMask[i] = static_cast<uint16_t>(1u << i);
}

bool cInputState::IsPadInputDown(int code) const {
  switch (code) {
    case 256: return (m_wDir & kDirLeft) != 0;
    case 512: return (m_wDir & kDirRight) != 0;
    case 1024: return (m_wDir & kDirUp) != 0;
    case 2048: return (m_wDir & kDirDown) != 0;
    default: return (code & m_wButton) != 0;
  }
}
