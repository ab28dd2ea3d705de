// The options screen: the project's items with their values and where they stand, editing a value
// in place with its wrap, what takes effect at once (sound-effect volume on every buffer of every
// slot), what only on confirm (the music), cancel putting the old value back, the name typed in the
// name-entry dialog, values from a damaged options file, and "user_data\Option.dat" written on the
// way back to the title, or a message when it cannot be.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "data/option_data.h"
#include "data/system_data.h"
#include "media/sound/music_requests.h"
#include "menu_scene_fixture.h"
#include "menus/menu_scene.h"
#include "menus/option_saving.h"
#include "menus/option_scene.h"
#include "menus/option_values.h"
#include "platform/audio/audio_mixer.h"
#include "platform/files.h"
#include "shell/main_window.h"
#include "test_support/audio_files.h"
#include "test_support/temp_dir.h"

namespace menutest {
namespace {

std::vector<std::string>& NameDialogAnswers() {
  static std::vector<std::string> answers;
  return answers;
}
std::vector<WPARAM>& MusicRequests() {
  static std::vector<WPARAM> requests;
  return requests;
}

class OptionSceneTest : public cMenuSceneTest {
 protected:
  OptionSceneTest() {
    m_nSceneAtStart = kSceneOption;
    g_SceneMgr.m_nScene = kSceneOption;
    g_SceneMgr.m_nRequestScene = kSceneOption;
    NameDialogAnswers().clear();
    MusicRequests().clear();
    // The main window: the name-entry dialog stores the next answer as the options' ranking name;
    // music requests are noted.
    m_hWindow = CreateMessageWindow([](HWND, uint32_t msg, WPARAM wParam, LPARAM) -> LRESULT {
      if (msg == kMsgNameEntry) {
        if (!NameDialogAnswers().empty()) {
          g_OptionData.m_strRankingName = NameDialogAnswers().front();
          NameDialogAnswers().erase(NameDialogAnswers().begin());
        }
        g_nNameEntryDone.store(1);
      } else if (msg == kMsgPlayBgm) {
        MusicRequests().push_back(wParam);
      }
      return 0;
    });
    m_hOldMain = g_hMainWnd.exchange(m_hWindow);
    m_nOldBgmStep = GetBgmVolumeStep();
  }
  ~OptionSceneTest() override {
    m_Scene.reset();
    g_hMainWnd.store(m_hOldMain);
    DestroyMessageWindow(m_hWindow);
    SetBgmVolumeStep(m_nOldBgmStep);
    SetAtomicWriteFailStep(0);
    if (!g_SoundSlots.empty()) {
      DS_Release();
      g_SoundSlots.clear();
      std::remove(m_strWave.c_str());
    }
  }

  cSceneOption& Options() { return static_cast<cSceneOption&>(*m_Scene); }
  cSceneOption& Open() {
    cSceneOption& options = Start<cSceneOption>();
    FadeIn();
    return options;
  }
  int Row() { return g_MenuCursor.Top().nRow; }
  // Moves the arrow down to a row of the list (from row 0) and presses decide.
  void Choose(int row) {
    for (int i = 0; i < row; ++i) Press(kDirDown);
    ASSERT_EQ(Row(), row);
    Push(kMenuDecide);
  }
  // Every item starts from the value it is given here; returns the scene opened on the list.
  cSceneOption& OpenWith(int32_t colour, int32_t se) {
    g_OptionData.m_nColour = colour;
    g_OptionData.m_nSeVolume = se;
    return Open();
  }

  // Two sound slots of three buffers each, loaded at the volume of step 7 as start-up does.
  void LoadSoundSlots() {
    DS_InitPullOnly();
    std::ofstream(m_strWave, std::ios::binary)
        .write(reinterpret_cast<const char*>(test_audio::Wave16(100, 1000).data()),
               static_cast<std::streamsize>(test_audio::Wave16(100, 1000).size()));
    g_SoundSlots.assign(2, DSSOUNDDATA{});
    for (DSSOUNDDATA& slot : g_SoundSlots)
      ASSERT_TRUE(DS_LoadSound(slot, m_strWave.c_str(), kSoundBuffersPerSlot, SoundVolumeForStep(7)));
  }
  // The volume of every buffer of every slot.
  static std::vector<int> BufferVolumes() {
    std::vector<int> volumes;
    for (const DSSOUNDDATA& slot : g_SoundSlots)
      for (int id : slot.buffers) volumes.push_back(cAudioMixer::Shared().GetVolume(id));
    return volumes;
  }

  // The texts drawn into the pre-rendered screen this frame.
  struct cText {
    double x;
    double y;
    std::string text;
  };
  static std::vector<cText> Texts() {
    std::vector<cText> texts;
    for (const DDTRACECALL& c : DrawsNamed("cFont::DrawString")) texts.push_back({c.adArgs[0], c.adArgs[1], c.strText});
    return texts;
  }
  static const cText* TextAt(double x, double y) {
    static std::vector<cText> texts;
    texts = Texts();
    for (const cText& t : texts)
      if (t.x == x && t.y == y) return &t;
    return nullptr;
  }
  static std::string TextAtOr(double x, double y) {
    const cText* t = TextAt(x, y);
    return t ? t->text : "(none)";
  }
  // Arrow blits from the accessory sheet onto the back surface: source x and where.
  struct cArrow {
    double sx;
    double x;
    double y;
  };
  static std::vector<cArrow> Arrows() {
    std::vector<cArrow> arrows;
    for (const DDTRACECALL& c : BlitsFrom(kPictureAccessory)) arrows.push_back({c.adArgs[4], c.adArgs[0], c.adArgs[1]});
    return arrows;
  }
  std::filesystem::path OptionFile() const { return m_Display.Dir() / "user_data" / "Option.dat"; }
  static std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  HWND m_hWindow = nullptr;
  HWND m_hOldMain = nullptr;
  int m_nOldBgmStep = 7;
  std::string m_strWave = TestTempPath("option_scene_se.wav");
};

TEST_F(OptionSceneTest, TheListShowsEveryItemWithItsValueAndTheHelp) {
  Start<cSceneOption>();
  Frame();
  ASSERT_EQ(Options().ItemCount(), 10);
  const char* const captions[] = {"カラー",
                                  "ゲームパッド",
                                  "BGM",
                                  "SE",
                                  "ランキング登録",
                                  "ランキング登録名",
                                  "リプレイ自動保存",
                                  "リプレイ再生順",
                                  "リプレイのメッセージ自動進行秒数",
                                  "もどる"};
  // The defaults of a fresh options record, at x max(224, 16 x (caption characters + 6)).
  const char* const values[] = {"0",        "ON", "7", "7", "手動登録（登録名入力）", "aaa", "自動保存しない",
                                "ソート順", "OFF"};
  for (int row = 0; row < 10; ++row) {
    const double y = 80 + 16 * row;
    EXPECT_EQ(TextAtOr(64, y), captions[row]) << row;
    if (row < 9) { EXPECT_EQ(TextAtOr(row == 8 ? 352 : 224, y), values[row]) << row; }
  }
  EXPECT_EQ(OptionValueX(kOptionMessageAuto), 352);
  // "もどる" shows no value.
  int atBackRow = 0;
  for (const cText& t : Texts()) atBackRow += t.y == 80 + 16 * 9 ? 1 : 0;
  EXPECT_EQ(atBackRow, 1);
  // The help text is centred at y 264.
  int width = 0;
  int height = 0;
  MeasureText(g_SystemData.m_strOptionHelp.c_str(), &width, &height);
  EXPECT_EQ(TextAtOr(320 - width / 2, 264), g_SystemData.m_strOptionHelp);
  // The caption is the title menu's options item.
  EXPECT_NE(TextAt(320 - 16 * 5, 32), nullptr);
}

TEST_F(OptionSceneTest, OnlyEnabledItemsAreListedAndNoHelpWhenTheProjectHidesIt) {
  g_SystemData.m_bShowOptionHelp = 0;
  for (int kind : {1, 4, 5, 6, 7, 8}) g_SystemData.m_aOptionMenu[static_cast<size_t>(kind)].m_bEnabled = 0;
  Start<cSceneOption>();
  Frame();
  ASSERT_EQ(Options().ItemCount(), 4);
  const int kinds[] = {0, 2, 3, 9};
  for (int row = 0; row < 4; ++row) EXPECT_EQ(Options().ItemKind(row), kinds[row]);
  EXPECT_EQ(TextAtOr(64, 80 + 16 * 3), "もどる");
  for (const cText& t : Texts()) EXPECT_NE(t.y, 264) << t.text;

  // None enabled: the colour alone.
  for (cCmd& item : g_SystemData.m_aOptionMenu) item.m_bEnabled = 0;
  Start<cSceneOption>();
  Frame();
  EXPECT_EQ(Options().ItemCount(), 1);
  EXPECT_EQ(Options().ItemKind(0), kOptionColour);
}

TEST_F(OptionSceneTest, ValueTexts) {
  struct Case {
    int kind;
    int32_t value;
    const char* text;
  };
  const Case cases[] = {
      {kOptionMessageAuto, 0, "0.0"},
      {kOptionMessageAuto, 1, "0.5"},
      {kOptionMessageAuto, 19, "9.5"},
      {kOptionMessageAuto, 20, "10.0"},
      {kOptionMessageAuto, 21, "OFF"},
      {kOptionGamepad, 0, "OFF"},
      {kOptionGamepad, 1, "ON"},
      {kOptionSeVolume, 10, "10"},
      {kOptionColour, 23, "23"},
      {kOptionRankingEntry, 3, "自動登録（登録名固定）"},
      {kOptionReplayAutoSave, 2, "全て保存"},
      {kOptionReplayOrder, 2, "同じリプレイをリピート"},
  };
  for (const Case& c : cases) {
    *OptionValueRef(c.kind) = c.value;
    EXPECT_EQ(OptionValueText(c.kind), c.text) << c.kind << " " << c.value;
  }
  EXPECT_EQ(OptionValueText(kOptionBack), "");
}

TEST_F(OptionSceneTest, TheItemArrowWrapsAroundTheList) {
  Open();
  Frame();
  ASSERT_EQ(Arrows().size(), 1u);
  EXPECT_EQ(Arrows()[0].sx, 64);
  EXPECT_EQ(Arrows()[0].x, 48);
  EXPECT_EQ(Arrows()[0].y, 80);
  Press(kDirUp);
  EXPECT_EQ(Row(), 9);
  Press(kDirDown);
  EXPECT_EQ(Row(), 0);
}

TEST_F(OptionSceneTest, DecidingAValueItemEditsItInPlaceWithTheArrowsBesideIt) {
  Open();
  Choose(3);
  EXPECT_EQ(Sounds().back(), kMenuSoundDecide);
  EXPECT_EQ(Options().m_nSubState, cSceneOption::kStepEdit);
  EXPECT_EQ(Options().EditedKind(), kOptionSeVolume);
  EXPECT_EQ(Options().RememberedValue(), 7);
  EXPECT_EQ(g_MenuCursor.Depth(), 2u);
  Frame();
  // The second arrow on the item's row, the arrow left of the value.
  const std::vector<cArrow> arrows = Arrows();
  ASSERT_EQ(arrows.size(), 2u);
  EXPECT_EQ(arrows[0].sx, 80);
  EXPECT_EQ(arrows[0].x, 48);
  EXPECT_EQ(arrows[0].y, 128);
  EXPECT_EQ(arrows[1].sx, 64);
  EXPECT_EQ(arrows[1].x, 208);
  EXPECT_EQ(arrows[1].y, 128);
  // Confirmed: back on the list on the same row.
  Push(kMenuDecide);
  EXPECT_EQ(Options().m_nSubState, cSceneOption::kStepItems);
  EXPECT_EQ(g_MenuCursor.Depth(), 1u);
  EXPECT_EQ(Row(), 3);
  Frame();
  ASSERT_EQ(Arrows().size(), 1u);
  EXPECT_EQ(Arrows()[0].y, 128);

  // The message auto-advance, with its long caption, has its arrow further right.
  for (int i = 0; i < 5; ++i) Press(kDirDown);
  ASSERT_EQ(Row(), 8);
  Push(kMenuDecide);
  Frame();
  ASSERT_EQ(Arrows().size(), 2u);
  EXPECT_EQ(Arrows()[1].x, 336);
  EXPECT_EQ(Arrows()[1].y, 208);
}

TEST_F(OptionSceneTest, UpAndDownStepTheValueAndWrapAtTheEndsOfItsRange) {
  struct Case {
    int row;
    int32_t start;
    uint16_t dir;
    int32_t expected;
    const char* shown;
  };
  const Case cases[] = {
      {0, 23, kDirUp, 0, "0"},
      {0, 0, kDirDown, 23, "23"},
      {1, 1, kDirUp, 0, "OFF"},
      {2, 7, kDirUp, 0, "0"},
      {3, 0, kDirDown, 10, "10"},
      {3, 7, kDirUp, 8, "8"},
      {4, 3, kDirUp, 0, "手動登録（登録名入力）"},
      {6, 2, kDirUp, 0, "自動保存しない"},
      {7, 0, kDirDown, 2, "同じリプレイをリピート"},
      {8, 21, kDirUp, 0, "0.0"},
      {8, 0, kDirDown, 21, "OFF"},
      {8, 5, kDirDown, 4, "2.0"},
  };
  for (const Case& c : cases) {
    const int kind = c.row;  // every item is shown, so row and kind agree
    *OptionValueRef(kind) = c.start;
    Open();
    Choose(c.row);
    const int drawsBefore = Options().ScreenDraws();
    Press(c.dir);
    EXPECT_EQ(*OptionValueRef(kind), c.expected) << "kind " << kind << " from " << c.start;
    EXPECT_GT(Options().ScreenDraws(), drawsBefore) << kind;
    // The screen shows the new value.
    g_SceneSurfaces.front().bContentsLost = 1;
    Frame();
    EXPECT_EQ(TextAtOr(kind == kOptionMessageAuto ? 352 : 224, 80 + 16 * c.row), c.shown);
  }
}

TEST_F(OptionSceneTest, TheSoundVolumeTakesEffectOnEveryBufferAndCancelPutsItBack) {
  LoadSoundSlots();
  ASSERT_EQ(BufferVolumes(), std::vector<int>(6, -400));
  Open();
  Choose(3);
  Press(kDirUp);
  EXPECT_EQ(g_OptionData.m_nSeVolume, 8);
  EXPECT_EQ(BufferVolumes(), std::vector<int>(6, -200));
  Press(kDirDown);
  Press(kDirDown);
  Press(kDirDown);
  Press(kDirDown);
  Press(kDirDown);
  EXPECT_EQ(g_OptionData.m_nSeVolume, 3);
  EXPECT_EQ(BufferVolumes(), std::vector<int>(6, -1300));
  Push(kMenuCancel);
  EXPECT_EQ(Sounds().back(), kMenuSoundCancel);
  EXPECT_EQ(g_OptionData.m_nSeVolume, 7);
  EXPECT_EQ(BufferVolumes(), std::vector<int>(6, -400));
  EXPECT_EQ(Options().m_nSubState, cSceneOption::kStepItems);
  EXPECT_EQ(Row(), 3);
  // Cancel on the value does not leave the screen.
  EXPECT_EQ(Options().m_nPhase, cSceneOption::kPhaseMain);

  // Down from 0 wraps to 10, the full volume.
  g_OptionData.m_nSeVolume = 0;
  Push(kMenuDecide);
  Press(kDirDown);
  EXPECT_EQ(g_OptionData.m_nSeVolume, 10);
  EXPECT_EQ(BufferVolumes(), std::vector<int>(6, 0));
}

TEST_F(OptionSceneTest, TheMusicVolumeIsHeardOnlyWhenConfirmed) {
  SetBgmVolumeStep(7);
  g_SystemData.m_anSceneBgm[kMusicOptions] = 3;
  // Looped: without the force flag, a request for the music already playing is dropped.
  ASSERT_GT(g_SystemData.m_abSceneBgm.size(), static_cast<size_t>(kMusicOptions));
  g_SystemData.m_abSceneBgm[kMusicOptions] = 1;
  Open();
  MusicRequests().clear();
  // Changed and cancelled: the old value, the music untouched.
  Choose(2);
  Press(kDirDown);
  EXPECT_EQ(g_OptionData.m_nBgmVolume, 6);
  EXPECT_TRUE(MusicRequests().empty());
  Push(kMenuCancel);
  EXPECT_EQ(g_OptionData.m_nBgmVolume, 7);
  EXPECT_EQ(GetBgmVolumeStep(), 7);
  EXPECT_TRUE(MusicRequests().empty());
  // Changed and confirmed: the options music starts again at the new volume, although it plays.
  Push(kMenuDecide);
  Press(kDirDown);
  Press(kDirDown);
  Press(kDirDown);
  Press(kDirDown);
  EXPECT_TRUE(MusicRequests().empty());
  Push(kMenuDecide);
  EXPECT_EQ(g_OptionData.m_nBgmVolume, 3);
  EXPECT_EQ(GetBgmVolumeStep(), 3);
  ASSERT_EQ(MusicRequests().size(), 1u);
  EXPECT_EQ(MusicRequests()[0], static_cast<WPARAM>(kMusicOptions));
}

TEST_F(OptionSceneTest, TheNameItemAsksTheNameEntryDialogAndShowsTheNewName) {
  NameDialogAnswers().push_back("xyz");
  Open();
  for (int i = 0; i < 5; ++i) Press(kDirDown);
  const int drawsBefore = Options().ScreenDraws();
  Push(kMenuDecide);
  EXPECT_EQ(Sounds().back(), kMenuSoundDecide);
  EXPECT_EQ(g_OptionData.m_strRankingName, "xyz");
  EXPECT_EQ(Options().ScreenDraws(), drawsBefore + 1);
  EXPECT_EQ(Options().m_nSubState, cSceneOption::kStepItems);
  EXPECT_EQ(g_MenuCursor.Depth(), 1u);
  g_SceneSurfaces.front().bContentsLost = 1;
  Frame();
  EXPECT_EQ(TextAtOr(224, 80 + 16 * 5), "xyz");

  // Letters shown as icons in the project stay letters in the name, and the setting stays on.
  g_SystemData.m_nFontOpt = 1;
  g_Font[1].m_bIcons = 1;
  g_SceneSurfaces.front().bContentsLost = 1;
  Frame();
  EXPECT_EQ(TextAtOr(224, 80 + 16 * 5), "xyz");
  EXPECT_EQ(g_Font[1].m_bIcons, 1);
}

TEST_F(OptionSceneTest, DamagedValuesAreShownAndEditedInsideTheirRanges) {
  LoadSoundSlots();
  g_OptionData.m_nColour = 40;
  g_OptionData.m_nSeVolume = 15;
  g_OptionData.m_nRankingEntry = 5;
  g_OptionData.m_nReplayAutoSave = 3;
  g_OptionData.m_nReplayOrder = -2;
  g_OptionData.m_nMessageAutoSeconds = 99;
  Start<cSceneOption>();
  Frame();
  EXPECT_EQ(TextAtOr(224, 80), "23");
  EXPECT_EQ(TextAtOr(224, 80 + 16 * 3), "10");
  // Names past the project's lists show the nearest one, the value editing starts from.
  EXPECT_EQ(TextAtOr(224, 80 + 16 * 4), "自動登録（登録名固定）");
  EXPECT_EQ(TextAtOr(224, 80 + 16 * 6), "全て保存");
  EXPECT_EQ(TextAtOr(224, 80 + 16 * 7), "ソート順");
  EXPECT_EQ(TextAtOr(352, 80 + 16 * 8), "OFF");
  EXPECT_EQ(g_bQuit.load(), 0);
  EXPECT_FALSE(CloseWasPosted());
  FadeIn();
  // Editing starts from the value brought into range; steps and cancel stay inside the table.
  Choose(3);
  EXPECT_EQ(Options().RememberedValue(), 10);
  Press(kDirUp);
  EXPECT_EQ(g_OptionData.m_nSeVolume, 0);
  EXPECT_EQ(BufferVolumes(), std::vector<int>(6, -10000));
  Push(kMenuCancel);
  EXPECT_EQ(g_OptionData.m_nSeVolume, 10);
  EXPECT_EQ(BufferVolumes(), std::vector<int>(6, 0));
  Press(kDirDown);
  Push(kMenuDecide);
  Press(kDirDown);
  EXPECT_EQ(g_OptionData.m_nRankingEntry, 2);
  EXPECT_EQ(g_bQuit.load(), 0);
}

TEST_F(OptionSceneTest, LeavingWritesTheOptionsAndGoesBackToTheTitle) {
  struct Case {
    const char* how;
    bool cancel;  // button 2 on the list, else "もどる"
  };
  for (const Case& c : {Case{"back item", false}, Case{"cancel", true}}) {
    SCOPED_TRACE(c.how);
    std::filesystem::remove(OptionFile());
    g_SceneMgr.m_nScene = kSceneOption;
    g_OptionData.m_nSeVolume = 7;
    g_OptionData.m_nBgmVolume = 7;
    Open();
    Choose(3);
    Press(kDirUp);  // SE 8
    Push(kMenuDecide);
    Press(kDirUp);
    ASSERT_EQ(Row(), 2);
    Push(kMenuDecide);
    Press(kDirDown);  // music 6
    Push(kMenuDecide);
    Sounds().clear();
    if (c.cancel) {
      Push(kMenuCancel);
      EXPECT_EQ(Sounds(), std::vector<int>{kMenuSoundCancel});
    } else {
      for (int i = 0; i < 7; ++i) Press(kDirDown);
      ASSERT_EQ(Row(), 9);
      Sounds().clear();
      Push(kMenuDecide);
      EXPECT_EQ(Sounds(), std::vector<int>{kMenuSoundDecide});
    }
    EXPECT_EQ(Options().m_nPhase, cSceneOption::kPhaseFadeOut);
    EXPECT_EQ(g_SceneMgr.m_nRequestScene, kSceneTitle);
    EXPECT_FALSE(std::filesystem::exists(OptionFile()));  // only when the fade-out ends
    FadeOut();
    EXPECT_EQ(g_SceneMgr.m_nScene, kSceneTitle);
    EXPECT_EQ(g_SceneMgr.m_nPrevScene, kSceneOption);
    EXPECT_EQ(g_MenuCursor.Depth(), 1u);
    // The file in the record layout: version 986 (0x3DA), eight numbers, the name.
    const std::string bytes = ReadBytes(OptionFile());
    const std::string expected(
        "\xDA\x03\0\0\x08\0\0\0"
        "\x01\0\0\0\0\0\0\0\x06\0\0\0\x08\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x15\0\0\0"
        "\x01\0\0\0\x04\0\0\0aaa\0",
        52);
    EXPECT_EQ(bytes, expected);
  }
}

TEST_F(OptionSceneTest, AFailedWriteTellsThePlayerAndKeepsTheOldFile) {
  {
    cOptionData old;
    old.m_nColour = 4;
    ASSERT_EQ(old.SaveFile(kOptionDataPath), 1);
  }
  const std::string before = ReadBytes(OptionFile());
  ASSERT_FALSE(before.empty());
  Open();
  g_OptionData.m_nColour = 9;
  SetAtomicWriteFailStep(4);  // the new file cannot replace the old one
  Choose(9);
  FadeOut();
  SetAtomicWriteFailStep(0);
  EXPECT_EQ(g_SceneMgr.m_nScene, kSceneTitle);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0], "user_data\\Option.dat の保存に失敗しました！");
  EXPECT_EQ(ReadBytes(OptionFile()), before);
  // The values stay in memory.
  EXPECT_EQ(g_OptionData.m_nColour, 9);
}

TEST_F(OptionSceneTest, NothingIsWrittenAfterAFatalStop) {
  g_bQuit.store(1);
  EXPECT_FALSE(SaveOptionFile());
  g_bQuit.store(0);
  EXPECT_FALSE(std::filesystem::exists(OptionFile()));
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace
}  // namespace menutest

namespace menutest {
namespace {

// In 8-bit colour the colour option loads its palette table "bmp\hbt\hbtNN.dat"; a colour from a
// damaged file asks for the last table, never one past it. (The tables are missing here, so the
// message of each load names the table it asked for.)
TEST(OptionColourTest, TheColourLoadsItsPaletteTableInsideTheRange) {
  cFreshGameData fresh;
  gfxtest::Display display{gfxtest::kModes[2]};
  ASSERT_TRUE(display.ok);
  std::vector<std::string> boxes;
  static std::vector<std::string>* s_boxes = nullptr;
  s_boxes = &boxes;
  SetMessageBoxHandler([](const char* text, const char*, unsigned) {
    s_boxes->push_back(text ? text : "");
    return 1;
  });
  for (int32_t colour : {5, 40, -3}) {
    g_OptionData.m_nColour = colour;
    ApplyOptionValue(kOptionColour);
  }
  SetMessageBoxHandler(nullptr);
  g_bQuit.store(0);
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_NE(boxes[0].find("hbt05.dat"), std::string::npos) << boxes[0];
  EXPECT_NE(boxes[1].find("hbt23.dat"), std::string::npos) << boxes[1];
  EXPECT_NE(boxes[2].find("hbt00.dat"), std::string::npos) << boxes[2];
}

}  // namespace
}  // namespace menutest
