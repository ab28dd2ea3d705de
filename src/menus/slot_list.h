#pragma once
// The story slot list of the title's new-game and continue lists and of the world-map menu's save.
#include <vector>

#include "data/story_slots.h"
#include "media/graphics/surface_data.h"

// A 320-wide box of `rows` rows from slot `first`: each slot's number and, for a slot whose file is
// there, its save time, or that it is damaged; a line of palette colour 240 between rows.
void DrawSlotList(DDSURFACEDATA* surface, int x, int y, const std::vector<cSlotInfo>& list, int first, int rows);
