// The replay list reached from the title, as a player would, headless with scripted keys: into the
// list and back to the title, into it again, a move, a change of sort order, another move and the
// chosen replay played back. What the run leaves behind ("user_data\Replay.dat", written at exit)
// says where the list stood; its trace shows that stage play ran.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include "data/game_data.h"
#include "data/input_log.h"
#include "data/replay_file.h"
#include "shell/list_positions.h"
#include "stage/stage_files.h"
#include "stage/stage_loading.h"
#include "test_support/fresh_game_data.h"
#include "test_support/program_run.h"
#include "test_support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

// The older replay comes first in the list's first order, the newer one first after one sort.
constexpr const char* kOlder = "2009_0101_120000_c01-1_CLEAR_.rpl4_986";
constexpr const char* kNewer = "2009_0307_140509_c01-1.rpl4_986";
constexpr std::time_t kOlderTime = 1230811200;  // 2009-01-01
constexpr std::time_t kNewerTime = 1236434709;  // 2009-03-07

class cInFolder {
 public:
  explicit cInFolder(const fs::path& folder) : m_Old(fs::current_path()) { fs::current_path(folder); }
  ~cInFolder() { fs::current_path(m_Old); }
  cInFolder(const cInFolder&) = delete;
  cInFolder& operator=(const cInFolder&) = delete;

 private:
  fs::path m_Old;
};

// The keys frame by frame (Z button 1, X button 2, C button 3). Four steps down the title reach
// "リプレイ"; the list opens, X goes back to the title, whose cursor stays on the item, and Z opens
// the list again. Down, C for one frame (button 3 acts on every frame it is held: newest first, the
// cursor back on the first row), down, and Z plays the older replay.
const char* const kInput =
    "40 press DOWN\n42 release DOWN\n"
    "46 press DOWN\n48 release DOWN\n"
    "52 press DOWN\n54 release DOWN\n"
    "58 press DOWN\n60 release DOWN\n"
    "70 press Z\n72 release Z\n"
    "170 press X\n172 release X\n"
    "270 press Z\n272 release Z\n"
    "370 press DOWN\n372 release DOWN\n"
    "380 press C\n381 release C\n"
    "390 press DOWN\n392 release DOWN\n"
    "400 press Z\n402 release Z\n";

class ReplayListRunTest : public testing::Test {
 protected:
  void SetUp() override {
    m_Game = TestTempDir() / testing::UnitTest::GetInstance()->current_test_info()->name();
    ASSERT_TRUE(MakeDemoGame(m_Game)) << "qc4-make-demo failed; is it built?";
    // Two replays of a stage whose hero clears it on button 1, played with button 1 held.
    cFreshGameData fresh;
    cInFolder inGame(m_Game);
    cStageBytes s = SmallStage(12, 6);
    s.charas = {HeroClearingOnButton1(1, 4)};
    cStageData settings;
    cCharaType hero;
    ASSERT_EQ(LoadPlayStageBytes(StageFile(986, s), "data\\stg4\\c01-1.stg4_000", &settings, &hero), 1);
    cInputLog log;
    for (int i = 0; i < 200; ++i) log.RecordInputFrame(0, 1);
    log.m_nSeed = 5;
    log.m_bCleared = 1;
    fs::create_directories(m_Game / "user_data" / "rpl4");
    for (const auto& [name, when] : {std::pair{kOlder, kOlderTime}, std::pair{kNewer, kNewerTime}}) {
      const std::string path = std::string(kReplayFolder) + name;
      ASSERT_EQ(SaveReplayFile(path.c_str(), log, g_StageFile, settings, g_SaveData), 1);
      const timespec times[2] = {{when, 0}, {when, 0}};
      ASSERT_EQ(utimensat(AT_FDCWD, (m_Game / "user_data" / "rpl4" / name).c_str(), times, 0), 0);
    }
  }

  int Run(int frames, const char* input) {
    const fs::path script = m_Game.string() + ".input";
    std::ofstream(script) << input;
    const std::string command = "exec env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy TZ=UTC0 '" + kQc4 +
                                "' --headless --frames " + std::to_string(frames) + " --input '" + script.string() +
                                "' --trace '" + Trace().string() + "' '" + m_Game.string() + "' >'" +
                                Output().string() + "' 2>&1";
    return exitStatus(std::system(command.c_str()));
  }
  fs::path Output() const { return m_Game.string() + ".out"; }
  fs::path Trace() const { return m_Game.string() + ".trace"; }
  std::string Log() const { return readFile(Output()) + readFile(m_Game / "Report_Game.txt"); }

  fs::path m_Game;
};

TEST_F(ReplayListRunTest, TheListIsLeftAndEnteredAgainSortedAndTheChosenReplayPlays) {
  ASSERT_EQ(Run(700, kInput), 0) << Log();

  cFreshGameData fresh;
  cInFolder inGame(m_Game);
  cReplayData position;
  ASSERT_EQ(position.LoadFile(kReplayDataPath), 1) << Log();
  EXPECT_EQ(position.m_nSortOrder, 1);  // newest first
  EXPECT_EQ(position.m_nCursor, 1);
  EXPECT_EQ(position.m_strFileName, kOlder);
  // The replay was played: stage play ran its frames, and nothing failed to load.
  EXPECT_NE(readFile(Trace()).find("\"play_frame\""), std::string::npos) << readFile(Trace()).size() << Log();
  EXPECT_EQ(Log().find("読み込みに失敗"), std::string::npos) << Log();
}

}  // namespace
