#include "menus/free_list_scene.h"

#include "core/containers.h"
#include "data/game_data.h"
#include "data/save_data.h"
#include "media/graphics/blit.h"
#include "media/graphics/display.h"
#include "media/graphics/font.h"
#include "media/graphics/surface_table.h"
#include "media/sound/sound_effects.h"
#include "menus/title_scene.h"
#include "platform/files.h"
#include "shell/input_state.h"
#include "shell/list_positions.h"
#include "shell/menu_cursor.h"
#include "shell/scene_mgr.h"
#include "stage/stage_start.h"

namespace {
// The list: rows of 16 dots from y 160, the names at x 32, the arrow at x 16, the scroll bar at x 620.
constexpr int kListY = 160;
constexpr int kRowHeight = 16;
constexpr int kNameX = 32;
constexpr int kArrowX = 16;
constexpr int kScrollBarX = 620;
constexpr int kScrollBarWidth = 16;
constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr int kListFont = 1;
// The scroll bar's tiles on "bmp\Accessory.bmp": the track and the thumb.
constexpr int kTrackSourceX = 80;
constexpr int kThumbSourceX = 64;
constexpr int kTileSourceY = 16;
constexpr int kTileSize = 16;
constexpr const char* kEmptyListText = "----------------";

const cInputState& Input() { return VecAt(g_InputStates, 0); }
}  // namespace

cScene* CreateFreeListScene() { return new cSceneFreeList; }

cSceneFreeList::cSceneFreeList() : cMenuScene(kSceneFreeList) {
  SetPhases<cSceneFreeList>({nullptr, &cSceneFreeList::StepMain, nullptr});
}

void cSceneFreeList::Enter() {
  if (!EnterMenu(kMusicFreeList, {kPictureAccessory, kPictureWindow})) return;
  // Read afresh on every visit: files added or removed meanwhile show.
  m_aRows = BuildFreeList();
  const cFreeListPlace place = RestoreFreeListPlace(m_aRows, g_FreeData);
  m_nTop = place.nTop;
  m_nWindow = FreeListWindow(Count(), m_nTop);
  CURSORENTRY& cursor = g_MenuCursor.Top();
  cursor.nRow = place.nRow;
  cursor.nX = kArrowX;
  cursor.nY = kListY + (place.nRow - m_nTop) * kRowHeight;
  if (!CreateSceneSurface(kScreenWidth, kScreenHeight, false)) return;
  DrawScreen();
  m_nSubState = 0;
}

void cSceneFreeList::DrawScreen() {
  DDSURFACEDATA* surface = SceneSurface();
  if (!surface) return;
  ++m_nScreenDraws;
  DrawScreenBox(surface, kTitleFree);
  const int count = Count();
  m_nWindow = FreeListWindow(count, m_nTop);
  cFont& font = g_Font[kListFont];
  if (count == 0) {
    font.DrawString(surface, kNameX, kListY, kEmptyListText);
    return;
  }
  const cScrollBar bar = FreeListScrollBar(count, m_nTop, m_nWindow);
  DDSURFACEDATA* accessory = &g_SurfaceData[kPictureAccessory];
  DDBltStretch(surface, kScrollBarX, kListY, kScrollBarWidth, bar.nTrackHeight, accessory, kTrackSourceX, kTileSourceY,
               kTileSize, kTileSize, 1);
  DDBltStretch(surface, kScrollBarX, kListY + bar.nThumbOffset, kScrollBarWidth, bar.nThumbHeight, accessory,
               kThumbSourceX, kTileSourceY, kTileSize, kTileSize, 1);
  for (int i = 0; i < m_nWindow; ++i) {
    const size_t row = static_cast<size_t>(m_nTop + i);
    if (row < m_aRows.size()) font.DrawString(surface, kNameX, kListY + kRowHeight * i, m_aRows[row].strName.c_str());
  }
}

void cSceneFreeList::DrawFrame() {
  DDSURFACEDATA* surface = SceneSurface();
  if (TakeContentsLost(surface)) DrawScreen();
  if (surface) DDBlt(&g_BackBufferSD, 0, 0, kScreenWidth, kScreenHeight, surface, 0, 0, 0);
  AnimatePalette();
}

int cSceneFreeList::FadeIn() {
  // An 8-bit palette may have changed under the screen's colours.
  if (g_nDisplayBpp == 8) DrawScreen();
  DrawFrame();
  const CURSORENTRY& cursor = g_MenuCursor.Top();
  DrawArrow(cursor.nX, cursor.nY);
  if (StepFadeIn()) m_nPhase = kPhaseMain;
  return 1;
}

int cSceneFreeList::FadeOut() {
  StepFadeOut();
  return 1;
}

int cSceneFreeList::StepMain() {
  const cInputState& input = Input();
  m_nWindow = FreeListWindow(Count(), m_nTop);
  g_MenuCursor.MoveListCursor(input, 1, m_nTop, kListY, kRowHeight, kArrowX, m_nWindow, Count(), 1, 1);
  DS_PlayCursorSound(input.m_wDir, kCursorSoundBoth, kMenuSoundCursor);
  if (input.m_wDir) DrawScreen();
  if (input.m_wButton & kMenuDecide) {
    StartRow(g_MenuCursor.Top().nRow);
  } else if (input.m_wButton & kMenuCancel) {
    RequestSound(kMenuSoundCancel);
    g_SceneMgr.m_nPrevScene = kSceneFreeList;
    Leave(kSceneTitle);
  }
  if (m_nPhase != kPhaseMain) return 1;
  DrawFrame();
  const CURSORENTRY& cursor = g_MenuCursor.Top();
  DrawArrow(cursor.nX, cursor.nY);
  return 1;
}

void cSceneFreeList::StartRow(int row) {
  // An empty list, or a file removed or replaced by a folder since the list was read.
  if (row < 0 || row >= Count() || IsFolder(m_aRows[static_cast<size_t>(row)].strPath) ||
      !PathExists(m_aRows[static_cast<size_t>(row)].strPath)) {
    RequestSound(kMenuSoundRefused);
    return;
  }
  const FREEENTRY& entry = m_aRows[static_cast<size_t>(row)];
  // A file that does not load as a stage is the player's mistake, not the program's: the loader has
  // shown why, and the list stays.
  if (!StartStageFromFile(entry.strPath, false)) {
    RequestSound(kMenuSoundRefused);
    return;
  }
  RequestSound(kMenuSoundDecide);
  g_FreeData.m_nCursor = row;
  g_FreeData.m_strFileName = entry.strName;
  g_SceneMgr.m_nPrevScene = kSceneFreeList;
  Leave(kSceneStage);
}
