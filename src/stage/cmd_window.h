#pragma once
// The in-stage command window of the pause menu: the enabled commands of a list, one caption a row,
// in a font-1 box as wide as the widest caption plus a cursor column.
#include <vector>

#include "data/system_data.h"

struct DDSURFACEDATA;

// Draws the window with its top-left at (x, y): nothing when no enabled caption has a width.
void DrawCmdWindow(DDSURFACEDATA* surface, int x, int y, const std::vector<cCmd>& commands);
// The left edge of the window centred on centreX (centreX itself when no caption has a width).
int GetCmdWindowLeft(int centreX, const std::vector<cCmd>& commands);
