#include "platform/audio/audio_mixer.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>

cAudioMixer::cAudioMixer() = default;

cAudioMixer::~cAudioMixer() { Close(); }

cAudioMixer& cAudioMixer::Shared() {
  // Never destroyed: music objects owned by globals may still leave the mix during static
  // destruction. Close() is what stops the device.
  static cAudioMixer* mixer = new cAudioMixer;
  return *mixer;
}

bool cAudioMixer::OpenDevice() {
  // A mixer opened without a device (headless runs) stays that way: its caller pulls the sound.
  if (m_nDevice != 0 || m_bPullOnly) return true;
  if (!m_bSdlAudioInit) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    m_bSdlAudioInit = true;
  }
  SDL_AudioSpec want{};
  want.freq = kMixerRate;
  want.format = AUDIO_F32SYS;
  want.channels = kMixerChannels;
  want.samples = 1024;
  want.callback = &cAudioMixer::DeviceCallback;
  want.userdata = this;
  SDL_AudioSpec have{};
  // No change allowed: SDL converts to whatever the hardware wants behind the callback.
  const SDL_AudioDeviceID dev = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (dev == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    m_bSdlAudioInit = false;
    return false;
  }
  m_nDevice = dev;
  m_bOpen = true;
  SDL_PauseAudioDevice(dev, 0);
  return true;
}

void cAudioMixer::OpenPullOnly() {
  m_bPullOnly = true;
  m_bOpen = true;
}

void cAudioMixer::Close() {
  if (m_nDevice != 0) {
    SDL_CloseAudioDevice(m_nDevice);  // waits for a running callback to end
    m_nDevice = 0;
  }
  if (m_bSdlAudioInit) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    m_bSdlAudioInit = false;
  }
  m_bOpen = false;
  m_bPullOnly = false;
}

void cAudioMixer::DeviceCallback(void* user, uint8_t* stream, int len) {
  auto* mixer = static_cast<cAudioMixer*>(user);
  const int frames = len / static_cast<int>(sizeof(float) * kMixerChannels);
  mixer->Render(reinterpret_cast<float*>(stream), frames);
}

int cAudioMixer::ClampVolume(int v) { return std::clamp(v, kVolumeMin, kVolumeMax); }

float cAudioMixer::VolumeToGain(int v) {
  v = ClampVolume(v);
  if (v <= kVolumeMin) return 0.0f;
  return static_cast<float>(std::pow(10.0, v / 2000.0));
}

int cAudioMixer::CreateBuffer(std::shared_ptr<const cPcmClip> clip) {
  if (!clip) return 0;
  std::lock_guard<std::mutex> lock(m_lock);
  const int id = m_nNextId++;
  cVoice voice;
  voice.clip = std::move(clip);
  m_voices.emplace(id, std::move(voice));
  return id;
}

int cAudioMixer::DuplicateBuffer(int id) {
  std::lock_guard<std::mutex> lock(m_lock);
  auto it = m_voices.find(id);
  if (it == m_voices.end()) return 0;
  cVoice copy;
  copy.clip = it->second.clip;
  copy.volume = it->second.volume;
  copy.gain = it->second.gain;
  const int newId = m_nNextId++;
  m_voices.emplace(newId, std::move(copy));
  return newId;
}

void cAudioMixer::ReleaseBuffer(int id) {
  std::lock_guard<std::mutex> lock(m_lock);
  m_voices.erase(id);
}

bool cAudioMixer::Play(int id, bool loop) {
  std::lock_guard<std::mutex> lock(m_lock);
  auto it = m_voices.find(id);
  if (it == m_voices.end()) return false;
  it->second.playing = true;
  it->second.loop = loop;
  return true;
}

bool cAudioMixer::Stop(int id) {
  std::lock_guard<std::mutex> lock(m_lock);
  auto it = m_voices.find(id);
  if (it == m_voices.end()) return false;
  it->second.playing = false;
  return true;
}

bool cAudioMixer::SetPosition(int id, int frame) {
  std::lock_guard<std::mutex> lock(m_lock);
  auto it = m_voices.find(id);
  if (it == m_voices.end()) return false;
  it->second.position = std::clamp(frame, 0, it->second.clip->Frames());
  return true;
}

int cAudioMixer::GetPosition(int id) {
  std::lock_guard<std::mutex> lock(m_lock);
  auto it = m_voices.find(id);
  return it == m_voices.end() ? 0 : it->second.position;
}

bool cAudioMixer::IsPlaying(int id) {
  std::lock_guard<std::mutex> lock(m_lock);
  auto it = m_voices.find(id);
  return it != m_voices.end() && it->second.playing;
}

bool cAudioMixer::SetVolume(int id, int v) {
  std::lock_guard<std::mutex> lock(m_lock);
  auto it = m_voices.find(id);
  if (it == m_voices.end()) return false;
  it->second.volume = ClampVolume(v);
  it->second.gain = VolumeToGain(it->second.volume);
  return true;
}

int cAudioMixer::GetVolume(int id) {
  std::lock_guard<std::mutex> lock(m_lock);
  auto it = m_voices.find(id);
  return it == m_voices.end() ? 0 : it->second.volume;
}

int cAudioMixer::BufferCount() {
  std::lock_guard<std::mutex> lock(m_lock);
  return static_cast<int>(m_voices.size());
}

void cAudioMixer::AddSource(cAudioSource* source) {
  if (source == nullptr) return;
  std::lock_guard<std::mutex> lock(m_sourceLock);
  if (std::find(m_sources.begin(), m_sources.end(), source) == m_sources.end()) m_sources.push_back(source);
}

void cAudioMixer::RemoveSource(cAudioSource* source) {
  std::lock_guard<std::mutex> lock(m_sourceLock);
  m_sources.erase(std::remove(m_sources.begin(), m_sources.end(), source), m_sources.end());
}

void cAudioMixer::Render(float* out, int frames) {
  if (frames <= 0) return;
  const size_t count = static_cast<size_t>(frames) * kMixerChannels;
  std::fill(out, out + count, 0.0f);
  {
    std::lock_guard<std::mutex> lock(m_lock);
    for (auto& [id, voice] : m_voices) {
      if (!voice.playing) continue;
      const int clipFrames = voice.clip->Frames();
      const float* src = voice.clip->samples.data();
      int written = 0;
      while (written < frames) {
        if (voice.position >= clipFrames) {
          if (voice.loop && clipFrames > 0) {
            voice.position = 0;
          } else {
            // A buffer that played to its end stops there, as a one-shot static buffer does.
            voice.playing = false;
            break;
          }
        }
        const int n = std::min(frames - written, clipFrames - voice.position);
        if (voice.gain != 0.0f) {
          float* dst = out + static_cast<size_t>(written) * kMixerChannels;
          const float* s = src + static_cast<size_t>(voice.position) * kMixerChannels;
          for (int i = 0; i < n * kMixerChannels; ++i) dst[i] += s[i] * voice.gain;
        }
        voice.position += n;
        written += n;
      }
    }
  }
  {
    std::lock_guard<std::mutex> lock(m_sourceLock);
    for (cAudioSource* source : m_sources) source->Render(out, frames);
  }
  for (size_t i = 0; i < count; ++i) out[i] = std::clamp(out[i], -1.0f, 1.0f);
}
