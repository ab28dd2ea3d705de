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
  uint32_t offset = 0;  // where its bytes lie in the song's byte pool
  uint32_t length = 0;  // channel message, F0/F7 sysex (with its status), or FF type data
};

struct cSmfSong {
  uint16_t division = 96;
  std::vector<cSmfEvent> events;  // by tick; equal ticks keep track order
  std::vector<uint8_t> bytes;     // the events' bytes, one after the other
  uint64_t endTick = 0;

  const uint8_t* Bytes(const cSmfEvent& event) const { return bytes.data() + event.offset; }
  std::vector<uint8_t> BytesOf(size_t index) const {
    const cSmfEvent& e = events[index];
    return {Bytes(e), Bytes(e) + e.length};
  }
};

bool ParseSmfSong(const uint8_t* bytes, size_t size, cSmfSong& song);
bool LoadSmfSong(const std::string& path, cSmfSong& song);
