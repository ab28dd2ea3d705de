#include "objects/flow_hooks.h"

#include <utility>

namespace {
cFlowHooks g_flowHooks;
}

cFlowHooks SetFlowHooks(const cFlowHooks& hooks) { return std::exchange(g_flowHooks, hooks); }

void CallCharaCmdTable(cCharaBase& chara, cCmdState& state) {
  if (g_flowHooks.dispatchCharaCmd) g_flowHooks.dispatchCharaCmd(chara, state);
}

int CallItemCmdTable(cHero& hero, cFlowCmd& cmd) {
  return g_flowHooks.runItemCmd ? g_flowHooks.runItemCmd(hero, cmd) : 0;
}

void CallApplyArrangeList(cFlowCmd& cmd, cCharaBase& chara, cFlowState& state) {
  if (g_flowHooks.applyArrangeList) g_flowHooks.applyArrangeList(cmd, chara, state);
}

void CallApplyHeroArrangeList(cFlowCmd& cmd, cHero& hero) {
  if (g_flowHooks.applyHeroArrangeList) g_flowHooks.applyHeroArrangeList(cmd, hero);
}

void CallChangeFlow(cHero& hero, cFlowCmd& cmd) {
  if (g_flowHooks.runChangeFlow) g_flowHooks.runChangeFlow(hero, cmd);
}

void AddHitEffect(int effect, const cDblRect& a, const cDblRect& b, int scale) {
  if (g_flowHooks.addHitEffect) g_flowHooks.addHitEffect(effect, a, b, scale);
}

void AddItemMes(cHero& hero, int kind, int number, int pattern) {
  if (g_flowHooks.showItemMes) g_flowHooks.showItemMes(hero, kind, number, pattern);
}
