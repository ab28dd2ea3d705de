#include "data/system_data.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <set>

#include "core/log.h"
#include "data/database.h"
#include "system_data_bytes.h"
#include "test_support/fresh_game_data.h"

namespace {

class SystemDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_bQuit = 0;
    // Enough music records that the scene music numbers used here survive the clamp.
    g_Database.m_aBgm.assign(10, cBgmData());
  }
  void TearDown() override { g_bQuit = 0; }
  cFreshGameData m_FreshGameData;

  static cSystemData Loaded(const std::vector<uint8_t>& bytes) {
    cSystemData s;
    EXPECT_EQ(s.LoadFromBytes(bytes), 1);
    return s;
  }
};

struct LegacyCase {
  uint32_t version;
  const char* field;
  int32_t expected;
};

int32_t FieldValue(const cSystemData& s, const char* name) {
  for (const cFieldDesc& d : s.FieldTable()) {
    if (std::string(d.name) != name) continue;
    const auto* p = static_cast<const uint8_t*>(s.FieldAddress(d));
    return d.size == 1 ? *p : *reinterpret_cast<const int32_t*>(p);
  }
  ADD_FAILURE() << "no field " << name;
  return -1;
}

TEST_F(SystemDataTest, FieldsAtEveryVersionLandInTheirNamedMembers) {
  // Each field gets a value of its own; after loading, every field the version holds has it, in
  // the table's order and under the table's name.
  for (uint32_t version : {100u, 113u, 186u, 220u, 221u, 259u, 260u, 515u, 832u, 943u, 985u, 986u}) {
    std::map<std::string, int64_t> values;
    int i = 0;
    for (const auto& spec : SystemFieldSpecs()) values[spec.name] = 10 + i++;
    cSystemData s;
    ASSERT_EQ(s.LoadFromBytes(SystemDatBytes(version, values)), 1) << version;
    for (const auto& spec : SystemFieldSpecs()) {
      if (!SpecHolds(spec, version) || spec.to != kNoEnd) continue;
      EXPECT_EQ(FieldValue(s, spec.name), values[spec.name]) << spec.name << " at " << version;
    }
    EXPECT_EQ(s.m_strTitle, "title");
  }
}

TEST_F(SystemDataTest, EveryFieldGateReadsItsFirstVersionApartFromTheOneBefore) {
  // At each gate V and at V - 1 every field the version holds lands in its own member: a gate one
  // version off shifts every later field and the title.
  std::set<uint32_t> versions;
  for (const auto& spec : SystemFieldSpecs()) {
    if (spec.from == kAll) continue;
    versions.insert({spec.from - 1, spec.from});
    if (spec.to != kNoEnd) versions.insert({spec.to, spec.to + 1});
  }
  for (uint32_t version : versions) {
    std::map<std::string, int64_t> values;
    int i = 0;
    for (const auto& spec : SystemFieldSpecs()) values[spec.name] = 20 + i++;
    cSystemData s;
    ASSERT_EQ(s.LoadFromBytes(SystemDatBytes(version, values)), 1) << version;
    for (const auto& spec : SystemFieldSpecs()) {
      if (!SpecHolds(spec, version) || spec.to != kNoEnd) continue;
      EXPECT_EQ(FieldValue(s, spec.name), values[spec.name]) << spec.name << " at " << version;
    }
    EXPECT_EQ(s.m_strTitle, "title") << version;
    EXPECT_EQ(s.m_strOptionHelp, version >= 932 ? "help" : "") << version;
  }
}

TEST_F(SystemDataTest, EachUpgradeStepAppliesBelowItsVersionOnly) {
  // Every field of the file holds 7. Below V the step's value replaces it (or fills the field the
  // file lacks); from V the file's 7 stands.
  const LegacyCase below[] = {
      {113, "m_bKeepTestFlows", 0},  {157, "m_nTitleOpt157", 0},   {167, "m_nMapOpt167a", 1},
      {167, "m_nMenuOpt167a", 1},    {167, "m_nMenuOpt167b", 1},   {167, "m_nMenuOpt167c", 1},
      {170, "m_nFontOpt170", 0},     {184, "m_bReplayOn", 1},      {185, "m_bScoreExtend", 1},
      {187, "m_nViewMask", 0},       {187, "m_byColour187R", 0},   {187, "m_byColour187G", 177},
      {187, "m_byColour187B", 0},    {188, "m_bRetryRestore0", 1}, {188, "m_bRetryRestore1", 1},
      {188, "m_bRetryRestore2", 1},  {191, "m_nStageOpt191", 0},   {191, "m_nMapOpt191", 0},
      {192, "m_bRetryRestore3", 1},  {205, "m_nFontFace", 60},     {214, "m_bLegacy214", 1},
      {224, "m_nStageOpt224a", 0},   {224, "m_nStageOpt224b", 0},  {261, "m_bLegacy261", 1},
      {272, "m_nStageOpt272", 0},    {287, "m_nGraphicOpt287", 0}, {289, "m_nPaletteOpt289", 0},
      {515, "m_nPaletteStep", 16},   {525, "m_bLegacy525", 1},     {555, "m_bLegacy555", 1},
      {637, "m_nSummonOpt637", 0},   {669, "m_bLegacy669", 1},     {670, "m_nDisplayOpt670a", 0},
      {670, "m_nDisplayOpt670b", 2}, {677, "m_bLegacy677", 1},     {695, "m_bLegacy695", 1},
      {696, "m_bLegacy696", 1},      {697, "m_bLegacy697", 1},     {721, "m_bLegacy721", 1},
      {728, "m_bLegacy728", 1},      {733, "m_bLegacy733", 1},     {744, "m_bLegacy744", 1},
      {749, "m_bLegacy749", 1},      {752, "m_bLegacy752", 1},     {757, "m_nStageOpt757", 0},
      {763, "m_bLegacy763a", 1},     {763, "m_bLegacy763b", 1},    {768, "m_bLegacy768", 1},
      {773, "m_bLegacy773", 1},      {781, "m_bLegacy781", 1},     {782, "m_bLegacy782", 1},
      {783, "m_bLegacy783", 1},      {793, "m_bLegacy793", 1},     {805, "m_bLegacy805", 1},
      {808, "m_bLegacy808", 1},      {818, "m_bLegacy818a", 1},    {818, "m_bLegacy818b", 1},
      {819, "m_bLegacy819", 1},      {821, "m_nTitleOpt821", 0},   {822, "m_bLegacy822", 1},
      {827, "m_bLegacy827", 1},      {831, "m_bLegacy831", 1},     {833, "m_bLegacy833", 1},
      {837, "m_bLegacy837", 1},      {838, "m_bPauseKey", 1},      {839, "m_bLegacy839", 1},
      {841, "m_bLegacy841", 1},      {845, "m_bLegacy845a", 1},    {845, "m_bLegacy845b", 1},
      {845, "m_bLegacy845c", 1},     {845, "m_nStageOpt845", 1},   {855, "m_bLegacy855", 1},
      {861, "m_bLegacy861", 1},      {875, "m_bLegacy875", 1},     {894, "m_bLegacy894", 1},
      {895, "m_bLegacy895", 1},      {896, "m_bLegacy896", 1},     {897, "m_bLegacy897", 1},
      {904, "m_bLegacy904", 1},      {912, "m_bLegacy912", 1},     {913, "m_bLegacy913", 1},
      {932, "m_bShowOptionHelp", 0}, {943, "m_bFileDialogs", 1},   {966, "m_bFontOpt966", 0},
      {981, "m_bLegacy981", 1},      {986, "m_bLegacy986", 1},
  };
  std::map<std::string, int64_t> sevens;
  for (const auto& spec : SystemFieldSpecs()) sevens[spec.name] = 7;
  for (const auto& c : below) {
    cSystemData before = Loaded(SystemDatBytes(c.version - 1, sevens));
    EXPECT_EQ(FieldValue(before, c.field), c.expected) << c.field << " at " << c.version - 1;
    cSystemData from = Loaded(SystemDatBytes(c.version, sevens));
    EXPECT_EQ(FieldValue(from, c.field), 7) << c.field << " at " << c.version;
  }
}

TEST_F(SystemDataTest, ListUpgradesApplyBelowTheirVersionOnly) {
  // The file's lists carry their own marked entries ("t12", "k4", "o5", "m1", 100 + index); each
  // row reads one element at V - 1 and at V.
  cSystemLists lists;
  for (int k = 0; k < 25; ++k) lists.carryOver[static_cast<size_t>(k)] = static_cast<uint8_t>(100 + k);
  for (int k = 0; k < 11; ++k) lists.iniKeys[static_cast<size_t>(k)].name = "k" + std::to_string(k);
  for (int k = 0; k < 10; ++k) lists.optionMenu[static_cast<size_t>(k)].caption = "o" + std::to_string(k);
  for (int k = 0; k < 4; ++k) lists.mapMenu[static_cast<size_t>(k)].caption = "m" + std::to_string(k);
  for (auto& s : lists.status) s.low = 5;
  auto probe = [](const cSystemData& s, const std::string& list, size_t i) -> std::string {
    if (list == "text") return s.m_astrTexts.at(i);
    if (list == "carry") return std::to_string(s.m_abCarryOver.at(i));
    if (list == "key") return s.m_aIniKeys.at(i).m_strName;
    if (list == "option") return s.m_aOptionMenu.at(i).m_strCaption;
    if (list == "map") return s.m_aMapMenu.at(i).m_strCaption;
    if (list == "low") return std::to_string(s.m_aStatusItems.at(i).m_nLowThreshold);
    return "?";
  };
  const struct {
    uint32_t version;
    const char* list;
    size_t index;
    const char* before;  // at version - 1
    const char* from;    // at version
  } cases[] = {
      {168, "carry", 18, "1", "116"},
      {169, "map", 1, "オートセーブ", "m1"},
      {169, "text", 14, "オートセーブＯＮ", "t12"},
      {181, "text", 8, "残りHP", "t8"},
      {193, "text", 26, "リトライ", "t22"},
      {201, "carry", 15, "0", "114"},
      {210, "carry", 9, "0", "109"},
      {286, "key", 0, "Direct3D", "k0"},
      {567, "key", 6, "DD_VideoStretch", "k4"},
      {568, "key", 4, "D3D_FontCache", "k4"},
      {587, "low", 2, "33", "5"},
      {672, "key", 9, "English", "k9"},
      {756, "text", 22, "マップへ戻る", "t22"},
      {842, "key", 10, "Midi_DirectMusic", "k10"},
      {932, "option", 6, "リプレイ自動保存", "o5"},
      {932, "text", 23, "次のリプレイへ", "t23"},
      {934, "option", 8, "リプレイのメッセージ自動進行秒数", "o7"},
      {943, "text", 25, "リプレイの選択へ", "t25"},
      {943, "text", 32, "Cキー：ソートの切り替え", "t32"},
      {952, "option", 1, "ゲームパッド", "o1"},
  };
  for (const auto& c : cases) {
    cSystemData before = Loaded(SystemDatBytes(c.version - 1, {}, lists));
    EXPECT_EQ(probe(before, c.list, c.index), c.before) << c.list << " " << c.index << " at " << c.version - 1;
    cSystemData from = Loaded(SystemDatBytes(c.version, {}, lists));
    EXPECT_EQ(probe(from, c.list, c.index), c.from) << c.list << " " << c.index << " at " << c.version;
  }
}

TEST_F(SystemDataTest, ListGatesReadTheListFromItsVersionOnly) {
  cSystemLists lists;
  lists.carryOverClear.assign(25, 9);
  lists.modeOpt = {2, 2, 2, 2};
  lists.ranking.assign(4, {1, {3, 3, 3, 3, 3}});
  lists.sceneBgmOn.assign(6, 0);
  lists.rankReg.assign(4, "r");
  lists.replaySave.assign(3, "s");
  lists.replayOrder.assign(3, "p");
  const cSystemData d;
  struct Case {
    uint32_t version;
    std::function<bool(const cSystemData&)> fromFile;
  };
  const Case cases[] = {
      {501, [](const cSystemData& s) { return s.m_abCarryOverClear[11] == 9; }},
      {191, [](const cSystemData& s) { return s.m_anModeOpt[0] == 2; }},
      {186, [](const cSystemData& s) { return s.m_aModeRanking[0].m_abKinds[0] == 3; }},
      {202, [](const cSystemData& s) { return s.m_abSceneBgm[0] == 0; }},
      {674, [](const cSystemData& s) { return s.m_astrRankRegChoices[0] == "r"; }},
      {961,
       [](const cSystemData& s) {
         return s.m_astrReplaySaveChoices[0] == "s" && s.m_astrReplayOrderChoices[2] == "p";
       }},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(c.fromFile(Loaded(SystemDatBytes(c.version - 1, {}, lists)))) << c.version - 1;
    EXPECT_TRUE(c.fromFile(Loaded(SystemDatBytes(c.version, {}, lists)))) << c.version;
  }
  // Before its list exists the older file keeps the defaults of the newer lists.
  EXPECT_EQ(Loaded(SystemDatBytes(673, {}, lists)).m_astrRankRegChoices, d.m_astrRankRegChoices);
  EXPECT_EQ(Loaded(SystemDatBytes(960, {}, lists)).m_astrReplayOrderChoices, d.m_astrReplayOrderChoices);
}

TEST_F(SystemDataTest, DeclaresNinetySixNumericFieldsAtTheCurrentVersion) {
  cSystemData s;
  EXPECT_EQ(s.FieldTable().size(), 96u);
  EXPECT_EQ(s.StringTable().size(), 2u);
  std::vector<uint8_t> bytes = s.SaveToBytes();
  int32_t n = 0;
  std::memcpy(&n, bytes.data() + 4, 4);
  EXPECT_EQ(n, 96);
}

TEST_F(SystemDataTest, SaveLoadSaveIsByteIdenticalAtTheCurrentVersion) {
  cSystemData s;
  s.m_strTitle = "ゲーム";
  s.m_bLegacy904 = 1;
  s.m_byColour187G = 200;
  s.m_nDisplayOpt880 = 7;
  s.m_astrTexts[3] = "";
  s.m_aTitleMenu[2].m_bEnabled = 0;
  s.m_anSceneBgm = {1, 2, 3, 4, 5, 6};
  s.m_aModeRanking[1].m_abKinds = {0, 1, 0, 1, 0};
  s.m_aIniKeys.push_back(cSysParam());
  const std::vector<uint8_t> first = s.SaveToBytes();
  cSystemData t;
  ASSERT_EQ(t.LoadFromBytes(first), 1);
  EXPECT_EQ(t.SaveToBytes(), first);
  EXPECT_EQ(t.m_strTitle, "ゲーム");
  EXPECT_EQ(t.m_bLegacy986, 0);  // no upgrade step ran
}

TEST_F(SystemDataTest, HandBuiltCurrentFileSavesBackToTheSameBytes) {
  const auto bytes = SystemDatBytes(986, {{"m_nExtendScore", 250}, {"m_byColour187B", 255}});
  cSystemData s = Loaded(bytes);
  EXPECT_EQ(s.m_nExtendScore, 250);
  EXPECT_EQ(s.m_byColour187B, 255);
  EXPECT_EQ(s.SaveToBytes(), bytes);
}

TEST_F(SystemDataTest, UpgradeSetsLegacySwitchesByVersionRange) {
  const LegacyCase cases[] = {
      {980, "m_bLegacy981", 1},     {980, "m_bLegacy986", 1},    {979, "m_bLegacy981", 0},
      {981, "m_bLegacy981", 0},     {981, "m_bLegacy986", 1},    {985, "m_bLegacy986", 1},
      {816, "m_bLegacy833", 0},     {817, "m_bLegacy833", 1},    {832, "m_bLegacy833", 1},
      {821, "m_bLegacy894", 0},     {822, "m_bLegacy894", 1},    {893, "m_bLegacy894", 1},
      {889, "m_bLegacy896", 0},     {890, "m_bLegacy896", 1},    {895, "m_bLegacy896", 1},
      {616, "m_nSummonOpt637", 1},  {617, "m_nSummonOpt637", 0}, {655, "m_nStageOpt845", 0},
      {656, "m_nStageOpt845", 1},   {844, "m_bLegacy845c", 1},   {854, "m_bLegacy855", 1},
      {112, "m_bKeepTestFlows", 0}, {156, "m_nTitleOpt157", 0},  {166, "m_nMenuOpt167c", 1},
      {183, "m_bReplayOn", 1},      {184, "m_bScoreExtend", 1},  {191, "m_bRetryRestore3", 1},
      {204, "m_nFontFace", 60},     {514, "m_nPaletteStep", 16}, {669, "m_nDisplayOpt670b", 2},
      {837, "m_bPauseKey", 1},      {942, "m_bFileDialogs", 1},  {965, "m_bFontOpt966", 0},
  };
  for (const auto& c : cases) {
    cSystemData s = Loaded(SystemDatBytes(c.version, {}));
    EXPECT_EQ(FieldValue(s, c.field), c.expected) << c.field << " at " << c.version;
  }
}

TEST_F(SystemDataTest, OldFilesKeepTheirOwnValuesOnceTheFieldExists) {
  cSystemData s = Loaded(SystemDatBytes(838, {{"m_bPauseKey", 0}}));
  EXPECT_EQ(s.m_bPauseKey, 0);
  cSystemData t = Loaded(SystemDatBytes(186, {{"m_nViewMask", 0}}));
  EXPECT_EQ(t.m_byColour187G, 177);
  EXPECT_EQ(t.m_nPaletteOpt289, 1);
  cSystemData u = Loaded(SystemDatBytes(187, {{"m_nViewMask", 1}, {"m_byColour187G", 5}}));
  EXPECT_EQ(u.m_byColour187G, 5);
  EXPECT_EQ(u.m_nPaletteOpt289, 0);
}

TEST_F(SystemDataTest, FieldOfVersions221To259IsReadAndDropped) {
  // 230 holds the dropped field between the 214 and 261 switches; 260 does not.
  cSystemData s = Loaded(SystemDatBytes(230, {{"m_bLegacy214", 3}, {"(discarded)", 77}}));
  EXPECT_EQ(s.m_bLegacy214, 3);
  EXPECT_EQ(s.m_bLegacy261, 1);
  EXPECT_EQ(s.m_strTitle, "title");
  cSystemData t = Loaded(SystemDatBytes(260, {{"m_bLegacy214", 4}}));
  EXPECT_EQ(t.m_bLegacy214, 4);
  EXPECT_EQ(t.m_strTitle, "title");
}

TEST_F(SystemDataTest, Version168GetsTheAutoSaveTextsAndMenuEntry) {
  cSystemLists lists;
  lists.mapMenu = {{1, "A"}, {1, "B"}, {1, "C"}};
  cSystemData s = Loaded(SystemDatBytes(168, {}, lists));
  // Inserted at 12 as ON, OFF, message; the two texts 181 inserts at 8 and 9 then move them by 2.
  EXPECT_EQ(s.m_astrTexts[14], "オートセーブＯＮ");
  EXPECT_EQ(s.m_astrTexts[15], "オートセーブＯＦＦ");
  EXPECT_EQ(s.m_astrTexts[16], "保存先が不明です！一度は「セーブ」して下さい！");
  EXPECT_EQ(s.m_astrTexts[8], "残りHP");
  EXPECT_EQ(s.m_astrTexts[9], "残りSP");
  EXPECT_EQ(s.m_astrTexts.size(), 39u);
  ASSERT_EQ(s.m_aMapMenu.size(), 4u);
  EXPECT_EQ(s.m_aMapMenu[0].m_strCaption, "A");
  EXPECT_EQ(s.m_aMapMenu[1].m_strCaption, "オートセーブ");
  EXPECT_EQ(s.m_aMapMenu[1].m_bEnabled, 1);
  EXPECT_EQ(s.m_aMapMenu[2].m_strCaption, "B");
  EXPECT_EQ(s.m_aMapMenu[3].m_strCaption, "C");
}

TEST_F(SystemDataTest, Version942InsertsOneTextAndOverwritesTheReplayListTexts) {
  cSystemData s = Loaded(SystemDatBytes(942, {{"m_bReplayOn", 0}}));
  EXPECT_EQ(s.m_astrTexts[24], "t24");
  EXPECT_EQ(s.m_astrTexts[25], "リプレイの選択へ");
  EXPECT_EQ(s.m_astrTexts[26], "t25");
  EXPECT_EQ(s.m_astrTexts[31], "t30");
  EXPECT_EQ(s.m_astrTexts[32], "Cキー：ソートの切り替え");
  EXPECT_EQ(s.m_astrTexts[38], "ファイル名順↑");
  EXPECT_EQ(s.m_astrTexts.size(), 39u);
  EXPECT_EQ(s.m_bReplayKeys, 0);  // copied from the replay switch
  EXPECT_EQ(s.m_bFileDialogs, 1);
}

TEST_F(SystemDataTest, Version941SpreadsSceneMusicEntryThreeOverThreeToFive) {
  cSystemLists lists;
  lists.sceneBgm = {1, 2, 3, 4, 5, 6};
  lists.sceneBgmOn = {1, 0, 1, 0, 1, 0};
  cSystemData s = Loaded(SystemDatBytes(941, {}, lists));
  EXPECT_EQ(s.m_anSceneBgm, (std::vector<int32_t>{1, 2, 3, 4, 4, 4}));
  EXPECT_EQ(s.m_abSceneBgm, (std::vector<uint8_t>{1, 0, 1, 0, 0, 0}));
}

TEST_F(SystemDataTest, IniKeyUpgradesBuildTheCurrentKeyTable) {
  // A file older than every key upgrade ends with the eleven keys in their current order.
  cSystemLists lists;
  lists.iniKeys = {{0, 5, "WindowMode", ""},
                   {0, 0, "Bpp", ""},
                   {0, 3, "VSync", ""},
                   {0, 1, "ShowFps", ""},
                   {1, 0, "FreeStage", "x"}};
  cSystemData s = Loaded(SystemDatBytes(285, {}, lists));
  ASSERT_EQ(s.m_aIniKeys.size(), 11u);
  const char* names[] = {"Direct3D",        "WindowMode", "Bpp",       "VSync",   "D3D_FontCache",   "DD_FontCache",
                         "DD_VideoStretch", "ShowFps",    "FreeStage", "English", "Midi_DirectMusic"};
  for (int i = 0; i < 11; ++i) EXPECT_EQ(s.m_aIniKeys[i].m_strName, names[i]) << i;
  EXPECT_EQ(s.m_aIniKeys[0].m_nDefault, 1);
  EXPECT_EQ(s.m_aIniKeys[3].m_nDefault, 2);  // VSync 3 lowered to 2
  EXPECT_EQ(s.m_aIniKeys[5].m_nDefault, 1);
  EXPECT_EQ(s.m_aIniKeys[8].m_strDefault, "x");
  EXPECT_EQ(s.m_aIniKeys[10].m_nDefault, 1);
}

TEST_F(SystemDataTest, OldOptionMenuGetsItsLaterEntries) {
  cSystemLists lists;
  lists.optionMenu = {{1, "カラー"},           {1, "BGM"},   {1, "SE"}, {1, "ランキング登録"},
                      {1, "ランキング登録名"}, {1, "もどる"}};
  cSystemData s = Loaded(SystemDatBytes(931, {}, lists));
  ASSERT_EQ(s.m_aOptionMenu.size(), 10u);
  const char* captions[] = {"カラー",
                            "ゲームパッド",
                            "BGM",
                            "SE",
                            "ランキング登録",
                            "ランキング登録名",
                            "リプレイ自動保存",
                            "リプレイ再生順",
                            "リプレイのメッセージ自動進行秒数",
                            "もどる"};
  const int enabled[] = {1, 1, 1, 1, 1, 1, 0, 0, 0, 1};
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(s.m_aOptionMenu[i].m_strCaption, captions[i]) << i;
    EXPECT_EQ(s.m_aOptionMenu[i].m_bEnabled, enabled[i]) << i;
  }
  EXPECT_EQ(s.m_bShowOptionHelp, 0);
  EXPECT_EQ(s.m_strOptionHelp, "");
}

TEST_F(SystemDataTest, OldStatusEntriesGetLowGaugeDefaultsAndShownNumbers) {
  cSystemData s = Loaded(SystemDatBytes(203, {}));
  EXPECT_EQ(s.m_aStatusItems[0].m_bShowNumber, 1);
  EXPECT_EQ(s.m_aStatusItems[2].m_nLowThreshold, 33);
  EXPECT_EQ(s.m_aStatusItems[3].m_bLowPercent, 1);
  EXPECT_EQ(s.m_aStatusItems[4].m_nLowThreshold, 0);
  // Ranking entries before 181 use three kinds.
  cSystemData t = Loaded(SystemDatBytes(186, {}));
  EXPECT_EQ(t.m_aModeRanking[0].m_abKinds, (std::vector<uint8_t>{1, 1, 1, 1, 1}));
  cSystemData u = Loaded(SystemDatBytes(180, {}));
  EXPECT_EQ(u.m_aModeRanking[0].m_abKinds, (std::vector<uint8_t>{1, 1, 1, 0, 0}));
}

TEST_F(SystemDataTest, CurrentFileWithShortListsIsPaddedFromTheDefaults) {
  cSystemLists lists;
  lists.texts = {"only"};
  lists.titleMenu = {};
  lists.iniKeys = {{0, 1, "Direct3D", ""}};
  lists.startLives = {3};
  lists.status.resize(1);
  lists.ranking = {{1, {1}}};
  lists.carryOver = {};
  cSystemData s = Loaded(SystemDatBytes(986, {}, lists));
  ASSERT_EQ(s.m_astrTexts.size(), 39u);
  EXPECT_EQ(s.m_astrTexts[0], "only");
  EXPECT_EQ(s.m_astrTexts[38], "ファイル名順↑");
  ASSERT_EQ(s.m_aTitleMenu.size(), 7u);
  EXPECT_EQ(s.m_aTitleMenu[6].m_strCaption, "しゅうりょう");
  ASSERT_EQ(s.m_aIniKeys.size(), 11u);
  EXPECT_EQ(s.m_aIniKeys[10].m_strName, "Midi_DirectMusic");
  EXPECT_EQ(s.m_anStartLives, (std::vector<int32_t>{3, 5, 5, 99}));
  EXPECT_EQ(s.m_aStatusItems.size(), 5u);
  EXPECT_EQ(s.m_aModeRanking.size(), 4u);
  EXPECT_EQ(s.m_aModeRanking[0].m_abKinds.size(), 5u);
  EXPECT_EQ(s.m_abCarryOver.size(), 25u);  // an empty byte list keeps the defaults
  EXPECT_EQ(g_bQuit.load(), 0);
}

TEST_F(SystemDataTest, SceneMusicBeyondTheDatabaseReadsAndSavesAsZero) {
  g_Database.m_aBgm.assign(3, cBgmData());
  cSystemLists lists;
  lists.sceneBgm = {0, 2, 3, 7, -1, 1};
  cSystemData s = Loaded(SystemDatBytes(986, {}, lists));
  EXPECT_EQ(s.m_anSceneBgm, (std::vector<int32_t>{0, 2, 0, 0, -1, 1}));
  s.m_anSceneBgm[0] = 9;
  cSystemData t = Loaded(s.SaveToBytes());
  EXPECT_EQ(t.m_anSceneBgm[0], 0);
}

TEST_F(SystemDataTest, BrokenFilesAreRefusedAndLeaveTheSettingsUnchanged) {
  auto bytes = SystemDatBytes(986, {{"m_nExtendScore", 5}});
  cSystemData s;
  s.m_nExtendScore = 42;
  for (size_t cut : {size_t{3}, size_t{8}, size_t{100}, bytes.size() / 2, bytes.size() - 1}) {
    std::vector<uint8_t> part(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_EQ(s.LoadFromBytes(part), 0) << cut;
    EXPECT_EQ(s.m_nExtendScore, 42);
    EXPECT_EQ(s.m_astrTexts.size(), 39u);
  }
  // A text list count far beyond the file is refused without a huge allocation.
  cByteBuilder b;
  b.U32(100).I32(0).I32(0).I32(0).I32(0).I32(0).I32(0x7FFFFFFF);
  EXPECT_EQ(s.LoadFromBytes(b.Get()), 0);
  // Too new.
  bytes[0] = 0xDB;
  bytes[1] = 0x03;  // 987
  EXPECT_EQ(s.LoadFromBytes(bytes), 0);
  EXPECT_EQ(g_bFileTooNew, 1);
}

TEST_F(SystemDataTest, DamagedFilesNeverCrashTheLoader) {
  cSystemLists lists;
  const auto good = SystemDatBytes(700, {{"m_nExtendScore", 5}}, lists);
  uint32_t state = 12345;
  auto next = [&state] {
    state = state * 1103515245u + 12345u;
    return state >> 8;
  };
  for (int round = 0; round < 400; ++round) {
    std::vector<uint8_t> bytes = good;
    const int flips = 1 + static_cast<int>(next() % 4);
    for (int f = 0; f < flips; ++f) bytes[4 + next() % (bytes.size() - 4)] = static_cast<uint8_t>(next());
    cSystemData s;
    const int loaded = s.LoadFromBytes(bytes);
    if (loaded) {
      EXPECT_GE(s.m_astrTexts.size(), 39u);
      EXPECT_GE(s.m_aIniKeys.size(), 11u);
      EXPECT_GE(s.m_aStatusItems.size(), 5u);
    }
  }
  EXPECT_EQ(g_bQuit.load(), 0);
}

TEST_F(SystemDataTest, DefaultsAreCp932Texts) {
  cSystemData s;
  EXPECT_EQ(s.m_astrTexts[0], "\x83\x8F\x81\x5B\x83\x8B\x83\x68");  // "ワールド"
  EXPECT_EQ(s.m_strOptionHelp.rfind("「手動登録」", 0), 0u);
  EXPECT_EQ(s.m_aOptionMenu.size(), 10u);
  EXPECT_EQ(s.m_aIniKeys[8].m_nType, 1);
  EXPECT_EQ(s.m_nFontFace, 60);
  EXPECT_EQ(s.m_abCarryOver[16], 1);
  EXPECT_EQ(s.m_abCarryOver[15], 0);
}

TEST_F(SystemDataTest, MenuHelpers) {
  std::vector<cCmd> list = {cCmd(0, "a"), cCmd(0, "b"), cCmd(1, "c"), cCmd(1, "d"), cCmd(1, "e")};
  EXPECT_EQ(GetCmdNum(0, list), 2);
  EXPECT_EQ(GetCmdNum(2, list), 4);
  EXPECT_EQ(GetCmdNum(3, list), 0);
  EXPECT_EQ(GetCmdCount(list), 3);

  cSystemData s;
  EXPECT_EQ(s.GetMenuLeft(320, 10, 2, 1), 256);
  EXPECT_EQ(s.GetMenuLeft(320, 0, 1, 0), 320 - 4 * 16 / 2);  // "ワールド" is four characters
  int width = 0, height = 0;
  EXPECT_EQ(s.BuildSystemMenuText(10, 2, 1, &width, &height), " ステージに挑む\n やっぱりやめる\n");
  EXPECT_EQ(width, 128);
  EXPECT_EQ(height, 32);

  EXPECT_EQ(s.CountModeFlags(0), 5);
  EXPECT_EQ(s.CountModeFlags(3), 0);
}

TEST_F(SystemDataTest, GaugeLowTest) {
  cSystemData s;
  s.m_aStatusItems[2].m_nLowThreshold = 33;
  s.m_aStatusItems[2].m_bLowPercent = 1;
  EXPECT_TRUE(s.IsGaugeLow(2, 33, 100));
  EXPECT_FALSE(s.IsGaugeLow(2, 34, 100));
  EXPECT_FALSE(s.IsGaugeLow(2, 0, 0));
  EXPECT_FALSE(s.IsGaugeLow(2, 5, 0));
  EXPECT_TRUE(s.IsGaugeLow(2, -1, 0));
  EXPECT_TRUE(s.IsGaugeLow(3, 0, 10));
  EXPECT_FALSE(s.IsGaugeLow(3, 1, 10));
  EXPECT_TRUE(s.IsGaugeLow(3, -3, 10));
}

}  // namespace
