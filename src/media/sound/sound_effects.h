#pragma once
// Sound effects: the sound slots (one static buffer loaded from a WAVE file plus duplicates sharing
// its samples, played in turn so an effect can overlap itself), their loading at start-up, volumes,
// and the requests of game logic, which the main window turns into plays on its own thread.
// Slots 0-16 hold the project's 17 system sounds; database sound n (from 1) is slot 16 + n.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/audio/wave_file.h"
#include "platform/messages.h"

// One sound slot (all zero before loading).
struct DSSOUNDDATA {
  char name[260] = {};
  std::vector<int> buffers;  // mixer buffer ids: [0] loaded from the file, the others its duplicates
  int32_t count = 0;
  int32_t next = 0;  // the buffer the next play uses
};

// A load request: file, number of buffers (at least 1), volume in hundredths of a decibel.
struct SOUNDINFO {
  std::string file;
  int32_t count = 1;
  int32_t volume = 0;
};

constexpr int kSystemSoundCount17 = 17;
constexpr int kDataSoundSlotBase = 16;
constexpr int kSoundBuffersPerSlot = 3;
constexpr uint32_t DSBPLAY_LOOPING = 1;
constexpr uint32_t WM_PLAYSOUND = WM_USER + 5;

// The player's sound volume steps 0-10 in hundredths of a decibel.
extern const int kSoundVolumeTable[11];
int SoundVolumeForStep(int step);

extern std::vector<DSSOUNDDATA> g_SoundSlots;
extern std::vector<SOUNDINFO> g_SoundInfos;

// Opens the sound output. False when there is no sound device: every later call does nothing.
bool DS_Init(HWND window, int samplesPerSec, int bitsPerSample, int channels);
// Opens without a device; the mix is pulled by the caller (tests, headless runs without audio).
void DS_InitPullOnly();
bool DS_HasDevice();
void DS_LoadAll(std::vector<DSSOUNDDATA>& slots, const std::vector<SOUNDINFO>& requests, int master);
bool DS_LoadSound(DSSOUNDDATA& slot, const char* path, int count, int volume);
bool DS_CreateBufferFromFile(int& buffer, const char* path);
void DS_Play(DSSOUNDDATA& slot, uint32_t flags);
int DS_SetVolume(DSSOUNDDATA& slot, int index, int volume, int relative);
// The menu cursor sound, played on the calling (game) thread: axes bit 1 horizontal moves (left,
// right), bit 2 vertical moves (up, down) of the input's direction word.
void DS_PlayCursorSound(uint16_t directionWord, int axes, int slot);
void DS_Release();

// Reads a WAVE file (a game path); failures are logged as the sound layer reports them.
bool ReadWaveFile(const char* path, cWaveData& out);

// Game logic: ask the main window to play a slot / a database sound (0 = none).
LRESULT RequestSound(int slot);
LRESULT RequestDataSound(int16_t number);

// A seam for tests that check which sounds game logic asks for, installed by a test before any
// sound is requested.
struct cSoundTraceHooks {
  // Receives the slot of each of the two requests above, which then do not ask the main window.
  // Without it they ask the main window.
  void (*record)(int slot) = nullptr;
};
// Installs the hooks; returns the ones they replace.
cSoundTraceHooks SetSoundTraceHooks(const cSoundTraceHooks& hooks);

// The main window's WM_USER+5 handler: plays slot wParam; a slot outside the table is logged and
// ignored. Returns 0.
LRESULT PlaySoundSlot(WPARAM slot);

// Start-up: fills g_SoundInfos from the project's 17 system sound names and the database sounds,
// opens the output (failure is only logged) and loads every slot with the master volume of the
// player's sound volume step. False when there is no sound device.
bool InitSoundEffects(HWND window, int soundVolumeStep);
// Options screen: sets every buffer of every slot (the first and its duplicates) to the step's volume.
void ApplySoundVolumeStep(int soundVolumeStep);
