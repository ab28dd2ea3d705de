// The start-up question and "user_data\Boot.dat": when it is asked, what each answer stores, and
// that ending the start leaves the file untouched.
#include "ui/start_dialog.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "data/system_data.h"
#include "dialog_test_support.h"
#include "shell/boot_data.h"
#include "shell/system_ini.h"
#include "test_support/fresh_game_data.h"
#include "ui/install_dialogs.h"

namespace {
std::vector<uint8_t> bootBytes(int32_t mode, int32_t noAsk) {
  std::vector<uint8_t> b;
  for (int32_t v : {986, 2, mode, noAsk, 0})
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
  return b;
}

// What start-up does with the dialog when "System.ini" leaves the drawing mode open: loads the boot
// record, asks unless told not to, and takes the drawing mode (1 Direct3D, else DirectDraw). false
// when the player ended the start.
bool AskAtStart(int* mode) {
  g_BootData.LoadFile(kBootDataPath);
  if (!g_BootData.m_bNoAsk && RunStartDialog(g_BootData) != 1) return false;
  *mode = g_BootData.m_nDrawMode == 1 ? 1 : 0;
  return true;
}

class StartDialogTest : public ::testing::Test {
 protected:
  StartDialogTest() : m_Folder("start_dialog") {
    g_IniSettings.English = 0;
    g_BootData.m_nDrawMode = 1;
    g_BootData.m_bNoAsk = 0;
    g_SystemData.m_strTitle = "テストゲーム";
  }
  void WriteBoot(const std::vector<uint8_t>& bytes) {
    m_Folder.Touch("user_data/Boot.dat", std::string(bytes.begin(), bytes.end()));
  }
  std::vector<uint8_t> ReadBoot() {
    std::ifstream f(m_Folder.Path() / "user_data" / "Boot.dat", std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
  }
  bool BootExists() { return std::filesystem::exists(m_Folder.Path() / "user_data" / "Boot.dat"); }

  cFreshGameData m_Fresh;
  cScratchGameFolder m_Folder;
  cScriptedDialogs m_Dialogs;
};

TEST_F(StartDialogTest, StartWithTheDefaultsStoresDirect3D) {
  bool direct3DChecked = false, boxTicked = true;
  std::string caption;
  m_Dialogs.m_OnOpen = [&](HWND h) {
    direct3DChecked = IsDlgButtonChecked(h, 1002) == BST_CHECKED && IsDlgButtonChecked(h, 1003) == BST_UNCHECKED;
    boxTicked = IsDlgButtonChecked(h, 1004) == BST_CHECKED;
    caption = GetDialogCaption(h);
  };
  m_Dialogs.Script("answer ok");
  int mode = -1;
  EXPECT_TRUE(AskAtStart(&mode));
  EXPECT_EQ(mode, 1);
  EXPECT_TRUE(direct3DChecked);
  EXPECT_FALSE(boxTicked);
  EXPECT_EQ(caption, "テストゲーム");
  EXPECT_EQ(ReadBoot(), bootBytes(1, 0));
}

TEST_F(StartDialogTest, DirectDrawAndDoNotAskAreStoredAndSkipTheNextStart) {
  m_Dialogs.Script("click 1003\nclick 1004\nanswer ok");
  int mode = -1;
  EXPECT_TRUE(AskAtStart(&mode));
  EXPECT_EQ(mode, 0);
  EXPECT_EQ(ReadBoot(), bootBytes(0, 1));
  // The next start asks nothing (no scripted line is needed) and draws with DirectDraw.
  g_BootData.m_nDrawMode = 1;
  g_BootData.m_bNoAsk = 0;
  m_Dialogs.Script("");
  EXPECT_TRUE(AskAtStart(&mode));
  EXPECT_EQ(mode, 0);
  EXPECT_EQ(m_Dialogs.Unanswered(), 0);
}

struct StoredCase {
  int32_t mode, noAsk;
  int expected;
};

class StartDialogStored : public StartDialogTest, public ::testing::WithParamInterface<StoredCase> {};

TEST_P(StartDialogStored, DoNotAskUsesTheStoredMode) {
  WriteBoot(bootBytes(GetParam().mode, GetParam().noAsk));
  m_Dialogs.Script("");
  int mode = -1;
  EXPECT_TRUE(AskAtStart(&mode));
  EXPECT_EQ(mode, GetParam().expected);
  EXPECT_EQ(m_Dialogs.Unanswered(), 0);
  EXPECT_EQ(ReadBoot(), bootBytes(GetParam().mode, GetParam().noAsk));  // untouched
}

INSTANTIATE_TEST_SUITE_P(Cases, StartDialogStored,
                         ::testing::Values(StoredCase{0, 1, 0}, StoredCase{1, 1, 1}, StoredCase{7, 1, 0}));

TEST_F(StartDialogTest, EndingTheStartLeavesBootDatUntouched) {
  for (const char* answer : {"click 1001", "answer cancel"}) {
    m_Dialogs.Script(std::string("click 1003\nclick 1004\n") + answer);
    int mode = -1;
    EXPECT_FALSE(AskAtStart(&mode)) << answer;
    EXPECT_FALSE(BootExists()) << answer;
  }
  WriteBoot(bootBytes(1, 0));
  m_Dialogs.Script("click 1003\nclick 1001");
  int mode = -1;
  EXPECT_FALSE(AskAtStart(&mode));
  EXPECT_EQ(ReadBoot(), bootBytes(1, 0));
}

TEST_F(StartDialogTest, DamagedBootDatKeepsTheDefaults) {
  WriteBoot({0xDA, 0x03, 0x00, 0x00, 0x02, 0x00});  // cut short
  bool direct3DChecked = false;
  m_Dialogs.m_OnOpen = [&](HWND h) { direct3DChecked = IsDlgButtonChecked(h, 1002) == BST_CHECKED; };
  m_Dialogs.Script("answer ok");
  int mode = -1;
  EXPECT_TRUE(AskAtStart(&mode));
  EXPECT_TRUE(direct3DChecked);
  EXPECT_EQ(mode, 1);
}

TEST_F(StartDialogTest, EnglishTexts) {
  g_IniSettings.English = 1;
  std::map<int, std::string> texts;
  m_Dialogs.m_OnOpen = [&](HWND h) {
    for (int id : {1006, 1000, 1001, 1005, 1004, 1002, 1003}) texts[id] = DlgItemText(h, id);
  };
  m_Dialogs.Script("click 1001");
  int mode = -1;
  AskAtStart(&mode);
  EXPECT_EQ(texts[1006], "Drawing mode");
  EXPECT_EQ(texts[1000], "Start");
  EXPECT_EQ(texts[1001], "Cancel");
  EXPECT_EQ(texts[1005], "Configure the detail settings at \"System.ini\".");
  EXPECT_EQ(texts[1004], "Do not ask this dialog again");
  EXPECT_EQ(texts[1002], "Direct3D");
  EXPECT_EQ(texts[1003], "DirectDraw");
}

TEST(StartDialogPlace, FromTheMainWindow) {
  g_BootData.m_nDrawMode = 1;
  cStartDialog dialog(103, nullptr, nullptr);
  EXPECT_EQ(dialog.m_nReqX, 133);
  EXPECT_EQ(dialog.m_nReqY, 104);
  int x = 0, y = 0;
  ASSERT_TRUE(GetDialogCursorPos(&x, &y));
  EXPECT_EQ(x, 314);
  EXPECT_EQ(y, 302);
}
}  // namespace
