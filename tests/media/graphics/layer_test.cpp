// Draw layers: sort keys, joins, what ends up on top, and the bitmap-font printf.
#include <gtest/gtest.h>

#include "core/log.h"
#include "graphics_fixture.h"

using namespace gfxtest;

namespace {

class LayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    display = std::make_unique<Display>(kModes[1]);
    ASSERT_TRUE(display->ok);
    ASSERT_TRUE(DDPushSurfaceList(sheets, infos, 64, 32, 1, 0, 0, 0));
    ASSERT_TRUE(DDPushSurfaceList(sheets, infos, 64, 32, 1, 0, 0, 0));
    a = &sheets.front();
    b = &sheets.back();
    DDFillRect(a, 0, 0, 64, 32, 200);
    DDFillRect(a, 0, 0, 64, 4, 0);  // transparent top rows
    DDFillRect(b, 0, 0, 64, 32, 50);
    DDFillSurface(&g_BackBufferSD, 7);
  }
  void TearDown() override {
    DDReleaseSurfaceList(sheets);
    display.reset();
  }
  std::vector<DDSURFACEDATA*> Sources() {
    std::vector<DDSURFACEDATA*> out;
    for (const DDLAYERDRAW& d : DDLayerDrawOrder()) out.push_back(d.lpSrc);
    return out;
  }
  std::unique_ptr<Display> display;
  std::list<DDSURFACEDATA> sheets;
  std::list<DDSURFACEINFO> infos;
  DDSURFACEDATA* a = nullptr;
  DDSURFACEDATA* b = nullptr;
};

TEST_F(LayerTest, GroupingDrawsEverySourceTogetherInFirstUseOrder) {
  DDBeginLayer(1);
  DDBlt(&g_BackBufferSD, 0, 0, 32, 32, a, 0, 0, 1);
  DDBlt(&g_BackBufferSD, 10, 10, 32, 32, b, 0, 0, 1);
  DDBlt(&g_BackBufferSD, 20, 20, 32, 32, a, 32, 0, 1);
  EXPECT_EQ(Sources(), (std::vector<DDSURFACEDATA*>{a, a, b}));
  DDEndLayer();
  // B was drawn last, so it is on top where the three overlap.
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 25, 25), PaletteColour(50));
}

TEST_F(LayerTest, WithoutGroupingDrawsInCallOrder) {
  DDBeginLayer(0);
  DDBlt(&g_BackBufferSD, 0, 0, 32, 32, a, 0, 0, 1);
  DDBlt(&g_BackBufferSD, 10, 10, 32, 32, b, 0, 0, 1);
  DDBlt(&g_BackBufferSD, 20, 20, 32, 32, a, 32, 0, 1);
  EXPECT_EQ(Sources(), (std::vector<DDSURFACEDATA*>{a, b, a}));
  DDEndLayer();
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 25, 25), PaletteColour(200));
}

TEST_F(LayerTest, KeyedTexturesFollowUnkeyedDrawsInRegistrationOrder) {
  DDSURFACEDATA* c = &g_WorkSD;
  DDBeginLayer(1);
  DDLayerAddTexture(b);
  DDLayerAddTexture(a);
  DDBlt(&g_BackBufferSD, 0, 0, 32, 32, a, 0, 0, 1);
  DDBlt(&g_BackBufferSD, 0, 0, 32, 32, b, 0, 0, 1);
  DDBlt(&g_BackBufferSD, 0, 0, 32, 32, c, 0, 0, 1);
  EXPECT_EQ(Sources(), (std::vector<DDSURFACEDATA*>{c, b, a}));
  DDEndLayer();
}

TEST_F(LayerTest, ACellKeyMatchesOnlyItsCell) {
  DDBeginLayer(1);
  DDLayerAddCell(a, 32, 0);
  DDBlt(&g_BackBufferSD, 0, 0, 32, 32, a, 32, 0, 1);  // the keyed cell: after everything else
  DDBlt(&g_BackBufferSD, 0, 0, 16, 16, a, 0, 16, 1);  // another cell: order 1
  DDBlt(&g_BackBufferSD, 0, 0, 32, 32, b, 0, 0, 1);   // order 2
  DDBlt(&g_BackBufferSD, 0, 0, 16, 16, a, 16, 0, 1);  // joins the unkeyed draw from the same sheet
  std::vector<DDLAYERDRAW> order = DDLayerDrawOrder();
  ASSERT_EQ(order.size(), 4u);
  EXPECT_EQ((std::array{order[0].nIndex, order[1].nIndex, order[2].nIndex, order[3].nIndex}), (std::array{1, 3, 2, 0}));
  EXPECT_EQ(order[3].bCellMatched, 1);
  DDEndLayer();
}

TEST_F(LayerTest, ManyUnkeyedDrawsNeverReachAKeyedTexture) {
  DDBeginLayer(1);
  DDLayerAddTexture(a);
  for (int i = 0; i < 100005; ++i) DDLayerQueue(&g_BackBufferSD, 0, 0, 1, 1, &g_WorkSD, i % 7, 0, 1, 1, 1);
  DDBlt(&g_BackBufferSD, 0, 0, 32, 32, a, 0, 0, 1);
  DDBlt(&g_BackBufferSD, 0, 0, 32, 32, b, 0, 0, 1);
  std::vector<DDLAYERDRAW> order = DDLayerDrawOrder();
  EXPECT_EQ(order.back().lpSrc, a);
  DDSuspendLayer();  // nothing more is queued; the queued draws are dropped with the layer below
  DDEndLayer();
}

TEST_F(LayerTest, AJoinOfOpaqueKeyedCopiesClearsEveryRectangleBeforeDrawing) {
  DDBeginLayer(1);
  DDBlt(&g_BackBufferSD, 0, 0, 32, 32, a, 0, 0, 0);
  DDBlt(&g_BackBufferSD, 0, 2, 32, 32, a, 0, 0, 0);
  DDEndLayer();
  // Rows 2-3 of the second copy are transparent: the first copy's pixels stay visible there.
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 5, 5), PaletteColour(200));
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 5, 1), kMagenta);
}

TEST_F(LayerTest, AfterTheFatalStopALayerClosesWithoutDrawing) {
  DDBeginLayer(1);
  DDBlt(&g_BackBufferSD, 0, 0, 32, 32, b, 0, 0, 1);  // queued before the stop
  g_bQuit = 1;
  DDBlt(&g_BackBufferSD, 40, 0, 32, 32, b, 0, 0, 1);
  DDEndLayer();
  g_bQuit = 0;
  EXPECT_EQ(DDLayerDepth(), 0);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 5, 5), PaletteColour(7));
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 45, 5), PaletteColour(7));
}

// A 101st layer opens nothing: its draws go to the 100th, and its DDEndLayer closes that one.
TEST_F(LayerTest, LayersNestUpToOneHundred) {
  for (int k = 0; k < kMaxLayers + 1; ++k) DDBeginLayer(0);
  EXPECT_EQ(DDLayerDepth(), kMaxLayers);
  DDBlt(&g_BackBufferSD, 0, 0, 32, 32, b, 0, 0, 1);
  EXPECT_EQ(DDLayerDrawOrder().size(), 1u);
  DDEndLayer();
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 5, 5), PaletteColour(50));
  EXPECT_EQ(DDLayerDepth(), kMaxLayers - 1);
  while (DDLayerDepth() > 0) DDEndLayer();
  DDEndLayer();  // without an open layer: nothing
}

TEST_F(LayerTest, LayersDoNothingInDirectDrawMode) {
  display.reset();
  DDReleaseSurfaceList(sheets);
  sheets.clear();
  infos.clear();
  Display dd(kModes[4]);
  ASSERT_TRUE(dd.ok);
  DDBeginLayer(1);
  EXPECT_EQ(DDLayerDepth(), 0);
  DDFillRect(&g_BackBufferSD, 0, 0, 4, 4, 200);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 1, 1), PaletteColour(200));
  DDEndLayer();
}

TEST_F(LayerTest, PrintfTakesKatakanaFromTheirRowsAndCutsLongTexts) {
  DDBeginLayer(0);
  DDPrintf(&g_BackBufferSD, 0, 0, 8, 8, a, "%s", "\xB1");
  EXPECT_EQ(DDLayerDepth(), 1);
  DDEndLayer();
  // 0xB1 comes from row 1, column 1: (8, 8) of the sheet, below its transparent rows.
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 3, 3), PaletteColour(200));
  std::string longText(600, 'x');
  DDPrintf(&g_BackBufferSD, 0, 0, 1, 1, a, "%s", longText.c_str());
  EXPECT_EQ(DDLayerDepth(), 0);
}

}  // namespace
