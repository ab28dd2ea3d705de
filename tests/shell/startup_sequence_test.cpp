// The start-up sequence on the generated demo game, run headless in this process: each answer to the
// drawing-mode question (and each stored choice that skips it) starts the game in the chosen drawing
// mode, seen in the report log's display lines and in the loaded settings; "user_data\Boot.dat" is
// read as its byte layout says and left alone when nothing was chosen; a cancelled question ends
// start-up before the display exists; the report log holds the machine's report right after its
// first line and the display's report once the display exists; the worker threads are gone at the end.
#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "core/thread.h"
#include "data/system_data.h"
#include "platform/window/game_window.h"
#include "shell/app_globals.h"
#include "shell/boot_data.h"
#include "shell/game_loop.h"
#include "shell/list_positions.h"
#include "shell/main_window.h"
#include "shell/program.h"
#include "shell/scene_mgr.h"
#include "shell/system_ini.h"
#include "test_support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

void writeFile(const fs::path& p, const std::string& bytes) {
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << bytes;
}

std::string int32(int32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
  return s;
}

// "user_data\Boot.dat": the data version, then a record of two numbers (drawing mode, do not ask) and
// no strings.
std::string bootFile(int32_t drawMode, int32_t noAsk) {
  return int32(986) + int32(2) + int32(drawMode) + int32(noAsk) + int32(0);
}

// What the start-up dialog is asked, and how it answers: the player's choice, saved as the dialog
// saves it on "start".
struct cDialogScript {
  int calls = 0;
  int seenDrawMode = -1;
  int seenNoAsk = -1;
  int answer = 1;
  int chooseDrawMode = 1;
  int chooseNoAsk = 0;
};
cDialogScript s_dialog;

int scriptedStartupDialog(cBootData& boot) {
  ++s_dialog.calls;
  s_dialog.seenDrawMode = boot.m_nDrawMode;
  s_dialog.seenNoAsk = boot.m_bNoAsk;
  if (s_dialog.answer != 1) return s_dialog.answer;
  boot.m_nDrawMode = s_dialog.chooseDrawMode;
  boot.m_bNoAsk = s_dialog.chooseNoAsk;
  boot.SaveFile(kBootDataPath);
  return 1;
}

struct StartCase {
  const char* name;
  int direct3dSetting;
  const char* storedBoot;  // null: no Boot.dat; else "mode,ask"
  bool dialogUi;           // the start-up dialog is installed
  int answer;              // the dialog's result
  int chooseDrawMode;
  int chooseNoAsk;
  // Expected.
  int dialogCalls;
  bool starts;
  int direct3d;           // the drawing mode the game runs in
  const char* bootAfter;  // null: no Boot.dat; "same": untouched; else "mode,ask"
};

void PrintTo(const StartCase& c, std::ostream* os) { *os << c.name; }

class StartupFixture : public testing::Test {
 protected:
  void SetUp() override {
    // The process-wide objects a fresh process starts with: every run here is a start of its own.
    g_BootData.m_nDrawMode = 1;
    g_BootData.m_bNoAsk = 0;
    g_IniSettings = INISETTINGS{};
    g_DirectPlay = 0;
    g_ReturnToTitle = 0;
    g_TestPlay = 0;
    g_TestPlayPath.clear();
    g_GameStarted = 0;
    m_game = TestTempDir() / "startup_game";
    fs::remove_all(m_game);
    const std::string makeDemo =
        "'" + std::string(QC4_BINARY_DIR) + "/tools/qc4-make-demo' '" + m_game.string() + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(makeDemo.c_str()), 0) << "qc4-make-demo failed; is it built?";
    ASSERT_NE(getcwd(m_cwd, sizeof m_cwd), nullptr);
  }
  void TearDown() override { fs::remove_all(m_game); }

  void writeIni(int direct3d) {
    writeFile(m_game / "System.ini",
              "Direct3D=" + std::to_string(direct3d) + "\r\nWindowMode=1\r\nShowFps=0\r\nExit\r\n");
  }

  int run(int frames) {
    cCommandLine cl;
    cl.gameDir = m_game.string();
    cl.headless = true;
    cl.frames = frames;
    const int code = RunProgram(cl);
    EXPECT_EQ(chdir(m_cwd), 0);
    return code;
  }

  std::string report() const { return readFile(m_game / "Report_Game.txt"); }
  fs::path bootPath() const { return m_game / "user_data" / "Boot.dat"; }

  fs::path m_game;
  char m_cwd[PATH_MAX] = {};
};

class StartupSequenceTest : public StartupFixture, public testing::WithParamInterface<StartCase> {};
class StartupRunTest : public StartupFixture {};

TEST_P(StartupSequenceTest, DrawingModeAnswers) {
  const StartCase& c = GetParam();
  writeIni(c.direct3dSetting);
  std::string storedBytes;
  if (c.storedBoot) {
    storedBytes = bootFile(c.storedBoot[0] - '0', c.storedBoot[2] - '0');
    writeFile(bootPath(), storedBytes);
  }
  s_dialog = cDialogScript{};
  s_dialog.answer = c.answer;
  s_dialog.chooseDrawMode = c.chooseDrawMode;
  s_dialog.chooseNoAsk = c.chooseNoAsk;
  cUiHooks hooks = UiHooks();
  hooks.runStartupDialog = c.dialogUi ? scriptedStartupDialog : nullptr;
  const cUiHooks old = SetUiHooks(hooks);
  const int code = run(5);
  SetUiHooks(old);

  EXPECT_EQ(code, 0);
  EXPECT_EQ(s_dialog.calls, c.dialogCalls);
  if (c.dialogCalls) {
    // The dialog shows the stored choice, or Direct3D and "ask again" without a file.
    EXPECT_EQ(s_dialog.seenDrawMode, c.storedBoot ? c.storedBoot[0] - '0' : 1);
    EXPECT_EQ(s_dialog.seenNoAsk, c.storedBoot ? c.storedBoot[2] - '0' : 0);
  }

  const std::string log = report();
  ASSERT_EQ(log.rfind("App : ver 986\nOS : ", 0), 0u) << log;
  const size_t display = log.find("Mode : Window\nBpp : 32\n");
  if (!c.starts) {
    // Ended before the display existed: nothing was shown and no frame ran.
    EXPECT_EQ(display, std::string::npos) << log;
    EXPECT_EQ(PolledFrames(), 0u);
  } else {
    ASSERT_NE(display, std::string::npos) << log;
    EXPECT_GT(display, log.find("Display : ("));
    EXPECT_EQ(PolledFrames(), 5u);
    EXPECT_EQ(g_IniSettings.Direct3D, c.direct3d);
    if (c.direct3d) {
      EXPECT_NE(log.find("Bpp : 32\n---デバイス0\n"), std::string::npos) << log;
      EXPECT_EQ(log.find("RR : "), std::string::npos) << log;
    } else {
      EXPECT_NE(log.find("Bpp : 32\nRR : 60\n"), std::string::npos) << log;
      EXPECT_EQ(log.find("---デバイス"), std::string::npos) << log;
    }
  }

  if (!c.bootAfter) {
    EXPECT_FALSE(fs::exists(bootPath()));
  } else if (std::string(c.bootAfter) == "same") {
    EXPECT_EQ(readFile(bootPath()), storedBytes);
  } else {
    EXPECT_EQ(readFile(bootPath()), bootFile(c.bootAfter[0] - '0', c.bootAfter[2] - '0'));
  }
  // Every worker thread has ended before the program's entry returned.
  for (cThread* t : {&thGame, &thPause, &thRanking, &thLoad}) EXPECT_FALSE(t->HasThread());
}

INSTANTIATE_TEST_SUITE_P(
    Answers, StartupSequenceTest,
    testing::Values(
        // Asked without a stored choice: Direct3D kept; DirectDraw chosen and not to be asked again.
        StartCase{"AskedStartsDirect3D", 2, nullptr, true, 1, 1, 0, 1, true, 1, "1,0"},
        StartCase{"AskedChoosesDirectDraw", 2, nullptr, true, 1, 0, 1, 1, true, 0, "0,1"},
        // Asked again because the stored choice says so; the dialog starts from it.
        StartCase{"AskedFromStoredChoice", 2, "0,0", true, 1, 1, 0, 1, true, 1, "1,0"},
        // "Do not ask": the stored choice, 1 Direct3D and anything else DirectDraw.
        StartCase{"StoredDirectDraw", 2, "0,1", true, 1, 1, 0, 0, true, 0, "same"},
        StartCase{"StoredDirect3D", 2, "1,1", true, 1, 0, 0, 0, true, 1, "same"},
        StartCase{"StoredOddModeIsDirectDraw", 2, "7,1", true, 1, 1, 0, 0, true, 0, "same"},
        // "ゲーム中止": start-up ends, the file is not touched.
        StartCase{"CancelEndsStartUp", 2, "0,0", true, 0, 1, 1, 1, false, 0, "same"},
        StartCase{"CancelWithoutFile", 2, nullptr, true, 0, 1, 1, 1, false, 0, nullptr},
        // Any setting from 2 up asks.
        StartCase{"SettingThreeAsks", 3, nullptr, true, 1, 0, 0, 1, true, 0, "0,0"},
        // No dialog available: the stored choice stands as if confirmed, nothing is written.
        StartCase{"NoDialogKeepsDirect3D", 2, nullptr, false, 1, 0, 0, 0, true, 1, nullptr},
        StartCase{"NoDialogKeepsStoredChoice", 2, "0,0", false, 1, 1, 0, 0, true, 0, "same"},
        // A fixed drawing mode never asks and never reads the file.
        StartCase{"FixedDirectDraw", 0, "1,0", true, 1, 1, 0, 0, true, 0, "same"},
        StartCase{"FixedDirect3D", 1, "0,0", true, 1, 0, 0, 0, true, 1, "same"}),
    [](const testing::TestParamInfo<StartCase>& info) { return std::string(info.param.name); });

// A damaged or too new Boot.dat is not believed: the dialog starts from Direct3D and "ask again", and
// the file stays as it was when the player chose not to start.
class DamagedBootFileTest : public StartupFixture, public testing::WithParamInterface<std::string> {};

TEST_P(DamagedBootFileTest, KeepsTheDefaults) {
  const std::string& bytes = GetParam();
  writeIni(2);
  writeFile(bootPath(), bytes);
  s_dialog = cDialogScript{};
  s_dialog.answer = 0;
  cUiHooks hooks = UiHooks();
  hooks.runStartupDialog = scriptedStartupDialog;
  const cUiHooks old = SetUiHooks(hooks);
  run(1);
  SetUiHooks(old);
  EXPECT_EQ(s_dialog.calls, 1);
  EXPECT_EQ(s_dialog.seenDrawMode, 1);
  EXPECT_EQ(s_dialog.seenNoAsk, 0);
  EXPECT_EQ(readFile(bootPath()), bytes);
}

const std::string kNewerBoot = int32(987) + int32(2) + int32(0) + int32(1) + int32(0);
const std::string kShortBoot = int32(986) + int32(2) + int32(0);
const std::string kBadCountBoot = int32(986) + int32(-5) + int32(0) + int32(1) + int32(0);

std::string damagedFileName(const testing::TestParamInfo<std::string>& info) {
  const char* const names[] = {"WrittenByANewerGame", "CutShort", "ImpossibleCount"};
  return names[info.index];
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedBootFileTest, testing::Values(kNewerBoot, kShortBoot, kBadCountBoot),
                         damagedFileName);

// The list positions are read at start and written back at the end of a run that started, in their
// record layout: the version, the numbers, then the strings with their NUL.
TEST_F(StartupRunTest, ListPositionsReadAtStartAndWrittenAtExit) {
  writeIni(0);
  const std::string freeBytes =
      int32(986) + int32(2) + int32(3) + int32(0) + int32(1) + int32(15) + std::string("c01-1.stg4_000", 15);
  const std::string replayBytes =
      int32(986) + int32(2) + int32(2) + int32(1) + int32(1) + int32(11) + std::string("a.rpl4_986", 11);
  writeFile(m_game / "user_data" / "Free.dat", freeBytes);
  writeFile(m_game / "user_data" / "Replay.dat", replayBytes);

  ASSERT_EQ(run(3), 0);
  EXPECT_EQ(g_FreeData.m_nCursor, 3);
  EXPECT_EQ(g_FreeData.m_strFileName, "c01-1.stg4_000");
  EXPECT_EQ(g_ReplayData.m_nCursor, 2);
  EXPECT_EQ(g_ReplayData.m_nSortOrder, 1);
  EXPECT_EQ(g_ReplayData.m_strFileName, "a.rpl4_986");
  // Written again at the end, as they were read.
  EXPECT_EQ(readFile(m_game / "user_data" / "Free.dat"), freeBytes);
  EXPECT_EQ(readFile(m_game / "user_data" / "Replay.dat"), replayBytes);
}

// A run whose start-up ended saves no list positions.
// Only a Direct3D window in window mode 2 gets a frame the player can drag to another size.
TEST_F(StartupRunTest, OnlyADirect3DWindowInModeTwoIsSizable) {
  struct Case {
    int direct3d, windowMode;
    bool sizable;
  };
  for (const Case& c : {Case{1, 2, true}, Case{1, 1, false}, Case{0, 2, false}, Case{0, 1, false}}) {
    writeFile(m_game / "System.ini", "Direct3D=" + std::to_string(c.direct3d) +
                                         "\r\nWindowMode=" + std::to_string(c.windowMode) + "\r\nExit\r\n");
    EXPECT_EQ(run(3), 0);
    EXPECT_EQ(GameWindowIsSizable(), c.sizable) << "Direct3D=" << c.direct3d << " WindowMode=" << c.windowMode;
  }
}

TEST_F(StartupRunTest, ARunThatDidNotStartSavesNothing) {
  writeIni(2);
  cUiHooks hooks = UiHooks();
  hooks.runStartupDialog = [](cBootData&) { return 0; };
  const cUiHooks old = SetUiHooks(hooks);
  run(3);
  SetUiHooks(old);
  EXPECT_FALSE(fs::exists(m_game / "user_data" / "Free.dat"));
  EXPECT_FALSE(fs::exists(m_game / "user_data" / "Replay.dat"));
}

// The direct start of a "FreeStage" or test-play stage: the newest numbered variant is what stage
// play is asked to start; a stage without any file is only reported and the game starts at its
// title; the project's return-to-title switch sends a FreeStage start (not a test play) back to the
// title without rankings; a stage that does not load ends start-up.
struct DirectStartCase {
  const char* name;
  const char* freeStage;  // "System.ini" FreeStage, or the test play's stage when testPlay
  bool testPlay;
  int returnSwitch;  // the project's direct-start-returns-to-title switch
  bool stageLoads;   // what stage play answers
  // Expected.
  const char* started;  // the path stage play is asked to start ("" none)
  bool starts;
  int directPlay;
  int returnToTitle;
  int rankingOn;
  bool reported;  // the missing-file line in the report log
};

void PrintTo(const DirectStartCase& c, std::ostream* os) { *os << c.name; }

class DirectStartTest : public StartupFixture, public testing::WithParamInterface<DirectStartCase> {};

std::string s_startedPath;
bool s_stageLoads = true;
int s_startCalls = 0;

bool scriptedDirectStart(const std::string& path) {
  ++s_startCalls;
  s_startedPath = path;
  return s_stageLoads;
}

TEST_P(DirectStartTest, NewestVariantAndItsModes) {
  const DirectStartCase& c = GetParam();
  writeFile(m_game / "data" / "stg4" / "x.stg4_002", "two");
  writeFile(m_game / "data" / "stg4" / "x.stg4_010", "ten");
  std::string ini = "Direct3D=0\r\nWindowMode=1\r\nShowFps=0\r\n";
  if (!c.testPlay) ini += std::string("FreeStage=") + c.freeStage + "\r\n";
  writeFile(m_game / "System.ini", ini + "Exit\r\n");
  {
    // The switch is a project setting: written into "data\System.dat" through its record.
    ASSERT_EQ(chdir(m_game.c_str()), 0);
    cSystemData project;
    ASSERT_TRUE(project.LoadFile("data\\System.dat"));
    project.m_nDisplayOpt880 = c.returnSwitch;
    ASSERT_TRUE(project.SaveFile("data\\System.dat"));
    ASSERT_EQ(chdir(m_cwd), 0);
  }
  s_startedPath = "(not asked)";
  s_stageLoads = c.stageLoads;
  s_startCalls = 0;
  cUiHooks hooks = UiHooks();
  hooks.startStageDirectly = scriptedDirectStart;
  const cUiHooks old = SetUiHooks(hooks);
  cCommandLine cl;
  cl.gameDir = m_game.string();
  cl.headless = true;
  cl.frames = 3;
  cl.testPlay = c.testPlay;
  if (c.testPlay) cl.testPlayStage = c.freeStage;
  RunProgram(cl);
  EXPECT_EQ(chdir(m_cwd), 0);
  SetUiHooks(old);

  EXPECT_EQ(s_startCalls, 1);
  EXPECT_EQ(s_startedPath, c.started);
  EXPECT_EQ(PolledFrames(), c.starts ? 3u : 0u);
  EXPECT_EQ(g_DirectPlay, c.directPlay);
  EXPECT_EQ(g_ReturnToTitle, c.returnToTitle);
  if (c.starts && c.directPlay) { EXPECT_EQ(g_RankingOn, c.rankingOn); }
  const std::string line = std::string("「") + c.freeStage + "」の読み込みに失敗しました！\n";
  EXPECT_EQ(report().find(line) != std::string::npos, c.reported) << report();
  // A stage that was not there is forgotten: the game runs at its title.
  if (c.reported) { EXPECT_STREQ(g_IniSettings.FreeStage, ""); }
}

INSTANTIATE_TEST_SUITE_P(Stages, DirectStartTest,
                         testing::Values(DirectStartCase{"NewestVariant", "data\\stg4\\x.stg4", false, 0, true,
                                                         "data\\stg4\\x.stg4_010", true, 1, 0, 1, false},
                                         // Whatever number the setting carries, the newest variant plays.
                                         DirectStartCase{"NumberedSettingStillNewest", "data\\stg4\\x.stg4_002", false,
                                                         0, true, "data\\stg4\\x.stg4_010", true, 1, 0, 1, false},
                                         DirectStartCase{"ReturnsToTitle", "data\\stg4\\x.stg4", false, 1, true,
                                                         "data\\stg4\\x.stg4_010", true, 1, 1, 0, false},
                                         // A test play never returns to the title and keeps its rankings.
                                         DirectStartCase{"TestPlayKeepsRankings", "data\\stg4\\x.stg4", true, 1, true,
                                                         "data\\stg4\\x.stg4_010", true, 1, 0, 1, false},
                                         DirectStartCase{"MissingStageStartsAtTitle", "data\\stg4\\none.stg4", false, 0,
                                                         true, "", true, 0, 0, 0, true},
                                         DirectStartCase{"StageThatDoesNotLoadEndsStartUp", "data\\stg4\\x.stg4", false,
                                                         0, false, "data\\stg4\\x.stg4_010", false, 1, 0, 0, false}),
                         [](const testing::TestParamInfo<DirectStartCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
