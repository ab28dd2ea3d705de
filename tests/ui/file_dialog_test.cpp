// The file selection: each mode's chooser, a chosen file as a full path, a missing file refused, the
// save chooser's own names and its question before an existing file, Cancel giving nothing.
#include "ui/file_dialog.h"

#include <gtest/gtest.h>

#include "dialog_test_support.h"
#include "platform/dialog/file_chooser.h"
#include "platform/files.h"
#include "shell/system_ini.h"
#include "ui/dialog_resources.h"
#include "ui/install_dialogs.h"

namespace {
class FileDialogTest : public ::testing::Test {
 protected:
  FileDialogTest() : m_Folder("file_dialog") {
    g_IniSettings.English = 0;
    m_Folder.Touch("data/stg4/c01-1.stg4_000");
    m_Folder.Touch("data/stg4/c02-1.stg4_003");
    m_Folder.Touch("user_data/rpl4/old.rpl4_986");
  }
  int Run(const std::string& script, int mode, std::string& result) {
    m_Dialogs.Script(script);
    cFileDialog dialog(kResFileDialog, nullptr, nullptr, &result, mode);
    return dialog.DoModal(0);
  }
  std::string Full(const std::string& gamePath) { return GetCurrentFolder() + "\\" + gamePath; }

  cScratchGameFolder m_Folder;
  cScriptedDialogs m_Dialogs;
};

TEST_F(FileDialogTest, StageChosenByName) {
  std::string result;
  EXPECT_EQ(Run("answer file c02-1.stg4_003", 0, result), 1);
  EXPECT_EQ(result, Full("data\\stg4\\c02-1.stg4_003"));
  ASSERT_EQ(m_Dialogs.m_Choosers.size(), 1u);
  EXPECT_FALSE(m_Dialogs.m_Choosers[0].save);
}

TEST_F(FileDialogTest, MissingFileIsNotChosenAndCancelGivesNothing) {
  const auto before = m_Folder.Listing();
  std::string result = "something";
  EXPECT_EQ(Run("answer file c09-1.stg4_000\nanswer cancel", 0, result), 0);
  EXPECT_EQ(result, "");
  EXPECT_EQ(m_Folder.Listing(), before);
}

TEST_F(FileDialogTest, ReplayChosenByGamePath) {
  std::string result;
  EXPECT_EQ(Run("answer file user_data\\rpl4\\old.rpl4_986", 1, result), 1);
  EXPECT_EQ(result, Full("user_data\\rpl4\\old.rpl4_986"));
}

TEST_F(FileDialogTest, SaveTakesTheProposedNameOrANewOne) {
  const std::string proposed = Full("user_data\\rpl4\\2009_0307_140509_c01-1.rpl4_986");
  std::string result = proposed;
  EXPECT_EQ(Run("answer ok", 2, result), 1);
  EXPECT_EQ(result, proposed);
  ASSERT_EQ(m_Dialogs.m_Choosers.size(), 1u);
  EXPECT_EQ(m_Dialogs.m_Choosers[0].initialName, proposed);

  result = proposed;
  EXPECT_EQ(Run("answer file mine", 2, result), 1);
  EXPECT_EQ(result, Full("user_data\\rpl4\\mine.rpl4_986"));   // the default extension added
  EXPECT_FALSE(PathExists("user_data\\rpl4\\mine.rpl4_986"));  // choosing writes nothing
}

TEST_F(FileDialogTest, SaveAsksBeforeAnExistingFile) {
  std::string result = Full("user_data\\rpl4\\x.rpl4_986");
  // No: the chooser stays open; the next name is taken.
  EXPECT_EQ(Run("answer file old.rpl4_986\nanswer no\nanswer file new.rpl4_986", 2, result), 1);
  EXPECT_EQ(result, Full("user_data\\rpl4\\new.rpl4_986"));
  ASSERT_EQ(m_Dialogs.m_Boxes.size(), 1u);
  EXPECT_NE(m_Dialogs.m_Boxes[0].find("old.rpl4_986"), std::string::npos);
  result = Full("user_data\\rpl4\\x.rpl4_986");
  EXPECT_EQ(Run("answer file old.rpl4_986\nanswer yes", 2, result), 1);
  EXPECT_EQ(result, Full("user_data\\rpl4\\old.rpl4_986"));
}

TEST_F(FileDialogTest, SaveRefusesAFileItCannotReplace) {
  // A saved replay is read-only: choosing it would only make the save fail afterwards.
  std::filesystem::permissions(m_Folder.Path() / "user_data" / "rpl4" / "old.rpl4_986",
                               std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
  std::string result = Full("user_data\\rpl4\\x.rpl4_986");
  EXPECT_EQ(Run("answer file old.rpl4_986\nanswer ok\nanswer cancel", 2, result), 0);
  EXPECT_EQ(result, "");
  ASSERT_EQ(m_Dialogs.m_Boxes.size(), 1u);
  EXPECT_NE(m_Dialogs.m_Boxes[0].find("読み取り専用"), std::string::npos);
  std::filesystem::permissions(m_Folder.Path() / "user_data" / "rpl4" / "old.rpl4_986",
                               std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
}

TEST_F(FileDialogTest, CancelledSaveEmptiesTheResult) {
  std::string result = Full("user_data\\rpl4\\x.rpl4_986");
  EXPECT_EQ(Run("answer cancel", 2, result), 0);
  EXPECT_EQ(result, "");
}

TEST_F(FileDialogTest, UnansweredFailsTheRun) {
  std::string result;
  EXPECT_EQ(Run("", 0, result), 0);
  EXPECT_EQ(m_Dialogs.Unanswered(), 1);
}

TEST_F(FileDialogTest, HookRunsTheDialog) {
  std::string chosen;
  m_Dialogs.Script("answer file c01-1.stg4_000");
  EXPECT_TRUE(RunFileDialog(0, "", chosen));
  EXPECT_EQ(chosen, Full("data\\stg4\\c01-1.stg4_000"));
  m_Dialogs.Script("answer cancel");
  EXPECT_FALSE(RunFileDialog(1, "", chosen));
  EXPECT_EQ(chosen, "");
}

struct RequestCase {
  int mode, english;
  const char* title;
  const char* folder;
  const char* description;
  const char* pattern;
  bool save;
};

class FileDialogRequests : public ::testing::TestWithParam<RequestCase> {};

TEST_P(FileDialogRequests, ByModeAndLanguage) {
  const RequestCase& c = GetParam();
  const FileChooserRequest r = FileDialogRequest(c.mode, c.english, "p");
  EXPECT_EQ(r.title, c.title);
  EXPECT_EQ(r.folder, c.folder);
  EXPECT_EQ(r.description, c.description);
  EXPECT_EQ(r.pattern, c.pattern);
  EXPECT_EQ(r.save, c.save);
  EXPECT_EQ(r.initialName, c.save ? "p" : "");
}

INSTANTIATE_TEST_SUITE_P(
    Modes, FileDialogRequests,
    ::testing::Values(
        RequestCase{0, 0, "ステージファイルの読み込み", "data\\stg4\\", "StageFile ( *.stg4_* )", "*.stg4_*", false},
        RequestCase{0, 1, "load stage file", "data\\stg4\\", "StageFile ( *.stg4_* )", "*.stg4_*", false},
        RequestCase{1, 0, "リプレイファイルの読み込み", "user_data\\rpl4\\", "ReplayFile ( *.rpl4_* )", "*.rpl4_*",
                    false},
        RequestCase{1, 1, "load replay file", "user_data\\rpl4\\", "ReplayFile ( *.rpl4_* )", "*.rpl4_*", false},
        RequestCase{2, 0, "リプレイファイルの保存", "user_data\\rpl4\\", "ReplayFile ( *.rpl4_986 )", "*.rpl4_986",
                    true},
        RequestCase{2, 1, "save replay file", "user_data\\rpl4\\", "ReplayFile ( *.rpl4_986 )", "*.rpl4_986", true}));

TEST(FileChooserTarget, NamesAndExtensions) {
  FileChooserRequest open = FileDialogRequest(0, 0, "");
  FileChooserRequest save = FileDialogRequest(2, 0, "");
  EXPECT_EQ(FileChooserTarget(save, "a"), "user_data\\rpl4\\a.rpl4_986");
  EXPECT_EQ(FileChooserTarget(save, "a.txt"), "user_data\\rpl4\\a.txt");
  EXPECT_EQ(FileChooserTarget(save, ""), "");
  EXPECT_EQ(FileChooserTarget(save, "user_data\\rpl4\\"), "");  // a folder, no name
  // A wildcard extension is a filter: never added to a name.
  open.save = true;
  EXPECT_EQ(FileChooserTarget(open, "b"), "data\\stg4\\b");
}
}  // namespace
