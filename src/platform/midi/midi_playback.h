#pragma once
// What the MIDI output stream and the file player share when they play into the synthesiser: how
// long one tick lasts, and the requests (gain, silence, channel reset) a caller leaves for the
// next slice.
#include <cstdint>

#include "platform/midi/midi_sink.h"

// Microseconds one tick lasts. A division with the top bit set is SMPTE time: frames per second
// (the negative high byte, 29 meaning 29.97) times ticks per frame, and tempo does not apply;
// otherwise it is ticks per quarter note at `tempo` microseconds per quarter note.
double MidiMicrosPerTick(uint16_t division, uint32_t tempo);

// Requests made under the player's lock from any thread and carried out on the mixer's thread at
// the start of the next slice, in this order: master gain, all notes off, channels to defaults.
struct cMidiSinkRequests {
  float gain = 1.0f;
  bool gainChanged = false;
  bool silence = false;        // all notes off
  bool resetChannels = false;  // channels to the General MIDI defaults

  void SetGain(float newGain) {
    gain = newGain;
    gainChanged = true;
  }
  void SendTo(cMidiSink& sink);
};
