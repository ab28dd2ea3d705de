#pragma once
// Blits and fills: copy a rectangle (1:1 or stretched, with or without the source's transparent
// colour), fill a rectangle with a palette number or a device colour, and figures made of fills.
// Blit flags: 1 = skip the source's transparent pixels, 0 = opaque copy.
#include <cstddef>
#include <cstdint>

#include "media/graphics/surface_data.h"
#include "platform/gfx/gfx_types.h"

// {vertex colour, colour operation} handed to the alpha blits.
struct DDALPHA {
  int nAlpha;
  int nBlendMode;
};

bool DDClipBlit(DDSURFACEDATA* dst, int& x, int& y, int& w, int& h, DDSURFACEDATA* src, int& sx, int& sy, int& sw,
                int& sh);
void DDBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int flags);
int DDBltStretch(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int sw, int sh,
                 int flags);
void DDBltAlpha(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int flags,
                DDALPHA alpha);
void DDBltStretchAlpha(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int sw,
                       int sh, int flags, DDALPHA alpha);
void DDFillRect(DDSURFACEDATA* dst, int x, int y, int w, int h, uint32_t palNum);
void DDFillSurface(DDSURFACEDATA* dst, uint32_t palNum);
void DDFillRectRGB(DDSURFACEDATA* dst, int x, int y, int w, int h, uint32_t color);
void DDFillSurfaceRGB(DDSURFACEDATA* dst, uint32_t color);
void DDBeginFillBatch();
int DDEndFillBatch();
void DDReleaseFillBatch();
// Number of fills waiting in the open batch.
size_t DDFillBatchSize();
void DDPutPixel(DDSURFACEDATA* dst, int x, int y, uint32_t palNum);
void DDCircle(DDSURFACEDATA* dst, int cx, int cy, int r, uint32_t palNum);

// The four vertices of a quad over pixels x .. x + w - 1, y .. y + h - 1 in strip order (top-left,
// bottom-left, top-right, bottom-right) with texture coordinates (u0, v0) .. (u1, v1).
void DDMakeQuad(gfx::Vertex* v, int x, int y, int w, int h, gfx::Colour diffuse, float u0, float v0, float u1,
                float v1);
// Clears a rectangle of the current render target to the transparent value of `dst` (the opaque
// transparent colour on BackBuffer, transparent black on any other render target).
void DDClearToTransparent(DDSURFACEDATA* dst, int x, int y, int w, int h);
