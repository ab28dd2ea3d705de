// The libFuzzer program of one target, named at build time (QC4_FUZZ_TARGET_NAME).
#include <cstdio>
#include <cstdlib>

#include "fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const cFuzzTarget* target = [] {
    const cFuzzTarget* found = FindFuzzTarget(QC4_FUZZ_TARGET_NAME);
    if (!found) {
      std::fprintf(stderr, "no fuzz target named %s\n", QC4_FUZZ_TARGET_NAME);
      std::abort();
    }
    return found;
  }();
  // A fault the game cannot tell of: libFuzzer keeps the input as a crash.
  if (!target->entry(data, size)) std::abort();
  return 0;
}
