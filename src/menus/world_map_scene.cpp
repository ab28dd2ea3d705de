#include "menus/world_map_scene.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/containers.h"
#include "core/log.h"
#include "core/strings.h"
#include "data/game_data.h"
#include "media/graphics/blit.h"
#include "media/graphics/display.h"
#include "media/graphics/font.h"
#include "media/graphics/surface_table.h"
#include "media/sound/sound_effects.h"
#include "menus/ranking_panels.h"
#include "menus/world_map_picture.h"
#include "menus/world_map_rules.h"
#include "menus/world_map_state.h"
#include "shell/input_state.h"
#include "shell/scene_mgr.h"
#include "shell/system_menu_draw.h"
#include "stage/stage_loading.h"

namespace {
// The hero always stands here on the screen; the view origin keeps it there.
constexpr int kHeroX = 288;
constexpr int kHeroY = 224;
constexpr int kHeroViewColumn = 9;
constexpr int kHeroViewRow = 7;
constexpr int kHeroSize = 32;
// The hero's walk: two pictures, each shown for half of an 80-frame cycle.
constexpr int kHeroAnimCycle = 80;
constexpr int kHeroSecondPicture = 40;
// The hero's first picture per facing (down, up, left, right) on "bmp\Accessory.bmp".
constexpr int kHeroSource[4][2] = {{0, 64}, {64, 64}, {64, 96}, {0, 96}};

// The ranking panel and where it shows.
constexpr int kPanelWidth = 272;
constexpr int kPanelHeight = 353;
constexpr int kPanelX = 367;
constexpr int kPanelY = 64;

// The stage confirm: the system texts "challenge the stage" and "rather not", centred on x 304.
constexpr int kConfirmCentreX = 304;
constexpr int kConfirmFirstText = 10;
constexpr int kConfirmTextCount = 2;
constexpr int kMenuRowHeight = 16;

// What the offer under the hero shows: its title and best score, centred on x 304.
constexpr int kInfoCentreX = 304;
constexpr int kInfoTitleY = 204;
constexpr int kInfoTitleYWithScore = 184;
constexpr int kInfoLineStep = 20;
constexpr int kInfoCell = 16;
constexpr int kScoreLabelText = 2;

// The lives box at the top right.
constexpr int kLivesRight = 605;
constexpr int kLivesBoxY = 17;
constexpr int kLivesBoxHeight = 20;
constexpr int kLivesY = 19;
constexpr int kLivesIconY = 48;
constexpr int kIconSize = 16;

constexpr int kMenuFont = 1;
constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;

DDSURFACEDATA* MapSurface() { return &g_SurfaceData[kPictureMap]; }
DDSURFACEDATA* Accessory() { return &g_SurfaceData[kPictureAccessory]; }

// Clamps a cell onto the map (a damaged progress may name one off it).
int32_t OnMap(int32_t v, int32_t size) { return std::clamp(v, 0, std::max(size - 1, 0)); }

// A system text, or "" when the project's list is short.
const char* SystemText(int index) {
  const auto& texts = g_SystemData.m_astrTexts;
  return static_cast<size_t>(index) < texts.size() ? texts[static_cast<size_t>(index)].c_str() : "";
}

// The panel keeps the texts of the offer information left of it.
int LeftOfPanel(int x, int width, bool panel) {
  if (panel && x + width > kPanelX) x = std::max(kPanelX - width, 1);
  return x;
}

// The world map's background picture file goes into the table row of "bmp\WorldBack.bmp".
void SetBackgroundFile(const std::string& file) {
  DDSURFACEINFO& info = g_SurfaceInfo[kPictureWorldBack];
  std::snprintf(info.szPath, sizeof info.szPath, "%s", file.c_str());
}

void ShowStageLoadError(const std::string& path) { ErrorBoxf("ステージファイル %s が読み込めません！", path.c_str()); }
}  // namespace

cScene* CreateWorldMapScene() { return new cSceneWorldMap; }

cSceneWorldMap::cSceneWorldMap() : cMenuScene(kSceneWorldMap) {
  SetPhases<cSceneWorldMap>({nullptr, &cSceneWorldMap::PhaseMap, &cSceneWorldMap::PhaseConfirm, nullptr});
}

void cSceneWorldMap::Enter() {
  SetBackgroundFile(g_WorldMap.m_strText2);
  if (!EnterMenu(kMusicWorldMap, {kPictureWorldBack, kPictureMapChips, kPictureWorldEvents, kPictureAccessory,
                                  kPictureWindow, kPictureMap}))
    return;
  g_SaveData.RecomputeResultTotal();

  PlaceHero(g_SaveData.m_nMapX, g_SaveData.m_nMapY);
  m_nFacing = g_SaveData.m_nMapFacing;
  UpdatePlace();
  m_SavedCursor = g_MenuCursor.Top();

  if (!CreateSceneSurface(kPanelWidth, kPanelHeight, true)) return;
  RedrawPanel();
  if (m_lpEntry && m_lpEntry->m_nKind == kWorldEntryStage) OnEntryReached();
  // Back from a stage: a play with a story slot of its own saves itself.
  if (g_SaveData.m_bAutoSave && g_SceneMgr.m_nPrevScene == kSceneStage)
    g_SaveData.SaveStorySlot(g_SaveData.m_nStorySlot);
  RenderMap();
  m_nSubState = 0;
}

void cSceneWorldMap::UpdatePlace() {
  const CURSORENTRY& hero = g_MenuCursor.Top();
  m_lpPlace = g_WorldMap.FindMapEntryAt(hero.nColumn, hero.nRow);
  m_lpEntry = ChooseWorldEntry(m_lpPlace, g_SaveData);
}

void cSceneWorldMap::PlaceHero(int32_t x, int32_t y) {
  CURSORENTRY& hero = g_MenuCursor.Top();
  hero.nColumn = OnMap(x, g_WorldMap.m_nWidth);
  hero.nRow = OnMap(y, g_WorldMap.m_nHeight);
  hero.nX = kHeroX;
  hero.nY = kHeroY;
  m_nViewX = hero.nColumn - kHeroViewColumn;
  m_nViewY = hero.nRow - kHeroViewRow;
}

void cSceneWorldMap::MoveMapHero(uint16_t dir) {
  CURSORENTRY& hero = g_MenuCursor.Top();
  const cHeroStep step = StepHero(g_WorldMap, g_SaveData, hero.nColumn, hero.nRow, m_nFacing, dir);
  if (step.bMoved) {
    g_SaveData.m_nPrevMapX = hero.nColumn;
    g_SaveData.m_nPrevMapY = hero.nRow;
    m_SavedCursor = hero;
    m_nFacing = step.nFacing;
    if (step.bUndone) {
      hero = m_SavedCursor;
    } else {
      hero.nColumn = step.nX;
      hero.nRow = step.nY;
      m_nViewX = step.nX - kHeroViewColumn;
      m_nViewY = step.nY - kHeroViewRow;
      g_SaveData.m_nMapFacing = m_nFacing;
      if (m_nViewX != g_WorldMapState.m_nRenderedViewX || m_nViewY != g_WorldMapState.m_nRenderedViewY) RenderMap();
    }
  }
  hero.nX = kHeroX;
  hero.nY = kHeroY;
}

void cSceneWorldMap::OnEntryReached() {
  if (!m_lpEntry) return;
  const cWorldEntry& e = *m_lpEntry;
  g_SaveData.SetCurrentStage(e.m_strStage, e.m_bVariation, e.m_nVariationKey1, e.m_nVariationKey2);
  m_nBestScore = g_SaveData.GetStageResult(g_SaveData.m_strResultKey);
  if (!g_RankingOn) return;
  LoadRankingFile(g_Ranking, g_ModeIndex, g_SaveData.m_strStageKey, g_SaveData.m_bCondOn, g_SaveData.m_nCondVar,
                  g_SaveData.m_nCondValue);
  g_SaveData.StepRankingKind(g_ModeIndex, 0);
  RedrawPanel();
}

void cSceneWorldMap::HandlePanelButtons(uint16_t buttons) {
  if (buttons & kMenuButton3) {
    if (StoryRankingsOn()) {
      RequestSound(kMenuSoundRanking);
      g_SaveData.m_bRankingPanel = g_SaveData.m_bRankingPanel ? 0 : 1;
      RedrawPanel();
    } else if (g_SaveData.m_bRankingPanel) {
      g_SaveData.m_bRankingPanel = 0;
      RedrawPanel();
    }
  }
  if ((buttons & kMenuButton4) && StoryRankingsOn()) {
    if (g_SystemData.CountModeFlags(g_ModeIndex) >= 2) {
      RequestSound(kMenuSoundRanking);
      g_SaveData.StepRankingKind(g_ModeIndex, 1);
    }
    RedrawPanel();
  }
}

int cSceneWorldMap::PhaseMap() {
  const cInputState& input = VecAt(g_InputStates, 0);
  MoveMapHero(input.m_wDir);
  DS_PlayCursorSound(input.m_wDir, kCursorSoundBoth, kMenuSoundCursor);
  UpdatePlace();
  const uint16_t buttons = input.m_wButton;
  if (m_lpEntry && m_lpEntry->m_nKind == kWorldEntryStage) {
    const CURSORENTRY& hero = g_MenuCursor.Top();
    if (hero.nColumn != m_ReachedCell.nColumn || hero.nRow != m_ReachedCell.nRow) {
      OnEntryReached();
      m_ReachedCell = hero;
    }
    if (!IsEntryPassable(m_lpEntry, g_SaveData)) {
      OpenConfirm();
      return 1;
    }
    if (buttons & kMenuDecide) {
      // A cleared stage that may not be played again ignores the button, frame and all.
      if (IsEntryCleared(m_lpEntry, g_SaveData) && !EntryReplayable(*m_lpEntry)) return 1;
      OpenConfirm();
      return 1;
    }
    HandlePanelButtons(buttons);
  }
  if (buttons & kMenuCancel) {
    RequestSound(kMenuSoundMapMenu);
    g_SaveData.m_nMapX = g_MenuCursor.Top().nColumn;
    g_SaveData.m_nMapY = g_MenuCursor.Top().nRow;
    Leave(kSceneMapMenu);
    return 1;
  }
  DrawFrame(true);
  return 1;
}

void cSceneWorldMap::OpenConfirm() {
  g_SaveData.m_nMapX = g_MenuCursor.Top().nColumn;
  g_SaveData.m_nMapY = g_MenuCursor.Top().nRow;
  g_MenuCursor.PushCursor(0);
  m_nSubState = 0;
  m_nPhase = kPhaseConfirm;
}

void cSceneWorldMap::LeaveConfirm() {
  const bool passable = IsEntryPassable(m_lpEntry, g_SaveData);
  // The confirm's own cursor goes either way, so that declining again and again never piles up
  // cursor entries; an offer the hero may not stand on sends it back to the cell it came from.
  g_MenuCursor.PopCursor(1);
  if (!passable) {
    PlaceHero(m_SavedCursor.nColumn, m_SavedCursor.nRow);
    if (m_nViewX != g_WorldMapState.m_nRenderedViewX || m_nViewY != g_WorldMapState.m_nRenderedViewY) RenderMap();
    UpdatePlace();
  }
  m_nSubState = 0;
  m_nPhase = kPhaseMap;
}

int cSceneWorldMap::PhaseConfirm() {
  const cInputState& input = VecAt(g_InputStates, 0);
  if (!m_lpEntry) {
    LeaveConfirm();
    return 1;
  }
  cWorldMapState& state = g_WorldMapState;
  if (m_nSubState == 0) {
    RequestSound(kMenuSoundDecide);
    state.m_bStageLoaded = LoadPlayStage(m_lpEntry->m_strStage, true, &g_StageData, &g_HeroType) ? 1 : 0;
    if (!state.m_bStageLoaded) ShowStageLoadError(m_lpEntry->m_strStage);
    g_MenuCursor.Top().nRow = 1;
    m_nSubState = 1;
  }
  state.m_nConfirmX = g_SystemData.GetMenuLeft(kConfirmCentreX, kConfirmFirstText, kConfirmTextCount, 1);
  g_MenuCursor.MoveGridCursor(input, state.m_nConfirmX, state.m_nConfirmY, 0, kMenuRowHeight, 1, kConfirmTextCount);
  DS_PlayCursorSound(input.m_wDir, kCursorSoundVertical, kMenuSoundCursor);
  const uint16_t buttons = input.m_wButton;
  if (buttons & kMenuDecide) {
    RequestSound(kMenuSoundDecide);
    if (g_MenuCursor.Top().nRow == 0 && state.m_bStageLoaded) {
      g_SaveData.m_nMapFacing = m_nFacing;
      StartEntryStage(*m_lpEntry, g_StagePath, g_SaveData);
      Leave(kSceneStage);
    } else {
      LeaveConfirm();
    }
    return 1;
  }
  if (buttons & kMenuCancel) {
    RequestSound(kMenuSoundCancel);
    LeaveConfirm();
    return 1;
  }
  HandlePanelButtons(buttons);
  DrawFrame(true);
  DrawSystemMenu(g_SystemData, state.m_nConfirmX, state.m_nConfirmY, kConfirmFirstText, kConfirmTextCount, 1);
  DrawArrow(g_MenuCursor.Top().nX, g_MenuCursor.Top().nY);
  return 1;
}

int cSceneWorldMap::FadeIn() {
  // 8-bit colour: the palette may have changed under the pictures.
  if (g_nDisplayBpp == 8) {
    RenderMap();
    RedrawPanel();
  }
  DrawFrame(!g_SaveData.m_bLeftStage);
  if (!StepFadeIn()) return 1;
  m_nPhase = kPhaseMap;
  if (!m_lpEntry || m_lpEntry->m_nKind != kWorldEntryStage) return 1;
  if (g_SaveData.m_bLeftStage) {
    // The player left the stage from its menus: an uncleared stage puts the hero back where it was.
    g_SaveData.m_bLeftStage = 0;
    if (!IsEntryCleared(m_lpEntry, g_SaveData)) {
      PlaceHero(g_SaveData.m_nPrevMapX, g_SaveData.m_nPrevMapY);
      RenderMap();
      UpdatePlace();
    }
  } else if (g_SceneMgr.m_nPrevScene != kSceneMapMenu && !IsEntryPassable(m_lpEntry, g_SaveData)) {
    // A stage the hero may not walk over starts by itself, without the confirm.
    if (!LoadPlayStage(m_lpEntry->m_strStage, true, &g_StageData, &g_HeroType)) {
      ShowStageLoadError(m_lpEntry->m_strStage);
      FatalStop();
      return 1;
    }
    StartEntryStage(*m_lpEntry, g_StagePath, g_SaveData);
    g_SaveData.m_nPrevMapX = g_MenuCursor.Top().nColumn;
    g_SaveData.m_nPrevMapY = g_MenuCursor.Top().nRow;
    Leave(kSceneStage);
  }
  return 1;
}

int cSceneWorldMap::FadeOut() {
  DrawFrame(true);
  StepFadeOut();
  return 1;
}

void cSceneWorldMap::RenderMap() {
  const cWorldMapSheets sheets{&g_SurfaceData[kPictureWorldBack], &g_SurfaceData[kPictureMapChips],
                               &g_SurfaceData[kPictureWorldEvents]};
  RenderWorldMapPicture(MapSurface(), g_WorldMap, g_SaveData, m_nViewX, m_nViewY, sheets);
  g_WorldMapState.m_nRenderedViewX = m_nViewX;
  g_WorldMapState.m_nRenderedViewY = m_nViewY;
}

void cSceneWorldMap::RedrawPanel() {
  DDSURFACEDATA* panel = SceneSurface();
  if (!panel) return;
  DDFillSurface(panel, 0);
  // A damaged progress or ranking file may name a kind the rankings lack: the panel stays empty.
  const int kind = g_SaveData.m_nRankingKind;
  if (kind >= 0 && static_cast<size_t>(kind) < g_Ranking.m_aTables.size())
    DrawRanking(g_Ranking, panel, 0, 0, kind, -1);
}

void cSceneWorldMap::DrawFrame(bool info) {
  if (TakeContentsLost(MapSurface())) RenderMap();
  DDBlt(&g_BackBufferSD, 0, 0, kScreenWidth, kScreenHeight, MapSurface(), 0, 0, 0);
  AnimatePalette();
  DrawHero();
  if (ShowLivesOnMap()) DrawLives();
  if (info) DrawEntryInfo();
}

void cSceneWorldMap::DrawHero() {
  const int facing = m_nFacing >= kFacingDown && m_nFacing <= kFacingRight ? m_nFacing : kFacingDown;
  int& counter = g_WorldMapState.m_nHeroAnim;
  const int sx = kHeroSource[facing][0] + (counter >= kHeroSecondPicture ? kHeroSize : 0);
  counter = counter >= 0 && counter < kHeroAnimCycle - 1 ? counter + 1 : 0;
  DDBlt(&g_BackBufferSD, kHeroX, kHeroY, kHeroSize, kHeroSize, Accessory(), sx, kHeroSource[facing][1], 1);
}

void cSceneWorldMap::DrawLives() {
  const int32_t lives = g_SaveData.m_nLives;
  const bool unlimited = lives == kUnlimitedLives;
  const int digits = unlimited ? 1 : CountDigits(lives);
  const int x = kLivesRight - kIconSize * digits;
  cFont& font = g_Font[kMenuFont];
  font.DrawBox(&g_BackBufferSD, x, kLivesBoxY, kIconSize * (digits + 1), kLivesBoxHeight);
  DDBlt(&g_BackBufferSD, x, kLivesY, kIconSize, kIconSize, Accessory(), 0, kLivesIconY, 1);
  if (unlimited)
    font.DrawString(&g_BackBufferSD, x + kIconSize, kLivesY, "∞");
  else
    font.DrawStringF(&g_BackBufferSD, x + kIconSize, kLivesY, "%d", lives);
}

void cSceneWorldMap::DrawEntryInfo() {
  if (!m_lpEntry || m_lpEntry->m_nKind != kWorldEntryStage) return;
  const bool panel = StoryRankingsOn() && g_SaveData.m_bRankingPanel;
  if (panel) {
    DDSURFACEDATA* surface = SceneSurface();
    if (TakeContentsLost(surface)) RedrawPanel();
    if (surface) DDBlt(&g_BackBufferSD, kPanelX, kPanelY, kPanelWidth, kPanelHeight, surface, 0, 0, 0);
  }
  cFont& font = g_Font[kMenuFont];
  const bool score = MapShowsScore() && m_nBestScore > 0;
  const int y = score ? kInfoTitleYWithScore : kInfoTitleY;
  const std::string& title = m_lpEntry->m_strText;
  if (!title.empty()) {
    const int chars = CountSjisChars(title.c_str());
    const int width = kInfoCell * chars;
    const int x = LeftOfPanel(kInfoCentreX - kInfoCell / 2 * chars, width, panel);
    font.DrawBoxString(&g_BackBufferSD, x, y, width, kInfoCell, title.c_str(), 0);
  }
  if (score) {
    std::string line;
    FormatStr(line, "%s%d", SystemText(kScoreLabelText), m_nBestScore);
    const int width = kInfoCell * (CountSjisChars(SystemText(kScoreLabelText)) + CountDigits(m_nBestScore));
    const int x = LeftOfPanel(kInfoCentreX - width / 2, width, panel);
    font.DrawBoxString(&g_BackBufferSD, x, y + kInfoLineStep, width, kInfoCell, line.c_str(), 0);
  }
}
