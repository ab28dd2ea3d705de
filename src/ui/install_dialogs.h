#pragma once
// Installs the dialogs into the main window's hooks (cUiHooks) at start-up, before the game thread
// runs: the name entry, the file selection, the replay save and the start-up question.
#include <string>

void InstallDialogs();

// What the hooks run (each creates its dialog, runs it once on the user-interface thread and
// deletes it).
void RunNameDialog();
bool RunFileDialog(int mode, const std::string& proposed, std::string& chosen);
bool RunReplaySaveDialog(int whichPlay, std::string& name);
