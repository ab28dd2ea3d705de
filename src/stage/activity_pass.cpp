#include "stage/activity_pass.h"

#include <algorithm>

#include "data/stage_data.h"
#include "objects/play_objects.h"
#include "objects/shot.h"
#include "objects/stage_hooks.h"
#include "objects/stage_state.h"
#include "stage/chara_removal.h"
#include "stage/condition_lists.h"

namespace {
bool AnyMarginOn(const cStageQuad& area) {
  return area.m_bLeftOn || area.m_bRightOn || area.m_bTopOn || area.m_bBottomOn;
}
}  // namespace

bool AppearanceHolds(cCharaBase& chara) { return CheckCharaCondition(chara); }

bool AppearanceHolds(cItem& item) { return CheckItemCondition(item); }

void StepActivity(cStageState& stage) {
  if (!g_HeroList.empty()) {
    cHero& hero = g_HeroList[0];
    hero.m_bActive = 1;
    hero.m_bOnScreen = 1;
  }
  std::fill(stage.m_abActiveGroups.begin(), stage.m_abActiveGroups.end(), 0);
  for (cChara& chara : g_CharaList) {
    if (!AppearanceHolds(chara)) {
      chara.m_bActive = 0;
      chara.m_bOnScreen = 0;
      continue;
    }
    chara.m_bActive = 1;
    chara.m_bOnScreen = chara.IsOnScreen();
    chara.CheckActiveRange(stage.m_abActiveGroups);
  }
  for (cChara& chara : g_CharaList) chara.m_bActing = chara.m_bActive && chara.IsActiveNow(stage.m_abActiveGroups);
  for (cItem& item : g_ItemList) {
    const bool present = AppearanceHolds(item);
    item.m_bActive = present;
    item.m_bOnScreen = present && item.IsOnScreen();
  }
  for (cShot& shot : stage.m_ShotList) {
    shot.m_bActive = 1;
    shot.m_bOnScreen = shot.IsOnScreen();
  }
}

void StepKeepAreas(int subStep) {
  if (subStep != 1 || g_HeroList.empty() || g_HeroList[0].m_bDead) return;
  const cStageQuad* areas = g_StageFile.m_aKeepAreas;
  const bool charasOn = AnyMarginOn(areas[0]);
  const bool blockCharasOn = AnyMarginOn(areas[1]);
  for (auto it = g_CharaList.begin(); it != g_CharaList.end();) {
    const bool block = it->m_Type.m_bBlockChara != 0;
    const bool on = block ? blockCharasOn : charasOn;
    if (on && !it->m_bDead && it->m_bActive && it->IsBeyondKeepArea(areas[block ? 1 : 0]))
      it = RemoveCharaQuietly(it);
    else
      ++it;
  }
  if (!AnyMarginOn(areas[2])) return;
  for (auto it = g_ItemList.begin(); it != g_ItemList.end();)
    it = it->IsBeyondKeepArea(areas[2]) ? g_ItemList.erase(it) : std::next(it);
}
