#include "data/system_data.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/log.h"
#include "data/database.h"
#include "system_data_bytes.h"

namespace {

class SystemDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_bQuit = 0;
    g_nDataVersion = 986;
    g_bStripCR = 1;
    // Enough music records that the scene music numbers used here survive the clamp.
    g_Database.m_aBgm.assign(10, cBgmData());
  }
  void TearDown() override {
    g_bQuit = 0;
    g_Database.SetDatabaseDefaults();
  }

  static cSystemData Loaded(const std::vector<uint8_t>& bytes) {
    cSystemData s;
    EXPECT_EQ(s.LoadFromBytes(bytes), 1);
    return s;
  }
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

struct LegacyCase {
  uint32_t version;
  const char* field;
  int32_t expected;
};

TEST_F(SystemDataTest, UpgradeSetsLegacySwitchesByVersionRange) {
  const LegacyCase cases[] = {
      {980, "m_bLegacy981", 1}, {980, "m_bLegacy986", 1}, {979, "m_bLegacy981", 0},
      {981, "m_bLegacy981", 0}, {981, "m_bLegacy986", 1}, {985, "m_bLegacy986", 1},
      {816, "m_bLegacy833", 0}, {817, "m_bLegacy833", 1}, {832, "m_bLegacy833", 1},
      {821, "m_bLegacy894", 0}, {822, "m_bLegacy894", 1}, {893, "m_bLegacy894", 1},
      {889, "m_bLegacy896", 0}, {890, "m_bLegacy896", 1}, {895, "m_bLegacy896", 1},
      {616, "m_nSummonOpt637", 1}, {617, "m_nSummonOpt637", 0}, {655, "m_nStageOpt845", 0},
      {656, "m_nStageOpt845", 1}, {844, "m_bLegacy845c", 1}, {854, "m_bLegacy855", 1},
      {112, "m_bKeepTestFlows", 0}, {156, "m_nTitleOpt157", 0}, {166, "m_nMenuOpt167c", 1},
      {183, "m_bReplayOn", 1}, {184, "m_bScoreExtend", 1}, {191, "m_bRetryRestore3", 1},
      {204, "m_nFontFace", 60}, {514, "m_nPaletteStep", 16}, {669, "m_nDisplayOpt670b", 2},
      {837, "m_bPauseKey", 1}, {942, "m_bFileDialogs", 1}, {965, "m_bFontOpt966", 0},
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
  lists.iniKeys = {{0, 5, "WindowMode", ""}, {0, 0, "Bpp", ""}, {0, 3, "VSync", ""},
                   {0, 1, "ShowFps", ""},    {1, 0, "FreeStage", "x"}};
  cSystemData s = Loaded(SystemDatBytes(285, {}, lists));
  ASSERT_EQ(s.m_aIniKeys.size(), 11u);
  const char* names[] = {"Direct3D", "WindowMode", "Bpp", "VSync", "D3D_FontCache", "DD_FontCache",
                         "DD_VideoStretch", "ShowFps", "FreeStage", "English", "Midi_DirectMusic"};
  for (int i = 0; i < 11; ++i) EXPECT_EQ(s.m_aIniKeys[i].m_strName, names[i]) << i;
  EXPECT_EQ(s.m_aIniKeys[0].m_nDefault, 1);
  EXPECT_EQ(s.m_aIniKeys[3].m_nDefault, 2);  // VSync 3 lowered to 2
  EXPECT_EQ(s.m_aIniKeys[5].m_nDefault, 1);
  EXPECT_EQ(s.m_aIniKeys[8].m_strDefault, "x");
  EXPECT_EQ(s.m_aIniKeys[10].m_nDefault, 1);
}

TEST_F(SystemDataTest, OldOptionMenuGetsItsLaterEntries) {
  cSystemLists lists;
  lists.optionMenu = {{1, "カラー"}, {1, "BGM"}, {1, "SE"}, {1, "ランキング登録"},
                      {1, "ランキング登録名"}, {1, "もどる"}};
  cSystemData s = Loaded(SystemDatBytes(931, {}, lists));
  ASSERT_EQ(s.m_aOptionMenu.size(), 10u);
  const char* captions[] = {"カラー", "ゲームパッド", "BGM", "SE", "ランキング登録", "ランキング登録名",
                            "リプレイ自動保存", "リプレイ再生順", "リプレイのメッセージ自動進行秒数", "もどる"};
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
  g_bFileTooNew = 0;
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
