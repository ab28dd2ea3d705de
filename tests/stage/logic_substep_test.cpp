// Stage play's logic sub-steps on the harness, with the objects' own moves, contacts and frame
// steps: a hero falling onto the floor, riding a descending platform, characters and the hero
// crushed by a platform coming down, the end requests of flows, and the lifetimes of summons.
//
// Platforms here are scripted: block characters that count as present but do not act, moved by hand
// before each sub-step at a speed they report to the push-out.
#include "stage/logic_substep.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "data/system_data.h"
#include "objects/stage_state.h"
#include "stage/contact_fixture.h"
#include "test_support/hooks_guard.h"
#include "test_support/stage_play_harness.h"

namespace {

cHarnessSetup SubStepStage(std::vector<std::string> map, int level = 1) {
  cHarnessSetup setup;
  setup.map = std::move(map);
  setup.nHitCheckLevel = level;
  cCharaType platform = HarnessCharaType();
  platform.m_bBlockChara = 1;
  platform.m_nMoveMode = 2;  // flying, colliding with blocks
  setup.charas['B'] = platform;
  setup.addStandIns = AddStagePlayServices;
  return setup;
}

// The scripted platform and its movement per sub-step.
cChara* g_platform = nullptr;
double g_platformStep = 0.0;
void (*g_stagePlaySubStep)(cStageHarness&, int) = nullptr;

void ScriptedSubStep(cStageHarness& h, int subStep) {
  if (g_platform) {
    g_platform->m_dSpeedY = g_platformStep;
    g_platform->m_dY += g_platformStep;
    g_platform->AfterMoveY();
  }
  g_stagePlaySubStep(h, subStep);
}

// Stage play's logic with one scripted platform (the first block character) moving down.
struct cScriptedPlay {
  explicit cScriptedPlay(double step)
      : plugins(SetHarnessPlugins, [] {
          cHarnessPlugins p = WithStagePlay(CurrentHarnessPlugins());
          g_stagePlaySubStep = p.subStep;
          p.subStep = ScriptedSubStep;
          return p;
        }()) {
    g_platformStep = step;
    g_platform = nullptr;
  }
  void Script(cChara& platform) {
    platform.m_bActive = 1;  // present: it counts for the push-out
    platform.m_bActing = 0;  // but never moves by itself
    g_platform = &platform;
  }
  ~cScriptedPlay() { g_platform = nullptr; }
  cHooksGuard<cHarnessPlugins> plugins;
};

// Every character acts in these small stages.
void ActivateAll() {
  for (cChara& chara : g_CharaList) {
    chara.m_bActive = 1;
    chara.m_bActing = 1;
  }
}

}  // namespace

TEST(LogicSubStep, AFallingHeroLandsOnTheFloorAtEverySubStepSetting) {
  for (int level : {1, 3}) {
    cScriptedPlay play(0);
    cStageHarness h(SubStepStage({"H..", "...", "###"}, level));
    h.Step(40);
    EXPECT_EQ(TruncToInt(h.Hero().m_dY2), CellDot(2) - 1) << level;
    EXPECT_EQ(h.Hero().m_bInAir, 0) << level;
    EXPECT_EQ(h.Hero().m_bDead, 0) << level;
    EXPECT_TRUE(h.CallsOf("defeat").empty());
  }
}

TEST(LogicSubStep, AHeroRidesADescendingPlatformWithoutLeavingIt) {
  for (int level : {1, 2}) {
    cScriptedPlay play(1.0 / level);
    cStageHarness h(SubStepStage({"H..", ".B.", "..."}, level));
    cChara& platform = h.Chara(0);
    play.Script(platform);
    cHero& hero = h.Hero();
    hero.m_dX = platform.m_dX + 8;
    hero.AfterMoveX();
    hero.m_dY = platform.m_dY - hero.m_nHeight;
    hero.AfterMoveY();
    hero.m_bRiding = 1;
    hero.m_nRiddenId = platform.m_nNumber;
    hero.m_PushRect.left = platform.m_dX;
    hero.m_PushRect.top = platform.m_dY;
    const double startY = platform.m_dY;
    for (int frame = 1; frame <= 20; ++frame) {
      h.Step();
      EXPECT_EQ(hero.m_bRiding, 1) << "frame " << frame << " level " << level;
      EXPECT_NEAR(hero.m_dY2, platform.m_dY - 1, 1e-9) << "frame " << frame << " level " << level;
    }
    EXPECT_NEAR(platform.m_dY, startY + 20, 1e-9);
    EXPECT_TRUE(h.CallsOf("defeat").empty());
  }
}

TEST(LogicSubStep, APlatformComingDownCrushesACharacterOnTheFloor) {
  cScriptedPlay play(1);
  cStageHarness h(SubStepStage({"B.H", "C..", "###"}));
  cChara& victim = h.Chara(1);
  ActivateAll();
  play.Script(h.Chara(0));
  h.Step(20);
  const std::vector<cHarnessCall> defeats = h.CallsOf("defeat");
  ASSERT_EQ(defeats.size(), 1u);
  EXPECT_EQ(defeats[0].adArgs[0], victim.m_nNumber);
  EXPECT_EQ(defeats[0].adArgs[1], 0.0);
  EXPECT_EQ(h.Sounds(), std::vector<int>{9});
  EXPECT_EQ(victim.m_bDead, 1);
}

TEST(LogicSubStep, APlatformComingDownCrushesTheHeroAndEndsTheFrame) {
  cScriptedPlay play(1);
  cStageHarness h(SubStepStage({"B..", "H..", "###"}, 2));
  play.Script(h.Chara(0));
  h.Step(40);
  const std::vector<cHarnessCall> defeats = h.CallsOf("defeat");
  ASSERT_EQ(defeats.size(), 1u);
  EXPECT_EQ(defeats[0].adArgs[0], h.Hero().m_nNumber);
  EXPECT_EQ(defeats[0].adArgs[1], 1.0);
  EXPECT_EQ(h.CallsOf("frameEnded").size(), 1u);  // once defeated, the hero's frames run no passes
  EXPECT_EQ(h.Hero().m_bDead, 1);
}

TEST(LogicSubStep, EndRequestsOfFlowsClearTheStageOrDefeatTheHero) {
  for (int request : {kEndClear, kEndFailure}) {
    cScriptedPlay play(0);
    cStageHarness h(SubStepStage({"H..", "...", "###"}, 3));
    h.Step();
    h.Stage().m_nEndRequest = request;
    h.Step();
    EXPECT_EQ(h.CallsOf("clearStage").size(), request == kEndClear ? 1u : 0u);
    EXPECT_EQ(h.CallsOf("defeat").size(), request == kEndFailure ? 1u : 0u);
    const std::vector<cHarnessCall> ended = h.CallsOf("frameEnded");
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_EQ(ended[0].adArgs[0], 2.0);  // the second frame
    EXPECT_EQ(ended[0].adArgs[1], 1.0);  // at its first sub-step; the others did not run
  }
}

// A summon whose lifetime counter starts at 0 goes in the first sub-step that counts it (below 0),
// out of its group list too; an unlimited one stays. Items count down the same way. A count at the
// lowest int is not counted past it.
TEST(LogicSubStep, LifetimesRunOutBelowZero) {
  cScriptedPlay play(0);
  cStageHarness h(SubStepStage({"H.C", "..C", "C##"}));
  ActivateAll();
  h.Chara(0).m_nLifetime = 0;
  h.Chara(2).m_nLifetime = std::numeric_limits<int32_t>::min();  // broken data: goes at once too
  h.Chara(1).m_anBlockSummon[0] = 2;
  cItem& item = g_ItemList.emplace_back();
  item.m_nLifetime = 1;
  const int kept = h.Chara(1).m_nNumber;
  h.Step();
  ASSERT_EQ(g_CharaList.size(), 1u);
  EXPECT_EQ(h.Chara(0).m_nNumber, kept);
  EXPECT_EQ(h.Chara(0).m_anBlockSummon[0], 0);  // cleared at the frame's start
  size_t grouped = 0;
  for (const auto& group : h.Stage().m_aCharaGroups) grouped += group.size();
  EXPECT_EQ(grouped, 2u);  // the hero and the one left
  EXPECT_EQ(g_ItemList.size(), 1u);
  h.Step();
  EXPECT_TRUE(g_ItemList.empty());
}

// A character's screen rectangle follows it at the start of every sub-step, unless the project
// keeps the older rule of refreshing it only where it is drawn.
TEST(LogicSubStep, ScreenRectanglesAreRefreshedPerSubStepUnlessTheProjectSaysNot) {
  for (const int legacy : {0, 1}) {
    cScriptedPlay play(0);
    cStageHarness h(SubStepStage({"H.C..", "#####"}));
    g_SystemData.m_bLegacy837 = legacy;
    cChara& idle = h.Chara(0);
    idle.m_bActive = idle.m_bActing = 0;  // nothing else touches its rectangle
    idle.UpdateScreenRect();
    const int left = idle.m_ScreenRect.left;
    idle.m_dX += 64;
    idle.m_dX2 += 64;
    h.Step();
    EXPECT_EQ(idle.m_ScreenRect.left, legacy ? left : left + 64) << legacy;
  }
}
