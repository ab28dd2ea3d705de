// The floor blocks under the hero on the harness with stage play's logic: a spring throws the hero
// up and again on every landing, speed and push floors act for one frame's sub-steps each time they
// start, and a block holding an item hands it once a second while the hero stands on it.
#include "stage/floor_blocks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "data/game_data.h"
#include "data/item_type.h"
#include "objects/hero.h"
#include "objects/stage_physics.h"
#include "stage/contact_fixture.h"
#include "test_support/hooks_guard.h"
#include "test_support/stage_play_harness.h"

namespace {

cBlockType FloorBlock(int effect, int value) {
  cBlockType type = HarnessBlockType(1);
  type.m_nEffect = static_cast<int8_t>(effect);
  type.m_nEffectValue = value;
  return type;
}

cBlockType ItemBlock(int effect = 0) {
  cBlockType type = FloorBlock(effect, 4);
  type.m_nItemKind = 2;  // the stage's palette
  type.m_nItemIndex = 0;
  return type;
}

// Stage play's logic on a small stage; 'S' a spring of 2 half blocks, 'T' a block holding the
// stage palette's first item, 'P' a block the test sets up.
struct cFloorStage {
  explicit cFloorStage(std::vector<std::string> map, int level = 1, cBlockType p = FloorBlock(0, 0))
      : plugins(SetHarnessPlugins, WithStagePlay(CurrentHarnessPlugins())), h([&] {
          cHarnessSetup setup;
          setup.map = std::move(map);
          setup.nHitCheckLevel = level;
          setup.blocks['S'] = FloorBlock(kFloorSpring, 2);
          setup.blocks['T'] = ItemBlock();
          setup.blocks['P'] = p;
          setup.prepareRun = [] { g_StageFile.m_aPalItems.push_back(HarnessItemType()); };
          setup.addStandIns = AddStagePlayServices;
          return setup;
        }()) {}
  // The hero stands still on the cell: landed there in an earlier sub-step.
  void StandOn(int column, int row) {
    cHero& hero = h.Hero();
    hero.m_lpFloorBlock = hero.m_lpLandedBlock = hero.m_lpPrevFloorBlock = &h.Cell(column, row);
    hero.m_bInAir = hero.m_bTookOff = 0;
  }
  cHooksGuard<cHarnessPlugins> plugins;
  cStageHarness h;
};

size_t CountOf(const std::vector<int>& values, int value) {
  return static_cast<size_t>(std::count(values.begin(), values.end(), value));
}

// Steps frames until the hero, settling onto the block under it, has been handed its item.
bool StepUntilTaken(cStageHarness& h) {
  for (int frame = 0; frame < 5 && h.CallsOf("takeItem").empty(); ++frame) h.Step();
  return h.CallsOf("takeItem").size() == 1;
}

}  // namespace

// The hero falls onto the spring, is thrown up about the spring's height and comes down on it
// again to be thrown once more, at every sub-step setting.
TEST(FloorBlocks, ASpringThrowsTheHeroUpOnEveryLanding) {
  for (int level : {1, 3}) {
    cFloorStage stage({"...", "...", "...", "...", "H..", "S##"}, level);
    cStageHarness& h = stage.h;
    const double floorTop = CellDot(5) - h.Hero().m_nHeight;
    double highest = floorTop;
    for (int frame = 0; frame < 150; ++frame) {
      h.Step();
      highest = std::min(highest, h.Hero().m_dY);
    }
    EXPECT_GE(CountOf(h.Sounds(), 10), 2u) << level;
    EXPECT_NEAR(floorTop - highest, 32.0, 4.0) << level;  // 2 half blocks
    EXPECT_EQ(h.Hero().m_bDead, 0) << level;
  }
}

TEST(FloorBlocks, ASpringUnderAFlyingHeroDoesNothing) {
  cFloorStage stage({"...", "H..", "S##"});
  stage.StandOn(0, 2);
  cHero& hero = stage.h.Hero();
  hero.m_bGravityFree = 1;
  hero.m_dSpeedY = 0.0;
  EXPECT_EQ(StepFloorBlock(hero), 0);
  EXPECT_EQ(hero.m_dSpeedY, 0.0);
  EXPECT_TRUE(stage.h.Sounds().empty());
}

// A speed factor or push starts on a floor in contact and acts on the horizontal speed for exactly n
// sub-steps, then starts afresh while the hero still stands there.
TEST(FloorBlocks, SpeedAndPushFloorsActForOneFrameOfSubSteps) {
  struct {
    int effect;
    int value;
    double speedIn;
    double impactIn;
    double speedOut;  // times n for the pushes
    double impactOut;
  } cases[] = {
      {kFloorSpeedFactor, 150, 2.0, 0.5, 3.0, 0.5},
      {kFloorPushLeft, 30, 0.0, 0.5, -3.0, 0.0},
      {kFloorPushRight, 30, 0.0, -0.5, 3.0, 0.0},
      {kFloorPushRight, 30, 0.0, 0.5, 3.0, 0.5},
  };
  for (const auto& c : cases) {
    cFloorStage stage({"...", "H..", "P##"}, 3, FloorBlock(c.effect, c.value));
    const int n = StageSubSteps();
    ASSERT_GT(n, 1);
    stage.StandOn(0, 2);
    cHero& hero = stage.h.Hero();
    hero.m_bFloorKind2 = 1;
    for (int step = 1; step <= n + 1; ++step) {
      hero.m_dSpeedX = c.speedIn;
      hero.m_dImpactX = c.impactIn;
      EXPECT_EQ(StepFloorBlock(hero), 0);
      const double expected = c.effect == kFloorSpeedFactor ? c.speedOut : c.speedOut / n;
      EXPECT_DOUBLE_EQ(hero.m_dSpeedX, expected) << c.effect << " step " << step;
      EXPECT_EQ(hero.m_dImpactX, c.impactOut) << c.effect;
      EXPECT_EQ(hero.m_nFloorSteps, step <= n ? n - step : n - 1) << c.effect << " step " << step;
      EXPECT_EQ(hero.m_bFloorKind2, 0);
    }
    // Off the floor the running effect still ends its sub-steps, and none starts.
    stage.h.Hero().m_lpFloorBlock = nullptr;
    for (int step = 1; step < n + 3; ++step) StepFloorBlock(hero);
    EXPECT_EQ(hero.m_nFloorSteps, 0);
    hero.m_dSpeedX = c.speedIn;
    StepFloorBlock(hero);
    EXPECT_EQ(hero.m_dSpeedX, c.speedIn);
  }
}

TEST(FloorBlocks, AKind2FloorRaisesTheHerosFlagAndAnyOtherFloorClearsIt) {
  cFloorStage stage({"...", "H..", "P##"}, 1, FloorBlock(kFloorKind2, 0));
  stage.StandOn(0, 2);
  cHero& hero = stage.h.Hero();
  EXPECT_EQ(StepFloorBlock(hero), 0);
  EXPECT_EQ(hero.m_bFloorKind2, 1);
  EXPECT_EQ(hero.m_nFloorSteps, 0);
  stage.StandOn(1, 2);  // a plain block
  StepFloorBlock(hero);
  EXPECT_EQ(hero.m_bFloorKind2, 0);
}

// Standing on the block through the play loop: the item is handed as the hero lands, then once more
// n x 60 sub-steps later (the same sub-step 60 frames on), at every sub-step setting.
TEST(FloorBlocks, AnItemBlockHandsItsItemOnceASecond) {
  for (int level : {1, 3}) {
    cFloorStage stage({"...", "H..", "T##"}, level);
    cStageHarness& h = stage.h;
    ASSERT_TRUE(StepUntilTaken(h)) << level;
    h.Step(59);
    EXPECT_EQ(h.CallsOf("takeItem").size(), 1u) << level;
    h.Step();
    EXPECT_EQ(h.CallsOf("takeItem").size(), 2u) << level;
    EXPECT_GT(h.Hero().m_nItemCooldown, StageSubSteps() * 59 - 1) << level;
  }
}

// The wait ends early when the hero jumps or stands on another block than in the sub-step before.
TEST(FloorBlocks, TheItemWaitEndsOnAJumpOrAnotherBlock) {
  for (int leave : {0, 1}) {
    cFloorStage stage({"...", "H..", "TT#"});
    stage.StandOn(0, 2);
    cHero& hero = stage.h.Hero();
    EXPECT_EQ(StepItemBlock(hero), 0);
    const int wait = StageSubSteps() * 60;
    ASSERT_EQ(hero.m_nItemCooldown, wait - 1);
    StepItemBlock(hero);
    EXPECT_EQ(hero.m_nItemCooldown, wait - 2);
    EXPECT_EQ(stage.h.CallsOf("takeItem").size(), 1u);
    if (leave == 0) {
      hero.m_bTookOff = 1;
    } else {
      hero.m_lpFloorBlock = hero.m_lpLandedBlock = &stage.h.Cell(1, 2);
    }
    StepItemBlock(hero);
    EXPECT_EQ(hero.m_nItemCooldown, 0) << leave;
    EXPECT_EQ(stage.h.CallsOf("takeItem").size(), 1u) << leave;
  }
}

// What taking the item brings ends the frame: 1 clears the stage, 2 defeats the hero. A spring that
// holds an item hands it as it throws the hero.
TEST(FloorBlocks, TakingTheBlocksItemCanClearTheStageOrDefeatTheHero) {
  for (bool spring : {false, true}) {
    for (int result : {1, 2}) {
      cFloorStage stage({"...", "H..", "P##"}, 1, ItemBlock(spring ? kFloorSpring : 0));
      cStageHarness& h = stage.h;
      // Landing there handed the item already; the wait has to run out first.
      ASSERT_TRUE(StepUntilTaken(h));
      h.Hero().m_nItemCooldown = 0;
      h.m_nTakeItemResult = result;
      const size_t before = h.CallsOf("takeItem").size();
      // The hero settles onto its floor again within a few sub-steps.
      for (int frame = 0; frame < 4 && h.CallsOf("takeItem").size() == before; ++frame) h.Step();
      EXPECT_EQ(h.CallsOf("takeItem").size(), before + 1) << spring << result;
      EXPECT_EQ(h.CallsOf("clearStage").size(), result == 1 ? 1u : 0u) << spring << result;
      EXPECT_EQ(h.CallsOf("defeat").size(), result == 2 ? 1u : 0u) << spring << result;
      EXPECT_EQ(h.CallsOf("frameEnded").size(), 1u) << spring << result;
    }
  }
}
