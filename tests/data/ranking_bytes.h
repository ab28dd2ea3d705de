// Hand-built ranking files, straight from the ranking file's layout: the version, an empty record
// body, then the tables with their rows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "byte_builder.h"

struct RankRowBytes {
  int32_t used = 0;
  std::string name;
  int32_t value = 0;
};
struct RankTableBytes {
  int32_t descending = 0;
  std::vector<RankRowBytes> rows = std::vector<RankRowBytes>(20);
};

inline std::vector<uint8_t> RankingFileBytes(uint32_t version, const std::vector<RankTableBytes>& tables) {
  cByteBuilder b;
  b.U32(version).I32(0).I32(0).I32(static_cast<int32_t>(tables.size()));
  for (const RankTableBytes& t : tables) {
    b.I32(1).I32(t.descending).I32(0).I32(static_cast<int32_t>(t.rows.size()));
    for (const RankRowBytes& r : t.rows) b.I32(2).I32(r.used).I32(r.value).I32(1).Str(r.name);
  }
  return b.Get();
}

// The five tables a new ranking has: larger values first but for the clear time.
inline std::vector<RankTableBytes> DefaultRankTables() {
  std::vector<RankTableBytes> tables(5);
  const int32_t descending[5] = {1, 1, 0, 1, 1};
  for (int i = 0; i < 5; ++i) tables[static_cast<size_t>(i)].descending = descending[i];
  return tables;
}
