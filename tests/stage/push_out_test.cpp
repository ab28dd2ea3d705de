// The push-out of a character against block characters: landing from above, bumping into one from
// below, side pushes with their half-dot gaps, a squeeze with no floor, a crush between two closing
// block characters, a rising pusher and its trial place, riding a descending platform and the
// riding upkeep, the flying rule, the settling out of map blocks, and the project switches that
// change them.
#include "stage/push_out.h"

#include <gtest/gtest.h>

#include "data/system_data.h"
#include "stage/block_contact.h"
#include "stage/contact_fixture.h"
#include "stage/flow_trigger_probe.h"

namespace {

cHarnessSetup PushStage(std::vector<std::string> map = {"H..", "...", "..."}) {
  cHarnessSetup setup;
  setup.map = std::move(map);
  setup.addStandIns = RecordFlowTriggers;
  return setup;
}

// A walker (16 x 24) at (x, y) that stood at (x, prevY) in the previous sub-step, moving at (vx, vy).
void MakeMover(cCharaBase& chara, double x, double y, double prevY, double vx, double vy, int h = 24) {
  MakeWalker(chara, x, prevY, 16, h);
  SetBox(chara, x, y, 16, h);
  chara.m_dSpeedX = vx;
  chara.m_dSpeedY = vy;
}

}  // namespace

// Falling faster than 2/n dots per sub-step onto a block character it was above: a landing, even
// when the upper half already overlaps it; slower, the same overlap is a side push.
TEST(PushOut, AFastFallOntoABlockCharacterLandsAndRides) {
  struct Case {
    const char* what;
    double y, prevY, vy;
    bool lands;
  };
  const Case cases[] = {
      {"the feet overlap", 400, 390, 10, true},
      {"the upper half overlaps, fast", 412, 380, 32, true},
      {"the upper half overlaps, slow", 412, 411, 1, false},
  };
  for (const Case& c : cases) {
    cStageHarness h(PushStage());
    cChara& q = AddBlockChara(7, 400, 420);
    GiveTriggerFlows(q, {18, 19});
    cProbeChara chara;
    MakeMover(chara, 408, c.y, c.prevY, 0, c.vy);
    chara.m_nAirCount = 9;
    chara.m_bInAir = 1;
    EXPECT_EQ(PushOutOfBlockCharas(chara, g_CharaList), 0) << c.what;
    if (c.lands) {
      EXPECT_EQ(chara.m_dY, 396.0) << c.what;  // the feet on the dot above q
      EXPECT_EQ(chara.m_dY2, 419.0);
      EXPECT_EQ(chara.m_dSpeedY, 0.0);
      EXPECT_EQ(chara.m_bRiding, 1);
      EXPECT_EQ(chara.m_nRiddenId, 7);
      EXPECT_EQ(chara.m_PushRect.left, 400.0);
      EXPECT_EQ(chara.m_PushRect.top, 420.0);
      EXPECT_EQ(chara.m_nAirCount, 0);
      EXPECT_EQ(chara.m_bInAir, 0);
      EXPECT_EQ(FiredTriggers(h, 7), std::vector<int>{19}) << c.what;  // a computer-operated rider
    } else {
      EXPECT_EQ(chara.m_dY, c.y) << c.what;
      EXPECT_EQ(chara.m_dX, 400 - 16 - 0.5) << c.what;  // pushed off to the left, half a dot apart
      EXPECT_EQ(chara.m_bRiding, 0);
      EXPECT_EQ(chara.m_bContactRight, 1);
    }
  }
}

// A player-operated rider fires the ridden character's 18 before its 19; the hero's floor flag goes.
TEST(PushOut, APlayerLandingFiresTheHeroRiderFlow) {
  cStageHarness h(PushStage());
  cChara& q = AddBlockChara(7, 400, 420);
  GiveTriggerFlows(q, {18, 19});
  h.Hero().m_bFloorKind2 = 1;
  cProbeChara chara;
  MakeMover(chara, 408, 400, 390, 0, 10);
  chara.m_nControl = 0;
  EXPECT_EQ(PushOutOfBlockCharas(chara, g_CharaList), 0);
  EXPECT_EQ(FiredTriggers(h, 7), (std::vector<int>{18, 19}));
  EXPECT_EQ(h.Hero().m_bFloorKind2, 0);
}

// The project's loose landing asks only that the character's top was above the block character's.
TEST(PushOut, LooseLandingAsksLessOfThePreviousRectangles) {
  for (int loose : {0, 1}) {
    cStageHarness h(PushStage());
    g_SystemData.m_bLegacy839 = loose;
    AddBlockChara(7, 400, 400, 32, 16);
    cProbeChara chara;
    MakeMover(chara, 408, 390, 380, 0, 10, 40);  // taller than q: its bottom was below q's
    EXPECT_EQ(PushOutOfBlockCharas(chara, g_CharaList), 0);
    if (loose) {
      EXPECT_EQ(chara.m_dY, 360.0);
      EXPECT_EQ(chara.m_bRiding, 1);
    } else {
      EXPECT_EQ(chara.m_dY, 390.0);
      EXPECT_EQ(chara.m_dX, 383.5);
    }
  }
}

// Coming up into a block character: by shape (the overlap is wide and the character lies lower) or
// by history (it was below it and did not overlap it before): put under it, with the ceiling's jump
// flags.
TEST(PushOut, BumpingIntoABlockCharacterFromBelowStopsUnderIt) {
  struct Case {
    const char* what;
    double x, y, prevY;
  };
  const Case cases[] = {
      {"by shape", 408, 405, 408},
      {"by history", 429, 405, 415},  // 3 dots of overlap across: too narrow for the shape rule
  };
  for (const Case& c : cases) {
    cStageHarness h(PushStage());
    AddBlockChara(7, 400, 380);
    cProbeChara chara;
    MakeMover(chara, c.x, c.y, c.prevY, 0, -3);
    EXPECT_EQ(PushOutOfBlockCharas(chara, g_CharaList), 0) << c.what;
    EXPECT_EQ(chara.m_dY, 412.0) << c.what;
    EXPECT_EQ(chara.m_dSpeedY, 0.0) << c.what;
    EXPECT_EQ(chara.m_bCeilingHit, 1) << c.what;
    EXPECT_EQ(chara.m_bRiseEnded, 1) << c.what;
    EXPECT_EQ(chara.m_bContactTop, 0) << c.what;  // q does not move down onto it
  }
}

// Walking into a block character stops the character half a dot before it, on either side.
TEST(PushOut, SidePushesLeaveHalfADotOfGap) {
  struct Case {
    double x, vx;
    double expectedX;
    int left, right;
  };
  const Case cases[] = {{430, -2, 432.5, 1, 0}, {386, 2, 383.5, 0, 1}};  // q spans 400..431
  for (const Case& c : cases) {
    cStageHarness h(PushStage());
    cChara& q = AddBlockChara(7, 400, 400);
    q.m_dSpeedX = 0.75;
    cProbeChara chara;
    MakeMover(chara, c.x, 400, 400, c.vx, 0);
    chara.m_dImpactX = 4;
    EXPECT_EQ(PushOutOfBlockCharas(chara, g_CharaList), 0);
    EXPECT_EQ(chara.m_dX, c.expectedX);
    EXPECT_EQ(chara.m_bContactLeft, c.left);
    EXPECT_EQ(chara.m_bContactRight, c.right);
    EXPECT_EQ(chara.m_dToucherLeft + chara.m_dToucherRight, 0.75);  // q's speed as the toucher's
    EXPECT_EQ(chara.m_bPushed, 1);
    EXPECT_EQ(chara.m_dImpactX, 0.0);
  }
}

// Squeezed sideways with no block character underfoot: no side push; the contacts go and the
// character is put under the block character over its upper half (which covered its top corners, so
// it is not embedded).
TEST(PushOut, ASqueezeWithoutFloorPutsTheCharacterUnderTheBlockCharacter) {
  cStageHarness h(PushStage());
  AddBlockChara(7, 370, 390, 32, 16);  // 370..401 x 390..405
  AddBlockChara(8, 412, 390, 32, 16);
  cProbeChara chara;
  MakeMover(chara, 400, 400, 400, 0, 0);
  EXPECT_EQ(PushOutOfBlockCharas(chara, g_CharaList), 0);
  EXPECT_EQ(chara.m_dX, 400.0);
  EXPECT_EQ(chara.m_dY, 406.0);
  EXPECT_EQ(chara.m_bContactLeft, 0);
  EXPECT_EQ(chara.m_bContactRight, 0);
  EXPECT_EQ(chara.m_bPushed, 0);
  EXPECT_EQ(chara.m_bCeilingHit, 1);
}

// Every corner of the character inside the two block characters at the start of the push-out: the
// squeeze puts it under one of them, but it was embedded, and that is a crush.
TEST(PushOut, ACharacterEmbeddedBetweenTwoBlockCharactersIsCrushed) {
  cStageHarness h(PushStage());
  AddBlockChara(7, 370, 400);
  AddBlockChara(8, 412, 400);
  cProbeChara chara;
  MakeMover(chara, 400, 400, 400, 0, 0);
  EXPECT_EQ(PushOutOfBlockCharas(chara, g_CharaList), kContactFatal);
}

// Standing on a platform between two block characters that close in: both side contacts stay and the
// character is crushed (2).
TEST(PushOut, TwoClosingBlockCharactersCrushACharacterOnAPlatform) {
  cStageHarness h(PushStage());
  AddBlockChara(6, 380, 424, 64, 32);  // the platform
  cChara& left = AddBlockChara(7, 370, 392);
  left.m_PrevRect = {369, 392, 400, 423};
  left.m_dSpeedX = 1;
  cChara& right = AddBlockChara(8, 414, 392);
  right.m_PrevRect = {415, 392, 446, 423};
  right.m_dSpeedX = -1;
  cProbeChara chara;
  MakeMover(chara, 400, 401, 401, 0, 0);
  EXPECT_EQ(PushOutOfBlockCharas(chara, g_CharaList), kContactFatal);
  EXPECT_EQ(chara.m_bContactLeft, 1);
  EXPECT_EQ(chara.m_bContactRight, 1);
  EXPECT_EQ(chara.m_dToucherLeft, 1.0);
  EXPECT_EQ(chara.m_dToucherRight, -1.0);
  EXPECT_TRUE(chara.IsCrushedX());
}

// A block character rising into a character from above takes it along only when the place under it
// is free of map blocks (the character's recorded cells) and of other block characters.
TEST(PushOut, ARisingPusherTakesTheCharacterAlongOnlyToAFreePlace) {
  for (int blocked : {0, 1}) {
    cStageHarness h(PushStage({"H..", "...", blocked ? ".#." : "..."}));
    cChara& q = AddBlockChara(7, 352, 345);
    q.m_dSpeedY = -2;
    cProbeChara chara;
    MakeMover(chara, 360, 370, 372, 0, -3);  // its feet in row 2
    EXPECT_EQ(PushOutOfBlockCharas(chara, g_CharaList), 0);
    // Blocked, it stays (and, not crushed, settles upward toward the pusher out of the floor cell).
    EXPECT_EQ(chara.m_dY, blocked ? Stepped(370, -0.1, 15) : 377.0) << blocked;
    EXPECT_EQ(chara.m_dSpeedY, blocked ? -3.0 : -2.0) << blocked;
  }
}

// A rider on a platform that moves down follows it without a sub-step in the air: the ridden
// character's movement since the last sub-step becomes the rider's speed, and after the rider's move
// the riding upkeep finds the platform within the 5-dot strip under its feet.
TEST(PushOut, ARiderFollowsADescendingPlatformWithoutLeavingIt) {
  cStageHarness h(PushStage());
  cChara& q = AddBlockChara(7, 400, 424);
  cProbeChara chara;
  MakeMover(chara, 408, 400, 400, 0, 0);
  chara.m_bRiding = 1;
  chara.m_nRiddenId = 7;
  chara.m_PushRect.left = 400;
  chara.m_PushRect.top = 424;
  for (int step = 1; step <= 5; ++step) {
    KeepAsPrevious(q);
    SetBox(q, 400 + step, 424 + 2 * step, 32, 32);
    KeepAsPrevious(chara);
    chara.m_dSpeedX = 0;  // as the frame step leaves it
    FollowRiddenChara(chara, g_CharaList);
    EXPECT_EQ(chara.m_dSpeedX, 1.0) << step;
    EXPECT_EQ(chara.m_dSpeedY, 2.0) << step;
    SetBox(chara, chara.m_dX + 1, chara.m_dY + chara.m_dSpeedY, 16, 24);
    EXPECT_EQ(PushOutOfBlockCharas(chara, g_CharaList), 0) << step;
    EXPECT_EQ(chara.m_bRiding, 1) << step;
    EXPECT_EQ(chara.m_nAirCount, 0);
    EXPECT_EQ(chara.m_PushRect.top, q.m_dY) << step;
  }
}

// With the project's switch a walking platform hands on its vertical movement only while airborne.
TEST(PushOut, AGroundedWalkingPlatformKeepsItsVerticalMovementUnderTheSwitch) {
  struct Case {
    int ignore;
    int flying;
    int inAir;
    double expectedVY;
  };
  const Case cases[] = {{0, 0, 0, 3}, {1, 0, 0, -1}, {1, 0, 1, 3}, {1, 1, 0, 3}};
  for (const Case& c : cases) {
    cStageHarness h(PushStage());
    g_SystemData.m_nStageOpt845 = c.ignore;
    cChara& q = AddBlockChara(7, 400, 427);
    if (c.flying) SetFlying(q, 1);
    q.m_bInAir = c.inAir;
    cProbeChara chara;
    MakeMover(chara, 408, 400, 400, 0, -1);
    chara.m_bRiding = 1;
    chara.m_nRiddenId = 7;
    chara.m_PushRect.left = 400;
    chara.m_PushRect.top = 424;
    FollowRiddenChara(chara, g_CharaList);
    EXPECT_EQ(chara.m_dSpeedY, c.expectedVY) << c.ignore << c.flying << c.inAir;
  }
}

// The riding upkeep: an upward knock-back ends the ride; a platform gone from under the feet ends it;
// another block character under the feet becomes the ridden one.
TEST(PushOut, TheRidingUpkeepEndsOrMovesTheRide) {
  struct Case {
    const char* what;
    double knockY;
    double platformY;
    bool other;
    int riding;
    int riddenId;
  };
  const Case cases[] = {
      {"knocked upward", -1, 424, false, 0, 7},
      {"the platform fell away", 0, 430, false, 0, 7},
      {"another one under the feet", 0, 430, true, 1, 8},
  };
  for (const Case& c : cases) {
    cStageHarness h(PushStage());
    AddBlockChara(7, 400, c.platformY);
    if (c.other) AddBlockChara(8, 380, 426, 16, 16);
    cProbeChara chara;
    MakeMover(chara, 390, 400, 400, 0, 0);
    chara.m_bRiding = 1;
    chara.m_nRiddenId = 7;
    chara.m_dKnockY = c.knockY;
    PushOutOfBlockCharas(chara, g_CharaList);
    EXPECT_EQ(chara.m_bRiding, c.riding) << c.what;
    EXPECT_EQ(chara.m_nRiddenId, c.riddenId) << c.what;
    EXPECT_EQ(chara.m_bLeftRide, c.riding ? 0 : 1) << c.what;
  }
}

// Flying in mode 2 a touch with a line of the character is fatal before anything moves; trigger 7
// still fires. In mode 1 the character is pushed out; a block character that moves away on the side
// it touches, while the character does not follow, resolves the other axis instead.
TEST(PushOut, FlyingCharactersAreKilledOrPushedByTheFlyingRule) {
  {
    cStageHarness h(PushStage());
    AddBlockChara(7, 414, 400);
    cProbeChara chara;
    MakeMover(chara, 400, 400, 400, 0, 0);
    SetFlying(chara, 2);
    GiveTriggerFlows(chara, {7});
    EXPECT_EQ(PushOutOfBlockCharas(chara, g_CharaList), kContactFatal);
    EXPECT_EQ(chara.m_dX, 400.0);
    EXPECT_EQ(FiredTriggers(h, 50), std::vector<int>{7});
    SetFlying(chara, 0);
    EXPECT_EQ(PushOutOfBlockCharas(chara, g_CharaList), 0);  // flying through: no touch at all
  }
  struct Case {
    const char* what;
    double qSpeedX;
    double expectedX;
    int pushed;
  };
  const Case cases[] = {
      {"pushed out to the left", 0, 414 - 16, 1},
      {"the block character moves away", 1, 400, 0},
  };
  for (const Case& c : cases) {
    cStageHarness h(PushStage());
    cChara& q = AddBlockChara(7, 414, 400);
    q.m_dSpeedX = c.qSpeedX;
    cProbeChara chara;
    MakeMover(chara, 400, 400, 400, 0, 0);
    SetFlying(chara, 1);
    EXPECT_EQ(PushOutOfBlockCharas(chara, g_CharaList), 0) << c.what;
    EXPECT_EQ(chara.m_dX, c.expectedX) << c.what;
    EXPECT_EQ(chara.m_bPushed, c.pushed) << c.what;
    EXPECT_EQ(chara.m_bContactRight, c.pushed) << c.what;
  }
}

TEST(PushOut, TheOneAxisPushOutMovesAFlyerOutOnItsAxis) {
  cStageHarness h(PushStage());
  AddBlockChara(7, 380, 380, 64, 24);  // over the character's top
  cProbeChara chara;
  MakeMover(chara, 400, 400, 400, 0, 0);
  SetFlying(chara, 1);
  ResolveBlockCharasAxis(chara, kPushAxisVertical, g_CharaList);
  EXPECT_EQ(chara.m_dY, 404.0);
  EXPECT_EQ(chara.m_bContactTop, 1);
  AddBlockChara(8, 410, 404, 32, 24);  // now on the right
  ResolveBlockCharasAxis(chara, kPushAxisHorizontal, g_CharaList);
  EXPECT_EQ(chara.m_dX, 410 - 16.0);
  EXPECT_EQ(chara.m_bPushed, 1);
  EXPECT_EQ(chara.m_bContactRight, 1);
}

// Pushed into a map wall, the character settles back out toward the pusher, 0.1 dot at a time up to
// 15 times; with the project's switch it settles by every contact flag set instead.
TEST(PushOut, APushIntoAMapWallSettlesBackTowardThePusher) {
  for (int byContacts : {0, 1}) {
    cStageHarness h(PushStage({"H..", "..#", "..."}));
    g_SystemData.m_bLegacy818a = byContacts;
    AddBlockChara(7, 350, 356, 32, 24);
    cProbeChara chara;
    MakeMover(chara, 370, 356, 356, -1, 0);
    chara.m_bContactTop = 1;  // as a ceiling test earlier in the frame left it
    EXPECT_EQ(PushOutOfBlockCharas(chara, g_CharaList), 0);
    EXPECT_EQ(chara.m_dX, Stepped(382.5, -0.1, 15)) << byContacts;  // still in the wall after 15
    EXPECT_EQ(chara.m_dY, byContacts ? Stepped(356, -0.1, 15) : 356.0) << byContacts;
  }
}

// Every character overlapping a block character fires 7, and a rider 8 after it.
TEST(PushOut, TouchingAndRidingFireTheBlockCharacterFlows) {
  cStageHarness h(PushStage());
  AddBlockChara(7, 400, 420);
  cProbeChara chara;
  GiveTriggerFlows(chara, {7, 8});
  MakeMover(chara, 408, 400, 390, 0, 10);
  PushOutOfBlockCharas(chara, g_CharaList);
  EXPECT_EQ(FiredTriggers(h, 50), (std::vector<int>{7, 8}));
  h.ClearTraces();
  SetBox(chara, 408, 390, 16, 24);  // standing a dot above it now: not touched, still riding
  PushOutOfBlockCharas(chara, g_CharaList);
  EXPECT_EQ(FiredTriggers(h, 50), (std::vector<int>{7, 8}));
}
