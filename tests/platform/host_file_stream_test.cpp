// A file written piece by piece and replaced all or nothing: the pieces are on disk as they come,
// an older file stays whole until the commit, a dropped stream leaves nothing behind, and a path that
// cannot be written is refused at the open with the system's reason.
#include "platform/host_file_stream.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "test_support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class HostFileStreamTest : public testing::Test {
 protected:
  void SetUp() override {
    m_Folder = TestTempDir() / testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(m_Folder);
    fs::create_directories(m_Folder);
  }
  // The files of the folder other than `except`, with their contents.
  std::string Others(const std::string& except) const {
    std::string out;
    for (const auto& entry : fs::directory_iterator(m_Folder))
      if (entry.path().filename() != except)
        out += entry.path().filename().string() + "=" + readFile(entry.path()) + ";";
    return out;
  }
  fs::path m_Folder;
};

TEST_F(HostFileStreamTest, PiecesReachTheDiskAsTheyComeAndReplaceTheFileAtTheCommit) {
  const fs::path target = m_Folder / "trace.jsonl";
  std::ofstream(target) << "old";
  {
    HostFileStream stream;
    ASSERT_TRUE(stream.Open(target.string())) << stream.Error();
    stream.Write("line 1\n");
    stream.Write(std::string("line 2\n"));
    // Before the commit: the old file is whole, the lines are in the temporary file beside it.
    EXPECT_EQ(readFile(target), "old");
    const std::string others = Others("trace.jsonl");
    EXPECT_NE(others.find("=line 1\nline 2\n;"), std::string::npos) << others;
    ASSERT_TRUE(stream.Commit()) << stream.Error();
  }
  EXPECT_EQ(readFile(target), "line 1\nline 2\n");
  EXPECT_EQ(Others("trace.jsonl"), "");

  // A stream dropped without its commit leaves the file as it was and nothing beside it.
  {
    HostFileStream stream;
    ASSERT_TRUE(stream.Open(target.string()));
    stream.Write("lost\n");
  }
  EXPECT_EQ(readFile(target), "line 1\nline 2\n");
  EXPECT_EQ(Others("trace.jsonl"), "");
}

TEST_F(HostFileStreamTest, APathThatCannotBeWrittenIsRefusedAtTheOpenWithTheReason) {
  fs::create_directories(m_Folder / "folder");
  struct Case {
    std::string path;
    const char* reason;
  };
  const Case cases[] = {
      {(m_Folder / "missing" / "f.txt").string(), "No such file or directory"},
      {(m_Folder / "folder").string(), "Is a directory"},
      {"", "No such file or directory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    HostFileStream stream;
    EXPECT_FALSE(stream.Open(c.path));
    EXPECT_EQ(stream.Error(), c.reason);
    EXPECT_FALSE(stream.Commit());
    std::string reason;
    EXPECT_FALSE(CanWriteHostFile(c.path, &reason));
    EXPECT_EQ(reason, c.reason);
  }
  // The check of a path that can be written leaves nothing behind.
  EXPECT_TRUE(CanWriteHostFile((m_Folder / "new.png").string(), nullptr));
  EXPECT_EQ(Others("folder"), "");
}

}  // namespace
