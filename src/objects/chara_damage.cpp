// Damage: the invincibility timers (general and per attacker), a body attack or a shot turned into
// lost life with its hit effect and knock-back, and the damage and impact triggers of the victim and
// of the attacker's summoner or the shot's owner.
#include <algorithm>
#include <cstdint>
#include <limits>

#include "data/stage_data.h"
#include "objects/chara_base.h"
#include "objects/flow_hooks.h"
#include "objects/flow_runner.h"
#include "objects/shot.h"
#include "objects/stage_physics.h"

namespace {

// Trigger rows of the damage and impact triggers.
enum : int {
  kTriggerDamaged = 1,       // power non-zero
  kTriggerHurt = 2,          // damage of 1 or more
  kTriggerImpacted = 3,      // impact non-zero
  kTriggerPushed = 4,        // a knock-back was dealt
  kTriggerDealtDamage = 20,  // the same four for the one the attack counts for
  kTriggerDealtHurt = 21,
  kTriggerDealtImpact = 22,
  kTriggerDealtPush = 23,
};

constexpr int64_t kMaxDamage = 999999;

// A stage setting in frames times the sub-steps per frame; a huge setting of a damaged stage file
// stays a huge time instead of wrapping into a negative one.
int32_t TicksOf(int32_t frames) {
  const int64_t ticks = int64_t{frames} * StageSubSteps();
  return static_cast<int32_t>(std::clamp<int64_t>(ticks, 0, std::numeric_limits<int32_t>::max()));
}

// The damage of an attack: a positive power less the defence, kept to 0..999999; a power of 0 or
// less goes through unchanged (a negative power heals).
int64_t DamageOf(int32_t power, int32_t defence) {
  if (power <= 0) return power;
  return std::clamp<int64_t>(int64_t{power} - defence, 0, kMaxDamage);
}

// The life change of an attack; its damage reported (0 while the victim takes no damage). 1 when
// the life is gone. A power of the lowest int heals as much as an int can say.
int ApplyDamage(cCharaBase& victim, int64_t damage, int& damageOut) {
  damageOut = victim.m_Type.m_nOpt32 != 0 ? 0 : static_cast<int>(damage);
  const int64_t delta = std::min<int64_t>(-damage, std::numeric_limits<int32_t>::max());
  return victim.ChangeHP(static_cast<int>(delta), 0, 1);
}

// The damage and impact triggers of one hit: the victim's with its partner, and the crediting
// character's (the summoner or the shot's owner, or none) with the victim as partner.
void FireHitTriggers(cCharaBase& victim, cCharaBase* partner, cCharaBase* credited, int group, bool power, bool impact,
                     int damage, int impactDealt) {
  if (power) {
    TriggerFlowsWith(victim, kTriggerDamaged, partner, 0);
    if (damage > 0) TriggerFlowsWith(victim, kTriggerHurt, partner, 0);
    if (credited) {
      TriggerFlowsWith(*credited, kTriggerDealtDamage, &victim, group);
      if (damage > 0) TriggerFlowsWith(*credited, kTriggerDealtHurt, &victim, group);
    }
  }
  if (impact) {
    TriggerFlowsWith(victim, kTriggerImpacted, partner, 0);
    if (impactDealt != 0) TriggerFlowsWith(victim, kTriggerPushed, partner, 0);
    if (credited) {
      TriggerFlowsWith(*credited, kTriggerDealtImpact, &victim, group);
      if (impactDealt != 0) TriggerFlowsWith(*credited, kTriggerDealtPush, &victim, group);
    }
  }
}

}  // namespace

void cCharaBase::StartInvincible() {
  const cStageData& stage = g_StageFile;
  m_nInvincible = TicksOf(m_nControl == 0 ? stage.m_nHeroInvDamage : stage.m_nCharaInvDamage);
}

void cCharaBase::StartInvincibleFrom(int key) {
  StartInvincible();
  const cStageData& stage = g_StageFile;
  m_InvincibleFrom.push_back({key, TicksOf(m_nControl == 0 ? stage.m_nHeroInvSame : stage.m_nCharaInvSame)});
}

void cCharaBase::TickInvincible() {
  if (m_nInvincible > 0) --m_nInvincible;
  for (auto it = m_InvincibleFrom.begin(); it != m_InvincibleFrom.end();) {
    if (--it->nTicks <= 0)
      it = m_InvincibleFrom.erase(it);
    else
      ++it;
  }
}

bool cCharaBase::IsInvincible() const { return m_nInvincible > 0; }

bool cCharaBase::IsInvincibleFrom(int key) const {
  if (IsInvincible()) return true;
  return std::any_of(m_InvincibleFrom.begin(), m_InvincibleFrom.end(),
                     [key](const cInvincibleEntry& entry) { return entry.nKey == key; });
}

int cCharaBase::TakeBodyHit(cCharaBase& attacker, int& damage, int& impactOut) {
  const int gone = ApplyDamage(*this, DamageOf(attacker.m_Type.m_nBodyPower, m_Type.m_nDefence), damage);
  if (attacker.m_Type.m_nHitEffect != 0)
    AddHitEffect(attacker.m_Type.m_nHitEffect, m_CharaBox.rect, attacker.m_CharaBox.rect, attacker.m_Type.m_nScale);
  impactOut = 0;
  KnockBackFromBody(attacker, impactOut);
  return gone;
}

int cCharaBase::TakeShotHit(cShot& shot, int& damage, int& impactOut) {
  const cEdShot& settings = shot.m_Settings;
  const int gone = ApplyDamage(*this, DamageOf(settings.m_nPower, m_Type.m_nDefence), damage);
  if (settings.m_nEffect != 0) AddHitEffect(settings.m_nEffect, m_ShotBox.rect, shot.m_HitBox.rect, settings.m_nSize);
  impactOut = 0;
  KnockBackFromShot(shot, impactOut);
  return gone;
}

// An attack of a summoned character that counts for its summoner is the summoner's: the victim
// sees the summoner as its partner, and the summoner's triggers fire.
void cCharaBase::FireBodyHitTriggers(cCharaBase& attacker, int damage, int impactDealt) {
  cCharaBase* summoner = attacker.m_bCountsForParent ? attacker.m_lpParent : nullptr;
  FireHitTriggers(*this, summoner ? summoner : &attacker, summoner, attacker.m_nParentArg,
                  attacker.m_Type.m_nBodyPower != 0, attacker.m_Type.m_nBodyImpact != 0, damage, impactDealt);
}

void cCharaBase::FireShotHitTriggers(cShot& shot, int damage, int impactDealt) {
  cCharaBase* owner = shot.m_lpOwner;
  FireHitTriggers(*this, owner, shot.m_bCountsForOwner ? owner : nullptr, shot.m_nOwnerArg,
                  shot.m_Settings.m_nPower != 0, shot.m_Settings.m_nImpact != 0, damage, impactDealt);
}
