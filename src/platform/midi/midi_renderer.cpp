#include "platform/midi/midi_renderer.h"

#include <algorithm>

#include "platform/midi/fluid_synth.h"

cMidiRenderer::cMidiRenderer(cMidiSink& sink, int rate) : m_sink(sink), m_nRate(rate) {}

cMidiRenderer::~cMidiRenderer() = default;

cMidiRenderer* cMidiRenderer::Shared() {
  static cMidiRenderer* shared = []() -> cMidiRenderer* {
    cFluidSynth* synth = cFluidSynth::Shared();
    if (synth == nullptr) return nullptr;
    // Never destroyed, like the mixer and the synthesiser it joins.
    auto* renderer = new cMidiRenderer(*synth, kMixerRate);
    cAudioMixer::Shared().AddSource(renderer);
    return renderer;
  }();
  return shared;
}

void cMidiRenderer::Attach(cMidiSequencer* sequencer) {
  std::lock_guard<std::mutex> lock(m_lock);
  if (std::find(m_sequencers.begin(), m_sequencers.end(), sequencer) == m_sequencers.end())
    m_sequencers.push_back(sequencer);
}

void cMidiRenderer::Detach(cMidiSequencer* sequencer) {
  std::lock_guard<std::mutex> lock(m_lock);
  const auto it = std::find(m_sequencers.begin(), m_sequencers.end(), sequencer);
  if (it == m_sequencers.end()) return;
  m_sequencers.erase(it);
  // A last step of no time hands over what the sequencer still owes the synthesiser (the notes
  // off of a stop or a pause), so its notes do not hang on into the next song.
  sequencer->Advance(0, m_nRate, m_sink);
}

void cMidiRenderer::Render(float* out, int frames) {
  std::lock_guard<std::mutex> lock(m_lock);
  // Nothing attached: nothing can sound (every player silences its notes before it leaves).
  if (m_sequencers.empty()) return;
  for (int done = 0; done < frames;) {
    const int n = std::min(kSliceFrames, frames - done);
    for (cMidiSequencer* sequencer : m_sequencers) sequencer->Advance(n, m_nRate, m_sink);
    m_sink.RenderAdd(out + static_cast<size_t>(done) * kMixerChannels, n);
    done += n;
  }
}
