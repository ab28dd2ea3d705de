// The title: its items and cursor, the menu picture in both forms, what each item does, the story
// slot lists with their refusals, and a new game's progress. Scenes are stepped frame by frame with
// scripted input; drawing is checked through the drawing trace, sounds through the sound trace.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "data/save_data.h"
#include "data/story_slots.h"
#include "data/system_data.h"
#include "data/world_map.h"
#include "menu_scene_fixture.h"
#include "menus/menu_scene.h"
#include "menus/new_game.h"
#include "menus/title_scene.h"

namespace menutest {
namespace {

class TitleTest : public cMenuSceneTest {
 protected:
  TitleTest() {
    m_nSceneAtStart = kSceneTitle;
    g_SystemData.m_nTitleOpt157 = 0;  // captions, unless a test asks for the pictures
  }
  cSceneTitle& Title() { return static_cast<cSceneTitle&>(*m_Scene); }
  // Enters the title and ends its fade-in.
  cSceneTitle& Open() {
    cSceneTitle& title = Start<cSceneTitle>();
    FadeIn();
    return title;
  }
  // Moves the menu cursor to a row from where it is.
  void GoToRow(int row) {
    for (int i = 0; i < 10 && g_MenuCursor.Top().nRow != row; ++i) Press(kDirDown);
    ASSERT_EQ(g_MenuCursor.Top().nRow, row);
  }
  static void EnableOnly(std::vector<int> kinds) {
    for (cCmd& item : g_SystemData.m_aTitleMenu) item.m_bEnabled = 0;
    for (int kind : kinds) g_SystemData.m_aTitleMenu[static_cast<size_t>(kind)].m_bEnabled = 1;
  }
  // The hand drawn this frame: its position.
  static std::vector<std::pair<double, double>> Hands() {
    std::vector<std::pair<double, double>> hands;
    for (const DDTRACECALL& c : BlitsFrom(kPictureAccessory))
      if (c.adArgs[2] == 32 && c.adArgs[4] == 0 && c.adArgs[5] == 0) hands.emplace_back(c.adArgs[0], c.adArgs[1]);
    return hands;
  }
  // A story slot file (slot 0-98) holding a progress; inStage marks it saved inside a stage.
  static void SaveSlot(int slot, int inStage = 0) {
    cSaveData save;
    save.ResetProgress(ProjectChallengeCount());
    save.m_nScoreTotal = 4321;
    save.m_nStorySlot = slot;
    save.m_bInStage = inStage;
    ASSERT_TRUE(save.SaveFile(StorySlotPath(slot).c_str()));
  }
  void DamageSlot(int slot) {
    std::ofstream out(m_Display.Dir() / "user_data" / "story" / ("Story0" + std::to_string(slot + 1) + ".dat"),
                      std::ios::binary);
    out << "not a save";
  }
};

TEST_F(TitleTest, TheMenuShowsTheEnabledItemsOrTheNewGameAlone) {
  struct Case {
    std::vector<int> enabled;
    std::vector<int> kinds;
  };
  const Case cases[] = {
      {{0, 1, 2, 3, 4, 5, 6}, {0, 1, 2, 3, 4, 5, 6}},
      {{1, 4, 6}, {1, 4, 6}},
      {{}, {0}},  // nothing enabled: the new game alone
  };
  for (const Case& c : cases) {
    EnableOnly(c.enabled);
    Start<cSceneTitle>();
    Frame();
    ASSERT_EQ(Title().ItemCount(), static_cast<int>(c.kinds.size()));
    for (size_t row = 0; row < c.kinds.size(); ++row) EXPECT_EQ(Title().ItemKind(static_cast<int>(row)), c.kinds[row]);
  }
  // The one item of an empty menu is drawn with the new game's caption.
  std::vector<std::string> captions;
  Start<cSceneTitle>();
  Frame();
  for (const DDTRACECALL& c : DrawsNamed("cFont::DrawString")) captions.push_back(c.strText);
  EXPECT_EQ(captions, std::vector<std::string>{"はじめから"});
}

TEST_F(TitleTest, TheCursorStartsOnTheItemChosenLast) {
  struct Case {
    const char* what;
    std::vector<int> enabled;
    int playMode;
    int directStart;
    int row;
  };
  const Case cases[] = {
      {"back from the options", {0, 1, 2, 3, 4, 5, 6}, kTitleOptions, 0, 5},
      {"the options item further up", {1, 2, 5, 6}, kTitleOptions, 0, 2},
      {"after a FreeStage start", {0, 1, 2, 3, 4, 5, 6}, kTitleOptions, 1, 0},
      {"an item no longer shown keeps its number", {0, 2, 3, 5, 6}, kTitleContinue, 0, 1},
      {"a number past the last row wraps to the top", {0, 1, 6}, kTitleReplay, 0, 0},
  };
  for (const Case& c : cases) {
    EnableOnly(c.enabled);
    g_PlayMode = c.playMode;
    g_DirectPlay = g_ReturnToTitle = c.directStart;
    Open();
    Frame();
    EXPECT_EQ(g_MenuCursor.Top().nRow, c.row) << c.what;
    EXPECT_EQ(Hands(), (std::vector<std::pair<double, double>>{{192, 240 + 32 * c.row}})) << c.what;
    EXPECT_EQ(g_DirectPlay, 0) << c.what;
    EXPECT_EQ(g_ReturnToTitle, 0) << c.what;
  }
}

TEST_F(TitleTest, TheMenuWrapsAroundItsRows) {
  Open();
  Press(kDirUp);
  EXPECT_EQ(g_MenuCursor.Top().nRow, 6);
  Press(kDirDown);
  EXPECT_EQ(g_MenuCursor.Top().nRow, 0);
}

TEST_F(TitleTest, TheTextMenuIsABoxSizedToTheLongestCaption) {
  EnableOnly({0, 2, 6});
  Start<cSceneTitle>();
  Frame();
  // "しゅうりょう" is six characters: 32 x 6 + 34 wide, three rows of 32 and 2 high.
  std::vector<std::vector<double>> boxes;
  for (const DDTRACECALL& c : DrawsNamed("DDBlt"))
    if (c.lpSrc == &g_SurfaceData[kPictureWindow]) boxes.push_back(c.adArgs);
  // The window picture's top-left with the colour key, one dot in from the surface's edges.
  EXPECT_EQ(boxes, (std::vector<std::vector<double>>{{1, 1, 224, 96, 0, 0, 1}}));
  std::vector<std::pair<double, std::string>> captions;
  for (const DDTRACECALL& c : DrawsNamed("cFont::DrawString")) {
    EXPECT_EQ(c.adArgs[0], 32);
    captions.emplace_back(c.adArgs[1], c.strText);
  }
  EXPECT_EQ(captions,
            (std::vector<std::pair<double, std::string>>{{0, "はじめから"}, {32, "チャレンジ"}, {64, "しゅうりょう"}}));
  FadeIn();
  Frame();
  bool menuShown = false;
  for (const DDTRACECALL& c : DrawsNamed("DDBlt"))
    if (c.lpDst == &g_BackBufferSD && !g_SceneSurfaces.empty() && c.lpSrc == &g_SceneSurfaces.front())
      menuShown = c.adArgs[0] == 192 && c.adArgs[1] == 240 && c.adArgs[2] == 226 && c.adArgs[3] == 98;
  EXPECT_TRUE(menuShown);
}

TEST_F(TitleTest, TheGraphicMenuTakesEachItemsStripAndCentresOnThePicture) {
  g_SystemData.m_nTitleOpt157 = 1;
  EnableOnly({0, 2, 3, 4, 5, 6});
  Start<cSceneTitle>();
  Frame();
  // A picture 200 wide puts the menu at 288 - 100.
  EXPECT_EQ(Title().MenuX(), 188);
  std::vector<std::vector<double>> strips;
  for (const DDTRACECALL& c : DrawsNamed("DDBlt"))
    if (c.lpSrc == &g_SurfaceData[kPictureGameMode]) strips.push_back(c.adArgs);
  ASSERT_EQ(strips.size(), 6u);
  // Row 1 shows kind 2: the strip at y 64, the whole picture wide, without the colour key.
  EXPECT_EQ(strips[1], (std::vector<double>{32, 32, 200, 32, 0, 64, 0}));
  EXPECT_EQ(strips[5], (std::vector<double>{32, 160, 200, 32, 0, 192, 0}));
  FadeIn();
  Frame();
  EXPECT_EQ(Hands(), (std::vector<std::pair<double, double>>{{188, 240}}));

  // The menu is centred on 288 by half the picture's width, rounded toward zero.
  for (auto [width, x] : {std::pair{201, 188}, {640, -32}, {64, 256}}) {
    WritePicture(m_Display.Dir(), "GameMode.bmp", width, 7 * 32, 4);
    Start<cSceneTitle>();
    Frame();
    EXPECT_EQ(Title().MenuX(), x) << width;
  }
}

TEST_F(TitleTest, EachItemLeadsToItsScene) {
  struct Case {
    int kind;
    int scene;
    int modeIndex;
  };
  const Case cases[] = {
      {kTitleChallenge, kSceneStageSelect, 1},
      {kTitleFree, kSceneFreeList, 2},
      {kTitleReplay, kSceneReplayList, 3},
      {kTitleOptions, kSceneOption, 0},
  };
  g_SystemData.m_aModeRanking[1].m_bEnabled = 1;
  g_SystemData.m_aModeRanking[2].m_bEnabled = 0;
  g_SystemData.m_aModeRanking[3].m_bEnabled = 1;
  for (const Case& c : cases) {
    g_SceneMgr.m_nScene = kSceneTitle;
    g_PlayMode = c.kind;
    g_ModeIndex = 0;
    Open();
    Sounds().clear();
    Push(kMenuDecide);
    EXPECT_EQ(Sounds(), std::vector<int>{kMenuSoundDecide}) << c.kind;
    EXPECT_EQ(g_PlayMode, c.kind);
    EXPECT_EQ(g_ModeIndex, c.modeIndex) << c.kind;
    if (c.kind != kTitleOptions) {
      EXPECT_EQ(g_RankingOn, g_SystemData.m_aModeRanking[static_cast<size_t>(c.modeIndex)].m_bEnabled) << c.kind;
    }
    EXPECT_EQ(g_SceneMgr.m_nRequestScene, c.scene) << c.kind;
    EXPECT_EQ(Title().m_nPhase, cSceneTitle::kPhaseFadeOut) << c.kind;
    FadeOut();
    EXPECT_EQ(g_SceneMgr.m_nScene, c.scene) << c.kind;
    EXPECT_EQ(g_SceneMgr.m_nPrevScene, kSceneTitle) << c.kind;
  }
}

TEST_F(TitleTest, TheChallengeTakesItsProgressFileOrStartsAfresh) {
  g_SystemData.m_nSaveVarCount = 12;
  g_PlayMode = kTitleChallenge;
  g_SaveData.m_nScoreTotal = 99;
  Open();
  Push(kMenuDecide);
  // No file: a new challenge.
  EXPECT_EQ(g_SaveData.m_nScoreTotal, 0);
  EXPECT_EQ(g_SaveData.m_aChallenge.size(), 12u);
  EXPECT_EQ(g_SaveData.m_nChallengeUnlocked, 1);
  EXPECT_EQ(g_SaveData.m_nStorySlot, -1);

  cSaveData saved;
  saved.ResetProgress(12);
  saved.m_nChallengeUnlocked = 5;
  ASSERT_TRUE(saved.SaveFile(kChallengeDataPath));
  Open();
  Push(kMenuDecide);
  EXPECT_EQ(g_SaveData.m_nChallengeUnlocked, 5);
}

TEST_F(TitleTest, QuitAsksTheWindowToCloseOnceAndTheTitleGoesOn) {
  g_PlayMode = kTitleQuit;
  Open();
  Sounds().clear();
  DrainMessages();
  // Held for three frames, the decide button counts once.
  Frame(0, kMenuDecide);
  Frame(0, kMenuDecide);
  Frame(0, kMenuDecide);
  EXPECT_TRUE(CloseWasPosted());
  EXPECT_EQ(Sounds(), std::vector<int>{kMenuSoundDecide});
  Frame();
  EXPECT_EQ(Title().m_nPhase, cSceneTitle::kPhaseMenu);
  EXPECT_FALSE(BlitsFrom(kPictureTitle).empty());
  EXPECT_FALSE(CloseWasPosted());
}

TEST_F(TitleTest, ANewGameWithoutSaveSlotsGoesStraightToTheWorldMap) {
  g_SystemData.m_nTitleOpt821 = 0;
  g_WorldMap.m_nStartX = 4;
  g_WorldMap.m_nStartY = 11;
  g_SaveData.m_nScoreTotal = 77;
  g_PlayMode = kTitleNewGame;
  Open();
  Push(kMenuDecide);
  EXPECT_EQ(g_ModeIndex, 0);
  EXPECT_EQ(g_SceneMgr.m_nRequestScene, kSceneWorldMap);
  EXPECT_EQ(Title().m_nPhase, cSceneTitle::kPhaseFadeOut);
  EXPECT_EQ(g_SaveData.m_nScoreTotal, 0);
  EXPECT_EQ(g_SaveData.m_nMapX, 4);
  EXPECT_EQ(g_SaveData.m_nMapY, 11);
  EXPECT_EQ(g_SaveData.m_nStorySlot, -1);
}

TEST_F(TitleTest, TheNewGameListTakesOnlyAnEmptySlot) {
  SaveSlot(2);
  DamageSlot(4);
  g_PlayMode = kTitleNewGame;
  Open();
  Push(kMenuDecide);
  ASSERT_EQ(Title().m_nPhase, cSceneTitle::kPhaseNewGame);
  Frame();
  EXPECT_EQ(g_SlotList.size(), 99u);
  EXPECT_TRUE(g_SlotList[2].m_bExists);
  EXPECT_TRUE(g_SlotList[4].m_bDamaged);
  // The damaged slot says so in its row.
  bool damagedShown = false;
  for (const DDTRACECALL& c : DrawsNamed("cFont::DrawString"))
    damagedShown = damagedShown || (c.adArgs[0] == 224 && c.adArgs[1] == 224 && c.strText == "データが壊れています");
  EXPECT_TRUE(damagedShown);
  struct Case {
    int row;
    int sound;
  };
  // A saved slot and a damaged one are refused; the list stays.
  for (const Case& c : {Case{2, kMenuSoundRefused}, Case{4, kMenuSoundRefused}}) {
    while (g_MenuCursor.Top().nRow < c.row) Press(kDirDown);
    Sounds().clear();
    Push(kMenuDecide);
    EXPECT_EQ(Sounds(), std::vector<int>{c.sound}) << c.row;
    EXPECT_EQ(Title().m_nPhase, cSceneTitle::kPhaseNewGame) << c.row;
  }
  Press(kDirDown);
  Sounds().clear();
  Push(kMenuDecide);
  EXPECT_EQ(Sounds(), std::vector<int>{kMenuSoundDecide});
  EXPECT_EQ(g_SaveData.m_nStorySlot, 5);
  EXPECT_EQ(g_SaveData.m_bAutoSave, 1);
  EXPECT_EQ(g_SceneMgr.m_nRequestScene, kSceneWorldMap);
  EXPECT_EQ(Title().m_nPhase, cSceneTitle::kPhaseFadeOut);
}

TEST_F(TitleTest, TheContinueListTakesOnlyAWholeSave) {
  SaveSlot(1);
  SaveSlot(3, 1);
  DamageSlot(2);
  struct Case {
    int row;
    int sound;
    int scene;  // -1: the list stays
  };
  const Case cases[] = {
      {0, kMenuSoundRefused, -1},             // empty
      {2, kMenuSoundRefused, -1},             // damaged
      {1, kMenuSoundDecide, kSceneWorldMap},  // saved on the map
      {3, kMenuSoundDecide, kSceneStage},     // saved inside a stage
  };
  for (const Case& c : cases) {
    g_SaveData.ResetProgress(0);
    g_PlayMode = kTitleContinue;
    Open();
    Push(kMenuDecide);
    ASSERT_EQ(Title().m_nPhase, cSceneTitle::kPhaseContinue);
    Frame();
    while (g_MenuCursor.Top().nRow < c.row) Press(kDirDown);
    Sounds().clear();
    Push(kMenuDecide);
    EXPECT_EQ(Sounds(), std::vector<int>{c.sound}) << c.row;
    if (c.scene < 0) {
      EXPECT_EQ(Title().m_nPhase, cSceneTitle::kPhaseContinue) << c.row;
      EXPECT_EQ(g_SaveData.m_nScoreTotal, 0) << c.row;
    } else {
      EXPECT_EQ(Title().m_nPhase, cSceneTitle::kPhaseFadeOut) << c.row;
      EXPECT_EQ(g_SceneMgr.m_nRequestScene, c.scene) << c.row;
      EXPECT_EQ(g_SaveData.m_nScoreTotal, 4321) << c.row;
      EXPECT_EQ(g_SaveData.m_nStorySlot, c.row) << c.row;
    }
  }
}

TEST_F(TitleTest, ASaveThatNoLongerLoadsIsRefusedAndShownDamaged) {
  SaveSlot(1);
  g_PlayMode = kTitleContinue;
  Open();
  Push(kMenuDecide);
  Frame();
  ASSERT_FALSE(g_SlotList[1].m_bDamaged);
  DamageSlot(1);
  Press(kDirDown);
  Sounds().clear();
  Push(kMenuDecide);
  EXPECT_EQ(Sounds(), std::vector<int>{kMenuSoundRefused});
  EXPECT_EQ(Title().m_nPhase, cSceneTitle::kPhaseContinue);
  EXPECT_TRUE(g_SlotList[1].m_bDamaged);
  EXPECT_EQ(g_SaveData.m_nScoreTotal, 0);
}

TEST_F(TitleTest, CancelInASlotListReturnsToTheItemItCameFrom) {
  g_PlayMode = kTitleContinue;
  Open();
  Push(kMenuDecide);
  Frame();
  Press(kDirDown);
  Press(kDirDown);
  EXPECT_EQ(g_MenuCursor.Top().nRow, 2);
  Sounds().clear();
  Push(kMenuCancel);
  EXPECT_EQ(Sounds(), std::vector<int>{kMenuSoundCancel});
  EXPECT_EQ(Title().m_nPhase, cSceneTitle::kPhaseMenu);
  EXPECT_EQ(g_MenuCursor.Depth(), 1u);
  EXPECT_EQ(g_MenuCursor.Top().nRow, 1);
  EXPECT_EQ(Hands(), (std::vector<std::pair<double, double>>{{192, 272}}));
}

TEST_F(TitleTest, TheSlotListPagesTenRowsAtATime) {
  g_PlayMode = kTitleNewGame;
  Open();
  Push(kMenuDecide);
  Frame();
  Press(kDirRight);
  EXPECT_EQ(g_MenuCursor.Top().nRow, 9);
  EXPECT_EQ(Title().SlotTop(), 9);
  // The list box shows ten rows from the top, the arrow at the cursor's row.
  const std::vector<DDTRACECALL> boxes = DrawsNamed("cFont::DrawBox");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].adArgs, (std::vector<double>{160, 160, 320, 160}));
  bool arrow = false;
  for (const DDTRACECALL& c : BlitsFrom(kPictureAccessory))
    arrow = arrow || (c.adArgs[0] == 160 && c.adArgs[1] == 160 && c.adArgs[4] == 64);
  EXPECT_TRUE(arrow);
  // No wrap at the top.
  Press(kDirLeft);
  Press(kDirUp);
  EXPECT_EQ(g_MenuCursor.Top().nRow, 0);
}

TEST(NewGameTest, ANewGameStartsAFreshProgressAtTheMapStart) {
  cFreshGameData fresh;
  struct Case {
    int32_t infinite;
    int32_t startLives;
    int32_t expectStart;
    int32_t expectLives;
  };
  const Case cases[] = {
      {1, 5, kUnlimitedLives, kUnlimitedLives},
      {0, 5, 5, 4},  // the life in play is one of the five
      {0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    g_SystemData.m_nSaveVarCount = 7;
    g_SystemData.m_anModeOpt = {c.infinite, 1, 1, 1};
    g_SystemData.m_anStartLives = {c.startLives, 9, 9, 99};
    g_WorldMap.m_nStartX = 3;
    g_WorldMap.m_nStartY = 8;
    g_SaveData.m_nGameRound = 4;
    g_SaveData.m_nScoreTotal = 1000;
    g_SaveData.m_nStorySlot = 6;
    g_SaveData.m_anWorldFlags.assign(1000, 1);
    g_SaveData.m_strRankingName = "zzz";
    StartNewGame();
    EXPECT_EQ(g_SaveData.m_nMapX, 3);
    EXPECT_EQ(g_SaveData.m_nMapY, 8);
    EXPECT_EQ(g_SaveData.m_nGameRound, 0);
    EXPECT_EQ(g_SaveData.m_nScoreTotal, 0);
    EXPECT_EQ(g_SaveData.m_nStorySlot, -1);
    EXPECT_EQ(g_SaveData.m_nChallengeUnlocked, 1);
    EXPECT_EQ(g_SaveData.m_aChallenge.size(), 7u);
    ASSERT_EQ(g_SaveData.m_anWorldFlags.size(), 1000u);
    EXPECT_EQ(g_SaveData.m_anWorldFlags[0], 1);
    EXPECT_EQ(g_SaveData.m_anWorldFlags[1], 0);
    EXPECT_EQ(g_SaveData.m_anCommonVars.size(), 1001u);
    EXPECT_EQ(g_SaveData.m_abCarryStored.size(), 25u);
    EXPECT_EQ(g_SaveData.m_aCarryOver.size(), 1u);
    EXPECT_EQ(g_SaveData.m_strRankingName, "aaa");
    EXPECT_EQ(g_SaveData.m_nStartLives, c.expectStart) << c.infinite << " " << c.startLives;
    EXPECT_EQ(g_SaveData.m_nLives, c.expectLives) << c.infinite << " " << c.startLives;
  }
}

}  // namespace
}  // namespace menutest
