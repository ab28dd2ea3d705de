#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {
std::atomic<bool> g_virtual{false};
std::atomic<uint32_t> g_virtualNow{0};
const auto g_epoch = std::chrono::steady_clock::now();
}  // namespace

uint32_t timeGetTime() {
  if (g_virtual.load(std::memory_order_relaxed)) return g_virtualNow.load(std::memory_order_relaxed);
  auto elapsed = std::chrono::steady_clock::now() - g_epoch;
  // Truncated to 32 bits on purpose: callers work with wrapping differences.
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void QcSleep(uint32_t ms) {
  if (g_virtual.load(std::memory_order_relaxed)) {
    g_virtualNow.fetch_add(ms, std::memory_order_relaxed);
    // Let other threads that poll this clock run, as a real sleep would.
    std::this_thread::yield();
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void WaitRealTime(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void SetVirtualClock(bool on) { g_virtual.store(on); }
bool IsVirtualClock() { return g_virtual.load(); }
void SetVirtualTime(uint32_t ms) { g_virtualNow.store(ms); }
void AdvanceVirtualTime(uint32_t ms) { g_virtualNow.fetch_add(ms); }
