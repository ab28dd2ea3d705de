// What the flow runner's tests share: a stage published for the test, command bodies of the test's
// own installed through the command-table seam (every call recorded), characters whose flows and
// running states are made by hand, and the part of a character's frame step that steps its flows.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "core/log.h"
#include "data/flow.h"
#include "objects/chara.h"
#include "objects/chara_base.h"
#include "objects/flow_hooks.h"
#include "objects/flow_runner.h"
#include "objects/stage_hooks.h"
#include "objects/stage_state.h"
#include "test_support/fresh_play_objects.h"
#include "test_support/hooks_guard.h"

// Publishes its stage as the live one while it lives.
class cTestStage : public cStageState {
 public:
  cTestStage() : m_lpPrevious(std::exchange(g_lpSceneStage, this)) {}
  ~cTestStage() override { g_lpSceneStage = m_lpPrevious; }

 private:
  cStageState* m_lpPrevious;
};

// One call of a command body: its kind and what the stage published for it.
struct cBodyCall {
  int nKind = 0;
  cCharaBase* lpActor = nullptr;
  cCharaBase* lpCurObject = nullptr;
  cFlowState* lpFlowState = nullptr;
  cCmdState* lpCmdState = nullptr;
  int32_t* lpFlowVars = nullptr;
};

// Command bodies of the test: every dispatched command is recorded, then the test's own action runs
// (when set). Arrange-list applications are counted.
class cFakeBodies {
 public:
  cFakeBodies() : m_Guard(SetFlowHooks, Hooks()) { Active() = this; }
  ~cFakeBodies() { Active() = nullptr; }

  std::vector<int> Kinds() const {
    std::vector<int> kinds;
    for (const cBodyCall& call : m_Calls) kinds.push_back(call.nKind);
    return kinds;
  }

  std::vector<cBodyCall> m_Calls;
  std::function<void(cCharaBase&, cCmdState&)> m_Action;
  int m_nArranged = 0;
  const cFlowCmd* m_lpLastArranged = nullptr;

 private:
  static cFakeBodies*& Active() {
    static cFakeBodies* active = nullptr;
    return active;
  }
  static cFlowHooks Hooks() {
    cFlowHooks hooks;
    hooks.dispatchCharaCmd = [](cCharaBase& actor, cCmdState& state) {
      cFakeBodies* self = Active();
      if (!self) return;
      cStageState* stage = g_lpSceneStage;
      cBodyCall call;
      call.nKind = state.m_lpCmd ? state.m_lpCmd->m_nKind : -1;
      call.lpActor = &actor;
      if (stage) {
        call.lpCurObject = stage->m_lpCurObject;
        call.lpFlowState = stage->m_lpCurFlowState;
        call.lpCmdState = stage->m_lpCurCmdState;
        call.lpFlowVars = stage->m_lpFlowVars;
      }
      self->m_Calls.push_back(call);
      if (self->m_Action) self->m_Action(actor, state);
    };
    hooks.applyArrangeList = [](cFlowCmd& cmd, cCharaBase&, cFlowState&) {
      if (cFakeBodies* self = Active()) {
        ++self->m_nArranged;
        self->m_lpLastArranged = &cmd;
      }
    };
    return hooks;
  }

  cHooksGuard<cFlowHooks> m_Guard;
};

// Start conditions decided by the test (they hold unless it says otherwise); each check recorded.
class cTestConditions {
 public:
  cTestConditions() : m_Guard(SetStageHooks, Hooks()) { Active() = this; }
  ~cTestConditions() { Active() = nullptr; }

  bool m_bHold = true;
  std::function<bool(cFlowState&, cCharaBase&)> m_Check;  // replaces m_bHold when set
  int m_nChecks = 0;

 private:
  static cTestConditions*& Active() {
    static cTestConditions* active = nullptr;
    return active;
  }
  static cStageHooks Hooks() {
    cStageHooks hooks;
    hooks.checkFlowCondition = [](cFlowState& state, cCharaBase& chara) {
      cTestConditions* self = Active();
      if (!self) return true;
      ++self->m_nChecks;
      return self->m_Check ? self->m_Check(state, chara) : self->m_bHold;
    };
    return hooks;
  }

  cHooksGuard<cStageHooks> m_Guard;
};

// A command of a hand-made flow: its kind, run-on flag, running duration in sub-steps and
// parameters.
struct cTestCmd {
  int nKind = 0;
  int bRunOn = 0;
  int nDuration = 0;
  std::vector<int32_t> anParams = {};
};

// Appends a flow of these commands and its running state (durations as given, nothing else
// computed) to the character; the index of the new state.
inline int AddHandMadeFlow(cCharaBase& chara, const std::vector<cTestCmd>& cmds, int trigger = 0, int id = 0,
                           int group = 0) {
  cFlow flow;
  flow.m_nTrigger = static_cast<int8_t>(trigger);
  flow.m_nFlowId = static_cast<int8_t>(id);
  flow.m_nGroup = static_cast<int8_t>(group);
  for (const cTestCmd& made : cmds) {
    cFlowCmd cmd;
    cmd.m_nKind = static_cast<int8_t>(made.nKind);
    cmd.m_bRunOn = static_cast<int8_t>(made.bRunOn);
    cmd.m_anParams = made.anParams;
    flow.m_aCmds.push_back(cmd);
  }
  chara.m_Type.m_aFlows.push_back(flow);
  cFlowState state;
  state.m_nSerial = chara.m_nFlowSerial++;
  for (const cTestCmd& made : cmds) {
    cCmdState cmd;
    cmd.m_nDuration = made.nDuration;
    state.m_aCmdStates.push_back(cmd);
  }
  chara.m_aFlowStates.push_back(state);
  RebindFlowStates(chara);
  return static_cast<int>(chara.m_aFlowStates.size()) - 1;
}

// Per-id bytes as a built character has them.
inline void GiveFlowIdBytes(cCharaBase& chara) {
  chara.m_abInUse.assign(27, 0);
  chara.m_abRelease.assign(27, 0);
  chara.m_abStartedFrame.assign(27, 0);
}

// The flows' part of a character's frame step: published as the current object, each running
// state stepped (one without commands stopped; suspended and halted ones left), finished ones
// stopped; then the context cleared and the released ids freed.
inline void StepCharaFlows(cCharaBase& chara) {
  cStageState* stage = g_lpSceneStage;
  if (stage) stage->m_lpCurObject = &chara;
  StartPreRollAnimations(chara);
  for (size_t i = 0; i < chara.m_aFlowStates.size(); ++i) {
    cFlowState& state = chara.m_aFlowStates[i];
    if (!state.m_bRunning || state.m_bSuspended || state.m_bHalted) continue;
    if (state.m_aCmdStates.empty() || StepFlow(state)) StopFlow(state, chara);
  }
  if (stage) {
    stage->m_lpCurObject = nullptr;
    stage->m_lpCurFlowState = nullptr;
    stage->m_lpCurCmdState = nullptr;
    stage->m_lpFlowVars = nullptr;
  }
  ReleaseFlowIds(chara);
}

// A fresh run with a published stage, the test's command bodies and start conditions, and one
// character with its id bytes; no fatal stop is expected.
class cFlowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_bQuit = 0;
    GiveFlowIdBytes(m_Chara);
  }
  void TearDown() override { EXPECT_EQ(g_bQuit.load(), 0); }

  cFlowState& State(int i) { return m_Chara.m_aFlowStates.at(static_cast<size_t>(i)); }

  cFreshPlayObjects m_FreshRun;
  cTestStage m_Stage;
  cFakeBodies m_Bodies;
  cTestConditions m_Conditions;
  cChara m_Chara;
};
