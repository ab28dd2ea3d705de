// One logic sub-step of the stage: lifetimes, bookkeeping, scroll, and the characters' moves with
// their map contacts and push-out.
#include "stage/logic_substep.h"

#include <cstdint>
#include <limits>

#include "core/containers.h"
#include "media/sound/sound_effects.h"
#include "objects/flow_runner.h"
#include "objects/play_objects.h"
#include "objects/stage_state.h"
#include "stage/activity_pass.h"
#include "stage/block_contact.h"
#include "stage/chara_removal.h"
#include "stage/contact_rules.h"
#include "stage/floor_blocks.h"
#include "stage/hits.h"
#include "stage/project_rules.h"
#include "stage/push_out.h"
#include "stage/shots_pass.h"
#include "stage/view_edge.h"

namespace {

constexpr int32_t kUnlimitedLifetime = std::numeric_limits<int32_t>::max();
// What MoveX and MoveY report that the sub-step acts on.
constexpr int kMoveXVanish = 4;
constexpr int kMoveYKilled = 7;
constexpr int kMoveYVanish = 8;
// System sound of a computer-operated character's defeat.
constexpr int kSoundCharaDefeated = 9;
constexpr int kTriggerAlways = 0;

int DefeatWith(const cSubStepEnds& ends, cCharaBase& chara) { return ends.defeatChara ? ends.defeatChara(chara) : 0; }

// The hero's defeat ends the frame whatever it brings.
bool DefeatHero(const cSubStepEnds& ends, cHero& hero) {
  DefeatWith(ends, hero);
  return true;
}

// Touching both left and right, or both top and bottom; by default only when the touchers close in.
bool IsCrushed(const cCharaBase& chara) {
  if (LegacyContactRule())
    return (chara.m_bContactLeft && chara.m_bContactRight) || (chara.m_bContactTop && chara.m_bContactBottom);
  return chara.IsCrushedX() || chara.IsCrushedY();
}

// A character acts in this sub-step when it lives, is present and acts now (the activity pass).
bool Acts(const cChara& chara) { return !chara.m_bDead && chara.m_bActive && chara.m_bActing; }

// Counts a lifetime down; true when it runs out (goes below 0). A count already at 0 or below runs
// out without being counted past the lowest int.
bool LifetimeRunsOut(int32_t& lifetime) {
  if (lifetime == kUnlimitedLifetime) return false;
  return lifetime <= 0 || --lifetime < 0;
}

// Summoned characters and items with a lifetime count it down and go when it runs out.
void CountDownLifetimes() {
  for (auto it = g_CharaList.begin(); it != g_CharaList.end();) {
    if (!it->m_bDead && LifetimeRunsOut(it->m_nLifetime))
      it = RemoveCharaQuietly(it);
    else
      ++it;
  }
  for (auto it = g_ItemList.begin(); it != g_ItemList.end();) {
    if (LifetimeRunsOut(it->m_nLifetime))
      it = g_ItemList.erase(it);
    else
      ++it;
  }
}

// A character whose own frame step ended it: defeated, then removed at once unless the project
// keeps defeated characters on show. True when the frame ends.
bool DefeatEndedChara(const cSubStepEnds& ends, std::list<cChara>::iterator& it) {
  const int result = DefeatWith(ends, *it);
  if (KeepDefeatedCharas()) {
    if (result == 1) {
      RemoveCharaQuietly(it);
      return true;
    }
    RequestSound(kSoundCharaDefeated);
    ++it;
  } else {
    it = RemoveCharaQuietly(it);
  }
  return result != 0;
}

// A character killed by its moves, contacts or a crush: defeated and left to its defeat display.
// True when the frame ends.
bool DefeatKilledChara(const cSubStepEnds& ends, std::list<cChara>::iterator& it) {
  RequestSound(kSoundCharaDefeated);
  const int result = DefeatWith(ends, *it);
  if (result == 1) {
    RemoveCharaQuietly(it);
    return true;
  }
  ++it;
  return result != 0;
}

// Flow commands changed statuses or erased characters: the pending defeats first. stepped: the
// character the calling pass holds, which the check may remove too. True when the frame ends.
bool SweepIfPending(const cSubStepEnds& ends, cSteppedChara* stepped = nullptr) {
  cStageState* stage = g_lpSceneStage;
  if (!stage || !(stage->m_bDefeatCheck || stage->m_bDefeatedByCmd)) return false;
  return SweepDefeatedCharas(*stage, ends, stepped) != 0;
}

// The pending defeats before a character of a pass moves. The check may remove the character itself
// (an erase command aimed at its group, run by an item the hero took or by a defeated character's
// flow): it then moves the pass's position on to the next character and the character is not
// touched again. True when
// the frame ends; removed: the character went and it already names the next one.
bool SweepBeforeMoving(const cSubStepEnds& ends, std::list<cChara>::iterator& it, bool& removed) {
  cSteppedChara stepped{it};
  const bool endsFrame = SweepIfPending(ends, &stepped);
  it = stepped.m_Pos;
  removed = stepped.m_bRemoved;
  return endsFrame;
}

// A character's moves with their map tests; true when they killed it. vanish: it leaves the stage.
bool MoveAgainstMap(cChara& chara, bool& vanish) {
  vanish = chara.MoveX() == kMoveXVanish;
  bool killed = TestBlocksX(chara) == kContactFatal;
  chara.ApplyCharaGravity();
  const int moveY = chara.MoveY();
  killed = killed || moveY == kMoveYKilled;
  vanish = vanish || moveY == kMoveYVanish;
  return TestBlocksY(chara) == kContactFatal || killed;
}

// After a character's moves: killed, it is defeated; vanishing, it is removed; else its knock-backs
// decay. it moves on to the next character. True when the frame ends.
bool FinishCharaSubStep(const cSubStepEnds& ends, std::list<cChara>::iterator& it, bool killed, bool vanish) {
  if (killed) return DefeatKilledChara(ends, it);
  if (vanish) {
    it = RemoveCharaQuietly(it);
  } else {
    it->DecayKnockbackX();
    it->DecayKnockbackY();
    ++it;
  }
  return false;
}

// The block characters move first, so that the others meet them where they stand in this sub-step.
bool StepBlockCharas(const cSubStepEnds& ends) {
  for (auto it = g_CharaList.begin(); it != g_CharaList.end();) {
    cChara& chara = *it;
    if (!chara.m_Type.m_bBlockChara || !Acts(chara)) {
      ++it;
      continue;
    }
    TriggerFlows(chara, kTriggerAlways);
    if (chara.StepChara(0) != 0) {
      if (DefeatEndedChara(ends, it)) return true;
      continue;
    }
    bool removed = false;
    if (SweepBeforeMoving(ends, it, removed)) return true;
    if (removed) continue;
    bool vanish = false;
    const bool killed = MoveAgainstMap(chara, vanish);
    if (FinishCharaSubStep(ends, it, killed, vanish)) return true;
  }
  return false;
}

// What a hero pass reports: 1 the stage ends (its clear processing runs), 2 the hero is defeated.
// True when the frame ends.
bool EndsFrame(const cSubStepEnds& ends, cHero& hero, int result) {
  if (result == 1) {
    if (ends.clearStage) ends.clearStage();
    return true;
  }
  if (result == 2) return DefeatHero(ends, hero);
  return false;
}

// A crush the hero may survive: unless spared it goes back to its place of the sub-step's start and
// is defeated. True when the frame ends.
bool CrushHero(const cSubStepEnds& ends, cHero& hero) {
  if (hero.SurviveCrush()) return false;
  hero.RestorePrevRect();
  return DefeatHero(ends, hero);
}

// The hero's step, moves against the view's edges and the map, crush tests and push-out. True when
// the frame ends.
bool StepHero(const cSubStepEnds& ends, cStageState& stage, cHero& hero) {
  TriggerFlows(hero, kTriggerAlways);
  if (hero.StepChara(0) != 0) return DefeatHero(ends, hero);
  if (stage.m_nEndRequest == kEndClear) {
    if (ends.clearStage) ends.clearStage();
    return true;
  }
  if (stage.m_nEndRequest == kEndFailure) return DefeatHero(ends, hero);
  if (SweepIfPending(ends)) return true;
  if (EndsFrame(ends, hero, StepFloorBlock(hero))) return true;

  FollowRiddenChara(hero, g_CharaList);
  hero.MoveX();
  StopAtViewEdgeX(hero);
  if (TestBlocksX(hero) == kContactFatal) return DefeatHero(ends, hero);
  StopAtViewEdgeX(hero);
  hero.ApplyCharaGravity();
  if (hero.MoveY() == kMoveYKilled) return DefeatHero(ends, hero);
  if (StopAtViewEdgeY(hero) == kContactFatal) return DefeatHero(ends, hero);
  if (TestBlocksY(hero) == kContactFatal) return DefeatHero(ends, hero);
  if (StopAtViewEdgeY(hero) == kContactFatal) return DefeatHero(ends, hero);

  if (hero.m_bContactLeft && hero.m_bContactRight) {
    if (CrushHero(ends, hero)) return true;
  } else if (hero.m_bContactTop && hero.m_bContactBottom) {
    if (CrushHero(ends, hero)) return true;
  }
  if (PushOutOfBlockCharas(hero, g_CharaList) == kContactFatal && !hero.m_bDead && !hero.SurviveCrush())
    return DefeatHero(ends, hero);
  if ((hero.m_bContactLeft || hero.m_bContactRight) && TestBlocksXRightFirst(hero) == kContactFatal && !hero.m_bDead) {
    // Spared, the hero stays where the wall left it and the frame ends at once.
    if (hero.SurviveCrush()) return true;
    return DefeatHero(ends, hero);
  }
  if ((hero.m_bContactTop || hero.m_bContactBottom) && TestBlocksBottomTop(hero) == kContactFatal && !hero.m_bDead &&
      !hero.SurviveCrush())
    return DefeatHero(ends, hero);
  if (IsCrushed(hero) && CrushHero(ends, hero)) return true;
  hero.DecayKnockbackX();
  hero.DecayKnockbackY();
  return false;
}

// The characters that are not block characters: they follow what they ride, move, meet the map and
// the block characters, and may be crushed. True when the frame ends.
bool StepOtherCharas(const cSubStepEnds& ends) {
  for (auto it = g_CharaList.begin(); it != g_CharaList.end();) {
    cChara& chara = *it;
    if (chara.m_Type.m_bBlockChara || !Acts(chara)) {
      ++it;
      continue;
    }
    TriggerFlows(chara, kTriggerAlways);
    if (chara.StepChara(0) != 0) {
      if (chara.m_bVanished) {
        it = RemoveCharaQuietly(it);
        continue;
      }
      if (DefeatEndedChara(ends, it)) return true;
      continue;
    }
    bool removed = false;
    if (SweepBeforeMoving(ends, it, removed)) return true;
    if (removed) continue;
    FollowRiddenChara(chara, g_CharaList);
    bool vanish = false;
    bool killed = MoveAgainstMap(chara, vanish);
    killed = PushOutOfBlockCharas(chara, g_CharaList) == kContactFatal || killed;
    TestBlocksXRightFirst(chara);
    TestBlocksBottomTop(chara);
    if (FinishCharaSubStep(ends, it, killed || IsCrushed(chara), vanish)) return true;
  }
  return false;
}

}  // namespace

void StartLogicFrame() {
  for (cHero& hero : g_HeroList) {
    ResetFlowFrameFlags(hero);
    hero.m_anBlockSummon[0] = hero.m_anBlockSummon[1] = 0;
  }
  for (cChara& chara : g_CharaList) {
    if (!chara.m_bDead) ResetFlowFrameFlags(chara);
    chara.m_anBlockSummon[0] = chara.m_anBlockSummon[1] = 0;
  }
}

int RunLogicSubStep(const cSubStepEnds& ends) {
  cStageState* stage = g_lpSceneStage;
  if (!stage) return 0;
  cHero& hero = VecAt(g_HeroList, 0);
  if (!hero.m_bDead) CountDownLifetimes();
  for (cChara& chara : g_CharaList) {
    chara.TickInvincible();
    chara.ClearContacts();
    chara.SavePrevRect();
    if (!NoScreenRectPerSubStep()) chara.UpdateScreenRect();
  }
  hero.TickInvincible();
  hero.ClearContacts();
  hero.SavePrevRect();
  hero.RememberFacing();
  hero.RememberFloor();
  stage->m_ScrollX.StepAutoScroll();
  stage->m_ScrollY.StepAutoScroll();
  // Each character pass runs only while the hero lives.
  if (!hero.m_bDead && StepBlockCharas(ends)) return 1;
  if (!hero.m_bDead && StepHero(ends, *stage, hero)) return 1;
  if (!hero.m_bDead && StepOtherCharas(ends)) return 1;
  StepShots(*stage, stage->m_nSubStep);
  StepKeepAreas(stage->m_nSubStep);
  if (!hero.m_bDead && EndsFrame(ends, hero, StepItemBlock(hero))) return 1;
  if (!hero.m_bDead && EndsFrame(ends, hero, ResolveHits(*stage))) return 1;
  if (!hero.m_bDead && EndsFrame(ends, hero, CollectItems(hero))) return 1;
  return 0;
}
