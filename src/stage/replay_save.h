#pragma once
// Saving replays from a stage: the automatic save at a stage's end by the player's option, and the
// replay keys F1 (this play) and F2 (the previous play of the same stage), which ask the
// user-interface thread for a name (the replay-save dialog, or the file dialog when the project picks
// files by dialog) and save under it. Both run on the thread that runs game frames; the
// user-interface side saves through MakeReplayNameFor and SaveReplayFor while that thread waits.
#include <cstdint>
#include <string>

// Free space below this refuses the automatic save (about 117.6 MB, asked for as "100MB").
constexpr int64_t kReplaySaveMinFreeBytes = 123289600;
// A refused replay key sounds again after this many frames while it is held.
constexpr int kReplayRefusalFrames = 60;
// System sounds of the replay keys.
constexpr int kSoundReplayDecide = 1;
constexpr int kSoundReplayRefused = 3;

// What the saves ask of the system, replaceable by tests. Without a hook the real query is used.
struct cReplaySaveHooks {
  // Bytes free on the file system of the folder (a game path; 0 when unknown).
  int32_t (*diskFreeBytes)(const char* folder) = nullptr;
};
// Installs the hooks; returns the ones they replace.
cReplaySaveHooks SetReplaySaveHooks(const cReplaySaveHooks& hooks);

// The play a save is for: 0 this play, 1 the previous play.
extern int g_ReplaySaveWhich;

// The saves' own state between frames.
struct cReplaySaveState {
  // The automatic save ran (or was refused for lack of space) at this stage end; the start of a play
  // clears it, so one stage end saves at most once.
  int32_t m_bSaved = 0;
  // Frames until a refused replay key may sound again.
  int32_t m_nRefusalCountdown = 0;
};
extern cReplaySaveState g_ReplaySave;

// The automatic save at a stage's end. 1 when a save was made (a failed write is a fatal stop), 0
// when none was due: replay playback, the project records no replays, a direct start or test play,
// already saved, the stage forbids replays (and "Replay_On" is not 2), the player's option (off, or
// cleared plays only and this one was not), too little free space in the replay folder (with its
// message; a query that cannot answer counts as enough), nothing recorded, or no free name (every
// numbered form taken, with a report-log line).
int AutoSaveReplay();

// F1 / F2, once per play frame and per frame of a modal wait. 1 when a save was asked for (the
// frame then does nothing more); a refused key plays the refusal sound, again once a second while
// it is held, and gives 0.
int CheckReplayKeys();

// The user-interface side of a save, for the main window's hooks: the proposed name of a replay of
// the play (game path, made absolute), and the save under a chosen name (game path). A chosen name
// that is taken saves under its first free numbered form; when every form is taken nothing is saved
// (a report-log line) and the answer is true. false when the file could not be written.
bool MakeReplayNameFor(int whichPlay, std::string& name);
bool SaveReplayFor(int whichPlay, const std::string& name);
