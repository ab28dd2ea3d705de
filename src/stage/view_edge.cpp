// Holding the hero inside an auto-scrolling view.
#include "stage/view_edge.h"

#include "objects/hero.h"
#include "objects/stage_state.h"
#include "stage/block_contact.h"

namespace {

constexpr int kViewWidth = 640;
constexpr int kViewHeight = 480;

}  // namespace

void StopAtViewEdgeX(cHero& hero) {
  const cStageState* stage = g_lpSceneStage;
  if (!stage || (!stage->m_ScrollX.m_bAutoOn && !hero.m_bGravityFree)) return;
  hero.UpdateHeroScreenRect();
  const double scroll = stage->m_ScrollX.m_dPosition;
  if (hero.m_ScreenRect.left + hero.m_nHitOffsetX < 0) {
    hero.m_bContactLeft = 1;
    hero.m_dToucherLeft = 0.0;
    hero.m_dX = scroll;
    hero.AfterMoveX();
  } else if (hero.m_ScreenRect.right - hero.m_nHitOffsetX + 1 >= kViewWidth) {
    hero.m_bContactRight = 1;
    hero.m_dToucherRight = 0.0;
    hero.m_dX = scroll + kViewWidth - hero.m_nWidth - 1;
    hero.AfterMoveX();
  }
}

int StopAtViewEdgeY(cHero& hero) {
  const cStageState* stage = g_lpSceneStage;
  if (!stage || (!stage->m_ScrollY.m_bAutoOn && !hero.m_bGravityFree)) return 0;
  hero.UpdateHeroScreenRect();
  const double scroll = stage->m_ScrollY.m_dPosition;
  if (hero.m_ScreenRect.top + hero.m_nHitOffsetY < 0) {
    hero.m_bContactTop = 1;
    hero.m_dToucherTop = 0.0;
    hero.m_dY = scroll;
    hero.AfterMoveY();
    return 0;
  }
  if (hero.m_ScreenRect.bottom - hero.m_nHitOffsetY + 1 >= kViewHeight) {
    hero.m_bContactBottom = 1;
    hero.m_dToucherBottom = 0.0;
    hero.m_dY = scroll + kViewHeight - hero.m_nHeight - 1;
    hero.AfterMoveY();
    return hero.m_bGravityFree ? 0 : kContactFatal;
  }
  return 0;
}
