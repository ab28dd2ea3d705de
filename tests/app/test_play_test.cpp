// qc4 --test-play STAGE on the generated demo game, run as its own process without a window: the
// stage plays from its intro to its end and the run says how it ended; a stage that does not load
// gives its message and the game starts at its title instead of stopping.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "data/stage_bytes.h"
#include "stage/stage_files.h"
#include "test_support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

const std::string kMakeDemo = std::string(QC4_BINARY_DIR) + "/tools/qc4-make-demo";
const std::string kQc4 = std::string(QC4_BINARY_DIR) + "/src/qc4";

int exitStatus(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class TestPlayTest : public testing::Test {
 protected:
  void SetUp() override {
    m_Game = TestTempDir() / testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(m_Game);
    const std::string command = "'" + kMakeDemo + "' '" + m_Game.string() + "' >/dev/null 2>&1";
    ASSERT_EQ(exitStatus(std::system(command.c_str())), 0) << "qc4-make-demo failed; is it built?";
  }
  void Stage(const std::string& name, const std::vector<uint8_t>& bytes) {
    WriteBytes(m_Game / "data" / "stg4" / name, bytes);
  }
  // Runs a headless test play of data\stg4\<stage>; the exit status. Output in Output().
  int TestPlay(const std::string& stage, int frames, const std::string& script = "", const std::string& more = "") {
    std::string args =
        "--headless --frames " + std::to_string(frames) + " --test-play 'data\\stg4\\" + stage + "'" + more;
    if (!script.empty()) {
      const fs::path scriptPath = m_Game.parent_path() / (m_Game.filename().string() + ".input");
      std::ofstream(scriptPath) << script;
      args += " --input '" + scriptPath.string() + "'";
    }
    const std::string command = "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy '" + kQc4 + "' " + args + " '" +
                                m_Game.string() + "' >'" + OutputPath().string() + "' 2>&1";
    return exitStatus(std::system(command.c_str()));
  }
  fs::path OutputPath() const { return m_Game.parent_path() / (m_Game.filename().string() + ".out"); }
  std::string Output() const { return readFile(OutputPath()); }
  std::string Report() const { return readFile(m_Game / "Report_Game.txt"); }

  fs::path m_Game;
};

TEST_F(TestPlayTest, AStageWhoseTimeRunsOutFailsAndStartsAgain) {
  cStageBytes s = SmallStage(12, 6);
  s.header[14] = 1;  // a time limit
  s.header[15] = 2;  // of two seconds
  Stage("timed.stg4_000", StageFile(986, s));
  // Every attempt runs out of time after about two seconds and the stage starts again, until the
  // frame limit ends the run: the last attempt's miss is the outcome.
  ASSERT_EQ(TestPlay("timed.stg4", 900), 0) << Output() << Report();
  EXPECT_NE(Output().find("qc4: stage failed after "), std::string::npos) << Output();
}

// The hero's flow starts once its start conditions are checked, which the stage services do.
TEST_F(TestPlayTest, AStagePlayedByScriptedInputIsCleared) {
  cStageBytes s = SmallStage(12, 6);
  s.charas = {HeroClearingOnButton1(1, 4)};
  Stage("clear.stg4_000", StageFile(986, s));
  ASSERT_EQ(TestPlay("clear.stg4", 3000, "40 press Z\n50 release Z\n"), 0) << Output() << Report();
  EXPECT_NE(Output().find("qc4: stage cleared"), std::string::npos) << Output();
}

// The play is recorded with its trace; its replay, played the same way, gives the same lines.
TEST_F(TestPlayTest, ARecordedPlayReplaysWithTheSameTraceLines) {
  cStageBytes s = SmallStage(12, 6);
  s.charas = {HeroClearingOnButton1(1, 4)};
  Stage("clear.stg4_000", StageFile(986, s));
  const std::string stem = (m_Game.parent_path() / m_Game.filename()).string();
  const std::string replay = stem + ".rep", recorded = stem + "-recorded.trace", replayed = stem + "-replayed.trace";
  ASSERT_EQ(TestPlay("clear.stg4", 3000, "10 press RIGHT\n30 release RIGHT\n40 press Z\n50 release Z\n",
                     " --record-replay '" + replay + "' --trace '" + recorded + "'"),
            0)
      << Output() << Report();
  ASSERT_NE(Output().find("qc4: stage cleared"), std::string::npos) << Output();
  ASSERT_EQ(TestPlay("clear.stg4", 3000, "", " --play-replay '" + replay + "' --trace '" + replayed + "'"), 0)
      << Output() << Report();
  EXPECT_NE(Output().find("qc4: stage cleared"), std::string::npos) << Output();
  const std::string lines = readFile(recorded);
  EXPECT_NE(lines.find("\"frame\":"), std::string::npos) << lines;
  EXPECT_EQ(readFile(replayed), lines);
}

TEST_F(TestPlayTest, AStageWithoutAHeroIsRefusedAndTheGameStartsAtItsTitle) {
  cStageBytes s = SmallStage();
  s.charas = {PlacedChara(1, 2, 2)};
  Stage("nohero.stg4_000", StageFile(986, s));
  ASSERT_EQ(TestPlay("nohero.stg4", 30, "answer ok\n"), 0) << Output() << Report();
  EXPECT_NE(Output().find("qc4: stage not finished"), std::string::npos) << Output();
}

}  // namespace
