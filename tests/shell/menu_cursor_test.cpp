// The menus' cursor stack: push, pop by mode, reset, and a pop that would empty it.
#include <gtest/gtest.h>

#include "shell/input_state.h"
#include "shell/menu_cursor.h"

namespace {

CURSORENTRY At(int32_t column, int32_t row) { return CURSORENTRY{column, row, column * 16, row * 16}; }

bool Same(const CURSORENTRY& a, const CURSORENTRY& b) {
  return a.nColumn == b.nColumn && a.nRow == b.nRow && a.nX == b.nX && a.nY == b.nY;
}

TEST(MenuCursorTest, ASubMenuReturnsToThePositionOfTheMenuUnderneath) {
  cMenuCursor cursor;
  cursor.Top() = At(1, 3);
  cursor.PushCursor(0);
  EXPECT_TRUE(Same(cursor.Top(), CURSORENTRY()));
  ASSERT_NE(cursor.Under(), nullptr);
  EXPECT_TRUE(Same(*cursor.Under(), At(1, 3)));
  cursor.Top() = At(0, 2);
  cursor.PopCursor(1);
  EXPECT_TRUE(Same(cursor.Top(), At(1, 3)));
  EXPECT_EQ(cursor.Under(), nullptr);
}

TEST(MenuCursorTest, PopModesDecideWhatTheEntryUnderneathKeeps) {
  struct Case {
    int mode;
    CURSORENTRY expected;
  };
  for (const Case& c : {Case{0, CURSORENTRY()}, Case{1, At(1, 3)}, Case{2, At(4, 5)}}) {
    cMenuCursor cursor;
    cursor.Top() = At(1, 3);
    cursor.PushCursor(1);
    EXPECT_TRUE(Same(cursor.Top(), At(1, 3)));  // mode 1 starts from the old top
    cursor.Top() = At(4, 5);
    cursor.PopCursor(c.mode);
    EXPECT_EQ(cursor.Depth(), 1u);
    EXPECT_TRUE(Same(cursor.Top(), c.expected)) << "mode " << c.mode;
  }
}

TEST(MenuCursorTest, TheStackNeverEmptiesAndResetLeavesOneZeroedEntry) {
  cMenuCursor cursor;
  cursor.Top() = At(2, 2);
  cursor.PopCursor(0);  // ignored
  EXPECT_EQ(cursor.Depth(), 1u);
  EXPECT_TRUE(Same(cursor.Top(), At(2, 2)));
  for (int i = 0; i < 100; ++i) cursor.PushCursor(1);  // the storage moves as it grows
  EXPECT_TRUE(Same(cursor.Top(), At(2, 2)));
  cursor.ResetCursorStack();
  EXPECT_EQ(cursor.Depth(), 1u);
  EXPECT_TRUE(Same(cursor.Top(), CURSORENTRY()));
  EXPECT_EQ(cursor.Under(), nullptr);
}

}  // namespace

namespace {

cInputState Pressing(uint16_t dir) {
  cInputState input;
  input.m_wDir = dir;
  return input;
}

// The grid cursor: one step per axis (left before right, up before down), wrapping on both axes,
// and the pixel position from the origin and the cell size.
TEST(MenuCursorTest, TheGridCursorWrapsOnBothAxesAndPlacesItsPicture) {
  struct Case {
    uint16_t dir;
    int32_t column, row;  // before
    int columns, rows;
    int32_t columnAfter, rowAfter;
  };
  const Case cases[] = {
      {kDirUp, 0, 0, 1, 7, 0, 6},                // up on the first of 7 rows: the last
      {kDirDown, 0, 6, 1, 7, 0, 0},              // down on the last: the first
      {kDirDown, 0, 2, 1, 7, 0, 3},              //
      {kDirUp | kDirDown, 0, 2, 1, 7, 0, 1},     // up wins over down
      {kDirLeft | kDirRight, 1, 0, 3, 1, 0, 0},  // left wins over right
      {kDirLeft, 0, 0, 3, 2, 2, 0},              //
      {kDirRight | kDirDown, 2, 1, 3, 2, 0, 0},  // both axes in one move
      {0, 0, 9, 1, 4, 0, 0},                     // a row beyond the last wraps without a move
      {kDirUp, 0, 0, 1, 0, 0, 0},                // no rows: the row ends at 0
      {kDirDown, 0, 0, 1, 0, 0, 0},              //
  };
  for (const Case& c : cases) {
    cMenuCursor cursor;
    cursor.Top().nColumn = c.column;
    cursor.Top().nRow = c.row;
    cursor.MoveGridCursor(Pressing(c.dir), 100, 200, 48, 16, c.columns, c.rows);
    EXPECT_EQ(cursor.Top().nColumn, c.columnAfter) << "dir " << c.dir << " from " << c.column << "," << c.row;
    EXPECT_EQ(cursor.Top().nRow, c.rowAfter) << "dir " << c.dir << " from " << c.column << "," << c.row;
    EXPECT_EQ(cursor.Top().nX, 100 + c.columnAfter * 48);
    EXPECT_EQ(cursor.Top().nY, 200 + c.rowAfter * 16);
  }
}

TEST(MenuCursorTest, AGridWithANegativeCountIsLeftAlone) {
  cMenuCursor cursor;
  cursor.Top() = At(1, 2);
  cursor.MoveGridCursor(Pressing(kDirDown), 100, 200, 0, 16, 1, -1);
  EXPECT_TRUE(Same(cursor.Top(), At(1, 2)));
  cursor.MoveGridCursor(Pressing(kDirDown), 100, 200, 0, 16, -1, 3);
  EXPECT_TRUE(Same(cursor.Top(), At(1, 2)));
}

// The list cursor over 25 entries with a 20-row window, vertical (origin y 160, step 16, x 40).
TEST(MenuCursorTest, TheListCursorKeepsItsWindowOverALongList) {
  struct Case {
    uint16_t dir;
    int32_t pos, top;
    int page, wrap;
    int32_t posAfter, topAfter;
  };
  const Case cases[] = {
      {kDirDown, 19, 0, 1, 0, 20, 1},   // down at the window's last row scrolls it
      {kDirDown, 5, 0, 1, 0, 6, 0},     //
      {kDirUp, 20, 1, 1, 0, 19, 1},     // inside the window
      {kDirUp, 20, 20, 1, 0, 19, 5},    // up at the window's first row scrolls it (then kept in range)
      {kDirRight, 0, 0, 1, 0, 19, 5},   // a page: 19, the top clamped to 25 - 20
      {kDirRight, 19, 5, 1, 0, 24, 5},  // the last page: the last entry
      {kDirLeft, 24, 5, 1, 0, 5, 0},    // a page back (the top kept at 0)
      {kDirLeft, 7, 0, 1, 0, 0, 0},     // the first page: the first entry
      {kDirRight, 0, 0, 0, 0, 0, 0},    // without paging left and right do nothing
      {kDirUp, 0, 0, 1, 1, 24, 5},      // wrap: from the first to the last
      {kDirDown, 24, 5, 1, 1, 0, 0},    // and from the last to the first
      {kDirUp, 0, 0, 1, 0, 0, 0},       // without wrap it stays
      {kDirDown, 24, 5, 1, 0, 24, 5},   //
  };
  for (const Case& c : cases) {
    cMenuCursor cursor;
    cursor.Top().nRow = c.pos;
    int32_t top = c.top;
    cursor.MoveListCursor(Pressing(c.dir), 1, top, 160, 16, 40, 20, 25, c.page, c.wrap);
    EXPECT_EQ(cursor.Top().nRow, c.posAfter) << "dir " << c.dir << " from " << c.pos << " top " << c.top;
    EXPECT_EQ(top, c.topAfter) << "dir " << c.dir << " from " << c.pos << " top " << c.top;
    EXPECT_EQ(cursor.Top().nY, 160 + (c.posAfter - c.topAfter) * 16);
    EXPECT_EQ(cursor.Top().nX, 40);
  }
}

TEST(MenuCursorTest, AHorizontalListMovesTheColumnAndAnEmptyListStaysAtZero) {
  cMenuCursor cursor;
  cursor.Top().nRow = 7;  // not the horizontal list's field
  int32_t top = 0;
  cursor.MoveListCursor(Pressing(kDirDown), 0, top, 64, 32, 300, 4, 10, 0, 0);
  EXPECT_EQ(cursor.Top().nColumn, 1);
  EXPECT_EQ(cursor.Top().nRow, 7);
  EXPECT_EQ(cursor.Top().nX, 64 + 32);
  EXPECT_EQ(cursor.Top().nY, 300);

  cMenuCursor empty;
  int32_t emptyTop = 0;
  for (uint16_t dir : {kDirUp, kDirDown, kDirLeft, kDirRight}) {
    empty.MoveListCursor(Pressing(dir), 1, emptyTop, 160, 16, 40, 10, 0, 1, 1);
    EXPECT_EQ(empty.Top().nRow, 0) << "dir " << dir;
    EXPECT_EQ(emptyTop, 0) << "dir " << dir;
  }
}

}  // namespace
