// The shell's long-lived objects, defined here in the order they are built before the program's
// entry runs (and so destroyed in the reverse order after it returns). Building only makes empty
// objects and records with their defaults; start-up loads them. The objects of the lower layers
// (threads, surfaces, fonts, sound slots, music, game data) are built by their own layers, each as
// empty as these; none of them needs another one to exist while it is built or destroyed.
#include "shell/app_globals.h"

#include <vector>

#include "shell/boot_data.h"
#include "shell/input_state.h"
#include "shell/list_positions.h"
#include "shell/main_window.h"
#include "shell/menu_cursor.h"

cMainWindow g_MainWindow;
cMenuCursor g_MenuCursor;                   // one zeroed entry
std::vector<cInputState> g_InputStates(1);  // player 1
cFreeData g_FreeData;                       // "user_data\Free.dat"
cReplayData g_ReplayData;                   // "user_data\Replay.dat"
std::string g_TestPlayPath;                 // empty until the command line names a stage
cBootData g_BootData;                       // Direct3D, asking

int g_TestPlay = 0;
std::atomic<int> g_GameStarted{0};
int g_Windowed = 1;
int g_ColourDepth = 32;
int g_BltPresent = 0;
int g_DirectPlay = 0;
int g_ReturnToTitle = 0;
std::atomic<int> g_bCloseConfirmed{0};
