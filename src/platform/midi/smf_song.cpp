#include "platform/midi/smf_song.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr size_t kMaxSmfFile = 16u << 20;

uint32_t Be32(const uint8_t* p) { return (uint32_t(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3]; }

bool ReadVarLen(const uint8_t* p, size_t end, size_t& pos, uint32_t& value) {
  value = 0;
  for (int i = 0; i < 4; ++i) {
    if (pos >= end) return false;
    const uint8_t b = p[pos++];
    value = (value << 7) | (b & 0x7F);
    if (!(b & 0x80)) return true;
  }
  return false;
}

int DataBytes(uint8_t status) {
  switch (status & 0xF0) {
    case 0xC0: case 0xD0: return 1;
    default: return 2;
  }
}

}  // namespace

bool ParseSmfSong(const uint8_t* p, size_t size, cSmfSong& song) {
  song = cSmfSong{};
  if (size < 14 || std::memcmp(p, "MThd", 4) != 0 || Be32(p + 4) < 6) return false;
  const uint16_t format = static_cast<uint16_t>((p[8] << 8) | p[9]);
  const uint16_t tracks = static_cast<uint16_t>((p[10] << 8) | p[11]);
  song.division = static_cast<uint16_t>((p[12] << 8) | p[13]);
  if (format > 1 || song.division == 0) return false;
  size_t pos = 8 + static_cast<size_t>(Be32(p + 4));
  for (uint16_t t = 0; t < tracks && pos + 8 <= size; ++t) {
    const uint32_t length = Be32(p + pos + 4);
    const bool isTrack = std::memcmp(p + pos, "MTrk", 4) == 0;
    const size_t begin = pos + 8;
    const size_t end = begin + std::min<size_t>(length, size - begin);
    pos = end;
    if (!isTrack) { --t; continue; }  // unknown chunks are skipped
    size_t at = begin;
    uint64_t tick = 0;
    uint8_t running = 0;
    while (at < end) {
      uint32_t delta;
      if (!ReadVarLen(p, end, at, delta) || at >= end) break;
      tick += delta;
      const size_t from = song.bytes.size();
      uint8_t status = p[at];
      if (status == 0xFF) {
        if (at + 2 > end) break;
        const uint8_t type = p[at + 1];
        at += 2;
        uint32_t len;
        if (!ReadVarLen(p, end, at, len) || len > end - at) break;
        if (type == 0x2F) break;
        song.bytes.push_back(0xFF);
        song.bytes.push_back(type);
        song.bytes.insert(song.bytes.end(), p + at, p + at + len);
        at += len;
        running = 0;
      } else if (status == 0xF0 || status == 0xF7) {
        ++at;
        uint32_t len;
        if (!ReadVarLen(p, end, at, len) || len > end - at) break;
        song.bytes.push_back(status);
        song.bytes.insert(song.bytes.end(), p + at, p + at + len);
        at += len;
        running = 0;
      } else if (status > 0xF0) {
        // System common and real-time bytes do not belong in a file: step over them and their data.
        const size_t n = status == 0xF2 ? 2 : status == 0xF1 || status == 0xF3 ? 1 : 0;
        if (n + 1 > end - at) break;
        at += n + 1;
        continue;
      } else {
        if (status & 0x80) {
          running = status;
          ++at;
        } else if (running == 0) {
          break;
        }
        const int n = DataBytes(running);
        if (at + n > end) break;
        song.bytes.push_back(running);
        for (int i = 0; i < n; ++i) song.bytes.push_back(p[at + i] & 0x7F);
        at += n;
      }
      song.events.push_back({tick, static_cast<uint32_t>(from), static_cast<uint32_t>(song.bytes.size() - from)});
    }
    song.endTick = std::max(song.endTick, tick);
  }
  std::stable_sort(song.events.begin(), song.events.end(),
                   [](const cSmfEvent& a, const cSmfEvent& b) { return a.tick < b.tick; });
  return true;
}

bool LoadSmfSong(const std::string& path, cSmfSong& song) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  std::vector<uint8_t> bytes;
  uint8_t block[65536];
  size_t got;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0 && bytes.size() <= kMaxSmfFile)
    bytes.insert(bytes.end(), block, block + got);
  std::fclose(file);
  if (bytes.size() > kMaxSmfFile) return false;
  return ParseSmfSong(bytes.data(), bytes.size(), song);
}
