// Hand-built replay files, straight from the replay file's layout: the version, the stage body, the
// log's record body and lists, and the progress body.
#pragma once

#include <cstdint>
#include <vector>

#include "byte_builder.h"
#include "progress_bytes.h"
#include "stage_bytes.h"

struct cReplayBytes {
  cStageBytes stage;
  int32_t seed = 0;
  int32_t cleared = 0;
  std::vector<int16_t> dirStates, buttonStates;
  std::vector<int32_t> values, dirRuns, buttonRuns;
  // As the game writes it: at least the 1000 common variables every progress holds.
  cProgressLists progress = [] {
    cProgressLists lists;
    lists.commonVars.resize(1001, 0);
    return lists;
  }();
  // Counts written in place of the lists' own sizes (-1: the list's size).
  int32_t dirRunsCount = -1;
  int32_t valuesCount = -1;
};

// A stage the readers keep as it is: a new stage's header with the scroll limits lowered to its
// 0 x 0 map and the values derived from its hit-check level, two entries in each palette list and one colour-filled
// background layer.
inline cStageBytes ReplayStage(uint32_t v, const std::string& name) {
  cStageBytes s;
  s.header = DefaultStageHeader();
  s.header[9] = -20;
  s.header[10] = -1;
  s.header[11] = -15;
  s.header[12] = -1;
  // the values derived from hit-check level 10, which a played stage holds
  s.header[88] = 10;
  s.header[89] = 10.0;
  s.header[90] = 100.0;
  s.header[91] = 60.0;
  s.header[92] = 0.4 / 100.0;
  s.header[93] = 6.0;
  s.header[94] = 80;
  s.name = name;
  s.palBlocks = {DefaultBlockBytes(v), DefaultBlockBytes(v)};
  s.palCharas = {DefaultCharaBytes(v), DefaultCharaBytes(v)};
  s.palItems = {DefaultItemBytes(v), DefaultItemBytes(v)};
  s.layers = {LayerBody(v, {{2, 1}})};
  return s;
}

inline std::vector<uint8_t> ReplayFile(uint32_t version, const cReplayBytes& r) {
  cByteBuilder b;
  b.Bytes(StageFile(version, r.stage));  // the stage file's version header is the replay's
  if (version >= 931)
    b.I32(2).I32(r.seed).I32(r.cleared);
  else
    b.I32(1).I32(r.seed);
  b.I32(0);
  auto shorts = [&](const std::vector<int16_t>& list) {
    b.I32(static_cast<int32_t>(list.size()));
    for (int16_t v : list) b.I16(v);
  };
  auto ints = [&](const std::vector<int32_t>& list, int32_t count) {
    b.I32(count >= 0 ? count : static_cast<int32_t>(list.size()));
    for (int32_t v : list) b.I32(v);
  };
  shorts(r.dirStates);
  shorts(r.buttonStates);
  if (version >= 974) ints(r.values, r.valuesCount);
  ints(r.dirRuns, r.dirRunsCount);
  ints(r.buttonRuns, -1);
  if (version >= 173) b.Bytes(ProgressFileBody(version, r.progress));
  return b.Get();
}
