#include "media/sound/music_slots.h"

#include <cstdio>
#include <cstring>

OGGSLOT g_OggSlots[kBgmSlotCount];
MIDISLOT g_MidiSlots[kBgmSlotCount];

namespace {
const char* const kSituationNames[kBgmSlotCount] = {"Title",  "WorldMap", "Challenge", "Free",
                                                    "Replay", "Option",   "Stage"};
struct cTablesInit {
  cTablesInit() { ResetMusicSlotTables(); }
} s_TablesInit;
}  // namespace

void ResetMusicSlotTables() {
  for (int i = 0; i < kBgmSlotCount; ++i) {
    std::snprintf(g_OggSlots[i].path, sizeof g_OggSlots[i].path, "bgm\\%s.ogg", kSituationNames[i]);
    g_OggSlots[i].volume = 0;
    std::snprintf(g_MidiSlots[i].path, sizeof g_MidiSlots[i].path, "bgm\\%s.mid", kSituationNames[i]);
    g_MidiSlots[i].unused = 0;
    g_MidiSlots[i].volume = 100;
  }
}

const char* PathExtension(const char* path) {
  if (path == nullptr) return nullptr;
  const char* dot = std::strrchr(path, '.');
  return dot != nullptr ? dot + 1 : nullptr;
}
