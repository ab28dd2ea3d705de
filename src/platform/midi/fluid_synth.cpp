#include "platform/midi/fluid_synth.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <vector>

#include "platform/audio/audio_mixer.h"

namespace {

fluid_synth_t* Synth(void* p) { return static_cast<fluid_synth_t*>(p); }

bool IsReadableFile(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

}  // namespace

std::string cFluidSynth::FindSoundFont() {
  if (const char* env = std::getenv("QC4_SOUNDFONT"); env != nullptr && IsReadableFile(env)) return env;
  const char* preferred[] = {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/soundfonts/TimGM6mb.sf2",
                             "/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/soundfonts/default.sf2"};
  for (const char* path : preferred)
    if (IsReadableFile(path)) return path;
  const char* folders[] = {"/usr/share/sounds/sf2", "/usr/share/soundfonts", "/usr/local/share/soundfonts",
                           "/usr/share/sounds/sf3"};
  for (const char* folder : folders) {
    std::error_code ec;
    std::vector<std::string> found;
    for (auto it = std::filesystem::directory_iterator(folder, ec); !ec && it != std::filesystem::directory_iterator();
         it.increment(ec)) {
      const std::string ext = it->path().extension().string();
      if ((ext == ".sf2" || ext == ".sf3") && IsReadableFile(it->path().string())) found.push_back(it->path().string());
    }
    std::sort(found.begin(), found.end());
    if (!found.empty()) return found.front();
  }
  return {};
}

cFluidSynth* cFluidSynth::Shared() {
  static std::once_flag once;
  static cFluidSynth* shared = nullptr;
  std::call_once(once, [] {
    const std::string path = FindSoundFont();
    if (path.empty()) return;
    // Never destroyed: the audio thread may still render it while the program exits.
    auto* synth = new cFluidSynth(path, kMixerRate);
    if (synth->IsReady())
      shared = synth;
    else
      delete synth;
  });
  return shared;
}

cFluidSynth::cFluidSynth(const std::string& soundFont, int sampleRate) {
  // Keep FluidSynth's own chatter off the terminal; real failures are reported by our callers.
  fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
  fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
  fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
  // Only the synthesiser is used (its output goes into our mixer), so no sound-card driver is
  // registered: the settings would otherwise probe every driver, and ALSA prints to the terminal.
  static const char* kNoSoundCardDrivers[] = {"file", nullptr};
  fluid_audio_driver_register(kNoSoundCardDrivers);
  fluid_settings_t* settings = new_fluid_settings();
  if (settings == nullptr) return;
  fluid_settings_setnum(settings, "synth.sample-rate", sampleRate);
  fluid_settings_setnum(settings, "synth.gain", m_fBaseGain);
  fluid_settings_setint(settings, "synth.threadsafe-api", 1);
  fluid_synth_t* synth = new_fluid_synth(settings);
  if (synth == nullptr || fluid_synth_sfload(synth, soundFont.c_str(), 1) == FLUID_FAILED) {
    if (synth != nullptr) delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    return;
  }
  m_pSettings = settings;
  m_pSynth = synth;
}

cFluidSynth::~cFluidSynth() {
  if (m_pSynth != nullptr) delete_fluid_synth(Synth(m_pSynth));
  if (m_pSettings != nullptr) delete_fluid_settings(static_cast<fluid_settings_t*>(m_pSettings));
}

void cFluidSynth::ShortMessage(uint32_t packed) {
  if (m_pSynth == nullptr) return;
  fluid_synth_t* s = Synth(m_pSynth);
  const int status = packed & 0xFF;
  const int ch = status & 0x0F;
  const int d1 = (packed >> 8) & 0x7F;
  const int d2 = (packed >> 16) & 0x7F;
  switch (status & 0xF0) {
    case 0x80: fluid_synth_noteoff(s, ch, d1); break;
    case 0x90:
      if (d2 == 0)
        fluid_synth_noteoff(s, ch, d1);
      else
        fluid_synth_noteon(s, ch, d1, d2);
      break;
    case 0xA0: fluid_synth_key_pressure(s, ch, d1, d2); break;
    case 0xB0: fluid_synth_cc(s, ch, d1, d2); break;
    case 0xC0: fluid_synth_program_change(s, ch, d1); break;
    case 0xD0: fluid_synth_channel_pressure(s, ch, d1); break;
    case 0xE0: fluid_synth_pitch_bend(s, ch, d1 | (d2 << 7)); break;
    default: break;  // system messages (including FF, a full reset) are not for the synthesiser
  }
}

void cFluidSynth::LongMessage(const uint8_t* bytes, size_t size) {
  if (m_pSynth == nullptr || size < 2 || bytes[0] != 0xF0) return;
  size_t end = size;
  if (bytes[end - 1] == 0xF7) --end;
  if (end <= 1) return;
  fluid_synth_sysex(Synth(m_pSynth), reinterpret_cast<const char*>(bytes + 1), static_cast<int>(end - 1), nullptr,
                    nullptr, nullptr, 0);
}

void cFluidSynth::RenderAdd(float* out, int frames) {
  if (m_pSynth == nullptr || frames <= 0) return;
  m_left.assign(frames, 0.0f);
  m_right.assign(frames, 0.0f);
  fluid_synth_write_float(Synth(m_pSynth), frames, m_left.data(), 0, 1, m_right.data(), 0, 1);
  for (int i = 0; i < frames; ++i) {
    out[i * 2] += m_left[i];
    out[i * 2 + 1] += m_right[i];
  }
}

void cFluidSynth::SetMasterGain(float gain) {
  if (m_pSynth == nullptr) return;
  fluid_synth_set_gain(Synth(m_pSynth), std::clamp(gain, 0.0f, 1.0f) * m_fBaseGain);
}

void cFluidSynth::ResetAll() {
  if (m_pSynth == nullptr) return;
  fluid_synth_system_reset(Synth(m_pSynth));
}
