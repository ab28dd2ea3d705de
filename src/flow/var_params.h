#pragma once
// The variable-assignable parameters of the arrange command ("アレンジ"): one group of settable
// parameters per character command kind, each with a label and limits, built once at start-up, and
// the application of the pending arrange entries to the command that follows them.
#include <cstdint>
#include <list>
#include <string>
#include <vector>

#include "data/flow_cmd.h"
#include "data/vocabulary_tables.h"

class cCharaBase;
class cFlowState;
class cHero;

// One settable parameter.
struct cVarParam {
  std::string strLabel;
  int32_t nMin = 0;
  int32_t nMax = 0;
};

// Group k for character command kind k (kCharaCmdKindCount groups).
extern std::vector<std::vector<cVarParam>> g_VarParamTable;

// A kind's reading and writing of its entry n of a command.
using VarParamGetter = int32_t (*)(const cFlowCmd& cmd, int entry);
using VarParamSetter = void (*)(cFlowCmd& cmd, int entry, int32_t value);
extern const VarParamGetter g_VarParamGetters[kCharaCmdKindCount];
extern const VarParamSetter g_VarParamSetters[kCharaCmdKindCount];

// Builds g_VarParamTable. ApplyArrange builds it the first time it is needed, so start-up need not.
void InitVarParamTable();
// Applies the flow state's pending entries to the command in order, then empties the list.
void ApplyArrangeList(cFlowCmd& cmd, cCharaBase& chara, cFlowState& state);
// The same with the hero's list (item commands).
void ApplyHeroArrangeList(cFlowCmd& cmd, cHero& hero);
// One entry: P0 target kind, P1 entry, P2 operation, P3 source, P4 index; silent refusals.
void ApplyArrange(cFlowCmd& cmd, const std::vector<int32_t>& entry, cCharaBase& chara);
