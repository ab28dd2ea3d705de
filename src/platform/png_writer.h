// Writes 32-bit RGB frames as PNG files (libpng), replacing the target atomically through the file
// layer (platform/files.h): the PNG goes to a temporary file beside the target, checked, flushed and
// renamed over it; on any failure the temporary file is removed and an existing target is kept.
// The path is a path of this system as the command line gives it (UTF-8, "/" separators), written
// as it stands: "café.png" is the file "café.png".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Encodes width x height pixels of X8R8G8B8 (0xXXRRGGBB, the top byte ignored) as an 8-bit RGB PNG.
// `pitchPixels` is the distance between rows in pixels (>= width). Returns an empty vector when the
// size is invalid (width or height <= 0, or absurdly large) or libpng fails.
std::vector<uint8_t> EncodePngRgb32(const uint32_t* pixels, int width, int height, int pitchPixels);

// Encodes and writes the frame to `path` atomically. Returns false (and sets `error` to the reason
// when given) on any failure; the old file at `path` is then untouched.
bool WritePngRgb32(const std::string& path, const uint32_t* pixels, int width, int height, int pitchPixels,
                   std::string* error = nullptr);
