#pragma once
// "System.ini", the hand-edited settings of a finished game: display, sound, language and the four
// replay overrides. The names and defaults of the eleven main keys come from the project's key table
// (g_SystemData.m_aIniKeys); the replay keys have fixed names.
#include <cstdint>
#include <string_view>
#include <vector>

class cSysParam;

// Indexes of the project's key table.
enum eIniKey {
  kIniDirect3D = 0,
  kIniWindowMode,
  kIniBpp,
  kIniVSync,
  kIniD3DFontCache,
  kIniDDFontCache,
  kIniDDVideoStretch,
  kIniShowFps,
  kIniFreeStage,
  kIniEnglish,
  kIniMidiDirectMusic,
};

struct INIREPLAYKEY {
  int32_t bPresent = 0;
  int32_t nValue = 0;
};

constexpr int kFreeStageSize = 260;

struct INISETTINGS {
  // Each member is named as its key in the file, so the key and the member can be read side by side.
  // NOLINTBEGIN(readability-identifier-naming)
  int32_t Direct3D = 0;
  int32_t WindowMode = 0;
  int32_t Bpp = 0;
  int32_t VSync = 0;
  int32_t D3D_FontCache = 0;
  int32_t DD_FontCache = 0;
  int32_t DD_VideoStretch = 0;
  int32_t ShowFps = 0;
  int32_t English = 0;
  int32_t Midi_DirectMusic = 0;
  char FreeStage[kFreeStageSize] = {};
  INIREPLAYKEY Replay_On;
  INIREPLAYKEY Replay_AutomaticSave;
  INIREPLAYKEY Replay_PlaybackOrder;
  INIREPLAYKEY Replay_AutomaticMessageProgress;
  // NOLINTEND(readability-identifier-naming)
};

extern INISETTINGS g_IniSettings;

// The fixed replay key names, terminated by an empty name.
extern const char* const g_apszReplayIniKeys[5];

// The key record at index through the checked access (a bad index is a range error and a fatal stop).
const cSysParam& IniKeyAt(const std::vector<cSysParam>& keys, int index);

// Every main value from the key table's defaults; the four replay keys absent.
void SetIniDefaults(INISETTINGS& settings, const std::vector<cSysParam>& keys);

// Reads the file at the game path. 1 = read (an "Exit" line, a NUL byte or 10000 entries ended it);
// 0 = not read (missing, or it ended before its "Exit" line). Values read before a failure stay in
// settings; the caller restores the defaults.
int ReadSystemIni(const char* path, INISETTINGS& settings, const std::vector<cSysParam>& keys);
// The same over bytes already in memory.
int ParseSystemIni(std::string_view bytes, INISETTINGS& settings, const std::vector<cSysParam>& keys);

// Start-up's use of the file: defaults, read, and on failure the error box and the defaults again.
void LoadSystemIni();
