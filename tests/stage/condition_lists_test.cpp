// The condition lists of stage play: the comparison codes, the all/any modes with the empty-list
// rule, where each kind reads its value, and the latches of blocks, characters, items and flows.
#include "stage/condition_lists.h"

#include <gtest/gtest.h>

#include "data/game_data.h"
#include "objects/flow_state.h"
#include "test_support/hooks_guard.h"
#include "test_support/stage_harness.h"

namespace {

cCond VarCond(int8_t kind, int index, int op, int operand) {
  cCond cond;
  cond.m_nKind = kind;
  cond.m_nVarIndex = static_cast<int16_t>(index);
  cond.m_nOperator = static_cast<int8_t>(op);
  cond.m_nOperand = operand;
  return cond;
}

class ConditionLists : public ::testing::Test {
 protected:
  ConditionLists() : m_Harness({"HIC", "...", "###"}) { g_SaveData.m_anCommonVars.assign(10, 0); }
  cStageHarness m_Harness;
};

}  // namespace

TEST_F(ConditionLists, ComparisonCodesOnACommonVariable) {
  struct Case {
    int value, op, operand;
    bool holds;
  };
  const Case cases[] = {
      {5, 0, 5, true},  {5, 0, 4, false}, {5, 1, 4, true},   {5, 1, 5, false}, {5, 2, 5, true},
      {4, 2, 5, false}, {5, 3, 5, true},  {6, 3, 5, false},  {6, 4, 5, true},  {5, 4, 5, false},
      {4, 5, 5, true},  {5, 5, 5, false}, {7, 6, 0, true},   {-6, 6, 3, true}, {7, 6, 3, false},
      {7, 7, 0, false}, {-7, 7, 3, true}, {-6, 7, 3, false}, {5, 8, 5, false}, {5, -1, 5, false},
  };
  for (const Case& c : cases) {
    g_SaveData.m_anCommonVars[3] = c.value;
    cCond cond = VarCond(kCondCommonVar, 3, c.op, c.operand);
    EXPECT_EQ(EvalCondition(cond, nullptr, nullptr), c.holds) << c.value << " op " << c.op << " " << c.operand;
  }
}

TEST_F(ConditionLists, EachKindReadsItsOwnVariablesAndObjectKindsNeedAnObject) {
  m_Harness.Stage().m_anStageVars[999] = 7;
  cChara& chara = m_Harness.Chara(0);
  chara.m_anVars[8] = 9;
  cCond stage = VarCond(kCondStageVar, 999, 0, 7);
  cCond own = VarCond(kCondCharaVar, 8, 0, 9);
  EXPECT_TRUE(EvalCondition(stage, nullptr, nullptr));
  EXPECT_TRUE(EvalCondition(own, &chara, nullptr));
  EXPECT_FALSE(EvalCondition(own, &m_Harness.Hero(), nullptr));  // the hero's variable is 0
  EXPECT_FALSE(EvalCondition(own, nullptr, nullptr));
  for (int8_t kind : {kCondStatus, kCondStatus2, kCondState, kCondDistance}) {
    cCond cond = VarCond(kind, 0, 0, 0);
    EXPECT_FALSE(EvalCondition(cond, nullptr, nullptr)) << int(kind);
  }
  cCond none = VarCond(kCondNone, 0, 0, 0);
  cCond unknown = VarCond(9, 0, 0, 0);
  EXPECT_FALSE(EvalCondition(none, &chara, nullptr));
  EXPECT_FALSE(EvalCondition(unknown, &chara, nullptr));
}

TEST_F(ConditionLists, AllAndAnyWithTheEmptyListRule) {
  const cCond yes = VarCond(kCondCommonVar, 0, 0, 0);  // the variable is 0
  const cCond no = VarCond(kCondCommonVar, 0, 1, 0);
  struct Case {
    std::vector<cCond> conds;
    int mode;
    bool holds;
  };
  const std::vector<Case> cases = {
      {{}, 0, true},        {{}, 1, false},       {{yes, yes}, 0, true}, {{yes, no}, 0, false},
      {{no, yes}, 1, true}, {{no, no}, 1, false}, {{yes}, 2, false},     {{}, -1, false},
  };
  for (const Case& c : cases) {
    std::vector<cCond> conds = c.conds;
    EXPECT_EQ(EvaluateConditionList(conds, c.mode, nullptr, nullptr), c.holds)
        << conds.size() << " conditions, mode " << c.mode;
  }
}

TEST_F(ConditionLists, OnceListsStayTrueAndOthersAreEvaluatedEveryTime) {
  cChara& chara = m_Harness.Chara(0);
  chara.m_Type.m_aConds = {VarCond(kCondCommonVar, 1, 0, 1)};
  chara.m_Type.m_nCondMode = 0;
  EXPECT_FALSE(CheckCharaCondition(chara));
  EXPECT_EQ(chara.m_bCondLatch, 0);
  g_SaveData.m_anCommonVars[1] = 1;
  EXPECT_TRUE(CheckCharaCondition(chara));
  g_SaveData.m_anCommonVars[1] = 0;
  EXPECT_FALSE(CheckCharaCondition(chara));  // no once byte: the latch does not count
  chara.m_Type.m_bCondLatch = 1;
  EXPECT_TRUE(CheckCharaCondition(chara));  // once: satisfied before, stays satisfied

  cItem& item = m_Harness.Item(0);
  item.m_Type.m_aConds = {VarCond(kCondCommonVar, 2, 0, 1)};
  item.m_Type.m_bCondLatch = 1;
  EXPECT_FALSE(CheckItemCondition(item));
  g_SaveData.m_anCommonVars[2] = 1;
  EXPECT_TRUE(CheckItemCondition(item));
  g_SaveData.m_anCommonVars[2] = 0;
  EXPECT_TRUE(CheckItemCondition(item));
}

TEST_F(ConditionLists, BlockConditionsAreTestedAgainstTheHeroAndDecideTheBlocksContact) {
  cHooksGuard blocks(SetBlockHooks, cBlockHooks{CheckBlockCondition});
  cBlock& cell = m_Harness.Cell(0, 2);
  EXPECT_EQ(GetBlockContact(cell, 0), 1);  // no conditions: present
  cell.m_aConds = {VarCond(kCondCharaVar, 0, 0, 4)};
  EXPECT_EQ(GetBlockContact(cell, 0), 0);
  m_Harness.Hero().m_anVars[0] = 4;
  EXPECT_EQ(GetBlockContact(cell, 0), 1);
  cell.m_bCondLatch = 1;
  EXPECT_EQ(GetBlockContact(cell, 0), 1);  // latched in the cell
  m_Harness.Hero().m_anVars[0] = 0;
  EXPECT_EQ(GetBlockContact(cell, 0), 1);
  EXPECT_EQ(cell.m_nLatch, 1);
}

TEST_F(ConditionLists, FlowStartConditionsUseTheFlowsModeLatchAndVariables) {
  cFlow flow;
  cFlowState state;
  state.m_lpFlow = &flow;
  cChara& chara = m_Harness.Chara(0);
  flow.m_nCondMode = 1;
  EXPECT_TRUE(CheckFlowStartCondition(state, chara));  // empty: true, whatever the mode
  flow.m_aConds = {VarCond(kCondCharaVar, 0, 0, 3)};
  EXPECT_FALSE(CheckFlowStartCondition(state, chara));
  chara.m_anVars[0] = 3;
  flow.m_bCondLatch = 1;
  EXPECT_TRUE(CheckFlowStartCondition(state, chara));
  chara.m_anVars[0] = 0;
  EXPECT_TRUE(CheckFlowStartCondition(state, chara));
  EXPECT_EQ(state.m_bCondLatch, 1);
  state.m_bCondLatch = 0;
  EXPECT_FALSE(CheckFlowStartCondition(state, chara));
}
