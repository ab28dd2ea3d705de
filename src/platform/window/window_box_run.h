#pragma once
// Runs a message box inside the game window, modally on the UI thread (see window_box.h): the box is
// drawn over the last frame shown, and window-system input answers it instead of reaching the game
// (the keyboard snapshot still follows the keys). A box before the game window exists, or after it is
// gone, gets a window of its own for the time it is shown. Returns the answer (IDOK, IDYES, ...), or 0
// when no window can be had (headless, no window system).
int RunWindowBox(const char* textCp932, const char* captionCp932, unsigned type);
