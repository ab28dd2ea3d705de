// Showing a file in the file manager: the programs started (as argument lists), the way from the
// file manager's D-Bus interface to xdg-open, and a message when neither can show it.
#include "ui/show_in_explorer.h"

#include <gtest/gtest.h>

#include "dialog_test_support.h"
#include "platform/files.h"
#include "test_support/hooks_guard.h"

namespace {
std::vector<std::vector<std::string>> s_Started;
std::vector<int> s_Answers;  // what each start answers, in order
const char* s_Bus = nullptr;

int recordSpawn(const std::vector<std::string>& argv, int) {
  s_Started.push_back(argv);
  if (s_Answers.empty()) return kSpawnNotStarted;
  const int answer = s_Answers.front();
  s_Answers.erase(s_Answers.begin());
  return answer;
}

class ShowInExplorerTest : public ::testing::Test {
 protected:
  ShowInExplorerTest() : m_Folder("show_in_explorer") {
    s_Started.clear();
    s_Answers.clear();
    s_Bus = "unix:path=/run/user/1000/bus";
    m_Folder.Touch("user_data/rpl4/a b'c\".rpl4_986");
  }
  std::string HostFile() { return (m_Folder.Path() / "user_data" / "rpl4" / "a b'c\".rpl4_986").string(); }

  cScratchGameFolder m_Folder;
  cScriptedDialogs m_Dialogs;
  cHooksGuard<cShowInExplorerHooks> m_Guard{SetShowInExplorerHooks, [] {
                                              cShowInExplorerHooks h;
                                              h.spawn = recordSpawn;
                                              h.sessionBus = [] { return s_Bus; };
                                              return h;
                                            }()};
};

TEST_F(ShowInExplorerTest, FileManagerSelectsTheFileOverDBus) {
  s_Answers = {0};
  EXPECT_TRUE(ShowInExplorer("user_data\\rpl4\\a b'c\".rpl4_986", nullptr));
  ASSERT_EQ(s_Started.size(), 1u);
  const auto& argv = s_Started[0];
  EXPECT_EQ(argv[0], "dbus-send");
  EXPECT_NE(std::find(argv.begin(), argv.end(), "--dest=org.freedesktop.FileManager1"), argv.end());
  EXPECT_NE(std::find(argv.begin(), argv.end(), "org.freedesktop.FileManager1.ShowItems"), argv.end());
  // The whole path in one argument, escaped as a URI: no shell ever sees it.
  EXPECT_NE(std::find(argv.begin(), argv.end(), "array:string:" + FileUri(HostFile())), argv.end());
  EXPECT_TRUE(m_Dialogs.m_Boxes.empty());
}

TEST_F(ShowInExplorerTest, WithoutTheFileManagerServiceTheFolderOpens) {
  s_Answers = {1, 0};
  EXPECT_TRUE(ShowInExplorer("user_data\\rpl4\\a b'c\".rpl4_986", nullptr));
  ASSERT_EQ(s_Started.size(), 2u);
  EXPECT_EQ(s_Started[1], (std::vector<std::string>{"xdg-open", (m_Folder.Path() / "user_data" / "rpl4").string()}));
}

TEST_F(ShowInExplorerTest, WithoutASessionBusOnlyXdgOpen) {
  s_Bus = nullptr;
  s_Answers = {kSpawnStillRunning};  // an opener that stays up counts as shown
  EXPECT_TRUE(ShowInExplorer("user_data\\rpl4\\a b'c\".rpl4_986", nullptr));
  ASSERT_EQ(s_Started.size(), 1u);
  EXPECT_EQ(s_Started[0][0], "xdg-open");
}

TEST_F(ShowInExplorerTest, NoFileManagerGivesAMessage) {
  s_Answers = {kSpawnNotStarted, kSpawnNotStarted};
  EXPECT_FALSE(ShowInExplorer("user_data\\rpl4\\a b'c\".rpl4_986", nullptr));
  ASSERT_EQ(m_Dialogs.m_Boxes.size(), 1u);
  EXPECT_EQ(m_Dialogs.m_Boxes[0].rfind("ファイルマネージャーを起動できませんでした。", 0), 0u);
}

TEST_F(ShowInExplorerTest, MissingFileGivesAMessageAndStartsNothing) {
  EXPECT_FALSE(ShowInExplorer("user_data\\rpl4\\gone.rpl4_986", nullptr));
  EXPECT_TRUE(s_Started.empty());
  ASSERT_EQ(m_Dialogs.m_Boxes.size(), 1u);
}

TEST(FileUri, EscapesEverythingButPlainCharacters) {
  EXPECT_EQ(FileUri("/home/p/a b'c\"%.rpl4_986"), "file:///home/p/a%20b%27c%22%25.rpl4_986");
  EXPECT_EQ(FileUri("/x/\xE3\x81\x82"), "file:///x/%E3%81%82");
}

TEST(SpawnAndWait, ExitStatusesAndAMissingProgram) {
  EXPECT_EQ(SpawnAndWait({"true"}, 5000), 0);
  EXPECT_EQ(SpawnAndWait({"false"}, 5000), 1);
  EXPECT_EQ(SpawnAndWait({"qc4-no-such-program-here"}, 5000), kSpawnNotStarted);
  EXPECT_EQ(SpawnAndWait({}, 5000), kSpawnNotStarted);
}
}  // namespace
