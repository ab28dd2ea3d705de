// The movement arithmetic of the movement commands: resolving direction codes (by facing and by
// input), velocities from a direction, an angle or a point, the command's angle and offsets, the
// ground turnaround at floor edges and off a ride, avoiding the screen edge, and applying a
// velocity with the facing, the acceleration mode and the move animation.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "data/flow_cmd.h"
#include "data/game_data.h"
#include "data/move_shot.h"
#include "data/play_mode.h"
#include "data/system_data.h"
#include "data/vocabulary_tables.h"
#include "motion_test_support.h"
#include "objects/chara.h"
#include "objects/flow_state.h"
#include "objects/play_objects.h"
#include "shell/input_state.h"
#include "test_support/fresh_play_objects.h"
#include "test_support/stage_harness.h"

namespace {

constexpr double kK = 0.7071067811865476;

// A character that turns with its movement (type field 31 clear).
cTestChara Turning(int facingRight, int gravityFree = 0) {
  cTestChara chara;
  chara.m_Type.m_nOpt31 = 0;
  chara.m_nFacing = facingRight;
  chara.m_bGravityFree = gravityFree;
  return chara;
}

std::vector<std::string> OpenMap(int columns, int rows) {
  std::vector<std::string> map(rows, std::string(columns, '.'));
  map[0][0] = 'H';
  return map;
}

}  // namespace

TEST(MoveCmd, DirectionCodesResolveByFacing) {
  cFreshPlayObjects fresh;
  struct Case {
    int code, right, left;
  };
  const Case cases[] = {
      {kMoveDirFront, kMoveDirRight, kMoveDirLeft},
      {kMoveDirBack, kMoveDirLeft, kMoveDirRight},
      {kMoveDirFrontY, kMoveDirDown, kMoveDirUp},
      {kMoveDirBackY, kMoveDirUp, kMoveDirDown},
      {kMoveDirLeft, kMoveDirLeft, kMoveDirLeft},
      {kMoveDirUp, kMoveDirUp, kMoveDirUp},
      {kMoveDirUpLeft, kMoveDirUpLeft, kMoveDirUpLeft},  // unchanged, walking too
      {13, 13, 13},
      {-1, -1, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Turning(1).ResolveDirection(c.code, 0, 1, 0), c.right) << c.code;
    EXPECT_EQ(Turning(0).ResolveDirection(c.code, 0, 1, 0), c.left) << c.code;
  }
}

// By input: the key the running flow held when it started (numpad-like codes 0-9), or with the
// input flag the key held now; diagonals become their side for a walker.
TEST(MoveCmd, DirectionByInput) {
  cStageHarness h(OpenMap(10, 3));
  cFlowState flow;
  struct Case {
    int key, keyArg, flying, facingRight, kind;
  };
  const Case cases[] = {
      {7, 1, 1, 0, kMoveDirUpRight},  {7, 1, 0, 0, kMoveDirRight}, {6, 1, 0, 1, kMoveDirLeft},
      {6, 1, 1, 1, kMoveDirDownLeft}, {3, 1, 0, 0, kMoveDirUp},    {0, 1, 0, 1, kMoveDirRight},
      {0, 1, 0, 0, kMoveDirLeft},                                   // no key: the facing
      {9, 0, 0, 1, kMoveDirRight},    {9, 1, 0, 1, kMoveDirFront},  // key 9 by the key argument
  };
  h.Stage().m_lpCurFlowState = &flow;
  for (const Case& c : cases) {
    flow.m_nStartKey = c.key;
    EXPECT_EQ(Turning(c.facingRight).ResolveDirection(kMoveDirInput, 0, c.keyArg, c.flying), c.kind)
        << c.key << c.keyArg;
  }
  // A replay of an old version maps key 9 as the key argument 1 did.
  g_nPlayMode = kPlayModeReplay;
  g_GameData.m_nReplayVersion = 700;
  flow.m_nStartKey = 9;
  EXPECT_EQ(Turning(1).ResolveDirection(kMoveDirInput, 0, 0, 0), kMoveDirFront);
  g_nPlayMode = kPlayModeFree;

  h.Stage().m_lpCurFlowState = nullptr;  // no flow running: no key
  EXPECT_EQ(Turning(1).ResolveDirection(kMoveDirInput, 0, 1, 0), kMoveDirRight);
  cInputState& input = g_InputStates[0];
  input.m_wDir = kDirUp | kDirLeft;
  input.UpdateKeyEvents();
  EXPECT_EQ(Turning(1).ResolveDirection(kMoveDirInput, 1, 1, 1), kMoveDirUpLeft);
  EXPECT_EQ(Turning(1).ResolveDirection(kMoveDirInput, 1, 1, 0), kMoveDirLeft);
}

TEST(MoveCmd, SpeedsForADirection) {
  cFreshPlayObjects fresh;
  struct Case {
    int code, flying;
    double vx, vy;
    int facing;
  };
  const Case cases[] = {
      {kMoveDirLeft, 0, -2, 0, 1},
      {kMoveDirRight, 0, 2, 0, 2},
      {kMoveDirUp, 0, 0, 0, 0},
      {kMoveDirUp, 1, 0, -2, 0},
      {kMoveDirDown, 1, 0, 2, 0},
      {kMoveDirUpLeft, 0, -2 * kK, 0, 1},
      {kMoveDirUpLeft, 1, -2 * kK, -2 * kK, 1},
      {kMoveDirDownLeft, 0, -2 * kK, 2 * kK, 1},
      {kMoveDirUpRight, 1, 2 * kK, -2 * kK, 2},
      {kMoveDirDownRight, 1, 2 * kK, 2 * kK, 2},
      {kMoveDirFront, 0, 2, 0, 2},
      {kMoveDirBack, 0, -2, 0, 1},
      {13, 0, 0, 0, 9},
      {kMoveDirInput, 0, 2, 0, 2},  // no flow running: the facing
  };
  for (const Case& c : cases) {
    cTestChara chara = Turning(1, c.flying);
    double vx = 5, vy = 5;
    int facing = 9;
    chara.SpeedsForDirection(vx, vy, facing, 2, c.code);
    EXPECT_DOUBLE_EQ(vx, c.vx) << c.code << " " << c.flying;
    EXPECT_DOUBLE_EQ(vy, c.vy) << c.code << " " << c.flying;
    EXPECT_EQ(facing, c.facing) << c.code << " " << c.flying;
  }
  cTestChara fixed = Turning(1);
  fixed.m_Type.m_nOpt31 = 1;  // a fixed facing never gets a facing result
  double vx, vy;
  int facing = 9;
  fixed.SpeedsForDirection(vx, vy, facing, 2, kMoveDirLeft);
  EXPECT_EQ(vx, -2);
  EXPECT_EQ(facing, 9);
}

TEST(MoveCmd, SpeedsForAnAngle) {
  cFreshPlayObjects fresh;
  struct Case {
    int code, angle, flying;
    double vx, vy;
    int facing;
  };
  const Case cases[] = {
      {kMoveDirRight, 0, 1, 2, 0, 2},
      {kMoveDirRight, 45, 1, 2 * kK, 2 * kK, 2},
      {kMoveDirRight, 45, 0, 2 * kK, 0, 2},
      {kMoveDirLeft, 90, 1, 0, -2, 1},
      {kMoveDirUp, 0, 1, 0, -2, 0},
      {kMoveDirDown, 0, 1, 0, 2, 0},
      {kMoveDirUpLeft, 0, 1, -2 * kK, -2 * kK, 1},
      {kMoveDirDownRight, 0, 1, 2 * kK, 2 * kK, 2},
      {13, 0, 1, -2, 0, 9},  // any other kind: base 0, facing unchanged
  };
  for (const Case& c : cases) {
    cTestChara chara = Turning(1, c.flying);
    double vx, vy;
    int facing = 9;
    chara.SpeedsForAngle(vx, vy, facing, 2, c.code, c.angle);
    EXPECT_NEAR(vx, c.vx, 1e-12) << c.code << " " << c.angle;
    EXPECT_NEAR(vy, c.vy, 1e-12) << c.code << " " << c.angle;
    EXPECT_EQ(facing, c.facing) << c.code << " " << c.angle;
  }
}

TEST(MoveCmd, TheCommandsAngleAndOffsets) {
  cFreshPlayObjects fresh;
  struct AngleCase {
    int clone, mirror, typeFacing, angle;
  };
  // M4 30 per clone, M3 100; the mirror reads the type's facing.
  const AngleCase angles[] = {{2, 1, 0, 160}, {2, 1, 1, 200}, {2, 0, 1, 160}, {20, 0, 0, 340}, {20, 1, 1, -340}};
  for (const AngleCase& c : angles) {
    cMoveCmd move;
    move.Settings().m_nAngle = 100;
    move.Settings().m_nAngleStep = 30;
    move.Settings().m_bAngleMirror = static_cast<int8_t>(c.mirror);
    cTestChara chara;
    chara.m_nClone = static_cast<int16_t>(c.clone);
    chara.m_Type.m_nFacing = static_cast<int8_t>(c.typeFacing);
    chara.m_nFacing = 1 - c.typeFacing;  // the current facing does not matter
    EXPECT_EQ(chara.CmdAngle(move.state), c.angle) << c.clone << c.mirror << c.typeFacing;
  }
  cMoveCmd big;
  big.Settings().m_nAngleStep = 32767;
  big.Settings().m_bAngleMirror = 0;
  cTestChara clone;
  clone.m_nClone = 32767;
  EXPECT_EQ(clone.CmdAngle(big.state), 32767 * 32767 % 360);

  struct OffsetCase {
    int unit, typeFacing, mirrorX, mirrorY, x, y;
  };
  // Cells (2, -1), dots (5, 3).
  const OffsetCase offsets[] = {
      {0, 0, 1, 1, 69, -29}, {1, 0, 1, 1, 7, 2},   {0, 1, 1, 0, -69, -29},
      {0, 1, 0, 1, 69, 29},  {2, 1, 1, 1, 11, 12},  // other units leave the offsets alone
  };
  for (const OffsetCase& c : offsets) {
    cMoveCmd move;
    move.Settings().m_nCellX = 2;
    move.Settings().m_nCellY = -1;
    move.Settings().m_nDotX = 5;
    move.Settings().m_nDotY = 3;
    move.Settings().m_nOffsetUnit = static_cast<int8_t>(c.unit);
    move.Settings().m_bMirrorX = static_cast<int8_t>(c.mirrorX);
    move.Settings().m_bMirrorY = static_cast<int8_t>(c.mirrorY);
    move.state.m_nOffsetX = 11;
    move.state.m_nOffsetY = 12;
    cTestChara chara;
    chara.m_Type.m_nFacing = static_cast<int8_t>(c.typeFacing);
    chara.CmdOffsets(move.state);
    EXPECT_EQ(move.state.m_nOffsetX, c.x) << c.unit << c.typeFacing << c.mirrorX << c.mirrorY;
    EXPECT_EQ(move.state.m_nOffsetY, c.y) << c.unit << c.typeFacing << c.mirrorX << c.mirrorY;
  }
}

// The graphic centre stands at (210, 110) on screen, (310, 160) in the map (scroll (100, 50)).
TEST(MoveCmd, SpeedsTowardAPoint) {
  cStageHarness h(OpenMap(10, 3));
  h.Stage().m_ScrollX.m_dPosition = 100;
  h.Stage().m_ScrollY.m_dPosition = 50;
  struct Case {
    const char* what;
    int from, unit, m6, m16, m15, m21;
    double tx, ty, vx, vy;
    int facing, steps;
  };
  const Case cases[] = {
      {"from the start point", 0, 0, 1, 0, 1, 0, 330, 180, 3, 4, 2, 10},
      {"from the start point, x not used", 0, 0, 0, 0, 1, 0, 330, 180, 0, 5, 0, 8},
      {"relative", 1, 0, 1, 0, 1, 0, 30, -40, 3, -4, 2, 10},
      {"map cells", 2, 0, 1, 0, 1, 0, 4, -136, 3, 4, 2, 10},
      {"map cells, dots", 2, 1, 1, 0, 1, 0, 20, -120, 3, 4, 2, 10},
      {"screen", 3, 0, 1, 0, 1, 0, 224, 134, 3, 4, 2, 10},
      {"x locked", 1, 0, 1, 1, 1, 0, -30, 40, 0, 4, 0, 10},
      {"no step count", 1, 0, 1, 0, 0, 0, -30, 40, -3, 4, 1, -7},
      {"within a step: stop", 0, 0, 1, 0, 1, 1, 302, 143, 0, 0, 0, 0},
      {"on the point", 1, 0, 1, 0, 1, 1, 0, 0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    cMoveCmd move;
    move.Settings().m_nM12 = static_cast<int8_t>(c.from);
    move.Settings().m_nOffsetUnit = static_cast<int8_t>(c.unit);
    move.Settings().m_nM6 = static_cast<int8_t>(c.m6);
    move.Settings().m_bLockX = static_cast<int8_t>(c.m16);
    move.Settings().m_nM15 = static_cast<int8_t>(c.m15);
    move.Settings().m_nM21 = static_cast<int8_t>(c.m21);
    cTestChara chara = Turning(0);
    chara.m_ScreenRect = {200, 100, 219, 119};
    chara.m_nGraphicWidth = chara.m_nGraphicHeight = 20;
    chara.m_dHomeX = 10;
    chara.m_dHomeY = 20;
    double vx = 9, vy = 9;
    int facing = 9, steps = -7;
    chara.PointSpeeds(vx, vy, facing, move.state, 5, c.tx, c.ty, steps);
    EXPECT_NEAR(vx, c.vx, 1e-12) << c.what;
    EXPECT_NEAR(vy, c.vy, 1e-12) << c.what;
    EXPECT_EQ(facing, c.facing) << c.what;
    EXPECT_EQ(steps, c.steps) << c.what;
  }
}

// A floor of stage cells 3-5 in row 2 (map cells 13-15, dots 384..415); the character stands on it.
TEST(MoveCmd, TheGroundTurnaroundTurnsAtFloorEdges) {
  cStageHarness h({"H.........", "..........", "...###...."});
  struct Case {
    double x;
    double speed;
    int legacy805, facing;
  };
  const Case cases[] = {
      {424, 2, 0, 0}, {500, 2, 0, 1},  {500, -2, 0, 2}, {500, -2, 1, 1},  // on it; at its right edge
      {404, 2, 0, 2}, {404, -2, 0, 1}, {404, -2, 1, 2}, {600, 2, 0, 0},   // at its left edge; off it
  };
  for (const Case& c : cases) {
    g_SystemData.m_bLegacy805 = c.legacy805;
    cTestChara chara = Turning(1);
    chara.Place(c.x, 368, 16, 16);
    cCmdState state;
    state.m_dSpeed = c.speed;
    state.m_dVelY = 3;
    chara.TurnaroundSpeeds(state);
    EXPECT_EQ(state.m_nFacing, c.facing) << c.x << " " << c.speed << " " << c.legacy805;
    EXPECT_EQ(state.m_dVelX, c.speed) << c.x;
    EXPECT_EQ(state.m_dVelY, 0);
  }
  // Far below the map the last row is tested.
  static_cast<cBlockType&>(h.Cell(3, 12)) = HarnessBlockType(1);
  cTestChara low = Turning(1);
  low.Place(13 * 32 + 20, 2000, 16, 16);
  cCmdState state;
  state.m_dSpeed = 2;
  low.TurnaroundSpeeds(state);
  EXPECT_EQ(state.m_nFacing, 1);
}

// Off a ride the character turns back, taking along what the ridden character moved since the ride
// began: twice when it moved against the new direction.
TEST(MoveCmd, TheGroundTurnaroundOffARide) {
  cStageHarness h({"H.C......."});
  cChara& ridden = h.Chara(0);
  ridden.m_nNumber = 77;
  struct Case {
    int facingRight, riddenId;
    double riddenX, vx;
    int facing;
  };
  // Speed 2; the ride began with the ridden character at x 497.
  const Case cases[] = {
      {1, 77, 500, -2 + 3, 1}, {1, 77, 494, -2 - 6, 1}, {0, 77, 500, 2 + 6, 2},
      {0, 77, 494, 2 - 3, 2},  {1, 78, 500, -2, 1},  // the ridden character is gone
  };
  for (const Case& c : cases) {
    ridden.m_dX = c.riddenX;
    cTestChara chara = Turning(c.facingRight);
    chara.m_bLeftRide = 1;
    chara.m_nRiddenId = c.riddenId;
    chara.m_PushRect.left = 497;
    cCmdState state;
    state.m_dSpeed = 2;
    chara.TurnaroundSpeeds(state);
    EXPECT_EQ(state.m_dVelX, c.vx) << c.facingRight << " " << c.riddenX;
    EXPECT_EQ(state.m_nFacing, c.facing);
    EXPECT_EQ(chara.m_bLeftRide, 0);
  }
}

// Scroll (100, 80) in a map of 1920 x 1600 dots: the view may scroll up to 1280 and 1120.
TEST(MoveCmd, AvoidingTheScreenEdge) {
  cStageHarness h(OpenMap(40, 30));
  struct Case {
    int code;
    double autoX;
    double scrollX;
    int left, right, top, bottom;
    double vx, vy;
  };
  const Case cases[] = {
      {kMoveDirLeft, 0, 100, 620, 640, 200, 220, -2, 0},
      {kMoveDirLeft, 0, 100, 600, 620, 200, 220, 0, 0},
      {kMoveDirRight, 0, 100, 0, 20, 200, 220, 2, 0},
      {kMoveDirRight, 0, 100, 20, 40, 200, 220, 0, 0},
      {kMoveDirUp, 0, 100, 300, 320, 460, 480, 0, -2},
      {kMoveDirDown, 0, 100, 300, 320, 0, 20, 0, 2},
      {kMoveDirUpLeft, 0, 100, 620, 640, 460, 480, -2, -2},
      {kMoveDirFront, 0, 100, 0, 20, 200, 220, 2, 0},
      {kMoveDirInput, 0, 100, 620, 640, 460, 480, 0, 0},  // no input case here
      // Auto-scroll 0.5: f = 1.5.
      {kMoveDirLeft, 0.5, 100, 607, 627, 200, 220, -1.5, 0},
      {kMoveDirLeft, 0.5, 100, 606, 626, 200, 220, 0, 0},
      {kMoveDirLeft, 0.5, 0, 607, 627, 200, 220, 0, 0},
      {kMoveDirRight, 0.5, 100, 13, 33, 200, 220, 2.5, 0},
      {kMoveDirRight, 0.5, 1280, 13, 33, 200, 220, 0, 0},
      {kMoveDirLeft, -0.5, 100, 608, 628, 200, 220, -2.5, 0},
      {kMoveDirLeft, -0.5, 100, 607, 627, 200, 220, 0, 0},
  };
  for (const Case& c : cases) {
    h.Stage().m_ScrollX.m_dAutoSpeed = c.autoX;
    h.Stage().m_ScrollX.m_bAtEdge = 0;
    h.Stage().m_ScrollX.m_dPosition = c.scrollX;
    h.Stage().m_ScrollY.m_dPosition = 80;
    cMoveCmd move;
    move.Settings().m_nDirection = static_cast<int8_t>(c.code);
    move.state.m_dSpeed = 2;
    cTestChara chara = Turning(1);
    chara.m_ScreenRect = {c.left, c.top, c.right, c.bottom};
    chara.AvoidScreenEdge(move.state);
    EXPECT_DOUBLE_EQ(move.state.m_dVelX, c.vx) << c.code << " " << c.autoX << " " << c.left;
    EXPECT_DOUBLE_EQ(move.state.m_dVelY, c.vy) << c.code << " " << c.autoX << " " << c.top;
  }
}

TEST(MoveCmd, ApplyingSetsTheFacingUnlessItIsFixed) {
  cFreshPlayObjects fresh;
  struct Case {
    int fixed, forced, m22, facingResult, facing;
  };
  // The character faces right (1) before.
  const Case cases[] = {
      {0, 0, 0, 1, 0}, {0, 0, 0, 2, 1}, {0, 0, 0, 0, 1}, {1, 0, 0, 1, 1},
      {1, 1, 0, 1, 0}, {0, 0, 1, 1, 1}, {1, 1, 1, 1, 1},
  };
  for (const Case& c : cases) {
    cMoveCmd move;
    move.Settings().m_nM22 = static_cast<int8_t>(c.m22);
    cTestChara chara = Turning(1);
    chara.m_Type.m_nOpt31 = static_cast<int8_t>(c.fixed);
    chara.m_dSpeedX = 1;
    chara.ApplyCmdVelocity(2, -3, c.facingResult, move.state, move.Settings(), c.forced);
    EXPECT_EQ(chara.m_nFacing, c.facing) << c.fixed << c.forced << c.m22 << c.facingResult;
    EXPECT_EQ(chara.m_dSpeedX, 3);
    EXPECT_EQ(chara.m_dSpeedY, -3);
  }
}

// In the acceleration mode (M31) a velocity of v dots per sub-step adds v / n / 60 to the impact,
// M33 times that against the impact's sense, within the state's second speed.
TEST(MoveCmd, TheAccelerationModeAcceleratesTheImpacts) {
  cFreshPlayObjects fresh;
  g_StageFile.SetHitCheckLevel(1);
  struct Case {
    double impact, v;
    double newImpact;
    int frictionFlag;
  };
  const Case cases[] = {
      {0, 6, 0.1, 0},    {0.45, 6, 0.5, 0}, {-0.2, 6, 0.0, 1},  // against its sense: x 2
      {0, -60, -0.5, 0}, {0.3, -3, 0.2, 1},
  };
  for (const Case& c : cases) {
    cMoveCmd move;
    move.Settings().m_bSecondSpeed = 1;
    move.Settings().m_dM33 = 2.0;
    move.state.m_dSpeed2 = 0.5;
    cTestChara chara = Turning(1);
    chara.m_dImpactX = chara.m_dImpactY = c.impact;
    chara.m_bFrictionX = chara.m_bFrictionY = 1;
    chara.ApplyCmdVelocity(c.v, c.v, 0, move.state, move.Settings(), 0);
    EXPECT_NEAR(chara.m_dImpactX, c.newImpact, 1e-12) << c.impact << " " << c.v;
    EXPECT_NEAR(chara.m_dImpactY, c.newImpact, 1e-12) << c.impact << " " << c.v;
    EXPECT_EQ(chara.m_bFrictionX, c.frictionFlag) << c.impact << " " << c.v;
    EXPECT_EQ(chara.m_bFrictionY, c.frictionFlag) << c.impact << " " << c.v;
    EXPECT_EQ(chara.m_dSpeedX, 0);
  }
}

TEST(MoveCmd, TheMoveAnimationRequest) {
  cFreshPlayObjects fresh;
  struct Case {
    int choice, flying, levelBefore;
    int result, level, anime;
  };
  const Case cases[] = {
      {0, 0, 0, 0, 2, 1}, {0, 1, 0, 1, 2, 3},  {0, 0, 2, 0, 2, 1},  {0, 0, 3, 2, 3, -1}, {1, 0, 0, 0, 1, 0},
      {1, 1, 1, 1, 1, 2}, {1, 0, 2, 1, 2, -1}, {2, 0, 0, 1, 0, -1}, {5, 0, 0, 4, 0, -1},  // the command's own
                                                                                          // animation: no request
  };
  for (const Case& c : cases) {
    cMoveCmd move;
    move.Settings().m_nAnimeChoice = static_cast<int8_t>(c.choice);
    cTestChara chara = Turning(1, c.flying);
    chara.m_nMoveLevel = c.levelBefore;
    chara.m_nMoveAnime = -1;
    EXPECT_EQ(chara.ApplyCmdVelocity(0, 0, 0, move.state, move.Settings(), 0), c.result)
        << c.choice << c.flying << c.levelBefore;
    EXPECT_EQ(chara.m_nMoveLevel, c.level) << c.choice << c.flying << c.levelBefore;
    EXPECT_EQ(chara.m_nMoveAnime, c.anime) << c.choice << c.flying << c.levelBefore;
    EXPECT_EQ(chara.m_bMoved, c.choice <= 1 ? 1 : 0);
  }
}
