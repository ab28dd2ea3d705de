// Loading a stage for play: the newest numbered variant, the settings copy, and each refusal with
// its message and, in the report log, why the file was refused; none of them stops the program.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "core/log.h"
#include "core/thread.h"
#include "data/game_data.h"
#include "platform/messages.h"
#include "stage/stage_loading.h"
#include "stage_files.h"
#include "test_support/fresh_play_objects.h"

namespace {

class StageLoadingTest : public testing::Test {
 protected:
  void TearDown() override { g_bQuit = 0; }
  cFreshPlayObjects m_Run;
  cGameFolder m_Folder;
};

TEST_F(StageLoadingTest, ReadsTheNewestVariantAndKeepsOnlyItsSettings) {
  for (auto [suffix, width] : {std::pair{"_001", 5}, {"_010", 7}, {"_002", 6}}) {
    cStageBytes s = SmallStage(width);
    s.name = "v";
    m_Folder.Stage(std::string("s.stg4") + suffix, StageFile(986, s));
  }
  cStageData settings;
  cCharaType hero;
  ASSERT_EQ(LoadPlayStage("data\\stg4\\s.stg4", true, &settings, &hero), 1) << testing::PrintToString(m_Folder.Boxes());
  EXPECT_EQ(g_StagePath, "data\\stg4\\s.stg4_010");
  EXPECT_EQ(g_StageFile.m_nWidth, 7);
  EXPECT_EQ(settings.m_nWidth, 7);
  // The type lists stay with the stage as read; the hero's placement is handed out.
  EXPECT_FALSE(g_StageFile.m_aCharas.empty());
  EXPECT_TRUE(settings.m_aCharas.empty());
  EXPECT_TRUE(settings.m_aBlocks.empty());
  EXPECT_EQ(hero.m_nControl, 0);
  EXPECT_EQ(hero.m_nCellY, 2);
  EXPECT_TRUE(m_Folder.Boxes().empty());
}

TEST_F(StageLoadingTest, WithoutResolvingTheGivenFileIsRead) {
  m_Folder.Stage("plain.stg4", StageFile(986, SmallStage(9)));
  ASSERT_EQ(LoadPlayStage("data\\stg4\\plain.stg4", false, nullptr, nullptr), 1);
  EXPECT_EQ(g_StageFile.m_nWidth, 9);
  EXPECT_EQ(g_StagePath, "data\\stg4\\plain.stg4");
  // The widest map whose every column a placement can name.
  cStageBytes widest = SmallStage(9);
  widest.header[1] = 32768;
  m_Folder.Stage("widest.stg4", StageFile(986, widest));
  ASSERT_EQ(LoadPlayStage("data\\stg4\\widest.stg4", false, nullptr, nullptr), 1);
  EXPECT_EQ(g_StageFile.m_nWidth, 32768);
}

TEST_F(StageLoadingTest, AStageOfVersion173WithoutTrailerLoads) {
  cStageBytes s = SmallStage(8, 4, 172);
  s.trailer = false;
  m_Folder.Stage("old.stg4_000", StageFile(172, s));
  EXPECT_EQ(LoadPlayStage("data\\stg4\\old.stg4", true, &g_StageData, &g_HeroType), 1)
      << testing::PrintToString(m_Folder.Boxes());
}

// A quit that reaches the caller while the loader thread reads ends the wait without a message (the
// program is closing) and stays in the caller's queue for its own loop. Whether the read or the quit
// is seen first is up to the threads; either way no box is shown and the quit is kept.
TEST_F(StageLoadingTest, AQuitWhileTheStageLoadsEndsTheWaitQuietly) {
  cStageBytes s = SmallStage(400, 15);
  for (int16_t column = 0; column < 400; ++column) s.blocks.push_back(PlacedBlock(column, 0));
  m_Folder.Stage("big.stg4_000", StageFile(986, s));
  EnsureMessageQueue();
  PostQuitMessage(3);
  const int loaded = LoadPlayStage("data\\stg4\\big.stg4", true, &g_StageData, &g_HeroType);
  EXPECT_TRUE(m_Folder.Boxes().empty()) << testing::PrintToString(m_Folder.Boxes());
  EXPECT_FALSE(thLoad.HasThread());
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, true)) << "loaded: " << loaded;
  EXPECT_EQ(msg.message, static_cast<uint32_t>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 3u);
  EXPECT_EQ(g_bQuit.load(), 0);
}

struct cRefusal {
  const char* name;
  std::vector<uint8_t> bytes;  // empty: no file at all
  std::string box;             // "" none
  std::string why;             // the report log's line after the path begins so; "" no line
};

class StageRefusalTest : public StageLoadingTest, public testing::WithParamInterface<cRefusal> {};

TEST_P(StageRefusalTest, RefusesWithItsMessageAndTheProgramGoesOn) {
  const cRefusal& c = GetParam();
  if (!c.bytes.empty()) m_Folder.Stage("bad.stg4_003", c.bytes);
  const std::filesystem::path logPath = std::filesystem::current_path() / "Report_Game.txt";
  ASSERT_EQ(ReportLogInit(logPath.c_str()), 1);
  g_StageData.m_nWidth = 42;
  EXPECT_EQ(LoadPlayStage("data\\stg4\\bad.stg4", true, &g_StageData, &g_HeroType), 0);
  std::stringstream log;
  log << std::ifstream(logPath).rdbuf();
  if (c.why.empty())
    EXPECT_EQ(log.str(), "");
  else
    EXPECT_NE(log.str().find("data\\stg4\\bad.stg4_003: " + c.why), std::string::npos) << log.str();
  if (c.box.empty()) {
    EXPECT_TRUE(m_Folder.Boxes().empty());
  } else {
    ASSERT_EQ(m_Folder.Boxes().size(), 1u);
    EXPECT_EQ(m_Folder.Boxes()[0], "エラー|" + c.box);
  }
  // No fatal stop: the caller goes back to where it was, with the kept settings untouched.
  EXPECT_EQ(g_bQuit.load(), 0);
  EXPECT_EQ(g_StageData.m_nWidth, 42);
}

std::vector<cRefusal> Refusals() {
  cStageBytes badTrailer = SmallStage();
  badTrailer.trailerValue = 7;
  cStageBytes noHero = SmallStage();
  noHero.charas = {PlacedChara(1, 2, 2)};  // computer-operated only
  std::vector<uint8_t> cut = StageFile(986, SmallStage());
  cut.resize(cut.size() / 2);
  cut.insert(cut.end(), {0x15, 0xCD, 0x5B, 0x07});  // the trailer, so that the read itself fails
  // A map side beyond the 32768 cells that placements can name: damage (a flipped bit of the width).
  cStageBytes wide = SmallStage();
  wide.header[1] = 0x40000000;
  cStageBytes tall = SmallStage();
  tall.header[4] = 0x7fffffff;
  cStageBytes largest = SmallStage();
  largest.header[1] = 32769;
  const std::string damaged = "ステージファイル data\\stg4\\bad.stg4_003 が破損しています！";
  return {
      {"NoVariant", {}, "", ""},
      {"BadTrailer", StageFile(986, badTrailer), damaged, ""},
      {"Unreadable", cut, "ステージファイル data\\stg4\\bad.stg4_003 の読み込みに失敗しました！",
       "a value the format does not allow: "},
      {"NoHero", StageFile(986, noHero), "主人公が配置されていないのでプレイできません！", ""},
      {"MapTooWide", StageFile(986, wide), damaged,
       "a value beyond what a game file can hold: 1073741824 at byte 8 of "},
      {"MapTooTall", StageFile(986, tall), damaged,
       "a value beyond what a game file can hold: 2147483647 at byte 20 of "},
      {"MapOneColumnTooWide", StageFile(986, largest), damaged,
       "a value beyond what a game file can hold: 32769 at byte 8 "},
  };
}

INSTANTIATE_TEST_SUITE_P(Refusals, StageRefusalTest, testing::ValuesIn(Refusals()),
                         [](const testing::TestParamInfo<cRefusal>& info) { return std::string(info.param.name); });

}  // namespace
