// The stage select: the list of numbered stages with its window and wrap, the screen drawn again only
// when something shown changes, the total and score column, the ranking panel and its kind on
// buttons 3 and 4, and the start of a stage with the place in the list remembered.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "data/ranking.h"
#include "data/save_data.h"
#include "data/system_data.h"
#include "menu_scene_fixture.h"
#include "menus/menu_scene.h"
#include "menus/stage_select_scene.h"
#include "menus/title_scene.h"
#include "stage/stage_files.h"
#include "stage/stage_loading.h"

namespace menutest {
namespace {

class StageSelectTest : public cMenuSceneTest {
 protected:
  StageSelectTest() {
    m_nSceneAtStart = kSceneStageSelect;
    g_SceneMgr.m_nScene = kSceneStageSelect;
    g_ModeIndex = 1;
    g_RankingOn = 1;
    g_SystemData.m_nSaveVarCount = 25;
    g_SystemData.m_nMenuOptA = 0;  // the opened stages only, unless a test opens them all
    g_SaveData.ResetProgress(25);
  }
  cSceneStageSelect& Select() { return static_cast<cSceneStageSelect&>(*m_Scene); }
  cSceneStageSelect& Open() {
    cSceneStageSelect& select = Start<cSceneStageSelect>();
    FadeIn();
    return select;
  }
  int Row() { return g_MenuCursor.Top().nRow; }
  // The texts drawn into the pre-rendered screen this frame: position and text.
  static std::vector<std::pair<std::pair<double, double>, std::string>> Texts() {
    std::vector<std::pair<std::pair<double, double>, std::string>> texts;
    for (const DDTRACECALL& c : DrawsNamed("cFont::DrawString"))
      texts.push_back({{c.adArgs[0], c.adArgs[1]}, c.strText});
    return texts;
  }
  static bool TextShown(const std::string& text, double x, double y) {
    for (const auto& t : Texts())
      if (t.second == text && t.first.first == x && t.first.second == y) return true;
    return false;
  }
  static int TextsAtX(double x) {
    int n = 0;
    for (const auto& t : Texts()) n += t.first.first == x ? 1 : 0;
    return n;
  }
};

TEST_F(StageSelectTest, TheListShowsTheOpenedStagesAndWrapsAround) {
  g_SaveData.m_nChallengeUnlocked = 3;
  Start<cSceneStageSelect>();
  Frame();
  EXPECT_EQ(Select().Count(), 3);
  EXPECT_EQ(Select().Window(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(TextShown("ワールド" + std::to_string(i + 1), 64, 160 + 32 * i)) << i;
  EXPECT_EQ(TextsAtX(64), 3);
  FadeIn();
  Press(kDirDown);
  Press(kDirDown);
  EXPECT_EQ(Row(), 2);
  Press(kDirDown);
  EXPECT_EQ(Row(), 0);
  Press(kDirUp);
  EXPECT_EQ(Row(), 2);
  // The stage in focus follows the cursor.
  EXPECT_EQ(g_SaveData.m_strStageKey, "data\\stg4\\c03.");
}

TEST_F(StageSelectTest, TheWindowShrinksAtTheEndOfTheList) {
  g_SystemData.m_nMenuOptA = 1;  // every stage selectable
  struct Case {
    int row, top, window;
  };
  for (const Case& c : {Case{24, 20, 5}, Case{12, 5, 10}, Case{0, 0, 10}}) {
    g_SceneMgr.m_anSelectPos[0] = c.row;
    g_SceneMgr.m_anSelectPos[1] = c.top;
    Start<cSceneStageSelect>();
    Frame();
    EXPECT_EQ(Select().Count(), 25);
    EXPECT_EQ(Select().Top(), c.top);
    EXPECT_EQ(Select().Window(), c.window) << c.top;
    EXPECT_EQ(TextsAtX(64), c.window) << c.top;
    EXPECT_TRUE(TextShown("ワールド" + std::to_string(c.top + 1), 64, 160)) << c.top;
    FadeIn();
    Frame();
    // The hand on the remembered row.
    bool hand = false;
    for (const DDTRACECALL& b : BlitsFrom(kPictureAccessory))
      hand = hand || (b.adArgs[0] == 32 && b.adArgs[1] == 160 + 32 * (c.row - c.top) && b.adArgs[2] == 32);
    EXPECT_TRUE(hand) << c.row;
  }
}

TEST_F(StageSelectTest, ARememberedPlacePastTheOpenedStagesComesBackIntoTheList) {
  g_SaveData.m_nChallengeUnlocked = 3;
  g_SceneMgr.m_anSelectPos[0] = 7;
  g_SceneMgr.m_anSelectPos[1] = 4;
  Start<cSceneStageSelect>();
  Frame();
  EXPECT_EQ(Row(), 2);
  EXPECT_EQ(Select().Top(), 0);
  EXPECT_EQ(Select().Window(), 3);
  EXPECT_EQ(g_SaveData.m_strStageKey, "data\\stg4\\c03.");
}

TEST_F(StageSelectTest, TheScreenIsASurfaceOfItsOwnAfterTheTitleLeft) {
  Start<cSceneTitle>();
  Frame();
  Start<cSceneStageSelect>();
  FadeIn();
  Frame();
  int screens = 0;
  for (const DDTRACECALL& c : DrawsNamed("DDBlt")) {
    if (c.lpDst != &g_BackBufferSD || c.adArgs[2] != 640) continue;
    ++screens;
    ASSERT_NE(c.lpSrc, nullptr);
    EXPECT_EQ(c.lpSrc->nWidth, 640);
    EXPECT_EQ(c.lpSrc->nHeight, 480);
    EXPECT_TRUE(c.lpSrc->lpDD || c.lpSrc->lpDT) << "drawn from a released surface";
  }
  EXPECT_EQ(screens, 1);
  EXPECT_EQ(g_SceneSurfaces.size(), 1u);
}

TEST_F(StageSelectTest, TheScreenIsDrawnAgainOnlyWhenSomethingShownChanges) {
  g_SaveData.m_nChallengeUnlocked = 5;
  cSceneStageSelect& select = Open();
  const int drawn = select.ScreenDraws();
  for (int i = 0; i < 5; ++i) Frame();
  EXPECT_EQ(select.ScreenDraws(), drawn);
  EXPECT_EQ(BlitsFrom(kPictureAccessory).size(), 1u);  // the hand, every frame
  Press(kDirDown);
  EXPECT_EQ(select.ScreenDraws(), drawn + 1);
  Push(kMenuButton3);
  EXPECT_EQ(select.ScreenDraws(), drawn + 2);
}

TEST_F(StageSelectTest, TheTotalLineShowsOnlyAPositiveTotal) {
  struct Case {
    int32_t total;
    int32_t showTotal;
    bool shown;
  };
  for (const Case& c : {Case{0, 1, false}, Case{1234, 1, true}, Case{1234, 0, false}}) {
    g_SaveData.m_nResultTotal = c.total;
    g_SystemData.m_nMenuOpt167c = c.showTotal;
    Start<cSceneStageSelect>();
    Frame();
    // "トータルスコア" and four digits: 320 - 11 x 16 / 2.
    EXPECT_EQ(TextShown("トータルスコア1234", 232, 88), c.shown) << c.total << " " << c.showTotal;
    bool anyAt88 = false;
    for (const auto& t : Texts()) anyAt88 = anyAt88 || t.first.second == 88;
    EXPECT_EQ(anyAt88, c.shown);
  }
}

TEST_F(StageSelectTest, TheScoreColumnFollowsTheWorldLabelAndItsHeadingStaysOnScreen) {
  g_SaveData.m_nChallengeUnlocked = 2;
  g_SaveData.m_aChallenge[0].m_nValueA = 1;
  g_SaveData.m_aChallenge[0].m_nValueB = 900;
  struct Case {
    const char* world;
    double column;
    double heading;
  };
  // "ワールド": column 4 x 32 + 192; a 14-letter label puts the column at 640 and the heading at
  // (20 - 5) x 32 so that it ends at 640.
  for (const Case& c : {Case{"ワールド", 320, 320}, Case{"ABCDEFGHIJKLMN", 640, 480}}) {
    g_SystemData.m_astrTexts[0] = c.world;
    Start<cSceneStageSelect>();
    Frame();
    EXPECT_TRUE(TextShown("ハイスコア", c.heading, 128)) << c.world;
    EXPECT_TRUE(TextShown("900", c.column, 160)) << c.world;
    EXPECT_TRUE(TextShown("0", c.column, 192)) << c.world;
  }
  // The cleared badge of stage 1 only, after the label and four cells.
  std::vector<std::vector<double>> badges;
  for (const DDTRACECALL& b : DrawsNamed("DDBlt"))
    if (b.lpSrc == &g_SurfaceData[kPictureAccessory] && b.adArgs[4] == 96) badges.push_back(b.adArgs);
  EXPECT_EQ(badges, (std::vector<std::vector<double>>{{18 * 32, 160, 32, 32, 96, 0, 1}}));
}

TEST_F(StageSelectTest, ButtonThreeShowsThePanelOnlyWithChallengeRankings) {
  struct Case {
    int32_t rankings;
    std::vector<int32_t> panel;  // after each held frame
  };
  const Case cases[] = {
      {0, {0, 0, 0}}, {1, {1, 0, 1}},  // held: toggled on every frame
  };
  for (const Case& c : cases) {
    g_SystemData.m_aModeRanking[1].m_bEnabled = c.rankings;
    g_SaveData.m_bRankingPanel = 0;
    Open();
    Sounds().clear();
    std::vector<int32_t> panel;
    for (int i = 0; i < 3; ++i) {
      Frame(0, kMenuButton3);
      panel.push_back(g_SaveData.m_bRankingPanel);
    }
    EXPECT_EQ(panel, c.panel) << c.rankings;
    EXPECT_EQ(Sounds(), std::vector<int>(c.rankings ? 3 : 0, kMenuSoundRanking)) << c.rankings;
  }
  // A panel flag left set while rankings are off shows nothing and is cleared by button 3.
  g_SystemData.m_aModeRanking[1].m_bEnabled = 0;
  g_SaveData.m_bRankingPanel = 1;
  Start<cSceneStageSelect>();
  Frame();
  EXPECT_EQ(DrawsNamed("cFont::DrawBox").size(), 1u);  // the screen box alone
  FadeIn();
  Frame(0, kMenuButton3);
  EXPECT_EQ(g_SaveData.m_bRankingPanel, 0);
}

TEST_F(StageSelectTest, ThePanelShowsTheSelectedStagesRankingInPlaceOfTheHeading) {
  g_SaveData.m_nChallengeUnlocked = 2;
  cRanking ranking;
  InsertRank(ranking.m_aTables[0], "abc", 500);
  ASSERT_EQ(SaveRankingFile(ranking, 1, "data\\stg4\\c02.", 0, 0, 0), 1);
  Open();
  Press(kDirDown);
  EXPECT_EQ(g_Ranking.m_aTables[0].m_aEntries[0].m_nValue, 500);
  Frame(0, kMenuButton3);
  ASSERT_EQ(g_SaveData.m_bRankingPanel, 1);
  const std::vector<DDTRACECALL> boxes = DrawsNamed("cFont::DrawBox");
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].adArgs, (std::vector<double>{353, 109, 270, 351}));
  EXPECT_FALSE(TextShown("ハイスコア", 320, 128));
}

TEST_F(StageSelectTest, ButtonFourStepsTheKindOnEveryFrameWhileHeld) {
  struct Case {
    std::vector<uint8_t> kinds;
    std::vector<int32_t> steps;
    size_t sounds;
  };
  const Case cases[] = {
      {{1, 1, 1, 1, 1}, {1, 2, 3}, 3},
      {{1, 0, 1, 0, 0}, {2, 0, 2}, 3},
      {{0, 0, 1, 0, 0}, {0, 0, 0}, 0},  // one kind: nothing to switch to
  };
  for (const Case& c : cases) {
    g_SystemData.m_aModeRanking[1].m_bEnabled = 1;
    g_SystemData.m_aModeRanking[1].m_abKinds = c.kinds;
    g_SaveData.m_nRankingKind = 0;
    Open();
    Sounds().clear();
    std::vector<int32_t> steps;
    for (int i = 0; i < 3; ++i) {
      Frame(0, kMenuButton4);
      steps.push_back(g_SaveData.m_nRankingKind);
    }
    EXPECT_EQ(steps, c.steps);
    EXPECT_EQ(Sounds().size(), c.sounds);
  }
}

TEST_F(StageSelectTest, AStageStartsWithTheChallengesLivesAndTheListPlaceRemembered) {
  g_SystemData.m_nMenuOptA = 1;
  g_SystemData.m_anModeOpt = {1, 0, 1, 1};
  g_SystemData.m_anStartLives = {5, 4, 5, 99};
  WriteBytes(m_Display.Dir() / "data" / "stg4" / "c13-1.stg4_003", StageFile(986, SmallStage()));
  g_SceneMgr.m_anSelectPos[0] = 11;
  g_SceneMgr.m_anSelectPos[1] = 5;
  Open();
  Press(kDirDown);
  ASSERT_EQ(Row(), 12);
  Sounds().clear();
  Push(kMenuDecide);
  EXPECT_EQ(Sounds(), std::vector<int>{kMenuSoundDecide}) << testing::PrintToString(Boxes());
  EXPECT_EQ(g_StagePath, "data\\stg4\\c13-1.stg4_003");
  EXPECT_EQ(g_SaveData.m_strStageKey, "data\\stg4\\c13.");
  EXPECT_EQ(g_SaveData.m_nWorld, 13);
  EXPECT_EQ(g_SaveData.m_nStage, 1);
  EXPECT_EQ(g_SaveData.m_nStartLives, 4);
  EXPECT_EQ(g_SaveData.m_nLives, 3);
  EXPECT_EQ(g_SaveData.m_bNumberedStage, 1);
  EXPECT_EQ(g_SceneMgr.m_anSelectPos[0], 12);
  EXPECT_EQ(g_SceneMgr.m_anSelectPos[1], 5);
  EXPECT_EQ(g_SceneMgr.m_nRequestScene, kSceneStage);
  EXPECT_EQ(Select().m_nPhase, cSceneStageSelect::kPhaseFadeOut);
  FadeOut();
  EXPECT_EQ(g_SceneMgr.m_nScene, kSceneStage);
  EXPECT_EQ(g_SceneMgr.m_nPrevScene, kSceneStageSelect);

  // With unlimited challenge lives both counts are unlimited.
  g_SystemData.m_anModeOpt = {1, 1, 1, 1};
  g_SceneMgr.m_nScene = kSceneStageSelect;
  Open();
  Push(kMenuDecide);
  EXPECT_EQ(g_SaveData.m_nStartLives, kUnlimitedLives);
  EXPECT_EQ(g_SaveData.m_nLives, kUnlimitedLives);
}

TEST_F(StageSelectTest, AStageThatDoesNotLoadLeavesThePlayerInTheList) {
  g_SaveData.m_nChallengeUnlocked = 2;
  Open();
  Sounds().clear();
  Push(kMenuDecide);
  EXPECT_EQ(Sounds(), std::vector<int>{kMenuSoundRefused});
  ASSERT_FALSE(Boxes().empty());
  EXPECT_EQ(Boxes().back(), "ステージファイル data\\stg4\\c01-1.stg4 が読み込めません！");
  EXPECT_EQ(Select().m_nPhase, cSceneStageSelect::kPhaseMain);
  EXPECT_EQ(g_SceneMgr.m_anSelectPos[0], 0);
}

TEST_F(StageSelectTest, CancelGoesBackToTheTitleKeepingTheLastStartedPlace) {
  g_SaveData.m_nChallengeUnlocked = 8;
  g_SceneMgr.m_anSelectPos[0] = 3;
  Open();
  Press(kDirDown);
  Sounds().clear();
  Push(kMenuCancel);
  EXPECT_EQ(Sounds(), std::vector<int>{kMenuSoundCancel});
  EXPECT_EQ(g_SceneMgr.m_nRequestScene, kSceneTitle);
  FadeOut();
  EXPECT_EQ(g_SceneMgr.m_nScene, kSceneTitle);
  EXPECT_EQ(g_SceneMgr.m_nPrevScene, kSceneStageSelect);
  EXPECT_EQ(g_SceneMgr.m_anSelectPos[0], 3);
}

}  // namespace
}  // namespace menutest
