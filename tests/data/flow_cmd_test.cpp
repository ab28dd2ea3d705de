#include "data/flow_cmd.h"

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

TEST_F(FlowCmdTest, UpgradeStepsAtTheirGates) {
  struct Case {
    uint32_t version;
    int context, kind;
    std::vector<int32_t> params;
    int expectedKind;
    std::vector<int32_t> expected;
  };
  std::vector<int32_t> status = Seq(25, 10);
  std::vector<int32_t> statusDup = status;
  for (size_t i = 24; i > 5; --i) statusDup[i] = statusDup[i - 1];
  std::vector<int32_t> stageClear(11, 0);
  stageClear[0] = 2;
  std::vector<int32_t> stageClearUp = stageClear;
  stageClearUp[0] = 3;
  stageClearUp[10] = 1;
  std::vector<int32_t> stageClearOld = stageClear;
  stageClearOld[10] = 1;
  std::vector<int32_t> zeros25(25, 0);
  std::vector<int32_t> ones25 = zeros25;
  ones25[5] = ones25[15] = 1;
  std::vector<int32_t> picture(16, 1);
  picture[1] = 4;
  std::vector<int32_t> picture5 = picture;
  picture5[1] = 5;
  const Case cases[] = {
      {982, 0, 13, {5}, 13, {0}},
      {983, 0, 13, {5}, 13, {5}},
      {984, 0, 22, zeros25, 22, ones25},
      {985, 0, 22, zeros25, 22, zeros25},
      {972, 0, 22, status, 22, statusDup},
      {973, 0, 22, status, 22, status},
      {964, 0, 29, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 29, {1, 2, 3, 4, 5, 6, 1, 7, 8, 9}},
      {965, 0, 29, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 29, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
      {943, 0, 17, stageClear, 17, stageClearOld},
      {944, 0, 17, stageClear, 17, stageClear},
      {721, 0, 17, stageClear, 17, stageClearUp},
      {890, 0, 32, picture, 32, picture5},
      {891, 0, 32, picture, 32, picture},
      {766, 0, 9, {4}, 9, {10}},
      {767, 0, 9, {4}, 9, {4}},
      {733, 0, 24, {1, 3}, 25, {1, 3}},  // becomes "アイテムの取得"
      {734, 0, 24, {1, 3, 0, 0}, 24, {1, 3, 0, 0}},
      {733, 0, 37, {30, 0, 0, 0, 0}, 38, {31, 0, 0, 0, 0}},  // "アレンジ" of a renumbered kind
      {725, 0, 37, {0, 2, 0, 0, 0}, 38, {11, 5, 0, 0, 0}},
      {726, 0, 37, {0, 2, 0, 0, 0}, 38, {0, 2, 0, 0, 0}},
      {726, 0, 37, {11, 2, 0, 0, 0}, 38, {11, 5, 0, 0, 0}},
      {727, 0, 37, {11, 2, 0, 0, 0}, 38, {11, 2, 0, 0, 0}},
      {165, 0, 35, {1}, 36, {1, 1}},  // then "BGMの再生": the loop flag is on
      {166, 0, 35, {1, 0}, 36, {1, 0}},
      // item context: kind k is character kind k + 15
      {165, 1, 20, {1}, 21, {1, 1}},
      {733, 1, 9, {1, 1}, 10, {1, 1}},
      {970, 1, 1, {7, 8, 9, 10, 11, 12}, 1, {7, 8}},
      {766, 2, 8, {3, 0, 0, 0, 0, 0}, 8, {6, 0, 0, 0, 0, 0}},  // any context but 0 is the item context
      {767, 1, 8, {3, 0, 0, 0, 0, 0}, 8, {3, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    cCmdBytes b;
    b.context = static_cast<int8_t>(c.context);
    b.kind = static_cast<int8_t>(c.kind);
    b.params = c.params;
    cFlowCmd cmd = LoadCmd(c.version, b);
    EXPECT_EQ(cmd.m_nKind, c.expectedKind) << c.version << " " << c.context << "/" << c.kind;
    EXPECT_EQ(cmd.m_anParams, c.expected) << c.version << " " << c.context << "/" << c.kind;
  }
}

TEST_F(FlowCmdTest, UpgradeStepsOnSettingsRecords) {
  cCmdBytes warp;
  warp.kind = 20;
  warp.params = {0};
  warp.move = SettingsBody(EdMoveSpec(), 766, {{1, 2}});
  EXPECT_EQ(LoadCmd(766, warp).m_pMove->m_nMoveKind, 5);
  warp.move = SettingsBody(EdMoveSpec(), 767, {{1, 2}});
  cFlowCmd cmd = LoadCmd(767, warp);
  EXPECT_EQ(cmd.m_pMove->m_nMoveKind, 2);
  EXPECT_EQ(cmd.m_pMove->m_nM6, 1);
  EXPECT_EQ(cmd.m_pMove->m_nM14, 2);

  cCmdBytes dash;
  dash.kind = 5;
  dash.move = SettingsBody(EdMoveSpec(), 513, {{3, 30}, {4, 5}, {5, 0}});
  cmd = LoadCmd(513, dash);
  EXPECT_EQ(cmd.m_pMove->m_nAngle, 0);
  EXPECT_EQ(cmd.m_pMove->m_bAngleMirror, 1);
  dash.move = SettingsBody(EdMoveSpec(), 514, {{3, 30}, {4, 5}, {5, 0}});
  EXPECT_EQ(LoadCmd(514, dash).m_pMove->m_nAngle, 30);

  cCmdBytes shot;
  shot.kind = kCmdShot;
  for (auto [version, stored, expected] : {std::tuple{219u, 5, 6}, {219u, 119, 119}, {220u, 5, 5}}) {
    shot.shot = SettingsBody(EdShotSpec(), version, {{20, stored}, {26, 1}});
    EXPECT_EQ(LoadCmd(version, shot).m_pShot->m_nGraphic, expected) << version;
  }
  // steps that read settings the file marks absent leave the command alone
  dash.move.clear();
  EXPECT_FALSE(LoadCmd(513, dash).m_pMove);
  shot.shot.clear();
  EXPECT_FALSE(LoadCmd(219, shot).m_pShot);
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

// Every upgrade step that leaves a mark: a command stored by the editor just before the step's
// gate reads differently from the same command stored at the gate.
TEST_F(FlowCmdTest, EveryGateSeparatesTheVersionBeforeItFromItself) {
  auto P = [](size_t n, std::initializer_list<std::pair<size_t, int32_t>> set) {
    std::vector<int32_t> p(n, 0);
    for (auto [i, v] : set) p[i] = v;
    return p;
  };
  auto Distinct = [](size_t n) {
    std::vector<int32_t> p(n);
    for (size_t i = 0; i < n; ++i) p[i] = static_cast<int32_t>(i + 1);
    return p;
  };
  struct Case {
    uint32_t gate;
    int kind;
    std::vector<int32_t> params;
    std::map<int, double> move = {}, shot = {};  // settings present when not empty
  };
  const Case cases[] = {
      {166, 35, {1, 0}},
      {168, 22, P(25, {{4, 10}})},
      {189, 21, Distinct(17)},
      {194, 31, P(16, {{6, 5}})},
      {195, 29, {1, 2, 3}},
      {203, 22, P(25, {{4, 5}})},
      {210, 23, P(6, {{1, 6}})},
      {219, 25, P(3, {{0, 3}, {1, 5}})},
      {220, 11, {}, {}, {{20, 5}, {26, 1}}},
      {514, 5, {}, {{3, 30}}},
      {545, 31, P(16, {{11, 5}})},
      {546, 19, P(21, {})},
      {547, 19, P(21, {})},
      {547, 31, P(16, {{12, 5}})},
      {556, 19, P(21, {})},
      {722, 17, P(11, {{0, 2}})},
      {723, 19, P(21, {{17, 5}})},
      {723, 31, P(16, {{14, 5}})},
      {726, 37, P(5, {})},
      {727, 37, P(5, {{0, 11}, {1, 2}})},
      {734, 24, P(4, {})},
      {747, 21, P(17, {})},
      {760, 16, P(5, {{3, 5}})},
      {764, 16, P(5, {})},
      {767, 9, {4}},
      {767, 20, {0}, {{1, 2}}},
      {767, 21, Distinct(17)},
      {767, 22, P(25, {{3, 2}})},
      {767, 23, P(6, {{0, 2}})},
      {879, 28, {1, 5}},
      {882, 20, {0}, {{6, 0}}},
      {882, 22, P(25, {{18, 5}})},
      {891, 19, P(21, {{0, 8}})},
      {891, 29, P(10, {{0, 1}, {1, 4}})},
      {891, 32, P(16, {{0, 1}, {1, 4}})},
      {892, 20, {0}, {{14, 0}}},
      {892, 22, P(25, {})},
      {898, 38, P(5, {{0, 32}})},
      {899, 38, P(5, {{0, 11}, {1, 14}})},
      {944, 17, P(11, {})},
      {965, 29, Distinct(10)},
      {969, 19, P(21, {{19, 5}})},
      {969, 22, Distinct(25)},
      {971, 16, P(5, {{4, 5}})},
      {971, 19, P(21, {{20, 5}})},
      {971, 20, {5}},
      {971, 21, P(17, {{16, 5}})},
      {971, 22, P(25, {{23, 5}})},
      {971, 23, P(6, {{5, 5}})},
      {971, 24, P(4, {{3, 5}})},
      {973, 22, Distinct(25)},
      {983, 13, {5}},
      {984, 22, P(25, {{0, 2}, {5, 3}})},
      {985, 22, P(25, {})},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> saved[2];
    for (int at = 0; at < 2; ++at) {
      const uint32_t v = c.gate - 1 + static_cast<uint32_t>(at);
      cCmdBytes b;
      b.kind = static_cast<int8_t>(c.kind);
      b.params = c.params;
      if (!c.move.empty()) b.move = SettingsBody(EdMoveSpec(), v, c.move);
      if (!c.shot.empty()) b.shot = SettingsBody(EdShotSpec(), v, c.shot);
      cFlowCmd cmd = LoadCmd(v, b);
      saved[at] = SaveBody(cmd);
    }
    EXPECT_NE(saved[0], saved[1]) << "gate " << c.gate << " kind " << c.kind;
  }
}
