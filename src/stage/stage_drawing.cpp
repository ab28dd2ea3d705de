// One picture of the running stage, in its fixed order, and the stage's pictures, effect objects
// and message windows drawn in it.
#include <iterator>

#include "core/strings.h"
#include "data/game_data.h"
#include "media/graphics/display.h"
#include "media/graphics/font.h"
#include "media/graphics/layer.h"
#include "media/graphics/surface_table.h"
#include "objects/chara_conditions.h"
#include "objects/graphic_source.h"
#include "objects/play_objects.h"
#include "shell/app_globals.h"
#include "shell/scene_mgr.h"
#include "shell/screen_effect.h"
#include "stage/deferred_removals.h"
#include "stage/object_layers.h"
#include "stage/project_rules.h"
#include "stage/scene_stage.h"
#include "stage/stage_timer_draw.h"
#include "stage/status_bar.h"

namespace {

// System texts of the captions at the screen's bottom: a stage started directly, a test play.
constexpr int kTextDirectStartCaption = 30;
constexpr int kTextTestPlayCaption = 29;
constexpr int kCaptionY = 456;
constexpr int kCaptionFont = 1;
constexpr int kCaptionCellWidth = 16;

// The screen effect re-draws the finished picture through its distortion, centred where it needs a
// centre on the player hero; outside the play frame it only draws.
void RunStageScreenEffect(cSceneStage& scene, int frozen) {
  if (scene.m_ScrEffect.nEffect == 0) return;
  cScreenEffectView view;
  if (!g_HeroList.empty()) {
    const cHero& hero = g_HeroList.front();
    view.m_nHeroCentreX = hero.m_ScreenRect.left + (hero.m_nGraphicWidth >> 1);
    view.m_nHeroCentreY = hero.m_ScreenRect.top + (hero.m_nGraphicHeight >> 1);
  }
  RunScreenEffect(scene.m_ScrEffect, view, frozen);
}

// The head-up display: the status bar, then the stage timer (its warning sound only in play
// frames).
void DrawHeadUpDisplay(cSceneStage& scene, int inPlay) {
  DrawStatusBar(scene, &g_BackBufferSD);
  DrawStageTimer(scene, &g_BackBufferSD, inPlay);
}

// The caption of a stage started directly (the key that ends it), else of a test play (the key that
// goes back to the title), centred at the screen's bottom; nothing in other plays.
void DrawCaptions() {
  int text = -1;
  if (!g_ReturnToTitle && g_DirectPlay)
    text = kTextDirectStartCaption;
  else if (g_TestPlay)
    text = kTextTestPlayCaption;
  const std::vector<std::string>& texts = g_SystemData.m_astrTexts;
  if (text < 0 || static_cast<size_t>(text) >= texts.size()) return;
  const char* caption = texts[static_cast<size_t>(text)].c_str();
  const int x = 320 - CountSjisChars(caption) * kCaptionCellWidth / 2;
  g_Font[kCaptionFont].DrawString(&g_BackBufferSD, x, kCaptionY, caption);
}

// The screen's last steps, also of a frame that shows only the background: the palette animation,
// then the screen colour over everything.
void FinishPicture(cSceneStage& scene, int frozen) {
  AnimatePalette();
  scene.m_ScreenColour.Draw(frozen);
}

}  // namespace

void cSceneStage::DrawStage(int inPlay, int captions) {
  const int frozen = inPlay ? 0 : 1;
  DDSURFACEDATA* target = &g_BackBufferSD;

  // The shot cell sheets are work surfaces: made again when the display lost them.
  DDSURFACEDATA& cells = g_SurfaceData[kSlotShotCells];
  DDSURFACEDATA& mirroredCells = g_SurfaceData[kSlotShotCellsMirrored];
  if (cells.bContentsLost || mirroredCells.bContentsLost) {
    BuildShotCellSheets();
    cells.bContentsLost = mirroredCells.bContentsLost = 0;
  }
  // A running screen effect re-draws the finished picture: it is drawn aside first.
  if (m_ScrEffect.nEffect != 0) DDSetVirtualBackBuffer(1);

  ScrollBackLayers();
  DrawBackLayers(target, 0);
  if (!inPlay && m_nPhase == kStagePhasePauseMenu && HideStageWhilePaused()) {
    DrawBackLayers(target, 1);
    FinishPicture(*this, frozen);
    return;
  }

  DrawScreenPictures(target, 0, frozen);
  DrawEffectObjs(target, 0, frozen);
  DrawBlockLayer(target, 0);
  // When the hero's defeat display ends in a pass, the stage is set up again there (or the game is
  // over); the rest of the picture shows what stands then.
  const int layers = DepthLayerCount();
  for (int layer = 0; layer < layers; ++layer) DrawDepthLayer(*this, layer, frozen);

  DrawBlockLayer(target, 1);
  DrawBackLayers(target, 1);
  DrawDistanceAreas(target);
  if (!g_HeroList.empty()) g_HeroList[0].DrawHeroOverlay(target);
  DrawScreenPictures(target, 1, frozen);
  DrawEffectObjs(target, 1, frozen);

  for (auto it = m_MesWindows.begin(); it != m_MesWindows.end();)
    it = it->StepMesWindow(target, frozen) ? RemoveFinishedMesWindow(*this, it) : std::next(it);

  RunStageScreenEffect(*this, frozen);
  DrawHeadUpDisplay(*this, inPlay);
  if (captions) DrawCaptions();
  FinishPicture(*this, frozen);
}

void cSceneStage::DrawScreenPictures(DDSURFACEDATA* surface, int group, int frozen) {
  auto picture = m_Pictures.begin();
  auto pictureSurface = m_PictureSurfaces.begin();
  while (picture != m_Pictures.end()) {
    DDSURFACEDATA* own = pictureSurface != m_PictureSurfaces.end() ? &*pictureSurface : nullptr;
    if (pictureSurface != m_PictureSurfaces.end()) ++pictureSurface;
    if (picture->m_nLayer != group || !picture->DrawScreenPicture(surface, own, frozen)) {
      ++picture;
      continue;
    }
    picture = RemoveExpiredPicture(*this, picture, own);
  }
}

void cSceneStage::DrawEffectObjs(DDSURFACEDATA* surface, int group, int frozen) {
  if (m_Effects.empty()) return;
  DDBeginLayer(0);
  for (auto it = m_Effects.begin(); it != m_Effects.end();) {
    if (it->m_nLayer == group && it->DrawEffectObj(surface, frozen)) {
      it = m_Effects.erase(it);
    } else {
      ++it;
    }
  }
  DDEndLayer();
}
