#include "platform/midi/midi_renderer.h"

#include <algorithm>
#include <thread>

#include "platform/midi/fluid_synth.h"

namespace {

// Where events go when the synthesiser could not be loaded: nowhere.
class SilentSink : public cMidiSink {
 public:
  void ShortMessage(uint32_t) override {}
  void LongMessage(const uint8_t*, size_t) override {}
};
SilentSink g_silentSink;

// Loads the shared synthesiser on its own thread and hands it to the renderer. The thread is
// joined at exit, so a load still running then is waited for, never cut off.
class SynthLoader {
 public:
  explicit SynthLoader(cMidiRenderer* renderer)
      : m_thread([renderer] {
          cFluidSynth* synth = cFluidSynth::Shared();
          renderer->SetSink(synth != nullptr ? static_cast<cMidiSink&>(*synth) : g_silentSink);
        }) {}
  ~SynthLoader() { m_thread.join(); }
  SynthLoader(const SynthLoader&) = delete;
  SynthLoader& operator=(const SynthLoader&) = delete;

 private:
  std::thread m_thread;
};

}  // namespace

cMidiRenderer::cMidiRenderer(cMidiSink& sink, int rate) : m_pSink(&sink), m_nRate(rate) {}

cMidiRenderer::cMidiRenderer(int rate) : m_pSink(nullptr), m_nRate(rate) {}

cMidiRenderer::~cMidiRenderer() = default;

cMidiRenderer* cMidiRenderer::Shared() {
  static cMidiRenderer* shared = []() -> cMidiRenderer* {
    if (cFluidSynth::FindSoundFont().empty()) return nullptr;
    // Never destroyed, like the mixer and the synthesiser it joins.
    auto* renderer = new cMidiRenderer(kMixerRate);
    cAudioMixer::Shared().AddSource(renderer);
    static SynthLoader loader(renderer);
    return renderer;
  }();
  return shared;
}

cMidiRenderer* cMidiRenderer::SharedLoaded() {
  cMidiRenderer* renderer = Shared();
  if (renderer == nullptr || renderer->HasSink()) return renderer;
  // The loader may be inside the synthesiser's one-time load: this call waits for that load to end
  // and gives the renderer the same sink the loader is about to give it.
  cFluidSynth* synth = cFluidSynth::Shared();
  renderer->SetSink(synth != nullptr ? static_cast<cMidiSink&>(*synth) : g_silentSink);
  return renderer;
}

void cMidiRenderer::SetSink(cMidiSink& sink) {
  std::lock_guard<std::mutex> lock(m_lock);
  m_pSink = &sink;
}

bool cMidiRenderer::HasSink() {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_pSink != nullptr;
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
  sequencer->Advance(0, m_nRate, m_pSink != nullptr ? *m_pSink : g_silentSink);
}

void cMidiRenderer::Render(float* out, int frames) {
  std::lock_guard<std::mutex> lock(m_lock);
  // Nothing attached: nothing can sound (every player silences its notes before it leaves).
  // No sink yet: the players wait.
  if (m_sequencers.empty() || m_pSink == nullptr) return;
  for (int done = 0; done < frames;) {
    const int n = std::min(kSliceFrames, frames - done);
    for (cMidiSequencer* sequencer : m_sequencers) sequencer->Advance(n, m_nRate, *m_pSink);
    m_pSink->RenderAdd(out + static_cast<size_t>(done) * kMixerChannels, n);
    done += n;
  }
}
