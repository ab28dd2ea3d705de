#include "data/load_fuzzing.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
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

// Database files are read from disk by path: one scratch file per process.
const std::string& ScratchPath() {
  static const std::string path = [] {
    std::string p = "/tmp/qc4_fuzz_db_" + std::to_string(getpid()) + ".dat";
    std::atexit([] { std::remove(ScratchPath().c_str()); });
    return p;
  }();
  return path;
}

bool WriteScratch(const uint8_t* data, size_t size) {
  FILE* f = std::fopen(ScratchPath().c_str(), "wb");
  if (!f) return false;
  const bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

}  // namespace

bool FuzzSystemDataFile(const uint8_t* data, size_t size) { return LoadWriteReload<cSystemData>(data, size); }

bool FuzzDatabaseFile(const uint8_t* data, size_t size) {
  if (size < 1) return true;
  const auto which = static_cast<eDatabaseFile>(data[0] % kDatabaseFileCount);
  if (!WriteScratch(data + 1, size - 1)) return true;
  FreshRun();
  cDatabase db;
  // A file the game refuses, or one that made the fatal stop (no file is written after it).
  if (!db.LoadDatabaseFile(which, ScratchPath()) || g_bQuit) return true;
  // Written, read back and written again: the two writings must agree.
  std::vector<uint8_t> first, second;
  cDatabase again;
  return db.SaveDatabaseFile(which, ScratchPath()) && ReadWholeFile(ScratchPath(), kMaxDataFileBytes, first) &&
         again.LoadDatabaseFile(which, ScratchPath()) && again.SaveDatabaseFile(which, ScratchPath()) &&
         ReadWholeFile(ScratchPath(), kMaxDataFileBytes, second) && first == second;
}

bool FuzzPaletteFile(const uint8_t* data, size_t size) { return LoadWriteReload<cPalette>(data, size); }

bool FuzzStageFile(const uint8_t* data, size_t size) {
  const bool ok = LoadWriteReload<cStageData>(data, size);
  // Normalising any stage derives the hit-check values on the played one; leave it fresh.
  g_StageFile.ResetStageData();
  return ok;
}

bool FuzzWorldMapFile(const uint8_t* data, size_t size) { return LoadWriteReload<cWorldMap>(data, size); }
