#pragma once
// Where the dialogs that the game opens are placed. Dialogs are drawn inside the game window, whose
// picture is their desktop: the main window stands at (0, 0) and is 640 x 480 there.
#include <cstdint>

#include "ui/window.h"

// The main window's place and size in the dialogs' desktop.
cRect MainWindowRect();
// The top-left of a dialog of the given pixel size centred on the main window in a window
// (x = main x + (main width + 1) / 2 - width / 2, likewise y), or on the 640 x 480 screen in full
// screen (x = 320 - width / 2, y = 240 - height / 2).
void CentredDialogPos(int32_t halfWidth, int32_t halfHeight, int32_t* x, int32_t* y);
// The same for a main window at a given place and outer size (windowed: 1, full screen: 0).
void CentredDialogPosOn(const cRect& main, int32_t windowed, int32_t halfWidth, int32_t halfHeight, int32_t* x,
                        int32_t* y);
// Moves the mouse cursor to a point of the picture.
void MoveCursorTo(int32_t x, int32_t y);
