#pragma once
// One music player for Ogg Vorbis files: load a file, play it once or looping without a gap, stop,
// set its volume. Decoding happens in the mixer's pull (on the audio thread), a few thousand frames
// ahead of what is being played, never on the caller's thread; loops are joined sample-exactly.
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio/audio_mixer.h"

class cOggStream : public cAudioSource {
 public:
  static constexpr int32_t kLoopForever = 0x7FFFFFFF;

  explicit cOggStream(cAudioMixer& mixer = cAudioMixer::Shared());
  ~cOggStream() override;
  cOggStream(const cOggStream&) = delete;
  cOggStream& operator=(const cOggStream&) = delete;

  void Prepare();                      // stop, forget the current file, volume 1, no loops
  bool Load(const std::string& path);  // opens the file; false when it is not Ogg Vorbis
  void SetVolume(float volume);        // 0..1, linear
  void SetLoopCount(int32_t count);    // extra repetitions; kLoopForever loops without end
  void Play();                         // from the start
  void Stop();
  bool IsPlaying();
  int SourceRate();  // the file's sample rate, 0 without a file

  void Render(float* interleavedStereo, int frames) override;

 private:
  struct cDecoder;
  bool DecodeMore();  // appends decoded frames; false at the (final) end
  void Rewind();

  cAudioMixer& m_mixer;
  std::mutex m_lock;
  cDecoder* m_pDecoder = nullptr;
  std::vector<float> m_input;  // decoded stereo frames at the file's rate
  size_t m_nInputRead = 0;     // first frame of m_input still needed
  double m_dFraction = 0.0;    // position between m_nInputRead and the next frame
  bool m_bPlaying = false;
  bool m_bEnded = false;  // decoder reached the end with no loops left
  int32_t m_nLoops = 0;
  int32_t m_nLoopsLeft = 0;
  float m_fVolume = 1.0f;
};
