#pragma once
// What the tests that run the built programs (qc4 and the demo generator) share: their paths, the
// exit status of a finished run, a file read back whole, and working inside a game folder.
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

inline const std::string kMakeDemo = std::string(QC4_BINARY_DIR) + "/tools/qc4-make-demo";
inline const std::string kQc4 = std::string(QC4_BINARY_DIR) + "/src/qc4";

// The exit status of a run that ended by itself; -1 when a signal ended it.
inline int exitStatus(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

inline std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Writes a fresh demo game into folder (whatever was there goes first); false when the generator
// failed.
inline bool MakeDemoGame(const std::filesystem::path& folder) {
  std::filesystem::remove_all(folder);
  const std::string command = "'" + kMakeDemo + "' '" + folder.string() + "' >/dev/null 2>&1";
  return exitStatus(std::system(command.c_str())) == 0;
}

// Runs in the game folder while it lives, as the game's own paths are relative to it.
class cInFolder {
 public:
  explicit cInFolder(const std::filesystem::path& folder) : m_Old(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~cInFolder() { std::filesystem::current_path(m_Old); }
  cInFolder(const cInFolder&) = delete;
  cInFolder& operator=(const cInFolder&) = delete;

 private:
  std::filesystem::path m_Old;
};
