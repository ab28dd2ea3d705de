#include "media/sound/smf.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <queue>
#include <utility>

#include "core/log.h"
#include "platform/files.h"

namespace {

constexpr size_t kMaxSmfFile = 16u << 20;

// One event of a track: its absolute time and where its bytes (status and data as they go into the
// image, without the delta) lie in the shared byte pool. Kept small, as a file may hold millions.
struct cTimedEvent {
  uint64_t time = 0;
  uint32_t offset = 0;
  uint32_t length = 0;
};

void AppendWithLength(std::vector<uint8_t>& pool, uint8_t status, const uint8_t* data, uint32_t len) {
  pool.push_back(status);
  WriteVarLen(pool, len);
  pool.insert(pool.end(), data, data + len);
}

// Reads one track's events (up to its end-of-track event or the end of its chunk) into `events`,
// their bytes into `pool`. False when the track is malformed; the events before the fault are kept.
bool ReadTrack(const uint8_t* p, size_t begin, size_t end, std::vector<uint8_t>& pool, std::vector<cTimedEvent>& events,
               uint64_t& endTime) {
  size_t at = begin;
  uint64_t time = 0;
  uint8_t running = 0;
  std::vector<uint8_t> sysex;  // a system-exclusive message still waiting for its F7 packets
  uint64_t sysexTime = 0;
  auto keep = [&](uint64_t when, size_t from) {
    events.push_back({when, static_cast<uint32_t>(from), static_cast<uint32_t>(pool.size() - from)});
  };
  auto flushSysex = [&]() {
    if (sysex.empty()) return;
    const size_t from = pool.size();
    AppendWithLength(pool, 0xF0, sysex.data(), static_cast<uint32_t>(sysex.size()));
    keep(sysexTime, from);
    sysex.clear();
  };
  bool ok = false;
  while (at < end) {
    uint32_t delta;
    if (!ReadVarLen(p, end, at, delta) || at >= end) break;
    time += delta;
    const uint8_t status = p[at];
    if (status == 0xFF) {
      if (at + 2 > end) break;
      const uint8_t type = p[at + 1];
      at += 2;
      uint32_t len;
      if (!ReadBodyLength(p, end, at, len)) break;
      if (type == 0x2F) {
        ok = true;
        break;
      }
      flushSysex();
      const size_t from = pool.size();
      pool.push_back(0xFF);
      pool.push_back(type);
      WriteVarLen(pool, len);
      pool.insert(pool.end(), p + at, p + at + len);
      keep(time, from);
      at += len;
    } else if (status == 0xF0 || status == 0xF7) {
      ++at;
      uint32_t len;
      if (!ReadBodyLength(p, end, at, len)) break;
      const uint8_t* data = p + at;
      at += len;
      if (status == 0xF0) {
        flushSysex();
        sysexTime = time;
        sysex.assign(data, data + len);
        if (len > 0 && data[len - 1] == 0xF7)
          flushSysex();
        else if (len == 0)
          sysex.clear();
        else
          continue;  // continued by F7 packets
      } else if (!sysex.empty()) {
        sysex.insert(sysex.end(), data, data + len);  // a continuation packet
        if (len > 0 && data[len - 1] == 0xF7) flushSysex();
      } else if (len > 0 && data[0] == 0xF0) {
        const size_t from = pool.size();  // an escaped whole system-exclusive message
        AppendWithLength(pool, 0xF0, data + 1, len - 1);
        keep(time, from);
      } else if (len > 0 && data[0] >= 0x80 && data[0] < 0xF0 && len == 1u + ChannelDataBytes(data[0])) {
        const size_t from = pool.size();  // an escaped channel message
        pool.insert(pool.end(), data, data + len);
        keep(time, from);
      }
      // Any other escape (real-time or undefined bytes) is left out.
    } else if (status > 0xF0) {
      // A system common or real-time message has no place in a file: it is stepped over with its
      // data, and its time stays with what follows.
      const int n = SystemDataBytes(status);
      if (static_cast<size_t>(n) + 1 > end - at) break;
      at += 1 + static_cast<size_t>(n);
    } else {
      uint8_t use = status;
      if (status & 0x80) {
        running = status;
        ++at;
      } else {
        if (running == 0) break;
        use = running;
      }
      const int n = ChannelDataBytes(use);
      if (static_cast<size_t>(n) > end - at) break;
      flushSysex();
      const size_t from = pool.size();
      pool.push_back(use);
      for (int i = 0; i < n; ++i) pool.push_back(p[at + i] & 0x7F);
      keep(time, from);
      at += n;
    }
  }
  flushSysex();
  endTime = time;
  return ok;
}

}  // namespace

bool ConvertSmf(const uint8_t* p, size_t size, std::vector<uint8_t>& image, std::string& error) {
  image.clear();
  if (size < 4 || std::memcmp(p, "MThd", 4) != 0) {
    error = "Init 標準MIDIでない(4)";
    return false;
  }
  if (size < 14 || ReadBe32(p + 4) != 6) {
    error = "Init 標準MIDIでない(6)";
    return false;
  }
  const uint16_t format = ReadBe16(p + 8);
  if (format == 2) {
    error = "Init 対応フォーマットが2でない";
    return false;
  }
  if (format > 2) {
    error = "Init 対応フォーマットが0または1でない";
    return false;
  }
  if (size < 18 || std::memcmp(p + 14, "MTrk", 4) != 0) {
    error = "Init 標準MIDIでない(4)";
    return false;
  }
  const uint16_t trackCount = ReadBe16(p + 10);
  std::vector<uint8_t> pool;
  std::vector<std::vector<cTimedEvent>> tracks;
  uint64_t latest = 0;
  bool damaged = false;
  size_t pos = 14;
  for (uint16_t t = 0; t < trackCount && pos + 8 <= size;) {
    const bool isTrack = std::memcmp(p + pos, "MTrk", 4) == 0;
    const size_t begin = pos + 8;
    const size_t end = begin + std::min<size_t>(ReadBe32(p + pos + 4), size - begin);  // the chunk bounds it
    pos = end;
    if (!isTrack) continue;  // chunks of other kinds are skipped
    ++t;
    std::vector<cTimedEvent> events;
    uint64_t endTime = 0;
    if (!ReadTrack(p, begin, end, pool, events, endTime)) damaged = true;
    latest = std::max(latest, endTime);
    tracks.push_back(std::move(events));
  }

  // Merge: the smallest time first; equal times in track order.
  using tHead = std::pair<uint64_t, size_t>;  // (time of the track's next event, track)
  std::priority_queue<tHead, std::vector<tHead>, std::greater<tHead>> heads;
  std::vector<size_t> next(tracks.size(), 0);
  for (size_t t = 0; t < tracks.size(); ++t)
    if (!tracks[t].empty()) heads.push({tracks[t][0].time, t});
  image = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, p[12], p[13], 'M', 'T', 'r', 'k', 0, 0, 0, 0};
  uint64_t previous = 0;
  while (!heads.empty()) {
    const size_t best = heads.top().second;
    heads.pop();
    const cTimedEvent& ev = tracks[best][next[best]++];
    if (next[best] < tracks[best].size()) heads.push({tracks[best][next[best]].time, best});
    if (!WriteVarLen(image, static_cast<uint32_t>(std::min<uint64_t>(ev.time - previous, 0xFFFFFFFFu)))) {
      image.clear();
      error = "Init デルタタイムが長すぎます";
      return false;
    }
    previous = ev.time;
    image.insert(image.end(), pool.begin() + ev.offset, pool.begin() + ev.offset + ev.length);
  }
  if (!WriteVarLen(image, static_cast<uint32_t>(std::min<uint64_t>(latest - previous, 0xFFFFFFFFu)))) {
    image.clear();
    error = "Init デルタタイムが長すぎます";
    return false;
  }
  image.insert(image.end(), {0xFF, 0x2F, 0x00});
  const uint32_t length = static_cast<uint32_t>(image.size() - kSmfImageHeader);
  image[18] = uint8_t(length >> 24);
  image[19] = uint8_t(length >> 16);
  image[20] = uint8_t(length >> 8);
  image[21] = uint8_t(length);
  error = damaged ? "Init トラックが壊れています(壊れた所までを読みました)" : "";
  return true;
}

cSmf::cSmf(const char* path) : m_strName(path != nullptr ? path : "") {
  FILE* file = std::fopen(ResolvePath(m_strName).c_str(), "rb");
  if (file == nullptr) {
    LogPrintf("Midi %s Create ファイルが開けません", m_strName.c_str());
    return;
  }
  std::vector<uint8_t> bytes;
  uint8_t block[65536];
  size_t got;
  bool tooLarge = false;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
    if (bytes.size() + got > kMaxSmfFile) {
      tooLarge = true;
      break;
    }
    bytes.insert(bytes.end(), block, block + got);
  }
  std::fclose(file);
  if (tooLarge) {
    LogPrintf("Midi %s Create ファイルが大きすぎます", m_strName.c_str());
    return;
  }
  std::string error;
  const bool converted = ConvertSmf(bytes.data(), bytes.size(), m_Image, error);
  if (!converted) m_Image.clear();
  if (!error.empty()) LogPrintf("Midi %s %s", m_strName.c_str(), error.c_str());
}

cSmf::~cSmf() = default;

size_t cSmf::TrackEnd() const {
  if (m_Image.size() < kSmfImageHeader) return kSmfImageHeader;
  return std::min(m_Image.size(), kSmfImageHeader + ReadBe32(m_Image.data() + 18));
}

uint16_t cSmf::Division() const { return m_Image.size() >= 14 ? ReadBe16(m_Image.data() + 12) : 0; }
