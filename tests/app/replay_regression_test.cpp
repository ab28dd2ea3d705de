// Replay regression: each case of tests/data/replays/ is a replay of a demo stage, recorded by the
// program itself from scripted input (<case>.input, a test play), with the trace lines of its
// playback (<case>.trace, one JSON line per play frame without the frame loop's "frame" member).
// qc4 plays the replay headless in a fresh demo game and must give the same lines: the first line
// that differs names its play frame and shows both lines, and a trace that ends early or goes on
// longer fails too. The actual lines of a failed case are kept in <build>/replay-actual/.
//
// The replay holds the stage as it was recorded, so the cases check stage logic, not the demo's
// current stages; scripts/update-replays records them again, only after a deliberate change to the
// demo or to stage logic (see tests/data/replays/README.md).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "test_support/program_run.h"
#include "test_support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

const fs::path kCaseDir = fs::path(QC4_TESTDATA_DIR) / "replays";
const fs::path kActualDir = fs::path(QC4_BINARY_DIR) / "replay-actual";
// The frames a replay run may take beyond its play frames (start-up, the stage's intro and end),
// so that a replay that never ends cannot hang the test.
constexpr int kFramesBesidePlay = 1200;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) out.push_back(line);
  return out;
}

// A trace line without its leading "frame" member, which a replay and its play do not share
// ({"frame":N,"play_frame":... -> {"play_frame":...); other lines as they are.
std::string WithoutFrame(const std::string& line) {
  const std::string head = "{\"frame\":";
  if (line.compare(0, head.size(), head) != 0) return line;
  const size_t comma = line.find(',', head.size());
  return comma == std::string::npos ? "{}" : "{" + line.substr(comma + 1);
}

// The number after "key": in a line, as text ("?" when it is not there).
std::string Member(const std::string& line, const std::string& key) {
  const std::string name = "\"" + key + "\":";
  const size_t at = line.find(name);
  if (at == std::string::npos) return "?";
  const size_t start = at + name.size();
  const size_t end = line.find_first_of(",}", start);
  return line.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// The member whose value holds the first character at which two lines differ: the last "name":
// before it (a member inside "hero" or the arrays is named by its own or its array's name).
std::string FirstDifferingMember(const std::string& a, const std::string& b) {
  const size_t n = std::min(a.size(), b.size());
  size_t at = 0;
  while (at < n && a[at] == b[at]) ++at;
  const size_t colon = a.rfind("\":", at);
  if (colon == std::string::npos) return "?";
  const size_t open = a.rfind('"', colon - 1);
  return open == std::string::npos ? "?" : a.substr(open + 1, colon - open - 1);
}

// The cases: every <case>.input of the folder (the recorded replay and its lines beside it).
std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(kCaseDir, ec))
    if (entry.path().extension() == ".input") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

class ReplayRegression : public testing::TestWithParam<std::string> {
 protected:
  // A fresh demo game of its own for the case, with the replay copied into it.
  static fs::path GameWithReplay(const std::string& name, const fs::path& replay) {
    const fs::path game = TestTempDir() / ("replay_" + name);
    if (!MakeDemoGame(game)) return {};
    fs::copy_file(replay, game / replay.filename());
    return game;
  }
};

TEST(ReplayCases, EveryCaseHasItsReplayAndLines) {
  const std::vector<std::string> names = CaseNames();
  EXPECT_FALSE(names.empty()) << "no <case>.input in " << kCaseDir;
  for (const std::string& name : names) {
    EXPECT_TRUE(fs::exists(kCaseDir / (name + ".rpl4")))
        << name << ".rpl4 is missing; record it with scripts/update-replays";
    EXPECT_TRUE(fs::exists(kCaseDir / (name + ".trace")))
        << name << ".trace is missing; record it with scripts/update-replays";
  }
}

TEST_P(ReplayRegression, TheReplayRepeatsItsRecordedPlay) {
  const std::string name = GetParam();
  const fs::path replay = kCaseDir / (name + ".rpl4");
  const fs::path tracePath = kCaseDir / (name + ".trace");
  if (!fs::exists(replay) || !fs::exists(tracePath))
    GTEST_SKIP() << name << " is not recorded yet (see ReplayCases.EveryCaseHasItsReplayAndLines)";
  const std::vector<std::string> expected = Lines(ReadText(tracePath));
  ASSERT_FALSE(expected.empty()) << tracePath << " holds no lines";

  const fs::path game = GameWithReplay(name, replay);
  ASSERT_FALSE(game.empty()) << "could not make the demo game; is qc4-make-demo built?";
  const fs::path trace = TestTempDir() / (name + ".trace");
  const fs::path output = TestTempDir() / (name + ".out");
  const std::string command = "exec env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy '" + kQc4 +
                              "' --headless --frames " + std::to_string(expected.size() + kFramesBesidePlay) +
                              " --play-replay '" + (game / replay.filename()).string() + "' --trace '" +
                              trace.string() + "' '" + game.string() + "' >'" + output.string() + "' 2>&1";
  ASSERT_EQ(exitStatus(std::system(command.c_str())), 0) << ReadText(output);

  const std::vector<std::string> actual = Lines(ReadText(trace));
  auto keepActual = [&] {
    fs::create_directories(kActualDir);
    fs::copy_file(trace, kActualDir / (name + ".trace"), fs::copy_options::overwrite_existing);
    return (kActualDir / (name + ".trace")).string();
  };
  const size_t common = std::min(expected.size(), actual.size());
  for (size_t i = 0; i < common; ++i) {
    const std::string line = WithoutFrame(actual[i]);
    if (line == expected[i]) continue;
    FAIL() << name << ": play frame " << Member(expected[i], "play_frame") << " (trace line " << i + 1
           << ") differs first in \"" << FirstDifferingMember(expected[i], line) << "\"\n  expected: " << expected[i]
           << "\n  actual:   " << line << "\nthe whole trace is " << keepActual();
  }
  if (actual.size() < expected.size())
    FAIL() << name << ": the replay's trace ends after " << actual.size() << " lines, " << expected.size()
           << " expected; the next expected line, play frame " << Member(expected[common], "play_frame") << ":\n  "
           << expected[common] << "\nthe whole trace is " << keepActual() << "\n"
           << ReadText(output);
  if (actual.size() > expected.size())
    FAIL() << name << ": the replay's trace goes on after the " << expected.size() << " expected lines, to "
           << actual.size() << "; the first line more, play frame " << Member(actual[common], "play_frame") << ":\n  "
           << WithoutFrame(actual[common]) << "\nthe whole trace is " << keepActual();
}

// Named after the case (its file name; "-" is not allowed in a test's name).
std::string CaseTestName(const testing::TestParamInfo<std::string>& info) {
  std::string name = info.param;
  std::replace_if(
      name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
  return name;
}

INSTANTIATE_TEST_SUITE_P(Demo, ReplayRegression, testing::ValuesIn(CaseNames()), CaseTestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ReplayRegression);

}  // namespace
