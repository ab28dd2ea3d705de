// The command's own sound, shared by the action command bodies.
#include "data/flow_cmd.h"
#include "flow/action_cmds.h"
#include "media/sound/sound_effects.h"
#include "objects/chara_base.h"

void PlayCmdSound(const cCharaBase& actor, const cFlowCmd& cmd, int onScreenRule) {
  if (onScreenRule && cmd.m_bSoundOnScreen && !actor.m_bOnScreen) return;
  RequestDataSound(cmd.m_nSound);
}
