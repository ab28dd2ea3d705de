#pragma once
// The one game window, standing in for the main window of the window system: an SDL window whose
// client area is 640x480 times an integer zoom, or the whole desktop in full screen, showing the
// newest frame of the graphics device's frame mailbox. Headless runs keep the same geometry on a
// virtual window without any display, so every placement rule behaves the same.
//
// UI thread only (the thread that called GameWindowInit).
#include <cstdint>
#include <string>

#include "platform/messages.h"

struct QcRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

// Starts the window system (video and joysticks), or the virtual window when headless. false with
// the reason when the window system cannot start, also when there is no display to show the window
// on: without DISPLAY and WAYLAND_DISPLAY the window system would fall back to a driver that shows
// nothing, unless the user chose one through SDL_VIDEODRIVER. Ctrl-C and SIGTERM stay the program's
// (platform/stop_signals.h), not the window system's quit events.
bool GameWindowInit(bool headless, std::string* why = nullptr);
void GameWindowShutdown();
bool GameWindowHeadless();

// Creates the (hidden) window with the given client size at (x, y). Window-system events are posted
// to `target` as window messages. false when it cannot be created.
bool GameWindowCreate(HWND target, int x, int y, int clientWidth, int clientHeight);
void GameWindowDestroy();
bool GameWindowExists();

void GameWindowSetTitle(const char* cp932Title);
void GameWindowShow();
void GameWindowSetFullscreen(bool fullscreen);
bool GameWindowIsFullscreen();
// A frame the player can drag to another size (only a Direct3D window in window mode 2 has one).
void GameWindowSetSizable(bool sizable);
bool GameWindowIsSizable();
bool GameWindowIsMaximized();
bool GameWindowIsMinimized();
void GameWindowRestore();
void GameWindowMaximize();

// Outer window rectangle in desktop coordinates (its top-left is where the window stands).
QcRect GameWindowRect();
// Client area size.
void GameWindowClientSize(int* width, int* height);
// Moves the window so that its outer top-left is (x, y) and its client area has the given size.
void GameWindowPlace(int x, int y, int clientWidth, int clientHeight);
void GameWindowMove(int x, int y);
void GameWindowCentre();

// The usable area of the desktop (without panels) and the whole desktop.
QcRect DesktopWorkArea();
QcRect DesktopBounds();
// Bits per pixel of the desktop. A 24-bit desktop stores pixels in 32 bits and counts as 32.
int DesktopBitsPerPixel();

// Handles pending window-system events: close box, focus, keys (into the keyboard snapshot and as
// WM_KEYDOWN / WM_KEYUP), mouse buttons, moves and resizes, joystick arrival and removal; then
// refreshes the joystick readings.
void PumpWindowEvents();
// A key pressed or released outside the window system (a scripted run): posted to the window's
// target as WM_KEYDOWN / WM_KEYUP, as a real key press is. Nothing without a window.
void GameWindowPostKey(int vk, bool down);
// Puts the newest frame of the frame mailbox on screen when it is newer than the one shown.
void ShowLatestFrame();

// Alt+1 .. Alt+count choose a zoom as the system-menu zoom entries would: they arrive as
// WM_SYSCOMMAND with the zoom in wParam. Only the sizes offered (count at most 9; 0, the start, offers
// none) are keys: any other Alt+digit is an ordinary key press.
void SetZoomKeyCount(int count);
int ZoomKeyCount();
