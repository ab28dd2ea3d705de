// Hand-built world-map files, straight from the world-map file's layout.
#pragma once

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "byte_builder.h"

// One offer of a place.
struct cWorldEntryBytes {
  int32_t kind = 0, flag = 0, variable = 0, value = 0, compare = 0, minTotal = 0, variation = 0, key1 = 1, key2 = 0;
  std::string stage;
};

// An entry body of the given version: 10 numeric fields, 11 from 209, 14 from 758.
inline void WorldEntryBody(cByteBuilder& b, uint32_t v, const cWorldEntryBytes& e) {
  b.I32(v >= 758   ? 14
        : v >= 209 ? 11
                   : 10)
      .I32(e.kind)
      .I32s({0, 0, 0, 0, 0})
      .I32s({e.flag, e.variable, e.value, e.compare});
  if (v >= 209) b.I32(e.minTotal);
  if (v >= 758) b.I32s({e.variation, e.key1, e.key2});
  b.I32(2).Str("").Str(e.stage);
}

struct cWorldMapBytes {
  int32_t width = 20, height = 15, pitch = 32, shift = 5, startX = 9, startY = 7;
  int mapEntries = 10;        // map entry i has chip number i
  std::vector<int32_t> grid;  // empty: height x pitch zeros, unless gridCount is given
  int32_t gridCount = -1;     // -1: the size of grid
  std::vector<std::tuple<int32_t, int32_t, std::vector<cWorldEntryBytes>>> places;  // x, y, offers
};

// A whole file: header, map record, map entries, grid, places and an empty second list.
inline std::vector<uint8_t> WorldMapFile(uint32_t v, cWorldMapBytes m) {
  cByteBuilder b;
  b.U32(v).I32(8).I32s({m.width, m.height, m.pitch, m.shift, m.startX, m.startY, 16, 0}).I32(2).Str("w").Str("");
  b.I32(m.mapEntries);
  for (int i = 0; i < m.mapEntries; ++i) b.I32(3).I32s({0, 0, i}).I32(2).Str("").Str("");
  if (m.grid.empty() && m.gridCount < 0) m.grid.assign(static_cast<size_t>(m.height * m.pitch), 0);
  b.I32(m.gridCount >= 0 ? m.gridCount : static_cast<int32_t>(m.grid.size()));
  for (int32_t c : m.grid) b.I32(c);
  b.I32(static_cast<int32_t>(m.places.size()));
  for (const auto& [x, y, entries] : m.places) {
    b.I32(2).I32(x).I32(y).I32(1).Str("place");
    b.I32(static_cast<int32_t>(entries.size()));
    for (const auto& e : entries) WorldEntryBody(b, v, e);
  }
  b.I32(0);
  return b.Get();
}
