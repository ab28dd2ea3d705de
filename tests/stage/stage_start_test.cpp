// Starting a stage file for free play: a new progress, and the lives of a free play or a direct
// start.
#include <gtest/gtest.h>

#include "data/game_data.h"
#include "shell/app_globals.h"
#include "stage/stage_start.h"
#include "stage_files.h"
#include "test_support/fresh_play_objects.h"

namespace {

class StageStartTest : public testing::Test {
 protected:
  StageStartTest() { m_Folder.Stage("free.stg4", StageFile(986, SmallStage())); }
  ~StageStartTest() override { g_DirectPlay = 0; }
  cFreshPlayObjects m_Run;
  cGameFolder m_Folder;
};

TEST_F(StageStartTest, AFreeStartBeginsANewProgress) {
  g_SystemData.m_nSaveVarCount = 3;
  g_SaveData.m_nScoreTotal = 1234;
  g_SaveData.m_anCommonVars.at(5) = 7;
  g_SaveData.m_bPlaceRequest = 1;
  ASSERT_EQ(StartStageFromFile("data\\stg4\\free.stg4", false), 1) << testing::PrintToString(m_Folder.Boxes());
  EXPECT_EQ(g_SaveData.m_nScoreTotal, 0);
  EXPECT_EQ(g_SaveData.m_anCommonVars.at(5), 0);
  EXPECT_EQ(g_SaveData.m_bPlaceRequest, 0);
  EXPECT_EQ(g_SaveData.m_aChallenge.size(), 3u);
  EXPECT_EQ(g_SaveData.m_nStage, 1);
  EXPECT_EQ(g_SaveData.m_nWorld, 1);
  // The file is the current stage: its results and rankings go under its key.
  EXPECT_EQ(g_SaveData.m_strStageKey, "data\\stg4\\free.");
}

TEST_F(StageStartTest, LivesFollowTheFreePlaySettingsUnlessStartedDirectly) {
  struct Case {
    int directPlay;
    int32_t infinite;
    int32_t startLives;
    int32_t expectStart;
    int32_t expectLives;
  };
  const Case cases[] = {
      {0, 0, 5, 5, 4},                              // the life being played is one of the five
      {0, 0, 0, 0, 0},                              // none in reserve, never below 0
      {0, 1, 5, kUnlimitedLives, kUnlimitedLives},  // the free play's lives are unlimited
      {1, 0, 5, kUnlimitedLives, kUnlimitedLives},  // a direct start never runs out
  };
  for (const Case& c : cases) {
    g_DirectPlay = c.directPlay;
    g_SystemData.m_anModeOpt = {1, 1, c.infinite, 1};
    g_SystemData.m_anStartLives = {5, 5, c.startLives, 99};
    ASSERT_EQ(StartStageFromFile("data\\stg4\\free.stg4", false), 1);
    EXPECT_EQ(g_SaveData.m_nStartLives, c.expectStart) << c.directPlay << c.infinite;
    EXPECT_EQ(g_SaveData.m_nLives, c.expectLives) << c.directPlay << c.infinite;
  }
}

}  // namespace
