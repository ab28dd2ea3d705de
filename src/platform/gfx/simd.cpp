// Run-time choice between the baseline and the AVX2 pixel loops.
#include "platform/gfx/simd.h"

#include <atomic>

namespace gfx {

namespace {

bool ProcessorHasAvx2() {
#if QC4_GFX_AVX2
  return __builtin_cpu_supports("avx2");
#else
  return false;
#endif
}

std::atomic<bool> g_avx2Allowed{true};

}  // namespace

bool UseAvx2() {
  static const bool hasAvx2 = ProcessorHasAvx2();
  return hasAvx2 && g_avx2Allowed.load(std::memory_order_relaxed);
}

void AllowAvx2(bool allowed) { g_avx2Allowed.store(allowed, std::memory_order_relaxed); }

}  // namespace gfx
