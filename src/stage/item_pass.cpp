// The hero's item pass and the stage's take-item service.
#include "core/containers.h"
#include "media/sound/sound_effects.h"
#include "objects/flow_runner.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "objects/play_objects.h"
#include "objects/stage_hooks.h"
#include "stage/hits.h"

namespace {

constexpr int kTriggerItem = 10;
constexpr int kSoundFirstDatabaseSlot = 16;

enum : int {
  kTakeOnce = 0,       // taken and removed
  kTakeEachTouch = 1,  // taken on every new touch and kept
  kNeverTaken = 2,
};

bool MeetsItemBox(const cItem& item, const cHero& hero) {
  const cDblRect& box = hero.m_ItemBox.rect;
  return item.m_dX <= box.right && item.m_dX2 >= box.left && item.m_dY <= box.bottom && item.m_dY2 >= box.top;
}

}  // namespace

int TakeStageItem(cItem& item, cHero& hero) {
  const cItemType& type = item.m_Type;
  if (type.m_nGraphic == 0 || type.m_nTakeMode == kNeverTaken) return 0;
  if (type.m_bShowRising) hero.ShowItemMes(type.m_nGraphicKind, type.m_nGraphic, type.m_nGraphicSub);
  if (type.m_nSound != 0) RequestSound(type.m_nSound + kSoundFirstDatabaseSlot);
  return hero.RunItemCommands(item);
}

int CollectItems(cHero& hero) {
  for (auto it = g_ItemList.begin(); it != g_ItemList.end();) {
    cItem& item = *it;
    const int mode = item.m_Type.m_nTakeMode;
    // Present: its appearance conditions hold (the activity pass).
    if (!item.m_bActive || item.m_bTaken || mode == kNeverTaken) {
      ++it;
      continue;
    }
    if (!MeetsItemBox(item, hero)) {
      if (mode == kTakeEachTouch) hero.ForgetTouch(item);
      ++it;
      continue;
    }
    TriggerFlows(hero, kTriggerItem);
    if (mode == kTakeEachTouch) {
      if (!hero.IsNotTouching(item)) {
        ++it;
        continue;
      }
      hero.m_Touching.push_back(item.m_nNumber);
    }
    const int result = TakeItem(item, VecAt(g_HeroList, 0));
    if (mode == kTakeOnce)
      it = g_ItemList.erase(it);
    else
      ++it;
    if (result != 0) return result;
  }
  return 0;
}
