#include "shell/app_globals.h"

int g_TestPlay = 0;
std::string g_TestPlayPath;
std::atomic<int> g_GameStarted{0};
int g_Windowed = 1;
int g_ColourDepth = 32;
int g_BltPresent = 0;
int g_DirectPlay = 0;
int g_ReturnToTitle = 0;
std::atomic<int> g_bCloseConfirmed{0};
