#include "shell/menu_cursor.h"

#include <algorithm>

#include "shell/input_state.h"

cMenuCursor::cMenuCursor() : m_aEntries(1) {}

void cMenuCursor::ResetCursorStack() { m_aEntries.assign(1, CURSORENTRY()); }

void cMenuCursor::PushCursor(int mode) {
  const CURSORENTRY top = m_aEntries.back();
  m_aEntries.push_back(mode == 1 ? top : CURSORENTRY());
}

void cMenuCursor::PopCursor(int mode) {
  // A pop on the bottom entry is ignored: the stack never empties.
  if (m_aEntries.size() < 2) return;
  const CURSORENTRY removed = m_aEntries.back();
  m_aEntries.pop_back();
  if (mode == 0) m_aEntries.back() = CURSORENTRY();
  if (mode == 2) m_aEntries.back() = removed;
}

namespace {

// A field after a step, wrapped into 0..count-1; with no entries it stays 0.
int32_t Wrapped(int32_t value, int count) {
  if (value < 0) value = count - 1;
  if (value >= count) value = 0;
  return value < 0 ? 0 : value;
}

}  // namespace

void cMenuCursor::MoveGridCursor(const cInputState& input, int originX, int originY, int cellWidth, int cellHeight,
                                 int columns, int rows) {
  if (columns < 0 || rows < 0) return;
  CURSORENTRY& top = Top();
  const uint16_t dir = input.m_wDir;
  if (dir & kDirLeft) {
    --top.nColumn;
  } else if (dir & kDirRight) {
    ++top.nColumn;
  }
  if (dir & kDirUp) {
    --top.nRow;
  } else if (dir & kDirDown) {
    ++top.nRow;
  }
  top.nRow = Wrapped(top.nRow, rows);
  top.nColumn = Wrapped(top.nColumn, columns);
  top.nX = originX + top.nColumn * cellWidth;
  top.nY = originY + top.nRow * cellHeight;
}

void cMenuCursor::MoveListCursor(const cInputState& input, int vertical, int32_t& top, int origin, int step, int other,
                                 int window, int count, int page, int wrap) {
  CURSORENTRY& entry = Top();
  int32_t& pos = vertical ? entry.nRow : entry.nColumn;
  const uint16_t dir = input.m_wDir;
  if (dir & kDirUp) {
    if (pos - top < 1) --top;
    --pos;
  } else if (dir & kDirDown) {
    if (pos - top >= window - 1) ++top;
    ++pos;
  }
  if (page) {
    // A page is one row less than the window, so the last row seen stays in view.
    if (dir & kDirRight) {
      if (top == count - window) {
        pos = count - 1;
      } else {
        top += window - 1;
        pos += window - 1;
      }
    } else if (dir & kDirLeft) {
      if (top == 0) {
        pos = 0;
      } else {
        top -= window - 1;
        pos -= window - 1;
      }
    }
  }
  if (wrap) {
    if (pos > count - 1) {
      pos = 0;
      top = 0;
    } else if (pos < 0) {
      pos = count - 1;
      top = count - window;
    }
  }
  pos = std::max(std::min(pos, count - 1), 0);
  top = std::min(std::max(top, 0), std::max(0, count - window));
  if (vertical) {
    entry.nY = origin + (pos - top) * step;
    entry.nX = other;
  } else {
    entry.nX = origin + (pos - top) * step;
    entry.nY = other;
  }
}
