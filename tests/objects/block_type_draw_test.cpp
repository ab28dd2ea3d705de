// Drawing a block type onto the back buffer in every display mode: its cell of the block sheet with
// the colour key, and the icon over it only when the icon display is 1, graphic 0 included.
#include "objects/block_type_draw.h"

#include <gtest/gtest.h>

#include <memory>

#include "media/graphics/graphics_fixture.h"
#include "objects/graphic_source.h"

using namespace gfxtest;

namespace {

constexpr int kBackground = 7;

// Block n (15 to a column): its cell filled with palette index 30 + n below four transparent rows.
uint32_t BlockPixel(int x, int y) {
  if (y % 32 < 4) return 0;
  return static_cast<uint32_t>(30 + (x / 32) * 15 + y / 32);
}

// Icon i (15 to a column): an 8 x 8 square of index 150 + i in the cell's top-left corner.
uint32_t IconPixel(int x, int y) {
  if (x % 32 >= 8 || y % 32 >= 8) return 0;
  return static_cast<uint32_t>(150 + (x / 32) * 15 + y / 32);
}

class BlockTypeDrawTest : public ::testing::TestWithParam<Mode> {
 protected:
  void SetUp() override {
    display = std::make_unique<Display>(GetParam());
    ASSERT_TRUE(display->ok);
    std::vector<uint32_t> pal;
    for (int i = 0; i < 256; ++i) pal.push_back(PaletteColour(i));
    WriteFile(display->Dir() / "bmp/Block.bmp", MakeBmp(3 * 32, 15 * 32, BlockPixel, pal));
    WriteFile(display->Dir() / "bmp/Mark.bmp", MakeBmp(2 * 32, 15 * 32, IconPixel, pal));
    const int slots[] = {kSlotBlockSheet, kSlotBlockCopy, kSlotIconSheet, kSlotIconCopy};
    ASSERT_TRUE(DDLoadSurfaces(g_SurfaceData, slots, 4));
    SelectIconSurfaces();
    DDFillSurface(&g_BackBufferSD, kBackground);
    block.m_nGraphic = 17;  // column 1, row 2
    block.m_nIcon = 17;     // column 1, row 2
  }
  void TearDown() override {
    display.reset();
    SelectIconSurfaces();
  }
  static uint32_t Colour(int index) { return AsShown(PaletteColour(index)); }
  static uint32_t At(int x, int y) { return ReadRgb(&g_BackBufferSD, x, y); }

  std::unique_ptr<Display> display;
  cBlockType block;
};

TEST_P(BlockTypeDrawTest, DrawsItsCellWithTheColourKeyAndItsIconOverIt) {
  block.m_nIconDisplay = 1;
  DrawBlockType(block, &g_BackBufferSD, 100, 60);
  EXPECT_EQ(At(100 + 20, 60 + 2), Colour(kBackground));  // transparent rows of the block
  EXPECT_EQ(At(100 + 20, 60 + 4), Colour(30 + 17));
  EXPECT_EQ(At(100 + 31, 60 + 31), Colour(30 + 17));
  EXPECT_EQ(At(100 + 32, 60 + 31), Colour(kBackground));  // nothing past the cell
  EXPECT_EQ(At(100 + 2, 60 + 2), Colour(150 + 17));       // icon over a transparent row
  EXPECT_EQ(At(100 + 7, 60 + 7), Colour(150 + 17));       // icon over the block
  EXPECT_EQ(At(100 + 8, 60 + 7), Colour(30 + 17));        // the icon's own transparent pixels
}

TEST_P(BlockTypeDrawTest, IconShownOnlyInTheEditorOrHiddenIsNotDrawn) {
  for (int shown : {0, 2}) {
    DDFillSurface(&g_BackBufferSD, kBackground);
    block.m_nIconDisplay = static_cast<int8_t>(shown);
    DrawBlockType(block, &g_BackBufferSD, 0, 0);
    EXPECT_EQ(At(2, 2), Colour(kBackground)) << shown;
    EXPECT_EQ(At(2, 6), Colour(30 + 17)) << shown;
  }
}

TEST_P(BlockTypeDrawTest, GraphicZeroDrawsTheFirstCellAndItsIconWhenShown) {
  block.m_nGraphic = 0;
  for (int shown : {0, 1}) {
    DDFillSurface(&g_BackBufferSD, kBackground);
    block.m_nIconDisplay = static_cast<int8_t>(shown);
    DrawBlockType(block, &g_BackBufferSD, 0, 0);
    EXPECT_EQ(At(20, 20), Colour(30)) << shown;  // cell 0 of the block sheet
    EXPECT_EQ(At(2, 2), shown ? Colour(150 + 17) : Colour(kBackground)) << shown;
  }
}

TEST_P(BlockTypeDrawTest, ClipsAtTheEdgesOfTheTarget) {
  block.m_nIconDisplay = 1;
  DrawBlockType(block, &g_BackBufferSD, 630, -20);
  EXPECT_EQ(At(639, 0), Colour(30 + 17));  // source row 20, column 9
  DrawBlockType(block, &g_BackBufferSD, -4, 470);
  EXPECT_EQ(At(0, 472), Colour(150 + 17));  // icon column 4
  EXPECT_EQ(At(27, 479), Colour(30 + 17));
}

INSTANTIATE_TEST_SUITE_P(Modes, BlockTypeDrawTest, ::testing::ValuesIn(kModes),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
