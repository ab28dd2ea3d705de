// qc4: reads the command line and runs the program.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/files.h"
#include "shell/command_line.h"
#include "shell/program.h"
#include "stage/install_stage_play.h"
#include "stage/replay_play.h"
#include "stage/scene_stage.h"
#include "stage/stage_start.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  cCommandLine commandLine;
  std::string error;
  if (!ParseCommandLine(args, commandLine, &error)) {
    std::fprintf(stderr, "qc4: %s\n\n%s", error.c_str(), UsageText().c_str());
    return kExitBadCommandLine;
  }
  if (commandLine.help) {
    std::fputs(UsageText().c_str(), stdout);
    return 0;
  }
  // The replay and trace files are this system's paths, relative to where qc4 was started (the run
  // changes into the game folder).
  cReplayRunOptions replays;
  if (!commandLine.recordReplay.empty()) replays.strRecordPath = AbsoluteHostPath(commandLine.recordReplay);
  if (!commandLine.playReplay.empty()) replays.strPlayPath = AbsoluteHostPath(commandLine.playReplay);
  if (!commandLine.trace.empty()) replays.strTracePath = AbsoluteHostPath(commandLine.trace);
  SetReplayRunOptions(replays);
  InstallStagePlay();
  int code = RunProgram(commandLine);
  // A test play says how its stage ended.
  if (commandLine.testPlay) {
    const int outcome = LastStageOutcome();
    const char* what = outcome == kOutcomeCleared ? "cleared" : outcome == kOutcomeFailed ? "failed" : "not finished";
    std::printf("qc4: stage %s after %d frames\n", what, LastStageFrames());
  }
  if (!FinishReplayRun(&error)) {
    std::fprintf(stderr, "qc4: %s\n", error.c_str());
    if (code == kExitNormal) code = kExitCannotRun;
  }
  return code;
}
