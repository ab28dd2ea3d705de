#include "demo_blend_tables.h"

#include <cstdio>
#include <unordered_map>

#include "data/option_data.h"
#include "shell/palette_helpers.h"

namespace {

// Palette numbers a mix may come out as: not 0 (the transparent colour, which the 8-bit blends
// treat as "nothing here") and not 255 (the screen's palette leaves it to the system).
constexpr int kFirstMix = 1;
constexpr int kLastMix = 254;

uint8_t nearest(const cColourTable& colours, int r, int g, int b) {
  int best = kFirstMix;
  int bestDistance = -1;
  for (int i = kFirstMix; i <= kLastMix; ++i) {
    const int dr = colours[i].r - r, dg = colours[i].g - g, db = colours[i].b - b;
    const int distance = dr * dr + dg * dg + db * db;
    if (bestDistance < 0 || distance < bestDistance) {
      best = i;
      bestDistance = distance;
      if (distance == 0) break;
    }
  }
  return static_cast<uint8_t>(best);
}

}  // namespace

std::vector<uint8_t> MakeBlendTable(const cColourTable& colours) {
  std::vector<uint8_t> table(65536);
  // Many pairs mix to the same colour: each mix is searched once.
  std::unordered_map<uint32_t, uint8_t> found;
  for (int row = 0; row < 256; ++row) {
    table[row * 256 + row] = static_cast<uint8_t>(row);  // a colour mixed with itself stays itself
    for (int column = row + 1; column < 256; ++column) {
      const cRgb& a = colours[row];
      const cRgb& b = colours[column];
      const int r = (a.r + b.r + 1) / 2, g = (a.g + b.g + 1) / 2, bl = (a.b + b.b + 1) / 2;
      const uint32_t key = static_cast<uint32_t>(r << 16 | g << 8 | bl);
      auto it = found.find(key);
      if (it == found.end()) it = found.emplace(key, nearest(colours, r, g, bl)).first;
      table[row * 256 + column] = table[column * 256 + row] = it->second;
    }
  }
  return table;
}

cColourTable PaletteSetColours(const cColourTable& colours, int n) {
  PALETTEENTRY palette[256];
  for (int i = 0; i < 256; ++i) palette[i] = {colours[i].r, colours[i].g, colours[i].b, 0};
  ShiftPaletteSet(palette, n);
  cColourTable shifted{};
  for (int i = 0; i < 256; ++i) shifted[i] = {palette[i].red, palette[i].green, palette[i].blue};
  return shifted;
}

std::vector<cDemoBlendTable> MakeDemoBlendTables() {
  std::vector<cDemoBlendTable> tables;
  for (int n = 0; n <= kMaxColourOption; ++n) {
    char path[32];
    std::snprintf(path, sizeof path, "bmp\\hbt\\hbt%02d.dat", n);
    tables.push_back({path, MakeBlendTable(PaletteSetColours(DemoColours(), n))});
  }
  return tables;
}
