#pragma once
// The game's table of 72 surfaces and its descriptors, the loader and the mirrored-twin links.
#include "media/graphics/surface_data.h"

constexpr int kSurfaceTableSize = 72;

extern DDSURFACEDATA g_SurfaceData[kSurfaceTableSize];
extern DDSURFACEINFO g_SurfaceInfo[kSurfaceTableSize];
// The same table under the name game-object code uses.
extern DDSURFACEDATA (&g_GameSurfaces)[kSurfaceTableSize];
// On: the mirrored twins of the system bitmaps stand 18 slots after their originals (slots 22-39
// are the copies of slots 4-21).
extern int g_bMirrorTwins;

// Loads the listed slots (release, then create from the descriptor given to DDInit).
bool DDLoadSurfaces(DDSURFACEDATA* surfaces, const int* slots, int count);
// Direct3D: links every mirrored or copied slot to the slot whose texture it draws from.
void LinkMirrorSurfaces();
// Total and free video memory in MB (the software device has no limit unless a test sets one).
void GetVideoMemoryMB(int* total, int* free);
