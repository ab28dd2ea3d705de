// The replay input log and replay files: recording and playing back frames, the golden replay
// files read and written back byte for byte, older versions, damaged files, saving and naming.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "core/file_helpers.h"
#include "core/log.h"
#include "data/replay_file.h"
#include "game_data_fixture.h"
#include "replay_bytes.h"
#include "temp_folder.h"

namespace {

using Frame = std::pair<int16_t, int16_t>;  // direction word, button word

struct RecordCase {
  const char* name;
  std::vector<Frame> frames;
  std::vector<int16_t> dirStates, buttonStates;
  std::vector<int32_t> dirRuns, buttonRuns;
};

// The offset of the first byte where two files differ (the shorter one's size when one is a prefix
// of the other; the size when they are equal).
size_t FirstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  return i;
}

std::vector<Frame> Repeat(Frame f, int n) { return std::vector<Frame>(static_cast<size_t>(n), f); }
std::vector<Frame> Join(std::vector<std::vector<Frame>> parts) {
  std::vector<Frame> all;
  for (auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

const RecordCase kRecordCases[] = {
    {"ConstantInputIsOneRunPerChannel", Repeat({2, 1}, 3600), {2}, {1}, {3600}, {3600}},
    {"ChannelsChangeOnDifferentFrames",
     Join({Repeat({0, 0}, 3), Repeat({2, 0}, 2), Repeat({2, 16}, 4), Repeat({6, 16}, 1), Repeat({6, 0}, 1)}),
     {0, 2, 6},
     {0, 16, 0},
     {3, 6, 2},
     {5, 5, 1}},
    {"EveryFrameDiffers", {{1, 1}, {2, 2}, {1, 1}}, {1, 2, 1}, {1, 2, 1}, {1, 1, 1}, {1, 1, 1}},
    {"NegativeWordsKeepTheirBits", Repeat({-32768, -1}, 2), {-32768}, {-1}, {2}, {2}},
};

class InputLogRecordTest : public GameDataTest, public ::testing::WithParamInterface<RecordCase> {};

TEST_P(InputLogRecordTest, RecordsRunsAndPlaysEveryFrameBack) {
  const RecordCase& c = GetParam();
  cInputLog log;
  for (const Frame& f : c.frames) log.RecordInputFrame(f.first, f.second);
  EXPECT_EQ(log.m_anDirStates, c.dirStates);
  EXPECT_EQ(log.m_anButtonStates, c.buttonStates);
  EXPECT_EQ(log.m_anDirRuns, c.dirRuns);
  EXPECT_EQ(log.m_anButtonRuns, c.buttonRuns);
  EXPECT_TRUE(log.IsPlayable());
  EXPECT_EQ(log.RecordedFrames(), static_cast<int64_t>(c.frames.size()));
  for (size_t i = 0; i < c.frames.size(); ++i) {
    int16_t dir = 99, button = 99;
    ASSERT_EQ(log.PlayInputFrame(dir, button), 0) << i;
    EXPECT_EQ(Frame(dir, button), c.frames[i]) << i;
  }
  int16_t dir = 99, button = 99;
  EXPECT_EQ(log.PlayInputFrame(dir, button), 1);
  EXPECT_EQ(Frame(dir, button), Frame(99, 99));  // nothing written once the log has ended
  // played again from the start after a rewind
  log.RewindPlayback();
  ASSERT_EQ(log.PlayInputFrame(dir, button), 0);
  EXPECT_EQ(Frame(dir, button), c.frames[0]);
}

INSTANTIATE_TEST_SUITE_P(Frames, InputLogRecordTest, ::testing::ValuesIn(kRecordCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GameDataTest, PlaybackEndsWhenEitherChannelRunsOut) {
  cInputLog log;
  log.m_anDirStates = {2};
  log.m_anDirRuns = {3};
  log.m_anButtonStates = {1, 0};
  log.m_anButtonRuns = {1, 1};
  int16_t dir = 0, button = 0;
  EXPECT_EQ(log.PlayInputFrame(dir, button), 0);
  EXPECT_EQ(log.PlayInputFrame(dir, button), 0);
  EXPECT_EQ(button, 0);
  EXPECT_EQ(log.PlayInputFrame(dir, button), 1);
  EXPECT_FALSE(log.IsPlayable());  // the channels last 3 and 2 frames
  // a state without a run ends the playback instead of reading past the runs
  cInputLog shortRuns;
  shortRuns.m_anDirStates = {2, 4};
  shortRuns.m_anDirRuns = {1};
  shortRuns.m_anButtonStates = {0, 0};
  shortRuns.m_anButtonRuns = {1, 1};
  EXPECT_EQ(shortRuns.PlayInputFrame(dir, button), 0);
  EXPECT_EQ(shortRuns.PlayInputFrame(dir, button), 1);
}

TEST_F(GameDataTest, AssignCopiesTheLogButNotTheCursorsAndResetEmptiesIt) {
  cInputLog a;
  a.RecordInputFrame(1, 2);
  a.RecordInputValue(4);
  a.m_nSeed = 77;
  a.m_bCleared = 1;
  cInputLog b;
  b.m_nDirIndex = 5;
  b.AssignInputLog(a);
  EXPECT_EQ(b.m_anDirStates, a.m_anDirStates);
  EXPECT_EQ(b.m_anValues, a.m_anValues);
  EXPECT_EQ(b.m_nSeed, 77);
  EXPECT_EQ(b.m_bCleared, 1);
  EXPECT_EQ(b.m_nDirIndex, 5u);
  b.ResetInputLog();
  EXPECT_TRUE(b.m_anDirStates.empty() && b.m_anButtonRuns.empty() && b.m_anValues.empty());
  EXPECT_EQ(b.m_nSeed, 0);
  EXPECT_EQ(b.m_bCleared, 0);
  EXPECT_EQ(b.m_nDirIndex, 0u);
}

// ---- replay files ----

class ReplayFileTest : public GameDataTest {
 protected:
  void SetUp() override { SetProgressProject(); }
  int Load(const std::vector<uint8_t>& bytes, uint32_t* version = nullptr) {
    return LoadReplayBytes(bytes, g_InputLog, g_StageFile, g_StageData, g_SaveData, version);
  }
};

struct GoldenCase {
  const char* name;
  cReplayBytes replay;
};

cReplayBytes Golden(const char* stageName, int32_t seed, int32_t cleared, std::vector<int16_t> dir,
                    std::vector<int32_t> dirRuns, std::vector<int16_t> button, std::vector<int32_t> buttonRuns,
                    std::vector<int32_t> values) {
  cReplayBytes r;
  r.stage = ReplayStage(986, stageName);
  r.seed = seed;
  r.cleared = cleared;
  r.dirStates = std::move(dir);
  r.dirRuns = std::move(dirRuns);
  r.buttonStates = std::move(button);
  r.buttonRuns = std::move(buttonRuns);
  r.values = std::move(values);
  return r;
}

const GoldenCase kGoldenCases[] = {
    {"ClearedConstantPlay", Golden("stage one", 123456, 1, {2}, {600}, {0}, {600}, {})},
    {"ChangesAndChoices", Golden("s", -5, 0, {0, 2, 6}, {10, 5, 1}, {0, 1, 0, 16}, {3, 3, 3, 7}, {1, 0, 2})},
    {"NothingRecorded", Golden("", 0, 0, {}, {}, {}, {}, {})},
};

class ReplayGoldenTest : public ReplayFileTest, public ::testing::WithParamInterface<GoldenCase> {};

TEST_P(ReplayGoldenTest, ReadsTheGoldenFileAndWritesItBackByteForByte) {
  const cReplayBytes& r = GetParam().replay;
  const std::vector<uint8_t> golden = ReplayFile(986, r);
  uint32_t version = 0;
  ASSERT_EQ(Load(golden, &version), 1);
  EXPECT_EQ(version, 986u);
  EXPECT_EQ(g_InputLog.m_nSeed, r.seed);
  EXPECT_EQ(g_InputLog.m_bCleared, r.cleared);
  EXPECT_EQ(g_InputLog.m_anDirStates, r.dirStates);
  EXPECT_EQ(g_InputLog.m_anDirRuns, r.dirRuns);
  EXPECT_EQ(g_InputLog.m_anButtonStates, r.buttonStates);
  EXPECT_EQ(g_InputLog.m_anButtonRuns, r.buttonRuns);
  EXPECT_EQ(g_InputLog.m_anValues, r.values);
  EXPECT_EQ(g_StageFile.m_strName, r.stage.name);
  EXPECT_EQ(g_StageData.m_strName, r.stage.name);  // the settings copy, without types
  EXPECT_TRUE(g_StageData.m_aPalCharas.empty());
  EXPECT_EQ(g_StageFile.m_aPalCharas.size(), 2u);
  EXPECT_EQ(g_SaveData.m_nScore, 116);
  EXPECT_EQ(g_SaveData.m_strStageKey, "c01-1.");
  EXPECT_EQ(g_SaveData.m_anCommonVars, r.progress.commonVars);
  const std::vector<uint8_t> written = ReplayFileBytes(g_InputLog, g_StageFile, g_StageData, g_SaveData);
  EXPECT_EQ(written.size(), golden.size());
  EXPECT_EQ(FirstDifference(written, golden), golden.size());
}

INSTANTIATE_TEST_SUITE_P(Golden, ReplayGoldenTest, ::testing::ValuesIn(kGoldenCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Older replay files: the cleared flag from 931, the choice values from 974, the progress from 173.
struct OldReplayCase {
  uint32_t version;
  int32_t cleared;
  size_t values;
  bool progressRead;
};

class ReplayVersionTest : public ReplayFileTest, public ::testing::WithParamInterface<OldReplayCase> {};

TEST_P(ReplayVersionTest, ReadsWhatTheVersionHolds) {
  const OldReplayCase& c = GetParam();
  cReplayBytes r = Golden("old", 9, 1, {2, 0}, {4, 1}, {8}, {5}, {3, 1});
  r.stage = ReplayStage(c.version, "old");
  g_SaveData.m_nScore = 77;
  ASSERT_EQ(Load(ReplayFile(c.version, r)), 1);
  EXPECT_EQ(g_InputLog.m_nSeed, 9);
  EXPECT_EQ(g_InputLog.m_bCleared, c.cleared);
  EXPECT_EQ(g_InputLog.m_anValues.size(), c.values);
  EXPECT_EQ(g_InputLog.m_anDirRuns, (std::vector<int32_t>{4, 1}));
  EXPECT_EQ(g_InputLog.m_anButtonStates, (std::vector<int16_t>{8}));
  EXPECT_EQ(g_SaveData.m_nScore, c.progressRead ? 116 : 77);
  EXPECT_EQ(g_StageFile.m_strName, "old");
}

INSTANTIATE_TEST_SUITE_P(Versions, ReplayVersionTest,
                         ::testing::Values(OldReplayCase{986, 1, 2, true}, OldReplayCase{974, 1, 2, true},
                                           OldReplayCase{973, 1, 0, true}, OldReplayCase{931, 1, 0, true},
                                           OldReplayCase{930, 0, 0, true}, OldReplayCase{173, 0, 0, true},
                                           OldReplayCase{172, 0, 0, false}),
                         [](const auto& info) { return "V" + std::to_string(info.param.version); });

// Damaged files are refused: the log is left empty and the stage and the progress as they were.
struct DamagedCase {
  const char* name;
  std::vector<uint8_t> (*make)();
};

std::vector<uint8_t> GoodReplay(cReplayBytes& r) {
  r = Golden("damaged", 1, 0, {0, 2}, {2, 3}, {0}, {5}, {});
  return ReplayFile(986, r);
}

const DamagedCase kDamagedCases[] = {
    {"FewerRunsThanStates",
     [] {
       cReplayBytes r;
       GoodReplay(r);
       r.dirRuns = {5};
       return ReplayFile(986, r);
     }},
    {"ARunOfZero",
     [] {
       cReplayBytes r;
       GoodReplay(r);
       r.dirRuns = {0, 5};
       r.buttonRuns = {5};
       return ReplayFile(986, r);
     }},
    {"ANegativeRun",
     [] {
       cReplayBytes r;
       GoodReplay(r);
       r.dirRuns = {-1, 6};
       return ReplayFile(986, r);
     }},
    {"ChannelsOfDifferentLengths",
     [] {
       cReplayBytes r;
       GoodReplay(r);
       r.buttonRuns = {9};
       return ReplayFile(986, r);
     }},
    {"ACountPastTheFile",
     [] {
       cReplayBytes r;
       GoodReplay(r);
       r.dirRunsCount = 100000000;
       return ReplayFile(986, r);
     }},
    {"ACountPastTheFileOfChoices",
     [] {
       cReplayBytes r;
       GoodReplay(r);
       r.valuesCount = 0x7fffffff;
       return ReplayFile(986, r);
     }},
    {"CutShort",
     [] {
       cReplayBytes r;
       std::vector<uint8_t> bytes = GoodReplay(r);
       bytes.resize(bytes.size() - 3);
       return bytes;
     }},
    {"NewerThanThisProgram",
     [] {
       cReplayBytes r;
       std::vector<uint8_t> bytes = GoodReplay(r);
       bytes[0] = 0xDB;  // 987
       return bytes;
     }},
    {"AMapWiderThanPlacementsReach",
     [] {
       cReplayBytes r;
       GoodReplay(r);
       r.stage.header[1] = 0x40000000;
       return ReplayFile(986, r);
     }},
};

class ReplayDamagedTest : public ReplayFileTest, public ::testing::WithParamInterface<DamagedCase> {};

TEST_P(ReplayDamagedTest, IsRefusedAndChangesNothingButTheLog) {
  g_StageFile.m_strName = "before";
  g_StageData.m_strName = "before";
  g_SaveData.m_nScore = 77;
  g_InputLog.RecordInputFrame(4, 4);
  g_InputLog.RecordInputValue(3);
  EXPECT_EQ(Load(GetParam().make()), 0);
  EXPECT_EQ(g_StageFile.m_strName, "before");
  EXPECT_EQ(g_StageData.m_strName, "before");
  EXPECT_EQ(g_SaveData.m_nScore, 77);
  EXPECT_TRUE(g_InputLog.m_anDirStates.empty());
  EXPECT_TRUE(g_InputLog.m_anValues.empty());
}

INSTANTIATE_TEST_SUITE_P(Files, ReplayDamagedTest, ::testing::ValuesIn(kDamagedCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReplayFileTest, ListsOfCountZeroReadIntoAResetLog) {
  cReplayBytes r = Golden("s", 1, 0, {}, {}, {}, {}, {});
  g_InputLog.RecordInputFrame(4, 4);  // the previous play's input must not survive the read
  ASSERT_EQ(Load(ReplayFile(986, r)), 1);
  EXPECT_TRUE(g_InputLog.m_anDirStates.empty());
  EXPECT_TRUE(g_InputLog.m_anDirRuns.empty());
}

// ---- saving and naming on disk ----

class ReplayDiskTest : public ReplayFileTest {
 protected:
  void SetUp() override {
    ReplayFileTest::SetUp();
    m_OldFolder = std::filesystem::current_path();
    std::filesystem::current_path(m_Folder.Path());
    std::filesystem::create_directories(m_Folder.Path() / "user_data" / "rpl4");
  }
  void TearDown() override { std::filesystem::current_path(m_OldFolder); }
  cTempFolder m_Folder;
  std::filesystem::path m_OldFolder;
};

TEST_F(ReplayDiskTest, ASavedReplayIsReadOnlyNeverReplacedAndReadsBack) {
  g_StageFile.m_strName = "saved";
  g_StageFile.m_aPalCharas.resize(2);
  g_StageFile.m_nHitCheckLevel = 3;
  g_StageFile.NormaliseStage();  // as loading leaves it, before the settings copy is taken
  CopyStageSettings(g_StageData, g_StageFile);
  g_InputLog.m_nSeed = 42;
  for (int i = 0; i < 30; ++i) g_InputLog.RecordInputFrame(static_cast<int16_t>(i / 10), 0);
  g_PlayStartSave.m_nScore = 5;
  const char* path = "user_data\\rpl4\\a.rpl4_986";
  ASSERT_EQ(SaveReplayFile(path, g_InputLog, g_StageFile, g_StageData, g_PlayStartSave), 1);
  struct stat st {};
  ASSERT_EQ(stat("user_data/rpl4/a.rpl4_986", &st), 0);
  EXPECT_EQ(st.st_mode & 0222, 0u);
  EXPECT_EQ(SaveReplayFile(path, g_InputLog, g_StageFile, g_StageData, g_PlayStartSave), 0);

  const std::vector<uint8_t> written = ReplayFileBytes(g_InputLog, g_StageFile, g_StageData, g_PlayStartSave);
  g_InputLog.ResetInputLog();
  g_SaveData.m_nScore = 0;
  ASSERT_EQ(LoadReplayFile(path, g_InputLog, g_StageFile, g_StageData, g_SaveData), 1);
  EXPECT_EQ(g_InputLog.m_nSeed, 42);
  EXPECT_EQ(g_InputLog.m_anDirRuns, (std::vector<int32_t>{10, 10, 10}));
  EXPECT_EQ(g_SaveData.m_nScore, 5);
  const std::vector<uint8_t> reread = ReplayFileBytes(g_InputLog, g_StageFile, g_StageData, g_SaveData);
  EXPECT_EQ(reread.size(), written.size());
  EXPECT_EQ(FirstDifference(reread, written), written.size());
  EXPECT_EQ(LoadReplayFile("user_data\\rpl4\\none.rpl4_986", g_InputLog, g_StageFile, g_StageData, g_SaveData), 0);
}

TEST_F(ReplayDiskTest, NamesTellTimeStageAndClearAndNeverRepeat) {
  const cReplayTime t{2009, 3, 7, 14, 5, 9};
  const std::string first = ReplayFileName("data\\stg4\\c01-1.stg4_000", 1, t);
  EXPECT_EQ(first, "user_data\\rpl4\\2009_0307_140509_c01-1_CLEAR_.rpl4_986");
  EXPECT_EQ(ReplayFileName("data\\stg4\\c01-1.stg4_000", 0, t), "user_data\\rpl4\\2009_0307_140509_c01-1.rpl4_986");
  m_Folder.Write("user_data/rpl4/2009_0307_140509_c01-1_CLEAR_.rpl4_986", {1});
  EXPECT_EQ(ReplayFileName("data\\stg4\\c01-1.stg4_000", 1, t),
            "user_data\\rpl4\\2009_0307_140509_c01-1_CLEAR_ (2).rpl4_986");
  m_Folder.Write("user_data/rpl4/2009_0307_140509_c01-1_CLEAR_ (2).rpl4_986", {1});
  EXPECT_EQ(ReplayFileName("data\\stg4\\c01-1.stg4_000", 1, t),
            "user_data\\rpl4\\2009_0307_140509_c01-1_CLEAR_ (3).rpl4_986");

  g_SystemData.m_nReplayNameBy = 1;
  g_StageFile.m_strName = "Boss";
  g_SaveData.m_bCondOn = 1;
  g_SaveData.m_nCondVar = 5;
  g_SaveData.m_nCondValue = 3;
  EXPECT_EQ(ReplayFileName("data\\stg4\\c01-1.stg4_000", 0, t),
            "user_data\\rpl4\\2009_0307_140509_Boss_c005_3.rpl4_986");
  EXPECT_EQ(ReplayFileName("", 1, t), "");

  std::string full;
  EXPECT_EQ(MakeReplayFileName(full, "data\\stg4\\c02-1.stg4_000", 0), 1);
  EXPECT_EQ(full.front(), '\\');  // made absolute
  EXPECT_NE(full.find("_Boss_c005_3.rpl4_986"), std::string::npos);
}

TEST(ReplayNamePartTest, StageNamesBecomeOneFileNameOfTheReplayFolder) {
  const struct {
    const char* what;
    std::string in, out;
  } cases[] = {
      {"a plain name stays", "Stage 1 (hard)", "Stage 1 (hard)"},
      {"separators", "..\\..\\Windows/evil", "____Windows_evil"},
      {"a run of dots is one mark; a single dot stays", "a...b.c", "a_b.c"},
      {"reserved characters", "a:b*c?d\"e<f>g|h", "a_b_c_d_e_f_g_h"},
      {"control bytes", "a\tb\177c\rd", "a_b_c_d"},
      // "ソ" and "ポ" end in the bytes of "\" and "|": they are characters, not separators
      {"double-byte characters stay whole", "A\x83\x5c\x83\x7c", "A\x83\x5c\x83\x7c"},
      {"half-width katakana stay", "\xb1\xb2", "\xb1\xb2"},
      {"a lone first byte at the end is dropped", "ab\x83", "ab"},
      {"a first byte before a byte that cannot follow it is dropped", "a\x83\nb", "a_b"},
  };
  for (const auto& c : cases) {
    std::string part = c.in;
    SanitiseReplayNamePart(part);
    EXPECT_EQ(part, c.out) << c.what;
  }

  // Cut to the longest part, never inside a double-byte character.
  std::string longName(kMaxReplayNamePartBytes - 1, 'x');
  longName += "\x83\x5c\x83\x5c";
  SanitiseReplayNamePart(longName);
  EXPECT_EQ(longName, std::string(kMaxReplayNamePartBytes - 1, 'x'));
  std::string wide;
  for (int i = 0; i < 80; ++i) wide += "\x83\x41";
  SanitiseReplayNamePart(wide);
  EXPECT_EQ(wide.size(), kMaxReplayNamePartBytes);
  EXPECT_EQ(wide.substr(wide.size() - 2), "\x83\x41");
}

TEST_F(ReplayDiskTest, AStageNamedLikeAPathNamesAReplayInTheReplayFolder) {
  const cReplayTime t{2009, 3, 7, 14, 5, 9};
  g_SystemData.m_nReplayNameBy = 1;
  g_StageFile.m_strName = "..\\..\\data\\System";
  EXPECT_EQ(ReplayFileName("data\\stg4\\c01-1.stg4_000", 0, t),
            "user_data\\rpl4\\2009_0307_140509_____data_System.rpl4_986");
  g_StageFile.m_strName = std::string(300, 'n');
  const std::string name = ReplayFileName("data\\stg4\\c01-1.stg4_000", 1, t);
  EXPECT_EQ(name,
            "user_data\\rpl4\\2009_0307_140509_" + std::string(kMaxReplayNamePartBytes, 'n') + "_CLEAR_.rpl4_986");
  // the name by file name is made fit the same way
  g_SystemData.m_nReplayNameBy = 0;
  EXPECT_EQ(ReplayFileName("data\\stg4\\a:b?.stg4_000", 0, t), "user_data\\rpl4\\2009_0307_140509_a_b_.rpl4_986");
}

TEST_F(ReplayDiskTest, WhenEveryNumberIsTakenNoNameIsGivenAndTheLogSaysSo) {
  ASSERT_TRUE(ReportLogInit((m_Folder.Path() / "Report_Game.txt").c_str()));
  const cReplayTime t{2009, 3, 7, 14, 5, 9};
  const std::string base = "user_data/rpl4/2009_0307_140509_c01-1";
  m_Folder.Write(base + ".rpl4_986", {1});
  for (int n = 2; n <= 998; ++n) m_Folder.Write(base + " (" + std::to_string(n) + ").rpl4_986", {1});
  EXPECT_EQ(ReplayFileName("data\\stg4\\c01-1.stg4_000", 0, t),
            "user_data\\rpl4\\2009_0307_140509_c01-1 (999).rpl4_986");
  m_Folder.Write(base + " (999).rpl4_986", {1});
  EXPECT_EQ(ReplayFileName("data\\stg4\\c01-1.stg4_000", 0, t), "");
  EXPECT_EQ(FreeReplayFileName("user_data\\rpl4\\2009_0307_140509_c01-1.rpl4_986"), "");
  std::ifstream log(m_Folder.Path() / "Report_Game.txt", std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(log)), {});
  EXPECT_NE(text.find("2009_0307_140509_c01-1.rpl4_986"), std::string::npos) << text;
  // the cleared name is another name, still free
  EXPECT_EQ(ReplayFileName("data\\stg4\\c01-1.stg4_000", 1, t),
            "user_data\\rpl4\\2009_0307_140509_c01-1_CLEAR_.rpl4_986");
}

TEST_F(ReplayDiskTest, AnExistingFileIsNeverReplacedEvenWhenWritable) {
  g_InputLog.RecordInputFrame(1, 0);
  m_Folder.Write("user_data/rpl4/mine.rpl4_986", {1, 2, 3});
  EXPECT_EQ(SaveReplayFile("user_data\\rpl4\\mine.rpl4_986", g_InputLog, g_StageFile, g_StageData, g_PlayStartSave), 0);
  std::ifstream kept(m_Folder.Path() / "user_data/rpl4/mine.rpl4_986", std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(kept)), {}), std::string("\x01\x02\x03", 3));
}

}  // namespace
