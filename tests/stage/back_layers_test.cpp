// Background layers: where a picture starts for a view position, scroll factor and auto-scroll
// offset, the tiles that cover the screen with it, the auto-scroll step, the opaque first layer and
// the keyed others of both passes, a stage of more than eight layers, and a picture of a few dots
// drawn from a repeated tile with the same picture as the single tiles would make.
#include "stage/back_layers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "media/graphics/draw_trace.h"
#include "media/graphics/graphics_fixture.h"
#include "stage/scene_stage.h"
#include "stage/stage_pictures.h"
#include "test_support/fresh_play_objects.h"
#include "test_support/hooks_guard.h"

namespace {

std::vector<DDTRACECALL> g_calls;
void Record(const DDTRACECALL& call) { g_calls.push_back(call); }

struct cTrace {
  cTrace() { g_calls.clear(); }
  cHooksGuard<cDrawTraceHooks> guard{SetDrawTraceHooks, cDrawTraceHooks{Record}};
};

std::vector<std::vector<double>> Blits() {
  std::vector<std::vector<double>> blits;
  for (const DDTRACECALL& c : g_calls)
    if (c.strName == "DDBlt")
      blits.push_back({c.adArgs[0], c.adArgs[1], c.adArgs[2], c.adArgs[3], c.adArgs[4], c.adArgs[5]});
  return blits;
}

cScrollAxis Axis(double position) {
  cScrollAxis axis;
  axis.m_nMarginCells = 10;
  axis.m_dPosition = position;
  return axis;
}

TEST(BackLayerTiles, CoverTheScreenFromTheLayersStartingPoint) {
  using Blit = std::vector<double>;
  struct Case {
    int w, h;
    double x, y, factor;
    int autoX;
    double offsetX;
    int x0, y0;
    Blit first, second;
    Blit secondRow;  // empty: a single row
    size_t count;
  };
  const Case cases[] = {
      {640, 480, 320, 320, 0.1, 0, 0, 0, 0, {0, 0, 640, 480, 0, 0}, {}, {}, 1},
      {640, 480, 1320.4, 320, 0.1, 0, 0, 100, 0, {0, 0, 540, 480, 100, 0}, {540, 0, 640, 480, 0, 0}, {}, 2},
      {640, 480, 900, 320, 1, 0, 0, 580, 0, {0, 0, 60, 480, 580, 0}, {60, 0, 640, 480, 0, 0}, {}, 2},
      // An offset of -30 on a 100-dot picture: the row starts at source x 70 with a 30-dot tile.
      {100,
       100,
       320,
       320,
       1,
       1,
       -30,
       -30,
       0,
       {0, 0, 30, 100, 70, 0},
       {30, 0, 100, 100, 0, 0},
       {0, 100, 30, 100, 70, 0},
       40},
      {200,
       150,
       1000.7,
       700.9,
       0.5,
       0,
       0,
       340,
       190,
       {0, 0, 60, 110, 140, 40},
       {60, 0, 200, 110, 0, 40},
       {0, 110, 60, 150, 140, 0},
       16},
      // The x position is rounded, the y position truncated.
      {256,
       256,
       1320.5,
       1320.9,
       1,
       0,
       0,
       1001,
       1000,
       {0, 0, 23, 24, 233, 232},
       {23, 0, 256, 24, 0, 232},
       {0, 24, 23, 256, 233, 0},
       12},
      {256,
       256,
       1320.4,
       320,
       1,
       0,
       0,
       1000,
       0,
       {0, 0, 24, 256, 232, 0},
       {24, 0, 256, 256, 0, 0},
       {0, 256, 24, 256, 232, 0},
       8},
      {320,
       240,
       777.7,
       999.9,
       0,
       0,
       0,
       0,
       0,
       {0, 0, 320, 240, 0, 0},
       {320, 0, 320, 240, 0, 0},
       {0, 240, 320, 240, 0, 0},
       4},
      {64,
       64,
       320,
       320,
       0.25,
       1,
       97.5,
       97,
       0,
       {0, 0, 31, 64, 33, 0},
       {31, 0, 64, 64, 0, 0},
       {0, 64, 31, 64, 33, 0},
       88},
      {800, 600, 2320, 1320, 0.1, 0, 0, 200, 100, {0, 0, 600, 500, 200, 100}, {600, 0, 800, 500, 0, 100}, {}, 2},
      {100,
       100,
       820,
       320,
       -0.5,
       0,
       0,
       -250,
       0,
       {0, 0, 50, 100, 50, 0},
       {50, 0, 100, 100, 0, 0},
       {0, 100, 50, 100, 50, 0},
       35},
  };
  for (const Case& c : cases) {
    cBackLayer layer;
    layer.m_dFactorX = layer.m_dFactorY = c.factor;
    layer.m_bAutoScrollX = c.autoX;
    layer.m_dAutoOffsetX = c.offsetX;
    const int x0 = BackLayerStartX(layer, Axis(c.x));
    const int y0 = BackLayerStartY(layer, Axis(c.y));
    EXPECT_EQ(x0, c.x0) << c.w << "x" << c.h << " at " << c.x;
    EXPECT_EQ(y0, c.y0) << c.w << "x" << c.h << " at " << c.y;
    cTrace trace;
    EXPECT_EQ(TileBackPicture(&g_BackBufferSD, &g_SurfaceData[kSlotBackLayer], c.w, c.h, x0, y0, 1),
              static_cast<int>(c.count));
    const std::vector<Blit> blits = Blits();
    ASSERT_EQ(blits.size(), c.count) << c.w << "x" << c.h;
    EXPECT_EQ(blits[0], c.first) << c.w << "x" << c.h;
    if (!c.second.empty()) { EXPECT_EQ(blits[1], c.second) << c.w << "x" << c.h; }
    const auto secondRow = std::find_if(blits.begin(), blits.end(), [](const Blit& b) { return b[1] != 0; });
    if (c.secondRow.empty()) {
      EXPECT_EQ(secondRow, blits.end()) << c.w << "x" << c.h;
    } else {
      ASSERT_NE(secondRow, blits.end()) << c.w << "x" << c.h;
      EXPECT_EQ(*secondRow, c.secondRow) << c.w << "x" << c.h;
    }
  }
}

TEST(BackLayerTiles, APictureWithoutASizeDrawsNothing) {
  cTrace trace;
  EXPECT_EQ(TileBackPicture(&g_BackBufferSD, &g_SurfaceData[kSlotBackLayer], 0, 100, 5, 5, 1), 0);
  EXPECT_EQ(TileBackPicture(&g_BackBufferSD, &g_SurfaceData[kSlotBackLayer], 100, 0, 5, 5, 1), 0);
  EXPECT_TRUE(g_calls.empty());
}

TEST(BackLayerScroll, AnOffsetMovesByItsSpeedAndWrapsOnce) {
  struct Case {
    double before, speed;
    int size;
    double after;
  };
  const Case cases[] = {
      {0, 2.5, 100, 97.5}, {97.5, 2.5, 100, 95}, {1, 2.5, 100, 98.5}, {0, -3, 100, 3},
      {99, -3, 100, 2},    {0, 130, 100, -30},   {0, 250, 100, -150},
  };
  for (const Case& c : cases) EXPECT_EQ(ScrollBackOffset(c.before, c.speed, c.size), c.after) << c.before << c.speed;
}

// A stage scene over a display, whose background rows hold the pictures of its layers.
class BackLayerDisplay {
 public:
  explicit BackLayerDisplay(gfxtest::Mode mode) : m_Display(mode) {
    m_lpScene = std::make_unique<cSceneStage>();
    m_lpScene->m_ScrollX = Axis(320);
    m_lpScene->m_ScrollY = Axis(320);
  }
  ~BackLayerDisplay() {
    m_lpScene.reset();
    for (int row : BackLayerSurfaceRows()) DDReleaseSurface(&g_SurfaceData[row]);
  }
  bool Ok() const { return m_Display.ok; }
  void Picture(const std::string& name, int w, int h, const std::function<uint32_t(int, int)>& index) {
    gfxtest::WritePaletteBmp(m_Display.Dir() / name, w, h, index);
  }
  void Layers(const std::vector<cBackLayer>& layers) {
    g_StageFile.m_aLayers = layers;
    SetBackLayerPictures(layers);
    const std::vector<int>& rows = BackLayerSurfaceRows();
    ASSERT_TRUE(DDLoadSurfaces(g_SurfaceData, rows.data(), static_cast<int>(rows.size())));
    m_lpScene->m_BackTiles.Release();
  }
  cSceneStage& Scene() { return *m_lpScene; }

 private:
  cFreshPlayObjects m_Run;
  gfxtest::Display m_Display;
  std::unique_ptr<cSceneStage> m_lpScene;
};

cBackLayer PictureLayer(const char* file, int group, int shown = 1) {
  cBackLayer layer;
  layer.m_strPicture = file;
  layer.m_nGroup = group;
  layer.m_bShown = shown;
  layer.m_dFactorX = layer.m_dFactorY = 0;
  return layer;
}
cBackLayer ColourLayer(int colour, int group) {
  cBackLayer layer;
  layer.m_bColourFill = 1;
  layer.m_nColour = colour;
  layer.m_nGroup = group;
  return layer;
}

// The calls of a pass: "fill<colour>" for a screen fill, "L<i>:<flags>" for the tiles of layer i.
std::string PassWords() {
  std::string words;
  for (const DDTRACECALL& c : g_calls) {
    std::string word;
    if (c.strName == "DDFillRect" && c.lpDst == &g_BackBufferSD)
      word = "fill" + std::to_string(static_cast<int>(c.adArgs[4]));
    if (c.strName == "DDBlt" && c.lpDst == &g_BackBufferSD)
      word = "L" + std::to_string(c.lpSrc - &g_SurfaceData[kSlotBackLayer]) + ":" +
             std::to_string(static_cast<int>(c.adArgs[6]));
    if (word.empty() ||
        (words.size() >= word.size() && words.compare(words.size() - word.size(), word.size(), word) == 0))
      continue;
    words += (words.empty() ? "" : " ") + word;
  }
  return words;
}

// Behind everything, the first layer drawn is copied opaque and every later one keeps its
// transparent pixels; in front, every picture keeps them. A screen without a background drawn
// behind shows palette colour 16.
TEST(BackLayerPasses, TheFirstLayerBehindIsOpaqueAndEveryOtherKeyed) {
  BackLayerDisplay d({0, 32, "DD32"});
  ASSERT_TRUE(d.Ok());
  d.Picture("a.bmp", 64, 64, [](int x, int) { return 1u + x; });
  d.Picture("b.bmp", 64, 64, [](int, int y) { return 1u + y; });
  struct Case {
    std::vector<cBackLayer> layers;
    const char* behind;
    const char* front;
  };
  std::vector<cBackLayer> nine(8, PictureLayer("a.bmp", 0, 0));
  nine.push_back(ColourLayer(5, 0));
  const Case cases[] = {
      {{}, "fill16", ""},
      {{PictureLayer("a.bmp", 0, 0)}, "fill16", ""},  // none enabled
      {{PictureLayer("a.bmp", 0), PictureLayer("b.bmp", 0)}, "L0:0 L1:1", ""},
      {{ColourLayer(5, 0), PictureLayer("a.bmp", 0)}, "fill5 L1:1", ""},
      {{PictureLayer("missing.bmp", 0), PictureLayer("b.bmp", 0)}, "L1:0", ""},
      {{PictureLayer("missing.bmp", 0)}, "fill16", ""},
      {{PictureLayer("a.bmp", 1)}, "fill16", "L0:1"},
      {{PictureLayer("a.bmp", 0), ColourLayer(7, 1), PictureLayer("b.bmp", 1)}, "L0:0", "fill7 L2:1"},
      {{PictureLayer("a.bmp", 0, 0), PictureLayer("b.bmp", 0)}, "L1:0", ""},
      {{PictureLayer("a.bmp", 2)}, "fill16", ""},  // a group no pass draws
      {nine, "fill16", ""},                        // a ninth layer is left out
  };
  for (const Case& c : cases) {
    d.Layers(c.layers);
    {
      cTrace trace;
      d.Scene().DrawBackLayers(&g_BackBufferSD, 0);
      EXPECT_EQ(PassWords(), c.behind) << c.layers.size() << " layers";
    }
    cTrace trace;
    d.Scene().DrawBackLayers(&g_BackBufferSD, 1);
    EXPECT_EQ(PassWords(), c.front) << c.layers.size() << " layers";
  }
}

// A picture of 3 x 2 dots (with a transparent dot) over a colour layer: the screen shows the same
// picture in every display mode as tiling the picture itself would, from a repeated tile, in a few
// hundred blits instead of 320 x 240 tiles.
TEST(BackLayerPasses, ATinyPictureIsTiledFromARepeatedTile) {
  for (const gfxtest::Mode& mode : gfxtest::kModes) {
    BackLayerDisplay d(mode);
    ASSERT_TRUE(d.Ok()) << mode.name;
    // Palette index 1 + x + 3 y, and 0 (transparent) at (1, 1).
    const auto index = [](int x, int y) { return x == 1 && y == 1 ? 0u : static_cast<uint32_t>(1 + x + 3 * y); };
    d.Picture("tiny.bmp", 3, 2, index);
    cBackLayer layer = PictureLayer("tiny.bmp", 0);
    layer.m_dFactorX = layer.m_dFactorY = 1;
    d.Layers({ColourLayer(9, 0), layer});
    d.Scene().m_ScrollX.m_dPosition = 327;  // the picture starts at (7, 5): (1, 1) of the picture
    d.Scene().m_ScrollY.m_dPosition = 325;
    d.Scene().DrawBackLayers(&g_BackBufferSD, 0);
    for (int y = 0; y < 480; y += 7) {
      for (int x = 0; x < 640; x += 13) {
        const uint32_t i = index((7 + x) % 3, (5 + y) % 2);
        const uint32_t expected = gfxtest::AsShown(gfxtest::PaletteColour(i == 0 ? 9 : static_cast<int>(i)));
        ASSERT_EQ(gfxtest::ReadRgb(&g_BackBufferSD, x, y), expected) << mode.name << " at " << x << "," << y;
      }
    }
    ASSERT_EQ(gfxtest::ReadRgb(&g_BackBufferSD, 639, 479),
              gfxtest::AsShown(gfxtest::PaletteColour(static_cast<int>(index((7 + 639) % 3, (5 + 479) % 2)))))
        << mode.name;
    cTrace trace;
    d.Scene().DrawBackLayers(&g_BackBufferSD, 0);
    EXPECT_LE(Blits().size(), 150u) << mode.name;
  }
}

// On a DirectDraw surface the transparent colour is the palette bitmap's corner pixel, which need
// not be palette colour 0: a tiny picture's transparent dots still show what lies behind.
TEST(BackLayerPasses, ATinyPicturesTransparentDotsShowTheLayerBehindWhateverTheKey) {
  BackLayerDisplay d({0, 8, "DD8"});
  ASSERT_TRUE(d.Ok());
  g_dwColorKey = 12;
  d.Picture("tiny.bmp", 3, 2, [](int x, int y) { return x == 1 && y == 1 ? 12u : 1u; });
  cBackLayer layer = PictureLayer("tiny.bmp", 0);
  layer.m_dFactorX = layer.m_dFactorY = 1;
  d.Layers({ColourLayer(9, 0), layer});
  d.Scene().m_ScrollX.m_dPosition = 327;  // the picture starts at (7, 5): (1, 1) of the picture
  d.Scene().m_ScrollY.m_dPosition = 325;
  d.Scene().DrawBackLayers(&g_BackBufferSD, 0);
  EXPECT_EQ(gfxtest::ReadRgb(&g_BackBufferSD, 0, 0), gfxtest::AsShown(gfxtest::PaletteColour(9)));
  EXPECT_EQ(gfxtest::ReadRgb(&g_BackBufferSD, 3, 0), gfxtest::AsShown(gfxtest::PaletteColour(9)));
  EXPECT_EQ(gfxtest::ReadRgb(&g_BackBufferSD, 1, 0), gfxtest::AsShown(gfxtest::PaletteColour(1)));
}

}  // namespace
