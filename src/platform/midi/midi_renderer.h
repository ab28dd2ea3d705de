#pragma once
// Drives MIDI players from the mixer's pull: each pull is cut into slices of at most 64 frames; in
// each slice every attached player advances by the slice's time and sends what falls due to the sink,
// then the sink renders the slice. So event timing follows the audio clock to about a millisecond.
#include <mutex>
#include <vector>

#include "platform/audio/audio_mixer.h"
#include "platform/midi/midi_sink.h"

class cMidiRenderer : public cAudioSource {
 public:
  static constexpr int kSliceFrames = 64;

  // sink receives the events and renders the sound; rate is the pull's sample rate.
  cMidiRenderer(cMidiSink& sink, int rate);
  ~cMidiRenderer() override;

  // The renderer on the shared synthesiser, attached to the shared mixer; null without a synthesiser.
  static cMidiRenderer* Shared();

  // Detach returns only once the sequencer is no longer being advanced; it lets the sequencer send
  // what it still owes (notes off) first.
  void Attach(cMidiSequencer* sequencer);
  void Detach(cMidiSequencer* sequencer);

  void Render(float* interleavedStereo, int frames) override;

 private:
  cMidiSink& m_sink;
  int m_nRate;
  std::mutex m_lock;
  std::vector<cMidiSequencer*> m_sequencers;
};
