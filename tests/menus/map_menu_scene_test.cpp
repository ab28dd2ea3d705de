// The world-map menu stepped frame by frame: the items the project enables, the menu box and the
// result total, the slot save with its confirm, the automatic-save switch and its notice, the title
// confirm, and the way back to the map that keeps the cursor stack and enters afresh next time.
#include "menus/map_menu_scene.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "data/save_data.h"
#include "data/story_slots.h"
#include "data/system_data.h"
#include "media/graphics/font.h"
#include "menu_scene_fixture.h"
#include "menus/menu_scene.h"

namespace menutest {
namespace {

class MapMenuTest : public cMenuSceneTest {
 protected:
  MapMenuTest() {
    m_nSceneAtStart = kSceneMapMenu;
    g_SceneMgr.m_nScene = kSceneMapMenu;
    g_SceneMgr.m_nPrevScene = kSceneWorldMap;
    g_SaveData.ResetProgress(ProjectChallengeCount());
    g_SaveData.m_nStorySlot = 3;
    g_SaveData.m_bAutoSave = 0;
    // The menu font with its box picture, so that the menus of system texts draw their lines.
    g_Font[1].Create("ＭＳ ゴシック", 0, 16, 16, 16, 241, 0, &g_SurfaceData[kPictureWindow], 1, 240, nullptr, 0);
  }
  ~MapMenuTest() override { g_Font[1].Release(); }
  cSceneMapMenu& Menu() { return static_cast<cSceneMapMenu&>(*m_Scene); }
  cSceneMapMenu& Open() {
    cSceneMapMenu& menu = Start<cSceneMapMenu>();
    FadeIn();
    Sounds().clear();
    return menu;
  }
  static int Row() { return g_MenuCursor.Top().nRow; }
  // Opens the item of the given kind from the menu (all four items shown, so the row is the kind).
  void Choose(int kind) {
    for (int i = 0; i < kind; ++i) Press(kDirDown);
    Push(kMenuDecide);
    Sounds().clear();
  }
  // The arrows drawn this frame (source x 64) and the second arrows (source x 80): positions.
  static std::vector<std::pair<double, double>> ArrowsFrom(double sx) {
    std::vector<std::pair<double, double>> arrows;
    for (const DDTRACECALL& c : BlitsFrom(kPictureAccessory))
      if (c.adArgs[2] == 16 && c.adArgs[4] == sx && c.adArgs[5] == 0) arrows.emplace_back(c.adArgs[0], c.adArgs[1]);
    return arrows;
  }
  static bool TextAt(const std::string& text, double x, double y) {
    for (const DDTRACECALL& c : DrawsNamed("cFont::DrawString"))
      if (c.strText == text && c.adArgs[0] == x && c.adArgs[1] == y) return true;
    return false;
  }
  static bool SlotFileExists(int slot) {
    return std::filesystem::exists(std::filesystem::current_path() / "user_data" / "story" /
                                   ("Story" + std::string(slot < 9 ? "0" : "") + std::to_string(slot + 1) + ".dat"));
  }
};

TEST_F(MapMenuTest, TheItemsAreTheEnabledRecordsAndDecideOpensTheItemsPhase) {
  struct Case {
    std::vector<int> enabled;
    std::vector<int> kinds;
  };
  const Case cases[] = {
      {{1, 1, 1, 1}, {0, 1, 2, 3}}, {{0, 1, 1, 1}, {1, 2, 3}}, {{0, 0, 0, 0}, {0}},  // nothing enabled: the save alone
  };
  for (const Case& c : cases) {
    for (size_t i = 0; i < 4; ++i) g_SystemData.m_aMapMenu[i].m_bEnabled = c.enabled[i];
    Start<cSceneMapMenu>();
    Frame();
    ASSERT_EQ(Menu().ItemCount(), static_cast<int>(c.kinds.size()));
    for (size_t row = 0; row < c.kinds.size(); ++row) {
      EXPECT_EQ(Menu().ItemKind(static_cast<int>(row)), c.kinds[row]);
      const std::string& caption = g_SystemData.m_aMapMenu[static_cast<size_t>(c.kinds[row])].m_strCaption;
      EXPECT_TRUE(TextAt(caption, 280, 192 + 16 * static_cast<double>(row))) << caption;
    }
    FadeIn();
    Sounds().clear();
    Push(kMenuDecide);
    EXPECT_EQ(Sounds().front(), kMenuSoundDecide);
    EXPECT_EQ(Menu().m_nPhase, c.kinds[0] + 2);
  }
}

TEST_F(MapMenuTest, TheMenuBoxFitsTheWidestCaptionAndTheArrowWrapsAround) {
  Start<cSceneMapMenu>();
  Frame();
  // On a plain background; the box of "bmp\Window.bmp" 16 x (6 + 1) wide and 4 rows high, framed.
  ASSERT_FALSE(DrawsNamed("DDFillSurface").empty());
  EXPECT_EQ(DrawsNamed("DDFillSurface")[0].adArgs[0], 16);
  const auto boxes = BlitsFrom(kPictureWindow);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].adArgs, (std::vector<double>{264, 192, 112, 64, 0, 0, 1}));
  const auto frames = DrawsNamed("DDFrameRect");
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].adArgs[0], 263);
  EXPECT_EQ(frames[0].adArgs[1], 191);
  EXPECT_EQ(ArrowsFrom(64), (std::vector<std::pair<double, double>>{{264, 192}}));
  FadeIn();
  Press(kDirUp);
  EXPECT_EQ(Row(), 3);
  Frame();
  EXPECT_EQ(ArrowsFrom(64), (std::vector<std::pair<double, double>>{{264, 240}}));
  Press(kDirDown);
  EXPECT_EQ(Row(), 0);
}

TEST_F(MapMenuTest, TheResultTotalShowsWhenTheProjectAsksAndItIsAboveZero) {
  struct Case {
    int32_t total;
    int32_t show;
    bool shown;
  };
  for (const Case& c : {Case{12345, 1, true}, Case{0, 1, false}, Case{5, 0, false}, Case{-20, 1, false}}) {
    g_SystemData.m_nMenuOpt167a = c.show;
    g_SaveData.m_nResultTotal = c.total;
    Start<cSceneMapMenu>();
    Frame();
    const auto totals = DrawsNamed("cFont::DrawBoxString");
    ASSERT_EQ(totals.size(), c.shown ? 1u : 0u) << c.total << " " << c.show;
    if (!c.shown) continue;
    EXPECT_EQ(totals[0].strText, "トータルスコア12345");
    EXPECT_EQ(totals[0].adArgs[0], 264);
    EXPECT_EQ(totals[0].adArgs[1], 260);
    EXPECT_EQ(totals[0].adArgs[2], 16 * (7 + 5));
    EXPECT_EQ(totals[0].adArgs[3], 16);
  }
}

TEST_F(MapMenuTest, CancelAndTheBackItemReturnToTheMapKeepingTheCursorStack) {
  struct Case {
    bool cancel;
    size_t depth;  // the cancel opens no sub-menu; the back item does
  };
  for (const Case& c : {Case{true, 1}, Case{false, 2}}) {
    g_SceneMgr.m_nScene = kSceneMapMenu;
    Open();
    if (c.cancel) {
      Push(kMenuCancel);
      EXPECT_EQ(Sounds().front(), kMenuSoundCancel);
    } else {
      Choose(kMapMenuBack);
    }
    EXPECT_EQ(g_SceneMgr.m_nRequestScene, kSceneWorldMap);
    EXPECT_EQ(Menu().m_nPhase, cSceneMapMenu::kPhaseFadeOut);
    FadeOut();
    EXPECT_EQ(g_SceneMgr.m_nScene, kSceneWorldMap);
    EXPECT_EQ(g_SceneMgr.m_nPrevScene, kSceneMapMenu);
    // The next visit enters afresh; the stack is as the menu left it.
    EXPECT_EQ(Menu().m_nPhase, -1);
    EXPECT_EQ(g_MenuCursor.Depth(), c.depth);
  }
}

TEST_F(MapMenuTest, TheSlotListOpensOnThePlaysOwnSlot) {
  struct Case {
    int32_t slot;
    int row, top;
    double arrowY;
  };
  for (const Case& c : {Case{50, 50, 50, 160}, Case{95, 95, 89, 256}, Case{-1, 0, 0, 160}, Case{0, 0, 0, 160}}) {
    g_SaveData.m_nStorySlot = c.slot;
    Open();
    Choose(kMapMenuSave);
    EXPECT_EQ(Row(), c.row) << c.slot;
    EXPECT_EQ(Menu().SlotTop(), c.top) << c.slot;
    EXPECT_EQ(Menu().SlotWindow(), 10);
    EXPECT_EQ(ArrowsFrom(64), (std::vector<std::pair<double, double>>{{152, c.arrowY}})) << c.slot;
    // The list is drawn from its top: the first row's number.
    EXPECT_TRUE(TextAt(std::to_string(c.top + 1), 168, 160)) << c.slot;
  }
}

TEST_F(MapMenuTest, TheSlotListPagesWithoutWrapping) {
  struct Case {
    int32_t slot;
    uint16_t dir;
    int row, top;
  };
  const Case cases[] = {
      {0, kDirUp, 0, 0},     // no wrap at the top
      {9, kDirDown, 10, 1},  // scrolls one row (opened with top 9: up to top 0 first)
      {0, kDirRight, 9, 9},  // a page
      {95, kDirRight, 98, 89}, {3, kDirLeft, 0, 0},
  };
  for (const Case& c : cases) {
    g_SaveData.m_nStorySlot = c.slot;
    Open();
    Choose(kMapMenuSave);
    if (c.slot == 9) {
      // Bring the top back to 0 with the cursor on 9: nine rows up, then nine down.
      for (int i = 0; i < 9; ++i) Press(kDirUp);
      for (int i = 0; i < 9; ++i) Press(kDirDown);
      ASSERT_EQ(Menu().SlotTop(), 0);
    }
    if (c.slot == 3) {
      for (int i = 0; i < 3; ++i) Press(kDirUp);
      Press(kDirDown);
      Press(kDirDown);
      Press(kDirDown);
      ASSERT_EQ(Menu().SlotTop(), 0);
      ASSERT_EQ(Row(), 3);
    }
    Press(c.dir);
    EXPECT_EQ(Row(), c.row) << c.slot << " " << c.dir;
    EXPECT_EQ(Menu().SlotTop(), c.top) << c.slot << " " << c.dir;
  }
}

TEST_F(MapMenuTest, SavingIntoASlotMakesItThePlaysSlotAndReturnsToTheList) {
  g_SaveData.m_nStorySlot = 3;
  g_SaveData.m_nScoreTotal = 777;
  Open();
  Choose(kMapMenuSave);
  for (int i = 0; i < 9; ++i) Press(kDirDown);
  ASSERT_EQ(Row(), 12);
  Push(kMenuDecide);
  EXPECT_EQ(Sounds(), std::vector<int>{kMenuSoundDecide});
  // The confirm opens on "rather not", centred: 320 - (7 + 1) x 16 / 2.
  EXPECT_EQ(Row(), 1);
  EXPECT_EQ(g_MenuCursor.Depth(), 3u);
  EXPECT_TRUE(TextAt(" セーブする\n やっぱりやめる\n", 256, 400));
  EXPECT_EQ(ArrowsFrom(64), (std::vector<std::pair<double, double>>{{256, 416}}));
  EXPECT_EQ(ArrowsFrom(80), (std::vector<std::pair<double, double>>{{152, 160 + 16 * 9}}));

  // "Rather not": nothing is saved and the list is back.
  Sounds().clear();
  Push(kMenuDecide);
  EXPECT_EQ(Sounds(), std::vector<int>{kMenuSoundDecide});
  EXPECT_FALSE(SlotFileExists(12));
  EXPECT_EQ(g_SaveData.m_nStorySlot, 3);
  EXPECT_EQ(Row(), 12);
  // Cancel in the confirm: the same.
  Push(kMenuDecide);
  Sounds().clear();
  Push(kMenuCancel);
  EXPECT_EQ(Sounds(), std::vector<int>{kMenuSoundCancel});
  EXPECT_FALSE(SlotFileExists(12));
  EXPECT_EQ(Menu().m_nPhase, cSceneMapMenu::kPhaseSave);

  // Up wraps to "save": the slot is saved with the save sound and becomes the play's.
  Push(kMenuDecide);
  Press(kDirUp);
  EXPECT_EQ(Row(), 0);
  Sounds().clear();
  Push(kMenuDecide);
  EXPECT_EQ(Sounds(), std::vector<int>{kMenuSoundSlotSave});
  EXPECT_EQ(g_SaveData.m_nStorySlot, 12);
  cSaveData saved;
  ASSERT_EQ(ReadProgressFile(StorySlotPath(12), saved), eProgressFile::Whole);
  EXPECT_EQ(saved.m_nStorySlot, 12);
  EXPECT_EQ(saved.m_nScoreTotal, 777);
  EXPECT_EQ(g_SlotList[12].m_bExists, 1);
  // Back in the list on the saved slot, not in the menu.
  EXPECT_EQ(Menu().m_nPhase, cSceneMapMenu::kPhaseSave);
  EXPECT_EQ(Row(), 12);
  // Cancel in the list returns to the menu on its save item.
  Sounds().clear();
  Push(kMenuCancel);
  EXPECT_EQ(Sounds(), std::vector<int>{kMenuSoundCancel});
  EXPECT_EQ(Menu().m_nPhase, cSceneMapMenu::kPhaseMenu);
  EXPECT_EQ(g_MenuCursor.Depth(), 1u);
  EXPECT_EQ(Row(), 0);
}

TEST_F(MapMenuTest, TheAutomaticSaveSwitchesAndSavesAtOnceWhenTurnedOn) {
  struct Case {
    int32_t flag;
    int startRow;
    uint16_t dir;
    uint16_t button;
    int32_t flagAfter;
    bool saved;
    int sound;
  };
  const Case cases[] = {
      {0, 1, kDirUp, kMenuDecide, 1, true, kMenuSoundDecide},     // on: saved at once
      {1, 0, kDirDown, kMenuDecide, 0, false, kMenuSoundDecide},  // off: only the flag
      {1, 0, 0, kMenuCancel, 1, false, kMenuSoundCancel},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(std::filesystem::current_path() / "user_data" / "story" / "Story04.dat");
    g_SaveData.m_bAutoSave = c.flag;
    Open();
    Choose(kMapMenuAutoSave);
    EXPECT_EQ(Row(), c.startRow);
    // Centred: 320 - (9 + 1) x 16 / 2.
    EXPECT_TRUE(TextAt(" オートセーブＯＮ\n オートセーブＯＦＦ\n", 240, 224));
    if (c.dir) Press(c.dir);
    Push(c.button);
    EXPECT_EQ(Sounds(), std::vector<int>{c.sound});
    EXPECT_EQ(g_SaveData.m_bAutoSave, c.flagAfter);
    EXPECT_EQ(SlotFileExists(3), c.saved);
    if (c.saved) {
      // The slot file keeps the switch on: continued from it, the play goes on saving itself.
      cSaveData saved;
      ASSERT_EQ(ReadProgressFile(StorySlotPath(3), saved), eProgressFile::Whole);
      EXPECT_EQ(saved.m_nStorySlot, 3);
      EXPECT_EQ(saved.m_bAutoSave, 1);
    }
    EXPECT_EQ(Menu().m_nPhase, cSceneMapMenu::kPhaseMenu);
    EXPECT_EQ(g_MenuCursor.Depth(), 1u);
    EXPECT_EQ(Row(), 1);
  }
}

TEST_F(MapMenuTest, WithoutASlotTheAutomaticSaveOnlyShowsItsNoticeUntilASaveChoosesOne) {
  struct Case {
    int32_t slot;
    uint16_t button;
  };
  // -1: none chosen yet; 99: past the slots, no file to save into.
  for (const Case& c : {Case{-1, kMenuDecide}, Case{-1, kMenuCancel}, Case{99, kMenuDecide}}) {
    const uint16_t button = c.button;
    g_SaveData.m_nStorySlot = c.slot;
    Open();
    Choose(kMapMenuAutoSave);
    // Label 16 alone, centred without a cursor column, no arrow.
    const std::string notice = g_SystemData.m_astrTexts[16];
    EXPECT_TRUE(TextAt(notice + "\n", 320 - 23 * 16 / 2, 232));
    EXPECT_TRUE(ArrowsFrom(64).empty());
    Push(button);
    EXPECT_EQ(Sounds(), std::vector<int>{button == kMenuDecide ? kMenuSoundDecide : kMenuSoundCancel});
    EXPECT_EQ(Menu().m_nPhase, cSceneMapMenu::kPhaseMenu);
    EXPECT_EQ(g_SaveData.m_bAutoSave, 0);
    EXPECT_EQ(g_SaveData.m_nStorySlot, c.slot);
  }
  g_SaveData.m_nStorySlot = -1;
  // A save into slot 7 gives the play a slot: the switch shows.
  Open();
  Choose(kMapMenuSave);
  for (int i = 0; i < 7; ++i) Press(kDirDown);
  Push(kMenuDecide);
  Press(kDirUp);
  Push(kMenuDecide);
  ASSERT_EQ(g_SaveData.m_nStorySlot, 7);
  Push(kMenuCancel);
  Press(kDirDown);
  Push(kMenuDecide);
  EXPECT_EQ(Menu().m_nPhase, cSceneMapMenu::kPhaseAutoSave);
  EXPECT_TRUE(TextAt(" オートセーブＯＮ\n オートセーブＯＦＦ\n", 240, 224));
  Press(kDirUp);
  Push(kMenuDecide);
  EXPECT_EQ(g_SaveData.m_bAutoSave, 1);
}

TEST_F(MapMenuTest, TheTitleConfirmStartsOnRatherNot) {
  Open();
  Choose(kMapMenuTitle);
  EXPECT_EQ(Row(), 1);
  EXPECT_TRUE(TextAt(" タイトルへ戻る\n やっぱりやめる\n", 256, 224));
  EXPECT_EQ(ArrowsFrom(64), (std::vector<std::pair<double, double>>{{256, 240}}));
  // Decide twice from the menu does not leave the game.
  Push(kMenuDecide);
  EXPECT_EQ(Sounds(), std::vector<int>{kMenuSoundDecide});
  EXPECT_EQ(Menu().m_nPhase, cSceneMapMenu::kPhaseMenu);
  EXPECT_EQ(Row(), kMapMenuTitle);
  // Cancel goes back to the menu too.
  Push(kMenuDecide);
  Sounds().clear();
  Push(kMenuCancel);
  EXPECT_EQ(Sounds(), std::vector<int>{kMenuSoundCancel});
  EXPECT_EQ(Menu().m_nPhase, cSceneMapMenu::kPhaseMenu);
  // Up, then decide: to the title.
  Push(kMenuDecide);
  Press(kDirUp);
  Push(kMenuDecide);
  EXPECT_EQ(g_SceneMgr.m_nRequestScene, kSceneTitle);
  FadeOut();
  EXPECT_EQ(g_SceneMgr.m_nScene, kSceneTitle);
  EXPECT_EQ(g_SceneMgr.m_nPrevScene, kSceneMapMenu);
}

}  // namespace
}  // namespace menutest
