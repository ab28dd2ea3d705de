// "ターゲットの設定": puts the hero, the actor, a character found by a search, the actor's parent or
// a child, or one of the actor's targets into one of its four target slots.
#include <cstdint>
#include <list>

#include "core/containers.h"
#include "flow/cmd_tables.h"
#include "flow/object_cmds.h"
#include "objects/chara_base.h"
#include "objects/hero.h"
#include "objects/play_objects.h"
#include "objects/stage_state.h"

namespace {

// Sources (P1).
enum : int {
  kSourceHero = 0,
  kSourceSelf,
  kSourceNearest,
  kSourceById,
  kSourceParent,
  kSourceLastChild,
  kSourceChildFiltered,
  kSourceTarget1,  // .. target 4 = 10
};
// What happens when nothing is found (P15).
enum : int { kNoneClears = 0, kNoneKeeps = 1 };

// The search settings P4-P14: P4 the search range ("全範囲（画面内のキャラ優先）", "全範囲", "画面内"
// as the nearest search's modes 0-2), P5 the character-ID test with its ID in P10 ("対象キャラID",
// which arrange commands set), P6 leave out block characters, P7 leave out the actor itself, P8/P9
// leave out invincibility statuses 1 and 2, P11/P12 the character-variable test and its variable,
// P13 the number the variable is compared with ("キャラ変数と比較する数値", also set by arrange
// commands), P14 the comparison.
CHARAFILTER SearchFilter(const cCharaBase& actor, const cFlowCmd& cmd) {
  CHARAFILTER filter;
  filter.bById = Param(cmd, 5);
  filter.nId = Param(cmd, 10);
  filter.bNotBlockChara = Param(cmd, 6);
  filter.bExcludeNumber = Param(cmd, 7);
  filter.nExcludeNumber = actor.m_nNumber;
  filter.bNotInvincible1 = Param(cmd, 8);
  filter.bNotInvincible2 = Param(cmd, 9);
  filter.bByVar = Param(cmd, 11);
  filter.nVar = Param(cmd, 12);
  filter.nOperand = Param(cmd, 13);
  filter.nCompare = Param(cmd, 14);
  return filter;
}

// The type list P2, or every type list of the stage when P3 is set, as one list in group order.
std::list<cCharaBase*> SearchList(const cFlowCmd& cmd) {
  std::list<cCharaBase*> list;
  cStageState* stage = g_lpSceneStage;
  if (!stage) return list;
  if (Param(cmd, 3)) {
    for (const auto& group : stage->m_aCharaGroups) list.insert(list.end(), group.begin(), group.end());
  } else {
    list = VecAt(stage->m_aCharaGroups, Param(cmd, 2));
  }
  return list;
}

cCharaBase* FindSource(cCharaBase& actor, const cFlowCmd& cmd) {
  const int source = Param(cmd, 1);
  switch (source) {
    case kSourceHero: return g_HeroList.empty() ? nullptr : &g_HeroList[0];
    case kSourceSelf: return &actor;
    case kSourceNearest: {
      const CHARAFILTER filter = SearchFilter(actor, cmd);
      return FindNearestChara(actor.ScreenCentreX(), actor.ScreenCentreY(), SearchList(cmd), Param(cmd, 4), &filter);
    }
    case kSourceById: {
      CHARAFILTER filter = SearchFilter(actor, cmd);
      filter.bById = 1;
      return FindCharaInList(SearchList(cmd), filter);
    }
    case kSourceParent: return actor.m_lpParent;
    case kSourceLastChild: return FindLinkedChara(actor, kLinkChild, CHARAFILTER{}, 0, 0);
    case kSourceChildFiltered: return FindLinkedChara(actor, kLinkChild, SearchFilter(actor, cmd), 0, 0);
    default:
      if (source >= kSourceTarget1 && source < kSourceTarget1 + kTargetSlots)
        return VecAt(actor.m_apTargets, source - kSourceTarget1);
      return nullptr;
  }
}

}  // namespace

int CmdSetTarget(cCharaBase& actor, cFlowCmd& cmd) {
  const int slot = Param(cmd, 0);
  if (slot < 0 || slot >= kTargetSlots) return 0;
  cCharaBase* const before = actor.m_apTargets[slot];
  cCharaBase* found = FindSource(actor, cmd);
  const int none = Param(cmd, 15);
  if (found || none == kNoneClears) {
    actor.SetTarget(slot, found);
  } else if (none != kNoneKeeps) {
    return 0;
  }
  if (Param(cmd, 16)) {
    cCharaBase* const now = actor.m_apTargets[slot];
    StoreFlowResult(now ? 1 : 2);
    if (cStageState* stage = g_lpSceneStage; stage && stage->m_lpFlowVars)
      stage->m_lpFlowVars[1] = now == before ? 2 : 1;
  }
  return 0;
}
