#include "platform/midi/smf_song.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/midi/midi_bytes.h"

namespace {

constexpr size_t kMaxSmfFile = 16u << 20;

}  // namespace

bool ParseSmfSong(const uint8_t* p, size_t size, cSmfSong& song) {
  song = cSmfSong{};
  if (size < 14 || std::memcmp(p, "MThd", 4) != 0 || ReadBe32(p + 4) < 6) return false;
  const uint16_t format = ReadBe16(p + 8);
  const uint16_t tracks = ReadBe16(p + 10);
  song.division = ReadBe16(p + 12);
  if (format > 1 || song.division == 0) return false;
  size_t pos = 8 + static_cast<size_t>(ReadBe32(p + 4));
  for (uint16_t t = 0; t < tracks && pos + 8 <= size; ++t) {
    const uint32_t length = ReadBe32(p + pos + 4);
    const bool isTrack = std::memcmp(p + pos, "MTrk", 4) == 0;
    const size_t begin = pos + 8;
    const size_t end = begin + std::min<size_t>(length, size - begin);
    pos = end;
    if (!isTrack) {
      --t;
      continue;
    }  // unknown chunks are skipped
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
        if (!ReadBodyLength(p, end, at, len)) break;
        if (type == 0x2F) break;
        song.bytes.push_back(0xFF);
        song.bytes.push_back(type);
        song.bytes.insert(song.bytes.end(), p + at, p + at + len);
        at += len;
        running = 0;
      } else if (status == 0xF0 || status == 0xF7) {
        ++at;
        uint32_t len;
        if (!ReadBodyLength(p, end, at, len)) break;
        song.bytes.push_back(status);
        song.bytes.insert(song.bytes.end(), p + at, p + at + len);
        at += len;
        running = 0;
      } else if (status > 0xF0) {
        // System common and real-time bytes do not belong in a file: step over them and their data.
        const size_t n = SystemDataBytes(status);
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
        const int n = ChannelDataBytes(running);
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
