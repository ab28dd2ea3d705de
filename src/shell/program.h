#pragma once
// The whole run of qc4 after its command line was read: into the game folder, the window system or
// the headless backend, the program's entry, and the frame dump at the end.
#include "shell/command_line.h"

// Returns the process exit status (see UsageText).
int RunProgram(const cCommandLine& commandLine);
