#include "platform/audio/wave_header.h"

#include <cstring>

namespace {
void Put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
}  // namespace

std::array<uint8_t, kWaveHeaderBytes> MakePcmWaveHeader(uint16_t channels, uint32_t rate, uint16_t bitsPerSample,
                                                        uint32_t dataBytes) {
  std::array<uint8_t, kWaveHeaderBytes> h{};
  const auto blockAlign = static_cast<uint16_t>(channels * (bitsPerSample / 8));
  std::memcpy(&h[0], "RIFF", 4);
  Put32(&h[4], kWaveHeaderBytes - 8 + dataBytes);
  std::memcpy(&h[8], "WAVE", 4);
  std::memcpy(&h[12], "fmt ", 4);
  Put32(&h[16], 16);
  Put16(&h[20], 1);  // PCM
  Put16(&h[22], channels);
  Put32(&h[24], rate);
  Put32(&h[28], rate * blockAlign);
  Put16(&h[32], blockAlign);
  Put16(&h[34], bitsPerSample);
  std::memcpy(&h[36], "data", 4);
  Put32(&h[40], dataBytes);
  return h;
}
