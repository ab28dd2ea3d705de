// What the action command bodies share: the command's own sound and the once-per-frame turn.
#include "data/flow_cmd.h"
#include "flow/action_cmds.h"
#include "media/sound/sound_effects.h"
#include "objects/chara_base.h"
#include "objects/flow_state.h"
#include "objects/stage_physics.h"

void PlayCmdSound(const cCharaBase& actor, const cFlowCmd& cmd, int onScreenRule) {
  if (onScreenRule && cmd.m_bSoundOnScreen && !actor.m_bOnScreen) return;
  RequestDataSound(cmd.m_nSound);
}

bool TakeFrameTurn(cCmdState& state) {
  const int n = StageSubSteps() > 0 ? StageSubSteps() : 1;
  const bool turn = state.m_nCalls == 0;
  state.m_nCalls = (state.m_nCalls + 1) % n;
  return turn;
}
