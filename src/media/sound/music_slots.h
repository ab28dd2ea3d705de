#pragma once
// The music file of each of the seven situation slots, one table per back end.
#include <cstdint>

constexpr int kBgmSlotCount = 7;  // title, world map, challenge, free play, replay, options, stage

struct OGGSLOT {
  char path[260];
  int32_t volume;  // percent 0-100
};

struct MIDISLOT {
  char path[260];
  int32_t unused;
  int32_t volume;  // percent 0-100
};

// The start-up's tables: "bgm\Title.ogg" ... "bgm\Stage.ogg" with volume 0, and the same names with
// ".mid" and volume 100.
extern OGGSLOT g_OggSlots[kBgmSlotCount];
extern MIDISLOT g_MidiSlots[kBgmSlotCount];
// Puts both tables back to those contents.
void ResetMusicSlotTables();

// The extension after the last "." of a path, or null when the path has none.
const char* PathExtension(const char* path);
