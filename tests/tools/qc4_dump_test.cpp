// Runs the qc4-dump program on files of every kind it knows, whole and cut short.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/log.h"
#include "data/byte_builder.h"
#include "data/database.h"
#include "data/system_data.h"
#include "data/system_data_bytes.h"
#include "data/temp_folder.h"
#include "platform/encoding.h"

namespace {

// The program prints UTF-8, while narrow literals here are CP932.
std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

struct cRun {
  int status = -1;  // exit status, or -1 when the program did not exit normally
  std::string out;
  std::string err;
};

const std::string kDumpProgram = std::string(QC4_BINARY_DIR) + "/tools/qc4-dump";

cRun RunDump(const std::string& args, const cTempFolder& folder) {
  const std::string errPath = folder.Prefix() + "stderr.txt";
  const std::string command = "'" + kDumpProgram + "' " + args + " 2>'" + errPath + "'";
  cRun run;
  FILE* pipe = popen(command.c_str(), "r");
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

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The output is one JSON object whose brackets balance outside strings.
bool LooksLikeOneJsonObject(const std::string& text) {
  int depth = 0;
  bool inString = false, escaped = false, closed = false;
  for (char c : text) {
    if (inString) {
      if (escaped)
        escaped = false;
      else if (c == '\\')
        escaped = true;
      else if (c == '"')
        inString = false;
      continue;
    }
    if (c == '"')
      inString = true;
    else if (c == '{' || c == '[') {
      if (closed) return false;
      ++depth;
    } else if (c == '}' || c == ']') {
      if (--depth < 0) return false;
      if (depth == 0) closed = true;
    }
  }
  return closed && depth == 0 && !inString && IsValidUtf8(text);
}

class DumpToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kDumpProgram)) GTEST_SKIP() << "qc4-dump is not built";
    g_bQuit = 0;
    // Every kind, written by the game's own writers.
    cSystemData settings;
    settings.m_strTitle = "テスト";
    ASSERT_EQ(settings.SaveFile(m_folder.Prefix() + "System.dat"), 1);
    cDatabase db;
    for (int i = 0; i < kDatabaseFileCount; ++i) {
      const auto which = static_cast<eDatabaseFile>(i);
      ASSERT_TRUE(db.SaveDatabaseFile(which, m_folder.Prefix() + DatabaseFileName(which)));
    }
  }

  cTempFolder m_folder;
};

TEST_F(DumpToolTest, PrintsEveryKindItKnows) {
  std::vector<std::string> files = {"System.dat"};
  for (int i = 0; i < kDatabaseFileCount; ++i) files.push_back(DatabaseFileName(static_cast<eDatabaseFile>(i)));
  for (const std::string& name : files) {
    const cRun run = RunDump("'" + m_folder.Prefix() + name + "'", m_folder);
    EXPECT_EQ(run.status, 0) << name << run.err;
    EXPECT_TRUE(LooksLikeOneJsonObject(run.out)) << name << run.out;
    EXPECT_NE(run.out.find("\"kind\": \"" + name + "\""), std::string::npos) << name;
    EXPECT_NE(run.out.find("\"version\": 986"), std::string::npos) << name;
    EXPECT_NE(run.out.find("\"loaded\": true"), std::string::npos) << name;
  }
}

TEST_F(DumpToolTest, ShowsFieldsUnderTheirNamesWithNestedLists) {
  const cRun system = RunDump("'" + m_folder.Prefix() + "System.dat'", m_folder);
  ASSERT_EQ(system.status, 0);
  EXPECT_NE(system.out.find(U8(u8"\"m_strTitle\": \"テスト\"")), std::string::npos);
  EXPECT_NE(system.out.find("\"m_byColour187G\": 0"), std::string::npos);
  EXPECT_NE(system.out.find("\"m_abKinds\": ["), std::string::npos);
  EXPECT_NE(system.out.find(U8(u8"\"ファイル名順↑\"")), std::string::npos);
  EXPECT_LT(system.out.find("\"m_bScoreExtend\""), system.out.find("\"m_nExtendScore\""));
  EXPECT_LT(system.out.find("\"m_nDisplayOpt880\""), system.out.find("\"m_strTitle\""));

  const cRun animeSet = RunDump("'" + m_folder.Prefix() + "AnimeSet.dat'", m_folder);
  ASSERT_EQ(animeSet.status, 0);
  EXPECT_NE(animeSet.out.find("\"m_aAnimes\": ["), std::string::npos);
  EXPECT_NE(animeSet.out.find("\"m_aFrames\": ["), std::string::npos);
  EXPECT_NE(animeSet.out.find(U8(u8"\"飛行移動\"")), std::string::npos);
  const cRun effects = RunDump("'" + m_folder.Prefix() + "CharaEffect.dat'", m_folder);
  EXPECT_NE(effects.out.find("\"m_anParams\": ["), std::string::npos);
}

TEST_F(DumpToolTest, OldFilesShowTheirVersionAndTheUpgradedRecord) {
  m_folder.Write("old/System.dat", SystemDatBytes(168, {}));
  const cRun run = RunDump("'" + m_folder.Prefix() + "old/System.dat'", m_folder);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("\"version\": 168"), std::string::npos);
  EXPECT_NE(run.out.find("\"m_bLegacy986\": 1"), std::string::npos);
  EXPECT_NE(run.out.find(U8(u8"\"オートセーブ\"")), std::string::npos);
}

TEST_F(DumpToolTest, KindFromTheCommandLine) {
  std::filesystem::copy_file(m_folder.Path() / "Sound.dat", m_folder.Path() / "sounds.bin");
  const cRun unknown = RunDump("'" + m_folder.Prefix() + "sounds.bin'", m_folder);
  EXPECT_EQ(unknown.status, 2);
  const cRun named = RunDump("--kind sound.dat '" + m_folder.Prefix() + "sounds.bin'", m_folder);
  EXPECT_EQ(named.status, 0) << named.err;
  EXPECT_NE(named.out.find("\"kind\": \"Sound.dat\""), std::string::npos);
  const cRun list = RunDump("--list-kinds", m_folder);
  EXPECT_EQ(list.status, 0);
  EXPECT_NE(list.out.find("SwordType.dat\n"), std::string::npos);
}

TEST_F(DumpToolTest, RefusedFilesExitWithTheGamesMessage) {
  auto bytes = ReadBytes(m_folder.Path() / "Picture.dat");
  bytes[0] = 0xDB;  // version 987
  bytes[1] = 0x03;
  m_folder.Write("new/Picture.dat", bytes);
  const cRun tooNew = RunDump("'" + m_folder.Prefix() + "new/Picture.dat'", m_folder);
  EXPECT_EQ(tooNew.status, 1);
  EXPECT_NE(tooNew.err.find(
                U8(u8"の読み込みに失敗しました！\n実行ファイル(.exe)より上位のバージョンのファイルは使用できません。")),
            std::string::npos)
      << tooNew.err;
  EXPECT_NE(tooNew.out.find("\"loaded\": false"), std::string::npos);

  const cRun missing = RunDump("'" + m_folder.Prefix() + "missing/Bgm.dat'", m_folder);
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find("\"version\": null"), std::string::npos);
}

// Beside the game's message, one line says why the file was refused, naming the path no second time.
TEST_F(DumpToolTest, RefusedFilesSayWhy) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;  // empty: nothing is written (the file is missing)
    const char* why;
  };
  const Case cases[] = {
      {"missing", {}, "qc4-dump: missing (No such file or directory)\n"},
      {"header", {0xDA, 0x03}, "qc4-dump: cut short: 2 bytes, too few for the 4-byte version header\n"},
      {"new", cByteBuilder().U32(987).I32(0).Get(),
       "qc4-dump: too new: version 987, this program reads versions up to 986\n"},
      // The sound list: count 1, then a record of one int32 field and its string count cut off.
      {"cut", cByteBuilder().U32(986).I32s({1, 1, 7}).U8(1).Get(),
       "qc4-dump: cut short: 4 bytes needed at byte 16 of 17, 1 left\n"},
      {"count", cByteBuilder().U32(986).I32(1000).Get(),
       "qc4-dump: a count past the file: 1000 elements at byte 4 of 8, only 0 bytes left\n"},
      {"length", cByteBuilder().U32(986).I32s({1, 0, 1, 1000}).Get(),
       "qc4-dump: a length past the file: a text of 1000 bytes at byte 16 of 20, only 0 bytes left\n"},
      {"fields", cByteBuilder().U32(986).I32s({1, 5000, 0}).Get(),
       "qc4-dump: a value the format does not allow: 5000 at byte 8 of 16\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string relative = std::string("why/") + c.name + ".dat";
    if (!c.bytes.empty()) m_folder.Write(relative, c.bytes);
    const std::string path = m_folder.Prefix() + relative;
    const cRun run = RunDump("--kind Sound.dat '" + path + "'", m_folder);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind(path + U8(u8" の読み込みに失敗しました！")), 0u) << run.err;
    ASSERT_GE(run.err.size(), std::strlen(c.why));
    EXPECT_EQ(run.err.substr(run.err.size() - std::strlen(c.why)), c.why) << run.err;
    EXPECT_EQ(run.err.find(path), run.err.rfind(path)) << run.err;
  }
  // A folder in place of the file: the system's reason.
  std::filesystem::create_directories(m_folder.Path() / "folder.dat");
  const cRun folder = RunDump("--kind Sound.dat '" + m_folder.Prefix() + "folder.dat'", m_folder);
  EXPECT_EQ(folder.status, 1);
  EXPECT_NE(folder.err.find("qc4-dump: not readable (Is a directory)\n"), std::string::npos) << folder.err;
}

// A path on the command line is this system's UTF-8: the JSON and the messages give it back as it
// was typed, also with characters Shift-JIS lacks, while the game's texts are still converted.
TEST_F(DumpToolTest, HostPathsAreEchoedAsTyped) {
  for (const std::string& folder : {U8(u8"café ü"), U8(u8"ゲーム"), U8(u8"ゲーム é/Ωmega")}) {
    SCOPED_TRACE(folder);
    std::filesystem::create_directories(m_folder.Path() / folder);
    std::filesystem::copy_file(m_folder.Path() / "System.dat", m_folder.Path() / folder / "System.dat");
    const std::string path = m_folder.Prefix() + folder + "/System.dat";
    const cRun run = RunDump("'" + path + "'", m_folder);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(LooksLikeOneJsonObject(run.out)) << run.out;
    EXPECT_NE(run.out.find("\"file\": \"" + path + "\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(U8(u8"\"m_strTitle\": \"テスト\"")), std::string::npos) << run.out;

    const std::string missing = m_folder.Prefix() + folder + "/Bgm.dat";
    const cRun refused = RunDump("'" + missing + "'", m_folder);
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.out.find("\"file\": \"" + missing + "\""), std::string::npos) << refused.out;
    EXPECT_EQ(refused.err.rfind(missing + U8(u8" の読み込みに失敗しました！\n")), 0u) << refused.err;
  }
}

TEST_F(DumpToolTest, AnUnknownKindListsTheKinds) {
  const cRun run = RunDump("--kind Nonsense.dat '" + m_folder.Prefix() + "System.dat'", m_folder);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err.rfind("qc4-dump: unknown kind \"Nonsense.dat\"\n", 0), 0u) << run.err;
  EXPECT_NE(run.err.find("kinds: Anime.dat AnimeSet.dat"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(" Stage "), std::string::npos) << run.err;
  EXPECT_TRUE(run.out.empty());
}

TEST_F(DumpToolTest, ARefusedMusicListBesideTheSettingsDoesNotChangeTheirMessage) {
  // The settings' scene music is checked against "database\Bgm.dat" beside them; that file being
  // too new must not make a missing settings file read as too new.
  auto bgm = ReadBytes(m_folder.Path() / "Bgm.dat");
  bgm[0] = 0xDB;  // version 987
  bgm[1] = 0x03;
  m_folder.Write("game/database/Bgm.dat", bgm);
  const cRun run = RunDump("'" + m_folder.Prefix() + "game/System.dat'", m_folder);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(U8(u8"System.dat の読み込みに失敗しました！")), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find(U8(u8"上位のバージョン")), std::string::npos) << run.err;
}

TEST_F(DumpToolTest, TruncatedFilesOfEveryKindAreRefusedWithoutACrash) {
  std::vector<std::string> files = {"System.dat"};
  for (int i = 0; i < kDatabaseFileCount; ++i) files.push_back(DatabaseFileName(static_cast<eDatabaseFile>(i)));
  for (const std::string& name : files) {
    const auto bytes = ReadBytes(m_folder.Path() / name);
    for (size_t cut : {size_t{0}, size_t{3}, size_t{6}, bytes.size() / 3, bytes.size() - 1}) {
      m_folder.Write("cut/" + name,
                     std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut)));
      const cRun run = RunDump("'" + m_folder.Prefix() + "cut/" + name + "'", m_folder);
      EXPECT_EQ(run.status, 1) << name << " cut at " << cut;
      EXPECT_TRUE(LooksLikeOneJsonObject(run.out)) << name << " cut at " << cut;
      EXPECT_NE(run.err.find(U8(u8"の読み込みに失敗しました！")), std::string::npos) << name;
      EXPECT_NE(run.err.find("\nqc4-dump: "), std::string::npos) << name << " cut at " << cut << ": no cause";
    }
  }
}

}  // namespace
