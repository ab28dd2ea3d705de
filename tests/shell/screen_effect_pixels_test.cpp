// Screen effects drawn for real on a 32-bit screen in both drawing modes (Direct3D with the virtual
// back buffer on, as the stage has it while an effect runs): every pixel of the picture after one
// frame, for the records that would otherwise lose part of the picture or all of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "data/anim_scripts.h"
#include "data/database.h"
#include "media/graphics/graphics_fixture.h"
#include "shell/screen_effect.h"
#include "test_support/fresh_game_data.h"

namespace {

constexpr int kW = 640, kH = 480;

// The picture the stage drew: no pixel is transparent (alpha 255, never the magenta key).
uint32_t Painted(int x, int y) {
  return 0xFF000000u | static_cast<uint32_t>(x & 255) << 16 | static_cast<uint32_t>(y & 255) << 8 |
         static_cast<uint32_t>((x + y) % 200 + 20);
}
const uint32_t kCleared = gfxtest::PaletteColour(16);

struct PixelCase {
  const char* name;
  int type;
  std::array<int, 5> params;
  // The colour (0xRRGGBB) expected at (x, y).
  std::function<uint32_t(int x, int y)> expected;
  bool ends;
};

uint32_t Unchanged(int x, int y) { return Painted(x, y) & 0xFFFFFF; }
// A strip moved by d along the other axis: the picture from d back, or the cleared colour.
uint32_t MovedX(int x, int y, int d) { return x - d >= 0 && x - d < kW ? Unchanged(x - d, y) : kCleared; }
uint32_t MovedY(int x, int y, int d) { return y - d >= 0 && y - d < kH ? Unchanged(x, y - d) : kCleared; }

const PixelCase kCases[] = {
    // Seven rows of ceil(480 / 7) = 69 leave 66 rows; they are the seventh strip (even: moved right).
    {"SplitXSevenKeepsEveryRow",
     4,
     {10, 20, 80, 7, 0},
     [](int x, int y) {
       const int strip = std::min(y / 69, 6);
       return MovedX(x, y, strip % 2 == 1 ? -20 : 20);
     },
     false},
    // Three columns of 214 leave 212 columns: the third strip (even: moved down).
    {"SplitYThreeKeepsEveryColumn",
     5,
     {10, 20, 80, 3, 0},
     [](int x, int y) {
       const int strip = std::min(x / 214, 2);
       return MovedY(x, y, strip % 2 == 1 ? -20 : 20);
     },
     false},
    // Six columns of 107 leave 105: the sixth strip (odd: moved up).
    {"SplitYSixMovesTheLastColumnsUp",
     5,
     {10, 20, 80, 6, 0},
     [](int x, int y) {
       const int strip = std::min(x / 107, 5);
       return MovedY(x, y, strip % 2 == 1 ? -20 : 20);
     },
     false},
    {"SplitCountZeroIsOneStripMovedRight", 4, {10, 20, 80, 0, 0}, [](int x, int y) { return MovedX(x, y, 20); }, false},
    {"MosaicOfStrengthZeroShowsThePicture", 13, {10, 0, 60, 0, 0}, Unchanged, false},
    {"WaveOfCoarsenessZeroShowsThePicture", 6, {10, 0, 0, 1, 0}, Unchanged, false},
    {"CircleOfCoarsenessZeroShowsTheDiscOverTheScreen", 10, {10, 1000, 1000, 0, 0}, Unchanged, false},
    {"ZoomOf640ShowsThePicture", 11, {10, 640, 640, 0, 0}, Unchanged, false},
    {"MoveWithoutRunningTimeDrawsOnceInPlace", 1, {0, 0, 0, 100, 0}, Unchanged, true},
};

struct Param {
  gfxtest::Mode mode;
  PixelCase pixels;
};
void PrintTo(const Param& p, std::ostream* os) { *os << p.mode.name << " " << p.pixels.name; }
std::vector<Param> AllParams() {
  std::vector<Param> out;
  for (const gfxtest::Mode& m : {gfxtest::kModes[1], gfxtest::kModes[4]})
    for (const PixelCase& c : kCases) out.push_back({m, c});
  return out;
}

class ScreenEffectPixelTest : public ::testing::TestWithParam<Param> {
 protected:
  void SetUp() override {
    m_Display = std::make_unique<gfxtest::Display>(GetParam().mode);
    ASSERT_TRUE(m_Display->ok);
    const int slots[] = {kScreenEffectSlotA, kScreenEffectSlotB};
    ASSERT_TRUE(DDLoadSurfaces(g_SurfaceData, slots, 2));
    LinkMirrorSurfaces();
    if (lpDTCon) DDSetVirtualBackBuffer(1);
    cSurfaceLock lock(Picture());
    ASSERT_TRUE(lock.IsLocked());
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) *reinterpret_cast<uint32_t*>(lock.PixelAddress(x, y)) = Painted(x, y);
  }
  void TearDown() override { m_Display.reset(); }
  // Where the stage's picture is: the virtual back buffer in Direct3D mode.
  static DDSURFACEDATA* Picture() { return lpDTCon ? &g_VirBackBufferSD : &g_BackBufferSD; }

  cFreshGameData m_Fresh;
  std::unique_ptr<gfxtest::Display> m_Display;
};

TEST_P(ScreenEffectPixelTest, EveryPixelAfterOneFrame) {
  const PixelCase& c = GetParam().pixels;
  g_Database.m_aScrEffect.assign(2, cScrEffectData());
  g_Database.m_aScrEffect[1].m_nKind = c.type;
  for (int i = 0; i < 5; ++i) g_Database.m_aScrEffect[1].m_anParams[i] = c.params[static_cast<size_t>(i)];
  BuildScrEffectPlays(g_ScrEffectPlays, g_ScrEffectPlaysRev);
  cScrEffectPlay play;
  play.StartScrEffect(1, 0, 0);
  RunScreenEffect(play, cScreenEffectView{}, 0);
  EXPECT_EQ(play.nEffect == 0, c.ends);

  // After an effect ends, the picture has been copied to the back buffer itself.
  cSurfaceLock lock(c.ends ? &g_BackBufferSD : Picture());
  ASSERT_TRUE(lock.IsLocked());
  int wrong = 0;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const uint32_t got = *reinterpret_cast<const uint32_t*>(lock.PixelAddress(x, y)) & 0xFFFFFF;
      const uint32_t want = c.expected(x, y);
      if (got != want && wrong++ < 5)
        ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << got << " not " << want;
    }
  EXPECT_EQ(wrong, 0);
}

INSTANTIATE_TEST_SUITE_P(Records, ScreenEffectPixelTest, ::testing::ValuesIn(AllParams()), [](const auto& info) {
  return std::string(info.param.mode.name) + "_" + info.param.pixels.name;
});

}  // namespace
