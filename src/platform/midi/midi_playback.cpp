#include "platform/midi/midi_playback.h"

double MidiMicrosPerTick(uint16_t division, uint32_t tempo) {
  if (division & 0x8000) {
    const int fps = -static_cast<int8_t>(division >> 8);
    const int perFrame = division & 0xFF;
    const double ticksPerSecond = (fps == 29 ? 29.97 : fps) * (perFrame == 0 ? 1 : perFrame);
    return ticksPerSecond > 0 ? 1e6 / ticksPerSecond : 1e6;
  }
  return static_cast<double>(tempo) / division;
}

void cMidiSinkRequests::SendTo(cMidiSink& sink) {
  if (gainChanged) {
    sink.SetMasterGain(gain);
    gainChanged = false;
  }
  if (silence) {
    sink.AllNotesOff();
    silence = false;
  }
  if (resetChannels) {
    sink.ResetChannels();
    resetChannels = false;
  }
}
