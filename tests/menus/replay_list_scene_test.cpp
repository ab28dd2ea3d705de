// The replay list: the replay folder's files with the cleared-only filter, the four sort orders, the
// help lines in a window and in full screen, the place in the list remembered across visits (and a
// damaged memory of it brought back into the list), playback of the chosen replay (a file gone or
// damaged leaves the player in the list), the file manager, the refresh, and buttons 4 and 5 acting
// once per press.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "data/input_log.h"
#include "data/option_data.h"
#include "data/replay_file.h"
#include "data/system_data.h"
#include "menu_scene_fixture.h"
#include "menus/install_menu_scenes.h"
#include "menus/menu_scene.h"
#include "menus/replay_list.h"
#include "menus/replay_list_scene.h"
#include "shell/list_positions.h"
#include "shell/main_window.h"
#include "stage/replay_play.h"
#include "stage/stage_files.h"
#include "stage/stage_loading.h"
#include "test_support/temp_dir.h"
#include "ui/show_in_explorer.h"

namespace menutest {
namespace {

namespace fs = std::filesystem;

constexpr uint16_t kButton5 = 16;
constexpr const char* kSortLine = "Cキー：ソートの切り替え  ";

// 2009-03-07 14:05:09, 2009-03-07 09:00:00 and 2008-12-31 23:59:59 in UTC.
constexpr std::time_t kMarch7Afternoon = 1236434709;
constexpr std::time_t kMarch7Morning = 1236416400;
constexpr std::time_t kNewYearsEve = 1230767999;

std::vector<std::string>& Spawned() {
  static std::vector<std::string> spawned;
  return spawned;
}

class ReplayListTest : public cMenuSceneTest {
 protected:
  ReplayListTest() {
    const char* tz = std::getenv("TZ");
    m_bHadTz = tz != nullptr;
    if (tz) m_strOldTz = tz;
    setenv("TZ", "UTC0", 1);
    tzset();
    m_nSceneAtStart = kSceneReplayList;
    g_SceneMgr.m_nScene = kSceneReplayList;
    g_PlayMode = kPlayModeReplay;
    g_ModeIndex = 3;
    m_nOldWindowed = g_Windowed;
    g_Windowed = 1;
    m_OldReplayData = {g_ReplayData.m_nCursor, g_ReplayData.m_strFileName, g_ReplayData.m_nSortOrder};
    g_ReplayData.m_nCursor = 0;
    g_ReplayData.m_strFileName.clear();
    g_ReplayData.m_nSortOrder = 0;
    m_OldReplayList = g_ReplayList;
    g_ReplayList.clear();
    m_nOldSwitched = g_bReplaySwitched;
    fs::create_directories(m_Display.Dir() / "user_data" / "rpl4");
    Spawned().clear();
  }
  ~ReplayListTest() override {
    g_Windowed = m_nOldWindowed;
    g_ReplayData.m_nCursor = m_OldReplayData.nCursor;
    g_ReplayData.m_strFileName = m_OldReplayData.strName;
    g_ReplayData.m_nSortOrder = m_OldReplayData.nOrder;
    g_ReplayList = m_OldReplayList;
    g_bReplaySwitched = m_nOldSwitched;
    if (m_bHadTz)
      setenv("TZ", m_strOldTz.c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }

  cSceneReplayList& List() { return static_cast<cSceneReplayList&>(*m_Scene); }
  cSceneReplayList& Open() {
    cSceneReplayList& list = Start<cSceneReplayList>();
    FadeIn();
    return list;
  }
  int Row() { return g_MenuCursor.Top().nRow; }

  static fs::path ReplayPath(const std::string& name) { return fs::current_path() / "user_data" / "rpl4" / name; }
  static std::string GamePath(const std::string& name) { return std::string(kReplayFolder) + name; }
  static void Touch(const std::string& name, std::time_t when) {
    const timespec times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, ReplayPath(name).c_str(), times, 0), 0) << name;
  }
  // A file in the replay folder whose contents are no replay (the list does not read them).
  static void Junk(const std::string& name, std::time_t when = kMarch7Morning) {
    std::ofstream(ReplayPath(name), std::ios::binary) << "not a replay";
    Touch(name, when);
  }
  // A replay of a small stage with a hero, as stage play saves it.
  static void Replay(const std::string& name, std::time_t when = kMarch7Morning) {
    cStageData settings;
    cCharaType hero;
    ASSERT_EQ(LoadPlayStageBytes(StageFile(986, SmallStage()), "data\\stg4\\x.stg4", &settings, &hero), 1);
    cInputLog log;
    log.RecordInputFrame(0, 1);
    log.m_nSeed = 77;
    ASSERT_EQ(SaveReplayFile(GamePath(name).c_str(), log, g_StageFile, settings, g_SaveData), 1);
    Touch(name, when);
  }
  // Files named r00 ... r(n-1), one second apart in name order.
  static void Files(int n) {
    for (int i = 0; i < n; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "r%02d.rpl4_986", i);
      Junk(name, kMarch7Morning + i);
    }
  }
  static std::vector<std::string> Names(const std::vector<cReplayRow>& rows) {
    std::vector<std::string> names;
    for (const cReplayRow& r : rows) names.push_back(r.strFileName);
    return names;
  }
  static bool TextAt(const std::string& text, double x, double y) {
    for (const DDTRACECALL& c : DrawsNamed("cFont::DrawString"))
      if (c.strText == text && c.adArgs[0] == x && c.adArgs[1] == y) return true;
    return false;
  }
  static bool ArrowAt(double x, double y) {
    for (const DDTRACECALL& b : BlitsFrom(kPictureAccessory))
      if (b.adArgs[0] == x && b.adArgs[1] == y && b.adArgs[4] == 64 && b.adArgs[5] == 0) return true;
    return false;
  }

  struct cSaved {
    int32_t nCursor;
    std::string strName;
    int32_t nOrder;
  };
  cSaved m_OldReplayData{};
  std::vector<cReplayListEntry> m_OldReplayList;
  int m_nOldWindowed = 1;
  int m_nOldSwitched = 0;
  bool m_bHadTz = false;
  std::string m_strOldTz;
  cHooksGuard<cShowInExplorerHooks> m_Explorer{SetShowInExplorerHooks,
                                               {.spawn =
                                                    [](const std::vector<std::string>& argv, int) {
                                                      Spawned().push_back(argv.empty() ? "" : argv.back());
                                                      return 0;
                                                    },
                                                .sessionBus = []() -> const char* { return nullptr; }}};
};

TEST_F(ReplayListTest, TheClearedOnlyOrderKeepsTheReplaysOfClearedPlays) {
  struct Case {
    const char* name;
    bool listedAlways;
    bool listedClearedOnly;
  };
  const Case cases[] = {
      {"2009_0307_140509_c01-1_CLEAR_.rpl4_986", true, true},
      {"2009_0307_140509_c01-1.rpl4_986", true, false},
      {"x_CLEAR_y.rpl4_986", true, false},
      {"2009_0307_140509_c01-1_clear_.rpl4_986", true, false},
      // The second cleared replay saved in the same second.
      {"2009_0307_140509_c01-1_CLEAR_ (2).rpl4_986", true, true},
      {"old_CLEAR_.rpl4", true, true},
      {"notes_CLEAR_.txt", false, false},
  };
  for (const Case& c : cases) Junk(c.name);
  // A folder that looks like a replay is none.
  fs::create_directories(ReplayPath("folder_CLEAR_.rpl4_986"));
  for (int32_t option : {0, 1, 2}) {
    g_OptionData.m_nReplayOrder = option;
    Start<cSceneReplayList>();
    Frame();
    const std::vector<std::string> names = Names(List().Rows());
    for (const Case& c : cases) {
      const bool listed = option == 1 ? c.listedClearedOnly : c.listedAlways;
      EXPECT_EQ(std::find(names.begin(), names.end(), c.name) != names.end(), listed) << option << " " << c.name;
    }
    EXPECT_EQ(std::find(names.begin(), names.end(), "folder_CLEAR_.rpl4_986"), names.end());
    // Playback steps through the same names.
    ASSERT_EQ(g_ReplayList.size(), names.size());
    for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(g_ReplayList[i].strFileName, names[i]);
  }
}

TEST_F(ReplayListTest, FourSortOrdersWithTheirNamesInTheHelpLine) {
  Junk("b.rpl4_986", kMarch7Afternoon);
  Junk("a.rpl4_986", kMarch7Morning);
  Junk("C.rpl4_986", kNewYearsEve);
  struct Case {
    int32_t order;
    std::vector<std::string> names;
    const char* label;
  };
  const Case cases[] = {
      {0, {"C.rpl4_986", "a.rpl4_986", "b.rpl4_986"}, "更新日時順↓（推奨）"},
      {1, {"b.rpl4_986", "a.rpl4_986", "C.rpl4_986"}, "更新日時順↑"},
      {2, {"a.rpl4_986", "b.rpl4_986", "C.rpl4_986"}, "ファイル名順↓"},
      {3, {"C.rpl4_986", "b.rpl4_986", "a.rpl4_986"}, "ファイル名順↑"},
  };
  for (const Case& c : cases) {
    g_ReplayData.m_nSortOrder = c.order;
    Start<cSceneReplayList>();
    Frame();
    EXPECT_EQ(Names(List().Rows()), c.names) << c.order;
    EXPECT_TRUE(TextAt(std::string(kSortLine) + c.label, 50, 88)) << c.order;
  }
  // The keys are the local date and time of the last write.
  g_ReplayData.m_nSortOrder = 1;
  Start<cSceneReplayList>();
  Frame();
  ASSERT_EQ(List().Rows().size(), 3u);
  EXPECT_EQ(List().Rows()[0].nDate, 20090307u);
  EXPECT_EQ(List().Rows()[0].nTime, 140509u);
  EXPECT_EQ(List().Rows()[2].nDate, 20081231u);
  EXPECT_EQ(List().Rows()[2].nTime, 235959u);
}

TEST_F(ReplayListTest, ReplaysOfTheSameSecondComeInOneOrderEveryTime) {
  for (const char* name : {"m.rpl4_986", "k.rpl4_986", "z.rpl4_986", "a.rpl4_986"}) Junk(name, kMarch7Morning);
  for (int32_t order : {0, 1}) {
    std::vector<cReplayRow> first = BuildReplayRows(false, order);
    EXPECT_EQ(Names(first), (std::vector<std::string>{"a.rpl4_986", "k.rpl4_986", "m.rpl4_986", "z.rpl4_986"}));
    EXPECT_EQ(Names(BuildReplayRows(false, order)), Names(first));
  }
}

TEST_F(ReplayListTest, ButtonThreeStepsThroughTheFourOrdersBackToTheFirstOnTheFirstRow) {
  Files(10);
  Open();
  for (int i = 0; i < 6; ++i) Press(kDirDown);
  ASSERT_EQ(Row(), 6);
  for (int32_t expected : {1, 2, 3, 0}) {
    Sounds().clear();
    Push(kMenuButton3);
    EXPECT_EQ(g_ReplayData.m_nSortOrder, expected);
    EXPECT_EQ(Row(), 0) << expected;
    EXPECT_EQ(List().Top(), 0) << expected;
    EXPECT_EQ(Sounds(), std::vector<int>{kMenuSoundDecide}) << expected;
  }
  // Held, the sort goes on every frame.
  Frame(0, kMenuButton3);
  Frame(0, kMenuButton3);
  Frame(0, kMenuButton3);
  EXPECT_EQ(g_ReplayData.m_nSortOrder, 3);
  Frame();
  // The arrow stands on the first row at once.
  EXPECT_TRUE(ArrowAt(16, 160));
}

TEST_F(ReplayListTest, AnEmptyFolderShowsTheDashesAndRefusesEveryChoice) {
  Start<cSceneReplayList>();
  Frame();
  EXPECT_EQ(List().Count(), 0);
  EXPECT_TRUE(TextAt("----------------", 32, 163));
  EXPECT_TRUE(DrawsNamed("DDBltStretch").empty());  // no scroll bar
  FadeIn();
  Push(kMenuDecide);
  Push(kMenuButton3);
  Push(kMenuButton4);
  EXPECT_EQ(Sounds(), (std::vector<int>{kMenuSoundRefused, kMenuSoundRefused, kMenuSoundRefused}));
  EXPECT_EQ(g_ReplayData.m_nSortOrder, 0);
  EXPECT_EQ(m_Scene->m_nPhase, cSceneReplayList::kPhaseMain);
  // A refused sort ends the frame: nothing new is drawn.
  Frame(0, kMenuButton3);
  EXPECT_TRUE(Draws().empty());
}

TEST_F(ReplayListTest, TheHelpLinesInAWindowAndInFullScreen) {
  Files(3);
  Start<cSceneReplayList>();
  Frame();
  EXPECT_TRUE(TextAt("Vキー：エクスプローラーで開く", 50, 104));
  EXPECT_TRUE(TextAt("Aキー：ファイル情報の更新", 50, 120));
  EXPECT_TRUE(TextAt("リプレイ", 256, 32));
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(TextAt("r0" + std::to_string(i) + ".rpl4_986", 32, 163 + 16 * i)) << i;

  g_Windowed = 0;
  Start<cSceneReplayList>();
  Frame();
  EXPECT_FALSE(TextAt("Vキー：エクスプローラーで開く", 50, 104));
  EXPECT_TRUE(TextAt("Aキー：ファイル情報の更新", 50, 104));
  FadeIn();
  // Button 4 does nothing at all in full screen.
  Frame(0, kMenuButton4);
  EXPECT_TRUE(Sounds().empty());
  EXPECT_TRUE(Spawned().empty());
  EXPECT_TRUE(Draws().empty());
}

TEST_F(ReplayListTest, TheRememberedRowComesBackWhileItHoldsItsFile) {
  Files(30);
  struct Case {
    int32_t count;
    int32_t row;
    const char* name;
    int32_t cursor, top, window;
    bool kept;
  };
  const Case cases[] = {
      {30, 24, "r24.rpl4_986", 24, 10, 20, true},
      {30, 5, "r05.rpl4_986", 5, 5, 20, true},
      {30, 24, "old.rpl4_986", 0, 0, 20, false},
      {30, 3, "R03.rpl4_986", 0, 0, 20, false},  // names compare with their case
      {30, 30, "r29.rpl4_986", 0, 0, 20, false},
      {30, -1, "r00.rpl4_986", 0, 0, 20, false},  // a damaged file's row
      {30, INT_MAX, "", 0, 0, 20, false},
  };
  for (const Case& c : cases) {
    g_ReplayData.m_nCursor = c.row;
    g_ReplayData.m_strFileName = c.name;
    Start<cSceneReplayList>();
    Frame();
    EXPECT_EQ(Row(), c.cursor) << c.row << " " << c.name;
    EXPECT_EQ(List().Top(), c.top) << c.row;
    EXPECT_EQ(List().Window(), c.window) << c.row;
    EXPECT_EQ(g_ReplayData.m_nCursor, c.kept ? c.row : 0) << c.row;
    EXPECT_EQ(g_ReplayData.m_strFileName, c.kept ? c.name : "") << c.row;
    FadeIn();
    Frame();
    EXPECT_TRUE(ArrowAt(16, 160 + 16 * (c.cursor - c.top))) << c.row;
  }
  // The scroll bar of 30 rows from row 10: track 320 high, thumb 213 high from y 266.
  g_ReplayData.m_nCursor = 24;
  g_ReplayData.m_strFileName = "r24.rpl4_986";
  Start<cSceneReplayList>();
  Frame();
  const std::vector<DDTRACECALL> bars = DrawsNamed("DDBltStretch");
  ASSERT_EQ(bars.size(), 2u);
  EXPECT_EQ(bars[0].adArgs, (std::vector<double>{620, 160, 16, 320, 80, 16, 16, 16, 1}));
  EXPECT_EQ(bars[1].adArgs, (std::vector<double>{620, 266, 16, 213, 64, 16, 16, 16, 1}));
}

TEST_F(ReplayListTest, ASortOrderOutsideTheFourIsTheFirst) {
  Files(3);
  for (int32_t damaged : {7, -3, INT_MAX, 4}) {
    g_ReplayData.m_nSortOrder = damaged;
    Start<cSceneReplayList>();
    Frame();
    EXPECT_EQ(g_ReplayData.m_nSortOrder, 0) << damaged;
    EXPECT_TRUE(TextAt(std::string(kSortLine) + "更新日時順↓（推奨）", 50, 88)) << damaged;
    FadeIn();
    Push(kMenuButton3);
    EXPECT_EQ(g_ReplayData.m_nSortOrder, 1) << damaged;
  }
  EXPECT_EQ(NextReplaySort(3), 0);
  EXPECT_EQ(NextReplaySort(99), 1);
}

TEST_F(ReplayListTest, UpOnTheFirstRowWrapsToTheLast) {
  Files(30);
  Open();
  Sounds().clear();
  const int before = List().ScreenDraws();
  Frame(kDirUp);
  EXPECT_EQ(Row(), 29);
  EXPECT_EQ(List().Top(), 10);
  EXPECT_TRUE(ArrowAt(16, 160 + 16 * 19));
  EXPECT_TRUE(Sounds().empty());  // the cursor sound plays directly, not through a request
  EXPECT_EQ(List().ScreenDraws(), before + 1);
  Frame();
  EXPECT_EQ(List().ScreenDraws(), before + 1);  // drawn again only on a change
  Press(kDirDown);
  EXPECT_EQ(Row(), 0);
  EXPECT_EQ(List().Top(), 0);
}

TEST_F(ReplayListTest, ButtonOnePlaysTheChosenReplayBack) {
  Replay("a.rpl4_986", kNewYearsEve);
  Replay("b.rpl4_986", kMarch7Morning);
  g_bReplaySwitched = 1;  // left over from an earlier playback
  g_StageFile = cStageData();
  Open();
  Press(kDirDown);
  Sounds().clear();
  Push(kMenuDecide);
  EXPECT_EQ(Sounds(), std::vector<int>{kMenuSoundDecide});
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(m_Scene->m_nPhase, cSceneReplayList::kPhaseFadeOut);
  EXPECT_EQ(g_SceneMgr.m_nRequestScene, kSceneStage);
  EXPECT_EQ(g_SceneMgr.m_nPrevScene, kSceneReplayList);
  EXPECT_EQ(g_StagePath, GamePath("b.rpl4_986"));
  EXPECT_EQ(g_nPlayMode, kPlayModeReplay);
  EXPECT_EQ(g_InputLog.m_nSeed, 77);
  EXPECT_GE(HeroTypeIndex(g_StageFile), 0);
  EXPECT_EQ(g_bReplaySwitched, 0);
  EXPECT_EQ(g_ReplayData.m_nCursor, 1);
  EXPECT_EQ(g_ReplayData.m_strFileName, "b.rpl4_986");
  FadeOut();
  EXPECT_EQ(g_SceneMgr.m_nScene, kSceneStage);
  EXPECT_EQ(g_SceneMgr.m_nPrevScene, kSceneReplayList);
}

TEST_F(ReplayListTest, AReplayThatIsGoneOrDamagedLeavesThePlayerInTheList) {
  Replay("a.rpl4_986", kNewYearsEve);
  Junk("b.rpl4_986", kMarch7Morning);
  Replay("c.rpl4_986", kMarch7Afternoon);
  g_ReplayData.m_nCursor = 2;
  g_ReplayData.m_strFileName = "c.rpl4_986";
  // The load error goes to the report log and then into a box.
  ASSERT_EQ(ReportLogInit(TestTempPath("replay_list_report.txt").c_str()), 1);
  Open();
  // Removed after the list was read: refused.
  fs::remove(ReplayPath("c.rpl4_986"));
  Sounds().clear();
  Push(kMenuDecide);
  EXPECT_EQ(Sounds(), std::vector<int>{kMenuSoundRefused});
  EXPECT_TRUE(Boxes().empty());
  // No replay inside: its message, and the list goes on.
  Press(kDirUp);
  ASSERT_EQ(Row(), 1);
  Sounds().clear();
  Push(kMenuDecide);
  EXPECT_EQ(Sounds(), std::vector<int>{kMenuSoundDecide});
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_NE(Boxes()[0].find("b.rpl4_986 の読み込みに失敗しました！"), std::string::npos) << Boxes()[0];
  EXPECT_EQ(g_bQuit.load(), 0);
  EXPECT_FALSE(CloseWasPosted());
  EXPECT_EQ(m_Scene->m_nPhase, cSceneReplayList::kPhaseMain);
  EXPECT_EQ(g_ReplayData.m_nCursor, 2);
  EXPECT_EQ(g_ReplayData.m_strFileName, "c.rpl4_986");
  // The list still works: the first replay plays.
  Press(kDirUp);
  Push(kMenuDecide);
  EXPECT_EQ(g_SceneMgr.m_nRequestScene, kSceneStage);
  EXPECT_EQ(g_ReplayData.m_strFileName, "a.rpl4_986");
}

TEST_F(ReplayListTest, AReplayOfAStageWithoutAHeroIsRefusedWithItsMessage) {
  cStageData empty;
  cInputLog log;
  log.RecordInputFrame(0, 0);
  ASSERT_EQ(SaveReplayFile(GamePath("nohero.rpl4_986").c_str(), log, empty, empty, g_SaveData), 1);
  Open();
  Push(kMenuDecide);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_NE(Boxes()[0].find("主人公が配置されていないのでプレイできません！"), std::string::npos) << Boxes()[0];
  EXPECT_EQ(g_bQuit.load(), 0);
  EXPECT_EQ(m_Scene->m_nPhase, cSceneReplayList::kPhaseMain);
  EXPECT_EQ(g_ReplayData.m_strFileName, "");
}

TEST_F(ReplayListTest, ButtonTwoGoesBackToTheTitle) {
  Files(2);
  Open();
  Sounds().clear();
  Push(kMenuCancel);
  EXPECT_EQ(Sounds(), std::vector<int>{kMenuSoundCancel});
  EXPECT_EQ(g_SceneMgr.m_nRequestScene, kSceneTitle);
  FadeOut();
  EXPECT_EQ(g_SceneMgr.m_nScene, kSceneTitle);
  EXPECT_EQ(g_SceneMgr.m_nPrevScene, kSceneReplayList);
}

TEST_F(ReplayListTest, ButtonFourShowsTheFileOncePerPress) {
  Files(3);
  Open();
  Press(kDirDown);
  Sounds().clear();
  for (int i = 0; i < 5; ++i) Frame(0, kMenuButton4);
  EXPECT_EQ(Sounds(), std::vector<int>{kMenuSoundDecide});
  ASSERT_EQ(Spawned().size(), 1u);
  // Without a session bus the file's folder is opened.
  EXPECT_NE(Spawned()[0].find("user_data/rpl4"), std::string::npos) << Spawned()[0];
  Frame();
  Frame(0, kMenuButton4);
  EXPECT_EQ(Spawned().size(), 2u);
  // A file gone since the list was read: refused, and nothing new is drawn.
  fs::remove(ReplayPath("r01.rpl4_986"));
  Frame();
  Sounds().clear();
  Frame(0, kMenuButton4);
  EXPECT_EQ(Sounds(), std::vector<int>{kMenuSoundRefused});
  EXPECT_TRUE(Draws().empty());
  EXPECT_EQ(Spawned().size(), 2u);
}

TEST_F(ReplayListTest, ButtonFiveReadsTheFolderAgainOncePerPress) {
  Files(3);
  Open();
  Press(kDirDown);
  Press(kDirDown);
  Junk("new.rpl4_986", kNewYearsEve);
  Sounds().clear();
  for (int i = 0; i < 4; ++i) Frame(0, kButton5);
  EXPECT_EQ(Sounds(), std::vector<int>{kMenuSoundDecide});
  EXPECT_EQ(List().Count(), 4);
  EXPECT_EQ(List().Rows()[0].strFileName, "new.rpl4_986");
  EXPECT_EQ(Row(), 0);
  EXPECT_EQ(List().Top(), 0);
  EXPECT_EQ(g_ReplayList.size(), 4u);
  Frame();
  Frame(0, kButton5);
  EXPECT_EQ(Sounds().size(), 2u);
  // Held from before the list appeared, it waits for the next press.
  Start<cSceneReplayList>();
  Sounds().clear();
  for (int i = 0; i < 100 && m_Scene->m_nPhase <= 0; ++i) Frame(0, kButton5);
  Frame(0, kButton5);
  EXPECT_TRUE(Sounds().empty());
}

TEST_F(ReplayListTest, TheSceneManagerMakesTheReplayList) {
  cHooksGuard<cSceneHooks> scenes(SetSceneHooks, cSceneHooks());
  cHooksGuard<cUiHooks> ui(SetUiHooks, cUiHooks());
  InstallMenuScenes();
  const cSceneHooks now = SetSceneHooks(cSceneHooks());
  SetSceneHooks(now);
  ASSERT_NE(now.createScene[kSceneReplayList], nullptr);
  std::unique_ptr<cScene> scene(now.createScene[kSceneReplayList]());
  EXPECT_NE(dynamic_cast<cSceneReplayList*>(scene.get()), nullptr);
}

TEST(ReplayNamesTest, NamesCompareWithoutRegardToCaseFirst) {
  struct Case {
    const char* a;
    const char* b;
    int sign;
  };
  const Case cases[] = {
      {"a", "b", -1}, {"b", "C", -1}, {"C", "a", 1},
      {"a", "A", -1}, {"A", "a", 1},  {"ab", "a", 1},
      {"x", "x", 0},  {"1", "a", -1}, {"リプレイ", "リプレイ", 0},
  };
  for (const Case& c : cases) {
    const int r = CompareReplayNames(c.a, c.b);
    EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " " << c.b;
  }
}

}  // namespace
}  // namespace menutest
