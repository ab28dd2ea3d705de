#pragma once
// The General MIDI synthesiser: one FluidSynth instance with one SoundFont, loaded once for the whole
// run. The SoundFont is the file named by QC4_SOUNDFONT, else the first General MIDI SoundFont found
// in the standard folders (TimGM6mb first).
#include <string>
#include <vector>

#include "platform/midi/midi_sink.h"

class cFluidSynth : public cMidiSink {
 public:
  // The shared synthesiser, created on first use (the caller waits while the SoundFont loads; play
  // takes it through cMidiRenderer::Shared, which loads it on a worker thread); null when
  // FluidSynth or a SoundFont is missing.
  static cFluidSynth* Shared();
  // Path of the SoundFont that would be used; empty when none exists.
  static std::string FindSoundFont();

  explicit cFluidSynth(const std::string& soundFont, int sampleRate);
  ~cFluidSynth() override;
  bool IsReady() const { return m_pSynth != nullptr; }

  void ShortMessage(uint32_t packed) override;
  void LongMessage(const uint8_t* bytes, size_t size) override;
  void RenderAdd(float* out, int frames) override;
  void SetMasterGain(float gain) override;  // overall level, 0..1 of the default level
  void ResetAll();                          // program, controllers and notes of every channel back to the start

 private:
  void* m_pSettings = nullptr;
  void* m_pSynth = nullptr;
  float m_fBaseGain = 0.5f;
  std::vector<float> m_left, m_right;  // render scratch
};
