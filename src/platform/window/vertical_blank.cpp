#include "platform/window/vertical_blank.h"

#include <cstdint>

#include "platform/clock.h"

void WaitForVerticalBlank() {
  constexpr uint64_t kRefreshRate = 60;
  const uint32_t start = timeGetTime();
  // Refresh k begins at ceil(k * 1000 / 60) ms; the next one after now.
  const uint64_t k = static_cast<uint64_t>(start) * kRefreshRate / 1000 + 1;
  const uint32_t due = static_cast<uint32_t>((k * 1000 + kRefreshRate - 1) / kRefreshRate);
  while (static_cast<int32_t>(due - timeGetTime()) > 0) QcSleep(1);
}
