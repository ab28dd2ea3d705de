#pragma once
// A Standard MIDI File (format 0 or 1) read into one time-ordered list of events, for the music
// component's player. Every length and count is checked against the bytes present; a track that is
// cut short keeps the events before the fault.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct cSmfEvent {
  uint64_t tick = 0;
  std::vector<uint8_t> bytes;  // channel message, F0/F7 sysex (with its status), or FF type data
};

struct cSmfSong {
  uint16_t division = 96;
  std::vector<cSmfEvent> events;  // by tick; equal ticks keep track order
  uint64_t endTick = 0;
};

bool ParseSmfSong(const uint8_t* bytes, size_t size, cSmfSong& song);
bool LoadSmfSong(const std::string& path, cSmfSong& song);
