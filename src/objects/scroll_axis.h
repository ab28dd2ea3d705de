#pragma once
// One scroll axis of the stage's view: where the view stands in the map, the range it may scroll
// in, the map's extent with its 10-cell margins, the block table's row layout and the automatic
// scroll. Objects read both axes (screen rectangles, stage clamps, camera follow); the stage sets
// them up and scrolls them.
#include <cstdint>

class cScrollAxis {
 public:
  // A fresh axis over a map of cells cells plus the 10-cell margin on each side (axis 0 horizontal,
  // which also lays out the block table's rows: 1 << shift cells each; 1 vertical).
  void LayOutMap(int axis, int cells);
  // Puts the position inside the scroll range and records whether it stands at a limit.
  void ClampScroll();
  // Adds the automatic scroll speed, then ClampScroll (once per logic sub-step).
  void StepAutoScroll();
  // Switches the automatic scroll: speed in tenths of a dot per frame, spread over the stage's
  // sub-steps.
  void SetAutoScroll(int on, int speed);
  // The scroll range from the stage's first and last cell when each limit is switched on, else the
  // map's own range.
  void SetScrollRange(int first, int last, int firstOn, int lastOn);

  double m_dPosition = 0.0;    // left (x) or top (y) edge of the view in map dots
  int32_t m_bAtEdge = 0;       // the last clamp moved the position to a limit
  int32_t m_nAxis = 0;         // 0 horizontal, 1 vertical
  int32_t m_nViewSize = 0;     // 640 horizontal, 480 vertical
  int32_t m_nLowLimit = 0;     // inner limit: smallest position
  int32_t m_nHighLimit = 0;    // inner limit: end of the scroll range (the view's far edge may reach it)
  int32_t m_nBaseLow = 0;      // outer limit: 320, the map's 10-cell margin
  int32_t m_nBaseHigh = 0;     // outer limit: (cells + 10) x 32, at least 0
  int32_t m_nMarginCells = 0;  // 10
  int32_t m_nMapDots = 0;      // the map's extent in dots, both margins included
  int32_t m_nCells = 0;        // map cells + 20
  int32_t m_nRowStride = 0;    // x axis: 1 << shift, the row length of the block table; y axis: cells
  int32_t m_nShift = 0;        // x axis: bit length of (columns + 19); y axis: 0
  double m_dAutoSpeed = 0.0;   // dots added per logic sub-step while the automatic scroll runs
  int32_t m_bAutoOn = 0;       // the automatic scroll runs
};

// The automatic scroll speed of an axis while it runs: non-zero and not held at a limit; else 0.
// Objects that move with the scroll take it as their speed.
double RunningAutoScroll(const cScrollAxis& axis);
