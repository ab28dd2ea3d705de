#pragma once
// A fresh game-data context for one test: the context (data/game_data.h) is rebuilt as at start when
// the test begins and again when it ends, so no test sees what another left in the run's records.
// Hold one as a member of a fixture, or as a local at the top of a test.
#include "data/game_data.h"

class cFreshGameData {
 public:
  cFreshGameData() { g_GameData.Reset(); }
  ~cFreshGameData() { g_GameData.Reset(); }
  cFreshGameData(const cFreshGameData&) = delete;
  cFreshGameData& operator=(const cFreshGameData&) = delete;
};
