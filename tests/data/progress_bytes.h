// Hand-built progress records, straight from the progress record's field table: the record body
// of a file version, and the whole body with the lists that follow it.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "byte_builder.h"
#include "data/system_data.h"
#include "data/world_map.h"

// The numeric fields of the progress record in file order, each with the first version that holds
// it (0: every version) and a value distinct from the others.
struct ProgressField {
  uint32_t since;
  int32_t value;
};
// Map x and y (102, 103) lie on a world map of at least 104 x 104 cells; challenge unlocked (2) is
// within a project of 2 challenge stages (see SetProgressProject).
inline const ProgressField kProgressFields[] = {
    {0, 101},   {0, 102},   {0, 103},   {0, 104},   {0, 105},   {915, 106}, {758, 109}, {758, 110},
    {758, 111}, {0, 112},   {0, 113},   {0, 114},   {0, 115},   {0, 116},   {0, 117},   {0, 118},
    {0, 119},   {0, 120},   {182, 121}, {182, 122}, {0, 123},   {915, 124}, {0, 126},   {166, 127},
    {194, 128}, {190, 129}, {191, 130}, {191, 131}, {0, 2},     {915, 133}, {915, 134}, {0, 135},
    {169, 136}, {0, 138},   {0, 139},   {678, 140}, {678, 141}, {678, 142}, {679, 143}, {944, 144},
};
inline const std::pair<uint32_t, const char*> kProgressStrings[] = {
    {0, "c01-1."}, {724, "c01-1._c003_7"}, {915, "next."}, {0, "xyz"}};

inline std::vector<uint8_t> ProgressBody(uint32_t version) {
  cByteBuilder b;
  int32_t count = 0;
  for (const auto& f : kProgressFields) count += f.since <= version ? 1 : 0;
  b.I32(count);
  for (const auto& f : kProgressFields)
    if (f.since <= version) b.I32(f.value);
  int32_t strings = 0;
  for (const auto& s : kProgressStrings) strings += s.first <= version ? 1 : 0;
  b.I32(strings);
  for (const auto& s : kProgressStrings)
    if (s.first <= version) b.Str(s.second);
  return b.Get();
}

// The project the hand-built progress records fit: a 200 x 200 world map and 2 challenge stages, so
// that nothing read is normalised.
inline void SetProgressProject() {
  g_WorldMap.m_nWidth = 200;
  g_WorldMap.m_nHeight = 200;
  g_SystemData.m_nSaveVarCount = 2;
}

// The lists after the record body, as the progress file stores them.
struct cProgressLists {
  uint16_t time[8] = {2009, 3, 6, 7, 14, 5, 9, 0};
  std::vector<int32_t> carryStored = std::vector<int32_t>(25, 0);
  std::vector<std::vector<uint8_t>> carryOver;                               // cSaveHero bodies
  std::vector<std::vector<uint8_t>> results;                                 // cStageResult bodies
  std::vector<std::pair<int32_t, int32_t>> challenges = {{1, 500}, {0, 0}};  // cleared, best
  std::vector<int32_t> worldFlags = {1, 0, 1};
  std::vector<int32_t> commonVars = {0, 5, -7, 3};
  std::vector<int32_t> backup = {0, 1};
};

// A stage result of version 759 or later: condition on, variable, value, best; stage and result key.
inline std::vector<uint8_t> StageResultBody(const std::string& stageKey, const std::string& resultKey, int32_t on,
                                            int32_t variable, int32_t value, int32_t best) {
  return cByteBuilder().I32(4).I32s({on, variable, value, best}).I32(2).Str(stageKey).Str(resultKey).Get();
}

// The whole progress body of a file version: the record body, the save time and the lists (the
// carry-over flags from 501, the retry backup from 915).
inline std::vector<uint8_t> ProgressFileBody(uint32_t version, const cProgressLists& l = {}) {
  cByteBuilder b;
  b.Bytes(ProgressBody(version));
  for (uint16_t w : l.time) b.Raw(&w, 2);
  auto ints = [&](const std::vector<int32_t>& list) {
    b.I32(static_cast<int32_t>(list.size()));
    for (int32_t v : list) b.I32(v);
  };
  if (version >= 501) ints(l.carryStored);
  for (const auto* records : {&l.carryOver, &l.results}) {
    b.I32(static_cast<int32_t>(records->size()));
    for (const auto& r : *records) b.Bytes(r);
  }
  b.I32(static_cast<int32_t>(l.challenges.size()));
  for (const auto& c : l.challenges) b.I32(2).I32(c.first).I32(c.second).I32(0);
  ints(l.worldFlags);
  ints(l.commonVars);
  if (version >= 915) ints(l.backup);
  return b.Get();
}
