#include "menus/ranking_display.h"

#include "data/game_data.h"
#include "media/graphics/display.h"
#include "menus/ranking_panels.h"
#include "shell/scene_mgr.h"
#include "stage/modal_waits.h"
#include "stage/scene_stage.h"
#include "stage/stage_menus.h"

namespace {
// Where the table stands over the frozen stage.
constexpr int kPanelX = 184;
constexpr int kPanelY = 64;

// The play's place in the shown kind's table, -1 when it took none there.
int PlayPlace(int kind) {
  const cSceneStage* scene = SceneStage();
  if (!scene || kind < 0 || static_cast<size_t>(kind) >= scene->m_anRankPlaces.size()) return -1;
  return scene->m_anRankPlaces[static_cast<size_t>(kind)];
}

void StepKind(int step) { g_SaveData.StepRankingKind(g_ModeIndex, step); }

int KindCount() { return g_SystemData.CountModeFlags(g_ModeIndex); }

void DrawShownRanking() {
  const int kind = g_SaveData.m_nRankingKind;
  DrawRanking(g_Ranking, &g_BackBufferSD, kPanelX, kPanelY, kind, PlayPlace(kind));
}
}  // namespace

void InstallRankingDisplay() {
  cModalWaitHooks hooks = SetModalWaitHooks({});
  hooks.stepRankingKind = StepKind;
  hooks.rankingKindCount = KindCount;
  hooks.drawRanking = DrawShownRanking;
  SetModalWaitHooks(hooks);

  cStageMenuHooks menus = SetStageMenuHooks({});
  menus.drawPlayTotals = [](DDSURFACEDATA* surface, int x, int y, const std::vector<int32_t>& places) {
    DrawPlayTotals(surface, x, y, places);
  };
  SetStageMenuHooks(menus);
}
