#pragma once
// The command line of qc4.
#include <cstdint>
#include <string>
#include <vector>

struct cCommandLine {
  std::string gameDir = ".";
  bool testPlay = false;
  std::string testPlayStage;
  bool headless = false;
  uint64_t frames = 0;
  std::string inputScript;
  std::string dumpFrame;
  std::string recordReplay;  // --record-replay: the run's replay, written at its end
  std::string playReplay;    // --play-replay: a replay file to play
  std::string trace;         // --trace: one JSON line per play frame
  std::string dumpAudio;     // --dump-audio: the run's sound as a WAVE file (headless runs only)
  bool help = false;
};

// Exit statuses of qc4 (see UsageText).
constexpr int kExitNormal = 0;
constexpr int kExitUnansweredBox = 1;   // a headless run met a message box without a scripted answer
constexpr int kExitBadCommandLine = 2;  // also a game folder that does not exist
constexpr int kExitCannotRun = 3;       // the window system, the report log or an output file failed
constexpr int kExitStageRefused = 4;    // the --test-play stage or --play-replay file was not found or not loaded
// A run that Ctrl-C (SIGINT) or SIGTERM closed ends with 128 + the signal's number, as the shell
// reports a process ended by it.
constexpr int kExitSignalBase = 128;

// The text of --help: options, key names of input scripts, window keys, exit statuses.
std::string UsageText();

// false with a message for a malformed line.
bool ParseCommandLine(const std::vector<std::string>& args, cCommandLine& out, std::string* error);
