#pragma once
// Bitmap pixels into surfaces: the DirectDraw copy with conversion and mirroring, the Direct3D
// mirrored sheet, the mirrored source lookup of alias slots and the palette-index map.
#include <cstdint>

#include "media/graphics/surface_data.h"

bool CopyBitmap(DDSURFACEDATA* lpSD, const char* path, int bpp, int bPalMap, int mirrorX, int mirrorY);
bool CreateMirror(DDSURFACEDATA* lpSD, DDSURFACEDATA* lpTemp, int mirrorX, int mirrorY);
bool DDReloadSurface(DDSURFACEDATA* lpSD, int bpp);
int DDCheckBitmapSize(int* pbTooLarge, const char* path, int width, int height);
int DDBuildPaletteMap(uint8_t** ppMap, DDSURFACEDATA* lpSD);
void DDMirrorSource(DDSURFACEDATA* lpSD, int& sx, int& sy, int& sw, int& sh);
