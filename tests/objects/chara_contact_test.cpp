// Characters against blocks and each other: landing on the last dot above a block and hitting a
// ceiling (with their jump flags and the block triggers in order), the gravity of characters,
// riding, the floor test, the side contacts with the speeds of the touchers, the crush tests and
// the previous rectangle.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/system_data.h"
#include "motion_test_support.h"
#include "objects/flow_state.h"
#include "objects/object.h"
#include "objects/stage_physics.h"
#include "test_support/fresh_play_objects.h"
#include "test_support/stage_harness.h"

namespace {

// Stage play's flow-condition check, asked once per flow that a trigger would start: recorded with
// the flow's trigger, and refused so that nothing starts.
bool RecordTrigger(cFlowState& state, cCharaBase& chara) {
  if (cStageHarness* h = cStageHarness::Active())
    h->AddCall("trigger", {static_cast<double>(state.m_lpFlow->m_nTrigger), static_cast<double>(chara.m_nNumber)});
  return false;
}

// A harness stage of 10 x 5 cells with a floor in row 4 (dots 448..479 of the map) and a ceiling
// block at stage cell (2, 1) (dots 352..383), whose flow-condition checks are recorded.
cHarnessSetup ContactStage() {
  cHarnessSetup setup;
  setup.map = {"H.........", "..#.......", "..........", "..........", "##########"};
  setup.addStandIns = [](cStageHooks& hooks) { hooks.checkFlowCondition = RecordTrigger; };
  return setup;
}

// A character with one flow for each of a few triggers (in an order of its own).
void GiveFlows(cCharaBase& chara) {
  const int triggers[] = {0, 17, 16, 12, 15, 11, 13};
  chara.m_Type.m_aFlows.resize(std::size(triggers));
  for (size_t i = 0; i < std::size(triggers); ++i)
    chara.m_Type.m_aFlows[i].m_nTrigger = static_cast<int8_t>(triggers[i]);
  chara.m_aFlowStates.resize(std::size(triggers));
  RebindFlowStates(chara);
}

std::vector<int> TriggersAsked(const cStageHarness& h) {
  std::vector<int> triggers;
  for (const cHarnessCall& call : h.CallsOf("trigger")) triggers.push_back(static_cast<int>(call.adArgs[0]));
  return triggers;
}

// The jump and fall state a landing or a ceiling changes, all set.
void SetJumpState(cCharaBase& chara) {
  chara.m_bInAir = chara.m_bRiseEnded = chara.m_bTookOff = chara.m_bCeilingHit = chara.m_bJumpFlag5 = 1;
  chara.m_bKnockStarted = 1;
  chara.m_dImpactY = 2;
  chara.m_dToucherBottom = 3;
  chara.m_nAirCount = 9;
}

}  // namespace

TEST(CharaLanding, PutsTheBottomOnTheLastDotAboveTheCell) {
  cFreshPlayObjects fresh;
  cTestChara chara;
  chara.Place(0, 100.7 - 15, 16, 16);
  ASSERT_DOUBLE_EQ(chara.m_dY2, 100.7);
  chara.LandOnBlock();  // trunc 100, & 31 = 4: up by 5
  EXPECT_DOUBLE_EQ(chara.m_dY2, 95.7);
  EXPECT_DOUBLE_EQ(chara.m_dY, 80.7);
}

// A fall through the sub-steps of each level, stopped where stage play's bottom test finds the
// floor under a corner: the character ends on dot 447 (with the fraction it had), stopped, with the
// jump state cleared and triggers 11, 15 and 17 asked, in that order, once each.
TEST(CharaLanding, AFallEndsOnTheFloorAtEveryLevel) {
  for (int level : {1, 2, 4, 12}) {
    cStageHarness h(ContactStage());
    h.SetHitCheckLevel(level);
    cTestChara chara;
    chara.m_nNumber = 42;
    chara.m_nControl = 1;
    GiveFlows(chara);
    chara.Place(15 * 32 + 4, 330.3, 16, 16);
    SetJumpState(chara);
    int landed = 0;
    for (int step = 0; step < 1000 && !landed; ++step) {
      chara.ApplyCharaGravity();
      chara.MoveObjY(2);
      if (BlockAtCell(chara.m_nCellX, chara.m_nCellY2)->m_nGraphic) {
        const double fraction = chara.m_dY2 - TruncToInt(chara.m_dY2);
        chara.LandOnBlock();
        EXPECT_NEAR(chara.m_dY2, 447 + fraction, 1e-9) << "level " << level;
        landed = 1;
      }
    }
    ASSERT_TRUE(landed) << "level " << level;
    EXPECT_EQ(TruncToInt(chara.m_dY2), 447);
    EXPECT_EQ(chara.m_nCellY2, 13);
    EXPECT_EQ(chara.m_dSpeedY, 0);
    EXPECT_EQ(chara.m_dImpactY, 0);
    EXPECT_EQ(chara.m_dToucherBottom, 0);
    EXPECT_EQ(chara.m_bContactBottom, 1);
    EXPECT_EQ(chara.m_bInAir + chara.m_bRiseEnded + chara.m_bTookOff + chara.m_bJumpFlag5, 0);
    EXPECT_EQ(chara.m_bCeilingHit, 0);  // computer-controlled
    EXPECT_EQ(chara.m_bKnockStarted, 0);
    EXPECT_EQ(chara.m_nAirCount, 0);
    EXPECT_EQ(TriggersAsked(h), (std::vector<int>{11, 15, 17})) << "level " << level;
    EXPECT_EQ(h.CallsOf("trigger")[0].adArgs[1], 42);
  }
}

TEST(CharaLanding, APlayerKeepsItsCeilingFlag) {
  cStageHarness h(ContactStage());
  cTestChara chara;
  chara.m_nControl = 0;
  chara.Place(12 * 32, 440, 16, 16);
  SetJumpState(chara);
  chara.LandOnBlock();
  EXPECT_EQ(chara.m_bCeilingHit, 1);
  EXPECT_EQ(chara.m_bInAir, 0);
}

// Into the ceiling block's cell from below: y goes to the first dot of the next cell down.
TEST(CharaCeiling, PutsTheTopOnTheFirstDotBelowTheCell) {
  for (int legacy781 : {0, 1}) {
    cStageHarness h(ContactStage());
    g_SystemData.m_bLegacy781 = legacy781;
    cTestChara chara;
    GiveFlows(chara);
    chara.Place(2 * 32 + 320 + 4, 380.6, 16, 16);
    chara.m_bRiseEnded = chara.m_bTookOff = chara.m_bCeilingHit = 0;
    chara.m_dSpeedY = -3;
    chara.m_dImpactY = -1;
    chara.m_dKnockY = -2;
    chara.m_dPrevKnockY = -2.5;
    chara.HitCeilingBlock();
    EXPECT_DOUBLE_EQ(chara.m_dY, 384.6);  // 380 & 31 = 28: down by 4
    EXPECT_EQ(chara.m_nCellY, 12);
    EXPECT_EQ(chara.m_bRiseEnded + chara.m_bTookOff + chara.m_bCeilingHit, 3);
    EXPECT_EQ(chara.m_bContactTop, 1);
    EXPECT_EQ(chara.m_dSpeedY, 0);
    EXPECT_EQ(chara.m_dImpactY, 0);
    EXPECT_EQ(chara.m_dKnockY, legacy781 ? -2 : 0);  // older projects keep the knock-back
    EXPECT_EQ(chara.m_dPrevKnockY, legacy781 ? -2.5 : 0);
    EXPECT_EQ(TriggersAsked(h), (std::vector<int>{11, 15, 16}));
  }
}

TEST(CharaGravity, ActsUnlessFlyingRidingStoppedOrKnockedUpward) {
  cFreshPlayObjects fresh;
  g_StageFile.SetHitCheckLevel(2);  // gravity 0.4 / 4
  struct Case {
    int gravityFree, riding, moveDisabled;
    double knockY, fallen;
  };
  const Case cases[] = {
      {0, 0, 0, 0, 0.1}, {1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, -2, 0},  // rising in a knock-back
      {0, 0, 0, 2, 0.1},  // a downward knock-back falls
  };
  for (const Case& c : cases) {
    cTestChara chara;
    chara.m_bGravityFree = c.gravityFree;
    chara.m_bRiding = c.riding;
    chara.m_bMoveDisabled = c.moveDisabled;
    chara.m_dKnockY = c.knockY;
    chara.ApplyCharaGravity();
    EXPECT_DOUBLE_EQ(chara.m_dSpeedY, c.fallen) << c.gravityFree << c.riding << c.moveDisabled << c.knockY;
  }
  EXPECT_DOUBLE_EQ(FrictionFromSetting(10), 10 * 0.01 / 4);
}

TEST(CharaRiding, StoppingAndTheFloorTest) {
  cStageHarness h(ContactStage());
  cTestChara chara;
  chara.m_dSpeedY = 2;
  chara.m_bRiding = 1;
  chara.StopRiding(0);
  EXPECT_EQ(chara.m_bRiding, 0);
  EXPECT_EQ(chara.m_dSpeedY, 0);
  EXPECT_EQ(chara.m_bLeftRide, 0);
  chara.m_dSpeedY = 2;
  chara.m_dKnockY = -1;  // a vertical knock-back keeps its speed
  chara.StopRiding(1);
  EXPECT_EQ(chara.m_dSpeedY, 2);
  EXPECT_EQ(chara.m_bLeftRide, 1);

  EXPECT_FALSE(chara.IsOnFloor());
  chara.m_bRiding = 1;
  EXPECT_TRUE(chara.IsOnFloor());
  chara.m_bRiding = 0;
  chara.m_lpFloorBlock = &h.Cell(3, 4);
  EXPECT_TRUE(chara.IsOnFloor());
  h.Cell(3, 4).m_nPassGroup = 5;
  chara.m_nKind = 5;  // a floor its kind passes through
  EXPECT_FALSE(chara.IsOnFloor());
  chara.m_lpFloorBlock = &h.Cell(3, 3);  // an empty cell
  chara.m_nKind = 0;
  EXPECT_FALSE(chara.IsOnFloor());
}

TEST(CharaContacts, RecordTheTouchersSpeedsUnlessTheProjectIsOlder) {
  cFreshPlayObjects fresh;
  cObject toucher;
  toucher.m_dSpeedX = 1.5;
  toucher.m_dSpeedY = -2.5;
  for (int legacy912 : {0, 1}) {
    g_SystemData.m_bLegacy912 = legacy912;
    cTestChara chara;
    chara.SetContactLeft(toucher);
    chara.SetContactRight(toucher);
    chara.SetContactTop(toucher);
    chara.SetContactBottom(toucher);
    EXPECT_EQ(chara.m_bContactLeft + chara.m_bContactRight + chara.m_bContactTop + chara.m_bContactBottom, 4);
    EXPECT_EQ(chara.m_dToucherLeft, legacy912 ? 0 : 1.5);
    EXPECT_EQ(chara.m_dToucherRight, legacy912 ? 0 : 1.5);
    EXPECT_EQ(chara.m_dToucherTop, legacy912 ? 0 : -2.5);
    EXPECT_EQ(chara.m_dToucherBottom, legacy912 ? 0 : -2.5);
    chara.m_dToucherLeft = chara.m_dToucherBottom = 4;
    chara.ClearContacts();
    EXPECT_EQ(chara.m_bContactLeft + chara.m_bContactRight + chara.m_bContactTop + chara.m_bContactBottom, 0);
    EXPECT_EQ(chara.m_dToucherLeft, 0);
    EXPECT_EQ(chara.m_dToucherBottom, 0);
  }
}

TEST(CharaContacts, CrushedWhenTheTouchersCloseIn) {
  struct Case {
    int first, second;
    double a, b;  // left (top) and right (bottom) toucher speeds
    bool crushed;
  };
  const Case cases[] = {
      {1, 1, 0.5, -0.5, true},  {1, 1, 0.5, 0.7, false},  // the left one is slower than the right one
      {1, 1, 0, 0, false},      {1, 1, 0.5, 0.5, true},   // both moving right at the same speed
      {1, 1, 0, -1e-7, true},   {1, 1, 1e-9, 0, false},   // below 1e-8 nothing moves
      {1, 0, 0.5, -0.5, false}, {0, 1, 0.5, -0.5, false},
  };
  for (const Case& c : cases) {
    cTestChara chara;
    chara.m_bContactLeft = chara.m_bContactTop = c.first;
    chara.m_bContactRight = chara.m_bContactBottom = c.second;
    chara.m_dToucherLeft = chara.m_dToucherTop = c.a;
    chara.m_dToucherRight = chara.m_dToucherBottom = c.b;
    EXPECT_EQ(chara.IsCrushedX(), c.crushed) << c.a << " " << c.b;
    EXPECT_EQ(chara.IsCrushedY(), c.crushed) << c.a << " " << c.b;
  }
}

TEST(CharaContacts, ThePreviousRectangleComesBackAsItWas) {
  cFreshPlayObjects fresh;
  cTestChara chara;
  chara.Place(100.25, 200.5, 16, 20);
  chara.SavePrevRect();
  chara.Place(150, 260, 16, 20);
  chara.RestorePrevRect();
  EXPECT_EQ(chara.m_dX, 100.25);
  EXPECT_EQ(chara.m_dY, 200.5);
  EXPECT_EQ(chara.m_dX2, 115.25);
  EXPECT_EQ(chara.m_dY2, 219.5);
  EXPECT_EQ(chara.m_nCellX, 150 >> 5);  // no hook runs: the cells stay
}
