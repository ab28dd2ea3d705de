#pragma once
// Millisecond stopwatch, frame timer, frames-per-second counter and the two frame-pacing rules, all on
// the program's clock (platform/clock.h). Times are u32 milliseconds; differences are taken unsigned
// so they survive the counter's wrap. Each value starts at its first use.
#include <cstdint>

// The stopwatch (StartStopwatch and StartFrameTimer share it).
uint32_t StartStopwatch();
// Milliseconds since the start; with restart, the stopwatch starts again now.
uint32_t GetStopwatchTime(bool restart);
// Starts the stopwatch at the beginning of a frame's processing.
uint32_t StartFrameTimer();
// With measure: milliseconds since the start, remembered and returned; without: the remembered value.
uint32_t StopFrameTimer(bool measure);

// Every-n-calls counter: mode 0 resets it (returns 0); mode 2 returns 1 while it is 0; any other mode
// counts one call and returns 1 (starting again) when n calls have been counted.
int CountInterval(int mode, int n);

// Frames per second. With count, this frame is counted; once the window has lasted more than 999 ms
// the frames counted in it are published, a new window starts and the closing frame is not counted.
// Returns the last published value (0 during the first window).
int CountFps(bool count);

// DirectDraw rule: true when the next frame may start; it is due 1000 / fps ms (whole ms) after the
// previous one started, and a late frame does not make the next one earlier. fps 0: always true.
bool CheckFrameInterval(int fps);

// Direct3D rule (vertical sync off): true when the frame may be shown. Frame n of each one-second
// window is due at the window's start + n x (1000 / fps) ms; after fps frames a new window starts.
// With show and a surface, averages of the frame time and of the published rate (over 16 frames)
// are drawn on the surface through the overlay hook. No device or fps 0: always true.
bool CheckFramePace(int fps, bool show, void* surface);

// What CheckFramePace asks of the graphics layer, which installs it when it creates the display
// (before the game thread runs).
struct cFramePaceHooks {
  // Whether a Direct3D device exists; without the hook the device counts as present.
  bool (*hasDevice)() = nullptr;
  // Draws the overlay text with the bitmap-font sheet `surface`; without the hook nothing is drawn.
  void (*drawOverlay)(void* surface, const char* text) = nullptr;
};
// Installs the hooks; returns the ones they replace.
cFramePaceHooks SetFramePaceHooks(const cFramePaceHooks& hooks);

// Returns every timer to its first-use state (a new run of the frame loop, tests).
void ResetFrameTiming();
