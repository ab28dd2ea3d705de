// "消滅": defeats the characters of a type, erases the shots of a group, or defeats the actor's
// descendants and erases their shots, counting what went when asked.
#include <cstdint>
#include <deque>
#include <list>
#include <unordered_set>
#include <utility>
#include <vector>

#include "core/containers.h"
#include "flow/object_cmds.h"
#include "objects/chara_base.h"
#include "objects/shot.h"
#include "objects/stage_state.h"

namespace {

// What goes (P0): "キャラ", "ショット", "子以下のキャラ", "子のショット",
// "子以下のキャラと子以下のショット", "子以下のキャラと孫以下のショット".
enum : int {
  kCharasOfType = 0,
  kShotsOfGroup,
  kDescendants,
  kOwnShots,
  kDescendantsAndAllShots,
  kDescendantsAndTheirShots,
};

// How far down the links the descendants are followed: a link chain made by the game's data can be
// cyclic or arbitrarily long.
constexpr int kMaxDescendantDepth = 1000;

int CountLivingCharas(const cStageState& stage) {
  int count = 0;
  for (const auto& group : stage.m_aCharaGroups)
    for (const cCharaBase* chara : group)
      if (chara && chara->m_bActive && !chara->m_bVanished && chara->m_nHp > 0) ++count;
  return count;
}

int CountLivingShots(const cStageState& stage) {
  int count = 0;
  for (const cShot& shot : stage.m_ShotList)
    if (!shot.m_bErase) ++count;
  return count;
}

// Flags the shot while the stage defers erasing; else takes it out of its group index and the
// stage's shot list (its destructor unregisters it from its owner and target).
void EraseShotNow(cStageState& stage, cShot* shot) {
  if (stage.m_bDeferShotErase) {
    shot->m_bErase = 1;
    return;
  }
  for (auto& group : stage.m_aShotGroups) group.remove(shot);
  for (auto it = stage.m_ShotList.begin(); it != stage.m_ShotList.end(); ++it) {
    if (&*it != shot) continue;
    stage.m_ShotList.erase(it);
    return;
  }
}

// The shots the character fired (its owner links); taken first, as erasing changes the links.
void EraseShotsOf(cStageState& stage, cCharaBase& chara) {
  std::vector<cShot*> shots;
  for (const cShotLink& link : chara.m_aShotLinks)
    if (link.nKind == kShotLinkOwner && link.lpShot) shots.push_back(link.lpShot);
  for (cShot* shot : shots) EraseShotNow(stage, shot);
}

// The actor's descendants down to the depth limit, nearest first, each once.
std::vector<cCharaBase*> Descendants(cCharaBase& actor) {
  std::vector<cCharaBase*> found;
  std::unordered_set<const cCharaBase*> seen{&actor};
  std::deque<std::pair<cCharaBase*, int>> pending{{&actor, 0}};
  while (!pending.empty()) {
    auto [chara, depth] = pending.front();
    pending.pop_front();
    if (depth >= kMaxDescendantDepth) continue;
    for (const cCharaLink& link : chara->m_aLinks) {
      if (link.nSlot != kLinkChild || !link.lpChara || !seen.insert(link.lpChara).second) continue;
      found.push_back(link.lpChara);
      pending.emplace_back(link.lpChara, depth + 1);
    }
  }
  return found;
}

void VanishCharasOfType(cStageState& stage, cCharaBase& actor, int type, bool inactiveToo) {
  const std::list<cCharaBase*> list = VecAt(stage.m_aCharaGroups, type);  // defeat never unlinks: a copy is safe
  for (cCharaBase* chara : list)
    if (chara && (inactiveToo || chara->m_bActive)) DefeatByCommand(*chara, actor);
}

void VanishShotsOfGroup(cStageState& stage, int group, bool inactiveToo) {
  std::vector<cShot*> shots;
  for (cShot* shot : VecAt(stage.m_aShotGroups, group))
    if (shot && (inactiveToo || shot->m_bActive)) shots.push_back(shot);
  for (cShot* shot : shots) EraseShotNow(stage, shot);
}

}  // namespace

int CmdVanish(cCharaBase& actor, cFlowCmd& cmd) {
  cStageState* stage = g_lpSceneStage;
  if (!stage) return 0;
  const bool count = Param(cmd, 3) != 0;
  const int charasBefore = count ? CountLivingCharas(*stage) : 0;
  const int shotsBefore = count ? CountLivingShots(*stage) : 0;

  const int what = Param(cmd, 0);
  switch (what) {
    case kCharasOfType: VanishCharasOfType(*stage, actor, Param(cmd, 1), Param(cmd, 2) != 0); break;
    case kShotsOfGroup: VanishShotsOfGroup(*stage, Param(cmd, 1), Param(cmd, 2) != 0); break;
    case kOwnShots: EraseShotsOf(*stage, actor); break;
    case kDescendants:
    case kDescendantsAndAllShots:
    case kDescendantsAndTheirShots:
      if (what == kDescendantsAndAllShots) EraseShotsOf(*stage, actor);
      for (cCharaBase* descendant : Descendants(actor)) {
        DefeatByCommand(*descendant, actor);
        if (what != kDescendants) EraseShotsOf(*stage, *descendant);
      }
      break;
    default: break;
  }

  if (count && stage->m_lpFlowVars) {
    stage->m_lpFlowVars[0] = charasBefore - CountLivingCharas(*stage);
    stage->m_lpFlowVars[1] = shotsBefore - CountLivingShots(*stage);
  }
  return 0;
}
