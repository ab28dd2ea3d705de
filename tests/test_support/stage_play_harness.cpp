#include "test_support/stage_play_harness.h"

#include "objects/chara_base.h"
#include "stage/block_charas.h"
#include "stage/condition_lists.h"
#include "stage/logic_substep.h"
#include "stage/stage_services.h"
#include "stage/summons.h"

namespace {

// The harness and frame in which a sub-step ended the frame; its remaining sub-steps do not run.
const cStageHarness* g_endedHarness = nullptr;
int g_endedFrame = 0;

int RecordDefeat(cCharaBase& chara) {
  const bool player = chara.m_nControl == 0;
  if (cStageHarness* h = cStageHarness::Active()) h->AddCall("defeat", {double(chara.m_nNumber), player ? 1.0 : 0.0});
  chara.m_bDead = 1;
  return player ? 2 : 0;
}

void RecordClearStage() {
  if (cStageHarness* h = cStageHarness::Active()) h->AddCall("clearStage", {});
}

void StagePlayFrameStart(cStageHarness&) { StartLogicFrame(); }

void StagePlaySubStep(cStageHarness& h, int subStep) {
  if (g_endedHarness == &h && g_endedFrame == h.m_nFrame) return;
  cSubStepEnds ends;
  ends.defeatChara = RecordDefeat;
  ends.clearStage = RecordClearStage;
  if (RunLogicSubStep(ends)) {
    g_endedHarness = &h;
    g_endedFrame = h.m_nFrame;
    h.AddCall("frameEnded", {double(h.m_nFrame), double(subStep)});
  }
}

bool StagePlayPlaceTaken(cCharaBase& chara) { return IsCharaPlaceTaken(chara); }

bool StagePlayConditionList(std::vector<cCond>& conds, int mode, cCharaBase* chara, int32_t* flowVars) {
  return EvaluateConditionList(conds, mode, chara, flowVars);
}

bool StagePlayFlowCondition(cFlowState& state, cCharaBase& chara) { return CheckFlowStartCondition(state, chara); }

void StagePlaySummonChara(double x, double y, cCharaType& type, const cEdShot& settings, cCharaBase* summoner) {
  if (cStageHarness* h = cStageHarness::Active())
    SummonCharaInto(g_CharaList, x, y, type, settings, h->Stage().m_nNextCharaId, summoner);
}

void StagePlaySummonItem(double x, double y, cItemType& type, const cEdShot& settings) {
  if (cStageHarness* h = cStageHarness::Active())
    SummonItemInto(g_ItemList, x, y, type, settings, h->Stage().m_nNextItemId);
}

int StagePlaySummonBlock(double x, double y, const cEdShot& settings, cBlockType& type) {
  return SummonBlockAt(x, y, settings, type);
}

}  // namespace

cHarnessPlugins CurrentHarnessPlugins() {
  const cHarnessPlugins plugins = SetHarnessPlugins({});
  SetHarnessPlugins(plugins);
  return plugins;
}

cHarnessPlugins WithStagePlay(cHarnessPlugins plugins) {
  g_endedHarness = nullptr;
  plugins.frameStart = StagePlayFrameStart;
  plugins.subStep = StagePlaySubStep;
  return plugins;
}

void AddStagePlayServices(cStageHooks& hooks) {
  hooks.isCharaPlaceBlocked = StagePlayPlaceTaken;
  hooks.evalConditionList = StagePlayConditionList;
  hooks.checkFlowCondition = StagePlayFlowCondition;
  hooks.summonChara = StagePlaySummonChara;
  hooks.summonItem = StagePlaySummonItem;
  hooks.summonBlock = StagePlaySummonBlock;
  hooks.eraseChara = EraseStageChara;
  hooks.countActiveBlocks = CountStageActiveBlocks;
}
