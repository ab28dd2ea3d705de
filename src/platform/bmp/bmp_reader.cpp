// Windows bitmap decoding. See bmp_reader.h for what is read and refused.
#include "platform/bmp/bmp_reader.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <fstream>

#include "platform/files.h"

namespace {

// Compression values of the info header.
constexpr uint32_t kCompressRgb = 0;
constexpr uint32_t kCompressRle8 = 1;
constexpr uint32_t kCompressRle4 = 2;
constexpr uint32_t kCompressBitfields = 3;
constexpr uint32_t kCompressAlphaBitfields = 6;

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
// The second-generation core header in its longest form: its bytes 40-63 are not colour masks.
constexpr uint32_t kCore2HeaderSize = 64;

// A pixel density above this (about 25,400 dpi) only comes from a damaged header.
constexpr int64_t kMaxPixelsPerMetre = 1000000;

uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
int32_t ReadI32(const uint8_t* p) { return static_cast<int32_t>(ReadU32(p)); }

uint32_t MakePixel(uint8_t red, uint8_t green, uint8_t blue) {
  return 0xFF000000u | (static_cast<uint32_t>(red) << 16) | (static_cast<uint32_t>(green) << 8) | blue;
}

// One colour mask of a bit-field bitmap: where the field sits and how to widen it to 8 bits.
struct ChannelMask {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;

  static ChannelMask From(uint32_t mask) {
    ChannelMask channel;
    channel.mask = mask;
    if (mask != 0) {
      channel.shift = std::countr_zero(mask);
      channel.bits = std::popcount(mask);
    }
    return channel;
  }
  bool Contiguous() const { return mask == 0 || ((mask >> shift) & ((mask >> shift) + 1)) == 0; }
  // Scales the field to 0-255 as value * 255 / maximum, rounded down (a 5-bit 3 gives 24, 31 gives
  // 255), the scaling the bitmap readers of the platform share.
  uint8_t Extract(uint32_t pixel) const {
    if (bits == 0) return 0;
    const uint64_t value = (pixel & mask) >> shift;
    const uint64_t maximum = mask >> shift;
    return static_cast<uint8_t>(value * 255 / maximum);
  }
};

// Everything the headers say, checked against the buffer.
struct BmpLayout {
  int width = 0;
  int height = 0;  // always positive here
  bool topDown = false;
  int bitsPerPixel = 0;
  uint32_t compression = kCompressRgb;
  ChannelMask red, green, blue;
  size_t pixelOffset = 0;  // first byte of the pixel data
};

class BmpParser {
 public:
  BmpParser(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

  BmpError ParseHeaders(BmpLayout& layout, std::vector<BmpColour>& palette);
  BmpError DecodePixels(const BmpLayout& layout, BmpImage& image);

 private:
  BmpError DecodeUncompressed(const BmpLayout& layout, BmpImage& image);
  BmpError DecodeRle(const BmpLayout& layout, BmpImage& image);
  BmpError CheckMasks(BmpLayout& layout, uint32_t redMask, uint32_t greenMask, uint32_t blueMask);

  const uint8_t* m_data;
  size_t m_size;
};

bool IsKnownHeaderSize(uint32_t size) {
  switch (size) {
    case 12:   // core header
    case 16:   // second-generation core header, shortest form
    case 40:   // info header
    case 52:   // info header with RGB masks
    case 56:   // info header with RGBA masks
    case 64:   // second-generation core header, full form
    case 108:  // V4
    case 124:  // V5
      return true;
    default: return false;
  }
}

BmpError BmpParser::CheckMasks(BmpLayout& layout, uint32_t redMask, uint32_t greenMask, uint32_t blueMask) {
  // A colour without a field, fields sharing bits, fields above the pixel's bits or fields in
  // pieces describe no picture.
  if (redMask == 0 || greenMask == 0 || blueMask == 0) return BmpError::BadMasks;
  if ((redMask & greenMask) || (redMask & blueMask) || (greenMask & blueMask)) return BmpError::BadMasks;
  if (layout.bitsPerPixel == 16 && ((redMask | greenMask | blueMask) > 0xFFFFu)) return BmpError::BadMasks;
  layout.red = ChannelMask::From(redMask);
  layout.green = ChannelMask::From(greenMask);
  layout.blue = ChannelMask::From(blueMask);
  if (!layout.red.Contiguous() || !layout.green.Contiguous() || !layout.blue.Contiguous()) {
    return BmpError::BadMasks;
  }
  return BmpError::None;
}

BmpError BmpParser::ParseHeaders(BmpLayout& layout, std::vector<BmpColour>& palette) {
  if (m_size < 2 || m_data[0] != 'B' || m_data[1] != 'M') return BmpError::NotBitmap;
  if (m_size < kFileHeaderSize + 4) return BmpError::Truncated;
  const uint32_t fileSize = ReadU32(m_data + 2);
  const uint32_t pixelOffset = ReadU32(m_data + 10);
  const uint32_t headerSize = ReadU32(m_data + 14);
  if (!IsKnownHeaderSize(headerSize)) return BmpError::NotBitmap;
  // The file says how long it is; a file shorter than that lost its end.
  if (fileSize > m_size) return BmpError::Truncated;
  if (kFileHeaderSize + headerSize > m_size) return BmpError::Truncated;
  const uint8_t* header = m_data + kFileHeaderSize;

  int64_t width = 0;
  int64_t height = 0;
  uint32_t planes = 0;
  uint32_t compression = kCompressRgb;
  uint32_t imageSize = 0;
  int64_t densityX = 0;
  int64_t densityY = 0;
  uint32_t coloursUsed = 0;
  size_t paletteEntrySize = 4;
  if (headerSize == kCoreHeaderSize) {
    width = ReadU16(header + 4);
    height = ReadU16(header + 6);
    planes = ReadU16(header + 8);
    layout.bitsPerPixel = ReadU16(header + 10);
    paletteEntrySize = 3;
  } else {
    width = ReadI32(header + 4);
    height = ReadI32(header + 8);
    planes = ReadU16(header + 12);
    layout.bitsPerPixel = ReadU16(header + 14);
    if (headerSize >= kInfoHeaderSize) {
      compression = ReadU32(header + 16);
      imageSize = ReadU32(header + 20);
      densityX = ReadI32(header + 24);
      densityY = ReadI32(header + 28);
      coloursUsed = ReadU32(header + 32);
    }
  }

  if (planes != 1) return BmpError::BadHeader;
  if (width <= 0 || height == 0) return BmpError::BadHeader;
  if (densityX < 0 || densityY < 0 || densityX > kMaxPixelsPerMetre || densityY > kMaxPixelsPerMetre) {
    return BmpError::BadHeader;
  }
  if (imageSize > m_size) return BmpError::BadHeader;
  layout.topDown = height < 0;
  if (height < 0) height = -height;
  if (width > kBmpMaxDimension || height > kBmpMaxDimension || width * height > kBmpMaxPixels) {
    return BmpError::TooLarge;
  }
  layout.width = static_cast<int>(width);
  layout.height = static_cast<int>(height);

  // Compression and depth must go together.
  const int bits = layout.bitsPerPixel;
  const bool core2 = headerSize == 16 || headerSize == kCore2HeaderSize;
  size_t masksAfterHeader = 0;
  switch (compression) {
    case kCompressRgb:
      if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        return BmpError::BadBitCount;
      }
      if (headerSize == kCoreHeaderSize && bits != 1 && bits != 4 && bits != 8 && bits != 24) {
        return BmpError::BadBitCount;
      }
      break;
    case kCompressRle8:
      if (bits != 8) return BmpError::BadBitCount;
      if (layout.topDown) return BmpError::BadHeader;  // compressed rows are always bottom-up
      break;
    case kCompressRle4:
      if (bits != 4) return BmpError::BadBitCount;
      if (layout.topDown) return BmpError::BadHeader;
      break;
    case kCompressBitfields:
    case kCompressAlphaBitfields:
      // In the second-generation core header these values mean Huffman and RLE24 pictures.
      if (core2) return BmpError::UnsupportedCompression;
      if (bits != 16 && bits != 32) return BmpError::BadBitCount;
      if (headerSize == kInfoHeaderSize) { masksAfterHeader = compression == kCompressAlphaBitfields ? 4 : 3; }
      break;
    default: return BmpError::UnsupportedCompression;
  }
  layout.compression = compression;

  size_t tableStart = kFileHeaderSize + headerSize;
  if (compression == kCompressBitfields || compression == kCompressAlphaBitfields) {
    const uint8_t* masks = header + kInfoHeaderSize;
    if (masksAfterHeader > 0) {
      if (tableStart + masksAfterHeader * 4 > m_size) return BmpError::Truncated;
      tableStart += masksAfterHeader * 4;
    }
    BmpError maskError = CheckMasks(layout, ReadU32(masks), ReadU32(masks + 4), ReadU32(masks + 8));
    if (maskError != BmpError::None) return maskError;
  } else if (bits == 16) {
    CheckMasks(layout, 0x7C00, 0x03E0, 0x001F);
  } else if (bits == 32) {
    CheckMasks(layout, 0xFF0000, 0x00FF00, 0x0000FF);
  }

  // Where the pixels start: the file header says so; it may not point into the headers.
  if (pixelOffset < tableStart || pixelOffset > m_size) return BmpError::BadHeader;
  layout.pixelOffset = pixelOffset;

  palette.clear();
  if (bits <= 8) {
    const uint32_t fullTable = 1u << bits;
    uint64_t entries = fullTable;
    if (headerSize == kCoreHeaderSize) {
      // A core header has no count: the table fills the gap up to the pixels, at most 2^bits.
      entries = std::min<uint64_t>(fullTable, (pixelOffset - tableStart) / paletteEntrySize);
    } else if (coloursUsed != 0) {
      if (coloursUsed > fullTable) {
        // More entries than the depth can name: acceptable only while they fit before the pixels.
        if (tableStart + uint64_t{coloursUsed} * paletteEntrySize > pixelOffset) return BmpError::BadPalette;
        entries = fullTable;
      } else {
        entries = coloursUsed;
      }
    }
    if (entries == 0) return BmpError::BadPalette;
    if (tableStart + entries * paletteEntrySize > m_size) return BmpError::Truncated;
    if (tableStart + entries * paletteEntrySize > pixelOffset) return BmpError::BadPalette;
    palette.resize(entries);
    for (size_t i = 0; i < entries; ++i) {
      const uint8_t* entry = m_data + tableStart + i * paletteEntrySize;
      palette[i] = BmpColour{entry[2], entry[1], entry[0]};
    }
  }
  return BmpError::None;
}

BmpError BmpParser::DecodeUncompressed(const BmpLayout& layout, BmpImage& image) {
  const uint64_t rowBits = uint64_t{static_cast<uint64_t>(layout.width)} * layout.bitsPerPixel;
  const uint64_t rowBytes = (rowBits + 7) / 8;
  const uint64_t stride = (rowBits + 31) / 32 * 4;
  // The last row may do without its padding; everything before it is needed whole.
  const uint64_t needed = stride * (layout.height - 1) + rowBytes;
  if (layout.pixelOffset + needed > m_size) return BmpError::Truncated;

  const int width = layout.width;
  const int bits = layout.bitsPerPixel;
  const size_t paletteSize = image.palette.size();
  for (int y = 0; y < layout.height; ++y) {
    const int fileRow = layout.topDown ? y : layout.height - 1 - y;
    const uint8_t* row = m_data + layout.pixelOffset + stride * fileRow;
    uint32_t* out = image.pixels.data() + static_cast<size_t>(y) * width;
    if (bits <= 8) {
      uint8_t* indexOut = image.indexes.data() + static_cast<size_t>(y) * width;
      const int perByte = 8 / bits;
      const uint8_t valueMask = static_cast<uint8_t>((1u << bits) - 1);
      for (int x = 0; x < width; ++x) {
        const uint8_t byte = row[x / perByte];
        const int shift = 8 - bits * (x % perByte + 1);
        const uint8_t index = static_cast<uint8_t>((byte >> shift) & valueMask);
        if (index >= paletteSize) return BmpError::BadPixelIndex;
        indexOut[x] = index;
        const BmpColour& colour = image.palette[index];
        out[x] = MakePixel(colour.red, colour.green, colour.blue);
      }
    } else if (bits == 24) {
      for (int x = 0; x < width; ++x) {
        const uint8_t* p = row + x * 3;
        out[x] = MakePixel(p[2], p[1], p[0]);
      }
    } else {
      for (int x = 0; x < width; ++x) {
        const uint32_t value = bits == 16 ? ReadU16(row + x * 2) : ReadU32(row + x * 4);
        out[x] = MakePixel(layout.red.Extract(value), layout.green.Extract(value), layout.blue.Extract(value));
      }
    }
  }
  return BmpError::None;
}

// Run-length pictures: rows bottom-up; a run or a literal that would leave its row, or a jump that
// would leave the picture, is refused rather than wrapped or clipped. Pixels the data never sets
// (jumps, an end-of-line before the row's end, an early end) keep index 0. Data that ends without an
// end-of-picture mark keeps what was decoded.
BmpError BmpParser::DecodeRle(const BmpLayout& layout, BmpImage& image) {
  const bool rle4 = layout.compression == kCompressRle4;
  const int width = layout.width;
  const int height = layout.height;
  const size_t paletteSize = image.palette.size();
  size_t pos = layout.pixelOffset;
  int x = 0;
  int y = 0;  // counted from the bottom row

  auto put = [&](uint8_t index) -> BmpError {
    if (x >= width || y >= height) return BmpError::BadRle;
    if (index >= paletteSize) return BmpError::BadPixelIndex;
    image.indexes[static_cast<size_t>(height - 1 - y) * width + x] = index;
    ++x;
    return BmpError::None;
  };

  while (pos + 2 <= m_size) {
    const uint8_t count = m_data[pos];
    const uint8_t value = m_data[pos + 1];
    pos += 2;
    if (count > 0) {
      if (x + count > width || y >= height) return BmpError::BadRle;
      for (int i = 0; i < count; ++i) {
        const uint8_t index = rle4 ? ((i & 1) ? (value & 0x0F) : (value >> 4)) : value;
        if (BmpError e = put(index); e != BmpError::None) return e;
      }
      continue;
    }
    switch (value) {
      case 0:  // end of line
        x = 0;
        ++y;
        break;
      case 1:  // end of picture
        return BmpError::None;
      case 2: {  // jump right and up
        if (pos + 2 > m_size) return BmpError::Truncated;
        const int dx = m_data[pos];
        const int dy = m_data[pos + 1];
        pos += 2;
        x += dx;
        y += dy;
        if (x > width || y > height || (y == height && x > 0)) return BmpError::BadRle;
        break;
      }
      default: {  // literal pixels, padded to a 16-bit boundary
        const int pixels = value;
        const size_t bytes = rle4 ? (pixels + 1) / 2 : pixels;
        const size_t padded = (bytes + 1) & ~size_t{1};
        if (pos + bytes > m_size) return BmpError::Truncated;
        if (x + pixels > width || y >= height) return BmpError::BadRle;
        for (int i = 0; i < pixels; ++i) {
          const uint8_t byte = m_data[pos + (rle4 ? i / 2 : i)];
          const uint8_t index = rle4 ? ((i & 1) ? (byte & 0x0F) : (byte >> 4)) : byte;
          if (BmpError e = put(index); e != BmpError::None) return e;
        }
        pos += std::min(padded, m_size - pos);
        break;
      }
    }
  }
  return BmpError::None;
}

BmpError BmpParser::DecodePixels(const BmpLayout& layout, BmpImage& image) {
  const size_t count = static_cast<size_t>(layout.width) * layout.height;
  image.pixels.assign(count, 0);
  if (layout.bitsPerPixel <= 8) image.indexes.assign(count, 0);
  if (layout.compression == kCompressRle8 || layout.compression == kCompressRle4) {
    BmpError error = DecodeRle(layout, image);
    if (error != BmpError::None) return error;
    for (size_t i = 0; i < count; ++i) {
      const BmpColour& colour = image.palette[image.indexes[i]];
      image.pixels[i] = MakePixel(colour.red, colour.green, colour.blue);
    }
    return BmpError::None;
  }
  return DecodeUncompressed(layout, image);
}

BmpDecodeResult Decode(const uint8_t* data, size_t size, bool withPixels) {
  BmpDecodeResult result;
  if (data == nullptr) {
    result.error = BmpError::NotBitmap;
    return result;
  }
  BmpParser parser(data, size);
  BmpLayout layout;
  result.error = parser.ParseHeaders(layout, result.image.palette);
  if (result.error == BmpError::None && withPixels) { result.error = parser.DecodePixels(layout, result.image); }
  if (result.error != BmpError::None) {
    result.image = BmpImage{};
    return result;
  }
  result.image.width = layout.width;
  result.image.height = layout.height;
  result.image.bitsPerPixel = layout.bitsPerPixel;
  result.image.topDown = layout.topDown;
  return result;
}

}  // namespace

const char* BmpErrorName(BmpError error) {
  switch (error) {
    case BmpError::None: return "no error";
    case BmpError::FileUnreadable: return "file unreadable";
    case BmpError::NotBitmap: return "not a bitmap";
    case BmpError::Truncated: return "truncated";
    case BmpError::BadHeader: return "bad header";
    case BmpError::BadBitCount: return "bad bit count";
    case BmpError::UnsupportedCompression: return "unsupported compression";
    case BmpError::BadPalette: return "bad colour table";
    case BmpError::BadMasks: return "bad colour masks";
    case BmpError::BadPixelIndex: return "pixel outside the colour table";
    case BmpError::BadRle: return "bad run-length data";
    case BmpError::TooLarge: return "too large";
  }
  return "unknown error";
}

std::vector<uint8_t> BmpImage::ToRgbaBytes() const {
  std::vector<uint8_t> bytes(pixels.size() * 4);
  for (size_t i = 0; i < pixels.size(); ++i) {
    bytes[i * 4 + 0] = static_cast<uint8_t>(pixels[i] >> 16);
    bytes[i * 4 + 1] = static_cast<uint8_t>(pixels[i] >> 8);
    bytes[i * 4 + 2] = static_cast<uint8_t>(pixels[i]);
    bytes[i * 4 + 3] = static_cast<uint8_t>(pixels[i] >> 24);
  }
  return bytes;
}

BmpDecodeResult DecodeBmp(const uint8_t* data, size_t size) { return Decode(data, size, true); }

BmpDecodeResult ReadBmpInfo(const uint8_t* data, size_t size) { return Decode(data, size, false); }

BmpDecodeResult LoadBmpFile(const std::string& path) {
  BmpDecodeResult failed;
  failed.error = BmpError::FileUnreadable;
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) return failed;
  const std::streamoff length = file.tellg();
  if (length < 0) return failed;
  if (static_cast<uint64_t>(length) > kBmpMaxFileBytes) {
    failed.error = BmpError::TooLarge;
    return failed;
  }
  std::vector<uint8_t> bytes(static_cast<size_t>(length));
  file.seekg(0);
  if (length > 0 && !file.read(reinterpret_cast<char*>(bytes.data()), length)) return failed;
  return DecodeBmp(bytes);
}

BmpDecodeResult LoadBmpGameFile(std::string_view gamePath) {
  std::vector<uint8_t> bytes;
  eReadFail why = eReadFail::None;
  if (!ReadWholeFile(gamePath, kBmpMaxFileBytes, bytes, &why)) {
    BmpDecodeResult failed;
    failed.error = why == eReadFail::TooLarge ? BmpError::TooLarge : BmpError::FileUnreadable;
    return failed;
  }
  return DecodeBmp(bytes);
}
