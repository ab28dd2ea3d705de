#include "menus/free_list.h"

#include <algorithm>

#include "platform/files.h"
#include "shell/list_positions.h"

namespace {
constexpr int kRowHeight = 16;
}  // namespace

std::vector<FREEENTRY> BuildFreeList() {
  std::vector<FREEENTRY> list;
  std::vector<cFolderEntry> found;
  // The listing comes in name order already; FindFiles keeps it.
  if (!FindFiles(std::string(kFreeStageFolder) + "*." + kFreeStageExt, found)) return list;
  for (cFolderEntry& e : found) {
    if (e.isFolder) continue;
    list.push_back(FREEENTRY{kFreeStageFolder + e.name, e.name});
  }
  return list;
}

cFreeListPlace RestoreFreeListPlace(const std::vector<FREEENTRY>& list, cFreeData& data) {
  const int64_t count = static_cast<int64_t>(list.size());
  const int32_t row = data.m_nCursor;
  // A damaged file may hold any row: one outside the list is no match.
  if (row >= 0 && row < count && list[static_cast<size_t>(row)].strName == data.m_strFileName) {
    const int64_t lastTop = std::max<int64_t>(0, count - kFreeListWindowMax);
    return cFreeListPlace{row, static_cast<int32_t>(std::clamp<int64_t>(row, 0, lastTop))};
  }
  data.m_nCursor = 0;
  data.m_strFileName.clear();
  return cFreeListPlace{};
}

int FreeListWindow(int count, int top) {
  return count < top + kFreeListWindowMax ? std::max(count - top, 0) : kFreeListWindowMax;
}

cScrollBar FreeListScrollBar(int count, int top, int window) {
  cScrollBar bar;
  if (count <= 0 || window <= 0) return bar;
  bar.nTrackHeight = kRowHeight * window;
  const int64_t h = bar.nTrackHeight;
  bar.nThumbHeight = static_cast<int>(window * h / count);
  bar.nThumbOffset = static_cast<int>(std::max(top, 0) * h / count);
  return bar;
}
