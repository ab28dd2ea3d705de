#include "platform/audio/audio_dump.h"

#include <algorithm>
#include <cmath>

#include "platform/audio/wave_header.h"

namespace {
constexpr uint16_t kDumpBits = 16;
constexpr uint32_t kDumpBlockAlign = kMixerChannels * (kDumpBits / 8);
// What a 32-bit "data" size can hold, in whole sample frames.
constexpr uint64_t kMaxSampleFrames = (0xFFFFFFFFull - kWaveHeaderBytes) / kDumpBlockAlign;

}  // namespace

cAudioDump::cAudioDump(cAudioMixer& mixer, int framesPerSecond)
    : m_Mixer(mixer), m_nFramesPerSecond(std::max(framesPerSecond, 1)) {}

bool cAudioDump::Open(const std::string& hostPath, std::string* why) {
  m_nGameFrames = 0;
  m_nSampleFrames = 0;
  m_nWrittenFrames = 0;
  if (!m_File.Open(hostPath)) {
    if (why) *why = m_File.Error();
    return false;
  }
  // The sizes are filled in at the end; a run stopped hard leaves a header of an empty file.
  const auto header = MakePcmWaveHeader(kMixerChannels, kMixerRate, kDumpBits, 0);
  m_File.Write(reinterpret_cast<const char*>(header.data()), header.size());
  return true;
}

void cAudioDump::PullFrame() {
  if (!m_File.IsOpen()) return;
  ++m_nGameFrames;
  // Where this frame ends, in sample frames from the start: the remainder of earlier frames is
  // never lost, as each frame's end is computed afresh from the frame count.
  const uint64_t end = m_nGameFrames * static_cast<uint64_t>(kMixerRate) / static_cast<uint64_t>(m_nFramesPerSecond);
  const auto frames = static_cast<int>(end - m_nSampleFrames);
  m_Mix.resize(static_cast<size_t>(frames) * kMixerChannels);
  for (int done = 0; done < frames;) {
    const int n = std::min(kPieceFrames, frames - done);
    if (m_pSettle) m_pSettle();
    m_Mixer.Render(m_Mix.data() + static_cast<size_t>(done) * kMixerChannels, n);
    done += n;
  }
  m_Bytes.resize(m_Mix.size() * 2);
  for (size_t i = 0; i < m_Mix.size(); ++i) {
    const float s = std::clamp(m_Mix[i], -1.0f, 1.0f);
    const auto v = static_cast<int16_t>(std::lrint(s * 32767.0f));
    m_Bytes[i * 2] = static_cast<uint8_t>(v);
    m_Bytes[i * 2 + 1] = static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8);
  }
  // Past what a WAVE file can hold the sound is still pulled (the mix moves on) but not kept.
  if (m_nWrittenFrames + static_cast<uint64_t>(frames) <= kMaxSampleFrames) {
    m_File.Write(reinterpret_cast<const char*>(m_Bytes.data()), m_Bytes.size());
    m_nWrittenFrames += static_cast<uint64_t>(frames);
  }
  m_nSampleFrames = end;
}

bool cAudioDump::Finish(std::string* why) {
  const auto header = MakePcmWaveHeader(kMixerChannels, kMixerRate, kDumpBits,
                                        static_cast<uint32_t>(m_nWrittenFrames * kDumpBlockAlign));
  m_File.WriteAt(0, reinterpret_cast<const char*>(header.data()), header.size());
  if (m_File.Commit()) return true;
  if (why) *why = m_File.Error();
  return false;
}
