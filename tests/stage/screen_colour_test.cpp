// The stage's screen colour: the command's parameters, the ramps of a tint, a flash and a return
// frame by frame, frozen frames, the drawing in each display mode, the flow command reaching the
// stage, and the reset of construction and set-up.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/timing.h"
#include "data/flow_cmd.h"
#include "data/game_data.h"
#include "media/graphics/display.h"
#include "media/graphics/graphics_fixture.h"
#include "media/graphics/palette.h"
#include "media/graphics/surface_table.h"
#include "objects/stage_hooks.h"
#include "stage/scene_stage.h"
#include "stage/screen_colour.h"
#include "stage/stage_loading.h"
#include "test_support/hooks_guard.h"
#include "test_support/stage_play_harness.h"

namespace {

std::vector<DDTRACECALL> g_draws;
void Record(const DDTRACECALL& call) { g_draws.push_back(call); }

// A command's parameters: red, green, blue, strength, mode, time (x 6 frames), flash, repeats.
std::vector<int32_t> Tint(int strength, int time, int red = 10, int green = 20, int blue = 30) {
  return {red, green, blue, strength, 0, time, 0, 0};
}
std::vector<int32_t> Return(int time) { return {0, 0, 0, 0, 1, time, 0, 0}; }
std::vector<int32_t> Flash(int strength, int time, int repeats) { return {10, 20, 30, strength, 0, time, 1, repeats}; }

// Direct3D as the screen colour sees it (the trace draws nothing): every frame's transparency is
// the one handed to the tint.
class ScreenColourTest : public testing::Test {
 protected:
  ScreenColourTest() : m_lpSavedContext(lpDTCon) {
    g_draws.clear();
    lpDTCon = &m_Context;
  }
  ~ScreenColourTest() override { lpDTCon = m_lpSavedContext; }

  // Draws one frame; the transparency drawn, or -1 when nothing is drawn.
  int Frame(int frozen = 0) {
    g_draws.clear();
    m_Colour.Draw(frozen);
    if (g_draws.empty()) return -1;
    EXPECT_EQ(g_draws.size(), 1u);
    const DDTRACECALL& call = g_draws.back();
    EXPECT_EQ(call.strName, "DDChangeColor");
    EXPECT_EQ(call.lpDst, &g_BackBufferSD);
    return static_cast<int>(call.adArgs[4]);
  }
  std::vector<int> Frames(int count, int frozen = 0) {
    std::vector<int> drawn;
    for (int i = 0; i < count; ++i) drawn.push_back(Frame(frozen));
    return drawn;
  }

  DTCONTEXT m_Context;
  DTCONTEXT* m_lpSavedContext;
  cHooksGuard<cDrawTraceHooks> m_Trace{SetDrawTraceHooks, cDrawTraceHooks{Record}};
  cScreenColour m_Colour;
};

TEST_F(ScreenColourTest, TheCommandTakesItsParameters) {
  m_Colour.Change({300, -1, 255, 50, 0, 10, 0, 0});
  EXPECT_EQ(m_Colour.m_byRed, 44);  // the low bytes
  EXPECT_EQ(m_Colour.m_byGreen, 255);
  EXPECT_EQ(m_Colour.m_byBlue, 255);
  EXPECT_EQ(m_Colour.m_nStrength, 50);
  EXPECT_EQ(m_Colour.m_nDuration, 60);
  EXPECT_EQ(m_Colour.m_bActive, 1);
  EXPECT_EQ(m_Colour.m_bTinted, 1);
  EXPECT_EQ(m_Colour.m_nTransparency, 0);
  EXPECT_EQ(m_Colour.m_nPrevTransparency, 0);  // the transparency field before it
  // Times from a damaged file stay inside int32.
  m_Colour.Change({0, 0, 0, 50, 0, INT32_MAX, 0, 0});
  EXPECT_EQ(m_Colour.m_nDuration, INT32_MAX);
  m_Colour.Change({0, 0, 0, 50, 0, INT32_MIN, 0, 0});
  EXPECT_EQ(m_Colour.m_nDuration, INT32_MIN);
  EXPECT_EQ(Frame(), 255);  // a ramp that never starts stays invisible
}

TEST_F(ScreenColourTest, RampsFrameByFrame) {
  struct Case {
    const char* name;
    std::vector<std::vector<int32_t>> before;  // commands played first (until inactive, at most 31 frames)
    std::vector<int32_t> command;
    std::vector<int> frames;  // transparency drawn on each frame, -1 nothing
  };
  const std::vector<int> tint100 = {255, 212, 170, 127, 85, 42, 0, 0, 0};
  const std::vector<int> flash = {255, 212, 170, 127, 85, 42, 255};
  std::vector<int> flashes;
  for (int i = 0; i < 3; ++i) flashes.insert(flashes.end(), flash.begin(), flash.end());
  flashes.push_back(-1);
  for (const Case& c : {
           Case{"tint 100 %, time 1", {}, Tint(100, 1), tint100},
           Case{"tint 50 %, time 1", {}, Tint(50, 1), {255, 233, 212, 191, 170, 148, 127, 127, 127}},
           Case{"tint, time 0, 1 %", {}, Tint(1, 0), {252, 252}},
           Case{"tint, time 0, 10 %", {}, Tint(10, 0), {229, 229}},
           Case{"tint, time 0, 99 %", {}, Tint(99, 0), {2, 2}},
           Case{"tint, time 0, 100 %", {}, Tint(100, 0), {0, 0}},
           Case{"tint of 0 % ends after its ramp", {}, Tint(0, 1), {255, 255, 255, 255, 255, 255, 255, -1}},
           Case{"return, from 0, time 1", {Tint(100, 0)}, Return(1), {0, 42, 85, 127, 170, 212, 255, -1}},
           Case{"return, time 0", {Tint(50, 0)}, Return(0), {255, -1}},
           Case{"return, from 191 (a tint halfway), time 2",
                {Tint(50, 10)},
                Return(2),
                {191, 196, 201, 207, 212, 217, 223, 228, 233, 239, 244, 249, 255, -1}},
           Case{"flash, time 1, 3 times", {}, Flash(100, 1, 3), flashes},
           Case{"flash, repeat count 0: one flash", {}, Flash(100, 1, 0), {255, 212, 170, 127, 85, 42, 255, -1}},
           Case{"flash, time 0: invisible, one frame a flash", {}, Flash(100, 0, 2), {255, 255, -1}},
           Case{"strength past 100 % is the plain colour", {}, Tint(250, 0), {0}},
           Case{"a negative strength shows nothing", {}, Tint(-50, 0), {255}},
       }) {
    m_Colour.Reset();
    for (const std::vector<int32_t>& before : c.before) {
      m_Colour.Change(before);
      for (int i = 0; i < 31 && m_Colour.m_bActive; ++i) Frame();
    }
    m_Colour.Change(c.command);
    EXPECT_EQ(Frames(static_cast<int>(c.frames.size())), c.frames) << c.name;
  }
}

TEST_F(ScreenColourTest, ATintOfHalfStrengthOverTenUnitsReachesItsLevelAndStays) {
  m_Colour.Change(Tint(50, 10));
  const std::vector<int> drawn = Frames(70);
  for (auto [counter, t] : {std::pair{0, 255},
                            {1, 252},
                            {2, 250},
                            {10, 233},
                            {20, 212},
                            {30, 191},
                            {40, 170},
                            {59, 129},
                            {60, 127},
                            {61, 127},
                            {69, 127}})
    EXPECT_EQ(drawn[static_cast<size_t>(counter)], t) << "frame " << counter + 1;
  EXPECT_EQ(m_Colour.m_bActive, 1);
  // Full strength ends at the plain colour.
  m_Colour.Change(Tint(100, 10));
  EXPECT_EQ(Frames(62).back(), 0);
}

TEST_F(ScreenColourTest, AReturnFadesFromTheLevelShownNow) {
  m_Colour.Change(Tint(50, 0, 1, 2, 3));
  Frame();  // 127
  m_Colour.Change(Return(5));
  const std::vector<int> drawn = Frames(32);
  EXPECT_EQ(drawn[0], 127);
  EXPECT_EQ(drawn[1], 131);
  EXPECT_EQ(drawn[15], 191);
  EXPECT_EQ(drawn[29], 250);
  EXPECT_EQ(drawn[30], 255);
  EXPECT_EQ(drawn[31], -1);  // 31 frames
  // It fades the tint's own colour.
  m_Colour.Change(Tint(50, 0, 1, 2, 3));
  Frame();
  m_Colour.Change(Return(5));
  Frame();
  EXPECT_EQ(g_draws.back().adArgs, (std::vector<double>{0, 0, 640, 480, 127, 1, 2, 3}));
}

TEST_F(ScreenColourTest, FrozenFramesDrawWithoutAdvancing) {
  m_Colour.Change(Flash(100, 1, 1));
  EXPECT_EQ(Frames(2), (std::vector<int>{255, 212}));
  EXPECT_EQ(Frames(3, 1), (std::vector<int>{170, 170, 170}));
  EXPECT_EQ(Frames(4), (std::vector<int>{170, 127, 85, 42}));
  EXPECT_EQ(Frames(2, 1), (std::vector<int>{255, 255}));  // the flash's dark frame stands still too
  EXPECT_EQ(Frames(2), (std::vector<int>{255, -1}));
}

TEST_F(ScreenColourTest, AReturnNeedsAColourStillShownInDirect3D) {
  // Nothing active: ignored, the previous values stay.
  m_Colour.Change(Return(1));
  EXPECT_EQ(m_Colour.m_bActive, 0);
  EXPECT_EQ(m_Colour.m_nPrevTransparency, 255);
  // A tint of 0 % and a finished flash are no longer active.
  for (const std::vector<int32_t>& ended : {Tint(0, 0), Flash(100, 0, 1)}) {
    m_Colour.Reset();
    m_Colour.Change(ended);
    Frame();
    ASSERT_EQ(m_Colour.m_bActive, 0);
    m_Colour.Change(Return(1));
    EXPECT_EQ(m_Colour.m_bActive, 0);
    EXPECT_EQ(m_Colour.m_nMode, 0);
  }
  // A tint that stays is returned from.
  m_Colour.Change(Tint(50, 0));
  Frame();
  m_Colour.Change(Return(1));
  EXPECT_EQ(m_Colour.m_nMode, 1);
  EXPECT_EQ(Frame(), 127);
}

TEST_F(ScreenColourTest, WithTheVirtualBackBufferThePictureIsBlendedWithAPlainSurface) {
  m_Context.bVirtualBackBuffer = 1;
  m_Colour.Change(Tint(100, 0, 0x12, 0x34, 0x56));
  m_Colour.Draw(0);
  ASSERT_EQ(g_draws.size(), 2u);
  EXPECT_EQ(g_draws[0].strName, "DDFillSurfaceRGB");
  EXPECT_EQ(g_draws[0].lpDst, &g_SurfaceData[68]);
  EXPECT_EQ(g_draws[0].adArgs, std::vector<double>{double(0xFF123456u)});
  EXPECT_EQ(g_draws[1].strName, "DDBltTrans");
  EXPECT_EQ(g_draws[1].lpDst, &g_BackBufferSD);
  EXPECT_EQ(g_draws[1].lpSrc, &g_SurfaceData[68]);
  EXPECT_EQ(g_draws[1].adArgs, (std::vector<double>{0, 0, 640, 480, 0, 0, 0, 0}));
}

// DirectDraw: only a palette screen shows the colour.
class ScreenColourDirectDrawTest : public ScreenColourTest {
 protected:
  ScreenColourDirectDrawTest() : m_nSavedBpp(g_nDisplayBpp) {
    lpDTCon = nullptr;
    std::copy(g_GamePalette, g_GamePalette + 256, m_SavedPalette);
    g_GamePalette[7] = PALETTEENTRY{200, 100, 0, 0};
  }
  ~ScreenColourDirectDrawTest() override {
    g_nDisplayBpp = m_nSavedBpp;
    std::copy(m_SavedPalette, m_SavedPalette + 256, g_GamePalette);
  }
  int m_nSavedBpp;
  PALETTEENTRY m_SavedPalette[256];
};

TEST_F(ScreenColourDirectDrawTest, DeeperScreensEndTheColourOnItsFirstPlayFrame) {
  for (int bpp : {16, 32}) {
    g_nDisplayBpp = bpp;
    m_Colour.Reset();
    m_Colour.Change(Tint(50, 10));
    m_Colour.Draw(1);
    EXPECT_EQ(m_Colour.m_bActive, 1) << bpp;
    m_Colour.Draw(0);
    EXPECT_EQ(m_Colour.m_bActive, 0) << bpp;
    EXPECT_TRUE(g_draws.empty()) << bpp;
    // A return is taken without anything to return from, and shows nothing either.
    m_Colour.Change(Return(1));
    EXPECT_EQ(m_Colour.m_bActive, 1) << bpp;
  }
}

TEST_F(ScreenColourDirectDrawTest, APaletteScreenBlendsTheGamePalette) {
  g_nDisplayBpp = 8;
  m_Colour.Change(Tint(50, 0, 255, 0, 0));
  const PALETTEENTRY before = g_WorkPalette[7];
  m_Colour.Draw(1);  // frozen: nothing
  EXPECT_EQ(g_WorkPalette[7].red, before.red);
  EXPECT_EQ(m_Colour.m_nCounter, 0);
  m_Colour.Draw(0);  // transparency 127: (200 x 127 + 255 x 129) >> 8, (100 x 127) >> 8
  EXPECT_EQ(g_WorkPalette[7].red, 227);
  EXPECT_EQ(g_WorkPalette[7].green, 49);
  EXPECT_EQ(g_WorkPalette[7].blue, 0);
  // The palette keeps the tint after the ramp; the colour is no longer active but can be returned
  // from.
  EXPECT_EQ(m_Colour.m_bActive, 0);
  m_Colour.Change(Return(0));
  EXPECT_EQ(m_Colour.m_bActive, 1);
  m_Colour.Draw(0);  // transparency 255 with the tint's own colour: almost the game palette
  EXPECT_EQ(g_WorkPalette[7].red, (200 * 255 + 255 * 1) >> 8);
  EXPECT_EQ(g_WorkPalette[7].green, (100 * 255) >> 8);
  EXPECT_EQ(m_Colour.m_bActive, 0);
  // Without a tint first there is nothing to return from.
  m_Colour.Reset();
  m_Colour.Change(Return(0));
  EXPECT_EQ(m_Colour.m_bActive, 0);
}

// A palette display: the end of each flash shows the game palette itself.
TEST(ScreenColourPalette, AFlashEndsOnTheUntintedPalette) {
  gfxtest::Display display(gfxtest::Mode{0, 8, "DD8"});
  ASSERT_TRUE(display.ok);
  ASSERT_TRUE(g_lpDDPalette);
  cScreenColour colour;
  colour.Change(Flash(100, 1, 1));
  PALETTEENTRY shown[256];
  const PALETTEENTRY game = g_GamePalette[200];
  // Frames 1-6 ramp towards the colour (10, 20, 30) at transparency 255, 212, ... 42; frame 7 shows
  // the game's own colour.
  const std::vector<int> ramp = {255, 212, 170, 127, 85, 42};
  for (int frame = 1; frame <= 7; ++frame) {
    colour.Draw(0);
    g_lpDDPalette->GetEntries(0, 256, shown);
    const int t = frame == 7 ? 0 : ramp[static_cast<size_t>(frame - 1)];
    const int red = frame == 7 ? game.red : (game.red * t + 10 * (256 - t)) >> 8;
    EXPECT_EQ(shown[200].red, red) << "frame " << frame;
  }
  EXPECT_EQ(colour.m_bActive, 0);
}

// The flow command, the constructor and the set-up on the stage scene.
class ScreenColourSceneTest : public testing::Test {
 protected:
  ScreenColourSceneTest()
      : m_Plugins(SetHarnessPlugins, WithStagePlay(CurrentHarnessPlugins())), m_Harness(SceneSetup()) {}
  static cHarnessSetup SceneSetup() {
    cHarnessSetup setup;
    setup.map = {"........", ".H......", "########"};
    setup.makeStage = [] { return std::unique_ptr<cStageState>(new cSceneStage); };
    setup.addStandIns = AddStagePlayServices;
    return setup;
  }
  cSceneStage& Scene() { return static_cast<cSceneStage&>(m_Harness.Stage()); }
  static void ExpectReset(const cScreenColour& c) {
    const std::vector<int32_t> fields = {
        c.m_bTinted,       c.m_byRed,     c.m_byGreen,      c.m_byBlue,     c.m_nStrength,     c.m_nMode,
        c.m_nDuration,     c.m_bFlash,    c.m_nRepeatCount, c.m_bActive,    c.m_nCounter,      c.m_nRepeatsDone,
        c.m_nTransparency, c.m_byPrevRed, c.m_byPrevGreen,  c.m_byPrevBlue, c.m_nPrevStrength, c.m_nPrevTransparency};
    std::vector<int32_t> expected(fields.size(), 0);
    expected.back() = 255;
    EXPECT_EQ(fields, expected);
  }

  cHooksGuard<cHarnessPlugins> m_Plugins;
  cStageHarness m_Harness;
};

TEST_F(ScreenColourSceneTest, TheFlowCommandChangesTheStagesColour) {
  cHooksGuard<cStageHooks> hooks(SetStageHooks, cStageHooks());
  InstallScreenColour();
  cFlowCmd cmd;
  cmd.m_anParams = Tint(40, 2, 1, 2, 3);
  ChangeScreenColour(cmd);
  EXPECT_EQ(Scene().m_ScreenColour.m_bActive, 1);
  EXPECT_EQ(Scene().m_ScreenColour.m_nStrength, 40);
  EXPECT_EQ(Scene().m_ScreenColour.m_nDuration, 12);
  EXPECT_EQ(Scene().m_ScreenColour.m_byBlue, 3);
}

TEST_F(ScreenColourSceneTest, ConstructionAndSetUpLeaveNoColour) {
  ExpectReset(Scene().m_ScreenColour);
  Scene().m_ScreenColour.Change(Flash(50, 3, 2));
  Scene().m_ScreenColour.Change(Tint(50, 3));
  TakeStageSettingsCopy();
  g_HeroType = g_StageFile.m_aCharas[static_cast<size_t>(HeroTypeIndex(g_StageFile))];
  Scene().SetupStage(1, 1);
  ExpectReset(Scene().m_ScreenColour);
}

}  // namespace
