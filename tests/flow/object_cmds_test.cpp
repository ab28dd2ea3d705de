// The object commands on the flow harness: set target, status operation 2, vanish (types, shot
// groups, descendants to the depth limit), item get and the end request, the graphic and
// animation changes, the effects, and the background, sound, music and screen-colour commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <list>
#include <string>
#include <vector>

#include "data/anim_scripts.h"
#include "data/database.h"
#include "data/palette.h"
#include "data/save_data.h"
#include "data/stage_data.h"
#include "data/system_data.h"
#include "flow/cmd_tables.h"
#include "flow/install_flow_hooks.h"
#include "flow/object_cmds.h"
#include "flow/var_params.h"
#include "media/sound/sound_effects.h"
#include "objects/chara.h"
#include "objects/flow_hooks.h"
#include "objects/flow_state.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "objects/play_objects.h"
#include "objects/shot.h"
#include "test_support/flow_harness.h"
#include "test_support/hooks_guard.h"

namespace {

cFlowCmd Cmd(int kind, std::vector<int32_t> params) {
  cFlowCmd cmd;
  cmd.m_nKind = static_cast<int8_t>(kind);
  params.resize(20, 0);
  cmd.m_anParams = params;
  return cmd;
}

// 'D' is a computer character of type list (group) 2; the hero and 'C' are in list 1.
cHarnessSetup ObjectStage() {
  cHarnessSetup setup;
  setup.map = {"H...C..D......", "##############"};
  cCharaType other = HarnessCharaType();
  other.m_nOpt28 = 2;
  setup.charas['D'] = other;
  return setup;
}

class ObjectCmds : public ::testing::Test {
 protected:
  ObjectCmds() {
    h.Stage().m_lpFlowVars = flowVars;
    h.Stage().m_lpCurFlowState = &flow;
    flow.m_nSerial = 7;
    for (cCharaBase* chara :
         {static_cast<cCharaBase*>(&Hero()), static_cast<cCharaBase*>(&My()), static_cast<cCharaBase*>(&Other())}) {
      chara->m_bActive = 1;
      chara->UpdateScreenRect();
    }
  }

  cHero& Hero() { return h.Hero(); }
  cChara& My() { return h.Chara(0); }
  cChara& Other() { return h.Chara(1); }
  int Run(int kind, std::vector<int32_t> params) {
    cFlowCmd cmd = Cmd(kind, std::move(params));
    state.m_lpCmd = &cmd;
    return RunCharaCmdEntry(My(), state);
  }

  cFlowHarness h{ObjectStage()};
  int32_t flowVars[2] = {};
  cFlowState flow;
  cCmdState state;
};

// ---- set target ----------------------------------------------------------------------------

TEST_F(ObjectCmds, SetTargetFromEachSource) {
  cChara& my = My();
  my.LinkHeroAndParent(&Other());  // the parent, and the hero in target 1
  Other().SetTarget(2, &Hero());
  struct Case {
    int source;
    cCharaBase* expected;
  };
  const Case cases[] = {
      {0, &Hero()}, {1, &my}, {4, &Other()}, {7, &Hero()}, {8, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    Run(21, {2, c.source, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1});
    EXPECT_EQ(my.m_apTargets[2], c.expected);
    EXPECT_EQ(flowVars[0], c.expected ? 1 : 2);
  }
  // The back-link follows the slot: the last target knows it, the earlier ones do not.
  Run(21, {2, 1});
  Run(21, {2, 0});
  EXPECT_EQ(std::count(Hero().m_aLinks.begin(), Hero().m_aLinks.end(), cCharaLink{&my, 2}), 1);
  EXPECT_EQ(std::count(my.m_aLinks.begin(), my.m_aLinks.end(), cCharaLink{&my, 2}), 0);
}

TEST_F(ObjectCmds, SetTargetChildren) {
  cChara& my = My();
  Other().LinkHeroAndParent(&my);
  Hero().m_lpParent = &my;  // a second, later child
  my.m_aLinks.push_back({&Hero(), kLinkChild});
  Run(21, {0, 5});
  EXPECT_EQ(my.m_apTargets[0], &Hero());  // the most recent child
  // The latest child that passes the search settings: of character ID 4 (P5 on, the ID in P10).
  Other().m_Type.m_nCharaId = 4;
  Run(21, {1, 6, 0, 0, 0, 1, 0, 0, 0, 0, 4});
  EXPECT_EQ(my.m_apTargets[1], &Other());
  // No child of ID 5: the slot is cleared.
  Run(21, {1, 6, 0, 0, 0, 1, 0, 0, 0, 0, 5});
  EXPECT_EQ(my.m_apTargets[1], nullptr);
  Hero().m_lpParent = nullptr;
}

TEST_F(ObjectCmds, SetTargetNearestInOneTypeListOrAll) {
  cChara& my = My();
  // Over every list: 'D' three cells away is nearer than the hero four cells away.
  Run(21, {0, 2, 0, 1, 1, 0, 0, 1});
  EXPECT_EQ(my.m_apTargets[0], &Other());
  // Over list 1 only (the hero and the actor, which leaves itself out).
  Run(21, {0, 2, 1, 0, 1, 0, 0, 1});
  EXPECT_EQ(my.m_apTargets[0], &Hero());
  // Without leaving itself out the actor is its own nearest.
  Run(21, {0, 2, 1, 0, 1});
  EXPECT_EQ(my.m_apTargets[0], &my);
  // By character ID: the first in list order whose ID is P10.
  Other().m_Type.m_nCharaId = 9;
  Run(21, {3, 3, 0, 1, 1, 0, 0, 0, 0, 0, 9});
  EXPECT_EQ(my.m_apTargets[3], &Other());
}

// The character-variable test of the search: P11 on, variable P12, compared with P13 by P14
// (0 =, 1 !=, 2 >=, 3 <=, 4 >, 5 <, 6 multiple of, 7 not a multiple of; an operand of 0 makes 6
// true and 7 false). Over every list, leaving out the actor; the hero is the farther candidate.
TEST_F(ObjectCmds, SetTargetNearestByCharacterVariable) {
  cChara& my = My();
  Hero().m_anVars[1] = 10;
  Other().m_anVars[1] = 5;
  struct Case {
    int compare, operand;
    cCharaBase* expected;
  };
  const Case cases[] = {
      {0, 10, &Hero()}, {0, 5, &Other()}, {1, 5, &Hero()},  {4, 7, &Hero()}, {5, 7, &Other()},
      {6, 2, &Hero()},  {6, 0, &Other()}, {7, 2, &Other()}, {7, 0, nullptr}, {0, 99, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.compare << " " << c.operand);
    Run(21, {0, 2, 0, 1, 1, 0, 0, 1, 0, 0, 0, 1, 1, c.operand, c.compare});
    EXPECT_EQ(my.m_apTargets[0], c.expected);
  }
}

// An arranged "対象キャラID" reaches the search: the arrange command writes P10, the search reads it.
TEST_F(ObjectCmds, AnArrangedCharacterIdIsSearchedFor) {
  cChara& my = My();
  Other().m_Type.m_nCharaId = 6;
  g_SaveData.m_anCommonVars[1] = 6;
  cFlowCmd cmd = Cmd(21, {0, 3, 0, 1, 1, 0, 0, 0, 0, 0, 0});
  ApplyArrange(cmd, {21, 1, 0, 0, 1}, my);
  EXPECT_EQ(cmd.m_anParams[10], 6);
  state.m_lpCmd = &cmd;
  RunCharaCmdEntry(my, state);
  EXPECT_EQ(my.m_apTargets[0], &Other());
}

TEST_F(ObjectCmds, SetTargetWhenNothingIsFound) {
  cChara& my = My();
  my.SetTarget(0, &Other());
  // Type list 5 is empty. "ターゲットを変更しない" keeps the slot.
  Run(21, {0, 2, 5, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1});
  EXPECT_EQ(my.m_apTargets[0], &Other());
  EXPECT_EQ(flowVars[0], 1);
  EXPECT_EQ(flowVars[1], 2);  // the same character as before
  // "ターゲット無し" clears it.
  Run(21, {0, 2, 5, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1});
  EXPECT_EQ(my.m_apTargets[0], nullptr);
  EXPECT_EQ(flowVars[0], 2);
  EXPECT_EQ(flowVars[1], 1);
  EXPECT_TRUE(Other().m_aLinks.empty());
  // Another value does nothing at all.
  my.SetTarget(0, &Other());
  flowVars[0] = 9;
  Run(21, {0, 2, 5, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1});
  EXPECT_EQ(my.m_apTargets[0], &Other());
  EXPECT_EQ(flowVars[0], 9);
}

// ---- status operation 2 --------------------------------------------------------------------

TEST_F(ObjectCmds, StatusOperation2SetsEachStatus) {
  cChara& my = My();
  cCharaType& type = my.m_Type;
  Run(23, {0, 1, 1, 0, 0, 1});
  EXPECT_EQ(type.m_nOpt18, 1);  // transparent
  Run(23, {0, 2, 0, 0, 0, 1});
  EXPECT_EQ(type.m_nOpt31, 0);  // facing no longer fixed
  Run(23, {0, 4, 2, 0, 0, 1});
  EXPECT_EQ(type.m_nOpt32, 2);  // invincible
  Run(23, {0, 6, 1, 0, 0, 1});
  EXPECT_EQ(type.m_nOpt36, 1);  // synchronised with the auto scroll
  EXPECT_EQ(my.m_bSyncScroll, 1);
  EXPECT_EQ(flowVars[0], 1);
  // Flying is for the hero only.
  Run(23, {0, 3, 1, 0, 0, 1});
  EXPECT_EQ(flowVars[0], 2);
  my.SetTarget(1, &Hero());
  Run(23, {2, 3, 1, 0, 0, 1});
  EXPECT_EQ(flowVars[0], 1);
  EXPECT_EQ(Hero().m_bGravityFree, 1);
  // An empty target slot fails.
  Run(23, {4, 1, 1, 0, 0, 1});
  EXPECT_EQ(flowVars[0], 2);
  // Without P5 nothing is stored.
  flowVars[0] = 5;
  Run(23, {4, 1, 1});
  EXPECT_EQ(flowVars[0], 5);
}

TEST_F(ObjectCmds, StatusOperation2EnlargesAtLeastToScaleOne) {
  cChara& my = My();
  const int width = my.m_nWidth;
  Run(23, {0, 5, 2});
  EXPECT_EQ(my.m_Type.m_nScale, 2);
  EXPECT_EQ(my.m_nWidth, 2 * width);
  EXPECT_EQ(my.m_nCrushGrace, 2);
  // A size of 0 would leave the character without a size: it becomes 1.
  my.m_nCrushGrace = 0;
  Run(23, {0, 5, 0});
  EXPECT_EQ(my.m_Type.m_nScale, 1);
  EXPECT_EQ(my.m_nWidth, width);
  // Older projects open no crush grace.
  g_SystemData.m_bLegacy831 = 1;
  my.m_nCrushGrace = 0;
  Run(23, {0, 5, 3});
  EXPECT_EQ(my.m_nCrushGrace, 0);
  EXPECT_EQ(my.m_Type.m_nScale, 3);
}

TEST_F(ObjectCmds, StatusOperation2DefeatsByCommand) {
  cChara& my = My();
  my.SetTarget(0, &Hero());
  my.SetTarget(1, &Other());
  Run(23, {0, 0});
  EXPECT_EQ(my.m_bVanished, 1);
  EXPECT_EQ(h.Stage().m_bDefeatedByCmd, 0);  // the actor itself
  Run(23, {2, 0});
  EXPECT_EQ(Other().m_bVanished, 1);
  EXPECT_EQ(h.Stage().m_bDefeatedByCmd, 1);
  Run(23, {1, 0});
  EXPECT_EQ(Hero().m_nHp, 0);
  EXPECT_EQ(Hero().m_bVanished, 0);
}

// The speed is taken as given (no -480..480 as the status operation keeps); the axis restarts its
// automatic scroll with its own on-flag.
TEST_F(ObjectCmds, StatusOperation2SetsTheStagesScrollSpeeds) {
  g_StageFile.m_bAutoScrollX = 1;
  Run(23, {5, 0, 600, 0, 0, 1});
  EXPECT_EQ(g_StageFile.m_nAutoScrollSpeedX, 600);
  EXPECT_DOUBLE_EQ(h.Stage().m_ScrollX.m_dAutoSpeed, 60.0);  // n = 1
  EXPECT_EQ(flowVars[0], 1);
  g_StageFile.m_bAutoScrollY = 0;
  Run(23, {5, 1, -1000});
  EXPECT_EQ(g_StageFile.m_nAutoScrollSpeedY, -1000);
  EXPECT_EQ(h.Stage().m_ScrollY.m_dAutoSpeed, 0.0);  // the axis's scroll is off
  Run(23, {5, 2, 1, 0, 0, 1});
  EXPECT_EQ(flowVars[0], 2);
}

// ---- vanish --------------------------------------------------------------------------------

TEST_F(ObjectCmds, VanishCharactersOfATypeAndCountsThem) {
  Other().m_bActive = 0;
  Run(24, {0, 2, 0, 1});
  EXPECT_EQ(Other().m_bVanished, 0);  // inactive, not asked for
  Other().m_bActive = 1;
  Run(24, {0, 2, 0, 1});
  EXPECT_EQ(Other().m_bVanished, 1);
  EXPECT_EQ(flowVars[0], 1);
  EXPECT_EQ(flowVars[1], 0);
  EXPECT_EQ(h.Stage().m_bDefeatedByCmd, 1);
  // List 1 holds the hero and the actor: the hero loses its life, the actor vanishes.
  Run(24, {0, 1, 1, 1});
  EXPECT_EQ(Hero().m_nHp, 0);
  EXPECT_EQ(My().m_bVanished, 1);
  EXPECT_EQ(flowVars[0], 2);
}

// Shots fired by the actor (0), its child (1) and its grandchild (2), in shot group 3.
class VanishShots : public ObjectCmds {
 protected:
  VanishShots() {
    child.LinkHeroAndParent(&My());
    grandchild.LinkHeroAndParent(&child);
    cCharaBase* owners[] = {&My(), &child, &grandchild};
    for (cCharaBase* owner : owners) {
      cShot& shot = h.Stage().m_ShotList.emplace_back();
      shot.m_lpOwner = owner;
      shot.m_bActive = 1;
      owner->m_aShotLinks.push_back({&shot, kShotLinkOwner});
      h.Stage().m_aShotGroups[3].push_back(&shot);
      shots.push_back(&shot);
    }
  }
  ~VanishShots() override {
    h.Stage().m_ShotList.clear();
    for (auto& group : h.Stage().m_aShotGroups) group.clear();
  }
  // Which of the three shots are left (or flagged when erasure is deferred).
  std::vector<int> Left() {
    std::vector<int> left;
    for (int i = 0; i < 3; ++i)
      for (const cShot& shot : h.Stage().m_ShotList)
        if (&shot == shots[i] && !shot.m_bErase) left.push_back(i);
    return left;
  }

  std::list<cChara> extra = std::list<cChara>(2);
  cChara& child = extra.front();
  cChara& grandchild = extra.back();
  std::vector<cShot*> shots;
};

TEST_F(VanishShots, EachFormErasesItsShotsAndDefeatsItsDescendants) {
  struct Case {
    int what;
    std::vector<int> left;
    int descendantsDefeated;
  };
  const Case cases[] = {
      {2, {0, 1, 2}, 1},  // the descendants only
      {3, {1, 2}, 0},     // the actor's own shots
      {4, {}, 1},         // the actor's and the descendants' shots, and the descendants
      {5, {0}, 1},        // the descendants and their shots
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (int deferred : {0, 1}) {
      h.Stage().m_bDeferShotErase = deferred;
      for (cShot* shot : shots) shot->m_bErase = 0;
      child.m_bVanished = grandchild.m_bVanished = 0;
      const size_t before = h.Stage().m_ShotList.size();
      Run(24, {c.what, 0, 0, 1});
      EXPECT_EQ(Left(), c.left);
      EXPECT_EQ(child.m_bVanished, c.descendantsDefeated);
      EXPECT_EQ(grandchild.m_bVanished, c.descendantsDefeated);
      EXPECT_EQ(flowVars[1], static_cast<int>(3 - c.left.size()));
      if (deferred) {
        EXPECT_EQ(h.Stage().m_ShotList.size(), before);  // only flagged
      } else {
        // Erased shots are gone from the list, the group index and their owner's links.
        EXPECT_EQ(h.Stage().m_ShotList.size(), c.left.size());
        EXPECT_EQ(h.Stage().m_aShotGroups[3].size(), c.left.size());
        // The next case starts from all three shots again.
        h.Stage().m_ShotList.clear();
        for (auto& group : h.Stage().m_aShotGroups) group.clear();
        My().m_aShotLinks.clear(), child.m_aShotLinks.clear(), grandchild.m_aShotLinks.clear();
        shots.clear();
        for (cCharaBase* owner : {static_cast<cCharaBase*>(&My()), static_cast<cCharaBase*>(&child),
                                  static_cast<cCharaBase*>(&grandchild)}) {
          cShot& shot = h.Stage().m_ShotList.emplace_back();
          shot.m_lpOwner = owner;
          shot.m_bActive = 1;
          owner->m_aShotLinks.push_back({&shot, kShotLinkOwner});
          h.Stage().m_aShotGroups[3].push_back(&shot);
          shots.push_back(&shot);
        }
      }
    }
  }
  EXPECT_TRUE(My().m_aShotLinks.size() == 1);
}

TEST_F(VanishShots, AShotGroupGoesActiveOnlyUnlessAsked) {
  shots[1]->m_bActive = 0;
  Run(24, {1, 3, 0, 1});
  EXPECT_EQ(Left(), (std::vector<int>{1}));
  EXPECT_EQ(flowVars[1], 2);
  EXPECT_TRUE(My().m_aShotLinks.empty());  // the erased shot left its owner's links
  Run(24, {1, 3, 1});
  EXPECT_EQ(Left(), std::vector<int>{});
}

TEST_F(ObjectCmds, VanishOfDescendantsStopsAtDepth1000) {
  // A chain of 1500 descendants, the first a child of the actor.
  std::list<cChara> chain(1500);
  cCharaBase* parent = &My();
  for (cChara& chara : chain) {
    chara.LinkHeroAndParent(parent);
    parent = &chara;
  }
  Run(24, {2});
  int depth = 0;
  for (const cChara& chara : chain) {
    ++depth;
    EXPECT_EQ(chara.m_bVanished, depth <= 1000 ? 1 : 0) << depth;
    if (chara.m_bVanished != (depth <= 1000 ? 1 : 0)) break;
  }
  EXPECT_EQ(My().m_bVanished, 0);
}

TEST_F(ObjectCmds, VanishOfDescendantsEndsOnACycle) {
  std::list<cChara> pair(2);
  cChara& a = pair.front();
  cChara& b = pair.back();
  a.LinkHeroAndParent(&My());
  b.LinkHeroAndParent(&a);
  My().LinkHeroAndParent(&b);  // the actor is its own grandchild's child
  Run(24, {2});
  EXPECT_EQ(a.m_bVanished, 1);
  EXPECT_EQ(b.m_bVanished, 1);
  EXPECT_EQ(My().m_bVanished, 0);  // the actor is not its own descendant
}

// ---- item get ------------------------------------------------------------------------------

class ItemGet : public ObjectCmds {
 protected:
  ItemGet() {
    InstallFlowHooks();
    cItemType plain = HarnessItemType();
    cItemType clearing = HarnessItemType();
    cFlowCmd clear = Cmd(2, {3});  // the item table's stage clear: the world is cleared
    clear.m_nContext = 1;
    clear.m_anParams.resize(11);
    clearing.m_aCmds.push_back(clear);
    g_StageFile.m_aPalItems = {cItemType(), plain, clearing};
    g_CommonPalette.m_aItemTypes = {cItemType(), clearing};
  }
  cHooksGuard<cFlowHooks> flowHooks{SetFlowHooks, cFlowHooks{}};
};

TEST_F(ItemGet, OnlyADecidedEndIsWrittenToTheEndRequest) {
  // An item that does nothing does not undo a clear decided earlier.
  h.Stage().m_nEndRequest = kEndClear;
  EXPECT_EQ(Run(25, {1, 1}), 0);
  EXPECT_EQ(h.Stage().m_nEndRequest, kEndClear);
  h.Stage().m_nEndRequest = kEndNone;
  EXPECT_EQ(Run(25, {1, 1}), 0);
  EXPECT_EQ(h.Stage().m_nEndRequest, kEndNone);
  // An item whose commands clear the stage, from either palette.
  EXPECT_EQ(Run(25, {1, 2}), 1);
  EXPECT_EQ(h.Stage().m_nEndRequest, kEndClear);
  h.Stage().m_nEndRequest = kEndNone;
  EXPECT_EQ(Run(25, {0, 1}), 1);
  EXPECT_EQ(h.Stage().m_nEndRequest, kEndClear);
  // The hero without life: a failure.
  h.Stage().m_nEndRequest = kEndNone;
  Hero().m_nHp = 0;
  EXPECT_EQ(Run(25, {1, 1}), 2);
  EXPECT_EQ(h.Stage().m_nEndRequest, kEndFailure);
  // The palette's type is not changed by the item made from it.
  EXPECT_EQ(g_StageFile.m_aPalItems[1].m_nScale, HarnessItemType().m_nScale);
}

TEST_F(ItemGet, AnItemThatGetsItselfStopsNesting) {
  cFlowCmd self = Cmd(10, {1, 1});
  self.m_nContext = 1;
  g_StageFile.m_aPalItems[1].m_aCmds.push_back(self);
  EXPECT_EQ(Run(25, {1, 1}), 0);
  EXPECT_EQ(h.Stage().m_nEndRequest, kEndNone);
}

// An item's own list with an item get in it. The item get writes the gotten item's decision to the
// end request (a decided one only) and returns 0 like every entry but the stage clear, so the list
// goes on; a life that ran out ends the list with 2 at once. The marker after it is a graphic change
// of the hero. Stage item types: 1 does nothing, 2 clears the stage, 3 defeats the hero.
TEST_F(ItemGet, AnItemGetInsideAnItemsListLetsTheListGoOn) {
  cFlowCmd defeat = Cmd(8, {0, 0});  // status operation 2 on the hero: "消滅"
  defeat.m_nContext = 1;
  cItemType defeating = HarnessItemType();
  defeating.m_aCmds.push_back(defeat);
  g_StageFile.m_aPalItems.push_back(defeating);
  auto itemCmd = [](int kind, std::vector<int32_t> params) {
    cFlowCmd cmd = Cmd(kind, std::move(params));
    cmd.m_nContext = 1;
    return cmd;
  };
  const cFlowCmd marker = itemCmd(11, {0, 77, 0});
  const cFlowCmd clear = [&] {
    cFlowCmd cmd = itemCmd(2, {3});
    cmd.m_anParams.resize(11);
    return cmd;
  }();
  struct Case {
    const char* what;
    std::vector<cFlowCmd> list;
    int result;
    bool markerRan;
    int endRequest;
  };
  const Case cases[] = {
      {"a clearing item gotten", {itemCmd(10, {1, 2}), marker}, 0, true, kEndClear},
      {"an item that does nothing", {itemCmd(10, {1, 1}), marker}, 0, true, kEndNone},
      {"a later empty item keeps the earlier clear",
       {itemCmd(10, {1, 2}), itemCmd(10, {1, 1}), marker},
       0,
       true,
       kEndClear},
      {"an item that defeats the hero", {itemCmd(10, {1, 3}), marker}, 2, false, kEndFailure},
      {"the list's own stage clear", {clear, marker}, 1, false, kEndNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Hero().m_nHp = 10;
    Hero().m_Type.m_nGraphic = 1;
    h.Stage().m_nEndRequest = kEndNone;
    cItemType type = HarnessItemType();
    type.m_aCmds = c.list;
    cItem item;
    item.InitItem(0, type, 0);
    EXPECT_EQ(Hero().RunItemCommands(item), c.result);
    EXPECT_EQ(Hero().m_Type.m_nGraphic == 77, c.markerRan);
    EXPECT_EQ(h.Stage().m_nEndRequest, c.endRequest);
  }
}

// ---- graphics and animations ---------------------------------------------------------------

TEST_F(ObjectCmds, GraphicChangeAndOverlayAnimations) {
  Run(26, {4, 12, 3});
  EXPECT_EQ(My().m_Type.m_nGraphicKind, 4);
  EXPECT_EQ(My().m_Type.m_nGraphic, 12);
  EXPECT_EQ(My().m_Type.m_nGraphicSub, 3);

  g_AnimeScripts.assign(3, cFrameScript{{1, 5, 0}, {kScriptEnded, 0, 0}});
  Run(28, {2, 0});
  Run(28, {1, 0});
  Run(28, {2, 0});
  ASSERT_EQ(My().m_Overlays.size(), 3u);
  EXPECT_EQ(My().m_Overlays.front().nAnime, 2);
  EXPECT_EQ(My().m_Overlays.front().nSerial, 7);  // the running flow's serial
  EXPECT_EQ(My().m_Overlays.front().seq.m_nAnime, 2);
  Run(28, {2, 1});  // removes every overlay of animation 2
  ASSERT_EQ(My().m_Overlays.size(), 1u);
  EXPECT_EQ(My().m_Overlays.front().nAnime, 1);
  // A missing animation is left out; without a flow the serial is -1.
  Run(28, {3, 0});
  EXPECT_EQ(My().m_Overlays.size(), 1u);
  h.Stage().m_lpCurFlowState = nullptr;
  Run(28, {0, 0});
  EXPECT_EQ(My().m_Overlays.back().nSerial, -1);
}

// ---- effects -------------------------------------------------------------------------------

class Effects : public ObjectCmds {
 protected:
  Effects() {
    cEffectData effect;
    effect.m_nCellWidth = 40;
    effect.m_nCellHeight = 20;
    effect.m_aFrames.resize(2);
    effect.m_aFrames[0].m_nDuration = 2;
    effect.m_aFrames[1].m_nDuration = 3;
    g_Database.m_aEffect = {cEffectData(), effect};
    h.Stage().m_ScrollX.m_dPosition = 100;
    h.Stage().m_ScrollY.m_dPosition = 50;
  }
};

TEST_F(Effects, AnEffectIsPlacedByItsPositionRule) {
  cChara& my = My();
  my.m_ScreenRect = {200, 120, 231, 151};
  Hero().m_ScreenRect = {10, 300, 41, 331};
  for (cCharaBase* chara : {static_cast<cCharaBase*>(&my), static_cast<cCharaBase*>(&Hero())})
    chara->m_nGraphicWidth = chara->m_nGraphicHeight = 32;
  struct Case {
    std::vector<int32_t> params;  // P0-P9
    double x, y;
    int width, height;
  };
  const double originX = 10 * 32, originY = 10 * 32;
  const Case cases[] = {
      {{1, 0, 0, 0, 0, 0, 0, 100}, 100 + 320 - 20, 50 + 240 - 10, 40, 20},
      {{1, 1, 0, 0, 3, -4, 0, 100}, 216 + 100 - 20 + 3, 136 + 50 - 10 - 4, 40, 20},
      {{1, 2, 0, 0, 0, 0, 0, 150}, 26 + 100 - 30, 316 + 50 - 15, 60, 30},
      {{1, 3, 2, 1, 0, 0, 0, 100}, 100 + 64, 50 + 32, 40, 20},
      {{1, 4, 2, 1, 0, 0, 0, 100}, 100 + 64 - 20 + 16, 50 + 32 - 10 + 16, 40, 20},
      {{1, 4, 70, 30, 0, 0, 0, 100, 0, 1}, 100 + 70 - 20, 50 + 30 - 10, 40, 20},
      {{1, 5, 2, 1, 0, 0, 0, 100}, originX + 64, originY + 32, 40, 20},
      {{1, 6, 2, 1, 0, 0, 0, 100}, originX + 64 - 20 + 16, originY + 32 - 10 + 16, 40, 20},
      {{1, 6, 70, 30, 1, 1, 0, 50, 0, 1}, originX + 70 - 10 + 1, originY + 30 - 5 + 1, 20, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.params[1] << " " << c.params[2]);
    h.Stage().m_Effects.clear();
    Run(29, c.params);
    ASSERT_EQ(h.Stage().m_Effects.size(), 1u);
    const cEffectObj& effect = h.Stage().m_Effects.front();
    EXPECT_EQ(effect.m_nEffect, 1);
    EXPECT_DOUBLE_EQ(effect.m_dX, c.x);
    EXPECT_DOUBLE_EQ(effect.m_dY, c.y);
    EXPECT_EQ(effect.m_nWidth, c.width);
    EXPECT_EQ(effect.m_nHeight, c.height);
  }
  EXPECT_TRUE(h.CallsOf("runModalWait").empty());
}

TEST_F(Effects, AWaitingEffectWaitsItsFramesAndZeroRemovesAll) {
  Run(29, {1, 0, 0, 0, 0, 0, 3, 100, 1});
  ASSERT_EQ(h.Stage().m_Effects.size(), 1u);
  EXPECT_EQ(h.Stage().m_Effects.front().m_nLayer, 3);
  EXPECT_EQ(h.Stage().m_Effects.front().m_bRunWhileHeld, 1);
  const std::vector<cHarnessCall> waits = h.CallsOf("setupGameWait");
  ASSERT_EQ(waits.size(), 1u);
  EXPECT_EQ(waits[0].adArgs[0], kWaitEffect);
  EXPECT_EQ(waits[0].adArgs[1], 0);
  EXPECT_EQ(waits[0].adArgs[2], (2 + 3) * 6);
  EXPECT_EQ(h.CallsOf("runModalWait").size(), 1u);
  Run(29, {1, 0, 0, 0, 0, 0, 0, 100});
  EXPECT_EQ(h.Stage().m_Effects.size(), 2u);
  Run(29, {0});
  EXPECT_TRUE(h.Stage().m_Effects.empty());
}

TEST_F(Effects, AnEffectNumberOutOfRangeIsSkipped) {
  const cCharaEffectPlay before = My().m_CharaEffect;
  for (int number : {2, -1, 5000}) {
    Run(29, {number, 0, 0, 0, 0, 0, 0, 100, 1});
    Run(30, {number});
    Run(31, {number});
  }
  EXPECT_TRUE(h.Stage().m_Effects.empty());
  EXPECT_TRUE(h.Calls().empty());
  EXPECT_EQ(My().m_CharaEffect.nEffect, before.nEffect);
  EXPECT_EQ(My().m_CharaEffect.pEntry, before.pEntry);
  // While the stage is being closed nothing starts.
  h.Stage().m_bAbort = 1;
  Run(29, {1, 0, 0, 0, 0, 0, 0, 100});
  EXPECT_TRUE(h.Stage().m_Effects.empty());
}

TEST_F(Effects, CharacterAndScreenEffectsStart) {
  cCharaEffectData chara;
  chara.m_nKind = 3;
  cScrEffectData screen;
  screen.m_nKind = 2;
  g_Database.m_aCharaEffect = {cCharaEffectData(), chara};
  g_Database.m_aScrEffect = {cScrEffectData(), screen};
  g_Database.CopyReversedEffectLists();
  BuildCharaEffectPlays(g_CharaEffectPlays, g_CharaEffectPlaysRev);
  BuildScrEffectPlays(g_ScrEffectPlays, g_ScrEffectPlaysRev);
  Run(30, {1, 2, 1});
  EXPECT_EQ(My().m_CharaEffect.nEffect, 1);
  EXPECT_EQ(My().m_CharaEffect.nPlayMode, 2);
  EXPECT_EQ(My().m_CharaEffect.bLoop, 1);
  EXPECT_EQ(My().CharaEffectKind(), 3);
  Run(31, {1, 1, 0});
  EXPECT_EQ(h.Stage().m_ScrEffect.nEffect, 1);
  EXPECT_EQ(h.Stage().m_ScrEffect.bReversed, 1);
}

// ---- screen, background, sound and music ---------------------------------------------------

TEST_F(ObjectCmds, BackgroundLayersByNumberFromOne) {
  g_StageFile.m_aLayers.assign(2, cBackLayer());
  Run(34, {2, 1});
  EXPECT_EQ(g_StageFile.m_aLayers[1].m_bShown, 0);
  Run(34, {2, 2});
  EXPECT_EQ(g_StageFile.m_aLayers[1].m_bShown, 1);
  Run(34, {1, 2});
  EXPECT_EQ(g_StageFile.m_aLayers[0].m_bShown, 0);
  Run(34, {1, 0});
  EXPECT_EQ(g_StageFile.m_aLayers[0].m_bShown, 1);
  // Layer 0 and a number above the count change nothing.
  Run(34, {0, 1});
  Run(34, {3, 1});
  EXPECT_EQ(g_StageFile.m_aLayers[0].m_bShown + g_StageFile.m_aLayers[1].m_bShown, 2);
}

TEST_F(ObjectCmds, SoundMusicAndScreenColourGoToTheirServices) {
  cFlowCmd sound = Cmd(35, {4});
  My().m_bOnScreen = 0;
  CmdPlaySound(My(), sound);  // only on screen: not played
  sound.m_bSoundOnScreen = 0;
  CmdPlaySound(My(), sound);
  My().m_bOnScreen = 1;
  sound.m_bSoundOnScreen = 1;
  CmdPlaySound(My(), sound);
  EXPECT_EQ(h.Sounds(), (std::vector<int>{4 + 16, 4 + 16}));
  Run(36, {3, 1});
  const std::vector<cHarnessCall> music = h.CallsOf("requestBgmByNumber");
  ASSERT_EQ(music.size(), 1u);
  EXPECT_EQ(music[0].adArgs, (std::vector<double>{3, 1}));
  Run(33, {1, 2, 3});
  EXPECT_EQ(h.CallsOf("changeScreenColour").size(), 1u);
}

// The item table runs the same bodies for the hero.
TEST_F(ObjectCmds, TheItemTableRunsTheSameBodies) {
  cFlowCmd graphic = Cmd(11, {2, 5, 6});
  graphic.m_nContext = 1;
  g_ItemCmdTable[11](Hero(), graphic);
  EXPECT_EQ(Hero().m_Type.m_nGraphic, 5);
  cFlowCmd music = Cmd(21, {8, 0});
  music.m_nContext = 1;
  g_ItemCmdTable[21](Hero(), music);
  EXPECT_EQ(h.CallsOf("requestBgmByNumber").size(), 1u);
}

}  // namespace
