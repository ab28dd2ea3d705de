#include "menus/stage_select_scene.h"

#include <algorithm>
#include <cstdio>

#include "core/log.h"
#include "core/strings.h"
#include "data/game_data.h"
#include "data/ranking.h"
#include "data/save_data.h"
#include "data/system_data.h"
#include "media/graphics/blit.h"
#include "media/graphics/display.h"
#include "media/graphics/font.h"
#include "media/graphics/surface_table.h"
#include "media/sound/sound_effects.h"
#include "menus/ranking_panels.h"
#include "shell/input_state.h"
#include "shell/menu_cursor.h"
#include "shell/scene_mgr.h"
#include "stage/stage_loading.h"

namespace {
// The list: rows of 32 dots from y 160, the hand at x 32, the texts at x 64, ten rows at most.
constexpr int kListY = 160;
constexpr int kRowHeight = 32;
constexpr int kHandX = 32;
constexpr int kTextX = 64;
constexpr int kWindowMax = 10;
constexpr int kHeadingY = 128;
constexpr int kTotalY = 88;
constexpr int kScreenWidth = 640;
constexpr int kLargeCell = 32;
constexpr int kSmallCell = 16;
constexpr int kPanelX = 352;
constexpr int kPanelY = 108;
// The cleared badge of "bmp\Accessory.bmp".
constexpr int kBadgeSourceX = 96;
constexpr int kBadgeSize = 32;
// Labels of the project's label list.
constexpr size_t kLabelWorld = 0;
constexpr size_t kLabelHighScore = 3;
constexpr size_t kLabelTotal = 4;
constexpr int kCaptionItem = 2;  // the challenge item of the title menu
constexpr int kModeChallenge = 1;

bool AllStagesOpen() { return g_SystemData.m_nMenuOptA != 0; }
bool ShowScores() { return g_SystemData.m_nMenuOpt167b != 0; }
bool ShowTotal() { return g_SystemData.m_nMenuOpt167c != 0; }

bool ChallengeRankings() {
  const auto& modes = g_SystemData.m_aModeRanking;
  return static_cast<size_t>(kModeChallenge) < modes.size() && modes[kModeChallenge].m_bEnabled;
}

const char* Label(size_t index) {
  const auto& texts = g_SystemData.m_astrTexts;
  return index < texts.size() ? texts[index].c_str() : "";
}

// The challenge record of number n (1-based): cleared flag and best score; none past the records.
const cSaveVar* ChallengeRecord(int number) {
  const auto& records = g_SaveData.m_aChallenge;
  if (number < 1 || static_cast<size_t>(number) > records.size()) return nullptr;
  return &records[static_cast<size_t>(number - 1)];
}

cInputState& Input() { return g_InputStates[0]; }
}  // namespace

std::string ChallengeStagePath(int number) {
  char path[64];
  std::snprintf(path, sizeof path, "%s%02d-1.%s", "data\\stg4\\c", number, "stg4");
  return path;
}

cSceneStageSelect::cSceneStageSelect() : cMenuScene(kSceneStageSelect) {
  SetPhases<cSceneStageSelect>({nullptr, &cSceneStageSelect::StepMain, nullptr});
}

void cSceneStageSelect::UpdateCount() {
  m_nCount = AllStagesOpen() ? ProjectChallengeCount() : g_SaveData.m_nChallengeUnlocked;
  m_nCount = std::max(m_nCount, 0);
  m_nWindow = m_nCount < m_nTop + kWindowMax ? m_nCount - m_nTop : kWindowMax;
}

void cSceneStageSelect::SelectStage(int number) {
  g_SaveData.SetCurrentStage(ChallengeStagePath(number), 0, 0, 0);
  if (g_RankingOn)
    LoadRankingFile(g_Ranking, g_ModeIndex, g_SaveData.m_strStageKey, g_SaveData.m_bCondOn, g_SaveData.m_nCondVar,
                    g_SaveData.m_nCondValue);
}

void cSceneStageSelect::Enter() {
  if (!EnterMenu(kMusicStageSelect, {kPictureAccessory, kPictureWindow})) return;
  CURSORENTRY& cursor = g_MenuCursor.Top();
  cursor.nRow = g_SceneMgr.m_anSelectPos[0];
  m_nTop = g_SceneMgr.m_anSelectPos[1];
  // A remembered place the list no longer reaches (fewer stages open now) is brought back into it.
  UpdateCount();
  if (cursor.nRow >= m_nCount || cursor.nRow < 0) {
    cursor.nRow = std::max(0, m_nCount - 1);
    m_nTop = std::max(0, m_nCount - kWindowMax);
  }
  m_nTop = std::clamp(m_nTop, std::max(0, cursor.nRow - kWindowMax + 1), cursor.nRow);
  cursor.nX = kHandX;
  cursor.nY = kListY + (cursor.nRow - m_nTop) * kRowHeight;
  SelectStage(cursor.nRow + 1);
  if (!CreateSceneSurface(kScreenWidth, 480, false)) return;
  DrawScreen();
  m_nSubState = 0;
}

void cSceneStageSelect::DrawScreen() {
  DDSURFACEDATA* surface = SceneSurface();
  if (!surface) return;
  ++m_nScreenDraws;
  DrawScreenBox(surface, kCaptionItem);
  const int total = g_SaveData.m_nResultTotal;
  if (ShowTotal() && total > 0) {
    const int x = 320 - (CountSjisChars(Label(kLabelTotal)) + CountDigits(total)) * kSmallCell / 2;
    g_Font[1].DrawStringF(surface, x, kTotalY, "%s%d", Label(kLabelTotal), total);
  }
  UpdateCount();
  const int worldChars = CountSjisChars(Label(kLabelWorld));
  const int scoreX = worldChars * kLargeCell + 192;
  const bool panel = ChallengeRankings() && g_SaveData.m_bRankingPanel;
  if (ShowScores() && !panel) {
    const int headingChars = CountSjisChars(Label(kLabelHighScore));
    int x = scoreX;
    if (x + headingChars * kLargeCell > kScreenWidth) x = (kScreenWidth / kLargeCell - headingChars) * kLargeCell;
    g_Font[2].DrawString(surface, x, kHeadingY, Label(kLabelHighScore));
  }
  for (int i = 0; i < m_nWindow; ++i) {
    const int number = m_nTop + i + 1;
    const int y = kListY + kRowHeight * i;
    const cSaveVar* record = ChallengeRecord(number);
    g_Font[2].DrawStringF(surface, kTextX, y, "%s%d", Label(kLabelWorld), number);
    if (record && record->m_nValueA)
      DDBlt(surface, (worldChars + 4) * kLargeCell, y, kBadgeSize, kBadgeSize, &g_SurfaceData[kPictureAccessory],
            kBadgeSourceX, 0, 1);
    if (ShowScores()) g_Font[2].DrawStringF(surface, scoreX, y, "%d", record ? record->m_nValueB : 0);
  }
  if (panel) DrawRanking(g_Ranking, surface, kPanelX, kPanelY, g_SaveData.m_nRankingKind, -1);
}

void cSceneStageSelect::DrawFrame() {
  DDSURFACEDATA* surface = SceneSurface();
  if (TakeContentsLost(surface)) DrawScreen();
  if (surface) DDBlt(&g_BackBufferSD, 0, 0, kScreenWidth, 480, surface, 0, 0, 0);
  AnimatePalette();
  const CURSORENTRY& cursor = g_MenuCursor.Top();
  DrawHand(cursor.nX, cursor.nY);
}

int cSceneStageSelect::FadeIn() {
  if (g_nDisplayBpp == 8) DrawScreen();
  DrawFrame();
  if (StepFadeIn()) m_nPhase = kPhaseMain;
  return 1;
}

int cSceneStageSelect::FadeOut() {
  StepFadeOut();
  return 1;
}

int cSceneStageSelect::StepMain() {
  cInputState& input = Input();
  UpdateCount();
  g_MenuCursor.MoveListCursor(input, 1, m_nTop, kListY, kRowHeight, kHandX, m_nWindow, m_nCount, 1, 1);
  DS_PlayCursorSound(input.m_wDir, kCursorSoundBoth, kMenuSoundCursor);
  const int row = g_MenuCursor.Top().nRow;
  if (input.m_wDir) {
    SelectStage(row + 1);
    DrawScreen();
  }
  const uint16_t buttons = input.m_wButton;
  if (buttons & kMenuDecide) {
    StartSelectedStage(row);
  } else if (buttons & kMenuCancel) {
    RequestSound(kMenuSoundCancel);
    g_SceneMgr.m_nPrevScene = kSceneStageSelect;
    Leave(kSceneTitle);
  } else if (buttons & kMenuButton3) {
    if (ChallengeRankings()) {
      RequestSound(kMenuSoundRanking);
      g_SaveData.m_bRankingPanel = g_SaveData.m_bRankingPanel ? 0 : 1;
      DrawScreen();
    } else {
      g_SaveData.m_bRankingPanel = 0;
    }
  } else if (buttons & kMenuButton4) {
    if (ChallengeRankings()) {
      if (g_SystemData.CountModeFlags(g_ModeIndex) >= 2) {
        RequestSound(kMenuSoundRanking);
        g_SaveData.StepRankingKind(g_ModeIndex, 1);
      }
      DrawScreen();
    }
  }
  if (m_nPhase == kPhaseMain) DrawFrame();
  return 1;
}

void cSceneStageSelect::StartSelectedStage(int row) {
  // An empty list has no stage to start.
  if (row < 0 || row >= m_nCount) {
    RequestSound(kMenuSoundRefused);
    return;
  }
  const std::string path = ChallengeStagePath(row + 1);
  if (!LoadPlayStage(path, true, &g_StageData, &g_HeroType)) {
    RequestSound(kMenuSoundRefused);
    ErrorBoxf("ステージファイル %s が読み込めません！", path.c_str());
    return;
  }
  RequestSound(kMenuSoundDecide);
  g_SaveData.SetCurrentStage(g_StagePath, 0, 0, 0);
  g_SaveData.m_nWorld = row + 1;
  g_SaveData.m_nStage = 1;
  const auto& infinite = g_SystemData.m_anModeOpt;
  const auto& startLives = g_SystemData.m_anStartLives;
  const size_t mode = kModeChallenge;
  if ((mode < infinite.size() && infinite[mode]) || mode >= startLives.size()) {
    g_SaveData.m_nStartLives = g_SaveData.m_nLives = kUnlimitedLives;
  } else {
    g_SaveData.m_nStartLives = std::max(startLives[mode], 0);
    g_SaveData.m_nLives = std::max(g_SaveData.m_nStartLives - 1, 0);
  }
  g_SaveData.m_bNumberedStage = 1;
  g_SceneMgr.m_anSelectPos[0] = row;
  g_SceneMgr.m_anSelectPos[1] = m_nTop;
  g_SceneMgr.m_nPrevScene = kSceneStageSelect;
  Leave(kSceneStage);
}
