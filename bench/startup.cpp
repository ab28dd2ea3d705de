// Start-up benchmark: from starting the program to its first frame shown, on the demo game, run
// headless for one frame (`qc4 --headless --frames 1 DEMO`). Target: under 150 ms.
//
// Each iteration starts a new process (this program again, running the game as qc4 does), so that
// nothing stays loaded or cached inside the process from one run to the next. The child notes the
// moment the first game frame (not the loading picture shown during start-up) reaches the frame
// mailbox and reports it, measured from just before the parent started it (one monotonic clock for
// both), through a pipe. The whole run, closing down after that frame included, is reported beside
// it.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/gfx/frame_mailbox.h"
#include "shell/command_line.h"
#include "shell/game_loop.h"
#include "shell/program.h"

extern char** environ;

namespace {

constexpr const char* kChildFlag = "--startup-child";

int64_t NowNanoseconds() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// The child: runs the game as qc4 does (the arguments after the start time and the pipe) while a
// watcher writes the nanoseconds from the start to the first frame into the pipe.
int RunChild(int argc, char** argv) {
  if (argc < 4) return 2;
  const int64_t started = std::strtoll(argv[2], nullptr, 10);
  const int fd = std::atoi(argv[3]);
  cCommandLine commandLine;
  std::string error;
  if (!ParseCommandLine(std::vector<std::string>(argv + 4, argv + argc), commandLine, &error)) {
    std::fprintf(stderr, "startup child: %s\n", error.c_str());
    return 2;
  }
  std::atomic<bool> done{false};
  std::thread watcher([&] {
    auto waitFor = [&](auto condition) {
      while (!done.load() && !condition()) std::this_thread::sleep_for(std::chrono::microseconds(100));
      return condition();
    };
    // The first frame's input is polled before it is drawn and shown. Should its frame be shown
    // before the watcher takes the serial, the wait runs to the end of the program: a slower
    // result, never a faster one.
    int64_t elapsed = -1;
    if (waitFor([] { return PolledFrames() >= 1; })) {
      const uint64_t before = gfx::TheFrameMailbox().Serial();
      waitFor([&] { return gfx::TheFrameMailbox().Serial() > before; });
      elapsed = NowNanoseconds() - started;
    }
    if (write(fd, &elapsed, sizeof elapsed) != static_cast<ssize_t>(sizeof elapsed)) std::perror("startup child");
  });
  const int code = RunProgram(commandLine);
  done = true;
  watcher.join();
  close(fd);
  return code;
}

// The demo game, made once per benchmark run in a temporary folder by the demo generator.
class DemoGame {
 public:
  DemoGame() {
    char tmpl[] = "/tmp/qc4_bench_startup_XXXXXX";
    if (mkdtemp(tmpl) == nullptr) return;
    m_dir = tmpl;
    const std::string command = std::string(QC4_MAKE_DEMO) + " " + m_dir.string() + " >/dev/null";
    m_ok = std::system(command.c_str()) == 0;
  }
  ~DemoGame() {
    std::error_code ec;
    if (!m_dir.empty()) std::filesystem::remove_all(m_dir, ec);
  }
  bool ok() const { return m_ok; }
  std::string Dir() const { return m_dir.string(); }

 private:
  std::filesystem::path m_dir;
  bool m_ok = false;
};

// One headless run of one frame; false when it could not be started or failed.
bool RunOnce(const std::string& gameDir, double* firstFrameSeconds, double* wholeRunSeconds) {
  int fds[2];
  if (pipe(fds) != 0) return false;
  const int64_t started = NowNanoseconds();
  const std::string startedText = std::to_string(started), fdText = std::to_string(fds[1]);
  std::vector<std::string> args = {"/proc/self/exe", kChildFlag, startedText, fdText,
                                   "--headless",     "--frames", "1",         gameDir};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  int64_t elapsed = -1;
  const bool reported = spawned == 0 && read(fds[0], &elapsed, sizeof elapsed) == static_cast<ssize_t>(sizeof elapsed);
  close(fds[0]);
  int status = 0;
  if (spawned == 0) waitpid(pid, &status, 0);
  *wholeRunSeconds = (NowNanoseconds() - started) / 1e9;
  *firstFrameSeconds = elapsed / 1e9;
  return reported && elapsed > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double g_firstFrameTotal = 0, g_wholeRunTotal = 0;
int g_runs = 0;

void BM_StartToFirstFrame(benchmark::State& state) {
  DemoGame game;
  if (!game.ok()) {
    state.SkipWithError("the demo game could not be made");
    return;
  }
  double wholeTotal = 0;
  int runs = 0;
  for (auto _ : state) {
    double firstFrame = 0, whole = 0;
    if (!RunOnce(game.Dir(), &firstFrame, &whole)) {
      state.SkipWithError("the headless run failed");
      return;
    }
    state.SetIterationTime(firstFrame);
    g_firstFrameTotal += firstFrame;
    wholeTotal += whole;
    ++runs;
  }
  g_wholeRunTotal += wholeTotal;
  g_runs += runs;
  state.counters["whole_run_ms"] = benchmark::Counter(wholeTotal * 1000 / runs);
}

BENCHMARK(BM_StartToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == kChildFlag) return RunChild(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  if (g_runs > 0)
    std::printf("\nstart to first frame %.1f ms (target: under 150 ms); whole run of one frame %.1f ms\n",
                g_firstFrameTotal * 1000 / g_runs, g_wholeRunTotal * 1000 / g_runs);
  benchmark::Shutdown();
  return 0;
}
