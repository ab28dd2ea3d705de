// The hero's motion on whole maps through stage play's logic sub-step, frame by frame against the
// closed forms of the character motion: free fall to the speed limit, landing on the last dot above
// the floor cell with its block flows, the jump apex for every height, a ceiling, the in-air flag
// after walking off a ledge, and knock-backs into walls and ceilings. Hit-check levels 1, 2 and 4
// (n sub-steps per frame) and 12 (two sub-steps under the per-frame limit of 60).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>
#include <vector>

#include "core/numbers.h"
#include "stage/contact_fixture.h"
#include "stage/scenario_fixture.h"

namespace {

// A column of rows with a floor in the last one and the hero in the top row (or standing on the
// floor).
std::vector<std::string> Shaft(int rows, bool standing = false) {
  std::vector<std::string> map(static_cast<size_t>(rows), ".");
  map[standing ? map.size() - 2 : 0] = "H";
  map.back() = "#";
  return map;
}

// Dots fallen after k sub-steps from rest: the speed grows by g each sub-step up to the limit L.
double FallDistance(int k, double g, double limit) {
  const int reach = static_cast<int>(std::floor(limit / g + 1e-9));  // sub-steps until the limit
  if (k <= reach) return g * k * (k + 1) / 2;
  return g * reach * (reach + 1) / 2 + limit * (k - reach);
}

// The hero's flows: trigger-0 flows of the given commands, then watchers of the block triggers.
void GiveHeroFlows(cHero& hero, const std::vector<cFlowCmd>& cmds) {
  hero.m_Type.m_aFlows.clear();
  for (const cFlowCmd& cmd : cmds) hero.m_Type.m_aFlows.push_back(ScnFlow(kScnTriggerAlways, {cmd}));
  for (int trigger = 11; trigger <= 17; ++trigger) hero.m_Type.m_aFlows.push_back(ScnFlow(trigger, {}));
  InstallFlows(hero, hero.m_Type.m_aFlows, 0, -1);
}

struct cLevelCase {
  int level;
  double gravity;
};

// The hero's highest point over every logic sub-step (not only at the ends of frames), while the
// watch is installed over the scenario's plug-ins.
void (*s_WatchedSubStep)(cStageHarness&, int) = nullptr;
double s_dHeroTop = 0;
cHarnessPlugins ApexWatch() {
  cHarnessPlugins plugins = CurrentHarnessPlugins();
  s_WatchedSubStep = plugins.subStep;
  plugins.subStep = [](cStageHarness& h, int subStep) {
    s_WatchedSubStep(h, subStep);
    s_dHeroTop = std::min(s_dHeroTop, h.Hero().m_dY);
  };
  return plugins;
}

}  // namespace

// Falling from rest, the hero gains g = G / n^2 per sub-step until the per-sub-step limit (6, or
// 60 / n at levels 11-19) and keeps that speed; every frame ends exactly where the sum says.
TEST(ScenarioMotion, AFallGainsGravityEachSubStepUpToTheSpeedLimit) {
  const cLevelCase cases[] = {{1, 0.4}, {2, 0.4}, {4, 2.0}, {12, 8.0}};
  for (const cLevelCase& c : cases) {
    cScenarioPlay play;
    cStageHarness h(cScenarioPlay::Setup(Shaft(13), c.level, c.gravity));
    cHero& hero = h.Hero();
    const int n = StageSubSteps();
    const double g = StageGravity();
    const double limit = StageSpeedLimitPerStep();
    ASSERT_DOUBLE_EQ(g, c.gravity / (n * n));
    const double y0 = hero.m_dY;
    const double floorTop = CellDot(12);
    bool reachedLimit = false;
    for (int frame = 1;; ++frame) {
      const int k = frame * n;
      const double expected = y0 + FallDistance(k, g, limit);
      if (expected + hero.m_nHeight - 1 >= floorTop) break;  // this frame lands
      h.Step();
      ASSERT_NEAR(hero.m_dY, expected, 1e-9) << "level " << c.level << " frame " << frame;
      EXPECT_NEAR(hero.m_dSpeedY, std::min(k * g, limit), 1e-9) << "level " << c.level << " frame " << frame;
      reachedLimit = reachedLimit || k * g >= limit;
    }
    EXPECT_TRUE(reachedLimit) << "level " << c.level;
    EXPECT_EQ(hero.m_bDead, 0);
  }
}

// The sub-step whose move takes the feet into the floor cell lands the hero: y2 goes to the last
// dot above the cell (its fraction kept), the fall stops, and the block flows fire 11, 15, 17 in
// that order, then nothing else of the block triggers in that sub-step.
TEST(ScenarioMotion, ALandingPutsTheFeetOnTheLastDotAboveTheCellAndFiresItsFlows) {
  const cLevelCase cases[] = {{1, 0.4}, {2, 0.4}, {4, 0.4}, {12, 0.4}, {1, 1.0}, {4, 2.0}};
  for (const cLevelCase& c : cases) {
    cScenarioPlay play;
    cStageHarness h(cScenarioPlay::Setup(Shaft(5), c.level, c.gravity));
    cHero& hero = h.Hero();
    GiveHeroFlows(hero, {});
    const int n = StageSubSteps();
    const double g = StageGravity();
    const double y2Start = hero.m_dY2;
    const double floorTop = CellDot(4);
    int landing = 1;  // the sub-step (counted from the first) that reaches the floor
    while (y2Start + FallDistance(landing, g, StageSpeedLimitPerStep()) < floorTop) ++landing;
    const double y2Reached = y2Start + FallDistance(landing, g, StageSpeedLimitPerStep());
    h.Step((landing + n - 1) / n);
    const std::vector<cHarnessCall> fired = FlowTriggersOf(h, hero.m_nNumber);
    ASSERT_GE(fired.size(), 3u) << "level " << c.level;
    EXPECT_EQ(TriggerRows({fired.begin(), fired.begin() + 3}), (std::vector<int>{11, 15, 17})) << "level " << c.level;
    for (int i = 0; i < 3; ++i) {
      const cHarnessCall& call = fired[static_cast<size_t>(i)];
      EXPECT_EQ(call.adArgs[4], landing) << "level " << c.level;
      EXPECT_EQ(TruncToInt(call.adArgs[3]), CellDot(4) - 1) << "level " << c.level;
      EXPECT_NEAR(call.adArgs[3] - std::floor(call.adArgs[3]), y2Reached - std::floor(y2Reached), 1e-9);
    }
    if (fired.size() > 3) EXPECT_GT(fired[3].adArgs[4], landing) << "one landing a sub-step";
    EXPECT_EQ(hero.m_bInAir, 0);
  }
}

// A jump of h half blocks rises 16h dots to within a dot; at level 1 with gravity 0.4 the 6-dot
// limit per sub-step caps every rise at 6 + 5.6 + ... + 0.4 = 48 dots.
TEST(ScenarioMotion, AJumpRisesToSixteenDotsAHalfBlock) {
  for (int level : {1, 2, 4, 12}) {
    for (int halfBlocks = 1; halfBlocks <= 8; ++halfBlocks) {
      cScenarioPlay play;
      cStageHarness h(cScenarioPlay::Setup(Shaft(10, true), level));
      cHero& hero = h.Hero();
      h.Step(3);  // standing
      GiveHeroFlows(hero, {ScnCmd(kScnCmdJump, 0, {0, 0, halfBlocks})});
      double before = hero.m_dY;
      while (!hero.m_bTookOff && h.m_nFrame < 20) {
        before = hero.m_dY;
        h.Step();
      }
      ASSERT_TRUE(hero.m_bTookOff) << "level " << level << " height " << halfBlocks;
      double top = hero.m_dY;
      for (int frame = 0; frame < 90; ++frame) {
        h.Step();
        top = std::min(top, hero.m_dY);
      }
      const double capped = level == 1 ? std::min(16.0 * halfBlocks, 48.0) : 16.0 * halfBlocks;
      EXPECT_NEAR(before - top, capped, 1.0) << "level " << level << " height " << halfBlocks;
    }
  }
}

// A jump into a ceiling stops under it: y on the first dot below the ceiling cell, no speed, the
// flows 11, 15 and 16 in that order; then the hero falls back and lands.
TEST(ScenarioMotion, AJumpIntoACeilingStopsOnTheFirstDotBelowIt) {
  for (int level : {1, 2, 4, 12}) {
    cScenarioPlay play;
    cStageHarness h(cScenarioPlay::Setup({"#", ".", "H", "#"}, level));  // 40 dots over the head
    cHero& hero = h.Hero();
    h.Step(3);
    GiveHeroFlows(hero, {ScnCmd(kScnCmdJump, 0, {0, 0, 8})});
    h.ClearTraces();
    // The block flows of the sub-step that hit the ceiling (trigger 16).
    std::vector<cHarnessCall> fired;
    while (fired.empty() && h.m_nFrame < 40) {
      h.Step();
      const std::vector<cHarnessCall> all = FlowTriggersOf(h, hero.m_nNumber);
      for (const cHarnessCall& hit : all) {
        if (hit.adArgs[0] != static_cast<double>(kScnTriggerBlockAbove)) continue;
        for (const cHarnessCall& call : all)
          if (call.adArgs[4] == hit.adArgs[4]) fired.push_back(call);
        break;
      }
    }
    ASSERT_FALSE(fired.empty()) << "level " << level;
    EXPECT_EQ(TriggerRows(fired), (std::vector<int>{11, 15, 16})) << "level " << level;
    EXPECT_EQ(TruncToInt(fired[0].adArgs[2]), CellDot(1)) << "level " << level;  // y at the hit
    EXPECT_EQ(hero.m_bCeilingHit + hero.m_bRiseEnded, 2);
    GiveHeroFlows(hero, {});  // no further jump
    h.Step(60);
    EXPECT_EQ(TruncToInt(hero.m_dY2), CellDot(3) - 1) << "level " << level;
    EXPECT_EQ(hero.m_bDead, 0);
  }
}

// A variable jump (kind 1) of 2 half blocks on button 1, released after k frames: the rise is cut to
// 30 % as the key goes up, and the same hold gives the same height at every hit-check level (the
// hold is counted in sub-steps against the command's duration, 18 frames here). Rises in dots with
// gravity 0.4, worked out sub-step by sub-step for n = 1, 2, 4 and 10; held for the whole duration
// the jump is full (32 dots, a hair more where n is small).
TEST(ScenarioMotion, AReleasedJumpKeyCutsTheRiseAlikeAtEveryLevel) {
  constexpr uint16_t kButton1 = 1;
  constexpr int kButton1Entry = 11;  // the key condition's entry of button 1
  const int levels[] = {1, 2, 4, 10};
  struct Case {
    int held;        // frames
    double rise[4];  // at each level
  };
  const Case cases[] = {
      {1, {6.84, 7.06, 7.18, 7.25}},     {3, {14.65, 14.85, 14.96, 15.01}},  {5, {21.08, 21.20, 21.27, 21.32}},
      {9, {29.47, 29.51, 29.54, 29.56}}, {18, {32.03, 32.01, 32.00, 32.00}},
  };
  for (const Case& c : cases) {
    for (size_t i = 0; i < std::size(levels); ++i) {
      cScenarioPlay play;
      cHooksGuard<cHarnessPlugins> apex(SetHarnessPlugins, ApexWatch());
      cStageHarness h(cScenarioPlay::Setup(Shaft(10, true), levels[i]));
      cHero& hero = h.Hero();
      h.Step(3);  // standing
      cFlow flow = ScnFlow(kScnTriggerAlways, {ScnCmd(kScnCmdJump, 0, {1, 0, 2})});
      cKeyCond held;
      held.m_anKeyStates.assign(kKeyStateCount, 0);
      held.m_anKeyStates[kButton1Entry] = 1;
      held.m_bAnyHold = 1;
      flow.m_aKeyConds = {held};
      hero.m_Type.m_aFlows = {flow};
      InstallFlows(hero, hero.m_Type.m_aFlows, 0, -1);
      const double y0 = hero.m_dY;
      s_dHeroTop = y0;
      h.Input(0, kButton1, c.held);
      h.Step(60);
      EXPECT_NEAR(y0 - s_dHeroTop, c.rise[i], 0.006) << "held " << c.held << " frames, level " << levels[i];
    }
  }
}

// Walking off a ledge the hero is not in the air at once: 8n sub-steps without a floor raise the
// in-air flag (and ready the jump again); a jump asked for before that still takes off, one asked
// for after does not.
TEST(ScenarioMotion, AHeroWalkingOffALedgeIsInTheAirAfterEightNSubSteps) {
  for (int level : {1, 2, 4}) {
    for (int lateFrames : {2, 9}) {
      cScenarioPlay play;
      cStageHarness h(cScenarioPlay::Setup(
          {"H...........", "#...........", "............", "............", "............", "............",
           "............", "............", "............", "............", "............", "############"},
          level));
      cHero& hero = h.Hero();
      const cFlowCmd walk = ScnCmd(kScnCmdStraightMove, 1, {}, kMoveDirRight, 20);
      GiveHeroFlows(hero, {walk});
      while (TruncToInt(hero.m_dX) < CellDot(1) && h.m_nFrame < 60) h.Step();  // the feet leave the ledge
      const int n = StageSubSteps();
      const int count = hero.m_nAirCount;
      // From here every sub-step counts; at 8n the hero is in the air.
      for (int frame = 1; frame < lateFrames; ++frame) {
        h.Step();
        EXPECT_EQ(hero.m_nAirCount, count + frame * n) << "level " << level << " frame " << frame;
        EXPECT_EQ(hero.m_bInAir, hero.m_nAirCount >= 8 * n ? 1 : 0) << "level " << level << " frame " << frame;
      }
      const bool inAir = hero.m_bInAir != 0;
      EXPECT_EQ(inAir, lateFrames > 8) << "level " << level;
      GiveHeroFlows(hero, {walk, ScnCmd(kScnCmdJump, 0, {0, 0, 2})});
      h.Step();
      EXPECT_EQ(hero.m_bTookOff, inAir ? 0 : 1) << "level " << level << " after " << lateFrames << " frames";
    }
  }
}

// A knock-back of power p launches at the speed that, losing 1/n each sub-step, covers 16p dots
// (exceeding it by less than 1/(8n)); a wall on the way stops the hero 0.1 dot or less before the
// wall's cell; an upward knock-back into a ceiling stops on the first dot below it and ends there,
// unless the project keeps knock-backs through ceilings.
TEST(ScenarioMotion, AKnockBackCoversSixteenDotsAPowerUnitUntilAWallStopsIt) {
  struct Case {
    int level;
    int power;
    int wallColumn;  // 0: no wall
  };
  const Case cases[] = {{1, 1, 0}, {2, 2, 0}, {4, 4, 0}, {12, 10, 0}, {1, 1, 1}, {2, 2, 1}, {12, 10, 3}};
  for (const Case& c : cases) {
    cScenarioPlay play;
    std::vector<std::string> map = {"H........", "#########"};
    if (c.wallColumn) map[0][static_cast<size_t>(c.wallColumn)] = '#';
    cStageHarness h(cScenarioPlay::Setup(map, c.level));
    cHero& hero = h.Hero();
    h.Step(2);
    const double x0 = hero.m_dX;
    int power = 0;
    hero.KnockBack(static_cast<int8_t>(c.power), 1, 0, power);
    ASSERT_EQ(power, c.power);
    const int n = StageSubSteps();
    ASSERT_LE(hero.m_dKnockX, StageSpeedLimitPerStep()) << "the case stays under the speed limit";
    for (int frame = 0; frame < 200 && hero.m_dKnockX != 0; ++frame) h.Step();
    EXPECT_EQ(hero.m_dKnockX, 0) << "level " << c.level;
    if (c.wallColumn == 0) {
      EXPECT_GE(hero.m_dX - x0, 16.0 * c.power - 1e-9) << "level " << c.level;
      EXPECT_LE(hero.m_dX - x0, 16.0 * c.power + 1.0 / (8 * n) + 1e-9) << "level " << c.level;
    } else {
      const double wall = CellDot(c.wallColumn);
      EXPECT_LT(hero.m_dX2, wall) << "level " << c.level;
      EXPECT_GE(hero.m_dX2, wall - 0.1 - 1e-9) << "level " << c.level;
    }
  }
}

TEST(ScenarioMotion, AnUpwardKnockBackEndsAtACeilingUnlessTheProjectKeepsIt) {
  for (int legacy781 : {0, 1}) {
    for (int level : {1, 2}) {
      cScenarioPlay play;
      cHarnessSetup setup = cScenarioPlay::Setup({"#", "H", "#"}, level);
      setup.prepareRun = [legacy781] { g_SystemData.m_bLegacy781 = legacy781; };
      cStageHarness h(setup);
      cHero& hero = h.Hero();
      GiveHeroFlows(hero, {});
      h.Step(2);
      h.ClearTraces();
      int power = 0;
      hero.KnockBack(1, 0, -1, power);  // 16 dots up, the ceiling 8 above the head
      std::vector<int> rows;
      for (int frame = 0; frame < 10 && rows.empty(); ++frame) {
        h.Step();
        rows = TriggerRows(FlowTriggersOf(h, hero.m_nNumber));
      }
      ASSERT_EQ(rows, (std::vector<int>{11, 15, 16})) << "level " << level;
      EXPECT_EQ(TruncToInt(FlowTriggersOf(h, hero.m_nNumber)[0].adArgs[2]), CellDot(1)) << "level " << level;
      if (legacy781)
        EXPECT_LT(hero.m_dKnockY, 0) << "level " << level;
      else
        EXPECT_EQ(hero.m_dKnockY, 0) << "level " << level;
    }
  }
}
