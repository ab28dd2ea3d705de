// Runs every fuzz target's entry over its checked-in seed corpus, and over cut and bit-flipped
// variants of each seed, as an ordinary test.
#include "data/load_fuzzing.h"

#include <filesystem>
#include <fstream>

#include "game_data_fixture.h"

namespace {

std::vector<std::vector<uint8_t>> Corpus(const std::string& name) {
  std::vector<std::vector<uint8_t>> seeds;
  const std::filesystem::path folder = std::filesystem::path(QC4_SOURCE_DIR) / "fuzz" / "corpus" / name;
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  for (const auto& path : files) {
    std::ifstream in(path, std::ios::binary);
    seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return seeds;
}

struct cTarget {
  const char* corpus;
  bool (*entry)(const uint8_t*, size_t);
};

const cTarget kTargets[] = {
    {"system_data", FuzzSystemDataFile}, {"database", FuzzDatabaseFile},
    {"palette", FuzzPaletteFile},        {"stage", FuzzStageFile},
    {"world_map", FuzzWorldMapFile},
};

}  // namespace

class LoadFuzzingTest : public GameDataTest, public ::testing::WithParamInterface<cTarget> {};

TEST_P(LoadFuzzingTest, SeedsAndTheirVariantsLoadCleanly) {
  const cTarget& target = GetParam();
  const auto seeds = Corpus(target.corpus);
  ASSERT_FALSE(seeds.empty()) << target.corpus;
  for (size_t s = 0; s < seeds.size(); ++s) {
    const std::vector<uint8_t>& seed = seeds[s];
    EXPECT_TRUE(target.entry(seed.data(), seed.size())) << target.corpus << " seed " << s;
    // Cut short anywhere.
    for (size_t cut = 0; cut < seed.size(); cut += 1 + seed.size() / 40)
      EXPECT_TRUE(target.entry(seed.data(), cut)) << target.corpus << " seed " << s << " cut " << cut;
    // Damaged here and there, including counts and lengths.
    for (size_t at = 0; at < seed.size(); at += 1 + seed.size() / 60) {
      for (uint8_t flip : {0x80, 0xFF, 0x01}) {
        std::vector<uint8_t> damaged = seed;
        damaged[at] ^= flip;
        EXPECT_TRUE(target.entry(damaged.data(), damaged.size()))
            << target.corpus << " seed " << s << " byte " << at << " ^ " << int(flip);
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Corpora, LoadFuzzingTest, ::testing::ValuesIn(kTargets),
                         [](const auto& info) { return std::string(info.param.corpus); });

TEST_F(GameDataTest, CorpusSeedsOfTheCurrentVersionLoad) {
  for (const auto& seed : Corpus("stage")) {
    cStageData stage;
    uint32_t version = 0;
    std::memcpy(&version, seed.data(), 4);
    EXPECT_EQ(stage.LoadFromBytes(seed), 1) << version;
  }
  cPalette palette;
  for (const auto& seed : Corpus("palette")) EXPECT_EQ(palette.LoadFromBytes(seed), 1);
}
