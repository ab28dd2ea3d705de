// Stage drawing on the stage harness, as the drawing trace records it: the fixed order of a stage
// picture and its depth layers with the Z-layer flag off and on, the pause menu that hides the
// stage, the captions of a test play, the block passes, pictures, effect objects and message
// windows (drawn and removed when their time is over), the ranking of the character sheets in
// Direct3D mode, the clearing at set-up, and the defeat displays that drawing finishes.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "data/game_data.h"
#include "flow/effect_obj.h"
#include "flow/mes_window.h"
#include "flow/screen_picture.h"
#include "media/graphics/display.h"
#include "media/graphics/draw_trace.h"
#include "media/graphics/surface_table.h"
#include "objects/play_objects.h"
#include "objects/shot.h"
#include "shell/app_globals.h"
#include "shell/scene_mgr.h"
#include "stage/deferred_removals.h"
#include "stage/object_layers.h"
#include "stage/scene_stage.h"
#include "stage/stage_loading.h"
#include "test_support/stage_play_harness.h"

namespace {

cHarnessSetup SceneSetup(std::vector<std::string> map, std::map<char, cBlockType> blocks = {}) {
  cHarnessSetup setup;
  setup.map = std::move(map);
  setup.blocks = std::move(blocks);
  setup.makeStage = [] { return std::unique_ptr<cStageState>(new cSceneStage); };
  setup.addStandIns = AddStagePlayServices;
  return setup;
}

cBackLayer ColourLayer(int colour, int group) {
  cBackLayer layer;
  layer.m_bColourFill = 1;
  layer.m_nColour = colour;
  layer.m_nGroup = group;
  return layer;
}

bool IsSlot(const DDSURFACEDATA* surface, std::initializer_list<int> slots) {
  for (int slot : slots)
    if (surface == &g_SurfaceData[slot]) return true;
  return false;
}

class StageDrawingTest : public testing::Test {
 protected:
  explicit StageDrawingTest(std::vector<std::string> map = {"..........", ".H.I.C....", "##########"},
                            std::map<char, cBlockType> blocks = {})
      : m_Plugins(SetHarnessPlugins, WithStagePlay(CurrentHarnessPlugins())),
        m_Harness(SceneSetup(std::move(map), std::move(blocks))) {
    TakeStageSettingsCopy();
    g_HeroType = g_StageFile.m_aCharas[static_cast<size_t>(HeroTypeIndex(g_StageFile))];
    Scene().SetupStage(1, 1);
    Scene().m_nPhase = kStagePhasePlay;
    g_StageFile.m_aLayers = {ColourLayer(5, 0), ColourLayer(7, 1)};
    g_StageFile.m_bDrawByLayer = 0;
    m_Harness.ClearTraces();
  }
  ~StageDrawingTest() override {
    g_TestPlay = g_DirectPlay = g_ReturnToTitle = 0;
    g_PlayMode = kPlayModeStoryNew;
  }
  cSceneStage& Scene() { return static_cast<cSceneStage&>(m_Harness.Stage()); }

  // A shot of the hero's beside it, in a depth layer.
  cShot& AddShot(int layer) {
    cShot& shot = Scene().m_ShotList.emplace_back();
    const cHero& hero = g_HeroList[0];
    shot.m_bIsShot = 1;
    shot.m_bGravityFree = 1;
    shot.m_dX = hero.m_dX + 96;
    shot.m_dY = hero.m_dY;
    shot.m_dX2 = shot.m_dX + 15;
    shot.m_dY2 = shot.m_dY + 15;
    shot.m_nGraphicWidth = shot.m_nGraphicHeight = 16;
    shot.m_nLayer = static_cast<int8_t>(layer);
    return shot;
  }

  // The calls of one frame as short words: full-screen fills with their colour, the draw layers
  // opened and closed, the blits of blocks, the hero, items, the character and shots, and texts;
  // repeats of a word in a row are one word, other calls are left out.
  std::string Words() {
    const cHero& hero = g_HeroList[0];
    const cChara* chara = g_CharaList.empty() ? nullptr : &g_CharaList.front();
    std::string words, last;
    for (const DDTRACECALL& c : m_Harness.Draws()) {
      std::string word;
      const auto at = [&](const cIntRect& r) { return c.adArgs[0] == r.left && c.adArgs[1] == r.top; };
      if (c.strName == "DDFillRect" && c.adArgs[0] == 0 && c.adArgs[1] == 0 && c.adArgs[2] == 640 &&
          c.adArgs[3] == 480) {
        word = "fill" + std::to_string(static_cast<int>(c.adArgs[4]));
      } else if (c.strName == "DDBeginLayer") {
        word = "begin" + std::to_string(static_cast<int>(c.adArgs[0]));
      } else if (c.strName == "DDEndLayer") {
        word = "end";
      } else if (c.strName == "cFont::DrawString" && c.adArgs[1] == 456) {
        word = "caption";
      } else if (c.strName == "DDBlt" && c.lpDst == &g_BackBufferSD) {
        if (IsSlot(c.lpSrc, {47})) word = "status";
        if (IsSlot(c.lpSrc, {2})) word = "block";
        if (IsSlot(c.lpSrc, {40, 41})) word = "item";
        if (IsSlot(c.lpSrc, {20, 21, 38, 39})) word = "shot";
        if (IsSlot(c.lpSrc, {4, 5, 22, 23}) && at(hero.m_ScreenRect)) word = "hero";
        if (IsSlot(c.lpSrc, {4, 5, 22, 23}) && chara && at(chara->m_ScreenRect)) word = "chara";
      }
      if (word.empty() || word == last) continue;
      words += (words.empty() ? "" : " ") + word;
      last = word;
    }
    return words;
  }
  // The order in which the hero, the item, the character and the shot are first drawn.
  std::string ObjectOrder() {
    const std::string words = " " + Words() + " ";
    std::vector<std::pair<size_t, std::string>> found;
    for (const std::string word : {"hero", "item", "chara", "shot"}) {
      const size_t at = words.find(" " + word + " ");
      if (at != std::string::npos) found.emplace_back(at, word);
    }
    std::sort(found.begin(), found.end());
    std::string order;
    for (const auto& [at, word] : found) order += (order.empty() ? "" : " ") + word;
    return order;
  }

  cHooksGuard<cHarnessPlugins> m_Plugins;
  cStageHarness m_Harness;
};

TEST_F(StageDrawingTest, APictureIsComposedInItsFixedOrder) {
  g_TestPlay = 1;
  AddShot(3);
  Scene().DrawStage(1, 1);
  // Background behind, blocks behind, the hero, items, characters (no draw layer in DirectDraw
  // mode), shots, blocks in front, background in front, the status bar, the caption.
  EXPECT_EQ(Words(),
            "fill5 begin1 block end hero begin1 item end chara begin0 shot end begin1 end fill7 status caption");
}

TEST_F(StageDrawingTest, DepthLayersOrderTheObjectsByTheirLayerBytesOnlyWithTheZLayerFlag) {
  struct Case {
    int drawByLayer, hero, item, chara, shot;
    const char* order;
  };
  const Case cases[] = {
      {0, 3, 0, 0, 0, "hero item chara shot"},  // one pass: layer bytes are not looked at
      {1, 0, 0, 7, 0, "hero item shot chara"},  // a character in layer 7 over the hero in layer 0
      {1, 3, 0, 3, 3, "item hero chara shot"},  // an item in layer 0 under the hero in layer 3
      {1, 5, 5, 2, 1, "shot chara hero item"},
      {1, 3, 3, 12, 3, "hero item shot chara"},  // a damaged layer byte counts as layer 7
  };
  cShot& shot = AddShot(0);
  for (const Case& c : cases) {
    g_StageFile.m_bDrawByLayer = c.drawByLayer;
    g_HeroList[0].m_Type.m_nLayer = static_cast<int8_t>(c.hero);
    g_ItemList.front().m_Type.m_nLayer = static_cast<int8_t>(c.item);
    g_CharaList.front().m_Type.m_nLayer = static_cast<int8_t>(c.chara);
    shot.m_nLayer = static_cast<int8_t>(c.shot);
    m_Harness.ClearTraces();
    Scene().DrawStage(1, 1);
    EXPECT_EQ(ObjectOrder(), c.order) << c.drawByLayer << c.hero << c.item << c.chara << c.shot;
  }
  // With the flag on, every layer opens its item and shot draw layers, drawn or not.
  int begins = 0;
  for (const DDTRACECALL& c : m_Harness.Draws()) begins += c.strName == "DDBeginLayer";
  EXPECT_EQ(begins, 2 + 8 * 2);  // the two block passes, then items and shots of eight layers
}

// With the project's pause setting on, the pause menu shows only the background layers; the
// layers' own scrolling stands still while it is open and goes on in every other phase.
TEST_F(StageDrawingTest, ThePauseMenuHidesTheStageWhenTheProjectSaysSo) {
  g_StageFile.m_aLayers[0].m_bAutoScrollX = 1;
  g_StageFile.m_aLayers[0].m_dAutoSpeedX = 2.5;
  struct Case {
    int phase, hide;
    const char* words;
    double offsetAfter;
  };
  const Case cases[] = {
      {kStagePhasePauseMenu, 1, "fill5 fill7", 0.0},
      {kStagePhasePauseMenu, 0, "fill5 begin1 block end hero begin1 item end chara begin1 end fill7 status", 0.0},
      {kStagePhaseIntro, 1, "fill5 begin1 block end hero begin1 item end chara begin1 end fill7 status", -2.5},
  };
  for (const Case& c : cases) {
    g_SystemData.m_bStageDrawOpt = c.hide;
    Scene().m_nPhase = c.phase;
    g_StageFile.m_aLayers[0].m_dAutoOffsetX = 0;
    m_Harness.ClearTraces();
    Scene().DrawStage(0, 1);
    std::string words = Words();
    // The shots' draw layer, empty here, is left out of the comparison.
    for (size_t at; (at = words.find(" begin0 end")) != std::string::npos;) words.erase(at, 11);
    EXPECT_EQ(words, c.words) << c.phase << c.hide;
    // A colour layer has no picture: its offset is not wrapped.
    EXPECT_EQ(g_StageFile.m_aLayers[0].m_dAutoOffsetX, c.offsetAfter) << c.phase << c.hide;
  }
}

TEST_F(StageDrawingTest, ATestPlayShowsItsCaptionCentredAtTheBottom) {
  struct Case {
    int captions, testPlay, directPlay, returnToTitle;
    int text;  // -1: no caption
    double x;
  };
  const Case cases[] = {
      {1, 1, 1, 0, 30, 248},  // "スペースキーで終了": 9 characters
      {1, 0, 1, 0, 30, 248},  // a FreeStage start
      {1, 0, 1, 1, -1, 0},    // a direct start that returns to the title
      {1, 1, 0, 0, 29, 208},  // "スペースキーでタイトルへ戻る": 14 characters
      {1, 0, 0, 0, -1, 0},    // a play started from the menus
      {0, 1, 1, 0, -1, 0},    // the stage-end hint frame
  };
  for (const Case& c : cases) {
    g_TestPlay = c.testPlay;
    g_DirectPlay = c.directPlay;
    g_ReturnToTitle = c.returnToTitle;
    m_Harness.ClearTraces();
    Scene().DrawStage(0, c.captions);
    std::vector<DDTRACECALL> texts;
    for (const DDTRACECALL& call : m_Harness.Draws())
      if (call.strName == "cFont::DrawString" && call.adArgs[1] == 456) texts.push_back(call);
    if (c.text < 0) {
      EXPECT_TRUE(texts.empty()) << c.captions << c.testPlay << c.directPlay << c.returnToTitle;
      continue;
    }
    ASSERT_EQ(texts.size(), 1u) << c.captions << c.testPlay << c.directPlay << c.returnToTitle;
    EXPECT_EQ(texts[0].strText, g_SystemData.m_astrTexts[static_cast<size_t>(c.text)]);
    EXPECT_EQ(texts[0].lpDst, &g_BackBufferSD);
    EXPECT_EQ(texts[0].adArgs[0], c.x);
    EXPECT_EQ(texts[0].adArgs[1], 456);
  }
  // An empty caption text is drawn at the centre, empty.
  g_TestPlay = g_DirectPlay = 1;
  g_SystemData.m_astrTexts[30].clear();
  m_Harness.ClearTraces();
  Scene().DrawStage(0, 1);
  const auto& draws = m_Harness.Draws();
  const auto text = std::find_if(draws.begin(), draws.end(), [](const DDTRACECALL& call) {
    return call.strName == "cFont::DrawString" && call.adArgs[1] == 456;
  });
  ASSERT_NE(text, draws.end());
  EXPECT_EQ(text->adArgs[0], 320);
}

// Pictures and their two parallel lists advance together; a picture whose time is over goes from
// all three in the pass that finds it. Frozen frames do not count its time.
TEST_F(StageDrawingTest, APictureWhoseTimeIsOverLeavesAllThreeListsInItsPass) {
  const auto add = [&](int layer, int mode, int time, int number) {
    Scene().m_Pictures.emplace_back(0, 0, 0, 0, 0, 0, 0, 16, 16, 0, layer, 100, mode, time, 0, 0, 1, number);
    Scene().m_PictureSurfaces.push_back(DDSURFACEDATA{});
    Scene().m_PictureSurfaceInfos.push_back(DDSURFACEINFO{});
  };
  add(0, 2, 0, 1);  // A: group 0, its time ends with the next counted frame
  add(1, 0, 0, 2);  // B: group 1
  add(0, 0, 0, 3);  // C: group 0
  Scene().DrawScreenPictures(&g_BackBufferSD, 0, 1);
  EXPECT_EQ(Scene().m_Pictures.size(), 3u);
  Scene().DrawScreenPictures(&g_BackBufferSD, 1, 0);
  EXPECT_EQ(Scene().m_Pictures.size(), 3u);
  Scene().DrawScreenPictures(&g_BackBufferSD, 0, 0);
  ASSERT_EQ(Scene().m_Pictures.size(), 2u);
  EXPECT_EQ(Scene().m_Pictures.front().m_nNumber, 2);
  EXPECT_EQ(Scene().m_Pictures.back().m_nNumber, 3);
  EXPECT_EQ(Scene().m_PictureSurfaces.size(), 2u);
  EXPECT_EQ(Scene().m_PictureSurfaceInfos.size(), 2u);
}

TEST_F(StageDrawingTest, EffectObjectsOfAGroupAreDrawnInOneDrawLayerAndGoWhenEnded) {
  Scene().DrawEffectObjs(&g_BackBufferSD, 0, 0);
  EXPECT_TRUE(m_Harness.Draws().empty());  // no effect: no draw layer either
  cEffectObj effect;
  effect.m_nEffect = 0x8000;  // no such effect: it ends at its first draw
  effect.m_nLayer = 1;
  Scene().m_Effects.push_back(effect);
  Scene().DrawEffectObjs(&g_BackBufferSD, 0, 0);
  EXPECT_EQ(Words(), "begin0 end");
  EXPECT_EQ(Scene().m_Effects.size(), 1u);
  Scene().DrawEffectObjs(&g_BackBufferSD, 1, 0);
  EXPECT_TRUE(Scene().m_Effects.empty());
}

// A timed message window counts its life in play frames (and in frozen ones only when it counts
// while held) and leaves the list when it is over.
TEST_F(StageDrawingTest, TimedMessageWindowsExpireThroughDrawing) {
  MESWINDOWARGS args;
  args.nKind = kMesTimer;
  args.nCloseMode = 2;
  args.nLifeFrames = 2;
  Scene().m_MesWindows.emplace_back(args);
  args.bCountWhileHeld = 1;
  Scene().m_MesWindows.emplace_back(args);
  for (int i = 0; i < 3; ++i) Scene().DrawStage(0, 1);
  ASSERT_EQ(Scene().m_MesWindows.size(), 1u);
  EXPECT_EQ(Scene().m_MesWindows.front().m_bCountWhileHeld, 0);
  Scene().DrawStage(1, 1);
  Scene().DrawStage(1, 1);
  EXPECT_EQ(Scene().m_MesWindows.size(), 1u);
  Scene().DrawStage(1, 1);
  EXPECT_TRUE(Scene().m_MesWindows.empty());
}

TEST_F(StageDrawingTest, SetUpClearsThePicturesAndTheMessageSurfaces) {
  Scene().m_Pictures.emplace_back(0, 0, 0, 0, 0, 0, 0, 16, 16, 0, 0, 100, 0, 0, 0, 0, 0, 0);
  Scene().m_PictureSurfaces.push_back(DDSURFACEDATA{});
  Scene().m_PictureSurfaceInfos.push_back(DDSURFACEINFO{});
  Scene().m_MesSurfaces.push_back(DDSURFACEDATA{});
  Scene().m_MesSurfaceInfos.push_back(DDSURFACEINFO{});
  Scene().SetupStage(1, 0);
  EXPECT_TRUE(Scene().m_Pictures.empty());
  EXPECT_TRUE(Scene().m_PictureSurfaces.empty());
  EXPECT_TRUE(Scene().m_PictureSurfaceInfos.empty());
  EXPECT_TRUE(Scene().m_MesSurfaces.empty());
  EXPECT_TRUE(Scene().m_MesSurfaceInfos.empty());
}

// In Direct3D mode the character pass ranks the sheets characters draw from, in a fixed order;
// projects made before the grouping draw characters without it.
TEST_F(StageDrawingTest, TheCharacterPassRanksItsSheetsInDirect3D) {
  DTCONTEXT context;
  DTCONTEXT* saved = lpDTCon;
  lpDTCon = &context;  // Direct3D mode as the drawing sees it; the trace draws nothing
  std::vector<DDSURFACEDATA>& exc = Scene().m_CharaExcPictures.m_aSurfaces;
  exc.assign(8, DDSURFACEDATA{});  // two dedicated bitmaps
  std::vector<std::string> expected = {"2", "3", "exc0", "exc1", "exc4", "exc5"};
  for (int row = 4; row <= 18; ++row) expected.push_back(std::to_string(row));
  for (const char* row : {"20", "64", "21", "65", "40", "43", "42"}) expected.push_back(row);
  for (int x : {0, 64})
    for (int y : {208, 210, 212, 214, 216}) expected.push_back("50@" + std::to_string(x) + "," + std::to_string(y));

  const auto keys = [&] {
    std::vector<std::string> names;
    bool inCharaPass = false;
    for (const DDTRACECALL& c : m_Harness.Draws()) {
      if (inCharaPass && c.strName == "DDEndLayer") break;
      if (c.strName != "DDLayerAddTexture" && c.strName != "DDLayerAddCell") continue;
      std::string name;
      for (int i = 0; i < 8; ++i)
        if (c.lpSrc == &exc[static_cast<size_t>(i)]) name = "exc" + std::to_string(i);
      if (name.empty()) name = std::to_string(c.lpSrc - g_SurfaceData);
      if (c.strName == "DDLayerAddCell")
        name +=
            "@" + std::to_string(static_cast<int>(c.adArgs[0])) + "," + std::to_string(static_cast<int>(c.adArgs[1]));
      if (name == "2") inCharaPass = true;
      if (inCharaPass) names.push_back(name);
    }
    return names;
  };
  Scene().DrawStage(1, 1);
  EXPECT_EQ(keys(), expected);

  g_SystemData.m_bLegacy855 = 1;
  m_Harness.ClearTraces();
  Scene().DrawStage(1, 1);
  EXPECT_TRUE(keys().empty());
  lpDTCon = saved;
  exc.clear();
}

// The hero's defeat display runs in the play frames' drawing: when it is over (a second of frames),
// a life is used and the stage starts again, the continue menu follows, or the game is over. Frames
// outside play do not advance it, and a wait's nested loop leaves the decision to the next play
// frame.
TEST_F(StageDrawingTest, TheHerosDefeatDisplayEndsInThePlayFramesDrawing) {
  struct Case {
    int32_t lives;
    int continueMenu;
    int32_t phase, livesAfter;
  };
  for (const Case& c :
       {Case{2, 0, kStagePhaseIntro, 1}, Case{2, 1, kStagePhaseContinueMenu, 1}, Case{0, 0, kStagePhaseGameOver, 0}}) {
    Scene().SetupStage(1, 0);
    Scene().m_nPhase = kStagePhasePlay;
    g_SceneMgr.m_nFrameRate = 60;
    g_SystemData.m_nStageOpt191 = c.continueMenu;
    g_SaveData.m_nLives = c.lives;
    g_HeroList[0].m_bDead = 1;
    for (int i = 0; i < 100; ++i) Scene().DrawStage(0, 1);  // frozen frames
    Scene().m_nPhase = kStagePhasePauseMenu;
    for (int i = 0; i < 100; ++i) Scene().DrawStage(0, 1);
    Scene().m_nPhase = kStagePhasePlay;
    for (int i = 0; i < 60; ++i) Scene().Step();
    EXPECT_EQ(Scene().m_nPhase, kStagePhasePlay) << c.lives << c.continueMenu;
    EXPECT_TRUE(g_HeroList[0].m_bDead);
    Scene().Step();
    EXPECT_EQ(Scene().m_nPhase, c.phase) << c.lives << c.continueMenu;
    EXPECT_EQ(g_SaveData.m_nLives, c.livesAfter) << c.lives << c.continueMenu;
    // The menu or display that follows draws the fallen hero without deciding again.
    for (int i = 0; i < 5; ++i) Scene().DrawStage(0, 1);
    EXPECT_EQ(Scene().m_nPhase, c.phase) << c.lives << c.continueMenu;
    EXPECT_EQ(g_SaveData.m_nLives, c.livesAfter) << c.lives << c.continueMenu;
  }
  // Inside a wait the display ends but nothing is decided until a play frame draws.
  Scene().SetupStage(1, 0);
  Scene().m_nPhase = kStagePhasePlay;
  g_SystemData.m_nStageOpt191 = 0;
  g_SaveData.m_nLives = 2;
  g_HeroList[0].m_bDead = 1;
  {
    cDeferRemovals wait;
    for (int i = 0; i < 100; ++i) Scene().DrawStage(1, 1);
  }
  EXPECT_EQ(Scene().m_nPhase, kStagePhasePlay);
  EXPECT_EQ(g_SaveData.m_nLives, 2);
  Scene().DrawStage(1, 1);
  EXPECT_EQ(Scene().m_nPhase, kStagePhaseIntro);
}

// A defeated character without a defeat effect is gone on the first frame that draws it, even
// outside the play phase; inside a wait's nested loop its removal waits for the sub-step boundary.
TEST_F(StageDrawingTest, ADefeatedCharacterGoesOnTheFrameItsDisplayEnds) {
  Scene().m_nPhase = kStagePhaseIntro;
  g_CharaList.front().m_bDead = 1;
  {
    cDeferRemovals wait;
    Scene().DrawStage(0, 1);
    EXPECT_EQ(g_CharaList.size(), 1u);
  }
  FlushDeferredRemovals(Scene());
  EXPECT_TRUE(g_CharaList.empty());
  Scene().SetupStage(1, 0);
  g_CharaList.front().m_bDead = 1;
  Scene().DrawStage(0, 1);
  EXPECT_TRUE(g_CharaList.empty());
}

TEST_F(StageDrawingTest, CharactersOutOfSightAreNotDrawnAndInvisibleOnesOnlyShowTheirGauges) {
  cChara& chara = g_CharaList.front();
  struct Case {
    int onScreen, invisible;
    bool drawn;
  };
  for (const Case& c : {Case{1, 0, true}, Case{1, 1, false}, Case{0, 0, false}}) {
    chara.m_bOnScreen = c.onScreen;
    chara.m_Type.m_nOpt18 = static_cast<int8_t>(c.invisible);
    m_Harness.ClearTraces();
    EXPECT_FALSE(Scene().DrawCharaLayer(chara, 0));
    EXPECT_EQ(Words() == "chara", c.drawn) << c.onScreen << c.invisible << Words();
  }
}

class BlockPassTest : public StageDrawingTest {
 protected:
  static std::map<char, cBlockType> Blocks() {
    cBlockType front = HarnessBlockType();
    front.m_nLayer = 1;
    cBlockType hidden = HarnessBlockType();
    hidden.m_bInvisible = 1;
    cBlockType absent = HarnessBlockType();
    cCond never;
    never.m_nKind = kCondNone;
    absent.m_aConds = {never};
    cBlockType frontWithCondition = front;
    cCond holds;
    holds.m_nKind = kCondCommonVar;  // common variable 0 equals 0
    frontWithCondition.m_aConds = {holds};
    return {{'f', front}, {'h', hidden}, {'n', absent}, {'c', frontWithCondition}};
  }
  BlockPassTest() : StageDrawingTest({"H.fhnc..", "########"}, Blocks()) {}

  std::vector<std::vector<double>> BlockBlits() {
    std::vector<std::vector<double>> blits;
    for (const DDTRACECALL& c : m_Harness.Draws())
      if (c.strName == "DDBlt" && IsSlot(c.lpSrc, {2})) blits.push_back({c.adArgs[0], c.adArgs[1]});
    return blits;
  }
};

// Each block is drawn in the pass of its layer byte only, a hidden block and a block whose
// appearance condition fails never; the condition is tested only in the pass that would draw it.
TEST_F(BlockPassTest, EachBlockIsDrawnInThePassOfItsLayer) {
  Scene().m_ScrollX.m_dPosition = 320;
  Scene().m_ScrollY.m_dPosition = 320;
  cBlock& conditioned = m_Harness.Cell(5, 0);
  Scene().DrawBlockLayer(&g_BackBufferSD, 0);
  EXPECT_EQ(BlockBlits().size(), 8u);  // the floor
  EXPECT_EQ(conditioned.m_nLatch, 0);
  m_Harness.ClearTraces();
  Scene().DrawBlockLayer(&g_BackBufferSD, 1);
  EXPECT_EQ(BlockBlits(), (std::vector<std::vector<double>>{{64, 0}, {160, 0}}));
  EXPECT_EQ(conditioned.m_nLatch, 1);
}

// The pass visits the 21 x 16 cells under the view from the cell at its top-left, placed by the
// position's dots inside that cell, and leaves out the cells outside the map.
TEST(BlockPass, VisitsTheCellsUnderTheView) {
  struct Case {
    int columns, rows;
    double x, y;
    size_t blits;
    double firstX, firstY;
  };
  const Case cases[] = {
      {20, 15, 320, 320, 300, 0, 0},           // the whole stage shows: 20 x 15 cells
      {100, 50, 1000.9, 700.5, 336, -8, -28},  // 21 x 16 cells, from column 31 and row 21
      {3, 2, 320, 320, 6, 0, 0},               // a small stage: only its own cells
  };
  for (const Case& c : cases) {
    std::vector<std::string> map(static_cast<size_t>(c.rows), std::string(static_cast<size_t>(c.columns), '#'));
    map.push_back(std::string(static_cast<size_t>(c.columns), '.'));
    map.back()[0] = 'H';
    cHooksGuard<cHarnessPlugins> plugins(SetHarnessPlugins, WithStagePlay(CurrentHarnessPlugins()));
    cStageHarness harness(SceneSetup(map));
    auto& scene = static_cast<cSceneStage&>(harness.Stage());
    scene.m_ScrollX.m_dPosition = c.x;
    scene.m_ScrollY.m_dPosition = c.y;
    harness.ClearTraces();
    scene.DrawBlockLayer(&g_BackBufferSD, 0);
    std::vector<const DDTRACECALL*> blits;
    for (const DDTRACECALL& call : harness.Draws())
      if (call.strName == "DDBlt") blits.push_back(&call);
    ASSERT_EQ(blits.size(), c.blits) << c.columns << "x" << c.rows;
    EXPECT_EQ(blits[0]->adArgs[0], c.firstX) << c.columns << "x" << c.rows;
    EXPECT_EQ(blits[0]->adArgs[1], c.firstY) << c.columns << "x" << c.rows;
  }
}

}  // namespace
