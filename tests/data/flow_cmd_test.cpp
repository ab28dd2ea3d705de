#include "data/flow_cmd.h"

#include <optional>

#include "data/flow.h"
#include "data/vocabulary_tables.h"
#include "flow_bytes.h"
#include "game_data_fixture.h"
#include "settings_bytes.h"

class FlowCmdTest : public GameDataTest {
 protected:
  static cFlowCmd LoadCmd(uint32_t version, const cCmdBytes& c, size_t* used = nullptr) {
    cFlowCmd cmd;
    EXPECT_TRUE(LoadBody(cmd, version, CmdBody(version, c), used)) << version;
    return cmd;
  }
  static std::vector<int32_t> Seq(int n, int step = 1) {
    std::vector<int32_t> v;
    for (int i = 0; i < n; ++i) v.push_back(i * step);
    return v;
  }
  static void SetSwordDurations(std::vector<int32_t> durations) {
    auto& entries = g_Database.m_aSwordType[0].m_aEntries;
    entries.resize(durations.size());
    for (size_t i = 0; i < durations.size(); ++i) entries[i].m_nValue10 = durations[i];
  }
};

TEST_F(FlowCmdTest, ParametersTakeTheKindsCount) {
  cCmdBytes c;
  c.kind = 19;  // "メッセージ": 21 parameters
  cFlowCmd cmd = LoadCmd(986, c);
  EXPECT_EQ(cmd.m_anParams, std::vector<int32_t>(21, 0));
  // lengthened in memory, written with the table's count
  cmd.m_anParams.resize(40, 7);
  c.params = std::vector<int32_t>(21, 0);
  EXPECT_EQ(SaveBody(cmd), CmdBody(986, c));
  // item kind 5 "ワープ" has no parameters, character kind 20 has one
  EXPECT_EQ(g_CharaCmdKinds[20].nParams, 1);
  cCmdBytes item;
  item.context = 1;
  item.kind = 5;
  item.params = {4, 5};
  EXPECT_TRUE(LoadCmd(986, item).m_anParams.empty());
}

TEST_F(FlowCmdTest, KindOutsideItsTableBecomesTheEmptyKind) {
  for (int kind : {40, 100, -1, -128}) {
    cCmdBytes c;
    c.kind = static_cast<int8_t>(kind);
    c.params = {1, 2, 3};
    cFlowCmd cmd = LoadCmd(986, c);
    EXPECT_EQ(cmd.m_nKind, 0) << kind;
    EXPECT_TRUE(cmd.m_anParams.empty()) << kind;
  }
  cCmdBytes item;
  item.context = 1;
  item.kind = 25;
  EXPECT_EQ(LoadCmd(986, item).m_nKind, 0);
}

TEST_F(FlowCmdTest, SwordUseTimeIsTheCappedSumOfItsEntries) {
  cCmdBytes c;
  c.kind = kCmdSword;
  c.shot = SettingsBody(EdShotSpec(), 986, {{26, 1}});
  SetSwordDurations({4000, 4000, 4000});
  EXPECT_EQ(LoadCmd(986, c).m_nUseTime, 9999);
  SetSwordDurations({30000, 30000});  // a 16-bit sum would wrap negative
  EXPECT_EQ(LoadCmd(986, c).m_nUseTime, 9999);
  SetSwordDurations({5, 0x10007});  // each entry counts by its low 16 bits
  EXPECT_EQ(LoadCmd(986, c).m_nUseTime, 12);
  // a sword type outside the list is reset to 0
  c.shot = SettingsBody(EdShotSpec(), 986, {{26, 1}, {28, 9}});
  cFlowCmd cmd = LoadCmd(986, c);
  EXPECT_EQ(cmd.m_pShot->m_nTrajectory, 0);
  EXPECT_EQ(cmd.m_nUseTime, 12);
  // without shot settings there is nothing to read, and nothing breaks
  c.shot.clear();
  c.useTime = 33;
  EXPECT_EQ(LoadCmd(986, c).m_nUseTime, 33);
}

TEST_F(FlowCmdTest, DatabaseReferencesAreClamped) {
  struct Case {
    int context, kind;
    std::vector<int32_t> params;
    size_t index;
    int32_t expected;
  };
  const Case cases[] = {
      {0, 36, {5, 0}, 0, 1},                             // "BGMの再生" outside the list becomes 1
      {0, 36, {1, 0}, 0, 1},    {0, 36, {-1, 0}, 0, 1},  // negative counts as too large
      {0, 27, {7}, 0, 0},                                // an animation set outside becomes 0
      {0, 26, {4, 9, 0}, 1, 1},                          // character graphic, only when P0 = 4
      {0, 26, {3, 9, 0}, 1, 9}, {1, 21, {8, 0}, 0, 1},   // item kind 21 is character kind 36
      {1, 12, {3}, 0, 0},
  };
  for (const Case& c : cases) {
    cCmdBytes b;
    b.context = static_cast<int8_t>(c.context);
    b.kind = static_cast<int8_t>(c.kind);
    b.params = c.params;
    EXPECT_EQ(LoadCmd(986, b).m_anParams.at(c.index), c.expected) << c.context << "/" << c.kind;
  }
  // a database list of a single entry: reset to 1 would still be out of range, so it becomes 0
  g_Database.m_aBgm.resize(1);
  cCmdBytes bgm;
  bgm.kind = 36;
  bgm.params = {5, 0};
  EXPECT_EQ(LoadCmd(986, bgm).m_anParams[0], 0);
  // animation and sound of every command
  cCmdBytes any;
  any.kind = 1;
  any.anime = 2;
  any.sound = -5;
  cFlowCmd cmd = LoadCmd(986, any);
  EXPECT_EQ(cmd.m_nAnime, 0);
  EXPECT_EQ(cmd.m_nSound, 0);
}

TEST_F(FlowCmdTest, ConditionListFlagFrom764) {
  cCmdBytes c;
  c.kind = 1;
  size_t used = 0;
  std::vector<uint8_t> bytes = CmdBody(763, c);
  cFlowCmd cmd = LoadCmd(763, c, &used);
  EXPECT_EQ(used, bytes.size());
  EXPECT_FALSE(cmd.m_pCondList);
  // a flow-operation command of such a file gets a list with its conditions switched off
  c.kind = kCmdFlowOp;
  cmd = LoadCmd(763, c);
  ASSERT_TRUE(cmd.m_pCondList);
  EXPECT_EQ(cmd.m_pCondList->m_bUse, 0);
  EXPECT_FALSE(LoadCmd(764, c).m_pCondList);
  cCmdBytes withList = c;
  withList.condList = {2, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0};  // use 1, mode 1, no strings, 0 conditions
  cmd = LoadCmd(986, withList);
  ASSERT_TRUE(cmd.m_pCondList);
  EXPECT_EQ(cmd.m_pCondList->m_nMode, 1);
}

// Every upgrade row of the command: a command stored at the version below the row's gate (the later
// rows run as well) and, beside it, at the gate itself, against its kind and every parameter after
// loading. Files older than 734 number the kinds from 24 up one lower; the rows name the stored kind.
TEST_F(FlowCmdTest, EveryUpgradeRowGivesExactValues) {
  auto P = [](size_t n, std::initializer_list<std::pair<size_t, int32_t>> set) {
    std::vector<int32_t> p(n, 0);
    for (auto [i, v] : set) p.at(i) = v;
    return p;
  };
  // 1, 2, ..., n
  auto Count = [](int32_t n) {
    std::vector<int32_t> p;
    for (int32_t i = 1; i <= n; ++i) p.push_back(i);
    return p;
  };
  // a message: P0 as given, then 1, 2, ..., 20
  auto Message = [&](int32_t p0) {
    std::vector<int32_t> p = Count(21);
    for (int32_t& v : p) --v;
    p[0] = p0;
    return p;
  };
  struct Row {
    uint32_t version;
    int kind;
    std::vector<int32_t> params;
    int loadedKind;
    std::vector<int32_t> loaded;
  };
  const std::vector<int32_t> status14 = {0, 101, 102, 0, 10, 105, 2, 107, 108, 109, 110, 111, 0, 10};
  const std::vector<int32_t> picture = {1, 4, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115};
  // clang-format off
  const Row rows[] = {
      // 145 "ステージクリア": 11 parameters (then 722: from 2 up, one place; 944: P10 = 1)
      {144, 17, {5}, 17, {6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}},
      // 166 (then) "BGMの再生": the loop flag on
      {165, 35, {1}, 36, {1, 1}},
      {166, 35, {1, 0}, 36, {1, 0}},
      // 168 "ステータスの操作": a status row at 10 (then 203: at 5; 882: two at 6; 767: owners; an owner
      // of 2 keeps its rows)
      {167, 22, status14, 22, {0, 101, 102, 0, 14, 105, 105, 2, 107, 108, 109, 110, 111, 0, 14, 1, 0, 0, 0, 0, 0, 0, 2, 0, 0}},
      {167, 22, {0, 0, 0, 2, 10, 0, 2, 0, 0, 0, 0, 0, 2, 10}, 22, {0, 0, 0, 5, 10, 1, 0, 2, 0, 0, 0, 0, 0, 5, 10, 1, 0, 0, 0, 0, 0, 0, 2, 0, 0}},
      {167, 22, {0, 0, 0, 0, 9, 0, 2, 0, 0, 0, 0, 0, 0, 9}, 22, {0, 0, 0, 0, 12, 1, 0, 2, 0, 0, 0, 0, 0, 0, 12, 1, 0, 0, 0, 0, 0, 0, 2, 0, 0}},
      {167, 22, {1, 0, 0, 0, 10, 0, 1, 0, 0, 0, 0, 0, 0, 10}, 22, {1, 0, 0, 0, 10, 1, 0, 1, 0, 0, 0, 0, 0, 0, 10, 1, 0, 0, 0, 0, 0, 0, 2, 0, 0}},
      {168, 22, status14, 22, {0, 101, 102, 0, 13, 105, 105, 2, 107, 108, 109, 110, 111, 0, 13, 1, 0, 0, 0, 0, 0, 0, 2, 0, 0}},
      // 189 "ターゲットの設定": insert 0 at 2 (then 747, 767: insert 0 at 0, 971)
      {188, 21, Count(17), 21, {0, 1, 2, 0, 3, 4, 5, 6, 7, 8, 9, 0, 1, 12, 13, 0, 0}},
      {189, 21, Count(17), 21, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0, 1, 13, 14, 0, 0}},
      // 194 (then) "ピクチャーの表示": insert 1 at 6 (then 545, 547, 723 clear 11-14)
      {193, 31, Count(15), 32, {1, 2, 3, 4, 5, 6, 1, 7, 8, 9, 10, 0, 0, 0, 0, 15}},
      {194, 31, Count(16), 32, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0, 0, 0, 0, 16}},
      // 195 (then) "キャラエフェクトの実行", "画面エフェクトの実行": insert 0 at 1
      {194, 29, {1, 5}, 30, {1, 0, 5}},
      {194, 30, {1, 5}, 31, {1, 0, 5}},
      {194, 28, {1, 5}, 29, {1, 5, 0, 0, 0, 0, 1, 0, 0, 0}},  // (then) "エフェクトの実行": not this row
      {195, 29, {1, 5, 7}, 30, {1, 5, 7}},
      // 203 "キャラ召喚", "アイテム召喚": no parameters (983: summoning a character takes 0)
      {202, 14, {5, 6}, 14, {0}},
      {202, 15, {5, 6}, 15, {}},
      // 203 "フローの操作": 5 parameters (then 760: P3 = 0; 971: P4 = 0)
      {202, 16, {1, 2, 3, 4}, 16, {1, 2, 3, 0, 0}},
      // 203 "ステータスの操作": a status row at 5
      {202, 22, {0, 0, 0, 0, 5, 0, 2, 0, 0, 0, 0, 0, 0, 5}, 22, {0, 0, 0, 0, 8, 1, 0, 2, 0, 0, 0, 0, 0, 0, 8, 1, 0, 0, 0, 0, 0, 0, 2, 0, 0}},
      {202, 22, {0, 0, 0, 0, 4, 0, 2, 0, 0, 0, 0, 0, 0, 4}, 22, {0, 0, 0, 0, 4, 1, 0, 2, 0, 0, 0, 0, 0, 0, 4, 1, 0, 0, 0, 0, 0, 0, 2, 0, 0}},
      {203, 22, {0, 0, 0, 0, 5, 0, 2, 0, 0, 0, 0, 0, 0, 5}, 22, {0, 0, 0, 0, 5, 1, 0, 2, 0, 0, 0, 0, 0, 0, 5, 1, 0, 0, 0, 0, 0, 0, 2, 0, 0}},
      // 210 "ステータスの操作2": a status row at 6 (then 767: P0 from 2 up three places)
      {209, 23, {0, 6}, 23, {0, 7, 0, 0, 0, 0}},
      {209, 23, {0, 5}, 23, {0, 5, 0, 0, 0, 0}},
      {209, 23, {2, 6}, 23, {5, 6, 0, 0, 0, 0}},
      {210, 23, {0, 6}, 23, {0, 6, 0, 0, 0, 0}},
      // 219 (then) "グラフィックの変更": shot graphics move up one, at most 119
      {218, 25, {3, 5, 0}, 26, {3, 6, 0}},
      {218, 25, {3, 119, 0}, 26, {3, 119, 0}},
      {218, 25, {2, 5, 0}, 26, {2, 5, 0}},
      {219, 25, {3, 5, 0}, 26, {3, 5, 0}},
      // 545 "メッセージ": 21 parameters, P10 = 1 (which 546 sets again)
      {544, 19, {7, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 19, {7, 1, 2, 3, 4, 5, 6, 7, 8, 9, 1, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0}},
      // 545, 547, 723 (then) "ピクチャーの表示": P11; P12 and P13; P14 (891 then: P1 of 4 becomes 5)
      {544, 31, picture, 32, {1, 5, 102, 103, 104, 105, 106, 107, 108, 109, 110, 0, 0, 0, 0, 115}},
      {545, 31, picture, 32, {1, 5, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 0, 0, 0, 115}},
      {547, 31, picture, 32, {1, 5, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 0, 115}},
      {723, 31, picture, 32, {1, 5, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115}},
      // 546 "メッセージ": P10 = 1 for P0 0 and 7, else 0
      {545, 19, Message(3), 19, {3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 0, 1, 0, 1, 0, 18, 0, 0}},
      {545, 19, Message(0), 19, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 1, 0, 0, 0, 1, 0, 1, 0, 18, 0, 0}},
      {545, 19, Message(7), 19, {7, 1, 2, 3, 4, 5, 6, 7, 8, 9, 1, 0, 0, 0, 1, 0, 1, 0, 18, 0, 0}},
      // 547: P11-P15 = 0, 0, 0, 1, 0
      {546, 19, Message(3), 19, {3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0, 0, 0, 1, 0, 1, 0, 18, 0, 0}},
      // 556: P16 = 1
      {555, 19, Message(3), 19, {3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 1, 0, 18, 0, 0}},
      // 723: P17 = 0
      {722, 19, Message(3), 19, {3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 0, 18, 0, 0}},
      {723, 19, Message(3), 19, {3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0}},
      // 722 "ステージクリア": P0 from 2 up, one place
      {721, 17, P(11, {{0, 2}}), 17, P(11, {{0, 3}, {10, 1}})},
      {721, 17, P(11, {{0, 1}}), 17, P(11, {{0, 1}, {10, 1}})},
      {722, 17, P(11, {{0, 2}}), 17, P(11, {{0, 2}, {10, 1}})},
      // 726 (then) "アレンジ": 5 parameters, P0 = 11 (727 moves P1 past 1, 2 and 3)
      {725, 37, {0, 2}, 38, {11, 5, 0, 0, 0}},
      {726, 37, {0, 2, 0, 0, 0}, 38, {0, 2, 0, 0, 0}},
      // 727: P1 above each of 1, 2, 3, 13, 14, 15, 16 in turn moves up one (899 then: from 14 up one)
      {726, 37, {11, 13, 0, 0, 0}, 38, {11, 21, 0, 0, 0}},
      {726, 37, {11, 1, 0, 0, 0}, 38, {11, 1, 0, 0, 0}},
      {726, 37, {11, 2, 0, 0, 0}, 38, {11, 5, 0, 0, 0}},
      {726, 37, {11, 12, 0, 0, 0}, 38, {11, 20, 0, 0, 0}},
      {727, 37, {11, 13, 0, 0, 0}, 38, {11, 13, 0, 0, 0}},
      // 734: "消滅" enters at 24; "アレンジ" of a kind from 24 up follows it
      {733, 24, {1, 3}, 25, {1, 3}},
      {733, 23, {0, 6, 0, 0, 0, 0}, 23, {0, 6, 0, 0, 0, 0}},
      {733, 37, {30, 0, 0, 0, 0}, 38, {31, 0, 0, 0, 0}},
      {733, 37, {24, 0, 0, 0, 0}, 38, {25, 0, 0, 0, 0}},
      {733, 37, {23, 0, 0, 0, 0}, 38, {23, 0, 0, 0, 0}},
      {734, 24, {1, 3, 0, 0}, 24, {1, 3, 0, 0}},
      // 747 "ターゲットの設定": P10 = 0, P11 = 1, P14 = 0
      {746, 21, Count(17), 21, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0, 1, 13, 14, 0, 0}},
      {747, 21, Count(17), 21, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0}},
      // 760 "フローの操作": P3 = 0
      {759, 16, {1, 2, 3, 4, 5}, 16, {1, 2, 3, 0, 0}},
      {760, 16, {1, 2, 3, 4, 5}, 16, {1, 2, 3, 4, 0}},
      // 767 "向き変更": P0 from 4 up, six places
      {766, 9, {4}, 9, {10}},
      {766, 9, {3}, 9, {3}},
      {767, 9, {4}, 9, {4}},
      // 767 "ターゲットの設定": insert 0 at 0
      {766, 21, Count(17), 21, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0}},
      {767, 21, Count(17), 21, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 0}},
      // 767 "ステータスの操作": owners from 2 up, three places
      {766, 22, P(25, {{3, 2}, {6, 2}, {12, 2}}), 22, {0, 0, 0, 5, 0, 1, 0, 2, 0, 0, 0, 0, 0, 5, 0, 1, 0, 0, 0, 0, 0, 0, 2, 0, 0}},
      {766, 22, P(25, {{3, 1}, {6, 2}, {12, 1}}), 22, {0, 0, 0, 1, 0, 1, 0, 2, 0, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 2, 0, 0}},
      {767, 22, P(25, {{3, 2}, {6, 2}, {12, 2}}), 22, {0, 0, 0, 2, 0, 1, 0, 2, 0, 0, 0, 0, 0, 2, 0, 1, 0, 0, 0, 0, 0, 0, 2, 0, 0}},
      // 767 "ステータスの操作2": P0 from 2 up, three places
      {766, 23, {2, 0, 0, 0, 0, 0}, 23, {5, 0, 0, 0, 0, 0}},
      {766, 23, {1, 0, 0, 0, 0, 0}, 23, {1, 0, 0, 0, 0, 0}},
      {767, 23, {2, 0, 0, 0, 0, 0}, 23, {2, 0, 0, 0, 0, 0}},
      // 820 "ステータスの操作2": 6 parameters (then 971: P5 = 0)
      {819, 23, {0, 1, 2, 3, 4, 5, 6, 7}, 23, {0, 1, 2, 3, 4, 0}},
      // 879 "アニメの実行": P1 = 0
      {878, 28, {1, 5}, 28, {1, 0}},
      {879, 28, {1, 5}, 28, {1, 5}},
      // 882 "ステータスの操作": P18 = P19 = 0; two status rows at 6
      {881, 22, P(25, {{4, 6}, {6, 2}, {13, 6}, {18, 5}, {19, 5}}), 22, {0, 0, 0, 0, 8, 1, 0, 2, 0, 0, 0, 0, 0, 0, 8, 1, 0, 0, 0, 0, 0, 0, 2, 0, 0}},
      {881, 22, P(25, {{3, 5}, {4, 6}, {6, 2}, {12, 5}, {13, 6}}), 22, {0, 0, 0, 5, 6, 1, 0, 2, 0, 0, 0, 0, 0, 5, 6, 1, 0, 0, 0, 0, 0, 0, 2, 0, 0}},
      {882, 22, P(25, {{4, 6}, {6, 2}, {13, 6}, {18, 5}, {19, 5}}), 22, {0, 0, 0, 0, 6, 1, 0, 2, 0, 0, 0, 0, 0, 0, 6, 1, 0, 0, 0, 0, 5, 5, 2, 0, 0}},
      // 891 "メッセージ": P0 8 becomes 9
      {890, 19, Message(8), 19, {9, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0}},
      {891, 19, Message(8), 19, {8, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0}},
      // 891 "エフェクトの実行", "ピクチャーの表示": P1 4 becomes 5
      {890, 29, {1, 4, 2, 3, 4, 5, 6, 7, 8, 9}, 29, {1, 5, 2, 3, 4, 5, 1, 6, 7, 8}},
      {891, 29, {1, 4, 2, 3, 4, 5, 6, 7, 8, 9}, 29, {1, 4, 2, 3, 4, 5, 1, 6, 7, 8}},
      {890, 32, picture, 32, {1, 5, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115}},
      {891, 32, picture, 32, picture},
      // 892 "ステータスの操作": P20 = 2, P21 = 0
      {891, 22, P(25, {{20, 7}, {21, 7}}), 22, P(25, {{5, 1}, {15, 1}, {22, 2}})},
      {892, 22, P(25, {{20, 7}, {21, 7}}), 22, P(25, {{5, 1}, {15, 1}, {22, 7}, {23, 7}})},
      // 898 "アレンジ" of kind 32: P1 from 0 up, one place
      {897, 38, {32, 0, 0, 0, 0}, 38, {32, 1, 0, 0, 0}},
      {897, 38, {32, -1, 0, 0, 0}, 38, {32, -1, 0, 0, 0}},
      {898, 38, {32, 0, 0, 0, 0}, 38, {32, 0, 0, 0, 0}},
      // 899 "アレンジ" by P0
      {898, 38, {11, 14, 0, 0, 0}, 38, {11, 15, 0, 0, 0}},
      {898, 38, {11, 13, 0, 0, 0}, 38, {11, 13, 0, 0, 0}},
      {898, 38, {13, 0, 0, 0, 0}, 38, {13, 1, 0, 0, 0}},
      {898, 38, {14, 0, 0, 0, 0}, 38, {14, 1, 0, 0, 0}},
      {898, 38, {15, 0, 0, 0, 0}, 38, {15, 1, 0, 0, 0}},
      {898, 38, {29, 0, 0, 0, 0}, 38, {29, 1, 0, 0, 0}},
      {898, 38, {29, -1, 0, 0, 0}, 38, {29, -1, 0, 0, 0}},
      {898, 38, {22, 0, 0, 0, 0}, 38, {22, 2, 0, 0, 0}},
      {898, 38, {22, -1, 0, 0, 0}, 38, {22, -1, 0, 0, 0}},
      {898, 38, {12, 0, 0, 0, 0}, 38, {12, 0, 0, 0, 0}},
      {899, 38, {11, 14, 0, 0, 0}, 38, {11, 14, 0, 0, 0}},
      // 915 and 944 "ステージクリア": 11 parameters; P10 = 1
      {914, 17, Count(12), 17, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 1}},
      {943, 17, Count(11), 17, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 1}},
      {944, 17, Count(11), 17, Count(11)},
      // 965 "エフェクトの実行": insert 1 at 6
      {964, 29, Count(10), 29, {1, 2, 3, 4, 5, 6, 1, 7, 8, 9}},
      {965, 29, Count(10), 29, Count(10)},
      // 969 "メッセージ": P19 = 0; "ステータスの操作": insert 0 at 14 (then 971: P23 = 0; 973: duplicate at 5)
      {968, 19, Message(3), 19, {3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0}},
      {969, 19, Message(3), 19, {3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 0}},
      {968, 22, Count(25), 22, {1, 2, 3, 4, 5, 6, 6, 7, 8, 9, 10, 11, 12, 13, 14, 1, 15, 16, 17, 18, 19, 20, 21, 22, 0}},
      {969, 22, Count(25), 22, {1, 2, 3, 4, 5, 6, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 0}},
      // 971: the last parameter of kinds 16, 19-24 starts at 0
      {970, 16, Count(5), 16, {1, 2, 3, 4, 0}},
      {970, 19, Message(3), 19, {3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 0}},
      {970, 20, {5}, 20, {0}},
      {970, 21, Count(17), 21, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 0}},
      {970, 22, Count(25), 22, {1, 2, 3, 4, 5, 6, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 0}},
      {970, 23, Count(6), 23, {1, 2, 3, 4, 5, 0}},
      {970, 24, Count(4), 24, {1, 2, 3, 0}},
      {971, 16, Count(5), 16, Count(5)},
      {971, 20, {5}, 20, {5}},
      {971, 22, Count(25), 22, {1, 2, 3, 4, 5, 6, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24}},
      // 973 "ステータスの操作": duplicate at 5
      {972, 22, Count(25), 22, {1, 2, 3, 4, 5, 6, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24}},
      {973, 22, Count(25), 22, Count(25)},
      // 983 "ブロック召喚", "キャラ召喚": P0 = 0
      {982, 13, {5}, 13, {0}},
      {982, 14, {5}, 14, {0}},
      {983, 13, {5}, 13, {5}},
      // 984 "ステータスの操作": P5 one up when P0 is 2, P15 one up when P7 is 4
      {983, 22, P(25, {{0, 2}, {5, 3}, {7, 4}, {15, 3}}), 22, P(25, {{0, 2}, {5, 4}, {7, 4}, {15, 4}})},
      {983, 22, P(25, {{0, 1}, {5, 3}, {7, 3}, {15, 3}}), 22, P(25, {{0, 1}, {5, 3}, {7, 3}, {15, 3}})},
      {984, 22, P(25, {{0, 2}, {5, 3}, {7, 4}, {15, 3}}), 22, P(25, {{0, 2}, {5, 3}, {7, 4}, {15, 3}})},
      // 985 "ステータスの操作": P5 and P15 of 0 become 1
      {984, 22, P(25, {}), 22, P(25, {{5, 1}, {15, 1}})},
      {985, 22, P(25, {}), 22, P(25, {})},
  };
  // clang-format on
  for (const Row& r : rows) {
    cCmdBytes b;
    b.kind = static_cast<int8_t>(r.kind);
    b.params = r.params;
    cFlowCmd cmd = LoadCmd(r.version, b);
    EXPECT_EQ(cmd.m_nKind, r.loadedKind) << r.version << " kind " << r.kind;
    EXPECT_EQ(cmd.m_anParams, r.loaded) << r.version << " kind " << r.kind;
    // Item kind k from 2 up is character kind k + 15 and goes through the same rows ("ワープ" has no
    // parameters there).
    if (r.kind < 17 || r.kind == 20) continue;
    b.context = 1;
    b.kind = static_cast<int8_t>(r.kind - 15);
    cmd = LoadCmd(r.version, b);
    EXPECT_EQ(cmd.m_nKind, r.loadedKind - 15) << r.version << " item kind " << r.kind - 15;
    EXPECT_EQ(cmd.m_anParams, r.loaded) << r.version << " item kind " << r.kind - 15;
  }
}

// The rows of the item context alone ("フローの変更", item kind 1), and a context other than 0 and
// 1, which counts as the item context.
TEST_F(FlowCmdTest, ItemOnlyUpgradeRowsGiveExactValues) {
  struct Row {
    uint32_t version;
    int context, kind;
    std::vector<int32_t> params, loaded;
  };
  // clang-format off
  const Row rows[] = {
      {970, 1, 1, {7, 8, 9, 10, 11, 12}, {7, 8}},  // 971: resize 5, P4 = 0; 972: resize 2
      {971, 1, 1, {7, 8, 9, 10, 11, 12}, {7, 8}},
      {972, 1, 1, {7, 8, 9}, {7, 8}},
      {766, 2, 8, {3, 0, 0, 0, 0, 0}, {6, 0, 0, 0, 0, 0}},
      {767, 2, 8, {3, 0, 0, 0, 0, 0}, {3, 0, 0, 0, 0, 0}},
  };
  // clang-format on
  for (const Row& r : rows) {
    cCmdBytes b;
    b.context = static_cast<int8_t>(r.context);
    b.kind = static_cast<int8_t>(r.kind);
    b.params = r.params;
    cFlowCmd cmd = LoadCmd(r.version, b);
    EXPECT_EQ(cmd.m_nKind, r.kind) << r.version;
    EXPECT_EQ(cmd.m_anParams, r.loaded) << r.version;
  }
}

// The rows that change the movement and shot settings and the condition list of a command, against
// the whole settings record after loading (fields not named are 0).
TEST_F(FlowCmdTest, EverySettingsUpgradeRowGivesExactValues) {
  using Fields = std::map<int, double>;
  struct Row {
    uint32_t version;
    int context, kind;
    std::optional<Fields> move, shot;  // stored; none: the command has none
    std::optional<Fields> loadedMove, loadedShot;
  };
  // clang-format off
  const Row rows[] = {
      // 220 "ショット": S20 one up, at most 119
      {219, 0, 11, {}, Fields{{20, 5}, {26, 1}}, {}, Fields{{20, 6}, {26, 1}}},
      {219, 0, 11, {}, Fields{{20, 119}, {26, 1}}, {}, Fields{{20, 119}, {26, 1}}},
      {220, 0, 11, {}, Fields{{20, 5}, {26, 1}}, {}, Fields{{20, 5}, {26, 1}}},
      {219, 0, 12, {}, Fields{{20, 5}, {26, 1}}, {}, Fields{{20, 5}, {26, 1}}},  // "ソード": not this row
      {219, 0, 11, {}, {}, {}, {}},
      // 514 "突撃移動": M3 = M4 = 0, M5 = 1
      {513, 0, 5, Fields{{3, 30}, {4, 5}, {8, 2}}, {}, Fields{{5, 1}, {8, 2}}, {}},
      {514, 0, 5, Fields{{3, 30}, {4, 5}, {8, 2}}, {}, Fields{{3, 30}, {4, 5}, {8, 2}}, {}},
      {513, 0, 5, {}, {}, {}, {}},
      // 767 "ワープ": M1 from 2 up, three places (then 882: M6 = M7 = 1; 892: M14 = 2)
      {766, 0, 20, Fields{{1, 2}}, {}, Fields{{1, 5}, {6, 1}, {7, 1}, {14, 2}}, {}},
      {766, 0, 20, Fields{{1, 1}}, {}, Fields{{1, 1}, {6, 1}, {7, 1}, {14, 2}}, {}},
      {767, 0, 20, Fields{{1, 2}}, {}, Fields{{1, 2}, {6, 1}, {7, 1}, {14, 2}}, {}},
      {766, 1, 5, Fields{{1, 2}}, {}, Fields{{1, 5}, {6, 1}, {7, 1}, {14, 2}}, {}},
      {766, 0, 2, Fields{{1, 2}}, {}, Fields{{1, 2}}, {}},  // "直線移動": not this row
      // 882 "ワープ": M6 = M7 = 1
      {881, 0, 20, Fields{{6, 0}, {7, 0}}, {}, Fields{{6, 1}, {7, 1}, {14, 2}}, {}},
      {882, 0, 20, Fields{{6, 0}, {7, 0}}, {}, Fields{{14, 2}}, {}},
      // 892 "ワープ": M14 = 2 (stored from 892)
      {891, 0, 20, Fields{}, {}, Fields{{14, 2}}, {}},
      {892, 0, 20, Fields{{14, 0}}, {}, Fields{}, {}},
      {891, 1, 5, Fields{}, {}, Fields{{14, 2}}, {}},
  };
  // clang-format on
  for (const Row& r : rows) {
    cCmdBytes b;
    b.context = static_cast<int8_t>(r.context);
    b.kind = static_cast<int8_t>(r.kind);
    b.params.resize(static_cast<size_t>(CmdKindParamCount(r.context, r.kind)));
    if (r.move) b.move = SettingsBody(EdMoveSpec(), r.version, *r.move);
    if (r.shot) b.shot = SettingsBody(EdShotSpec(), r.version, *r.shot);
    cFlowCmd cmd = LoadCmd(r.version, b);
    ASSERT_EQ(static_cast<bool>(cmd.m_pMove), r.loadedMove.has_value()) << r.version;
    ASSERT_EQ(static_cast<bool>(cmd.m_pShot), r.loadedShot.has_value()) << r.version;
    if (r.loadedMove)
      EXPECT_EQ(SaveBody(*cmd.m_pMove), SettingsBody(EdMoveSpec(), 986, *r.loadedMove))
          << r.version << " kind " << r.kind;
    if (r.loadedShot)
      EXPECT_EQ(SaveBody(*cmd.m_pShot), SettingsBody(EdShotSpec(), 986, *r.loadedShot))
          << r.version << " kind " << r.kind;
  }
  // 764 "フローの操作": a condition list with its conditions off (use 0, mode 0, none)
  cByteBuilder off;
  off.I32(2).U8(0).U8(0).I32(0).I32(0);
  for (uint32_t version : {759u, 763u}) {
    cCmdBytes flowOp;
    flowOp.kind = kCmdFlowOp;
    flowOp.params = {1, 2, 3, 4, 5};
    cFlowCmd cmd = LoadCmd(version, flowOp);
    ASSERT_TRUE(cmd.m_pCondList) << version;
    EXPECT_EQ(SaveBody(*cmd.m_pCondList), off.Get()) << version;
  }
  cCmdBytes other;
  other.kind = 17;
  EXPECT_FALSE(LoadCmd(763, other).m_pCondList);
  cCmdBytes flowOp;
  flowOp.kind = kCmdFlowOp;
  EXPECT_FALSE(LoadCmd(764, flowOp).m_pCondList);
}

TEST_F(FlowCmdTest, ShortParameterListsOfDamagedFilesDoNotStopTheGame) {
  cCmdBytes c;
  c.kind = 22;  // the status steps read P0 .. P13 without resizing first
  c.params = {0};
  cFlowCmd cmd = LoadCmd(167, c);
  EXPECT_EQ(cmd.m_anParams.size(), 25u);
  EXPECT_EQ(g_bQuit.load(), 0);
}

TEST_F(FlowCmdTest, ExtremeParameterValuesOfDamagedFilesDoNotOverflow) {
  struct Case {
    uint32_t version;
    int kind;
    std::vector<int32_t> params;
    size_t index;
    int32_t expected;
  };
  const Case cases[] = {
      {167, 22, {0, 0, 0, 0, INT32_MAX}, 4, INT32_MIN},  // a status row inserted: wraps as 32 bits
      {218, 25, {3, INT32_MAX, 0}, 1, 119},              // graphic change: one up, at most 119
      {897, 38, {32, INT32_MAX, 0, 0, 0}, 1, INT32_MIN},
  };
  for (const Case& c : cases) {
    cCmdBytes b;
    b.kind = static_cast<int8_t>(c.kind);
    b.params = c.params;
    cFlowCmd cmd = LoadCmd(c.version, b);
    ASSERT_GT(cmd.m_anParams.size(), c.index) << c.version;
    EXPECT_EQ(cmd.m_anParams[c.index], c.expected) << c.version << " kind " << c.kind;
  }
}

TEST_F(FlowCmdTest, CopiesGetTheirOwnSettings) {
  cFlowCmd a;
  a.m_nKind = kCmdShot;
  a.m_pShot = std::make_shared<cEdShot>();
  a.m_pShot->m_nPower = 5;
  a.m_pCondList = std::make_shared<cCondList>();
  a.m_pCondList->m_aConds.resize(2);
  a.m_aFlows.resize(1);
  cFlowCmd b(a);
  ASSERT_TRUE(b.m_pShot && b.m_pCondList);
  EXPECT_NE(b.m_pShot.get(), a.m_pShot.get());
  EXPECT_NE(b.m_pCondList.get(), a.m_pCondList.get());
  EXPECT_EQ(b.m_pShot->m_nPower, 5);
  EXPECT_EQ(b.m_pCondList->m_aConds.size(), 2u);
  EXPECT_FALSE(b.m_pMove);
  b.m_pShot->m_nPower = 9;
  EXPECT_EQ(a.m_pShot->m_nPower, 5);
  // assigning from a command without settings releases them
  cFlowCmd empty;
  b = empty;
  EXPECT_FALSE(b.m_pShot);
  EXPECT_FALSE(b.m_pCondList);
  EXPECT_TRUE(b.m_aFlows.empty());
  // the copy writes its own values
  cFlowCmd c(a);
  c.m_pShot->m_nPower = 77;
  cFlowCmd reread = RoundTrip(c);
  EXPECT_EQ(reread.m_pShot->m_nPower, 77);
}

TEST_F(FlowCmdTest, NestedTestPlayFlowsAreFiltered) {
  cFlowBytes keep, drop;
  keep.group = 1;
  drop.group = 2;
  drop.testPlay = 1;
  cCmdBytes c;
  c.kind = 1;
  c.flows = {FlowBody(986, keep), FlowBody(986, drop)};
  EXPECT_EQ(LoadCmd(986, c).m_aFlows.size(), 1u);
  g_SystemData.m_bKeepTestFlows = 1;
  EXPECT_EQ(LoadCmd(986, c).m_aFlows.size(), 2u);
}

TEST_F(FlowCmdTest, PaletteReferencesAreClampedAgainstThePalettes) {
  PadTypeList(g_StageFile.m_aPalItems);
  PadTypeList(g_CommonPalette.m_aItemTypes);
  g_CommonPalette.m_aBlockTypes.resize(3);

  cFlowCmd get;
  get.m_nKind = kCmdItemGet;
  get.m_anParams = {1, 5};
  ClampFlowCmdPaletteRefs(get);
  EXPECT_EQ(get.m_anParams[1], 1);
  get.m_anParams = {0, 1};
  ClampFlowCmdPaletteRefs(get);
  EXPECT_EQ(get.m_anParams[1], 1);
  get.m_anParams = {7, 50};  // not a palette: left alone
  ClampFlowCmdPaletteRefs(get);
  EXPECT_EQ(get.m_anParams[1], 50);
  get.m_nContext = 1;
  get.m_nKind = kItemCmdItemGet;
  get.m_anParams = {1, -2};
  ClampFlowCmdPaletteRefs(get);
  EXPECT_EQ(get.m_anParams[1], 1);

  cFlowCmd shot;
  shot.m_nKind = kCmdShot;
  shot.m_pShot = std::make_shared<cEdShot>();
  shot.m_pShot->m_nItemKind = 2;
  shot.m_pShot->m_nItemIndex = 2;
  ClampFlowCmdPaletteRefs(shot);
  EXPECT_EQ(shot.m_pShot->m_nItemKind, 0);
  EXPECT_EQ(shot.m_pShot->m_nItemIndex, 0);

  cFlowCmd summon;
  summon.m_nKind = kCmdSummonBlock;
  summon.m_pShot = std::make_shared<cEdShot>();
  summon.m_pShot->m_nSummonPalette = 0;  // common
  summon.m_pShot->m_nSummonIndex = 2;
  ClampFlowCmdPaletteRefs(summon);
  EXPECT_EQ(summon.m_pShot->m_nSummonIndex, 2);
  summon.m_pShot->m_nSummonIndex = 3;
  ClampFlowCmdPaletteRefs(summon);
  EXPECT_EQ(summon.m_pShot->m_nSummonIndex, 1);
  // the same command without settings is left alone
  summon.m_pShot.reset();
  ClampFlowCmdPaletteRefs(summon);
}

TEST_F(FlowCmdTest, StagePaletteReferencesOfTheCommonPaletteSurviveStartUp) {
  // Start-up checks the common palette while the stage palette is still a fresh stage's, one entry
  // per list: a reference past it becomes entry 1, which every stage that plays has.
  cPalette palette;
  palette.m_aItemTypes.resize(2);
  for (int32_t index : {1, 6}) {
    cFlowCmd& get = palette.m_aItemTypes[1].m_aCmds.emplace_back();
    get.m_nContext = 1;
    get.m_nKind = kItemCmdItemGet;
    get.m_anParams = {1, index};
  }
  palette.m_aCharaTypes.resize(2);
  cFlow& flow = palette.m_aCharaTypes[1].m_aFlows.emplace_back();
  for (int16_t index : {1, 9}) {
    cFlowCmd& summon = flow.m_aCmds.emplace_back();
    summon.m_nKind = kCmdSummonChara;
    summon.m_pShot = std::make_shared<cEdShot>();
    summon.m_pShot->m_nSummonPalette = 1;  // the stage palette
    summon.m_pShot->m_nSummonIndex = index;
  }
  ASSERT_EQ(g_CommonPalette.LoadFromBytes(palette.SaveToBytes()), 1);
  const auto& gets = g_CommonPalette.m_aItemTypes[1].m_aCmds;
  ASSERT_EQ(gets.size(), 2u);
  for (const cFlowCmd& get : gets) EXPECT_EQ(get.m_anParams.at(1), 1);
  ASSERT_EQ(g_CommonPalette.m_aCharaTypes[1].m_aFlows.size(), 1u);
  for (const cFlowCmd& summon : g_CommonPalette.m_aCharaTypes[1].m_aFlows[0].m_aCmds)
    EXPECT_EQ(summon.m_pShot->m_nSummonIndex, 1);
}
