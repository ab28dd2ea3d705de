#pragma once
// The program's entry after the command line has been read: report log, test play, single instance,
// window, start-up, game thread, user-interface loop and shutdown.

// Returns the process exit code: the WM_QUIT code after a normal run, kExitCannotRun when the report
// log cannot be written, 0 on every other early exit.
int WinMain(const char* cmdLine, int showCmd);
