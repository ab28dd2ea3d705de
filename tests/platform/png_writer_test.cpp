// PNG frames: what is written reads back as the same picture, and a failed write keeps the old file.
#include <gtest/gtest.h>
#include "test_support/temp_dir.h"

#include <png.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/files.h"
#include "platform/png_writer.h"

namespace {

// Reads a PNG back with libpng's simplified reader as 0xFFRRGGBB pixels.
bool ReadPng(const std::vector<uint8_t>& bytes, int& width, int& height, std::vector<uint32_t>& pixels) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return false;
  image.format = PNG_FORMAT_BGRA;
  pixels.assign(static_cast<size_t>(image.width) * image.height, 0);
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return false;
  width = static_cast<int>(image.width);
  height = static_cast<int>(image.height);
  return true;
}

std::vector<uint8_t> ReadAll(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

class PngWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_folder = TestTempDir() / "png_writer_test";
    std::filesystem::remove_all(m_folder);
    std::filesystem::create_directories(m_folder);
  }
  void TearDown() override {
    SetAtomicWriteFailStep(0);
    std::filesystem::remove_all(m_folder);
  }
  std::filesystem::path m_folder;
};

TEST_F(PngWriterTest, FrameReadsBackExactlyWithItsPitch) {
  // 3 x 2 frame inside rows of 5 pixels; the top byte (unused alpha) must not matter.
  const std::vector<uint32_t> frame = {
      0x00FF0000, 0x0000FF00, 0xAB0000FF, 0xDEADBEEF, 0xDEADBEEF,
      0x00123456, 0x00FFFFFF, 0x00000000, 0xDEADBEEF, 0xDEADBEEF,
  };
  const auto path = m_folder / "frame.png";
  std::string error;
  ASSERT_TRUE(WritePngRgb32(path.string(), frame.data(), 3, 2, 5, &error)) << error;
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  ASSERT_TRUE(ReadPng(ReadAll(path), width, height, pixels));
  EXPECT_EQ(width, 3);
  EXPECT_EQ(height, 2);
  EXPECT_EQ(pixels, (std::vector<uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF123456, 0xFFFFFFFF, 0xFF000000}));
  // Only the target is left in the folder: no temporary file beside it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_folder), {}), 1);
}

TEST_F(PngWriterTest, InvalidFramesAndFailedWritesKeepTheOldFile) {
  const std::vector<uint32_t> frame(4, 0x00808080);
  EXPECT_TRUE(EncodePngRgb32(frame.data(), 0, 1, 1).empty());
  EXPECT_TRUE(EncodePngRgb32(frame.data(), 2, 2, 1).empty());  // pitch narrower than a row
  EXPECT_TRUE(EncodePngRgb32(nullptr, 2, 2, 2).empty());

  const auto path = m_folder / "frame.png";
  ASSERT_TRUE(WritePngRgb32(path.string(), frame.data(), 2, 2, 2));
  const std::vector<uint8_t> before = ReadAll(path);
  const std::vector<uint32_t> other(4, 0x00FF00FF);
  for (int step = 1; step <= 4; ++step) {
    SCOPED_TRACE(step);
    SetAtomicWriteFailStep(step);
    std::string error;
    EXPECT_FALSE(WritePngRgb32(path.string(), other.data(), 2, 2, 2, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ReadAll(path), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_folder), {}), 1);
  }
  SetAtomicWriteFailStep(0);
  EXPECT_FALSE(WritePngRgb32(path.string(), frame.data(), -1, 2, 2));
  EXPECT_EQ(ReadAll(path), before);
}

}  // namespace
