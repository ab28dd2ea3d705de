// The bitmap reader against the outside bitmap suite: good files decode to their reference pictures,
// questionable ones decode or are refused without harm, bad ones are refused.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/bmp/bmp_reader.h"

namespace {

const std::filesystem::path kSuite = std::filesystem::path(QC4_TESTDATA_DIR) / "bmpsuite";

std::vector<uint8_t> ReadAll(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

std::vector<std::filesystem::path> FilesIn(const char* folder) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(kSuite / folder)) {
    if (entry.path().extension() == ".bmp") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

TEST(BmpSuite, GoodFilesMatchTheirReferencePictures) {
  const auto files = FilesIn("g");
  ASSERT_GE(files.size(), 27u);
  for (const auto& path : files) {
    SCOPED_TRACE(path.filename().string());
    const BmpDecodeResult result = LoadBmpFile(path.string());
    ASSERT_TRUE(result.ok()) << BmpErrorName(result.error);
    // The suite's reference for pal4rle.bmp is damaged (its run-length-4 literals were misread by
    // the reader that made it: a sheared, striped picture). The file holds the same picture as
    // pal4.bmp, so it is held to that reference.
    const std::string referenceName = path.stem() == "pal4rle" ? "pal4" : path.stem().string();
    const auto reference = ReadAll(kSuite / "ref" / (referenceName + ".rgba"));
    if (reference.empty()) {
      EXPECT_EQ(path.stem(), "rgb32bf");  // the one good file without a reference
      continue;
    }
    ASSERT_GE(reference.size(), 8u);
    const uint32_t width = reference[0] | reference[1] << 8 | reference[2] << 16 | uint32_t{reference[3]} << 24;
    const uint32_t height = reference[4] | reference[5] << 8 | reference[6] << 16 | uint32_t{reference[7]} << 24;
    EXPECT_EQ(result.image.width, static_cast<int>(width));
    EXPECT_EQ(result.image.height, static_cast<int>(height));
    const std::vector<uint8_t> expected(reference.begin() + 8, reference.end());
    const std::vector<uint8_t> actual = result.image.ToRgbaBytes();
    ASSERT_EQ(actual.size(), expected.size());
    size_t firstDifference = 0;
    while (firstDifference < actual.size() && actual[firstDifference] == expected[firstDifference]) ++firstDifference;
    EXPECT_EQ(firstDifference, actual.size()) << "first difference at pixel " << firstDifference / 4;
  }
}

TEST(BmpSuite, PalettisedFilesKeepTheirIndexesAndColourTable) {
  const BmpDecodeResult result = LoadBmpFile((kSuite / "g" / "pal8.bmp").string());
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(result.image.bitsPerPixel, 8);
  EXPECT_EQ(result.image.palette.size(), 252u);  // the file's short colour table, as it stands
  ASSERT_EQ(result.image.indexes.size(), result.image.pixels.size());
  for (size_t i = 0; i < result.image.indexes.size(); ++i) {
    const BmpColour& colour = result.image.palette.at(result.image.indexes[i]);
    const uint32_t expected = 0xFF000000u | colour.red << 16 | colour.green << 8 | colour.blue;
    ASSERT_EQ(result.image.pixels[i], expected) << "pixel " << i;
  }
  // The top-down file holds the same picture, indexes included.
  const BmpDecodeResult topDown = LoadBmpFile((kSuite / "g" / "pal8topdown.bmp").string());
  ASSERT_TRUE(topDown.ok());
  EXPECT_TRUE(topDown.image.topDown);
  EXPECT_EQ(topDown.image.indexes, result.image.indexes);
}

TEST(BmpSuite, BadFilesAreRefused) {
  const auto files = FilesIn("b");
  ASSERT_GE(files.size(), 20u);
  for (const auto& path : files) {
    SCOPED_TRACE(path.filename().string());
    const BmpDecodeResult result = LoadBmpFile(path.string());
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(result.image.pixels.empty());
  }
}

TEST(BmpSuite, QuestionableFilesDecodeConsistentlyOrAreRefused) {
  for (const auto& path : FilesIn("q")) {
    SCOPED_TRACE(path.filename().string());
    const BmpDecodeResult result = LoadBmpFile(path.string());
    if (!result.ok()) continue;
    const size_t count = static_cast<size_t>(result.image.width) * result.image.height;
    EXPECT_EQ(result.image.pixels.size(), count);
    if (result.image.IsPalettised()) { EXPECT_EQ(result.image.indexes.size(), count); }
  }
}

}  // namespace
