// The demo game's three stages, each played headless from its start to its clear by the scripted
// input kept in tests/data/replays: the run says the stage was cleared, and the trace of its play
// frames shows what the stage is built to show: the hero riding a lift over a gap (its place moving
// with the lift while it stands on it), stomping a beetle (one character fewer, the beetle's score,
// and the hero thrown upwards), the turrets' shots in flight, and the gem's points or the heart's
// hit point.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "test_support/program_run.h"
#include "test_support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

const fs::path kInputs = fs::path(QC4_SOURCE_DIR) / "tests" / "data" / "replays";

constexpr int kCell = 32;
// The trace's positions count from the play field's left edge, ten cells left of the map's first
// column.
constexpr double kMapLeft = 10 * kCell;
constexpr int kBeetleScore = 200;
constexpr int kGemScore = 500;

// The number after the first "key": of a trace line (the hero's members come first).
double member(const std::string& line, const std::string& key) {
  const size_t at = line.find("\"" + key + "\":");
  if (at == std::string::npos) return -1e9;
  return std::stod(line.substr(at + key.size() + 3));
}

struct cFrame {
  double x, y;
  int hp, chars, shots, items, score, playFrame;
};

std::vector<cFrame> readTrace(const fs::path& path) {
  std::vector<cFrame> frames;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);)
    frames.push_back({member(line, "x"), member(line, "y"), static_cast<int>(member(line, "hp")),
                      static_cast<int>(member(line, "chars")), static_cast<int>(member(line, "shots")),
                      static_cast<int>(member(line, "items")), static_cast<int>(member(line, "score")),
                      static_cast<int>(member(line, "play_frame"))});
  return frames;
}

enum class eTreasure { Gem, Heart };

struct cDemoStageCase {
  int stage;
  // The gap the lift crosses, in map cells, and whether it rises (else it goes across).
  int gapLeft, gapRight;
  bool liftRises;
  bool turrets;
  eTreasure treasure;
};

std::ostream& operator<<(std::ostream& out, const cDemoStageCase& c) { return out << "stage " << c.stage; }

class DemoStages : public testing::TestWithParam<cDemoStageCase> {
 protected:
  void SetUp() override {
    m_Game = TestTempDir() / ("demo_stage_" + std::to_string(GetParam().stage));
    ASSERT_TRUE(MakeDemoGame(m_Game)) << "qc4-make-demo failed; is it built?";
  }

  // Plays the stage with its scripted input; the exit status.
  int Play() {
    char name[32];
    std::snprintf(name, sizeof name, "c%02d-1", GetParam().stage);
    const fs::path input = kInputs / (std::string(name) + ".input");
    EXPECT_TRUE(fs::exists(input)) << input;
    const std::string command = "exec env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy '" + kQc4 +
                                "' --headless --frames 6000 --test-play 'data\\stg4\\" + name + ".stg4' --input '" +
                                input.string() + "' --trace '" + Trace().string() + "' '" + m_Game.string() + "' >'" +
                                Output().string() + "' 2>&1";
    return exitStatus(std::system(command.c_str()));
  }
  fs::path Trace() const { return m_Game.string() + ".trace"; }
  fs::path Output() const { return m_Game.string() + ".out"; }
  std::string Log() const { return readFile(Output()) + readFile(m_Game / "Report_Game.txt"); }

  fs::path m_Game;
};

TEST_P(DemoStages, TheScriptedPlayClearsTheStageShowingItsCast) {
  const cDemoStageCase& c = GetParam();
  ASSERT_EQ(Play(), 0) << Log();
  const std::vector<cFrame> t = readTrace(Trace());
  ASSERT_GT(t.size(), 100u);
  // Cleared on the first attempt (a miss would start the play frames again): the count is the
  // trace's last play frame.
  const std::string out = readFile(Output());
  EXPECT_NE(out.find("qc4: stage cleared after " + std::to_string(t.back().playFrame) + " frames"), std::string::npos)
      << out;
  for (size_t i = 1; i < t.size(); ++i) ASSERT_EQ(t[i].playFrame, t[i - 1].playFrame + 1) << "a miss at line " << i;

  // The ride: for half a second or more the hero is over the gap and moves by the same step in
  // every frame, the lift's: across at one height, or upwards. A walk wobbles, a jump slows.
  const double gapLeft = kMapLeft + c.gapLeft * kCell;
  const double gapRight = kMapLeft + (c.gapRight + 1) * kCell;
  size_t longestRide = 0;
  size_t run = 0;
  for (size_t i = 2; i < t.size(); ++i) {
    const double dx = t[i].x - t[i - 1].x, dy = t[i].y - t[i - 1].y;
    const bool steady =
        std::fabs(dx - (t[i - 1].x - t[i - 2].x)) < 1e-6 && std::fabs(dy - (t[i - 1].y - t[i - 2].y)) < 1e-6;
    const bool rides = c.liftRises ? dy < -0.5 : dy == 0 && dx != 0;
    run = t[i].x >= gapLeft && t[i].x < gapRight && steady && rides ? run + 1 : 0;
    longestRide = std::max(longestRide, run);
  }
  EXPECT_GE(longestRide, 30u);

  // The stomp: a character goes with the beetle's score, and the hero, which had come down onto it,
  // is thrown up higher than a block.
  bool stomped = false;
  for (size_t i = 12; i + 20 < t.size() && !stomped; ++i) {
    if (t[i].chars != t[i - 1].chars - 1 || t[i].score - t[i - 1].score != kBeetleScore) continue;
    double landed = t[i].y, highest = t[i].y;
    for (size_t j = i - 12; j <= i; ++j) landed = std::max(landed, t[j].y);
    for (size_t j = i; j <= i + 20; ++j) highest = std::min(highest, t[j].y);
    stomped = landed - highest > kCell;
  }
  EXPECT_TRUE(stomped);

  // The turrets' shots fly, and one of them hits.
  int mostShots = 0;
  bool hurt = false;
  for (size_t i = 1; i < t.size(); ++i) {
    mostShots = std::max(mostShots, t[i].shots);
    hurt = hurt || t[i].hp < t[i - 1].hp;
  }
  if (c.turrets) {
    EXPECT_GT(mostShots, 0);
  } else {
    EXPECT_EQ(mostShots, 0);
  }

  // The treasure: one item fewer and its gift in the same frame.
  bool treasure = false;
  for (size_t i = 1; i < t.size(); ++i) {
    if (t[i].items != t[i - 1].items - 1) continue;
    if (c.treasure == eTreasure::Gem) treasure = treasure || t[i].score - t[i - 1].score == kGemScore;
    if (c.treasure == eTreasure::Heart) treasure = treasure || t[i].hp == t[i - 1].hp + 1;
  }
  EXPECT_TRUE(treasure);
  if (c.treasure == eTreasure::Heart) { EXPECT_TRUE(hurt) << "the heart was taken without a hit point lost"; }
}

INSTANTIATE_TEST_SUITE_P(Demo, DemoStages,
                         testing::Values(cDemoStageCase{1, 24, 30, false, false, eTreasure::Gem},
                                         cDemoStageCase{2, 32, 38, false, true, eTreasure::Heart},
                                         cDemoStageCase{3, 24, 24, true, true, eTreasure::Gem}));

}  // namespace
