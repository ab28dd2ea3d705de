#pragma once
// The surfaces of the dedicated character bitmaps of the database, as stage play loads them when
// the stage scene starts (four per loaded entry k = 1 .. n - 1, from position 4 (k - 1): plain,
// mirrored, plain copy, mirrored copy; entry 0 is never loaded), and the graphic look-up's way to
// them for graphic kind 4.
#include <vector>

#include "objects/graphic_source.h"

// Surface `which` (0-3) of entry `entry` of a loaded collection; null for an entry or surface the
// collection does not hold.
DDSURFACEDATA* CharaExcSurfaceIn(std::vector<DDSURFACEDATA>& surfaces, int entry, int which);

// Points the graphic look-up at the collection the stage scene has loaded (null: kind 4 draws
// nothing) and takes the project's layout of the bitmaps' cells. Returns the hooks it replaces; the
// collection must outlive its use, and the stage scene hands null back when it goes.
cGraphicSourceHooks UseCharaExcSurfaces(std::vector<DDSURFACEDATA>* surfaces);
