#pragma once
// Screen fades between scenes and the palette effects: the fade steps, palette blending and
// rotation, the pixel fade of deeper DirectDraw screens, reading the palette out of a picture and
// the Direct3D tint.
#include <cstdint>

#include "media/graphics/palette.h"
#include "media/graphics/surface_data.h"

// One frame of a fade to the colour (out) or back from it (in); true on the call that ends it.
bool DDFadeOut(PALETTEENTRY* work, int first, int last, uint8_t red, uint8_t green, uint8_t blue, double step,
               const PALETTEENTRY* source, int reset);
bool DDFadeIn(PALETTEENTRY* work, int first, int last, uint8_t red, uint8_t green, uint8_t blue, double step,
              const PALETTEENTRY* source, int reset);
void DDPalBlend(PALETTEENTRY* dst, int first, int last, int strength, uint8_t red, uint8_t green, uint8_t blue,
                const PALETTEENTRY* src);
void DDPalRotate(PALETTEENTRY* dst, int first, int last, int n, int direction, const PALETTEENTRY* src);
int DDFade_UnPal(DDSURFACEDATA* dst, int strength, uint8_t red, uint8_t green, uint8_t blue, DDSURFACEDATA* src);
int DDSetPalette_UnPal(PALETTEENTRY* palette, DDSURFACEDATA* lpSD);
int DDChangeColor(DDSURFACEDATA* lpDstSD, int x, int y, int nWidth, int nHeight, int nAlpha, uint8_t bRed,
                  uint8_t bGreen, uint8_t bBlue);
// Puts the four fade phases back to their start (out 90 degrees, in 0).
void DDResetFadePhases();
