// Path and file helpers over the file layer.
#include "core/file_helpers.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/files.h"

namespace {

TEST(PathNames, FileNameAndFolderRespectDoubleByteCharacters) {
  struct Case {
    const char* path;
    const char* fileName;
    const char* folder;
  } cases[] = {
      {"data\\stg4\\c01-1.stg4", "c01-1.stg4", "data\\stg4\\"},
      {"data\\表", "表", "data\\"},  // 表 is 95 5C: its trail byte is no separator
      {"表\\a.bmp", "a.bmp", "表\\"},
      {"ソ表", "ソ表", ""},
      {"a\\b\\", "b\\", "a\\b\\"},  // the last byte is never the separator PathToFileName cuts at
      {"plain.txt", "plain.txt", ""},
      {"", "", ""},
      {"a/b.txt", "b.txt", "a/"},
  };
  for (const auto& c : cases) {
    char buffer[kPathBufferSize];
    std::strcpy(buffer, c.path);
    PathToFileName(buffer);
    EXPECT_STREQ(buffer, c.fileName) << c.path;
    std::string s = c.path;
    PathToFileNameStr(s);
    EXPECT_EQ(s, c.fileName);
    std::strcpy(buffer, c.path);
    PathToFolder(buffer);
    EXPECT_STREQ(buffer, c.folder) << c.path;
  }
}

TEST(PathNames, ExtensionsAreFoundInTheLastComponentOnly) {
  char out[kPathBufferSize];
  EXPECT_TRUE(ChangeExtension(out, "data\\stg4\\a.stg4_001", "stg4"));
  EXPECT_STREQ(out, "data\\stg4\\a.stg4");
  EXPECT_TRUE(ChangeExtension(out, "a.b.c", nullptr));
  EXPECT_STREQ(out, "a.b");
  // A dotted folder name is not an extension.
  EXPECT_FALSE(ChangeExtension(out, "data\\v1.0\\stage", "stg4"));
  EXPECT_STREQ(out, "data\\v1.0\\stage");
  char small[8];
  EXPECT_FALSE(ChangeExtension(small, "abcdef.x", "longer"));  // does not fit: refused

  char ext[kExtensionBufferSize];
  EXPECT_TRUE(GetExtension(ext, "user_data\\rpl4\\x.rpl4_986"));
  EXPECT_STREQ(ext, "rpl4_986");
  EXPECT_FALSE(GetExtension(ext, "v1.0\\name"));
  EXPECT_STREQ(ext, "");
  std::string longName = "a." + std::string(40, 'e');
  EXPECT_TRUE(GetExtension(ext, longName.c_str()));
  EXPECT_EQ(std::strlen(ext), 31u);

  char path[kPathBufferSize] = "bmp.old\\Title.bmp";
  EXPECT_TRUE(RemoveExtension(path));
  EXPECT_STREQ(path, "bmp.old\\Title");
  EXPECT_FALSE(RemoveExtension(path));
  std::string s = "x\\y.z";
  EXPECT_TRUE(RemoveExtensionStr(s));
  EXPECT_EQ(s, "x\\y");
}

TEST(PathNames, NumberedNames) {
  char out[kPathBufferSize];
  EXPECT_TRUE(MakeNumberedName(out, "user_data\\rpl4\\play.rpl4_986", 2));
  EXPECT_STREQ(out, "user_data\\rpl4\\play (2).rpl4_986");
  EXPECT_FALSE(MakeNumberedName(out, "noext", 1));
  EXPECT_FALSE(MakeNumberedName(out, "v1.0\\noext", 1));
}

// Each test inside a fresh temporary folder that is the current directory.
class FileHelpersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char buffer[] = "/tmp/qc4-helpers-XXXXXX";
    ASSERT_NE(mkdtemp(buffer), nullptr);
    root_ = buffer;
    oldCwd_ = std::filesystem::current_path();
    std::filesystem::current_path(root_);
  }
  void TearDown() override {
    std::filesystem::current_path(oldCwd_);
    std::filesystem::remove_all(root_);
  }
  static void Touch(const std::string& diskPath) { std::ofstream(diskPath) << "x"; }
  std::string rootBackslashed() const {
    std::string s = root_;
    std::replace(s.begin(), s.end(), '/', '\\');
    return s;
  }

  std::string root_;
  std::filesystem::path oldCwd_;
};

TEST_F(FileHelpersTest, FindLastNumberedFileTakesTheHighestNumber) {
  std::filesystem::create_directories("data/stg4");
  char out[kPathBufferSize];
  EXPECT_FALSE(FindLastNumberedFile(out, "data\\stg4\\c01-1.stg4", "stg4"));
  Touch("data/stg4/c01-1.stg4_000");
  ASSERT_TRUE(FindLastNumberedFile(out, "data\\stg4\\c01-1.stg4", "stg4"));
  EXPECT_STREQ(out, "data\\stg4\\c01-1.stg4_000");
  Touch("data/stg4/c01-1.stg4_003");
  Touch("data/stg4/C01-1.STG4_010");  // another case on disk still counts
  Touch("data/stg4/c01-1.stg4_9999");
  Touch("data/stg4/c01-1.stg4_02a");
  Touch("data/stg4/c01-10.stg4_500");
  ASSERT_TRUE(FindLastNumberedFile(out, "DATA\\stg4\\c01-1.old", "stg4"));
  EXPECT_STREQ(out, "DATA\\stg4\\c01-1.stg4_010");
  std::string found;
  ASSERT_TRUE(FindLastNumberedFileStr(found, "data\\stg4\\c01-1.stg4", "stg4"));
  EXPECT_EQ(found, "data\\stg4\\c01-1.stg4_010");
  // A base without an extension keeps its name.
  Touch("data/stg4/plain_007");
  ASSERT_TRUE(FindLastNumberedFileStr(found, "data\\stg4\\plain", "stg4"));
  EXPECT_EQ(found, "data\\stg4\\plain_007");
  EXPECT_FALSE(FindLastNumberedFileStr(found, "missing\\c01-1.stg4", "stg4"));
  // A null extension removes the base's extension with its dot.
  Touch("data/stg4/c01-1_004");
  ASSERT_TRUE(FindLastNumberedFileStr(found, "data\\stg4\\c01-1.stg4", nullptr));
  EXPECT_EQ(found, "data\\stg4\\c01-1_004");
}

TEST_F(FileHelpersTest, ListFilesByExtAppendsInNameOrderWithOrWithoutBackslash) {
  std::filesystem::create_directories("user_data/rpl4/sub.rpl4_986");
  for (const char* name : {"b.rpl4_986", "a.RPL4_986", "c.rpl4_900", "d.txt"})
    Touch(std::string("user_data/rpl4/") + name);
  std::vector<std::string> with = {"kept"}, without;
  ASSERT_TRUE(ListFilesByExt(with, "user_data\\rpl4\\", "rpl4*"));
  ASSERT_TRUE(ListFilesByExt(without, "user_data\\rpl4", "rpl4*"));
  EXPECT_EQ(with, (std::vector<std::string>{"kept", "user_data\\rpl4\\a.RPL4_986", "user_data\\rpl4\\b.rpl4_986",
                                            "user_data\\rpl4\\c.rpl4_900", "user_data\\rpl4\\sub.rpl4_986"}));
  without.insert(without.begin(), "kept");
  EXPECT_EQ(with, without);
  std::vector<std::string> none;
  EXPECT_FALSE(ListFilesByExt(none, "user_data\\rpl4", "stg4"));
  EXPECT_FALSE(ListFilesByExt(none, "nowhere", "*"));
  EXPECT_TRUE(none.empty());
}

TEST_F(FileHelpersTest, DeleteFolderTreeNeverFollowsLinks) {
  std::filesystem::create_directories("outside/keep");
  Touch("outside/keep/precious.dat");
  std::filesystem::create_directories("data/database/deep");
  Touch("data/System.dat");
  Touch("data/database/deep/x.dat");
  ASSERT_EQ(symlink("../outside", "data/database/linked"), 0);
  ASSERT_EQ(symlink("../outside/keep/precious.dat", "data/file_link"), 0);
  EXPECT_TRUE(FileExists("DATA"));
  ASSERT_TRUE(DeleteFolderTree("Data"));
  EXPECT_FALSE(FileExists("data"));
  EXPECT_TRUE(std::filesystem::exists("outside/keep/precious.dat"));
  EXPECT_FALSE(DeleteFolderTree("data"));
  // A link given as the folder itself goes alone.
  ASSERT_EQ(symlink("outside", "alias"), 0);
  ASSERT_TRUE(DeleteFolderTree("alias\\"));
  EXPECT_TRUE(std::filesystem::exists("outside/keep/precious.dat"));
  EXPECT_FALSE(std::filesystem::is_symlink("alias"));
}

TEST_F(FileHelpersTest, DeleteFolderTreeStopsAtTheFirstFailure) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  std::filesystem::create_directories("tree/locked");
  Touch("tree/locked/f.dat");
  chmod("tree/locked", 0555);
  EXPECT_FALSE(DeleteFolderTree("tree"));
  chmod("tree/locked", 0755);
  EXPECT_TRUE(std::filesystem::exists("tree/locked/f.dat"));
}

TEST_F(FileHelpersTest, FullAndRelativePaths) {
  const std::string cwd = rootBackslashed();
  char path[kPathBufferSize] = "Report_Game.txt";
  ASSERT_TRUE(ToFullPath(path));
  EXPECT_EQ(std::string(path), cwd + "\\Report_Game.txt");
  char again[kPathBufferSize];
  std::strcpy(again, path);
  ASSERT_TRUE(ToFullPath(again));  // absolute: stays
  EXPECT_STREQ(again, path);

  std::string dotted = ".\\data\\..\\bmp/x.bmp";
  ASSERT_TRUE(ToFullPathStr(dotted));
  EXPECT_EQ(dotted, cwd + "\\bmp\\x.bmp");

  ASSERT_TRUE(ToRelativePath(path, true));
  EXPECT_STREQ(path, "Report_Game.txt");
  std::string s = cwd + "\\data\\stg4\\a.stg4";
  ASSERT_TRUE(ToRelativePathStr(s, false));
  EXPECT_EQ(s, ".\\data\\stg4\\a.stg4");
  std::string upper = cwd;
  std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);  // ASCII-only folder name
  s = upper + "\\..\\other\\x.stg4";
  // Folders compare without regard to ASCII case; ".." stays as written.
  ASSERT_TRUE(ToRelativePathStr(s, true));
  EXPECT_EQ(s, "..\\other\\x.stg4");
  s = "\\elsewhere\\x";
  ASSERT_TRUE(ToRelativePathStr(s, true));
  size_t depth = std::count(cwd.begin(), cwd.end(), '\\');
  std::string ups;
  for (size_t i = 0; i < depth; ++i) ups += i ? "\\.." : "..";
  EXPECT_EQ(s, ups + "\\elsewhere\\x");
  s = "data\\x";  // relative: stays
  ASSERT_TRUE(ToRelativePathStr(s, true));
  EXPECT_EQ(s, "data\\x");

  char tiny[8] = "a.txt";
  EXPECT_FALSE(ToFullPath(tiny));  // does not fit: refused, path kept
  EXPECT_STREQ(tiny, "a.txt");
}

TEST_F(FileHelpersTest, ExistenceAndTimes) {
  std::filesystem::create_directories("Folder");
  Touch("Folder/File.txt");
  EXPECT_TRUE(FileExists("folder"));
  EXPECT_TRUE(FileExists(std::string("FOLDER\\file.TXT")));
  EXPECT_FALSE(FileExists("folder\\none.txt"));
  EXPECT_FALSE(FileExists(static_cast<const char*>(nullptr)));
  uint64_t created = 0, accessed = 0, written = 0;
  ASSERT_TRUE(GetFileTimes("folder\\file.txt", &created, &accessed, &written));
  EXPECT_GT(written, 125911584000000000ull);  // after the year 2000 in 100-ns units since 1601
  EXPECT_GT(created, 0u);
  EXPECT_TRUE(GetFileTimes("folder\\file.txt", nullptr, nullptr, nullptr));
  EXPECT_FALSE(GetFileTimes("folder", &created, &accessed, &written));
  EXPECT_FALSE(GetFileTimes("folder\\none.txt", &created, &accessed, &written));
}

}  // namespace
