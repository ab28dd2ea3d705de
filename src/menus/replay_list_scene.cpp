#include "menus/replay_list_scene.h"

#include <algorithm>
#include <string>

#include "core/file_helpers.h"
#include "core/log.h"
#include "data/game_data.h"
#include "data/system_data.h"
#include "media/graphics/blit.h"
#include "media/graphics/display.h"
#include "media/graphics/font.h"
#include "media/graphics/surface_table.h"
#include "media/sound/sound_effects.h"
#include "menus/replay_start.h"
#include "shell/app_globals.h"
#include "shell/input_state.h"
#include "shell/list_positions.h"
#include "shell/menu_cursor.h"
#include "shell/scene_mgr.h"
#include "ui/show_in_explorer.h"

namespace {
constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
// The list: 16-dot rows, the arrow at x 16 from y 160, the names 3 dots lower at x 32, twenty rows
// at most; the scroll bar at x 620.
constexpr int kListY = 160;
constexpr int kRowHeight = 16;
constexpr int kArrowX = 16;
constexpr int kNameX = 32;
constexpr int kNameDrop = 3;
constexpr int kWindowMax = 20;
constexpr int kScrollBarX = 620;
constexpr int kScrollBarWidth = 16;
// Scroll-bar tiles of "bmp\Accessory.bmp": the track and the thumb.
constexpr int kTrackSourceX = 80;
constexpr int kThumbSourceX = 64;
constexpr int kTileSourceY = 16;
constexpr int kTileSize = 16;
// The help lines.
constexpr int kHelpX = 50;
constexpr int kHelpY = 88;
constexpr int kHelpStep = 16;
constexpr size_t kLabelSortKey = 32;
constexpr size_t kLabelExplorerKey = 33;
constexpr size_t kLabelRefreshKey = 34;
constexpr size_t kLabelFirstSort = 35;
constexpr const char* kEmptyList = "----------------";
constexpr int kCaptionItem = 4;  // the replay item of the title menu
constexpr uint16_t kButton5 = 16;
constexpr uint16_t kOncePerPress = kMenuButton4 | kButton5;
// The playback order that lists only the replays of cleared plays.
constexpr int32_t kPlaybackClearedOnly = 1;

const char* Label(size_t index) {
  const auto& texts = g_SystemData.m_astrTexts;
  return index < texts.size() ? texts[index].c_str() : "";
}

cInputState& Input() { return g_InputStates[0]; }
}  // namespace

cScene* CreateReplayListScene() { return new cSceneReplayList; }

cSceneReplayList::cSceneReplayList() : cMenuScene(kSceneReplayList) {
  SetPhases<cSceneReplayList>({nullptr, &cSceneReplayList::StepMain, nullptr});
}

void cSceneReplayList::Rebuild() {
  // An order the list does not know (a damaged "user_data\Replay.dat") is the first one.
  g_ReplayData.m_nSortOrder = ValidReplaySort(g_ReplayData.m_nSortOrder);
  m_aRows = BuildReplayRows(g_OptionData.m_nReplayOrder == kPlaybackClearedOnly, g_ReplayData.m_nSortOrder);
  m_nCount = static_cast<int>(m_aRows.size());
  PublishReplayRows(m_aRows);
}

void cSceneReplayList::UpdateWindow() {
  m_nWindow = m_nCount < m_nTop + kWindowMax ? m_nCount - m_nTop : kWindowMax;
  m_nWindow = std::max(m_nWindow, 0);
}

void cSceneReplayList::RestorePosition() {
  CURSORENTRY& cursor = g_MenuCursor.Top();
  const int32_t row = g_ReplayData.m_nCursor;
  // A remembered row counts only while it is inside the list and still holds its file.
  if (row >= 0 && row < m_nCount && m_aRows[static_cast<size_t>(row)].strFileName == g_ReplayData.m_strFileName) {
    cursor.nRow = row;
    m_nTop = std::clamp(row, 0, std::max(0, m_nCount - kWindowMax));
  } else {
    g_ReplayData.m_nCursor = 0;
    g_ReplayData.m_strFileName.clear();
    cursor.nRow = 0;
    m_nTop = 0;
  }
  cursor.nX = kArrowX;
  cursor.nY = kListY + (cursor.nRow - m_nTop) * kRowHeight;
  UpdateWindow();
}

void cSceneReplayList::ToFirstRow() {
  CURSORENTRY& cursor = g_MenuCursor.Top();
  cursor.nRow = 0;
  m_nTop = 0;
  cursor.nX = kArrowX;
  cursor.nY = kListY;
  UpdateWindow();
}

void cSceneReplayList::Enter() {
  if (!EnterMenu(kMusicReplayList, {kPictureAccessory, kPictureWindow})) return;
  Rebuild();
  RestorePosition();
  if (!CreateSceneSurface(kScreenWidth, kScreenHeight, false)) return;
  DrawScreen();
  m_nSubState = 0;
}

void cSceneReplayList::DrawScrollBar(DDSURFACEDATA* surface) {
  // An empty list has no bar (and nothing to divide by).
  if (m_nCount <= 0) return;
  const int height = kRowHeight * m_nWindow;
  DDSURFACEDATA* tiles = &g_SurfaceData[kPictureAccessory];
  DDBltStretch(surface, kScrollBarX, kListY, kScrollBarWidth, height, tiles, kTrackSourceX, kTileSourceY, kTileSize,
               kTileSize, 1);
  DDBltStretch(surface, kScrollBarX, kListY + m_nTop * height / m_nCount, kScrollBarWidth,
               m_nWindow * height / m_nCount, tiles, kThumbSourceX, kTileSourceY, kTileSize, kTileSize, 1);
}

void cSceneReplayList::DrawScreen() {
  DDSURFACEDATA* surface = SceneSurface();
  if (!surface) return;
  ++m_nScreenDraws;
  DrawScreenBox(surface, kCaptionItem);
  cFont& help = g_Font[1];
  const size_t order = static_cast<size_t>(ValidReplaySort(g_ReplayData.m_nSortOrder));
  help.DrawStringF(surface, kHelpX, kHelpY, "%s  %s", Label(kLabelSortKey), Label(kLabelFirstSort + order));
  int y = kHelpY + kHelpStep;
  // The file manager can be shown only beside a window.
  if (g_Windowed == 1) {
    help.DrawString(surface, kHelpX, y, Label(kLabelExplorerKey));
    y += kHelpStep;
  }
  help.DrawString(surface, kHelpX, y, Label(kLabelRefreshKey));
  UpdateWindow();
  DrawScrollBar(surface);
  cFont& names = g_Font[0];
  if (m_nCount == 0) {
    names.DrawString(surface, kNameX, kListY + kNameDrop, kEmptyList);
    return;
  }
  for (int i = 0; i < m_nWindow; ++i)
    names.DrawString(surface, kNameX, kListY + kNameDrop + kRowHeight * i,
                     m_aRows[static_cast<size_t>(m_nTop + i)].strFileName.c_str());
}

void cSceneReplayList::DrawFrame() {
  DDSURFACEDATA* surface = SceneSurface();
  if (TakeContentsLost(surface)) DrawScreen();
  if (surface) DDBlt(&g_BackBufferSD, 0, 0, kScreenWidth, kScreenHeight, surface, 0, 0, 0);
  AnimatePalette();
  const CURSORENTRY& cursor = g_MenuCursor.Top();
  DrawArrow(cursor.nX, cursor.nY);
}

int cSceneReplayList::FadeIn() {
  // Buttons held while the list appears count as pressed before it.
  TakeButtons(Input().m_wButton);
  if (g_nDisplayBpp == 8) DrawScreen();
  DrawFrame();
  if (StepFadeIn()) m_nPhase = kPhaseMain;
  return 1;
}

int cSceneReplayList::FadeOut() {
  StepFadeOut();
  return 1;
}

uint16_t cSceneReplayList::TakeButtons(uint16_t held) {
  const uint16_t fresh = static_cast<uint16_t>(held & ~(m_wHeld & kOncePerPress));
  m_wHeld = static_cast<uint16_t>(held & kOncePerPress);
  return fresh;
}

int cSceneReplayList::StepMain() {
  cInputState& input = Input();
  UpdateWindow();
  g_MenuCursor.MoveListCursor(input, 1, m_nTop, kListY, kRowHeight, kArrowX, m_nWindow, m_nCount, 1, 1);
  DS_PlayCursorSound(input.m_wDir, kCursorSoundBoth, kMenuSoundCursor);
  if (input.m_wDir) DrawScreen();
  const int row = g_MenuCursor.Top().nRow;
  const uint16_t buttons = TakeButtons(input.m_wButton);
  if (buttons & kMenuDecide) {
    StartSelected(row);
  } else if (buttons & kMenuCancel) {
    RequestSound(kMenuSoundCancel);
    g_SceneMgr.m_nPrevScene = kSceneReplayList;
    Leave(kSceneTitle);
  } else if (buttons & kMenuButton3) {
    if (m_nCount == 0) {
      RequestSound(kMenuSoundRefused);
      return 1;
    }
    RequestSound(kMenuSoundDecide);
    g_ReplayData.m_nSortOrder = NextReplaySort(g_ReplayData.m_nSortOrder);
    Rebuild();
    ToFirstRow();
    DrawScreen();
  } else if (buttons & kMenuButton4) {
    if (!ShowSelected(row)) return 1;
  } else if (buttons & kButton5) {
    RequestSound(kMenuSoundDecide);
    Rebuild();
    ToFirstRow();
    DrawScreen();
  }
  if (m_nPhase == kPhaseMain) DrawFrame();
  return 1;
}

void cSceneReplayList::StartSelected(int row) {
  // The file may have gone since the list was read.
  if (row < 0 || row >= m_nCount || !FileExists(m_aRows[static_cast<size_t>(row)].strPath)) {
    RequestSound(kMenuSoundRefused);
    return;
  }
  const cReplayRow& chosen = m_aRows[static_cast<size_t>(row)];
  RequestSound(kMenuSoundDecide);
  // A file that does not read as a replay is the player's, not the program's, fault: its message is
  // shown and the list stays.
  if (!StartReplayFromList(chosen.strPath)) return;
  g_ReplayData.m_nCursor = row;
  g_ReplayData.m_strFileName = chosen.strFileName;
  g_SceneMgr.m_nPrevScene = kSceneReplayList;
  Leave(kSceneStage);
}

bool cSceneReplayList::ShowSelected(int row) {
  // Full screen has no file manager beside it.
  if (g_Windowed != 1) return false;
  if (row < 0 || row >= m_nCount || !FileExists(m_aRows[static_cast<size_t>(row)].strPath)) {
    RequestSound(kMenuSoundRefused);
    return false;
  }
  RequestSound(kMenuSoundDecide);
  ShowInExplorer(m_aRows[static_cast<size_t>(row)].strPath, g_hMainWnd.load());
  return true;
}
