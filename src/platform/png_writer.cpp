// PNG encoding of frames with libpng, into memory, then an atomic file replacement.
#include "platform/png_writer.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstring>

#include "platform/files.h"

namespace {

// Larger frames are refused: nothing the game shows comes near this (640 x 480 times a zoom).
constexpr int kMaxPngDimension = 16384;

void AppendToVector(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void FlushNothing(png_structp) {}

// libpng reports errors by longjmp; this wrapper keeps every local with a destructor out of the
// function that calls setjmp.
bool EncodeRows(png_structp png, png_infop info, const uint32_t* pixels, int width, int height, int pitchPixels,
                std::vector<uint8_t>& row, std::vector<uint8_t>& out) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, &out, AppendToVector, FlushNothing);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) {
    const uint32_t* source = pixels + static_cast<size_t>(y) * pitchPixels;
    for (int x = 0; x < width; ++x) {
      row[static_cast<size_t>(x) * 3 + 0] = static_cast<uint8_t>(source[x] >> 16);
      row[static_cast<size_t>(x) * 3 + 1] = static_cast<uint8_t>(source[x] >> 8);
      row[static_cast<size_t>(x) * 3 + 2] = static_cast<uint8_t>(source[x]);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  return true;
}

}  // namespace

std::vector<uint8_t> EncodePngRgb32(const uint32_t* pixels, int width, int height, int pitchPixels) {
  std::vector<uint8_t> out;
  if (pixels == nullptr || width <= 0 || height <= 0 || width > kMaxPngDimension || height > kMaxPngDimension ||
      pitchPixels < width) {
    return out;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return out;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return out;
  }
  std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
  const bool encoded = EncodeRows(png, info, pixels, width, height, pitchPixels, row, out);
  png_destroy_write_struct(&png, &info);
  if (!encoded) out.clear();
  return out;
}

bool WritePngRgb32(const std::string& path, const uint32_t* pixels, int width, int height, int pitchPixels,
                   std::string* error) {
  const std::vector<uint8_t> png = EncodePngRgb32(pixels, width, height, pitchPixels);
  if (png.empty()) {
    if (error != nullptr) *error = "cannot encode a " + std::to_string(width) + "x" + std::to_string(height) + " frame";
    return false;
  }
  if (!WriteHostFileAtomically(path, png.data(), png.size())) {
    if (error != nullptr) *error = std::strerror(errno);
    return false;
  }
  return true;
}
