// Runs every fuzz target's entry over its seeds (the checked-in corpus and the generated seeds), and
// over cut and bit-flipped variants of each seed, as an ordinary test.
#include "data/load_fuzzing.h"

#include <sys/wait.h>
#include <unistd.h>

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
  for (const auto& entry : std::filesystem::directory_iterator(folder)) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  for (const auto& path : files) {
    std::ifstream in(path, std::ios::binary);
    seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  for (cGeneratedSeed& seed : GeneratedSeeds(name)) seeds.push_back(std::move(seed.bytes));
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

// The database target reads each input from a scratch file in the temporary folder; no run may leave
// one there, neither while it runs nor once the program has ended.
TEST(LoadFuzzingScratch, NothingIsLeftInTheTemporaryFolder) {
  cTempFolder folder;
  const char* oldTmp = std::getenv("TMPDIR");
  const std::string savedTmp = oldTmp ? oldTmp : "";
  setenv("TMPDIR", folder.Path().c_str(), 1);
  auto tryDatabaseSeeds = [] {
    for (const auto& seed : Corpus("database"))
      if (!FuzzDatabaseFile(seed.data(), seed.size())) return false;
    return true;
  };
  // Anything in the temporary folder, or a scratch file of the process in the usual one.
  auto leftBehind = [&](pid_t pid) {
    if (!std::filesystem::is_empty(folder.Path())) return true;
    const std::string name = "qc4_fuzz_db_" + std::to_string(pid);
    for (const auto& entry : std::filesystem::directory_iterator("/tmp"))
      if (entry.path().filename().string().rfind(name, 0) == 0) return true;
    return false;
  };
  EXPECT_TRUE(tryDatabaseSeeds());
  EXPECT_FALSE(leftBehind(getpid()));
  // A whole program run, ended the ordinary way.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) std::exit(tryDatabaseSeeds() ? 0 : 1);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_FALSE(leftBehind(child));
  EXPECT_FALSE(leftBehind(getpid()));
  if (oldTmp)
    setenv("TMPDIR", savedTmp.c_str(), 1);
  else
    unsetenv("TMPDIR");
}
