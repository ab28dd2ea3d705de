#include "demo_music.h"

#include <cmath>
#include <initializer_list>
#include <numbers>

#include "file_writers.h"
#include "ogg_vorbis_encoder.h"

namespace {

constexpr uint32_t kEighth = kSongDivision / 2;
constexpr uint32_t kBar = kSongDivision * 4;
constexpr uint8_t kDrumChannel = 9;

// The tune: (note, length in eighths); 0 is a rest. Eight bars over C, Am, F, G, twice.
struct cNote {
  int note;
  int eighths;
};
constexpr cNote kMelody[] = {
    {76, 2}, {79, 2}, {84, 2}, {79, 2},  // C
    {81, 3}, {79, 1}, {76, 2}, {72, 2},  // Am
    {77, 2}, {81, 2}, {84, 3}, {81, 1},  // F
    {79, 4}, {74, 2}, {71, 2},           // G
    {72, 2}, {76, 2}, {79, 2}, {84, 2},  // C
    {88, 3}, {86, 1}, {84, 2}, {81, 2},  // Am
    {77, 2}, {81, 2}, {79, 2}, {77, 2},  // F
    {74, 2}, {71, 2}, {72, 4},           // G, home to C
};
constexpr int kBassRoots[kSongBars] = {48, 45, 41, 43, 48, 45, 41, 43};

struct cArrangement {
  const char* path;
  const char* name;
  int tempoBpm;
  int transpose;
  uint8_t leadProgram;  // General MIDI program numbers, from 0
  uint8_t bassProgram;
  bool drums;
};

// Byte by byte: GCC 12 at -O3 takes the insertion of a range after a three-byte start for a copy
// out of bounds (-Warray-bounds), and warnings are errors.
cMidiEvent Meta(uint32_t tick, uint8_t type, std::initializer_list<uint8_t> data) {
  cMidiEvent e{tick, {}};
  e.bytes.reserve(3 + data.size());
  e.bytes.push_back(0xFF);
  e.bytes.push_back(type);
  e.bytes.push_back(static_cast<uint8_t>(data.size()));
  for (uint8_t byte : data) e.bytes.push_back(byte);
  return e;
}

cMidiEvent TrackName(const char* name) {
  cMidiEvent e{0, {0xFF, 0x03}};
  std::string text(name);
  e.bytes.push_back(static_cast<uint8_t>(text.size()));
  e.bytes.insert(e.bytes.end(), text.begin(), text.end());
  return e;
}

cMidiEvent Channel(uint32_t tick, uint8_t status, uint8_t channel, uint8_t a) {
  return cMidiEvent{tick, {static_cast<uint8_t>(status | channel), a}};
}
cMidiEvent Channel(uint32_t tick, uint8_t status, uint8_t channel, uint8_t a, uint8_t b) {
  return cMidiEvent{tick, {static_cast<uint8_t>(status | channel), a, b}};
}

// Note on at start, note off (a note on of velocity 0, as sequencers write it) just before the end.
void AddNote(std::vector<cMidiEvent>& track, uint8_t channel, uint32_t start, uint32_t length, int note,
             uint8_t velocity) {
  const auto key = static_cast<uint8_t>(note);
  track.push_back(Channel(start, 0x90, channel, key, velocity));
  track.push_back(Channel(start + length - length / 8, 0x80, channel, key, 64));
}

std::vector<cMidiEvent> SetUp(const char* name, uint8_t channel, uint8_t program, uint8_t volume, uint8_t pan) {
  std::vector<cMidiEvent> t;
  t.push_back(TrackName(name));
  t.push_back(Channel(0, 0xB0, channel, 7, volume));
  t.push_back(Channel(0, 0xB0, channel, 10, pan));
  if (channel != kDrumChannel) t.push_back(Channel(0, 0xC0, channel, program));
  return t;
}

std::vector<uint8_t> Arrange(const cArrangement& a) {
  const uint32_t micros = 60000000u / static_cast<uint32_t>(a.tempoBpm);
  std::vector<cMidiEvent> conductor;
  conductor.push_back(TrackName(a.name));
  conductor.push_back(Meta(0, 0x58, {4, 2, 24, 8}));
  conductor.push_back(Meta(
      0, 0x51, {static_cast<uint8_t>(micros >> 16), static_cast<uint8_t>(micros >> 8), static_cast<uint8_t>(micros)}));

  std::vector<cMidiEvent> lead = SetUp("Lead", 0, a.leadProgram, 100, 72);
  uint32_t tick = 0;
  for (const cNote& n : kMelody) {
    const uint32_t length = static_cast<uint32_t>(n.eighths) * kEighth;
    if (n.note != 0) AddNote(lead, 0, tick, length, n.note + a.transpose, 96);
    tick += length;
  }

  std::vector<cMidiEvent> bass = SetUp("Bass", 1, a.bassProgram, 96, 56);
  for (int bar = 0; bar < kSongBars; ++bar) {
    const int root = kBassRoots[bar] + a.transpose;
    const int pattern[4] = {root, root + 12, root + 7, root + 12};
    for (int beat = 0; beat < 4; ++beat)
      AddNote(bass, 1, static_cast<uint32_t>(bar) * kBar + static_cast<uint32_t>(beat) * kSongDivision, kSongDivision,
              pattern[beat], beat == 0 ? 100 : 84);
  }

  std::vector<std::vector<cMidiEvent>> tracks{conductor, lead, bass};
  if (a.drums) {
    std::vector<cMidiEvent> drums = SetUp("Drums", kDrumChannel, 0, 90, 64);
    for (int bar = 0; bar < kSongBars; ++bar)
      for (int eighth = 0; eighth < 8; ++eighth) {
        const uint32_t at = static_cast<uint32_t>(bar) * kBar + static_cast<uint32_t>(eighth) * kEighth;
        AddNote(drums, kDrumChannel, at, kEighth, 42, 70);                                   // closed hi-hat
        if (eighth == 0 || eighth == 4) AddNote(drums, kDrumChannel, at, kEighth, 36, 110);  // kick
        if (eighth == 2 || eighth == 6) AddNote(drums, kDrumChannel, at, kEighth, 38, 100);  // snare
      }
    tracks.push_back(drums);
  }
  return EncodeSmf(kSongDivision, tracks, kBar * kSongBars);
}

// The title arrangement played by code instead of a synthesiser: a soft square lead (odd harmonics
// only up to the fifth, so nothing folds back at the low rate), a rounder bass in the same pattern as
// the MIDI arrangements and a pitch-falling kick on beats one and three. Every voice ends inside its
// bar, so the file loops without a click.
constexpr int kTitleRate = 22050;
constexpr int kTitleBpm = 132;
// A whole number of samples per eighth, so the loop is sample-exact.
constexpr int kTitleEighthSamples = kTitleRate * 60 / kTitleBpm / 2;

double NoteHz(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

// A plucked envelope: a short attack, a fall to a sustain level, a release that reaches zero at the
// note's end.
double Envelope(int at, int length) {
  const int attack = kTitleRate / 200, release = kTitleRate / 20;
  if (at < attack) return static_cast<double>(at) / attack;
  const double decay = 0.55 + 0.45 * std::exp(-(at - attack) / (0.12 * kTitleRate));
  const int left = length - at;
  return left < release ? decay * left / release : decay;
}

void AddVoice(std::vector<float>& out, int start, int length, double hz, double level,
              std::initializer_list<double> harmonics) {
  const double step = 2.0 * std::numbers::pi * hz / kTitleRate;
  for (int i = 0; i < length && start + i < static_cast<int>(out.size()); ++i) {
    double v = 0;
    int k = 1;
    for (double h : harmonics) v += h * std::sin(step * k++ * i);
    out[static_cast<size_t>(start + i)] += static_cast<float>(level * Envelope(i, length) * v);
  }
}

void AddKick(std::vector<float>& out, int start) {
  const int length = kTitleRate / 8;
  double phase = 0;
  for (int i = 0; i < length && start + i < static_cast<int>(out.size()); ++i) {
    const double t = static_cast<double>(i) / kTitleRate;
    phase += 2.0 * std::numbers::pi * (50.0 + 110.0 * std::exp(-t * 30.0)) / kTitleRate;
    out[static_cast<size_t>(start + i)] += static_cast<float>(0.3 * std::exp(-t * 18.0) * std::sin(phase));
  }
}

std::vector<uint8_t> TitleOgg() {
  const int bar = kTitleEighthSamples * 8;
  std::vector<float> mix(static_cast<size_t>(bar) * kSongBars, 0.0f);
  int at = 0;
  for (const cNote& n : kMelody) {
    const int length = n.eighths * kTitleEighthSamples;
    if (n.note != 0) AddVoice(mix, at, length - length / 8, NoteHz(n.note), 0.2, {1.0, 0, 1.0 / 3, 0, 1.0 / 5});
    at += length;
  }
  for (int b = 0; b < kSongBars; ++b) {
    const int root = kBassRoots[b];
    const int pattern[4] = {root, root + 12, root + 7, root + 12};
    for (int beat = 0; beat < 4; ++beat) {
      const int start = b * bar + beat * 2 * kTitleEighthSamples;
      AddVoice(mix, start, 2 * kTitleEighthSamples * 7 / 8, NoteHz(pattern[beat] - 12), beat == 0 ? 0.22 : 0.18,
               {1.0, 0.35, 0.12});
    }
    AddKick(mix, b * bar);
    AddKick(mix, b * bar + 4 * kTitleEighthSamples);
  }
  return EncodeOggVorbisMono(mix, kTitleRate, 0.3f);
}

}  // namespace

std::vector<cDemoSong> MakeDemoSongs() {
  const cArrangement arrangements[] = {
      {"bgm\\WorldMap.mid", "qc4 demo map", 108, 5, 73, 32, false},  // flute, acoustic bass
      {"bgm\\Stage.mid", "qc4 demo stage", 150, 2, 81, 33, true},    // saw lead, finger bass
  };
  std::vector<cDemoSong> songs{cDemoSong{"bgm\\Title.ogg", TitleOgg()}};
  for (const cArrangement& a : arrangements) songs.push_back(cDemoSong{a.path, Arrange(a)});
  return songs;
}
