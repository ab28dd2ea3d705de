// The program's entry before any window exists: a second start in the same game folder asks the
// double-start question, and No ends it at once; the game's data already knows whether it is a
// test play.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <string>

#include "data/game_data.h"
#include "platform/instance/single_instance.h"
#include "platform/message_box.h"
#include "platform/messages.h"
#include "shell/app_globals.h"
#include "shell/app_init.h"
#include "shell/win_main.h"
#include "test_support/fresh_game_data.h"

namespace fs = std::filesystem;

namespace {
struct Box {
  std::string text, caption;
  unsigned type = 0;
};
std::vector<Box> g_boxes;

TEST(WinMain, SecondStartAnsweredNoEnds) {
  char cwd[PATH_MAX];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  char tmpl[] = "/tmp/qc4_winmain_XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const fs::path folder = tmpl;
  fs::create_directories(folder / "user_data");
  ASSERT_EQ(chdir(folder.c_str()), 0);
  // The running instance: it holds the folder's lock.
  int running = ::open("user_data/qc4_instance.lock", O_RDWR | O_CREAT, 0644);
  ASSERT_GE(running, 0);
  ASSERT_EQ(::flock(running, LOCK_EX | LOCK_NB), 0);

  cFreshGameData freshGameData;
  SetMessageBoxHandler([](const char* text, const char* caption, unsigned type) {
    g_boxes.push_back(Box{text, caption, type});
    return IDNO;
  });
  // A start by the player, then a test play started by the editor.
  for (int showCmd : {SW_SHOWNORMAL, SW_SHOW}) {
    g_boxes.clear();
    EXPECT_EQ(WinMain("data\\stg4\\test.stg4", showCmd), 0);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(
        g_boxes[0].text,
        "既に起動しています。\n実行中のプログラムを閉じて再起動しますか？\n\nWould you like to restart the game?");
    EXPECT_EQ(g_boxes[0].caption, "二重起動");
    EXPECT_EQ(g_boxes[0].type, MB_YESNO);
    EXPECT_FALSE(HoldsInstanceLock());
    // No request was left for the running instance.
    EXPECT_FALSE(fs::exists("user_data/qc4_close_request"));
    EXPECT_TRUE(fs::exists("Report_Game.txt"));
    // The game's data learns at once whether this run is a test play (its test-play flows stay).
    EXPECT_EQ(g_GameData.m_bTestPlay, showCmd == SW_SHOW ? 1 : 0);
  }
  SetMessageBoxHandler(nullptr);
  g_TestPlay = 0;
  g_TestPlayPath.clear();

  ::close(running);
  ASSERT_EQ(chdir(cwd), 0);
  fs::remove_all(folder);
}
}  // namespace
