#pragma once
// The palette helpers every scene's drawing uses: the 8-bit palette-table set-up, the per-frame
// palette animation and the redraw of the saved frame (declared in scene_mgr.h), with the state they
// keep.
#include <cstdint>
#include <string>
#include <vector>

#include "media/graphics/palette.h"

// One entry of the character colour-change table: an ARGB colour and a drawing mode. Entries 1-9 are
// written by the palette animation in Direct3D mode; entry 0 stays zero. Character drawing reads it.
struct CHARACOLOURCHANGE {
  uint32_t dwColour = 0;
  int32_t nMode = 0;
};
extern CHARACOLOURCHANGE g_aCharaColourChange[10];

// Puts the animation's pulse values and counters back to their start (a new run, tests).
void ResetPaletteAnimation();

// The colours of palette set n, made from the game palette in place: below 12 entries 16-207 move
// n x 16 places down (round), from 12 on the sixteen entries from (n - 11) x 16 fill every block of
// sixteen of 16-207. The 8-bit blend table of set n is made for these colours.
void ShiftPaletteSet(PALETTEENTRY* palette, int n);
