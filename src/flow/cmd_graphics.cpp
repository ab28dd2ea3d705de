// The commands that change how a character looks: its graphic, its basic animation set, and the
// overlay animations played over it.
#include <cstdint>

#include "core/containers.h"
#include "core/log.h"
#include "data/anim_scripts.h"
#include "flow/object_cmds.h"
#include "objects/anim_seq.h"
#include "objects/chara_base.h"
#include "objects/flow_state.h"
#include "objects/stage_state.h"

int CmdGraphicChange(cCharaBase& actor, cFlowCmd& cmd) {
  actor.m_Type.m_nGraphicKind = static_cast<int8_t>(Param(cmd, 0));
  actor.m_Type.m_nGraphic = static_cast<int16_t>(Param(cmd, 1));
  actor.m_Type.m_nGraphicSub = static_cast<int16_t>(Param(cmd, 2));
  return 0;
}

int CmdAnimeSetChange(cCharaBase& actor, cFlowCmd& cmd) {
  actor.SetAnimeSet(static_cast<int16_t>(Param(cmd, 0)), 0);
  return 0;
}

int CmdRunAnime(cCharaBase& actor, cFlowCmd& cmd) {
  const int anime = Param(cmd, 0);
  if (Param(cmd, 1) != 0) {
    RemoveOverlaysOfAnime(actor.m_Overlays, anime);
    return 0;
  }
  if (anime < 0 || static_cast<size_t>(anime) >= g_AnimeScripts.size()) {
    // An overlay of a missing animation would never end: reported and left out.
    LogPrintf("animation %d does not exist: not run", anime);
    return 0;
  }
  const cFlowState* flow = g_lpSceneStage ? g_lpSceneStage->m_lpCurFlowState : nullptr;
  cAnimOverlay& overlay = actor.m_Overlays.emplace_back();
  overlay.nAnime = anime;
  overlay.nSerial = flow ? flow->m_nSerial : -1;
  overlay.seq.LoadAnimePatterns(&g_AnimeScripts);
  overlay.seq.SetAnime(anime, 1);
  return 0;
}
