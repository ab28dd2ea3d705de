// The free-play list: which files it lists and in what order, where it opens from the remembered row
// and name (a damaged memory included), its window and scroll bar (an empty list too), the moves with
// wrap and paging, and the start of a stage with the place remembered, or its refusal that keeps the
// player in the list.
#include "menus/free_list_scene.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "data/play_mode.h"
#include "data/save_data.h"
#include "menu_scene_fixture.h"
#include "menus/free_list.h"
#include "menus/menu_scene.h"
#include "shell/list_positions.h"
#include "stage/stage_files.h"
#include "stage/stage_loading.h"

namespace menutest {
namespace {

namespace fs = std::filesystem;

class FreeListTest : public cMenuSceneTest {
 protected:
  FreeListTest() {
    m_nSceneAtStart = kSceneFreeList;
    g_SceneMgr.m_nScene = kSceneFreeList;
    g_ModeIndex = 2;
    g_PlayMode = kPlayModeFree;
    g_FreeData.m_nCursor = 0;
    g_FreeData.m_strFileName.clear();
  }
  ~FreeListTest() override {
    g_FreeData.m_nCursor = 0;
    g_FreeData.m_strFileName.clear();
  }
  cSceneFreeList& List() { return static_cast<cSceneFreeList&>(*m_Scene); }
  cSceneFreeList& Open() {
    cSceneFreeList& list = Start<cSceneFreeList>();
    FadeIn();
    Sounds().clear();
    return list;
  }
  static int Row() { return g_MenuCursor.Top().nRow; }
  static fs::path StageFolder() { return fs::current_path() / "data" / "stg4"; }
  static void WriteText(const fs::path& path, const char* text = "x") { std::ofstream(path, std::ios::binary) << text; }
  // count stage files named s01.stg4 ... (two digits, so that name order is number order).
  static void WriteStages(int count) {
    for (int i = 1; i <= count; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "s%02d.stg4", i);
      WriteText(StageFolder() / name);
    }
  }
  static std::vector<std::string> Names(const std::vector<FREEENTRY>& list) {
    std::vector<std::string> names;
    for (const FREEENTRY& e : list) names.push_back(e.strName);
    return names;
  }
  static std::vector<std::string> TextsAt(double x) {
    std::vector<std::string> texts;
    for (const DDTRACECALL& c : DrawsNamed("cFont::DrawString"))
      if (c.adArgs[0] == x) texts.push_back(c.strText);
    return texts;
  }
  static std::vector<std::pair<double, double>> Arrows() {
    std::vector<std::pair<double, double>> arrows;
    for (const DDTRACECALL& c : BlitsFrom(kPictureAccessory))
      if (c.adArgs[2] == 16 && c.adArgs[4] == 64 && c.adArgs[5] == 0) arrows.emplace_back(c.adArgs[0], c.adArgs[1]);
    return arrows;
  }
};

TEST_F(FreeListTest, TheListHoldsEveryStageFileAndVariantInNameOrder) {
  // Written in reverse: the order is the names', not the writing's or the file system's.
  for (const char* name : {"readme.txt", "d.stg", "c.stg4x", "b.stg4", "a.stg4_001", "a.stg4_000", "B2.stg4"})
    WriteText(StageFolder() / name);
  fs::create_directories(StageFolder() / "folder.stg4");
  const std::vector<FREEENTRY> list = BuildFreeList();
  EXPECT_EQ(Names(list), (std::vector<std::string>{"a.stg4_000", "a.stg4_001", "b.stg4", "B2.stg4", "c.stg4x"}));
  ASSERT_FALSE(list.empty());
  EXPECT_EQ(list[0].strPath, "data\\stg4\\a.stg4_000");

  fs::remove_all(StageFolder());
  EXPECT_TRUE(BuildFreeList().empty());
}

TEST_F(FreeListTest, TheRememberedRowCountsOnlyWhileItsFileKeepsItsName) {
  std::vector<FREEENTRY> thirty;
  for (int i = 1; i <= 30; ++i) thirty.push_back({"", "x" + std::to_string(i) + ".stg4"});
  const std::vector<FREEENTRY> fifteen(thirty.begin(), thirty.begin() + 15);
  struct Case {
    const std::vector<FREEENTRY>* list;
    int32_t row;
    std::string name;
    int32_t wantRow, wantTop;
    bool kept;
  };
  const std::vector<FREEENTRY> none;
  const Case cases[] = {
      {&thirty, 24, "x25.stg4", 24, 10, true},
      {&thirty, 5, "x6.stg4", 5, 5, true},
      {&fifteen, 12, "x13.stg4", 12, 0, true},
      {&thirty, 24, "old.stg4", 0, 0, false},   // renamed or deleted
      {&fifteen, 15, "x16.stg4", 0, 0, false},  // past the list
      {&thirty, 2, "X3.stg4", 0, 0, false},     // names compare with case
      {&none, 0, "", 0, 0, false},
      // A damaged memory: a row before the list or far past it is no match.
      {&thirty, -1, "x30.stg4", 0, 0, false},
      {&thirty, INT_MIN, "x1.stg4", 0, 0, false},
      {&thirty, INT_MAX, "x1.stg4", 0, 0, false},
  };
  for (const Case& c : cases) {
    cFreeData data;
    data.m_nCursor = c.row;
    data.m_strFileName = c.name;
    const cFreeListPlace place = RestoreFreeListPlace(*c.list, data);
    EXPECT_EQ(place.nRow, c.wantRow) << c.row << " " << c.name;
    EXPECT_EQ(place.nTop, c.wantTop) << c.row << " " << c.name;
    EXPECT_EQ(data.m_nCursor, c.kept ? c.row : 0) << c.row << " " << c.name;
    EXPECT_EQ(data.m_strFileName, c.kept ? c.name : "") << c.row << " " << c.name;
  }
}

TEST_F(FreeListTest, ADamagedFreeDataOpensTheListOnItsFirstFile) {
  WriteStages(5);
  // "user_data\Free.dat" as written at exit (data version, the two ints, the name), with the row
  // of a file that never was: before the list, and far past it.
  for (int32_t row : {-1, INT_MIN, 5, INT_MAX}) {
    const std::string name = "s05.stg4";
    std::vector<int32_t> words = {986, 2, row, 0, 1, static_cast<int32_t>(name.size() + 1)};
    std::string bytes(reinterpret_cast<const char*>(words.data()), words.size() * sizeof(int32_t));
    bytes += name;
    bytes += '\0';
    std::ofstream(fs::current_path() / "user_data" / "Free.dat", std::ios::binary) << bytes;
    ASSERT_TRUE(g_FreeData.LoadFile(kFreeDataPath));
    ASSERT_EQ(g_FreeData.m_nCursor, row);
    Start<cSceneFreeList>();
    Frame();
    EXPECT_EQ(Row(), 0) << row;
    EXPECT_EQ(List().Top(), 0) << row;
    EXPECT_EQ(g_FreeData.m_nCursor, 0) << row;
    EXPECT_EQ(g_FreeData.m_strFileName, "") << row;
    EXPECT_EQ(TextsAt(32).size(), 5u) << row;
  }
}

TEST_F(FreeListTest, TheWindowAndScrollBarFollowTheList) {
  struct Case {
    int count, top, window, track, thumbY, thumbH;
  };
  const Case cases[] = {
      {30, 0, 20, 320, 0, 213},  {30, 10, 20, 320, 106, 213}, {5, 0, 5, 80, 0, 80},
      {25, 5, 20, 320, 64, 256}, {0, 0, 0, 0, 0, 0},  // empty: no bar, and no division by its count
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FreeListWindow(c.count, c.top), c.window) << c.count << " " << c.top;
    const cScrollBar bar = FreeListScrollBar(c.count, c.top, c.window);
    EXPECT_EQ(bar.nTrackHeight, c.track) << c.count << " " << c.top;
    EXPECT_EQ(bar.nThumbOffset, c.thumbY) << c.count << " " << c.top;
    EXPECT_EQ(bar.nThumbHeight, c.thumbH) << c.count << " " << c.top;
  }
}

TEST_F(FreeListTest, TheScreenShowsTheCaptionTheVisibleNamesAndTheScrollBar) {
  WriteStages(30);
  g_FreeData.m_nCursor = 24;
  g_FreeData.m_strFileName = "s25.stg4";
  Start<cSceneFreeList>();
  Frame();
  EXPECT_EQ(List().Count(), 30);
  EXPECT_EQ(Row(), 24);
  EXPECT_EQ(List().Top(), 10);
  EXPECT_EQ(List().Window(), 20);
  // The caption of the title menu's free item, centred in the large font.
  bool caption = false;
  for (const DDTRACECALL& c : DrawsNamed("cFont::DrawString"))
    caption = caption || (c.strText == "フリー" && c.adArgs[0] == 272 && c.adArgs[1] == 32);
  EXPECT_TRUE(caption);
  const std::vector<std::string> names = TextsAt(32);
  ASSERT_EQ(names.size(), 20u);
  EXPECT_EQ(names.front(), "s11.stg4");
  EXPECT_EQ(names.back(), "s30.stg4");
  const auto bars = DrawsNamed("DDBltStretch");
  ASSERT_EQ(bars.size(), 2u);
  EXPECT_EQ(bars[0].adArgs, (std::vector<double>{620, 160, 16, 320, 80, 16, 16, 16, 1}));
  EXPECT_EQ(bars[1].adArgs, (std::vector<double>{620, 266, 16, 213, 64, 16, 16, 16, 1}));
  FadeIn();
  Frame();
  EXPECT_EQ(Arrows(), (std::vector<std::pair<double, double>>{{16, 384}}));
}

TEST_F(FreeListTest, AnEmptyListShowsDashesRefusesDecideAndCancelReturnsToTheTitle) {
  Start<cSceneFreeList>();
  Frame();
  EXPECT_EQ(List().Count(), 0);
  EXPECT_EQ(TextsAt(32), std::vector<std::string>{"----------------"});
  EXPECT_TRUE(DrawsNamed("DDBltStretch").empty());
  FadeIn();
  Sounds().clear();
  Press(kDirDown);
  Press(kDirRight);
  EXPECT_EQ(Row(), 0);
  EXPECT_EQ(List().Top(), 0);
  Push(kMenuDecide);
  EXPECT_EQ(Sounds(), std::vector<int>{kMenuSoundRefused});
  EXPECT_EQ(List().m_nPhase, cSceneFreeList::kPhaseMain);
  Sounds().clear();
  Push(kMenuCancel);
  EXPECT_EQ(Sounds(), std::vector<int>{kMenuSoundCancel});
  EXPECT_EQ(g_SceneMgr.m_nRequestScene, kSceneTitle);
  FadeOut();
  EXPECT_EQ(g_SceneMgr.m_nScene, kSceneTitle);
  EXPECT_EQ(g_SceneMgr.m_nPrevScene, kSceneFreeList);
}

TEST_F(FreeListTest, TheCursorWrapsAndPagesAndTheScreenIsRedrawnOnlyOnAMove) {
  WriteStages(30);
  struct Case {
    std::vector<uint16_t> moves;
    int row, top;
  };
  const Case cases[] = {
      {{kDirUp}, 29, 10},
      {{kDirUp, kDirDown}, 0, 0},
      {{kDirRight}, 19, 10},
      {{kDirRight, kDirRight}, 29, 10},
      {{kDirRight, kDirRight, kDirLeft}, 10, 0},
  };
  for (const Case& c : cases) {
    Open();
    const int draws = List().ScreenDraws();
    for (int i = 0; i < 5; ++i) Frame();
    EXPECT_EQ(List().ScreenDraws(), draws);
    for (uint16_t dir : c.moves) Press(dir);
    EXPECT_EQ(Row(), c.row);
    EXPECT_EQ(List().Top(), c.top);
    EXPECT_EQ(List().ScreenDraws(), draws + static_cast<int>(c.moves.size()));
    EXPECT_EQ(Arrows(), (std::vector<std::pair<double, double>>{{16, 160 + 16.0 * (c.row - c.top)}}));
  }
}

TEST_F(FreeListTest, AChosenStageStartsAsAFreePlayAndItsPlaceIsRememberedForTheNextVisit) {
  WriteStages(30);
  WriteBytes(StageFolder() / "s25.stg4", StageFile(986, SmallStage()));
  Open();
  for (int i = 0; i < 24; ++i) Press(kDirDown);
  ASSERT_EQ(Row(), 24);
  Sounds().clear();
  Push(kMenuDecide);
  EXPECT_EQ(Sounds(), std::vector<int>{kMenuSoundDecide}) << testing::PrintToString(Boxes());
  EXPECT_EQ(g_StagePath, "data\\stg4\\s25.stg4");
  EXPECT_EQ(g_SaveData.m_strStageKey, "data\\stg4\\s25.");
  EXPECT_EQ(g_SaveData.m_bNumberedStage, 0);
  EXPECT_EQ(g_FreeData.m_nCursor, 24);
  EXPECT_EQ(g_FreeData.m_strFileName, "s25.stg4");
  EXPECT_EQ(g_SceneMgr.m_nRequestScene, kSceneStage);
  EXPECT_EQ(List().m_nPhase, cSceneFreeList::kPhaseFadeOut);
  FadeOut();
  EXPECT_EQ(g_SceneMgr.m_nScene, kSceneStage);
  EXPECT_EQ(g_SceneMgr.m_nPrevScene, kSceneFreeList);
  // Free.dat is written at exit, not here.
  EXPECT_FALSE(fs::exists(fs::current_path() / "user_data" / "Free.dat"));

  // Back from the stage: the same file, with the top that shows it.
  g_SceneMgr.m_nScene = kSceneFreeList;
  Open();
  EXPECT_EQ(Row(), 24);
  EXPECT_EQ(List().Top(), 10);

  // The file given another name: the first file, and the memory is cleared.
  fs::rename(StageFolder() / "s25.stg4", StageFolder() / "t25.stg4");
  Open();
  EXPECT_EQ(Row(), 0);
  EXPECT_EQ(List().Top(), 0);
  EXPECT_EQ(g_FreeData.m_nCursor, 0);
  EXPECT_EQ(g_FreeData.m_strFileName, "");
}

TEST_F(FreeListTest, AFileThatCannotBeStartedIsRefusedAndThePlayerStaysInTheList) {
  WriteStages(3);
  WriteBytes(StageFolder() / "s03.stg4", StageFile(986, SmallStage()));
  g_FreeData.m_nCursor = 0;
  g_FreeData.m_strFileName = "s01.stg4";
  Open();
  // Not a stage file: the loader says why; no fatal stop, the list stays.
  Push(kMenuDecide);
  EXPECT_EQ(Sounds(), std::vector<int>{kMenuSoundRefused});
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_NE(Boxes()[0].find("data\\stg4\\s01.stg4"), std::string::npos) << Boxes()[0];
  EXPECT_EQ(g_bQuit.load(), 0);
  EXPECT_FALSE(CloseWasPosted());
  EXPECT_EQ(List().m_nPhase, cSceneFreeList::kPhaseMain);
  EXPECT_EQ(g_FreeData.m_strFileName, "s01.stg4");

  // Deleted after the list was read, or replaced by a folder: refused without a message.
  fs::remove(StageFolder() / "s02.stg4");
  fs::create_directories(StageFolder() / "s02.stg4");
  Press(kDirDown);
  Sounds().clear();
  Boxes().clear();
  Push(kMenuDecide);
  EXPECT_EQ(Sounds(), std::vector<int>{kMenuSoundRefused});
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(List().m_nPhase, cSceneFreeList::kPhaseMain);

  // The list goes on working: the third file starts.
  Press(kDirDown);
  Sounds().clear();
  Push(kMenuDecide);
  EXPECT_EQ(Sounds(), std::vector<int>{kMenuSoundDecide}) << testing::PrintToString(Boxes());
  EXPECT_EQ(g_FreeData.m_nCursor, 2);
  EXPECT_EQ(g_SceneMgr.m_nRequestScene, kSceneStage);
}

}  // namespace
}  // namespace menutest
