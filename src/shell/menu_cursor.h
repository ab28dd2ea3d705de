#pragma once
// The menus' shared cursor: a stack of cursor positions. Opening a sub-menu pushes a position and
// closing it pops back to the position of the menu underneath. Every menu scene resets it on entry
// and at the end of its fade-out, and so do stage set-up and a stage's choice menus, so no menu ever
// inherits another one's positions. Only the game thread touches it.
#include <cstddef>
#include <cstdint>
#include <vector>

class cInputState;

// One cursor position.
struct CURSORENTRY {
  int32_t nColumn = 0;  // grid column, or the index in a horizontal list
  int32_t nRow = 0;     // grid row, or the index in a vertical list
  int32_t nX = 0;       // where the menu draws its cursor picture, recomputed by every move
  int32_t nY = 0;
};

class cMenuCursor {
 public:
  // One zeroed entry.
  cMenuCursor();
  // Exactly one entry again, zeroed.
  void ResetCursorStack();
  // A new top entry: zeroed (mode 0) or a copy of the old top (mode 1).
  void PushCursor(int mode);
  // Back to the entry underneath, when there is one: it is zeroed (mode 0), left as it was (mode 1:
  // the menu underneath finds its old position) or takes the removed entry's values (mode 2).
  void PopCursor(int mode);
  // The position menus move and read.
  CURSORENTRY& Top() { return m_aEntries.back(); }
  // The entry directly under the top, where some menus draw a second cursor; null with one entry.
  CURSORENTRY* Under() { return m_aEntries.size() >= 2 ? &m_aEntries[m_aEntries.size() - 2] : nullptr; }
  size_t Depth() const { return m_aEntries.size(); }

  // Moves the top entry in a grid by the input's direction word after the menu auto-repeat: one
  // column step (left before right) and one row step (up before down), each wrapping around (with no
  // rows or columns the field stays 0); then the picture position is origin + field x cell size.
  // Vertical menus pass a cell width of 0 and one column. Nothing happens for a negative count.
  void MoveGridCursor(const cInputState& input, int originX, int originY, int cellWidth, int cellHeight, int columns,
                      int rows);
  // Moves the top entry through a list of count entries of which window rows are shown from top
  // (the caller's first visible index, kept so that the cursor stays in view). vertical 1 moves the
  // row, 0 the column; up and down step in either orientation; with page left and right jump by a
  // page (one row less than the window); with wrap the cursor runs from one end to the other. The
  // picture is at origin + (index - top) x step along the list and at other across it.
  void MoveListCursor(const cInputState& input, int vertical, int32_t& top, int origin, int step, int other, int window,
                      int count, int page, int wrap);

 private:
  // Bottom first; never empty. Entries are reached by position, so growing never leaves a stale one.
  std::vector<CURSORENTRY> m_aEntries;
};

// The program's menu cursor.
extern cMenuCursor g_MenuCursor;
