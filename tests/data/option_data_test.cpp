// The player's option record: its fields by file version with the fix-ups of older files, the
// range checks, the round trip and the "System.ini" replay overrides.
#include "data/option_data.h"

#include "data/system_data.h"
#include "game_data_fixture.h"
#include "option_bytes.h"

using OptionDataTest = GameDataTest;

TEST_F(OptionDataTest, ANewRecordHoldsTheDefaults) {
  cOptionData options;
  EXPECT_EQ(options.m_nGamepad, 1);
  EXPECT_EQ(options.m_nColour, 0);
  EXPECT_EQ(options.m_nBgmVolume, 7);
  EXPECT_EQ(options.m_nSeVolume, 7);
  EXPECT_EQ(options.m_nRankingEntry, 0);
  EXPECT_EQ(options.m_strRankingName, "aaa");
  EXPECT_EQ(options.m_nReplayAutoSave, kReplayAutoSaveOff);
  EXPECT_EQ(options.m_nReplayOrder, 0);
  EXPECT_EQ(options.m_nMessageAutoSeconds, 21);
}

struct OptionFileCase {
  const char* name;
  uint32_t version;
  int32_t fileBgm, fileSe;
  // What the record holds after loading.
  int32_t gamepad, bgm, se, autoSave, order, messageSeconds;
};

class OptionFileTest : public OptionDataTest, public ::testing::WithParamInterface<OptionFileCase> {};

TEST_P(OptionFileTest, LoadsTheFieldsOfItsVersion) {
  const OptionFileCase& c = GetParam();
  cOptionFileValues values;
  values.bgmVolume = c.fileBgm;
  values.seVolume = c.fileSe;
  cOptionData options;
  ASSERT_TRUE(options.LoadFromBytes(OptionFile(c.version, values)));
  EXPECT_EQ(options.m_nGamepad, c.gamepad);
  EXPECT_EQ(options.m_nBgmVolume, c.bgm);
  EXPECT_EQ(options.m_nSeVolume, c.se);
  EXPECT_EQ(options.m_nReplayAutoSave, c.autoSave);
  EXPECT_EQ(options.m_nReplayOrder, c.order);
  EXPECT_EQ(options.m_nMessageAutoSeconds, c.messageSeconds);
  // the fields before and after the optional ones stay in their places
  EXPECT_EQ(options.m_nColour, values.colour);
  EXPECT_EQ(options.m_nRankingEntry, values.rankingEntry);
  EXPECT_EQ(options.m_strRankingName, values.rankingName);
}

INSTANTIATE_TEST_SUITE_P(Versions, OptionFileTest,
                         ::testing::Values(
                             // version, file music and sound steps -> gamepad, music, sound, auto-save, order, seconds
                             OptionFileCase{"Current", 986, 3, 4, 0, 3, 4, 1, 1, 12},
                             OptionFileCase{"WithoutGamepadKeepsItOn", 951, 6, 2, 1, 7, 2, 1, 1, 12},
                             OptionFileCase{"WithoutMessageSeconds", 933, 6, 2, 1, 7, 2, 1, 1, 21},
                             OptionFileCase{"WithoutReplayOptions", 931, 6, 2, 1, 7, 2, 0, 2, 21},
                             OptionFileCase{"OldSoundStepFourBecomesFive", 985, 3, 4, 0, 7, 5, 1, 1, 12},
                             OptionFileCase{"OldSoundStepTenStaysTen", 985, 0, 10, 0, 0, 10, 1, 1, 12},
                             OptionFileCase{"OldSoundStepThreeStays", 985, 1, 3, 0, 7, 3, 1, 1, 12},
                             OptionFileCase{"OldSoundStepBeyondAllIsTheTop", 985, 0, 2147483647, 0, 0, 10, 1, 1, 12}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(OptionDataTest, OptionsOutsideTheirRangesAreBroughtIntoThem) {
  cOptionFileValues values;
  values.colour = 99;
  values.bgmVolume = -4;
  values.seVolume = 11;
  values.rankingEntry = 4;
  values.replayAutoSave = 7;
  values.replayOrder = -1;
  values.messageAutoSeconds = 1000;
  cOptionData options;
  ASSERT_TRUE(options.LoadFromBytes(OptionFile(kDataVersion, values)));
  EXPECT_EQ(options.m_nColour, 23);
  EXPECT_EQ(options.m_nBgmVolume, 0);
  EXPECT_EQ(options.m_nSeVolume, 10);
  EXPECT_EQ(options.m_nRankingEntry, 3);
  EXPECT_EQ(options.m_nReplayAutoSave, 2);
  EXPECT_EQ(options.m_nReplayOrder, 0);
  EXPECT_EQ(options.m_nMessageAutoSeconds, 21);
}

TEST_F(OptionDataTest, SavesTheCurrentLayoutAndReadsItBack) {
  cOptionData options;
  options.m_nGamepad = 0;
  options.m_nColour = 17;
  options.m_nBgmVolume = 2;
  options.m_nSeVolume = 9;
  options.m_nRankingEntry = 2;
  options.m_strRankingName = "xyz";
  options.m_nReplayAutoSave = kReplayAutoSaveEvery;
  options.m_nReplayOrder = 2;
  options.m_nMessageAutoSeconds = 4;
  const cOptionFileValues written{0, 17, 2, 9, 2, 2, 2, 4, "xyz"};
  EXPECT_EQ(options.SaveToBytes(), OptionFile(kDataVersion, written));
  cOptionData copy;
  ASSERT_TRUE(copy.LoadFromBytes(options.SaveToBytes()));
  EXPECT_EQ(copy.SaveToBytes(), options.SaveToBytes());
}

TEST_F(OptionDataTest, AFileTooNewOrCutShortLeavesTheOptionsAsTheyWere) {
  cOptionData options;
  options.m_nSeVolume = 3;
  EXPECT_FALSE(options.LoadFromBytes(OptionFile(kDataVersion + 1, {})));
  std::vector<uint8_t> cut = OptionFile(kDataVersion, {});
  cut.resize(cut.size() - 3);
  EXPECT_FALSE(options.LoadFromBytes(cut));
  EXPECT_EQ(options.m_nSeVolume, 3);
  EXPECT_EQ(options.m_strRankingName, "aaa");
}

TEST_F(OptionDataTest, PresentReplayKeysSetTheirOptionsAndShowTheirEntries) {
  std::vector<cCmd> menu(kOptionMenuCount, cCmd(0, "entry"));
  cOptionData options;
  options.m_nReplayOrder = 1;
  ApplyReplayOptionOverrides(options, menu, {1, 2}, {0, 0}, {1, 0});
  EXPECT_EQ(options.m_nReplayAutoSave, 2);
  EXPECT_EQ(options.m_nReplayOrder, 1);  // its key was absent
  EXPECT_EQ(options.m_nMessageAutoSeconds, 0);
  for (int i = 0; i < kOptionMenuCount; ++i)
    EXPECT_EQ(menu[i].m_bEnabled, i == kOptionMenuReplayAutoSave || i == kOptionMenuMessageAuto ? 1 : 0) << i;

  // a project list too short for the entries still gets the values
  std::vector<cCmd> shortMenu(3, cCmd(0, "entry"));
  ApplyReplayOptionOverrides(options, shortMenu, {0, 0}, {1, 2}, {0, 0});
  EXPECT_EQ(options.m_nReplayOrder, 2);
}
