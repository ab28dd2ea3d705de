#pragma once
// Picture effects made pixel by pixel on locked surfaces (or, where Direct3D can do the same, with
// one textured quad): semi-transparency, a pull towards a colour, blur, mosaic, rotation and a lens,
// with the 8-bit blend table the colour blends use on palette screens.
//
// Flags as for DDBlt: 1 = the source's transparent pixels are not drawn. A blend pair (`alpha`, may
// be null) is the {vertex colour, colour operation} a draw would give DDSetAlpha and DDSetBlendMode;
// on the Direct3D pixel paths a pair whose operation is ADD (7) adds its colour to every pixel drawn.
// Nothing is drawn on 24-bit screens.
#include <cstddef>
#include <cstdint>

#include "media/graphics/blit.h"
#include "media/graphics/palette.h"
#include "media/graphics/surface_data.h"

// The 8-bit blend table: byte row x 256 + column is the palette index standing for the even mix of
// colours row and column. Filled only on 8-bit DirectDraw screens ("bmp\hbt\hbt%s.dat").
constexpr size_t kBlendTableSize = 65536;
extern uint8_t g_BlendTable[kBlendTableSize];

// Reads a blend table file into table. Direct3D mode needs none: true without reading. False when
// the file cannot be read or holds fewer than 65,536 bytes (the table is then left as it was); a
// longer file gives its first 65,536 bytes.
bool DDLoadBlendTable(uint8_t* table, const char* path);

// The w x h source rectangle at (sx, sy) drawn at (x, y) semi-transparently: alpha 0-255 is the
// transparency (0 opaque) on the Direct3D quad; every pixel path mixes half and half.
void DDBltTrans(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int flags,
                const uint8_t* blendTable, int alpha);
// DDBltTrans with alpha 128.
void DDBltHalfTrans(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int flags,
                    const uint8_t* blendTable);
// The source rectangle pulled towards palette entry colourNumber with a whole-number strength
// level 1-4 (the colour's share 1/2, 3/4, 7/8, 15/16 on the pixel paths); level 0 draws nothing.
void DDBltColorChange(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int flags,
                      const PALETTEENTRY* palette, const uint8_t* blendTable, int colourNumber, int level,
                      const DDALPHA* alpha);

// The w x h source block at (sx, sy) drawn at (x, y), each pixel the average of the box of 2 rx
// columns and 2 ry rows around it (one more on the negative side), cut to the block. Nothing when a
// radius is 0 or less, and on 8-bit screens. False when the destination cannot be locked.
bool DDBltBlur(DDSURFACEDATA* dst, int x, int y, int w, int h, int rx, int ry, DDSURFACEDATA* src, int sx, int sy,
               int flags, const DDALPHA* alpha);
// The block drawn in square cells of n x n pixels of one colour, from its top-left corner (the last
// row and column of cells cut at the block's edge). Nothing when n is 0 or less. False when the
// destination cannot be locked.
bool DDBltMosaic(DDSURFACEDATA* dst, int x, int y, int w, int h, int n, DDSURFACEDATA* src, int sx, int sy, int flags,
                 const DDALPHA* alpha);

// The w x h source image at (sx, sy) turned by angle degrees about its pivot (ox, oy) (measured
// from the image's top-left corner), the pivot drawn at (px, py).
void DDBltRotate(DDSURFACEDATA* dst, int px, int py, int w, int h, int ox, int oy, int angle, DDSURFACEDATA* src,
                 int sx, int sy, int flags);
// A disc of radius r around (cx, cy) showing the neighbourhood of (scx, scy) of src through a
// magnifying lens; d (0 or more) sets the strength, smaller values magnifying more. With bClear on a
// 32-bit Direct3D screen the square's pixels outside the picture become transparent black. False
// when r or d is negative or the lens is empty (r 0).
bool DDBltLens(DDSURFACEDATA* dst, int cx, int cy, int r, int d, DDSURFACEDATA* src, int scx, int scy, int flags,
               int bClear, const DDALPHA* alpha);
