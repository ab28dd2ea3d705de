// The bitmap reader on files built byte by byte from the format's field tables: each variant's
// pixel layout, and the refusals that keep a damaged file from reading or allocating out of bounds.
#include <gtest/gtest.h>
#include "test_support/temp_dir.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/bmp/bmp_reader.h"

namespace {

// Builds a bitmap file: file header, an info (or core) header, masks, colour table and pixel bytes.
struct BmpBuilder {
  int width = 4;
  int height = 2;
  int bits = 8;
  uint32_t compression = 0;
  uint32_t headerSize = 40;
  std::vector<uint32_t> masks;                // written after a 40-byte header, or inside a V4 header
  std::vector<std::vector<uint8_t>> palette;  // {blue, green, red}
  std::vector<uint8_t> pixels;                // raw pixel data as it goes in the file
  uint32_t coloursUsed = 0;                   // 0: the size of `palette`

  std::vector<uint8_t> Build() const {
    std::vector<uint8_t> header;
    auto u16 = [&](uint32_t v) {
      header.push_back(v & 0xFF);
      header.push_back((v >> 8) & 0xFF);
    };
    auto u32 = [&](uint32_t v) {
      u16(v & 0xFFFF);
      u16(v >> 16);
    };
    const size_t entrySize = headerSize == 12 ? 3 : 4;
    u32(headerSize);
    if (headerSize == 12) {
      u16(static_cast<uint32_t>(width));
      u16(static_cast<uint32_t>(height));
      u16(1);
      u16(bits);
    } else {
      u32(static_cast<uint32_t>(width));
      u32(static_cast<uint32_t>(height));
      u16(1);
      u16(bits);
      u32(compression);
      u32(static_cast<uint32_t>(pixels.size()));
      u32(2835);
      u32(2835);
      u32(coloursUsed != 0 ? coloursUsed : static_cast<uint32_t>(palette.size()));
      u32(0);
      if (headerSize == 40) {
        for (uint32_t mask : masks) u32(mask);
      } else {
        for (size_t i = 0; i < 4; ++i) u32(i < masks.size() ? masks[i] : 0);
        while (header.size() < headerSize) header.push_back(0);
      }
    }
    for (const auto& entry : palette) {
      header.insert(header.end(), entry.begin(), entry.end());
      if (entrySize == 4) header.push_back(0);
    }
    std::vector<uint8_t> file = {'B', 'M'};
    const uint32_t offset = static_cast<uint32_t>(14 + header.size());
    const uint32_t size = static_cast<uint32_t>(offset + pixels.size());
    for (uint32_t v : {size})
      for (int i = 0; i < 4; ++i) file.push_back((v >> (8 * i)) & 0xFF);
    for (int i = 0; i < 4; ++i) file.push_back(0);
    for (int i = 0; i < 4; ++i) file.push_back((offset >> (8 * i)) & 0xFF);
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
  }
};

std::vector<std::vector<uint8_t>> GreyPalette(int entries) {
  std::vector<std::vector<uint8_t>> palette;
  for (int i = 0; i < entries; ++i) {
    const uint8_t v = static_cast<uint8_t>(i * 16);
    palette.push_back({v, static_cast<uint8_t>(v + 1), static_cast<uint8_t>(v + 2)});
  }
  return palette;
}

uint32_t Grey(int index) {
  const uint32_t v = static_cast<uint32_t>(index * 16);
  return 0xFF000000u | (v + 2) << 16 | (v + 1) << 8 | v;
}

TEST(BmpReader, DepthsAndRowOrderGiveTheSamePicture) {
  // 3 x 2 picture, top row (index 1, 2, 3), bottom row (4, 5, 6); rows padded to 4 bytes.
  BmpBuilder pal8;
  pal8.width = 3;
  pal8.palette = GreyPalette(8);
  pal8.pixels = {4, 5, 6, 0, 1, 2, 3, 0};
  BmpDecodeResult result = DecodeBmp(pal8.Build());
  ASSERT_TRUE(result.ok()) << BmpErrorName(result.error);
  EXPECT_EQ(result.image.indexes, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(result.image.PixelAt(2, 1), Grey(6));

  BmpBuilder topDown = pal8;
  topDown.height = -2;
  topDown.pixels = {1, 2, 3, 0, 4, 5, 6, 0};
  result = DecodeBmp(topDown.Build());
  ASSERT_TRUE(result.ok());
  EXPECT_TRUE(result.image.topDown);
  EXPECT_EQ(result.image.indexes, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));

  BmpBuilder pal4 = pal8;
  pal4.bits = 4;
  pal4.pixels = {0x45, 0x60, 0, 0, 0x12, 0x30, 0, 0};
  result = DecodeBmp(pal4.Build());
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(result.image.indexes, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));

  BmpBuilder pal1 = pal8;
  pal1.bits = 1;
  pal1.palette = GreyPalette(2);
  pal1.pixels = {0x40, 0, 0, 0, 0xA0, 0, 0, 0};  // top 1 0 1, bottom 0 1 0
  result = DecodeBmp(pal1.Build());
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(result.image.indexes, (std::vector<uint8_t>{1, 0, 1, 0, 1, 0}));

  BmpBuilder core = pal8;
  core.headerSize = 12;
  core.palette = GreyPalette(7);  // a core table shorter than 2^bits ends where the pixels start
  result = DecodeBmp(core.Build());
  ASSERT_TRUE(result.ok()) << BmpErrorName(result.error);
  EXPECT_EQ(result.image.palette.size(), 7u);
  EXPECT_EQ(result.image.PixelAt(0, 0), Grey(1));
}

TEST(BmpReader, TrueColourLayouts) {
  BmpBuilder rgb24;
  rgb24.width = 2;
  rgb24.height = 1;
  rgb24.bits = 24;
  rgb24.pixels = {0x01, 0x02, 0x03, 0xFF, 0x80, 0x00, 0, 0};
  BmpDecodeResult result = DecodeBmp(rgb24.Build());
  ASSERT_TRUE(result.ok());
  EXPECT_TRUE(result.image.indexes.empty());
  EXPECT_EQ(result.image.pixels, (std::vector<uint32_t>{0xFF030201, 0xFF0080FF}));

  // 16 bits without masks is X1R5G5B5; fields widen as value * 255 / maximum, rounded down.
  BmpBuilder rgb16;
  rgb16.width = 2;
  rgb16.height = 1;
  rgb16.bits = 16;
  rgb16.pixels = {0x1F, 0x7C, 0x63, 0x00};  // 0x7C1F (31, 0, 31), 0x0063 (0, 3, 3)
  result = DecodeBmp(rgb16.Build());
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(result.image.pixels, (std::vector<uint32_t>{0xFFFF00FF, 0xFF001818}));

  BmpBuilder rgb565 = rgb16;
  rgb565.compression = 3;
  rgb565.masks = {0xF800, 0x07E0, 0x001F};
  rgb565.pixels = {0xE0, 0x07, 0x60, 0x00};  // 0x07E0 (0, 63, 0), 0x0060 (0, 3, 0)
  result = DecodeBmp(rgb565.Build());
  ASSERT_TRUE(result.ok()) << BmpErrorName(result.error);
  EXPECT_EQ(result.image.pixels, (std::vector<uint32_t>{0xFF00FF00, 0xFF000C00}));

  // 32-bit masks in a V4 header, alpha ignored (a device-independent bitmap is opaque).
  BmpBuilder v4;
  v4.width = 1;
  v4.height = 1;
  v4.bits = 32;
  v4.compression = 3;
  v4.headerSize = 108;
  v4.masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};  // R in the low byte
  v4.pixels = {0x11, 0x22, 0x33, 0x00};
  result = DecodeBmp(v4.Build());
  ASSERT_TRUE(result.ok()) << BmpErrorName(result.error);
  EXPECT_EQ(result.image.pixels, (std::vector<uint32_t>{0xFF112233}));
}

TEST(BmpReader, RunLengthPictures) {
  // 4 x 2 RLE8: bottom row run of 3 x index 2 then end of line; top row a jump of 1 right, then a
  // literal (3, 1) and end of picture. Skipped pixels stay index 0.
  BmpBuilder rle8;
  rle8.compression = 1;
  rle8.palette = GreyPalette(4);
  rle8.pixels = {3, 2, 0, 0, 0, 2, 1, 0, 0, 3, 3, 1, 2, 0, 0, 1};
  // Literal of 3 pixels (3, 1, 2) padded to an even length.
  BmpDecodeResult result = DecodeBmp(rle8.Build());
  ASSERT_TRUE(result.ok()) << BmpErrorName(result.error);
  EXPECT_EQ(result.image.indexes, (std::vector<uint8_t>{0, 3, 1, 2, 2, 2, 2, 0}));

  BmpBuilder rle4 = rle8;
  rle4.compression = 2;
  rle4.bits = 4;
  rle4.pixels = {4, 0x12, 0, 0, 0, 3, 0x31, 0x20, 0, 1};  // bottom 1 2 1 2; top literal 3 1 2
  result = DecodeBmp(rle4.Build());
  ASSERT_TRUE(result.ok()) << BmpErrorName(result.error);
  EXPECT_EQ(result.image.indexes, (std::vector<uint8_t>{3, 1, 2, 0, 1, 2, 1, 2}));

  struct Case {
    const char* name;
    std::vector<uint8_t> data;
    BmpError error;
  };
  const Case bad[] = {
      {"run past the row end", {5, 1, 0, 1}, BmpError::BadRle},
      {"literal past the row end", {0, 5, 1, 1, 1, 1, 1, 0, 0, 1}, BmpError::BadRle},
      {"jump above the picture", {0, 2, 0, 3, 1, 1, 0, 1}, BmpError::BadRle},
      {"pixels above the last row", {0, 0, 0, 0, 1, 1, 0, 1}, BmpError::BadRle},
      {"index past the colour table", {2, 9, 0, 1}, BmpError::BadPixelIndex},
      {"literal cut by the end of the file", {0, 6, 1, 1}, BmpError::Truncated},
  };
  for (const Case& c : bad) {
    SCOPED_TRACE(c.name);
    BmpBuilder file = rle8;
    file.pixels = c.data;
    EXPECT_EQ(DecodeBmp(file.Build()).error, c.error);
  }
}

TEST(BmpReader, DamagedHeadersAreRefused) {
  BmpBuilder good;
  good.palette = GreyPalette(4);
  good.pixels = std::vector<uint8_t>(8, 1);
  ASSERT_TRUE(DecodeBmp(good.Build()).ok());

  struct Case {
    const char* name;
    BmpBuilder file;
    BmpError error;
  };
  std::vector<Case> cases;
  auto add = [&](const char* name, BmpError error, auto change) {
    BmpBuilder file = good;
    change(file);
    cases.push_back({name, file, error});
  };
  add("zero width", BmpError::BadHeader, [](BmpBuilder& f) { f.width = 0; });
  add("zero height", BmpError::BadHeader, [](BmpBuilder& f) { f.height = 0; });
  add("depth 7", BmpError::BadBitCount, [](BmpBuilder& f) { f.bits = 7; });
  add("RLE8 at 4 bits", BmpError::BadBitCount, [](BmpBuilder& f) {
    f.compression = 1;
    f.bits = 4;
  });
  add("JPEG inside", BmpError::UnsupportedCompression, [](BmpBuilder& f) { f.compression = 4; });
  add("unknown header size", BmpError::NotBitmap, [](BmpBuilder& f) { f.headerSize = 44; });
  add("index past a short table", BmpError::BadPixelIndex, [](BmpBuilder& f) {
    f.coloursUsed = 1;
    f.palette.resize(1);
  });
  add("overlapping masks", BmpError::BadMasks, [](BmpBuilder& f) {
    f.bits = 16;
    f.compression = 3;
    f.masks = {0xF800, 0x0FE0, 0x001F};
    f.palette.clear();
  });
  add("missing blue mask", BmpError::BadMasks, [](BmpBuilder& f) {
    f.bits = 16;
    f.compression = 3;
    f.masks = {0xF800, 0x07E0, 0};
    f.palette.clear();
  });
  add("mask above 16 bits", BmpError::BadMasks, [](BmpBuilder& f) {
    f.bits = 16;
    f.compression = 3;
    f.masks = {0x1F0000, 0x07E0, 0x1F};
    f.palette.clear();
  });
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const BmpDecodeResult result = DecodeBmp(c.file.Build());
    EXPECT_EQ(result.error, c.error) << BmpErrorName(result.error);
    EXPECT_TRUE(result.image.pixels.empty());
  }

  EXPECT_EQ(DecodeBmp(nullptr, 0).error, BmpError::NotBitmap);
  const std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  EXPECT_EQ(DecodeBmp(png).error, BmpError::NotBitmap);
  EXPECT_EQ(LoadBmpFile("/nonexistent/none.bmp").error, BmpError::FileUnreadable);
}

TEST(BmpReader, EveryTruncationIsRefused) {
  BmpBuilder file;
  file.width = 5;
  file.height = 3;
  file.bits = 24;
  file.pixels = std::vector<uint8_t>(48, 0x40);
  const std::vector<uint8_t> bytes = file.Build();
  ASSERT_TRUE(DecodeBmp(bytes).ok());
  for (size_t length = 0; length < bytes.size(); ++length) {
    // A copy of exactly `length` bytes, so the sanitizer sees any read past its end.
    const std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + length);
    EXPECT_FALSE(DecodeBmp(prefix.data(), prefix.size()).ok()) << "length " << length;
  }
}

TEST(BmpReader, HugeSizesAreRefusedBeforeAllocating) {
  // A tiny RLE file claiming 30000 x 30000 pixels: its data could fill that, so only the size
  // limit stands between it and a 3.6 GB allocation.
  BmpBuilder rle;
  rle.compression = 1;
  rle.width = 30000;
  rle.height = 30000;
  rle.palette = GreyPalette(2);
  rle.pixels = {0, 1};
  EXPECT_EQ(DecodeBmp(rle.Build()).error, BmpError::TooLarge);
  rle.width = kBmpMaxDimension + 1;
  rle.height = 1;
  EXPECT_EQ(DecodeBmp(rle.Build()).error, BmpError::TooLarge);
  // Within the limits the same file decodes (all pixels undefined: index 0).
  rle.width = 300;
  rle.height = 200;
  const BmpDecodeResult result = DecodeBmp(rle.Build());
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(result.image.pixels.size(), 60000u);
}

TEST(BmpReader, InfoReadsHeadersOnly) {
  BmpBuilder file;
  file.palette = GreyPalette(4);
  file.pixels = std::vector<uint8_t>(8, 3);
  const std::vector<uint8_t> bytes = file.Build();
  const BmpDecodeResult info = ReadBmpInfo(bytes.data(), bytes.size());
  ASSERT_TRUE(info.ok());
  EXPECT_EQ(info.image.width, 4);
  EXPECT_EQ(info.image.height, 2);
  EXPECT_EQ(info.image.bitsPerPixel, 8);
  EXPECT_EQ(info.image.palette.size(), 4u);
  EXPECT_TRUE(info.image.pixels.empty());
}

}  // namespace

namespace {

TEST(BmpReader, GamePathsAreFoundThroughTheFileLayer) {
  const std::filesystem::path folder = TestTempDir() / "bmp_game_file";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder / "BMP");
  BmpBuilder file;
  file.palette = GreyPalette(4);
  file.pixels = std::vector<uint8_t>(8, 2);
  const std::vector<uint8_t> bytes = file.Build();
  std::ofstream(folder / "BMP" / "TITLE.BMP", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));

  // A Windows path in another case, with backslashes.
  std::string gamePath = folder.string() + "\\bmp\\Title.bmp";
  const BmpDecodeResult result = LoadBmpGameFile(gamePath);
  ASSERT_TRUE(result.ok()) << BmpErrorName(result.error);
  EXPECT_EQ(result.image.PixelAt(3, 1), Grey(2));
  EXPECT_EQ(LoadBmpGameFile(folder.string() + "\\bmp\\Missing.bmp").error, BmpError::FileUnreadable);
  std::filesystem::remove_all(folder);
}

}  // namespace
