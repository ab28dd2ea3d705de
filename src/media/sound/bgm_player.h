#pragma once
// The background music manager: seven situation slots, each with an OGG and a MIDI file, played on a
// number of channels through the OGG back end or one of the two MIDI back ends (the outside
// component when its device opened at start-up, else the own stream player).
#include <cstdint>
#include <vector>

#include "media/sound/midi_dll.h"
#include "media/sound/midi_stream.h"
#include "media/sound/music_slots.h"
#include "media/sound/ogg_player.h"

class cMidiRenderer;

class cBgmPlayer {
 public:
  cBgmPlayer() = default;
  ~cBgmPlayer();
  cBgmPlayer(const cBgmPlayer&) = delete;
  cBgmPlayer& operator=(const cBgmPlayer&) = delete;

  int InitBgm(int channels, OGGSLOT* oggTable, MIDISLOT* midiTable, int slots, int midiDllOption);
  int SetBgmFile(int slot, const char* path, int volume);
  int PlayBgm(int channel, int slot, int loop, int pause, int force);
  void StopBgm();
  void ReleaseBgm();
  // Waits until the own MIDI players have reacted to everything already played (refills, the
  // restart of a looping song); the outside component's player needs no such wait. For a mix that
  // is pulled slice by slice and must come out the same every run.
  void SettleMidi();

  // Where MIDI plays (the shared synthesiser when null); set before InitBgm. Tests use their own.
  void SetMidiRenderer(cMidiRenderer* renderer) { m_pMidiRenderer = renderer; }

  int32_t m_bEnabled = 0;
  cOggPlayer m_Ogg;
  OGGSLOT* m_pOggTable = nullptr;
  int32_t m_bUseMidiDll = 0;
  cMidiDll m_MidiDll;
  tMidiStreams m_apStreams;
  std::vector<int32_t> m_anStreamValues;
  MIDISLOT* m_pMidiTable = nullptr;
  int32_t m_nCurrentSlot = -1;
  std::vector<int32_t> m_anKinds;          // 0 unknown, 1 OGG, 2 MIDI
  std::vector<int32_t> m_anChannelStates;  // 0 silent, 1 OGG, 2 MIDI

 private:
  int PlayMidi(int channel, int slot, int loop);
  void StopMidi(int pause);
  bool ValidSlot(int slot) const;
  bool ValidChannel(int channel) const;
  cMidiRenderer* m_pMidiRenderer = nullptr;
};

extern cBgmPlayer g_BgmPlayer;
