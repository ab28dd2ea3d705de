#pragma once
// Stage play's side of the replays: the input of a play frame taken from the replay log or recorded
// into it, the start of a play for the logs, and the replay files named on the command line.
//
// Where the play loop calls this (one play frame, after the frame count):
//   replay playback (g_nPlayMode 4): if (PlayReplayFrame(input)) { the replay ended: step to the
//     next replay or restart; end the frame } else GetDirNumber, RecordInputHistory, UpdateKeyEvents
//   live play: the disabled-input and button-hold rules, RecordInputHistory, UpdateKeyEvents, then
//     RecordReplayFrame(input)
//   after the frame's logic (before drawing, also when the frame ended early): TracePlayFrame
//     (stage/play_trace.h) with the frame loop's count
// and the stage set-up, where it seeds the generator: StartLivePlayLog(seed) for a live play,
// StartReplayPlayback() in play mode 4.
#include <cstdint>
#include <string>

class cInputState;

// Live frame: appends player 0's direction and button words to g_InputLog while the project records
// replays. Does nothing in play mode 4.
void RecordReplayFrame(const cInputState& input);
// Replay frame: clears both words and takes them from g_InputLog; 1 when the log has ended (the
// words stay clear).
int PlayReplayFrame(cInputState& input);

// The start of a live play while the project records replays: the snapshots and logs of this play
// become the previous play's, the progress now is this play's snapshot, and the log starts empty
// with the seed. The generator is seeded in every case, and the play's replay is not saved yet.
void StartLivePlayLog(int32_t seed);
// The start of a replay: the log's cursors back to its start, the generator seeded with its seed,
// and the play's replay not saved yet.
void StartReplayPlayback();

// Reads a replay file (game path) for playback into g_InputLog, g_StageFile, g_StageData and
// g_SaveData, keeps its path as the played stage's (g_StagePath) and sets play mode 4. A missing, too
// new or damaged file gives the load error (report log and error box) and changes no record but the
// log; 0 then.
int LoadReplayForPlayback(const char* path);

// Set when playback moves on to another replay file (its path in g_StagePath): the next restart
// reads it as a new stage, settings included.
extern int g_bReplaySwitched;
// A restart of replay playback, before the stage's settings are restored: the replay file at
// g_StagePath is read again, so the play starts from its recorded stage types, log and progress
// (and, after a switch, the new file's settings too; the flag is cleared). Outside playback, and when
// the file no longer reads, nothing changes. 1 when a switched file was read: its stage's pictures
// are then to be loaded.
int ReloadReplayForRestart();

// The replay files and trace of a command-line run (this system's paths, absolute; empty: none).
struct cReplayRunOptions {
  std::string strRecordPath;  // --record-replay: the run's replay, written at its end
  std::string strPlayPath;    // --play-replay: the replay to play
  std::string strTracePath;   // --trace: one line per play frame
};
// Set before the run starts: the trace starts (its lines go to its file as they come), and the
// replay's path is checked. false with the path and the system's reason when one of them cannot be
// written.
bool SetReplayRunOptions(const cReplayRunOptions& options, std::string* error = nullptr);
const cReplayRunOptions& ReplayRunOptions();
// The replay to play as a game path, for LoadReplayForPlayback (empty when none is asked for, or
// when the path cannot be named in the game's encoding).
std::string ReplayRunPlayPath();
// At the end of the run: puts the trace's file in place and writes the recorded replay (this play's
// log, the stage and the progress at the play's start; the previous play's when this one has no
// frame yet, as after a miss whose restart the run ended in), each replaced atomically. false with a
// message when one cannot be written or there was no play to record.
bool FinishReplayRun(std::string* error);
