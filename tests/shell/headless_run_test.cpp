// A whole headless run: the demo game, 120 frames with scripted input, a clean end with its
// report log.
#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "data/game_data.h"
#include "data/option_bytes.h"
#include "media/sound/music_requests.h"
#include "platform/window/game_window.h"
#include "shell/game_loop.h"
#include "shell/input_state.h"
#include "shell/program.h"
#include "test_support/fresh_game_data.h"
#include "test_support/temp_dir.h"

namespace fs = std::filesystem;

namespace {
std::string readFile(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

TEST(HeadlessRun, HundredTwentyFramesEndCleanly) {
  cFreshGameData freshGameData;
  // The generated demo game: start-up needs its pictures, world map and common palette.
  fs::path game = TestTempDir() / "headless_game";
  fs::remove_all(game);
  const std::string makeDemo =
      "'" + std::string(QC4_BINARY_DIR) + "/tools/qc4-make-demo' '" + game.string() + "' >/dev/null 2>&1";
  ASSERT_EQ(std::system(makeDemo.c_str()), 0) << "qc4-make-demo failed; is it built?";
  {
    std::ofstream ini(game / "System.ini", std::ios::binary);
    ini << "Direct3D=0\r\nWindowMode=1\r\nShowFps=0\r\nReplay_AutomaticSave=1\r\nExit\r\n";
    // The player's options from an older writer: no replay options yet, music on, sound step 4.
    fs::create_directories(game / "user_data");
    cOptionFileValues options;
    options.bgmVolume = 1;
    options.seVolume = 4;
    const std::vector<uint8_t> bytes = OptionFile(931, options);
    std::ofstream(game / "user_data" / "Option.dat", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    std::ofstream script(game / "input.txt");
    script << "# hold right from frame 10, tap Z on frames 30-31\n"
              "10 press RIGHT\n30 press Z\n32 release Z\n";
  }
  char cwd[PATH_MAX];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);

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
  // Closed through the normal path; no window placement is saved from a run without a window.
  EXPECT_FALSE(fs::exists(game / "user_data" / "Window.dat"));
  EXPECT_TRUE(fs::exists(game / "user_data" / "rpl4"));
  // Start-up read the options with their fix-ups, then the replay key of "System.ini" over them.
  EXPECT_EQ(g_OptionData.m_nSeVolume, 5);
  EXPECT_EQ(GetBgmVolumeStep(), 7);
  EXPECT_EQ(g_OptionData.m_nReplayOrder, 2);
  EXPECT_EQ(g_OptionData.m_nReplayAutoSave, 1);
  fs::remove_all(game);
}

// "user_data\Window.dat" as a player's earlier run left it (version, five int32 fields x, y, width,
// height, zoomed, no strings): a placement off the desktop and a size no desktop holds are not
// restored as they stand. The headless desktop's work area is 1920 x 1040 of 1920 x 1080. The run
// leaves the file as it was.
TEST(HeadlessRun, StoredWindowPlacementStaysOnTheDesktop) {
  fs::path game = TestTempDir() / "placement_game";
  fs::remove_all(game);
  const std::string makeDemo =
      "'" + std::string(QC4_BINARY_DIR) + "/tools/qc4-make-demo' '" + game.string() + "' >/dev/null 2>&1";
  ASSERT_EQ(std::system(makeDemo.c_str()), 0) << "qc4-make-demo failed; is it built?";
  fs::create_directories(game / "user_data");
  struct Case {
    const char* name;
    int windowMode;
    std::vector<int32_t> stored;  // x, y, width, height
    std::vector<int32_t> shown;
  };
  const Case cases[] = {
      // Zoom 2 as stored.
      {"kept", 1, {100, 50, 1280, 960}, {100, 50, 1280, 960}},
      // Off the desktop: pulled back so that the title bar can be grabbed.
      {"off screen", 1, {-3000, 90000, 640, 480}, {0, 1040 - 32, 640, 480}},
      // Far too large for any desktop: the largest zoom (2), centred, instead.
      {"huge", 1, {0, 0, 64000, 48000}, {(1920 - 1280) / 2, (1080 - 960) / 2, 1280, 960}},
      {"huge free size", 2, {10, 10, 50000, 300}, {10, 10, 1920, 300}},
      // Not a zoom the game offers (two factors, or none): the largest zoom, centred.
      {"two factors", 1, {100, 50, 1280, 480}, {320, 60, 1280, 960}},
      {"no size", 1, {100, 50, 0, 0}, {320, 60, 1280, 960}},
      // A free size in the sizable window is kept as it stands.
      {"free size", 2, {100, 50, 1000, 700}, {100, 50, 1000, 700}},
  };
  char cwd[PATH_MAX];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cFreshGameData freshGameData;
    std::ofstream(game / "System.ini", std::ios::binary)
        << "Direct3D=1\r\nWindowMode=" << c.windowMode << "\r\nShowFps=0\r\nExit\r\n";
    std::vector<int32_t> words = {986, 5};
    words.insert(words.end(), c.stored.begin(), c.stored.end());
    words.insert(words.end(), {0, 0});
    const std::string stored(reinterpret_cast<const char*>(words.data()), words.size() * 4);
    std::ofstream(game / "user_data" / "Window.dat", std::ios::binary) << stored;

    cCommandLine cl;
    cl.gameDir = game.string();
    cl.headless = true;
    cl.frames = 3;
    const int code = RunProgram(cl);
    ASSERT_EQ(chdir(cwd), 0);
    ASSERT_EQ(code, 0);
    // Where the window stood when the run ended (a headless window has no frame).
    const QcRect r = GameWindowRect();
    int width = 0, height = 0;
    GameWindowClientSize(&width, &height);
    EXPECT_EQ((std::vector<int32_t>{r.left, r.top, width, height}), c.shown);
    EXPECT_EQ(readFile(game / "user_data" / "Window.dat"), stored);
  }
  fs::remove_all(game);
}
}  // namespace
