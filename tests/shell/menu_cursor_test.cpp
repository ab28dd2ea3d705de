// The menus' cursor stack: push, pop by mode, reset, and a pop that would empty it.
#include <gtest/gtest.h>

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
