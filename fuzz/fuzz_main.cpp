// The libFuzzer program of one target, whose entry point is named at build time (QC4_FUZZ_ENTRY):
// it links only what that entry reaches, so that libFuzzer scans the coverage of that code alone.
#include <cstdlib>

#include "fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A fault the game cannot tell of: libFuzzer keeps the input as a crash.
  if (!QC4_FUZZ_ENTRY(data, size)) std::abort();
  return 0;
}
