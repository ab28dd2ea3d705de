// qc4: reads the command line and runs the program.
#include <cstdio>
#include <string>
#include <vector>

#include "shell/command_line.h"
#include "shell/program.h"

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
  return RunProgram(commandLine);
}
