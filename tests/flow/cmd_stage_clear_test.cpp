// "ステージクリア": the next stage by number, by file (its extension stripped on a copy) or the
// world's end; the world-map place and story save in story play only; the hero's start place.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/play_mode.h"
#include "data/save_data.h"
#include "data/system_data.h"
#include "data/world_map.h"
#include "flow/cmd_tables.h"
#include "platform/message_box.h"
#include "test_support/flow_harness.h"

namespace {

class StageClear : public ::testing::Test {
 protected:
  StageClear() {
    g_SaveData.m_nStage = 4;
    g_WorldMap.m_nWidth = 20;
    g_WorldMap.m_nHeight = 15;
    g_nPlayMode = kPlayModeStoryNew;
    SetMessageBoxHandler([this](const char* text, const char*, unsigned) {
      boxes.emplace_back(text);
      return IDOK;
    });
  }
  ~StageClear() override { SetMessageBoxHandler(nullptr); }

  // The command with parameters P0-P10 and a text; its result.
  int Clear(std::vector<int32_t> params, const std::string& text = "") {
    cmd.m_nKind = 17;
    params.resize(11, 0);
    cmd.m_anParams = params;
    cmd.m_strText = text;
    return CmdStageClear(h.Hero(), cmd);
  }

  cFlowHarness h{std::vector<std::string>{"H"}};
  cFlowCmd cmd;
  std::vector<std::string> boxes;
};

TEST_F(StageClear, TheNextStageByNumberFileOrWorldEnd) {
  struct Case {
    std::vector<int32_t> params;
    const char* text;
    int32_t next;
    const char* path;
  };
  const Case cases[] = {
      {{0}, "", 5, ""},                             // the following stage
      {{1, 9}, "", 9, ""},                          // by number
      {{2}, "stg\\ex.stg4", 4, "stg\\ex."},         // by file: the current number, the name and its "."
      {{2}, "ex", 4, "ex."},                        // a name without extension
      {{2}, "dir.v2\\stage", 4, "dir.v2\\stage."},  // a dot of a folder is no extension
      {{2}, "表\\表.stg4", 4, "表\\表."},           // a "\" trail byte is no separator
      {{3}, "", 0, ""},                             // the world is cleared
  };
  for (const Case& c : cases) {
    g_SaveData.m_strNextStagePath = "old";
    g_SaveData.m_nNextStage = -1;
    EXPECT_EQ(Clear(c.params, c.text), 1);
    EXPECT_EQ(g_SaveData.m_nNextStage, c.next) << c.text;
    EXPECT_EQ(g_SaveData.m_strNextStagePath, c.path) << c.text;
    EXPECT_EQ(cmd.m_strText, c.text);  // the command's own text stays as it was
  }
  EXPECT_TRUE(boxes.empty());
  // Run again, the file gives the same name.
  Clear({2}, "stg\\ex.stg4");
  Clear({2}, "stg\\ex.stg4");
  EXPECT_EQ(g_SaveData.m_strNextStagePath, "stg\\ex.");
}

TEST_F(StageClear, AnEmptyStageFileIsReportedAndTheCurrentStageFollows) {
  g_SaveData.m_strNextStagePath = "old";
  EXPECT_EQ(Clear({2}), 1);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "ステージファイル  が不正です。\nステージファイルとして認識できません。");
  EXPECT_EQ(g_SaveData.m_nNextStage, 4);
  EXPECT_EQ(g_SaveData.m_strNextStagePath, "");
}

// The place is lowered onto the map's far edges (a negative one is the world map's to keep inside);
// the walk that left the map for the stage is over (the left-stage flag, which would send the hero
// back to the cell it came from, is cleared).
TEST_F(StageClear, StoryPlaySetsTheMapPlaceAndTheSaveInsideTheMap) {
  struct Case {
    int32_t x, y, mapX, mapY;
  };
  for (const Case c : {Case{5, 3, 5, 3}, Case{20, 15, 19, 14}, Case{500, 3, 19, 3}, Case{-1, 3, -1, 3},
                       Case{-5, -1, -5, -1}, Case{19, 14, 19, 14}}) {
    g_SaveData.m_bLeftStage = 1;
    g_SaveData.m_nMapFacing = 2;
    g_SaveData.m_nPrevMapX = 8;
    Clear({0, 0, 1, c.x, c.y, 0, 0, 0, 0, 1});
    EXPECT_EQ(g_SaveData.m_nMapX, c.mapX) << c.x;
    EXPECT_EQ(g_SaveData.m_nMapY, c.mapY) << c.y;
    EXPECT_EQ(g_SaveData.m_bLeftStage, 0) << c.x;
    EXPECT_EQ(g_SaveData.m_nMapFacing, 2);  // the rest of the map's state stays
    EXPECT_EQ(g_SaveData.m_nPrevMapX, 8);
    EXPECT_EQ(h.Stage().m_bSaveOnClear, 1);
  }
  // Without P2 the place and the walk stay; the save follows P9 unless the project forces it.
  g_SaveData.m_bLeftStage = 1;
  Clear({0, 0, 0, 7, 7});
  EXPECT_EQ(g_SaveData.m_nMapX, 19);
  EXPECT_EQ(g_SaveData.m_bLeftStage, 1);
  EXPECT_EQ(h.Stage().m_bSaveOnClear, 0);
  Clear({0, 0, 0, 7, 7, 0, 0, 0, 0, 2});
  EXPECT_EQ(h.Stage().m_bSaveOnClear, 2);  // P9 as it stands
  g_SystemData.m_bForceSaveOnClear = 1;
  Clear({0});
  EXPECT_EQ(h.Stage().m_bSaveOnClear, 1);

  // Challenge, free play and replays touch neither.
  g_SystemData.m_bForceSaveOnClear = 0;
  for (int mode : {kPlayModeChallenge, kPlayModeFree, kPlayModeReplay}) {
    g_nPlayMode = mode;
    h.Stage().m_bSaveOnClear = 0;
    Clear({0, 0, 1, 2, 2, 0, 0, 0, 0, 1});
    EXPECT_EQ(g_SaveData.m_nMapX, 19) << mode;
    EXPECT_EQ(g_SaveData.m_bLeftStage, 1) << mode;
    EXPECT_EQ(h.Stage().m_bSaveOnClear, 0) << mode;
  }
  g_nPlayMode = kPlayModeStoryContinue;
  Clear({0, 0, 1, 2, 2});
  EXPECT_EQ(g_SaveData.m_nMapX, 2);
}

TEST_F(StageClear, TheHeroStartPlaceAndTheClearFlag) {
  h.Hero().m_nFacing = 1;
  Clear({0, 0, 0, 0, 0, 1, 6, 7, 2, 0, 1});
  EXPECT_EQ(g_SaveData.m_bPlaceRequest, 1);
  EXPECT_EQ(g_SaveData.m_nPlaceX, 6);
  EXPECT_EQ(g_SaveData.m_nPlaceY, 7);
  EXPECT_EQ(g_SaveData.m_nPlaceFacing, 1);  // as the hero faces at the clear
  EXPECT_EQ(g_SaveData.m_bClearCounts, 1);
  Clear({0, 0, 0, 0, 0, 1, 6, 7, 0, 0, 5});
  EXPECT_EQ(g_SaveData.m_nPlaceFacing, 0);
  EXPECT_EQ(g_SaveData.m_bClearCounts, 1);
  Clear({0});
  EXPECT_EQ(g_SaveData.m_bPlaceRequest, 0);
  EXPECT_EQ(g_SaveData.m_bClearCounts, 0);
}

}  // namespace
