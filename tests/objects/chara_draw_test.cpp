// Character drawing as the media layer is asked to draw it: the plain draw with its gauge, each of
// the 17 draw modes (as drawn, through the work surface for a scaled character, with a blend), the
// effect's end, the icon, the graphic number's offsets, the defeat display and the gauges' life.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <tuple>

#include "chara_draw_fixture.h"
#include "core/log.h"
#include "data/system_data.h"
#include "shell/palette_helpers.h"
#include "shell/scene_mgr.h"

using namespace drawtest;

namespace {

using Calls = std::vector<std::string>;

// The draw of a character in draw mode 0 followed by its life gauge: the cell of its graphic at its
// screen rectangle, then the gauge 3 dots above it, centred, from the gauge sheet (background row
// 208, fill row 210 of a sheet taller than 208 dots).
TEST_F(CharaDrawTest, PlainCharacterWithItsLifeGauge) {
  cChara& c = Chara();
  c.m_nHp = 6;
  c.m_Type.m_nMaxHp = 10;
  c.m_HpGauge = {120, 0.0, 0.0, 30};
  c.DrawCharaOnScreen(&g_BackBufferSD, 0, 3);
  c.DrawHpGauge(&g_BackBufferSD);
  EXPECT_EQ(Draws(), (Calls{"DDBlt(BB<-S4: 100,200,32,32,96,64,1)", "DDBlt(BB<-S50: 91,197,50,2,0,208,1)",
                            "DDBlt(BB<-S50: 91,197,30,2,0,210,1)"}));
  EXPECT_EQ(c.m_CharaEffect.nEffect, 0);
  EXPECT_EQ(c.m_HpGauge.nShowTimer, 119);
}

// ---- the draw modes ----------------------------------------------------------------------------

struct ModeCase {
  int kind;
  std::vector<int> params;  // parameter 1 (time) first
  int toggle;               // the blink toggle before the draw
  Calls calls;
};

// v = 12.7 for every mode; the character at (100, 200), 32 x 32, cell (96, 64) of slot 4.
const ModeCase kModeCases[] = {
    {1, {10, 0, 100}, 0, {"DDBltBurst(BB<-S4: 100,200,32,32,96,64,12,1)"}},
    {2, {10, 0, 100, 5}, 0, {"DDBltStripes(BB<-S4: 100,200,32,32,7,12,96,64,1,0)"}},
    {3, {10, 0, 100, 4}, 0, {"DDBltStripes(BB<-S4: 100,200,32,32,8,12,96,64,1,1)"}},
    {4, {10, 0, 100, 3, 2}, 0, {"DDBltWave(BB<-S4: 100,200,32,32,3,12.7,0,2,96,64,1,0)"}},
    {5, {10, 0, 100, 3, 4}, 0, {"DDBltWave(BB<-S4: 100,200,32,32,3,12.7,0,4,96,64,1,1)"}},
    {6, {10, 2}, 1, {"DDBlt(BB<-S4: 100,200,32,32,96,64,1)"}},
    {6, {10, 2}, 0, {}},
    {7, {10, 0, 100}, 0, {"DDBltRotate(BB<-S4: 116,216,32,32,16,16,12,96,64,1)"}},
    {8, {10, 0, 100}, 0, {"DDBltRotate(BB<-S4: 116,216,32,32,16,16,12,96,64,1)"}},
    {9, {10, 0, 100}, 0, {"DDBltFlip(BB<-S4: 100,200,32,32,96,64,96,64,32,32,1,12,0)"}},
    {10, {10, 0, 100, 3}, 0, {"DDBltCircle(BB<-S4: 116,216,16,16,12,3,112,80,1)"}},
    {11, {10, 0, 100}, 0, {"DDBltStretch(BB<-S4: 110,210,12,12,96,64,32,32,1)"}},
    // Lens offset (2, -3): radius v, the strength the distance 3 + 16 that reaches over the graphic
    // from the lens's centre, the square's half side 3 + 19 + 1.
    {12,
     {10, 100, 5, 2, -3},
     0,
     {"DDSuspendLayer()", "DDFillRect(S70: 0,0,47,47,0)", "DDBlt(S70<-S4: 7,7,32,32,96,64,1)",
      "DDBltLens(BB<-S70: 118,213,12,19,25,20,1,0)", "DDResumeLayer()"}},
    {13,
     {10, 1, 4, 120},
     0,
     {"DDSuspendLayer()", "DDBltColorChange(BB<-S4: 100,200,32,32,96,64,1,120,12)", "DDResumeLayer()"}},
    {14, {10, 9}, 0, {"DDSuspendLayer()", "DDBltHalfTrans(BB<-S4: 100,200,32,32,96,64,1)", "DDResumeLayer()"}},
    {14, {10, 9}, 1, {}},
    // DirectDraw: the cells come from the graphic in a work area of twice its size.
    {15,
     {10, 1, 8},
     0,
     {"DDSuspendLayer()", "DDFillRect(S70: 0,0,64,64,0)", "DDBlt(S70<-S4: 0,0,32,32,96,64,1)",
      "DDBltMosaic(BB<-S70: 100,200,32,32,12,0,0,1)", "DDResumeLayer()"}},
    {16, {10, 1, 4}, 0, {"DDSuspendLayer()", "DDBltBlur(BB<-S4: 100,200,32,32,12,12,96,64,1)", "DDResumeLayer()"}},
};

TEST_F(CharaDrawTest, EachDrawModeDrawsThroughItsEffectBlitAndAdvances) {
  cChara& c = Chara();
  for (const ModeCase& m : kModeCases) {
    SCOPED_TRACE(testing::Message() << "mode " << m.kind << " toggle " << m.toggle);
    StartEffect(c, m.kind, m.params, 12.7);
    c.m_CharaEffect.nWork2 = m.toggle;
    h.ClearTraces();
    c.DrawCharaOnScreen(&g_BackBufferSD, 0, 3);
    EXPECT_EQ(Draws(), m.calls);
    EXPECT_DOUBLE_EQ(c.m_CharaEffect.dValue, 13.7);  // one frame on
    EXPECT_EQ(c.m_CharaEffect.nEffect, 1);           // still running
  }
}

TEST_F(CharaDrawTest, AHeldStageDrawsEffectsWithoutAdvancingThem) {
  cChara& c = Chara();
  for (const ModeCase& m : kModeCases) {
    SCOPED_TRACE(m.kind);
    StartEffect(c, m.kind, m.params, 12.7);
    c.m_CharaEffect.nWork2 = m.toggle;
    h.ClearTraces();
    c.DrawCharaOnScreen(&g_BackBufferSD, 1, 3);
    EXPECT_EQ(Draws(), m.calls);
    EXPECT_DOUBLE_EQ(c.m_CharaEffect.dValue, 12.7);
    EXPECT_EQ(c.m_CharaEffect.nWork1, 0);
  }
}

TEST_F(CharaDrawTest, AnEffectThatRunsOutEndsAndTheCharacterDrawsPlainlyAgain) {
  cChara& c = Chara();
  StartEffect(c, 1, {10, 0, 100}, 99.5);
  c.DrawCharaOnScreen(&g_BackBufferSD, 0, 3);  // 100.5: past the end value
  EXPECT_EQ(c.m_CharaEffect.nEffect, 0);
  EXPECT_EQ(c.m_CharaEffect.pEntry, nullptr);
  h.ClearTraces();
  c.DrawCharaOnScreen(&g_BackBufferSD, 0, 3);
  EXPECT_EQ(Draws(), (Calls{"DDBlt(BB<-S4: 100,200,32,32,96,64,1)"}));
}

TEST_F(CharaDrawTest, WavePhaseCountsFramesAndWrapsAt360) {
  cChara& c = Chara();
  StartEffect(c, 4, {10, 0, 100, 3, 2}, 1.0);
  c.m_CharaEffect.dStep = 0.0;
  c.m_CharaEffect.nWork1 = 358;
  for (int expected : {358, 359, 0, 1}) {
    h.ClearTraces();
    c.DrawCharaOnScreen(&g_BackBufferSD, 0, 3);
    ASSERT_EQ(h.Draws().size(), 1u);
    EXPECT_EQ(h.Draws()[0].adArgs[6], expected);
  }
}

TEST_F(CharaDrawTest, BlinkShowsEveryOtherIntervalAndHalfTransparencyTheOthers) {
  cChara& c = Chara();
  for (int kind : {6, 14}) {
    StartEffect(c, kind, {100, 2}, 0.0);
    c.m_CharaEffect.dStep = 0.0;
    std::string shown;
    for (int frame = 0; frame < 9; ++frame) {
      h.ClearTraces();
      c.DrawCharaOnScreen(&g_BackBufferSD, 0, 3);
      shown += h.Draws().empty() ? '.' : 'X';
    }
    // The toggle flips once the counter has reached the interval of 2: after three frames at the
    // start, then every two frames.
    EXPECT_EQ(shown, kind == 6 ? "...XX..XX" : "XXX..XX..") << kind;
  }
}

// A character twice the size of its graphic: the cell is first stretched into the work surface.
TEST_F(CharaDrawTest, ScaledCharactersDrawThroughTheWorkSurface) {
  cChara& c = Chara();
  Place(c, 2);
  const std::vector<std::string> prepare = {"DDSuspendLayer()", "DDFillRect(S70: 0,0,64,64,0)",
                                            "DDBltStretch(S70<-S4: 0,0,64,64,96,64,32,32,1)"};
  struct ScaledCase {
    int kind;
    std::vector<int> params;
    std::string blit;
  } cases[] = {
      {1, {10, 0, 100}, "DDBltBurst(BB<-S70: 100,200,64,64,0,0,12,1)"},
      // The roughness counts at the character's size.
      {4, {10, 0, 100, 3, 2}, "DDBltWave(BB<-S70: 100,200,64,64,3,12.7,0,4,0,0,1,0)"},
      {8, {10, 0, 100}, "DDBltRotate(BB<-S70: 132,232,64,64,32,32,12,0,0,1)"},
      // Radius and roughness at the character's size.
      {10, {10, 0, 100, 3}, "DDBltCircle(BB<-S70: 132,232,32,32,24,6,32,32,1)"},
      // e = (12 - 32) x 2 / 2.
      {11, {10, 0, 100}, "DDBltStretch(BB<-S70: 110,210,44,44,0,0,64,64,1)"},
  };
  for (const ScaledCase& s : cases) {
    SCOPED_TRACE(s.kind);
    StartEffect(c, s.kind, s.params, 12.7);
    h.ClearTraces();
    c.DrawCharaOnScreen(&g_BackBufferSD, 0, 3);
    Calls expected = prepare;
    expected.push_back(s.blit);
    expected.push_back("DDResumeLayer()");
    EXPECT_EQ(Draws(), expected);
  }
  // Plain drawing stretches the cell straight onto the screen.
  c.m_CharaEffect.ClearCharaEffect();
  h.ClearTraces();
  c.DrawCharaOnScreen(&g_BackBufferSD, 0, 3);
  EXPECT_EQ(Draws(), (Calls{"DDBltStretch(BB<-S4: 100,200,64,64,96,64,32,32,1)"}));
}

// Mode 12: v is the lens's radius, at the character's size for a scaled one (the offsets too); the
// work square grows to hold everything a lens larger than the graphic reads.
TEST_F(CharaDrawTest, TheLensRadiusIsTheEffectsValue) {
  cChara& c = Chara();
  StartEffect(c, 12, {10, 100, 5, 2, -3}, 100.0);
  c.DrawCharaOnScreen(&g_BackBufferSD, 0, 3);
  // Half side 3 + 100 + 1; the graphic at its centre, the lens's centre moved by (2, -3).
  EXPECT_EQ(Draws(), (Calls{"DDSuspendLayer()", "DDFillRect(S70: 0,0,209,209,0)", "DDBlt(S70<-S4: 88,88,32,32,96,64,1)",
                            "DDBltLens(BB<-S70: 118,213,100,19,106,101,1,0)", "DDResumeLayer()"}));
  Place(c, 2);
  StartEffect(c, 12, {10, 100, 5, 2, -3}, 12.7);
  h.ClearTraces();
  c.DrawCharaOnScreen(&g_BackBufferSD, 0, 3);
  // Radius 12 x 2, offsets (4, -6), strength 6 + 32, half side 6 + 38 + 1.
  EXPECT_EQ(Draws(), (Calls{"DDSuspendLayer()", "DDFillRect(S70: 0,0,91,91,0)",
                            "DDBltStretch(S70<-S4: 13,13,64,64,96,64,32,32,1)",
                            "DDBltLens(BB<-S70: 136,226,24,38,49,39,1,0)", "DDResumeLayer()"}));
}

// DirectDraw, mode 7: a scaled character is turned at the cell's own size in a square work area
// (the cell's diagonal 45 + 2) that is then stretched to twice that size around its centre.
TEST_F(CharaDrawTest, QuickRotationOfAScaledCharacterTurnsTheCellAndStretchesTheArea) {
  cChara& c = Chara();
  Place(c, 2);
  StartEffect(c, 7, {10, 0, 100}, 12.7);
  c.DrawCharaOnScreen(&g_BackBufferSD, 0, 3);
  EXPECT_EQ(Draws(), (Calls{"DDSuspendLayer()", "DDFillRect(S70: 0,0,47,47,0)",
                            "DDBltRotate(S70<-S4: 23,23,32,32,16,16,12,96,64,1)",
                            "DDBltStretch(BB<-S70: 85,185,94,94,0,0,47,47,1)", "DDResumeLayer()"}));
}

TEST_F(CharaDrawTest, ABlendedRecordSetsTheBlendAroundTheEffectBlit) {
  cChara& c = Chara();
  GRAPHICSOURCE record = c.BuildDrawRecord(3);
  record.bUseBlend = 1;
  record.blend = {0x40, 7};
  StartEffect(c, 1, {10, 0, 100}, 12.7);
  g_DrawModeHandlers[1](c, &g_BackBufferSD, record, 0, 1);
  EXPECT_EQ(Draws(), (Calls{"DDSetAlpha(64)", "DDSetBlendMode(7)", "DDBltBurst(BB<-S4: 100,200,32,32,96,64,12,1)",
                            "DDResetAlpha()", "DDResetBlendMode()"}));
  h.ClearTraces();
  g_DrawModeHandlers[0](c, &g_BackBufferSD, record, 0, 1);
  EXPECT_EQ(Draws(), (Calls{"DDBltAlpha(BB<-S4: 100,200,32,32,96,64,1,64,7)"}));
  // The per-pixel effects take the pair itself too.
  StartEffect(c, 16, {10, 1, 4}, 2.0);
  h.ClearTraces();
  g_DrawModeHandlers[16](c, &g_BackBufferSD, record, 0, 1);
  EXPECT_EQ(Draws(), (Calls{"DDSuspendLayer()", "DDSetAlpha(64)", "DDSetBlendMode(7)",
                            "DDBltBlur(BB<-S4: 100,200,32,32,2,2,96,64,1,64,7)", "DDResetAlpha()", "DDResetBlendMode()",
                            "DDResumeLayer()"}));
}

TEST_F(CharaDrawTest, BlurOnPaletteScreensPullsTowardsColour31) {
  cChara& c = Chara();
  const int saved = g_nDisplayBpp;
  g_nDisplayBpp = 8;
  StartEffect(c, 16, {10, 1, 4}, 3.2);
  c.DrawCharaOnScreen(&g_BackBufferSD, 0, 3);
  g_nDisplayBpp = saved;
  EXPECT_EQ(Draws(),
            (Calls{"DDSuspendLayer()", "DDBltColorChange(BB<-S4: 100,200,32,32,96,64,1,31,3)", "DDResumeLayer()"}));
}

TEST_F(CharaDrawTest, ADivisionCountOfZeroMakesOneStrip) {
  cChara& c = Chara();
  StartEffect(c, 2, {10, 0, 100, 0}, 12.7);
  c.DrawCharaOnScreen(&g_BackBufferSD, 0, 3);
  EXPECT_EQ(Draws(), (Calls{"DDBltStripes(BB<-S4: 100,200,32,32,32,12,96,64,1,0)"}));
}

TEST_F(CharaDrawTest, AnUnknownEffectKindIsReportedAndDrawsPlainly) {
  const std::string log = testing::TempDir() + "/chara_draw_report.txt";
  ReportLogInit(log.c_str());
  cChara& c = Chara();
  StartEffect(c, 23, {10, 0, 100}, 12.7);
  c.DrawCharaOnScreen(&g_BackBufferSD, 0, 3);
  EXPECT_EQ(Draws(), (Calls{"DDBlt(BB<-S4: 100,200,32,32,96,64,1)"}));
  EXPECT_EQ(c.m_CharaEffect.nEffect, 1);  // the plain mode never ends it
  FILE* f = std::fopen(log.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  char line[128] = {};
  ASSERT_NE(std::fgets(line, sizeof line, f), nullptr);
  std::fclose(f);
  EXPECT_STREQ(line, "err CharaEffectKind[23] ( 17 )\n");
}

TEST_F(CharaDrawTest, AGraphicOutsideTheSheetsIsNotDrawnButItsEffectRunsOn) {
  cChara& c = Chara();
  c.m_Type.m_nGraphicKind = 7;
  StartEffect(c, 1, {10, 0, 100}, 12.7);
  c.DrawCharaOnScreen(&g_BackBufferSD, 0, 3);
  EXPECT_TRUE(Draws().empty());
  EXPECT_DOUBLE_EQ(c.m_CharaEffect.dValue, 13.7);
}

TEST_F(CharaDrawTest, FixedScreenPositionsAndTheIcon) {
  cChara& c = Chara();
  c.m_bFixedScreenX = 1;
  c.m_nFixedScreenX = 40;
  c.m_Type.m_bBadge = 1;
  c.m_Type.m_nBadge = 17;  // column 1, row 2 of the icon sheet
  c.DrawCharaOnScreen(&g_BackBufferSD, 0, 3);
  EXPECT_EQ(Draws(), (Calls{"DDBlt(BB<-S4: 40,200,32,32,96,64,1)", "DDBlt(BB<-S43: 40,200,32,32,32,64,1)"}));
  EXPECT_EQ(c.m_ScreenRect.right, 71);
  // At a larger scale the icon is stretched to the graphic's size; display 2 (the editor's) shows none.
  c.m_bFixedScreenX = 0;
  Place(c, 3);
  h.ClearTraces();
  c.DrawCharaOnScreen(&g_BackBufferSD, 0, 3);
  EXPECT_EQ(Draws()[1], "DDBltStretch(BB<-S43: 100,200,96,96,32,64,32,32,1)");
  c.m_Type.m_bBadge = 2;
  h.ClearTraces();
  c.DrawCharaOnScreen(&g_BackBufferSD, 0, 3);
  EXPECT_EQ(Draws().size(), 1u);
}

// ---- graphic number ------------------------------------------------------------------------------

TEST_F(CharaDrawTest, GraphicNumberAddsTheAnimationSetsOffsets) {
  cChara& c = Chara();
  cAnimeSetData& set = g_Database.m_aAnimeSet[0];
  set.m_nOffsetA = 4;
  set.m_nOffsetB = 8;
  set.m_nOffsetC = 16;
  c.m_Type.m_nGraphicSub = 1;
  struct OffsetCase {
    int moveMode, blockChara, noDamage, number;
  } cases[] = {{0, 0, 0, 1}, {2, 0, 0, 5}, {0, 1, 0, 9}, {0, 0, 1, 17}, {1, 1, 2, 29}};
  for (const OffsetCase& k : cases) {
    c.m_Type.m_nMoveMode = static_cast<int8_t>(k.moveMode);
    c.m_Type.m_bBlockChara = static_cast<int8_t>(k.blockChara);
    c.m_Type.m_nOpt32 = static_cast<int8_t>(k.noDamage);
    GRAPHICSOURCE record;
    EXPECT_EQ(c.GetGraphicNumber(record), k.number);
    EXPECT_EQ(record.bUseBlend, 0);  // only in Direct3D mode
  }
  // The number and the pattern make the cell's column: 9 + pattern 3.
  c.m_Type.m_nMoveMode = 0;
  c.m_Type.m_bBlockChara = 1;
  c.m_Type.m_nOpt32 = 0;
  EXPECT_EQ(c.BuildDrawRecord(3).nSrcX, 12 * 32);
  EXPECT_EQ(c.BuildDrawRecord(3).nSrcY, 64);
  // An animation set outside the list adds nothing.
  c.m_Type.m_bBlockChara = 0;
  c.m_nAnimeSet = 5;
  GRAPHICSOURCE record;
  EXPECT_EQ(c.GetGraphicNumber(record), 1);
}

TEST_F(CharaDrawTest, FacingRightDrawsFromTheMirroredSheet) {
  cChara& c = Chara();
  c.m_nFacing = 1;
  c.DrawCharaOnScreen(&g_BackBufferSD, 0, 3);
  EXPECT_EQ(Draws(), (Calls{"DDBlt(BB<-S5: 100,200,32,32,96,64,1)"}));
}

// ---- the defeat display --------------------------------------------------------------------------

TEST_F(CharaDrawTest, AComputerCharacterIsGoneAtOnceOrWhenItsEffectEnds) {
  cChara& c = Chara();
  EXPECT_EQ(c.DrawDefeated(&g_BackBufferSD, 0), 1);
  EXPECT_TRUE(Draws().empty());
  StartEffect(c, 1, {10, 0, 100}, 98.5);
  EXPECT_EQ(c.DrawDefeated(&g_BackBufferSD, 0), 0);  // 99.5
  EXPECT_EQ(c.DrawDefeated(&g_BackBufferSD, 1), 0);  // held: no step
  EXPECT_EQ(c.DrawDefeated(&g_BackBufferSD, 0), 1);  // 100.5: the effect has ended
  EXPECT_EQ(c.m_CharaEffect.nEffect, 0);
  // Its graphic drawn at pattern 0 every time.
  EXPECT_EQ(Draws(),
            (Calls{"DDBltBurst(BB<-S4: 100,200,32,32,0,64,98,1)", "DDBltBurst(BB<-S4: 100,200,32,32,0,64,99,1)",
                   "DDBltBurst(BB<-S4: 100,200,32,32,0,64,99,1)"}));
}

TEST_F(CharaDrawTest, TheHerosDefeatDisplayEndsAfterMoreFramesThanTheFrameRate) {
  cHero& hero = h.Hero();
  Place(hero);
  hero.m_nControl = 0;
  StartEffect(hero, 1, {10, 0, 100}, 99.5);
  EXPECT_EQ(hero.DrawDefeated(&g_BackBufferSD, 0), 0);  // the effect ends, the display goes on
  EXPECT_EQ(hero.m_CharaEffect.nEffect, 0);
  EXPECT_EQ(hero.m_nDefeatCounter, 0);
  for (int rate : {60, 30}) {
    g_SceneMgr.m_nFrameRate = rate;
    hero.m_nDefeatCounter = 0;
    int frames = 0;
    while (hero.DrawDefeated(&g_BackBufferSD, 0) == 0) {
      ++frames;
      EXPECT_EQ(hero.DrawDefeated(&g_BackBufferSD, 1), 0);  // held frames do not count
      ASSERT_LT(frames, 1000);
    }
    EXPECT_EQ(frames, rate) << rate;  // frame rate + 1 frames in all
  }
  g_SceneMgr.m_nFrameRate = 60;
}

TEST_F(CharaDrawTest, AHiddenEffectAdvancesWithoutDrawingAndEnds) {
  cChara& c = Chara();
  EXPECT_EQ(c.RunCharaEffectHidden(0), 0);
  StartEffect(c, 4, {10, 0, 100, 3, 2}, 99.5);
  EXPECT_EQ(c.RunCharaEffectHidden(1), 0);
  EXPECT_EQ(c.m_CharaEffect.nWork1, 0);
  EXPECT_EQ(c.RunCharaEffectHidden(0), 1);
  EXPECT_EQ(c.m_CharaEffect.nEffect, 0);
  EXPECT_TRUE(Draws().empty());
}

// ---- gauges --------------------------------------------------------------------------------------

TEST_F(CharaDrawTest, AGaugeShowsFor120FramesItsMovingPartForTheFirst60) {
  cChara& c = Chara();
  c.m_nHp = 6;
  c.m_Type.m_nMaxHp = 10;
  c.m_HpGauge = {120, 10.0, 10.0 / 60, 30};  // a gain of 10 dots
  int frames = 0;
  while (true) {
    h.ClearTraces();
    c.DrawHpGauge(&g_BackBufferSD);
    if (h.Draws().empty()) break;
    ++frames;
    const Calls calls = Draws();
    if (frames == 1) {
      EXPECT_EQ(calls.back(), "DDBlt(BB<-S50: 111,197,10,2,20,216,1)");  // the last 10 dots of the fill
    }
    // The moving part shrinks by a sixtieth a frame (gone from view once under one dot) and is
    // dropped for the last 60 frames.
    if (frames <= 54) EXPECT_EQ(calls.size(), 3u) << frames;
    if (frames > 60) EXPECT_EQ(calls.size(), 2u) << frames;
  }
  EXPECT_EQ(frames, 120);
  EXPECT_EQ(c.m_HpGauge.dChange, 0.0);
}

TEST_F(CharaDrawTest, GaugeRowsLossesLowValuesAndTheSpecialPointGauge) {
  cChara& c = Chara();
  g_SystemData.m_aStatusItems[3].m_nLowThreshold = 5;
  g_SystemData.m_aStatusItems[3].m_bLowPercent = 0;
  c.m_nSp = 5;
  c.m_Type.m_nMaxSp = 20;
  c.m_SpGauge = {100, -4.0, -0.1, 12};   // a loss of 4 dots
  Give(kSlotGaugeSheet, 256, 224 + 16);  // taller than 208: rows 2 dots apart from 208
  c.DrawSpGauge(&g_BackBufferSD);
  EXPECT_EQ(Draws(), (Calls{"DDBlt(BB<-S50: 91,193,50,2,64,208,1)", "DDBlt(BB<-S50: 91,193,12,2,64,212,1)",
                            "DDBlt(BB<-S50: 103,193,4,2,76,214,1)"}));
  EXPECT_DOUBLE_EQ(c.m_SpGauge.dChange, -3.9);
  // A sheet no taller than 208 dots has its rows 16 dots apart from 128.
  Give(kSlotGaugeSheet, 256, 208);
  h.ClearTraces();
  c.DrawSpGauge(&g_BackBufferSD);
  EXPECT_EQ(Draws(), (Calls{"DDBlt(BB<-S50: 91,193,50,2,64,128,1)", "DDBlt(BB<-S50: 91,193,12,2,64,160,1)",
                            "DDBlt(BB<-S50: 103,193,3,2,76,176,1)"}));
  // Nothing for a dead character, nor once the time is out.
  h.ClearTraces();
  c.m_bDead = 1;
  c.DrawSpGauge(&g_BackBufferSD);
  c.m_bDead = 0;
  c.m_SpGauge.nShowTimer = 0;
  c.DrawSpGauge(&g_BackBufferSD);
  EXPECT_TRUE(Draws().empty());
}

// ---- Direct3D: the blend of a no-damage character --------------------------------------------------

TEST_F(CharaDrawTest, NoDamageCharactersBlendWithTheirColourEntryInDirect3D) {
  DTCONTEXT context;
  DTCONTEXT* saved = lpDTCon;
  lpDTCon = &context;  // Direct3D mode as the look-up sees it; the trace draws nothing
  g_SystemData.m_nGraphicOpt287 = 1;
  g_aCharaColourChange[3] = {0xFF102030u, 7};
  cChara& c = Chara();
  c.m_Type.m_nOpt32 = 1;
  c.m_Type.m_nOpt33 = 3;
  GRAPHICSOURCE record;
  c.GetGraphicNumber(record);
  EXPECT_EQ(record.bUseBlend, 1);
  EXPECT_EQ(static_cast<uint32_t>(record.blend.nAlpha), 0xFF102030u);
  EXPECT_EQ(record.blend.nBlendMode, 7);
  // Entry 0, an entry outside the table, the option off or damage taken: no blend.
  for (auto [index, option, noDamage] : {std::tuple{0, 1, 1}, {10, 1, 1}, {-1, 1, 1}, {3, 0, 1}, {3, 1, 0}}) {
    c.m_Type.m_nOpt33 = static_cast<int8_t>(index);
    c.m_Type.m_nOpt32 = static_cast<int8_t>(noDamage);
    g_SystemData.m_nGraphicOpt287 = option;
    c.GetGraphicNumber(record);
    EXPECT_EQ(record.bUseBlend, 0) << index << "," << option << "," << noDamage;
  }
  lpDTCon = saved;
  g_aCharaColourChange[3] = {};
}

}  // namespace
