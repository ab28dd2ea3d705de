// The stage-clear processing: the stage's results added to the progress totals (held within the
// int32 range), the extra lives the score total earns (each shown over the first hero for 30 frames
// of a timed wait), and the places the play reaches in the stage's rankings.
#include "stage/stage_end.h"

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/log.h"
#include "data/game_data.h"
#include "data/input_log.h"
#include "data/option_data.h"
#include "data/ranking.h"
#include "data/save_data.h"
#include "data/stage_data.h"
#include "data/system_data.h"
#include "flow/mes_window.h"
#include "platform/headless/input_script.h"
#include "platform/input/keyboard.h"
#include "platform/messages.h"
#include "shell/app_globals.h"
#include "shell/game_loop.h"
#include "shell/input_state.h"
#include "shell/key_config.h"
#include "shell/main_window.h"
#include "shell/scene_mgr.h"
#include "stage/ranking_entry.h"
#include "stage/scene_stage.h"
#include "test_support/stage_play_harness.h"
#include "test_support/temp_dir.h"

namespace {

// What each extra life's wait found: the wait armed, and the windows shown while it ran.
struct cWaitSeen {
  int nKind, nFrames;
  std::vector<int> anWindowKinds, anTargets, anLives;
};
std::vector<cWaitSeen> g_waits;
cWaitSeen g_armed;

void AddRecordingWaits(cStageHooks& hooks) {
  AddStagePlayServices(hooks);
  hooks.setupGameWait = [](int kind, int, int frames, int, const std::vector<cChoiceEntry>*) {
    g_armed = {kind, frames, {}, {}, {}};
  };
  hooks.runModalWait = [](int) {
    cWaitSeen seen = g_armed;
    for (const cMesWindow& w : SceneStage()->m_MesWindows) {
      seen.anWindowKinds.push_back(w.m_nKind);
      seen.anTargets.push_back(w.m_nTarget);
      seen.anLives.push_back(w.m_nLife);
    }
    g_waits.push_back(seen);
    return 1;
  };
}

cHarnessSetup EndSetup() {
  cHarnessSetup setup;
  setup.map = {"..........", ".H........", "##########"};
  setup.makeStage = [] { return std::unique_ptr<cStageState>(new cSceneStage); };
  setup.addStandIns = AddRecordingWaits;
  return setup;
}

class StageClearTest : public testing::Test {
 protected:
  StageClearTest()
      : m_Plugins(SetHarnessPlugins, WithStagePlay(CurrentHarnessPlugins())),
        m_Harness(EndSetup()),
        m_Saved{g_ModeIndex, g_RankingOn, g_AppActive.load()} {
    g_AppActive.store(1);
    g_waits.clear();
    g_SystemData.m_bScoreExtend = 0;
    g_SaveData.m_bNumberedStage = 0;
    g_SaveData.m_nNextStage = 0;
    g_SaveData.m_nLives = 3;
    g_RankingOn = 0;
    g_ModeIndex = 0;
    g_DirectPlay = g_TestPlay = 0;
  }
  ~StageClearTest() override {
    g_DirectPlay = g_TestPlay = 0;
    g_ModeIndex = m_Saved[0];
    g_RankingOn = m_Saved[1];
    g_AppActive.store(m_Saved[2]);
  }
  cSceneStage& Scene() { return static_cast<cSceneStage&>(m_Harness.Stage()); }

  // Totals of the progress before the stage's end.
  void SetTotals(int32_t score, int32_t time, int32_t clear, int32_t hp, int32_t sp) {
    g_SaveData.m_nScoreTotal = score;
    g_SaveData.m_nRemainTimeTotal = time;
    g_SaveData.m_nClearTimeTotal = clear;
    g_SaveData.m_nRemainHpTotal = hp;
    g_SaveData.m_nRemainSpTotal = sp;
  }
  std::vector<int32_t> Totals() const {
    return {g_SaveData.m_nScoreTotal, g_SaveData.m_nRemainTimeTotal, g_SaveData.m_nClearTimeTotal,
            g_SaveData.m_nRemainHpTotal, g_SaveData.m_nRemainSpTotal};
  }
  // The stage's end with this stage score, timer, play time and hero status.
  void Finish(int32_t score, int32_t timer, int32_t stopped, int32_t playTime, int32_t hp, int32_t sp) {
    g_SaveData.m_nScore = score;
    Scene().m_nTimer = timer;
    Scene().m_bTimerStopped = stopped;
    Scene().m_nPlayTime = playTime;
    m_Harness.Hero().m_nHp = hp;
    m_Harness.Hero().m_nSp = sp;
    m_Harness.ClearTraces();
    FinishStage(Scene());
  }

  cHooksGuard<cHarnessPlugins> m_Plugins;
  cStageHarness m_Harness;
  int32_t m_Saved[3];
};

TEST_F(StageClearTest, TheStageResultsAreAddedToTheTotals) {
  struct Case {
    const char* what;
    std::vector<int32_t> before;  // score, remaining time, clear time, HP, SP totals
    int32_t score, timer, stopped, playTime, hp, sp;
    std::vector<int32_t> after;
  };
  const Case cases[] = {
      {"every result adds", {1000, 10, 2000, 5, 1}, 500, 80, 0, 4567, 3, 2, {1500, 90, 6567, 8, 3}},
      {"a stopped timer adds no remaining time",
       {1000, 10, 2000, 5, 1},
       500,
       80,
       1,
       4567,
       3,
       2,
       {1500, 10, 6567, 8, 3}},
      {"totals stop at the int32 range",
       {INT32_MAX - 5, INT32_MAX, INT32_MAX - 1, INT32_MAX, 7},
       10,
       999,
       0,
       599999,
       100,
       0,
       {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, 7}},
  };
  for (const Case& c : cases) {
    SetTotals(c.before[0], c.before[1], c.before[2], c.before[3], c.before[4]);
    Finish(c.score, c.timer, c.stopped, c.playTime, c.hp, c.sp);
    EXPECT_EQ(Totals(), c.after) << c.what;
    EXPECT_EQ(m_Harness.Sounds().front(), kSoundStageClear) << c.what;
  }
}

TEST_F(StageClearTest, AClearThatCountsMarksTheReplayAsCleared) {
  for (int32_t counts : {0, 1}) {
    g_SaveData.m_bClearCounts = counts;
    g_InputLog.m_bCleared = 0;
    Finish(0, 0, 0, 0, 0, 0);
    EXPECT_EQ(g_InputLog.m_bCleared, counts);
  }
}

// With the score step 1000, a raise from 1950 to 3050 crosses two steps: two lives, each shown for
// 30 frames over the first hero; lives stop at 99; unlimited lives never change.
TEST_F(StageClearTest, ExtraLivesForTheScoreAreShownOneByOne) {
  g_SystemData.m_bScoreExtend = 1;
  g_SystemData.m_nExtendScore = 1000;
  struct Case {
    int32_t lives, scoreTotal, score;
    int32_t after;
    size_t shown;
  };
  for (const Case& c : {Case{3, 1950, 1100, 5, 2}, Case{98, 0, 5000, 99, 1},
                        Case{kUnlimitedLives, 0, 5000, kUnlimitedLives, 0}, Case{3, 1950, 49, 3, 0}}) {
    g_waits.clear();
    g_SaveData.m_nLives = c.lives;
    SetTotals(c.scoreTotal, 0, 0, 0, 0);
    Finish(c.score, 0, 0, 0, 0, 0);
    EXPECT_EQ(g_SaveData.m_nLives, c.after) << c.lives << " " << c.scoreTotal << " + " << c.score;
    ASSERT_EQ(g_waits.size(), c.shown);
    const int hero = m_Harness.Hero().m_nNumber;
    for (const cWaitSeen& wait : g_waits) {
      EXPECT_EQ(wait.nKind, kWaitTimer);
      EXPECT_EQ(wait.nFrames, 30);
      EXPECT_EQ(wait.anWindowKinds, std::vector<int>{kMesExtraLife});
      EXPECT_EQ(wait.anTargets, std::vector<int>{hero});
      EXPECT_EQ(wait.anLives, std::vector<int>{30});
    }
    // Each window is gone once its wait is over.
    EXPECT_TRUE(Scene().m_MesWindows.empty());
    int lifeSounds = 0;
    for (int s : m_Harness.Sounds()) lifeSounds += s == kSoundExtraLife;
    EXPECT_EQ(lifeSounds, static_cast<int>(c.shown));
  }
}

// The rankings of a stage: score and remaining time rank larger values first, the clear time
// smaller ones.
class StageClearRankingTest : public StageClearTest {
 protected:
  StageClearRankingTest() {
    g_RankingOn = 1;
    g_SystemData.m_aModeRanking.resize(4);
    // Story play ranks every kind but the remaining SP; the stage every kind but the remaining HP.
    g_SystemData.m_aModeRanking[0].m_abKinds = {1, 1, 1, 1, 0};
    g_StageData.m_anTotalsLines = {1, 1, 1, 0, 1};
    ResetRanking(g_Ranking);
    // A full score table of 10000s; an empty remaining-time table; clear times 5000 and 8000; HP
    // and SP tables empty.
    for (cRankEntry& row : g_Ranking.m_aTables[0].m_aEntries) Fill(row, 10000);
    Fill(g_Ranking.m_aTables[2].m_aEntries[0], 5000);
    Fill(g_Ranking.m_aTables[2].m_aEntries[1], 8000);
    SetTotals(1000, 10, 2000, 5, 1);
  }
  static void Fill(cRankEntry& row, int32_t value) {
    row.m_bUsed = 1;
    row.m_strName = "AAA";
    row.m_nValue = value;
  }
  // A stage end of score 500, 80 seconds left, 45.67 seconds played, HP 3, SP 2: totals 1500, 90,
  // 6567, 8, 3.
  void FinishRanked() {
    Scene().m_anRankValues.clear();
    Scene().m_bRankingDone = 1;
    Finish(500, 80, 0, 4567, 3, 2);
  }
  const std::vector<int32_t> kTotals{1500, 90, 6567, 8, 3};
  // Places: the score beats no row of a full table; the remaining time takes the empty table's first
  // row; the clear time goes below 5000; HP is off for the stage, SP for the game kind.
  const std::vector<int32_t> kPlaces{-1, 0, 1, -1, -1};
};

TEST_F(StageClearRankingTest, TheLastStageOfAPlayFindsItsPlaces) {
  FinishRanked();
  EXPECT_EQ(Scene().m_anRankValues, kTotals);
  EXPECT_EQ(Scene().m_anRankPlaces, kPlaces);
  EXPECT_EQ(Scene().m_bNewRanking, 1);
  EXPECT_EQ(Scene().m_bRankingDone, 0);
}

TEST_F(StageClearRankingTest, OnlyTheLastStageOfARankedPlayIsRanked) {
  const std::vector<int32_t> none(5, -1);
  struct Case {
    const char* what;
    int32_t rankingOn, direct, test;
    bool valued;
    std::vector<int32_t> places;
  };
  const Case cases[] = {
      {"rankings off", 0, 0, 0, false, none},
      {"a direct start ranks with the rankings off", 0, 1, 0, true, kPlaces},
      {"a test play computes the values but takes no place", 1, 0, 1, true, none},
  };
  for (const Case& c : cases) {
    g_RankingOn = c.rankingOn;
    g_DirectPlay = c.direct;
    g_TestPlay = c.test;
    SetTotals(1000, 10, 2000, 5, 1);
    FinishRanked();
    EXPECT_EQ(Scene().m_anRankValues, c.valued ? kTotals : std::vector<int32_t>{}) << c.what;
    EXPECT_EQ(Scene().m_anRankPlaces, c.places) << c.what;
    EXPECT_EQ(Scene().m_bNewRanking, c.places != none ? 1 : 0) << c.what;
  }
}

TEST_F(StageClearRankingTest, ANumberedStageIsRankedOnlyWhenNoNextStageExists) {
  const std::filesystem::path dir = std::filesystem::path(testing::TempDir()) / "qc4_stage_end";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  g_SaveData.m_bNumberedStage = 1;
  g_SaveData.m_nNextStage = 2;
  g_SaveData.m_strNextStagePath.clear();
  g_SaveData.m_strStageKey = (dir / "c05.").string();

  FinishRanked();
  EXPECT_EQ(Scene().m_anRankPlaces, kPlaces) << "no stage 2 file";
  EXPECT_EQ(IsLastStage(2), 1);

  std::ofstream((dir / "c05-2.stg4_000").string()) << "x";
  std::string path;
  EXPECT_EQ(BuildNextStagePath(path, 2, 0), 1);
  EXPECT_EQ(path, (dir / "c05-2.stg4_000").string());
  SetTotals(1000, 10, 2000, 5, 1);
  FinishRanked();
  EXPECT_EQ(Scene().m_anRankPlaces, std::vector<int32_t>(5, -1)) << "stage 2 follows";
  EXPECT_TRUE(Scene().m_anRankValues.empty());
  EXPECT_EQ(Scene().m_bNewRanking, 0);

  // A next stage path named by the clear command takes the place of the stage key's number.
  g_SaveData.m_strNextStagePath = (dir / "bonus").string();
  EXPECT_EQ(BuildNextStagePath(path, 2, 1), 0);
  EXPECT_EQ(path, (dir / "bonus.stg4").string());
  EXPECT_EQ(BuildNextStagePath(path, 2, 0), 0);
  EXPECT_EQ(path, "");
  std::filesystem::remove_all(dir);
}

// A main window on its own thread that answers the name-entry request as the dialog does: the
// name typed and OK (the scene's ranking name edited), or Cancel (left as it was).
class cNameEntryUi {
 public:
  explicit cNameEntryUi(const char* typed) {
    s_typed = typed;
    s_asked = 0;
    m_Thread = std::thread([this] {
      HWND window = CreateMessageWindow(Proc);
      g_hMainWnd.store(window);
      m_bReady = true;
      while (!m_bStop) {
        HandleSentMessages();
        std::this_thread::yield();
      }
      g_hMainWnd.store(nullptr);
      DestroyMessageWindow(window);
    });
    while (!m_bReady) std::this_thread::yield();
  }
  ~cNameEntryUi() {
    m_bStop = true;
    m_Thread.join();
  }
  static int s_asked;

 private:
  static LRESULT Proc(HWND, uint32_t msg, WPARAM, LPARAM) {
    if (msg == kMsgNameEntry) {
      ++s_asked;
      if (s_typed) SceneStage()->m_strRankName = s_typed;
      g_nNameEntryDone.store(1);
    }
    return 0;
  }
  static const char* s_typed;
  std::atomic<bool> m_bReady{false};
  std::atomic<bool> m_bStop{false};
  std::thread m_Thread;
};
int cNameEntryUi::s_asked = 0;
const char* cNameEntryUi::s_typed = nullptr;

// Ranking entry after the places above were found: the rankings are saved in the story folder of a
// scratch game folder, and the table shown afterwards is left with button 1.
class RankingEntryTest : public StageClearRankingTest {
 protected:
  RankingEntryTest() : m_OldFolder(std::filesystem::current_path()), m_nOldEntry(g_OptionData.m_nRankingEntry) {
    const std::filesystem::path dir = TestTempDir() / "ranking_entry";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "user_data" / "story");
    std::filesystem::current_path(dir);
    g_SaveData.m_strStageKey = "data\\stg4\\c01.";
    g_SaveData.m_bCondOn = 0;
    g_SaveData.m_strRankingName = "last";
    g_OptionData.m_strRankingName = "fix";
    g_SceneMgr.m_nFrameRate = 0;  // unpaced
    SetDefaultKeyConfig();
    g_InputStates.assign(1, cInputState{});
    FinishRanked();
  }
  ~RankingEntryTest() override {
    UseInputScript(cInputScript{});
    ReleaseAllKeys();
    g_OptionData.m_nRankingEntry = m_nOldEntry;
    g_SceneMgr.m_nFrameRate = 60;
    std::filesystem::current_path(m_OldFolder);
  }
  void Register() {
    SetFrameLimit(0);
    ReleaseAllKeys();
    cInputScript script;
    ASSERT_TRUE(ParseInputScript("2 press Z\n", script, nullptr));
    UseInputScript(script);
    m_Harness.ClearTraces();
    RegisterRanking(Scene());
  }
  // The name and value at a row of a kind's table, as saved.
  static std::pair<std::string, int32_t> SavedRow(int kind, int row) {
    cRanking saved;
    if (!LoadRankingFile(saved, 0, "data\\stg4\\c01.", 0, 0, 0)) return {"no file", 0};
    const cRankEntry& entry = saved.m_aTables[static_cast<size_t>(kind)].m_aEntries[static_cast<size_t>(row)];
    return {entry.m_bUsed ? entry.m_strName : "unused", entry.m_nValue};
  }

  std::filesystem::path m_OldFolder;
  int32_t m_nOldEntry;
};

TEST_F(RankingEntryTest, ThePlayIsEnteredAtEveryPlaceItReachedAndSaved) {
  struct Case {
    const char* what;
    int32_t option;
    const char* typed;  // the dialog's answer; null for Cancel
    int asked;          // name requests sent
    const char* name;   // entered, and the progress's name afterwards
    const char* progressName;
  };
  const Case cases[] = {
      {"by hand, name typed", 0, "Bob", 1, "Bob", "Bob"},
      {"by themselves, name typed", 2, "Eve", 1, "Eve", "Eve"},
      {"a cancelled dialog enters the last name", 0, nullptr, 1, "last", "last"},
      {"by hand, fixed name", 1, "Bob", 0, "fix", "last"},
      {"by themselves, fixed name", 3, "Bob", 0, "fix", "last"},
  };
  for (const Case& c : cases) {
    ResetRanking(g_Ranking);
    Fill(g_Ranking.m_aTables[2].m_aEntries[0], 5000);
    Fill(g_Ranking.m_aTables[2].m_aEntries[1], 8000);
    g_SaveData.m_strRankingName = "last";
    Scene().m_bRankingDone = 0;
    g_OptionData.m_nRankingEntry = c.option;
    {
      cNameEntryUi ui(c.typed);
      Register();
      EXPECT_EQ(cNameEntryUi::s_asked, c.asked) << c.what;
    }
    EXPECT_EQ(Scene().m_strRankName, c.name) << c.what;
    EXPECT_EQ(g_SaveData.m_strRankingName, c.progressName) << c.what;
    EXPECT_EQ(Scene().m_bRankingDone, 1) << c.what;
    EXPECT_EQ(m_Harness.Sounds().front(), kSoundRankingEntered) << c.what;
    // The remaining time heads its table, the clear time goes below 5000; the kinds without a
    // place keep their tables.
    EXPECT_EQ(SavedRow(1, 0), std::make_pair(std::string(c.name), 90)) << c.what;
    EXPECT_EQ(SavedRow(2, 0), std::make_pair(std::string("AAA"), 5000)) << c.what;
    EXPECT_EQ(SavedRow(2, 1), std::make_pair(std::string(c.name), 6567)) << c.what;
    EXPECT_EQ(SavedRow(2, 2), std::make_pair(std::string("AAA"), 8000)) << c.what;
    for (int kind : {0, 3, 4}) EXPECT_EQ(SavedRow(kind, 0).first, "unused") << c.what << " kind " << kind;
  }
}

TEST_F(RankingEntryTest, APlayIsEnteredOnlyOnceAndOnlyWithANewPlace) {
  struct Case {
    const char* what;
    int32_t rankingOn, newRanking, done;
  };
  const Case cases[] = {
      {"rankings off", 0, 1, 0},
      {"no new place", 1, 0, 0},
      {"already entered", 1, 1, 1},
  };
  g_OptionData.m_nRankingEntry = 0;
  for (const Case& c : cases) {
    g_RankingOn = c.rankingOn;
    Scene().m_bNewRanking = c.newRanking;
    Scene().m_bRankingDone = c.done;
    cNameEntryUi ui("Bob");
    m_Harness.ClearTraces();
    RegisterRanking(Scene());
    EXPECT_EQ(cNameEntryUi::s_asked, 0) << c.what;
    EXPECT_TRUE(m_Harness.Sounds().empty()) << c.what;
    EXPECT_FALSE(std::filesystem::exists("user_data/story/c01.rkg")) << c.what;
    EXPECT_EQ(g_Ranking.m_aTables[1].m_aEntries[0].m_bUsed, 0) << c.what;
  }
}

}  // namespace
