#include "test_support/stage_play_harness.h"

#include "objects/chara_base.h"
#include "stage/block_charas.h"
#include "stage/logic_substep.h"

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

void AddStagePlayServices(cStageHooks& hooks) { hooks.isCharaPlaceBlocked = StagePlayPlaceTaken; }
