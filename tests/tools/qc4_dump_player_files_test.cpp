// Runs qc4-dump on the player's files of a game folder: the settings records, the key table, the
// story slots and the challenge file, a ranking file and a replay; whole, damaged and cut short.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/log.h"
#include "data/byte_builder.h"
#include "data/input_log.h"
#include "data/option_data.h"
#include "data/ranking.h"
#include "data/replay_file.h"
#include "data/save_data.h"
#include "data/stage_data.h"
#include "data/temp_folder.h"
#include "platform/encoding.h"
#include "shell/boot_data.h"
#include "shell/list_positions.h"
#include "shell/window_data.h"

namespace {

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

const std::string kDump = std::string(QC4_BINARY_DIR) + "/tools/qc4-dump";

struct cDumpRun {
  int status = -1;  // exit status, or -1 when the program did not exit normally
  std::string out;
  std::string err;
};

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The key table: twelve entries {device, code, reserved}, then entry count, players, enabled.
std::vector<uint8_t> KeyConfigBytes(int32_t enabled, int32_t count, int32_t players, int32_t device0) {
  cByteBuilder b;
  const int16_t codes[12] = {'J', 'L', 'I', 'K', 'Q', 'W', 'E', 'R', 'T', 'Y', 'U', 'O'};
  for (int i = 0; i < 12; ++i) b.I32(i == 0 ? device0 : 8).I16(codes[i]).I16(0);
  return b.I32s({count, players, enabled}).Get();
}

// A game folder whose player files were written by the game's own writers.
class DumpPlayerFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kDump)) GTEST_SKIP() << "qc4-dump is not built";
    g_bQuit = 0;
    const std::string user = m_folder.Prefix() + "user_data/";
    for (const char* sub : {"story", "challenge", "free", "rpl4"}) std::filesystem::create_directories(user + sub);

    cOptionData options;
    options.m_nSeVolume = 9;
    options.m_strRankingName = "あいう";
    ASSERT_EQ(options.SaveFile(user + "Option.dat"), 1);
    cFreeData free;
    free.m_nCursor = 24;
    free.m_strFileName = "c01-1.stg4_000";
    ASSERT_EQ(free.SaveFile(user + "Free.dat"), 1);
    cReplayData replayList;
    replayList.m_nSortOrder = 2;
    replayList.m_strFileName = "a.rpl4_986";
    ASSERT_EQ(replayList.SaveFile(user + "Replay.dat"), 1);
    cBootData boot;
    boot.m_nDrawMode = 0;
    boot.m_bNoAsk = 1;
    ASSERT_EQ(boot.SaveFile(user + "Boot.dat"), 1);
    cWindowData window;
    window.m_nWidth = 1280;
    window.m_nHeight = 960;
    ASSERT_EQ(window.SaveFile(user + "Window.dat"), 1);
    m_folder.Write("user_data/KeyConfig.dat", KeyConfigBytes(1, 12, 1, 8));

    cSaveData save;
    save.m_nScore = 1234;
    save.m_nStorySlot = 0;
    save.m_strRankingName = "abc";
    ASSERT_EQ(save.SaveFile(user + "story/Story01.dat"), 1);
    save.m_nStorySlot = -1;
    ASSERT_EQ(save.SaveFile(user + "challenge/Challenge.dat"), 1);

    cRanking ranking;
    InsertRank(ranking.m_aTables[0], "xyz", 500);
    ASSERT_EQ(ranking.SaveFile(user + "free/c01.rkg"), 1);

    cStageData stage, settings;
    stage.m_strName = "saved";
    stage.NormaliseStage();
    CopyStageSettings(settings, stage);
    cInputLog log;
    log.m_nSeed = 4242;
    for (int16_t dir : {0, 6, 6, 0}) log.RecordInputFrame(dir, 0);
    cSaveData start;
    start.m_nLives = 7;
    m_folder.Write("user_data/rpl4/2009_0307_140509_c01-1.rpl4_986", ReplayFileBytes(log, stage, settings, start));
  }

  cDumpRun Dump(const std::string& relative, const std::string& options = "") {
    const std::string errPath = m_folder.Prefix() + "stderr.txt";
    cDumpRun run;
    FILE* pipe = popen(
        ("'" + kDump + "' " + options + " '" + m_folder.Prefix() + relative + "' 2>'" + errPath + "'").c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream err(errPath, std::ios::binary);
    run.err.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
    return run;
  }

  cTempFolder m_folder;
};

struct FileCase {
  const char* file;  // under the game folder
  const char* kind;
  std::vector<std::string> shows;  // parts of the JSON
};

std::vector<FileCase> PlayerFiles() {
  return {
      {"user_data/Option.dat",
       "Option.dat",
       {"\"cOptionData\": {", "\"m_nSeVolume\": 9", "\"m_nMessageAutoSeconds\": 21",
        U8(u8"\"m_strRankingName\": \"あいう\"")}},
      {"user_data/Free.dat", "Free.dat", {"\"m_nCursor\": 24", "\"m_strFileName\": \"c01-1.stg4_000\""}},
      {"user_data/Replay.dat", "Replay.dat", {"\"m_nSortOrder\": 2", "\"m_strFileName\": \"a.rpl4_986\""}},
      {"user_data/Boot.dat", "Boot.dat", {"\"m_nDrawMode\": 0", "\"m_bNoAsk\": 1"}},
      {"user_data/Window.dat", "Window.dat", {"\"m_nWidth\": 1280", "\"m_nHeight\": 960"}},
      {"user_data/KeyConfig.dat", "KeyConfig.dat", {"\"version\": null", "\"nCode\": 74", "\"bEnabled\": 1"}},
      {"user_data/story/Story01.dat",
       "StoryNN.dat",
       {"\"m_nScore\": 1234", "\"m_nStorySlot\": 0", "\"m_SaveTime\": {", "\"m_anCommonVars\": ["}},
      {"user_data/challenge/Challenge.dat", "Challenge.dat", {"\"m_nStorySlot\": -1", "\"m_aChallenge\": ["}},
      {"user_data/free/c01.rkg", "Ranking", {"\"m_aTables\": [", "\"m_strName\": \"xyz\"", "\"m_nValue\": 500"}},
      {"user_data/rpl4/2009_0307_140509_c01-1.rpl4_986",
       "Replay",
       {"\"m_strName\": \"saved\"", "\"m_nSeed\": 4242", "\"m_anDirRuns\": [", "\"frames\": 4", "\"m_nLives\": 7"}},
  };
}

TEST_F(DumpPlayerFilesTest, EveryPlayerFileIsPrintedByItsKind) {
  for (const FileCase& c : PlayerFiles()) {
    SCOPED_TRACE(c.file);
    const cDumpRun run = Dump(c.file);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(IsValidUtf8(run.out));
    EXPECT_TRUE(Has(run.out, std::string("\"kind\": \"") + c.kind + "\"")) << run.out;
    EXPECT_TRUE(Has(run.out, "\"loaded\": true")) << run.out;
    for (const std::string& part : c.shows) EXPECT_TRUE(Has(run.out, part)) << part << "\n" << run.out;
  }
  // the kind can be named for a file of another name
  std::filesystem::copy_file(m_folder.Path() / "user_data/Option.dat", m_folder.Path() / "options.bin");
  const cDumpRun named = Dump("options.bin", "--kind option.dat");
  EXPECT_EQ(named.status, 0) << named.err;
  EXPECT_TRUE(Has(named.out, "\"m_nSeVolume\": 9"));
}

TEST_F(DumpPlayerFilesTest, AnOptionFileShowsTheValuesTheGameUses) {
  // version 985: the sound step 4 of older files is 5, the music on is the top step; a colour
  // beyond the palettes is the last palette
  m_folder.Write("old/Option.dat", cByteBuilder().U32(985).I32s({8, 1, 99, 3, 4, 0, 0, 0, 21, 1}).Str("aaa").Get());
  const cDumpRun run = Dump("old/Option.dat");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Has(run.out, "\"version\": 985"));
  EXPECT_TRUE(Has(run.out, "\"m_nSeVolume\": 5")) << run.out;
  EXPECT_TRUE(Has(run.out, "\"m_nBgmVolume\": 7")) << run.out;
  EXPECT_TRUE(Has(run.out, "\"m_nColour\": 23")) << run.out;
}

TEST_F(DumpPlayerFilesTest, RefusedPlayerFilesSayWhy) {
  auto patched = [this](const char* file, size_t offset, int32_t value) {
    std::vector<uint8_t> bytes = ReadBytes(m_folder.Path() / file);
    std::memcpy(bytes.data() + offset, &value, 4);
    return bytes;
  };
  std::vector<uint8_t> cutReplay = ReadBytes(m_folder.Path() / "user_data/rpl4/2009_0307_140509_c01-1.rpl4_986");
  cutReplay.resize(cutReplay.size() / 2);
  cRanking fewTables;
  fewTables.m_aTables.resize(4);
  struct Case {
    const char* file;
    std::vector<uint8_t> bytes;  // empty: no file
    std::string why;             // in the second line
  };
  const Case cases[] = {
      {"bad/Option.dat", patched("user_data/Option.dat", 4, 100), "qc4-dump: a value the format does not allow: 100"},
      {"bad/Free.dat", patched("user_data/Free.dat", 20, 1000), "qc4-dump: a length past the file"},
      {"bad/Replay.dat", patched("user_data/Replay.dat", 0, 987), "qc4-dump: too new: version 987"},
      {"bad/Boot.dat", {0xDA, 0x03, 0, 0, 2, 0}, "qc4-dump: cut short"},
      {"bad/Window.dat", {}, "qc4-dump: missing"},
      {"bad/KeyConfig.dat", KeyConfigBytes(1, 12, 1, 3), "qc4-dump: entry 0 reads input record 3, there is 1"},
      {"bad2/KeyConfig.dat", KeyConfigBytes(1, 40, 1, 8), "qc4-dump: 40 entries, the table has 12"},
      {"bad3/KeyConfig.dat", {}, "qc4-dump: missing"},
      {"bad/Story01.dat", patched("user_data/story/Story01.dat", 0, 987), "qc4-dump: too new"},
      {"bad/c01.rkg", fewTables.SaveToBytes(), "qc4-dump: a value the format does not allow"},
      {"bad/2009_0307_140509_c01-1.rpl4_986", cutReplay, "qc4-dump: "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    if (!c.bytes.empty()) m_folder.Write(c.file, c.bytes);
    const cDumpRun run = Dump(c.file);
    EXPECT_EQ(run.status, 1) << run.out;
    EXPECT_TRUE(Has(run.out, "\"loaded\": false")) << run.out;
    EXPECT_TRUE(Has(run.err, "\n" + c.why)) << run.err;
  }
  // a key table switched on but unusable gives the game's own report line
  const cDumpRun keys = Dump("bad/KeyConfig.dat");
  EXPECT_TRUE(Has(keys.err, U8(u8"キー設定が不正なため、標準のキー設定を使います。"))) << keys.err;
  // a progress that reads but holds a story slot beyond the slots
  cSaveData wrongSlot;
  wrongSlot.m_nStorySlot = 200;
  ASSERT_EQ(wrongSlot.SaveFile(m_folder.Prefix() + "bad/Story02.dat"), 1);
  const cDumpRun slot = Dump("bad/Story02.dat");
  EXPECT_EQ(slot.status, 1);
  EXPECT_TRUE(Has(slot.err, "qc4-dump: a story slot outside -1 to 98")) << slot.err;
}

TEST_F(DumpPlayerFilesTest, CutFilesOfEveryPlayerKindAreRefusedWithoutACrash) {
  for (const FileCase& c : PlayerFiles()) {
    const std::vector<uint8_t> bytes = ReadBytes(m_folder.Path() / c.file);
    const std::string name = std::filesystem::path(c.file).filename().string();
    for (size_t cut : {size_t{0}, size_t{3}, size_t{6}, bytes.size() / 3, bytes.size() - 1}) {
      m_folder.Write("cut/" + name,
                     std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut)));
      const cDumpRun run = Dump("cut/" + name);
      // the key table has no header: a short one is read as far as it goes, as the game reads it
      if (std::string(c.kind) == "KeyConfig.dat") {
        EXPECT_EQ(run.status, 0) << cut << run.err;
        continue;
      }
      EXPECT_EQ(run.status, 1) << name << " cut at " << cut;
      EXPECT_TRUE(Has(run.err, U8(u8"の読み込みに失敗しました！"))) << name << " cut at " << cut;
      EXPECT_TRUE(Has(run.err, "\nqc4-dump: ")) << name << " cut at " << cut << ": no cause\n" << run.err;
    }
  }
}

}  // namespace
