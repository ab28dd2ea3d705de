// Running a flow: starting it (with the before-stage-start run of a trigger-25 flow), stepping its
// commands frame by frame behind the frontier, stopping, suspending and halting it, and preparing,
// running and dispatching one command. The stage publishes which character, flow state, flow
// variables and command state are running for the command bodies to read.
#include "objects/flow_runner.h"

#include "core/containers.h"
#include "core/log.h"
#include "data/system_data.h"
#include "data/vocabulary_tables.h"
#include "objects/chara_base.h"
#include "objects/flow_context.h"
#include "objects/flow_guards.h"
#include "objects/flow_hooks.h"
#include "objects/stage_state.h"

namespace {

constexpr int kTriggerBeforeStart = 25;
constexpr int kCmdMessage = 19;
constexpr int kCmdArrange = 38;
// Commands above this kind run in the before-stage-start run.
constexpr int kLastActionKind = 15;

bool RunsOn(const cCmdState& cmd) { return cmd.m_lpCmd && cmd.m_lpCmd->m_bRunOn != 0; }

// A message that waits for a key (its erase and wait-mode parameters 0): the next message
// continues from it.
bool IsKeyWaitMessage(const cCmdState& cmd) {
  const cFlowCmd* c = cmd.m_lpCmd;
  return c && c->m_nKind == kCmdMessage && VecAt(c->m_anParams, 15) == 0 && VecAt(c->m_anParams, 6) == 0;
}

// The release of a stopped or halted flow's id at the end of the frame step.
void ReleaseId(const cFlowState& state, cCharaBase& chara) {
  const int id = state.m_lpFlow ? state.m_lpFlow->m_nFlowId : 0;
  if (id == 0) return;
  SetFlowIdByte(chara.m_abRelease, id);
  chara.m_bReleasePending = 1;
}

void ZeroRemaining(cFlowState& state) {
  for (cCmdState& cmd : state.m_aCmdStates) cmd.m_nRemaining = 0;
}

// Publishes a running flow: its character, the state and its variables.
void PublishFlow(cCharaBase* owner, cFlowState& state) {
  cStageState* stage = g_lpSceneStage;
  if (!stage) return;
  stage->m_lpCurObject = owner;
  stage->m_lpCurFlowState = &state;
  stage->m_lpFlowVars = state.m_anFlowVars;
}

// The before-stage-start run: every run-on command above the action kinds runs once, at once.
void RunBeforeStart(cFlowState& state, cCharaBase* owner) {
  cFlowContextScope context;
  cFlowsBusyScope busy(owner);
  PublishFlow(owner, state);
  state.m_bAbort = 0;
  for (cCmdState& cmd : state.m_aCmdStates) {
    if (!cmd.m_lpCmd || cmd.m_lpCmd->m_nKind <= kLastActionKind || !RunsOn(cmd)) continue;
    // A nested trigger or frame step of a command may have left the context elsewhere.
    PublishFlow(owner, state);
    PrepareCmd(cmd);
    if (!RunCmd(cmd)) DebugErrorBoxf("使用時間0なので、ここにくることはあり得ないはず！");
    if (state.m_bAbort) break;
    cmd.m_bDone = 1;
  }
}

}  // namespace

void StartFlow(cFlowState& state) {
  state.m_bRunning = 1;
  state.m_nFrontier = 0;
  state.m_nStepsRun = 0;
  state.m_bMesWait = 0;
  for (cCmdState& cmd : state.m_aCmdStates) cmd.m_bDone = 0;
  state.m_bStartedFrame = 1;

  const cFlow* flow = state.m_lpFlow;
  if (!flow) return;
  cCharaBase* owner = g_lpSceneStage ? g_lpSceneStage->m_lpCurObject : nullptr;
  if (owner && flow->m_nTrigger == 0 && flow->m_nFlowId != 0) {
    SetFlowIdByte(owner->m_abInUse, flow->m_nFlowId);
    SetFlowIdByte(owner->m_abStartedFrame, flow->m_nFlowId);
  }
  if (state.m_aCmdStates.empty() || flow->m_nTrigger != kTriggerBeforeStart) return;
  RunBeforeStart(state, owner);
  if (owner) {
    StopFlow(state, *owner);
  } else {
    state.m_bRunning = 0;
    state.m_Texts.clear();
    ZeroRemaining(state);
  }
}

int StepFlow(cFlowState& state) {
  cFlowContextScope context;
  cCharaBase* owner = g_lpSceneStage ? g_lpSceneStage->m_lpCurObject : nullptr;
  cFlowsBusyScope busy(owner);
  PublishFlow(owner, state);
  state.m_bAbort = 0;

  const int count = static_cast<int>(state.m_aCmdStates.size());
  if (count == 0) return 1;
  for (int i = 0; i <= state.m_nFrontier && i < count; ++i) {
    cCmdState& cmd = state.m_aCmdStates[static_cast<size_t>(i)];
    if (cmd.m_bDone) continue;
    // A nested trigger or frame step of an earlier command may have left the context elsewhere.
    PublishFlow(owner, state);
    if (cmd.m_nRemaining == 0) {
      PrepareCmd(cmd);
      if (!IsKeyWaitMessage(cmd) && !RunsOn(cmd)) state.m_bMesWait = 0;
    }
    if (RunsOn(cmd)) {
      // A run-on command lets the frontier pass while it keeps running.
      if (RunCmd(cmd)) {
        cmd.m_bDone = 1;
        if (i == count - 1) return 1;
      }
      if (i == state.m_nFrontier) ++state.m_nFrontier;
      if (state.m_bAbort) return 0;
      continue;
    }
    // A holding command: the next command starts in the next step once it has finished.
    if (RunCmd(cmd)) {
      cmd.m_bDone = 1;
      if (IsKeyWaitMessage(cmd)) state.m_bMesWait = 1;
      if (i == count - 1) return 1;
      if (state.m_nFrontier < i + 1) state.m_nFrontier = i + 1;
      break;
    }
    if (state.m_bAbort) return 0;
  }
  if (state.m_aCmdStates.back().m_bDone) return 1;
  ++state.m_nStepsRun;
  return 0;
}

void StopFlow(cFlowState& state, cCharaBase& chara) {
  if (!state.m_bRunning) return;
  state.m_bRunning = 0;
  state.m_Texts.clear();
  ZeroRemaining(state);
  ReleaseId(state, chara);
  if (!g_SystemData.m_bLegacy875 && state.m_lpFlow && state.m_lpFlow->m_nTrigger != 0) state.m_bKeyLatch = 0;
}

void SuspendFlow(cFlowState& state) { state.m_bSuspended = 1; }

void ResumeFlow(cFlowState& state) { state.m_bSuspended = 0; }

void HaltFlow(cFlowState& state, cCharaBase& chara) {
  state.m_bHalted = 1;
  if (!state.m_bRunning) return;
  ZeroRemaining(state);
  ReleaseId(state, chara);
}

void PrepareCmd(cCmdState& cmd) {
  cmd.m_nRemaining = cmd.m_nDuration;
  cmd.m_bDone = 0;
  cmd.m_bStarted = 0;
  cmd.m_nCalls = 0;
  cmd.m_nPrevFacing = 0;
  for (int32_t& counter : cmd.m_anCounters) counter = 0;
  // A jump launches once per run of its command: without this a jump whose flow has a key
  // condition (its launched flag is not cleared on landing) would never jump again.
  cmd.m_bLaunched = 0;
  cmd.m_bKeyFlag = 0;
  if (!cmd.m_lpCmd || cmd.m_lpCmd->m_nKind == kCmdArrange) return;
  cStageState* stage = g_lpSceneStage;
  if (!stage || !stage->m_lpCurFlowState) return;
  if (stage->m_lpCurObject) CallApplyArrangeList(*cmd.m_lpCmd, *stage->m_lpCurObject, *stage->m_lpCurFlowState);
  stage->m_lpCurFlowState->m_Texts.clear();
}

int RunCmd(cCmdState& cmd) {
  cStageState* stage = g_lpSceneStage;
  if (stage) {
    stage->m_lpCurCmdState = &cmd;
    if (stage->m_lpCurObject) DispatchCmd(*stage->m_lpCurObject, cmd);
  }
  // Read after the body: a body may have ended the command (a halt zeroes it).
  if (cmd.m_nRemaining <= 1) {
    cmd.m_nRemaining = 0;
    return 1;
  }
  --cmd.m_nRemaining;
  return 0;
}

// A kind outside the character table is refused rather than looked up.
void DispatchCmd(cCharaBase& chara, cCmdState& cmd) {
  if (!cmd.m_lpCmd) return;
  const int kind = cmd.m_lpCmd->m_nKind;
  if (kind < 0 || kind >= kCharaCmdKindCount) return;
  CallCharaCmdTable(chara, cmd);
}
