#include "stage/stage_services.h"

#include <cstdint>

#include "core/containers.h"
#include "core/log.h"
#include "data/block_type.h"
#include "data/game_data.h"
#include "data/stage_data.h"
#include "media/sound/music_requests.h"
#include "objects/chara.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "objects/object.h"
#include "objects/play_objects.h"
#include "objects/stage_hooks.h"
#include "objects/stage_state.h"
#include "platform/messages.h"
#include "shell/main_window.h"
#include "stage/block_charas.h"
#include "stage/chara_removal.h"
#include "stage/condition_lists.h"
#include "stage/hits.h"
#include "stage/summons.h"
#include "stage/view_mask.h"

namespace {

bool HookCheckFlowCondition(cFlowState& state, cCharaBase& chara) { return CheckFlowStartCondition(state, chara); }

bool HookEvalConditionList(std::vector<cCond>& conds, int mode, cCharaBase* chara, int32_t* flowVars) {
  return EvaluateConditionList(conds, mode, chara, flowVars);
}

void HookSummonChara(double x, double y, cCharaType& type, const cEdShot& settings, cCharaBase* summoner) {
  if (cStageState* stage = g_lpSceneStage)
    SummonCharaInto(g_CharaList, x, y, type, settings, stage->m_nNextCharaId, summoner);
}

void HookSummonItem(double x, double y, cItemType& type, const cEdShot& settings) {
  if (cStageState* stage = g_lpSceneStage) SummonItemInto(g_ItemList, x, y, type, settings, stage->m_nNextItemId);
}

int HookSummonBlock(double x, double y, const cEdShot& settings, cBlockType& type) {
  return SummonBlockAt(x, y, settings, type);
}

bool HookIsCharaPlaceBlocked(cCharaBase& chara) { return IsCharaPlaceTaken(chara); }

void HookBuildViewMask(cHero& hero) { RebuildViewMask(hero); }

bool HookBlockConditionsHold(cBlock& cell) { return CheckBlockCondition(cell); }

void HookSetProgressMusic(int number) { g_SaveData.m_nBgm = number; }
int HookProgressMusicOption() { return g_SaveData.m_nBgmOption; }

}  // namespace

std::list<cChara>::iterator EraseStageChara(std::list<cChara>::iterator pos) { return RemoveCharaQuietly(pos); }

int CountStageActiveBlocks() {
  const cStageState* stage = g_lpSceneStage;
  if (!stage) return 0;
  const int firstColumn = stage->m_nBlockOriginX;
  const int firstRow = stage->m_nBlockOriginY;
  int count = 0;
  for (int row = firstRow; row < firstRow + g_StageFile.m_nHeight; ++row) {
    for (int column = firstColumn; column < firstColumn + g_StageFile.m_nWidth; ++column) {
      cBlock* block = BlockAtCell(column, row);
      if (block && block->m_nGraphic != 0 && CheckBlockCondition(*block)) ++count;
    }
  }
  return count;
}

void RequestStageBgm(int number, int option) {
  g_SaveData.m_nBgmOption = option;
  SendMessage(g_hMainWnd.load(), WM_PLAYBGM, kBgmSituationStage, number);
}

void InstallStageServices() {
  cStageHooks hooks = SetStageHooks(cStageHooks());
  hooks.checkFlowCondition = HookCheckFlowCondition;
  hooks.evalConditionList = HookEvalConditionList;
  hooks.summonChara = HookSummonChara;
  hooks.summonItem = HookSummonItem;
  hooks.summonBlock = HookSummonBlock;
  hooks.eraseChara = EraseStageChara;
  hooks.isCharaPlaceBlocked = HookIsCharaPlaceBlocked;
  hooks.countActiveBlocks = CountStageActiveBlocks;
  hooks.buildViewMask = HookBuildViewMask;
  hooks.requestBgmByNumber = RequestStageBgm;
  hooks.takeItem = TakeStageItem;
  SetStageHooks(hooks);

  SetBlockHooks(cBlockHooks{HookBlockConditionsHold});

  cUiHooks ui = SetUiHooks(cUiHooks());
  ui.setProgressMusic = HookSetProgressMusic;
  ui.progressMusicOption = HookProgressMusicOption;
  SetUiHooks(ui);
}
