#include "file_writers.h"

#include <algorithm>

#include "platform/files.h"

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

void PutBig32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void PutText(std::vector<uint8_t>& out, const char* text) {
  for (; *text; ++text) out.push_back(static_cast<uint8_t>(*text));
}

// BITMAPFILEHEADER and BITMAPINFOHEADER for a bottom-up, uncompressed picture.
std::vector<uint8_t> BmpHeaders(int width, int height, int bits, uint32_t tableEntries, uint32_t imageBytes) {
  const uint32_t offset = 14 + 40 + tableEntries * 4;
  std::vector<uint8_t> out;
  out.reserve(offset + imageBytes);
  PutText(out, "BM");
  Put32(out, offset + imageBytes);
  Put32(out, 0);
  Put32(out, offset);
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(width));
  Put32(out, static_cast<uint32_t>(height));  // positive: bottom row first
  Put16(out, 1);
  Put16(out, static_cast<uint32_t>(bits));
  Put32(out, 0);  // BI_RGB
  Put32(out, imageBytes);
  Put32(out, 2835);  // 72 dots per inch
  Put32(out, 2835);
  Put32(out, tableEntries);
  Put32(out, 0);
  return out;
}

size_t RowStride(int width, int bits) {
  return ((static_cast<size_t>(width) * static_cast<size_t>(bits) + 31) / 32) * 4;
}

void PutVarLen(std::vector<uint8_t>& out, uint32_t value) {
  uint8_t groups[4];
  int n = 0;
  do {
    groups[n++] = static_cast<uint8_t>(value & 0x7F);
    value >>= 7;
  } while (value != 0 && n < 4);
  while (n > 1) out.push_back(static_cast<uint8_t>(groups[--n] | 0x80));
  out.push_back(groups[0]);
}

std::vector<uint8_t> WaveFile(uint16_t bits, uint32_t rate, const void* data, uint32_t dataBytes) {
  const uint16_t blockAlign = bits / 8;
  std::vector<uint8_t> out;
  out.reserve(44 + dataBytes + 1);
  PutText(out, "RIFF");
  Put32(out, 36 + dataBytes + (dataBytes & 1));
  PutText(out, "WAVE");
  PutText(out, "fmt ");
  Put32(out, 16);
  Put16(out, 1);  // PCM
  Put16(out, 1);  // mono
  Put32(out, rate);
  Put32(out, rate * blockAlign);
  Put16(out, blockAlign);
  Put16(out, bits);
  PutText(out, "data");
  Put32(out, dataBytes);
  const auto* bytes = static_cast<const uint8_t*>(data);
  out.insert(out.end(), bytes, bytes + dataBytes);
  if (dataBytes & 1) out.push_back(0);  // chunks are padded to even sizes
  return out;
}

}  // namespace

std::vector<uint8_t> EncodeBmp8(const cCanvas& picture, const cColourTable& colours) {
  const size_t stride = RowStride(picture.Width(), 8);
  const auto imageBytes = static_cast<uint32_t>(stride * static_cast<size_t>(picture.Height()));
  std::vector<uint8_t> out = BmpHeaders(picture.Width(), picture.Height(), 8, 256, imageBytes);
  for (const cRgb& c : colours) {
    out.push_back(c.b);
    out.push_back(c.g);
    out.push_back(c.r);
    out.push_back(0);
  }
  for (int y = picture.Height() - 1; y >= 0; --y) {
    for (int x = 0; x < picture.Width(); ++x) out.push_back(picture.At(x, y));
    out.resize(out.size() + stride - static_cast<size_t>(picture.Width()), 0);
  }
  return out;
}

std::vector<uint8_t> EncodeBmp24(const cCanvas& picture, const cColourTable& colours) {
  const size_t stride = RowStride(picture.Width(), 24);
  const auto imageBytes = static_cast<uint32_t>(stride * static_cast<size_t>(picture.Height()));
  std::vector<uint8_t> out = BmpHeaders(picture.Width(), picture.Height(), 24, 0, imageBytes);
  for (int y = picture.Height() - 1; y >= 0; --y) {
    for (int x = 0; x < picture.Width(); ++x) {
      const cRgb& c = colours[picture.At(x, y)];
      out.push_back(c.b);
      out.push_back(c.g);
      out.push_back(c.r);
    }
    out.resize(out.size() + stride - static_cast<size_t>(picture.Width()) * 3, 0);
  }
  return out;
}

std::vector<uint8_t> EncodeWave8(const std::vector<uint8_t>& samples, uint32_t rate) {
  return WaveFile(8, rate, samples.data(), static_cast<uint32_t>(samples.size()));
}

std::vector<uint8_t> EncodeWave16(const std::vector<int16_t>& samples, uint32_t rate) {
  std::vector<uint8_t> little;
  little.reserve(samples.size() * 2);
  for (int16_t s : samples) Put16(little, static_cast<uint16_t>(s));
  return WaveFile(16, rate, little.data(), static_cast<uint32_t>(little.size()));
}

std::vector<uint8_t> EncodeSmf(uint16_t division, const std::vector<std::vector<cMidiEvent>>& tracks,
                               uint32_t endTick) {
  std::vector<uint8_t> out;
  PutText(out, "MThd");
  PutBig32(out, 6);
  out.push_back(0);
  out.push_back(1);  // format 1
  out.push_back(static_cast<uint8_t>(tracks.size() >> 8));
  out.push_back(static_cast<uint8_t>(tracks.size()));
  out.push_back(static_cast<uint8_t>(division >> 8));
  out.push_back(static_cast<uint8_t>(division));
  for (const auto& track : tracks) {
    std::vector<cMidiEvent> events = track;
    std::stable_sort(events.begin(), events.end(),
                     [](const cMidiEvent& a, const cMidiEvent& b) { return a.tick < b.tick; });
    std::vector<uint8_t> body;
    uint32_t now = 0;
    for (const cMidiEvent& e : events) {
      PutVarLen(body, e.tick - now);
      now = e.tick;
      body.insert(body.end(), e.bytes.begin(), e.bytes.end());
    }
    PutVarLen(body, endTick > now ? endTick - now : 0);
    body.insert(body.end(), {0xFF, 0x2F, 0x00});
    PutText(out, "MTrk");
    PutBig32(out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
  }
  return out;
}

bool WriteGameFile(std::string_view gamePath, const std::vector<uint8_t>& bytes) {
  return WriteFileAtomically(gamePath, bytes);
}
