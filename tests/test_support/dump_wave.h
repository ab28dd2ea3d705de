#pragma once
// Reads a sound dump back: the fields of a PCM WAVE header (44 bytes, read byte by byte as the
// format lays them out, little-endian) and its 16-bit samples.
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace test_wave {

struct cDumpWave {
  std::string riff, wave, fmt, data;  // the four chunk tags
  uint32_t riffSize = 0, fmtSize = 0, rate = 0, byteRate = 0, dataSize = 0;
  uint16_t format = 0, channels = 0, blockAlign = 0, bits = 0;
  std::vector<int16_t> samples;  // interleaved left, right
  uint64_t fileSize = 0;

  size_t Frames() const { return samples.size() / 2; }
  // Root mean square of both channels over sample frames [from, to), in full scale (0..1).
  double Rms(size_t from, size_t to) const {
    double sum = 0;
    size_t n = 0;
    for (size_t i = from * 2; i < to * 2 && i < samples.size(); ++i, ++n) sum += double(samples[i]) * samples[i];
    return n == 0 ? 0.0 : std::sqrt(sum / n) / 32768.0;
  }
  bool Silent(size_t from, size_t to) const {
    for (size_t i = from * 2; i < to * 2 && i < samples.size(); ++i)
      if (samples[i] != 0) return false;
    return true;
  }
};

// False when the file is shorter than its header.
inline bool ReadDumpWave(const std::filesystem::path& path, cDumpWave& w) {
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), {});
  w = cDumpWave{};
  w.fileSize = b.size();
  if (b.size() < 44) return false;
  auto tag = [&](size_t at) { return std::string(b.begin() + at, b.begin() + at + 4); };
  auto u16 = [&](size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); };
  auto u32 = [&](size_t at) { return uint32_t(u16(at)) | uint32_t(u16(at + 2)) << 16; };
  w.riff = tag(0);
  w.riffSize = u32(4);
  w.wave = tag(8);
  w.fmt = tag(12);
  w.fmtSize = u32(16);
  w.format = u16(20);
  w.channels = u16(22);
  w.rate = u32(24);
  w.byteRate = u32(28);
  w.blockAlign = u16(32);
  w.bits = u16(34);
  w.data = tag(36);
  w.dataSize = u32(40);
  for (size_t at = 44; at + 1 < b.size(); at += 2) w.samples.push_back(static_cast<int16_t>(u16(at)));
  return true;
}

}  // namespace test_wave
