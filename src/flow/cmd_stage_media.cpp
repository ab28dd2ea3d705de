// The commands that change the stage's screen and sound: the screen colour, the background layers,
// a sound effect and the music.
#include <cstdint>

#include "core/containers.h"
#include "data/stage_data.h"
#include "flow/object_cmds.h"
#include "media/sound/sound_effects.h"
#include "objects/chara_base.h"
#include "objects/stage_hooks.h"

namespace {

// What becomes of a background layer (P1): "表示", "非表示", "反転(表示⇔非表示)".
enum : int { kShow = 0, kHide = 1, kToggle = 2 };

}  // namespace

int CmdScreenColour(cCharaBase&, cFlowCmd& cmd) {
  ChangeScreenColour(cmd);
  return 0;
}

int CmdChangeBackground(cCharaBase&, cFlowCmd& cmd) {
  const int32_t layer = Param(cmd, 0);
  if (layer < 1 || static_cast<size_t>(layer) > g_StageFile.m_aLayers.size()) return 0;
  int32_t& shown = g_StageFile.m_aLayers[static_cast<size_t>(layer - 1)].m_bShown;
  switch (Param(cmd, 1)) {
    case kShow: shown = 1; break;
    case kHide: shown = 0; break;
    case kToggle: shown = shown ? 0 : 1; break;
    default: break;
  }
  return 0;
}

// The command's own sound rule: played unless it plays only on screen and the actor is off screen.
int CmdPlaySound(cCharaBase& actor, cFlowCmd& cmd) {
  if (cmd.m_bSoundOnScreen == 0 || actor.m_bOnScreen) RequestDataSound(static_cast<int16_t>(Param(cmd, 0)));
  return 0;
}

int CmdPlayBgm(cCharaBase&, cFlowCmd& cmd) {
  RequestBgmByNumber(Param(cmd, 0), Param(cmd, 1));
  return 0;
}
