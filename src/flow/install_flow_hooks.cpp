// The flow layer's side of the objects' seam: the command tables, the arrange entries, the hero's
// queued flow changes, the effects of hits and the rising item picture.
#include "flow/install_flow_hooks.h"

#include "flow/cmd_tables.h"
#include "flow/effect_obj.h"
#include "flow/flow_stage.h"
#include "flow/mes_window.h"
#include "flow/var_params.h"
#include "objects/flow_hooks.h"
#include "objects/hero.h"

namespace {

void DispatchCharaCmd(cCharaBase& chara, cCmdState& state) { RunCharaCmdEntry(chara, state); }

// A change the hero queued while its flows ran: carried out now.
void RunQueuedChangeFlow(cHero& hero, cFlowCmd& cmd) { CmdChangeFlow(hero, cmd, 0); }

// A hit's effect joins the running effects of the stage (its random spread is drawn even without a
// stage to hold it, so the draws keep their count).
void AppendHitEffect(int effect, const cDblRect& a, const cDblRect& b, int scale) {
  cEffectObj hit = EffectObjAtHit(effect, a, b, scale);
  if (cFlowStage* stage = FlowStage()) stage->m_Effects.push_back(hit);
}

void ShowItemMes(cHero& hero, int kind, int number, int pattern) { AppendItemMesWindow(hero, kind, number, pattern); }

}  // namespace

void InstallFlowHooks() {
  cFlowHooks hooks;
  hooks.dispatchCharaCmd = DispatchCharaCmd;
  hooks.runItemCmd = RunItemCmdEntry;
  hooks.applyArrangeList = ApplyArrangeList;
  hooks.applyHeroArrangeList = ApplyHeroArrangeList;
  hooks.runChangeFlow = RunQueuedChangeFlow;
  hooks.addHitEffect = AppendHitEffect;
  hooks.showItemMes = ShowItemMes;
  SetFlowHooks(hooks);
}
