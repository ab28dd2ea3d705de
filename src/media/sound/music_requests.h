#pragma once
// Music requests as the main window carries them out (WM_USER+6), and the music start-up.
#include <cstdint>

#include "platform/messages.h"

constexpr uint32_t WM_PLAYBGM = WM_USER + 6;
constexpr int kBgmSituationStage = 6;

// The player's music volume steps 0-7 in percent.
extern const int kBgmVolumeTable[8];

// Start-up: in a window the outside MIDI component is used when "Midi_DirectMusic" asks for it, in
// full screen never. Starts g_BgmPlayer with one channel and the seven situation tables; no music
// plays yet. Returns InitBgm's result.
int InitMusic(int windowed, int midiDirectMusic);

// The player's music volume option (0-7); start-up and the options screen set it.
void SetBgmVolumeStep(int step);
int GetBgmVolumeStep();

// Sets music slot `slot` from database music record n, its volume scaled by the music volume step.
// A record number outside the database is logged and record 0 is used.
void SetBgmSlot(int slot, int number);

// The WM_USER+6 handler. situation 0-5: the project's music of that situation (number 0 stops the
// music), looping by the project's flag; 6: database music `number` (0 stops) looping by
// `stageLoopFlag` (the progress's music option; the caller stores `number` as the progress's music
// number). Other situations do nothing. Returns 0.
LRESULT PlayBgmKind(WPARAM situation, LPARAM number, int stageLoopFlag);
