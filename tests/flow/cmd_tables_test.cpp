// The character command table: what its entries of this layer do with the command state, kinds
// outside the table and bodies still to come refused, the flow context kept across an entry, the
// shared result store and the arrange entries.
#include <gtest/gtest.h>

#include <list>
#include <string>
#include <vector>

#include "data/save_data.h"
#include "data/system_data.h"
#include "message_fixture.h"
#include "objects/flow_state.h"
#include "objects/hero.h"

namespace {

class CharaCmdTable : public MessageScriptedWait {
 protected:
  CharaCmdTable() {
    state.m_lpCmd = &cmd;
    h.Stage().m_lpCurObject = &h.Hero();
    h.Stage().m_lpCurFlowState = &flow;
    h.Stage().m_lpCurCmdState = &state;
  }

  // Runs a command of the kind with the parameters through the table.
  int Run(int kind, std::vector<int32_t> params = {}) {
    cmd.m_nKind = static_cast<int8_t>(kind);
    params.resize(21, 0);
    cmd.m_anParams = params;
    return RunCharaCmdEntry(h.Hero(), state);
  }

  cFlowCmd cmd;
  cCmdState state;
  cFlowState flow;
};

TEST_F(CharaCmdTable, StageClearEndsTheStage) {
  EXPECT_EQ(Run(17, {3}), 1);
  EXPECT_EQ(h.Stage().m_nEndRequest, kEndClear);
  EXPECT_EQ(g_SaveData.m_nNextStage, 0);
}

TEST_F(CharaCmdTable, AMessageContinuesTheFlowsKeyWaitingMessage) {
  flow.m_bMesWait = 0;
  Run(19, {0, 0, 0, 0, 0, 0, 0, 0, 1});
  flow.m_bMesWait = 1;
  Run(19, {0, 0, 0, 0, 0, 0, 0, 0, 1});
  const std::vector<cHarnessCall> waits = h.CallsOf("setupGameWait");
  ASSERT_EQ(waits.size(), 2u);
  EXPECT_EQ(waits[0].adArgs[3], 0);
  EXPECT_EQ(waits[1].adArgs[3], 1);
  EXPECT_EQ(h.Sounds(), (std::vector<int>{11}));
}

TEST_F(CharaCmdTable, AGameWaitWaitsItsTenthsOfASecond) {
  Run(18, {2});
  EXPECT_EQ(h.CallsOf("setupGameWait")[0].adArgs[2], 12);
  EXPECT_EQ(h.CallsOf("runModalWait").size(), 1u);
  EXPECT_TRUE(h.Stage().m_MesWindows.empty());
}

TEST_F(CharaCmdTable, RowsWithoutABodyHereChangeNothing) {
  // The empty row, the runner's wait and loop, and kinds outside the table.
  const int kinds[] = {0, 1, 39, -1, 40, 127, -128};
  for (int kind : kinds) {
    EXPECT_EQ(Run(kind, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}), 0) << kind;
    EXPECT_EQ(flowVars[0], 0) << kind;
  }
  EXPECT_TRUE(h.Calls().empty());
  EXPECT_TRUE(h.Stage().m_MesWindows.empty());
  EXPECT_EQ(h.Stage().m_nEndRequest, kEndNone);
  // A state without its command runs nothing.
  cCmdState empty;
  EXPECT_EQ(RunCharaCmdEntry(h.Hero(), empty), 0);
}

TEST_F(CharaCmdTable, TheFlowContextIsTheSameAfterAnEntry) {
  int32_t otherVars[2] = {};
  cFlowState otherFlow;
  cCmdState otherState;
  cStageState& stage = h.Stage();
  stage.m_lpFlowVars = flowVars;
  // A nested run inside the body (a trigger of another character's flows) leaves its own context.
  g_DuringWait = [&](cFlowStage& s) {
    s.m_lpCurObject = &h.Chara(0);
    s.m_lpCurFlowState = &otherFlow;
    s.m_lpCurCmdState = &otherState;
    s.m_lpFlowVars = otherVars;
    s.m_lpCurObject2 = nullptr;
  };
  Run(18, {1});
  EXPECT_EQ(stage.m_lpCurObject, &h.Hero());
  EXPECT_EQ(stage.m_lpCurFlowState, &flow);
  EXPECT_EQ(stage.m_lpCurCmdState, &state);
  EXPECT_EQ(stage.m_lpFlowVars, flowVars);
  // Or clears it.
  g_DuringWait = [](cFlowStage& s) {
    s.m_lpCurObject = nullptr;
    s.m_lpCurFlowState = nullptr;
    s.m_lpFlowVars = nullptr;
  };
  Run(18, {1});
  EXPECT_EQ(stage.m_lpCurObject, &h.Hero());
  EXPECT_EQ(stage.m_lpFlowVars, flowVars);
}

TEST_F(CharaCmdTable, ConsecutiveArrangesWaitForTheNextCommand) {
  Run(38, {10, 2, 0, 1, 5});
  Run(38, {10, 3, 1, 0, 7});
  ASSERT_EQ(flow.m_Arrange.size(), 2u);
  std::vector<int32_t> first = flow.m_Arrange.front();
  first.resize(5);
  EXPECT_EQ(first, (std::vector<int32_t>{10, 2, 0, 1, 5}));
  // Without a running flow there is nowhere to put them.
  h.Stage().m_lpCurFlowState = nullptr;
  Run(38, {1});
  EXPECT_EQ(flow.m_Arrange.size(), 2u);
  // An item's arrange waits on the hero.
  cFlowCmd itemArrange;
  itemArrange.m_nContext = 1;
  itemArrange.m_nKind = 23;
  itemArrange.m_anParams = {2, 0, 0, 0, 4};
  CmdArrange(h.Hero(), itemArrange);
  ASSERT_EQ(h.Hero().m_Arrange.size(), 1u);
  EXPECT_EQ(h.Hero().m_Arrange.front(), itemArrange.m_anParams);
  CmdArrange(h.Chara(0), itemArrange);  // only the hero takes items
  EXPECT_EQ(h.Hero().m_Arrange.size(), 1u);
}

TEST_F(CharaCmdTable, AResultGoesToTheRunningFlowsVariables) {
  flowVars[0] = 5;
  flowVars[1] = 6;
  StoreFlowResult(9);
  EXPECT_EQ(flowVars[0], 9);
  EXPECT_EQ(flowVars[1], 6);
  g_SystemData.m_bLegacy981 = 1;
  StoreFlowResult(-4);
  EXPECT_EQ(flowVars[0], -4);
  EXPECT_EQ(flowVars[1], 0);
  // Without running flow variables nothing is written.
  h.Stage().m_lpFlowVars = nullptr;
  StoreFlowResult(1);
  EXPECT_EQ(flowVars[0], -4);
}

TEST_F(CharaCmdTable, StatusOperationAndCodeRowsInBothTables) {
  // "ステータスの操作": flow variable A := 40 (+ 2 in the item context) on the running pair.
  std::vector<int32_t> status(25, 0);
  status[0] = 2;  // a flow variable
  status[5] = 1;  // A
  status[8] = 40;
  cmd.m_nKind = 22;
  cmd.m_anParams = status;
  RunCharaCmdEntry(h.Hero(), state);
  EXPECT_EQ(flowVars[0], 40);
  status[6] = 1;  // add
  status[8] = 2;
  cmd.m_nKind = 7;
  cmd.m_anParams = status;
  EXPECT_EQ(RunItemCmdEntry(h.Hero(), cmd), 0);
  EXPECT_EQ(flowVars[0], 42);

  // "コードの実行": the command's text for the executing character; the character row hands back
  // the evaluation's result, the item row always goes on.
  struct CodeCase {
    const char* text;
    int ok;
    int32_t c1;
  };
  const CodeCase cases[] = {{"C1 = 6 * 7", 1, 42}, {"C1 = C1 + 1", 1, 43}, {"C1 = 2 *", 0, 43}};
  for (const CodeCase& c : cases) {
    cmd.m_strText = c.text;
    cmd.m_nKind = 37;
    EXPECT_EQ(RunCharaCmdEntry(h.Hero(), state), c.ok) << c.text;
    EXPECT_EQ(g_SaveData.m_anCommonVars[1], c.c1) << c.text;
  }
  cmd.m_nKind = 22;
  cmd.m_strText = "C1 = C1 - 3";
  EXPECT_EQ(RunItemCmdEntry(h.Hero(), cmd), 0);
  EXPECT_EQ(g_SaveData.m_anCommonVars[1], 40);
  cmd.m_strText = "C1 = 2 *";
  EXPECT_EQ(RunItemCmdEntry(h.Hero(), cmd), 0);
}

}  // namespace
