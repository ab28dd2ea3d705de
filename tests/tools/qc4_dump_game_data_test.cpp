// Runs qc4-dump on the common palette, stage files and the world map of a small project.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/log.h"
#include "data/database.h"
#include "data/palette.h"
#include "data/stage_data.h"
#include "data/system_data.h"
#include "data/temp_folder.h"
#include "data/world_map.h"

namespace {

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

const std::string kDump = std::string(QC4_BINARY_DIR) + "/tools/qc4-dump";

struct cDumpRun {
  int status = -1;
  std::string out;
};

cDumpRun Dump(const std::string& path) {
  cDumpRun run;
  FILE* pipe = popen(("'" + kDump + "' '" + path + "' 2>/dev/null").c_str(), "r");
  if (!pipe) return run;
  std::array<char, 4096> buffer;
  size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class DumpGameDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kDump)) GTEST_SKIP() << "qc4-dump is not built";
    g_bQuit = 0;
    const std::string data = m_folder.Prefix() + "data/";
    std::filesystem::create_directories(data + "database");
    std::filesystem::create_directories(data + "stg4");
    cDatabase db;
    for (int i = 0; i < kDatabaseFileCount; ++i) {
      const auto which = static_cast<eDatabaseFile>(i);
      ASSERT_TRUE(db.SaveDatabaseFile(which, data + "database/" + DatabaseFileName(which)));
    }
    cSystemData settings;
    ASSERT_EQ(settings.SaveFile(data + "System.dat"), 1);

    cPalette palette;
    palette.m_aCharaTypes.resize(2);
    palette.m_aCharaTypes[1].m_strName = "スライム";
    palette.m_aCharaTypes[1].m_aFlows.resize(1);
    palette.m_aCharaTypes[1].m_aFlows[0].m_nTrigger = 5;
    palette.m_aCharaTypes[1].m_aFlows[0].m_aCmds.resize(1);
    palette.m_aCharaTypes[1].m_aFlows[0].m_aCmds[0].m_nKind = 11;
    palette.m_aCharaTypes[1].m_aFlows[0].m_aCmds[0].m_pShot = std::make_shared<cEdShot>();
    ASSERT_EQ(palette.SaveFile(data + "CommonPalette.cplt4"), 1);

    cStageData stage;
    stage.m_strName = "はじまり";
    stage.m_nWidth = 40;
    stage.m_nHeight = 15;
    stage.m_aCharas.resize(1);
    stage.m_aCharas[0].m_nGraphic = 1;
    stage.m_aCharas[0].m_nControl = 0;
    stage.m_aCharas[0].m_nCellX = 3;
    ASSERT_EQ(stage.SaveFile(data + "stg4/c01-1.stg4"), 1);

    cWorldMap map;
    map.m_aMapEntries.resize(2);
    *map.CellAt(1, 1) = 1;
    map.m_aWorlds.resize(1);
    map.m_aWorlds[0].m_nX = 2;
    map.m_aWorlds[0].m_aEntries[0].m_strStage = "c01-1.stg4";
    ASSERT_EQ(map.SaveFile(data + "WorldMap.dat"), 1);
  }

  std::string Data(const std::string& name) const { return m_folder.Prefix() + "data/" + name; }
  cTempFolder m_folder;
};

TEST_F(DumpGameDataTest, CommonPalette) {
  const cDumpRun run = Dump(Data("CommonPalette.cplt4"));
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_TRUE(Has(run.out, "\"kind\": \"CommonPalette.cplt4\""));
  EXPECT_TRUE(Has(run.out, U8(u8"\"m_strName\": \"スライム\"")));
  EXPECT_TRUE(Has(run.out, "\"m_nTrigger\": 5"));
  EXPECT_TRUE(Has(run.out, "\"m_pShot\": {"));
  EXPECT_TRUE(Has(run.out, "\"m_anTrajectory\": ["));
  EXPECT_TRUE(Has(run.out, "\"m_pMove\": null"));
}

TEST_F(DumpGameDataTest, StageFiles) {
  const cDumpRun run = Dump(Data("stg4/c01-1.stg4"));
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_TRUE(Has(run.out, "\"kind\": \"Stage\""));
  EXPECT_TRUE(Has(run.out, "\"intact\": true"));
  EXPECT_TRUE(Has(run.out, U8(u8"\"m_strName\": \"はじまり\"")));
  EXPECT_TRUE(Has(run.out, "\"m_anHeroHitBox[3]\": 16"));
  EXPECT_TRUE(Has(run.out, "\"hero\": 0"));
  EXPECT_TRUE(Has(run.out, "\"m_nSubSteps\": 10"));

  // a numbered variant with a damaged trailer loads but is not intact
  std::ifstream in(Data("stg4/c01-1.stg4"), std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  bytes.back() ^= 0xFF;
  m_folder.Write("data/stg4/c01-1.stg4_001", bytes);
  const cDumpRun damaged = Dump(Data("stg4/c01-1.stg4_001"));
  EXPECT_EQ(damaged.status, 0);
  EXPECT_TRUE(Has(damaged.out, "\"intact\": false"));
  // cut short: refused with the game's message
  bytes.resize(bytes.size() / 2);
  m_folder.Write("data/stg4/c01-1.stg4_002", bytes);
  const cDumpRun cut = Dump(Data("stg4/c01-1.stg4_002"));
  EXPECT_EQ(cut.status, 1);
  EXPECT_TRUE(Has(cut.out, "\"loaded\": false"));
}

TEST_F(DumpGameDataTest, WorldMap) {
  const cDumpRun run = Dump(Data("WorldMap.dat"));
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_TRUE(Has(run.out, "\"kind\": \"WorldMap.dat\""));
  EXPECT_TRUE(Has(run.out, "\"m_nPitch\": 32"));
  EXPECT_TRUE(Has(run.out, "\"grid\": ["));
  EXPECT_TRUE(Has(run.out, "\"m_strStage\": \"c01-1.stg4\""));
  EXPECT_TRUE(Has(run.out, U8(u8"\"デフォルト\"")));
}

}  // namespace
