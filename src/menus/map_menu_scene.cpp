#include "menus/map_menu_scene.h"

#include <algorithm>
#include <string>

#include "core/containers.h"
#include "core/log.h"
#include "core/strings.h"
#include "data/game_data.h"
#include "data/ranking.h"
#include "data/save_data.h"
#include "data/story_slots.h"
#include "data/system_data.h"
#include "media/graphics/blit.h"
#include "media/graphics/composite_draw.h"
#include "media/graphics/display.h"
#include "media/graphics/font.h"
#include "media/graphics/surface_table.h"
#include "media/sound/sound_effects.h"
#include "menus/slot_list.h"
#include "shell/input_state.h"
#include "shell/menu_cursor.h"
#include "shell/scene_mgr.h"
#include "shell/system_menu_draw.h"

namespace {
// The menu: a box of 16-dot rows at (264, 192); the captions start one column in, after the arrow.
constexpr int kMenuX = 264;
constexpr int kMenuY = 192;
constexpr int kRowHeight = 16;
constexpr int kCaptionX = kMenuX + kRowHeight;
constexpr uint32_t kFrameColour = 240;
constexpr uint32_t kBackgroundColour = 16;
constexpr int kMenuFont = 1;
// The result total under the menu.
constexpr int kTotalY = 260;
constexpr size_t kLabelTotal = 4;
// The save's slot list, ten rows at most, and its confirm under it.
constexpr int kSlotListX = 152;
constexpr int kSlotListY = 160;
constexpr int kSlotWindowMax = 10;
constexpr int kConfirmY = 400;
// The sub-menus are centred on the screen's middle column.
constexpr int kCentreX = 320;
constexpr int kSubMenuY = 224;
constexpr int kNoticeY = 232;
// Labels of the project's label list: save confirm, automatic save on / off, the notice that no
// slot was chosen yet, the title confirm.
constexpr int kLabelSaveConfirm = 12;
constexpr int kLabelAutoSave = 14;
constexpr int kLabelNoSlot = 16;
constexpr int kLabelTitleConfirm = 17;

const char* Label(size_t index) {
  const auto& texts = g_SystemData.m_astrTexts;
  return index < texts.size() ? texts[index].c_str() : "";
}

bool ShowTotal() { return g_SystemData.m_nMenuOpt167a != 0; }

const cInputState& Input() { return VecAt(g_InputStates, 0); }

void FillBackground() { DDFillSurface(&g_BackBufferSD, kBackgroundColour); }

// A two-row menu of labels centred on the screen at y: where its cursor stands after this frame's
// move, with the vertical cursor sound.
int MoveTwoRowMenu(int firstLabel, int y) {
  const int x = g_SystemData.GetMenuLeft(kCentreX, firstLabel, 2, 1);
  const cInputState& input = Input();
  g_MenuCursor.MoveGridCursor(input, x, y, 0, kRowHeight, 1, 2);
  DS_PlayCursorSound(input.m_wDir, kCursorSoundVertical, kMenuSoundCursor);
  return x;
}
}  // namespace

cScene* CreateMapMenuScene() { return new cSceneMapMenu; }

cSceneMapMenu::cSceneMapMenu() : cMenuScene(kSceneMapMenu) {
  SetPhases<cSceneMapMenu>({nullptr, &cSceneMapMenu::StepMenu, &cSceneMapMenu::StepSave, &cSceneMapMenu::StepAutoSave,
                            &cSceneMapMenu::StepBack, &cSceneMapMenu::StepTitle, nullptr});
}

void cSceneMapMenu::Enter() {
  // The world map's music goes on playing.
  if (!EnterMenu(kMusicWorldMap, {kPictureWindow, kPictureAccessory})) return;
  m_nItemCount = 0;
  const auto& items = g_SystemData.m_aMapMenu;
  for (size_t i = 0; i < items.size() && m_nItemCount < kMapMenuItemCount; ++i)
    if (items[i].m_bEnabled) m_anKinds[m_nItemCount++] = static_cast<int>(i);
  if (m_nItemCount == 0) {
    m_anKinds[0] = kMapMenuSave;
    m_nItemCount = 1;
  }
  CURSORENTRY& cursor = g_MenuCursor.Top();
  cursor.nX = kMenuX;
  cursor.nY = kMenuY;
  m_nSubState = 0;
}

void cSceneMapMenu::DrawMenuFrame() {
  FillBackground();
  const auto& items = g_SystemData.m_aMapMenu;
  int widest = 0;
  for (int row = 0; row < m_nItemCount; ++row) {
    const size_t kind = static_cast<size_t>(m_anKinds[row]);
    if (kind < items.size()) widest = std::max(widest, CountSjisChars(items[kind].m_strCaption.c_str()));
  }
  DDBltFramed(&g_BackBufferSD, kMenuX, kMenuY, kRowHeight * (widest + 1), kRowHeight * m_nItemCount,
              &g_SurfaceData[kPictureWindow], 1, kFrameColour);
  cFont& font = g_Font[kMenuFont];
  for (int row = 0; row < m_nItemCount; ++row) {
    const size_t kind = static_cast<size_t>(m_anKinds[row]);
    if (kind < items.size())
      font.DrawString(&g_BackBufferSD, kCaptionX, kMenuY + kRowHeight * row, items[kind].m_strCaption.c_str());
  }
  const int32_t total = g_SaveData.m_nResultTotal;
  if (ShowTotal() && total > 0) {
    const int width = kRowHeight * (CountSjisChars(Label(kLabelTotal)) + CountDigits(total));
    std::string text;
    FormatStr(text, "%s%d", Label(kLabelTotal), total);
    font.DrawBoxString(&g_BackBufferSD, kMenuX, kTotalY, width, kRowHeight, text.c_str(), 0);
  }
  AnimatePalette();
}

void cSceneMapMenu::DrawSlotScreen() {
  FillBackground();
  DrawSlotList(&g_BackBufferSD, kSlotListX, kSlotListY, g_SlotList, m_nSlotTop, m_nSlotWindow);
}

int cSceneMapMenu::FadeIn() {
  DrawMenuFrame();
  DrawArrow(kMenuX, kMenuY);
  if (StepFadeIn()) m_nPhase = kPhaseMenu;
  return 1;
}

int cSceneMapMenu::FadeOut() {
  // The cursor stack stays as it is, and the next visit enters afresh.
  if (StepFadeOut(true)) m_nPhase = -1;
  return 1;
}

int cSceneMapMenu::StepMenu() {
  const cInputState& input = Input();
  g_MenuCursor.MoveGridCursor(input, kMenuX, kMenuY, 0, kRowHeight, 1, m_nItemCount);
  DS_PlayCursorSound(input.m_wDir, kCursorSoundVertical, kMenuSoundCursor);
  const CURSORENTRY& cursor = g_MenuCursor.Top();
  if (input.m_wButton & kMenuDecide) {
    RequestSound(kMenuSoundDecide);
    m_nPhase = ItemKind(cursor.nRow) + kPhaseSave;
    m_nSubState = 0;
    g_MenuCursor.PushCursor(0);
    return 1;
  }
  if (input.m_wButton & kMenuCancel) {
    // The same as the back item, without a sub-menu's cursor.
    RequestSound(kMenuSoundCancel);
    m_nSubState = 0;
    m_nPhase = kPhaseBack;
    return 1;
  }
  DrawMenuFrame();
  DrawArrow(cursor.nX, cursor.nY);
  return 1;
}

void cSceneMapMenu::BackToMenu() {
  g_MenuCursor.PopCursor(1);
  m_nSubState = 0;
  m_nPhase = kPhaseMenu;
}

int cSceneMapMenu::StepSave() {
  if (m_nSubState == 0) {
    // The list opens on the play's own slot; with none yet the first move brings it to the top.
    ScanStorySlots(g_SlotList);
    CURSORENTRY& cursor = g_MenuCursor.Top();
    cursor = CURSORENTRY{};
    cursor.nRow = g_SaveData.m_nStorySlot;
    m_nSlotTop = cursor.nRow;
    m_nSubState = 1;
  }
  m_nSlotWindow = std::min(static_cast<int>(g_SlotList.size()), kSlotWindowMax);
  if (m_nSubState == 1)
    ChooseSlot();
  else
    ConfirmSave();
  return 1;
}

void cSceneMapMenu::ChooseSlot() {
  const cInputState& input = Input();
  const int count = static_cast<int>(g_SlotList.size());
  g_MenuCursor.MoveListCursor(input, 1, m_nSlotTop, kSlotListY, kRowHeight, kSlotListX, m_nSlotWindow, count, 1, 0);
  DS_PlayCursorSound(input.m_wDir, kCursorSoundBoth, kMenuSoundCursor);
  if (input.m_wButton & kMenuDecide) {
    RequestSound(kMenuSoundDecide);
    g_MenuCursor.PushCursor(0);
    // The confirm opens on "rather not".
    g_MenuCursor.Top().nRow = 1;
    m_nSubState = 2;
    return;
  }
  if (input.m_wButton & kMenuCancel) {
    RequestSound(kMenuSoundCancel);
    BackToMenu();
    return;
  }
  DrawSlotScreen();
  const CURSORENTRY& cursor = g_MenuCursor.Top();
  DrawArrow(cursor.nX, cursor.nY);
}

void cSceneMapMenu::ConfirmSave() {
  const int x = MoveTwoRowMenu(kLabelSaveConfirm, kConfirmY);
  const cInputState& input = Input();
  const CURSORENTRY& cursor = g_MenuCursor.Top();
  const CURSORENTRY* chosen = g_MenuCursor.Under();
  if (input.m_wButton & (kMenuDecide | kMenuCancel)) {
    if (!(input.m_wButton & kMenuDecide)) {
      RequestSound(kMenuSoundCancel);
    } else if (cursor.nRow == 0 && chosen) {
      RequestSound(kMenuSoundSlotSave);
      // The slot becomes the play's own (the file records it); a save that fails leaves the play's
      // slot as it was, so that later automatic saves do not go to a slot without a file.
      const int32_t kept = g_SaveData.m_nStorySlot;
      g_SaveData.m_nStorySlot = chosen->nRow;
      if (!g_SaveData.SaveStorySlot(chosen->nRow, 1)) g_SaveData.m_nStorySlot = kept;
    } else {
      RequestSound(kMenuSoundDecide);
    }
    g_MenuCursor.PopCursor(1);
    m_nSubState = 1;
    return;
  }
  DrawSlotScreen();
  DrawSystemMenu(g_SystemData, x, kConfirmY, kLabelSaveConfirm, 2, 1);
  if (chosen) DrawSecondArrow(chosen->nX, chosen->nY);
  DrawArrow(cursor.nX, cursor.nY);
}

int cSceneMapMenu::StepAutoSave() {
  if (m_nSubState == 0) {
    CURSORENTRY& cursor = g_MenuCursor.Top();
    cursor = CURSORENTRY{};
    cursor.nRow = g_SaveData.m_bAutoSave ? 0 : 1;
    // Without a slot of its own the play has nowhere to save: only the notice shows. A slot number
    // no slot file has (a progress from elsewhere) counts as none.
    const int32_t slot = g_SaveData.m_nStorySlot;
    m_nSubState = slot < 0 || slot >= kStorySlotCount ? 2 : 1;
  }
  const cInputState& input = Input();
  if (m_nSubState == 2) {
    if (input.m_wButton & (kMenuDecide | kMenuCancel)) {
      RequestSound(input.m_wButton & kMenuDecide ? kMenuSoundDecide : kMenuSoundCancel);
      BackToMenu();
      return 1;
    }
    FillBackground();
    DrawSystemMenu(g_SystemData, g_SystemData.GetMenuLeft(kCentreX, kLabelNoSlot, 1, 0), kNoticeY, kLabelNoSlot, 1, 0);
    return 1;
  }
  const int x = MoveTwoRowMenu(kLabelAutoSave, kSubMenuY);
  if (input.m_wButton & kMenuDecide) {
    RequestSound(kMenuSoundDecide);
    if (g_MenuCursor.Top().nRow == 0) {
      // On: the play is saved at once, and from now on after each cleared stage. The switch is set
      // before the save so that the slot file keeps it too: a play continued from that slot goes on
      // saving itself.
      g_SaveData.m_bAutoSave = 1;
      g_SaveData.SaveStorySlot(g_SaveData.m_nStorySlot);
    } else {
      g_SaveData.m_bAutoSave = 0;
    }
    BackToMenu();
    return 1;
  }
  return CancelOrDrawTwoRowMenu(input, x, kLabelAutoSave);
}

int cSceneMapMenu::StepBack() {
  Leave(kSceneWorldMap);
  return 1;
}

int cSceneMapMenu::StepTitle() {
  if (m_nSubState == 0) {
    // The confirm opens on "rather not": decide pressed twice from the menu never leaves the game.
    CURSORENTRY& cursor = g_MenuCursor.Top();
    cursor = CURSORENTRY{};
    cursor.nRow = 1;
    m_nSubState = 1;
  }
  const int x = MoveTwoRowMenu(kLabelTitleConfirm, kSubMenuY);
  const cInputState& input = Input();
  if (input.m_wButton & kMenuDecide) {
    RequestSound(kMenuSoundDecide);
    if (g_MenuCursor.Top().nRow == 0)
      Leave(kSceneTitle);
    else
      BackToMenu();
    return 1;
  }
  return CancelOrDrawTwoRowMenu(input, x, kLabelTitleConfirm);
}

int cSceneMapMenu::CancelOrDrawTwoRowMenu(const cInputState& input, int x, int label) {
  if (input.m_wButton & kMenuCancel) {
    RequestSound(kMenuSoundCancel);
    BackToMenu();
    return 1;
  }
  FillBackground();
  DrawSystemMenu(g_SystemData, x, kSubMenuY, label, 2, 1);
  const CURSORENTRY& cursor = g_MenuCursor.Top();
  DrawArrow(cursor.nX, cursor.nY);
  return 1;
}
