#include "menus/option_scene.h"

#include <algorithm>
#include <string>

#include "core/log.h"
#include "data/game_data.h"
#include "data/option_data.h"
#include "data/system_data.h"
#include "media/graphics/blit.h"
#include "media/graphics/display.h"
#include "media/graphics/font.h"
#include "media/sound/music_requests.h"
#include "media/sound/sound_effects.h"
#include "menus/option_saving.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "shell/input_state.h"
#include "shell/main_window.h"
#include "shell/menu_cursor.h"
#include "shell/scene_mgr.h"

namespace {
// The list: the arrow at x 48 from y 80, rows of 16 dots, the captions at x 64; the help below.
constexpr int kArrowX = 48;
constexpr int kListY = 80;
constexpr int kRowHeight = 16;
constexpr int kCaptionX = 64;
constexpr int kHelpY = 264;
constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr int kScreenCentreX = 320;
constexpr int kCaptionItem = 5;  // the options item of the title menu
constexpr int kListFont = 1;

cInputState& Input() { return g_InputStates[0]; }

// The options' own music, asked for again with the force flag so that a new volume is heard.
void RestartOptionsMusic() {
  const auto& numbers = g_SystemData.m_anSceneBgm;
  const auto& loops = g_SystemData.m_abSceneBgm;
  const size_t s = kMusicOptions;
  g_SceneMgr.RequestBgm(s < numbers.size() ? numbers[s] : 0, s < loops.size() ? loops[s] : 0, kMusicOptions, 1);
}

// The ranking name is shown as the letters it is, also while the project draws lower-case letters
// of font 1 as icons.
void DrawNameText(DDSURFACEDATA* surface, int x, int y, const std::string& name) {
  cFont& font = g_Font[kListFont];
  const bool icons = g_SystemData.m_nFontOpt != 0;
  if (icons) font.m_bIcons = 0;
  font.DrawString(surface, x, y, name.c_str());
  if (icons) font.m_bIcons = 1;
}
}  // namespace

cSceneOption::cSceneOption() : cMenuScene(kSceneOption) {
  SetPhases<cSceneOption>({nullptr, &cSceneOption::StepMain, nullptr});
}

void cSceneOption::Enter() {
  if (!EnterMenu(kMusicOptions, {kPictureAccessory, kPictureWindow})) return;
  m_nItemCount = 0;
  const auto& items = g_SystemData.m_aOptionMenu;
  for (size_t i = 0; i < items.size() && m_nItemCount < kOptionKindCount; ++i)
    if (items[i].m_bEnabled) m_anKinds[m_nItemCount++] = static_cast<int>(i);
  if (m_nItemCount == 0) {
    m_anKinds[0] = kOptionColour;
    m_nItemCount = 1;
  }
  // The arrow stands on the first row already while the screen fades in.
  CURSORENTRY& cursor = g_MenuCursor.Top();
  cursor.nX = kArrowX;
  cursor.nY = kListY;
  if (!CreateSceneSurface(kScreenWidth, kScreenHeight, false)) return;
  DrawScreen();
  m_nSubState = kStepPrepare;
}

void cSceneOption::DrawScreen() {
  DDSURFACEDATA* surface = SceneSurface();
  if (!surface) return;
  ++m_nScreenDraws;
  DrawScreenBox(surface, kCaptionItem);
  cFont& font = g_Font[kListFont];
  for (int row = 0; row < m_nItemCount; ++row) {
    const int kind = m_anKinds[row];
    const int y = kListY + kRowHeight * row;
    font.DrawString(surface, kCaptionX, y, OptionCaption(kind));
    const std::string value = OptionValueText(kind);
    if (kind == kOptionRankingName)
      DrawNameText(surface, OptionValueX(kind), y, value);
    else if (!value.empty())
      font.DrawString(surface, OptionValueX(kind), y, value.c_str());
  }
  if (g_SystemData.m_bShowOptionHelp) {
    const char* help = g_SystemData.m_strOptionHelp.c_str();
    int width = 0;
    int height = 0;
    MeasureText(help, &width, &height);
    font.DrawString(surface, kScreenCentreX - width / 2, kHelpY, help);
  }
}

void cSceneOption::DrawFrame() {
  DDSURFACEDATA* surface = SceneSurface();
  if (TakeContentsLost(surface)) DrawScreen();
  if (surface) DDBlt(&g_BackBufferSD, 0, 0, kScreenWidth, kScreenHeight, surface, 0, 0, 0);
  AnimatePalette();
  const CURSORENTRY& top = g_MenuCursor.Top();
  const CURSORENTRY* item = g_MenuCursor.Under();
  if (m_nSubState == kStepEdit && item) {
    DrawSecondArrow(item->nX, item->nY);
    DrawArrow(OptionValueX(m_nEditKind) - kRowHeight, item->nY);
  } else {
    DrawArrow(top.nX, top.nY);
  }
}

int cSceneOption::FadeIn() {
  // An 8-bit screen is drawn again: the palette may have changed since.
  if (g_nDisplayBpp == 8) DrawScreen();
  DrawFrame();
  if (StepFadeIn()) m_nPhase = kPhaseMain;
  return 1;
}

int cSceneOption::FadeOut() {
  if (StepFadeOut()) SaveOptionFile();
  return 1;
}

int cSceneOption::StepMain() {
  if (m_nSubState == kStepPrepare) {
    g_MenuCursor.Top() = CURSORENTRY{};
    m_nSubState = kStepItems;
  }
  if (m_nSubState == kStepItems)
    StepItems();
  else if (m_nSubState == kStepEdit)
    StepEdit();
  if (m_nPhase == kPhaseMain) DrawFrame();
  return 1;
}

void cSceneOption::StepItems() {
  cInputState& input = Input();
  g_MenuCursor.MoveGridCursor(input, kArrowX, kListY, 0, kRowHeight, 1, m_nItemCount);
  DS_PlayCursorSound(input.m_wDir, kCursorSoundVertical, kMenuSoundCursor);
  const int row = g_MenuCursor.Top().nRow;
  if (input.m_wButton & kMenuDecide) {
    RequestSound(kMenuSoundDecide);
    ChooseItem(ItemKind(row));
  } else if (input.m_wButton & kMenuCancel) {
    RequestSound(kMenuSoundCancel);
    Leave(kSceneTitle);
  }
}

void cSceneOption::ChooseItem(int kind) {
  m_nEditKind = kind;
  if (IsSteppedOption(kind)) {
    m_pValue = OptionValueRef(kind);
    m_nMinimum = 0;
    m_nMaximum = OptionMaximum(kind);
    // A value from a damaged file is brought into its range before it is stepped, so that the
    // steps stay in the range and cancel puts back a value the tables hold.
    *m_pValue = OptionValueInRange(kind);
    m_nOldValue = *m_pValue;
    g_MenuCursor.PushCursor(0);
    m_nSubState = kStepEdit;
  } else if (kind == kOptionRankingName) {
    AskRankingName();
    DrawScreen();
  } else if (kind == kOptionBack) {
    Leave(kSceneTitle);
  }
}

void cSceneOption::AskRankingName() {
  g_nNameEntryDone.store(0);
  SendMessage(g_hMainWnd.load(), kMsgNameEntry, 0, 0);
  // A window that is gone answers nothing, so the wait ends with it instead of hanging.
  while (!g_nNameEntryDone.load()) {
    if (!IsWindow(g_hMainWnd.load())) return;
    HandleSentMessages();
    WaitRealTime(1);
  }
}

void cSceneOption::StepValue(int delta) {
  int32_t value = *m_pValue + delta;
  if (value > m_nMaximum) value = m_nMinimum;
  if (value < m_nMinimum) value = m_nMaximum;
  *m_pValue = value;
  ApplyOptionValue(m_nEditKind);
  DrawScreen();
}

void cSceneOption::StepEdit() {
  cInputState& input = Input();
  if (!m_pValue) {
    EndEdit();
    return;
  }
  if (input.m_wDir & kDirUp)
    StepValue(1);
  else if (input.m_wDir & kDirDown)
    StepValue(-1);
  DS_PlayCursorSound(input.m_wDir, kCursorSoundVertical, kMenuSoundCursor);
  if (input.m_wButton & kMenuDecide) {
    RequestSound(kMenuSoundDecide);
    if (m_nEditKind == kOptionBgmVolume) {
      SetBgmVolumeStep(*m_pValue);
      RestartOptionsMusic();
    }
    EndEdit();
  } else if (input.m_wButton & kMenuCancel) {
    RequestSound(kMenuSoundCancel);
    *m_pValue = m_nOldValue;
    ApplyOptionValue(m_nEditKind);
    EndEdit();
    DrawScreen();
  }
}

void cSceneOption::EndEdit() {
  g_MenuCursor.PopCursor(1);
  m_nSubState = kStepItems;
}
