// The objects of one depth layer of the stage picture: the hero, the items, the characters and the
// shots, and the ends of the hero's and the characters' defeat displays.
#include <algorithm>
#include <iterator>

#include "media/graphics/display.h"
#include "media/graphics/layer.h"
#include "media/graphics/surface.h"
#include "media/graphics/surface_table.h"
#include "objects/graphic_source.h"
#include "objects/play_objects.h"
#include "objects/shot.h"
#include "stage/deferred_removals.h"
#include "stage/object_layers.h"
#include "stage/project_rules.h"
#include "stage/scene_stage.h"

namespace {

// The accessory sheet's gauge cells that characters draw (two columns of five 2-dot rows).
constexpr int kGaugeCellColumns[] = {0, 64};
constexpr int kGaugeCellRows[] = {208, 210, 212, 214, 216};
// Rows drawn from in a character pass besides the character sheets: the shot sheet and the shot
// cell sheets (an icon's or a picture's graphic), the item sheet, the marks and the small items.
constexpr int kCharaPassRows[] = {20, 64, 21, 65, 40, 43, 42};

// With the texture grouping, the character pass ranks its sheets so that the draws from one sheet
// follow each other: the block sheet, the dedicated bitmaps as loaded, the character sheets, the
// other sheets characters draw from, the gauge cells.
void RegisterCharaTextures(std::vector<DDSURFACEDATA>& charaExc) {
  DDLayerAddTexture(&g_SurfaceData[kSlotBlockSheet]);
  DDLayerAddTexture(&g_SurfaceData[kSlotBlockCopy]);
  for (size_t i = 0; i + 1 < charaExc.size(); i += 4) {
    DDLayerAddTexture(&charaExc[i]);
    DDLayerAddTexture(&charaExc[i + 1]);
  }
  for (int row = kSlotCharaSheet; row <= kSlotCharaSheet + 2 * kCharaSheetCount - 2; ++row)
    DDLayerAddTexture(&g_SurfaceData[row]);
  for (int row : kCharaPassRows) DDLayerAddTexture(&g_SurfaceData[row]);
  for (int x : kGaugeCellColumns)
    for (int y : kGaugeCellRows) DDLayerAddCell(&g_SurfaceData[kSlotGaugeSheet], x, y);
}

}  // namespace

int DepthLayerOf(int layerByte) { return std::clamp(layerByte, 0, kDepthLayers - 1); }

int DepthLayerCount() { return g_StageFile.m_bDrawByLayer ? kDepthLayers : 1; }

void cSceneStage::DrawHeroLayer(int frozen) {
  if (g_HeroList.empty()) return;
  cHero& hero = g_HeroList[0];
  hero.UpdateHeroScreenRect();
  if (!hero.m_bDead) {
    hero.DrawHero(&g_BackBufferSD, frozen);
    hero.DrawHpGauge(&g_BackBufferSD);
    hero.DrawSpGauge(&g_BackBufferSD);
    return;
  }
  if (!hero.DrawDefeated(&g_BackBufferSD, frozen)) return;
  // The display stays over once it is: what follows is decided once, in the play phase where the
  // hero fell (the continue menu and the game-over display that follow draw the fallen hero too). A
  // wait's nested loop draws while the game thread is inside a command of this very attempt: the
  // next play frame decides.
  if (m_nPhase != kStagePhasePlay || RemovalsDeferred()) return;
  HeroDefeatOver();
}

bool cSceneStage::DrawCharaLayer(cChara& chara, int frozen) {
  if (chara.m_bDead) {
    chara.UpdateScreenRect();
    return chara.DrawDefeated(&g_BackBufferSD, frozen) != 0;
  }
  if (!chara.m_bOnScreen) {
    // Out of sight an acting character's animation and effect go on.
    if (chara.m_bActing) {
      chara.UpdateScreenRect();
      chara.StepAnimePattern(frozen);
      chara.RunCharaEffectHidden(frozen);
    }
    return false;
  }
  chara.UpdateScreenRect();
  // An invisible character only steps its animation and effect (DrawChara draws nothing of it) and
  // shows its gauges.
  chara.DrawChara(&g_BackBufferSD, frozen);
  chara.DrawHpGauge(&g_BackBufferSD);
  chara.DrawSpGauge(&g_BackBufferSD);
  if (!chara.m_Type.m_nOpt18) chara.DrawCarriedItemIcon(&g_BackBufferSD);
  return false;
}

void DrawDepthLayer(cSceneStage& scene, int layer, int frozen) {
  const bool all = DepthLayerCount() == 1;
  DDSURFACEDATA* target = &g_BackBufferSD;

  if (!g_HeroList.empty() && (all || DepthLayerOf(g_HeroList[0].m_Type.m_nLayer) == layer)) scene.DrawHeroLayer(frozen);

  DDBeginLayer(1);
  DDLayerAddTexture(&g_SurfaceData[kSlotIconSheet]);
  for (cItem& item : g_ItemList) {
    if ((!all && DepthLayerOf(item.m_Type.m_nLayer) != layer) || !item.m_bOnScreen || item.m_bTaken) continue;
    item.UpdateScreenRect();
    item.DrawItem(target, frozen);
  }
  DDEndLayer();

  const bool grouped = lpDTCon && !NoCharaTextureGrouping();
  if (grouped) {
    DDBeginLayer(1);
    RegisterCharaTextures(scene.m_CharaExcPictures.m_aSurfaces);
  }
  for (auto it = g_CharaList.begin(); it != g_CharaList.end();) {
    if (!all && DepthLayerOf(it->m_Type.m_nLayer) != layer) {
      ++it;
      continue;
    }
    it = scene.DrawCharaLayer(*it, frozen) ? RemoveDrawnChara(it) : std::next(it);
  }
  if (grouped) DDEndLayer();

  DDBeginLayer(0);
  for (cShot& shot : scene.m_ShotList) {
    if ((!all && DepthLayerOf(shot.m_nLayer) != layer) || !shot.IsOnScreen()) continue;
    shot.UpdateScreenRect();
    shot.DrawShot(target, frozen);
  }
  DDEndLayer();
}
