#pragma once
// Finding a joystick for player 1. Enumerating devices is slow, so it runs only when a pad was lost,
// on the first poll, or after 4 seconds of frames without a pad and without input.
#include <vector>

#include "platform/messages.h"

class cInputState;

// One detection step (the window is not used): counts the records with a pad, decides whether to look,
// and when it looks assigns the first answering joystick to record 0 with thresholds at a third of
// each axis range from its ends.
void DetectJoysticks(HWND window, int rate, std::vector<cInputState>& records);

// Forgets the detection state (the pad count of the last call and the idle countdown) and the flag
// that detection ran once; for tests and a fresh start.
void ResetJoystickDetection();

// The frame loop's input step: joystick detection when the pad option is on or it never ran (never
// in a stage's play loop), then the key table or the fixed layout into every record.
void PollInput(std::vector<cInputState>& records);

// What PollInput asks of the owner of the player's options (the menus), installed at start-up before
// the game thread runs. Whether a stage's play loop runs is read from the scene manager.
struct cInputHooks {
  // The player's pad-detection option (non-zero: look for a pad); without the hook it is on.
  int (*padDetectionOption)() = nullptr;
};
// Installs the hooks; returns the ones they replace.
cInputHooks SetInputHooks(const cInputHooks& hooks);
