// A whole headless run: a small game folder, 120 frames with scripted input, a clean end with its
// report log.
#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "data/database.h"
#include "data/system_data.h"
#include "shell/input_state.h"
#include "shell/game_loop.h"
#include "shell/program.h"

namespace fs = std::filesystem;

namespace {
std::string readFile(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

TEST(HeadlessRun, HundredTwentyFramesEndCleanly) {
  char cwd[PATH_MAX];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  fs::path game = fs::temp_directory_path() / ("qc4_headless_" + std::to_string(getpid()));
  fs::remove_all(game);
  fs::create_directories(game / "data" / "database");
  ASSERT_EQ(chdir(game.c_str()), 0);
  // The project as a new project of the editor starts: default settings and database.
  cSystemData project;
  ASSERT_EQ(project.SaveFile("data\\System.dat"), 1);
  cDatabase database;
  for (int i = 0; i < kDatabaseFileCount; ++i) {
    auto which = static_cast<eDatabaseFile>(i);
    ASSERT_TRUE(database.SaveDatabaseFile(which, std::string("data\\database\\") + DatabaseFileName(which)));
  }
  {
    std::ofstream ini("System.ini", std::ios::binary);
    ini << "Direct3D=0\r\nWindowMode=1\r\nShowFps=0\r\nExit\r\n";
    std::ofstream script("input.txt");
    script << "# hold right from frame 10, tap Z on frames 30-31\n"
              "10 press RIGHT\n30 press Z\n32 release Z\n";
  }
  ASSERT_EQ(chdir(cwd), 0);

  cCommandLine cl;
  cl.gameDir = game.string();
  cl.headless = true;
  cl.frames = 120;
  cl.inputScript = (game / "input.txt").string();
  int code = RunProgram(cl);
  ASSERT_EQ(chdir(cwd), 0);

  EXPECT_EQ(code, 0);
  EXPECT_EQ(PolledFrames(), 120u);
  EXPECT_EQ(g_InputStates[0].m_wDir, kDirRight);
  EXPECT_EQ(g_InputStates[0].m_wButton, 0);
  std::string report = readFile(game / "Report_Game.txt");
  EXPECT_NE(report.find("App : ver 986"), std::string::npos) << report;
  // Closed through the normal path: the window placement of the windowed mode was saved.
  EXPECT_TRUE(fs::exists(game / "user_data" / "Window.dat"));
  EXPECT_TRUE(fs::exists(game / "user_data" / "rpl4"));
  fs::remove_all(game);
}
}  // namespace
