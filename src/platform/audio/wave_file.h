#pragma once
// Reads RIFF/WAVE files of uncompressed PCM (8 or 16 bits, mono or stereo, any rate) and turns their
// samples into a clip for the mixer. Everything in the file is checked against the bytes present.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/audio_mixer.h"

// The format block as stored in the "fmt " chunk (18 bytes; bytes beyond the chunk's size are 0).
struct cWaveFormat {
  uint16_t formatTag = 0;
  uint16_t channels = 0;
  uint32_t samplesPerSec = 0;
  uint32_t avgBytesPerSec = 0;
  uint16_t blockAlign = 0;
  uint16_t bitsPerSample = 0;
  uint16_t cbSize = 0;
};

enum class eWaveResult {
  kOk,
  kNotWave,     // no RIFF chunk of form "WAVE"
  kBadFormat,   // "fmt " missing, short, extended or not plain 8/16-bit PCM
  kNoData,      // "data" missing or empty
  kTooLong,     // more than five minutes of sound
  kUnreadable,  // the file could not be opened or read
};

struct cWaveData {
  cWaveFormat format;
  std::vector<uint8_t> samples;  // whole sample frames only
};

// Parses a WAVE image in memory.
eWaveResult ParseWave(const uint8_t* bytes, size_t size, cWaveData& out);
// Reads a file (at most 256 MiB) and parses it.
eWaveResult ReadWave(const std::string& path, cWaveData& out);

// Converts PCM samples to interleaved stereo float at the mixer's rate (mono is copied to both sides).
std::shared_ptr<cPcmClip> MakeClipFromWave(const cWaveData& wave);

// Linear-interpolation rate change of interleaved stereo float.
std::vector<float> ResampleStereo(const std::vector<float>& in, int fromRate, int toRate);
