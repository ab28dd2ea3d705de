// The dialog base: modal runs, closing, control bindings, the keyboard hook's life and routing, the
// dialog's own scroll bar, a missing control.
#include "ui/dialog.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/log.h"
#include "dialog_test_support.h"
#include "platform/dialog/keyboard_hook.h"
#include "platform/input/virtual_keys.h"
#include "test_dialog.h"

namespace {
bool received(const std::vector<MSG>& messages, uint32_t msg, WPARAM wParam) {
  return std::any_of(messages.begin(), messages.end(),
                     [&](const MSG& m) { return m.message == msg && m.wParam == wParam; });
}

TEST(Dialog, BindingsShowAndStoreTheirValues) {
  cScriptedDialogs dialogs;
  cTestDialog dialog;
  dialog.m_nChoice = 0;
  bool shownB = false, shownFlag = true;
  dialogs.m_OnOpen = [&](HWND h) {
    shownB = IsDlgButtonChecked(h, 12) == BST_CHECKED && IsDlgButtonChecked(h, 11) == BST_UNCHECKED;
    shownFlag = IsDlgButtonChecked(h, 13) == BST_CHECKED;
  };
  dialogs.Script("click 11\nclick 13\nanswer ok");
  EXPECT_EQ(dialog.DoModal(0), 1);
  EXPECT_TRUE(shownB);
  EXPECT_FALSE(shownFlag);
  EXPECT_EQ(dialog.m_nChoice, 1);
  EXPECT_EQ(dialog.m_nFlag, 1);
}

TEST(Dialog, CloseAndCancelStoreNothing) {
  for (const char* answer : {"answer cancel", "key ESCAPE", "click 2"}) {
    cScriptedDialogs dialogs;
    cTestDialog dialog;
    dialogs.Script(std::string("type ab\nclick 12\nclick 13\n") + answer);
    EXPECT_EQ(dialog.DoModal(0), 0) << answer;
    EXPECT_EQ(dialog.m_strText, "") << answer;
    EXPECT_EQ(dialog.m_nChoice, 1) << answer;
    EXPECT_EQ(dialog.m_nFlag, 0) << answer;
  }
}

TEST(Dialog, SecondDoModalWhileShowingReturnsZero) {
  cScriptedDialogs dialogs;
  cTestDialog dialog;
  int inner = -1;
  dialogs.m_OnOpen = [&](HWND) { inner = dialog.DoModal(0); };
  dialogs.Script("answer ok");
  EXPECT_EQ(dialog.DoModal(0), 1);
  EXPECT_EQ(inner, 0);
}

TEST(Dialog, HookLivesWhileTheOutermostDialogRuns) {
  cScriptedDialogs dialogs;
  cTestDialog dialog;
  bool during = false;
  dialogs.m_OnOpen = [&](HWND) { during = KeyboardHookInstalled(); };
  dialogs.Script("answer ok");
  EXPECT_FALSE(KeyboardHookInstalled());
  dialog.DoModal(0);
  EXPECT_TRUE(during);
  EXPECT_FALSE(KeyboardHookInstalled());
}

TEST(Dialog, FailedHookIsReportedAndTheDialogStillWorks) {
  cScriptedDialogs dialogs;
  SetKeyboardHookFailure(true);
  cTestDialog dialog;
  dialogs.Script("type ab\nanswer ok");
  EXPECT_EQ(dialog.DoModal(0), 1);
  SetKeyboardHookFailure(false);
  ASSERT_EQ(dialogs.m_Boxes.size(), 1u);
  EXPECT_EQ(dialogs.m_Boxes[0], "KeyboardHookに失敗!");
  EXPECT_EQ(dialog.m_strText, "ab");
}

TEST(Dialog, PageDownMovesTheScrollBarOnePageAndCallsTheHookOnce) {
  cScriptedDialogs dialogs;
  cTestDialog dialog(3, 1, 1, 2);
  dialog.m_nStartPos = 20;
  dialogs.Script("key PAGEDOWN\nanswer ok");
  dialog.DoModal(0);
  EXPECT_EQ(dialog.m_VScroll.m_nPos, 30);
  EXPECT_EQ(dialog.m_nScrolls, 1);
}

TEST(Dialog, ScrollAtTheEndDoesNotCallTheHook) {
  cScriptedDialogs dialogs;
  cTestDialog dialog(3, 1, 1, 2);
  dialog.m_nStartPos = 91;  // the last position of range 0-100 with page 10
  dialogs.Script("key PAGEDOWN\nkey DOWN\nanswer ok");
  dialog.DoModal(0);
  EXPECT_EQ(dialog.m_VScroll.m_nPos, 91);
  EXPECT_EQ(dialog.m_nScrolls, 0);
}

TEST(Dialog, MissingControlStopsTheGame) {
  cScriptedDialogs dialogs;
  cTestDialog dialog;
  std::vector<cControl*> none;
  EXPECT_EQ(dialog.FindControlById(none, 1012), nullptr);
  EXPECT_EQ(g_bQuit.load(), 1);
  g_bQuit.store(0);  // for the tests after this one when the program runs them all
}

TEST(Dialog, SecondCommandDuringOneIsNotDispatched) {
  struct cNested : cTestDialog {
    void OnCommand(WPARAM wParam, LPARAM lParam) override {
      cTestDialog::OnCommand(wParam, lParam);
      if ((wParam & 0xFFFF) == 13) m_nNested = DefWindowMsg(m_hWnd, WM_COMMAND, 13, 0);
    }
    int m_nNested = -1;
  } dialog;
  cScriptedDialogs dialogs;
  dialogs.Script("click 13\nanswer ok");
  dialog.DoModal(0);
  EXPECT_EQ(dialog.m_nNested, 0);
  EXPECT_EQ(dialog.m_nCommands, 2);  // the click and OK; the nested one never arrived
}

// ---- keyboard hook routing ----------------------------------------------------------------------

struct RouteCase {
  const char* name;
  int vk;
  bool composing;
  uint32_t expected;  // the message that reaches the dialog (0: none)
};

class HookRouting : public ::testing::TestWithParam<RouteCase> {};

TEST_P(HookRouting, PostsWhatTheDialogSees) {
  const RouteCase& c = GetParam();
  cScriptedDialogs dialogs;
  cTestDialog dialog;
  std::vector<MSG> seen;
  dialogs.m_OnOpen = [&](HWND h) {
    DialogSetComposition(h, c.composing ? "a" : "");
    dialog.m_Messages.clear();
    RunKeyboardHook(c.vk, true);
    PumpDialogMessages(h);
    DialogSetComposition(h, "");
    seen = dialog.m_Messages;
  };
  dialogs.Script("answer ok");
  dialog.DoModal(0);
  const bool navigation = received(seen, WM_DIALOG_NAVKEY, static_cast<WPARAM>(c.vk));
  const bool keyDown = received(seen, WM_KEYDOWN, static_cast<WPARAM>(c.vk));
  if (c.expected == WM_DIALOG_NAVKEY) {
    EXPECT_TRUE(navigation);
    EXPECT_TRUE(keyDown);  // turned back into WM_KEYDOWN by the dialog
  } else if (c.expected == WM_KEYDOWN) {
    EXPECT_FALSE(navigation);
    EXPECT_TRUE(keyDown);
  } else {
    EXPECT_FALSE(navigation);
    EXPECT_FALSE(keyDown);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, HookRouting,
    ::testing::Values(RouteCase{"Space", VK_SPACE, false, WM_DIALOG_NAVKEY},
                      RouteCase{"Left", VK_LEFT, false, WM_DIALOG_NAVKEY},
                      RouteCase{"Down", VK_DOWN, false, WM_DIALOG_NAVKEY},
                      RouteCase{"Delete", VK_DELETE, false, WM_DIALOG_NAVKEY},
                      RouteCase{"F1", 0x70, false, WM_DIALOG_NAVKEY}, RouteCase{"F8", 0x77, false, WM_DIALOG_NAVKEY},
                      RouteCase{"F9", 0x78, false, WM_KEYDOWN}, RouteCase{"LeftComposing", VK_LEFT, true, WM_KEYDOWN},
                      RouteCase{"Home", VK_HOME, false, WM_KEYDOWN}, RouteCase{"Escape", VK_ESCAPE, false, WM_KEYDOWN},
                      RouteCase{"Letter", 'A', false, WM_KEYDOWN}, RouteCase{"Enter", VK_RETURN, false, WM_KEYDOWN},
                      RouteCase{"EnterComposing", VK_RETURN, true, 0}, RouteCase{"Tab", VK_TAB, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HookRoutingOutsideDialogs, EscWithoutADialogIsSwallowed) {
  HHOOK hook = SetWindowsHookEx(WH_KEYBOARD, KeyboardHookProc);
  ASSERT_NE(hook, nullptr);
  EXPECT_TRUE(RunKeyboardHook(VK_ESCAPE, true));
  EXPECT_FALSE(RunKeyboardHook('A', true));
  EXPECT_EQ(KeyboardHookProc(-1, VK_ESCAPE, 0), 0);  // not the hook's business
  UnhookWindowsHookEx(hook);
}

TEST(HookRoutingOutsideDialogs, CtrlHeldFollowsTheKey) {
  cScriptedDialogs dialogs;
  cTestDialog dialog;
  int32_t held = -1, released = -1;
  dialogs.m_OnOpen = [&](HWND) {
    RunKeyboardHook(VK_CONTROL, true);
    held = HookCtrlHeld();
    RunKeyboardHook(VK_CONTROL, false);
    released = HookCtrlHeld();
  };
  dialogs.Script("answer ok");
  dialog.DoModal(0);
  EXPECT_EQ(held, 1);
  EXPECT_EQ(released, 0);
}
}  // namespace
