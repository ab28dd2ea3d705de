// Stage set-up: from the loaded stage to a stage ready for its intro.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

#include "core/containers.h"
#include "core/log.h"
#include "core/numbers.h"
#include "core/timing.h"
#include "data/game_data.h"
#include "media/graphics/display.h"
#include "media/graphics/palette.h"
#include "objects/flow_runner.h"
#include "objects/play_objects.h"
#include "objects/shot.h"
#include "objects/stage_hooks.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "shell/app_globals.h"
#include "shell/input_state.h"
#include "shell/menu_cursor.h"
#include "shell/scene_mgr.h"
#include "stage/deferred_removals.h"
#include "stage/placement_offset.h"
#include "stage/project_rules.h"
#include "stage/replay_play.h"
#include "stage/scene_stage.h"
#include "stage/stage_loading.h"
#include "stage/stage_play_hooks.h"

namespace {

constexpr int kMarginCells = 10;
constexpr int kCell = 32;
constexpr int kTriggerBeforeStart = 25;

// One scroll axis over cells map cells: the 10-cell margins, the block table's row layout (x axis),
// the automatic scroll and the range limits of the stage's settings.
void SetUpAxis(cScrollAxis& axis, int index, int cells) {
  const cStageData& stage = g_StageFile;
  axis.LayOutMap(index, cells);
  const int limit = index == 0 ? 0 : 2;
  axis.SetAutoScroll(index == 0 ? stage.m_bAutoScrollX : stage.m_bAutoScrollY,
                     index == 0 ? stage.m_nAutoScrollSpeedX : stage.m_nAutoScrollSpeedY);
  axis.SetScrollRange(stage.m_anScrollLimit[limit], stage.m_anScrollLimit[limit + 1], stage.m_abScrollLimitOn[limit],
                      stage.m_abScrollLimitOn[limit + 1]);
}

// g_BlockTable made anew with cells blank cells (no picture, no contact, not protected); false when
// it cannot be. A cell's inherit flags are only read when a block type is loaded, and a block put
// into a cell brings its own, so a blank cell goes without: a large map's table is made without an
// allocation per cell.
bool MakeBlockTable(int64_t cells) {
  if (cells < 0 || cells > std::numeric_limits<int32_t>::max()) return false;
  try {
    cBlock blank;
    blank.m_nGraphic = 0;
    blank.m_nContact = 0;
    blank.m_bProtected = 0;
    blank.m_abInherit = std::vector<uint8_t>();
    g_BlockTable.assign(static_cast<size_t>(cells), blank);
    return true;
  } catch (const std::bad_alloc&) {
    // memory ran out
  } catch (const std::length_error&) {
    // more cells than a vector can hold
  }
  return false;
}

bool AnyMarginOn(const cStageQuad& area) {
  return area.m_bLeftOn || area.m_bRightOn || area.m_bTopOn || area.m_bBottomOn;
}

}  // namespace

// n sub-steps and k shot-hit checks per frame: k of the sub-steps, spread evenly from the first,
// run the shot-hit pass (every sub-step when k is 0, and when a damaged file gives a negative k);
// the last sub-step makes up a shortfall.
std::vector<int32_t> SubStepFlags(int n, int k) {
  std::vector<int32_t> flags(static_cast<size_t>(std::max(n, 0)), k <= 0 ? 1 : 0);
  if (k <= 0 || n <= 0) return flags;
  // More checks than sub-steps set every sub-step, as n of them do; a damaged stage's count of
  // billions is not walked through.
  k = std::min(k, n);
  const double step = static_cast<double>(n) / k;
  int set = 0;
  for (int i = 0; i < k; ++i) {
    const int at = static_cast<int>(i * step);
    if (at >= n) break;
    if (!flags[static_cast<size_t>(at)]) ++set;
    flags[static_cast<size_t>(at)] = 1;
  }
  if (set < k) flags[static_cast<size_t>(n - 1)] = 1;
  return flags;
}

void cSceneStage::CreateCharasFromType(int column, int row, cCharaType& type, const cItem* carried, int direction,
                                       int repeat) {
  const double x = (column + kMarginCells) * kCell + 16;
  const double y = (row + kMarginCells) * kCell + 16;
  for (int i = 0; i <= repeat; ++i) {
    cChara chara;
    // Each copy of a repeated placement knows its copy number (the commands' per-copy terms).
    chara.InitChara(m_nNextCharaId, type, carried, x, y, i);
    chara.PlaceCharaOnGrid(column, row);
    ApplyPlacementOffset(chara, type, i, direction, HomeKeepsPlacementOffset());
    // A character placed outside the stage is dropped, and its id stays free.
    if (!chara.IsInsideStage(1)) continue;
    chara.AfterMoveX();
    chara.AfterMoveY();
    g_CharaList.push_back(chara);
    g_CharaList.back().UpdateScreenRect();
    ++m_nNextCharaId;
  }
}

void cSceneStage::CreateItemsFromType(int column, int row, cItemType& type) {
  cItem item;
  item.InitItem(m_nNextItemId, type, 0);
  item.PlaceItemOnGrid(column, row, 1);
  if (!item.IsInsideStage(1)) return;
  g_ItemList.push_back(item);
  g_ItemList.back().UpdateScreenRect();
  ++m_nNextItemId;
}

void cSceneStage::SetupStage(int restart, int fresh) {
  // Removals a wait marked belonged to the attempt that goes now.
  ForgetDeferredRemovals();
  m_nFrameCount = 0;
  m_nClearOption = 0;
  m_nOutcome = kOutcomeRunning;

  // The previous attempt goes: shots first (they point at characters), then characters and items.
  m_ShotList.clear();
  for (auto& group : m_aShotGroups) group.clear();
  for (auto& group : m_aCharaGroups) group.clear();
  g_CharaList.clear();
  g_ItemList.clear();

  if (g_PlayMode == kPlayModeStoryNew || g_PlayMode == kPlayModeStoryContinue) g_SaveData.m_bInStage = 1;
  g_SaveData.m_nNextStage = 0;

  if (restart) {
    // Playback that moved on to another replay plays that replay's stage: its background pictures
    // are loaded in place of the last ones.
    if (ReloadReplayForRestart() && !LoadStagePictures(true)) return;
    RestoreStageSettings();
    // Flows may have changed the hero placement during the last attempt; a replay has just read its
    // own again.
    const int hero = HeroTypeIndex(g_StageFile);
    if (hero >= 0 && g_PlayMode != kPlayModeReplay && !KeepHeroPlacementAtRestart())
      g_StageFile.m_aCharas[static_cast<size_t>(hero)] = g_HeroType;
  }

  // The seed: the recorded one in playback, else a new one that a recording play stores with its log.
  if (g_PlayMode == kPlayModeReplay) {
    StartReplayPlayback();
    m_nSeed = static_cast<uint32_t>(g_InputLog.m_nSeed);
  } else {
    m_nSeed = timeGetTime();
    StartLivePlayLog(static_cast<int32_t>(m_nSeed));
  }

  // The hero's status carried over from the previous stage goes into the placement it is built from
  // (and into the stage's time limit and music).
  if (g_StageFile.m_bCarryOver) {
    const int carrier = HeroTypeIndex(g_StageFile);
    if (carrier >= 0) g_SaveData.ApplyCarryOver(0, g_StageFile.m_aCharas[static_cast<size_t>(carrier)], g_StageFile);
  }

  // Music: a retry keeps the same music; entering anew keeps it only when the stage says so.
  const int bgm = g_StageFile.m_nBgm;
  bool request = true;
  if (g_PlayMode != kPlayModeReplay) {
    if (!fresh && bgm == g_SaveData.m_nBgm) request = false;
    if (fresh && g_StageFile.m_bBgmKeep && bgm == g_SaveData.m_nBgm && bgm != 0) request = false;
  }
  if (request) RequestBgmByNumber(bgm, g_StageFile.m_bBgmLoop);

  g_SceneMgr.m_nLastBgm = 0;
  m_nNextCharaId = m_nNextItemId = m_nNextShotId = 0;
  g_StageFile.SetHitCheckLevel(g_StageFile.m_nHitCheckLevel);

  SetUpAxis(m_ScrollX, 0, g_StageFile.m_nWidth);
  SetUpAxis(m_ScrollY, 1, g_StageFile.m_nHeight);
  m_nBlockOriginX = m_nBlockOriginY = kMarginCells;

  // The block table, every cell blank, then the placed blocks. A table that memory cannot hold, or
  // whose cells the table's int indexes cannot reach, fails the set-up as a lack of memory does.
  if (!MakeBlockTable(static_cast<int64_t>(m_ScrollX.m_nRowStride) * m_ScrollY.m_nCells)) {
    ErrorBoxf("メモリ不足により、ステージの初期設定に失敗しました！");
    FatalStop();
    return;
  }
  const int shift = m_ScrollX.m_nShift;
  for (const cBlockType& placed : g_StageFile.m_aBlocks) {
    // Placements outside the map (a damaged file) are left out.
    if (placed.m_nCellX < 0 || placed.m_nCellY < 0 || placed.m_nCellX >= g_StageFile.m_nWidth ||
        placed.m_nCellY >= g_StageFile.m_nHeight)
      continue;
    cBlock& cell = VecAt(g_BlockTable, ((placed.m_nCellY + kMarginCells) << shift) + placed.m_nCellX + kMarginCells);
    static_cast<cBlockType&>(cell) = placed;
  }

  // The hero.
  m_nHeroCount = 1;
  g_HeroList.assign(1, cHero());
  cHero& hero = g_HeroList[0];
  const int heroIndex = HeroTypeIndex(g_StageFile);
  if (heroIndex < 0) return;  // the loader refuses such a stage
  cCharaType& heroType = g_StageFile.m_aCharas[static_cast<size_t>(heroIndex)];
  if (g_SaveData.m_bPlaceRequest && g_SaveData.m_nPlaceFacing != 2)
    heroType.m_nFacing = static_cast<int8_t>(g_SaveData.m_nPlaceFacing);
  int column = heroType.m_nCellX;
  int row = heroType.m_nCellY;
  hero.InitHero(m_nNextCharaId++, heroType, (column + kMarginCells) * kCell + 16, (row + kMarginCells) * kCell + 16, 0);
  if (g_SaveData.m_bPlaceRequest) {
    // The placement keeps the requested place, as it keeps its facing.
    heroType.m_nCellX = static_cast<int16_t>(g_SaveData.m_nPlaceX);
    heroType.m_nCellY = static_cast<int16_t>(g_SaveData.m_nPlaceY);
    column = g_SaveData.m_nPlaceX;
    row = g_SaveData.m_nPlaceY;
  }
  hero.SetGridPos(column, row, 1);
  ApplyPlacementOffset(hero, heroType, 0, heroType.m_nFacing, false);
  if (g_StageFile.m_bCarryOver) g_SaveData.ApplyCarryOverValues(0, hero.m_nHp, hero.m_nSp);
  hero.m_Anim.SetAnime(hero.m_bGravityFree ? 2 : 0, 1);

  // The view on the hero.
  m_ScrollX.m_dPosition = hero.m_dX - 320 + hero.m_nWidth / 2;
  m_ScrollX.ClampScroll();
  m_ScrollY.m_dPosition = hero.m_dY - 240 + hero.m_nHeight / 2;
  m_ScrollY.ClampScroll();
  hero.UpdateHeroScreenRect();
  // The mask of the stage's hero, whatever the last stage left in its surface (a view range of 0
  // masks the whole screen).
  if (hero.m_Type.m_nViewMode != 0) BuildViewMask(hero);

  m_anStageVars.assign(kStageVarCount, 0);

  // Placed characters, then the items no character carries. A character carries the placed item its
  // placement names; that placement is then not put on the map.
  std::vector<bool> carriedPlacements(g_StageFile.m_aItems.size(), false);
  for (cCharaType& placed : g_StageFile.m_aCharas) {
    if (placed.m_nControl != 1) continue;
    const int carried = placed.m_nCarriedItem;
    cItem item;
    // Any number outside the placed items (a damaged file) carries nothing.
    const bool carries = carried >= 0 && carried < static_cast<int>(g_StageFile.m_aItems.size());
    if (carries) {
      item.InitItem(m_nNextItemId++, g_StageFile.m_aItems[static_cast<size_t>(carried)], 1);
      carriedPlacements[static_cast<size_t>(carried)] = true;
    }
    // The placement's direction byte and its repeat byte (the count of further characters).
    CreateCharasFromType(placed.m_nCellX, placed.m_nCellY, placed, carries ? &item : nullptr, placed.m_nFacing,
                         std::max<int>(placed.m_nOpt6, 0));
  }
  for (size_t i = 0; i < g_StageFile.m_aItems.size(); ++i) {
    cItemType& placed = g_StageFile.m_aItems[i];
    if (!carriedPlacements[i]) CreateItemsFromType(placed.m_nCellX, placed.m_nCellY, placed);
  }

  VecAt(m_aCharaGroups, hero.m_nKind).push_back(&hero);
  for (cChara& chara : g_CharaList) VecAt(m_aCharaGroups, chara.m_nKind).push_back(&chara);

  for (int i = 0; i < 3; ++i) m_abKeepArea[i] = AnyMarginOn(g_StageFile.m_aKeepAreas[i]) ? 1 : 0;

  m_MesWindows.clear();
  ClearMesPictures();
  m_Effects.clear();
  m_ScrEffect.ClearScrEffect();
  m_ScreenColour.Reset();
  m_GameWait.m_nCounter = 0;
  ClearScreenPictures();

  // The stage's shot-hit checks per frame spread over the sub-steps, and its active-only hit rule.
  m_anSubStepFlags = SubStepFlags(g_StageFile.m_nSubSteps, g_StageFile.m_nShotHitChecks);
  m_bActiveOnlyHits = g_StageFile.m_bActiveOnlyHits;

  m_nEndRequest = kEndNone;
  m_nBannerCounter = m_nBanner2Counter = 0;
  if (g_StageFile.m_bTimeLimit) {
    m_bTimerStopped = 0;
    m_nTimer = std::clamp(g_StageFile.m_nTimeLimit, 0, kStageTimerMax);
  } else {
    m_nTimer = kStageTimerMax;
    m_bTimerStopped = 1;
  }
  m_nPlayFrames = 0;
  m_nPlayTime = 0;
  m_abActiveGroups.assign(kActivityFlagCount, 0);
  m_nSubStep = 0;
  m_nSubStepTotal = 0;
  g_SaveData.m_nScore = 0;

  // Playback and a test play started directly drop the place request; the attempt's start is kept
  // aside for a retry.
  if (g_PlayMode == kPlayModeReplay || (g_TestPlay && g_DirectPlay)) g_SaveData.ClearProgressBlock();
  g_SaveData.BackupRetryState();

  for (cInputState& input : g_InputStates) {
    input.ClearInputHistory();
    input.ResetKeyEvents();
    input.ClearDirInput();
    input.ClearButtonInput();
  }
  g_MenuCursor.ResetCursorStack();
  CountInterval(0, 60);
  for (cBackLayer& layer : g_StageFile.m_aLayers) layer.m_dAutoOffsetX = layer.m_dAutoOffsetY = 0;

  // In 8-bit DirectDraw the palette goes back to the game's, whatever the last attempt left in it.
  if (!lpDTCon && g_nDisplayBpp == 8) {
    std::memcpy(g_WorkPalette, g_GamePalette, sizeof g_WorkPalette);
    if (g_lpDDPalette) g_lpDDPalette->SetEntries(0, 256, g_WorkPalette);
  }

  // A stage's frame rate of 0 (or below) runs unthrottled.
  g_SceneMgr.m_nFrameRate = std::max(0, g_StageFile.m_nFps);

  hero.LinkHeroAndParent(nullptr);
  for (cChara& chara : g_CharaList) chara.LinkHeroAndParent(nullptr);

  // The flows of trigger 25, before the stage starts: the hero's, then every active character's
  // (every character's in older projects, activity not worked out first).
  const bool everyChara = StartFlowsOfEveryChara();
  if (!everyChara) StepActivity();
  TriggerFlows(hero, kTriggerBeforeStart);
  for (auto it = g_CharaList.begin(); it != g_CharaList.end();) {
    if (!everyChara && !it->m_bActive) {
      ++it;
      continue;
    }
    TriggerFlows(*it, kTriggerBeforeStart);
    if (it->m_bVanished) {
      it = EraseChara(it);
    } else if (it->m_nHp <= 0) {
      DefeatChara(*it);
      it = EraseChara(it);
    } else {
      ++it;
    }
  }
  StepActivity();
  m_nStatusDisplay = g_StageFile.m_bStatusDisplay;
  DDSetVirtualBackBuffer(0);
}
