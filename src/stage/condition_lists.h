#pragma once
// The condition lists of the flow language as stage play evaluates them: the appearance conditions
// of placed blocks, characters and items, and the start conditions of flows. A list holds when all
// (mode 0) or any (mode 1) of its conditions hold; an owner whose list has the once byte keeps a
// latch, so that such a list stays satisfied after its first success.
#include <cstdint>
#include <vector>

#include "data/cond.h"

class cBlock;
class cCharaBase;
class cFlowState;
class cItem;

// One condition: kinds 1-3 compare a common, stage or character variable with the operand (kind 3
// and kinds 4-7 need an object; without one they do not hold); kinds 4-7 are the status, status flag,
// state and distance tests of the objects. Kind 0 and unknown kinds never hold.
bool EvalCondition(cCond& cond, cCharaBase* object, int32_t* flowVars);
// Mode 0: every condition holds (an empty list holds); mode 1: some condition holds (an empty list
// does not); other modes never hold. Evaluation stops at the first deciding condition.
bool EvaluateConditionList(std::vector<cCond>& conds, int mode, cCharaBase* object, int32_t* flowVars);

// The latched checks: true for an empty list, true for a once list whose latch is set, else the list
// is evaluated and a success sets the latch. Blocks and items are tested against the player's hero,
// characters against themselves, flows against the given object with the flow's variables.
bool CheckBlockCondition(cBlock& cell);
bool CheckCharaCondition(cCharaBase& chara);
bool CheckItemCondition(cItem& item);
bool CheckFlowStartCondition(cFlowState& state, cCharaBase& object);
