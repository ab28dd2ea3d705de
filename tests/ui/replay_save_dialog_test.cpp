// The replay-save question: its texts by language and play, the two proposals, and that only a
// chosen button gives a path (the dialog itself writes nothing).
#include "ui/replay_save_dialog.h"

#include <gtest/gtest.h>

#include "core/file_helpers.h"
#include "dialog_test_support.h"
#include "shell/system_ini.h"
#include "test_support/fresh_game_data.h"
#include "test_support/hooks_guard.h"
#include "ui/dialog_resources.h"
#include "ui/dialog_sources.h"

namespace {
std::string s_StagePath;

class ReplaySaveDialogTest : public ::testing::Test {
 protected:
  ReplaySaveDialogTest() : m_Folder("replay_save") {
    g_IniSettings.English = 0;
    s_StagePath = "data\\stg4\\c01-1.stg4_000";
    m_Folder.Touch("data/stg4/c01-1.stg4_000");
  }

  int Run(const std::string& script, int whichPlay, std::string& result) {
    m_Dialogs.Script(script);
    cReplaySaveDialog dialog(kResReplaySaveDialog, nullptr, nullptr, &result, whichPlay);
    return dialog.DoModal(0);
  }

  cFreshGameData m_Fresh;
  cScratchGameFolder m_Folder;
  cScriptedDialogs m_Dialogs;
  cHooksGuard<cDialogSourceHooks> m_Guard{SetDialogSourceHooks, [] {
                                            cDialogSourceHooks h;
                                            h.playedStagePath = [] { return s_StagePath; };
                                            return h;
                                          }()};
};

std::string fileName(std::string path) {
  PathToFileNameStr(path);
  return path;
}

bool endsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

TEST_F(ReplaySaveDialogTest, ClearedButtonGivesTheClearedPath) {
  const auto before = m_Folder.Listing();
  std::string result;
  EXPECT_EQ(Run("click 1011", 0, result), 1);
  EXPECT_TRUE(endsWith(result, "_c01-1_CLEAR_.rpl4_986")) << result;
  EXPECT_EQ(result[0], '\\');  // a full path
  EXPECT_NE(result.find("\\user_data\\rpl4\\"), std::string::npos);
  EXPECT_EQ(m_Folder.Listing(), before);
}

TEST_F(ReplaySaveDialogTest, NotClearedButtonGivesTheOtherPath) {
  std::string result;
  EXPECT_EQ(Run("click 1002", 1, result), 1);
  EXPECT_TRUE(endsWith(result, "_c01-1.rpl4_986")) << result;
  EXPECT_EQ(result.find("_CLEAR_"), std::string::npos);
}

TEST_F(ReplaySaveDialogTest, CancelAndCloseGiveNothingAndWriteNothing) {
  const auto before = m_Folder.Listing();
  for (const char* answer : {"click 1001", "answer cancel", "key ESCAPE"}) {
    std::string result;
    EXPECT_EQ(Run(answer, 0, result), 0) << answer;
    EXPECT_EQ(result, "") << answer;
  }
  EXPECT_EQ(m_Folder.Listing(), before);
}

struct TextCase {
  int english, whichPlay;
  const char* caption;
  const char* question;
  const char* clearedStart;
  const char* cancel;
};

class ReplaySaveTexts : public ReplaySaveDialogTest, public ::testing::WithParamInterface<TextCase> {};

TEST_P(ReplaySaveTexts, ByLanguageAndPlay) {
  const TextCase& c = GetParam();
  g_IniSettings.English = c.english;
  std::string caption, question, cleared, failed, cancel;
  m_Dialogs.m_OnOpen = [&](HWND h) {
    caption = GetDialogCaption(h);
    question = DlgItemText(h, 1012);
    cleared = DlgItemText(h, 1011);
    failed = DlgItemText(h, 1002);
    cancel = DlgItemText(h, 1001);
  };
  std::string result;
  Run("click 1001", c.whichPlay, result);
  EXPECT_EQ(caption, c.caption);
  EXPECT_EQ(question, c.question);
  EXPECT_EQ(cleared.rfind(c.clearedStart, 0), 0u) << cleared;
  EXPECT_TRUE(endsWith(cleared, "_CLEAR_.rpl4_986")) << cleared;
  EXPECT_TRUE(endsWith(failed, "_c01-1.rpl4_986")) << failed;
  EXPECT_EQ(cancel, c.cancel);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplaySaveTexts,
    ::testing::Values(TextCase{1, 1, "Save the Previous Play", "Save the previous play?",
                               "Save as cleared replay (passed replay)\nFile name: 2", "Cancel"},
                      TextCase{1, 0, "Save the Current Play", "Save the current play?",
                               "Save as cleared replay (passed replay)\nFile name: 2", "Cancel"},
                      TextCase{0, 1, "1つ前のプレイを保存", "1つ前のプレイを保存しますか？",
                               "ステージクリアしたリプレイデータとして保存\nファイル名： 2", "キャンセル"},
                      TextCase{0, 0, "今回のプレイを保存", "今回のプレイを保存しますか？",
                               "ステージクリアしたリプレイデータとして保存\nファイル名： 2", "キャンセル"}));

TEST_F(ReplaySaveDialogTest, WithoutAStageTheSaveButtonsCannotBeChosen) {
  s_StagePath.clear();
  std::string cleared;
  bool enabled = true;
  m_Dialogs.m_OnOpen = [&](HWND h) {
    cleared = DlgItemText(h, 1011);
    enabled = IsDlgItemEnabled(h, 1011) || IsDlgItemEnabled(h, 1002);
  };
  std::string result;
  EXPECT_EQ(Run("click 1011\nclick 1002\nclick 1001", 0, result), 0);
  EXPECT_EQ(result, "");
  EXPECT_FALSE(enabled);
  EXPECT_EQ(cleared, "ステージクリアしたリプレイデータとして保存\nファイル名： ");
}
}  // namespace
