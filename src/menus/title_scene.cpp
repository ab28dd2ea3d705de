#include "menus/title_scene.h"

#include <algorithm>

#include "core/log.h"
#include "core/strings.h"
#include "data/game_data.h"
#include "data/save_data.h"
#include "data/story_slots.h"
#include "data/system_data.h"
#include "media/graphics/blit.h"
#include "media/graphics/composite_draw.h"
#include "media/graphics/display.h"
#include "media/graphics/font.h"
#include "media/graphics/surface_table.h"
#include "media/sound/sound_effects.h"
#include "menus/file_dialog_requests.h"
#include "menus/new_game.h"
#include "menus/slot_list.h"
#include "platform/messages.h"
#include "shell/app_globals.h"
#include "shell/input_state.h"
#include "shell/menu_cursor.h"
#include "shell/scene_mgr.h"

namespace {
constexpr int kRowHeight = 32;
// The menu's first 32 columns stay free for the hand.
constexpr int kHandColumn = 32;
// With the graphic menu the menu is centred on this column.
constexpr int kGraphicMenuCentreX = 288;
constexpr uint32_t kTransparentColour = 0;
constexpr uint32_t kFrameColour = 240;
constexpr int kLargeFont = 2;
// The story slot list.
constexpr int kSlotListX = 160;
constexpr int kSlotListY = 160;
constexpr int kSlotRowHeight = 16;
constexpr int kSlotWindowMax = 10;
// Game kinds of the per-mode settings.
constexpr int kModeStory = 0;
constexpr int kModeChallenge = 1;
constexpr int kModeFree = 2;
constexpr int kModeReplay = 3;

bool GraphicMenu() { return g_SystemData.m_nTitleOpt157 != 0; }
bool StorySlots() { return g_SystemData.m_nTitleOpt821 != 0; }

// Whether the project keeps rankings for a game kind.
int RankingsOf(int mode) {
  const auto& modes = g_SystemData.m_aModeRanking;
  return mode >= 0 && static_cast<size_t>(mode) < modes.size() && modes[static_cast<size_t>(mode)].m_bEnabled ? 1 : 0;
}

void SetMode(int mode) {
  g_ModeIndex = mode;
  g_RankingOn = RankingsOf(mode);
}
}  // namespace

cSceneTitle::cSceneTitle() : cMenuScene(kSceneTitle) {
  SetPhases<cSceneTitle>(
      {nullptr, &cSceneTitle::StepMenu, &cSceneTitle::StepNewGame, &cSceneTitle::StepContinue, nullptr});
}

void cSceneTitle::Enter() {
  if (!EnterMenu(kMusicTitle, {kPictureTitle, kPictureGameMode, kPictureAccessory, kPictureWindow})) return;
  m_nItemCount = 0;
  const auto& items = g_SystemData.m_aTitleMenu;
  for (size_t i = 0; i < items.size() && m_nItemCount < kTitleItemCount; ++i)
    if (items[i].m_bEnabled) m_anKinds[m_nItemCount++] = static_cast<int>(i);
  if (m_nItemCount == 0) {
    m_anKinds[0] = kTitleNewGame;
    m_nItemCount = 1;
  }

  CURSORENTRY& cursor = g_MenuCursor.Top();
  if (g_ReturnToTitle || g_DirectPlay) {
    // Back from a stage the start-up played directly: from now on the plays are the menus' own.
    g_ReturnToTitle = 0;
    g_DirectPlay = 0;
    cursor.nRow = 0;
  } else {
    // The item chosen last; a kind the menu no longer shows keeps its number, and the first move
    // wraps a row past the last one to the first.
    cursor.nRow = g_PlayMode;
    for (int row = 0; row < m_nItemCount; ++row)
      if (m_anKinds[row] == g_PlayMode) cursor.nRow = row;
  }
  if (GraphicMenu()) m_nMenuX = kGraphicMenuCentreX - g_SurfaceData[kPictureGameMode].nWidth / 2;
  cursor.nX = m_nMenuX;
  cursor.nY = m_nMenuY + cursor.nRow * kRowHeight;
  if (!CreateMenuSurface()) return;
  m_nSubState = 0;
}

bool cSceneTitle::CreateMenuSurface() {
  if (GraphicMenu()) {
    m_nMenuWidth = g_SurfaceData[kPictureGameMode].nWidth + kHandColumn;
  } else {
    int widest = 0;
    const auto& items = g_SystemData.m_aTitleMenu;
    for (int row = 0; row < m_nItemCount; ++row) {
      const size_t kind = static_cast<size_t>(m_anKinds[row]);
      if (kind < items.size()) widest = std::max(widest, CountSjisChars(items[kind].m_strCaption.c_str()));
    }
    m_nMenuWidth = kRowHeight * widest + kHandColumn + 2;
  }
  m_nMenuHeight = kRowHeight * m_nItemCount + 2;
  if (!CreateSceneSurface(m_nMenuWidth, m_nMenuHeight, true)) return false;
  DrawMenuSurface();
  return true;
}

void cSceneTitle::DrawMenuSurface() {
  DDSURFACEDATA* surface = SceneSurface();
  if (!surface) return;
  if (GraphicMenu()) {
    DDSURFACEDATA* modes = &g_SurfaceData[kPictureGameMode];
    DDFillSurface(surface, kTransparentColour);
    for (int row = 0; row < m_nItemCount; ++row)
      DDBlt(surface, kHandColumn, kRowHeight * row, modes->nWidth, kRowHeight, modes, 0, kRowHeight * m_anKinds[row],
            0);
    return;
  }
  DDBltFramed(surface, 1, 1, m_nMenuWidth - 2, m_nMenuHeight - 2, &g_SurfaceData[kPictureWindow], 1, kFrameColour);
  const auto& items = g_SystemData.m_aTitleMenu;
  for (int row = 0; row < m_nItemCount; ++row) {
    const size_t kind = static_cast<size_t>(m_anKinds[row]);
    if (kind < items.size())
      g_Font[kLargeFont].DrawString(surface, kHandColumn, kRowHeight * row, items[kind].m_strCaption.c_str());
  }
}

void cSceneTitle::DrawTitlePicture() { DDBlt(&g_BackBufferSD, 0, 0, 640, 480, &g_SurfaceData[kPictureTitle], 0, 0, 0); }

void cSceneTitle::DrawTitleFrame() {
  DDSURFACEDATA* surface = SceneSurface();
  if (TakeContentsLost(surface)) DrawMenuSurface();
  DrawTitlePicture();
  if (surface) DDBlt(&g_BackBufferSD, m_nMenuX, m_nMenuY, m_nMenuWidth, m_nMenuHeight, surface, 0, 0, 1);
  AnimatePalette();
}

int cSceneTitle::FadeIn() {
  // An 8-bit palette may have changed under the menu's colours.
  if (g_nDisplayBpp == 8) DrawMenuSurface();
  DrawTitleFrame();
  if (StepFadeIn()) m_nPhase = kPhaseMenu;
  return 1;
}

int cSceneTitle::FadeOut() {
  StepFadeOut();
  return 1;
}

int cSceneTitle::StepMenu() {
  const cInputState& input = g_InputStates[0];
  g_MenuCursor.MoveGridCursor(input, m_nMenuX, m_nMenuY, 0, kRowHeight, 1, m_nItemCount);
  DS_PlayCursorSound(input.m_wDir, kCursorSoundVertical, kMenuSoundCursor);
  const CURSORENTRY& cursor = g_MenuCursor.Top();
  if (!(input.m_wButton & kMenuDecide)) {
    DrawTitleFrame();
    DrawHand(cursor.nX, cursor.nY);
    return 1;
  }
  RequestSound(kMenuSoundDecide);
  ChooseItem(ItemKind(cursor.nRow));
  return 1;
}

void cSceneTitle::ChooseItem(int kind) {
  g_PlayMode = kind;
  switch (kind) {
    case kTitleNewGame:
    case kTitleContinue:
      SetMode(kModeStory);
      g_MenuCursor.PushCursor(0);
      m_nSubState = 0;
      m_nPhase = kind == kTitleNewGame ? kPhaseNewGame : kPhaseContinue;
      break;
    case kTitleChallenge:
      SetMode(kModeChallenge);
      // No challenge file yet (or one that cannot be read, which stays as it is): a new challenge.
      if (!g_SaveData.LoadChallengeData()) g_SaveData.ResetProgress(ProjectChallengeCount());
      Leave(kSceneStageSelect);
      break;
    case kTitleFree:
      SetMode(kModeFree);
      if (!g_SystemData.m_bFileDialogs) {
        Leave(kSceneFreeList);
      } else if (RequestStageFileDialog()) {
        Leave(kSceneStage);
      }
      break;
    case kTitleReplay:
      SetMode(kModeReplay);
      if (!g_SystemData.m_bFileDialogs) {
        Leave(kSceneReplayList);
      } else if (RequestReplayFileDialog()) {
        Leave(kSceneStage);
      }
      break;
    case kTitleOptions: Leave(kSceneOption); break;
    case kTitleQuit:
      // The title goes on until the window closes; at the title it closes without a question.
      PostMessage(g_hMainWnd.load(), WM_CLOSE, 0, 0);
      break;
    default: break;
  }
}

int cSceneTitle::StepSlots(bool newGame) {
  if (m_nSubState == 0) {
    if (newGame && !StorySlots()) {
      StartNewGame();
      Leave(kSceneWorldMap);
      return 1;
    }
    ScanStorySlots(g_SlotList);
    g_MenuCursor.Top() = CURSORENTRY{};
    m_nSlotTop = 0;
    m_nSubState = 1;
  }
  const int count = static_cast<int>(g_SlotList.size());
  m_nSlotWindow = std::min(count, kSlotWindowMax);
  const cInputState& input = g_InputStates[0];
  g_MenuCursor.MoveListCursor(input, 1, m_nSlotTop, kSlotListY, kSlotRowHeight, kSlotListX, m_nSlotWindow, count, 1, 0);
  DS_PlayCursorSound(input.m_wDir, kCursorSoundBoth, kMenuSoundCursor);
  const CURSORENTRY& cursor = g_MenuCursor.Top();
  if (input.m_wButton & kMenuDecide) {
    ChooseSlot(newGame, cursor.nRow);
  } else if (input.m_wButton & kMenuCancel) {
    RequestSound(kMenuSoundCancel);
    g_MenuCursor.PopCursor(1);
    m_nPhase = kPhaseMenu;
    m_nSubState = 0;
  }
  if (m_nPhase != kPhaseNewGame && m_nPhase != kPhaseContinue) return 1;
  DrawTitlePicture();
  AnimatePalette();
  DrawSlotList(&g_BackBufferSD, kSlotListX, kSlotListY, g_SlotList, m_nSlotTop, m_nSlotWindow);
  DrawArrow(cursor.nX, cursor.nY);
  return 1;
}

void cSceneTitle::ChooseSlot(bool newGame, int slot) {
  if (slot < 0 || static_cast<size_t>(slot) >= g_SlotList.size()) {
    RequestSound(kMenuSoundRefused);
    return;
  }
  const cSlotInfo& info = g_SlotList[static_cast<size_t>(slot)];
  if (newGame) {
    // A new game takes an empty slot only: a slot with a file, even a damaged one, is the player's.
    if (info.m_bExists) {
      RequestSound(kMenuSoundRefused);
      return;
    }
    RequestSound(kMenuSoundDecide);
    StartNewGame();
    g_SaveData.m_nStorySlot = slot;
    g_SaveData.m_bAutoSave = 1;
    Leave(kSceneWorldMap);
    return;
  }
  // Only a whole save can be continued; a file that no longer loads shows as damaged from now on.
  if (!info.m_bExists || info.m_bDamaged || !g_SaveData.LoadStorySlot(slot)) {
    RequestSound(kMenuSoundRefused);
    if (info.m_bExists && !info.m_bDamaged) ScanStorySlots(g_SlotList);
    return;
  }
  RequestSound(kMenuSoundDecide);
  Leave(g_SaveData.m_bInStage ? kSceneStage : kSceneWorldMap);
}
