// The ranking name entry, driven as a headless run drives it: typed, pasted and composed text, the
// three-character limit, OK and closing, and which name it edits.
#include "ui/name_dialog.h"

#include <gtest/gtest.h>

#include "data/option_data.h"
#include "data/play_mode.h"
#include "dialog_test_support.h"
#include "shell/app_globals.h"
#include "shell/system_ini.h"
#include "test_support/fresh_game_data.h"
#include "test_support/hooks_guard.h"
#include "ui/dialog_place.h"
#include "ui/dialog_resources.h"
#include "ui/dialog_sources.h"
#include "ui/install_dialogs.h"

namespace {
std::string s_StageName;

class NameDialogTest : public ::testing::Test {
 protected:
  NameDialogTest() {
    g_IniSettings.English = 0;
    s_StageName = "aaa";
    cDialogSourceHooks sources;
    sources.stageRankingName = [] { return &s_StageName; };
    m_Guard = std::make_unique<cHooksGuard<cDialogSourceHooks>>(SetDialogSourceHooks, sources);
  }

  // Runs the dialog as the main window does; returns DoModal's result.
  int Run(const std::string& script) {
    m_Dialogs.Script(script);
    cNameDialog dialog(kResNameDialog, nullptr, nullptr);
    return dialog.DoModal(0);
  }

  cFreshGameData m_Fresh;
  cScriptedDialogs m_Dialogs;
  std::unique_ptr<cHooksGuard<cDialogSourceHooks>> m_Guard;
};

struct NameCase {
  const char* name;
  const char* script;
  int result;
  const char* stored;
};

class NameEntry : public NameDialogTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(NameEntry, StoresWhatTheLimitsLetThrough) {
  const NameCase& c = GetParam();
  EXPECT_EQ(Run(c.script), c.result);
  EXPECT_EQ(s_StageName, c.stored);
  EXPECT_EQ(m_Dialogs.Unanswered(), 0);
}

// The edit opens with the old name selected, so the first text replaces it.
INSTANTIATE_TEST_SUITE_P(
    Cases, NameEntry,
    ::testing::Values(NameCase{"TypedThree", "type abc\nanswer ok", 1, "abc"},
                      NameCase{"FourthTypedCharacterRefused", "type abcd\nanswer ok", 1, "abc"},
                      NameCase{"DoubleByteCountsOne", "type abあ\nanswer ok", 1, "abあ"},
                      NameCase{"ThreeDoubleByte", "type あいう\nanswer ok", 1, "あいう"},
                      NameCase{"FourthDoubleByteRefused", "type あいうえ\nanswer ok", 1, "あいう"},
                      NameCase{"PasteTooLongRefusedWhole", "paste abcd\nanswer ok", 1, "aaa"},
                      NameCase{"PasteAfterTypingKeepsTyped", "type ab\npaste cd\nanswer ok", 1, "ab"},
                      NameCase{"PasteFits", "paste xyz\nanswer ok", 1, "xyz"},
                      NameCase{"Composed", "compose あい\ntype う\nanswer ok", 1, "あいう"},
                      NameCase{"BackspaceThenType", "type abc\nkey BACK\ntype z\nanswer ok", 1, "abz"},
                      NameCase{"ClickOk", "type xy\nclick 1000", 1, "xy"},
                      NameCase{"CloseKeepsOldName", "type xyz\nanswer cancel", 0, "aaa"},
                      NameCase{"EscKeepsOldName", "type xyz\nkey ESCAPE", 0, "aaa"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NameDialogTest, EnterDuringCompositionOnlyEndsTheComposition) {
  // The Enter that confirms "あ" does not press OK: the dialog waits for the next line.
  EXPECT_EQ(Run("compose あ\ntype b\nanswer ok"), 1);
  EXPECT_EQ(s_StageName, "あb");
}

TEST_F(NameDialogTest, TextShiftJisLacksIsRefusedWithAMessage) {
  // An emoji: no Shift-JIS code.
  m_Dialogs.ScriptUtf8("type ab\npaste c\xF0\x9F\x98\x80\nanswer ok\nanswer ok");
  cNameDialog dialog(kResNameDialog, nullptr, nullptr);
  EXPECT_EQ(dialog.DoModal(0), 1);
  ASSERT_EQ(m_Dialogs.m_Boxes.size(), 1u);
  EXPECT_EQ(m_Dialogs.m_Boxes[0], RefusedTextMessage());
  EXPECT_EQ(s_StageName, "ab");  // nothing of the refused text, not even "c"
}

TEST_F(NameDialogTest, OptionsScreenEditsTheOptionsName) {
  g_nPlayMode = kPlayModeOptions;
  g_OptionData.m_strRankingName = "opt";
  EXPECT_EQ(Run("type new\nanswer ok"), 1);
  EXPECT_EQ(g_OptionData.m_strRankingName, "new");
  EXPECT_EQ(s_StageName, "aaa");
}

TEST_F(NameDialogTest, WithoutStageOrOptionsOkChangesNothing) {
  cHooksGuard<cDialogSourceHooks> none(SetDialogSourceHooks, cDialogSourceHooks{});
  g_nPlayMode = kPlayModeStoryNew;
  EXPECT_EQ(Run("type abc\nanswer ok"), 1);
  EXPECT_EQ(s_StageName, "aaa");
}

TEST_F(NameDialogTest, TooLongStoredNameIsShownCutNotEmptied) {
  s_StageName = "abcdef";
  EXPECT_EQ(Run("answer ok"), 1);
  EXPECT_EQ(s_StageName, "abc");
}

TEST_F(NameDialogTest, OpensWithTheNameSelectedAndItsLabel) {
  for (int english : {0, 1}) {
    g_IniSettings.English = english;
    std::string label, shown;
    int selStart = -1, selEnd = -1, focus = 0;
    m_Dialogs.m_OnOpen = [&](HWND dialog) {
      label = DlgItemText(dialog, 1007);
      shown = DlgItemText(dialog, 1003);
      focus = GetDlgFocus(dialog);
      GetDlgItemSel(dialog, 1003, &selStart, &selEnd);
    };
    EXPECT_EQ(Run("answer ok"), 1);
    EXPECT_EQ(label, english ? "     Name" : "登録名(3文字まで)");
    EXPECT_EQ(shown, "aaa");
    EXPECT_EQ(focus, 1003);
    EXPECT_EQ(selStart, 0);
    EXPECT_EQ(selEnd, 3);
  }
}

TEST_F(NameDialogTest, WithoutAnswersTheRunFailsAndTheNameStays) {
  EXPECT_EQ(Run(""), 0);
  EXPECT_EQ(m_Dialogs.Unanswered(), 1);
  EXPECT_EQ(s_StageName, "aaa");
}

TEST(NameDialogPlace, CentredOnTheMainWindowOrTheScreen) {
  int32_t x = 0, y = 0;
  CentredDialogPosOn(cRect{0, 0, 640, 480}, 0, 87, 48, &x, &y);
  EXPECT_EQ(x, 233);
  EXPECT_EQ(y, 192);
  CentredDialogPosOn(cRect{100, 50, 746, 555}, 1, 87, 48, &x, &y);  // outer 646 x 505
  EXPECT_EQ(x, 336);
  EXPECT_EQ(y, 255);
  CentredDialogPosOn(cRect{0, 0, 640, 480}, 0, 253, 127, &x, &y);
  EXPECT_EQ(x, 67);
  EXPECT_EQ(y, 113);
  CentredDialogPosOn(cRect{100, 50, 746, 555}, 1, 253, 127, &x, &y);
  EXPECT_EQ(x, 170);
  EXPECT_EQ(y, 176);
}
}  // namespace
