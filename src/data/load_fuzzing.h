#pragma once
// Entry points of the loader fuzz targets. Each reads one game file from arbitrary bytes through the
// game's own loader; when the file loads, what loaded is written, read back and written again, and
// both writings must agree. Returns false only when they do not (a loader or writer fault); a file
// the game refuses is a normal outcome.
#include <cstddef>
#include <cstdint>

bool FuzzSystemDataFile(const uint8_t* data, size_t size);
// The first byte picks which of the ten database files the rest is read as.
bool FuzzDatabaseFile(const uint8_t* data, size_t size);
bool FuzzPaletteFile(const uint8_t* data, size_t size);
bool FuzzStageFile(const uint8_t* data, size_t size);
bool FuzzWorldMapFile(const uint8_t* data, size_t size);
