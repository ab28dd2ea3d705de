#pragma once
// A recording of what a mixer plays, pulled frame by frame of the game: each frame takes exactly the
// sound of 1/framesPerSecond s (the fraction of a sample frame left over is carried to the next, so
// N frames always take N * rate / framesPerSecond sample frames), written as a 16-bit stereo WAVE file
// at the mixer's rate. The samples reach a temporary file as they come; Finish fills in the header
// and puts the file in place, all or nothing.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/audio/audio_mixer.h"
#include "platform/host_file_stream.h"

class cAudioDump {
 public:
  // Each pull is cut into pieces of at most this many sample frames, with the settle step before
  // each: the slice the MIDI renderer plays its events in, so nothing that reacts to one slice
  // (a MIDI player's callback thread) can change what the next one plays by its own timing.
  static constexpr int kPieceFrames = 64;

  explicit cAudioDump(cAudioMixer& mixer = cAudioMixer::Shared(), int framesPerSecond = 60);
  cAudioDump(const cAudioDump&) = delete;
  cAudioDump& operator=(const cAudioDump&) = delete;

  // Starts the file for hostPath (a path of this system); false with the system's reason.
  bool Open(const std::string& hostPath, std::string* why);
  bool IsOpen() const { return m_File.IsOpen(); }
  // Called before each piece of a pull (may be null): waits for whatever must react to the sound
  // already played before more is played.
  void SetSettle(void (*settle)()) { m_pSettle = settle; }
  // Pulls and writes the sound of one game frame.
  void PullFrame();
  uint64_t SampleFrames() const { return m_nSampleFrames; }
  // Fills in the header and replaces the target; false with the system's reason.
  bool Finish(std::string* why);
  // Drops the recording; the target stays as it was.
  void Abandon() { m_File.Abandon(); }

 private:
  cAudioMixer& m_Mixer;
  int m_nFramesPerSecond;
  void (*m_pSettle)() = nullptr;
  HostFileStream m_File;
  uint64_t m_nGameFrames = 0;
  uint64_t m_nSampleFrames = 0;   // pulled
  uint64_t m_nWrittenFrames = 0;  // in the file (all but what a WAVE file cannot hold)
  std::vector<float> m_Mix;
  std::vector<uint8_t> m_Bytes;
};
