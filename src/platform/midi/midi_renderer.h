#pragma once
// Drives MIDI players from the mixer's pull: each pull is cut into slices of at most 64 frames; in
// each slice every attached player advances by the slice's time and sends what falls due to the sink,
// then the sink renders the slice. So event timing follows the audio clock to about a millisecond.
// A renderer may start without its sink (the synthesiser is still loading): until the sink comes,
// pulls leave the players where they are, so a song started meanwhile plays from its beginning.
#include <mutex>
#include <vector>

#include "platform/audio/audio_mixer.h"
#include "platform/midi/midi_sink.h"

class cMidiRenderer : public cAudioSource {
 public:
  static constexpr int kSliceFrames = 64;

  // sink receives the events and renders the sound; rate is the pull's sample rate.
  cMidiRenderer(cMidiSink& sink, int rate);
  // A renderer whose sink comes later (SetSink).
  explicit cMidiRenderer(int rate);
  ~cMidiRenderer() override;

  // The renderer on the shared synthesiser, attached to the shared mixer; null when no SoundFont is
  // installed. The synthesiser loads on a worker thread started by the first call, so the call
  // returns at once; should the SoundFont fail to load, songs advance in silence.
  static cMidiRenderer* Shared();
  // The shared renderer with its sink in place: waits for the synthesiser to load (null, as Shared,
  // without a SoundFont). For runs whose sound must not depend on how long the load takes.
  static cMidiRenderer* SharedLoaded();

  // Gives the renderer its sink (from any thread); players advance from the next pull on.
  void SetSink(cMidiSink& sink);
  bool HasSink();

  // Detach returns only once the sequencer is no longer being advanced; it lets the sequencer send
  // what it still owes (notes off) first.
  void Attach(cMidiSequencer* sequencer);
  void Detach(cMidiSequencer* sequencer);

  void Render(float* interleavedStereo, int frames) override;

 private:
  cMidiSink* m_pSink;  // null until SetSink
  int m_nRate;
  std::mutex m_lock;
  std::vector<cMidiSequencer*> m_sequencers;
};
