// The hero and the other characters together on whole maps through stage play's logic sub-step:
// walking with the camera, a wall, riding a descending platform, a walker turning at the edges of
// the platform it rides, a crush under a platform with the hero's grace after a change of form, the
// view's edges under the automatic scroll, characters coming into action as the view reaches them,
// keep areas, the hero's item pass, and an item that erases a group of walls.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/numbers.h"
#include "data/cond.h"
#include "stage/contact_fixture.h"
#include "stage/hits.h"
#include "stage/scenario_fixture.h"

namespace {

// A floor of the given width under one row; the hero at its left end.
std::vector<std::string> Corridor(int width) {
  std::string row(static_cast<size_t>(width), '.');
  row[0] = 'H';
  return {row, std::string(static_cast<size_t>(width), '#')};
}

// Walking right at 2 dots a frame (20 tenths), a command of a tenth of a second run over and over.
cFlow WalkRight(int speed = 20) {
  return ScnFlow(kScnTriggerAlways, {ScnCmd(kScnCmdStraightMove, 1, {}, kMoveDirRight, speed)});
}

// The view follows a walking hero with its hit box centred (320 - w / 2 to its left), inside the
// axis's range.
double FollowingScroll(const cScrollAxis& axis, double x, int width) {
  return std::clamp(x - (320 - (width >> 1)), double(axis.m_nLowLimit), double(axis.m_nHighLimit - 640));
}

}  // namespace

// 2 dots a frame at every sub-step setting; the view follows from the moment the hero passes the
// middle of the screen and stops at the end of its range, where the hero walks on to the map's
// outer limit and stays there.
TEST(ScenarioPlay, TheHeroWalksWithTheCameraToTheEndOfTheMap) {
  for (int level : {1, 2, 4, 12}) {
    cScenarioPlay play;
    cHarnessSetup setup = cScenarioPlay::Setup(Corridor(40), level);
    setup.charas['H'] = HarnessHeroType();
    setup.charas['H'].m_aFlows = {WalkRight()};
    cStageHarness h(setup);
    cHero& hero = h.Hero();
    const cScrollAxis& axis = h.Stage().m_ScrollX;
    const double x0 = hero.m_dX;
    const double end = axis.m_nBaseHigh - hero.m_nWidth;  // the outer limit
    for (int frame = 1; frame <= 660; ++frame) {
      h.Step();
      const double free = x0 + 2.0 * frame;
      if (free + hero.m_nWidth - 1 < axis.m_nBaseHigh) {
        ASSERT_NEAR(hero.m_dX, free, 1e-6) << "level " << level << " frame " << frame;
      } else {
        // A step that would take the right edge onto the outer limit puts the hero back at it.
        ASSERT_GE(hero.m_dX, end) << "level " << level << " frame " << frame;
        ASSERT_LT(hero.m_dX2, axis.m_nBaseHigh) << "level " << level << " frame " << frame;
      }
      ASSERT_NEAR(axis.m_dPosition, FollowingScroll(axis, hero.m_dX, hero.m_nWidth), 1e-6) << "level " << level;
    }
    EXPECT_EQ(axis.m_dPosition, axis.m_nHighLimit - 640);
  }
}

// A wall in the way: the hero stops with its right edge less than 0.1 dot before the wall's cell
// and stays there, the view still centred on it.
TEST(ScenarioPlay, AWallStopsTheWalkingHeroJustBeforeItsCell) {
  for (int level : {1, 2, 4, 12}) {
    cScenarioPlay play;
    std::vector<std::string> map = Corridor(40);
    map[0][30] = '#';
    cHarnessSetup setup = cScenarioPlay::Setup(map, level);
    setup.charas['H'] = HarnessHeroType();
    setup.charas['H'].m_aFlows = {WalkRight()};
    cStageHarness h(setup);
    cHero& hero = h.Hero();
    h.Step(600);
    const double wall = CellDot(30);
    EXPECT_LT(hero.m_dX2, wall) << "level " << level;
    EXPECT_GE(hero.m_dX2, wall - 0.1 - 1e-9) << "level " << level;
    EXPECT_NEAR(h.Stage().m_ScrollX.m_dPosition, FollowingScroll(h.Stage().m_ScrollX, hero.m_dX, hero.m_nWidth), 1e-9);
    EXPECT_EQ(hero.m_bDead, 0);
  }
}

// A platform going down a dot a frame: the hero falls onto it, lands and rides it without a frame in
// the air, its feet on the dot above the platform every frame.
TEST(ScenarioPlay, TheHeroRidesADescendingPlatform) {
  for (int level : {1, 2, 4, 12}) {
    cScenarioPlay play;
    cHarnessSetup setup = cScenarioPlay::Setup({"...", ".H.", ".B.", "...", "...", "...", "...", "...", "..."}, level);
    setup.charas['B'].m_aFlows = {ScnFlow(kScnTriggerAlways, {ScnCmd(kScnCmdStraightMove, 1, {}, kMoveDirDown, 10)})};
    cStageHarness h(setup);
    cHero& hero = h.Hero();
    cChara& platform = h.Chara(0);
    const double platformY0 = platform.m_dY;
    int riding = 0;
    for (int frame = 1; frame <= 90; ++frame) {
      h.Step();
      ASSERT_NEAR(platform.m_dY, platformY0 + frame, 1e-6) << "level " << level << " frame " << frame;
      if (!riding && !hero.m_bRiding) continue;
      ++riding;
      ASSERT_EQ(hero.m_bRiding, 1) << "level " << level << " frame " << frame;
      ASSERT_NEAR(hero.m_dY2, platform.m_dY - 1, 1e-6) << "level " << level << " frame " << frame;
      EXPECT_EQ(hero.m_bInAir, 0);
    }
    EXPECT_GT(riding, 80) << "level " << level;
    EXPECT_TRUE(h.CallsOf("defeat").empty());
  }
}

// A walker going back and forth on the platform it rides (still, or moving sideways): it walks until
// it steps off an edge, leaves the ride, turns round and walks back on without falling; it is never
// more than a step (its own and the platform's) beyond an edge.
TEST(ScenarioPlay, AWalkerLeavingItsRideTurnsBackOntoIt) {
  for (int level : {1, 2}) {
    for (int platformSpeed : {0, 5}) {
      cScenarioPlay play;
      cHarnessSetup setup = cScenarioPlay::Setup({"H......", "#..C...", "...B...", ".......", "......."}, level);
      setup.charas['C'].m_nFacing = 1;
      setup.charas['C'].m_aFlows = {ScnFlow(kScnTriggerAlways, {ScnCmd(kScnCmdTurnaround, 1, {}, 0, 10)})};
      if (platformSpeed)
        setup.charas['B'].m_aFlows = {
            ScnFlow(kScnTriggerAlways, {ScnCmd(kScnCmdStraightMove, 1, {}, kMoveDirRight, platformSpeed)})};
      cStageHarness h(setup);
      cChara& walker = h.Chara(0);
      cChara& platform = h.Chara(1);
      h.Step(10);  // landed on the platform
      ASSERT_EQ(walker.m_bRiding, 1);
      int turns = 0;
      for (int frame = 0; frame < 200; ++frame) {
        const int facing = walker.m_nFacing;
        h.Step();
        EXPECT_GE(walker.m_dX2, platform.m_dX - 1.5) << "level " << level;
        EXPECT_LE(walker.m_dX, platform.m_dX2 + 1.5) << "level " << level;
        EXPECT_LE(walker.m_dY2, platform.m_dY) << "level " << level;  // never below the platform's top
        if (walker.m_nFacing != facing) ++turns;
      }
      EXPECT_GE(turns, 4) << "level " << level << " platform " << platformSpeed;
      EXPECT_EQ(walker.m_bDead, 0);
    }
  }
}

// A platform comes down 4 dots a frame onto the hero standing under it (the first sub-step that
// reaches the hero's head: ceil(10.5n)). Without a change of form the hero is defeated at once; a
// change of form by a flow (the second status operation's flying row, saving the rectangle and
// restoring it on a crush) opens a grace of two frame steps, the one that changed and the next:
// a crush then is survived (the first one restores the saved rectangle), the third is fatal.
TEST(ScenarioPlay, ACrushUnderAPlatformIsSurvivedOnlyWithinTheGraceOfAChangeOfForm) {
  struct Case {
    int level;
    int changeFrame;  // 0: no change of form
  };
  const Case cases[] = {{1, 0}, {1, 11}, {1, 10}, {1, 9}, {2, 0}, {2, 11}, {2, 10}};
  for (const Case& c : cases) {
    cScenarioPlay play;
    cHarnessSetup setup = cScenarioPlay::Setup({".B.", "...", ".H.", "###"}, c.level);
    setup.charas['B'].m_aFlows = {ScnFlow(kScnTriggerAlways, {ScnCmd(kScnCmdStraightMove, 1, {}, kMoveDirDown, 40)})};
    cFlow fly = ScnFlow(kScnTriggerAlways, {ScnCmd(kScnCmdStatusOp2, 0, {0, 3, 2, 1, 1, 0})});
    cCond asked;  // stage variable 0 = 1
    asked.m_nKind = kCondStageVar;
    asked.m_nOperand = 1;
    fly.m_aConds = {asked};
    setup.charas['H'] = HarnessHeroType();
    setup.charas['H'].m_aFlows = {fly};
    setup.prepareRun = [] {
      // The same hit box in both forms: only the grace differs.
      g_StageFile.m_anHeroHitBox[0] = g_StageFile.m_anHeroHitBox[2] = 16;
      g_StageFile.m_anHeroHitBox[1] = g_StageFile.m_anHeroHitBox[3] = 24;
      g_StageFile.m_anHeroHitBoxBottom[0] = g_StageFile.m_anHeroHitBoxBottom[1] = 1;
    };
    cStageHarness h(setup);
    cHero& hero = h.Hero();
    const int n = StageSubSteps();
    const int firstCrush = (21 * n + 1) / 2;  // ceil(10.5 n): 351 + (4 / n) k reaches the head at 393
    int fatal = firstCrush;
    if (c.changeFrame) fatal = std::max(firstCrush, (c.changeFrame - 1) * n + 1 + 2);
    const int fatalFrame = (fatal - 1) / n + 1;
    const int firstCrushFrame = (firstCrush - 1) / n + 1;
    for (int frame = 1; frame <= fatalFrame; ++frame) {
      if (frame == c.changeFrame) h.Stage().m_anStageVars[0] = 1;
      h.Step();
      if (frame == c.changeFrame) {
        ASSERT_EQ(hero.m_bGravityFree, 1) << "level " << c.level;
        h.Stage().m_anStageVars[0] = 0;
      }
      if (frame < fatalFrame) {
        ASSERT_EQ(hero.m_bDead, 0) << "level " << c.level << " change " << c.changeFrame << " frame " << frame;
      } else {
        EXPECT_EQ(hero.m_bDead, 1) << "level " << c.level << " change " << c.changeFrame << " frame " << frame;
        ASSERT_EQ(h.CallsOf("defeat").size(), 1u);
        EXPECT_EQ(h.CallsOf("defeat")[0].adArgs[0], hero.m_nNumber);
      }
      // The restore waits for the first crush in the grace, which uses it up.
      if (c.changeFrame && frame >= c.changeFrame && frame < firstCrushFrame)
        EXPECT_EQ(hero.m_bRestoreOnCrush, hero.m_nCrushGrace > 0 ? 1 : 0) << "level " << c.level << " frame " << frame;
      if (c.changeFrame && frame >= firstCrushFrame && !hero.m_bDead)
        EXPECT_EQ(hero.m_bRestoreOnCrush, 0) << "level " << c.level << " frame " << frame;
    }
  }
}

// The view scrolls right 2 dots a frame by itself: the standing hero stays where it is until the
// view's left edge passes its hit box, then is pushed along with the view's edge each frame.
TEST(ScenarioPlay, TheAutomaticScrollPushesTheHeroAlongTheViewsLeftEdge) {
  for (int level : {1, 2, 12}) {
    cScenarioPlay play;
    cHarnessSetup setup = cScenarioPlay::Setup(Corridor(60), level);
    setup.prepareRun = [] {
      g_StageFile.m_bAutoScrollX = 1;
      g_StageFile.m_nAutoScrollSpeedX = 20;
    };
    cStageHarness h(setup);
    cHero& hero = h.Hero();
    const cScrollAxis& axis = h.Stage().m_ScrollX;
    const double x0 = hero.m_dX;
    const double scroll0 = axis.m_dPosition;
    for (int frame = 1; frame <= 100; ++frame) {
      h.Step();
      const double scroll = scroll0 + 2.0 * frame;
      ASSERT_NEAR(axis.m_dPosition, scroll, 1e-9) << "level " << level;
      const double expected = TruncToInt(x0) < TruncToInt(scroll) ? scroll : x0;
      ASSERT_NEAR(hero.m_dX, expected, 1e-9) << "level " << level << " frame " << frame;
    }
    EXPECT_EQ(hero.m_bDead, 0);
  }
}

// The view scrolls up by itself: a standing hero meets the bottom of the view, where a walking one
// dies (the frame ends with its defeat); a flying one is only held at the edge.
TEST(ScenarioPlay, TheAutomaticScrollUpwardKillsAStandingHeroAtTheBottomEdge) {
  for (int flying : {0, 1}) {
    cScenarioPlay play;
    std::vector<std::string> map(20, "...");
    map[18] = ".H.";
    map[19] = "###";
    cHarnessSetup setup = cScenarioPlay::Setup(map, 1);
    setup.prepareRun = [] {
      g_StageFile.m_bAutoScrollY = 1;
      g_StageFile.m_nAutoScrollSpeedY = -20;
    };
    setup.charas['H'] = HarnessHeroType();
    setup.charas['H'].m_nMoveMode = flying ? 2 : 0;
    cStageHarness h(setup);
    cHero& hero = h.Hero();
    for (int frame = 0; frame < 200 && !hero.m_bDead; ++frame) h.Step();
    if (flying) {
      EXPECT_EQ(hero.m_bDead, 0);
      EXPECT_NEAR(hero.m_dY, h.Stage().m_ScrollY.m_dPosition + 480 - hero.m_nHeight - 1, 1e-9);
    } else {
      EXPECT_EQ(hero.m_bDead, 1);
      ASSERT_EQ(h.CallsOf("defeat").size(), 1u);
      // Pushed out at the bottom: the hit box's bottom on screen (the graphic's bottom less the hit
      // offset) reached the view's last line.
      EXPECT_GE(hero.m_ScreenRect.bottom - hero.m_nHitOffsetY + 1, 480);
    }
  }
}

// A character off to the right does nothing until the view reaches it; from the frame its box
// first lies in the view it acts (here: walks left a dot a frame). The hero walks right 2 dots a
// frame, the view following it.
TEST(ScenarioPlay, ACharacterActsFromTheFrameTheViewReachesIt) {
  for (int level : {1, 2}) {
    cScenarioPlay play;
    std::vector<std::string> map = Corridor(50);
    map[0][40] = 'C';
    cHarnessSetup setup = cScenarioPlay::Setup(map, level);
    setup.charas['H'] = HarnessHeroType();
    setup.charas['H'].m_aFlows = {WalkRight()};
    setup.charas['C'].m_aFlows = {ScnFlow(kScnTriggerAlways, {ScnCmd(kScnCmdStraightMove, 1, {}, kMoveDirLeft, 10)})};
    cStageHarness h(setup);
    cHero& hero = h.Hero();
    cChara& walker = h.Chara(0);
    const cScrollAxis& axis = h.Stage().m_ScrollX;
    const double heroX0 = hero.m_dX;
    const double walkerX0 = walker.m_dX;
    // The activity pass of a sub-step sees the view the hero's move left in the sub-step before; the
    // walker acts (and moves 1/n) from the first sub-step whose view reaches its box (view x + 640
    // > its x).
    const int n = StageSubSteps();
    int first = 1;
    while (FollowingScroll(axis, heroX0 + 2.0 * (first - 1) / n, hero.m_nWidth) + 640 <= walkerX0) ++first;
    const int frames = (first - 1) / n + 20;
    for (int frame = 1; frame <= frames; ++frame) {
      h.Step();
      const int acted = std::max(0, frame * n - first + 1);
      ASSERT_NEAR(walker.m_dX, walkerX0 - double(acted) / n, 1e-6) << "level " << level << " frame " << frame;
    }
    EXPECT_EQ(walker.m_bLatchedActive, 1);
  }
}

// Keep area 1 with a left margin of one cell: a character the view has left behind goes on the
// first sub-step 1 whose view lies a cell past its right edge; an item left behind stays while
// area 3 is off.
TEST(ScenarioPlay, ACharacterLeftBeyondTheKeepAreaIsRemoved) {
  for (int level : {1, 2}) {
    cScenarioPlay play;
    std::vector<std::string> map = Corridor(50);
    map[0][2] = 'C';
    map.insert(map.begin(), std::string(50, '.'));
    map[0][3] = 'I';  // over the hero's way
    cHarnessSetup setup = cScenarioPlay::Setup(map, level);
    setup.charas['H'] = HarnessHeroType();
    setup.charas['H'].m_aFlows = {WalkRight(40)};  // 4 dots a frame
    setup.prepareRun = [] {
      g_StageFile.m_aKeepAreas[0].m_bLeftOn = 1;
      g_StageFile.m_aKeepAreas[0].m_nLeft = 1;
    };
    cStageHarness h(setup);
    cHero& hero = h.Hero();
    const double x2 = h.Chara(0).m_dX2;
    const double heroX0 = hero.m_dX;
    const cScrollAxis& axis = h.Stage().m_ScrollX;
    // The view after the hero's move in the first sub-step of frame f.
    auto viewAt = [&](int frame) {
      return FollowingScroll(axis, heroX0 + 4.0 * (frame - 1) + 4.0 / StageSubSteps(), hero.m_nWidth);
    };
    int gone = 1;
    while (TruncToInt(viewAt(gone) - 32) < x2) ++gone;
    for (int frame = 1; frame <= gone; ++frame) {
      h.Step();
      ASSERT_EQ(g_CharaList.size(), frame < gone ? 1u : 0u) << "level " << level << " frame " << frame;
    }
    EXPECT_EQ(g_ItemList.size(), 1u);
    size_t grouped = 0;
    for (const auto& group : h.Stage().m_aCharaGroups) grouped += group.size();
    EXPECT_EQ(grouped, 1u);  // the hero
  }
}

// The hero walks onto an item: in the sub-step whose move first brings the hero's item box onto the
// item's rectangle the hero's item flow fires and the item is taken and leaves the stage.
TEST(ScenarioPlay, TheHeroTakesAnItemWhenItsItemBoxFirstMeetsIt) {
  for (int level : {1, 2, 4}) {
    cScenarioPlay play;
    std::vector<std::string> map = Corridor(20);
    map[0][6] = 'I';
    cHarnessSetup setup = cScenarioPlay::Setup(map, level);
    setup.charas['H'] = HarnessHeroType();
    setup.charas['H'].m_aFlows = {WalkRight(), ScnFlow(kScnTriggerItem, {})};
    cStageHarness h(setup);
    cHero& hero = h.Hero();
    const cItem& item = h.Item(0);
    const int number = item.m_nNumber;
    // The item box's right edge is trunc(x) + box x + box width - 1.
    const double reach = item.m_dX - hero.m_ItemBox.nX - hero.m_ItemBox.nWidth + 1;
    const int n = StageSubSteps();
    int subStep = 1;
    while (TruncToInt(hero.m_dX + 2.0 * subStep / n) < reach) ++subStep;
    const int frame = (subStep - 1) / n + 1;
    h.Step(frame - 1);
    EXPECT_TRUE(h.CallsOf("takeItem").empty()) << "level " << level;
    h.Step();
    const std::vector<cHarnessCall> taken = h.CallsOf("takeItem");
    ASSERT_EQ(taken.size(), 1u) << "level " << level;
    EXPECT_EQ(taken[0].adArgs[0], number);
    EXPECT_EQ(taken[0].adArgs[1], hero.m_nNumber);
    EXPECT_TRUE(g_ItemList.empty());
    const std::vector<cHarnessCall> fired = FlowTriggersOf(h, hero.m_nNumber);
    ASSERT_FALSE(fired.empty());
    EXPECT_EQ(fired.back().adArgs[0], kScnTriggerItem);
    EXPECT_EQ(fired.back().adArgs[4], subStep) << "level " << level;
  }
}

// The item the hero walks onto opens a wall: its command erases every character of the wall's group
// ("消滅" of a group). The erase leaves its defeat check pending until the next sub-step, where the
// first wall to take its turn in the block-character pass runs it: the walls all go there, without
// defeat processing, before any of them moves, and the pass goes on with the character after them,
// the walker 'V' of another group, which still walks its 2 dots a frame.
TEST(ScenarioPlay, AnItemErasingAGroupOfWallsOpensItBeforeTheWallsMoveAndThePassGoesOn) {
  constexpr int kWallGroup = 3;
  constexpr int kItemCmdVanish = kScnCmdVanish - 15;  // the item table's kinds from 2 on
  for (int level : {1, 2}) {
    cScenarioPlay play;
    cHarnessSetup setup = cScenarioPlay::Setup({"H.I..www.V..........", "####################"}, level);
    setup.addStandIns = [](cStageHooks& hooks) {
      AddStagePlayServices(hooks);
      hooks.checkFlowCondition = ScenarioFlowCondition;
      hooks.takeItem = TakeStageItem;
    };
    setup.charas['H'] = HarnessHeroType();
    setup.charas['H'].m_aFlows = {WalkRight()};
    setup.items['I'] = HarnessItemType();
    setup.items['I'].m_aCmds = {ScnCmd(kItemCmdVanish, 0, {0, kWallGroup, 1, 0})};
    cCharaType wall = HarnessCharaType();
    wall.m_bBlockChara = 1;
    wall.m_nOpt28 = kWallGroup;
    setup.charas['w'] = wall;
    cCharaType walker = wall;
    walker.m_nOpt28 = kWallGroup + 1;
    walker.m_aFlows = {WalkRight()};
    setup.charas['V'] = walker;
    cStageHarness h(setup);
    ASSERT_EQ(g_CharaList.size(), 4u);
    cChara& walking = h.Chara(3);
    const double x0 = walking.m_dX;
    for (int frame = 1; frame <= 40; ++frame) {
      h.Step();
      ASSERT_NEAR(walking.m_dX, x0 + 2.0 * frame, 1e-6) << "level " << level << " frame " << frame;
    }
    EXPECT_TRUE(g_ItemList.empty()) << "level " << level;
    ASSERT_EQ(g_CharaList.size(), 1u) << "level " << level;
    EXPECT_EQ(&h.Chara(0), &walking);
    EXPECT_TRUE(h.Stage().m_aCharaGroups[kWallGroup].empty());
    EXPECT_TRUE(h.CallsOf("defeat").empty());
  }
}
