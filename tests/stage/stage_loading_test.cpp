// Loading a stage for play: the newest numbered variant, the settings copy, and each refusal with
// its message, none of which stops the program.
#include <gtest/gtest.h>

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
};

class StageRefusalTest : public StageLoadingTest, public testing::WithParamInterface<cRefusal> {};

TEST_P(StageRefusalTest, RefusesWithItsMessageAndTheProgramGoesOn) {
  const cRefusal& c = GetParam();
  if (!c.bytes.empty()) m_Folder.Stage("bad.stg4_003", c.bytes);
  g_StageData.m_nWidth = 42;
  EXPECT_EQ(LoadPlayStage("data\\stg4\\bad.stg4", true, &g_StageData, &g_HeroType), 0);
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
  return {
      {"NoVariant", {}, ""},
      {"BadTrailer", StageFile(986, badTrailer), "ステージファイル data\\stg4\\bad.stg4_003 が破損しています！"},
      {"Unreadable", cut, "ステージファイル data\\stg4\\bad.stg4_003 の読み込みに失敗しました！"},
      {"NoHero", StageFile(986, noHero), "主人公が配置されていないのでプレイできません！"},
  };
}

INSTANTIATE_TEST_SUITE_P(Refusals, StageRefusalTest, testing::ValuesIn(Refusals()),
                         [](const testing::TestParamInfo<cRefusal>& info) { return std::string(info.param.name); });

}  // namespace
