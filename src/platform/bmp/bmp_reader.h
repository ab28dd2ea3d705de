// Windows bitmap reader: stands in for LoadImage(LR_LOADFROMFILE | LR_CREATEDIBSECTION) and the DIB
// calls that read a bitmap's size, depth, colour table and pixels.
//
// Reads every variant a Windows bitmap can take: 1, 4, 8, 16, 24 and 32 bits per pixel; RLE4 and
// RLE8; BI_BITFIELDS (and the alpha-bitfields form) with arbitrary 16- and 32-bit masks; the core
// (12-byte), info (40), V2 (52), V3 (56), V4 (108) and V5 (124) headers and the 16- and 64-byte
// second-generation core headers; top-down and bottom-up rows; colour tables shorter than 2^bits.
//
// Everything read is untrusted: every offset, count and run is checked against the buffer, sizes are
// bounded before anything is allocated, and a bad file is refused with a `BmpError` value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Why a bitmap was refused.
enum class BmpError {
  None = 0,
  FileUnreadable,          // the file could not be opened or read
  NotBitmap,               // no "BM" signature, or a header size no bitmap uses
  Truncated,               // headers, colour table or pixel data end before the file says they do
  BadHeader,               // impossible field: width <= 0, height 0, planes != 1, sizes past the file, ...
  BadBitCount,             // a depth no bitmap has, or one that does not go with the compression
  UnsupportedCompression,  // JPEG, PNG, Huffman, RLE24 or an unknown compression value
  BadPalette,              // colour table larger than the space the file gives it, or missing where needed
  BadMasks,                // a zero, overlapping or out-of-depth colour mask
  BadPixelIndex,           // a pixel names a colour-table entry the table does not have
  BadRle,                  // a run or a jump leaves the picture, or an unknown escape
  TooLarge,                // larger than `kBmpMaxDimension` / `kBmpMaxPixels`
};

// Short English name of an error, for log lines ("truncated", "too large", ...).
const char* BmpErrorName(BmpError error);

// Picture size limits: a larger bitmap is refused before any allocation.
inline constexpr int kBmpMaxDimension = 32768;
inline constexpr int64_t kBmpMaxPixels = int64_t{1} << 26;  // 64 M pixels (256 MB as 32-bit pixels)

// One colour-table entry, as the DIB colour table (RGBQUAD) holds it, without its reserved byte.
struct BmpColour {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  bool operator==(const BmpColour&) const = default;
};

// A decoded bitmap. Rows are stored top row first whatever the file's row order.
struct BmpImage {
  int width = 0;
  int height = 0;
  // Depth of the file: 1, 4, 8, 16, 24 or 32 (what GetObject reports as bmBitsPixel for the DIB).
  int bitsPerPixel = 0;
  // True when the file stored its rows top row first (negative height).
  bool topDown = false;
  // The colour table as read, for files of 8 bits or fewer (GetDIBColorTable); empty otherwise.
  // Its size is the number of entries the file holds (may be fewer than 2^bitsPerPixel).
  std::vector<BmpColour> palette;
  // One colour-table index per pixel (width * height, top row first), for files of 8 bits or fewer;
  // empty otherwise. RLE pixels a file leaves undefined (jumps, early end) are index 0.
  std::vector<uint8_t> indexes;
  // Every pixel as 32-bit X8R8G8B8 (0xFFRRGGBB: blue in the low byte, alpha byte always 0xFF, as a
  // device-independent bitmap is opaque), width * height, top row first. Filled for every depth.
  std::vector<uint32_t> pixels;

  bool IsPalettised() const { return bitsPerPixel <= 8; }
  uint32_t PixelAt(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  uint8_t IndexAt(int x, int y) const { return indexes[static_cast<size_t>(y) * width + x]; }
  // The picture as R, G, B, A bytes per pixel, top row first (alpha 255).
  std::vector<uint8_t> ToRgbaBytes() const;
};

// Result of a decode: `error` is BmpError::None exactly when `image` holds a picture.
struct BmpDecodeResult {
  BmpError error = BmpError::None;
  BmpImage image;
  bool ok() const { return error == BmpError::None; }
};

// Decodes a whole bitmap file held in memory. Never reads outside [data, data + size).
BmpDecodeResult DecodeBmp(const uint8_t* data, size_t size);
inline BmpDecodeResult DecodeBmp(const std::vector<uint8_t>& bytes) { return DecodeBmp(bytes.data(), bytes.size()); }

// Reads only the headers: size and depth, without decoding pixels (the picture-size checks that
// load nothing). `image.pixels`, `indexes` stay empty; `palette` is filled.
BmpDecodeResult ReadBmpInfo(const uint8_t* data, size_t size);

// Reads and decodes a bitmap file by its path on disk (a real path, used as it stands). Files larger
// than `kBmpMaxFileBytes` are refused unread.
inline constexpr size_t kBmpMaxFileBytes = size_t{512} << 20;
BmpDecodeResult LoadBmpFile(const std::string& path);

// The same for a game path ("bmp\\Title.bmp" in CP932 bytes), found through the file layer
// (platform/files.h: case-insensitive, Shift-JIS aware). A missing file is `FileUnreadable`.
BmpDecodeResult LoadBmpGameFile(std::string_view gamePath);
