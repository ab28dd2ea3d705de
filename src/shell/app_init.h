#pragma once
// Start-up between the window's creation and the game thread's start.

// Loads and prepares everything the game needs; false ends the process (its message has been shown).
bool AppInit(const char* cmdLine, int showCmd);
// Releases everything after the message loop (and after a failed start-up).
void AppExit();

// The command-line test play's show command.
constexpr int SW_SHOW = 5;
constexpr int SW_SHOWNORMAL = 1;
