// qc4 --test-play STAGE on the generated demo game, run as its own process without a window: the
// stage plays from its intro to its end and the run says how it ended, with the play frames it took;
// the same input gives the same trace every run, and a replay gives the lines of its play; a stage
// that is not found or does not load ends the run with why; SIGTERM closes the run the normal way,
// with its trace and replay written.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "data/cond_bytes.h"
#include "data/input_log.h"
#include "data/replay_file.h"
#include "data/save_data.h"
#include "data/stage_bytes.h"
#include "data/stage_data.h"
#include "stage/stage_files.h"
#include "test_support/program_run.h"
#include "test_support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    out.push_back(text.substr(start, end - start));
  return out;
}

// A line without its leading "frame" member: what a play and its replay have in common.
std::string withoutFrame(const std::string& line) {
  const size_t at = line.find(",\"play_frame\":");
  return at == std::string::npos ? line : line.substr(at + 1);
}

// The number after "key": in a line (-1 when it is not there).
long long member(const std::string& line, const std::string& key) {
  const size_t at = line.find("\"" + key + "\":");
  return at == std::string::npos ? -1 : std::stoll(line.substr(at + key.size() + 3));
}

// A hero that clears the stage on button 1 (see HeroClearingOnButton1) and draws a random number in
// every frame: its second flow compares common variable 0 with a random value from 1000 to 2000 and
// never starts.
std::vector<uint8_t> HeroDrawingRandomNumbers(int16_t column, int16_t row) {
  CondFields random;
  random.kind = 4;
  random.leftSource = 1;   // a variable: common variable 0
  random.rightSource = 1;  // a random value
  random.randLow = 1000;
  random.randHigh = 2000;
  random.op = 4;  // greater than
  cFlowBytes flow;
  flow.trigger = 0;
  flow.conds = {CondBody(986, random)};
  return HeroClearingOnButton1(column, row, {FlowBody(986, flow)});
}

class TestPlayTest : public testing::Test {
 protected:
  void SetUp() override {
    m_Game = TestTempDir() / testing::UnitTest::GetInstance()->current_test_info()->name();
    ASSERT_TRUE(MakeDemoGame(m_Game)) << "qc4-make-demo failed; is it built?";
  }
  void Stage(const std::string& name, const std::vector<uint8_t>& bytes) {
    WriteBytes(m_Game / "data" / "stg4" / name, bytes);
  }
  // Runs a headless test play of data\stg4\<stage>; the exit status. Output in Output().
  int TestPlay(const std::string& stage, int frames, const std::string& script = "", const std::string& more = "") {
    std::string args = "--frames " + std::to_string(frames) + " --test-play 'data\\stg4\\" + stage + "'" + more;
    if (!script.empty()) {
      const fs::path scriptPath = m_Game.parent_path() / (m_Game.filename().string() + ".input");
      std::ofstream(scriptPath) << script;
      args += " --input '" + scriptPath.string() + "'";
    }
    return Run(args);
  }
  // Runs qc4 headless on the game with the given arguments (quoted for the shell); the exit status.
  int Run(const std::string& args) { return exitStatus(std::system(Command(args).c_str())); }
  std::string Command(const std::string& args) const {
    return "exec env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy '" + kQc4 + "' --headless " + args + " '" +
           m_Game.string() + "' >'" + OutputPath().string() + "' 2>&1";
  }
  // A path beside the game folder.
  std::string Beside(const std::string& suffix) const { return m_Game.string() + suffix; }
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
  // frame limit ends the run: the last attempt's miss is the outcome, after at least the two seconds
  // of play frames it took.
  ASSERT_EQ(TestPlay("timed.stg4", 900), 0) << Output() << Report();
  const std::string out = Output();
  const size_t at = out.find("qc4: stage failed after ");
  ASSERT_NE(at, std::string::npos) << out;
  EXPECT_GE(std::stoi(out.substr(at + 24)), 120) << out;
}

// Full screen plays as a window does: Direct3D at both depths (its first activation finds a working
// device, which has nothing to restore) and DirectDraw at 8 bits, which mixes colours through the
// blend tables the demo brings. The demo's first stage leaves its loading picture and runs its play
// frames.
TEST_F(TestPlayTest, FullScreenDisplaysPlayTheStage) {
  struct Case {
    const char* ini;
  };
  const Case cases[] = {{"Direct3D=1\r\nWindowMode=0\r\nBpp=16"},
                        {"Direct3D=1\r\nWindowMode=0\r\nBpp=32"},
                        {"Direct3D=0\r\nWindowMode=0\r\nBpp=8"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ini);
    std::ofstream(m_Game / "System.ini", std::ios::binary) << c.ini << "\r\nVSync=2\r\nShowFps=0\r\nExit\r\n";
    ASSERT_EQ(TestPlay("c01-1.stg4", 300), 0) << Output() << Report();
    const std::string out = Output();
    const size_t at = out.find(" after ", out.find("qc4: stage "));
    ASSERT_NE(at, std::string::npos) << out;
    EXPECT_GT(std::stoi(out.substr(at + 7)), 60) << out;
  }
}

// The hero's flow starts once its start conditions are checked, which the stage services do.
TEST_F(TestPlayTest, AStagePlayedByScriptedInputIsCleared) {
  cStageBytes s = SmallStage(12, 6);
  s.charas = {HeroClearingOnButton1(1, 4)};
  Stage("clear.stg4_000", StageFile(986, s));
  ASSERT_EQ(TestPlay("clear.stg4", 3000, "40 press Z\n50 release Z\n"), 0) << Output() << Report();
  EXPECT_NE(Output().find("qc4: stage cleared"), std::string::npos) << Output();
}

// A run's clock moves only with its frames: however long the stage takes to read (a large one here),
// the play's seed and every random draw are the same, and so is every line. A run ended by its frame
// limit says how many play frames the attempt under way had.
TEST_F(TestPlayTest, TheSameInputGivesTheSameTraceEveryRun) {
  cStageBytes s = SmallStage(400, 15);
  s.charas = {HeroDrawingRandomNumbers(1, 13)};
  for (int16_t row = 0; row < 6; ++row)
    for (int16_t column = 20; column < 400; column += 2) s.blocks.push_back(PlacedBlock(column, row));
  Stage("random.stg4_000", StageFile(986, s));
  std::vector<std::vector<std::string>> traces;
  for (int run = 0; run < 2; ++run) {
    const std::string trace = Beside("-" + std::to_string(run) + ".trace");
    ASSERT_EQ(TestPlay("random.stg4", 300, "", " --trace '" + trace + "'"), 0) << Output();
    traces.push_back(lines(readFile(trace)));
    const std::vector<std::string>& played = traces.back();
    ASSERT_FALSE(played.empty());
    const long long frames = member(played.back(), "play_frame");
    EXPECT_EQ(frames, static_cast<long long>(played.size()));
    EXPECT_NE(Output().find("qc4: stage not finished after " + std::to_string(frames) + " frames"), std::string::npos)
        << Output();
  }
  ASSERT_EQ(traces[1].size(), traces[0].size());
  for (size_t i = 0; i < traces[0].size(); ++i) ASSERT_EQ(traces[1][i], traces[0][i]) << "line " << i;
  // The stage does draw random numbers: the generator moves from frame to frame.
  std::set<long long> states;
  for (const std::string& line : traces[0]) states.insert(member(line, "rand"));
  EXPECT_GT(states.size(), 10u);
}

// The play is recorded with its trace. Its replay gives the same lines when played as a test play,
// and the same lines but for the frame loop's count when played by itself (it then shows the stage's
// intro first), through two processes each time.
TEST_F(TestPlayTest, ARecordedPlayReplaysWithTheSameTraceLines) {
  cStageBytes s = SmallStage(12, 6);
  s.charas = {HeroDrawingRandomNumbers(1, 4)};
  Stage("clear.stg4_000", StageFile(986, s));
  const std::string replay = Beside(".rep"), recorded = Beside("-recorded.trace"), replayed = Beside("-replayed.trace");
  ASSERT_EQ(TestPlay("clear.stg4", 3000, "10 press RIGHT\n30 release RIGHT\n40 press Z\n50 release Z\n",
                     " --record-replay '" + replay + "' --trace '" + recorded + "'"),
            0)
      << Output() << Report();
  ASSERT_NE(Output().find("qc4: stage cleared"), std::string::npos) << Output();
  ASSERT_EQ(TestPlay("clear.stg4", 3000, "", " --play-replay '" + replay + "' --trace '" + replayed + "'"), 0)
      << Output() << Report();
  EXPECT_NE(Output().find("qc4: stage cleared"), std::string::npos) << Output();
  const std::string text = readFile(recorded);
  EXPECT_NE(text.find("\"frame\":"), std::string::npos) << text;
  EXPECT_EQ(readFile(replayed), text);

  ASSERT_EQ(Run("--play-replay '" + replay + "' --trace '" + replayed + "'"), 0) << Output() << Report();
  const std::vector<std::string> play = lines(text), again = lines(readFile(replayed));
  ASSERT_EQ(again.size(), play.size());
  ASSERT_FALSE(play.empty());
  EXPECT_EQ(member(play.front(), "play_frame"), 1);
  EXPECT_NE(member(again.front(), "frame"), member(play.front(), "frame"));
  for (size_t i = 0; i < play.size(); ++i) ASSERT_EQ(withoutFrame(again[i]), withoutFrame(play[i])) << "line " << i;
}

// A stage that is not there, or that the game refuses, ends the run with status 4 and why on
// standard error (a refused stage after its message) instead of going on at the game's title.
TEST_F(TestPlayTest, AStageThatDoesNotLoadEndsTheRunWithWhy) {
  EXPECT_EQ(TestPlay("missing.stg4", 30), 4) << Output();
  EXPECT_NE(Output().find("qc4: --test-play data\\stg4\\missing.stg4: no stage file to play"), std::string::npos)
      << Output();
  EXPECT_FALSE(fs::exists(m_Game / "Report_Game.txt"));  // refused before the game started

  cStageBytes s = SmallStage();
  s.charas = {PlacedChara(1, 2, 2)};
  Stage("nohero.stg4_000", StageFile(986, s));
  EXPECT_EQ(TestPlay("nohero.stg4", 3000, "answer ok\n"), 4) << Output() << Report();
  // The box's text, on standard error in the terminal's encoding.
  const std::string why = "qc4: --test-play data\\stg4\\nohero.stg4 did not load: ";
  const size_t at = Output().find(why);
  ASSERT_NE(at, std::string::npos) << Output();
  EXPECT_NE(Output().find("\xe4\xb8\xbb\xe4\xba\xba\xe5\x85\xac", at), std::string::npos)
      << Output();  // "主人公", UTF-8
  EXPECT_NE(Output().find("qc4: stage not finished after 0 frames"), std::string::npos) << Output();
}

// SIGTERM in the middle of a headless play without an end: the game closes the normal way, the trace
// and the replay are written, and the status says what ended the run.
TEST_F(TestPlayTest, SigtermClosesTheRunWithItsTraceAndReplayWritten) {
  Stage("endless.stg4_000", StageFile(986, SmallStage(12, 6)));
  const fs::path outputs = Beside("-outputs");
  fs::create_directories(outputs);
  const fs::path trace = outputs / "play.trace", replay = outputs / "play.rep";
  const std::string command = Command("--test-play 'data\\stg4\\endless.stg4' --trace '" + trace.string() +
                                      "' --record-replay '" + replay.string() + "'");
  const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ), 0);
  // The lines come as the frames run (into a file beside the trace until the run ends).
  // A file may go between the listing and its size (the start's write probes are removed at once).
  auto linesWritten = [&] {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(outputs, ec)) {
      const uintmax_t size = entry.file_size(ec);
      if (!ec && size > 0) return true;
    }
    return false;
  };
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!linesWritten() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_TRUE(linesWritten()) << Output();
  kill(pid, SIGTERM);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status)) << Output();
  EXPECT_EQ(WEXITSTATUS(status), 128 + SIGTERM) << Output();

  const std::vector<std::string> played = lines(readFile(trace));
  ASSERT_FALSE(played.empty()) << Output();
  EXPECT_NE(Output().find("qc4: stage not finished after " + std::to_string(played.size()) + " frames"),
            std::string::npos)
      << Output();
  const std::string bytes = readFile(replay);
  cInputLog log;
  cStageData stage, settings;
  cSaveData progress;
  ASSERT_EQ(LoadReplayBytes(std::vector<uint8_t>(bytes.begin(), bytes.end()), log, stage, settings, progress), 1);
  EXPECT_EQ(log.RecordedFrames(), static_cast<int64_t>(played.size()));
  // Nothing is left beside them.
  EXPECT_EQ(std::distance(fs::directory_iterator(outputs), fs::directory_iterator()), 2);
}

}  // namespace
