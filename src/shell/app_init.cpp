// The start-up sequence, in its order: data version, data folder, working folders, database, project
// settings, "System.ini", the test-play stage, timing and input defaults, display mode, graphics
// device, window placement, palette and transparent colour, system pictures, fonts, the key table,
// the player's options, music, sound effects, world map and common palette. The release at exit
// mirrors it.
#include "shell/app_init.h"

#include <algorithm>
#include <cstring>

#include "core/log.h"
#include "core/numbers.h"
#include "core/read_fault.h"
#include "core/record.h"
#include "core/timing.h"
#include "data/anim_scripts.h"
#include "data/database.h"
#include "data/fixed_tables.h"
#include "data/game_data.h"
#include "data/option_data.h"
#include "data/palette.h"
#include "data/system_data.h"
#include "data/world_map.h"
#include "media/graphics/display.h"
#include "media/graphics/surface_table.h"
#include "media/sound/bgm_player.h"
#include "media/sound/music_requests.h"
#include "media/sound/sound_effects.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/font/font_faces.h"
#include "platform/window/game_window.h"
#include "shell/app_globals.h"
#include "shell/input_state.h"
#include "shell/joystick_detect.h"
#include "shell/key_config.h"
#include "shell/main_window.h"
#include "shell/scene_mgr.h"
#include "shell/startup_media.h"
#include "shell/system_ini.h"
#include "shell/window_data.h"
#include "shell/workers.h"

namespace {
const char* const kFolders[] = {"user_data",
                                "user_data\\story",
                                "user_data\\challenge",
                                "user_data\\free",
                                "user_data\\rpl4",
                                "data",
                                "data\\database",
                                "data\\stg4",
                                "data\\stg4\\old_ver",
                                "data\\work",
                                "data\\plt4",
                                "bmp",
                                "bmp\\back",
                                "bmp\\chara_sp",
                                "bmp\\effect",
                                "bmp\\picture",
                                "bmp\\sword",
                                "bmp\\convert",
                                "bmp\\plt",
                                "bmp\\hbt",
                                "wave",
                                "bgm"};

void applyReplayOnOverride() {
  if (!g_IniSettings.Replay_On.bPresent) return;
  int on = g_IniSettings.Replay_On.nValue ? 1 : 0;
  g_SystemData.m_bReplayOn = on;
  g_SystemData.m_bReplayKeys = on;
  if (g_SystemData.m_aTitleMenu.size() > 4) g_SystemData.m_aTitleMenu[4].m_bEnabled = on;
  if (on) g_SystemData.m_bFileDialogs = 0;
}

// Window mode, vertical sync and colour depth; false (with its message) for a mode that cannot run.
bool resolveDisplayMode() {
  INISETTINGS& s = g_IniSettings;
  const bool d3d = s.Direct3D != 0;
  if (d3d) {
    g_Windowed = s.WindowMode != 0;
    if (s.VSync >= 2) s.VSync = 1;
  } else if (s.WindowMode != 0) {
    g_Windowed = 1;
    s.VSync = 0;
  } else {
    g_Windowed = 0;
    if (s.VSync >= 2) s.VSync = 0;
  }
  const bool ownColour = ProjectHasOwnTransparentColour();
  if (s.Bpp == 0) {
    if (g_Windowed) {
      s.Bpp = DesktopBitsPerPixel();
    } else {
      int v = d3d ? g_SystemData.m_nDisplayOpt670b : g_SystemData.m_nDisplayOpt670a;
      s.Bpp = v == 1 ? 16 : (v == 2 && !d3d && !ownColour) ? 8 : 32;
    }
  }
  g_ColourDepth = s.Bpp;
  bool valid = s.Bpp == 16 || s.Bpp == 32 || (!d3d && !ownColour && s.Bpp == 8 && !g_Windowed);
  if (valid && g_Windowed && s.Bpp != DesktopBitsPerPixel()) valid = false;
  if (!valid) {
    if (g_Windowed && (s.Bpp == 16 || s.Bpp == 32))
      ErrorBoxf("画面モードが不正です！\nウインドウモードではSystem.iniの設定と画面の色の設定を合わせて下さい！");
    else
      ErrorBoxf("画面モードが不正です！\nSystem.iniと画面の設定を見直して下さい！");
    return false;
  }
  return true;
}

// Sound slots 0-16 from the project's system sounds, 16 + k from database sound k; a missing sound
// device is only reported. Headless runs have no device and mix on demand.
void startSound(HWND window) { InitSoundEffects(window, g_OptionData.m_nSeVolume); }

// The player's options, then the "System.ini" replay keys over them. A missing, unreadable or too new
// file leaves the defaults: the player only loses the settings, never the start.
void loadPlayerOptions() {
  g_OptionData.LoadFile(kOptionDataPath);
  auto key = [](const INIREPLAYKEY& k) { return cOptionOverride{k.bPresent, k.nValue}; };
  ApplyReplayOptionOverrides(g_OptionData, g_SystemData.m_aOptionMenu, key(g_IniSettings.Replay_AutomaticSave),
                             key(g_IniSettings.Replay_PlaybackOrder),
                             key(g_IniSettings.Replay_AutomaticMessageProgress));
  SetBgmVolumeStep(g_OptionData.m_nBgmVolume);
  cInputHooks input;
  input.padDetectionOption = [] { return static_cast<int>(g_OptionData.m_nGamepad); };
  SetInputHooks(input);
}

// A required record of the game folder; false (with its message) when it cannot be loaded.
bool loadRequired(cRecord& record, const char* path) {
  if (record.LoadFile(path)) return true;
  LogErrorBoxf("%s のロードに失敗！", path);
  ReportReadFault(path, LastReadFault());
  return false;
}

void placeWindow() {
  if (!g_Windowed) return;
  cWindowData data;
  if (data.LoadFile(kWindowDataPath)) {
    QcRect work = DesktopWorkArea();
    data.ClampToWorkArea(work.left, work.top, work.right, work.bottom);
    int w = 0, h = 0;
    GameWindowClientSize(&w, &h);
    const bool fits = data.SizeFitsWorkArea(work.Width(), work.Height());
    if (g_IniSettings.WindowMode == 1) {
      if (fits && data.m_nWidth > 0 && data.m_nHeight > 0 && data.m_nWidth % 640 == 0 && data.m_nHeight % 480 == 0)
        GameWindowPlace(data.m_nX, data.m_nY, data.m_nWidth, data.m_nHeight);
      else
        ZoomMax();
    } else if (g_IniSettings.WindowMode == 2) {
      const int width = std::clamp(data.m_nWidth, 100, std::max(640, work.Width()));
      const int height = std::clamp(data.m_nHeight, 100, std::max(480, work.Height()));
      GameWindowPlace(data.m_nX, data.m_nY, width, height);
    } else {
      GameWindowMove(data.m_nX, data.m_nY);
    }
    if (data.m_bZoomed) GameWindowMaximize();
  } else {
    ZoomMax();
  }
}
}  // namespace

bool AppInit(const char* /*cmdLine*/, int /*showCmd*/) {
  // The installed fonts are looked up while the data loads; the fonts are made further down.
  PrepareFontFaces();
  QcSrand(timeGetTime());
  g_nDataVersion = kDataVersion;
  g_bFileTooNew = 0;
  // The table of the set-parameter-from-variable feature arrives with the flows.
  if (!EnsureDataFolder()) {
    LogErrorBoxf("「data」フォルダの作成に失敗…\n「default」フォルダに問題がある可能性があります。");
    return false;
  }
  for (const char* folder : kFolders) CreateFolder(folder);
  GetStopwatchTime(true);
  if (!g_Database.LoadDatabase()) {
    LogErrorBoxf("データベースの読み込みに失敗…");
    return false;
  }
  BuildDatabaseRuntime();
  if (!g_SystemData.LoadFile("data\\System.dat")) {
    LogErrorBoxf("%s の読み込みに失敗…", "data\\System.dat");
    ReportReadFault("data\\System.dat", LastReadFault());
    return false;
  }
  LoadSystemIni();
  applyReplayOnOverride();
  // The drawing-mode question needs the start-up dialog; until it exists the stored choice holds.
  if (g_IniSettings.Direct3D >= 2) g_IniSettings.Direct3D = 0;
  if (g_TestPlay) {
    if (!g_TestPlayPath.empty()) {
      std::strncpy(g_IniSettings.FreeStage, g_TestPlayPath.c_str(), kFreeStageSize - 1);
      g_IniSettings.FreeStage[kFreeStageSize - 1] = '\0';
    }
  }
  g_SceneMgr.m_nFrameRate = 60;
  g_SceneMgr.m_nFadeStep = 10;
  for (auto& r : g_InputStates) r.SetKeyRepeat(18, 6);
  if (!resolveDisplayMode()) return false;

  HWND window = g_MainWindow.m_hWnd;
  g_hMainWnd.store(window);
  GameWindowSetTitle(g_SystemData.m_strTitle.c_str());
  GetStopwatchTime(true);
  if (g_ColourDepth == 8) g_IniSettings.DD_VideoStretch = 0;
  const int vsync = g_IniSettings.VSync != 0;
  if (!DDInit(g_IniSettings.Direct3D, window, 640, 480, g_ColourDepth, vsync, g_Windowed, 1, 60, vsync, g_SurfaceData,
              g_SurfaceInfo, kSurfaceTableSize, 0)) {
    if (g_IniSettings.Direct3D) {
      DDRelease();
      g_IniSettings.Direct3D = 0;
      if (!DDInit(0, window, 640, 480, g_ColourDepth, vsync, g_Windowed, 1, 60, vsync, g_SurfaceData, g_SurfaceInfo,
                  kSurfaceTableSize, 0)) {
        ECLogPuts("DDInit失敗");
        return false;
      }
    } else {
      ECLogPuts("DDInit失敗");
      return false;
    }
  }
  if (lpDTCon) {
    lpDTCon->strTextureError = kTextureFailureText;
    LinkMirrorSurfaces();
  }
  if (g_Windowed) placeWindow();
  GameWindowSetFullscreen(!g_Windowed);
  GameWindowShow();
  // The display report of the environment report arrives with its owner.
  ECLogPuts("DDInit成功");

  if (!SetUpPaletteAndTransparentColour()) return false;
  g_BltPresent = lpDTCon ? 0 : ChooseBltPresent(g_Windowed, vsync, g_SceneMgr.m_nFrameRate);
  if (!LoadSystemSurfaces()) return false;
  if (!SetUpFonts()) return false;

  for (auto& r : g_InputStates) r.SetPadButtonMap();
  if (!LoadKeyConfig("user_data\\KeyConfig.dat")) SetDefaultKeyConfig();
  // The list positions of the free-play and replay lists arrive with those lists.
  loadPlayerOptions();
  // The 8-bit blend table of the player's palette option (LoadHbtPalette) waits for the demo game
  // to carry the tables: without them every 8-bit start would end here.

  if (!g_Windowed) g_IniSettings.Midi_DirectMusic = 0;
  // Headless runs have no sound device: music and effects are mixed only when pulled.
  if (GameWindowHeadless()) DS_InitPullOnly();
  InitMusic(g_Windowed, g_IniSettings.Midi_DirectMusic);
  startSound(window);

  if (!loadRequired(g_WorldMap, "data\\WorldMap.dat")) return false;
  if (!loadRequired(g_CommonPalette, "data\\CommonPalette.cplt4")) return false;
  g_SaveData.ResetProgress(ProjectChallengeCount());
  // Direct start of the FreeStage or test-play stage. A stage that does not load has shown its
  // message; the game then starts at the title instead of ending.
  if (UiHooks().startStageDirectly && !UiHooks().startStageDirectly(g_IniSettings.FreeStage))
    g_IniSettings.FreeStage[0] = '\0';
  return true;
}

void AppExit() {
  // Nothing the worker threads use is released while one of them runs. The close of the window has
  // stopped them already; a run that ended another way stops them here (each waits until it ends).
  ExitWorkers();
  // The list positions are saved with the player files, when they arrive.
  DS_Release();
  g_BgmPlayer.ReleaseBgm();
  g_SceneMgr.DestroyAllScenes();
  ReleaseFonts();
  // The graphics device goes last; it releases the game's surface table with it. Also after a
  // start-up that failed half-way.
  if (g_Windowed)
    DDEnd();
  else
    DDRelease();
}
