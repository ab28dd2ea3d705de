#pragma once
// Drawing a block type: its graphic through the graphic look-up and its icon over it.
#include "data/block_type.h"
#include "media/graphics/surface_data.h"

// Draws the block's 32 x 32 graphic at (x, y) with the colour key, and, when the icon display is 1,
// its 32 x 32 icon over it (icon i at column i / 15, row i % 15 of the block icon sheet). Graphic 0
// is looked up like any other: the callers that draw the map skip empty cells themselves.
void DrawBlockType(const cBlockType& block, DDSURFACEDATA* target, int x, int y);
