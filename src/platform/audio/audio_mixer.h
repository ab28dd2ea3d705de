#pragma once
// The software mixer that every sound of the program goes through: static sound buffers (a clip of
// PCM shared by a buffer and its duplicates, each with its own position, volume and play state) and
// streaming sources (music) that add themselves into the mix. Output is 48 kHz interleaved stereo
// float, pulled by the SDL audio device or, without one, by the caller (tests, headless runs).
// Every call may come from any thread: the mixer locks internally.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

constexpr int kMixerRate = 48000;
constexpr int kMixerChannels = 2;

// Hundredths of a decibel: -10000 is silence, 0 full level.
constexpr int kVolumeMin = -10000;
constexpr int kVolumeMax = 0;

// A clip of PCM at the mixer's rate, interleaved stereo, shared by a buffer and its duplicates.
struct cPcmClip {
  std::vector<float> samples;
  int Frames() const { return static_cast<int>(samples.size() / kMixerChannels); }
};

// A source of streamed sound (music). Render adds `frames` frames into the interleaved stereo mix;
// it runs on the mixer's pulling thread and must not call back into the mixer.
class cAudioSource {
 public:
  virtual ~cAudioSource() = default;
  virtual void Render(float* interleavedStereo, int frames) = 0;
};

class cAudioMixer {
 public:
  cAudioMixer();
  ~cAudioMixer();
  cAudioMixer(const cAudioMixer&) = delete;
  cAudioMixer& operator=(const cAudioMixer&) = delete;

  // The program's one mixer.
  static cAudioMixer& Shared();

  // Opens the SDL audio device (float, 48 kHz, stereo) that pulls the mix. False when there is none.
  bool OpenDevice();
  // Opens without a device: the caller pulls with Render. Used by tests and headless runs.
  void OpenPullOnly();
  // Closes the device (if any); buffers and sources stay.
  void Close();
  bool IsOpen() const { return m_bOpen.load(); }
  bool HasDevice() const { return m_nDevice != 0; }

  // Static buffers. Ids are never 0; 0 means failure.
  int CreateBuffer(std::shared_ptr<const cPcmClip> clip);
  int DuplicateBuffer(int id);  // shares the clip; starts stopped at position 0, same volume
  void ReleaseBuffer(int id);
  bool Play(int id, bool loop = false);  // from the current position
  bool Stop(int id);                     // keeps the position
  bool SetPosition(int id, int frame);
  int GetPosition(int id);
  bool IsPlaying(int id);
  bool SetVolume(int id, int hundredthsDb);  // clamped to -10000..0
  int GetVolume(int id);
  int BufferCount();

  // Streaming sources. RemoveSource returns only once the source is no longer being rendered.
  void AddSource(cAudioSource* source);
  void RemoveSource(cAudioSource* source);

  // Renders `frames` frames of the mix into out (overwrites), each sample limited to -1..1.
  void Render(float* out, int frames);

  // 10^(v/2000) for v in -10000..0, exactly 0 at -10000.
  static float VolumeToGain(int hundredthsDb);
  static int ClampVolume(int hundredthsDb);

 private:
  struct cVoice {
    std::shared_ptr<const cPcmClip> clip;
    int position = 0;
    bool playing = false;
    bool loop = false;
    int volume = 0;
    float gain = 1.0f;
  };
  static void DeviceCallback(void* user, uint8_t* stream, int len);

  std::mutex m_lock;        // buffers
  std::mutex m_sourceLock;  // the source list and rendering of sources
  std::unordered_map<int, cVoice> m_voices;
  std::vector<cAudioSource*> m_sources;
  int m_nNextId = 1;
  uint32_t m_nDevice = 0;
  bool m_bSdlAudioInit = false;
  std::atomic<bool> m_bOpen{false};
  bool m_bPullOnly = false;
};
