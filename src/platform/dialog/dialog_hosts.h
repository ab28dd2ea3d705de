#pragma once
// The two hosts of the dialogs and what they share with the dialog manager (dialog_box.h).
#include <cstdint>
#include <memory>
#include <string>

#include "platform/dialog/dialog_box.h"
#include "platform/dialog/file_chooser.h"

// The host of this run: the scripted one when headless, else the one drawn in the game window.
std::unique_ptr<DialogHost> MakeDefaultDialogHost();
// Answers dialogs from the input script's dialog lines (headless runs and tests).
std::unique_ptr<DialogHost> MakeScriptedDialogHost();
// Draws dialogs inside the game window over its last frame (Dear ImGui), answered by keyboard,
// mouse and input method. Null when there is no window to draw in.
std::unique_ptr<DialogHost> MakeWindowDialogHost();

// Frames the window host has drawn so far (tests wait for a dialog to be on screen).
uint64_t WindowDialogFramesDrawn();
// The host set with SetDialogHost, else null.
DialogHost* CurrentDialogHost();
// Whether the dialog has ended (or is not open).
bool DialogEnded(HWND dialog);
// Tab and Shift+Tab: the focus moves to the next (previous) control that takes it.
void DialogFocusNext(HWND dialog, bool backwards);
// The editing keys of the focused edit box (Left, Right, Home, End, Backspace, Delete, Ctrl+A); true
// when the key was one of them.
bool DialogEditKey(HWND dialog, int vk, bool ctrl);
// A headless dialog found no scripted answer: the run fails.
void NoteDialogUnanswered();
