// Replay playback. BM_DemoReplayPlayback plays a whole replay of the demo game's first stage
// headless, logic and drawing, as `qc4 --headless --play-replay` does, and reports its play frames
// per second (target: at least 2000). The demo game is made by the demo generator and the replay is
// recorded in the set-up by the program itself, from a scripted test play that clears the stage;
// each iteration is one run of the replay in a child process, timed from its first play frame to
// its last (the start-up and the stage's intro before them are left out).
//
// Besides, the replay side of a play frame alone: the input taken from the log of a one-hour play
// whose keys change every few frames (one iteration = one frame; the log rewinds at its end), with
// and without the frame's trace line; and reading that replay file whole.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "data/game_data.h"
#include "data/replay_file.h"
#include "shell/command_line.h"
#include "shell/input_state.h"
#include "shell/program.h"
#include "stage/install_stage_play.h"
#include "stage/play_trace.h"
#include "stage/replay_play.h"
#include "stage/stage_start.h"

#include "demo_game.h"

namespace {

constexpr const char* kRecordChildFlag = "--record-child";
constexpr const char* kPlaybackChildFlag = "--playback-child";

// A test play of the first stage that walks right, stomps the beetle, rides the lift over the gap
// and walks on to the goal (the keys of tests/data/replays/c01-1.input; the play starts once the
// stage has faded in, eleven frames after the first).
constexpr const char* kClearFirstStage =
    "20 press RIGHT\n"
    "140 press Z\n"
    "148 release Z\n"
    "260 release RIGHT\n"
    "365 press RIGHT\n";

double SecondsNow() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// A run of the game in the child, as qc4's own entry runs it: stage play installed, the replay files
// of the command line set up before and written after. Its exit status.
int RunGameAsQc4(const std::vector<std::string>& args) {
  cCommandLine commandLine;
  std::string error;
  if (!ParseCommandLine(args, commandLine, &error)) {
    std::fprintf(stderr, "replay child: %s\n", error.c_str());
    return kExitBadCommandLine;
  }
  static cReplayRunOptions options;
  options.strRecordPath = commandLine.recordReplay;
  options.strPlayPath = commandLine.playReplay;
  InstallStagePlay();
  int code = RunProgram(commandLine, [](std::string* e) { return SetReplayRunOptions(options, e); });
  if (!FinishReplayRun(&error) && code == kExitNormal) code = kExitCannotRun;
  return code;
}

// The playback child: plays the replay while a watcher notes when each play frame's logic is done,
// and writes the play frames after the first and the seconds they took into the pipe.
int RunPlaybackChild(int argc, char** argv) {
  if (argc < 3) return kExitBadCommandLine;
  const int fd = std::atoi(argv[2]);
  std::atomic<bool> done{false};
  std::thread watcher([&] {
    int first = 0;
    int last = 0;
    double firstAt = 0;
    double lastAt = 0;
    while (!done.load()) {
      const int frames = LastStageFrames();
      if (frames != last) {
        const double now = SecondsNow();
        if (first == 0) {
          first = frames;
          firstAt = now;
        }
        last = frames;
        lastAt = now;
      }
      std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    const double result[2] = {static_cast<double>(last - first), lastAt - firstAt};
    if (write(fd, result, sizeof result) != static_cast<ssize_t>(sizeof result)) std::perror("playback child");
  });
  const int code = RunGameAsQc4(std::vector<std::string>(argv + 3, argv + argc));
  done = true;
  watcher.join();
  close(fd);
  return code;
}

// The demo game with the replay of its first stage cleared.
class cDemoReplay {
 public:
  cDemoReplay() {
    if (!m_Game.Ok()) return;
    m_Replay = m_Game.Path("bench.rpl4");
    const std::string script = m_Game.Path("bench_input.txt");
    std::ofstream(script) << kClearFirstStage;
    const pid_t pid = SpawnBenchChild({kRecordChildFlag, "--headless", "--test-play", "data/stg4/c01-1.stg4", "--input",
                                       script, "--record-replay", m_Replay, "--frames", "600", m_Game.Dir()},
                                      -1);
    m_bOk = WaitBenchChild(pid);
  }
  bool Ok() const { return m_bOk; }
  const std::string& Replay() const { return m_Replay; }
  std::string Dir() const { return m_Game.Dir(); }

 private:
  cBenchDemoGame m_Game;
  std::string m_Replay;
  bool m_bOk = false;
};

void BM_DemoReplayPlayback(benchmark::State& state) {
  cDemoReplay demo;
  if (!demo.Ok()) {
    state.SkipWithError("the demo game or its replay could not be made");
    return;
  }
  double frames = 0;
  double seconds = 0;
  for (auto _ : state) {
    int fds[2];
    if (pipe(fds) != 0) {
      state.SkipWithError("no pipe");
      return;
    }
    const pid_t pid = SpawnBenchChild(
        {kPlaybackChildFlag, std::to_string(fds[1]), "--headless", "--play-replay", demo.Replay(), demo.Dir()}, fds[0]);
    close(fds[1]);
    double result[2] = {0, 0};
    const bool reported = pid > 0 && read(fds[0], result, sizeof result) == static_cast<ssize_t>(sizeof result);
    close(fds[0]);
    if (!WaitBenchChild(pid) || !reported || result[0] <= 0 || result[1] <= 0) {
      state.SkipWithError("the replay run failed");
      return;
    }
    state.SetIterationTime(result[1]);
    frames += result[0];
    seconds += result[1];
  }
  state.counters["play_frames"] = frames / static_cast<double>(state.iterations());
  state.counters["frames_per_second"] = frames / seconds;
}
BENCHMARK(BM_DemoReplayPlayback)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

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

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == kRecordChildFlag)
    return RunGameAsQc4(std::vector<std::string>(argv + 2, argv + argc));
  if (argc > 1 && std::string(argv[1]) == kPlaybackChildFlag) return RunPlaybackChild(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
