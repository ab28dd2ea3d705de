// The action commands that fire: "ショット" (a shot pattern once per frame), "ソード" (one sword
// swing at the first call) and the three summons (the pattern loop placing blocks, characters or
// items once per frame).
#include "core/containers.h"
#include "core/log.h"
#include "data/flow_cmd.h"
#include "flow/action_cmds.h"
#include "flow/cmd_tables.h"
#include "objects/chara.h"
#include "objects/flow_state.h"
#include "objects/play_objects.h"
#include "objects/shot.h"
#include "objects/shot_pattern.h"
#include "objects/stage_hooks.h"
#include "objects/stage_physics.h"
#include "objects/stage_state.h"
#include "objects/sword_entry.h"

namespace {

const cEdShot* ShotSettingsOf(const cCmdState& state) {
  const cFlowCmd* cmd = state.Cmd();
  return cmd && cmd->m_pShot ? cmd->m_pShot.get() : nullptr;
}

int CountLivingCharas() {
  int count = 0;
  for (const cChara& chara : g_CharaList)
    if (chara.m_bActive && !chara.m_bVanished && chara.m_nHp > 0) ++count;
  return count;
}

}  // namespace

int CmdShot(cCharaBase& actor, cCmdState& state) {
  if (!TakeFrameTurn(state)) return 0;
  const cEdShot* settings = ShotSettingsOf(state);
  cStageState* stage = g_lpSceneStage;
  if (!settings || !stage) return 0;
  PlayCmdSound(actor, *state.Cmd(), 1);
  StepShotPattern(stage->m_ShotList, actor, state, *settings);
  return 0;
}

int CmdSword(cCharaBase& actor, cCmdState& state) {
  if (!state.m_bStarted) {
    state.m_bStarted = 1;
    const cEdShot* settings = ShotSettingsOf(state);
    cStageState* stage = g_lpSceneStage;
    if (settings && stage) {
      PlayCmdSound(actor, *state.Cmd(), 1);
      // A sword type without entries (or missing) is reported and no swing is made.
      if (SwordEntryOf(settings->m_nTrajectory, 0)) {
        // A swing is its owner's attack as a shot is: its hits fire the owner's triggers.
        SHOTLAUNCH launch;
        launch.bCountsForOwner = 1;
        cShot& shot = stage->m_ShotList.emplace_back();
        shot.InitShot(stage->m_nNextShotId, actor, kCmdKindSword, *settings, launch);
        ++stage->m_nNextShotId;
        shot.m_bErase = 0;
        shot.RegisterShotLinks();
        VecAt(stage->m_aShotGroups, shot.m_nKind).push_back(&shot);
      }
    }
  }
  return ++state.m_nCalls;
}

int CmdSummonBlock(cCharaBase& actor, cCmdState& state) {
  if (!TakeFrameTurn(state)) return 0;
  const cEdShot* settings = ShotSettingsOf(state);
  if (!settings) return 0;
  const cFlowCmd& cmd = *state.Cmd();
  PlayCmdSound(actor, cmd, 1);
  const int before = CountActiveBlocks();
  SummonBlockPattern(actor, state, *settings);
  if (Param(cmd, 0) != 0) StoreFlowResult(CountActiveBlocks() - before);
  return 0;
}

int CmdSummonChara(cCharaBase& actor, cCmdState& state) {
  if (!TakeFrameTurn(state)) return 0;
  const cEdShot* settings = ShotSettingsOf(state);
  if (!settings) return 0;
  const cFlowCmd& cmd = *state.Cmd();
  PlayCmdSound(actor, cmd, 1);
  const int before = CountLivingCharas();
  SummonCharaPattern(actor, state, *settings);
  if (Param(cmd, 0) != 0) StoreFlowResult(CountLivingCharas() - before);
  return 0;
}

int CmdSummonItem(cCharaBase& actor, cCmdState& state) {
  if (!TakeFrameTurn(state)) return 0;
  const cEdShot* settings = ShotSettingsOf(state);
  if (!settings) return 0;
  PlayCmdSound(actor, *state.Cmd(), 1);
  SummonItemPattern(actor, state, *settings);
  return 0;
}
