// Every fuzz target over its seeds (the checked-in corpus, the seeds of faults found among them, and
// the generated seeds), and over cut and bit-flipped variants of each seed, as an ordinary test:
// built with the normal compiler and its sanitizers, no libFuzzer needed.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "fuzz_targets.h"
#include "seeds/generated_seeds.h"

namespace {

std::filesystem::path CorpusFolder() { return std::filesystem::path(QC4_SOURCE_DIR) / "fuzz" / "corpus"; }

struct cSeed {
  std::string name;
  std::vector<uint8_t> bytes;
};

std::vector<cSeed> Seeds(const std::string& target) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(CorpusFolder() / target)) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  std::vector<cSeed> seeds;
  for (const auto& path : files) {
    std::ifstream in(path, std::ios::binary);
    seeds.push_back({path.filename().string(), {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()}});
  }
  for (cGeneratedSeed& seed : FuzzSeeds(target)) seeds.push_back({seed.name, std::move(seed.bytes)});
  return seeds;
}

// Stage play writes nothing a test could see, but a run works in a folder of its own all the same.
class cWorkFolder {
 public:
  cWorkFolder() : m_old(std::filesystem::current_path()) {
    std::random_device rd;
    m_path = std::filesystem::temp_directory_path() / ("qc4_fuzz_" + std::to_string(rd()) + "_" + std::to_string(rd()));
    std::filesystem::create_directories(m_path);
    std::filesystem::current_path(m_path);
  }
  ~cWorkFolder() {
    std::filesystem::current_path(m_old);
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
  }

 private:
  std::filesystem::path m_old, m_path;
};

}  // namespace

class FuzzSeedTest : public ::testing::TestWithParam<cFuzzTarget> {};

TEST_P(FuzzSeedTest, SeedsAndTheirVariantsRunCleanly) {
  const cFuzzTarget& target = GetParam();
  const cWorkFolder folder;
  const auto seeds = Seeds(target.name);
  ASSERT_FALSE(seeds.empty()) << target.name;
  for (const cSeed& seed : seeds) {
    const std::vector<uint8_t>& bytes = seed.bytes;
    EXPECT_TRUE(target.entry(bytes.data(), bytes.size())) << target.name << "/" << seed.name;
    // Cut short anywhere.
    for (size_t cut = 0; cut < bytes.size(); cut += 1 + bytes.size() / 40)
      EXPECT_TRUE(target.entry(bytes.data(), cut)) << target.name << "/" << seed.name << " cut " << cut;
    // Damaged here and there, including counts and lengths.
    for (size_t at = 0; at < bytes.size(); at += 1 + bytes.size() / 60) {
      for (uint8_t flip : {0x80, 0xFF, 0x01}) {
        std::vector<uint8_t> damaged = bytes;
        damaged[at] ^= flip;
        EXPECT_TRUE(target.entry(damaged.data(), damaged.size()))
            << target.name << "/" << seed.name << " byte " << at << " ^ " << int(flip);
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzSeedTest, ::testing::ValuesIn(FuzzTargets()),
                         [](const auto& info) { return std::string(info.param.name); });

// scripts/fuzz finds the targets by their corpus folders: one folder per target, no other.
TEST(FuzzTargets, EachHasItsCorpusFolder) {
  std::set<std::string> folders, targets;
  for (const auto& entry : std::filesystem::directory_iterator(CorpusFolder()))
    if (entry.is_directory()) folders.insert(entry.path().filename().string());
  for (const cFuzzTarget& target : FuzzTargets()) targets.insert(target.name);
  EXPECT_EQ(folders, targets);
}
