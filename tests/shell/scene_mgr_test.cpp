// The scene manager: creation and deletion by id, the phase protocol, the music repeat test and the
// triangle wave of the palette animation.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/log.h"
#include "platform/messages.h"
#include "shell/main_window.h"
#include "shell/scene.h"
#include "shell/scene_mgr.h"
#include "test_support/hooks_guard.h"

namespace {
std::vector<int> g_events;  // id * 100 + what: 1 created, 2 deleted, 3 entered, 4 fade-in, 5 own phase, 6 fade-out

template <int Id>
class cProbeScene : public cScene {
 public:
  cProbeScene() {
    SetPhases<cProbeScene>({nullptr, &cProbeScene::Play, nullptr});
    g_events.push_back(Id * 100 + 1);
  }
  ~cProbeScene() override { g_events.push_back(Id * 100 + 2); }
  void Enter() override { g_events.push_back(Id * 100 + 3); }
  int FadeIn() override {
    g_events.push_back(Id * 100 + 4);
    m_nPhase = 1;
    return 0;
  }
  int Play() {
    g_events.push_back(Id * 100 + 5);
    g_SceneMgr.m_nRequestScene = next;
    m_nPhase = LastPhase();
    return 0;
  }
  int FadeOut() override {
    g_events.push_back(Id * 100 + 6);
    g_SceneMgr.m_nPrevScene = Id;
    g_SceneMgr.m_nScene = g_SceneMgr.m_nRequestScene;
    return 0;
  }
  static inline int next = 0;
};

class SceneMgrTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_SceneMgr.DestroyAllScenes();
    g_SceneMgr.m_nScene = 0;
    g_events.clear();
  }
  void TearDown() override { g_SceneMgr.DestroyAllScenes(); }
  static cSceneHooks ProbeScenes() {
    cSceneHooks hooks;
    hooks.createScene[kSceneTitle] = [] { return static_cast<cScene*>(new cProbeScene<0>); };
    hooks.createScene[kSceneStage] = [] { return static_cast<cScene*>(new cProbeScene<6>); };
    return hooks;
  }
  cHooksGuard<cSceneHooks> m_SceneHooks{SetSceneHooks, ProbeScenes()};
  void frame() {
    g_SceneMgr.SwitchScene(g_SceneMgr.m_nScene);
    if (cScene* s = g_SceneMgr.CurrentScene()) s->Step();
  }
};

TEST_F(SceneMgrTest, SceneLeavesThroughItsFadeOut) {
  cProbeScene<0>::next = kSceneStage;
  frame();  // created, entered, fade-in
  frame();  // own phase: asks for the stage
  frame();  // fade-out: the stage becomes current
  EXPECT_EQ(g_SceneMgr.m_nScene, kSceneStage);
  EXPECT_EQ(g_SceneMgr.m_nPrevScene, kSceneTitle);
  EXPECT_EQ(g_SceneMgr.SceneAt(kSceneStage), nullptr);
  frame();  // the title goes, the stage comes
  EXPECT_EQ(g_events, (std::vector<int>{1, 3, 4, 5, 6, 2, 601, 603, 604}));
  EXPECT_NE(g_SceneMgr.SceneAt(kSceneStage), nullptr);
  EXPECT_EQ(g_SceneMgr.m_apScenes[7], g_SceneMgr.SceneAt(kSceneStage));  // the stage's slot is the last one
  g_SceneMgr.m_nScene = kSceneTitle;
  frame();
  EXPECT_EQ(g_SceneMgr.SceneAt(kSceneStage), nullptr);
}

TEST_F(SceneMgrTest, SceneRequestingItselfIsKept) {
  cProbeScene<0>::next = kSceneTitle;
  frame();
  frame();
  frame();
  cScene* before = g_SceneMgr.CurrentScene();
  frame();
  EXPECT_EQ(g_SceneMgr.CurrentScene(), before);
  EXPECT_EQ(std::count(g_events.begin(), g_events.end(), 1), 1);
}

TEST_F(SceneMgrTest, SceneWithoutClassIsAnEmptyScene) {
  g_SceneMgr.m_nScene = kSceneOption;
  frame();
  ASSERT_NE(g_SceneMgr.CurrentScene(), nullptr);
  EXPECT_EQ(g_SceneMgr.m_apScenes[6], g_SceneMgr.CurrentScene());
  EXPECT_EQ(g_SceneMgr.CurrentScene()->m_nPhase, 0);
}

TEST(RequestBgm, SameLoopingMusicIsNotRequestedAgain) {
  static std::vector<WPARAM> sent;
  sent.clear();
  HWND window = CreateMessageWindow([](HWND, uint32_t msg, WPARAM w, LPARAM) -> LRESULT {
    if (msg == kMsgPlayBgm) sent.push_back(w);
    return 0;
  });
  HWND saved = g_hMainWnd.load();
  g_hMainWnd.store(window);
  g_SceneMgr.m_nLastBgm = 0;
  g_SceneMgr.m_nLastBgmFlag = 0;
  g_SceneMgr.RequestBgm(5, 1, 0, 0);  // sent
  g_SceneMgr.RequestBgm(5, 1, 1, 0);  // the same looping music: nothing
  g_SceneMgr.RequestBgm(5, 1, 2, 1);  // forced: sent
  g_SceneMgr.RequestBgm(5, 0, 3, 0);  // not looping: sent
  g_SceneMgr.RequestBgm(5, 1, 4, 0);  // the last one did not loop: sent
  g_SceneMgr.RequestBgm(6, 1, 5, 0);  // other music: sent
  g_SceneMgr.RequestBgm(0, 1, 0, 0);  // no music: sent
  g_SceneMgr.RequestBgm(0, 1, 1, 0);  // and again
  EXPECT_EQ(sent, (std::vector<WPARAM>{0, 2, 3, 4, 5, 0, 1}));
  EXPECT_EQ(g_SceneMgr.m_nLastBgm, 0);
  EXPECT_EQ(g_SceneMgr.m_nLastBgmFlag, 1);
  g_hMainWnd.store(saved);
  DestroyMessageWindow(window);
}

TEST(PulseValue, TriangleWave) {
  int value = 0, direction = 0, cycles = 0;
  std::vector<int> values;
  for (int i = 0; i < 12; ++i) {
    cycles += PulseValue(value, direction, 100, 0, 255);
    values.push_back(value);
  }
  // Rises below the maximum, falls above the minimum, and reports the bottom once per cycle.
  EXPECT_EQ(values, (std::vector<int>{100, 200, 200, 100, 100, 200, 200, 100, 100, 200, 200, 100}));
  EXPECT_EQ(cycles, 2);
  int v = 0, d = 0;
  // Step 0 never moves and never completes a cycle.
  for (int i = 0; i < 10; ++i) EXPECT_EQ(PulseValue(v, d, 0, 0, 255), 0);
  EXPECT_EQ(v, 0);
}
}  // namespace

#include "data/system_data.h"
#include "media/graphics/display.h"
#include "shell/palette_helpers.h"
#include "test_support/fresh_game_data.h"

namespace {
TEST(AnimatePalette, Direct3DPulsesTheColourChangeTable) {
  static DTCONTEXT context;
  DTCONTEXT* saved = lpDTCon;
  lpDTCon = &context;
  cFreshGameData freshGameData;
  ResetPaletteAnimation();
  g_SystemData.m_nPaletteStep = 0;
  for (int i = 0; i < 10; ++i) AnimatePalette();
  // Step 0: every value stays 0 and the ninth entry keeps colour type 0 (red).
  EXPECT_EQ(g_aCharaColourChange[1].dwColour, 0xFF000000u);
  EXPECT_EQ(g_aCharaColourChange[2].nMode, 10);
  EXPECT_EQ(g_aCharaColourChange[9].dwColour, 0xFF000000u);
  EXPECT_EQ(g_aCharaColourChange[0].dwColour, 0u);

  ResetPaletteAnimation();
  g_SystemData.m_nPaletteStep = 100;
  AnimatePalette();  // entries take the values before the step: 0
  AnimatePalette();  // now 100
  EXPECT_EQ(g_aCharaColourChange[3].dwColour, 0xFF640000u);
  EXPECT_EQ(g_aCharaColourChange[7].dwColour, 0xFF640019u);  // blue v / 4
  EXPECT_EQ(g_aCharaColourChange[9].dwColour, 0xFF640000u);
  // The ninth value's first cycle ends on the 5th step (100, 200, 200, 100, bottom): green follows.
  for (int i = 0; i < 4; ++i) AnimatePalette();
  EXPECT_EQ(g_aCharaColourChange[9].dwColour, 0xFF006400u);
  lpDTCon = saved;
  ResetPaletteAnimation();
}
}  // namespace
