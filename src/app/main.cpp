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
    std::fprintf(stderr, "qc4: %s\n\n%s", error.c_str(), kUsageText);
    return 2;
  }
  if (commandLine.help) {
    std::fputs(kUsageText, stdout);
    return 0;
  }
  return RunProgram(commandLine);
}
