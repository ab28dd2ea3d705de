// The player's option record: its fields by file version with the fix-ups of older files, the
// range checks, the round trip and the "System.ini" replay overrides.
#include "data/option_data.h"

#include <cstdint>
#include <cstring>
#include <vector>

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

TEST_F(OptionDataTest, ANewRecordSavesTheDefaultFileByteForByte) {
  cOptionData options;
  // version 986 (DA 03 00 00); eight numbers: pad 1, colour 0, music 7, sound 7, ranking 0, auto-save 0, order 0,
  // seconds 21; one string "aaa" with its NUL
  const std::vector<uint8_t> expected = {0xDA, 0x03, 0, 0, 8, 0, 0, 0, 1, 0, 0, 0, 0,   0,   0,   0, 7, 0,
                                         0,    0,    7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,   0,   0,   0, 0, 0,
                                         21,   0,    0, 0, 1, 0, 0, 0, 4, 0, 0, 0, 'a', 'a', 'a', 0};
  EXPECT_EQ(options.SaveToBytes(), expected);
}

TEST_F(OptionDataTest, OlderFilesGetTheirFixUps) {
  struct Case {
    const char* what;
    uint32_t version;
    cOptionFileValues file;
    int32_t gamepadBefore;  // in memory before the load
    // after it
    int32_t gamepad, bgm, se, autoSave, order, seconds;
  };
  const Case cases[] = {
      {"951 keeps the pad in memory", 951, {0, 5, 1, 3, 2, 1, 1, 10, "abc"}, 1, 1, 7, 3, 1, 1, 10},
      {"951 keeps a pad switched off", 951, {1, 5, 1, 3, 2, 1, 1, 10, "abc"}, 0, 0, 7, 3, 1, 1, 10},
      {"952 reads the pad", 952, {0, 5, 1, 3, 2, 1, 1, 10, "abc"}, 1, 0, 7, 3, 1, 1, 10},
      {"931 has no replay options", 931, {0, 0, 0, 4, 1, 1, 1, 10, "xyz"}, 1, 1, 0, 5, 0, 2, 21},
      {"933 keeps its replay options", 933, {0, 0, 0, 4, 1, 2, 1, 10, "xyz"}, 1, 1, 0, 5, 2, 1, 21},
      {"985 music on is the top step", 985, {1, 0, 3, 9, 0, 0, 1, 5, "xyz"}, 1, 1, 7, 10, 0, 1, 5},
      {"985 sound beyond the top", 985, {1, 0, 0, 40, 0, 0, 0, 5, "xyz"}, 1, 1, 0, 10, 0, 0, 5},
      {"985 negative sound is brought into range", 985, {1, 0, 0, -5, 0, 0, 0, 5, "xyz"}, 1, 1, 0, 0, 0, 0, 5},
      {"986 is read as written", 986, {1, 0, 3, 4, 0, 0, 0, 5, "xyz"}, 1, 1, 3, 4, 0, 0, 5},
  };
  for (const Case& c : cases) {
    cOptionData options;
    options.m_nGamepad = c.gamepadBefore;
    ASSERT_TRUE(options.LoadFromBytes(OptionFile(c.version, c.file))) << c.what;
    EXPECT_EQ(options.m_nGamepad, c.gamepad) << c.what;
    EXPECT_EQ(options.m_nBgmVolume, c.bgm) << c.what;
    EXPECT_EQ(options.m_nSeVolume, c.se) << c.what;
    EXPECT_EQ(options.m_nReplayAutoSave, c.autoSave) << c.what;
    EXPECT_EQ(options.m_nReplayOrder, c.order) << c.what;
    EXPECT_EQ(options.m_nMessageAutoSeconds, c.seconds) << c.what;
    EXPECT_EQ(options.m_strRankingName, c.file.rankingName) << c.what;
  }
}

TEST_F(OptionDataTest, EveryOptionOutOfRangeIsBroughtIntoItsRange) {
  struct Case {
    const char* what;
    cOptionFileValues file;
    cOptionFileValues loaded;
  };
  const Case cases[] = {
      {"above", {5, 99, 8, 11, 4, 3, 3, 22, "abc"}, {1, 23, 7, 10, 3, 2, 2, 21, "abc"}},
      {"below", {-1, -1, -1, -1, -1, -1, -1, -1, "abc"}, {1, 0, 0, 0, 0, 0, 0, 0, "abc"}},
      {"the largest numbers",
       {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, "a"},
       {1, 23, 7, 10, 3, 2, 2, 21, "a"}},
      {"the smallest numbers",
       {INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, "a"},
       {1, 0, 0, 0, 0, 0, 0, 0, "a"}},
      {"the edges stay", {0, 23, 7, 10, 3, 2, 2, 21, "abc"}, {0, 23, 7, 10, 3, 2, 2, 21, "abc"}},
  };
  for (const Case& c : cases) {
    cOptionData options;
    ASSERT_TRUE(options.LoadFromBytes(OptionFile(kDataVersion, c.file))) << c.what;
    EXPECT_EQ(options.SaveToBytes(), OptionFile(kDataVersion, c.loaded)) << c.what;
  }
}

TEST_F(OptionDataTest, ADamagedBodyIsRefusedWholeAndKeepsTheOptionsItHad) {
  // offsets in a version-986 file: 4 the number count, 40 the string count, 44 the name's length
  auto patched = [](size_t offset, int32_t value) {
    std::vector<uint8_t> bytes = OptionFile(kDataVersion, {0, 9, 3, 2, 1, 1, 1, 4, "xyz"});
    std::memcpy(bytes.data() + offset, &value, 4);
    return bytes;
  };
  auto cut = [](size_t size) {
    std::vector<uint8_t> bytes = OptionFile(kDataVersion, {0, 9, 3, 2, 1, 1, 1, 4, "xyz"});
    bytes.resize(size);
    return bytes;
  };
  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"more numbers than the record has", patched(4, 100)},
      {"a negative number count", patched(4, -1)},
      {"more strings than the record has", patched(40, 5)},
      {"a negative string count", patched(40, -1)},
      {"a name length of 0", patched(44, 0)},
      {"a negative name length", patched(44, -3)},
      {"a name longer than the file", patched(44, 5)},
      {"the largest name length", patched(44, INT32_MAX)},
      {"cut after the version", cut(4)},
      {"cut among the numbers", cut(22)},
      {"cut before the strings", cut(40)},
      {"cut inside the name", cut(50)},
  };
  for (const auto& c : cases) {
    cOptionData options;
    options.m_nColour = 17;
    options.m_nSeVolume = 2;
    options.m_strRankingName = "old";
    const std::vector<uint8_t> before = options.SaveToBytes();
    EXPECT_FALSE(options.LoadFromBytes(c.bytes)) << c.what;
    EXPECT_EQ(options.SaveToBytes(), before) << c.what;
  }
}

TEST_F(OptionDataTest, ANameWithoutItsNulEndsAtItsLength) {
  std::vector<uint8_t> bytes = OptionFile(kDataVersion, {0, 0, 7, 7, 0, 0, 0, 21, "xyz"});
  bytes.back() = 'w';  // "xyzw" in place of "xyz" and its NUL
  cOptionData options;
  ASSERT_TRUE(options.LoadFromBytes(bytes));
  EXPECT_EQ(options.m_strRankingName, "xyzw");
}
