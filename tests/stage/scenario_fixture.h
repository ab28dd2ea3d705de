// Whole-map scenarios: the stage-level harness plays stage play's own logic sub-step on maps drawn
// as ASCII rows, with the objects' own initialisers, moves, contacts and flows and the flow layer's
// command tables and hooks. The activity pass and the keep areas around each sub-step are stage play's own
// (stage/activity_pass.h); the hero's item pass is the sub-step's.
//
// Letters of the maps beyond the harness's ('.', '#', 'H', 'C', 'I'): 'D' a block deadly to the
// hero, 'B' a block character that flies colliding with blocks (a platform), 'W' a walking block
// character.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/flow.h"
#include "data/move_shot.h"
#include "data/system_data.h"
#include "flow/cmd_tables.h"
#include "flow/install_flow_hooks.h"
#include "objects/chara.h"
#include "objects/flow_hooks.h"
#include "objects/flow_runner.h"
#include "objects/hero.h"
#include "objects/play_objects.h"
#include "objects/stage_hooks.h"
#include "objects/stage_physics.h"
#include "objects/stage_state.h"
#include "stage/activity_pass.h"
#include "stage/logic_substep.h"
#include "test_support/hooks_guard.h"
#include "test_support/stage_play_harness.h"

// Rows of the command and trigger tables the scenarios use.
enum : int {
  kScnCmdStraightMove = 2,
  kScnCmdTurnaround = 3,
  kScnCmdJump = 10,
  kScnCmdStatusOp2 = 23,
  kScnCmdVanish = 24,
  kScnTriggerAlways = 0,
  kScnTriggerBlock = 11,
  kScnTriggerBlockAboveBelow = 15,
  kScnTriggerBlockAbove = 16,
  kScnTriggerBlockBelow = 17,
  kScnTriggerItem = 10,
};

// A command of the character context; movement settings with a direction row and a speed in tenths
// of a dot per frame when speed is given.
inline cFlowCmd ScnCmd(int kind, int useTime, std::vector<int32_t> params = {}, int direction = -1, int speed = 0) {
  cFlowCmd cmd;
  cmd.m_nKind = static_cast<int8_t>(kind);
  cmd.m_nUseTime = static_cast<int16_t>(useTime);
  cmd.m_anParams = std::move(params);
  if (direction >= 0) {
    cmd.m_pMove = std::make_shared<cEdMove>();
    cmd.m_pMove->m_nDirection = static_cast<int8_t>(direction);
    cmd.m_pMove->m_nSpeed = static_cast<int16_t>(speed);
  }
  return cmd;
}

// A flow of a trigger with its commands, no conditions and no key steps.
inline cFlow ScnFlow(int trigger, std::vector<cFlowCmd> cmds) {
  cFlow flow;
  flow.m_nTrigger = static_cast<int8_t>(trigger);
  flow.m_aCmds = std::move(cmds);
  return flow;
}

// The flow layer's own hooks, its command tables included.
inline cFlowHooks ScenarioFlowHooks() {
  const cFlowHooks before = SetFlowHooks(cFlowHooks());
  InstallFlowHooks();
  return SetFlowHooks(before);
}

// The flow-condition service of the scenarios: every flow whose trigger fires is recorded
// ("flowCondition": trigger, object number, y, y2, sub-steps run so far); flows of trigger 0 start
// when their conditions hold, the others never start (so that their triggers can be watched).
inline bool ScenarioFlowCondition(cFlowState& state, cCharaBase& chara) {
  const cFlow& flow = *state.m_lpFlow;
  if (cStageHarness* h = cStageHarness::Active())
    h->AddCall("flowCondition", {double(flow.m_nTrigger), double(chara.m_nNumber), chara.m_dY, chara.m_dY2,
                                 double(h->Stage().m_nSubStepTotal)});
  if (flow.m_nTrigger != kScnTriggerAlways) return false;
  return flow.m_aConds.empty() ||
         EvalConditionList(state.m_lpFlow->m_aConds, flow.m_nCondMode, &chara, state.m_anFlowVars);
}

// The flows' records of one object since the traces were last cleared, trigger 0 left out.
inline std::vector<cHarnessCall> FlowTriggersOf(const cStageHarness& h, int number) {
  std::vector<cHarnessCall> fired;
  for (const cHarnessCall& call : h.CallsOf("flowCondition"))
    if (call.adArgs[1] == number && call.adArgs[0] != static_cast<double>(kScnTriggerAlways)) fired.push_back(call);
  return fired;
}
inline std::vector<int> TriggerRows(const std::vector<cHarnessCall>& fired) {
  std::vector<int> rows;
  for (const cHarnessCall& call : fired) rows.push_back(static_cast<int>(call.adArgs[0]));
  return rows;
}

// Stage play's logic on the harness with its passes around each sub-step: install for the life of a
// scenario.
class cScenarioPlay {
 public:
  cScenarioPlay() : m_Plugins(SetHarnessPlugins, Plugins()), m_Flows(SetFlowHooks, ScenarioFlowHooks()) {}

  static cHarnessSetup Setup(std::vector<std::string> map, int level = 1, double gravity = 0.4) {
    cHarnessSetup setup;
    setup.map = std::move(map);
    setup.nHitCheckLevel = level;
    setup.dGravity = gravity;
    setup.blocks['D'] = HarnessBlockType(2);
    cCharaType platform = HarnessCharaType();
    platform.m_bBlockChara = 1;
    platform.m_nMoveMode = 2;  // flying, colliding with blocks
    setup.charas['B'] = platform;
    cCharaType walker = HarnessCharaType();
    walker.m_bBlockChara = 1;
    setup.charas['W'] = walker;
    setup.addStandIns = [](cStageHooks& hooks) {
      AddStagePlayServices(hooks);
      hooks.checkFlowCondition = ScenarioFlowCondition;
    };
    return setup;
  }

 private:
  static void (*&RealSubStep())(cStageHarness&, int) {
    static void (*subStep)(cStageHarness&, int) = nullptr;
    return subStep;
  }
  // A frame that a sub-step ended runs no more passes.
  static bool FrameEnded(const cStageHarness& h) {
    const std::vector<cHarnessCall> ended = h.CallsOf("frameEnded");
    return !ended.empty() && ended.back().adArgs[0] == h.m_nFrame;
  }
  static void SubStep(cStageHarness& h, int subStep) {
    if (FrameEnded(h)) return;
    StepActivity(*g_lpSceneStage);
    RealSubStep()(h, subStep);
    if (FrameEnded(h)) return;
    StepKeepAreas(subStep);
  }
  static cHarnessPlugins Plugins() {
    cHarnessPlugins plugins = WithStagePlay(CurrentHarnessPlugins());
    RealSubStep() = plugins.subStep;
    plugins.subStep = SubStep;
    return plugins;
  }

  cHooksGuard<cHarnessPlugins> m_Plugins;
  cHooksGuard<cFlowHooks> m_Flows;
};
