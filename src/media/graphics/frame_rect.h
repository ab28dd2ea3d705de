#pragma once
// Outlines and framed pictures: the frame of boxed texts and of panels.
#include <cstdint>

#include "media/graphics/surface_data.h"

// The outline of (x, y, w, h), t pixels thick, inside the rectangle, in a palette colour; what the
// fill batch's end answers.
int DDFrameRect(DDSURFACEDATA* dst, int x, int y, int w, int h, int t, uint32_t palNum);
// The source's top-left w x h with its transparent colour at (x, y), then an outline of thickness t
// round it, outside the picture.
void DDBltFramed(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int t, uint32_t palNum);
