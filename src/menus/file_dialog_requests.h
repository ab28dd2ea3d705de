#pragma once
// The game thread's side of the file dialogs that start a play: the main window runs the dialog and
// starts the chosen stage file or loads the chosen replay; the caller waits for its answer.

// Asks for a stage file to play; true when one was chosen (and started, or the program is closing
// because it could not be).
bool RequestStageFileDialog();
// Asks for a replay file to play back; true when one was chosen (and loaded, or the program is
// closing because it could not be).
bool RequestReplayFileDialog();
