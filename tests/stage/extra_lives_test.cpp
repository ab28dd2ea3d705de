#include <gtest/gtest.h>

#include "data/game_data.h"
#include "stage/extra_lives.h"
#include "stage/scene_stage.h"
#include "test_support/fresh_play_objects.h"

namespace {

int g_shown = 0;

TEST(ExtraLives, OnePerScoreStepCrossedUpToNinetyNine) {
  cFreshPlayObjects run;
  g_SystemData.m_bScoreExtend = 1;
  struct Case {
    int32_t lives;
    int32_t step;
    int64_t from, to;
    int given;
    int32_t after;
  };
  for (const Case& c : {Case{3, 1000, 1950, 3050, 2, 5}, Case{98, 1000, 0, 5000, 1, 99},
                        Case{3, 1, 0, 2000000000, 96, 99}, Case{kUnlimitedLives, 10, 0, 100, 0, kUnlimitedLives},
                        Case{3, 0, 0, 100, 0, 3}, Case{3, -5, 0, 100, 0, 3}, Case{99, 10, 0, 100, 0, 99}}) {
    cSaveData progress;
    progress.m_nLives = c.lives;
    g_SystemData.m_nExtendScore = c.step;
    g_shown = 0;
    EXPECT_EQ(GrantExtraLives(progress, c.from, c.to, [] { ++g_shown; }), c.given) << c.from << " -> " << c.to;
    EXPECT_EQ(progress.m_nLives, c.after);
    EXPECT_EQ(g_shown, c.given);
  }
  g_SystemData.m_bScoreExtend = 0;
  cSaveData progress;
  progress.m_nLives = 3;
  g_SystemData.m_nExtendScore = 10;
  EXPECT_EQ(GrantExtraLives(progress, 0, 100, nullptr), 0);
}

}  // namespace
