// The dialogs served through the main window's hooks: the game thread's requests (the messages the
// main window handles) open the dialogs, and only a chosen answer is acted on.
#include "ui/install_dialogs.h"

#include <gtest/gtest.h>

#include "data/option_data.h"
#include "data/play_mode.h"
#include "dialog_test_support.h"
#include "shell/main_window.h"
#include "shell/system_ini.h"
#include "test_support/fresh_game_data.h"
#include "test_support/hooks_guard.h"
#include "ui/dialog.h"
#include "ui/dialog_sources.h"
#include "ui/name_dialog.h"

namespace {
int s_nSavedWhich = -1;
std::string s_strSavedName;

class InstalledDialogs : public ::testing::Test {
 protected:
  InstalledDialogs() : m_Folder("installed_dialogs") {
    g_IniSettings.English = 0;
    s_nSavedWhich = -1;
    s_strSavedName.clear();
    InstallDialogs();
    cUiHooks ui = UiHooks();
    ui.saveReplay = [](int which, const std::string& name) {
      s_nSavedWhich = which;
      s_strSavedName = name;
      return true;
    };
    SetUiHooks(ui);
    cDialogSourceHooks sources;
    sources.playedStagePath = [] { return std::string("data\\stg4\\c01-1.stg4_000"); };
    SetDialogSourceHooks(sources);
  }
  ~InstalledDialogs() override {
    SetUiHooks(cUiHooks{});
    SetDialogSourceHooks(cDialogSourceHooks{});
  }

  cFreshGameData m_Fresh;
  cScratchGameFolder m_Folder;
  cScriptedDialogs m_Dialogs;
};

TEST_F(InstalledDialogs, NameEntryRequestEditsTheNameAndSaysDone) {
  g_nPlayMode = kPlayModeOptions;
  g_nNameEntryDone.store(0);
  m_Dialogs.Script("type xyz\nanswer ok");
  MainWndProc(nullptr, kMsgNameEntry, 0, 0);
  EXPECT_EQ(g_nNameEntryDone.load(), 1);
  EXPECT_EQ(g_OptionData.m_strRankingName, "xyz");
}

TEST_F(InstalledDialogs, ReplaySaveRequestSavesThePlayItWasAskedFor) {
  g_nReplaySaveDone.store(0);
  m_Dialogs.Script("click 1002");
  MainWndProc(nullptr, kMsgReplaySaveDialog, 1, 0);
  EXPECT_EQ(g_nReplaySaveDone.load(), 1);
  EXPECT_EQ(s_nSavedWhich, 1);
  EXPECT_NE(s_strSavedName.find("_c01-1.rpl4_986"), std::string::npos) << s_strSavedName;
}

TEST_F(InstalledDialogs, CancelledReplaySaveSavesNothing) {
  g_nReplaySaveDone.store(0);
  m_Dialogs.Script("click 1001");
  MainWndProc(nullptr, kMsgReplaySaveDialog, 0, 0);
  EXPECT_EQ(g_nReplaySaveDone.load(), 1);
  EXPECT_EQ(s_nSavedWhich, -1);
}

TEST(DialogWindowGroup, DisabledWhileTheDialogRunsWhenItsFlagsAskForIt) {
  cScriptedDialogs dialogs;
  cChildWindow child;
  child.m_hWnd = reinterpret_cast<HWND>(0x20);
  cWindowGroup group;
  group.m_Children.push_back(&child);
  cNameDialog dialog(102, nullptr, &group);
  uint32_t during = 0;
  int32_t shownDuring = 1;
  dialogs.m_OnOpen = [&](HWND) {
    during = child.m_nStyle;
    shownDuring = child.m_bShown;
  };
  dialogs.Script("answer ok");
  dialog.DoModal(2 | 4);
  EXPECT_EQ(during & WS_DISABLED, WS_DISABLED);
  EXPECT_EQ(shownDuring, 0);
  EXPECT_EQ(child.m_nStyle & WS_DISABLED, 0u);
  EXPECT_EQ(child.m_bShown, 1);
}
}  // namespace
