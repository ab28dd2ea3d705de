#include "stage/condition_lists.h"

#include "core/containers.h"
#include "core/numbers.h"
#include "data/block_type.h"
#include "data/game_data.h"
#include "objects/chara_base.h"
#include "objects/chara_conditions.h"
#include "objects/flow_state.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "objects/play_objects.h"
#include "objects/stage_state.h"

namespace {

bool Compare(int32_t value, const cCond& cond) { return CompareByOp(value, cond.m_nOperand, cond.m_nOperator) != 0; }

// The player's hero, which block and item conditions are tested against; none before set-up.
cCharaBase* PlayerHero() { return g_HeroList.empty() ? nullptr : &g_HeroList[0]; }

// The shared rule of the four latched checks.
bool CheckLatched(std::vector<cCond>& conds, int mode, int8_t once, int32_t& latch, cCharaBase* object,
                  int32_t* flowVars) {
  if (conds.empty()) return true;
  if (once && latch) return true;
  if (!EvaluateConditionList(conds, mode, object, flowVars)) return false;
  latch = 1;
  return true;
}

}  // namespace

bool EvalCondition(cCond& cond, cCharaBase* object, int32_t* flowVars) {
  switch (cond.m_nKind) {
    case kCondCommonVar: return Compare(VecAt(g_SaveData.m_anCommonVars, cond.m_nVarIndex), cond);
    case kCondStageVar: {
      cStageState* stage = g_lpSceneStage;
      return stage && Compare(VecAt(stage->m_anStageVars, cond.m_nVarIndex), cond);
    }
    case kCondCharaVar: return object && Compare(VecAt(object->m_anVars, cond.m_nVarIndex), cond);
    case kCondStatus: return object && CheckStatusCond(cond, *object, flowVars);
    case kCondStatus2: return object && CheckStatusCond2(*object, cond);
    case kCondState: return object && CheckStateCond(*object, cond);
    case kCondDistance: return object && CheckDistanceCond(*object, cond);
    default: return false;
  }
}

bool EvaluateConditionList(std::vector<cCond>& conds, int mode, cCharaBase* object, int32_t* flowVars) {
  if (mode == 0) {
    for (cCond& cond : conds)
      if (!EvalCondition(cond, object, flowVars)) return false;
    return true;
  }
  if (mode == 1) {
    for (cCond& cond : conds)
      if (EvalCondition(cond, object, flowVars)) return true;
    return false;
  }
  return false;
}

bool CheckBlockCondition(cBlock& cell) {
  return CheckLatched(cell.m_aConds, cell.m_nCondMode, cell.m_bCondLatch, cell.m_nLatch, PlayerHero(), nullptr);
}

bool CheckCharaCondition(cCharaBase& chara) {
  return CheckLatched(chara.m_Type.m_aConds, chara.m_Type.m_nCondMode, chara.m_Type.m_bCondLatch, chara.m_bCondLatch,
                      &chara, nullptr);
}

bool CheckItemCondition(cItem& item) {
  return CheckLatched(item.m_Type.m_aConds, item.m_Type.m_nCondMode, item.m_Type.m_bCondLatch, item.m_bCondLatch,
                      PlayerHero(), nullptr);
}

bool CheckFlowStartCondition(cFlowState& state, cCharaBase& object) {
  cFlow* flow = state.m_lpFlow;
  if (!flow) return true;
  return CheckLatched(flow->m_aConds, flow->m_nCondMode, flow->m_bCondLatch, state.m_bCondLatch, &object,
                      state.m_anFlowVars);
}
