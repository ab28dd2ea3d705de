#include "shell/main_window.h"

#include <algorithm>
#include <utility>

#include "core/containers.h"
#include "core/log.h"
#include "media/graphics/display.h"
#include "media/graphics/recovery.h"
#include "media/sound/bgm_player.h"
#include "media/sound/music_requests.h"
#include "media/sound/sound_effects.h"
#include "platform/clock.h"
#include "platform/editor_link.h"
#include "platform/window/game_window.h"
#include "shell/app_globals.h"
#include "shell/close_flow.h"
#include "shell/editor_notice.h"
#include "shell/scene_mgr.h"
#include "shell/system_ini.h"
#include "shell/workers.h"

std::atomic<int> g_nStageFileRequest{0};
std::atomic<int> g_nReplayFileRequest{0};
std::atomic<int> g_nReplaySaveRequest{0};
std::atomic<int> g_nWhichPlay{0};
std::atomic<int> g_nDialogResult{0};
std::atomic<int> g_nDialogDone{0};
std::atomic<int> g_nNameEntryDone{0};
std::atomic<int> g_nReplaySaveDone{0};
std::atomic<int> g_AppActive{0};

namespace {
// Set while a close stops the worker threads (user-interface thread only writes it). Their requests
// are still answered, but none opens a dialog, and a file-dialog request waits no longer.
std::atomic<bool> g_bClosing{false};
cUiHooks g_uiHooks;

void stopBgm() { g_BgmPlayer.StopBgm(); }

// The quit question: every worker suspended while it is open, so that no frame runs under it.
template <class F>
auto runModal(F&& dialog) {
  SuspendWorkers();
  auto result = dialog();
  ResumeWorkers();
  return result;
}

// A dialog of the game's requests: besides the suspended workers, a full-screen display goes into
// dialog mode around it (in this order, and back in the same order).
template <class F>
auto runDialog(F&& dialog) {
  if (g_bClosing.load()) return decltype(dialog()){};  // answered as cancelled
  DDSetDialogBoxMode(1);
  SuspendWorkers();
  auto result = dialog();
  DDSetDialogBoxMode(0);
  ResumeWorkers();
  return result;
}

void fatalFollowUp() {
  g_bQuit.store(1);
  PostMessage(g_hMainWnd.load(), WM_CLOSE, 0, 0);
}

void handleFileDialog(int mode, WPARAM which) {
  std::string proposed;
  if (mode == 2) {
    if (!g_uiHooks.makeReplayFileName || !g_uiHooks.makeReplayFileName(static_cast<int>(which), proposed)) {
      // No name could be built: the request ends unanswered, and the waiting game thread goes on.
      g_nDialogResult.store(0);
      g_nDialogDone.store(1);
      return;
    }
  }
  std::string chosen;
  bool picked = runDialog([&] { return g_uiHooks.runFileDialog && g_uiHooks.runFileDialog(mode, proposed, chosen); });
  if (picked) {
    bool ok = false;
    if (mode == 0) ok = g_uiHooks.startStageFromFile && g_uiHooks.startStageFromFile(chosen);
    if (mode == 1) ok = g_uiHooks.loadReplayFile && g_uiHooks.loadReplayFile(chosen);
    if (mode == 2) ok = g_uiHooks.saveReplay && g_uiHooks.saveReplay(static_cast<int>(which), chosen);
    if (!ok) fatalFollowUp();
    g_nDialogResult.store(1);
  } else {
    g_nDialogResult.store(0);
  }
  g_nDialogDone.store(1);
}

LRESULT onClose(HWND hwnd) {
  // A close sent by a worker while this one waits for it to end: the first close finishes the job.
  if (g_bClosing.load()) return 0;
  cCloseState state = CurrentCloseState();
  if (CloseAsksQuestion(state)) {
    bool yes = runModal([] { return ConfirmQuit(g_IniSettings.English); });
    if (!yes) return 0;
    // Once confirmed, the close that completes after a modal wait does not ask again.
    g_bCloseConfirmed.store(1);
  }
  state = CurrentCloseState();
  if (CloseSavesPlacement(state)) SaveWindowPlacement();
  if (PauseThreadRunning()) {
    ECLogPuts("WM_CLOSE thPause.m_hThread");
    if (g_uiHooks.abortStageWait) g_uiHooks.abortStageWait();
    PostThreadMessage(PauseThreadId(), WM_QUIT, 0, 0);
    return 0;
  }
  ECLogPuts("WM_CLOSE 成功！");
  g_bClosing.store(true);
  stopBgm();
  // Waits until every worker has ended, answering what they send to this window meanwhile.
  ExitWorkers();
  // Destroying the window: WM_DESTROY first, then the handle goes away.
  MainWndProc(hwnd, WM_DESTROY, 0, 0);
  GameWindowDestroy();
  DestroyMessageWindow(hwnd);
  g_bClosing.store(false);
  return 0;
}

void onPlayBgm(WPARAM situation, LPARAM lParam) {
  int loop = 1;
  if (situation == kBgmSituationStage) {
    if (g_uiHooks.setProgressMusic) g_uiHooks.setProgressMusic(static_cast<int>(lParam));
    if (g_uiHooks.progressMusicOption) loop = g_uiHooks.progressMusicOption();
  }
  PlayBgmKind(situation, lParam, loop);
}
}  // namespace

LRESULT MainWndProc(HWND hwnd, uint32_t msg, WPARAM wParam, LPARAM lParam) {
  g_MainWindow.m_hWnd = hwnd;
  g_MainWindow.m_bInUse = true;
  if (!g_MainWindow.m_bZoomMenuAdded && lpDTCon && g_Windowed) {
    // The zoom choices of the system menu, one for each size that fits the desktop: Alt+1 .. Alt+n.
    g_MainWindow.m_bZoomMenuAdded = true;
    SetZoomKeyCount(MaxZoom());
  }
  switch (msg) {
    case WM_CREATE: g_MainWindow.m_bCreated = true; return 0;
    case WM_DESTROY:
      ECLogPuts("WM_DESTROY");
      g_MainWindow.m_hWnd = nullptr;
      g_hMainWnd.store(nullptr);
      if (g_TestPlay) NotifyEditorEnd(1);
      PostQuitMessage(0);
      return 0;
    case WM_MOVE:
    case WM_SIZE: return 0;
    case WM_CLOSE: return onClose(hwnd);
    case WM_ACTIVATEAPP:
      if (!g_AppActive.load() && wParam && lpDTCon && !g_Windowed)
        SendMessage(g_hMainWnd.load(), kMsgRestoreDevice, 0, 0);
      g_AppActive.store(wParam ? 1 : 0);
      return 0;
    case WM_KEYDOWN:
      if (wParam == 27) PostMessage(hwnd, WM_CLOSE, 0, 0);
      return 0;
    case WM_COMMAND:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN: return 0;
    case WM_SYSCOMMAND: {
      uint32_t cmd = static_cast<uint32_t>(wParam) & 0xFFF0;
      if (cmd == SC_SCREENSAVE || cmd == SC_MONITORPOWER) return 0;
      uint32_t n = static_cast<uint32_t>(wParam) & 0xFFFF;
      if (n >= 1 && n <= 20) {
        if (GameWindowIsMaximized()) GameWindowRestore();
        ZoomWindow(static_cast<int>(n));
        return 0;
      }
      return 0;
    }
    case WM_RBUTTONDOWN:
      if (!GameWindowIsFullscreen() && g_Windowed) {
        if (GameWindowIsMaximized()) GameWindowRestore();
        int n = CurrentZoom() + 1;
        if (n > MaxZoom()) n = 1;
        ZoomWindow(n);
      }
      return 0;
    case kMsgNameEntry:
      runDialog([] {
        if (g_uiHooks.runNameDialog) g_uiHooks.runNameDialog();
        return 0;
      });
      g_nNameEntryDone.store(1);
      return 0;
    case kMsgStageFileDialog: handleFileDialog(0, 0); return 0;
    case kMsgReplayFileDialog: handleFileDialog(1, 0); return 0;
    case kMsgReplaySaveFileDialog: handleFileDialog(2, wParam); return 0;
    case kMsgPlaySound: {
      // A bad slot is a range error (fatal stop) and plays slot 0.
      int32_t slot = wParam > 0x7FFFFFFF ? -1 : static_cast<int32_t>(wParam);
      DS_Play(VecAt(g_SoundSlots, slot), 0);
      return 0;
    }
    case kMsgPlayBgm: onPlayBgm(wParam, lParam); return 0;
    case kMsgReplaySaveDialog: {
      std::string name;
      bool named = runDialog([&] {
        return g_uiHooks.runReplaySaveDialog && g_uiHooks.runReplaySaveDialog(static_cast<int>(wParam), name);
      });
      if (named && !name.empty()) {
        if (!g_uiHooks.saveReplay || !g_uiHooks.saveReplay(static_cast<int>(wParam), name)) fatalFollowUp();
      }
      g_nReplaySaveDone.store(1);
      return 0;
    }
    case kMsgRestoreDevice: DDRestoreSurface(); return 0;
    default: return 0;
  }
}

cUiHooks SetUiHooks(const cUiHooks& hooks) { return std::exchange(g_uiHooks, hooks); }
const cUiHooks& UiHooks() { return g_uiHooks; }

int ServiceUiRequests() {
  HWND w = g_hMainWnd.load();
  if (g_nStageFileRequest.load()) {
    g_nStageFileRequest.store(0);
    SendMessage(w, kMsgStageFileDialog, 0, 0);
  } else if (g_nReplayFileRequest.load()) {
    g_nReplayFileRequest.store(0);
    SendMessage(w, kMsgReplayFileDialog, 0, 0);
  } else if (g_nReplaySaveRequest.load()) {
    g_nReplaySaveRequest.store(0);
    SendMessage(w, kMsgReplaySaveFileDialog, static_cast<WPARAM>(g_nWhichPlay.load()), 0);
  }
  return 1;
}

int RequestFileDialog(std::atomic<int>& flag, int whichPlay) {
  g_nWhichPlay.store(whichPlay);
  // Done is cleared before the request is raised, so a quick handler cannot have its done lost.
  g_nDialogDone.store(0);
  flag.store(1);
  while (!g_nDialogDone.load()) {
    // A window that closes meanwhile answers nothing: its close waits for this thread to end.
    if (g_bClosing.load() || !IsWindow(g_hMainWnd.load())) return 0;
    WaitRealTime(1);
  }
  return g_nDialogResult.load();
}

int MaxZoom() {
  QcRect work = DesktopWorkArea();
  return std::min(work.right / 640, work.bottom / 480);
}

int CurrentZoom() {
  int w = 0, h = 0;
  GameWindowClientSize(&w, &h);
  return std::min(w / 640, h / 480);
}

void ZoomWindow(int n) {
  if (n < 1) n = 1;
  QcRect work = DesktopWorkArea();
  QcRect window = GameWindowRect();
  int oldWidth = 0, oldHeight = 0;
  GameWindowClientSize(&oldWidth, &oldHeight);
  int width = n * 640, height = n * 480;
  int left = window.left + oldWidth / 2 - n * 320;
  if (left < 0)
    left = 0;
  else if (left + width > work.right)
    left = work.right - width;
  int top = window.top;
  if (top < 0)
    top = 0;
  else if (top + height > work.bottom)
    top = work.bottom - height;
  GameWindowPlace(left, top, width, height);
}

void ZoomMax() {
  SendMessage(g_hMainWnd.load(), WM_SYSCOMMAND, static_cast<WPARAM>(MaxZoom()), 0);
  GameWindowCentre();
}
