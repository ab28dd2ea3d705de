// The frame every menu scene shares: nothing after a fatal stop, the entry on the first frame (a text
// thrown there ends the program), the music of the scene's situation, the pictures whose failure
// stops the program, decide and cancel once per press while buttons 3 to 5 repeat, the fade-out's
// end, and the screen box with the caption of the scene's title-menu item.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "data/system_data.h"
#include "menu_scene_fixture.h"
#include "menus/menu_scene.h"
#include "menus/stage_select_scene.h"
#include "menus/title_scene.h"

namespace menutest {
namespace {

// A menu scene of three phases (fade-in, its own, fade-out) that counts what runs and leaves for a
// scene when asked.
class cProbeScene : public cMenuScene {
 public:
  cProbeScene() : cMenuScene(kSceneOption) { SetPhases<cProbeScene>({nullptr, &cProbeScene::Main, nullptr}); }
  void Enter() override {
    ++m_nEnters;
    if (m_szThrow) throw m_szThrow;
    EnterMenu(m_nMusic, {kPictureAccessory, kPictureWindow});
  }
  int FadeIn() override {
    ++m_nFadeIns;
    if (StepFadeIn()) m_nPhase = 1;
    return 1;
  }
  int FadeOut() override {
    StepFadeOut();
    return 1;
  }
  int Main() {
    m_anButtons.push_back(g_InputStates[0].m_wButton);
    if (m_nLeaveTo >= 0) Leave(m_nLeaveTo);
    return 1;
  }
  void DrawBoxOf(int titleItem) { DrawScreenBox(&g_BackBufferSD, titleItem); }

  const char* m_szThrow = nullptr;
  int m_nMusic = kMusicOptions;
  int m_nLeaveTo = -1;
  int m_nEnters = 0;
  int m_nFadeIns = 0;
  std::vector<uint16_t> m_anButtons;
};

class MenuSceneTest : public cMenuSceneTest {
 protected:
  MenuSceneTest() {
    m_nSceneAtStart = kSceneOption;
    g_SceneMgr.m_nScene = kSceneOption;
    g_SystemData.m_anSceneBgm = {11, 12, 13, 14, 15, 16};
    g_SystemData.m_abSceneBgm = {1, 0, 1, 0, 1, 0};
    g_SceneMgr.m_nLastBgm = 0;
    g_SceneMgr.m_nLastBgmFlag = 0;
  }
  cProbeScene& Probe() { return static_cast<cProbeScene&>(*m_Scene); }
};

TEST_F(MenuSceneTest, AfterAFatalStopTheFrameReturnsAtOnce) {
  Start<cProbeScene>();
  g_bQuit.store(1);
  Frame();
  Frame();
  EXPECT_EQ(Probe().m_nEnters, 0);
  EXPECT_EQ(Probe().m_nPhase, -1);
  EXPECT_TRUE(Draws().empty());
}

TEST_F(MenuSceneTest, TheFirstFrameEntersAndRunsTheFadeIn) {
  Start<cProbeScene>();
  Frame();
  EXPECT_EQ(Probe().m_nEnters, 1);
  EXPECT_EQ(Probe().m_nFadeIns, 1);
  EXPECT_EQ(g_bQuit.load(), 0);
  FadeIn();
  EXPECT_EQ(Probe().m_nEnters, 1) << "entered once";
}

TEST_F(MenuSceneTest, ATextThrownByTheEntryStopsTheProgram) {
  Start<cProbeScene>().m_szThrow = "broken";
  DrainMessages();
  Frame();
  EXPECT_EQ(g_bQuit.load(), 1);
  EXPECT_TRUE(CloseWasPosted());
  EXPECT_EQ(Probe().m_nPhase, 0);
  EXPECT_EQ(Probe().m_nFadeIns, 0) << "no phase runs after the stop";
  Frame();
  EXPECT_EQ(Probe().m_nEnters, 1);
  EXPECT_EQ(Probe().m_nFadeIns, 0);
}

TEST_F(MenuSceneTest, APictureThatDoesNotLoadStopsTheProgram) {
  std::filesystem::remove(m_Display.Dir() / "bmp" / "Window.bmp");
  Start<cProbeScene>();
  DrainMessages();
  Frame();
  EXPECT_EQ(g_bQuit.load(), 1);
  EXPECT_TRUE(CloseWasPosted());
  Frame();
  EXPECT_EQ(Probe().m_nFadeIns, 0);
}

TEST_F(MenuSceneTest, EachSceneAsksForTheMusicOfItsSituation) {
  // The options' situation 5, the title's 0, the stage select's 2.
  Start<cProbeScene>();
  Frame();
  EXPECT_EQ(g_SceneMgr.m_nLastBgm, 16);
  EXPECT_EQ(g_SceneMgr.m_nLastBgmFlag, 0);
  Start<cSceneTitle>();
  Frame();
  EXPECT_EQ(g_SceneMgr.m_nLastBgm, 11);
  EXPECT_EQ(g_SceneMgr.m_nLastBgmFlag, 1);
  Start<cSceneStageSelect>();
  Frame();
  EXPECT_EQ(g_SceneMgr.m_nLastBgm, 13);
  EXPECT_EQ(g_SceneMgr.m_nLastBgmFlag, 1);
}

TEST_F(MenuSceneTest, TheEntryStartsAFreshCursorStack) {
  g_MenuCursor.Top() = CURSORENTRY{1, 2, 3, 4};
  g_MenuCursor.PushCursor(1);
  g_MenuCursor.PushCursor(1);
  Start<cProbeScene>();
  Frame();
  EXPECT_EQ(g_MenuCursor.Depth(), 1u);
  EXPECT_EQ(g_MenuCursor.Top().nColumn, 0);
  EXPECT_EQ(g_MenuCursor.Top().nRow, 0);
  EXPECT_EQ(g_MenuCursor.Under(), nullptr);
}

TEST_F(MenuSceneTest, DecideAndCancelReportOncePerPressButtonsThreeToFiveEveryFrame) {
  Start<cProbeScene>();
  FadeIn();
  Probe().m_anButtons.clear();
  const uint16_t held = kMenuDecide | kMenuCancel | kMenuButton3 | kMenuButton4 | 16;
  for (int i = 0; i < 3; ++i) Frame(0, held);
  Frame();
  Frame(0, held);
  const uint16_t repeating = kMenuButton3 | kMenuButton4 | 16;
  EXPECT_EQ(Probe().m_anButtons, (std::vector<uint16_t>{held, repeating, repeating, 0, held}));
}

TEST_F(MenuSceneTest, TheEndOfTheFadeOutHandsOverToTheRequestedScene) {
  Start<cProbeScene>();
  FadeIn();
  g_MenuCursor.Top() = CURSORENTRY{0, 3, 0, 0};
  g_MenuCursor.PushCursor(1);
  g_SceneMgr.m_nPrevScene = kSceneStage;
  Probe().m_nLeaveTo = kSceneTitle;
  Frame();
  Probe().m_nLeaveTo = -1;
  ASSERT_EQ(Probe().m_nPhase, 2);
  EXPECT_EQ(g_SceneMgr.m_nRequestScene, kSceneTitle);
  // Until the fade has ended nothing is handed over.
  Frame();
  EXPECT_EQ(g_SceneMgr.m_nScene, kSceneOption);
  EXPECT_EQ(g_SceneMgr.m_nPrevScene, kSceneStage);
  EXPECT_EQ(g_MenuCursor.Depth(), 2u);
  EXPECT_TRUE(DrawsNamed("DDFillSurface").empty());
  FadeOut();
  EXPECT_EQ(g_SceneMgr.m_nScene, kSceneTitle);
  EXPECT_EQ(g_SceneMgr.m_nPrevScene, kSceneOption);
  EXPECT_EQ(g_MenuCursor.Depth(), 1u);
  EXPECT_EQ(g_MenuCursor.Top().nRow, 0);
  // The frame that ends the fade leaves the back surface in colour 16.
  const std::vector<DDTRACECALL> fills = DrawsNamed("DDFillSurface");
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_EQ(fills[0].lpDst, &g_BackBufferSD);
  EXPECT_EQ(fills[0].adArgs, std::vector<double>{16});
}

TEST_F(MenuSceneTest, TheScreenBoxCentresTheCaptionOfTheScenesTitleItem) {
  Start<cProbeScene>();
  struct Case {
    int item;
    const char* caption;  // null: the project's default
    const char* shown;
    double x;
  };
  const Case cases[] = {
      {2, nullptr, "チャレンジ", 240},
      {3, nullptr, "フリー", 272},
      {4, nullptr, "リプレイ", 256},
      {5, nullptr, "オプション", 240},
      {5, "ABC", "ABC", 272},
      {5, "ＡB", "ＡB", 288},  // a double-byte character counts once
      {5, "", "", 320},
  };
  for (const Case& c : cases) {
    if (c.caption) g_SystemData.m_aTitleMenu[static_cast<size_t>(c.item)].m_strCaption = c.caption;
    Draws().clear();
    Probe().DrawBoxOf(c.item);
    const std::vector<DDTRACECALL> boxes = DrawsNamed("cFont::DrawBox");
    ASSERT_EQ(boxes.size(), 1u) << c.shown;
    EXPECT_EQ(boxes[0].adArgs, (std::vector<double>{1, 1, 638, 478})) << c.shown;
    const std::vector<DDTRACECALL> texts = DrawsNamed("cFont::DrawString");
    if (texts.empty() && !*c.shown) continue;  // an empty caption may draw nothing at all
    ASSERT_EQ(texts.size(), 1u) << c.shown;
    EXPECT_EQ(texts[0].strText, c.shown);
    EXPECT_EQ(texts[0].adArgs[0], c.x) << c.shown;
    EXPECT_EQ(texts[0].adArgs[1], 32) << c.shown;
  }
}

}  // namespace
}  // namespace menutest
