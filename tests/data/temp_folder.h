// A fresh folder under the system's temporary folder, removed with everything in it at the end.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

class cTempFolder {
 public:
  cTempFolder() {
    std::random_device rd;
    m_path = std::filesystem::temp_directory_path() / ("qc4_data_" + std::to_string(rd()) + "_" + std::to_string(rd()));
    std::filesystem::create_directories(m_path);
  }
  ~cTempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
  }
  cTempFolder(const cTempFolder&) = delete;
  cTempFolder& operator=(const cTempFolder&) = delete;

  const std::filesystem::path& Path() const { return m_path; }
  // The folder as a prefix for game paths ("/tmp/.../").
  std::string Prefix() const { return m_path.string() + "/"; }

  // Writes a file at a path relative to the folder ("/" separators), creating its folders.
  void Write(const std::string& relative, const std::vector<uint8_t>& bytes) const {
    const auto full = m_path / relative;
    std::filesystem::create_directories(full.parent_path());
    std::ofstream out(full, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

 private:
  std::filesystem::path m_path;
};
