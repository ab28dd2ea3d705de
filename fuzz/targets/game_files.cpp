// The designer's files under "data": project settings, database, common palette, stage files and
// world map, read from memory through the game's own loaders.
#include <vector>

#include "core/log.h"
#include "core/record.h"
#include "data/database.h"
#include "data/game_data.h"
#include "data/palette.h"
#include "data/stage_data.h"
#include "data/system_data.h"
#include "data/world_map.h"
#include "fuzz_targets.h"
#include "targets/round_trip.h"

namespace {

// Every input starts as a fresh run of the game would: no fatal stop has happened, the file
// versions are as start-up sets them.
void FreshRun() {
  g_bQuit = 0;
  g_FileVersions.Reset();
}

}  // namespace

bool FuzzSystemDataFile(const uint8_t* data, size_t size) {
  FreshRun();
  return LoadWriteReload<cSystemData>(std::vector<uint8_t>(data, data + size));
}

bool FuzzDatabaseFile(const uint8_t* data, size_t size) {
  if (size < 1) return true;
  const auto which = static_cast<eDatabaseFile>(data[0] % kDatabaseFileCount);
  FreshRun();
  auto file = OpenDataBytesR(std::vector<uint8_t>(data + 1, data + size));
  cDatabase db(FreshRecord<cDatabase>());
  // A file the game refuses, or one that made the fatal stop (no file is written after it).
  if (!file || !db.LoadDatabaseFile(which, *file) || g_bQuit) return true;
  // Written, read back and written again: the two writings must agree.
  const std::vector<uint8_t> written = db.DatabaseFileBytes(which);
  auto again = OpenDataBytesR(written);
  cDatabase second(FreshRecord<cDatabase>());
  return again && second.LoadDatabaseFile(which, *again) && second.DatabaseFileBytes(which) == written;
}

bool FuzzPaletteFile(const uint8_t* data, size_t size) {
  FreshRun();
  return LoadWriteReload<cPalette>(std::vector<uint8_t>(data, data + size));
}

bool FuzzStageFile(const uint8_t* data, size_t size) {
  FreshRun();
  const bool ok = LoadWriteReload<cStageData>(std::vector<uint8_t>(data, data + size));
  // Normalising any stage derives the hit-check values on the played one; leave it fresh.
  g_StageFile.ResetStageData();
  return ok;
}

bool FuzzWorldMapFile(const uint8_t* data, size_t size) {
  FreshRun();
  const std::vector<uint8_t> bytes(data, data + size);
  cWorldMap first(FreshRecord<cWorldMap>());
  if (!LoadIntoFresh(first, bytes)) return true;
  // A few bytes may describe a grid of millions of cells, which the load builds and repairs; the
  // trip back is the same code over as many cells, so a large grid goes once only.
  if (first.m_anGrid.size() > (size_t{1} << 16)) return true;
  const std::vector<uint8_t> written = first.SaveToBytes();
  cWorldMap second(FreshRecord<cWorldMap>());
  if (!LoadIntoFresh(second, written)) return false;
  return second.SaveToBytes() == written;
}
