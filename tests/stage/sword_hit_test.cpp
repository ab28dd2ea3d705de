// A sword swing hits as its owner's attack: made by the sword command, it fires the victim's shot
// and damage triggers with the owner as partner and the owner's attack triggers with the victim as
// partner, as a shot does.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "data/database.h"
#include "flow/cmd_tables.h"
#include "objects/flow_state.h"
#include "objects/shot.h"
#include "stage/hits.h"
#include "test_support/hit_trigger_probe.h"
#include "test_support/stage_play_harness.h"

namespace {

// The hero (group 0) and a swordsman 'C' (group 2) on a floor; hit triggers recorded, flows never
// started.
cHarnessSetup SwordStage() {
  cHarnessSetup setup;
  setup.map = {"..........", "..H.C.....", "##########"};
  cCharaType enemy = HarnessCharaType();
  enemy.m_nOpt28 = 2;
  setup.charas['C'] = enemy;
  setup.addStandIns = [](cStageHooks& hooks) {
    AddStagePlayServices(hooks);
    RecordHitTriggers(hooks);
  };
  return setup;
}

}  // namespace

TEST(SwordHit, ASwingFiresItsOwnersAttackTriggers) {
  struct Case {
    int power, defence;
    std::vector<int> victim, owner;  // trigger rows in order; partners the other one
    int hpAfter;
  };
  const Case cases[] = {
      {30, 0, {9, 1, 2}, {24, 20, 21}, 70}, {10, 15, {9, 1}, {24, 20}, 100},  // no damage: no 2, no 21
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.power << " against " << c.defence);
    cStageHarness h(SwordStage());
    cHero& hero = h.Hero();
    cChara& owner = h.Chara(0);
    hero.m_bActive = 1;
    owner.m_bActive = owner.m_bActing = 1;
    hero.m_Type.m_nMaxHp = hero.m_nHp = 100;
    hero.m_Type.m_nDefence = c.defence;
    WatchTriggers(hero, {1, 2, 9});
    WatchTriggers(owner, {20, 21, 24});

    cSwordTypeData type;
    type.m_aEntries.assign(1, cSwordEntry{});
    type.m_aEntries[0].m_nValue6 = type.m_aEntries[0].m_nValue7 = 16;
    type.m_aEntries[0].m_nValue10 = 5;
    g_Database.m_aSwordType.assign(2, type);
    cFlowCmd cmd;
    cmd.m_nKind = 12;  // "ソード"
    cmd.m_pShot = std::make_shared<cEdShot>();
    cmd.m_pShot->m_nTrajectory = 1;
    cmd.m_pShot->m_nPower = c.power;
    cCmdState state;
    state.m_lpCmd = &cmd;
    RunCharaCmdEntry(owner, state);
    ASSERT_EQ(h.Stage().m_ShotList.size(), 1u);
    cShot& swing = h.Stage().m_ShotList.front();
    ASSERT_EQ(swing.m_bIsShot, 0);
    swing.m_bActive = 1;
    swing.m_HitBox.rect = hero.m_ShotBox.rect;  // the swing over the hero

    h.ClearTraces();
    ResolveHits(h.Stage());
    std::vector<cHitTrigger> victim, attacker;
    for (int row : c.victim) victim.push_back({row, owner.m_nNumber});
    for (int row : c.owner) attacker.push_back({row, hero.m_nNumber});
    EXPECT_EQ(HitTriggers(h, hero.m_nNumber), victim);
    EXPECT_EQ(HitTriggers(h, owner.m_nNumber), attacker);
    EXPECT_EQ(hero.m_nHp, c.hpAfter);
  }
}
