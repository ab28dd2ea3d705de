// The edge tests of a character against the map's blocks on 3 x 3-cell stages, with and without the
// legacy contact rule and the land-while-rising switch: the side snaps and their settling, deadly
// blocks, ceilings, landings and the floor block, the air counter, the orders of the combined tests,
// the flying modes and the block flows.
#include "stage/block_contact.h"

#include <gtest/gtest.h>

#include "data/system_data.h"
#include "objects/stage_physics.h"
#include "stage/contact_fixture.h"
#include "stage/flow_trigger_probe.h"

namespace {

cHarnessSetup ContactStage(std::vector<std::string> map) {
  cHarnessSetup setup = BlockStage(std::move(map));
  setup.addStandIns = RecordFlowTriggers;
  return setup;
}

}  // namespace

// A wall cell under the left edge snaps the character right to the next cell's first dot; without
// the legacy rule it then settles 0.1 dot further, out of the cell its recorded corners still name.
TEST(BlockContact, TheLeftEdgeSnapsRightOutOfAWall) {
  struct Case {
    double y;
    int legacy;
    double expectedX;
  };
  const Case cases[] = {
      {356, 1, 352},
      {356, 0, Stepped(352, 0.1, 1)},
      {330, 0, Stepped(352, 0.1, 1)},  // only the edge's bottom end lies in the wall
  };
  for (const Case& c : cases) {
    cStageHarness h(ContactStage({"H..", "#..", "..."}));
    g_SystemData.m_bLegacy912 = c.legacy;
    cProbeChara chara;
    MakeWalker(chara, 345, c.y);
    chara.m_dImpactX = 3;
    chara.m_dSpeedX = -2;
    EXPECT_EQ(TestBlockLeft(chara), 0);
    EXPECT_EQ(chara.m_dX, c.expectedX) << "y " << c.y << " legacy " << c.legacy;
    EXPECT_EQ(chara.m_dX2, chara.m_dX + 15);
    EXPECT_EQ(chara.m_bContactLeft, 1);
    EXPECT_EQ(chara.m_dToucherLeft, 0.0);
    EXPECT_EQ(chara.m_nLastWallSide, 0);
    EXPECT_EQ(chara.m_dImpactX, 0.0);
    EXPECT_EQ(chara.m_dSpeedX, -2.0);  // the speed is left alone
  }
}

// With the legacy rule the right edge ends on the last dot before the wall (x2 = 32k - 1); without
// it, 0.1 dot before the wall's boundary.
TEST(BlockContact, TheRightEdgeSnapsLeftOutOfAWall) {
  for (int legacy : {0, 1}) {
    cStageHarness h(ContactStage({"H..", "..#", "..."}));
    g_SystemData.m_bLegacy912 = legacy;
    cProbeChara chara;
    MakeWalker(chara, 370, 356);  // x2 = 385, a dot into the wall at 384
    EXPECT_EQ(TestBlockRight(chara), 0);
    EXPECT_EQ(chara.m_dX, legacy ? 368.0 : Stepped(369, -0.1, 1)) << legacy;
    EXPECT_EQ(chara.m_dX2, chara.m_dX + 15);
    if (legacy) {
      EXPECT_EQ(chara.m_dX2, 383.0);
    } else {
      EXPECT_GT(chara.m_dX2, 383.8);
      EXPECT_LT(chara.m_dX2, 384.0);
    }
    EXPECT_EQ(chara.m_bContactRight, 1);
    EXPECT_EQ(chara.m_nLastWallSide, 1);
  }
}

// A deadly block stops a computer-operated character as a wall does (with the whole-dot snap) and
// kills a player-operated one from any side; any block kills a character flying in mode 2; a
// character flying through blocks meets none.
TEST(BlockContact, DeadlyBlocksAndFlyingModesDecideTheSideContacts) {
  struct Case {
    const char* what;
    char block;
    int control;
    int flying;  // -1 walking, else the flight mode
    int result;
    double expectedX;
  };
  const Case cases[] = {
      {"computer into a deadly wall", 'D', 1, -1, 0, 368},
      {"player into a deadly wall", 'D', 0, -1, kContactFatal, 370},
      {"player into a solid wall", '#', 0, -1, 0, Stepped(369, -0.1, 1)},
      {"flying, dying on blocks", '#', 1, 2, kContactFatal, 370},
      {"flying, colliding", '#', 1, 1, 0, Stepped(369, -0.1, 1)},
      {"flying through blocks", 'D', 0, 0, 0, 370},
  };
  for (const Case& c : cases) {
    cStageHarness h(ContactStage({"H..", std::string("..") + c.block, "..."}));
    cProbeChara chara;
    MakeWalker(chara, 370, 356);
    chara.m_nControl = c.control;
    if (c.flying >= 0) SetFlying(chara, c.flying);
    EXPECT_EQ(TestBlockRight(chara), c.result) << c.what;
    EXPECT_EQ(chara.m_dX, c.expectedX) << c.what;
    EXPECT_EQ(chara.m_bContactRight, c.result == 0 && c.expectedX != 370 ? 1 : 0) << c.what;
  }
}

TEST(BlockContact, ACeilingStopsTheCharacterUnderTheCell) {
  struct Case {
    char block;
    int control;
    int result;
    double expectedY;
  };
  const Case cases[] = {{'#', 1, 0, 384}, {'D', 1, 0, 384}, {'#', 0, 0, 384}, {'D', 0, kContactFatal, 380}};
  for (const Case& c : cases) {
    cStageHarness h(ContactStage({"H..", std::string(1, c.block) + "..", "..."}));
    cProbeChara chara;
    MakeWalker(chara, 324, 380);  // the head 4 dots into the cell above
    chara.m_nControl = c.control;
    chara.m_dSpeedY = -5;
    EXPECT_EQ(TestBlockTop(chara), c.result) << c.block << c.control;
    EXPECT_EQ(chara.m_dY, c.expectedY) << c.block << c.control;
    if (c.result == 0) {
      EXPECT_EQ(chara.m_bContactTop, 1);
      EXPECT_EQ(chara.m_dSpeedY, 0.0);
      EXPECT_EQ(chara.m_bCeilingHit, 1);
    }
  }
}

// Landing puts the bottom edge on the last dot above the floor and ends the fall; a walker that
// rises does not land unless the project lands rising characters; a flyer always does.
TEST(BlockContact, TheBottomEdgeLandsOnTheFloorUnlessRising) {
  struct Case {
    const char* what;
    double speedY;
    int flying;
    int landWhileRising;
    bool lands;
  };
  const Case cases[] = {
      {"falling", 3, 0, 0, true},
      {"rising", -3, 0, 0, false},
      {"rising, landing while rising", -3, 0, 1, true},
      {"rising while flying", -3, 1, 0, true},
  };
  for (const Case& c : cases) {
    cStageHarness h(ContactStage({"H..", "...", "##."}));
    g_SystemData.m_bLegacy677 = c.landWhileRising;
    cProbeChara chara;
    MakeWalker(chara, 330, 366);  // y2 = 389, 6 dots into the floor
    if (c.flying) SetFlying(chara, 1);
    chara.m_dSpeedY = c.speedY;
    chara.m_nAirCount = 5;
    chara.m_bInAir = 1;
    EXPECT_EQ(TestBlockBottom(chara), 0) << c.what;
    EXPECT_EQ(chara.m_lpFloorBlock, &h.Cell(0, 2)) << c.what;  // the floor block is set either way
    EXPECT_EQ(chara.m_dY, c.lands ? 360.0 : 366.0) << c.what;
    EXPECT_EQ(chara.m_lpLandedBlock, c.lands ? &h.Cell(0, 2) : nullptr) << c.what;
    EXPECT_EQ(chara.m_bContactBottom, c.lands ? 1 : 0) << c.what;
    if (c.lands) {
      EXPECT_EQ(chara.m_dY2, 383.0);
      EXPECT_EQ(chara.m_dSpeedY, 0.0);
      EXPECT_EQ(chara.m_nAirCount, 0);
      EXPECT_EQ(chara.m_bInAir, 0);
    }
  }
}

// Across two floor blocks a computer-operated character takes the one under the left end of its
// bottom edge; a player-operated one the one under its middle. A deadly floor kills the player but
// is still its landed block.
TEST(BlockContact, TheFloorBlockOfAPlayerIsTheOneUnderItsMiddle) {
  cStageHarness h(ContactStage({"H..", "...", "#ED"}));
  cProbeChara computer;
  MakeWalker(computer, 345, 366);
  EXPECT_EQ(TestBlockBottom(computer), 0);
  EXPECT_EQ(computer.m_lpFloorBlock, &h.Cell(0, 2));
  cProbeChara player;
  MakeWalker(player, 345, 366);
  player.m_nControl = 0;
  EXPECT_EQ(TestBlockBottom(player), 0);
  EXPECT_EQ(player.m_lpFloorBlock, &h.Cell(1, 2));
  EXPECT_EQ(player.m_lpLandedBlock, &h.Cell(1, 2));
  cProbeChara doomed;
  MakeWalker(doomed, 390, 366);
  doomed.m_nControl = 0;
  EXPECT_EQ(TestBlockBottom(doomed), kContactFatal);
  EXPECT_EQ(doomed.m_lpLandedBlock, &h.Cell(2, 2));
  EXPECT_EQ(doomed.m_dY, 366.0);
}

// Without a floor the air counter grows; at 8n sub-steps a computer-operated character is in the air,
// a player-operated one only when it does not ride, and the hero is then ready to jump again.
TEST(BlockContact, EightNSubStepsWithoutFloorPutACharacterInTheAir) {
  for (int level : {1, 3}) {
    for (int control : {0, 1}) {
      for (int riding : {0, 1}) {
        cStageHarness h(ContactStage({"H..", "...", "..."}));
        h.SetHitCheckLevel(level);
        cProbeChara chara;
        MakeWalker(chara, 330, 340);
        chara.m_nControl = control;
        chara.m_bRiding = riding;
        chara.m_lpFloorBlock = &h.Cell(0, 0);
        h.Hero().m_bJumpReady = 0;
        for (int i = 1; i < 8 * level; ++i) EXPECT_EQ(TestBlockBottom(chara), 0);
        EXPECT_EQ(chara.m_nAirCount, 8 * level - 1);
        EXPECT_EQ(chara.m_lpFloorBlock, nullptr);
        EXPECT_EQ(chara.m_bInAir, 0);
        TestBlockBottom(chara);
        const bool inAir = control == 1 || !riding;
        EXPECT_EQ(chara.m_bInAir, inAir ? 1 : 0) << level << control << riding;
        EXPECT_EQ(h.Hero().m_bJumpReady, control == 0 && !riding ? 1 : 0) << level << control << riding;
      }
    }
  }
}

// A character between two walls (or a floor and a ceiling) ends on the side of the test made last:
// right then left while moving right or flying in mode 1, else left then right; bottom then top
// while falling or flying in mode 1, else top then bottom.
TEST(BlockContact, TheCombinedTestsRunTheirEdgesInTheirOrder) {
  struct Case {
    double speed;
    int flying;
    double expected;
  };
  const Case xCases[] = {{2, 0, 352}, {0, 0, 344}, {-2, 0, 344}, {-2, 1, 352}};
  for (const Case& c : xCases) {
    cStageHarness h(ContactStage({"H..", "#.#", "..."}));
    g_SystemData.m_bLegacy912 = 1;
    cProbeChara chara;
    MakeWalker(chara, 348, 356, 40, 24);  // both edges 4 and 3 dots into the walls
    if (c.flying) SetFlying(chara, 1);
    chara.m_dSpeedX = c.speed;
    EXPECT_EQ(TestBlocksX(chara), 0);
    EXPECT_EQ(chara.m_dX, c.expected) << c.speed << " flying " << c.flying;
    EXPECT_EQ(chara.m_bContactLeft + chara.m_bContactRight, 2);
  }
  const Case yCases[] = {{2, 0, 352}, {0, 0, 344}, {-2, 1, 352}};
  for (const Case& c : yCases) {
    cStageHarness h(ContactStage({"H#.", "...", ".#."}));
    cProbeChara chara;
    MakeWalker(chara, 356, 348, 16, 40);
    if (c.flying) SetFlying(chara, 1);
    chara.m_dSpeedY = c.speed;
    chara.m_lpFloorBlock = &h.Cell(0, 0);
    EXPECT_EQ(TestBlocksY(chara), 0);
    EXPECT_EQ(chara.m_dY, c.expected) << c.speed << " flying " << c.flying;
    EXPECT_EQ(chara.m_bContactTop + chara.m_bContactBottom, 2);
  }
  cStageHarness h(ContactStage({"H..", "#..", "..."}));
  cProbeChara chara;
  MakeWalker(chara, 345, 356);
  chara.m_nControl = 0;
  h.Cell(0, 1).m_nContact = 2;
  EXPECT_EQ(TestBlocksXRightFirst(chara), kContactFatal);
}

// The bottom-and-top test counts no air time; a rising walker that meets a floor skips the top line;
// a deadly floor sets the floor and landed blocks before it kills.
TEST(BlockContact, TheBottomTopTestCountsNoAirTime) {
  cStageHarness h(ContactStage({"H#.", "...", ".D."}));
  cProbeChara chara;
  MakeWalker(chara, 356, 360);
  chara.m_nAirCount = 3;
  EXPECT_EQ(TestBlocksBottomTop(chara), 0);
  EXPECT_EQ(chara.m_nAirCount, 3);

  cProbeChara riser;
  MakeWalker(riser, 356, 348, 16, 40);  // head in the ceiling, feet in the deadly floor
  riser.m_dSpeedY = -2;
  EXPECT_EQ(TestBlocksBottomTop(riser), 0);  // computer-operated: the floor is a floor
  EXPECT_EQ(riser.m_dY, 348.0);              // rising: neither landed nor stopped by the ceiling
  EXPECT_EQ(riser.m_lpFloorBlock, &h.Cell(1, 2));

  cProbeChara player;
  MakeWalker(player, 356, 348, 16, 40);
  player.m_nControl = 0;
  EXPECT_EQ(TestBlocksBottomTop(player), kContactFatal);
  EXPECT_EQ(player.m_lpFloorBlock, &h.Cell(1, 2));
  EXPECT_EQ(player.m_lpLandedBlock, &h.Cell(1, 2));
}

TEST(BlockContact, ACharacterFlyingThroughBlocksPassesEveryTest) {
  cStageHarness h(ContactStage({"H..", ".D.", "..."}));
  cProbeChara chara;
  MakeWalker(chara, 360, 360);
  chara.m_nControl = 0;
  SetFlying(chara, 0);
  chara.m_lpFloorBlock = &h.Cell(0, 0);
  for (int (*test)(cCharaBase&) : {TestBlockLeft, TestBlockRight, TestBlockTop, TestBlockBottom, TestBlocksX,
                                   TestBlocksXRightFirst, TestBlocksY, TestBlocksBottomTop})
    EXPECT_EQ(test(chara), 0);
  EXPECT_EQ(chara.m_dX, 360.0);
  EXPECT_EQ(chara.m_dY, 360.0);
  EXPECT_EQ(chara.m_lpFloorBlock, &h.Cell(0, 0));
  EXPECT_EQ(chara.m_bContactLeft + chara.m_bContactRight + chara.m_bContactTop + chara.m_bContactBottom, 0);
}

// A block passes a character of its pass group.
TEST(BlockContact, ABlockOfTheCharactersPassGroupIsNoWall) {
  cStageHarness h(ContactStage({"H..", "#..", "..."}));
  h.Cell(0, 1).m_nPassGroup = 4;
  cProbeChara chara;
  MakeWalker(chara, 345, 356);
  chara.m_nKind = 4;
  EXPECT_EQ(TestBlockLeft(chara), 0);
  EXPECT_EQ(chara.m_dX, 345.0);
  chara.m_nKind = 0;
  TestBlockLeft(chara);
  EXPECT_EQ(chara.m_dX, Stepped(352, 0.1, 1));
}

// Walls fire 11, 12 and 13 (left) or 14 (right); landing 11, 15, 17; a ceiling 11, 15, 16.
TEST(BlockContact, BlockContactsFireTheBlockFlows) {
  {
    cStageHarness h(ContactStage({"H..", "#.#", "..."}));
    cProbeChara chara;
    MakeWalker(chara, 345, 356);
    GiveTriggerFlows(chara, {11, 12, 13, 14, 15, 16, 17});
    TestBlockLeft(chara);
    EXPECT_EQ(FiredTriggers(h, 50), (std::vector<int>{11, 12, 13}));
    h.ClearTraces();
    SetBox(chara, 370, 356, 16, 24);
    TestBlockRight(chara);
    EXPECT_EQ(FiredTriggers(h, 50), (std::vector<int>{11, 12, 14}));
  }
  cStageHarness h(ContactStage({"H#.", "...", ".#."}));
  cProbeChara chara;
  MakeWalker(chara, 356, 348, 16, 40);
  GiveTriggerFlows(chara, {11, 12, 13, 14, 15, 16, 17});
  chara.m_dSpeedY = 2;
  TestBlocksY(chara);
  EXPECT_EQ(FiredTriggers(h, 50), (std::vector<int>{11, 15, 17, 11, 15, 16}));
}
