// The character base's own slots (feet kept across a resize, centring on a point, copying with the
// flow states bound to the copy) and the links between characters and shots, kept from both ends so
// that a character or shot going away leaves no pointer to it behind.
#include <gtest/gtest.h>

#include "core/log.h"
#include "data/game_data.h"
#include "objects/chara_base.h"
#include "objects/flow_state.h"
#include "objects/play_objects.h"
#include "objects/shot.h"
#include "test_support/fresh_play_objects.h"

namespace {

// A character with one flow of two commands and bound flow states.
cChara FlowChara() {
  cChara chara;
  chara.m_Type.m_aFlows.resize(1);
  chara.m_Type.m_aFlows[0].m_aCmds.resize(2);
  chara.m_Type.m_aFlows[0].m_aKeyConds.resize(1);
  chara.m_aFlowStates.resize(1);
  chara.m_aFlowStates[0].m_aCmdStates.resize(2);
  chara.m_aFlowStates[0].m_anFlowVars[0] = 7;
  RebindFlowStates(chara);
  return chara;
}

class CharaBaseTest : public ::testing::Test {
 protected:
  void SetUp() override { g_bQuit = 0; }
  void TearDown() override { EXPECT_EQ(g_bQuit.load(), 0); }
  cFreshPlayObjects m_FreshRun;
};

}  // namespace

TEST_F(CharaBaseTest, AResizeKeepsTheFeetByTheLegacySwitches) {
  struct Case {
    int legacy831, legacy261, anchor;
    double y;
  };
  // Base graphic height 32, base hit offset y 8, base height 24; scale 1 -> 3 (d = 2).
  const Case cases[] = {
      {0, 0, 1, 100 - (2 * 32 - 2 * 8)},   // the graphic's bottom stays
      {0, 0, 0, 100 + (1 * 24 - 3 * 24)},  // the hit box's bottom stays
      {1, 0, 0, 100 - (2 * 32 - 2 * 8)},   // older projects: by 261 whatever the anchor
      {1, 1, 1, 100 + (1 * 24 - 3 * 24)},
  };
  for (const Case& c : cases) {
    g_SystemData.m_bLegacy831 = c.legacy831;
    g_SystemData.m_bLegacy261 = c.legacy261;
    cChara chara;
    chara.m_dY = 100;
    chara.m_nBaseGraphicHeight = 32;
    chara.m_nBaseHitOffsetY = 8;
    chara.m_nBaseHeight = 24;
    chara.AdjustAfterResize(3, 1, c.anchor);
    EXPECT_EQ(chara.m_dY, c.y) << c.legacy831 << c.legacy261 << c.anchor;
    chara.AdjustAfterResize(2, 2, c.anchor);
    EXPECT_EQ(chara.m_dY, c.y);
  }
}

TEST_F(CharaBaseTest, CentringPutsTheGraphicCentreOnThePoint) {
  cChara chara;
  chara.m_dX = 120.5;
  chara.m_dY = 80;
  chara.m_ScreenRect = {100, 50, 131, 81};
  chara.m_nGraphicWidth = 32;
  chara.m_nGraphicHeight = 33;
  cCmdState state;
  state.m_dVelX = 3;
  state.m_dVelY = 4;
  chara.MoveCentreToAndStop(200, 10, state);
  EXPECT_EQ(chara.m_dX, 120.5 + (200 - 116));
  EXPECT_EQ(chara.m_dY, 80 + (10 - 66));  // integer halving of the height
  EXPECT_EQ(state.m_dVelX, 0);
  EXPECT_EQ(state.m_dVelY, 0);
}

TEST_F(CharaBaseTest, ACopysFlowStatesPointAtItsOwnFlows) {
  cChara source = FlowChara();
  ASSERT_EQ(source.m_aFlowStates[0].m_lpFlow, &source.m_Type.m_aFlows[0]);
  cChara copy(source);
  const cFlowState& state = copy.m_aFlowStates[0];
  EXPECT_EQ(state.m_lpFlow, &copy.m_Type.m_aFlows[0]);
  EXPECT_EQ(state.m_aCmdStates[1].m_lpCmd, &copy.m_Type.m_aFlows[0].m_aCmds[1]);
  ASSERT_EQ(state.m_aKeySteps.size(), 1u);
  EXPECT_EQ(state.m_aKeySteps[0], &copy.m_Type.m_aFlows[0].m_aKeyConds[0]);
  EXPECT_EQ(state.m_anFlowVars[0], 7);
  cChara assigned;
  assigned.CopyChara(source);
  EXPECT_EQ(assigned.m_aFlowStates[0].m_lpFlow, &assigned.m_Type.m_aFlows[0]);
}

TEST_F(CharaBaseTest, TargetsAndParentsAreLinkedFromBothEnds) {
  g_HeroList.resize(1);
  cHero& hero = g_HeroList[0];
  cChara& a = g_CharaList.emplace_back();
  cChara& b = g_CharaList.emplace_back();
  b.LinkHeroAndParent(&a);
  b.LinkHeroAndParent(&a);  // twice: each back-link once
  EXPECT_EQ(b.m_apTargets[0], &hero);
  EXPECT_EQ(b.m_lpParent, &a);
  EXPECT_EQ(hero.m_aLinks, (std::vector<cCharaLink>{{&b, 0}}));
  EXPECT_EQ(a.m_aLinks, (std::vector<cCharaLink>{{&b, kLinkChild}}));
  // A slot moves its back-link from the old target to the new one.
  b.SetTarget(0, &a);
  EXPECT_TRUE(hero.m_aLinks.empty());
  EXPECT_EQ(a.m_aLinks.size(), 2u);
  b.SetTarget(0, nullptr);
  EXPECT_EQ(a.m_aLinks, (std::vector<cCharaLink>{{&b, kLinkChild}}));
  // A slot outside the four is refused as a range error and writes nothing.
  b.SetTarget(4, &a);
  EXPECT_EQ(g_bQuit.load(), 1);
  g_bQuit = 0;
  EXPECT_EQ(a.m_aLinks.size(), 1u);
}

TEST_F(CharaBaseTest, ACharacterGoingAwayClearsEveryPointerToIt) {
  g_HeroList.resize(1);
  cHero& hero = g_HeroList[0];
  cChara& parent = g_CharaList.emplace_back();
  cChara& child = g_CharaList.emplace_back();
  child.LinkHeroAndParent(&parent);
  hero.SetTarget(1, &parent);
  parent.SetTarget(2, &hero);
  cShot shot;
  shot.m_lpOwner = &parent;
  shot.m_lpTarget = &parent;
  parent.m_aShotLinks = {{&shot, kShotLinkOwner}, {&shot, kShotLinkTarget}};

  g_CharaList.pop_front();  // the parent goes
  EXPECT_EQ(child.m_lpParent, nullptr);
  EXPECT_EQ(hero.m_apTargets[1], nullptr);
  EXPECT_EQ(hero.m_aLinks, (std::vector<cCharaLink>{{&child, 0}}));  // its tg3 link left the hero
  EXPECT_EQ(shot.m_lpOwner, nullptr);
  EXPECT_EQ(shot.m_lpTarget, nullptr);
}

TEST_F(CharaBaseTest, ACopyGoingAwayLeavesTheOriginalsLinks) {
  g_HeroList.resize(1);
  cHero& hero = g_HeroList[0];
  cChara& chara = g_CharaList.emplace_back();
  cChara& other = g_CharaList.emplace_back();
  chara.LinkHeroAndParent(nullptr);
  other.SetTarget(3, &chara);
  { cChara scratch(chara); }
  EXPECT_EQ(other.m_apTargets[3], &chara);
  EXPECT_EQ(chara.m_aLinks, (std::vector<cCharaLink>{{&other, 3}}));
  EXPECT_EQ(hero.m_aLinks, (std::vector<cCharaLink>{{&chara, 0}}));
  // Copying over a linked character unlinks it first: nothing points at it afterwards.
  cChara& third = g_CharaList.emplace_back();
  third.SetTarget(0, &other);
  other.CopyChara(chara);
  EXPECT_EQ(third.m_apTargets[0], nullptr);
  EXPECT_TRUE(chara.m_aLinks.empty());  // other's slot 3 pointed at chara; that link went with it
}

TEST_F(CharaBaseTest, AShotUnregistersFromItsTargetAndOwner) {
  cChara& owner = g_CharaList.emplace_back();
  cChara& target = g_CharaList.emplace_back();
  {
    cShot shot;
    shot.m_lpOwner = &owner;
    shot.m_lpTarget = &target;
    owner.m_aShotLinks.push_back({&shot, kShotLinkOwner});
    target.m_aShotLinks.push_back({&shot, kShotLinkTarget});
    cShot copy(shot);  // a copy is registered with nobody and takes nothing away
  }
  EXPECT_TRUE(owner.m_aShotLinks.empty());
  EXPECT_TRUE(target.m_aShotLinks.empty());
}

TEST_F(CharaBaseTest, AShotStartsWithItsDefaultSettings) {
  cShot shot;
  EXPECT_EQ(shot.m_Settings.m_bUserBlockTest, 1);  // S23
  EXPECT_EQ(shot.m_Settings.m_bAngleMirror, 1);    // S10
  EXPECT_EQ(shot.m_Settings.m_bMirrorX, 1);        // S18
  EXPECT_EQ(shot.m_Settings.m_bMirrorY, 0);        // S19
  EXPECT_EQ(shot.m_Settings.m_nSize, 1);           // S26
  EXPECT_EQ(shot.m_Settings.m_nSpeed, 0);          // reset, not the record's own defaults
  EXPECT_EQ(shot.m_Settings.m_nPerRow, 0);
  shot.m_dX = 40.9;
  shot.m_HitBox.nX = 2;
  shot.m_HitBox.nWidth = 8;
  shot.UpdateHitRectX();
  EXPECT_EQ(shot.m_HitBox.rect.left, 42);
  EXPECT_EQ(shot.m_HitBox.rect.right, 49);
}

TEST_F(CharaBaseTest, ThePerRunResetEmptiesTheListsInPlaceAndRenewsTheGameData) {
  std::vector<cHero>* heroes = &g_HeroList;
  g_HeroList.resize(1);
  cChara& chara = g_CharaList.emplace_back();
  chara.LinkHeroAndParent(nullptr);
  g_CharaList.emplace_back().SetTarget(1, &chara);
  g_ItemList.emplace_back();
  g_BlockTable.resize(4);
  g_SaveData.m_nScore = 5;
  g_SystemData.m_bLegacy831 = 1;
  g_PlayObjects.Reset();
  EXPECT_EQ(&g_HeroList, heroes);
  EXPECT_EQ(&g_HeroList, &g_PlayObjects.m_HeroList);
  EXPECT_TRUE(g_HeroList.empty());
  EXPECT_TRUE(g_CharaList.empty());
  EXPECT_TRUE(g_ItemList.empty());
  EXPECT_TRUE(g_BlockTable.empty());
  EXPECT_EQ(g_SaveData.m_nScore, 0);
  EXPECT_EQ(g_SystemData.m_bLegacy831, 0);
}
