// The start-up sequence, in its order: data version, data folder, working folders, database, project
// settings, "System.ini", the drawing-mode question, the test-play stage, timing and input defaults,
// display mode, graphics device, window placement, display report, palette and transparent colour,
// system pictures, fonts, the key table, the player's files, the 8-bit blend table, music, sound
// effects, world map and common palette, the progress reset and the direct start of a stage. The
// release at exit mirrors it.
#include "shell/app_init.h"

#include <algorithm>
#include <cstring>

#include "core/file_helpers.h"
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
#include "shell/boot_data.h"
#include "shell/environment_report.h"
#include "shell/input_state.h"
#include "shell/joystick_detect.h"
#include "shell/key_config.h"
#include "shell/list_positions.h"
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
  // Only a Direct3D window in window mode 2 gets a sizable frame; DirectDraw never does.
  GameWindowSetSizable(d3d && s.WindowMode == 2);
  return true;
}

// Sound slots 0-16 from the project's system sounds, 16 + k from database sound k; a missing sound
// device is only reported. Headless runs have no device and mix on demand.
void startSound(HWND window) { InitSoundEffects(window, g_OptionData.m_nSeVolume); }

// The player's files: the list positions and the options, then the "System.ini" replay keys over
// the options. A missing, unreadable or too new file leaves the defaults: the player only loses the
// settings, never the start.
void loadPlayerFiles() {
  g_FreeData.LoadFile(kFreeDataPath);
  g_ReplayData.LoadFile(kReplayDataPath);
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

// The project's switch that sends a directly started stage back to the title at its end (and keeps
// a test play without a stage at the title).
bool directStartReturnsToTitle() { return g_SystemData.m_nDisplayOpt880 != 0; }

// "System.ini" leaves the drawing mode open: the stored choice, asked for again unless the player
// said not to. false when the player chose not to start.
bool askDrawingMode() {
  // A missing or damaged file keeps the record as it was: Direct3D, asking.
  g_BootData.LoadFile(kBootDataPath);
  if (!g_BootData.m_bNoAsk) {
    const cUiHooks& ui = UiHooks();
    if (ui.runStartupDialog && ui.runStartupDialog(g_BootData) != 1) return false;
  }
  g_IniSettings.Direct3D = g_BootData.m_nDrawMode == 1 ? 1 : 0;
  return true;
}

// The test play's stage becomes the stage started directly; a test play without one starts at the
// title when directly started stages return there.
void takeTestPlayStage() {
  if (!g_TestPlay) return;
  if (g_TestPlayPath.size() >= static_cast<size_t>(kFreeStageSize)) {
    // The setting holds at most 259 bytes: a longer path names no stage the game can open, and the
    // game starts at its title.
    ReportLogPrintf("「%s」の読み込みに失敗しました！", g_TestPlayPath.c_str());
    g_IniSettings.FreeStage[0] = '\0';
  } else if (!g_TestPlayPath.empty()) {
    std::snprintf(g_IniSettings.FreeStage, kFreeStageSize, "%s", g_TestPlayPath.c_str());
  } else if (directStartReturnsToTitle()) {
    g_IniSettings.FreeStage[0] = '\0';
  }
}

// The direct start of the "FreeStage" or test-play stage, after everything else has loaded. A stage
// file that is not there is only reported and the game starts at its title; one that is there but
// does not load ends start-up (the loader has shown why).
bool startStageDirectly() {
  const cUiHooks& ui = UiHooks();
  std::string path = g_IniSettings.FreeStage;
  if (path.empty()) {
    // No stage: the run may still start a replay named on its command line.
    return !ui.startStageDirectly || ui.startStageDirectly(path);
  }
  std::string newest;
  if (FindLastNumberedFileStr(newest, path, "stg4")) path = newest;
  if (!FileExists(path)) {
    ReportLogPrintf("「%s」の読み込みに失敗しました！", path.c_str());
    g_IniSettings.FreeStage[0] = '\0';
    return !ui.startStageDirectly || ui.startStageDirectly("");
  }
  std::snprintf(g_IniSettings.FreeStage, kFreeStageSize, "%s", path.c_str());
  g_DirectPlay = 1;
  const bool backToTitle = directStartReturnsToTitle() && !g_TestPlay;
  if (backToTitle) g_ReturnToTitle = 1;
  if (!ui.startStageDirectly) return true;
  if (!ui.startStageDirectly(path)) return false;
  // A stage that goes back to the title at its end registers no rankings.
  g_RankingOn = backToTitle ? 0 : 1;
  return true;
}

// A required record of the game folder; false (with its message) when it cannot be loaded.
bool loadRequired(cRecord& record, const char* path) {
  if (record.LoadFile(path)) return true;
  LogErrorBoxf("%s のロードに失敗！", path);
  ReportReadFault(path, LastReadFault());
  return false;
}

void placeWindow() {
  cWindowData data;
  if (!data.LoadFile(kWindowDataPath)) {
    ZoomMax();
    return;
  }
  // The file is the player's, and may come from another desktop: the window stays reachable.
  const QcRect work = DesktopWorkArea();
  data.ClampToWorkArea(work.left, work.top, work.right, work.bottom);
  GameWindowMove(data.m_nX, data.m_nY);
  int width = 0, height = 0;
  if (data.ClientSizeFor(g_IniSettings.WindowMode, work.Width(), work.Height(), MaxZoom(), width, height))
    GameWindowPlace(data.m_nX, data.m_nY, width, height);
  else if (g_IniSettings.WindowMode == 1)
    ZoomMax();
  if (data.m_bZoomed) GameWindowMaximize();
}
}  // namespace

bool AppInit(const char* /*cmdLine*/, int /*showCmd*/) {
  // The installed fonts are looked up while the data loads; the fonts are made further down.
  PrepareFontFaces();
  // The system's timers already tick by the millisecond: only the random seed is needed here.
  QcSrand(timeGetTime());
  g_nDataVersion = kDataVersion;
  g_bFileTooNew = 0;
  // The table of the set-parameter-from-variable feature is built by stage play when it installs.
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
  if (g_IniSettings.Direct3D >= 2 && !askDrawingMode()) return false;
  takeTestPlayStage();
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
  auto startGraphics = [&](int direct3d) {
    return DDInit(direct3d, window, 640, 480, g_ColourDepth, vsync, g_Windowed, 1, 60, vsync, g_SurfaceData,
                  g_SurfaceInfo, kSurfaceTableSize, 0) != 0;
  };
  bool started = startGraphics(g_IniSettings.Direct3D);
  if (!started && g_IniSettings.Direct3D) {
    // Once with DirectDraw, keeping the depth, sync and window mode resolved for Direct3D.
    DDRelease();
    g_IniSettings.Direct3D = 0;
    GameWindowSetFullscreen(!g_Windowed);
    GameWindowShow();
    started = startGraphics(0);
  }
  if (!started) {
    ECLogPuts("DDInit失敗");
    return false;
  }
  if (lpDTCon) {
    lpDTCon->strTextureError = kTextureFailureText;
    LinkMirrorSurfaces();
  }
  if (g_Windowed) {
    placeWindow();
    // The presentation rectangle follows the window.
    if (!lpDTCon) SendMessage(window, WM_MOVE, 0, 0);
  }
  GameWindowSetFullscreen(!g_Windowed);
  GameWindowShow();
  ReportDisplay();
  ECLogPuts("DDInit成功");

  if (!SetUpPaletteAndTransparentColour()) return false;
  g_BltPresent = lpDTCon ? 0 : ChooseBltPresent(g_Windowed, vsync, g_SceneMgr.m_nFrameRate);
  if (!LoadSystemSurfaces()) return false;
  if (!SetUpFonts()) return false;

  for (auto& r : g_InputStates) r.SetPadButtonMap();
  if (!LoadKeyConfig("user_data\\KeyConfig.dat")) SetDefaultKeyConfig();
  loadPlayerFiles();
  // The 8-bit display draws its blends from the table of the player's colour option.
  if (g_ColourDepth == 8 && !LoadHbtPalette(g_OptionData.m_nColour)) return false;

  if (!g_Windowed) g_IniSettings.Midi_DirectMusic = 0;
  // Headless runs have no sound device: music and effects are mixed only when pulled.
  if (GameWindowHeadless()) DS_InitPullOnly();
  InitMusic(g_Windowed, g_IniSettings.Midi_DirectMusic);
  startSound(window);

  if (!loadRequired(g_WorldMap, "data\\WorldMap.dat")) return false;
  if (!loadRequired(g_CommonPalette, "data\\CommonPalette.cplt4")) return false;
  g_SaveData.ResetProgress(ProjectChallengeCount());
  return startStageDirectly();
}

void AppExit() {
  // Nothing the worker threads use is released while one of them runs. The close of the window has
  // stopped them already; a run that ended another way stops them here (each waits until it ends).
  ExitWorkers();
  // The list positions, once the game ran, and never after a fatal stop (SaveFile refuses then).
  if (g_GameStarted.load() && !g_bQuit.load()) {
    g_ReplayData.SaveFile(kReplayDataPath);
    g_FreeData.SaveFile(kFreeDataPath);
  }
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
