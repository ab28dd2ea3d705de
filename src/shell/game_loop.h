#pragma once
// The game thread's loop and the steps of one frame.
#include <cstdint>

// thGame's procedure: one frame per pass while the application is active, until WM_QUIT.
unsigned GameLoop(void* arg);

// DirectDraw pacing: waits (1-ms sleeps) until the frame interval allows the next frame.
void WaitFrameTiming();

// Starts counting frames anew (a run's start): stops running frames after `frames` frames and
// closes the window through its normal close path without the quit question (0: no limit).
void SetFrameLimit(uint64_t frames);
bool FrameLimitReached();
// Frames whose input was polled since start (the input script counts in these).
uint64_t PolledFrames();
// Counts a polled frame: applies the input script for it and closes at the frame limit. Called by
// every frame loop's input step.
void NoteInputFrame();

// What the frame step draws with, installed with the fonts at start-up (before the game thread runs)
// and taken away with them at shutdown (after it has ended).
struct cFrameStepHooks {
  // Draws the frames-per-second text: mode 2 plain text of font 0, any other mode boxed text of font
  // 1. Without the hook (no fonts) nothing is drawn.
  void (*drawFpsText)(int mode, const char* text, int x, int y) = nullptr;
};
// Installs the hooks; returns the ones they replace.
cFrameStepHooks SetFrameStepHooks(const cFrameStepHooks& hooks);
