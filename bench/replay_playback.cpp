// Replay playback, the replay side of a play frame: the input taken from the log of a one-hour play
// whose keys change every few frames (one iteration = one frame; the log rewinds at its end), with
// and without the frame's trace line; and reading that replay file whole. Target: the replay side
// costs a small part of the 0.5 ms a frame may take for a replay to play at 2000 frames per second
// or more. The whole stage's replay rate (logic and drawing of a played stage) is measured with
// stage play's own benchmark.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "data/game_data.h"
#include "data/replay_file.h"
#include "shell/input_state.h"
#include "stage/play_trace.h"
#include "stage/replay_play.h"

namespace {

constexpr int kHourFrames = 60 * 60 * 60;

// The replay file of an hour's play: direction and buttons changing on their own rhythms.
const std::vector<uint8_t>& HourReplay() {
  static const std::vector<uint8_t> bytes = [] {
    cInputLog log;
    log.m_nSeed = 12345;
    for (int f = 0; f < kHourFrames; ++f)
      log.RecordInputFrame(static_cast<int16_t>((f / 7) % 3 == 0 ? 0 : 2), static_cast<int16_t>((f / 11) % 4 == 0));
    cStageData stage, settings;
    cSaveData progress;
    return ReplayFileBytes(log, stage, settings, progress);
  }();
  return bytes;
}

void LoadHourReplay() {
  if (!LoadReplayBytes(HourReplay(), g_InputLog, g_StageFile, g_StageData, g_SaveData)) std::abort();
  g_nPlayMode = kPlayModeReplay;
  StartReplayPlayback();
}

void BM_ReplayInputPerFrame(benchmark::State& state) {
  LoadHourReplay();
  cInputState input;
  for (auto _ : state) {
    if (PlayReplayFrame(input)) StartReplayPlayback();
    benchmark::DoNotOptimize(input.m_wDir);
  }
  state.counters["frames_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReplayInputPerFrame);

void BM_ReplayInputAndTracePerFrame(benchmark::State& state) {
  LoadHourReplay();
  cInputState input;
  StartPlayTrace();
  uint64_t frame = 0;
  for (auto _ : state) {
    if (PlayReplayFrame(input)) StartReplayPlayback();
    TracePlayFrame(++frame);
    // In memory the lines collect until the trace stops; keep the collected text bounded here.
    if ((frame & 0xFFFF) == 0) {
      StopPlayTrace();
      StartPlayTrace();
    }
  }
  StopPlayTrace();
  state.counters["frames_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReplayInputAndTracePerFrame);

void BM_ReadHourReplay(benchmark::State& state) {
  const std::vector<uint8_t>& bytes = HourReplay();
  for (auto _ : state) {
    if (!LoadReplayBytes(bytes, g_InputLog, g_StageFile, g_StageData, g_SaveData)) std::abort();
  }
  state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_ReadHourReplay)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
