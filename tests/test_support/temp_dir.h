#pragma once
// A scratch folder of this test process. CTest runs every test case as its own process, many at a
// time, so two cases must never share a scratch file name: the folder is named after the process.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

inline const std::filesystem::path& TestTempDir() {
  static const std::filesystem::path dir = [] {
    auto d = std::filesystem::temp_directory_path() / ("qc4-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(d);
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(std::filesystem::temp_directory_path() / ("qc4-test-" + std::to_string(::getpid())),
                                  ec);
    });
    return d;
  }();
  return dir;
}

inline std::string TestTempPath(const std::string& name) { return (TestTempDir() / name).string(); }
