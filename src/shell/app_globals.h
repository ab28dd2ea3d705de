#pragma once
// Process-wide values of the program's start and shutdown, written on the user-interface thread
// during start-up and read later by the other threads.
#include <atomic>
#include <string>

extern int g_TestPlay;                  // 1: started by the editor for a test play
extern std::string g_TestPlayPath;      // the test play's command line, verbatim
extern std::atomic<int> g_GameStarted;  // set just before the game thread starts
extern int g_Windowed;                  // 1 in a window, 0 full screen
extern int g_ColourDepth;               // 8, 16 or 32
extern int g_BltPresent;                // DirectDraw full screen: present by a blit (1) or a flip (0)
extern int g_DirectPlay;                // start-up went straight into a stage
extern int g_ReturnToTitle;             // a directly started stage returns to the title at its end

// Set when closing must not ask the quit question any more: it was answered Yes once, or the close
// comes from the end of a scripted run or from a second start.
extern std::atomic<int> g_bCloseConfirmed;
