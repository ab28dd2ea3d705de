// libFuzzer target: stage files read through the game's own loader.
#include <cstdlib>

#include "data/load_fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!FuzzStageFile(data, size)) std::abort();
  return 0;
}
