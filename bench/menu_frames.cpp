// Menu frames: what a frame of a menu scene costs (the title, the world map, the stage select), run
// headless on the demo game by qc4 itself. A menu frame copies its pre-rendered screen once and draws
// its cursor over it; the text, boxes and lists are drawn into that screen only when something shown
// changes. Target: a menu frame well under 1 ms (a tenth of the 16.7 ms a frame may take).
//
// Each iteration runs qc4 twice on the same key script, once for `kShortRun` frames and once for
// `kLongRun` frames; the difference of the two wall times over the difference of their frames is the
// cost of one frame of the scene the script reaches (start-up, the way there and the close cancel
// out). A menu frame stands still here, as it does while the player reads it.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "demo_game.h"

namespace {

constexpr int kShortRun = 300;
constexpr int kLongRun = 1500;

struct cMenuCase {
  const char* name;
  const char* script;  // keys that reach the scene before frame kShortRun
};

const cMenuCase kCases[] = {
    {"Title", ""},
    // "はじめから", the first slot: the world map.
    {"WorldMap", "60 press Z\n62 release Z\n100 press Z\n102 release Z\n"},
    // "チャレンジ": the stage select.
    {"StageSelect", "40 press DOWN\n42 release DOWN\n46 press DOWN\n48 release DOWN\n60 press Z\n62 release Z\n"},
};

// One headless run of qc4 for `frames` frames with the script; its wall time in seconds (-1: failed).
double RunQc4(const cBenchDemoGame& game, const std::string& script, int frames) {
  std::vector<std::string> args = {QC4_PROGRAM, "--headless", "--frames", std::to_string(frames),
                                   "--input",   script,       game.Dir()};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, QC4_PROGRAM, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0 || !WaitBenchChild(pid)) return -1;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_MenuFrame(benchmark::State& state, const cMenuCase& c) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  cBenchDemoGame game;
  if (!game.Ok()) {
    state.SkipWithError("the demo game could not be made");
    return;
  }
  const std::string script = game.Path("menu_input.txt");
  std::ofstream(script) << c.script;
  double seconds = 0;
  int frames = 0;
  for (auto _ : state) {
    const double shortRun = RunQc4(game, script, kShortRun);
    const double longRun = RunQc4(game, script, kLongRun);
    if (shortRun < 0 || longRun < 0) {
      state.SkipWithError("qc4 failed");
      return;
    }
    seconds += longRun - shortRun;
    frames += kLongRun - kShortRun;
    state.SetIterationTime((longRun - shortRun) / (kLongRun - kShortRun));
  }
  state.counters["ms_per_frame"] = frames > 0 ? 1000.0 * seconds / frames : 0;
  state.counters["fps"] = seconds > 0 ? frames / seconds : 0;
}

void RegisterMenuFrames() {
  for (const cMenuCase& c : kCases)
    benchmark::RegisterBenchmark((std::string("MenuFrame/") + c.name).c_str(),
                                 [&c](benchmark::State& state) { BM_MenuFrame(state, c); })
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond)
        ->Iterations(3);
}

}  // namespace

int main(int argc, char** argv) {
  RegisterMenuFrames();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
