#include "shell/win_main.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/log.h"
#include "data/game_data.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/instance/single_instance.h"
#include "platform/message_box.h"
#include "platform/stop_signals.h"
#include "platform/window/game_window.h"
#include "shell/app_globals.h"
#include "shell/app_init.h"
#include "shell/command_line.h"
#include "shell/editor_notice.h"
#include "shell/environment_report.h"
#include "shell/main_window.h"
#include "shell/workers.h"

namespace {
// The double start: true when this start may go on (it holds the lock), false when it ends.
bool secureSingleInstance() {
  eInstanceLock lock = AcquireInstanceLock();
  if (lock == eInstanceLock::Acquired) return true;
  if (lock == eInstanceLock::Failed) {
    // Without a lock file (a read-only folder) nothing can be shared either: start as the only one.
    ReportLogPuts("instance lock unavailable");
    return true;
  }
  int answer = AppMesBox(
      "既に起動しています。\n実行中のプログラムを閉じて再起動しますか？\n\nWould you like to restart the game?",
      "二重起動", MB_YESNO);
  if (answer != IDYES) return false;
  // The running instance closes through its own close path; nothing is ever killed. If it is still
  // running after the wait, this start ends instead of running beside it.
  if (RequestRunningInstanceClose() && WaitForInstanceLock(500)) return true;
  AppMesBox("プログラムの終了に失敗しました。", "二重起動", MB_OK);
  return false;
}

// One pass of the user-interface loop's idle part: window-system events, a close asked for by a
// second start or by Ctrl-C or SIGTERM (without the quit question), the newest frame.
void pumpWindowSystem(HWND window) {
  PumpWindowEvents();
  if (InstanceCloseRequested() || TakeStopSignal()) {
    g_bCloseConfirmed.store(1);
    PostMessage(window, WM_CLOSE, 0, 0);
  }
  ShowLatestFrame();
}

int runMessageLoop(HWND window) {
  for (;;) {
    pumpWindowSystem(window);
    MSG msg;
    if (PeekMessage(&msg, true)) {
      if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
      DispatchMessage(&msg);
    } else if (!g_AppActive.load()) {
      WaitMessage(10);
    } else {
      ServiceUiRequests();
    }
    // The 1-ms pause of each pass, in real time: the user-interface thread never moves the virtual
    // clock, which belongs to the frame loop.
    WaitMessage(1);
  }
}

// A start that fails once the window is up: the application shuts down, a waiting editor hears
// that the test play ended, and the windows and the single-instance lock are given back.
void abandonStart(HWND window) {
  AppExit();
  if (g_TestPlay) NotifyEditorEnd(0);
  GameWindowDestroy();
  DestroyMessageWindow(window);
  g_hMainWnd.store(nullptr);
  ReleaseInstanceLock();
}
}  // namespace

int WinMain(const char* cmdLine, int showCmd) {
  ECLogInit(0, "EC_Game.txt");
  // The log beside the game, at the folder's path on this system: a folder name without a Shift-JIS
  // form still has its log.
  const std::string reportPath = AbsoluteHostPath(ResolvePath("Report_Game.txt"));
  if (!ReportLogInit(reportPath.c_str())) {
    // Nothing could be reported or saved here; say so instead of ending in silence.
    std::fprintf(stderr, "qc4: cannot write the report log %s (%s)\n", reportPath.c_str(), std::strerror(errno));
    return kExitCannotRun;
  }
  ReportLogPrintf("App : ver %s", "986");
  ReportEnvironment();

  if (showCmd == SW_SHOW) {
    g_TestPlay = 1;
    if (cmdLine && *cmdLine) g_TestPlayPath = cmdLine;
  } else {
    g_TestPlay = 0;
  }
  // The game's data keeps the flows meant for test plays only in a test play.
  g_GameData.m_bTestPlay = g_TestPlay;

  if (!secureSingleInstance()) return 0;

  HWND window = CreateMessageWindow(MainWndProc, &g_MainWindow);
  g_MainWindow.m_hWnd = window;
  if (!window || !GameWindowCreate(window, 100, 100, 640, 480)) {
    ErrorBox("ウインドウが生成出来ません！");
    if (window) DestroyMessageWindow(window);
    ReleaseInstanceLock();
    return 0;
  }
  MainWndProc(window, WM_CREATE, 0, 0);
  GameWindowCentre();
  if (g_TestPlay) NotifyEditorStart();

  if (!AppInit(cmdLine, showCmd)) {
    abandonStart(window);
    return 0;
  }

  g_GameStarted.store(1);
  if (!StartGameThread()) {
    LogErrorBoxf("ゲームスレッドを開始できません！");
    abandonStart(window);
    return 0;
  }
  int code = runMessageLoop(window);
  AppExit();
  ReleaseInstanceLock();
  return code;
}
