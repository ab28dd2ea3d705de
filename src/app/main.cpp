// qc4: reads the command line and runs the program.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/files.h"
#include "shell/command_line.h"
#include "shell/program.h"
#include "stage/replay_play.h"

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
  int code = RunProgram(commandLine);
  if (!FinishReplayRun(&error)) {
    std::fprintf(stderr, "qc4: %s\n", error.c_str());
    if (code == kExitNormal) code = kExitCannotRun;
  }
  return code;
}
