#include "shell/key_config.h"

#include <cstring>
#include <string>

#include "core/containers.h"
#include "core/log.h"
#include "platform/files.h"
#include "platform/input/keyboard.h"
#include "platform/input/virtual_keys.h"
#include "shell/input_state.h"

KEYCONFIG g_KeyConfig;

namespace {
int32_t readInt32(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}
int16_t readInt16(const uint8_t* p) { return static_cast<int16_t>(p[0] | p[1] << 8); }
}  // namespace

void SetDefaultKeyConfig(KEYCONFIG& config) {
  static constexpr int16_t kKeys[kKeyAssignCount] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, 'Z', 'X',
                                                     'C',     'V',      'A',   'S',     'D', 'F'};
  config = KEYCONFIG{};
  for (int i = 0; i < kKeyAssignCount; ++i) config.aKeys[i] = KEYASSIGN{kKeyDeviceKeyboard, kKeys[i], 0};
  config.nCount = kKeyAssignCount;
  config.nPlayers = 1;
  config.bEnabled = 0;
}

void ParseKeyConfig(const uint8_t* bytes, size_t size, KEYCONFIG& config) {
  uint8_t raw[kKeyConfigBytes] = {};
  if (bytes) std::memcpy(raw, bytes, size < kKeyConfigBytes ? size : kKeyConfigBytes);
  config = KEYCONFIG{};
  for (int i = 0; i < kKeyAssignCount; ++i) {
    const uint8_t* e = raw + i * 8;
    config.aKeys[i] = KEYASSIGN{readInt32(e), readInt16(e + 4), readInt16(e + 6)};
  }
  config.nCount = readInt32(raw + 96);
  config.nPlayers = readInt32(raw + 100);
  config.bEnabled = readInt32(raw + 104);
}

bool IsKeyConfigUsable(const KEYCONFIG& config, size_t records) {
  if (config.nCount > kKeyAssignCount || config.nPlayers != 1) return false;
  int used = config.nCount > 4 ? config.nCount : 4;  // the four directions are always read
  for (int i = 0; i < used; ++i) {
    int32_t d = config.aKeys[i].nDevice;
    if (d != kKeyDeviceKeyboard && (d < 0 || static_cast<size_t>(d) >= records)) return false;
  }
  return true;
}

bool LoadKeyConfig(const char* path) {
  std::vector<uint8_t> bytes;
  if (!path || !ReadWholeFile(path, 1u << 20, bytes)) return false;
  TakeKeyConfig(bytes.data(), bytes.size(), path);
  return true;
}

void TakeKeyConfig(const uint8_t* bytes, size_t size, const char* path) {
  ParseKeyConfig(bytes, size, g_KeyConfig);
  if (g_KeyConfig.bEnabled && !IsKeyConfigUsable(g_KeyConfig, g_InputStates.size())) {
    // Reading such a table would hit a missing input record or entry on every frame.
    ReportLogPrintf("%s : キー設定が不正なため、標準のキー設定を使います。(entries %d, players %d)", path,
                    g_KeyConfig.nCount, g_KeyConfig.nPlayers);
    SetDefaultKeyConfig(g_KeyConfig);
  }
}

bool IsKeyAssignDown(std::vector<cInputState>& records, int entry) {
  if (entry < 0 || entry >= kKeyAssignCount) return false;
  const KEYASSIGN& k = g_KeyConfig.aKeys[entry];
  if (k.nDevice == kKeyDeviceKeyboard) return (GetAsyncKeyState(k.nCode) & 0x8000) != 0;
  return VecAt(records, k.nDevice).IsPadInputDown(k.nCode);
}

int PollMappedInput(std::vector<cInputState>& records) {
  if (!g_KeyConfig.bEnabled) return 0;
  for (size_t i = 0; i < records.size(); ++i) records[i].ReadInputDevices(static_cast<int>(i), kReadPad, 60);
  const int count = g_KeyConfig.nCount < kKeyAssignCount ? g_KeyConfig.nCount : kKeyAssignCount;
  for (int p = 0; p < g_KeyConfig.nPlayers && static_cast<size_t>(p) < records.size(); ++p) {
    int code = 5;
    uint16_t dir = 0, buttons = 0;
    if (IsKeyAssignDown(records, 0)) {
      dir |= kDirLeft;
      code -= 1;
    } else if (IsKeyAssignDown(records, 1)) {
      dir |= kDirRight;
      code += 1;
    }
    if (IsKeyAssignDown(records, 2)) {
      dir |= kDirUp;
      code -= 3;
    } else if (IsKeyAssignDown(records, 3)) {
      dir |= kDirDown;
      code += 3;
    }
    for (int j = 4; j < count; ++j)
      if (IsKeyAssignDown(records, j)) buttons |= static_cast<uint16_t>(1u << (j - 4));
    records[p].m_nDirNumber = code;
    records[p].m_wDir = dir;
    records[p].m_wButton = buttons;
  }
  return 1;
}
