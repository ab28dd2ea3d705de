#pragma once
// Where MIDI events end up: a synthesiser (or, in tests, a recorder). Players call it only from the
// mixer's pull, through cMidiRenderer, so a sink sees one thread at a time.
#include <cstddef>
#include <cstdint>

class cMidiSink {
 public:
  virtual ~cMidiSink() = default;
  // A channel message packed as status | data1 << 8 | data2 << 16. System messages are ignored.
  virtual void ShortMessage(uint32_t packed) = 0;
  // A system-exclusive message, F0 ... F7 included.
  virtual void LongMessage(const uint8_t* bytes, size_t size) = 0;
  // Adds `frames` frames of interleaved stereo sound into out.
  virtual void RenderAdd(float* out, int frames) {}
  // Overall level of everything this sink plays, 0..1.
  virtual void SetMasterGain(float gain) {}
  // Silences every channel: sustain off, all sound off, all notes off.
  void AllNotesOff() {
    for (uint32_t ch = 0; ch < 16; ++ch) {
      ShortMessage(0xB0 | ch | (64u << 8));
      ShortMessage(0xB0 | ch | (120u << 8));
      ShortMessage(0xB0 | ch | (123u << 8));
    }
  }
  // Puts every channel back to the General MIDI defaults a new song expects: controllers reset,
  // program 0, pitch centred, volume 100, pan centred.
  void ResetChannels() {
    for (uint32_t ch = 0; ch < 16; ++ch) {
      ShortMessage(0xB0 | ch | (121u << 8));
      ShortMessage(0xC0 | ch);
      ShortMessage(0xE0 | ch | (0x40u << 16));
      ShortMessage(0xB0 | ch | (7u << 8) | (100u << 16));
      ShortMessage(0xB0 | ch | (10u << 8) | (64u << 16));
    }
  }
};

// Something that advances in time and sends events to a sink: a MIDI stream or a file player.
class cMidiSequencer {
 public:
  virtual ~cMidiSequencer() = default;
  // Moves `frames` frames (at `rate` per second) forward, sending the events that fall due.
  virtual void Advance(int frames, int rate, cMidiSink& sink) = 0;
};
