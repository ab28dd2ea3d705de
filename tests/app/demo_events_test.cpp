// The demo game's events, played headless as a player would: the guide of the first stage asks
// whether the hero wants a hint, and each answer leads to its own reply (seen in the trace's stage
// variables); the coins count themselves by code text and the fifth gives a score bonus; the world map's
// bonus place is a closed gate until the first stage is cleared and then offers the bonus stage,
// which can be played to its goal. A run whose last frame falls inside the guide's question ends
// normally.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "data/flow.h"
#include "data/flow_cmd.h"
#include "data/game_data.h"
#include "data/save_data.h"
#include "data/stage_data.h"
#include "data/story_slots.h"
#include "data/world_map.h"
#include "menus/world_map_rules.h"
#include "shell/input_state.h"
#include "test_support/fresh_game_data.h"
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

// Stage variable n of a trace line.
int stageVar(const std::string& line, int n) {
  size_t at = line.find("\"stage_vars\":[");
  if (at == std::string::npos) return -1;
  at += 14;
  for (int i = 0; i < n; ++i) at = line.find(',', at) + 1;
  return std::stoi(line.substr(at));
}

// The stage variables of the events (as the demo's guide and coins use them).
constexpr int kAnswer = 1, kCoins = 3, kCoinBonus = 4, kCoinShown = 5;

// The first stage up to the guide: the hero walks right until he stands by the guide, and presses
// up to talk to him; the question then waits for a key.
const std::string kToTheGuide =
    "100 press RIGHT\n124 release RIGHT\n"
    "140 press UP\n142 release UP\n";

class DemoEventsTest : public testing::Test {
 protected:
  void SetUp() override {
    m_Game = TestTempDir() / testing::UnitTest::GetInstance()->current_test_info()->name();
    ASSERT_TRUE(MakeDemoGame(m_Game)) << "qc4-make-demo failed; is it built?";
  }

  // Runs qc4 headless on the game with the given arguments and input script; the exit status.
  int Run(const std::string& args, const std::string& input) {
    const fs::path script = m_Game.string() + ".input";
    std::ofstream(script) << input;
    const std::string command = "exec env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy '" + kQc4 + "' --headless " +
                                args + " --input '" + script.string() + "' '" + m_Game.string() + "' >'" +
                                Output().string() + "' 2>&1";
    return exitStatus(std::system(command.c_str()));
  }
  // A test play of data\stg4\<stage> for the given frames; the trace's lines in `trace`.
  int TestPlay(const std::string& stage, int frames, const std::string& input, std::vector<std::string>& trace) {
    const std::string tracePath = m_Game.string() + ".trace";
    const int status = Run("--frames " + std::to_string(frames) + " --test-play 'data\\stg4\\" + stage +
                               ".stg4' --trace '" + tracePath + "'",
                           input);
    trace = lines(readFile(tracePath));
    return status;
  }
  fs::path Output() const { return m_Game.string() + ".out"; }
  std::string Log() const { return readFile(Output()) + readFile(m_Game / "Report_Game.txt"); }

  fs::path m_Game;
};

TEST_F(DemoEventsTest, EachAnswerToTheGuidesQuestionGetsItsOwnReply) {
  struct cCase {
    const char* name;
    const char* keys;  // after the question opened
    int chosen;        // the value of the chosen answer, kept by the code after the question
    int replied;       // the value the reply leaves
  };
  const cCase cases[] = {
      {"yes (the cursor starts on it)", "170 press Z\n172 release Z\n", 1, 3},
      {"no (one row down)", "160 press DOWN\n162 release DOWN\n170 press Z\n172 release Z\n", 2, 4},
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> trace;
    ASSERT_EQ(TestPlay("c01-1", 260, kToTheGuide + c.keys, trace), 0) << Log();
    ASSERT_FALSE(trace.empty());
    // Walking up to the guide asks nothing; the question comes with the up key, and the play stands
    // still while it waits (no play frame between its opening and the answer).
    int asked = -1;
    std::vector<int> answers;
    for (size_t i = 0; i < trace.size(); ++i) {
      const int answer = stageVar(trace[i], kAnswer);
      if (answers.empty() || answers.back() != answer) answers.push_back(answer);
      if (answer != 0 && asked < 0) asked = static_cast<int>(i);
    }
    ASSERT_GT(asked, 0);
    EXPECT_EQ(answers, (std::vector<int>{0, c.replied}));
    const std::string& before = trace[static_cast<size_t>(asked - 1)];
    const std::string& after = trace[static_cast<size_t>(asked)];
    EXPECT_LT(std::stoi(before.substr(before.find("\"frame\":") + 8)), 145);
    EXPECT_GE(std::stoi(after.substr(after.find("\"frame\":") + 8)), 170);
    // The coin count went on screen at the start and nothing was counted.
    EXPECT_EQ(stageVar(trace.back(), kCoinShown), 1);
    EXPECT_EQ(stageVar(trace.back(), kCoins), 0);
  }
}

TEST_F(DemoEventsTest, ARunWhoseLastFrameFallsInTheQuestionEndsNormally) {
  std::vector<std::string> trace;
  ASSERT_EQ(TestPlay("c01-1", 160, kToTheGuide, trace), 0) << Log();
  EXPECT_NE(readFile(Output()).find("stage not finished"), std::string::npos) << Log();
  // The question ended with the run, on the answer the cursor stood on ("yes"), which the guide
  // replied to in the frame that finished.
  ASSERT_FALSE(trace.empty());
  EXPECT_EQ(stageVar(trace.back(), kAnswer), 3);
}

// Member "key" of a trace line as a number.
long long member(const std::string& line, const std::string& key) {
  const size_t at = line.find("\"" + key + "\":");
  return at == std::string::npos ? -1 : std::stoll(line.substr(at + key.size() + 3));
}

TEST_F(DemoEventsTest, CoinsCountThemselvesAndTheFifthGivesABonus) {
  {
    // The first stage with five coins on the ground on the hero's way, before the beetle stops it.
    cFreshGameData fresh;
    cInFolder inGame(m_Game);
    auto stage = std::make_unique<cStageData>();
    ASSERT_EQ(stage->LoadFile("data\\stg4\\c01-1.stg4_000"), 1);
    const cItemType* coin = nullptr;
    for (const cItemType& item : stage->m_aItems)
      if (item.m_strName == "コイン") coin = &item;
    ASSERT_NE(coin, nullptr);
    const cItemType model = *coin;
    for (int x : {7, 8, 9, 10, 11}) {
      cItemType more = model;
      more.m_nCellX = static_cast<int16_t>(x);
      more.m_nCellY = 12;
      stage->m_aItems.push_back(more);
    }
    ASSERT_EQ(stage->SaveFile("data\\stg4\\coins.stg4_000"), 1);
  }
  std::vector<std::string> trace;
  ASSERT_EQ(TestPlay("coins", 260, "100 press RIGHT\n200 release RIGHT\n", trace), 0) << Log();
  // The count goes up by one for each coin taken (a coin is worth no points), and the bonus of 1000
  // points comes once, in the frame the count reaches five.
  std::vector<int> counts;
  for (const std::string& line : trace) {
    const int count = stageVar(line, kCoins);
    if (counts.empty() || counts.back() != count) counts.push_back(count);
    EXPECT_EQ(stageVar(line, kCoinBonus), count >= 5 ? 1 : 0) << line;
    EXPECT_EQ(member(line, "score"), count >= 5 ? 1000 : 0) << line;
  }
  EXPECT_EQ(counts, (std::vector<int>{0, 1, 2, 3, 4, 5}));
}

TEST_F(DemoEventsTest, TheBonusPlaceIsAClosedGateUntilTheFirstStageIsCleared) {
  cFreshGameData fresh;
  cInFolder inGame(m_Game);
  ASSERT_EQ(g_WorldMap.LoadFile("data\\WorldMap.dat"), 1);
  cWorld* bonus = g_WorldMap.FindMapEntryAt(8, 10);
  ASSERT_NE(bonus, nullptr);
  g_SaveData.m_anWorldFlags.assign(g_SaveData.m_anWorldFlags.size(), 0);

  // Before: a gate the hero cannot step on from the side road; the first stage is offered.
  const cWorldEntry* shown = ChooseWorldEntry(bonus, g_SaveData);
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->m_nKind, kWorldEntryBlocking);
  const cHeroStep blocked = StepHero(g_WorldMap, g_SaveData, 8, 9, kFacingDown, kDirDown);
  EXPECT_TRUE(blocked.bUndone);
  EXPECT_EQ(blocked.nY, 9);
  const cWorldEntry* first = ChooseWorldEntry(g_WorldMap.FindMapEntryAt(6, 7), g_SaveData);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->m_strStage, "data\\stg4\\c01-1.stg4");
  EXPECT_EQ(ChooseWorldEntry(g_WorldMap.FindMapEntryAt(10, 7), g_SaveData), nullptr) << "stage 2 waits";

  // After the first world is cleared: the bonus stage, not yet cleared, and the gate is gone.
  g_SaveData.m_anWorldFlags[1] = 1;
  shown = ChooseWorldEntry(bonus, g_SaveData);
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->m_nKind, kWorldEntryStage);
  EXPECT_EQ(shown->m_strStage, "data\\stg4\\c04-1.stg4");
  EXPECT_FALSE(IsEntryCleared(shown, g_SaveData));
  const cHeroStep open = StepHero(g_WorldMap, g_SaveData, 8, 9, kFacingDown, kDirDown);
  EXPECT_FALSE(open.bUndone);
  EXPECT_EQ(open.nY, 10);
  const cWorldEntry* second = ChooseWorldEntry(g_WorldMap.FindMapEntryAt(10, 7), g_SaveData);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->m_strStage, "data\\stg4\\c02-1.stg4");
}

// The keys of a story from the title: "はじめから" and the first slot start it on the world map at
// (3, 7), where the bonus place further on shows its gate. Three steps right reach the first stage's
// place, which asks at once: up to "ステージに挑む", decide. The stage clears its world on button 1
// after its intro, and decide leaves its result for the map, which saves the story. Two steps right
// and three down, along the side road, now walk onto the bonus place, which asks: up, decide. The
// hero walks right past the guide to the bonus stage's goal, which ends the world; decide leaves for
// the map, which saves the story again.
const char* const kBonusInput =
    "60 press Z\n62 release Z\n"
    "100 press Z\n102 release Z\n"
    "200 press RIGHT\n202 release RIGHT\n"
    "210 press RIGHT\n212 release RIGHT\n"
    "220 press RIGHT\n222 release RIGHT\n"
    "250 press UP\n252 release UP\n"
    "260 press Z\n262 release Z\n"
    "460 press Z\n462 release Z\n"
    "700 press Z\n702 release Z\n"
    "800 press RIGHT\n802 release RIGHT\n"
    "810 press RIGHT\n812 release RIGHT\n"
    "820 press DOWN\n822 release DOWN\n"
    "830 press DOWN\n832 release DOWN\n"
    "840 press DOWN\n842 release DOWN\n"
    "870 press UP\n872 release UP\n"
    "880 press Z\n882 release Z\n"
    "1000 press RIGHT\n"
    "1500 release RIGHT\n"
    "1600 press Z\n1602 release Z\n";

TEST_F(DemoEventsTest, TheBonusStageIsPlayedFromTheMapOnceTheFirstStageIsCleared) {
  {
    // The first stage clears its world on button 1, so that the run needs no long play there.
    cFreshGameData fresh;
    cInFolder inGame(m_Game);
    auto stage = std::make_unique<cStageData>();
    ASSERT_EQ(stage->LoadFile("data\\stg4\\c01-1.stg4_000"), 1);
    const int hero = stage->FindHero();
    ASSERT_GE(hero, 0);
    cKeyCond button1;
    button1.m_anKeyStates[11] = 1;
    button1.m_bAnyHold = 1;
    cFlowCmd clear;
    clear.m_nKind = 17;  // stage clear
    clear.m_anParams.assign(11, 0);
    clear.m_anParams[0] = 3;  // world clear
    cFlow flow;
    flow.m_aKeyConds = {button1};
    flow.m_aCmds = {clear};
    stage->m_aCharas[static_cast<size_t>(hero)].m_aFlows.push_back(flow);
    ASSERT_EQ(stage->SaveFile("data\\stg4\\c01-1.stg4_000"), 1);
  }
  ASSERT_EQ(Run("--frames 1750 --dump-frame '" + m_Game.string() + ".png'", kBonusInput), 0) << Log();

  cFreshGameData fresh;
  cInFolder inGame(m_Game);
  cSaveData save;
  ASSERT_EQ(ReadProgressFile(StorySlotPath(0), save), eProgressFile::Whole) << Log();
  ASSERT_GT(save.m_anWorldFlags.size(), 4u);
  EXPECT_EQ(save.m_anWorldFlags[1], 1) << "the first stage was cleared";
  EXPECT_EQ(save.m_anWorldFlags[4], 1) << "the bonus stage was cleared";
  EXPECT_EQ(save.m_nMapX, 8);
  EXPECT_EQ(save.m_nMapY, 10);
}

}  // namespace
