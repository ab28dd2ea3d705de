#include "objects/stage_hooks.h"

#include <iterator>
#include <utility>

namespace {
cStageHooks g_stageHooks;
}

cStageHooks SetStageHooks(const cStageHooks& hooks) { return std::exchange(g_stageHooks, hooks); }

bool CheckFlowCondition(cFlowState& state, cCharaBase& chara) {
  return g_stageHooks.checkFlowCondition && g_stageHooks.checkFlowCondition(state, chara);
}

bool EvalConditionList(std::vector<cCond>& conds, int mode, cCharaBase* chara, int32_t* flowVars) {
  return g_stageHooks.evalConditionList && g_stageHooks.evalConditionList(conds, mode, chara, flowVars);
}

int TakeItem(cItem& item, cHero& hero) { return g_stageHooks.takeItem ? g_stageHooks.takeItem(item, hero) : 0; }

void SummonChara(double x, double y, cCharaType& type, const cEdShot& settings, cCharaBase* summoner) {
  if (g_stageHooks.summonChara) g_stageHooks.summonChara(x, y, type, settings, summoner);
}

void SummonItem(double x, double y, cItemType& type, const cEdShot& settings) {
  if (g_stageHooks.summonItem) g_stageHooks.summonItem(x, y, type, settings);
}

int SummonBlock(double x, double y, const cEdShot& settings, cBlockType& type) {
  return g_stageHooks.summonBlock ? g_stageHooks.summonBlock(x, y, settings, type) : 0;
}

std::list<cChara>::iterator EraseChara(std::list<cChara>::iterator pos) {
  return g_stageHooks.eraseChara ? g_stageHooks.eraseChara(pos) : std::next(pos);
}

bool IsCharaPlaceBlocked(cCharaBase& chara) {
  return g_stageHooks.isCharaPlaceBlocked && g_stageHooks.isCharaPlaceBlocked(chara);
}

int CountActiveBlocks() { return g_stageHooks.countActiveBlocks ? g_stageHooks.countActiveBlocks() : 0; }

void SetupGameWait(int kind, int keyWait, int frames, int noDelay, const std::vector<cChoiceEntry>* choices) {
  if (g_stageHooks.setupGameWait) g_stageHooks.setupGameWait(kind, keyWait, frames, noDelay, choices);
}

int RunModalWait(int postStart) { return g_stageHooks.runModalWait ? g_stageHooks.runModalWait(postStart) : 0; }

void ChangeScreenColour(const cFlowCmd& cmd) {
  if (g_stageHooks.changeScreenColour) g_stageHooks.changeScreenColour(cmd);
}

void BuildViewMask(cHero& hero) {
  if (g_stageHooks.buildViewMask) g_stageHooks.buildViewMask(hero);
}

void RequestBgmByNumber(int number, int option) {
  if (g_stageHooks.requestBgmByNumber) g_stageHooks.requestBgmByNumber(number, option);
}
