// libFuzzer target: the ten database files (the first byte picks the file) read through the game's own loader.
#include <cstdlib>

#include "data/load_fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!FuzzDatabaseFile(data, size)) std::abort();
  return 0;
}
