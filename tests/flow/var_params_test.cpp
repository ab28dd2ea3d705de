#include "flow/var_params.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "data/database.h"
#include "data/palette.h"
#include "data/save_data.h"
#include "data/stage_data.h"
#include "flow/eval_world.h"
#include "objects/flow_state.h"

namespace {

TEST(VarParamTable, OneGroupPerCommandKindWithItsEntries) {
  g_VarParamTable.clear();
  InitVarParamTable();
  ASSERT_EQ(g_VarParamTable.size(), 40u);
  const std::map<int, size_t> sizes = {{2, 6},  {5, 6},   {6, 6},  {9, 1},  {10, 1}, {11, 32}, {12, 7},
                                       {13, 8}, {14, 10}, {15, 9}, {17, 5}, {19, 5}, {20, 6},  {21, 3},
                                       {22, 5}, {24, 1},  {25, 1}, {26, 2}, {29, 6}, {30, 1},  {31, 1},
                                       {32, 7}, {33, 4},  {34, 1}, {35, 1}, {36, 1}};
  for (int kind = 0; kind < 40; ++kind) {
    const auto size = sizes.find(kind);
    EXPECT_EQ(g_VarParamTable[kind].size(), size == sizes.end() ? 0u : size->second) << kind;
    // Exactly the kinds with entries have operations, and kinds 3, 4 and 7 empty ones.
    const bool operations = size != sizes.end() || kind == 3 || kind == 4 || kind == 7;
    EXPECT_EQ(g_VarParamGetters[kind] != nullptr, operations) << kind;
    EXPECT_EQ(g_VarParamSetters[kind] != nullptr, operations) << kind;
  }
  const cVarParam& shots = g_VarParamTable[11][5];
  EXPECT_EQ(shots.strLabel, "発射数");
  EXPECT_EQ(shots.nMin, 1);
  EXPECT_EQ(shots.nMax, 127);
  EXPECT_EQ(g_VarParamTable[11][31].strLabel, "取得アイテム");
  EXPECT_EQ(g_VarParamTable[33][3].strLabel, "%");
  EXPECT_EQ(g_VarParamTable[33][3].nMax, 100);
  InitVarParamTable();  // building again gives the same table
  EXPECT_EQ(g_VarParamTable[11].size(), 32u);
}

cFlowCmd Command(int kind, int params, int context = 0) {
  cFlowCmd cmd;
  cmd.m_nContext = static_cast<int8_t>(context);
  cmd.m_nKind = static_cast<int8_t>(kind);
  cmd.m_anParams.assign(static_cast<size_t>(params), 0);
  cmd.m_pMove = std::make_shared<cEdMove>();
  cmd.m_pShot = std::make_shared<cEdShot>();
  return cmd;
}

// A pending entry: target kind, entry number, operation, source (0 common, 1 stage, 2 character
// variable, 3 flow variable) and the source index.
std::vector<int32_t> Entry(int kind, int entry, int op, int source, int index) {
  return {kind, entry, op, source, index};
}

struct ArrangeCase {
  const char* name;
  std::function<void(cFlowCmd&)> prepare;  // the command's kind and settings before
  std::vector<int32_t> entry;
  int32_t source;                                // common variable 1 (also stage variable 1)
  std::function<int32_t(const cFlowCmd&)> read;  // the entry's field
  int32_t expected;
};

TEST(ApplyArrange, EntriesSourcesLimitsAndReferences) {
  auto kind = [](int k, int params, int context = 0) {
    return [=](cFlowCmd& cmd) { cmd = Command(k, params, context); };
  };
  auto param = [](int i) { return [i](const cFlowCmd& cmd) { return cmd.m_anParams[static_cast<size_t>(i)]; }; };
  auto sound = [](const cFlowCmd& cmd) -> int32_t { return cmd.m_nSound; };
  const ArrangeCase cases[] = {
      // Which command an entry reaches.
      {"stage clear: next stage number in P1", kind(17, 11), Entry(17, 0, 0, 0, 1), 12, param(1), 12},
      {"stage clear: map position x in P3", kind(17, 11), Entry(17, 3, 0, 0, 1), 12, param(3), 12},
      {"a message entry on a warp changes nothing", kind(20, 1), Entry(19, 1, 0, 0, 1), 12,
       [](const cFlowCmd& c) -> int32_t { return c.m_pMove->m_nM26; }, 0},
      {"an item message is a message", kind(4, 21, 1), Entry(19, 1, 0, 0, 1), 12, param(1), 12},
      {"source index 0 changes nothing", kind(17, 11), Entry(17, 0, 0, 0, 0), 12, param(1), 0},
      {"an entry beyond the group changes nothing", kind(17, 11), Entry(17, 5, 0, 0, 1), 12, param(1), 0},
      {"kinds without entries change nothing", kind(3, 0), Entry(3, 0, 0, 0, 1), 12,
       [](const cFlowCmd& c) -> int32_t { return c.m_pMove->m_nSpeed; }, 10},
      // Limits and operations.
      {"500 shots are 127", kind(11, 0), Entry(11, 5, 0, 0, 1), 500,
       [](const cFlowCmd& c) -> int32_t { return c.m_pShot->m_nPerRow; }, 127},
      {"add to the shot speed", kind(11, 0), Entry(11, 19, 1, 0, 1), 7,
       [](const cFlowCmd& c) -> int32_t { return c.m_pShot->m_nSpeed; }, 7},
      {"the formation's own limits", [](cFlowCmd& c) { c = Command(11, 0), c.m_pShot->m_nShotKind = 2; },
       Entry(11, 2, 0, 0, 1), 500, [](const cFlowCmd& c) -> int32_t { return c.m_pShot->m_anPattern[0]; },
       180},  // "拡散": "角度" 0..180,
      {"a formation without that value", [](cFlowCmd& c) { c = Command(13, 1), c.m_pShot->m_nShotKind = 4; },
       Entry(13, 1, 0, 0, 1), 5, [](const cFlowCmd& c) -> int32_t { return c.m_pShot->m_anPattern[0]; }, 0},
      {"the trajectory's own limits", [](cFlowCmd& c) { c = Command(11, 0), c.m_pShot->m_nTrajectory = 4; },
       Entry(11, 17, 0, 0, 1), 5000, [](const cFlowCmd& c) -> int32_t { return c.m_pShot->m_anTrajectory[1]; },
       999},  // "主人公へ誘導": "誘導終了(hbl)" 0..999,
      // "消滅値" 1..9 is the break strength (S48), not a piercing flag.
      {"a shot's vanish value is its break strength", kind(11, 0), Entry(11, 27, 0, 0, 1), 5,
       [](const cFlowCmd& c) -> int32_t { return c.m_pShot->m_nS48; }, 5},
      {"a vanish value of 12 is 9", kind(11, 0), Entry(11, 27, 0, 0, 1), 12,
       [](const cFlowCmd& c) -> int32_t { return c.m_pShot->m_nS48; }, 9},
      {"a vanish value of 0 is 1", kind(11, 0), Entry(11, 27, 0, 0, 1), 0,
       [](const cFlowCmd& c) -> int32_t { return c.m_pShot->m_nS48; }, 1},
      {"the vanish value leaves the piercing flag", kind(11, 0), Entry(11, 27, 0, 0, 1), 5,
       [](const cFlowCmd& c) -> int32_t { return c.m_pShot->m_nS45; }, 0},
      // Set target: "対象勢力" P2, "対象キャラID" P10, "キャラ変数と比較する数値" P13.
      {"set target: the group in P2", kind(21, 17), Entry(21, 0, 0, 0, 1), 9, param(2), 7},
      {"set target: the character ID in P10", kind(21, 17), Entry(21, 1, 0, 0, 1), 120, param(10), 99},
      {"set target: the compared number in P13", kind(21, 17), Entry(21, 2, 0, 0, 1), 2000000, param(13), 999999},
      {"movement angle", kind(2, 0), Entry(2, 4, 0, 0, 1), -9000,
       [](const cFlowCmd& c) -> int32_t { return c.m_pMove->m_nAngle; }, -7200},
      {"homing delay", kind(6, 0), Entry(6, 0, 0, 0, 1), 4,
       [](const cFlowCmd& c) -> int32_t { return c.m_pMove->m_nM29; }, 4},
      {"warp distance", kind(20, 1), Entry(20, 0, 0, 0, 1), 3,
       [](const cFlowCmd& c) -> int32_t { return c.m_pMove->m_nM26; }, 3},
      {"warp distance per index value", kind(20, 1), Entry(20, 1, 0, 0, 1), -3,
       [](const cFlowCmd& c) -> int32_t { return c.m_pMove->m_nM27; }, -3},
      {"warp target y", kind(20, 1), Entry(20, 3, 0, 0, 1), 17,
       [](const cFlowCmd& c) -> int32_t { return c.m_pMove->m_nCellY; }, 17},
      // References into the database and the palettes (4 sounds, 3 common items, 2 stage items).
      {"a sound in the database", kind(9, 1), Entry(9, 0, 0, 0, 1), 3, sound, 3},
      {"a sound beyond the database keeps the old one", kind(9, 1), Entry(9, 0, 0, 0, 1), 4, sound, 0},
      {"the sound effect command's sound is its parameter", kind(35, 1), Entry(35, 0, 0, 0, 1), 3, param(0), 3},
      {"a shot's item from the common palette", [](cFlowCmd& c) { c = Command(12, 0), c.m_pShot->m_nItemKind = 1; },
       Entry(12, 5, 0, 0, 1), 2, [](const cFlowCmd& c) -> int32_t { return c.m_pShot->m_nItemIndex; }, 2},
      {"a shot's item beyond the stage palette", [](cFlowCmd& c) { c = Command(12, 0), c.m_pShot->m_nItemKind = 2; },
       Entry(12, 5, 0, 0, 1), 2, [](const cFlowCmd& c) -> int32_t { return c.m_pShot->m_nItemIndex; }, 0},
      {"a shot without an item palette refuses", kind(12, 0), Entry(12, 5, 0, 0, 1), 1,
       [](const cFlowCmd& c) -> int32_t { return c.m_pShot->m_nItemIndex; }, 0},
      {"a summoned character from the stage palette",
       [](cFlowCmd& c) { c = Command(14, 1), c.m_pShot->m_nSummonPalette = 1; }, Entry(14, 0, 0, 0, 1), 1,
       [](const cFlowCmd& c) -> int32_t { return c.m_pShot->m_nSummonIndex; }, 1},
      {"an item get beyond the common palette", kind(25, 2), Entry(25, 0, 0, 0, 1), 3, param(1), 0},
      {"an item get with another palette code is not checked",
       [](cFlowCmd& c) { c = Command(25, 2), c.m_anParams[0] = 7; }, Entry(25, 0, 0, 0, 1), 3, param(1), 3},
      {"a graphic below 120", kind(26, 3), Entry(26, 0, 0, 0, 1), 119, param(1), 119},
      {"a character picture checked against the database", [](cFlowCmd& c) { c = Command(26, 3), c.m_anParams[0] = 4; },
       Entry(26, 0, 0, 0, 1), 119, param(1), 0},
      // The status operation's variable indexes.
      {"a common variable index", [](cFlowCmd& c) { c = Command(22, 25), c.m_anParams[0] = 1; }, Entry(22, 0, 0, 0, 1),
       999, param(2), 999},
      {"a flow variable index", [](cFlowCmd& c) { c = Command(22, 25), c.m_anParams[0] = 2; }, Entry(22, 0, 0, 0, 1), 3,
       param(5), 0},
      {"a character variable index", kind(22, 25), Entry(22, 0, 0, 0, 1), 9, param(2), 0},
      {"a stage status is not checked", [](cFlowCmd& c) { c = Command(22, 25), c.m_anParams[3] = 5; },
       Entry(22, 0, 0, 0, 1), 500, param(2), 500},
      {"a source flow variable", [](cFlowCmd& c) { c = Command(22, 25), c.m_anParams[7] = 4; }, Entry(22, 4, 0, 0, 1),
       2, param(15), 2},
      {"a source variable", [](cFlowCmd& c) { c = Command(22, 25), c.m_anParams[7] = 3; }, Entry(22, 4, 0, 0, 1), 12,
       param(12), 12},
  };
  for (const ArrangeCase& c : cases) {
    SCOPED_TRACE(c.name);
    cEvalWorld w;
    g_Database.m_aSound.resize(4);
    g_Database.m_aBmpCharaExc.resize(2);
    g_CommonPalette.m_aItemTypes.resize(3);
    g_StageFile.m_aPalItems.resize(2);
    g_StageFile.m_aPalCharas.resize(2);
    g_SaveData.m_anCommonVars[1] = c.source;
    cFlowCmd cmd;
    c.prepare(cmd);
    ApplyArrange(cmd, c.entry, w.Actor());
    EXPECT_EQ(c.read(cmd), c.expected);
  }
}

TEST(ApplyArrange, ValueSources) {
  cEvalWorld w;
  g_SaveData.m_anCommonVars[4] = 1;
  w.m_Harness.Stage().m_anStageVars[4] = 2;
  w.Actor().m_anVars[4] = 3;
  w.m_anFlowVars[0] = 4;
  w.m_anFlowVars[1] = 5;
  struct Case {
    int source;
    int index;
    int32_t expected;
  };
  const Case cases[] = {{0, 4, 1}, {1, 4, 2}, {2, 4, 3}, {3, 1, 4},   {3, 2, 5},
                        {3, 3, 0}, {2, 9, 0}, {4, 1, 0}, {0, 1001, 0}};
  for (const Case& c : cases) {
    cFlowCmd cmd = Command(17, 11);
    ApplyArrange(cmd, Entry(17, 0, 0, c.source, c.index), w.Actor());
    EXPECT_EQ(cmd.m_anParams[1], c.expected) << c.source << " " << c.index;
  }
  // Without a running flow there are no flow variables.
  w.m_Harness.Stage().m_lpFlowVars = nullptr;
  cFlowCmd cmd = Command(17, 11);
  ApplyArrange(cmd, Entry(17, 0, 0, 3, 1), w.Actor());
  EXPECT_EQ(cmd.m_anParams[1], 0);
}

TEST(ApplyArrange, PendingEntriesApplyInOrderAndAreUsedUp) {
  cEvalWorld w;
  g_SaveData.m_anCommonVars[1] = 10;
  g_SaveData.m_anCommonVars[2] = 5;
  cFlowState state;
  state.m_Arrange.push_back(Entry(29, 5, 0, 0, 1));  // scale := 10
  state.m_Arrange.push_back(Entry(29, 5, 3, 0, 2));  // scale *= 5
  cFlowCmd effect = Command(29, 10);
  ApplyArrangeList(effect, w.Actor(), state);
  EXPECT_EQ(effect.m_anParams[7], 50);
  EXPECT_TRUE(state.m_Arrange.empty());
  cFlowCmd next = Command(29, 10);
  ApplyArrangeList(next, w.Actor(), state);
  EXPECT_EQ(next.m_anParams[7], 0);

  // The hero's list serves the item commands, with the hero's own variables.
  w.Hero().m_anVars[3] = 6;
  w.Hero().m_Arrange.push_back(Entry(33, 1, 0, 2, 3));
  cFlowCmd colour = Command(18, 4, 1);  // item kind 18: the screen colour
  ApplyHeroArrangeList(colour, w.Hero());
  EXPECT_EQ(colour.m_anParams[1], 6);
  EXPECT_TRUE(w.Hero().m_Arrange.empty());
}

}  // namespace
