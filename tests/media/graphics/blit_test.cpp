// Blits and fills in every display mode: clipping, keyed and opaque copies, stretching, mirrored
// twins, fills and palette numbers.
#include <gtest/gtest.h>

#include "core/log.h"
#include "graphics_fixture.h"

using namespace gfxtest;

namespace {

// Sheet of three 32 x 32 cells: rows 0-3 transparent (index 0); columns 0-7 of each cell index 200,
// the rest index 50 + cell.
void WriteSheet(const Display& d) {
  std::vector<uint32_t> pal;
  for (int i = 0; i < 256; ++i) pal.push_back(PaletteColour(i));
  WriteFile(d.Dir() / "bmp/Character1.bmp", MakeBmp(
                                                96, 32,
                                                [](int x, int y) {
                                                  if (y < 4) return 0u;
                                                  return x % 32 < 8 ? 200u : static_cast<uint32_t>(50 + x / 32);
                                                },
                                                pal));
}

class BlitTest : public ::testing::TestWithParam<Mode> {
 protected:
  void SetUp() override {
    display = std::make_unique<Display>(GetParam());
    ASSERT_TRUE(display->ok);
    WriteSheet(*display);
    const int slots[] = {4, 5};
    ASSERT_TRUE(DDLoadSurfaces(g_SurfaceData, slots, 2));
    DDFillSurface(&g_BackBufferSD, 7);
  }
  void TearDown() override { display.reset(); }
  uint32_t Colour(int index) { return AsShown(PaletteColour(index)); }
  std::unique_ptr<Display> display;
};

TEST_P(BlitTest, KeyedCopyClipsAtTheLeftEdgeAndSkipsTransparentPixels) {
  DDBlt(&g_BackBufferSD, -10, 100, 32, 32, &g_SurfaceData[4], 0, 0, 1);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 0, 104), Colour(50));   // source column 10
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 21, 110), Colour(50));  // source column 31
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 22, 110), Colour(7));   // past the cell
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 5, 101), Colour(7));    // transparent row
}

TEST_P(BlitTest, OpaqueCopyOfAKeyedPictureShowsTheTransparentColourOnTheScreen) {
  DDBlt(&g_BackBufferSD, 600, 460, 32, 32, &g_SurfaceData[4], 0, 0, 0);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 610, 461), AsShown(kMagenta));
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 601, 465), Colour(200));
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 631, 479), Colour(50));  // clipped at the bottom
  DDBlt(&g_BackBufferSD, 620, 0, 32, 32, &g_SurfaceData[4], 0, 0, 0);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 639, 10), Colour(50));  // clipped at the right
}

TEST_P(BlitTest, MirroredTwinDrawsEachCellFlippedAndLeavesItsOriginalAlone) {
  DDBlt(&g_BackBufferSD, 0, 0, 32, 32, &g_SurfaceData[5], 32, 0, 1);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 31, 10), Colour(200));
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 24, 10), Colour(200));
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 23, 10), Colour(51));
  DDBlt(&g_BackBufferSD, 100, 0, 32, 32, &g_SurfaceData[4], 32, 0, 1);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 100, 10), Colour(200));
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 131, 10), Colour(51));
}

TEST_P(BlitTest, StretchDoublesACell) {
  DDBltStretch(&g_BackBufferSD, 0, 0, 64, 64, &g_SurfaceData[4], 0, 0, 32, 32, 0);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 15, 20), Colour(200));
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 17, 20), Colour(50));
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 63, 63), Colour(50));
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 64, 63), Colour(7));
}

// DirectDraw cuts a fill to the surface; Direct3D moves a fill that starts left of or above a
// render target to its edge with its width and height kept, so it reaches further than asked.
TEST_P(BlitTest, FillsAreCutToTheSurfaceAndUsePaletteColours) {
  const int reach = lpDTCon ? 10 : 5;  // rows (and, below, columns) a fill from -5 covers
  DDFillRect(&g_BackBufferSD, -5, -5, 700, 10, 200);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 0, 0), Colour(200));
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 639, reach - 1), Colour(200));
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 0, reach), Colour(7));
  DDFillRect(&g_BackBufferSD, -5, 100, 10, 3, 202);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, reach - 1, 101), Colour(202));
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, reach, 101), Colour(7));
  DDFillRect(&g_BackBufferSD, 630, 470, 20, 20, 201);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 639, 479), Colour(201));
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 629, 479), Colour(7));
  // A start past the far edge fills nothing.
  DDFillRect(&g_BackBufferSD, 700, 200, 20, 20, 201);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 639, 205), Colour(7));
  // A negative width is a refused rectangle in DirectDraw; Direct3D draws its quad leftward.
  DDFillRect(&g_BackBufferSD, 100, 300, -10, 2, 201);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 90, 300), lpDTCon ? Colour(201) : Colour(7));
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 99, 301), lpDTCon ? Colour(201) : Colour(7));
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 89, 300), Colour(7));
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 100, 300), Colour(7));
}

TEST_P(BlitTest, AfterTheFatalStopStretchedBlitsDrawNothing) {
  g_bQuit = 1;
  DDBltStretch(&g_BackBufferSD, 0, 0, 64, 64, &g_SurfaceData[4], 0, 0, 32, 32, 0);
  if (lpDTCon) DDBlt(&g_BackBufferSD, 100, 0, 32, 32, &g_SurfaceData[4], 0, 0, 0);  // a stretch of 1:1
  g_bQuit = 0;
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 20, 20), Colour(7));
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 120, 20), Colour(7));
}

TEST_P(BlitTest, CircleOfRadiusOnePlotsFourPoints) {
  DDCircle(&g_BackBufferSD, 50, 50, 1, 200);
  for (auto [x, y] : {std::pair{50, 49}, {50, 51}, {49, 50}, {51, 50}})
    EXPECT_EQ(ReadRgb(&g_BackBufferSD, x, y), Colour(200));
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 50, 50), Colour(7));
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 49, 49), Colour(7));
}

// A circle's point left of the surface: DirectDraw skips it, Direct3D fills it as a one-pixel
// fill, which lands on column 0.
TEST_P(BlitTest, CirclePointsLeftOfTheSurfaceLandOnItsEdgeOnlyInDirect3D) {
  DDCircle(&g_BackBufferSD, 0, 50, 1, 200);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 1, 50), Colour(200));
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 0, 49), Colour(200));
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 0, 50), lpDTCon ? Colour(200) : Colour(7));  // the point (-1, 50)
}

INSTANTIATE_TEST_SUITE_P(AllModes, BlitTest, ::testing::ValuesIn(kModes),
                         [](const auto& info) { return std::string(info.param.name); });

// A surface record of the given size, for the clipping rules alone.
DDSURFACEDATA SizedSurface(int width, int height) {
  DDSURFACEDATA sd{};
  sd.nWidth = width;
  sd.nHeight = height;
  return sd;
}

TEST(ClipBlit, SameSizeAndScaledRectanglesAreCutToBothSurfaces) {
  DDSURFACEDATA dst = SizedSurface(100, 50), src = SizedSurface(64, 32);
  DTCONTEXT direct3D;
  struct Case {
    bool d3d;
    int x, y, w, h, sx, sy, sw, sh;
    bool left;
    int ex, ey, ew, eh, esx, esy, esw, esh;
  };
  const Case cases[] = {
      // Same size (both modes alike). x < 0 cuts the left part.
      {false, -10, 0, 32, 32, 0, 0, 32, 32, true, 0, 0, 22, 32, 10, 0, 22, 32},
      // A wide source placed left of the destination is cut on both edges.
      {false, -10, 0, 200, 10, 0, 0, 200, 10, true, 0, 0, 54, 10, 10, 0, 54, 10},
      // Past the right and bottom edges.
      {false, 90, 40, 32, 32, 0, 0, 32, 32, true, 90, 40, 10, 10, 0, 0, 10, 10},
      // Above the destination and past the source's bottom: cut on both edges of y.
      {false, 0, -5, 16, 60, 0, 0, 16, 60, true, 0, 0, 16, 27, 0, 5, 16, 27},
      // A source rectangle starting left of its surface is cut there; the destination stays, so
      // the picture lands 5 columns further left than an uncut copy would put it.
      {false, 10, 0, 32, 32, -5, 0, 32, 32, true, 10, 0, 27, 32, 0, 0, 27, 32},
      // Cut on both sides: the source to 0, then the destination's -10 moves the source start on.
      {true, -10, -3, 32, 32, -5, -4, 32, 32, true, 0, 0, 17, 25, 10, 3, 17, 25},
      // Past the source's right edge.
      {true, 0, 0, 32, 32, 48, 0, 32, 32, true, 0, 0, 16, 32, 48, 0, 16, 32},
      // Entirely outside.
      {false, 100, 0, 32, 32, 0, 0, 32, 32, false, 0, 0, 0, 0, 0, 0, 0, 0},
      // Empty sizes.
      {false, 0, 0, 0, 32, 0, 0, 0, 32, false, 0, 0, 0, 0, 0, 0, 0, 0},
      // Scaled: inside both surfaces nothing changes.
      {false, 10, 10, 64, 32, 0, 0, 32, 16, true, 10, 10, 64, 32, 0, 0, 32, 16},
      // Scaled, source past its right edge: the destination keeps its place and the kept share.
      {false, 0, 0, 64, 32, 48, 0, 32, 16, true, 0, 0, 32, 32, 48, 0, 16, 16},
      // DirectDraw cuts a scaled destination on its left and on its right and bottom edges.
      {false, -16, 0, 64, 32, 0, 0, 32, 16, true, 0, 0, 48, 32, 8, 0, 24, 16},
      {false, 80, 40, 64, 32, 0, 0, 32, 16, true, 80, 40, 20, 10, 0, 0, 10, 5},
      {false, -64, 0, 64, 32, 0, 0, 32, 16, false, 0, 0, 0, 0, 0, 0, 0, 0},
      {false, 100, 0, 64, 32, 0, 0, 32, 16, false, 0, 0, 0, 0, 0, 0, 0, 0},
      // Mirrored extents exist only in Direct3D mode.
      {false, 0, 0, 64, 64, 32, 0, -32, 32, false, 0, 0, 0, 0, 0, 0, 0, 0},
      // Direct3D leaves a scaled destination to the device.
      {true, -16, 0, 64, 32, 0, 0, 32, 16, true, -16, 0, 64, 32, 0, 0, 32, 16},
      // Mirrored inside the source; mirrored past the source's left edge keeps its direction.
      {true, 0, 0, 64, 64, 32, 0, -32, 32, true, 0, 0, 64, 64, 32, 0, -32, 32},
      {true, 0, 0, 64, 32, 16, 0, -32, 16, true, 0, 0, 32, 32, 16, 0, -16, 16},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.d3d ? "D3D " : "DD ") << c.x << "," << c.y << " " << c.w << "x" << c.h
                                    << " from " << c.sx << "," << c.sy << " " << c.sw << "x" << c.sh);
    lpDTCon = c.d3d ? &direct3D : nullptr;
    int x = c.x, y = c.y, w = c.w, h = c.h, sx = c.sx, sy = c.sy, sw = c.sw, sh = c.sh;
    bool left = DDClipBlit(&dst, x, y, w, h, &src, sx, sy, sw, sh);
    lpDTCon = nullptr;
    EXPECT_EQ(left, c.left);
    if (!left || !c.left) continue;
    EXPECT_EQ((std::array{x, y, w, h, sx, sy, sw, sh}),
              (std::array{c.ex, c.ey, c.ew, c.eh, c.esx, c.esy, c.esw, c.esh}));
  }
}

// A same-size copy starting left of the destination keeps the source's far edge: what reaches past
// the destination is left to the device, which clips it. One starting inside is cut at the far edge.
TEST(ClipBlit, OnlyADestinationStartingInsideIsCutAtItsFarEdge) {
  DDSURFACEDATA dst = SizedSurface(100, 50), src = SizedSurface(300, 32);
  int x = -10, y = 0, w = 200, h = 32, sx = 0, sy = 0, sw = 200, sh = 32;
  ASSERT_TRUE(DDClipBlit(&dst, x, y, w, h, &src, sx, sy, sw, sh));
  EXPECT_EQ((std::array{x, w, sx, sw}), (std::array{0, 190, 10, 190}));
  x = 20, w = 200, sx = 50, sw = 200;
  ASSERT_TRUE(DDClipBlit(&dst, x, y, w, h, &src, sx, sy, sw, sh));
  EXPECT_EQ((std::array{x, w, sx, sw}), (std::array{20, 80, 50, 80}));
}

TEST(MirrorSource, ACellPartIsLookedUpMirroredInsideItsCell) {
  Display d(kModes[1]);
  ASSERT_TRUE(d.ok);
  DDSURFACEDATA base{}, twin{};
  twin.lpAlias = &base;
  twin.nMirrorX = 32;
  int sx = 40, sy = 0, sw = 16, sh = 32;
  DDMirrorSource(&twin, sx, sy, sw, sh);
  EXPECT_EQ(sx, 56);
  EXPECT_EQ(sw, -16);
  sx = 32;
  sw = 32;
  DDMirrorSource(&twin, sx, sy, sw, sh);
  EXPECT_EQ(sx, 64);
  EXPECT_EQ(sw, -32);
}
}  // namespace

namespace {

TEST(Direct3DBlits, AlphaBlitModulatesByTheVertexColourAndResetsTheState) {
  Display d(kModes[1]);
  ASSERT_TRUE(d.ok);
  std::list<DDSURFACEDATA> l;
  std::list<DDSURFACEINFO> i;
  ASSERT_TRUE(DDPushSurfaceList(l, i, 8, 8, 1, 0, 0, 0));
  DDFillSurface(&l.back(), 241);  // white
  DDFillSurface(&g_BackBufferSD, 7);
  // Colour operation 4 (modulate): white x 0x80 rounds to 0x80; the alpha stays the texture's.
  DDBltAlpha(&g_BackBufferSD, 0, 0, 8, 8, &l.back(), 0, 0, 1, DDALPHA{static_cast<int>(0xFF8040C0u), 4});
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 3, 3), 0x8040C0u);
  EXPECT_EQ(lpDTCon->dwVertexColor, 0xFFFFFFFFu);
  EXPECT_EQ(lpDTCon->nColorOp, 4);
  // An opaque copy with the alpha operation disabled takes the vertex alpha (opaque white).
  DDSetFilter(1);
  DDBlt(&g_BackBufferSD, 10, 0, 8, 8, &l.back(), 0, 0, 0);
  DDResetFilter();
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 13, 3), 0xFFFFFFu);
  DDReleaseSurfaceList(l);
}

// Palette number 0 is transparent in Direct3D mode: it clears a keyed texture to transparent and
// draws nothing on the screen, inside a fill batch as well as outside one.
TEST(Direct3DBlits, ColourZeroIsTransparentInsideAndOutsideAFillBatch) {
  Display d(kModes[1]);
  ASSERT_TRUE(d.ok);
  std::list<DDSURFACEDATA> l;
  std::list<DDSURFACEINFO> i;
  ASSERT_TRUE(DDPushSurfaceList(l, i, 8, 8, 1, 0, 0, 0));
  DDFillSurface(&l.back(), 200);
  DDFillSurface(&g_BackBufferSD, 7);
  DDBeginFillBatch();
  DDFillRect(&g_BackBufferSD, 0, 0, 4, 4, 0);
  DDFillRect(&l.back(), 0, 0, 4, 4, 0);  // keyed target: cleared at once, not batched
  DDFillRect(&g_BackBufferSD, 10, 10, 4, 4, 200);
  EXPECT_EQ(DDFillBatchSize(), 2u);
  DDEndFillBatch();
  DDFillRect(&g_BackBufferSD, 20, 20, 4, 4, 0);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 1, 1), PaletteColour(7));
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 21, 21), PaletteColour(7));
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 11, 11), PaletteColour(200));
  EXPECT_EQ(ReadRaw(&l.back(), 1, 1), 0u);
  EXPECT_EQ(ReadRgb(&l.back(), 5, 5), PaletteColour(200));
  DDFillRect(&g_BackBufferSD, 0, 0, 1, 1, 300);  // refused number: acts as colour 0
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 0, 0), PaletteColour(7));
  DDReleaseSurfaceList(l);
}

// An opaque copy of a keyed picture shows the transparent colour on BackBuffer but leaves those
// pixels transparent inside a keyed texture.
TEST(Direct3DBlits, AnOpaqueCopyIntoAKeyedTextureKeepsTransparentPixelsTransparent) {
  for (Mode mode : {kModes[0], kModes[1]}) {
    SCOPED_TRACE(mode.name);
    Display d(mode);
    ASSERT_TRUE(d.ok);
    std::list<DDSURFACEDATA> l;
    std::list<DDSURFACEINFO> i;
    ASSERT_TRUE(DDPushSurfaceList(l, i, 8, 8, 1, 0, 0, 0));  // picture: keyed, rows 0-1 transparent
    ASSERT_TRUE(DDPushSurfaceList(l, i, 8, 8, 1, 0, 0, 0));  // target: keyed texture
    DDSURFACEDATA* picture = &l.front();
    DDSURFACEDATA* target = &l.back();
    DDFillSurface(picture, 200);
    DDFillRect(picture, 0, 0, 8, 2, 0);
    DDFillSurface(target, 50);
    DDBlt(target, 0, 0, 8, 8, picture, 0, 0, 0);
    EXPECT_EQ(ReadRaw(target, 3, 0), 0u);
    EXPECT_EQ(ReadRgb(target, 3, 5), AsShown(PaletteColour(200)));
    DDReleaseSurfaceList(l);
  }
}

// Fills of a batch are drawn in call order, run by run (targets A, B, A: three runs), so a later
// fill covers an earlier one.
TEST(Direct3DBlits, AFillBatchDrawsInCallOrder) {
  Display d(kModes[1]);
  ASSERT_TRUE(d.ok);
  std::list<DDSURFACEDATA> l;
  std::list<DDSURFACEINFO> i;
  ASSERT_TRUE(DDPushSurfaceList(l, i, 8, 8, 0, 0, 0, 0));
  DDFillSurface(&g_BackBufferSD, 7);
  DDBeginFillBatch();
  DDFillRect(&g_BackBufferSD, 0, 0, 8, 8, 200);
  DDFillRect(&l.back(), 0, 0, 8, 8, 51);
  DDFillRect(&g_BackBufferSD, 4, 4, 8, 8, 50);
  EXPECT_EQ(DDFillBatchSize(), 3u);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 5, 5), PaletteColour(7));  // nothing drawn before the end
  DDEndFillBatch();
  EXPECT_EQ(DDFillBatchSize(), 0u);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 2, 2), PaletteColour(200));
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 5, 5), PaletteColour(50));
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 10, 10), PaletteColour(50));
  EXPECT_EQ(ReadRgb(&l.back(), 3, 3), PaletteColour(51));
  // After the batch fills draw at once again.
  DDFillRect(&g_BackBufferSD, 20, 20, 2, 2, 201);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 20, 20), PaletteColour(201));
  DDReleaseSurfaceList(l);
}

TEST(Direct3DBlits, SixteenBitPixelCopiesTestTheKeyThroughBits15And13) {
  Display d(kModes[0]);
  ASSERT_TRUE(d.ok);
  DDSURFACEDATA src{}, dst{};
  ASSERT_TRUE(DDCreateSurface(&src, 4, 1, 1, 1, 1, 0, 0));  // system-memory textures: pixel path
  ASSERT_TRUE(DDCreateSurface(&dst, 4, 1, 1, 1, 1, 0, 0));
  {
    cSurfaceLock lock(&src);
    ASSERT_TRUE(lock.IsLocked());
    const uint16_t pixels[] = {0x0000, 0x2000, 0x8000, 0x1FFF};
    for (int x = 0; x < 4; ++x) lock.Row16(0)[x] = pixels[x];
  }
  {
    cSurfaceLock lock(&dst);
    for (int x = 0; x < 4; ++x) lock.Row16(0)[x] = 0x1234;
  }
  DDBlt(&dst, 0, 0, 4, 1, &src, 0, 0, 1);
  EXPECT_EQ(ReadRaw(&dst, 0, 0), 0x1234u);
  EXPECT_EQ(ReadRaw(&dst, 1, 0), 0x2000u);
  EXPECT_EQ(ReadRaw(&dst, 2, 0), 0x8000u);
  EXPECT_EQ(ReadRaw(&dst, 3, 0), 0x1234u);
  DDReleaseSurface(&src);
  DDReleaseSurface(&dst);
}

}  // namespace
