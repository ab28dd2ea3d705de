#pragma once
// The main window: its message procedure turns the game thread's requests into dialogs, sound
// effects, music and device restores on the user-interface thread, and handles closing, activation
// and the window's zoom.
#include <atomic>
#include <cstdint>
#include <string>

#include "platform/messages.h"

class cBootData;

// Requests to the main window (sent, so the sender waits for the handler).
constexpr uint32_t kMsgNameEntry = WM_USER + 1;
constexpr uint32_t kMsgStageFileDialog = WM_USER + 2;
constexpr uint32_t kMsgReplayFileDialog = WM_USER + 3;
constexpr uint32_t kMsgReplaySaveFileDialog = WM_USER + 4;
constexpr uint32_t kMsgPlaySound = WM_USER + 5;
constexpr uint32_t kMsgPlayBgm = WM_USER + 6;
constexpr uint32_t kMsgReplaySaveDialog = WM_USER + 9;
constexpr uint32_t kMsgRestoreDevice = WM_USER + 100;

constexpr uint32_t SC_SCREENSAVE = 0xF140;
constexpr uint32_t SC_MONITORPOWER = 0xF170;

// The request and done flags between the game thread and the user-interface thread.
extern std::atomic<int> g_nStageFileRequest;
extern std::atomic<int> g_nReplayFileRequest;
extern std::atomic<int> g_nReplaySaveRequest;
extern std::atomic<int> g_nWhichPlay;
extern std::atomic<int> g_nDialogResult;
extern std::atomic<int> g_nDialogDone;
extern std::atomic<int> g_nNameEntryDone;
extern std::atomic<int> g_nReplaySaveDone;
// wParam of the last WM_ACTIVATEAPP: frames run only while it is non-zero.
extern std::atomic<int> g_AppActive;

// The main window object.
class cMainWindow {
 public:
  HWND m_hWnd = nullptr;
  bool m_bInUse = false;
  bool m_bCreated = false;
  bool m_bZoomMenuAdded = false;
};
extern cMainWindow g_MainWindow;

LRESULT MainWndProc(HWND hwnd, uint32_t msg, WPARAM wParam, LPARAM lParam);

// The idle step of the user-interface loop: turns one raised file-dialog request into its message.
int ServiceUiRequests();

// Game-thread side of a file-dialog request: done is cleared before the request is raised, then
// polled (1-ms sleeps) until the handler sets it. Returns the dialog result (non-zero: a file was
// chosen). flag is one of the three request flags.
int RequestFileDialog(std::atomic<int>& flag, int whichPlay = 0);

// Zoom of the window: client 640x480 times n.
int MaxZoom();
int CurrentZoom();
void ZoomWindow(int n);
void ZoomMax();

// What the dialog and replay handlers call; installed at start-up (before the game thread runs) by the
// owners of the dialogs, the stage start and the replays. Without them a dialog counts as cancelled
// and a follow-up as failed.
struct cUiHooks {
  // The start-up dialog: asks for the drawing mode (boot.m_nDrawMode 1 Direct3D, 0 DirectDraw) and
  // whether to ask again (boot.m_bNoAsk), with "user_data\Boot.dat" saved on "start". 1: start (the
  // choice is in boot); anything else: the player chose not to start, or the dialog could not be
  // made (its message shown), and start-up ends without a further message. Runs on the user-interface
  // thread before the graphics device exists. Without it the stored choice stands, as if the dialog
  // had been confirmed unchanged.
  int (*runStartupDialog)(cBootData& boot) = nullptr;
  void (*runNameDialog)() = nullptr;
  // mode 0 stage file, 1 replay file, 2 replay save; proposed is the suggested name. true when chosen.
  bool (*runFileDialog)(int mode, const std::string& proposed, std::string& chosen) = nullptr;
  // whichPlay 0 this play, 1 the previous play; true with the chosen path in name (empty: a name
  // could not be built).
  bool (*runReplaySaveDialog)(int whichPlay, std::string& name) = nullptr;
  bool (*startStageFromFile)(const std::string& path) = nullptr;
  // The start-up's direct start of the "FreeStage" or test-play stage (empty: none; stage play may
  // still start a replay named on the command line); false when a start was asked for and failed.
  bool (*startStageDirectly)(const std::string& path) = nullptr;
  bool (*loadReplayFile)(const std::string& path) = nullptr;
  bool (*makeReplayFileName)(int whichPlay, std::string& name) = nullptr;
  bool (*saveReplay)(int whichPlay, const std::string& name) = nullptr;
  // Sets the abort flag of the stage scene's modal wait.
  void (*abortStageWait)() = nullptr;
  // Stores the stage's music number in the progress (situation 6) and gives its music option.
  void (*setProgressMusic)(int number) = nullptr;
  int (*progressMusicOption)() = nullptr;
};
// Installs the hooks; returns the ones they replace.
cUiHooks SetUiHooks(const cUiHooks& hooks);
// The hooks installed now.
const cUiHooks& UiHooks();
