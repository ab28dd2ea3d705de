#pragma once
// The demo's background music: one short original eight-bar tune in three arrangements. The map and
// stage music are format-1 Standard MIDI Files with General MIDI instruments; the title music is
// played by code and written as Ogg Vorbis. Every track ends exactly on the last bar line, so the
// tune loops without a gap or a hanging note.
#include <cstdint>
#include <string>
#include <vector>

struct cDemoSong {
  std::string gamePath;  // "bgm\Title.ogg"
  std::vector<uint8_t> file;
};

constexpr uint16_t kSongDivision = 480;  // ticks per quarter note
constexpr int kSongBars = 8;

// Title (Ogg Vorbis), world map and stage music (MIDI).
std::vector<cDemoSong> MakeDemoSongs();
