#include "objects/stage_state.h"

#include "objects/chara_base.h"
#include "objects/shot.h"

cStageState* g_lpSceneStage = nullptr;

cStageState::cStageState()
    : m_aShotGroups(kStageGroupCount),
      m_aCharaGroups(kStageGroupCount),
      m_abActiveGroups(kActivityFlagCount, 0),
      m_anStageVars(kStageVarCount, 0) {}

cStageState::~cStageState() = default;

int StageOriginCells(int axis) {
  const cStageState* stage = g_lpSceneStage;
  if (!stage) return 0;
  return axis == 0 ? stage->m_ScrollX.m_nMarginCells : stage->m_ScrollY.m_nMarginCells;
}
