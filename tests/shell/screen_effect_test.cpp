// The stage's screen effects through the drawing trace: which blits each of the fourteen types makes
// on a given frame, on which frame each kind of run ends, what a frozen frame leaves alone, and how
// damaged records (running time 0, split count 0, coarseness 0, strength 0, an unknown type) are drawn.
#include "shell/screen_effect.h"

#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <string>
#include <vector>

#include "data/anim_scripts.h"
#include "data/database.h"
#include "media/graphics/draw_trace.h"
#include "media/graphics/graphics_fixture.h"
#include "shell/system_ini.h"
#include "test_support/fresh_game_data.h"
#include "test_support/hooks_guard.h"

namespace {

std::vector<DDTRACECALL> g_calls;
void Record(const DDTRACECALL& call) { g_calls.push_back(call); }
// The blink's background layers, recorded among the drawing calls.
void DrawBackLayers() { g_calls.push_back(DDTRACECALL{"drawBackLayers", nullptr, nullptr, {}, {}}); }

// The surfaces of a call, by role.
enum class Sf { None, BB, A, B };
Sf RoleOf(const DDSURFACEDATA* sd) {
  if (!sd) return Sf::None;
  if (sd == &g_BackBufferSD) return Sf::BB;
  if (sd == &g_SurfaceData[kScreenEffectSlotA]) return Sf::A;
  if (sd == &g_SurfaceData[kScreenEffectSlotB]) return Sf::B;
  return Sf::None;
}
const char* RoleName(Sf s) {
  switch (s) {
    case Sf::BB: return "BB";
    case Sf::A: return "A";
    case Sf::B: return "B";
    default: return "-";
  }
}

struct Call {
  std::string name;
  Sf dst = Sf::None;
  Sf src = Sf::None;
  std::vector<double> args;
  bool operator==(const Call&) const = default;
};
void PrintTo(const Call& c, std::ostream* os) {
  *os << c.name << "(" << RoleName(c.dst) << " <- " << RoleName(c.src);
  for (double a : c.args) *os << ", " << a;
  *os << ")";
}

// The pieces the expected tables are made of: the picture copied into a work surface, the back
// buffer cleared to colour 16, a distorting blit between point sampling on and off, the end.
Call Copy(Sf work) { return {"DDBlt", work, Sf::BB, {0, 0, 640, 480, 0, 0, 0}}; }
Call Clear() { return {"DDFillRect", Sf::BB, Sf::None, {0, 0, 640, 480, 16}}; }
Call Fill(Sf dst, double x, double y, double w, double h, double colour) {
  return {"DDFillRect", dst, Sf::None, {x, y, w, h, colour}};
}
Call Blit(const char* name, Sf src, std::vector<double> args) { return {name, Sf::BB, src, std::move(args)}; }
const Call kSetFilter{"DDSetFilter", Sf::None, Sf::None, {1}};
const Call kResetFilter{"DDResetFilter", Sf::None, Sf::None, {}};
const Call kEnd{"DDSetVirtualBackBuffer", Sf::None, Sf::None, {0}};
const Call kBackLayers{"drawBackLayers", Sf::None, Sf::None, {}};
// The common frame: copy, clear, the distorting blits unfiltered.
std::vector<Call> Frame(Sf work, std::vector<Call> blits, bool clear = true) {
  std::vector<Call> calls{Copy(work)};
  if (clear) calls.push_back(Clear());
  calls.push_back(kSetFilter);
  for (Call& c : blits) calls.push_back(std::move(c));
  calls.push_back(kResetFilter);
  return calls;
}
std::vector<Call> Ended(std::vector<Call> calls) {
  calls.push_back(kEnd);
  return calls;
}

// A stage frame for the effects: a fresh run with the effect as database entry 1 (entry 0 is the
// "none" record), a DirectDraw display, the trace and the blink's hook installed.
class ScreenEffectTest : public ::testing::Test {
 protected:
  ScreenEffectTest() {
    g_calls.clear();
    m_nVideoStretch = g_IniSettings.DD_VideoStretch;
    g_IniSettings.DD_VideoStretch = 0;
  }
  ~ScreenEffectTest() override { g_IniSettings.DD_VideoStretch = m_nVideoStretch; }
  void SetUp() override { ASSERT_TRUE(m_Display.ok); }

  // Starts effect `type` with parameters 1-5 (mode 0 forward, 1 reversed, 2 there and back).
  void Start(int type, std::array<int, 5> params, int mode = 0, int loop = 0) {
    g_Database.m_aScrEffect.assign(2, cScrEffectData());
    g_Database.m_aScrEffect[0].m_nKind = 0;
    g_Database.m_aScrEffect[1].m_nKind = type;
    for (int i = 0; i < 5; ++i) g_Database.m_aScrEffect[1].m_anParams[i] = params[static_cast<size_t>(i)];
    BuildScrEffectPlays(g_ScrEffectPlays, g_ScrEffectPlaysRev);
    m_Play.ClearScrEffect();
    m_Play.StartScrEffect(1, mode, loop);
  }
  // Runs one frame; the calls it made.
  std::vector<Call> Run(int frozen = 0) {
    g_calls.clear();
    RunScreenEffect(m_Play, m_View, frozen);
    std::vector<Call> calls;
    for (const DDTRACECALL& c : g_calls) calls.push_back({c.strName, RoleOf(c.lpDst), RoleOf(c.lpSrc), c.adArgs});
    return calls;
  }
  // Runs frames 1 .. k; the calls of frame k.
  std::vector<Call> RunTo(int k) {
    for (int i = 1; i < k; ++i) Run();
    return Run();
  }
  // Runs frames until the effect ends (at most `limit`); the number of frames drawn.
  int FramesUntilEnd(int limit = 100000) {
    for (int k = 1; k <= limit; ++k) {
      Run();
      if (m_Play.nEffect == 0) return k;
    }
    return -1;
  }

  cFreshGameData m_Fresh;
  gfxtest::Display m_Display{gfxtest::kModes[4]};  // DirectDraw, 32 bits
  cHooksGuard<cDrawTraceHooks> m_Trace{SetDrawTraceHooks, cDrawTraceHooks{Record}};
  cHooksGuard<cScreenEffectHooks> m_Hooks{SetScreenEffectHooks, cScreenEffectHooks{DrawBackLayers}};
  cScrEffectPlay m_Play;
  cScreenEffectView m_View;
  int m_nVideoStretch = 0;
};

// ---- what each type draws --------------------------------------------------------------------------

struct DrawCase {
  const char* name;
  int type;
  std::array<int, 5> params;  // parameter 1 (running time in tenths) .. 5
  int mode;                   // 1: reversed
  int heroX, heroY;
  int frame;
  std::vector<Call> calls;
};
void PrintTo(const DrawCase& c, std::ostream* os) { *os << c.name; }

class ScreenEffectDrawTest : public ScreenEffectTest, public ::testing::WithParamInterface<DrawCase> {};

// Parameters and results: move and shake from the frame-by-frame rules (the move's position and the
// shake's offset computed on the frame before, from the value before it advances); the others from
// the value on that frame (start + (frame - 1) x step; steps chosen whole so the sums are exact).
const DrawCase kDrawCases[] = {
    {"NoneDrawsNothing", 0, {10, 0, 0, 0, 0}, 0, 320, 240, 1, {}},
    {"NoneStaysOnItsHundredthFrame", 0, {10, 0, 0, 0, 0}, 0, 320, 240, 100, {}},
    // (0, 0) -> (100, 0) in 1 s: 10/6 dot per frame, first two frames at 0.
    {"MoveFirstFrame", 1, {10, 0, 0, 100, 0}, 0, 320, 240, 1,
     Frame(Sf::A, {Blit("DDBlt", Sf::A, {0, 0, 640, 480, 0, 0, 1})})},
    {"MoveSecondFrame", 1, {10, 0, 0, 100, 0}, 0, 320, 240, 2,
     Frame(Sf::A, {Blit("DDBlt", Sf::A, {0, 0, 640, 480, 0, 0, 1})})},
    {"MoveFifthFrame", 1, {10, 0, 0, 100, 0}, 0, 320, 240, 5,
     Frame(Sf::A, {Blit("DDBlt", Sf::A, {5, 0, 640, 480, 0, 0, 1})})},
    {"MoveLastFramePastTheEnd", 1, {10, 0, 0, 100, 0}, 0, 320, 240, 67,
     Ended(Frame(Sf::A, {Blit("DDBlt", Sf::A, {108, 0, 640, 480, 0, 0, 1})}))},
    {"MoveReversedRunsFromTheEndPoint", 1, {10, 0, 0, 100, -60}, 1, 320, 240, 5,
     Frame(Sf::A, {Blit("DDBlt", Sf::A, {95, -57, 640, 480, 0, 0, 1})})},
    // Amplitude 8, 2 swings: 64/60 dot per frame.
    {"ShakeXUnmovedClearsNothing", 2, {10, 8, 2, 0, 0}, 0, 320, 240, 1,
     Frame(Sf::A, {Blit("DDBlt", Sf::A, {0, 0, 640, 480, 0, 0, 1})}, false)},
    {"ShakeXRightClearsTheLeftStrip", 2, {10, 8, 2, 0, 0}, 0, 320, 240, 4,
     {Copy(Sf::A), Fill(Sf::BB, 0, 0, 4, 480, 16), kSetFilter, Blit("DDBlt", Sf::A, {3, 0, 640, 480, 0, 0, 1}),
      kResetFilter}},
    {"ShakeXLeftClearsTheRightStrip", 2, {10, 8, 2, 0, 0}, 0, 320, 240, 22,
     {Copy(Sf::A), Fill(Sf::BB, 635, 0, 6, 480, 16), kSetFilter, Blit("DDBlt", Sf::A, {-5, 0, 640, 480, 0, 0, 1}),
      kResetFilter}},
    {"ShakeXTurnsAtTheAmplitude", 2, {10, 8, 2, 0, 0}, 0, 320, 240, 10,
     {Copy(Sf::A), Fill(Sf::BB, 0, 0, 7, 480, 16), kSetFilter, Blit("DDBlt", Sf::A, {6, 0, 640, 480, 0, 0, 1}),
      kResetFilter}},
    {"ShakeYClearsTheWholeScreen", 3, {10, 8, 2, 0, 0}, 0, 320, 240, 4,
     Frame(Sf::A, {Blit("DDBlt", Sf::A, {0, 3, 640, 480, 0, 0, 1})})},
    // Splits 20 -> 80 in 1 s: 1 dot per frame.
    {"SplitXFourRows", 4, {10, 20, 80, 4, 0}, 0, 320, 240, 1,
     Frame(Sf::A, {Blit("DDBltStripes", Sf::A, {0, 0, 640, 480, 120, 20, 0, 0, 1, 0})})},
    {"SplitXFourthFrame", 4, {10, 20, 80, 4, 0}, 0, 320, 240, 4,
     Frame(Sf::A, {Blit("DDBltStripes", Sf::A, {0, 0, 640, 480, 120, 23, 0, 0, 1, 0})})},
    {"SplitXSevenDrawsTheRemainingRowsAsASeventhStrip", 4, {10, 20, 80, 7, 0}, 0, 320, 240, 1,
     Frame(Sf::A, {Blit("DDBltStripes", Sf::A, {0, 0, 640, 480, 69, 20, 0, 0, 1, 0}),
                   Blit("DDBlt", Sf::A, {20, 414, 640, 66, 0, 414, 1})})},
    {"SplitXCountZeroIsOneStrip", 4, {10, 20, 80, 0, 0}, 0, 320, 240, 1,
     Frame(Sf::A, {Blit("DDBltStripes", Sf::A, {0, 0, 640, 480, 480, 20, 0, 0, 1, 0})})},
    {"SplitYFourColumns", 5, {10, 20, 80, 4, 0}, 0, 320, 240, 1,
     Frame(Sf::A, {Blit("DDBltStripes", Sf::A, {0, 0, 640, 480, 160, 20, 0, 0, 1, 1})})},
    {"SplitYThreeDrawsTheRemainingColumnsDown", 5, {10, 20, 80, 3, 0}, 0, 320, 240, 1,
     Frame(Sf::A, {Blit("DDBltStripes", Sf::A, {0, 0, 640, 480, 214, 20, 0, 0, 1, 1}),
                   Blit("DDBlt", Sf::A, {428, 20, 212, 480, 428, 0, 1})})},
    {"SplitYSixDrawsTheRemainingColumnsUp", 5, {10, 20, 80, 6, 0}, 0, 320, 240, 1,
     Frame(Sf::A, {Blit("DDBltStripes", Sf::A, {0, 0, 640, 480, 107, 20, 0, 0, 1, 1}),
                   Blit("DDBlt", Sf::A, {535, -20, 105, 480, 535, 0, 1})})},
    // Waves 10 -> 70 in 1 s (1 dot per frame), phase one degree per frame.
    {"WaveXFirstFrame", 6, {10, 10, 70, 1, 120}, 0, 320, 240, 1,
     Frame(Sf::A, {Blit("DDBltWave", Sf::A, {0, 0, 640, 480, 1, 10, 0, 120, 0, 0, 1, 0})})},
    {"WaveXThirdFrame", 6, {10, 10, 70, 1, 120}, 0, 320, 240, 3,
     Frame(Sf::A, {Blit("DDBltWave", Sf::A, {0, 0, 640, 480, 1, 12, 2, 120, 0, 0, 1, 0})})},
    {"WaveXCoarsenessZeroIsOnePixel", 6, {10, 10, 70, 1, 0}, 0, 320, 240, 1,
     Frame(Sf::A, {Blit("DDBltWave", Sf::A, {0, 0, 640, 480, 1, 10, 0, 1, 0, 0, 1, 0})})},
    {"WavePhaseBeforeTheTurn", 6, {100, 10, 10, 1, 8}, 0, 320, 240, 360,
     Frame(Sf::A, {Blit("DDBltWave", Sf::A, {0, 0, 640, 480, 1, 10, 359, 8, 0, 0, 1, 0})})},
    {"WavePhaseBackToZeroAt360", 6, {100, 10, 10, 1, 8}, 0, 320, 240, 361,
     Frame(Sf::A, {Blit("DDBltWave", Sf::A, {0, 0, 640, 480, 1, 10, 0, 8, 0, 0, 1, 0})})},
    {"WaveYColumns", 7, {10, 10, 70, 2, 160}, 0, 320, 240, 1,
     Frame(Sf::A, {Blit("DDBltWave", Sf::A, {0, 0, 640, 480, 2, 10, 0, 160, 0, 0, 1, 1})})},
    // Blink every 3 frames: frames 1-4 hidden, 5-7 shown, 8-10 hidden; ends on frame 67 (shown).
    {"BlinkFirstFrameHidden", 8, {10, 3, 0, 0, 0}, 0, 320, 240, 1, {kBackLayers}},
    {"BlinkFourthFrameHidden", 8, {10, 3, 0, 0, 0}, 0, 320, 240, 4, {kBackLayers}},
    {"BlinkFifthFrameShown", 8, {10, 3, 0, 0, 0}, 0, 320, 240, 5, {}},
    {"BlinkSeventhFrameShown", 8, {10, 3, 0, 0, 0}, 0, 320, 240, 7, {}},
    {"BlinkEighthFrameHidden", 8, {10, 3, 0, 0, 0}, 0, 320, 240, 8, {kBackLayers}},
    {"BlinkLastFrame", 8, {10, 3, 0, 0, 0}, 0, 320, 240, 67, {kEnd}},
    // Rotation 0 -> 360 in 1 s: 6 degrees per frame.
    {"RotationFirstFrame", 9, {10, 0, 360, 0, 0}, 0, 320, 240, 1,
     Frame(Sf::B, {Blit("DDBltRotate", Sf::B, {320, 240, 640, 480, 320, 240, 0, 0, 0, 1})})},
    {"RotationThirdFrame", 9, {10, 0, 360, 0, 0}, 0, 320, 240, 3,
     Frame(Sf::B, {Blit("DDBltRotate", Sf::B, {320, 240, 640, 480, 320, 240, 12, 0, 0, 1})})},
    {"RotationReversedStartsAtTheEndValue", 9, {10, 0, 360, 0, 0}, 1, 320, 240, 3,
     Frame(Sf::B, {Blit("DDBltRotate", Sf::B, {320, 240, 640, 480, 320, 240, 348, 0, 0, 1})})},
    // Circles around the hero: half extents to the farther screen edges.
    {"CircleAroundTheScreenCentre", 10, {10, 100, 0, 1, 0}, 0, 320, 240, 1,
     Frame(Sf::A, {Blit("DDBltCircle", Sf::A, {320, 240, 320, 240, 100, 1, 320, 240, 1})})},
    {"CircleNearTheTopLeft", 10, {10, 800, 0, 1, 0}, 0, 100, 50, 1,
     Frame(Sf::A, {Blit("DDBltCircle", Sf::A, {100, 50, 540, 430, 800, 1, 100, 50, 1})})},
    {"CircleCoarsenessZeroIsOneRow", 10, {10, 100, 0, 0, 0}, 0, 320, 240, 1,
     Frame(Sf::A, {Blit("DDBltCircle", Sf::A, {320, 240, 320, 240, 100, 1, 320, 240, 1})})},
    // Zoom from work surface B (DirectDraw without "DD_VideoStretch"), no clear unless reduced.
    {"Zoom640ShowsThePictureUnchanged", 11, {10, 640, 640, 0, 0}, 0, 320, 240, 1,
     Frame(Sf::B, {Blit("DDBltStretch", Sf::B, {0, 0, 640, 480, 0, 0, 640, 480, 1})}, false)},
    {"Zoom1280AroundTheCentre", 11, {10, 1280, 1280, 0, 0}, 0, 320, 240, 1,
     Frame(Sf::B, {Blit("DDBltStretch", Sf::B, {0, 0, 640, 480, 160, 120, 320, 240, 1})}, false)},
    {"Zoom1280ClampedRightAndTop", 11, {10, 1280, 1280, 0, 0}, 0, 600, 100, 1,
     Frame(Sf::B, {Blit("DDBltStretch", Sf::B, {0, 0, 640, 480, 320, 0, 320, 240, 1})}, false)},
    {"Zoom1280ClampedLeftAndTop", 11, {10, 1280, 1280, 0, 0}, 0, 100, 50, 1,
     Frame(Sf::B, {Blit("DDBltStretch", Sf::B, {0, 0, 640, 480, 0, 0, 320, 240, 1})}, false)},
    {"Zoom320HalfSizeInTheCentre", 11, {10, 320, 320, 0, 0}, 0, 320, 240, 1,
     Frame(Sf::B, {Blit("DDBltStretch", Sf::B, {160, 120, 320, 240, 0, 0, 640, 480, 1})})},
    // Lens radius: the farther edge distance x sqrt 2; B cleared over 2r at 32 bits first.
    {"LensAroundTheScreenCentre", 12, {10, 1500, 5, 0, 0}, 0, 320, 240, 1,
     [] {
       std::vector<Call> calls{Fill(Sf::B, 0, 0, 904, 904, 0)};
       for (Call& c : Frame(Sf::B, {Blit("DDBltLens", Sf::B, {320, 240, 452, 1500, 320, 240, 1, 0})})) calls.push_back(c);
       return calls;
     }()},
    {"LensMovedByItsOffsets", 12, {10, 1500, 5, 100, -50}, 0, 320, 240, 1,
     [] {
       std::vector<Call> calls{Fill(Sf::B, 0, 0, 1186, 1186, 0)};
       for (Call& c : Frame(Sf::B, {Blit("DDBltLens", Sf::B, {420, 190, 593, 1500, 420, 190, 1, 0})})) calls.push_back(c);
       return calls;
     }()},
    {"MosaicOfFour", 13, {10, 4, 4, 0, 0}, 0, 320, 240, 1,
     Frame(Sf::B, {Blit("DDBltMosaic", Sf::B, {0, 0, 640, 480, 4, 0, 0, 1})})},
    {"MosaicOfStrengthZeroIsOnePixel", 13, {10, 0, 60, 0, 0}, 0, 320, 240, 1,
     Frame(Sf::B, {Blit("DDBltMosaic", Sf::B, {0, 0, 640, 480, 1, 0, 0, 1})})},
    // A type outside the fourteen ends at once without drawing.
    {"UnknownTypeEndsAtOnce", 14, {10, 0, 0, 0, 0}, 0, 320, 240, 1, {kEnd}},
    {"NegativeTypeEndsAtOnce", -1, {10, 0, 0, 0, 0}, 0, 320, 240, 1, {kEnd}},
};

TEST_P(ScreenEffectDrawTest, DrawsItsBlitsOnTheFrame) {
  const DrawCase& c = GetParam();
  Start(c.type, c.params, c.mode);
  m_View.m_nHeroCentreX = c.heroX;
  m_View.m_nHeroCentreY = c.heroY;
  EXPECT_EQ(RunTo(c.frame), c.calls);
}

INSTANTIATE_TEST_SUITE_P(Types, ScreenEffectDrawTest, ::testing::ValuesIn(kDrawCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- when runs end -----------------------------------------------------------------------------------

struct EndCase {
  const char* name;
  int type;
  std::array<int, 5> params;
  int mode, loop;
  int frames;  // the frame on which the effect ends (0: still running after 2000 frames)
};
void PrintTo(const EndCase& c, std::ostream* os) { *os << c.name; }

class ScreenEffectEndTest : public ScreenEffectTest, public ::testing::WithParamInterface<EndCase> {};

const EndCase kEndCases[] = {
    // Value from 0 by 1/6 per frame: the first frame on which it truncates past the time (11).
    {"Move", 1, {10, 0, 0, 100, 0}, 0, 0, 67},
    {"ShakeX", 2, {10, 8, 2, 0, 0}, 0, 0, 67},
    {"ShakeY", 3, {10, 8, 2, 0, 0}, 0, 0, 67},
    {"Blink", 8, {10, 10, 0, 0, 0}, 0, 0, 67},
    // Equal start and end: the elapsed time passes the running time.
    {"SplitXEqual", 4, {10, 20, 20, 4, 0}, 0, 0, 61},
    {"SplitYEqual", 5, {10, 20, 20, 4, 0}, 0, 0, 61},
    {"WaveXEqual", 6, {10, 20, 20, 4, 8}, 0, 0, 61},
    {"WaveYEqual", 7, {10, 20, 20, 4, 8}, 0, 0, 61},
    {"RotationEqual", 9, {10, 90, 90, 0, 0}, 0, 0, 61},
    {"CircleEqual", 10, {10, 200, 200, 8, 0}, 0, 0, 61},
    {"ZoomEqual", 11, {10, 640, 640, 0, 0}, 0, 0, 61},
    {"LensEqual", 12, {10, 100, 100, 0, 0}, 0, 0, 61},
    {"MosaicEqual", 13, {10, 8, 8, 0, 0}, 0, 0, 61},
    // Start to end: the first frame on which the value truncates past the end.
    {"RotationUp", 9, {10, 0, 360, 0, 0}, 0, 0, 61},
    {"LensDown", 12, {10, 400, 0, 0, 0}, 0, 0, 61},
    {"MosaicUpInHalfSteps", 13, {1, 1, 4, 0, 0}, 0, 0, 8},
    {"MosaicDownInHalfSteps", 13, {1, 4, 1, 0, 0}, 0, 0, 7},
    {"RotationReversed", 9, {10, 0, 360, 0, 0}, 1, 0, 61},
    {"RotationThereAndBack", 9, {10, 0, 360, 0, 0}, 2, 0, 122},
    {"RotationLooping", 9, {10, 0, 360, 0, 0}, 0, 1, 0},
    {"BlinkLooping", 8, {10, 3, 0, 0, 0}, 0, 1, 0},
    {"None", 0, {10, 0, 0, 0, 0}, 0, 0, 0},
    // A running time of 0 (a damaged record) ends at once instead of dividing by zero; a value
    // from start to end shows both ends.
    {"MoveTimeZero", 1, {0, 0, 0, 100, 0}, 0, 0, 1},
    {"ShakeTimeZero", 2, {0, 8, 2, 0, 0}, 0, 0, 1},
    {"BlinkTimeZero", 8, {0, 3, 0, 0, 0}, 0, 0, 1},
    {"MoveNegativeTime", 1, {-5, 0, 0, 100, 0}, 0, 0, 1},
    {"SplitTimeZero", 4, {0, 20, 80, 4, 0}, 0, 0, 2},
    {"ZoomTimeZeroEqual", 11, {0, 640, 640, 0, 0}, 0, 0, 1},
};

TEST_P(ScreenEffectEndTest, EndsOnItsFrame) {
  const EndCase& c = GetParam();
  Start(c.type, c.params, c.mode, c.loop);
  if (c.frames == 0) {
    EXPECT_EQ(FramesUntilEnd(2000), -1);
    EXPECT_EQ(m_Play.nEffect, 1);
    return;
  }
  EXPECT_EQ(FramesUntilEnd(), c.frames);
  // The frame that ends an effect switches the virtual back buffer off, last.
  ASSERT_FALSE(g_calls.empty());
  EXPECT_EQ(g_calls.back().strName, "DDSetVirtualBackBuffer");
  EXPECT_EQ(g_calls.back().adArgs, std::vector<double>{0});
}

INSTANTIATE_TEST_SUITE_P(Runs, ScreenEffectEndTest, ::testing::ValuesIn(kEndCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScreenEffectTest, TheEndOfAMoveIsTheFirstFrameWhoseValueTruncatesToEleven) {
  Start(1, {10, 0, 0, 100, 0});
  for (int k = 1; k <= 66; ++k) Run();
  EXPECT_EQ(static_cast<int>(m_Play.dValue), 10);  // 66 sixths summed stay just below 11
  Run();
  EXPECT_EQ(m_Play.nEffect, 0);
}

// ---- frozen frames -------------------------------------------------------------------------------------

TEST_F(ScreenEffectTest, FrozenFramesDrawWithoutAdvancing) {
  Start(1, {10, 0, 0, 100, 0});
  for (int k = 1; k <= 4; ++k) Run();
  const double value = m_Play.dValue;
  const std::vector<Call> fifth = Frame(Sf::A, {Blit("DDBlt", Sf::A, {5, 0, 640, 480, 0, 0, 1})});
  for (int k = 0; k < 3; ++k) EXPECT_EQ(Run(1), fifth) << k;
  EXPECT_EQ(m_Play.dValue, value);
  EXPECT_EQ(m_Play.nWork1, 5);
  EXPECT_EQ(Run(), fifth);
  EXPECT_EQ(Run(), Frame(Sf::A, {Blit("DDBlt", Sf::A, {6, 0, 640, 480, 0, 0, 1})}));
  // Frozen frames do not count toward the end: 67 played frames in all.
  EXPECT_EQ(FramesUntilEnd(), 67 - 6);
}

TEST_F(ScreenEffectTest, FrozenFramesKeepTheShakeTheWaveAndTheValue) {
  Start(2, {10, 8, 2, 0, 0});
  for (int k = 1; k <= 3; ++k) Run();
  const double offset = m_Play.dValue2, value = m_Play.dValue;
  Run(1);
  Run(1);
  EXPECT_EQ(m_Play.dValue2, offset);
  EXPECT_EQ(m_Play.dValue, value);

  Start(6, {10, 10, 70, 1, 120});
  Run();
  Run();
  for (int k = 0; k < 3; ++k)
    EXPECT_EQ(Run(1), Frame(Sf::A, {Blit("DDBltWave", Sf::A, {0, 0, 640, 480, 1, 12, 2, 120, 0, 0, 1, 0})}));
  EXPECT_EQ(m_Play.nWork1, 2);
}

TEST_F(ScreenEffectTest, AFrozenBlinkAtItsIntervalStillFlipsOnce) {
  Start(8, {10, 3, 0, 0, 0});
  for (int k = 1; k <= 3; ++k) EXPECT_EQ(Run(), std::vector<Call>{kBackLayers});
  // The counter has reached the interval: the frozen frame hides once more, then flips to shown.
  EXPECT_EQ(Run(1), std::vector<Call>{kBackLayers});
  EXPECT_EQ(m_Play.nWork1, 0);
  EXPECT_EQ(m_Play.nWork2, 1);
  // Further frozen frames neither count nor flip.
  for (int k = 0; k < 5; ++k) EXPECT_EQ(Run(1), std::vector<Call>{});
  EXPECT_EQ(m_Play.nWork1, 0);
  EXPECT_EQ(Run(), std::vector<Call>{});
  EXPECT_EQ(m_Play.nWork1, 1);
}

// ---- the zoom's source and the lens's square -----------------------------------------------------------

TEST_F(ScreenEffectTest, TheZoomStretchesFromTheSourceChosenAtTheStagesLoad) {
  EXPECT_EQ(ScreenEffectZoomSource(), &g_SurfaceData[kScreenEffectSlotB]);
  g_IniSettings.DD_VideoStretch = 1;
  EXPECT_EQ(ScreenEffectZoomSource(), &g_SurfaceData[kScreenEffectSlotA]);
  // The source handed in is used even when the setting has changed since.
  m_View.m_lpZoomSource = &g_SurfaceData[kScreenEffectSlotB];
  Start(11, {10, 640, 640, 0, 0});
  EXPECT_EQ(Run(), Frame(Sf::B, {Blit("DDBltStretch", Sf::B, {0, 0, 640, 480, 0, 0, 640, 480, 1})}, false));
  m_View.m_lpZoomSource = nullptr;
  EXPECT_EQ(Run(), Frame(Sf::A, {Blit("DDBltStretch", Sf::A, {0, 0, 640, 480, 0, 0, 640, 480, 1})}, false));
}

TEST(ScreenEffectModes, Direct3DZoomsFromBAndSwitchesTheVirtualBackBufferOffForNone) {
  cFreshGameData fresh;
  gfxtest::Display display(gfxtest::kModes[1]);  // Direct3D, 32 bits
  ASSERT_TRUE(display.ok);
  const int saved = g_IniSettings.DD_VideoStretch;
  g_IniSettings.DD_VideoStretch = 1;
  EXPECT_EQ(ScreenEffectZoomSource(), &g_SurfaceData[kScreenEffectSlotB]);
  g_IniSettings.DD_VideoStretch = saved;

  g_Database.m_aScrEffect.assign(2, cScrEffectData());
  g_Database.m_aScrEffect[1].m_nKind = 0;
  BuildScrEffectPlays(g_ScrEffectPlays, g_ScrEffectPlaysRev);
  cScrEffectPlay play;
  play.StartScrEffect(1, 0, 0);
  DDSetVirtualBackBuffer(1);
  RunScreenEffect(play, cScreenEffectView{}, 0);
  EXPECT_EQ(lpDTCon->bVirtualBackBuffer, 0);
  EXPECT_EQ(play.nEffect, 1);  // "none" stays until another effect replaces it
}

TEST(ScreenEffectModes, TheLensClearsFourRadiiOfWorkSurfaceBAt16Bits) {
  cFreshGameData fresh;
  gfxtest::Display display(gfxtest::kModes[3]);  // DirectDraw, 16 bits
  ASSERT_TRUE(display.ok);
  g_calls.clear();
  cHooksGuard<cDrawTraceHooks> trace(SetDrawTraceHooks, cDrawTraceHooks{Record});
  g_Database.m_aScrEffect.assign(2, cScrEffectData());
  g_Database.m_aScrEffect[1].m_nKind = 12;
  g_Database.m_aScrEffect[1].m_anParams[0] = 10;
  BuildScrEffectPlays(g_ScrEffectPlays, g_ScrEffectPlaysRev);
  cScrEffectPlay play;
  play.StartScrEffect(1, 0, 0);
  RunScreenEffect(play, cScreenEffectView{}, 0);
  ASSERT_FALSE(g_calls.empty());
  EXPECT_EQ(g_calls[0].strName, "DDFillRect");
  EXPECT_EQ(g_calls[0].lpDst, &g_SurfaceData[kScreenEffectSlotB]);
  EXPECT_EQ(g_calls[0].adArgs, (std::vector<double>{0, 0, 1808, 1808, 0}));
}

}  // namespace
