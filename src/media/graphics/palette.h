#pragma once
// The game palette (256 colours named by number), the channel layouts of the display and the
// transparent colour in every form the two back ends need.
#include <cstdint>

#include "media/graphics/display.h"
#include "platform/gfx/gfx_types.h"

// {red, green, blue, flag}.
using PALETTEENTRY = gfx::PaletteEntry;

extern PALETTEENTRY g_GamePalette[256];
extern PALETTEENTRY g_WorkPalette[256];

bool DDLoadPaletteFromFile(PALETTEENTRY* palette, const char* path, int unused);
int DDSetTransmitFromFile(const char* path);
void DDSetTransmit(uint8_t red, uint8_t green, uint8_t blue);
uint32_t PalNumToRGB(uint32_t n);
uint16_t DDPalToRGB16(const PALETTEENTRY& entry);
void DDReadChannelLayout(DDCHANNELLAYOUT* layout);

// The colour BackBuffer shows where a picture is transparent (opaque). At 16 bits it is built from
// the exact transparent colour (the 8-bit colour of the palette picture), not from the 5-bit field
// values the Direct3D record keeps: the device narrows it to the same 16-bit key, and the screen
// shows the real colour.
gfx::Colour DDBackBufferClearColour();
