// Whole-map scenarios: the stage-level harness plays stage play's own logic sub-step on maps drawn
// as ASCII rows, with the objects' own initialisers, moves, contacts and flows and the flow layer's
// command tables and hooks.
//
// Two kinds of code the scenarios need are not written yet; each stands in here, apart and named
// "awaited", built only from the objects' own operations, and goes when its real form arrives:
// - the bodies of the movement and jump commands (the straight move by direction, the ground
//   turnaround and the jump, kinds 2, 3 and 10 of the character command table) and the hero's
//   change of form by the second status operation (kind 23, its "飛行" row);
// - the hero's item pass at the end of a sub-step.
// The activity pass and the keep areas are stage play's own (stage/activity_pass.h).
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

// Awaited: the bodies of the straight move (by direction), the ground turnaround and the jump, as
// the action commands will run them; every other kind goes to the flow layer's command table.
inline void AwaitedActionBody(cCharaBase& actor, cCmdState& state) {
  const cEdMove& move = MoveSettingsOf(state);
  switch (state.m_lpCmd->m_nKind) {
    case kScnCmdStraightMove: {
      actor.m_bFixedScreenX = actor.m_bFixedScreenY = 0;
      double vx = 0, vy = 0;
      int facing = 0;
      actor.SpeedsForDirection(vx, vy, facing, state.m_dSpeed, move.m_nDirection);
      if (!actor.m_bGravityFree) vy = 0;  // ground velocity only
      actor.ApplyCmdVelocity(vx, vy, facing, state, move, 0);
      break;
    }
    case kScnCmdTurnaround:
      if (actor.m_bGravityFree) break;
      actor.m_bFixedScreenX = actor.m_bFixedScreenY = 0;
      if (actor.m_dKnockX != 0 || actor.m_dKnockY != 0) {
        state.m_dVelX = actor.FacingSign() * state.m_dSpeed;
        state.m_dVelY = 0;
        state.m_nFacing = 0;
      } else {
        actor.TurnaroundSpeeds(state);
      }
      actor.ApplyCmdVelocity(state.m_dVelX, state.m_dVelY, state.m_nFacing, state, move, 1);
      break;
    case kScnCmdJump:
      actor.m_bFixedScreenX = actor.m_bFixedScreenY = 0;
      actor.StepJumpCmd(state);
      ++state.m_nCalls;
      break;
    case kScnCmdStatusOp2: {
      // P1 3 "飛行": the hero's form, (P2 mode, scaled, P3 save the rectangle, P4 restore it on a
      // crush); only this row is used.
      const std::vector<int32_t>& p = state.m_lpCmd->m_anParams;
      if (p.size() > 4 && p[1] == 3 && &actor == &g_HeroList[0]) g_HeroList[0].ChangeMoveMode(p[2], 1, p[3], p[4]);
      break;
    }
    default: RunCharaCmdEntry(actor, state); break;
  }
}

// The flow layer's hooks with the awaited bodies in front of its command table.
inline cFlowHooks ScenarioFlowHooks() {
  const cFlowHooks before = SetFlowHooks(cFlowHooks());
  InstallFlowHooks();
  cFlowHooks hooks = SetFlowHooks(before);
  hooks.dispatchCharaCmd = AwaitedActionBody;
  return hooks;
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
    if (call.adArgs[1] == number && call.adArgs[0] != kScnTriggerAlways) fired.push_back(call);
  return fired;
}
inline std::vector<int> TriggerRows(const std::vector<cHarnessCall>& fired) {
  std::vector<int> rows;
  for (const cHarnessCall& call : fired) rows.push_back(static_cast<int>(call.adArgs[0]));
  return rows;
}

// Awaited: the hero's item pass at the end of a sub-step, for items of take mode 0: an item whose
// rectangle meets the hero's item box fires the hero's item trigger, is taken (the stage's
// take-item service) and leaves the list.
inline void AwaitedItemPass() {
  cHero& hero = g_HeroList[0];
  if (hero.m_bDead) return;
  const cDblRect box = hero.m_ItemBox.rect;
  for (auto it = g_ItemList.begin(); it != g_ItemList.end();) {
    const bool meets = it->m_bActive && it->m_dX <= box.right && it->m_dX2 >= box.left && it->m_dY <= box.bottom &&
                       it->m_dY2 >= box.top;
    if (!meets) {
      ++it;
      continue;
    }
    TriggerFlows(hero, kScnTriggerItem);
    TakeItem(*it, hero);
    it = g_ItemList.erase(it);
  }
}

// Stage play's logic on the harness with the awaited passes around each sub-step: install for the
// life of a scenario.
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
    AwaitedItemPass();
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
