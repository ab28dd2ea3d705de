#pragma once
// The play values the status operation and the expression language read and write besides the
// characters: the lives as flows see them, and the automatic scroll speeds of the stage's two axes
// (the settings of the stage being played, in tenths of a dot per frame).
#include <cstdint>

// Range of variables and of most values written by flows.
constexpr int32_t kFlowValueMax = 999999;
// Coordinates written by flows.
constexpr int32_t kFlowCoordMax = 16384;
// Automatic scroll speeds written by flows.
constexpr int32_t kAutoScrollSpeedMax = 480;

// The remaining lives as flows read them: unlimited lives read as 100, or as 0 in projects that
// keep the old reading.
int32_t LivesAsRead();
// The automatic scroll speed setting of axis 0 (horizontal) or 1 (vertical).
int32_t& AutoScrollSpeed(int axis);
// Restarts the axis's automatic scroll with its on-flag and its speed setting.
void ApplyAutoScrollSpeed(int axis);
