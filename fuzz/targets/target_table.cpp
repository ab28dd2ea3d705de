#include <string>

#include "fuzz_targets.h"

const std::vector<cFuzzTarget>& FuzzTargets() {
  static const std::vector<cFuzzTarget> targets = {
      {"system_data", FuzzSystemDataFile}, {"database", FuzzDatabaseFile},
      {"palette", FuzzPaletteFile},        {"stage", FuzzStageFile},
      {"world_map", FuzzWorldMapFile},     {"player_files", FuzzPlayerFile},
      {"replay", FuzzReplayFile},          {"stage_play", FuzzStagePlay},
  };
  return targets;
}

const cFuzzTarget* FindFuzzTarget(const std::string& name) {
  for (const cFuzzTarget& target : FuzzTargets())
    if (name == target.name) return &target;
  return nullptr;
}
