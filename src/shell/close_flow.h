#pragma once
// The decisions of closing the main window, as a table over the program's state.

struct cCloseState {
  int directPlay = 0;      // g_DirectPlay
  int testPlay = 0;        // g_TestPlay
  int windowed = 1;        // g_Windowed
  int currentScene = 0;    // the scene manager's current id
  int quit = 0;            // the fatal-stop flag
  int closeConfirmed = 0;  // g_bCloseConfirmed
  int windowMode = 0;      // "System.ini" WindowMode
  int gameStarted = 0;     // g_GameStarted
  int minimized = 0;       // the window is minimised
  int headless = 0;        // a run without a window: nothing the player placed
};

// The quit question is asked only in a window, outside the title, outside a test play or direct
// start, not after a fatal stop, and not again once it was answered Yes.
bool CloseAsksQuestion(const cCloseState& s);
// The window placement is saved in the windowed modes once the game runs, not after a fatal stop,
// not from a minimised window and not from a headless run (its window stands on a made-up desktop).
bool CloseSavesPlacement(const cCloseState& s);

// The state of this run.
cCloseState CurrentCloseState();

// Saves the window placement to "user_data\Window.dat".
void SaveWindowPlacement();

// The quit question (English texts when `english` is set); true for Yes.
bool ConfirmQuit(int english);
