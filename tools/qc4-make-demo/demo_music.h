#pragma once
// The demo's background music: one short original eight-bar tune in three arrangements, written as
// format-1 Standard MIDI Files with General MIDI instruments. Every track ends exactly on the last
// bar line, so the tune loops without a gap or a hanging note.
#include <cstdint>
#include <string>
#include <vector>

struct cDemoSong {
  std::string gamePath;  // "bgm\Title.mid"
  std::vector<uint8_t> file;
};

constexpr uint16_t kSongDivision = 480;  // ticks per quarter note
constexpr int kSongBars = 8;

// Title, world map and stage music.
std::vector<cDemoSong> MakeDemoSongs();
