#include "shell/menu_cursor.h"

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
