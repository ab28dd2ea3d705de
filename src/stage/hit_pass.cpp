// The hit pass of a logic sub-step: shots against characters, the erasure of ended shots, body
// attacks and shots against shots, in that order, between the groups of the stage.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <list>
#include <vector>

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
bool IsComputerOperated(const cCharaBase& chara) { return chara.m_nControl != 0; }

// Bounds of a set of rectangles: a rectangle that meets any of them meets the bounds. Empty bounds
// meet nothing.
struct cBounds {
  double left = std::numeric_limits<double>::infinity();
  double top = std::numeric_limits<double>::infinity();
  double right = -std::numeric_limits<double>::infinity();
  double bottom = -std::numeric_limits<double>::infinity();

  void Add(const cDblRect& r) {
    if (r.left < left) left = r.left;
    if (r.top < top) top = r.top;
    if (r.right > right) right = r.right;
    if (r.bottom > bottom) bottom = r.bottom;
  }
  bool Meets(const cDblRect& r) const {
    return r.left <= right && r.right >= left && r.top <= bottom && r.bottom >= top;
  }
};

// Snapshots of what the pass tests. Between two hits nothing changes a character or a shot: only a
// hit's damage, triggers and flows do. So the pass takes the characters of each group that may take
// part in a section, with the box the section tests, and the shots of a group that may hit, with
// their rectangles, and tests these copies; after each hit it takes them anew. A place is a position
// in the group's list. Flows may add characters and shots during a hit, but only at the end of a
// group list; no character leaves a group list during the pass, and a shot leaves only when it is
// the one that hit; so a place, counted anew, still tells which ones come next.
struct cHitCandidate {
  cDblRect rect;
  cCharaBase* lpChara = nullptr;
  int32_t nPlace = 0;
};

struct cCandidateGroup {
  std::vector<cHitCandidate> aList;
  cBounds bounds;
  bool bTaken = false;
};

struct cShotEntry {
  cDblRect rect;
  std::list<cShot*>::iterator pos;
  int32_t nPlace = 0;
};

// Index of the first of a list ordered by place whose place is at least place.
template <class T>
size_t FirstFrom(const std::vector<T>& list, int32_t place) {
  return static_cast<size_t>(
      std::lower_bound(list.begin(), list.end(), place, [](const T& entry, int32_t p) { return entry.nPlace < p; }) -
      list.begin());
}

// The candidates of every character group for one section, taken when first asked for after a hit.
class cGroupCandidates {
 public:
  using TakesPart = bool (*)(const cCharaBase& chara, bool activeOnly);
  using Box = const cDblRect& (*)(const cCharaBase& chara);

  cGroupCandidates(cStageState& stage, TakesPart takesPart, Box box, std::vector<cCandidateGroup>& groups)
      : m_Stage(stage),
        m_TakesPart(takesPart),
        m_Box(box),
        m_bActiveOnly(stage.m_bActiveOnlyHits != 0),
        m_Groups(groups) {
    Renew();
  }

  // Every group is to be taken anew (the start of a section, and after each hit).
  void Renew() {
    if (m_Groups.size() < m_Stage.m_aCharaGroups.size()) m_Groups.resize(m_Stage.m_aCharaGroups.size());
    for (cCandidateGroup& group : m_Groups) group.bTaken = false;
  }
  const cCandidateGroup& Group(int g) {
    cCandidateGroup& group = m_Groups[static_cast<size_t>(g)];
    if (!group.bTaken) {
      group.aList.clear();
      group.bounds = cBounds();
      int32_t place = 0;
      for (cCharaBase* chara : VecAt(m_Stage.m_aCharaGroups, g)) {
        if (m_TakesPart(*chara, m_bActiveOnly)) {
          group.aList.push_back({m_Box(*chara), chara, place});
          group.bounds.Add(m_Box(*chara));
        }
        ++place;
      }
      group.bTaken = true;
    }
    return group;
  }

 private:
  cStageState& m_Stage;
  TakesPart m_TakesPart;
  Box m_Box;
  bool m_bActiveOnly;
  std::vector<cCandidateGroup>& m_Groups;
};

// The snapshots keep their capacity from one sub-step to the next, so the pass allocates nothing
// once they have grown to the stage's groups. Per thread, and set aside while in use: a pass that
// finds them in use (it cannot be run again from inside itself today) takes fresh ones.
struct cHitScratch {
  std::vector<cCandidateGroup> aShotTargets;
  std::vector<cCandidateGroup> aBodies;
  std::vector<cShotEntry> aShots;
  std::vector<int32_t> anBreakable;
  bool bInUse = false;
};

class cScratchLease {
 public:
  cScratchLease() : m_lpScratch(s_Scratch.bInUse ? &m_Own : &s_Scratch) { m_lpScratch->bInUse = true; }
  ~cScratchLease() { m_lpScratch->bInUse = false; }
  cScratchLease(const cScratchLease&) = delete;
  cScratchLease& operator=(const cScratchLease&) = delete;
  cHitScratch& operator*() { return *m_lpScratch; }

 private:
  static thread_local cHitScratch s_Scratch;
  cHitScratch m_Own;
  cHitScratch* m_lpScratch;
};
thread_local cHitScratch cScratchLease::s_Scratch;

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

// A character a shot of another group may hit, whatever the shot: acting (under the active-only
// rule), present, alive, and not passed through by shots.
bool TakesPartInShotHits(const cCharaBase& chara, bool activeOnly) {
  return (!activeOnly || chara.ActsNow()) && IsPresent(chara) && !chara.m_bDead && chara.m_Type.m_nOpt32 != 2;
}
const cDblRect& ShotBoxOf(const cCharaBase& chara) { return chara.m_ShotBox.rect; }

// The shots of a group list that may hit: not ended (and active under the active-only rule).
void TakeShots(std::list<cShot*>& shots, bool activeOnly, std::vector<cShotEntry>& entries) {
  entries.clear();
  int32_t place = 0;
  for (auto pos = shots.begin(); pos != shots.end(); ++pos, ++place) {
    const cShot& shot = **pos;
    if (!shot.m_bErase && (!activeOnly || shot.m_bActive)) entries.push_back({shot.m_HitBox.rect, pos, place});
  }
}

// Section 1: every shot that has not ended against the characters of every other group.
int ShotsAgainstCharas(cStageState& stage, cHitScratch& scratch) {
  const bool activeOnly = stage.m_bActiveOnlyHits != 0;
  cGroupCandidates targets(stage, TakesPartInShotHits, ShotBoxOf, scratch.aShotTargets);
  std::vector<cShotEntry>& entries = scratch.aShots;
  const int groups = static_cast<int>(stage.m_aShotGroups.size());
  for (int s = 0; s < groups; ++s) {
    std::list<cShot*>& shots = VecAt(stage.m_aShotGroups, s);
    if (shots.empty()) continue;
    bool shotsTaken = false;
    for (int c = 0; c < static_cast<int>(stage.m_aCharaGroups.size()); ++c) {
      if (c == s) continue;
      if (VecAt(stage.m_aCharaGroups, c).empty()) continue;
      if (!shotsTaken) {
        TakeShots(shots, activeOnly, entries);
        shotsTaken = true;
      }
      for (size_t k = 0; k < entries.size();) {
        if (!targets.Group(c).bounds.Meets(entries[k].rect)) {
          ++k;
          continue;
        }
        auto pos = entries[k].pos;
        const int32_t shotPlace = entries[k].nPlace;
        cShot& shot = **pos;
        bool due = false;
        bool hit = false;
        for (size_t i = 0; i < targets.Group(c).aList.size();) {
          const cHitCandidate& candidate = targets.Group(c).aList[i];
          cCharaBase& chara = *candidate.lpChara;
          if (!IsOverlapRect(candidate.rect, shot.m_HitBox.rect) || WasHitBy(shot, chara) ||
              (IsDamaging(shot) && chara.IsInvincible())) {
            ++i;
            continue;
          }
          const int32_t charaPlace = candidate.nPlace;
          hit = true;
          if (const int result = ShotHitsChara(shot, chara, due)) return result;
          targets.Renew();
          i = FirstFrom(targets.Group(c).aList, charaPlace + 1);
        }
        if (!hit) {
          ++k;
          continue;
        }
        const bool drop = due && !shot.m_bErase;
        if (drop) DropShot(stage, shots, pos);
        TakeShots(shots, activeOnly, entries);
        k = FirstFrom(entries, drop ? shotPlace : shotPlace + 1);
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

// A character whose body may meet those of other groups.
bool TakesPartInBodyHits(const cCharaBase& chara, bool activeOnly) {
  return (!activeOnly || chara.ActsNow()) && !chara.m_Type.m_bBlockChara && IsPresent(chara) && !chara.m_bDead;
}
const cDblRect& CharaBoxOf(const cCharaBase& chara) { return chara.m_CharaBox.rect; }

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

// Section 3: every pair of characters of different groups; met tells whether any two met.
int BodyAttacks(cStageState& stage, cHitScratch& scratch, bool& met) {
  cGroupCandidates bodies(stage, TakesPartInBodyHits, CharaBoxOf, scratch.aBodies);
  const int groups = static_cast<int>(stage.m_aCharaGroups.size());
  for (int i = 0; i < groups; ++i) {
    if (VecAt(stage.m_aCharaGroups, i).empty()) continue;
    for (int j = i + 1; j < groups; ++j) {
      if (VecAt(stage.m_aCharaGroups, j).empty()) continue;
      for (size_t a = 0; a < bodies.Group(i).aList.size();) {
        cHitCandidate x = bodies.Group(i).aList[a];
        // A defeat earlier in the loop takes the character out of the remaining pairs.
        bool xTakesPart = bodies.Group(j).bounds.Meets(x.rect);
        for (size_t b = 0; xTakesPart && b < bodies.Group(j).aList.size();) {
          const cHitCandidate& z = bodies.Group(j).aList[b];
          if (!IsOverlapRect(x.rect, z.rect)) {
            ++b;
            continue;
          }
          const int32_t zPlace = z.nPlace;
          met = true;
          if (const int result = BodiesMeet(*x.lpChara, *z.lpChara)) return result;
          bodies.Renew();
          const std::vector<cHitCandidate>& first = bodies.Group(i).aList;
          const size_t xNow = FirstFrom(first, x.nPlace);
          xTakesPart = xNow < first.size() && first[xNow].nPlace == x.nPlace;
          if (xTakesPart) x = first[xNow];
          b = FirstFrom(bodies.Group(j).aList, zPlace + 1);
        }
        a = FirstFrom(bodies.Group(i).aList, x.nPlace + 1);
      }
    }
  }
  return 0;
}

// Section 4: shots of different groups that meet, at least one of them breakable. Of two breakable
// shots the weaker goes (both at equal strength); a breakable one goes against an unbreakable one.
// Nothing but the breaks changes the shots here, so the breakable shots of each group are counted
// first: a pair of groups, or a shot that cannot break, meeting no breakable shot is passed over.
void ShotsAgainstShots(cStageState& stage, std::vector<int32_t>& breakable) {
  const int groups = static_cast<int>(stage.m_aShotGroups.size());
  breakable.assign(static_cast<size_t>(groups), 0);
  for (int g = 0; g < groups; ++g)
    for (const cShot* shot : VecAt(stage.m_aShotGroups, g))
      if (IsBreakable(*shot)) ++breakable[static_cast<size_t>(g)];
  for (int j = 0; j < groups; ++j) {
    std::list<cShot*>& first = VecAt(stage.m_aShotGroups, j);
    if (first.empty()) continue;
    int32_t& firstBreakable = breakable[static_cast<size_t>(j)];
    for (int k = j + 1; k < groups; ++k) {
      std::list<cShot*>& second = VecAt(stage.m_aShotGroups, k);
      if (second.empty()) continue;
      int32_t& secondBreakable = breakable[static_cast<size_t>(k)];
      if (firstBreakable == 0 && secondBreakable == 0) continue;
      for (auto zPos = first.begin(); zPos != first.end();) {
        const cShot& z = **zPos;
        const bool zBreaks = IsBreakable(z);
        if (!zBreaks && secondBreakable == 0) {
          ++zPos;
          continue;
        }
        bool zDue = false;
        for (auto aPos = second.begin(); aPos != second.end();) {
          const cShot& a = **aPos;
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
          if (aGoes) {
            DropShot(stage, second, aPos);
            --secondBreakable;
          } else {
            ++aPos;
          }
        }
        if (zDue) {
          DropShot(stage, first, zPos);
          --firstBreakable;
        } else {
          ++zPos;
        }
      }
    }
  }
}

}  // namespace

int ResolveHits(cStageState& stage) {
  cDeferShotErase defer(stage);
  cScratchLease scratch;
  const bool checkShots = stage.m_anSubStepFlags.empty() || VecAt(stage.m_anSubStepFlags, stage.m_nSubStep - 1) != 0;
  if (checkShots) {
    if (const int result = ShotsAgainstCharas(stage, *scratch)) return result;
  }
  // Every listed shot is in the stage's shot list: one look there tells whether any has ended and
  // whether any can break. Only a hit between two characters can bring new shots after that.
  bool anyEnded = false;
  bool anyBreakable = false;
  for (const cShot& shot : stage.m_ShotList) {
    anyEnded = anyEnded || shot.m_bErase != 0;
    anyBreakable = anyBreakable || IsBreakable(shot);
  }
  if (anyEnded) EraseEndedShots(stage);
  bool bodiesMet = false;
  if (const int result = BodyAttacks(stage, *scratch, bodiesMet)) return result;
  if (anyBreakable || bodiesMet) ShotsAgainstShots(stage, (*scratch).anBreakable);
  return 0;
}
