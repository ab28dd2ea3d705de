// The block test of objects against the stage's block table (a column and a row are checked each on
// its own, so a column past the row's end never reads the next row and a row outside the table is
// no block, not a fatal stop), its rectangle form for trial places, and the choice of a surface's
// mirrored twin.
#include <gtest/gtest.h>

#include <utility>

#include "data/block_type.h"
#include "media/graphics/surface_table.h"
#include "objects/object.h"
#include "objects/play_objects.h"
#include "test_support/stage_harness.h"

namespace {

// A stage of 10 x 4 cells: the block table has rows of 32 cells (30 used) and 24 rows; one block at
// stage cell (9, 3), table cell (19, 13).
class ObjectBlocksTest : public ::testing::Test {
 protected:
  ObjectBlocksTest() : h({"H.........", "..........", "..........", ".........#"}) {}
  static cObject AtCells(int column, int row, int column2, int row2, int kind = 0) {
    cObject o;
    o.m_nCellX = column;
    o.m_nCellY = row;
    o.m_nCellX2 = column2;
    o.m_nCellY2 = row2;
    o.m_nKind = kind;
    return o;
  }
  cStageHarness h;
};

}  // namespace

TEST_F(ObjectBlocksTest, AnyCornerInASolidBlock) {
  ASSERT_EQ(h.Stage().BlockRowShift(), 5);
  EXPECT_TRUE(AtCells(19, 13, 19, 13).CornersInSolidTile());
  EXPECT_TRUE(AtCells(18, 12, 19, 13).CornersInSolidTile());  // bottom right
  EXPECT_TRUE(AtCells(19, 12, 20, 13).CornersInSolidTile());  // bottom left
  EXPECT_TRUE(AtCells(18, 13, 19, 14).CornersInSolidTile());  // top right
  EXPECT_TRUE(AtCells(19, 13, 20, 14).CornersInSolidTile());  // top left
  EXPECT_FALSE(AtCells(17, 11, 18, 12).CornersInSolidTile());
  // A block its kind passes through, and a block whose contact is none.
  h.Cell(9, 3).m_nPassGroup = 4;
  EXPECT_FALSE(AtCells(19, 13, 19, 13, 4).CornersInSolidTile());
  EXPECT_TRUE(AtCells(19, 13, 19, 13, 3).CornersInSolidTile());
  h.Cell(9, 3).m_nContact = 0;
  EXPECT_FALSE(AtCells(19, 13, 19, 13, 3).CornersInSolidTile());
}

TEST_F(ObjectBlocksTest, ColumnsAndRowsOutsideTheTableHoldNoBlock) {
  // Table cell (0, 13), in the margin, is made solid: column 32 of row 12 has the same index.
  static_cast<cBlockType&>(h.Cell(-10, 3)) = HarnessBlockType(1);
  EXPECT_TRUE(AtCells(0, 13, 0, 13).CornersInSolidTile());
  EXPECT_FALSE(AtCells(32, 12, 32, 12).CornersInSolidTile());
  EXPECT_EQ(BlockAtCell(32, 12), nullptr);
  EXPECT_EQ(BlockAtCell(0, 13), &h.Cell(-10, 3));
  EXPECT_EQ(BlockAtCell(31, 23), &g_BlockTable.back());
  // Above, left of and below the table: no block and no fatal stop (the harness fails on one).
  EXPECT_FALSE(AtCells(19, -1, 19, -1).CornersInSolidTile());
  EXPECT_FALSE(AtCells(-1, 13, -1, 13).CornersInSolidTile());
  EXPECT_FALSE(AtCells(19, 24, 19, 24).CornersInSolidTile());
  EXPECT_EQ(BlockAtCell(-2147483647 - 1, 0), nullptr);
  EXPECT_EQ(BlockAtCell(0, 2147483647), nullptr);
}

TEST_F(ObjectBlocksTest, ARectangleIsTestedAtItsCorners) {
  cObject o = AtCells(19, 13, 19, 13);  // its own cells, in the block, do not matter
  ASSERT_TRUE(o.CornersInSolidTile());
  const double left = 19 * 32, top = 13 * 32;  // the block's first dot
  EXPECT_TRUE(CornersInSolidTileObj(o, cDblRect{left - 10, top - 10, left + 0.5, top + 0.5}));
  EXPECT_FALSE(CornersInSolidTileObj(o, cDblRect{left - 10, top - 10, left - 0.5, top + 0.5}));
  EXPECT_TRUE(CornersInSolidTileObj(o, cDblRect{left + 31.9, top + 31.9, left + 40, top + 40}));
  EXPECT_FALSE(CornersInSolidTileObj(o, cDblRect{left + 32, top, left + 40, top + 20}));
  // Truncation toward zero, then >> 5: -0.5 is cell 0, -1 is cell -1 (outside).
  EXPECT_FALSE(CornersInSolidTileObj(o, cDblRect{-1, -1, -0.5, -0.5}));
  o.m_nKind = 0;
  h.Cell(9, 3).m_nPassGroup = 0;
  EXPECT_FALSE(CornersInSolidTileObj(o, cDblRect{left, top, left + 1, top + 1}));
}

TEST(SurfaceSlotFor, TheMirroredTwinWhenTheGraphicsKeepTwins) {
  // Slots 20 and 38 (its twin) get an image for the test; the table is put back afterwards.
  const DDSURFACEDATA saved20 = g_SurfaceData[20], saved38 = g_SurfaceData[38];
  const int savedTwins = g_bMirrorTwins;
  DDRAWSURFACEDATA half;
  auto image = [&](int slot, bool on) {
    g_SurfaceData[slot].lpDD = on ? &half : nullptr;
    g_SurfaceData[slot].lpDT = nullptr;
    g_SurfaceData[slot].nWidth = on ? 32 : 0;
  };
  struct Case {
    int twins, slot20, slot38, mirrored, expected;
  };
  const Case cases[] = {
      {1, 1, 1, 1, 38}, {1, 1, 0, 1, 20},  // the twin when it holds an image
      {1, 1, 1, 0, 20}, {1, 0, 1, 0, 38},  // unmirrored: the twin stands in for a missing image
      {1, 0, 0, 2, 20}, {0, 0, 1, 1, 20},  // other values; no twins kept
      {0, 0, 1, 0, 20},
  };
  for (const Case& c : cases) {
    g_bMirrorTwins = c.twins;
    image(20, c.slot20);
    image(38, c.slot38);
    EXPECT_EQ(SurfaceSlotFor(20, c.mirrored), c.expected) << c.twins << c.slot20 << c.slot38 << c.mirrored;
  }
  g_bMirrorTwins = 1;
  EXPECT_EQ(SurfaceSlotFor(60, 0), 60);  // no twin inside the table
  EXPECT_EQ(SurfaceSlotFor(-5, 0), -5);
  g_SurfaceData[20] = saved20;
  g_SurfaceData[38] = saved38;
  g_bMirrorTwins = savedTwins;
}
