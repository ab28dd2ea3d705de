#include "data/load_fuzzing.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/log.h"
#include "core/record.h"
#include "data/database.h"
#include "data/palette.h"
#include "data/stage_data.h"
#include "data/system_data.h"
#include "data/world_map.h"
#include "platform/files.h"

namespace {

// Loads the bytes into a fresh T; when they load, the written form must survive a second trip.
// Every input starts as a fresh run of the game would: no fatal stop has happened.
void FreshRun() {
  g_bQuit = 0;
  g_nDataVersion = kDataVersion;
  g_bStripCR = 1;
}

template <class T>
bool LoadWriteReload(const uint8_t* data, size_t size) {
  FreshRun();
  g_bStripCR = 1;
  std::vector<uint8_t> bytes(data, data + size);
  T first;
  if (!first.LoadFromBytes(bytes)) return true;
  const std::vector<uint8_t> written = first.SaveToBytes();
  T second;
  if (!second.LoadFromBytes(written)) return false;
  return second.SaveToBytes() == written;
}

// Database files are read from disk by path: one scratch file per process in the temporary folder.
// It exists only while one input is tried, so that no run leaves it behind.
std::string ScratchPath() {
  std::error_code error;
  std::filesystem::path folder = std::filesystem::temp_directory_path(error);
  if (error) folder = "/tmp";
  return (folder / ("qc4_fuzz_db_" + std::to_string(getpid()) + ".dat")).string();
}

// Holds the scratch file of one input: removes it at the end, and writes without flushing to the
// disk meanwhile (every input is written and read back several times; none needs to survive a
// power cut).
class cScratchFile {
 public:
  cScratchFile() : m_strPath(ScratchPath()), m_bFlushSkippedBefore(SetSkipDiskFlush(true)) {}
  ~cScratchFile() {
    std::remove(m_strPath.c_str());
    SetSkipDiskFlush(m_bFlushSkippedBefore);
  }
  cScratchFile(const cScratchFile&) = delete;
  cScratchFile& operator=(const cScratchFile&) = delete;

  const std::string& Path() const { return m_strPath; }
  bool Write(const uint8_t* data, size_t size) const {
    FILE* f = std::fopen(m_strPath.c_str(), "wb");
    if (!f) return false;
    const bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
  }

 private:
  std::string m_strPath;
  bool m_bFlushSkippedBefore;
};

}  // namespace

bool FuzzSystemDataFile(const uint8_t* data, size_t size) { return LoadWriteReload<cSystemData>(data, size); }

bool FuzzDatabaseFile(const uint8_t* data, size_t size) {
  if (size < 1) return true;
  const auto which = static_cast<eDatabaseFile>(data[0] % kDatabaseFileCount);
  const cScratchFile scratch;
  const std::string& path = scratch.Path();
  if (!scratch.Write(data + 1, size - 1)) return true;
  FreshRun();
  cDatabase db;
  // A file the game refuses, or one that made the fatal stop (no file is written after it).
  if (!db.LoadDatabaseFile(which, path) || g_bQuit) return true;
  // Written, read back and written again: the two writings must agree.
  std::vector<uint8_t> first, second;
  cDatabase again;
  return db.SaveDatabaseFile(which, path) && ReadWholeFile(path, kMaxDataFileBytes, first) &&
         again.LoadDatabaseFile(which, path) && again.SaveDatabaseFile(which, path) &&
         ReadWholeFile(path, kMaxDataFileBytes, second) && first == second;
}

bool FuzzPaletteFile(const uint8_t* data, size_t size) { return LoadWriteReload<cPalette>(data, size); }

bool FuzzStageFile(const uint8_t* data, size_t size) {
  const bool ok = LoadWriteReload<cStageData>(data, size);
  // Normalising any stage derives the hit-check values on the played one; leave it fresh.
  g_StageFile.ResetStageData();
  return ok;
}

bool FuzzWorldMapFile(const uint8_t* data, size_t size) { return LoadWriteReload<cWorldMap>(data, size); }
