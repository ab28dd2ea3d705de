// The world-map scene stepped frame by frame on a display without a window, with scripted input
// for the first player, on a small map: what it draws (through the drawing trace), the sounds it
// asks for, the scenes it goes to and the progress it leaves behind.
#include "menus/world_map_scene.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/log.h"
#include "data/game_data.h"
#include "data/story_slots.h"
#include "media/graphics/display.h"
#include "media/graphics/draw_trace.h"
#include "media/graphics/fade.h"
#include "media/graphics/font.h"
#include "media/graphics/graphics_fixture.h"
#include "media/graphics/surface_table.h"
#include "media/sound/sound_effects.h"
#include "menus/world_map_rules.h"
#include "menus/world_map_state.h"
#include "shell/input_state.h"
#include "shell/menu_cursor.h"
#include "shell/scene_mgr.h"
#include "stage/stage_files.h"
#include "test_support/fresh_game_data.h"
#include "test_support/hooks_guard.h"

namespace {

std::vector<DDTRACECALL> g_calls;
std::vector<int> g_sounds;
void RecordDraw(const DDTRACECALL& call) { g_calls.push_back(call); }
void RecordSound(int slot) { g_sounds.push_back(slot); }

constexpr uint16_t kLeft = 1, kRight = 2, kUp = 4, kDown = 8;
constexpr uint16_t kDecide = 1, kCancel = 2, kButton3 = 4, kButton4 = 8;

// Places of the test map.
constexpr int kStageX = 6, kStageY = 5;      // A: world 3, uncleared, not passable, its file is there
constexpr int kBlockX = 4, kBlockY = 5;      // B: a blocking offer
constexpr int kMissingX = 5, kMissingY = 4;  // C: world 4, always passable, its file is missing

class WorldMapSceneTest : public testing::Test {
 protected:
  WorldMapSceneTest() {
    using namespace gfxtest;
    const std::filesystem::path dir = std::filesystem::current_path();
    std::vector<uint32_t> palette;
    for (int i = 0; i < 256; ++i) palette.push_back(PaletteColour(i));
    WriteFile(dir / "bmp/plt/Palette.bmp", MakeBmp(
                                               32, 24, [](int, int) { return 0u; }, palette));
    for (const char* name : {"Accessory", "Window", "WorldMapChip", "WorldEvent"})
      WritePaletteBmp(dir / "bmp" / (std::string(name) + ".bmp"), 160, 160, [](int x, int) { return x % 7u; });
    m_bDisplay = DDInit(0, nullptr, 640, 480, 32, 1, 1, 1, 60, 0, g_SurfaceData, g_SurfaceInfo, kSurfaceTableSize, 0);
    m_Folder.Stage("w03-1.stg4_000", StageFile(986, SmallStage()));
    std::filesystem::create_directories(dir / "user_data" / "story");
    DDResetFadePhases();

    m_SavedMgr = {g_SceneMgr.m_nScene.load(), g_SceneMgr.m_nRequestScene, g_SceneMgr.m_nPrevScene, g_ModeIndex,
                  g_RankingOn};
    g_SceneMgr.m_nScene = kSceneWorldMap;
    g_SceneMgr.m_nRequestScene = kSceneWorldMap;
    g_SceneMgr.m_nPrevScene = kSceneTitle;
    g_ModeIndex = 0;
    g_RankingOn = 0;
    g_InputStates.assign(1, cInputState());
    g_MenuCursor.ResetCursorStack();
    g_WorldMapState.Reset();
    g_calls.clear();
    g_sounds.clear();
    BuildMap();
    g_SaveData.m_nMapX = 5;
    g_SaveData.m_nMapY = 5;
    g_SaveData.m_nLives = 3;
  }
  ~WorldMapSceneTest() override {
    m_Scene.reset();
    for (cFont& f : g_Font) f.Release();
    DDRelease();
    for (DDSURFACEDATA& sd : g_SurfaceData) std::memset(&sd, 0, sizeof sd);
    DDResetFadePhases();
    std::snprintf(g_SurfaceInfo[kPictureWorldBack].szPath, sizeof g_SurfaceInfo[0].szPath, "%s", "bmp\\WorldBack.bmp");
    g_MenuCursor.ResetCursorStack();
    g_WorldMapState.Reset();
    g_SceneMgr.m_nScene = m_SavedMgr[0];
    g_SceneMgr.m_nRequestScene = m_SavedMgr[1];
    g_SceneMgr.m_nPrevScene = m_SavedMgr[2];
    g_ModeIndex = m_SavedMgr[3];
    g_RankingOn = m_SavedMgr[4];
    g_bQuit = 0;
  }

  static cWorldEntry StageEntry(int32_t world, const char* title, const char* path) {
    cWorldEntry e;
    e.m_nKind = kWorldEntryStage;
    e.m_anSettings[0] = 1;
    e.m_anSettings[1] = world;
    e.m_strText = title;
    e.m_strStage = path;
    return e;
  }
  static void AddPlace(int32_t x, int32_t y, const cWorldEntry& entry) {
    cWorld place;
    place.m_nX = x;
    place.m_nY = y;
    place.m_aEntries = {entry};
    g_WorldMap.m_aWorlds.push_back(place);
  }
  static void BuildMap() {
    g_WorldMap.SetSize(20, 15);
    cMapEntry grass, water;
    water.m_nChip = 7;
    water.m_bBlocked = 1;
    g_WorldMap.m_aMapEntries = {grass, water};
    g_WorldMap.m_aWorlds.clear();
    AddPlace(kStageX, kStageY, StageEntry(3, "ABC", "data\\stg4\\w03-1.stg4"));
    cWorldEntry blocking;
    blocking.m_nKind = kWorldEntryBlocking;
    AddPlace(kBlockX, kBlockY, blocking);
    cWorldEntry missing = StageEntry(4, "ステージ", "data\\stg4\\none.stg4");
    missing.m_anSettings[2] = 1;  // always passable
    AddPlace(kMissingX, kMissingY, missing);
  }
  static cWorldEntry& PlaceEntry(int x, int y) { return g_WorldMap.FindMapEntryAt(x, y)->m_aEntries[0]; }

  // One frame with these words on the first player's input.
  void StepScene(uint16_t dir = 0, uint16_t buttons = 0) {
    cInputState& input = g_InputStates[0];
    input.m_wDir = dir;
    input.m_wButton = buttons;
    g_calls.clear();
    g_sounds.clear();
    m_Scene->Step();
  }
  // A frame with nothing pressed, then the press (what the test looks at is the press's frame).
  void Press(uint16_t dir, uint16_t buttons = 0) {
    StepScene();
    StepScene(dir, buttons);
  }
  void Enter() {
    m_Scene = std::make_unique<cSceneWorldMap>();
    StepScene();
  }
  // Enters and steps until the fade-in has ended.
  void EnterAndFadeIn() {
    Enter();
    for (int i = 0; i < 100 && m_Scene->m_nPhase == 0; ++i) StepScene();
    ASSERT_NE(m_Scene->m_nPhase, 0);
  }
  // Steps the fade-out until the next scene is current.
  void FadeOutToNextScene() {
    for (int i = 0; i < 100 && g_SceneMgr.m_nScene.load() == kSceneWorldMap; ++i) StepScene();
  }

  static std::vector<DDTRACECALL> Calls(const char* name, const DDSURFACEDATA* dst = nullptr,
                                        const DDSURFACEDATA* src = nullptr) {
    std::vector<DDTRACECALL> out;
    for (const DDTRACECALL& c : g_calls)
      if (c.strName == name && (!dst || c.lpDst == dst) && (!src || c.lpSrc == src)) out.push_back(c);
    return out;
  }
  static std::vector<double> First(const std::vector<DDTRACECALL>& calls, size_t n) {
    if (calls.empty()) return {};
    return std::vector<double>(calls[0].adArgs.begin(), calls[0].adArgs.begin() + std::min(n, calls[0].adArgs.size()));
  }
  static DDSURFACEDATA* MapPicture() { return &g_SurfaceData[kPictureMap]; }
  static DDSURFACEDATA* Accessory() { return &g_SurfaceData[kPictureAccessory]; }
  // The hero picture drawn this frame: source x and y.
  static std::vector<double> HeroSource() {
    for (const DDTRACECALL& c : Calls("DDBlt", &g_BackBufferSD, Accessory()))
      if (c.adArgs[0] == 288 && c.adArgs[1] == 224) return {c.adArgs[4], c.adArgs[5]};
    return {};
  }
  static std::vector<int> Hero() { return {g_MenuCursor.Top().nColumn, g_MenuCursor.Top().nRow}; }
  static std::vector<std::string> Texts(const char* name) {
    std::vector<std::string> out;
    for (const DDTRACECALL& c : Calls(name, &g_BackBufferSD)) out.push_back(c.strText);
    return out;
  }

  cFreshGameData m_Fresh;
  cGameFolder m_Folder;
  cHooksGuard<cDrawTraceHooks> m_Trace{SetDrawTraceHooks, {.record = RecordDraw}};
  cHooksGuard<cSoundTraceHooks> m_SoundTrace{SetSoundTraceHooks, {.record = RecordSound}};
  bool m_bDisplay = false;
  std::vector<int32_t> m_SavedMgr;
  std::unique_ptr<cSceneWorldMap> m_Scene;
};

TEST_F(WorldMapSceneTest, EnterComposesTheMapAroundTheHeroAndFadesIn) {
  ASSERT_TRUE(m_bDisplay);
  g_WorldMap.m_strText2 = "bmp\\Meadow.bmp";
  g_SaveData.m_nMapFacing = kFacingRight;
  Enter();
  EXPECT_STREQ(g_SurfaceInfo[kPictureWorldBack].szPath, "bmp\\Meadow.bmp");
  EXPECT_EQ(Hero(), (std::vector<int>{5, 5}));
  EXPECT_EQ(g_MenuCursor.Top().nX, 288);
  EXPECT_EQ(g_MenuCursor.Top().nY, 224);
  EXPECT_EQ(m_Scene->ViewX(), -4);
  EXPECT_EQ(m_Scene->ViewY(), -2);
  ASSERT_EQ(g_SceneSurfaces.size(), 1u);
  EXPECT_EQ(g_SceneSurfaces[0].nWidth, 272);
  EXPECT_EQ(g_SceneSurfaces[0].nHeight, 353);
  bool backColour = false;
  for (const DDTRACECALL& c : Calls("DDFillRect", MapPicture()))
    backColour |= c.adArgs == std::vector<double>{0, 0, 640, 480, 16};
  EXPECT_TRUE(backColour);
  EXPECT_EQ(First(Calls("DDBlt", &g_BackBufferSD, MapPicture()), 7), (std::vector<double>{0, 0, 640, 480, 0, 0, 0}));
  EXPECT_EQ(HeroSource(), (std::vector<double>{0, 96}));
  EXPECT_EQ(m_Scene->m_nPhase, 0);
  EXPECT_EQ(g_sounds, std::vector<int>{});
  EXPECT_EQ(g_WorldMap.m_nBackColour, 16);

  // The fade from black runs over ten frames (90 degrees at 10 a frame).
  int frames = 1;
  for (; frames < 100 && m_Scene->m_nPhase == 0; ++frames) StepScene();
  EXPECT_EQ(frames, 10);
  EXPECT_EQ(m_Scene->m_nPhase, 1);
}

TEST_F(WorldMapSceneTest, AnUnclearedStageIsConfirmedAtOnceAndDecliningGoesBack) {
  EnterAndFadeIn();
  Press(kRight);
  EXPECT_EQ(m_Scene->m_nPhase, 2);
  EXPECT_EQ(g_SaveData.m_nMapX, kStageX);
  EXPECT_EQ(g_SaveData.m_nPrevMapX, 5);
  EXPECT_EQ(g_MenuCursor.Depth(), 2u);
  // The view moved, so the map was composed again; the frame that opens the confirm draws nothing.
  EXPECT_FALSE(Calls("DDFillRect", MapPicture()).empty());
  EXPECT_TRUE(Calls("DDBlt", &g_BackBufferSD).empty());

  StepScene();
  EXPECT_EQ(g_sounds, std::vector<int>{1});
  EXPECT_TRUE(m_Folder.Boxes().empty()) << testing::PrintToString(m_Folder.Boxes());
  EXPECT_EQ(g_WorldMapState.m_bStageLoaded, 1);
  EXPECT_EQ(g_MenuCursor.Top().nRow, 1);
  // The arrow on the second row of the menu centred on x 304.
  const auto arrows = Calls("DDBlt", &g_BackBufferSD, Accessory());
  bool arrow = false;
  for (const DDTRACECALL& c : arrows) arrow |= c.adArgs == std::vector<double>{240, 276, 16, 16, 64, 0, 1};
  EXPECT_TRUE(arrow);

  Press(0, kCancel);
  EXPECT_EQ(g_sounds, std::vector<int>{2});
  EXPECT_EQ(m_Scene->m_nPhase, 1);
  EXPECT_EQ(Hero(), (std::vector<int>{5, 5}));
  EXPECT_EQ(g_MenuCursor.Depth(), 1u);
  EXPECT_EQ(m_Scene->ViewX(), -4);
  EXPECT_EQ(m_Scene->ViewY(), -2);
  // Declining again and again never piles up cursor entries.
  Press(kRight);
  StepScene();
  Press(0, kCancel);
  EXPECT_EQ(g_MenuCursor.Depth(), 1u);
}

TEST_F(WorldMapSceneTest, ConfirmingTheFirstRowStartsTheStage) {
  g_SystemData.m_anModeOpt[0] = 0;
  g_SystemData.m_nMapOptA = 1;
  EnterAndFadeIn();
  Press(kRight);
  StepScene();
  Press(kUp);
  EXPECT_EQ(g_MenuCursor.Top().nRow, 0);
  Press(0, kDecide);
  EXPECT_EQ(g_sounds, std::vector<int>{1});
  EXPECT_EQ(m_Scene->m_nPhase, 3);
  EXPECT_EQ(g_SceneMgr.m_nRequestScene, kSceneStage);
  EXPECT_EQ(g_SaveData.m_nMapFacing, kFacingRight);
  EXPECT_EQ(g_SaveData.m_nWorld, 3);
  EXPECT_EQ(g_SaveData.m_nStage, 1);
  EXPECT_EQ(g_SaveData.m_nStartLives, 4);
  EXPECT_EQ(g_SaveData.m_strStageKey, "data\\stg4\\w03.");
  FadeOutToNextScene();
  EXPECT_EQ(g_SceneMgr.m_nScene.load(), kSceneStage);
  EXPECT_EQ(g_SceneMgr.m_nPrevScene, kSceneWorldMap);
  EXPECT_EQ(g_MenuCursor.Depth(), 1u);
}

TEST_F(WorldMapSceneTest, AStageThatDoesNotLoadOnlyOffersToGoBack) {
  EnterAndFadeIn();
  Press(kUp);
  EXPECT_EQ(Hero(), (std::vector<int>{kMissingX, kMissingY}));
  EXPECT_EQ(m_Scene->m_nPhase, 1);  // always passable: no confirm by itself
  Press(0, kDecide);
  EXPECT_EQ(m_Scene->m_nPhase, 2);
  StepScene();
  EXPECT_EQ(m_Folder.Boxes(),
            std::vector<std::string>{"エラー|ステージファイル data\\stg4\\none.stg4 が読み込めません！"});
  EXPECT_EQ(g_WorldMapState.m_bStageLoaded, 0);
  Press(kUp);
  Press(0, kDecide);
  EXPECT_EQ(m_Scene->m_nPhase, 1);
  EXPECT_NE(g_SceneMgr.m_nRequestScene, kSceneStage);
  EXPECT_EQ(Hero(), (std::vector<int>{kMissingX, kMissingY}));
  EXPECT_EQ(g_MenuCursor.Depth(), 1u);
  EXPECT_EQ(g_bQuit.load(), 0);
}

TEST_F(WorldMapSceneTest, AClearedStageThatCannotBePlayedAgainIgnoresButton1) {
  g_SaveData.m_anWorldFlags[4] = 1;
  EnterAndFadeIn();
  Press(kUp);
  Press(0, kDecide);
  EXPECT_EQ(m_Scene->m_nPhase, 1);
  EXPECT_TRUE(g_calls.empty());
  EXPECT_TRUE(g_sounds.empty());
  PlaceEntry(kMissingX, kMissingY).m_anSettings[3] = 1;  // replayable
  Press(0, kDecide);
  EXPECT_EQ(m_Scene->m_nPhase, 2);
}

TEST_F(WorldMapSceneTest, RefusedStepsOnlyTurnTheHero) {
  *g_WorldMap.CellAt(5, 6) = 1;  // water below the hero
  EnterAndFadeIn();
  Press(kLeft);  // the blocking offer
  EXPECT_EQ(Hero(), (std::vector<int>{5, 5}));
  EXPECT_EQ(m_Scene->Facing(), kFacingLeft);
  EXPECT_EQ(g_SaveData.m_nMapFacing, kFacingDown);
  EXPECT_EQ(HeroSource()[1], 96);
  EXPECT_TRUE(Calls("DDFillRect", MapPicture()).empty());
  Press(kDown);  // the water
  EXPECT_EQ(Hero(), (std::vector<int>{5, 5}));
  EXPECT_EQ(m_Scene->Facing(), kFacingDown);
  EXPECT_EQ(HeroSource()[1], 64);
  // A step that moves the view composes the map again.
  Press(kUp);
  EXPECT_FALSE(Calls("DDFillRect", MapPicture()).empty());
}

TEST_F(WorldMapSceneTest, CancelOpensTheWorldMapMenu) {
  EnterAndFadeIn();
  Press(kUp);
  Press(kRight);
  Press(0, kCancel);
  EXPECT_EQ(g_sounds, std::vector<int>{4});
  EXPECT_EQ(m_Scene->m_nPhase, 3);
  EXPECT_EQ(g_SceneMgr.m_nRequestScene, kSceneMapMenu);
  EXPECT_EQ(g_SaveData.m_nMapX, 6);
  EXPECT_EQ(g_SaveData.m_nMapY, 4);
  FadeOutToNextScene();
  EXPECT_EQ(g_SceneMgr.m_nScene.load(), kSceneMapMenu);
  EXPECT_EQ(g_SceneMgr.m_nPrevScene, kSceneWorldMap);
}

TEST_F(WorldMapSceneTest, BackFromAStageAPlayWithItsOwnSlotSavesItself) {
  g_SaveData.m_bAutoSave = 1;
  g_SaveData.m_nStorySlot = 4;
  g_SceneMgr.m_nPrevScene = kSceneMapMenu;
  Enter();
  EXPECT_FALSE(std::filesystem::exists("user_data/story/Story05.dat"));
  g_SceneMgr.m_nPrevScene = kSceneStage;
  Enter();
  EXPECT_TRUE(std::filesystem::exists("user_data/story/Story05.dat"));
  EXPECT_EQ(g_SlotList[4].m_bExists, 1);
}

TEST_F(WorldMapSceneTest, LeavingAnUnclearedStageFromItsMenusPutsTheHeroBack) {
  g_SaveData.m_nMapX = kStageX;
  g_SaveData.m_nMapY = kStageY;
  g_SaveData.m_nPrevMapX = 5;
  g_SaveData.m_nPrevMapY = 5;
  g_SaveData.m_bLeftStage = 1;
  g_SceneMgr.m_nPrevScene = kSceneStage;
  Enter();
  EXPECT_TRUE(Texts("cFont::DrawBoxString").empty());  // no offer information while the flag is set
  EnterAndFadeIn();
  EXPECT_EQ(m_Scene->m_nPhase, 1);
  EXPECT_EQ(g_SaveData.m_bLeftStage, 0);
  EXPECT_EQ(Hero(), (std::vector<int>{5, 5}));
  EXPECT_EQ(m_Scene->ViewX(), -4);
  EXPECT_EQ(m_Scene->ViewY(), -2);
  EXPECT_EQ(g_WorldMapState.m_nRenderedViewX, -4);

  // A cleared stage keeps the hero on it.
  g_SaveData.m_anWorldFlags[3] = 1;
  g_SaveData.m_bLeftStage = 1;
  EnterAndFadeIn();
  EXPECT_EQ(Hero(), (std::vector<int>{kStageX, kStageY}));
  EXPECT_EQ(g_SaveData.m_bLeftStage, 0);
}

TEST_F(WorldMapSceneTest, AStageTheHeroCannotPassStartsByItself) {
  g_SaveData.m_nMapX = kStageX;
  g_SaveData.m_nMapY = kStageY;
  g_SceneMgr.m_nPrevScene = kSceneStage;
  EnterAndFadeIn();
  EXPECT_EQ(m_Scene->m_nPhase, 3);
  EXPECT_EQ(g_SceneMgr.m_nRequestScene, kSceneStage);
  EXPECT_EQ(g_SaveData.m_nPrevMapX, kStageX);
  EXPECT_EQ(g_SaveData.m_nWorld, 3);
  EXPECT_EQ(g_MenuCursor.Depth(), 1u);

  // From the world-map menu it waits for the confirm instead.
  g_SceneMgr.m_nPrevScene = kSceneMapMenu;
  EnterAndFadeIn();
  EXPECT_EQ(m_Scene->m_nPhase, 1);
  StepScene();
  EXPECT_EQ(m_Scene->m_nPhase, 2);
}

TEST_F(WorldMapSceneTest, AStageThatStartsByItselfAndDoesNotLoadStopsTheProgram) {
  PlaceEntry(kStageX, kStageY).m_strStage = "data\\stg4\\gone.stg4";
  g_SaveData.m_nMapX = kStageX;
  g_SaveData.m_nMapY = kStageY;
  EnterAndFadeIn();
  EXPECT_EQ(m_Folder.Boxes(),
            std::vector<std::string>{"エラー|ステージファイル data\\stg4\\gone.stg4 が読み込めません！"});
  EXPECT_EQ(g_bQuit.load(), 1);
  StepScene();
  EXPECT_TRUE(g_calls.empty());
}

TEST_F(WorldMapSceneTest, TheLivesBox) {
  struct cCase {
    int32_t lives;
    int x, width;
    const char* text;
  };
  EnterAndFadeIn();
  for (const cCase& c : std::vector<cCase>{
           {5, 589, 32, "5"}, {0, 589, 32, "0"}, {12, 573, 48, "12"}, {100, 557, 64, "100"}, {999999, 589, 32, "∞"}}) {
    g_SaveData.m_nLives = c.lives;
    StepScene();
    EXPECT_EQ(First(Calls("cFont::DrawBox", &g_BackBufferSD), 4),
              (std::vector<double>{double(c.x), 17, double(c.width), 20}))
        << c.lives;
    const auto strings = Calls("cFont::DrawString", &g_BackBufferSD);
    ASSERT_EQ(strings.size(), 1u) << c.lives;
    EXPECT_EQ(strings[0].strText, c.text);
    EXPECT_EQ(First(strings, 2), (std::vector<double>{double(c.x + 16), 19}));
    bool icon = false;
    for (const DDTRACECALL& b : Calls("DDBlt", &g_BackBufferSD, Accessory()))
      icon |= b.adArgs == std::vector<double>{double(c.x), 19, 16, 16, 0, 48, 1};
    EXPECT_TRUE(icon) << c.lives;
  }
  g_SystemData.m_nMapOpt191 = 0;
  StepScene();
  EXPECT_TRUE(Calls("cFont::DrawBox", &g_BackBufferSD).empty());
  EXPECT_TRUE(Calls("cFont::DrawString", &g_BackBufferSD).empty());
}

class WorldMapInfoTest : public WorldMapSceneTest {
 protected:
  WorldMapInfoTest() {
    PlaceEntry(kStageX, kStageY).m_anSettings[2] = 1;  // always passable: the hero may stand on it
    g_SaveData.m_nMapX = kStageX;
    g_SaveData.m_nMapY = kStageY;
  }
  static std::vector<double> BoxAt(const std::string& text) {
    for (const DDTRACECALL& c : Calls("cFont::DrawBoxString", &g_BackBufferSD))
      if (c.strText == text) return std::vector<double>(c.adArgs.begin(), c.adArgs.begin() + 4);
    return {};
  }
};

TEST_F(WorldMapInfoTest, TheTitleAndBestScoreOfTheOfferUnderTheHero) {
  EnterAndFadeIn();
  StepScene();
  EXPECT_EQ(BoxAt("ABC"), (std::vector<double>{280, 204, 48, 16}));
  EXPECT_EQ(Texts("cFont::DrawBoxString").size(), 1u);

  g_SaveData.StoreStageResult("data\\stg4\\w03.", "data\\stg4\\w03.", 0, 0, 0, 1234);
  EnterAndFadeIn();
  StepScene();
  EXPECT_EQ(m_Scene->BestScore(), 1234);
  EXPECT_EQ(BoxAt("ABC"), (std::vector<double>{280, 184, 48, 16}));
  EXPECT_EQ(BoxAt("スコア1234"), (std::vector<double>{248, 204, 112, 16}));

  g_SystemData.m_nMapOpt167a = 0;  // the score is not shown
  StepScene();
  EXPECT_EQ(BoxAt("ABC"), (std::vector<double>{280, 204, 48, 16}));
  EXPECT_EQ(Texts("cFont::DrawBoxString").size(), 1u);
}

TEST_F(WorldMapInfoTest, TheRankingPanelKeepsTheTextsLeftOfIt) {
  g_SystemData.m_aModeRanking[0].m_bEnabled = 1;
  g_SaveData.m_bRankingPanel = 1;
  PlaceEntry(kStageX, kStageY).m_strText = "ABCDEFGHIJ";
  g_SaveData.StoreStageResult("data\\stg4\\w03.", "data\\stg4\\w03.", 0, 0, 0, 123456);
  EnterAndFadeIn();
  StepScene();
  EXPECT_EQ(First(Calls("DDBlt", &g_BackBufferSD, &g_SceneSurfaces[0]), 7),
            (std::vector<double>{367, 64, 272, 353, 0, 0, 0}));
  EXPECT_EQ(BoxAt("ABCDEFGHIJ"), (std::vector<double>{207, 184, 160, 16}));
  EXPECT_EQ(BoxAt("スコア123456"), (std::vector<double>{223, 204, 144, 16}));

  // A title too wide for the room left of the panel starts at x 1.
  PlaceEntry(kStageX, kStageY).m_strText = std::string(30, 'A');
  StepScene();
  EXPECT_EQ(BoxAt(std::string(30, 'A')), (std::vector<double>{1, 184, 480, 16}));

  // Rankings off for the story: no panel, the texts centred.
  g_SystemData.m_aModeRanking[0].m_bEnabled = 0;
  StepScene();
  EXPECT_TRUE(Calls("DDBlt", &g_BackBufferSD, &g_SceneSurfaces[0]).empty());
  EXPECT_EQ(BoxAt(std::string(30, 'A')), (std::vector<double>{64, 184, 480, 16}));
}

TEST_F(WorldMapInfoTest, Buttons3And4WorkTheRankingPanel) {
  g_RankingOn = 1;
  g_SystemData.m_aModeRanking[0].m_bEnabled = 1;
  g_SystemData.m_aModeRanking[0].m_abKinds = {1, 0, 1, 0, 0};
  EnterAndFadeIn();
  StepScene(0, kButton3);
  EXPECT_EQ(g_sounds, std::vector<int>{6});
  EXPECT_EQ(g_SaveData.m_bRankingPanel, 1);
  EXPECT_FALSE(Calls("cFont::DrawBox", &g_SceneSurfaces[0]).empty());
  // Held, the button acts on every frame.
  StepScene(0, kButton3);
  EXPECT_EQ(g_SaveData.m_bRankingPanel, 0);

  StepScene(0, kButton4);
  EXPECT_EQ(g_sounds, std::vector<int>{6});
  EXPECT_EQ(g_SaveData.m_nRankingKind, 2);
  StepScene(0, kButton4);
  EXPECT_EQ(g_SaveData.m_nRankingKind, 0);

  // One kind only: the kind stays, no sound.
  g_SystemData.m_aModeRanking[0].m_abKinds = {1, 0, 0, 0, 0};
  StepScene(0, kButton4);
  EXPECT_TRUE(g_sounds.empty());
  EXPECT_EQ(g_SaveData.m_nRankingKind, 0);

  // Rankings off for the story: button 3 only hides a shown panel, silently.
  g_SaveData.m_bRankingPanel = 1;
  g_SystemData.m_aModeRanking[0].m_bEnabled = 0;
  StepScene(0, kButton3);
  EXPECT_TRUE(g_sounds.empty());
  EXPECT_EQ(g_SaveData.m_bRankingPanel, 0);
  StepScene(0, kButton3);
  EXPECT_EQ(g_SaveData.m_bRankingPanel, 0);
}

TEST_F(WorldMapInfoTest, TheHeroWalksWithTwoPicturesOver80Frames) {
  EnterAndFadeIn();
  g_WorldMapState.m_nHeroAnim = 0;
  std::vector<double> sources;
  for (int frame = 0; frame < 81; ++frame) {
    StepScene();
    sources.push_back(HeroSource()[0]);
  }
  for (int frame = 0; frame < 40; ++frame) EXPECT_EQ(sources[frame], 0) << frame;
  for (int frame = 40; frame < 80; ++frame) EXPECT_EQ(sources[frame], 32) << frame;
  EXPECT_EQ(sources[80], 0);
}

TEST_F(WorldMapSceneTest, AStageOfferIsReachedOncePerArrival) {
  // A stage offer on cell (0, 0) is reached like any other.
  cWorldEntry corner = StageEntry(7, "corner", "data\\stg4\\corner.stg4");
  corner.m_anSettings[2] = 1;
  AddPlace(0, 0, corner);
  g_SaveData.m_nMapX = 1;
  g_SaveData.m_nMapY = 0;
  EnterAndFadeIn();
  Press(kLeft);
  EXPECT_EQ(g_SaveData.m_strStageKey, "data\\stg4\\corner.");
  // Walking off and back onto the same offer does not reach it again.
  Press(kRight);
  g_SaveData.m_strStageKey = "elsewhere";
  Press(kLeft);
  EXPECT_EQ(g_SaveData.m_strStageKey, "elsewhere");
}

}  // namespace

namespace {

TEST_F(WorldMapSceneTest, ReachingAStageLoadsItsRankingsOntoAnEnabledKind) {
  g_RankingOn = 1;
  g_SystemData.m_aModeRanking[0].m_bEnabled = 1;
  g_SystemData.m_aModeRanking[0].m_abKinds = {0, 0, 1, 0, 0};
  std::filesystem::create_directories("user_data/story");
  cRanking stored;
  ResetRanking(stored);
  InsertRank(stored.m_aTables[2], "zed", 4200);
  ASSERT_EQ(SaveRankingFile(stored, 0, "data\\stg4\\none.", 0, 0, 0), 1);
  EnterAndFadeIn();
  Press(kUp);
  EXPECT_EQ(g_SaveData.m_strStageKey, "data\\stg4\\none.");
  EXPECT_EQ(g_SaveData.m_nRankingKind, 2);
  EXPECT_EQ(g_Ranking.m_aTables[2].m_aEntries[0].m_strName, "zed");
  // The panel was drawn again with that kind's table.
  EXPECT_FALSE(Calls("cFont::DrawBox", &g_SceneSurfaces[0]).empty());
  // In the confirm, buttons 3 and 4 still work the panel.
  Press(0, kDecide);
  StepScene();
  StepScene(0, kButton3);
  EXPECT_EQ(g_SaveData.m_bRankingPanel, 1);
  EXPECT_EQ(g_sounds, std::vector<int>{6});
  EXPECT_EQ(m_Scene->m_nPhase, 2);
}

TEST_F(WorldMapSceneTest, AnOfferThatIsNoStageStartsNothing) {
  cWorldEntry sign;
  sign.m_nKind = 1;
  sign.m_strText = "sign";
  AddPlace(5, 6, sign);
  EnterAndFadeIn();
  Press(kDown);
  EXPECT_EQ(Hero(), (std::vector<int>{5, 6}));
  Press(0, kDecide);
  EXPECT_EQ(m_Scene->m_nPhase, 1);
  EXPECT_TRUE(g_sounds.empty());
  EXPECT_TRUE(Calls("cFont::DrawBoxString", &g_BackBufferSD).empty());
}

TEST_F(WorldMapSceneTest, EnterCountsOnlyTheResultsOfStagesStillOnTheMap) {
  g_SaveData.StoreStageResult("data\\stg4\\w03.", "data\\stg4\\w03.", 0, 0, 0, 300);
  g_SaveData.StoreStageResult("data\\stg4\\gone.", "data\\stg4\\gone.", 0, 0, 0, 5000);
  ASSERT_EQ(g_SaveData.m_nResultTotal, 5300);
  Enter();
  EXPECT_EQ(g_SaveData.m_nResultTotal, 300);
}

TEST_F(WorldMapSceneTest, AMapPictureThatLostItsContentsIsComposedAgain) {
  EnterAndFadeIn();
  StepScene();
  EXPECT_TRUE(Calls("DDFillRect", MapPicture()).empty());
  MapPicture()->bContentsLost = 1;
  StepScene();
  EXPECT_FALSE(Calls("DDFillRect", MapPicture()).empty());
  EXPECT_EQ(MapPicture()->bContentsLost, 0);
}

TEST_F(WorldMapSceneTest, AProgressOffTheMapPutsTheHeroOnItsEdge) {
  g_SaveData.m_nMapX = -7;
  g_SaveData.m_nMapY = 400;
  g_SaveData.m_nMapFacing = 9;
  Enter();
  EXPECT_EQ(Hero(), (std::vector<int>{0, 14}));
  EXPECT_EQ(HeroSource(), (std::vector<double>{0, 64}));
}

}  // namespace
