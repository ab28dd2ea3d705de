// Hits, defeats and items of stage play on the harness: an enemy's shot at the hero through the
// whole damage chain (invincibility, life, triggers with the owner and the summoner as partners,
// invincibility per attacker, defeat, score, a carried item the hero runs), shots and bodies only
// across groups, the invincibility modes, piercing, break strength, harmless shots, the shot checks
// of limited sub-steps, the defeat check after flow commands, and the hero's item pass.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "data/save_data.h"
#include "data/system_data.h"
#include "flow/install_flow_hooks.h"
#include "objects/flow_hooks.h"
#include "objects/shot.h"
#include "stage/hits.h"
#include "stage/logic_substep.h"
#include "stage/scene_stage.h"
#include "test_support/hit_trigger_probe.h"
#include "test_support/hooks_guard.h"
#include "test_support/stage_play_harness.h"

namespace {

constexpr int kHeroGroup = 0;
constexpr int kEnemyGroup = 2;
constexpr int kFriendGroup = 3;

// The hero (group 0), enemies 'C' and 'E' (group 2) and a friend 'F' (group 3) on a floor, played by
// stage play's own logic; hit triggers recorded, flows never started.
cHarnessSetup HitStage(std::vector<std::string> map, int level = 1) {
  cHarnessSetup setup;
  setup.map = std::move(map);
  setup.nHitCheckLevel = level;
  cCharaType hero = HarnessHeroType();
  hero.m_nOpt28 = kHeroGroup;
  setup.charas['H'] = hero;
  cCharaType enemy = HarnessCharaType();
  enemy.m_nOpt28 = kEnemyGroup;
  enemy.m_nMaxHp = 10;
  setup.charas['C'] = enemy;
  setup.charas['E'] = enemy;
  cCharaType friendly = HarnessCharaType();
  friendly.m_nOpt28 = kFriendGroup;
  setup.charas['F'] = friendly;
  setup.addStandIns = [](cStageHooks& hooks) {
    AddStagePlayServices(hooks);
    RecordHitTriggers(hooks);
  };
  return setup;
}

// Every character present and acting (no activity pass here).
void Activate() {
  g_HeroList[0].m_bActive = 1;
  for (cChara& chara : g_CharaList) chara.m_bActive = chara.m_bActing = 1;
}

// A shot of a group built by hand as the shot commands would, sitting in the stage's lists, its hit
// rectangle on the target's shot box.
cShot& AddShot(cStageState& stage, int group, cCharaBase* owner, const cCharaBase& at, int power) {
  cShot& shot = stage.m_ShotList.emplace_back();
  shot.m_bIsShot = 1;
  shot.m_bActive = 1;
  shot.m_nKind = group;
  shot.m_Settings.m_nShotGroup = static_cast<int8_t>(group);
  shot.m_Settings.m_nPower = power;
  // A shot at rest over the target's shot box: the sub-step's shots pass moves it by nothing.
  shot.m_bGravityFree = 1;
  shot.m_dX = at.m_ShotBox.rect.left;
  shot.m_dY = at.m_ShotBox.rect.top;
  shot.m_dX2 = at.m_ShotBox.rect.right;
  shot.m_dY2 = at.m_ShotBox.rect.bottom;
  shot.m_HitBox.rect = at.m_ShotBox.rect;
  shot.m_HitBox.nWidth = static_cast<int32_t>(at.m_ShotBox.rect.right - at.m_ShotBox.rect.left) + 1;
  shot.m_HitBox.nHeight = static_cast<int32_t>(at.m_ShotBox.rect.bottom - at.m_ShotBox.rect.top) + 1;
  shot.m_Settings.m_bThroughBlocks = 1;
  shot.m_nNumber = stage.m_nNextShotId++;
  if (owner) {
    shot.m_lpOwner = owner;
    shot.m_nOwnerNumber = owner->m_nNumber;
    shot.m_bCountsForOwner = 1;
    owner->m_aShotLinks.push_back({&shot, kShotLinkOwner});
  }
  stage.m_aShotGroups[static_cast<size_t>(group)].push_back(&shot);
  return shot;
}

bool InShotList(const cStageState& stage, const cShot* shot) {
  for (const cShot& s : stage.m_ShotList)
    if (&s == shot) return true;
  return false;
}
size_t ShotCount(const cStageState& stage) { return stage.m_ShotList.size(); }

// Puts a character's boxes onto another's (as if they stood in one place).
void Overlap(cCharaBase& mover, const cCharaBase& at) {
  mover.m_CharaBox.rect = at.m_CharaBox.rect;
  mover.m_ShotBox.rect = at.m_ShotBox.rect;
}

int Count(const std::vector<int>& sounds, int slot) {
  return static_cast<int>(std::count(sounds.begin(), sounds.end(), slot));
}

// The flow layer's command tables, for the commands a taken item runs.
cFlowHooks RealFlowHooks() {
  const cFlowHooks before = SetFlowHooks(cFlowHooks());
  InstallFlowHooks();
  return SetFlowHooks(before);
}

// The take-item service of stage play in place of the harness's stand-in.
void UseStageTakeItem(cStageHooks& hooks) {
  AddStagePlayServices(hooks);
  RecordHitTriggers(hooks);
  hooks.takeItem = TakeStageItem;
}

struct cPlay {
  cHooksGuard<cHarnessPlugins> plugins{SetHarnessPlugins, WithStagePlay(CurrentHarnessPlugins())};
};

}  // namespace

// The damage chain at n = 2: an enemy's shot at the hero, the enemy's summoned helper touching it,
// a second enemy, then the hero's shot defeating an enemy that carries an item the hero runs.
TEST(HitPass, AnEnemyShotAtTheHeroThroughTheWholeChain) {
  cPlay play;
  cHooksGuard<cFlowHooks> flows(SetFlowHooks, RealFlowHooks());
  cHarnessSetup setup = HitStage({"..........", "..H.C.E...", "##########"}, 12);  // n = 2
  setup.addStandIns = UseStageTakeItem;
  cStageHarness h(setup);
  Activate();
  g_StageFile.m_nHeroInvDamage = 5;  // 10 ticks
  g_StageFile.m_nHeroInvSame = 30;   // 60 ticks against the same attacker
  cHero& hero = h.Hero();
  cChara& enemy = h.Chara(0);
  cChara& other = h.Chara(1);
  hero.m_Type.m_nMaxHp = hero.m_nHp = 100;
  WatchTriggers(hero, {1, 2, 6, 9});
  WatchTriggers(enemy, {20, 21, 24});
  const int me = hero.m_nNumber;
  const int e = enemy.m_nNumber;

  // The shot: 9 with the owner, the damage, 1 and 2 with the owner, 20 and 21 of the owner.
  cShot* shot = &AddShot(h.Stage(), kEnemyGroup, &enemy, hero, 30);
  h.Step();
  EXPECT_EQ(hero.m_nHp, 70);
  EXPECT_EQ(HitTriggers(h, me), (std::vector<cHitTrigger>{{9, e}, {1, e}, {2, e}}));
  EXPECT_EQ(HitTriggers(h, e), (std::vector<cHitTrigger>{{24, me}, {20, me}, {21, me}}));
  EXPECT_EQ(Count(h.Sounds(), 7), 1);
  EXPECT_FALSE(InShotList(h.Stage(), shot)) << "used up";
  EXPECT_EQ(hero.m_nInvincible, 10 - 1) << "started in the first sub-step, ticked in the second";

  // A second shot waits for the general invincibility: 10 ticks = 5 frames.
  h.ClearTraces();
  shot = &AddShot(h.Stage(), kEnemyGroup, &enemy, hero, 30);
  h.Step(4);
  EXPECT_EQ(hero.m_nHp, 70);
  EXPECT_TRUE(InShotList(h.Stage(), shot));
  h.Step();
  EXPECT_EQ(hero.m_nHp, 40);
  EXPECT_FALSE(InShotList(h.Stage(), shot));

  // The enemy's summoned helper touches the hero: its attack counts for the enemy, so the hero sees
  // the summoner and the summoner is credited; then 60 ticks against the helper alone.
  g_StageFile.m_nHeroInvDamage = 0;
  hero.m_nInvincible = 0;
  cChara& helper = other;
  helper.m_lpParent = &enemy;
  helper.m_bCountsForParent = 1;
  helper.m_Type.m_nBodyPower = 5;
  h.ClearTraces();
  Overlap(helper, hero);
  ResolveHits(h.Stage());
  EXPECT_EQ(hero.m_nHp, 35);
  EXPECT_EQ(HitTriggers(h, me), (std::vector<cHitTrigger>{{6, e}, {1, e}, {2, e}}));
  EXPECT_EQ(HitTriggers(h, e), (std::vector<cHitTrigger>{{24, me}, {20, me}, {21, me}}));
  int refused = 0;
  for (int tick = 0; tick < 100 && hero.IsInvincibleFrom(helper.m_nNumber); ++tick) {
    hero.TickInvincible();
    ++refused;
  }
  EXPECT_EQ(refused, 60);
  helper.m_lpParent = nullptr;
  helper.m_bCountsForParent = 0;

  // The hero's shot defeats the enemy, which carries an item: the score is kept to 999999, and the
  // hero runs the item's commands (its sound, then a stage clear that ends the stage).
  h.ClearTraces();
  enemy.m_nHp = 10;
  enemy.m_Type.m_nScore = 500;
  g_SaveData.m_nScore = 999800;
  enemy.m_Item.m_bActive = 1;
  enemy.m_Item.m_Type.m_nGraphic = 1;
  enemy.m_Item.m_Type.m_nSound = 3;
  enemy.m_Item.m_Type.m_bShowRising = 0;
  cFlowCmd clear;
  clear.m_nKind = 2;  // "ステージクリア"
  clear.m_anParams.assign(16, 0);
  clear.m_nContext = 1;  // an item command
  enemy.m_Item.m_Type.m_aCmds = {clear};
  AddShot(h.Stage(), kHeroGroup, &hero, enemy, 50);
  EXPECT_EQ(ResolveHits(h.Stage()), 1) << "the carried item cleared the stage";
  EXPECT_EQ(g_SaveData.m_nScore, 999999);
  EXPECT_EQ(Count(h.Sounds(), 9), 1) << "a computer character's defeat";
  EXPECT_EQ(Count(h.Sounds(), 16 + 3), 1) << "the item's sound";
  EXPECT_EQ(enemy.m_bDead, 0) << "the stage ends with the enemy as it was";
}

// Shots hit other groups only; a shot's group and a character's group being the same is no hit.
TEST(HitPass, ShotsAndBodiesHitOtherGroupsOnly) {
  cStageHarness h(HitStage({"..........", "..H.C.E...", "##########"}));
  Activate();
  cChara& enemy = h.Chara(0);
  cChara& mate = h.Chara(1);
  cShot* own = &AddShot(h.Stage(), kEnemyGroup, &mate, enemy, 5);
  mate.m_Type.m_nBodyPower = 5;
  Overlap(mate, enemy);
  EXPECT_EQ(ResolveHits(h.Stage()), 0);
  EXPECT_EQ(enemy.m_nHp, 10);
  EXPECT_TRUE(InShotList(h.Stage(), own));
  EXPECT_TRUE(h.CallsOf("hitTrigger").empty());
}

// Mode 1: hit (triggers, the shot used up) but no life lost; mode 2: shots pass through.
TEST(HitPass, InvincibilityModes) {
  for (int mode : {0, 1, 2}) {
    cStageHarness h(HitStage({"..........", "..H.C.....", "##########"}));
    Activate();
    cChara& enemy = h.Chara(0);
    WatchTriggers(enemy, {9, 1});
    enemy.m_Type.m_nOpt32 = static_cast<int8_t>(mode);
    cShot* shot = &AddShot(h.Stage(), kHeroGroup, &h.Hero(), enemy, 4);
    ResolveHits(h.Stage());
    EXPECT_EQ(enemy.m_nHp, mode == 0 ? 6 : 10) << mode;
    EXPECT_EQ(InShotList(h.Stage(), shot), mode == 2) << mode;
    EXPECT_EQ(HitTriggers(h, enemy.m_nNumber).size(), mode == 2 ? 0u : 2u) << mode;
  }
}

// A projectile that does not pierce hits every character of one group list it overlaps in the
// sub-step, then goes; a piercing one (block characters have their own flag) hits each character
// once and stays; a sword swing always stays.
TEST(HitPass, PiercingAndSwordSwings) {
  struct Case {
    int isShot, pierce, pierceBlocks, blockChara;
    bool stays;
  };
  const Case cases[] = {
      {1, 0, 0, 0, false}, {1, 1, 0, 0, true}, {1, 1, 0, 1, false},
      {1, 0, 1, 1, true},  {0, 0, 0, 0, true}, {0, 0, 0, 1, true},
  };
  for (const Case& c : cases) {
    cStageHarness h(HitStage({"..........", "..H.C.E...", "##########"}));
    Activate();
    cChara& first = h.Chara(0);
    cChara& second = h.Chara(1);
    first.m_Type.m_bBlockChara = second.m_Type.m_bBlockChara = static_cast<int8_t>(c.blockChara);
    Overlap(second, first);
    cShot* shot = &AddShot(h.Stage(), kHeroGroup, &h.Hero(), first, 1);
    shot->m_bIsShot = c.isShot;
    shot->m_Settings.m_nS45 = static_cast<int8_t>(c.pierce);
    shot->m_Settings.m_nS46 = static_cast<int8_t>(c.pierceBlocks);
    ResolveHits(h.Stage());
    EXPECT_EQ(first.m_nHp, 9);
    EXPECT_EQ(second.m_nHp, 9) << "both of the list are hit";
    EXPECT_EQ(InShotList(h.Stage(), shot), c.stays) << c.isShot << c.pierce << c.pierceBlocks << c.blockChara;
    if (!c.stays) continue;
    // Its hit list holds both by object number: never hit twice, however long it stays.
    EXPECT_EQ(shot->m_HitList, (std::vector<int32_t>{first.m_nNumber, second.m_nNumber}));
    ResolveHits(h.Stage());
    EXPECT_EQ(first.m_nHp, 9);
  }
}

// What a hit's flows change counts at once: characters are tested as the pass reaches them, so one
// that a hit's flow moves into a shot or onto another body is hit in the same pass, and one that a
// flow takes out of play before the pass reaches it is not.
cCharaBase* g_lpMoveOnHit = nullptr;  // moved onto g_lpMoveOnto when anyone's hit trigger fires
cCharaBase* g_lpMoveOnto = nullptr;
cCharaBase* g_lpDefeatOnHit = nullptr;  // put out of play when anyone's hit trigger fires

bool MoveOnHitTrigger(cFlowState& state, cCharaBase& chara) {
  RecordHitTrigger(state, chara);
  if (g_lpMoveOnHit && g_lpMoveOnto) Overlap(*g_lpMoveOnHit, *g_lpMoveOnto);
  if (g_lpDefeatOnHit) g_lpDefeatOnHit->m_bDead = 1;
  return false;
}

TEST(HitPass, WhatAHitsFlowsChangeCountsAtOnce) {
  struct Case {
    bool body;    // the first hit is a body contact (else a shot)
    bool defeat;  // the flow puts the later character out of play (else moves it into the hit)
  };
  for (const Case c : {Case{false, false}, Case{false, true}, Case{true, false}, Case{true, true}}) {
    cHarnessSetup setup = HitStage({"............", "..H.C...E...", "############"});
    setup.addStandIns = [](cStageHooks& hooks) {
      AddStagePlayServices(hooks);
      hooks.checkFlowCondition = MoveOnHitTrigger;
    };
    cStageHarness h(setup);
    Activate();
    cChara& first = h.Chara(0);
    cChara& later = h.Chara(1);  // same group, later in its list, far from the first
    WatchTriggers(first, {6, 9});
    WatchTriggers(later, {6, 9});
    g_lpMoveOnHit = c.defeat ? nullptr : &later;
    g_lpMoveOnto = &first;
    g_lpDefeatOnHit = c.defeat ? &later : nullptr;
    if (c.defeat) Overlap(later, first);  // it would be hit, were it still in play
    if (c.body)
      h.Hero().m_CharaBox.rect = first.m_CharaBox.rect;  // the hero's body meets the first
    else
      AddShot(h.Stage(), kHeroGroup, &h.Hero(), first, 1);
    ResolveHits(h.Stage());
    // Hit by the hero's shot or met by the hero's body, the hero the partner either way.
    const std::vector<cHitTrigger> hit = {{c.body ? 6 : 9, h.Hero().m_nNumber}};
    EXPECT_EQ(HitTriggers(h, first.m_nNumber), hit) << c.body << c.defeat;
    EXPECT_EQ(HitTriggers(h, later.m_nNumber), c.defeat ? std::vector<cHitTrigger>{} : hit) << c.body << c.defeat;
    g_lpMoveOnHit = g_lpMoveOnto = g_lpDefeatOnHit = nullptr;
  }
}

// A shot that was removed after hitting one group takes no part in the next group's list.
TEST(HitPass, AUsedUpShotMeetsNoFurtherGroup) {
  cStageHarness h(HitStage({"..........", "..H.C.F...", "##########"}));
  Activate();
  cChara& enemy = h.Chara(0);
  cChara& friendly = h.Chara(1);
  friendly.m_Type.m_nMaxHp = friendly.m_nHp = 10;
  Overlap(friendly, enemy);
  AddShot(h.Stage(), kHeroGroup, &h.Hero(), enemy, 1);
  ResolveHits(h.Stage());
  EXPECT_EQ(enemy.m_nHp, 9);
  EXPECT_EQ(friendly.m_nHp, 10);
  EXPECT_EQ(ShotCount(h.Stage()), 0u);
}

// A damaging shot passes a character whose invincibility runs; a harmless one still touches it
// (trigger 9) and, unless the project skips its hit, plays the hit sound without making it
// invincible.
TEST(HitPass, HarmlessShotsAndInvincibleTargets) {
  for (int skip : {0, 1}) {
    cStageHarness h(HitStage({"..........", "..H.C.....", "##########"}));
    Activate();
    g_SystemData.m_bLegacy763b = skip;
    g_StageFile.m_nCharaInvDamage = 10;
    cChara& enemy = h.Chara(0);
    WatchTriggers(enemy, {9});
    enemy.m_nInvincible = 3;
    cShot* damaging = &AddShot(h.Stage(), kHeroGroup, &h.Hero(), enemy, 4);
    ResolveHits(h.Stage());
    EXPECT_TRUE(InShotList(h.Stage(), damaging));
    EXPECT_TRUE(h.CallsOf("hitTrigger").empty());

    h.Stage().m_ShotList.remove_if([&](const cShot& s) { return &s == damaging; });
    h.Stage().m_aShotGroups[kHeroGroup].clear();
    cShot* harmless = &AddShot(h.Stage(), kHeroGroup, &h.Hero(), enemy, 0);
    ResolveHits(h.Stage());
    EXPECT_FALSE(InShotList(h.Stage(), harmless)) << skip;
    EXPECT_EQ(HitTriggers(h, enemy.m_nNumber).size(), 1u) << skip;
    EXPECT_EQ(Count(h.Sounds(), 7), skip ? 0 : 1) << skip;
    EXPECT_EQ(enemy.m_nInvincible, 3) << skip << ": not started again";
  }
}

// Two breakable shots: the weaker goes, both at equal strength; a breakable one goes against an
// unbreakable one; two unbreakable ones pass each other.
TEST(HitPass, BreakStrength) {
  struct Case {
    int breakZ, strengthZ, breakA, strengthA;
    bool zStays, aStays;
  };
  const Case cases[] = {
      {1, 3, 1, 5, false, true}, {1, 5, 1, 3, true, false}, {1, 4, 1, 4, false, false},
      {1, 9, 0, 0, false, true}, {0, 0, 1, 9, true, false}, {0, 0, 0, 0, true, true},
  };
  for (const Case& c : cases) {
    cStageHarness h(HitStage({"..........", "..H.......", "##########"}));
    cShot* z = &AddShot(h.Stage(), 1, nullptr, h.Hero(), 0);
    cShot* a = &AddShot(h.Stage(), 4, nullptr, h.Hero(), 0);
    z->m_HitBox.rect = a->m_HitBox.rect = cDblRect{0, 0, 15, 15};  // where no character stands
    z->m_Settings.m_nS47 = static_cast<int8_t>(c.breakZ);
    z->m_Settings.m_nS48 = static_cast<int8_t>(c.strengthZ);
    a->m_Settings.m_nS47 = static_cast<int8_t>(c.breakA);
    a->m_Settings.m_nS48 = static_cast<int8_t>(c.strengthA);
    ResolveHits(h.Stage());
    EXPECT_EQ(InShotList(h.Stage(), z), c.zStays) << c.strengthZ << " " << c.strengthA;
    EXPECT_EQ(InShotList(h.Stage(), a), c.aStays) << c.strengthZ << " " << c.strengthA;
    EXPECT_EQ(h.Stage().m_aShotGroups[1].size() + h.Stage().m_aShotGroups[4].size(), ShotCount(h.Stage()));
  }
}

// Two bodies that defeat each other: both take their damage before either fires its hit triggers,
// unless the project fires each one's at once.
TEST(HitPass, MutualBodyDefeat) {
  for (int atOnce : {0, 1}) {
    cStageHarness h(HitStage({"..........", "..H.C.F...", "##########"}));
    Activate();
    g_SystemData.m_bLegacy763a = atOnce;
    cChara& enemy = h.Chara(0);
    cChara& friendly = h.Chara(1);
    Overlap(friendly, enemy);
    enemy.m_Type.m_nBodyPower = friendly.m_Type.m_nBodyPower = 50;
    enemy.m_nHp = friendly.m_nHp = 10;
    std::vector<std::pair<int, int>> seen;  // {trigger 1 of whom, the other's life then}
    static std::vector<std::pair<int, int>>* s_seen;
    s_seen = &seen;
    static cChara* s_enemy;
    static cChara* s_friend;
    s_enemy = &enemy;
    s_friend = &friendly;
    cStageHooks hooks = SetStageHooks({});
    cStageHooks watching = hooks;
    watching.checkFlowCondition = [](cFlowState& state, cCharaBase& chara) {
      if (state.m_lpFlow->m_nTrigger == 1)
        s_seen->push_back({chara.m_nNumber, (&chara == s_enemy ? s_friend : s_enemy)->m_nHp});
      return false;
    };
    SetStageHooks(watching);
    WatchTriggers(enemy, {1});
    WatchTriggers(friendly, {1});
    ResolveHits(h.Stage());
    SetStageHooks(hooks);
    EXPECT_EQ(enemy.m_bDead, 1);
    EXPECT_EQ(friendly.m_bDead, 1);
    ASSERT_EQ(seen.size(), 2u);
    // At once, the enemy's triggers run before the friend has taken its damage.
    EXPECT_EQ(seen[0], std::make_pair(enemy.m_nNumber, atOnce ? 10 : 0));
    EXPECT_EQ(seen[1], std::make_pair(friendly.m_nNumber, 0));
  }
}

// A hero with the stage's shot checks limited to some sub-steps is hit only on those; bodies meet
// on every sub-step.
TEST(HitPass, LimitedShotChecksWaitForTheirSubSteps) {
  cStageHarness h(HitStage({"..........", "..H.C.....", "##########"}, 3));
  Activate();
  cStageState& stage = h.Stage();
  stage.m_anSubStepFlags = {0, 1, 0};
  cChara& enemy = h.Chara(0);
  AddShot(stage, kHeroGroup, &h.Hero(), enemy, 1);
  stage.m_nSubStep = 1;
  ResolveHits(stage);
  EXPECT_EQ(enemy.m_nHp, 10);
  stage.m_nSubStep = 2;
  ResolveHits(stage);
  EXPECT_EQ(enemy.m_nHp, 9);

  h.Hero().m_Type.m_nBodyPower = 2;
  Overlap(enemy, h.Hero());
  stage.m_nSubStep = 3;
  ResolveHits(stage);
  EXPECT_EQ(enemy.m_nHp, 7);
}

// Stage set-up hands the hit pass the stage's shot-hit checks per frame and its active-only rule:
// one check in three sub-steps hits on the first only; a present enemy that does not act now is hit
// only without the rule.
TEST(HitPass, SetUpGivesTheHitPassTheStagesShotChecksAndActiveOnlyRule) {
  struct Case {
    int checks, activeOnly, enemyActs, subStep, hp;
  };
  for (const Case& c :
       {Case{1, 0, 1, 1, 9}, Case{1, 0, 1, 2, 10}, Case{0, 0, 1, 3, 9}, Case{0, 1, 0, 1, 10}, Case{0, 0, 0, 1, 9}}) {
    cHarnessSetup setup = HitStage({"..........", "..H.C.....", "##########"}, 3);
    setup.makeStage = [] { return std::unique_ptr<cStageState>(new cSceneStage); };
    cStageHarness h(setup);
    g_StageFile.m_nShotHitChecks = c.checks;
    g_StageFile.m_bActiveOnlyHits = c.activeOnly;
    static_cast<cSceneStage&>(h.Stage()).SetupStage(0, 1);
    Activate();
    cChara& enemy = h.Chara(0);
    enemy.m_bActing = c.enemyActs;
    AddShot(h.Stage(), kHeroGroup, &h.Hero(), enemy, 1);
    h.Stage().m_nSubStep = c.subStep;
    ResolveHits(h.Stage());
    EXPECT_EQ(enemy.m_nHp, c.hp) << c.checks << " checks, active-only " << c.activeOnly << ", acts " << c.enemyActs
                                 << ", sub-step " << c.subStep;
  }
}

// After a flow command: erased characters go quietly, characters without life are defeated and
// removed; a hero without life ends the frame.
TEST(HitPass, PendingDefeatsAfterFlowCommands) {
  cPlay play;
  cStageHarness h(HitStage({"..........", "..H.C.E.F.", "##########"}));
  Activate();
  h.Chara(0).m_bVanished = 1;
  h.Chara(1).m_nHp = 0;
  h.Stage().m_bDefeatedByCmd = 1;
  h.Step();
  EXPECT_EQ(g_CharaList.size(), 1u);
  const std::vector<cHarnessCall> defeats = h.CallsOf("defeat");
  ASSERT_EQ(defeats.size(), 1u);
  EXPECT_EQ(h.Stage().m_bDefeatedByCmd, 0);

  h.ClearTraces();
  h.Hero().m_nHp = 0;
  h.Stage().m_bDefeatCheck = 1;
  h.Step();
  ASSERT_EQ(h.CallsOf("defeat").size(), 1u);
  EXPECT_EQ(h.CallsOf("defeat")[0].adArgs[1], 1) << "the hero";
}

// DefeatChara: a computer character's defeat is its own business; a player-operated one brings the
// hero's defeat with its sound.
TEST(HitPass, DefeatCharaCarriesOutTheConsequence) {
  cStageHarness h(HitStage({"..........", "..H.C.....", "##########"}));
  static int s_clears = 0;
  s_clears = 0;
  auto clear = [] { ++s_clears; };
  EXPECT_EQ(DefeatChara(h.Chara(0), clear), 0);
  EXPECT_EQ(h.Chara(0).m_bDead, 1);
  EXPECT_EQ(DefeatChara(h.Chara(0), clear), 0) << "not twice";
  EXPECT_EQ(DefeatChara(h.Hero(), clear), 2);
  EXPECT_EQ(h.Hero().m_bDead, 1);
  EXPECT_EQ(Count(h.Sounds(), 8), 1);
  h.Stage().m_nEndRequest = kEndClear;
  EXPECT_EQ(DefeatChara(h.Hero(), clear), 2);
  EXPECT_EQ(s_clears, 0) << "a hero already down is not defeated again";
}

// Take mode 0 is taken once and removed; take mode 1 once per new touch and kept; take mode 2 and
// an item without a graphic never.
TEST(HitPass, TheHeroTakesItemsByTheirTakeMode) {
  for (int mode : {0, 1, 2}) {
    cStageHarness h(HitStage({"..........", "..H.......", "##########"}));
    cHero& hero = h.Hero();
    WatchTriggers(hero, {10});
    cItem& item = g_ItemList.emplace_back();
    cItemType type = HarnessItemType();
    type.m_nTakeMode = static_cast<int8_t>(mode);
    item.InitItem(42, type, 0);
    item.m_bActive = 1;
    auto place = [&](bool touching) {
      item.m_dX = touching ? hero.m_ItemBox.rect.right : hero.m_ItemBox.rect.right + 1;
      item.m_dX2 = item.m_dX + 27;
      item.m_dY = hero.m_ItemBox.rect.top;
      item.m_dY2 = item.m_dY + 27;
    };
    place(true);
    EXPECT_EQ(CollectItems(hero), 0);
    EXPECT_EQ(CollectItems(hero), 0);
    const size_t taken = h.CallsOf("takeItem").size();
    EXPECT_EQ(taken, mode == 2 ? 0u : 1u) << mode;
    EXPECT_EQ(g_ItemList.size(), mode == 0 ? 0u : 1u) << mode;
    if (mode != 1) continue;
    EXPECT_EQ(HitTriggers(h, hero.m_nNumber).size(), 2u) << "the trigger fires on every touch";
    place(false);
    CollectItems(hero);
    place(true);
    CollectItems(hero);
    EXPECT_EQ(h.CallsOf("takeItem").size(), 2u) << "taken again after leaving it";
  }
}

// The take-item service: nothing for an item without a graphic or of take mode 2; else the sound
// and the commands' result.
TEST(HitPass, TakeStageItem) {
  cStageHarness h(HitStage({"..........", "..H.......", "##########"}));
  cItem item;
  item.m_Type.m_nGraphic = 0;
  item.m_Type.m_nSound = 2;
  EXPECT_EQ(TakeStageItem(item, h.Hero()), 0);
  item.m_Type.m_nGraphic = 1;
  item.m_Type.m_nTakeMode = 2;
  EXPECT_EQ(TakeStageItem(item, h.Hero()), 0);
  EXPECT_TRUE(h.Sounds().empty());
  item.m_Type.m_nTakeMode = 0;
  EXPECT_EQ(TakeStageItem(item, h.Hero()), 0);
  EXPECT_EQ(h.Sounds(), (std::vector<int>{18}));
}

// With the project keeping defeated characters on show, a character already defeated is not
// defeated again (nor its defeat sound repeated) by later checks.
TEST(HitPass, KeptDefeatedCharactersAreDefeatedOnce) {
  cPlay play;
  cStageHarness h(HitStage({"..........", "..H.C.....", "##########"}));
  Activate();
  g_SystemData.m_nStageOpt272 = 1;
  h.Chara(0).m_nHp = 0;
  for (int i = 0; i < 3; ++i) {
    h.Stage().m_bDefeatCheck = 1;
    h.Step();
  }
  EXPECT_EQ(h.CallsOf("defeat").size(), 1u);
  EXPECT_EQ(Count(h.Sounds(), 9), 1);
  EXPECT_EQ(g_CharaList.size(), 1u) << "kept on show";
}
