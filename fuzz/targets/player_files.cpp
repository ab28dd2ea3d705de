// The player's own files under "user_data": the first byte picks the file, the rest is its bytes,
// read as start-up and the menus read them.
#include <vector>

#include "core/log.h"
#include "core/record.h"
#include "data/option_data.h"
#include "data/save_data.h"
#include "fuzz_targets.h"
#include "shell/input_state.h"
#include "shell/key_config.h"
#include "shell/window_data.h"
#include "targets/round_trip.h"

namespace {

// The window placement as start-up uses it: kept on a desktop, and its size tried against one.
bool WindowPlacement(const std::vector<uint8_t>& bytes) {
  cWindowData data(FreshRecord<cWindowData>());
  if (!LoadIntoFresh(data, bytes)) return true;
  data.ClampToWorkArea(0, 0, 1920, 1040);
  (void)data.SizeFitsWorkArea(1920, 1040);
  return data.m_nX >= 0 && data.m_nY >= 0 && data.m_nX <= 1920 && data.m_nY <= 1040 &&
         LoadWriteReload<cWindowData>(bytes);
}

// The raw key table: a table start-up keeps must be one the input can use.
bool KeyTable(const std::vector<uint8_t>& bytes) {
  g_InputStates.assign(1, cInputState());
  TakeKeyConfig(bytes.data(), bytes.size(), "user_data\\KeyConfig.dat");
  return !g_KeyConfig.bEnabled || IsKeyConfigUsable(g_KeyConfig, g_InputStates.size());
}

}  // namespace

bool FuzzPlayerFile(const uint8_t* data, size_t size) {
  if (size < 1) return true;
  g_bQuit = 0;
  g_FileVersions.Reset();
  const std::vector<uint8_t> bytes(data + 1, data + size);
  switch (static_cast<ePlayerFile>(data[0] % kFuzzPlayerFileCount)) {
    case kFuzzOptionData: return LoadWriteReload<cOptionData>(bytes);
    case kFuzzWindowData: return WindowPlacement(bytes);
    case kFuzzKeyConfig: return KeyTable(bytes);
    case kFuzzSaveData: return LoadWriteReload<cSaveData>(bytes);
    default: return true;
  }
}
