// The hit pass of a logic sub-step: shots against characters, the erasure of ended shots, body
// attacks and shots against shots, in that order, between the groups of the stage.
#include <algorithm>
#include <cstdint>
#include <list>

#include "core/containers.h"
#include "data/item_type.h"
#include "media/sound/sound_effects.h"
#include "objects/chara.h"
#include "objects/flow_runner.h"
#include "objects/item.h"
#include "objects/play_objects.h"
#include "objects/shot.h"
#include "objects/stage_hooks.h"
#include "objects/stage_state.h"
#include "stage/contact_rules.h"
#include "stage/hits.h"

namespace {

constexpr int kSoundHit = 7;
constexpr int kSoundCharaDefeated = 9;
constexpr int kTriggerTouchedChara = 6;
constexpr int kTriggerShotHit = 9;
constexpr int kTriggerAttackLanded = 24;

// Shots erased by flows while the pass walks the shot lists are only flagged; the flag goes down
// however the pass ends.
class cDeferShotErase {
 public:
  explicit cDeferShotErase(cStageState& stage) : m_Stage(stage) { m_Stage.m_bDeferShotErase = 1; }
  ~cDeferShotErase() { m_Stage.m_bDeferShotErase = 0; }
  cDeferShotErase(const cDeferShotErase&) = delete;
  cDeferShotErase& operator=(const cDeferShotErase&) = delete;

 private:
  cStageState& m_Stage;
};

// Present: its appearance conditions hold (the activity pass); the hero always is.
bool IsPresent(const cCharaBase& chara) { return chara.m_bActive != 0; }
// Active now: the activity pass lets it act in this sub-step; the hero always does.
bool ActsNow(const cCharaBase& chara) {
  const cChara* other = dynamic_cast<const cChara*>(&chara);
  return !other || other->m_bActing != 0;
}
bool IsComputerOperated(const cCharaBase& chara) { return chara.m_nControl != 0; }

// A shot leaves its group's list (pos moves on to the next) and the stage's shot list.
void DropShot(cStageState& stage, std::list<cShot*>& group, std::list<cShot*>::iterator& pos) {
  const cShot* shot = *pos;
  pos = group.erase(pos);
  auto it = std::find_if(stage.m_ShotList.begin(), stage.m_ShotList.end(),
                         [shot](const cShot& candidate) { return &candidate == shot; });
  if (it != stage.m_ShotList.end()) stage.m_ShotList.erase(it);
}

bool WasHitBy(const cShot& shot, const cCharaBase& chara) {
  return std::find(shot.m_HitList.begin(), shot.m_HitList.end(), chara.m_nNumber) != shot.m_HitList.end();
}

// Power, impact or an item reward make a shot damaging; a harmless one still touches.
bool IsDamaging(const cShot& shot) {
  const cEdShot& s = shot.m_Settings;
  return s.m_nPower != 0 || s.m_nImpact != 0 || s.m_nItemKind != 0;
}

// A projectile passes on through a character it pierces (block characters and others have a flag
// each); a sword swing always does.
bool PassesThrough(const cShot& shot, const cCharaBase& chara) {
  if (!shot.m_bIsShot) return true;
  return (chara.m_Type.m_bBlockChara ? shot.m_Settings.m_nS46 : shot.m_Settings.m_nS45) != 0;
}
bool IsBreakable(const cShot& shot) { return shot.m_Settings.m_nS47 != 0; }
int BreakStrength(const cShot& shot) { return static_cast<uint8_t>(shot.m_Settings.m_nS48); }

// The item a shot hands the first hero: a temporary item of the reward's type. 0 without one.
int TakeShotReward(const cShot& shot) {
  const cEdShot& s = shot.m_Settings;
  if (s.m_nItemKind == 0) return 0;
  cItemType* type = GetItemTypeRef(s.m_nItemKind, s.m_nItemIndex);
  if (!type) return 0;
  cItem reward;
  reward.InitItem(0, *type, 0);
  return TakeItem(reward, VecAt(g_HeroList, 0));
}

// One shot against one character that it touches. A non-zero result ends the pass; due is set when
// the shot is used up.
int ShotHitsChara(cShot& shot, cCharaBase& chara, bool& due) {
  const bool damaging = IsDamaging(shot);
  TriggerFlowsWith(chara, kTriggerShotHit, shot.m_lpOwner, 0);
  if (shot.m_lpOwner && shot.m_bCountsForOwner)
    TriggerFlowsWith(*shot.m_lpOwner, kTriggerAttackLanded, &chara, shot.m_nOwnerArg);
  if (damaging || !HarmlessShotSkipsHit()) {
    int damage = 0;
    int impact = 0;
    const int gone = chara.TakeShotHit(shot, damage, impact);
    chara.FireShotHitTriggers(shot, damage, impact);
    if (gone) {
      if (IsComputerOperated(chara)) RequestSound(kSoundCharaDefeated);
      const int result = DefeatOne(chara);
      if (result == 1 || result == 2) return result;
    } else {
      RequestSound(kSoundHit);
      if (damaging) chara.StartInvincible();
    }
  }
  if (PassesThrough(shot, chara))
    shot.m_HitList.push_back(chara.m_nNumber);
  else
    due = true;
  return TakeShotReward(shot);
}

// Section 1: every shot that has not ended against the characters of every other group.
int ShotsAgainstCharas(cStageState& stage) {
  const bool activeOnly = stage.m_bActiveOnlyHits != 0;
  const int groups = static_cast<int>(stage.m_aShotGroups.size());
  for (int s = 0; s < groups; ++s) {
    std::list<cShot*>& shots = VecAt(stage.m_aShotGroups, s);
    if (shots.empty()) continue;
    for (int c = 0; c < static_cast<int>(stage.m_aCharaGroups.size()); ++c) {
      if (c == s) continue;
      std::list<cCharaBase*>& charas = VecAt(stage.m_aCharaGroups, c);
      if (charas.empty()) continue;
      for (auto pos = shots.begin(); pos != shots.end();) {
        cShot& shot = **pos;
        if (shot.m_bErase || (activeOnly && !shot.m_bActive)) {
          ++pos;
          continue;
        }
        bool due = false;
        for (cCharaBase* target : charas) {
          cCharaBase& chara = *target;
          if ((activeOnly && !ActsNow(chara)) || !IsPresent(chara) || chara.m_bDead || chara.m_Type.m_nOpt32 == 2 ||
              !IsOverlapRect(chara.m_ShotBox.rect, shot.m_HitBox.rect) || WasHitBy(shot, chara))
            continue;
          if (IsDamaging(shot) && chara.IsInvincible()) continue;
          if (const int result = ShotHitsChara(shot, chara, due)) return result;
        }
        if (due && !shot.m_bErase)
          DropShot(stage, shots, pos);
        else
          ++pos;
      }
    }
  }
  return 0;
}

// Section 2: shots flagged as ended (by flows while shots could not be erased) go now.
void EraseEndedShots(cStageState& stage) {
  for (std::list<cShot*>& group : stage.m_aShotGroups)
    group.remove_if([](const cShot* shot) { return shot->m_bErase != 0; });
  stage.m_ShotList.remove_if([](const cShot& shot) { return shot.m_bErase != 0; });
}

bool TakesPartInBodyHits(const cCharaBase& chara, bool activeOnly) {
  return (!activeOnly || ActsNow(chara)) && !chara.m_Type.m_bBlockChara && IsPresent(chara) && !chara.m_bDead;
}

// The touch triggers of a body contact on one side: the victim sees the attacker, or the attacker's
// summoner when its attacks count for it (and the summoner learns that its attack landed).
void FireTouchTriggers(cCharaBase& victim, cCharaBase& attacker) {
  cCharaBase* summoner = attacker.m_bCountsForParent ? attacker.m_lpParent : nullptr;
  if (summoner) {
    TriggerFlowsWith(victim, kTriggerTouchedChara, summoner, 0);
    TriggerFlowsWith(*summoner, kTriggerAttackLanded, &victim, attacker.m_nParentArg);
  } else {
    TriggerFlowsWith(victim, kTriggerTouchedChara, &attacker, 0);
  }
}

struct cBodyDamage {
  bool bDamaged = false;
  int nGone = 0;
  int nDamage = 0;
  int nImpact = 0;
};

// After the damages of a contact: a victim without life is defeated (a non-zero result of 1 or 2
// ends the pass), else it becomes invincible toward its attacker.
int SettleBodyHit(cCharaBase& victim, const cCharaBase& attacker, const cBodyDamage& hit) {
  if (!hit.bDamaged) return 0;
  if (hit.nGone) {
    if (IsComputerOperated(victim)) RequestSound(kSoundCharaDefeated);
    const int result = DefeatOne(victim);
    return result == 1 || result == 2 ? result : 0;
  }
  victim.StartInvincibleFrom(attacker.m_nNumber);
  return 0;
}

// Two characters of different groups whose bodies meet.
int BodiesMeet(cCharaBase& x, cCharaBase& z) {
  const bool canHitX = !x.IsInvincibleFrom(z.m_nNumber);
  const bool canHitZ = !z.IsInvincibleFrom(x.m_nNumber);
  if (canHitX) FireTouchTriggers(x, z);
  if (canHitZ) FireTouchTriggers(z, x);

  const bool atOnce = BodyHitTriggersAtOnce();
  auto damage = [atOnce](cCharaBase& victim, cCharaBase& attacker, bool canHit, cBodyDamage& hit) {
    if (!canHit || (attacker.m_Type.m_nBodyPower == 0 && attacker.m_Type.m_nBodyImpact == 0)) return;
    hit.bDamaged = true;
    hit.nGone = victim.TakeBodyHit(attacker, hit.nDamage, hit.nImpact);
    if (atOnce) victim.FireBodyHitTriggers(attacker, hit.nDamage, hit.nImpact);
  };
  cBodyDamage hitX;
  cBodyDamage hitZ;
  damage(x, z, canHitX, hitX);
  damage(z, x, canHitZ, hitZ);
  if (!atOnce) {
    if (hitX.bDamaged) x.FireBodyHitTriggers(z, hitX.nDamage, hitX.nImpact);
    if (hitZ.bDamaged) z.FireBodyHitTriggers(x, hitZ.nDamage, hitZ.nImpact);
  }
  if (hitX.bDamaged || hitZ.bDamaged) RequestSound(kSoundHit);
  if (const int result = SettleBodyHit(x, z, hitX)) return result;
  return SettleBodyHit(z, x, hitZ);
}

// Section 3: every pair of characters of different groups.
int BodyAttacks(cStageState& stage) {
  const bool activeOnly = stage.m_bActiveOnlyHits != 0;
  const int groups = static_cast<int>(stage.m_aCharaGroups.size());
  for (int i = 0; i < groups; ++i) {
    std::list<cCharaBase*>& first = VecAt(stage.m_aCharaGroups, i);
    if (first.empty()) continue;
    for (int j = i + 1; j < groups; ++j) {
      std::list<cCharaBase*>& second = VecAt(stage.m_aCharaGroups, j);
      if (second.empty()) continue;
      for (cCharaBase* x : first) {
        for (cCharaBase* z : second) {
          // A defeat earlier in the loop takes the character out of the remaining pairs.
          if (!TakesPartInBodyHits(*x, activeOnly) || !TakesPartInBodyHits(*z, activeOnly)) continue;
          if (!IsOverlapRect(x->m_CharaBox.rect, z->m_CharaBox.rect)) continue;
          if (const int result = BodiesMeet(*x, *z)) return result;
        }
      }
    }
  }
  return 0;
}

// Section 4: shots of different groups that meet, at least one of them breakable. Of two breakable
// shots the weaker goes (both at equal strength); a breakable one goes against an unbreakable one.
void ShotsAgainstShots(cStageState& stage) {
  const int groups = static_cast<int>(stage.m_aShotGroups.size());
  for (int j = 0; j < groups; ++j) {
    std::list<cShot*>& first = VecAt(stage.m_aShotGroups, j);
    if (first.empty()) continue;
    for (int k = j + 1; k < groups; ++k) {
      std::list<cShot*>& second = VecAt(stage.m_aShotGroups, k);
      if (second.empty()) continue;
      for (auto zPos = first.begin(); zPos != first.end();) {
        const cShot& z = **zPos;
        bool zDue = false;
        for (auto aPos = second.begin(); aPos != second.end();) {
          const cShot& a = **aPos;
          const bool zBreaks = IsBreakable(z);
          const bool aBreaks = IsBreakable(a);
          if ((!zBreaks && !aBreaks) || !IsOverlapRect(z.m_HitBox.rect, a.m_HitBox.rect)) {
            ++aPos;
            continue;
          }
          bool aGoes = aBreaks;
          if (zBreaks && aBreaks) {
            zDue = zDue || BreakStrength(a) >= BreakStrength(z);
            aGoes = BreakStrength(a) <= BreakStrength(z);
          } else if (zBreaks) {
            zDue = true;
          }
          if (aGoes)
            DropShot(stage, second, aPos);
          else
            ++aPos;
        }
        if (zDue)
          DropShot(stage, first, zPos);
        else
          ++zPos;
      }
    }
  }
}

}  // namespace

int ResolveHits(cStageState& stage) {
  cDeferShotErase defer(stage);
  const bool checkShots = stage.m_anSubStepFlags.empty() || VecAt(stage.m_anSubStepFlags, stage.m_nSubStep - 1) != 0;
  if (checkShots) {
    if (const int result = ShotsAgainstCharas(stage)) return result;
  }
  EraseEndedShots(stage);
  if (const int result = BodyAttacks(stage)) return result;
  ShotsAgainstShots(stage);
  return 0;
}
