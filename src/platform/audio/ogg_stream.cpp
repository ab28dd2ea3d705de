#include "platform/audio/ogg_stream.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>

struct cOggStream::cDecoder {
  OggVorbis_File file{};
  int rate = 0;
};

namespace {
constexpr size_t kLookAheadFrames = 4096;
constexpr long kMaxSourceRate = 384000;
}  // namespace

cOggStream::cOggStream(cAudioMixer& mixer) : m_mixer(mixer) { m_mixer.AddSource(this); }

cOggStream::~cOggStream() {
  m_mixer.RemoveSource(this);  // after this the audio thread no longer renders us
  Prepare();
}

void cOggStream::Prepare() {
  cDecoder* old = nullptr;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_bPlaying = false;
    m_fVolume = 1.0f;  // a new file starts at full volume and without loops
    m_nLoops = m_nLoopsLeft = 0;
    old = m_pDecoder;
    m_pDecoder = nullptr;
    m_input.clear();
    m_nInputRead = 0;
    m_dFraction = 0.0;
  }
  if (old != nullptr) {
    ov_clear(&old->file);
    delete old;
  }
}

bool cOggStream::Load(const std::string& path) {
  Prepare();
  auto* decoder = new cDecoder;
  if (ov_fopen(path.c_str(), &decoder->file) != 0) {
    delete decoder;
    return false;
  }
  const vorbis_info* info = ov_info(&decoder->file, -1);
  // A rate far beyond any real recording would make each mixed frame decode thousands of frames.
  if (info == nullptr || info->rate <= 0 || info->rate > kMaxSourceRate || info->channels <= 0) {
    ov_clear(&decoder->file);
    delete decoder;
    return false;
  }
  decoder->rate = static_cast<int>(info->rate);
  std::lock_guard<std::mutex> lock(m_lock);
  m_pDecoder = decoder;
  m_bEnded = false;
  return true;
}

void cOggStream::SetVolume(float volume) {
  std::lock_guard<std::mutex> lock(m_lock);
  m_fVolume = std::clamp(volume, 0.0f, 1.0f);
}

void cOggStream::SetLoopCount(int32_t count) {
  std::lock_guard<std::mutex> lock(m_lock);
  m_nLoops = count < 0 ? 0 : count;
  m_nLoopsLeft = m_nLoops;
}

void cOggStream::Rewind() {
  m_input.clear();
  m_nInputRead = 0;
  m_dFraction = 0.0;
  m_nLoopsLeft = m_nLoops;
  m_bEnded = false;
  if (m_pDecoder != nullptr) ov_pcm_seek(&m_pDecoder->file, 0);
}

void cOggStream::Play() {
  std::lock_guard<std::mutex> lock(m_lock);
  if (m_pDecoder == nullptr) return;
  Rewind();
  m_bPlaying = true;
}

void cOggStream::Stop() {
  std::lock_guard<std::mutex> lock(m_lock);
  m_bPlaying = false;
}

bool cOggStream::IsPlaying() {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_bPlaying;
}

int cOggStream::SourceRate() {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_pDecoder != nullptr ? m_pDecoder->rate : 0;
}

bool cOggStream::DecodeMore() {
  if (m_pDecoder == nullptr || m_bEnded) return false;
  for (int attempt = 0; attempt < 8; ++attempt) {
    float** pcm = nullptr;
    int section = 0;
    const long got = ov_read_float(&m_pDecoder->file, &pcm, 1024, &section);
    if (got > 0) {
      const vorbis_info* info = ov_info(&m_pDecoder->file, section);
      const int channels = info != nullptr ? info->channels : 1;
      const size_t base = m_input.size();
      m_input.resize(base + static_cast<size_t>(got) * 2);
      for (long i = 0; i < got; ++i) {
        m_input[base + i * 2] = pcm[0][i];
        m_input[base + i * 2 + 1] = channels >= 2 ? pcm[1][i] : pcm[0][i];
      }
      return true;
    }
    if (got == OV_HOLE) continue;  // a gap in the data: keep going
    if (got == 0 && (m_nLoopsLeft > 0) && ov_pcm_seek(&m_pDecoder->file, 0) == 0) {
      // Join the loop here, in the decoded stream, so no gap or click can appear.
      if (m_nLoopsLeft != kLoopForever) --m_nLoopsLeft;
      continue;
    }
    break;
  }
  m_bEnded = true;
  return false;
}

void cOggStream::Render(float* out, int frames) {
  std::lock_guard<std::mutex> lock(m_lock);
  if (!m_bPlaying || m_pDecoder == nullptr) return;
  const double step = static_cast<double>(m_pDecoder->rate) / kMixerRate;
  const float gain = m_fVolume;
  for (int i = 0; i < frames; ++i) {
    size_t available = m_input.size() / 2;
    // Keep a look-ahead of decoded frames (and always the frame after the current one).
    while (available < m_nInputRead + 2 || available - m_nInputRead < kLookAheadFrames) {
      if (!DecodeMore()) break;
      available = m_input.size() / 2;
    }
    if (m_nInputRead >= available) {
      m_bPlaying = false;  // played to the end
      break;
    }
    const size_t a = m_nInputRead;
    const size_t b = a + 1 < available ? a + 1 : a;
    const float t = static_cast<float>(m_dFraction);
    for (int c = 0; c < 2; ++c) {
      const float s = m_input[a * 2 + c] + (m_input[b * 2 + c] - m_input[a * 2 + c]) * t;
      out[i * 2 + c] += s * gain;
    }
    m_dFraction += step;
    const auto whole = static_cast<size_t>(m_dFraction);
    m_nInputRead += whole;
    m_dFraction -= static_cast<double>(whole);
  }
  // Drop what has been played so the buffer stays small. Above the mixer's rate the last step can
  // pass the end of the decoded frames, so never drop more than there is.
  if (m_nInputRead > 16384) {
    const size_t played = std::min(m_nInputRead, m_input.size() / 2);
    m_input.erase(m_input.begin(), m_input.begin() + static_cast<std::ptrdiff_t>(played * 2));
    m_nInputRead -= played;
  }
}
