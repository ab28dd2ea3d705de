// A headless run answers the game's dialogs from its input script: F1 in a stage opens the
// replay-save dialog, whose buttons save the play as a replay or leave every file as it was, and a
// dialog without a scripted answer fails the run.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "test_support/program_run.h"
#include "test_support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

class DialogRunTest : public testing::Test {
 protected:
  void SetUp() override {
    m_Game = TestTempDir() / testing::UnitTest::GetInstance()->current_test_info()->name();
    ASSERT_TRUE(MakeDemoGame(m_Game)) << "qc4-make-demo failed; is it built?";
    // Replays of every stage, saved on F1 through the replay-save dialog (before the file's "Exit").
    std::ifstream in(m_Game / "System.ini", std::ios::binary);
    std::string ini((std::istreambuf_iterator<char>(in)), {});
    in.close();
    const size_t exit = ini.rfind("Exit");
    ASSERT_NE(exit, std::string::npos);
    ini.insert(exit, "Replay_On=2\n");
    std::ofstream(m_Game / "System.ini", std::ios::binary) << ini;
  }
  void TearDown() override {
    // Saved replays are read-only.
    for (const auto& e : fs::recursive_directory_iterator(m_Game))
      fs::permissions(e.path(), fs::perms::owner_write, fs::perm_options::add);
  }
  // Plays the first demo stage headless for 200 frames with F1 pressed at frame 90.
  int PlayWithF1(const std::string& dialogLines) {
    const fs::path script = m_Game.string() + ".input";
    std::ofstream(script) << "90 press F1\n92 release F1\n" << dialogLines;
    const std::string command = "exec env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy '" + kQc4 +
                                "' --headless --frames 200 --test-play 'data\\stg4\\c01-1.stg4' --input '" +
                                script.string() + "' '" + m_Game.string() + "' >'" + m_Game.string() + ".out' 2>&1";
    return exitStatus(std::system(command.c_str()));
  }
  std::vector<std::string> Replays() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(m_Game / "user_data" / "rpl4")) names.push_back(e.path().filename());
    return names;
  }
  std::string Output() const {
    std::ifstream in(m_Game.string() + ".out");
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  fs::path m_Game;
};

TEST_F(DialogRunTest, ClearedButtonSavesTheReplay) {
  ASSERT_EQ(PlayWithF1("click 1011\n"), 0) << Output();
  const auto replays = Replays();
  ASSERT_EQ(replays.size(), 1u) << Output();
  EXPECT_NE(replays[0].find("_c01-1_CLEAR_.rpl4_986"), std::string::npos) << replays[0];
}

TEST_F(DialogRunTest, NotClearedButtonSavesUnderTheOtherName) {
  ASSERT_EQ(PlayWithF1("click 1002\n"), 0) << Output();
  const auto replays = Replays();
  ASSERT_EQ(replays.size(), 1u) << Output();
  EXPECT_EQ(replays[0].find("_CLEAR_"), std::string::npos) << replays[0];
}

TEST_F(DialogRunTest, CancelWritesNothing) {
  for (const char* answer : {"click 1001\n", "answer cancel\n"}) {
    ASSERT_EQ(PlayWithF1(answer), 0) << Output();
    EXPECT_TRUE(Replays().empty()) << answer;
  }
}

TEST_F(DialogRunTest, DialogWithoutAnAnswerFailsTheRun) {
  EXPECT_EQ(PlayWithF1(""), 1) << Output();
  EXPECT_NE(Output().find("no scripted answer"), std::string::npos) << Output();
  EXPECT_TRUE(Replays().empty());
}
}  // namespace
