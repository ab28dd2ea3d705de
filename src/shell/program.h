#pragma once
// The whole run of qc4 after its command line was read: into the game folder, the window system or
// the headless backend, the program's entry, and the frame and sound dumps at the end. Ctrl-C and
// SIGTERM close the run the normal way.
#include <string>

#include "shell/command_line.h"

// Returns the process exit status (see UsageText). openOutputs (may be null) opens the run's trace
// and checks its replay file once the command line has passed its checks, before anything starts;
// false with a message refuses the run.
int RunProgram(const cCommandLine& commandLine, bool (*openOutputs)(std::string* error) = nullptr);
