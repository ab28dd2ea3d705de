// The stage-play scene: construction, the scene slots, the intro, the fades, the pause key, lives
// and the end phases as far as stage play itself decides them.
#include "stage/scene_stage.h"

#include <cstdio>

#include "core/log.h"
#include "data/game_data.h"
#include "flow/effect_obj.h"
#include "media/graphics/blit.h"
#include "media/graphics/display.h"
#include "media/graphics/fade.h"
#include "media/graphics/palette.h"
#include "media/graphics/surface_table.h"
#include "media/sound/sound_effects.h"
#include "objects/chara_exc_surfaces.h"
#include "objects/play_objects.h"
#include "objects/shot.h"
#include "platform/input/keyboard.h"
#include "platform/input/virtual_keys.h"
#include "platform/messages.h"
#include "shell/app_globals.h"
#include "shell/scene_mgr.h"
#include "stage/stage_loading.h"
#include "stage/stage_play_hooks.h"
#include "stage/stage_start.h"

namespace {

constexpr int kSurfaceWord = 52;
constexpr int kSoundMenuOpens = 4;
// Palette colour the back buffer is filled with when a fade-out ends.
constexpr uint32_t kFadeFillColour = 16;

// One word of "bmp\Word.bmp" at a screen position.
void DrawWord(int x, int y, int sx, int sy, int w, int h) {
  DDBlt(&g_BackBufferSD, x, y, w, h, &g_SurfaceData[kSurfaceWord], sx, sy, 1);
}

// The stage number with the digit strip of "bmp\Word.bmp" (one digit at least).
void DrawStageNumber(int x, int y, int number) {
  char digits[16];
  const int count = std::snprintf(digits, sizeof digits, "%d", number < 0 ? 0 : number);
  for (int i = 0; i < count; ++i) DrawWord(x + 32 * i, y, 32 * (digits[i] - '0'), 128, 32, 32);
}

}  // namespace

cSceneStage* SceneStage() { return dynamic_cast<cSceneStage*>(g_lpSceneStage); }

cSceneStage::cSceneStage() {
  SetPhases<cSceneStage>({nullptr, &cSceneStage::PhaseIntro, &cSceneStage::PhasePlay, &cSceneStage::PhasePauseMenu,
                          &cSceneStage::PhaseStageEnd, &cSceneStage::PhaseContinueMenu, &cSceneStage::PhaseGameOver,
                          nullptr});
  m_nPhase = -1;
  m_anRankPlaces.assign(5, -1);
  m_anRankValues.assign(5, 0);
  g_SaveData.m_nBgm = 0;
  g_lpSceneStage = this;
}

cSceneStage::~cSceneStage() {
  // The database pictures go with the scene: nothing draws from them any more.
  if (m_bPicturesInUse) {
    UseCharaExcSurfaces(nullptr);
    UseSwordSurfaces(nullptr);
    UseEffectSurfaces(nullptr);
  }
  // The objects of the last attempt go with the scene; the shots first, as they point at them.
  m_ShotList.clear();
  for (auto& group : m_aShotGroups) group.clear();
  g_CharaList.clear();
  g_ItemList.clear();
  if (g_lpSceneStage == this) g_lpSceneStage = nullptr;
}

int cSceneStage::Step() {
  if (g_bQuit.load()) return 1;
  m_nMeasuredFps = g_SceneMgr.m_nMeasuredFps;
  // A finished test play stands still until the window has closed.
  if (m_bClosing) return 1;
  if (m_nPhase == -1) {
    try {
      Enter();
    } catch (const char* text) { ECLogAndQuit(g_hMainWnd.load(), "%s", text ? text : ""); }
    // Enter may have sent the scene back already (a stage that did not load).
    if (m_nPhase == -1) m_nPhase = kStagePhaseFadeIn;
    if (g_bQuit.load()) return 1;
  }
  return RunPhase();
}

void cSceneStage::Enter() {
  RedrawAndPresent();
  m_nOutcome = kOutcomeRunning;
  bool loaded = false;
  if ((g_PlayMode == kPlayModeStoryNew || g_PlayMode == kPlayModeStoryContinue) && g_SaveData.m_bInStage) {
    std::string path;
    if (!StagePathOfNumber(g_SaveData.m_nStage, path) || !LoadPlayStage(path, true, &g_StageData, &g_HeroType)) {
      // The original stopped the program here. The loader has said why; the player goes back to
      // the scene that started the stage.
      ErrorBoxf("ステージファイル %s が読み込めません！", path.c_str());
      LeaveStage(g_SceneMgr.m_nPrevScene == kSceneStage ? kSceneTitle : g_SceneMgr.m_nPrevScene);
      return;
    }
    loaded = true;
  }
  m_bRankingDone = 0;
  m_anRankPlaces.assign(5, 0);
  m_anRankValues.assign(5, 0);
  // The stage's pictures; when the stage scene follows itself only the background pictures change.
  const bool again = g_SceneMgr.m_nPrevScene == kSceneStage;
  if (!LoadStagePictures(again && m_bPicturesInUse)) return;
  if (!again && !loaded) {
    ResetPlayState();
    UseLife(g_SaveData);
  }
  SetupStage(again ? 1 : 0, 1);
  m_nSubState = 0;
}

void cSceneStage::LeaveStage(int scene) {
  g_SceneMgr.m_nRequestScene = scene;
  m_nSubState = 0;
  m_nPhase = kStagePhaseFadeOut;
}

int cSceneStage::FadeIn() {
  DrawStage(0, 1);
  // The fade keeps its own phase from call to call; a reset would end it in one frame.
  if (DDFadeIn(g_WorkPalette, 0, 255, 0, 0, 0, g_SceneMgr.m_nFadeStep, g_GamePalette, 0)) {
    m_nSubState = 0;
    m_nPhase = kStagePhaseIntro;
  } else {
    m_nSubState = 1;
  }
  return 1;
}

int cSceneStage::PhaseIntro() {
  DrawStage(0, 1);
  if (!(g_TestPlay && g_DirectPlay)) {
    if (g_PlayMode == kPlayModeReplay) {
      if (++m_nBannerCounter < kBannerFrames) {
        DrawWord(256, 224, 0, 32, 128, 32);
        return 1;
      }
    } else {
      if (g_StageFile.m_bCaption1 && ++m_nBannerCounter < kBannerFrames) {
        DrawWord(256, 224, 0, 0, 128, 32);
        DrawStageNumber(384, 224, g_SaveData.m_nStage);
        return 1;
      }
      if (g_StageFile.m_bCaption2 && ++m_nBanner2Counter < kBannerFrames) {
        DrawWord(280, 224, 160, 0, 80, 32);
        return 1;
      }
    }
  }
  cHero& hero = g_HeroList[0];
  hero.m_Anim.SetAnime(hero.m_bGravityFree ? 2 : 0, 1);
  m_nBannerCounter = 0;
  m_nSubState = 0;
  m_nPhase = kStagePhasePlay;
  return 1;
}

int cSceneStage::CheckPauseKey() {
  if (g_PlayMode != kPlayModeReplay && !g_SystemData.m_bPauseKey) return 0;
  if (!(GetAsyncKeyState(VK_SPACE) & 0x8000)) return 0;
  RequestSound(kSoundMenuOpens);
  m_nSavedPhase = m_nPhase;
  m_nSavedSubState = m_nSubState;
  return 1;
}

int cSceneStage::UseLife(cSaveData& progress) {
  if (g_DirectPlay || progress.m_nLives == kUnlimitedLives) return 1;
  if (progress.m_nLives >= 1) {
    --progress.m_nLives;
    return 1;
  }
  return 0;
}

void cSceneStage::ResetPlayState() {
  if (g_PlayMode != kPlayModeReplay && g_SaveData.m_bCondOn && g_SaveData.m_nCondVar >= 0 &&
      g_SaveData.m_nCondVar < static_cast<int>(g_SaveData.m_anCommonVars.size()))
    g_SaveData.m_anCommonVars[static_cast<size_t>(g_SaveData.m_nCondVar)] = g_SaveData.m_nCondValue;
  g_SaveData.m_nLives = g_SaveData.m_nStartLives;
  g_SaveData.m_nScore = 0;
  g_SaveData.m_nScoreTotal = 0;
  g_SaveData.m_nClearTimeTotal = 0;
  g_SaveData.m_nRemainTimeTotal = 0;
  g_SaveData.m_nRemainHpTotal = 0;
  g_SaveData.m_nRemainSpTotal = 0;
  g_SaveData.m_bPlaceRequest = 0;
  m_ScrollX.m_dPosition = 0;
  m_ScrollY.m_dPosition = 0;
  m_nSubState = 0;
  m_nBannerCounter = m_nBanner2Counter = 0;
  m_bButtonHold = 0;
  m_nTimer = 0;
  m_bRankingDone = 0;
  m_MesWindows.clear();
  if (g_PlayMode != kPlayModeReplay) {
    g_InputLog = cInputLog();
    g_PrevInputLog = cInputLog();
  }
  if (g_DirectPlay) g_SaveData.m_nStage = 1;
  // The ranking set of the mode arrives with the rankings.
}

void cSceneStage::FinishPlay(int outcome) {
  m_nOutcome = outcome;
  NoteStageOutcome(outcome, m_nFrameCount);
  // A test play ends with its stage: the editor (or the command line) gets control back; so does a
  // replay played from the command line.
  if (g_TestPlay || ReplayFromCommandLine()) {
    g_bCloseConfirmed.store(1);
    PostMessage(g_hMainWnd.load(), WM_CLOSE, 0, 0);
    m_bClosing = 1;
    return;
  }
  LeaveStage(g_SceneMgr.m_nPrevScene == kSceneStage ? kSceneTitle : g_SceneMgr.m_nPrevScene);
}

int cSceneStage::FadeOut() {
  const bool done = DDFadeOut(g_WorkPalette, 0, 255, 0, 0, 0, g_SceneMgr.m_nFadeStep, g_GamePalette, 0);
  m_nSubState = 1;
  if (!done) return 1;
  DDFillSurface(&g_BackBufferSD, kFadeFillColour);
  if (g_ReturnToTitle) g_SceneMgr.m_nRequestScene = kSceneTitle;
  const bool freePlayFile = g_PlayMode == kPlayModeFree && !g_SaveData.m_bNumberedStage;
  if (freePlayFile || g_DirectPlay) {
    // The original reloaded the stage file whatever came next; it is read again only when the stage
    // is what comes next.
    g_SaveData.m_bNumberedStage = 0;
    if (g_SceneMgr.m_nRequestScene == kSceneStage && !StartStageFromFile(g_CurrentStageFile, false))
      g_SceneMgr.m_nRequestScene = kSceneTitle;
  } else if (g_PlayMode == kPlayModeStoryNew || g_PlayMode == kPlayModeStoryContinue) {
    g_SaveData.m_bInStage = 0;
  }
  g_SceneMgr.m_nFrameRate = 60;
  g_SceneMgr.m_nScene = g_SceneMgr.m_nRequestScene;
  g_SceneMgr.m_nPrevScene = kSceneStage;
  m_nPhase = -1;
  m_nSubState = 0;
  return 1;
}
