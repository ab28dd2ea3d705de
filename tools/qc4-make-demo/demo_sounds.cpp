#include "demo_sounds.h"

#include <algorithm>
#include <cmath>

#include "core/numbers.h"

namespace {

// A signal being built as floats in -1..1, then turned into 8-bit samples.
class cSignal {
 public:
  // A square wave whose frequency slides from f0 to f1 over the tone, with a linear fade-out.
  void Square(double f0, double f1, double seconds, double volume, double duty = 0.5) {
    const int n = static_cast<int>(seconds * kSoundRate);
    double phase = 0.0;
    for (int i = 0; i < n; ++i) {
      const double t = static_cast<double>(i) / n;
      const double f = f0 + (f1 - f0) * t;
      phase += f / kSoundRate;
      phase -= std::floor(phase);
      const double envelope = volume * (1.0 - t) * std::min(1.0, i / 40.0);
      m_aValues.push_back(phase < duty ? envelope : -envelope);
    }
  }
  // White noise from the game's own random numbers, low-passed a little, fading out.
  void Noise(double seconds, double volume, double smoothing) {
    const int n = static_cast<int>(seconds * kSoundRate);
    double held = 0.0;
    for (int i = 0; i < n; ++i) {
      const double t = static_cast<double>(i) / n;
      const double white = (QcRand() % 2001) / 1000.0 - 1.0;
      held += (white - held) * smoothing;
      m_aValues.push_back(held * volume * (1.0 - t));
    }
  }
  void Silence(double seconds) { m_aValues.resize(m_aValues.size() + static_cast<size_t>(seconds * kSoundRate), 0.0); }
  // Notes of one length in a row (an arpeggio); midi note numbers.
  void Notes(std::initializer_list<int> notes, double each, double volume) {
    for (int note : notes) {
      const double f = 440.0 * std::pow(2.0, (note - 69) / 12.0);
      Square(f, f, each, volume, 0.25);
    }
  }

  std::vector<uint8_t> ToSamples() const {
    std::vector<uint8_t> out;
    out.reserve(m_aValues.size());
    for (double v : m_aValues) out.push_back(static_cast<uint8_t>(std::clamp(128.0 + v * 127.0, 0.0, 255.0)));
    return out;
  }

 private:
  std::vector<double> m_aValues;
};

cDemoSound Sound(const char* path, const cSignal& signal) { return cDemoSound{path, signal.ToSamples()}; }

}  // namespace

std::vector<cDemoSound> MakeSystemSounds() {
  // The noise is the same every run: the generator writes identical files each time.
  QcSrand(20240611u);
  std::vector<cDemoSound> sounds;
  cSignal s;
  s.Square(880, 880, 0.04, 0.5, 0.25);
  sounds.push_back(Sound("wave\\Cursor.wav", s));
  s = {};
  s.Notes({76, 83}, 0.06, 0.6);
  sounds.push_back(Sound("wave\\Decide.wav", s));
  s = {};
  s.Notes({79, 72}, 0.06, 0.6);
  sounds.push_back(Sound("wave\\Cancel.wav", s));
  s = {};
  s.Square(180, 150, 0.15, 0.6);
  sounds.push_back(Sound("wave\\Refuse.wav", s));
  s = {};
  s.Square(400, 900, 0.10, 0.5, 0.25);
  sounds.push_back(Sound("wave\\MenuOpen.wav", s));
  s = {};
  s.Notes({72, 76, 79, 84}, 0.07, 0.5);
  sounds.push_back(Sound("wave\\Save.wav", s));
  s = {};
  s.Notes({84, 88}, 0.05, 0.5);
  sounds.push_back(Sound("wave\\Ranking.wav", s));
  s = {};
  s.Noise(0.12, 0.8, 0.5);
  sounds.push_back(Sound("wave\\Hit.wav", s));
  s = {};
  s.Square(600, 80, 0.6, 0.6);
  sounds.push_back(Sound("wave\\HeroDown.wav", s));
  s = {};
  s.Noise(0.25, 0.9, 0.25);
  sounds.push_back(Sound("wave\\EnemyDown.wav", s));
  for (int spare = 10; spare <= 12; ++spare) {
    s = {};
    s.Square(500 + spare * 40, 500 + spare * 40, 0.05, 0.4, 0.25);
    sounds.push_back(Sound(spare == 10   ? "wave\\Blip10.wav"
                           : spare == 11 ? "wave\\Blip11.wav"
                                         : "wave\\Blip12.wav",
                           s));
  }
  s = {};
  s.Square(1000, 1000, 0.08, 0.5, 0.5);
  s.Silence(0.04);
  s.Square(1000, 1000, 0.08, 0.5, 0.5);
  sounds.push_back(Sound("wave\\TimeWarning.wav", s));
  s = {};
  s.Notes({72, 76, 79, 84, 79, 84}, 0.09, 0.55);
  sounds.push_back(Sound("wave\\StageClear.wav", s));
  s = {};
  s.Notes({79, 83, 86, 91}, 0.06, 0.5);
  sounds.push_back(Sound("wave\\ExtraLife.wav", s));
  s = {};
  s.Notes({67, 72, 76}, 0.08, 0.5);
  sounds.push_back(Sound("wave\\RankingEntry.wav", s));
  return sounds;
}

std::vector<cDemoSound> MakeDatabaseSounds() {
  std::vector<cDemoSound> sounds;
  cSignal s;
  s.Square(300, 700, 0.12, 0.5, 0.5);
  sounds.push_back(Sound("wave\\Jump.wav", s));
  s = {};
  s.Notes({84, 91, 96}, 0.07, 0.5);
  sounds.push_back(Sound("wave\\Goal.wav", s));
  s = {};
  s.Notes({88, 95}, 0.05, 0.45);
  sounds.push_back(Sound("wave\\Coin.wav", s));
  // A turret's shot: a short falling zap over a puff of noise.
  QcSrand(20240612u);
  s = {};
  s.Square(1200, 300, 0.09, 0.45, 0.25);
  s.Noise(0.05, 0.35, 0.6);
  sounds.push_back(Sound("wave\\Shot.wav", s));
  // A stomp: a low thump, then a springy rise for the bounce.
  s = {};
  s.Noise(0.05, 0.9, 0.15);
  s.Square(150, 90, 0.06, 0.6, 0.5);
  s.Square(400, 1000, 0.08, 0.4, 0.5);
  sounds.push_back(Sound("wave\\Stomp.wav", s));
  // A gem or a heart taken: a bright rising run.
  s = {};
  s.Notes({76, 80, 83, 88, 92}, 0.045, 0.45);
  sounds.push_back(Sound("wave\\Treasure.wav", s));
  return sounds;
}
