// Sampling the block map along a character's edges, on 3 x 3-cell stages: the cell of a map dot,
// the samples along vertical and horizontal edges and their choice rules, the floor cell of a
// player-operated character, the corner cells, and clamping outside the map.
#include "stage/map_sampling.h"

#include <gtest/gtest.h>

#include "stage/contact_fixture.h"

TEST(MapSampling, ADotLiesInTheCellOfItsBlockTableRowClampedIntoTheMap) {
  cStageHarness h(BlockStage({"H..", "...", "..."}));
  // 23 cells with margins on each axis: rows of 32 cells (shift 5), 736 dots across and down.
  EXPECT_EQ(MapCellIndex(CellDot(0), CellDot(0)), h.CellIndex(0, 0));
  EXPECT_EQ(MapCellIndex(CellDot(2) + 31, CellDot(1) + 5), h.CellIndex(2, 1));
  EXPECT_EQ(MapCellIndex(CellDot(2) + 32, CellDot(1)), h.CellIndex(3, 1));  // the margin on the right
  EXPECT_EQ(MapCellIndex(-40, -3), 0);
  EXPECT_EQ(MapCellIndex(100000, 100000), 22 + (22 << 5));
}

TEST(MapSampling, CellContactFollowsTheBlockKindAndItsPassGroup) {
  cStageHarness h(BlockStage({"H#D", "P..", "..."}));
  EXPECT_EQ(CellContact(h.CellIndex(1, 0), 0), 1);
  EXPECT_EQ(CellContact(h.CellIndex(2, 0), 0), 2);
  EXPECT_EQ(CellContact(h.CellIndex(0, 1), 0), 1);
  EXPECT_EQ(CellContact(h.CellIndex(0, 1), 3), 0);  // the block's pass group walks through it
  EXPECT_EQ(CellContact(h.CellIndex(1, 1), 0), 0);
  EXPECT_EQ(CellContact(0, 0), 0);  // cell 0, the answer for "no cell", is an empty margin cell
}

// A vertical edge is sampled from its top, one base height less a dot apart, scale + 1 times.
TEST(MapSampling, AVerticalEdgeTakesScalePlusOneSamplesDownward) {
  cStageHarness h(BlockStage({"H#.", ".#.", "..."}));
  struct Case {
    double y;
    int scale;
    int expected;  // stage cell, or -1 for the first sample's cell
  };
  // Base height 24; the block column lies at x 352..383, rows 0 and 1.
  const Case cases[] = {
      {280, 1, -1},  // samples at 280 and 303: both above the map's first row
      {280, 2, 0},   // a third sample at 326 reaches row 0
      {305, 1, 0},   // the bottom end alone lies in the block: still found
  };
  for (const Case& c : cases) {
    cProbeChara chara;
    MakeWalker(chara, 360, c.y);
    SetBox(chara, 360, c.y, 16, 24, c.scale);
    const int x = 360;
    const int cell = FindContactCell(chara, x, TruncToInt(chara.m_dY), x, TruncToInt(chara.m_dY2));
    const int expected = c.expected < 0 ? MapCellIndex(x, TruncToInt(c.y)) : h.CellIndex(1, c.expected);
    EXPECT_EQ(cell, expected) << "y " << c.y << " scale " << c.scale;
  }
}

TEST(MapSampling, OnAVerticalEdgeTheGreatestContactWinsAndTheFirstAmongEquals) {
  cStageHarness h(BlockStage({"H#.", ".D.", ".#."}));
  cProbeChara chara;
  MakeWalker(chara, 360, 0);
  SetBox(chara, 360, CellDot(0) + 8, 16, 24, 3);  // samples at 328, 351, 374, 397: rows 0, 0, 1, 2
  EXPECT_EQ(FindContactCell(chara, 360, TruncToInt(chara.m_dY), 360, TruncToInt(chara.m_dY2)), h.CellIndex(1, 1));
  h.Cell(1, 1).m_nContact = 1;  // all solid now: the top sample stays
  EXPECT_EQ(FindContactCell(chara, 360, TruncToInt(chara.m_dY), 360, TruncToInt(chara.m_dY2)), h.CellIndex(1, 0));
}

// Across a horizontal edge the sample nearest the middle wins among equal contacts: with scale 2 the
// middle sample lies on the middle, so a character across two floor blocks takes the one under its
// centre; with scale 1 the middle lies a dot nearer the left end, which wins.
TEST(MapSampling, OnAHorizontalEdgeTheSampleNearestTheMiddleWinsAmongEquals) {
  cStageHarness h(BlockStage({"H..", "...", "##D"}));
  const int y = TruncToInt(CellDot(2)) + 3;
  struct Case {
    double x;
    int scale;
    int expectedColumn;
  };
  const Case cases[] = {
      {340, 1, 0},  // 340 (column 0) and 355 (column 1), 7 and 8 dots from the middle 347
      {340, 2, 1},  // 340, 355, 370: the middle sample 355 lies in column 1
      {330, 2, 0},  // 330, 345, 360: the middle sample lies in column 0
      {370, 1, 2},  // 370 (column 1, solid) and 385 (column 2, deadly): the greater contact wins
  };
  for (const Case& c : cases) {
    cProbeChara chara;
    MakeWalker(chara, c.x, 0);
    SetBox(chara, c.x, CellDot(1), 16, 24, c.scale);
    const int x1 = TruncToInt(chara.m_dX);
    const int x2 = TruncToInt(chara.m_dX2);
    EXPECT_EQ(FindContactCell(chara, x1, y, x2, y), h.CellIndex(c.expectedColumn, 2)) << "x " << c.x;
  }
}

TEST(MapSampling, NoLineOrNoSamplesGiveCellZero) {
  cStageHarness h(BlockStage({"H#.", "...", "..."}));
  cProbeChara chara;
  MakeWalker(chara, 352, CellDot(0));
  EXPECT_EQ(FindContactCell(chara, 352, 330, 360, 340), 0);  // a rectangle is not an edge
  chara.m_Type.m_nScale = -1;
  EXPECT_EQ(FindContactCell(chara, 360, 330, 360, 340), 0);  // no sample at all
}

// Every sample is clamped into the map, so no look-up leaves the block table: positions beyond the
// map, and a base height of 0 whose steps would walk upward past the top.
TEST(MapSampling, SamplesOutsideTheMapAreClampedToItsEdgeCells) {
  cStageHarness h(BlockStage({"H..", "...", "..."}));
  cProbeChara chara;
  MakeWalker(chara, 0, 0);
  EXPECT_EQ(FindContactCell(chara, -100, -100, -100, -50), 0);
  EXPECT_EQ(FindContactCell(chara, 5000, 5000, 5000, 6000), 22 + (22 << 5));
  EXPECT_EQ(FindContactCell(chara, -20, 5000, 5000, 5000), 22 << 5);
  chara.m_nBaseHeight = 0;
  chara.m_Type.m_nScale = 3;
  EXPECT_EQ(FindContactCell(chara, 400, 0, 400, 30), MapCellIndex(400, 0));
  chara.m_nBaseWidth = 0;
  EXPECT_EQ(FindContactCell(chara, 0, 400, 30, 400), MapCellIndex(0, 400));
}

TEST(MapSampling, ThePlayerFloorCellIsTheSampleUnderTheMiddleAmongEquals) {
  cStageHarness h(BlockStage({"H..", "...", "##D"}));
  struct Case {
    double x;
    int scale;
    int expectedColumn;
  };
  const Case cases[] = {
      {340, 1, 0},  // 340, 348 and (last) 355 around the middle 347: 348 in column 0
      {345, 1, 1},  // 345, 353, 360 around 352: 353 in column 1
      {330, 2, 0},  // 3 samples 330, 346, 361 (width 32, step 16) around 345: 346 in column 0
      {340, 2, 1},  // 340, 356, 371 around 355: 356 in column 1
      {370, 1, 2},  // the deadly block under the right end wins by its contact
      {345, 0, 1},  // scale 0: one sample, at the right end 360 (no spacing to divide by)
  };
  for (const Case& c : cases) {
    cProbeChara chara;
    MakeWalker(chara, c.x, 0);
    SetBox(chara, c.x, CellDot(2) - 20, 16, 24, c.scale);
    if (c.scale == 0) {  // the box keeps its size; only the sampling reads the scale
      SetBox(chara, c.x, CellDot(2) - 20, 16, 24);
      chara.m_Type.m_nScale = 0;
    }
    EXPECT_EQ(FindPlayerFloorCell(chara), h.CellIndex(c.expectedColumn, 2)) << "x " << c.x << " scale " << c.scale;
  }
}

TEST(MapSampling, TheFirstCornerOfGreatestContactWinsAndCornersAreClamped) {
  cStageHarness h(BlockStage({"H.D", "#..", ".#."}));
  // Corners top-left, top-right, bottom-left, bottom-right in stage cells, with the margin.
  EXPECT_EQ(FindCornerContactCell(10, 10, 12, 11, 0), h.CellIndex(2, 0));  // the deadly corner
  EXPECT_EQ(FindCornerContactCell(10, 11, 11, 12, 0), h.CellIndex(0, 1));  // two solid: the first
  EXPECT_EQ(FindCornerContactCell(11, 10, 11, 11, 0), h.CellIndex(1, 0));  // none: the first
  EXPECT_EQ(FindCornerContactCell(-5, -5, 99, 99, 0), 0);
  EXPECT_EQ(FindCornerContactCell(99, 99, 99, 99, 0), 22 + (22 << 5));
}
