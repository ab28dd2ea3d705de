// Damage, invincibility and defeat of characters: the damage of a power against a defence (a
// negative power heals, the no-damage status keeps the life), the hit effect and knock-back of a
// body and of a shot, the general and per-attacker invincibility at n sub-steps per frame, the
// damage and impact triggers with the summoner or the shot's owner credited, and a defeat with its
// death flows, score, carried item and end of the stage.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "data/save_data.h"
#include "objects/flow_hooks.h"
#include "objects/shot.h"
#include "objects/stage_physics.h"
#include "test_support/hit_trigger_probe.h"
#include "test_support/hooks_guard.h"
#include "test_support/stage_harness.h"

namespace {

// A hero, an enemy and a summoned helper ('S') on a floor; flows recorded, never started.
cHarnessSetup DamageStage(int level = 1) {
  cHarnessSetup setup;
  setup.map = {"..........", "..H.C.S...", "##########"};
  setup.nHitCheckLevel = level;
  setup.charas['S'] = HarnessCharaType();
  setup.addStandIns = RecordHitTriggers;
  return setup;
}

// The hit effects asked of the flow layer: {effect, scale}.
std::vector<std::vector<int>> g_hitEffects;
void RecordHitEffect(int effect, const cDblRect&, const cDblRect&, int scale) {
  g_hitEffects.push_back({effect, scale});
}
cFlowHooks HitEffectHooks() {
  cFlowHooks hooks;
  hooks.addHitEffect = RecordHitEffect;
  return hooks;
}

// A shot of an owner, by hand as the shot commands would build it (registered with its owner).
struct cHandShot {
  explicit cHandShot(cCharaBase* owner, int power, int impact = 0, int countsForOwner = 1, int arg = 0) {
    shot.m_Settings.m_nPower = power;
    shot.m_Settings.m_nImpact = static_cast<int8_t>(impact);
    shot.m_bIsShot = 1;
    shot.m_dSpeedX = 2;
    shot.m_bCountsForOwner = countsForOwner;
    shot.m_nOwnerArg = static_cast<uint8_t>(arg);
    if (owner) {
      shot.m_lpOwner = owner;
      shot.m_nOwnerNumber = owner->m_nNumber;
      owner->m_aShotLinks.push_back({&shot, kShotLinkOwner});
    }
  }
  cShot shot;
};

}  // namespace

// {power, defence, no-damage status, life before, maximum} -> {damage reported, life after, gone}.
TEST(CharaDamage, PowerAgainstDefence) {
  struct Case {
    int power, defence, noDamage, hp, maxHp;
    int damage, hpAfter, gone;
  };
  const Case cases[] = {
      {30, 10, 0, 50, 50, 20, 30, 0},             // power less defence
      {10, 15, 0, 50, 50, 0, 50, 0},              // never negative: no heal from a weak attack
      {-5, 15, 0, 40, 50, -5, 45, 0},             // a negative power heals, defence not applied
      {-50, 0, 0, 40, 50, -50, 50, 0},            // ... up to the maximum
      {60, 0, 0, 50, 50, 60, 0, 1},               // the life is gone
      {30, 0, 1, 50, 50, 0, 50, 0},               // no-damage status: nothing lost, 0 reported
      {2000000, 0, 0, 50, 50, 999999, 0, 1},      // damage at most 999999
      {5, -2147483647, 0, 50, 50, 999999, 0, 1},  // a defence far below 0 does not wrap
      {INT_MIN, 0, 0, 10, 50, INT_MIN, 50, 0},    // the lowest power heals without overflow
  };
  cStageHarness h(DamageStage());
  for (const Case& c : cases) {
    cCharaBase& victim = h.Hero();
    cCharaBase& attacker = h.Chara(0);
    victim.m_Type.m_nDefence = c.defence;
    victim.m_Type.m_nOpt32 = static_cast<int8_t>(c.noDamage);
    victim.m_Type.m_nMaxHp = c.maxHp;
    victim.m_nHp = c.hp;
    attacker.m_Type.m_nBodyPower = c.power;
    int damage = 7, impact = 7;
    EXPECT_EQ(victim.TakeBodyHit(attacker, damage, impact), c.gone) << c.power << " " << c.defence;
    EXPECT_EQ(damage, c.damage) << c.power << " " << c.defence;
    EXPECT_EQ(victim.m_nHp, c.hpAfter) << c.power << " " << c.defence;
    EXPECT_EQ(impact, 0) << "no impact, nothing dealt";

    cHandShot hand(&attacker, c.power);
    damage = 7;
    victim.m_nHp = c.hp;
    EXPECT_EQ(victim.TakeShotHit(hand.shot, damage, impact), c.gone) << c.power << " " << c.defence;
    EXPECT_EQ(damage, c.damage);
    EXPECT_EQ(victim.m_nHp, c.hpAfter);
  }
}

// The attacker's hit effect at its scale and its knock-back: even a victim that takes no damage
// gets both.
TEST(CharaDamage, HitEffectAndKnockBackEvenWithoutDamage) {
  cStageHarness h(DamageStage());
  cHooksGuard<cFlowHooks> effects(SetFlowHooks, HitEffectHooks());
  g_hitEffects.clear();
  cCharaBase& victim = h.Hero();
  cCharaBase& attacker = h.Chara(0);
  victim.m_Type.m_nOpt32 = 1;
  attacker.m_Type.m_nBodyPower = 5;
  attacker.m_Type.m_nBodyImpact = 4;
  attacker.m_Type.m_nHitEffect = 3;
  attacker.m_Type.m_nScale = 2;
  attacker.m_dSpeedX = -1;
  int damage = 0, impact = 0;
  victim.TakeBodyHit(attacker, damage, impact);
  EXPECT_EQ(damage, 0);
  EXPECT_EQ(impact, 4);
  EXPECT_LT(victim.m_dKnockX, 0) << "pushed along the attacker's speed";

  cHandShot hand(&attacker, 5, -3);
  hand.shot.m_Settings.m_nEffect = 9;
  hand.shot.m_Settings.m_nSize = 3;
  victim.TakeShotHit(hand.shot, damage, impact);
  EXPECT_EQ(impact, -3);
  EXPECT_EQ(g_hitEffects, (std::vector<std::vector<int>>{{3, 2}, {9, 3}}));
}

// The hero's and the others' settings, times n; ticks run the timers down to 0 and drop the
// per-attacker entries as they run out.
TEST(CharaDamage, InvincibilityTimesAtNSubSteps) {
  cStageHarness h(DamageStage(2));  // n = 2
  g_StageFile.m_nHeroInvDamage = 5;
  g_StageFile.m_nHeroInvSame = 30;
  g_StageFile.m_nCharaInvDamage = 7;
  g_StageFile.m_nCharaInvSame = 11;
  cCharaBase& hero = h.Hero();
  cCharaBase& enemy = h.Chara(0);
  hero.StartInvincible();
  enemy.StartInvincibleFrom(hero.m_nNumber);
  EXPECT_EQ(hero.m_nInvincible, 10);
  EXPECT_EQ(enemy.m_nInvincible, 14);
  ASSERT_EQ(enemy.m_InvincibleFrom.size(), 1u);
  EXPECT_EQ(enemy.m_InvincibleFrom.front().nTicks, 22);

  // Per attacker, 30 frames at n = 2: the same attacker is refused for 60 ticks, the others only
  // while the general timer runs.
  const int first = h.Chara(0).m_nNumber;
  const int other = h.Chara(1).m_nNumber;
  hero.m_nInvincible = 0;
  hero.StartInvincibleFrom(first);
  int ticks = 0;
  while (hero.IsInvincibleFrom(first) && ticks < 1000) {
    EXPECT_EQ(hero.IsInvincibleFrom(other), hero.IsInvincible()) << ticks;
    hero.TickInvincible();
    ++ticks;
  }
  EXPECT_EQ(ticks, 60);
  EXPECT_TRUE(hero.m_InvincibleFrom.empty());
  EXPECT_EQ(hero.m_nInvincible, 0) << "never below 0";
  hero.TickInvincible();
  EXPECT_EQ(hero.m_nInvincible, 0);
}

// A setting far beyond any play saturates instead of wrapping into a negative (no) time.
TEST(CharaDamage, AHugeInvincibilitySettingStaysHuge) {
  cStageHarness h(DamageStage(9));
  g_StageFile.m_nHeroInvDamage = INT_MAX / 2;
  h.Hero().StartInvincible();
  EXPECT_EQ(h.Hero().m_nInvincible, INT_MAX);
}

// Body hits: the victim sees the attacker, or the summoner when the attack counts for it; the
// summoner's own triggers carry the summon argument as their flow group.
TEST(CharaDamage, BodyHitTriggersCreditTheSummoner) {
  cStageHarness h(DamageStage());
  cCharaBase& hero = h.Hero();
  cCharaBase& enemy = h.Chara(0);
  cCharaBase& helper = h.Chara(1);
  WatchTriggers(hero, {1, 2, 3, 4});
  WatchTriggers(enemy, {20, 21, 22, 23}, 5);
  enemy.m_Type.m_nBodyPower = 3;
  enemy.m_Type.m_nBodyImpact = 2;
  const int e = enemy.m_nNumber;

  hero.FireBodyHitTriggers(enemy, 3, 2);
  EXPECT_EQ(HitTriggers(h, hero.m_nNumber), (std::vector<cHitTrigger>{{1, e}, {2, e}, {3, e}, {4, e}}));
  h.ClearTraces();
  hero.FireBodyHitTriggers(enemy, 0, 0);  // no damage, no push: only the "power/impact non-zero" rows
  EXPECT_EQ(HitTriggers(h, hero.m_nNumber), (std::vector<cHitTrigger>{{1, e}, {3, e}}));

  // The helper's attack counts for the enemy that summoned it.
  h.ClearTraces();
  helper.m_lpParent = &enemy;
  helper.m_bCountsForParent = 1;
  helper.m_nParentArg = 5;
  helper.m_Type.m_nBodyPower = 1;
  hero.FireBodyHitTriggers(helper, 1, 0);
  EXPECT_EQ(HitTriggers(h, hero.m_nNumber), (std::vector<cHitTrigger>{{1, e}, {2, e}}));
  EXPECT_EQ(HitTriggers(h, e), (std::vector<cHitTrigger>{{20, hero.m_nNumber}, {21, hero.m_nNumber}}));

  // Another summon argument is another flow group: the enemy's flows of group 5 stay quiet.
  h.ClearTraces();
  helper.m_nParentArg = 6;
  hero.FireBodyHitTriggers(helper, 1, 0);
  EXPECT_TRUE(HitTriggers(h, e).empty());
  helper.m_lpParent = nullptr;
}

// Shot hits: the partner is the shot's owner; the owner fires 20-23 only when the shot counts for it.
TEST(CharaDamage, ShotHitTriggersCreditTheOwner) {
  cStageHarness h(DamageStage());
  cCharaBase& hero = h.Hero();
  cCharaBase& enemy = h.Chara(0);
  WatchTriggers(hero, {1, 2, 3, 4});
  WatchTriggers(enemy, {20, 21, 22, 23});
  const int e = enemy.m_nNumber;
  const int me = hero.m_nNumber;
  {
    cHandShot hand(&enemy, 4, 3);
    hero.FireShotHitTriggers(hand.shot, 4, 3);
  }
  EXPECT_EQ(HitTriggers(h, me), (std::vector<cHitTrigger>{{1, e}, {2, e}, {3, e}, {4, e}}));
  EXPECT_EQ(HitTriggers(h, e), (std::vector<cHitTrigger>{{20, me}, {21, me}, {22, me}, {23, me}}));

  h.ClearTraces();
  {
    cHandShot hand(&enemy, 4, 0, 0);
    hero.FireShotHitTriggers(hand.shot, 0, 0);
  }
  EXPECT_EQ(HitTriggers(h, me), (std::vector<cHitTrigger>{{1, e}}));
  EXPECT_TRUE(HitTriggers(h, e).empty()) << "the shot does not count for its owner";

  // The owner has gone: the shot no longer names it, and only the victim's rows fire.
  h.ClearTraces();
  cHandShot orphan(&enemy, 4);
  enemy.UnlinkAll();
  EXPECT_EQ(orphan.shot.m_lpOwner, nullptr);
  hero.FireShotHitTriggers(orphan.shot, 4, 0);
  EXPECT_EQ(HitTriggers(h, me), (std::vector<cHitTrigger>{{1, -1}, {2, -1}}));
  EXPECT_TRUE(HitTriggers(h, e).empty());
}

// Trigger 5, the score (kept to 0..999999), the carried item handed to the hero, the dead flag,
// the links cut.
TEST(CharaDefeat, DeathFlowsScoreAndCarriedItem) {
  struct Case {
    int before, score, after;
  };
  const Case cases[] = {{100, 50, 150}, {999990, 50, 999999}, {30, -100, 0}, {0, INT_MAX, 999999}, {5, INT_MIN, 0}};
  for (const Case& c : cases) {
    cStageHarness h(DamageStage());
    cChara& enemy = h.Chara(0);
    WatchTriggers(enemy, {5});
    enemy.m_Type.m_nScore = c.score;
    enemy.m_Item.m_bActive = 1;  // carries an item
    enemy.m_Item.m_nNumber = 77;
    h.Chara(1).SetTarget(2, &enemy);
    g_SaveData.m_nScore = c.before;

    EXPECT_EQ(enemy.Defeat(), 0);
    EXPECT_EQ(g_SaveData.m_nScore, c.after) << c.before << " + " << c.score;
    EXPECT_EQ(HitTriggers(h, enemy.m_nNumber), (std::vector<cHitTrigger>{{5, -1}}));
    const std::vector<cHarnessCall> taken = h.CallsOf("takeItem");
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken[0].adArgs, (std::vector<double>{77, double(h.Hero().m_nNumber)}));
    EXPECT_EQ(enemy.m_bDead, 1);
    EXPECT_EQ(h.Chara(1).m_apTargets[2], nullptr) << "unlinked";
  }
}

// A defeat whose carried item clears the stage, or that comes after the stage was decided, ends the
// stage: the character stays linked and alive for the stage end.
TEST(CharaDefeat, ADefeatThatEndsTheStageLeavesTheCharacterAsItIs) {
  for (int clearedBefore : {0, 1}) {
    cStageHarness h(DamageStage());
    cChara& enemy = h.Chara(0);
    h.Chara(1).SetTarget(2, &enemy);
    if (clearedBefore) {
      h.Stage().m_nEndRequest = kEndClear;
    } else {
      enemy.m_Item.m_bActive = 1;
      h.m_nTakeItemResult = 1;
    }
    EXPECT_EQ(enemy.Defeat(), 1) << clearedBefore;
    EXPECT_EQ(enemy.m_bDead, 0);
    EXPECT_EQ(h.Chara(1).m_apTargets[2], &enemy);
  }
}

// A defeat effect number that names no character effect is left out (reported), not a fatal stop.
TEST(CharaDefeat, ADefeatEffectOutOfRangeIsLeftOut) {
  cStageHarness h(DamageStage());
  cChara& enemy = h.Chara(0);
  enemy.m_Type.m_nDefeatEffect = 30000;
  EXPECT_EQ(enemy.Defeat(), 0);
  EXPECT_EQ(enemy.m_bDead, 1);
  EXPECT_EQ(enemy.CharaEffectKind(), 0);
}
