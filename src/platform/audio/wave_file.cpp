#include "platform/audio/wave_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

uint32_t Le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

struct Chunk {
  size_t body = 0;  // offset of the chunk's contents
  size_t size = 0;  // declared size, limited to the bytes present
  size_t declared = 0;
  bool found = false;
};

// Finds the first chunk with this id in [from, end), walking chunk headers (sizes padded to even).
Chunk FindChunk(const uint8_t* bytes, size_t from, size_t end, const char* id) {
  Chunk chunk;
  size_t pos = from;
  while (pos + 8 <= end) {
    const uint32_t declared = Le32(bytes + pos + 4);
    const size_t body = pos + 8;
    const size_t available = end - body;
    if (std::memcmp(bytes + pos, id, 4) == 0) {
      chunk.body = body;
      chunk.size = declared < available ? declared : available;
      chunk.declared = declared;
      chunk.found = true;
      return chunk;
    }
    if (declared > available) break;
    pos = body + declared + (declared & 1);
  }
  return chunk;
}

constexpr size_t kMaxWaveFile = 256u << 20;
constexpr uint64_t kMaxClipFrames = 5ull * 60 * kMixerRate;  // five minutes

}  // namespace

eWaveResult ParseWave(const uint8_t* bytes, size_t size, cWaveData& out) {
  out = cWaveData{};
  if (bytes == nullptr || size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0)
    return eWaveResult::kNotWave;
  size_t end = size;
  const uint32_t riffSize = Le32(bytes + 4);
  if (riffSize >= 4 && static_cast<size_t>(riffSize) + 8 < end) end = static_cast<size_t>(riffSize) + 8;

  // The format is min(declared size, 18) bytes, all of which must be present.
  const Chunk fmt = FindChunk(bytes, 12, end, "fmt ");
  if (!fmt.found || fmt.declared < 14 || fmt.size < std::min<size_t>(fmt.declared, 18)) return eWaveResult::kBadFormat;
  uint8_t raw[18] = {};
  std::memcpy(raw, bytes + fmt.body, fmt.size < 18 ? fmt.size : 18);
  cWaveFormat& f = out.format;
  f.formatTag = Le16(raw);
  f.channels = Le16(raw + 2);
  f.samplesPerSec = Le32(raw + 4);
  f.avgBytesPerSec = Le32(raw + 8);
  f.blockAlign = Le16(raw + 12);
  f.bitsPerSample = Le16(raw + 14);
  f.cbSize = Le16(raw + 16);
  if (f.cbSize != 0 || f.formatTag != 1 || (f.bitsPerSample != 8 && f.bitsPerSample != 16) ||
      (f.channels != 1 && f.channels != 2) || f.blockAlign != f.channels * f.bitsPerSample / 8 ||
      f.samplesPerSec == 0 || f.samplesPerSec > 384000)
    return eWaveResult::kBadFormat;

  // The samples follow the format chunk.
  const size_t afterFmt = fmt.body + fmt.size + (fmt.size & 1);
  const Chunk data = FindChunk(bytes, afterFmt, end, "data");
  if (!data.found) return eWaveResult::kNoData;
  const size_t usable = data.size - data.size % f.blockAlign;
  if (usable == 0) return eWaveResult::kNoData;
  // The mixer holds every clip whole at its own rate: a clip too long for that is refused.
  if (static_cast<uint64_t>(usable / f.blockAlign) * kMixerRate / f.samplesPerSec > kMaxClipFrames)
    return eWaveResult::kTooLong;
  out.samples.assign(bytes + data.body, bytes + data.body + usable);
  return eWaveResult::kOk;
}

eWaveResult ReadWave(const std::string& path, cWaveData& out) {
  out = cWaveData{};
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return eWaveResult::kUnreadable;
  std::vector<uint8_t> bytes;
  uint8_t block[65536];
  size_t got;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
    if (bytes.size() + got > kMaxWaveFile) {
      std::fclose(file);
      return eWaveResult::kUnreadable;
    }
    bytes.insert(bytes.end(), block, block + got);
  }
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return eWaveResult::kUnreadable;
  return ParseWave(bytes.data(), bytes.size(), out);
}

std::vector<float> ResampleStereo(const std::vector<float>& in, int fromRate, int toRate) {
  if (fromRate == toRate || in.empty() || fromRate <= 0 || toRate <= 0) return in;
  const size_t inFrames = in.size() / 2;
  const size_t outFrames = static_cast<size_t>((static_cast<uint64_t>(inFrames) * toRate + fromRate - 1) / fromRate);
  std::vector<float> out(outFrames * 2);
  const double step = static_cast<double>(fromRate) / toRate;
  for (size_t i = 0; i < outFrames; ++i) {
    const double pos = i * step;
    size_t a = static_cast<size_t>(pos);
    if (a >= inFrames) a = inFrames - 1;
    const size_t b = a + 1 < inFrames ? a + 1 : a;
    const float t = static_cast<float>(pos - static_cast<double>(a));
    for (int c = 0; c < 2; ++c) out[i * 2 + c] = in[a * 2 + c] + (in[b * 2 + c] - in[a * 2 + c]) * t;
  }
  return out;
}

std::shared_ptr<cPcmClip> MakeClipFromWave(const cWaveData& wave) {
  const cWaveFormat& f = wave.format;
  if (f.blockAlign == 0) return nullptr;
  const size_t frames = wave.samples.size() / f.blockAlign;
  std::vector<float> stereo(frames * 2);
  const uint8_t* p = wave.samples.data();
  for (size_t i = 0; i < frames; ++i) {
    float s[2] = {0.0f, 0.0f};
    for (int c = 0; c < f.channels; ++c) {
      if (f.bitsPerSample == 8) {
        s[c] = (static_cast<int>(*p) - 128) / 128.0f;
        p += 1;
      } else {
        s[c] = static_cast<int16_t>(Le16(p)) / 32768.0f;
        p += 2;
      }
    }
    stereo[i * 2] = s[0];
    stereo[i * 2 + 1] = f.channels == 2 ? s[1] : s[0];
  }
  auto clip = std::make_shared<cPcmClip>();
  clip->samples = ResampleStereo(stereo, static_cast<int>(f.samplesPerSec), kMixerRate);
  return clip;
}
