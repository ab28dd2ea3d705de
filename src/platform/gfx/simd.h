// Internal: what the pixel loops may use beyond the baseline instruction set.
//
// The build targets plain x86-64 (SSE2). The hottest row loops also exist in an AVX2 version,
// compiled for that instruction set alone (GCC/Clang `target` attribute) and chosen at run time when
// the processor has it; they compute exactly the same pixels as the baseline loops.
#pragma once

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define QC4_GFX_AVX2 1
#include <immintrin.h>
#define QC4_TARGET_AVX2 __attribute__((target("avx2")))
#else
#define QC4_GFX_AVX2 0
#endif

namespace gfx {

// Whether the AVX2 row loops run: the processor has AVX2 and they are allowed.
bool UseAvx2();
// Allows (the default) or forbids the AVX2 row loops, so that tests can compare both versions.
void AllowAvx2(bool allowed);

}  // namespace gfx
