// The file layer: Windows game paths resolved on disk, sorted listings, atomic replacement.
#include "platform/files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/encoding.h"

namespace {

std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

// Runs each test inside a fresh temporary folder that is also the current directory.
class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char buffer[] = "/tmp/qc4-files-XXXXXX";
    ASSERT_NE(mkdtemp(buffer), nullptr);
    root_ = buffer;
    oldCwd_ = std::filesystem::current_path();
    std::filesystem::current_path(root_);
    ForgetFolderListings();
  }
  void TearDown() override {
    SetAtomicWriteFailStep(0);
    SetSkipDiskFlush(false);
    std::filesystem::current_path(oldCwd_);
    std::filesystem::remove_all(root_);
    ForgetFolderListings();
  }
  // Creates a file by its exact bytes on disk (no conversion).
  static void MakeDiskFile(const std::string& diskPath, const std::string& content = "x") {
    std::ofstream(diskPath, std::ios::binary) << content;
  }
  static std::string ReadDisk(const std::string& diskPath) {
    std::ifstream in(diskPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::vector<std::string> RootEntries() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(root_)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string root_;
  std::filesystem::path oldCwd_;
};

TEST_F(FilesTest, ResolvesComponentsIgnoringAsciiCase) {
  mkdir("BMP", 0777);
  MakeDiskFile("BMP/Title.Bmp");
  std::string disk;
  ASSERT_TRUE(FindOnDisk("bmp\\title.bmp", disk));
  EXPECT_EQ(disk, "BMP/Title.Bmp");
  ASSERT_TRUE(FindOnDisk("Bmp/TITLE.BMP", disk));  // forward slashes too
  EXPECT_EQ(disk, "BMP/Title.Bmp");
  ASSERT_TRUE(FindOnDisk(".\\bmp\\..\\BMP\\title.bmp", disk));
  EXPECT_FALSE(FindOnDisk("bmp\\Title.bmp2", disk));
  EXPECT_FALSE(FindOnDisk("", disk));
  // An exact match wins over an earlier case variant.
  MakeDiskFile("BMP/title.bmp", "lower");
  ASSERT_TRUE(FindOnDisk("bmp\\title.bmp", disk));
  EXPECT_EQ(disk, "BMP/title.bmp");
}

TEST_F(FilesTest, FindsUtf8AndRawShiftJisNamesAcrossBackslashTrailBytes) {
  // "表" is 95 5C: its trail byte must not split the name.
  mkdir(U8(u8"データ").c_str(), 0777);
  MakeDiskFile(U8(u8"データ/表.txt"), "utf8");
  std::string rawFolder = "生";  // CP932 bytes as the name on disk
  mkdir(rawFolder.c_str(), 0777);
  MakeDiskFile(rawFolder + "/" + std::string("表示.TXT"), "raw");

  std::string disk;
  ASSERT_TRUE(FindOnDisk("データ\\表.TXT", disk));
  EXPECT_EQ(disk, U8(u8"データ/表.txt"));
  ASSERT_TRUE(FindOnDisk("生\\表示.txt", disk));
  EXPECT_EQ(disk, rawFolder + "/" + std::string("表示.TXT"));
  EXPECT_EQ(ReadDisk(disk), "raw");

  std::vector<cFolderEntry> entries;
  ASSERT_TRUE(ListFolder("データ", entries));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "表.txt");  // names come back as CP932
}

TEST_F(FilesTest, TrailBytesAreNeverCaseFolded) {
  // 83 41 is "ア"; 83 61 is a different character. Folding the trail byte would confuse them.
  MakeDiskFile("\x83\x41.txt");
  std::string disk;
  EXPECT_TRUE(FindOnDisk("\x83\x41.TXT", disk));
  EXPECT_FALSE(FindOnDisk("\x83\x61.txt", disk));
  EXPECT_TRUE(SameNameIgnoringCase("ab\x83\x41", "AB\x83\x41"));
  EXPECT_FALSE(SameNameIgnoringCase("\x83\x41", "\x83\x61"));
}

TEST_F(FilesTest, ListingsAreSortedInWindowsNameOrder) {
  for (const char* name : {"b.dat", "A.dat", "c.dat", "a2.dat", "_x.dat"}) MakeDiskFile(name);
  mkdir("Folder", 0777);
  std::vector<cFolderEntry> entries;
  ASSERT_TRUE(ListFolder("", entries));
  std::vector<std::string> names;
  for (const auto& e : entries) names.push_back(e.name);
  // Upper-cased comparison: "_" (0x5F) sorts after the letters.
  EXPECT_EQ(names, (std::vector<std::string>{"A.dat", "a2.dat", "b.dat", "c.dat", "Folder", "_x.dat"}));
  EXPECT_TRUE(entries[4].isFolder);
  EXPECT_FALSE(entries[0].isFolder);
  EXPECT_FALSE(ListFolder("missing", entries));
}

TEST_F(FilesTest, FindFilesMatchesWindowsPatterns) {
  mkdir("data", 0777);
  mkdir("data/stg4", 0777);
  for (const char* name : {"c01-1.stg4_001", "c01-1.STG4", "c02-1.stg4_000", "notes.txt"})
    MakeDiskFile(std::string("data/stg4/") + name);
  std::vector<cFolderEntry> found;
  ASSERT_TRUE(FindFiles("DATA\\stg4\\*.stg4*", found));
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0].name, "c01-1.STG4");
  EXPECT_EQ(found[1].name, "c01-1.stg4_001");
  EXPECT_EQ(found[2].name, "c02-1.stg4_000");
  std::vector<cFolderEntry> none;
  EXPECT_FALSE(FindFiles("data\\stg4\\*.rpl4", none));  // nothing matches: the search fails
  EXPECT_FALSE(FindFiles("nowhere\\*.*", none));
  EXPECT_TRUE(none.empty());
}

TEST(Wildcards, MatchLikeWindowsSearches) {
  struct Case {
    const char* pattern;
    const char* name;
    bool match;
  } cases[] = {
      {"*.stg4", "a.STG4", true},
      {"*.stg4", "a.stg4_000", false},
      {"*.stg4*", "a.stg4_000", true},
      {"*.*", "noext", true},
      {"?.dat", "a.dat", true},
      {"?.dat", "ab.dat", false},
      {"?.dat", "表.dat", true},  // a double-byte character is one character
      {"*表", "x表", true},
      {"*", "", true},
      {"a*b*c", "aXbYc", true},
      {"a*b*c", "aXbY", false},
  };
  for (const auto& c : cases) EXPECT_EQ(MatchWildcard(c.pattern, c.name), c.match) << c.pattern << " " << c.name;
}

TEST_F(FilesTest, NewNamesAreCreatedInUtf8InsideExistingFolders) {
  mkdir("User_Data", 0777);
  EXPECT_EQ(ResolvePath("user_data\\新規.dat"), "User_Data/" + U8(u8"新規.dat"));
  EXPECT_EQ(ResolvePath("user_data\\story\\Story01.dat"), "User_Data/story/Story01.dat");
  ASSERT_TRUE(CreateFolder("user_data\\Story"));
  ASSERT_TRUE(CreateFolder("USER_DATA\\story"));  // already there
  ASSERT_TRUE(WriteFileAtomically("user_data\\story\\表.dat", std::string("abc")));
  EXPECT_EQ(ReadDisk("User_Data/Story/" + U8(u8"表.dat")), "abc");
  // Absolute paths pass through.
  std::string disk;
  ASSERT_TRUE(FindOnDisk(root_ + "/User_Data/Story", disk));
  EXPECT_EQ(disk, root_ + "/User_Data/Story");
}

TEST_F(FilesTest, ListingsFollowChangesMadeThroughTheLayerAndBehindIt) {
  std::vector<cFolderEntry> entries;
  ASSERT_TRUE(ListFolder("", entries));
  EXPECT_TRUE(entries.empty());
  ASSERT_TRUE(WriteFileAtomically("One.txt", std::string("1")));
  ASSERT_TRUE(ListFolder("", entries));
  ASSERT_EQ(entries.size(), 1u);
  MakeDiskFile("Two.txt");  // not through the layer
  std::string disk;
  EXPECT_TRUE(FindOnDisk("two.TXT", disk));
  ASSERT_TRUE(RenamePath("one.txt", "Three.txt"));
  EXPECT_FALSE(PathExists("one.txt"));
  EXPECT_TRUE(PathExists("three.txt"));
  ASSERT_TRUE(RemoveFile("THREE.txt"));
  EXPECT_FALSE(PathExists("three.txt"));
  ASSERT_TRUE(CreateFolder("Sub"));
  EXPECT_TRUE(IsFolder("sub"));
  ASSERT_TRUE(RemoveFolder("SUB"));
  EXPECT_FALSE(PathExists("sub"));
}

TEST_F(FilesTest, SettledFoldersAreListedOnceUntilTheyChange) {
  mkdir("bmp", 0777);
  MakeDiskFile("bmp/a.bmp");
  timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, "bmp", old, 0), 0);
  std::vector<cFolderEntry> entries;
  ASSERT_TRUE(ListFolder("bmp", entries));
  ASSERT_EQ(entries.size(), 1u);
  // A change whose trace in the folder's time is undone stays unseen: the listing was reused.
  MakeDiskFile("bmp/b.bmp");
  ASSERT_EQ(utimensat(AT_FDCWD, "bmp", old, 0), 0);
  ASSERT_TRUE(ListFolder("bmp", entries));
  EXPECT_EQ(entries.size(), 1u);
  // Any change through the layer drops it.
  ASSERT_TRUE(WriteFileAtomically("bmp\\c.bmp", std::string("c")));
  ASSERT_TRUE(ListFolder("BMP", entries));
  EXPECT_EQ(entries.size(), 3u);
}

TEST_F(FilesTest, AtomicWriteKeepsTheOldFileWholeOnEveryFailure) {
  ASSERT_TRUE(WriteFileAtomically("save.dat", std::string("old contents")));
  for (int step = 1; step <= 4; ++step) {
    SetAtomicWriteFailStep(step);
    EXPECT_FALSE(WriteFileAtomically("SAVE.dat", std::string("new")));
    EXPECT_EQ(ReadDisk("save.dat"), "old contents") << "step " << step;
    EXPECT_EQ(RootEntries(), std::vector<std::string>{"save.dat"}) << "temporary file left at step " << step;
  }
  SetAtomicWriteFailStep(0);
  ASSERT_TRUE(WriteFileAtomically("SAVE.dat", std::string("new")));
  EXPECT_EQ(ReadDisk("save.dat"), "new");
  EXPECT_EQ(RootEntries(), std::vector<std::string>{"save.dat"});
  // A missing folder and a folder in the way are refused.
  EXPECT_FALSE(WriteFileAtomically("missing\\x.dat", std::string("x")));
  mkdir("dir", 0777);
  EXPECT_FALSE(WriteFileAtomically("dir", std::string("x")));
}

TEST_F(FilesTest, SkippingTheDiskFlushKeepsTheWriteAtomic) {
  ASSERT_TRUE(WriteFileAtomically("save.dat", std::string("old contents")));
  EXPECT_FALSE(SetSkipDiskFlush(true));
  // The flush is not made, so a failing flush cannot stop the write.
  SetAtomicWriteFailStep(3);
  ASSERT_TRUE(WriteFileAtomically("save.dat", std::string("new")));
  EXPECT_EQ(ReadDisk("save.dat"), "new");
  EXPECT_EQ(RootEntries(), std::vector<std::string>{"save.dat"});
  // Every other step still fails whole.
  for (int step : {1, 2, 4}) {
    SetAtomicWriteFailStep(step);
    EXPECT_FALSE(WriteFileAtomically("save.dat", std::string("newer")));
    EXPECT_EQ(ReadDisk("save.dat"), "new") << "step " << step;
    EXPECT_EQ(RootEntries(), std::vector<std::string>{"save.dat"}) << "temporary file left at step " << step;
  }
  // Switched back, the flush is made again.
  EXPECT_TRUE(SetSkipDiskFlush(false));
  SetAtomicWriteFailStep(3);
  EXPECT_FALSE(WriteFileAtomically("save.dat", std::string("newer")));
  EXPECT_EQ(ReadDisk("save.dat"), "new");
}

// A write killed before its rename leaves its temporary file; the next write in that folder removes
// such files when they are the writes' own, unchanged for an hour and held by no live writer (which
// keeps its file locked while it writes). Other names, fresh files, held files, folders and other
// folders stay.
TEST_F(FilesTest, AWriteRemovesTheTemporaryFilesKilledWritesLeftInItsFolder) {
  const auto makeOld = [](const std::string& diskPath) {
    const timeval twoHoursAgo[2] = {{time(nullptr) - 7200, 0}, {time(nullptr) - 7200, 0}};
    ASSERT_EQ(utimes(diskPath.c_str(), twoHoursAgo), 0) << diskPath;
  };
  mkdir("sub", 0777);
  for (const char* name :
       {".qc4-AbC123.tmp", ".qc4-Held01.tmp", ".qc4-abc.tmp", "x.tmp", ".qc4-ABCDEF.tmp.bak", "sub/.qc4-Other1.tmp"}) {
    MakeDiskFile(name);
    makeOld(name);
  }
  mkdir(".qc4-Dir000.tmp", 0777);
  makeOld(".qc4-Dir000.tmp");
  MakeDiskFile(".qc4-Fresh1.tmp");
  const int writer = open(".qc4-Held01.tmp", O_RDONLY);
  ASSERT_GE(writer, 0);
  ASSERT_EQ(flock(writer, LOCK_EX | LOCK_NB), 0);

  ASSERT_TRUE(WriteFileAtomically("save.dat", std::string("new")));
  EXPECT_EQ(RootEntries(), (std::vector<std::string>{".qc4-ABCDEF.tmp.bak", ".qc4-Dir000.tmp", ".qc4-Fresh1.tmp",
                                                     ".qc4-Held01.tmp", ".qc4-abc.tmp", "save.dat", "sub", "x.tmp"}));
  EXPECT_TRUE(std::filesystem::exists("sub/.qc4-Other1.tmp"));
  // Once its writer has gone, the held file goes with the next write too.
  close(writer);
  ASSERT_TRUE(WriteFileAtomically("save.dat", std::string("newer")));
  EXPECT_FALSE(std::filesystem::exists(".qc4-Held01.tmp"));
  EXPECT_EQ(ReadDisk("save.dat"), "newer");
}

TEST_F(FilesTest, AtomicWriteKeepsTheFileModeAndWritesThroughLinks) {
  MakeDiskFile("target.dat", "old");
  chmod("target.dat", 0600);
  ASSERT_EQ(symlink("target.dat", "link.dat"), 0);
  ASSERT_TRUE(WriteFileAtomically("link.dat", std::string("new")));
  EXPECT_EQ(ReadDisk("target.dat"), "new");
  struct stat st;
  ASSERT_EQ(lstat("link.dat", &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat("target.dat", &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(FilesTest, ReadWholeFileRefusesWhatItShouldNotRead) {
  MakeDiskFile("Data.bin", std::string("\0\1\2\3", 4));
  std::vector<uint8_t> bytes;
  eReadFail why;
  ASSERT_TRUE(ReadWholeFile("data.BIN", 4, bytes, &why));
  EXPECT_EQ(bytes, (std::vector<uint8_t>{0, 1, 2, 3}));
  EXPECT_EQ(why, eReadFail::None);
  EXPECT_FALSE(ReadWholeFile("data.bin", 3, bytes, &why));
  EXPECT_EQ(why, eReadFail::TooLarge);
  EXPECT_EQ(errno, EFBIG);
  EXPECT_TRUE(bytes.empty());
  EXPECT_FALSE(ReadWholeFile("nothing.bin", 100, bytes, &why));
  EXPECT_EQ(why, eReadFail::Missing);
  EXPECT_EQ(errno, ENOENT);
  mkdir("folder", 0777);
  std::string text;
  EXPECT_FALSE(ReadWholeFile("folder", 100, text, &why));
  EXPECT_EQ(why, eReadFail::Unreadable);
  EXPECT_EQ(errno, EISDIR);
  MakeDiskFile("empty.txt", "");
  ASSERT_TRUE(ReadWholeFile("empty.txt", 0, text));
  EXPECT_EQ(text, "");
  // A pipe in place of a game file is refused at once (no writer would ever come).
  ASSERT_EQ(mkfifo("pipe.dat", 0666), 0);
  EXPECT_FALSE(ReadWholeFile("PIPE.dat", 100, text, &why));
  EXPECT_EQ(why, eReadFail::Unreadable);
}

// Paths of this system (the command line's) are written as they stand: UTF-8 names that Shift-JIS
// lacks or would read as other characters, and a backslash, which is a plain character here.
TEST_F(FilesTest, HostPathsAreWrittenAsTheyStand) {
  const std::string cafe = U8(u8"café.png");
  const std::string picture = U8(u8"画像.png");
  const std::string backslash = "a\\b.png";
  mkdir("out", 0777);
  for (const std::string& name : {cafe, picture, backslash}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(WriteHostFileAtomically("out/" + name, "png", 3));
    EXPECT_EQ(ReadDisk("out/" + name), "png");
  }
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator("out")) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{backslash, cafe, picture}));
  // An existing file is replaced; a missing folder is refused.
  ASSERT_TRUE(WriteHostFileAtomically("out/" + cafe, "new", 3));
  EXPECT_EQ(ReadDisk("out/" + cafe), "new");
  EXPECT_FALSE(WriteHostFileAtomically("missing/x.png", "x", 1));
  EXPECT_EQ(errno, ENOENT);

  EXPECT_EQ(AbsoluteHostPath("out/x.png"), root_ + "/out/x.png");
  EXPECT_EQ(AbsoluteHostPath("/tmp/x.png"), "/tmp/x.png");
  EXPECT_EQ(AbsoluteHostPath(""), "");
}

// A path of this system as the game names it: Shift-JIS text, raw Shift-JIS bytes kept.
TEST(HostPaths, BecomeTheGamesText) {
  struct Case {
    std::string host;
    bool ok;
    std::string game;
  };
  const Case cases[] = {
      {"data/stg4/a.stg4", true, "data/stg4/a.stg4"},
      {U8(u8"data/ステージ/表.stg4"), true, "data/ステージ/表.stg4"},  // a trail byte 0x5C survives
      {"data/\x95\x5C.stg4", true, "data/\x95\x5C.stg4"},              // raw Shift-JIS bytes (not UTF-8)
      {U8(u8"café.stg4"), false, "caf?.stg4"},
  };
  for (const Case& c : cases) {
    std::string game;
    EXPECT_EQ(GamePathFromHost(c.host, game), c.ok) << c.host;
    EXPECT_EQ(game, c.game) << c.host;
  }
}

TEST_F(FilesTest, FileInfoAndCurrentFolder) {
  MakeDiskFile("a.txt", "12345");
  cFileInfo info;
  ASSERT_TRUE(GetFileInfo("A.TXT", &info));
  EXPECT_FALSE(info.isFolder);
  EXPECT_EQ(info.size, 5u);
  // 100-ns units since 1601: anything written after 2000 is beyond this value.
  EXPECT_GT(info.lastWriteTime, 125911584000000000ull);
  EXPECT_GT(info.creationTime, 125911584000000000ull);
  EXPECT_FALSE(GetFileInfo("b.txt", &info));

  std::string cwd = GetCurrentFolder();
  std::string expected = root_;
  std::replace(expected.begin(), expected.end(), '/', '\\');
  EXPECT_EQ(cwd, expected);
  std::string disk;
  ASSERT_TRUE(FindOnDisk(cwd + "\\A.txt", disk));  // the backslash form resolves from the root
  EXPECT_EQ(disk, root_ + "/a.txt");
}

}  // namespace
