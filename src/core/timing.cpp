#include "core/timing.h"

#include <atomic>
#include <cstdio>
#include <utility>

#include "platform/clock.h"

namespace {

// The stopwatch is also read by start-up and sound loading on other threads.
std::atomic<uint32_t> g_stopwatchStart{0};
std::atomic<uint32_t> g_lastFrameTime{0};

int g_intervalCount = 0;

struct cFpsCounter {
  bool started = false;
  uint32_t windowStart = 0;
  int frames = 0;
  int published = 0;
};
cFpsCounter g_fps;

struct cFrameLimiter {
  bool started = false;
  uint32_t due = 0;
  uint32_t lastTest = 0;
};
cFrameLimiter g_limiter;

// 16 samples; the average is published each time the ring fills.
struct cSampleRing {
  uint32_t samples[16] = {};
  int pos = 0;
  uint32_t average = 0;
  void Add(uint32_t value) {
    samples[pos] = value;
    if (++pos == 16) {
      pos = 0;
      uint64_t sum = 0;
      for (uint32_t s : samples) sum += s;
      average = static_cast<uint32_t>(sum >> 4);
    }
  }
};

struct cFramePacer {
  bool started = false;
  uint32_t windowStart = 0;
  int frames = 0;
  cSampleRing frameTimes;
  cSampleRing rates;
  bool averagesPending = true;
};
cFramePacer g_pacer;

cFramePaceHooks g_framePaceHooks;

// "now is before due", wrap-safe.
bool before(uint32_t now, uint32_t due) { return static_cast<int32_t>(now - due) < 0; }

}  // namespace

uint32_t StartStopwatch() {
  uint32_t now = timeGetTime();
  g_stopwatchStart.store(now);
  return now;
}

uint32_t GetStopwatchTime(bool restart) {
  uint32_t now = timeGetTime();
  uint32_t elapsed = now - g_stopwatchStart.load();
  if (restart) g_stopwatchStart.store(now);
  return elapsed;
}

uint32_t StartFrameTimer() { return StartStopwatch(); }

uint32_t StopFrameTimer(bool measure) {
  if (measure) g_lastFrameTime.store(timeGetTime() - g_stopwatchStart.load());
  return g_lastFrameTime.load();
}

int CountInterval(int mode, int n) {
  if (mode == 0) {
    g_intervalCount = 0;
    return 0;
  }
  if (mode == 2) return g_intervalCount == 0 ? 1 : 0;
  if (++g_intervalCount >= n) {
    g_intervalCount = 0;
    return 1;
  }
  return 0;
}

int CountFps(bool count) {
  uint32_t now = timeGetTime();
  if (!g_fps.started) {
    g_fps.started = true;
    g_fps.windowStart = now;
  }
  if (!count) return g_fps.published;
  if (now - g_fps.windowStart > 999) {
    g_fps.published = g_fps.frames;
    g_fps.windowStart = now;
    g_fps.frames = 0;
    return g_fps.published;
  }
  ++g_fps.frames;
  return g_fps.published;
}

bool CheckFrameInterval(int fps) {
  uint32_t now = timeGetTime();
  if (!g_limiter.started) {
    g_limiter.started = true;
    g_limiter.due = now;
  }
  g_limiter.lastTest = now;
  if (fps == 0) return true;
  if (before(now, g_limiter.due)) return false;
  g_limiter.due = now + static_cast<uint32_t>(1000 / fps);
  return true;
}

bool CheckFramePace(int fps, bool show, void* surface) {
  const cFramePaceHooks& hooks = g_framePaceHooks;
  if ((hooks.hasDevice && !hooks.hasDevice()) || fps == 0) return true;
  uint32_t now = timeGetTime();
  cFramePacer& p = g_pacer;
  if (!p.started) {
    p.started = true;
    p.windowStart = now;
  }
  const bool overlay = show && surface;
  if (overlay && p.averagesPending) {
    p.averagesPending = false;
    p.frameTimes.Add(StopFrameTimer(false));
    p.rates.Add(static_cast<uint32_t>(CountFps(false)));
  }
  const double due = p.frames * (1000.0 / fps);
  if (due > static_cast<double>(now - p.windowStart)) return false;
  if (++p.frames >= fps) {
    p.windowStart = now;
    p.frames = 0;
  }
  if (overlay) {
    char text[160];
    std::snprintf(text, sizeof text, "FPS-Ave %u(%u)\ndwTime_OneSec %u\nnFrameCt_OneSec %u", p.rates.average,
                  p.frameTimes.average, p.windowStart, static_cast<unsigned>(p.frames));
    if (hooks.drawOverlay) hooks.drawOverlay(surface, text);
    p.averagesPending = true;
  }
  return true;
}

cFramePaceHooks SetFramePaceHooks(const cFramePaceHooks& hooks) { return std::exchange(g_framePaceHooks, hooks); }

void ResetFrameTiming() {
  g_stopwatchStart.store(0);
  g_lastFrameTime.store(0);
  g_intervalCount = 0;
  g_fps = cFpsCounter{};
  g_limiter = cFrameLimiter{};
  g_pacer = cFramePacer{};
}
