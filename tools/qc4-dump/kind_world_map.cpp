// "data\WorldMap.dat": the world map grid, its cell kinds and places.
#include <string>

#include "data/load_error.h"
#include "data/world_map.h"
#include "dump_kind.h"
#include "record_json.h"

namespace {

void WriteWorlds(cJsonWriter& out, const char* key, const std::vector<cWorld>& worlds) {
  WriteRecordList<cWorld>(out, key, worlds, [](cJsonWriter& w, const cWorld& place) {
    WriteRecordList(w, "m_aEntries", place.m_aEntries);
  });
}

bool DumpWorldMap(const std::string& path, cJsonWriter& out, std::string& error) {
  cWorldMap map;
  const bool loaded = map.LoadFile(path) != 0;
  WriteVersionAndResult(out, path, loaded);
  if (!loaded) {
    error = LoadErrorText(path.c_str());
    return false;
  }
  out.Key("cWorldMap");
  out.BeginObject();
  WriteRecordFields(out, map);
  WriteRecordList(out, "m_aMapEntries", map.m_aMapEntries);
  // One array per row, so the grid reads as the map.
  out.Key("grid");
  out.BeginArray();
  for (int32_t y = 0; y < map.m_nHeight; ++y) {
    out.BeginArray();
    for (int32_t x = 0; x < map.m_nWidth; ++x) {
      const int32_t* cell = map.CellAt(x, y);
      out.Int(cell ? *cell : 0);
    }
    out.EndArray();
  }
  out.EndArray();
  WriteWorlds(out, "m_aWorlds", map.m_aWorlds);
  WriteWorlds(out, "m_aWorlds2", map.m_aWorlds2);
  out.EndObject();
  return true;
}

bool MatchesWorldMap(std::string_view fileName) { return SameFileName(fileName, "WorldMap.dat"); }

}  // namespace

QC4_DUMP_KIND(WorldMap, "WorldMap.dat", MatchesWorldMap, DumpWorldMap);
