// The action commands on the harness: the velocity each movement body hands to the character per
// call (tables of k calls per kind, at n = 1 and n = 2 or 4 where the sub-steps matter), change of
// direction once per frame, the jump's launch, disabling movement and the flow operation.
#include "flow/action_cmds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "data/move_shot.h"
#include "data/system_data.h"
#include "data/vocabulary_tables.h"
#include "flow/cmd_tables.h"
#include "media/sound/sound_effects.h"
#include "objects/chara.h"
#include "objects/flow_runner.h"
#include "objects/flow_state.h"
#include "objects/stage_hooks.h"
#include "objects/stage_state.h"
#include "test_support/flow_harness.h"
#include "test_support/hooks_guard.h"

namespace {

struct cVel {
  double x = 0.0;
  double y = 0.0;
};

class ActionCmds : public ::testing::Test {
 protected:
  ActionCmds() : h(std::vector<std::string>{"....................", "H..C....C...........", "####################"}) {
    cmd.m_pMove = std::make_shared<cEdMove>();
    cmd.m_pMove->m_bAngleMirror = 0;
    state.m_lpCmd = &cmd;
    Actor().UpdateScreenRect();
    Target().UpdateScreenRect();
  }

  cChara& Actor() { return h.Chara(0); }
  cChara& Target() { return h.Chara(1); }
  cEdMove& Move() { return *cmd.m_pMove; }

  // One call of the body: the speed it gives the character (which starts the call at rest).
  cVel Call(int (*body)(cCharaBase&, cCmdState&)) {
    Actor().m_dSpeedX = Actor().m_dSpeedY = 0.0;
    body(Actor(), state);
    return {Actor().m_dSpeedX, Actor().m_dSpeedY};
  }
  // k calls; the sum of the speeds (the way the character goes).
  cVel Travel(int (*body)(cCharaBase&, cCmdState&), int k) {
    cVel sum;
    for (int i = 0; i < k; ++i) {
      const cVel v = Call(body);
      sum.x += v.x;
      sum.y += v.y;
    }
    return sum;
  }

  cFlowHarness h;
  cFlowCmd cmd;
  cCmdState state;
};

struct StraightCase {
  const char* name;
  int direction;
  int angle;
  int moveKind;  // 0 by direction, 1 toward the offsets
  int flying;
  int lockX, lockY;
  int legacy773;
  cVel first;
};

TEST_F(ActionCmds, StraightMoveVelocities) {
  const double d = 2 * std::cos(std::numbers::pi / 4);
  const StraightCase cases[] = {
      {"right: the speed per call", kMoveDirRight, 0, 0, 0, 0, 0, 0, {2, 0}},
      {"left", kMoveDirLeft, 0, 0, 0, 0, 0, 0, {-2, 0}},
      {"up while walking: nothing vertical", kMoveDirUp, 0, 0, 0, 0, 0, 0, {0, 0}},
      {"up while flying", kMoveDirUp, 0, 0, 1, 0, 0, 0, {0, -2}},
      {"right turned by 45 while flying", kMoveDirRight, 45, 0, 1, 0, 0, 0, {d, d}},
      {"right turned by 45 while walking keeps to the ground", kMoveDirRight, 45, 0, 0, 0, 0, 0, {d, 0}},
      {"down-right with x locked", kMoveDirDownRight, 0, 0, 1, 1, 0, 0, {0, d}},
      {"down-right with y locked", kMoveDirDownRight, 0, 0, 1, 0, 1, 0, {d, 0}},
      {"locks ignored under 773", kMoveDirDownRight, 0, 0, 1, 1, 1, 1, {d, d}},
      {"toward a point 3 dots right, 4 down", kMoveDirRight, 0, 1, 1, 0, 0, 0, {1.2, 1.6}},
  };
  for (const StraightCase& c : cases) {
    SCOPED_TRACE(c.name);
    state = cCmdState();
    state.m_lpCmd = &cmd;
    state.m_dSpeed = 2;
    state.m_nDirection = static_cast<uint8_t>(c.direction);
    Move() = cEdMove();
    Move().m_bAngleMirror = 0;
    Move().m_nAngle = static_cast<int16_t>(c.angle);
    Move().m_nMoveKind = static_cast<int8_t>(c.moveKind);
    Move().m_nM12 = 1;  // relative offsets
    Move().m_nOffsetUnit = 1;
    Move().m_nDotX = 3;
    Move().m_nDotY = 4;
    Move().m_bMirrorX = 0;
    Move().m_bLockX = static_cast<int8_t>(c.lockX);
    Move().m_bLockY = static_cast<int8_t>(c.lockY);
    g_SystemData.m_bLegacy773 = c.legacy773;
    Actor().m_bGravityFree = c.flying;
    for (int k = 0; k < 3; ++k) {
      const cVel v = Call(CmdStraightMove);
      EXPECT_NEAR(v.x, c.first.x, 1e-9) << "call " << k;
      EXPECT_NEAR(v.y, c.first.y, 1e-9) << "call " << k;
    }
    EXPECT_EQ(Actor().m_bMoved, 1);
  }
}

TEST_F(ActionCmds, StraightMoveTurnsWithAFixedFacing) {
  state.m_dSpeed = 1;
  state.m_nDirection = kMoveDirRight;
  Actor().m_Type.m_nOpt31 = 1;  // facing fixed
  Actor().m_nFacing = 0;
  EXPECT_DOUBLE_EQ(Call(CmdStraightMove).x, 1);
  EXPECT_DOUBLE_EQ(Call(CmdStraightMove).x, 1);
  Actor().m_nFacing = 1;  // turned round by something else
  EXPECT_DOUBLE_EQ(Call(CmdStraightMove).x, -1);
  EXPECT_DOUBLE_EQ(Call(CmdStraightMove).x, -1);  // only the change reverses
  Move().m_bTurnWithFacing = 0;
  Actor().m_nFacing = 0;
  EXPECT_DOUBLE_EQ(Call(CmdStraightMove).x, -1);
  // The command lets go of a fixed screen position.
  Actor().m_bFixedScreenX = Actor().m_bFixedScreenY = 1;
  Call(CmdStraightMove);
  EXPECT_EQ(Actor().m_bFixedScreenX + Actor().m_bFixedScreenY, 0);
}

TEST_F(ActionCmds, GroundTurnaround) {
  state.m_dSpeed = 1.5;
  Actor().m_nFacing = 0;
  Actor().m_bInAir = 0;
  EXPECT_DOUBLE_EQ(Call(CmdTurnaroundMove).x, -1.5);
  Actor().m_nFacing = 1;
  EXPECT_DOUBLE_EQ(Call(CmdTurnaroundMove).x, 1.5);
  // Knocked back: the way it faces, whatever is below.
  Actor().m_dKnockX = -3;
  EXPECT_DOUBLE_EQ(Call(CmdTurnaroundMove).x, 1.5);
  EXPECT_EQ(Actor().m_nFacing, 1);
  Actor().m_dKnockX = 0;
  // Flying: nothing.
  Actor().m_bGravityFree = 1;
  Actor().m_bMoved = 0;
  const cVel v = Call(CmdTurnaroundMove);
  EXPECT_EQ(v.x, 0);
  EXPECT_EQ(Actor().m_bMoved, 0);
}

struct CircleCase {
  const char* name;
  int n;
  int sense;  // direction code
  int facing;
  int flying;
  int steps;  // sub-steps covering 90 degrees x quarters
  double dx, dy;
  double tolerance;
};

TEST_F(ActionCmds, CircleMoveGoesRoundItsRadius) {
  // Radius 2 half blocks (32 dots), from angle 0 to 90 over the command's duration: a quarter
  // turn from the bottom of the circle (clockwise) or its top (anticlockwise), whatever n.
  const CircleCase cases[] = {
      {"clockwise quarter, n = 1", 1, 0, 0, 1, 90, -32, -32, 0.5},
      {"clockwise quarter, n = 2", 2, 0, 0, 1, 180, -32, -32, 0.5},
      {"clockwise quarter, n = 4", 4, 0, 0, 1, 360, -32, -32, 0.5},
      {"anticlockwise quarter", 1, 1, 0, 1, 90, -32, 32, 0.5},
      {"facing left: clockwise", 1, 2, 0, 1, 90, -32, -32, 0.5},
      {"facing right: anticlockwise", 1, 2, 1, 1, 90, -32, 32, 0.5},
      {"code 3 facing left: anticlockwise", 1, 3, 0, 1, 90, -32, 32, 0.5},
      {"a whole turn comes back", 1, 0, 0, 1, 360, 0, 0, 1e-9},
      {"a whole turn at n = 4", 4, 1, 0, 1, 1440, 0, 0, 1e-9},
      {"walking swings along x only", 1, 0, 0, 0, 90, -32, 0, 0.5},
  };
  for (const CircleCase& c : cases) {
    SCOPED_TRACE(c.name);
    h.SetHitCheckLevel(c.n);
    Actor().m_nFacing = c.facing;
    Actor().m_bGravityFree = c.flying;
    Actor().m_Type.m_nFacing = 0;
    Move() = cEdMove();
    Move().m_nM29 = 2;   // radius in half blocks
    Move().m_nM26 = 90;  // end angle
    cmd.m_nKind = 4;
    state = cCmdState();
    state.m_lpCmd = &cmd;
    state.m_nDirection = static_cast<uint8_t>(c.sense);
    state.m_nDuration = 90 * c.n;
    InitCmdStateOfKind(state, Actor());
    EXPECT_EQ(state.m_nRadius, 32 * c.n);
    EXPECT_DOUBLE_EQ(state.m_dSpeed, 1.0 / c.n);  // degrees x n per sub-step, over n
    const cVel first = Call(CmdCircleMove);
    EXPECT_NEAR(first.x, -32 * std::numbers::pi / 180 / c.n, 1e-9);  // the bottom or top moves left first
    const cVel rest = Travel(CmdCircleMove, c.steps - 1);
    EXPECT_NEAR(first.x + rest.x, c.dx, c.tolerance);
    EXPECT_NEAR(first.y + rest.y, c.dy, c.tolerance);
  }
}

TEST_F(ActionCmds, CircleMoveWithoutRadiusOrSpeedStands) {
  state.m_dSpeed = 1;
  state.m_nRadius = 0;
  Actor().m_bMoved = 0;
  const cVel none = Call(CmdCircleMove);
  EXPECT_EQ(none.x, 0);
  EXPECT_EQ(Actor().m_bMoved, 0);
  state.m_nRadius = 32;
  state.m_dSpeed = 0;
  const cVel still = Travel(CmdCircleMove, 5);
  EXPECT_EQ(still.x, 0);
  EXPECT_EQ(still.y, 0);
  EXPECT_TRUE(std::isfinite(state.m_dPhaseX));
}

TEST_F(ActionCmds, ChargeAimsOnceAtItsTarget) {
  state.m_dSpeed = 3;
  Move().m_nM35 = 1;  // "ターゲット2"
  // Without a target: standing.
  EXPECT_EQ(Call(CmdChargeMove).x, 0);
  EXPECT_EQ(Travel(CmdChargeMove, 3).x, 0);

  struct ChargeCase {
    const char* name;
    int flying;
    int angle;
    int legacy728;
    cVel v;
  };
  const ChargeCase cases[] = {
      {"walking toward a target on the right", 0, 0, 0, {3, 0}},
      {"flying at the same height", 1, 0, 0, {3, 0}},
      {"flying, turned by 90", 1, 90, 0, {0, 3}},
      {"flying, turned by 90 under 728", 1, 90, 1, {0, 3}},
      {"flying, turned by 45", 1, 45, 0, {1.5 * std::sqrt(2.0), 1.5 * std::sqrt(2.0)}},
      {"flying, turned by 45 under 728: measured from the other axis",
       1,
       45,
       1,
       {-1.5 * std::sqrt(2.0), 1.5 * std::sqrt(2.0)}},
      {"walking, turned by 90: no vertical part", 0, 90, 0, {0, 0}},
  };
  Actor().SetTarget(1, &Target());
  for (const ChargeCase& c : cases) {
    SCOPED_TRACE(c.name);
    state = cCmdState();
    state.m_lpCmd = &cmd;
    state.m_dSpeed = 3;
    Move().m_nAngle = static_cast<int16_t>(c.angle);
    g_SystemData.m_bLegacy728 = c.legacy728;
    Actor().m_bGravityFree = c.flying;
    const cVel v = Call(CmdChargeMove);
    EXPECT_NEAR(v.x, c.v.x, 1e-9);
    EXPECT_NEAR(v.y, c.v.y, 1e-9);
    // The target goes behind it: the charge keeps its course.
    Target().m_dX -= 400;
    Target().UpdateScreenRect();
    const cVel later = Call(CmdChargeMove);
    EXPECT_NEAR(later.x, c.v.x, 1e-9);
    Target().m_dX += 400;
    Target().UpdateScreenRect();
  }
  // A defeated target: nothing.
  state = cCmdState();
  state.m_lpCmd = &cmd;
  state.m_dSpeed = 3;
  Target().m_bDead = 1;
  EXPECT_EQ(Call(CmdChargeMove).x, 0);
}

TEST_F(ActionCmds, HomingFollowsTheTargetOfAnIntervalBefore) {
  Actor().SetTarget(0, &Target());
  Actor().m_bGravityFree = 0;
  state.m_dSpeed = 1;
  // The target is right of the actor for calls 0-2 and jumps to its left at call 3.
  auto run = [&](int interval) {
    state = cCmdState();
    state.m_lpCmd = &cmd;
    state.m_dSpeed = 1;
    state.m_nInterval = interval;
    const double home = Target().m_dX;
    std::vector<double> vx;
    for (int k = 0; k < 12; ++k) {
      Target().m_dX = k < 3 ? home : home - 600;
      Target().UpdateScreenRect();
      vx.push_back(Call(CmdHomingMove).x);
    }
    Target().m_dX = home;
    Target().UpdateScreenRect();
    return vx;
  };
  EXPECT_EQ(run(0), (std::vector<double>{1, 1, 1, -1, -1, -1, -1, -1, -1, -1, -1, -1}));
  // Every 5 calls it re-aims at the place sampled 5 calls earlier: at call 5 still the right.
  EXPECT_EQ(run(5), (std::vector<double>{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, -1, -1}));
  // A negative interval counts as none.
  EXPECT_EQ(run(-4)[3], -1);
  // Flying: toward the target's point in both axes.
  Actor().m_bGravityFree = 1;
  state = cCmdState();
  state.m_lpCmd = &cmd;
  state.m_dSpeed = 5;
  Target().m_dY = Actor().m_dY;
  Target().m_dX = Actor().m_dX + 30;
  Target().m_dY += 40;
  Target().UpdateScreenRect();
  const cVel v = Call(CmdHomingMove);
  EXPECT_NEAR(v.x, 3, 1e-9);
  EXPECT_NEAR(v.y, 4, 1e-9);
  // Without a living target: nothing.
  Target().m_bDead = 1;
  EXPECT_EQ(Call(CmdHomingMove).x, 0);
}

TEST_F(ActionCmds, AvoidEdgeAndDisableMove) {
  state.m_dSpeed = 2;
  Move().m_nDirection = kMoveDirLeft;
  Actor().m_ScreenRect.left = 620;
  Actor().m_ScreenRect.right = 651;
  EXPECT_DOUBLE_EQ(Call(CmdAvoidEdgeMove).x, -2);
  Actor().m_ScreenRect.left = 300;
  Actor().m_ScreenRect.right = 331;
  EXPECT_DOUBLE_EQ(Call(CmdAvoidEdgeMove).x, 0);
  EXPECT_EQ(state.m_nCalls, 2);

  cChara& a = Actor();
  a.m_dSpeedX = a.m_dSpeedY = a.m_dImpactX = a.m_dImpactY = a.m_dKnockX = a.m_dKnockY = 3;
  a.m_bFixedScreenX = a.m_bFixedScreenY = 1;
  a.m_bKnockStarted = 1;
  CmdDisableMove(a, state);
  EXPECT_EQ(a.m_dSpeedX + a.m_dSpeedY + a.m_dImpactX + a.m_dImpactY + a.m_dKnockX + a.m_dKnockY, 0);
  EXPECT_EQ(a.m_bFixedScreenX + a.m_bFixedScreenY, 0);
  EXPECT_EQ(a.m_bMoveDisabled, 1);
}

struct DirectionCase {
  int row;
  int startFacing;
  int facing;
};

TEST_F(ActionCmds, ChangeDirectionOncePerFrame) {
  Actor().SetTarget(2, &Target());  // "ターゲット3", to the right
  Actor().m_nLastWallSide = 1;
  cmd.m_nSound = 3;
  const DirectionCase cases[] = {
      {0, 1, 0},  {1, 0, 1},  {6, 0, 1}, {7, 1, 0}, {2, 1, 0}, {3, 0, 1},  // target 1 is the hero, on the left
      {4, 1, 1},  {5, 0, 0},                                               // target 2 empty: unchanged
      {10, 0, 1}, {11, 1, 0},                                              // the last block touched was on the right
  };
  for (int n : {1, 4}) {
    h.SetHitCheckLevel(n);
    for (const DirectionCase& c : cases) {
      SCOPED_TRACE(::testing::Message() << "n " << n << " row " << c.row);
      cmd.m_anParams = {c.row};
      state = cCmdState();
      state.m_lpCmd = &cmd;
      h.ClearTraces();
      Actor().m_nFacing = c.startFacing;
      Actor().m_Type.m_nOpt31 = 1;
      for (int k = 0; k < 2 * n; ++k) CmdChangeDirection(Actor(), state);
      EXPECT_EQ(Actor().m_nFacing, c.facing);
      // Once per frame: two frames, two sounds, whatever n.
      EXPECT_EQ(h.Sounds(), (std::vector<int>{3 + kDataSoundSlotBase, 3 + kDataSoundSlotBase}));
    }
  }
  // A facing that follows the moves is not turned and plays nothing.
  h.ClearTraces();
  Actor().m_Type.m_nOpt31 = 0;
  Actor().m_nFacing = 0;
  cmd.m_anParams = {1};
  CmdChangeDirection(Actor(), state);
  EXPECT_EQ(Actor().m_nFacing, 0);
  EXPECT_TRUE(h.Sounds().empty());
}

TEST_F(ActionCmds, CommandSoundFollowsTheOnScreenRule) {
  cmd.m_nSound = 2;
  cmd.m_bSoundOnScreen = 1;
  Actor().m_bOnScreen = 0;
  PlayCmdSound(Actor(), cmd, 1);
  EXPECT_TRUE(h.Sounds().empty());
  PlayCmdSound(Actor(), cmd, 0);
  Actor().m_bOnScreen = 1;
  PlayCmdSound(Actor(), cmd, 1);
  cmd.m_bSoundOnScreen = 0;
  Actor().m_bOnScreen = 0;
  PlayCmdSound(Actor(), cmd, 1);
  EXPECT_EQ(h.Sounds().size(), 3u);
}

TEST_F(ActionCmds, JumpLaunchesFromTheGround) {
  state.m_dSpeed = -6;
  Actor().m_bInAir = 0;
  Actor().m_bTookOff = 0;
  Actor().m_bFixedScreenX = 1;
  CmdJump(Actor(), state);
  EXPECT_EQ(Actor().m_dSpeedY, -6);
  EXPECT_EQ(state.m_bLaunched, 1);
  EXPECT_EQ(state.m_nCalls, 1);
  EXPECT_EQ(Actor().m_bFixedScreenX, 0);
}

// The flow operation on the actor's three flows (ids 1, 2, 2), the first of which runs it, and on
// its target's.
class FlowOperation : public ActionCmds {
 protected:
  FlowOperation() {
    cmd.m_nKind = 16;
    for (cChara* c : {&Actor(), &Target()}) {
      c->m_Type.m_aFlows.clear();
      for (int id : {1, 2, 2}) {
        cFlow flow;
        flow.m_nFlowId = static_cast<int8_t>(id);
        flow.m_aCmds.resize(1);
        flow.m_aCmds[0].m_nKind = 1;
        flow.m_aCmds[0].m_nUseTime = 10;
        c->m_Type.m_aFlows.push_back(flow);
      }
      InstallFlows(*c, c->m_Type.m_aFlows, 0, -1);
      for (cFlowState& s : c->m_aFlowStates) s.m_bRunning = 1;
    }
    h.Stage().m_lpCurObject = &Actor();
    h.Stage().m_lpCurFlowState = &Actor().m_aFlowStates[0];
    h.Stage().m_lpFlowVars = flowVars;
  }

  int Op(int operation, int which, int id = 0, int whose = 0, int store = 1) {
    cmd.m_anParams = {operation, which, id, whose, store};
    flowVars[0] = flowVars[1] = 0;
    return CmdFlowOp(Actor(), state);
  }
  static std::vector<int> Running(const cChara& c) {
    std::vector<int> r;
    for (const cFlowState& s : c.m_aFlowStates) r.push_back(s.m_bRunning);
    return r;
  }

  int32_t flowVars[2] = {};
};

TEST_F(FlowOperation, WhichFlowsAndWhatHappens) {
  Op(1, 1);  // "終了", "このフロー以外全て"
  EXPECT_EQ(Running(Actor()), (std::vector<int>{1, 0, 0}));
  EXPECT_EQ(flowVars[0], 1);
  Op(0, 2, 2);  // "開始" the flows of id 2
  EXPECT_EQ(Running(Actor()), (std::vector<int>{1, 1, 1}));
  Op(2, 2, 2);  // "一時停止"
  EXPECT_EQ(Actor().m_aFlowStates[1].m_bSuspended + Actor().m_aFlowStates[2].m_bSuspended, 2);
  EXPECT_EQ(Actor().m_aFlowStates[0].m_bSuspended, 0);
  Op(3, 2, 2);  // "再開"
  EXPECT_EQ(Actor().m_aFlowStates[1].m_bSuspended, 0);
  Op(5, 0);  // "永久停止" this flow
  EXPECT_EQ(Actor().m_aFlowStates[0].m_bHalted, 1);
  Op(1, 0, 0, 0, 0);  // "終了" this flow, no result
  EXPECT_EQ(Running(Actor()), (std::vector<int>{0, 1, 1}));
  EXPECT_EQ(flowVars[0], 0);
  // Id 0 names no flow.
  Op(1, 2, 0);
  EXPECT_EQ(Running(Actor()), (std::vector<int>{0, 1, 1}));
}

TEST_F(FlowOperation, RemovalOwnLaterOthersAtOnce) {
  Op(4, 2, 2);  // "削除" own flows of id 2: flagged
  EXPECT_EQ(Actor().m_aFlowStates.size(), 3u);
  EXPECT_EQ(Actor().m_aFlowStates[1].m_bRemove + Actor().m_aFlowStates[2].m_bRemove, 2);
  EXPECT_EQ(Actor().m_bRemovePending, 1);
  Actor().SetTarget(3, &Target());
  Op(4, 2, 2, 4);  // the same on "ターゲット4": removed at once
  ASSERT_EQ(Target().m_aFlowStates.size(), 1u);
  EXPECT_EQ(Target().m_aFlowStates[0].m_lpFlow->m_nFlowId, 1);
  EXPECT_EQ(flowVars[0], 1);
  Op(1, 2, 1, 4);  // "終了" of the target's id-1 flow
  EXPECT_EQ(Target().m_aFlowStates[0].m_bRunning, 0);
}

TEST_F(FlowOperation, RefusedWithoutTargetOrConditions) {
  Op(1, 2, 1, 2);  // "ターゲット2" is empty
  EXPECT_EQ(flowVars[0], 2);
  EXPECT_EQ(Running(Actor()), (std::vector<int>{1, 1, 1}));
  // A condition list in use: the command runs only when it holds.
  static bool s_bHolds = false;
  cStageHooks hooks = SetStageHooks(cStageHooks());
  SetStageHooks(hooks);
  hooks.evalConditionList = [](std::vector<cCond>&, int, cCharaBase*, int32_t*) { return s_bHolds; };
  cHooksGuard<cStageHooks> guard(SetStageHooks, hooks);
  cmd.m_pCondList = std::make_shared<cCondList>();
  cmd.m_pCondList->m_bUse = 1;
  Op(1, 1);
  EXPECT_EQ(flowVars[0], 2);
  EXPECT_EQ(Running(Actor()), (std::vector<int>{1, 1, 1}));
  s_bHolds = true;
  Op(1, 1);
  EXPECT_EQ(flowVars[0], 1);
  EXPECT_EQ(Running(Actor()), (std::vector<int>{1, 0, 0}));
  // Not in use: it runs whatever the conditions.
  s_bHolds = false;
  cmd.m_pCondList->m_bUse = 0;
  Op(0, 1);
  EXPECT_EQ(Running(Actor()), (std::vector<int>{1, 1, 1}));
}

}  // namespace
