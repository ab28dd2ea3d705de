// Running flows with command bodies of the test's own: the frontier of run-on and holding commands,
// abort, the message continuation flag, the before-stage-start run, stop, suspend and halt with the
// id release, preparing and running a command, the refusal of kinds outside the table, and the
// flow context left as it was found around nested triggers and steps.
#include <gtest/gtest.h>

#include <vector>

#include "core/log.h"
#include "data/system_data.h"
#include "objects/chara.h"
#include "objects/flow_runner.h"
#include "objects/flow_test_support.h"
#include "test_support/fresh_play_objects.h"

namespace {

// Kinds used as plain bodies: none of them is a message, arrange or repeat.
constexpr int kWait = 1;
constexpr int kMove = 2;
constexpr int kStageClear = 17;
constexpr int kStatusOp = 22;
constexpr int kCode = 37;
constexpr int kMessage = 19;
constexpr int kArrange = 38;

class FlowRunnerTest : public cFlowTest {
 protected:
  // Starts flow i as a trigger would (the character published) and returns it.
  cFlowState& Start(int i) {
    m_Stage.m_lpCurObject = &m_Chara;
    StartFlow(State(i));
    m_Stage.m_lpCurObject = nullptr;
    return State(i);
  }

  int Step(int i) {
    m_Stage.m_lpCurObject = &m_Chara;
    const int finished = StepFlow(State(i));
    m_Stage.m_lpCurObject = nullptr;
    return finished;
  }
};

std::vector<int32_t> MessageParams(int waitMode, int erase) {
  std::vector<int32_t> p(21, 0);
  p[6] = waitMode;
  p[15] = erase;
  p[8] = 1;
  return p;
}

}  // namespace

TEST_F(FlowRunnerTest, AFinishedHoldingCommandEndsTheStep) {
  const int i = AddHandMadeFlow(m_Chara, {{kWait, 0, 0}, {kStatusOp, 0, 0}});
  Start(i);
  EXPECT_EQ(Step(i), 0);
  EXPECT_EQ(m_Bodies.Kinds(), (std::vector<int>{kWait}));
  EXPECT_EQ(State(i).m_nFrontier, 1);
  EXPECT_EQ(State(i).m_nStepsRun, 1);
  EXPECT_EQ(Step(i), 1);
  EXPECT_EQ(m_Bodies.Kinds(), (std::vector<int>{kWait, kStatusOp}));
}

TEST_F(FlowRunnerTest, ARunOnCommandLetsTheNextOneRunInTheSameStep) {
  const int i = AddHandMadeFlow(m_Chara, {{kMove, 1, 3}, {kStatusOp, 0, 0}});
  Start(i);
  // The last command is done: the flow has finished, the move notwithstanding.
  EXPECT_EQ(Step(i), 1);
  EXPECT_EQ(m_Bodies.Kinds(), (std::vector<int>{kMove, kStatusOp}));
}

TEST_F(FlowRunnerTest, RunOnCommandsKeepRunningBehindTheFrontier) {
  const int i = AddHandMadeFlow(m_Chara, {{kMove, 1, 3}, {kWait, 0, 2}, {kStatusOp, 0, 0}});
  Start(i);
  EXPECT_EQ(Step(i), 0);
  EXPECT_EQ(Step(i), 0);
  EXPECT_EQ(State(i).m_nFrontier, 2);
  EXPECT_EQ(Step(i), 1);
  EXPECT_EQ(m_Bodies.Kinds(), (std::vector<int>{kMove, kWait, kMove, kWait, kMove, kStatusOp}));
  EXPECT_EQ(State(i).m_nStepsRun, 2);
}

TEST_F(FlowRunnerTest, ACommandRunsOncePerStepForItsDuration) {
  const int i = AddHandMadeFlow(m_Chara, {{kStatusOp, 0, 3}});
  Start(i);
  EXPECT_EQ(Step(i), 0);
  EXPECT_EQ(State(i).m_aCmdStates[0].m_nRemaining, 2);
  EXPECT_EQ(Step(i), 0);
  EXPECT_EQ(Step(i), 1);
  EXPECT_EQ(m_Bodies.m_Calls.size(), 3u);
  // Durations of 0 or less run once.
  for (int duration : {0, -5}) {
    cCmdState cmd = State(i).m_aCmdStates[0];
    cmd.m_nDuration = duration;
    PrepareCmd(cmd);
    EXPECT_EQ(RunCmd(cmd), 1);
    EXPECT_EQ(cmd.m_nRemaining, 0);
  }
}

TEST_F(FlowRunnerTest, AbortEndsTheStepAtOnce) {
  const int i = AddHandMadeFlow(m_Chara, {{kCode, 1, 0}, {kStatusOp, 0, 0}});
  m_Bodies.m_Action = [](cCharaBase&, cCmdState& cmd) {
    if (cmd.m_lpCmd->m_nKind == kCode) g_lpSceneStage->m_lpCurFlowState->m_bAbort = 1;
  };
  Start(i);
  EXPECT_EQ(Step(i), 0);
  EXPECT_EQ(m_Bodies.Kinds(), (std::vector<int>{kCode}));
  EXPECT_EQ(State(i).m_nStepsRun, 0);
  EXPECT_EQ(Step(i), 1);  // the run-on command was done; abort is cleared for the next step
  EXPECT_EQ(m_Bodies.Kinds(), (std::vector<int>{kCode, kStatusOp}));

  // A holding command that aborts before it is done.
  const int j = AddHandMadeFlow(m_Chara, {{kCode, 0, 4}, {kStatusOp, 0, 0}});
  Start(j);
  EXPECT_EQ(Step(j), 0);
  EXPECT_EQ(State(j).m_nStepsRun, 0);
  EXPECT_EQ(State(j).m_nFrontier, 0);
}

TEST_F(FlowRunnerTest, AKeyWaitingMessageIsTheNextMessagesContinuation) {
  const int i = AddHandMadeFlow(m_Chara, {{kMessage, 0, 0, MessageParams(0, 0)}, {kMove, 1, 5}, {kStatusOp, 0, 0}});
  std::vector<int> seen;
  m_Bodies.m_Action = [&](cCharaBase&, cCmdState&) { seen.push_back(g_lpSceneStage->m_lpCurFlowState->m_bMesWait); };
  Start(i);
  Step(i);
  EXPECT_EQ(State(i).m_bMesWait, 1);
  Step(i);
  // Preparing a run-on command keeps the flag; preparing a holding one clears it.
  EXPECT_EQ(seen, (std::vector<int>{0, 1, 0}));

  // A message that waits for its display time (wait mode 2) is no continuation.
  const int j = AddHandMadeFlow(m_Chara, {{kMessage, 0, 0, MessageParams(2, 0)}, {kStatusOp, 0, 0}});
  Start(j);
  Step(j);
  EXPECT_EQ(State(j).m_bMesWait, 0);
}

TEST_F(FlowRunnerTest, KindsOutsideTheTableAreRefused) {
  for (int kind : {-1, -128, 40, 127, 0, 39}) {
    cFlowCmd record;
    record.m_nKind = static_cast<int8_t>(kind);
    cCmdState cmd;
    cmd.m_lpCmd = &record;
    m_Bodies.m_Calls.clear();
    DispatchCmd(m_Chara, cmd);
    EXPECT_EQ(m_Bodies.m_Calls.size(), kind >= 0 && kind < 40 ? 1u : 0u) << kind;
  }
  cCmdState empty;
  DispatchCmd(m_Chara, empty);
}

TEST_F(FlowRunnerTest, PreparingResetsTheWorkingValuesAndAppliesTheArrangeList) {
  const int i = AddHandMadeFlow(m_Chara, {{kStatusOp, 0, 7}, {kArrange, 0, 0}});
  cCmdState& cmd = State(i).m_aCmdStates[0];
  cmd.m_bDone = 1;
  cmd.m_bStarted = 1;
  cmd.m_nCalls = 4;
  cmd.m_nPrevFacing = 1;
  cmd.m_anCounters[2] = 9;
  cmd.m_bLaunched = 1;
  cmd.m_bKeyFlag = 1;
  cmd.m_nHoldLimit = 30;
  State(i).m_Texts.push_back("x");
  m_Stage.m_lpCurObject = &m_Chara;
  m_Stage.m_lpCurFlowState = &State(i);
  PrepareCmd(cmd);
  EXPECT_EQ(cmd.m_nRemaining, 7);
  EXPECT_EQ(cmd.m_bDone + cmd.m_bStarted + cmd.m_nCalls + cmd.m_nPrevFacing + cmd.m_anCounters[2], 0);
  EXPECT_EQ(cmd.m_bLaunched + cmd.m_bKeyFlag, 0);  // a jump launches once per run
  EXPECT_EQ(cmd.m_nHoldLimit, 30);                 // set at install, kept
  EXPECT_EQ(m_Bodies.m_nArranged, 1);
  EXPECT_EQ(m_Bodies.m_lpLastArranged, cmd.m_lpCmd);
  EXPECT_TRUE(State(i).m_Texts.empty());
  // An arrange command is not arranged itself.
  State(i).m_Texts.push_back("y");
  PrepareCmd(State(i).m_aCmdStates[1]);
  EXPECT_EQ(m_Bodies.m_nArranged, 1);
  EXPECT_EQ(State(i).m_Texts.size(), 1u);
}

TEST_F(FlowRunnerTest, TheBeforeStageStartRunTakesRunOnCommandsAboveTheActions) {
  const int i =
      AddHandMadeFlow(m_Chara, {{kStageClear, 1, 0}, {5, 1, 0}, {20, 0, 0}, {kStatusOp, 1, 12}, {kCode, 1, 0}}, 25);
  cFlowState& state = Start(i);
  EXPECT_EQ(m_Bodies.Kinds(), (std::vector<int>{kStageClear, kStatusOp, kCode}));
  EXPECT_EQ(state.m_bRunning, 0);
  // Each ran once and is done, even the one with time left (its time is gone with the stop).
  EXPECT_EQ(state.m_aCmdStates[3].m_bDone, 1);
  EXPECT_EQ(state.m_aCmdStates[3].m_nRemaining, 0);
  EXPECT_EQ(state.m_aCmdStates[1].m_bDone, 0);
  for (const cBodyCall& call : m_Bodies.m_Calls) {
    EXPECT_EQ(call.lpFlowState, &state);
    EXPECT_EQ(call.lpFlowVars, state.m_anFlowVars);
    EXPECT_EQ(call.lpActor, &m_Chara);
  }
  // The context is the caller's again.
  EXPECT_EQ(m_Stage.m_lpCurFlowState, nullptr);
  EXPECT_EQ(m_Stage.m_lpCurCmdState, nullptr);

  // A body that aborts ends the run there.
  m_Bodies.m_Calls.clear();
  m_Bodies.m_Action = [](cCharaBase&, cCmdState& cmd) {
    if (cmd.m_lpCmd->m_nKind == kStatusOp) g_lpSceneStage->m_lpCurFlowState->m_bAbort = 1;
  };
  Start(i);
  EXPECT_EQ(m_Bodies.Kinds(), (std::vector<int>{kStageClear, kStatusOp}));
  EXPECT_EQ(state.m_aCmdStates[3].m_bDone, 0);
}

TEST_F(FlowRunnerTest, StartingAnAlwaysFlowWithAnIdTakesTheId) {
  const int i = AddHandMadeFlow(m_Chara, {{kStatusOp, 0, 0}}, 0, 3);
  State(i).m_aCmdStates[0].m_bDone = 1;
  State(i).m_nFrontier = 2;
  Start(i);
  EXPECT_EQ(State(i).m_bRunning, 1);
  EXPECT_EQ(State(i).m_bStartedFrame, 1);
  EXPECT_EQ(State(i).m_nFrontier, 0);
  EXPECT_EQ(State(i).m_aCmdStates[0].m_bDone, 0);
  EXPECT_EQ(m_Chara.m_abInUse[3], 1);
  EXPECT_EQ(m_Chara.m_abStartedFrame[3], 1);
  // Another trigger does not take it.
  const int j = AddHandMadeFlow(m_Chara, {{kStatusOp, 0, 0}}, 4, 5);
  Start(j);
  EXPECT_EQ(m_Chara.m_abInUse[5], 0);
}

TEST_F(FlowRunnerTest, StoppingReleasesTheIdAndTheKeyLatch) {
  struct Case {
    int trigger, legacy875, latchAfter;
  };
  for (const Case& c : {Case{4, 0, 0}, Case{4, 1, 1}, Case{0, 0, 1}}) {
    g_SystemData.m_bLegacy875 = c.legacy875;
    cChara chara;
    GiveFlowIdBytes(chara);
    const int i = AddHandMadeFlow(chara, {{kStatusOp, 0, 5}}, c.trigger, 7);
    cFlowState& state = chara.m_aFlowStates[static_cast<size_t>(i)];
    state.m_bKeyLatch = 1;
    StopFlow(state, chara);  // not running: nothing
    EXPECT_EQ(state.m_bKeyLatch, 1);
    state.m_bRunning = 1;
    state.m_aCmdStates[0].m_nRemaining = 3;
    state.m_Texts.push_back("t");
    StopFlow(state, chara);
    EXPECT_EQ(state.m_bRunning, 0);
    EXPECT_EQ(state.m_aCmdStates[0].m_nRemaining, 0);
    EXPECT_TRUE(state.m_Texts.empty());
    EXPECT_EQ(chara.m_abRelease[7], 1);
    EXPECT_EQ(chara.m_bReleasePending, 1);
    EXPECT_EQ(state.m_bKeyLatch, c.latchAfter) << c.trigger << c.legacy875;
  }
}

TEST_F(FlowRunnerTest, SuspendResumeAndHalt) {
  const int i = AddHandMadeFlow(m_Chara, {{kStatusOp, 0, 5}}, 0, 2);
  cFlowState& state = State(i);
  SuspendFlow(state);
  EXPECT_EQ(state.m_bSuspended, 1);
  ResumeFlow(state);
  EXPECT_EQ(state.m_bSuspended, 0);

  HaltFlow(state, m_Chara);  // idle: halted, nothing released
  EXPECT_EQ(state.m_bHalted, 1);
  EXPECT_EQ(m_Chara.m_bReleasePending, 0);

  state.m_bHalted = 0;
  Start(i);
  Step(i);
  HaltFlow(state, m_Chara);
  EXPECT_EQ(state.m_bRunning, 1);  // the frame step stops it
  EXPECT_EQ(state.m_aCmdStates[0].m_nRemaining, 0);
  EXPECT_EQ(m_Chara.m_abRelease[2], 1);
  // Halted flows are left by the frame step; the id is free at its end.
  m_Bodies.m_Calls.clear();
  StepCharaFlows(m_Chara);
  EXPECT_TRUE(m_Bodies.m_Calls.empty());
  EXPECT_EQ(m_Chara.m_abInUse[2], 0);
  EXPECT_EQ(m_Chara.m_abRelease[2], 0);
  EXPECT_EQ(m_Chara.m_bReleasePending, 0);
}

TEST_F(FlowRunnerTest, BodiesSeeTheStepsContextAndTheCallerGetsItsOwnBack) {
  const int i = AddHandMadeFlow(m_Chara, {{kStatusOp, 1, 0}, {kCode, 0, 0}});
  cChara other;
  cFlowState outerState;
  int32_t outerVars[2] = {};
  m_Stage.m_lpCurObject2 = &other;
  m_Stage.m_lpCurFlowState = &outerState;
  m_Stage.m_lpFlowVars = outerVars;
  m_Stage.m_lpCurObject = &m_Chara;
  StartFlow(State(i));
  EXPECT_EQ(StepFlow(State(i)), 1);
  ASSERT_EQ(m_Bodies.m_Calls.size(), 2u);
  for (const cBodyCall& call : m_Bodies.m_Calls) {
    EXPECT_EQ(call.lpCurObject, &m_Chara);
    EXPECT_EQ(call.lpFlowState, &State(i));
    EXPECT_EQ(call.lpFlowVars, State(i).m_anFlowVars);
  }
  EXPECT_EQ(m_Bodies.m_Calls[1].lpCmdState, &State(i).m_aCmdStates[1]);
  EXPECT_EQ(m_Stage.m_lpCurObject, &m_Chara);
  EXPECT_EQ(m_Stage.m_lpCurObject2, &other);
  EXPECT_EQ(m_Stage.m_lpCurFlowState, &outerState);
  EXPECT_EQ(m_Stage.m_lpFlowVars, outerVars);
  EXPECT_EQ(m_Stage.m_lpCurCmdState, nullptr);
}

TEST_F(FlowRunnerTest, ANestedTriggerOrFrameStepLeavesTheRunningFlowsContext) {
  // The first body raises a trigger on another character and then clears the context as a nested
  // frame step does at its end; the next body still runs for this character and flow.
  cChara victim;
  GiveFlowIdBytes(victim);
  AddHandMadeFlow(victim, {{kCode, 0, 0}}, 5);
  const int i = AddHandMadeFlow(m_Chara, {{kStatusOp, 1, 0}, {kStatusOp, 1, 0}, {kCode, 0, 0}});
  int calls = 0;
  m_Bodies.m_Action = [&](cCharaBase& actor, cCmdState&) {
    if (&actor != &m_Chara || calls++ != 0) return;
    TriggerFlows(victim, 5);
    EXPECT_EQ(g_lpSceneStage->m_lpCurObject, &m_Chara);
    EXPECT_EQ(g_lpSceneStage->m_lpCurFlowState, &State(i));
    g_lpSceneStage->m_lpCurObject = nullptr;
    g_lpSceneStage->m_lpCurFlowState = nullptr;
    g_lpSceneStage->m_lpFlowVars = nullptr;
  };
  Start(i);
  EXPECT_EQ(Step(i), 1);
  EXPECT_EQ(victim.m_aFlowStates[0].m_bRunning, 1);
  ASSERT_EQ(m_Bodies.m_Calls.size(), 3u);
  for (const cBodyCall& call : m_Bodies.m_Calls) {
    EXPECT_EQ(call.lpActor, &m_Chara);
    EXPECT_EQ(call.lpFlowState, &State(i));
    EXPECT_EQ(call.lpFlowVars, State(i).m_anFlowVars);
  }
}
