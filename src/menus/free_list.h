#pragma once
// What the free-play list shows: every stage file of "data\stg4\" (any extension that begins with
// "stg4", so the numbered variants "_000" to "_999" too), in file-name order, the place it comes back
// to from the remembered row and file name, and its scroll bar.
#include <cstdint>
#include <string>
#include <vector>

class cFreeData;

// One row of the list: the stage file's path and its name alone.
struct FREEENTRY {
  std::string strPath;  // "data\stg4\" + name
  std::string strName;
};

// The stage folder and the pattern of the stage files' extensions.
constexpr const char* kFreeStageFolder = "data\\stg4\\";
constexpr const char* kFreeStageExt = "stg4*";
// Rows the list shows at most.
constexpr int kFreeListWindowMax = 20;

// The stage files of the folder, sorted by name the way the folder listing orders names (letters
// without regard to case), so that the order never depends on the file system; folders are left
// out. An empty or missing folder gives an empty list.
std::vector<FREEENTRY> BuildFreeList();

// Where the list opens: the remembered row when it lies in the list and its file still has the
// remembered name (exact, case-sensitive), with the top as close to it as the list allows; otherwise
// the first row, and the remembered row and name are cleared.
struct cFreeListPlace {
  int32_t nRow = 0;
  int32_t nTop = 0;
};
cFreeListPlace RestoreFreeListPlace(const std::vector<FREEENTRY>& list, cFreeData& data);

// Rows shown from top: the window, at most kFreeListWindowMax.
int FreeListWindow(int count, int top);

// The scroll bar of a list of count rows showing window rows from top: the track's height and the
// thumb's y offset from the track's top and height. All 0 for an empty list.
struct cScrollBar {
  int nTrackHeight = 0;
  int nThumbOffset = 0;
  int nThumbHeight = 0;
};
cScrollBar FreeListScrollBar(int count, int top, int window);
