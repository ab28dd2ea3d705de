// The fuzz seeds of the game files: those of the current version load, and the generated ones take
// the old paths they were made for. (The fuzz targets run over them in fuzz/seed_test.cpp.)
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "../../fuzz/seeds/generated_seeds.h"
#include "game_data_fixture.h"
#include "temp_folder.h"

namespace {

std::vector<std::vector<uint8_t>> Corpus(const std::string& name) {
  std::vector<std::vector<uint8_t>> seeds;
  const std::filesystem::path folder = std::filesystem::path(QC4_SOURCE_DIR) / "fuzz" / "corpus" / name;
  std::vector<std::filesystem::path> files;
  // The seeds of faults the fuzzing found are broken files on purpose.
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().filename().string().rfind("fault_", 0) != 0) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  for (const auto& path : files) {
    std::ifstream in(path, std::ios::binary);
    seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  for (cGeneratedSeed& seed : GeneratedSeeds(name)) seeds.push_back(std::move(seed.bytes));
  return seeds;
}

}  // namespace

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

namespace {

const std::vector<uint8_t>& GeneratedSeed(const std::string& corpus, const std::string& name) {
  static std::map<std::string, std::vector<uint8_t>> seeds;
  if (seeds.empty())
    for (const char* c : {"stage", "database", "world_map"})
      for (cGeneratedSeed& seed : GeneratedSeeds(c)) seeds[std::string(c) + "/" + seed.name] = std::move(seed.bytes);
  return seeds.at(corpus + "/" + name);
}

}  // namespace

// The generated seeds are only worth having if they load and take the old paths they were made for.
TEST_F(GameDataTest, GeneratedSeedsTakeTheOldPaths) {
  struct cLayerCase {
    const char* seed;
    double factorX, speedX, offsetX;  // of the layer scrolling automatically across
    int32_t shownDown;                // the layer scrolling down stores 0 from 62
    size_t texts;                     // 1000 below 754
  };
  // Below 62 the stored scroll values are dropped; below 876 an auto-scrolling layer's factor
  // becomes its speed.
  for (const cLayerCase& c : {cLayerCase{"layers_60", 0.1, 0, 0, 1, 1000},
                              {"layers_61", 1.0, 0.5, 0, 1, 1000},
                              {"layers_62", 1.0, 0.5, 12, 0, 1000},
                              {"layers_875", 1.0, 0.5, 12, 0, 3},
                              {"layers_876", 0.5, 2.5, 12, 0, 3}}) {
    SCOPED_TRACE(c.seed);
    cStageData stage;
    ASSERT_EQ(stage.LoadFromBytes(GeneratedSeed("stage", c.seed)), 1);
    ASSERT_EQ(stage.m_aLayers.size(), 4u);
    const cBackLayer& across = stage.m_aLayers[1];
    EXPECT_EQ(across.m_strPicture, "back1.bmp");
    EXPECT_EQ(across.m_dFactorX, c.factorX);
    EXPECT_EQ(across.m_dAutoSpeedX, c.speedX);
    EXPECT_EQ(across.m_dAutoOffsetX, c.offsetX);
    EXPECT_EQ(stage.m_aLayers[2].m_bShown, c.shownDown);
    EXPECT_EQ(stage.m_aTexts.size(), c.texts);
  }
  // Old sword-type lists over 128 entries are cut to 128.
  cTempFolder folder;
  for (auto [seed, count] : {std::pair{"SwordType_827_130", 128u}, {"SwordType_828_130", 130u}}) {
    const std::vector<uint8_t>& bytes = GeneratedSeed("database", seed);
    folder.Write("SwordType.dat", std::vector<uint8_t>(bytes.begin() + 1, bytes.end()));
    cDatabase db;
    ASSERT_TRUE(db.LoadDatabaseFile(kDbSwordType, folder.Prefix() + "SwordType.dat")) << seed;
    EXPECT_EQ(db.m_aSwordType.size(), count) << seed;
  }
  for (const cGeneratedSeed& seed : GeneratedSeeds("world_map")) {
    cWorldMap map;
    ASSERT_EQ(map.LoadFromBytes(seed.bytes), 1) << seed.name;
    EXPECT_EQ(map.m_aWorlds.size(), 2u) << seed.name;  // the place off the map is dropped
  }
}
