// Composite drawing in every display mode: outlines and framed pictures, digit strips, and where
// the pieces of the wave, stripes, flip, burst and circle effects land.
#include <gtest/gtest.h>

#include <string>

#include "graphics_fixture.h"
#include "media/graphics/composite_draw.h"

using namespace gfxtest;

namespace {

// Palette index of the test sheet's pixel (x, y): neighbours differ, index 0 (transparent) and the
// background colour 7 never occur.
uint32_t SheetIndex(int x, int y) { return 20 + static_cast<uint32_t>((x * 7 + y * 3) % 230); }

constexpr int kBackground = 7;
constexpr int kFrameColour = 200;

class CompositeDrawTest : public ::testing::TestWithParam<Mode> {
 protected:
  void SetUp() override {
    display = std::make_unique<Display>(GetParam());
    ASSERT_TRUE(display->ok);
    std::vector<uint32_t> pal;
    for (int i = 0; i < 256; ++i) pal.push_back(PaletteColour(i));
    WriteFile(display->Dir() / "bmp/Character1.bmp", MakeBmp(
                                                         96, 32, [](int x, int y) { return SheetIndex(x, y); }, pal));
    const int slots[] = {4, 5};
    ASSERT_TRUE(DDLoadSurfaces(g_SurfaceData, slots, 2));
    sheet = &g_SurfaceData[4];
    twin = &g_SurfaceData[5];
    DDFillSurface(&g_BackBufferSD, kBackground);
  }
  void TearDown() override {
    DDReleaseSurfaceList(plain);
    display.reset();
  }
  static uint32_t Colour(uint32_t index) { return AsShown(PaletteColour(static_cast<int>(index))); }
  // The colour of the sheet's pixel (x, y) as the screen shows it.
  static uint32_t Src(int x, int y) { return Colour(SheetIndex(x, y)); }
  static uint32_t Background() { return Colour(kBackground); }
  static uint32_t At(int x, int y) { return ReadRgb(&g_BackBufferSD, x, y); }
  // Number of pixels of the rectangle that are not the background.
  static int Drawn(int x, int y, int w, int h) {
    int n = 0;
    for (int j = y; j < y + h; ++j) {
      for (int i = x; i < x + w; ++i) n += At(i, j) != Background();
    }
    return n;
  }
  // A surface of one palette colour.
  DDSURFACEDATA* Plain(int w, int h, uint32_t index) {
    EXPECT_TRUE(DDPushSurfaceList(plain, plainInfos, w, h, 1, 0, 0, 0));
    DDFillSurface(&plain.back(), index);
    return &plain.back();
  }
  std::unique_ptr<Display> display;
  DDSURFACEDATA* sheet = nullptr;
  DDSURFACEDATA* twin = nullptr;
  std::list<DDSURFACEDATA> plain;
  std::list<DDSURFACEINFO> plainInfos;
};

TEST_P(CompositeDrawTest, FrameRectDrawsTheOutlineInsideTheRectangle) {
  const int result = DDFrameRect(&g_BackBufferSD, 10, 20, 8, 6, 2, kFrameColour);
  EXPECT_EQ(result, lpDTCon ? 1 : 0);
  EXPECT_EQ(DDFillBatchSize(), 0u);  // the batch is closed again
  for (auto [x, y] : {std::pair{10, 20}, {17, 25}, {11, 21}, {16, 24}, {10, 24}, {17, 20}, {13, 25}}) {
    EXPECT_EQ(At(x, y), Colour(kFrameColour)) << x << "," << y;
  }
  // The inside beyond the thickness and everything outside stay untouched.
  EXPECT_EQ(Drawn(12, 22, 4, 2), 0);
  EXPECT_EQ(Drawn(9, 19, 10, 1) + Drawn(9, 26, 10, 1) + Drawn(9, 20, 1, 6) + Drawn(18, 20, 1, 6), 0);
}

TEST_P(CompositeDrawTest, FramedPictureHasItsFrameOutsideThePicture) {
  DDBltFramed(&g_BackBufferSD, 50, 60, 10, 8, sheet, 2, kFrameColour);
  EXPECT_EQ(At(50, 60), Src(0, 0));
  EXPECT_EQ(At(59, 67), Src(9, 7));
  EXPECT_EQ(At(55, 63), Src(5, 3));
  for (auto [x, y] : {std::pair{48, 58}, {49, 59}, {61, 69}, {60, 68}, {48, 64}, {61, 64}, {55, 58}, {55, 69}}) {
    EXPECT_EQ(At(x, y), Colour(kFrameColour)) << x << "," << y;
  }
  EXPECT_EQ(Drawn(47, 57, 16, 1) + Drawn(47, 70, 16, 1) + Drawn(47, 58, 1, 12) + Drawn(62, 58, 1, 12), 0);
}

TEST_P(CompositeDrawTest, NumbersAreRightAlignedOrCentredInTheirField) {
  constexpr int kCell = 4;
  struct Case {
    int n, minDigits, centre;
    int offset;
    const char* digits;
  };
  const Case cases[] = {
      {0, 0, 0, 0, "0"},
      {7, 3, 0, 2 * kCell, "7"},
      {7, 3, 1, kCell, "7"},
      {42, 5, 1, 3 * kCell / 2, "42"},
      {1234567890, 3, 0, 0, "1234567890"},
      {2147483647, 0, 0, 0, "2147483647"},
      {-35, 2, 0, kCell, "0"},  // no minus cell: a negative value shows as 0
  };
  for (const Case& c : cases) {
    DDFillRect(&g_BackBufferSD, 90, 90, 80, 20, kBackground);
    DDDrawNumber(&g_BackBufferSD, 100, 100, kCell, kCell, sheet, 0, 0, 1, c.n, c.minDigits, c.centre);
    const std::string digits = c.digits;
    const int left = 100 + c.offset;
    for (size_t k = 0; k < digits.size(); ++k) {
      const int d = digits[k] - '0';
      const int x = left + static_cast<int>(k) * kCell;
      EXPECT_EQ(At(x, 100), Src(d * kCell, 0)) << c.n << " digit " << k;
      EXPECT_EQ(At(x + kCell - 1, 100 + kCell - 1), Src(d * kCell + kCell - 1, kCell - 1)) << c.n << " digit " << k;
    }
    EXPECT_EQ(Drawn(90, 100, left - 90, kCell), 0) << c.n;
    const int right = left + static_cast<int>(digits.size()) * kCell;
    EXPECT_EQ(Drawn(right, 100, 170 - right, kCell), 0) << c.n;
  }
}

TEST_P(CompositeDrawTest, WaveMovesEachLineAlongTheSine) {
  // One wave over four one-pixel columns: line i uses the angle (i + 1) x 90 degrees.
  DDBltWave(&g_BackBufferSD, 100, 100, 4, 4, 1, 10.5, 0, 1, sheet, 0, 0, 1, 1);
  const int shift[] = {10, 0, -10, 0};
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(At(100 + c, 100 + shift[c]), Src(c, 0)) << c;
    EXPECT_EQ(At(100 + c, 103 + shift[c]), Src(c, 3)) << c;
    EXPECT_EQ(At(100 + c, 99 + shift[c]), Background()) << c;
    EXPECT_EQ(At(100 + c, 104 + shift[c]), Background()) << c;
  }
  // The same over rows.
  DDBltWave(&g_BackBufferSD, 300, 100, 4, 4, 1, 10.5, 0, 1, sheet, 0, 0, 1, 0);
  for (int r = 0; r < 4; ++r) {
    EXPECT_EQ(At(300 + shift[r], 100 + r), Src(0, r)) << r;
    EXPECT_EQ(At(303 + shift[r], 100 + r), Src(3, r)) << r;
    EXPECT_EQ(At(299 + shift[r], 100 + r), Background()) << r;
  }
}

TEST_P(CompositeDrawTest, WaveWithoutALineWidthDrawsNothingAndAWideLineIsCutToThePicture) {
  DDBltWave(&g_BackBufferSD, 100, 100, 8, 4, 1, 5.5, 90, 0, sheet, 0, 0, 1, 1);
  DDBltWave(&g_BackBufferSD, 100, 100, 8, 4, 1, 5.5, 90, -3, sheet, 0, 0, 1, 1);
  EXPECT_EQ(Drawn(90, 90, 30, 30), 0);
  // A line wider than the picture: one strip of the picture's width at the angle 90 + 900 degrees.
  DDBltWave(&g_BackBufferSD, 100, 100, 8, 4, 1, 5.5, 90, 20, sheet, 0, 0, 1, 1);
  EXPECT_EQ(At(100, 95), Src(0, 0));
  EXPECT_EQ(At(107, 98), Src(7, 3));
  EXPECT_EQ(Drawn(90, 90, 30, 30), 8 * 4);
}

TEST_P(CompositeDrawTest, StripesMoveOddAndEvenStripsApartAndDropTheRemainder) {
  // Columns 0-2 down, 3-5 up, 6-8 down; column 9 is not drawn.
  DDBltStripes(&g_BackBufferSD, 100, 100, 10, 4, 3, 2, sheet, 0, 0, 1, 1);
  for (int c = 0; c < 9; ++c) {
    const int dy = (c / 3) % 2 == 1 ? -2 : 2;
    EXPECT_EQ(At(100 + c, 100 + dy), Src(c, 0)) << c;
    EXPECT_EQ(At(100 + c, 103 + dy), Src(c, 3)) << c;
    EXPECT_EQ(At(100 + c, 104 + dy), Background()) << c;
    EXPECT_EQ(At(100 + c, 99 + dy), Background()) << c;
  }
  EXPECT_EQ(Drawn(109, 90, 1, 20), 0);
  // Rows: 0-2 right, 3-5 left, 6-8 right, row 9 not drawn.
  DDBltStripes(&g_BackBufferSD, 300, 100, 4, 10, 3, 2, sheet, 0, 0, 1, 0);
  for (int r = 0; r < 9; ++r) {
    const int dx = (r / 3) % 2 == 1 ? -2 : 2;
    EXPECT_EQ(At(300 + dx, 100 + r), Src(0, r)) << r;
    EXPECT_EQ(At(303 + dx, 100 + r), Src(3, r)) << r;
  }
  EXPECT_EQ(Drawn(290, 109, 20, 1), 0);
  // Strip width 0 draws the picture plainly.
  DDBltStripes(&g_BackBufferSD, 500, 100, 10, 10, 0, 2, sheet, 0, 0, 1, 1);
  EXPECT_EQ(At(500, 100), Src(0, 0));
  EXPECT_EQ(At(509, 109), Src(9, 9));
}

TEST_P(CompositeDrawTest, FlipSqueezesTheCardAndTurnsItAtTheNarrowestMoment) {
  DDSURFACEDATA* front = Plain(32, 32, 200);
  DDSURFACEDATA* back = Plain(32, 32, 50);
  struct Case {
    int phase, width;
    bool back;
  };
  const Case cases[] = {{0, 8, false}, {3, 2, false},  {4, 2, true},  {7, 8, true},
                        {8, 8, true},  {12, 2, false}, {16, 8, false}};
  for (const Case& c : cases) {
    DDFillRect(&g_BackBufferSD, 90, 90, 30, 20, kBackground);
    EXPECT_EQ(DDBltFlip(&g_BackBufferSD, 100, 100, 8, 4, front, 0, 0, back, 0, 0, 8, 4, 1, c.phase, 0), 1);
    const int inset = (8 - c.width) / 2;
    const uint32_t face = Colour(c.back ? 50 : 200);
    EXPECT_EQ(At(100 + inset, 101), face) << c.phase;
    EXPECT_EQ(At(100 + inset + c.width - 1, 102), face) << c.phase;
    EXPECT_EQ(Drawn(90, 100, 10 + inset, 4), 0) << c.phase;
    EXPECT_EQ(Drawn(100 + inset + c.width, 100, 20, 4), 0) << c.phase;
  }
  // Turning about the horizontal axis squeezes the height.
  DDFillRect(&g_BackBufferSD, 90, 90, 30, 30, kBackground);
  EXPECT_EQ(DDBltFlip(&g_BackBufferSD, 100, 100, 4, 8, front, 0, 0, back, 0, 0, 4, 8, 1, 3, 1), 1);
  EXPECT_EQ(At(101, 103), Colour(200));
  EXPECT_EQ(At(101, 104), Colour(200));
  EXPECT_EQ(Drawn(100, 90, 4, 13) + Drawn(100, 105, 4, 10), 0);
}

TEST_P(CompositeDrawTest, FlipDrawsNothingWithoutAWayToTurn) {
  DDSURFACEDATA* front = Plain(32, 32, 200);
  struct Case {
    int w, h, phase, axis;
  };
  // A card one pixel wide on its axis, a negative phase, an unknown axis.
  const Case cases[] = {{1, 8, 0, 0}, {8, 1, 0, 1}, {0, 8, 5, 0}, {8, 8, -1, 0}, {8, 8, -9, 1}, {8, 8, 0, 2}};
  for (const Case& c : cases) {
    EXPECT_EQ(DDBltFlip(&g_BackBufferSD, 100, 100, c.w, c.h, front, 0, 0, front, 0, 0, 8, 8, 1, c.phase, c.axis), 0);
  }
  EXPECT_EQ(Drawn(95, 95, 20, 20), 0);
}

TEST_P(CompositeDrawTest, BurstPushesTheQuartersOutward) {
  DDBltBurst(&g_BackBufferSD, 100, 100, 8, 6, sheet, 0, 0, 3, 1);
  EXPECT_EQ(At(97, 97), Src(0, 0));
  EXPECT_EQ(At(100, 99), Src(3, 2));
  EXPECT_EQ(At(107, 97), Src(4, 0));
  EXPECT_EQ(At(97, 106), Src(0, 3));
  EXPECT_EQ(At(107, 106), Src(4, 3));
  EXPECT_EQ(At(110, 108), Src(7, 5));
  EXPECT_EQ(Drawn(90, 90, 30, 30), 4 * 4 * 3);
  // An odd width leaves the last column out.
  DDFillRect(&g_BackBufferSD, 90, 90, 30, 30, kBackground);
  DDBltBurst(&g_BackBufferSD, 100, 100, 9, 6, sheet, 0, 0, 3, 1);
  EXPECT_EQ(At(110, 97), Src(7, 0));
  EXPECT_EQ(Drawn(90, 90, 30, 30), 4 * 4 * 3);
}

TEST_P(CompositeDrawTest, CircleOfRadiusOneDrawsNothing) {
  DDBltCircle(&g_BackBufferSD, 100, 100, 20, 20, 1, 1, sheet, 16, 16, 1);
  DDBltCircle(&g_BackBufferSD, 100, 100, 20, 20, 0, 1, sheet, 16, 16, 1);
  DDBltCircle(&g_BackBufferSD, 100, 100, 20, 20, 5, 0, sheet, 16, 16, 1);
  EXPECT_EQ(Drawn(90, 90, 20, 20), 0);
}

TEST_P(CompositeDrawTest, CircleDrawsOneChordPerRow) {
  // Radius 3: rows -2 .. 2 get half-chords of 2, which cover columns -2 .. 1 around the centre.
  DDBltCircle(&g_BackBufferSD, 100, 100, 20, 20, 3, 1, sheet, 16, 16, 1);
  EXPECT_EQ(At(98, 98), Src(14, 14));
  EXPECT_EQ(At(101, 102), Src(17, 18));
  EXPECT_EQ(Drawn(90, 90, 20, 20), 5 * 4);
  EXPECT_EQ(Drawn(98, 98, 4, 5), 5 * 4);
}

TEST_P(CompositeDrawTest, CircleStripsFollowTheDiscAndStayInsideTheBox) {
  // Radius 8 in strips of 4 rows: half-chords 5, 7, 7, 5 from the top strip down.
  DDBltCircle(&g_BackBufferSD, 100, 100, 20, 20, 8, 4, sheet, 16, 16, 1);
  EXPECT_EQ(At(100, 92), Src(16, 8));
  EXPECT_EQ(At(100, 107), Src(16, 23));
  EXPECT_EQ(At(93, 100), Src(9, 16));
  EXPECT_EQ(At(106, 99), Src(22, 15));
  EXPECT_EQ(At(95, 104), Src(11, 20));
  EXPECT_EQ(Drawn(90, 90, 30, 30), 4 * (10 + 14 + 14 + 10));
  // A box 5 wide and 6 high each side: the strips are moved inside it and the chords cut to it.
  DDFillRect(&g_BackBufferSD, 80, 80, 40, 40, kBackground);
  DDBltCircle(&g_BackBufferSD, 100, 100, 5, 6, 8, 4, sheet, 16, 16, 1);
  EXPECT_EQ(At(95, 94), Src(11, 10));
  EXPECT_EQ(At(104, 105), Src(20, 21));
  EXPECT_EQ(Drawn(80, 80, 40, 40), 10 * 12);
}

// DirectDraw keeps a mirrored twin as a surface of its own and draws the circle from it; Direct3D
// follows the twin to the picture it mirrors and shows that picture unmirrored.
TEST_P(CompositeDrawTest, CircleFromAMirroredTwinShowsItsOwnPictureOnlyInDirectDraw) {
  DDBlt(&g_BackBufferSD, 200, 0, 32, 32, lpDTCon ? sheet : twin, 0, 0, 1);
  DDBltCircle(&g_BackBufferSD, 116, 16, 16, 16, 10, 1, twin, 16, 16, 1);
  // Every row from -9 to 9 holds at least the columns -4 .. 3 of the disc.
  for (int dy = -9; dy <= 9; dy += 3) {
    for (int dx = -4; dx <= 3; ++dx) EXPECT_EQ(At(116 + dx, 16 + dy), At(216 + dx, 16 + dy)) << dx << "," << dy;
  }
  // The twin is the sheet mirrored within its 32-pixel cell.
  EXPECT_EQ(At(116, 16), lpDTCon ? Src(16, 16) : Src(15, 16));
}

INSTANTIATE_TEST_SUITE_P(AllModes, CompositeDrawTest, ::testing::ValuesIn(kModes),
                         [](const auto& info) { return std::string(info.param.name); });

// In Direct3D mode the pieces of an effect are queued in a layer of its own and drawn together,
// inside whatever layer the caller has open.
TEST(CompositeDrawLayers, EffectsCloseTheirOwnLayer) {
  Display d(kModes[1]);
  ASSERT_TRUE(d.ok);
  std::list<DDSURFACEDATA> l;
  std::list<DDSURFACEINFO> i;
  ASSERT_TRUE(DDPushSurfaceList(l, i, 32, 32, 1, 0, 0, 0));
  DDFillSurface(&l.back(), 200);
  DDFillSurface(&g_BackBufferSD, kBackground);
  DDBeginLayer(1);
  DDBltStripes(&g_BackBufferSD, 0, 0, 30, 10, 3, 1, &l.back(), 0, 0, 1, 1);
  DDBltWave(&g_BackBufferSD, 0, 40, 30, 10, 2, 3.0, 0, 2, &l.back(), 0, 0, 1, 0);
  DDBltBurst(&g_BackBufferSD, 0, 80, 30, 10, &l.back(), 0, 0, 2, 1);
  DDBltCircle(&g_BackBufferSD, 50, 150, 20, 20, 10, 2, &l.back(), 16, 16, 1);
  EXPECT_EQ(DDLayerDepth(), 1);
  EXPECT_TRUE(DDLayerDrawOrder().empty());  // every piece was drawn when its effect's layer closed
  DDEndLayer();
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 1, 2), PaletteColour(200));
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 50, 150), PaletteColour(200));
  DDReleaseSurfaceList(l);
}

}  // namespace
