// libFuzzer target: "data\\WorldMap.dat" read through the game's own loader.
#include <cstdlib>

#include "data/load_fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!FuzzWorldMapFile(data, size)) std::abort();
  return 0;
}
