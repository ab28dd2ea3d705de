// A screen effect started on the stage runs through the stage's drawing: while the scene's effect
// player holds an effect, the picture is drawn aside (Direct3D's virtual back buffer), and after the
// message windows and before the head-up display the effect re-draws it through its distorting
// blit; it advances only in play frames and, once over, lets the picture be drawn in place again.
// Drawn for real, the finished picture is the distorted one.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "data/anim_scripts.h"
#include "data/database.h"
#include "data/game_data.h"
#include "media/graphics/display.h"
#include "media/graphics/draw_trace.h"
#include "media/graphics/graphics_fixture.h"
#include "media/graphics/surface_table.h"
#include "objects/play_objects.h"
#include "shell/screen_effect.h"
#include "stage/scene_stage.h"
#include "stage/stage_loading.h"
#include "test_support/stage_play_harness.h"

namespace {

constexpr int kWave = 1;
constexpr int kEffectHorizontalWave = 6;

cHarnessSetup SceneSetup() {
  cHarnessSetup setup;
  setup.map = {"..........", ".H........", "##########"};
  setup.makeStage = [] { return std::unique_ptr<cStageState>(new cSceneStage); };
  setup.addStandIns = AddStagePlayServices;
  return setup;
}

class StageScreenEffectTest : public testing::Test {
 protected:
  StageScreenEffectTest()
      : m_Plugins(SetHarnessPlugins, WithStagePlay(CurrentHarnessPlugins())), m_Harness(SceneSetup()) {
    TakeStageSettingsCopy();
    g_HeroType = g_StageFile.m_aCharas[static_cast<size_t>(HeroTypeIndex(g_StageFile))];
    Scene().SetupStage(1, 1);
    Scene().m_nPhase = kStagePhasePlay;
    cBackLayer sky;
    sky.m_bColourFill = 1;
    sky.m_nColour = 5;
    g_StageFile.m_aLayers = {sky};
    // Database screen effect 1: a horizontal wave of 2 waves, 8 dots wide, lines of 4 rows, over
    // one tenth of a second (6 frames).
    g_Database.m_aScrEffect.resize(2);
    cScrEffectData& wave = g_Database.m_aScrEffect[kWave];
    wave.m_nKind = kEffectHorizontalWave;
    const int params[5] = {1, 8, 8, 2, 4};
    std::copy(std::begin(params), std::end(params), wave.m_anParams);
    BuildDatabaseRuntime();
    m_Harness.ClearTraces();
  }
  cSceneStage& Scene() { return static_cast<cSceneStage&>(m_Harness.Stage()); }

  // The names of the traced calls of one picture, from the first one named `from` on.
  std::vector<std::string> CallsFrom(const std::string& from) const {
    std::vector<std::string> names;
    for (const DDTRACECALL& c : m_Harness.Draws())
      if (!names.empty() || c.strName == from) names.push_back(c.strName);
    return names;
  }
  const DDTRACECALL* First(const std::string& name) const {
    for (const DDTRACECALL& c : m_Harness.Draws())
      if (c.strName == name) return &c;
    return nullptr;
  }

  cHooksGuard<cHarnessPlugins> m_Plugins;
  cStageHarness m_Harness;
};

TEST_F(StageScreenEffectTest, ARunningEffectRedrawsTheFinishedPictureBeforeTheHeadUpDisplay) {
  // Without an effect the picture is drawn in place and nothing distorts it.
  Scene().DrawStage(1, 1);
  EXPECT_EQ(First("DDSetVirtualBackBuffer"), nullptr);
  EXPECT_EQ(First("DDBltWave"), nullptr);

  Scene().m_ScrEffect.StartScrEffect(kWave, 0, 0);
  m_Harness.ClearTraces();
  Scene().DrawStage(1, 1);
  // The stage is drawn aside from the picture's first call on.
  ASSERT_FALSE(m_Harness.Draws().empty());
  EXPECT_EQ(m_Harness.Draws().front().strName, "DDSetVirtualBackBuffer");
  EXPECT_EQ(m_Harness.Draws().front().adArgs, std::vector<double>{1});
  // The background's fill comes before the effect; the effect copies the finished picture to its
  // work surface, clears the screen to colour 16 and draws the copy back waved, unfiltered; then
  // the status bar.
  const std::vector<std::string> names = CallsFrom("DDBlt");
  const std::vector<std::string> effect = {"DDBlt", "DDFillRect", "DDSetFilter", "DDBltWave", "DDResetFilter"};
  auto at = std::search(names.begin(), names.end(), effect.begin(), effect.end());
  ASSERT_NE(at, names.end()) << testing::PrintToString(names);
  const DDTRACECALL* copy = nullptr;
  for (const DDTRACECALL& c : m_Harness.Draws())
    if (c.strName == "DDBlt" && c.lpSrc == &g_BackBufferSD) copy = &c;
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->lpDst, &g_SurfaceData[kScreenEffectSlotA]);
  EXPECT_EQ(copy->adArgs, (std::vector<double>{0, 0, 640, 480, 0, 0, 0}));
  const DDTRACECALL* wave = First("DDBltWave");
  ASSERT_NE(wave, nullptr);
  EXPECT_EQ(wave->lpDst, &g_BackBufferSD);
  EXPECT_EQ(wave->lpSrc, &g_SurfaceData[kScreenEffectSlotA]);
  // (x, y, w, h, waves, amplitude, phase, line width, sx, sy, flags, vertical)
  EXPECT_EQ(wave->adArgs, (std::vector<double>{0, 0, 640, 480, 2, 8, 0, 4, 0, 0, 1, 0}));
  // The status bar follows the effect: the head-up display is not distorted.
  bool statusAfterWave = false, waveSeen = false;
  for (const DDTRACECALL& c : m_Harness.Draws()) {
    waveSeen = waveSeen || c.strName == "DDBltWave";
    if (c.strName == "DDBlt" && c.lpSrc == &g_SurfaceData[47]) statusAfterWave = waveSeen;
  }
  EXPECT_TRUE(statusAfterWave);
}

TEST_F(StageScreenEffectTest, TheEffectAdvancesInPlayFramesOnlyAndEndsTheDrawingAside) {
  Scene().m_ScrEffect.StartScrEffect(kWave, 0, 0);
  // Frames outside play draw the effect where it stands: the wave's phase stays at 0.
  for (int frame = 0; frame < 3; ++frame) {
    m_Harness.ClearTraces();
    Scene().DrawStage(0, 1);
    ASSERT_NE(First("DDBltWave"), nullptr);
    EXPECT_EQ(First("DDBltWave")->adArgs[6], 0) << frame;
  }
  // Play frames move the phase one degree a frame, until the effect's time is over (6 frames of
  // equal start and end, ended on the 7th).
  int frames = 0;
  while (Scene().m_ScrEffect.nEffect != 0 && frames < 100) {
    m_Harness.ClearTraces();
    Scene().DrawStage(1, 1);
    ASSERT_NE(First("DDBltWave"), nullptr);
    EXPECT_EQ(First("DDBltWave")->adArgs[6], frames) << frames;
    ++frames;
  }
  EXPECT_EQ(frames, 7);
  // Its last frame switched the drawing aside off after the wave; the next picture is drawn in
  // place, undistorted.
  bool waved = false, asideOff = false;
  for (const DDTRACECALL& c : m_Harness.Draws()) {
    waved = waved || c.strName == "DDBltWave";
    if (waved && c.strName == "DDSetVirtualBackBuffer") asideOff = c.adArgs == std::vector<double>{0};
  }
  EXPECT_TRUE(asideOff);
  m_Harness.ClearTraces();
  Scene().DrawStage(1, 1);
  EXPECT_EQ(First("DDBltWave"), nullptr);
  EXPECT_EQ(First("DDSetVirtualBackBuffer"), nullptr);
}

// Drawn for real on a 32-bit DirectDraw screen: the sky's rows are moved by the wave, so the
// cleared colour 16 shows at the screen's left edge on rows moved right and at its right edge on
// rows moved left; without the effect both edges show the sky.
TEST_F(StageScreenEffectTest, TheFinishedPictureIsTheWavedOne) {
  gfxtest::Display display{{0, 32, "DD32"}};
  ASSERT_TRUE(display.ok);
  // The screen effect's work surface, which the stage loads with its other slots.
  const int work[] = {kScreenEffectSlotA};
  ASSERT_TRUE(DDLoadSurfaces(g_SurfaceData, work, 1));
  cHooksGuard<cDrawTraceHooks> drawForReal(SetDrawTraceHooks, cDrawTraceHooks{});
  const uint32_t sky = gfxtest::AsShown(gfxtest::PaletteColour(5));
  const uint32_t cleared = gfxtest::AsShown(gfxtest::PaletteColour(16));
  auto edges = [] {
    std::map<uint32_t, int> left, right;
    for (int y = 40; y < 480; y += 4) {
      ++left[gfxtest::ReadRgb(&g_BackBufferSD, 0, y)];
      ++right[gfxtest::ReadRgb(&g_BackBufferSD, 639, y)];
    }
    return std::make_pair(left, right);
  };
  Scene().DrawStage(1, 1);
  auto [plainLeft, plainRight] = edges();
  EXPECT_EQ(plainLeft[sky], 110);
  EXPECT_EQ(plainRight[sky], 110);

  Scene().m_ScrEffect.StartScrEffect(kWave, 0, 0);
  Scene().DrawStage(1, 1);
  auto [wavedLeft, wavedRight] = edges();
  EXPECT_GT(wavedLeft[cleared], 20);
  EXPECT_GT(wavedRight[cleared], 20);
  EXPECT_EQ(wavedLeft[cleared] + wavedLeft[sky], 110);
  EXPECT_EQ(wavedRight[cleared] + wavedRight[sky], 110);
}

}  // namespace
