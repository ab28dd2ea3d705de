#pragma once
// The 44-byte header of a PCM WAVE file: "RIFF" chunk, "fmt " chunk of 16 bytes, "data" chunk.
#include <array>
#include <cstdint>

constexpr uint32_t kWaveHeaderBytes = 44;

// Every number little-endian. dataBytes is the size of the samples that follow the header.
std::array<uint8_t, kWaveHeaderBytes> MakePcmWaveHeader(uint16_t channels, uint32_t rate, uint16_t bitsPerSample,
                                                        uint32_t dataBytes);
