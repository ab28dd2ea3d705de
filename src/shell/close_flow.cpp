#include "shell/close_flow.h"

#include "core/log.h"
#include "platform/message_box.h"
#include "platform/window/game_window.h"
#include "shell/app_globals.h"
#include "shell/scene_mgr.h"
#include "shell/system_ini.h"
#include "shell/window_data.h"

bool CloseAsksQuestion(const cCloseState& s) {
  return !s.directPlay && !s.testPlay && s.windowed && s.currentScene != kSceneTitle && !s.quit && !s.closeConfirmed;
}

bool CloseSavesPlacement(const cCloseState& s) {
  return s.windowMode != 0 && s.gameStarted && !s.quit && !s.minimized && !s.headless;
}

cCloseState CurrentCloseState() {
  cCloseState s;
  s.directPlay = g_DirectPlay;
  s.testPlay = g_TestPlay;
  s.windowed = g_Windowed;
  s.currentScene = g_SceneMgr.m_nScene.load();
  s.quit = g_bQuit.load();
  s.closeConfirmed = g_bCloseConfirmed.load();
  s.windowMode = g_IniSettings.WindowMode;
  s.gameStarted = g_GameStarted.load();
  s.minimized = GameWindowIsMinimized() ? 1 : 0;
  s.headless = GameWindowHeadless() ? 1 : 0;
  return s;
}

void SaveWindowPlacement() {
  cWindowData data;
  QcRect r = GameWindowRect();
  int w = 0, h = 0;
  GameWindowClientSize(&w, &h);
  data.m_nX = r.left;
  data.m_nY = r.top;
  data.m_nWidth = w;
  data.m_nHeight = h;
  data.m_bZoomed = GameWindowIsMaximized() ? 1 : 0;
  data.SaveFile(kWindowDataPath);
}

bool ConfirmQuit(int english) {
  if (english) return AppMesBox("Would you like to quit?\n", "End confirmation", MB_YESNO) == IDYES;
  return AppMesBox("終了しますか？\n", "終了確認", MB_YESNO) == IDYES;
}
