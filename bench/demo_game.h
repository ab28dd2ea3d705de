#pragma once
// What the benchmarks that run the demo game share: the demo game made by the demo generator in a
// temporary folder, and runs of the program in a child process (this benchmark program again, told
// by a first argument to run the game as qc4 does), so that nothing stays loaded or cached in the
// benchmark's own process from one run to the next.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

extern char** environ;

// The demo game, made once per benchmark run (QC4_MAKE_DEMO names the generator).
class cBenchDemoGame {
 public:
  cBenchDemoGame() {
    char folder[] = "/tmp/qc4_bench_demo_XXXXXX";
    if (mkdtemp(folder) == nullptr) return;
    m_Dir = folder;
    const std::string command = std::string(QC4_MAKE_DEMO) + " " + m_Dir.string() + " >/dev/null";
    m_bOk = std::system(command.c_str()) == 0;
  }
  ~cBenchDemoGame() {
    std::error_code ec;
    if (!m_Dir.empty()) std::filesystem::remove_all(m_Dir, ec);
  }
  cBenchDemoGame(const cBenchDemoGame&) = delete;
  cBenchDemoGame& operator=(const cBenchDemoGame&) = delete;

  bool Ok() const { return m_bOk; }
  std::string Dir() const { return m_Dir.string(); }
  // A path inside the game's folder.
  std::string Path(const char* name) const { return (m_Dir / name).string(); }

 private:
  std::filesystem::path m_Dir;
  bool m_bOk = false;
};

// Starts this program again with args (args[0] is the first argument after the program's name), its
// standard output thrown away and closeFd (the caller's end of a pipe; -1: none) closed in it; the
// child's id, or -1.
inline pid_t SpawnBenchChild(const std::vector<std::string>& args, int closeFd) {
  std::vector<std::string> all = {"/proc/self/exe"};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (closeFd >= 0) posix_spawn_file_actions_addclose(&actions, closeFd);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return spawned == 0 ? pid : -1;
}

// Waits for a child; true when it exited with status 0.
inline bool WaitBenchChild(pid_t pid) {
  int status = 0;
  if (pid <= 0 || waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
