#pragma once
// The 8-bit blend tables "bmp\hbt\hbtNN.dat" of the demo, one for each palette set the player can
// choose. An 8-bit screen mixes two palette colours through the table of the current set: byte
// row x 256 + column is the palette number whose colour is nearest to the even mix of the colours
// row and column. The tables are computed from the demo's colours as each set shifts them.
#include <cstdint>
#include <string>
#include <vector>

#include "demo_palette.h"

struct cDemoBlendTable {
  std::string gamePath;        // "bmp\hbt\hbt05.dat"
  std::vector<uint8_t> bytes;  // 65,536, no header
};

// The table of the given colours (set 0 is the colours as they stand).
std::vector<uint8_t> MakeBlendTable(const cColourTable& colours);
// The colours of palette set n, as the game shifts them on an 8-bit screen.
cColourTable PaletteSetColours(const cColourTable& colours, int n);
// One table for every palette set, 0 to the last the options offer.
std::vector<cDemoBlendTable> MakeDemoBlendTables();
