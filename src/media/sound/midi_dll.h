#pragma once
// The wrapper of the outside MIDI music component: open its device, play a MIDI file from its list
// (once or looping, at a master volume), pause or stop it, close it.
#include <cstdint>

struct MIDISLOT;
class cMidiRenderer;

class cMidiDll {
 public:
  int32_t m_nCurrentId = 0;
  int32_t m_nVolume = 0;      // the master volume last set (-127..0)
  int32_t m_anSaved[3] = {};  // player state saved when a stop found it playing

  // Opens the component's device (device -1100 with the option, -1 without). 1 on success.
  int OpenMidiDll(int directMusicOption, cMidiRenderer* renderer = nullptr);
  // Plays entry's file as list item `id`; the extension must be exactly "mid". 1 on success.
  int PlayMidiDll(int id, const MIDISLOT* entry, int loop, int volumePercent);
  void StopMidiDll(int pause);
  void UnloadMidiDll();
  bool IsOpen() const;
};

// 0 once the component is available (it is built in; kept for the start-up's order of calls).
int LoadMidiDll();
