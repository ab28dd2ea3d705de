// The ranking display of the stage's modal waits: what the hooks the menus install do.
#include <gtest/gtest.h>

#include <vector>

#include "data/game_data.h"
#include "media/graphics/display.h"
#include "media/graphics/draw_trace.h"
#include "menus/ranking_display.h"
#include "shell/scene_mgr.h"
#include "stage/modal_waits.h"
#include "stage/scene_stage.h"
#include "test_support/fresh_play_objects.h"
#include "test_support/hooks_guard.h"

namespace {
std::vector<DDTRACECALL> g_calls;
void Record(const DDTRACECALL& call) { g_calls.push_back(call); }
void DrawStage() {}
}  // namespace

TEST(RankingDisplayTest, TheHooksStepDrawAndCountTheModesKinds) {
  cFreshPlayObjects fresh;
  cHooksGuard<cModalWaitHooks> waits{SetModalWaitHooks, {.drawWaitFrame = DrawStage}};
  cHooksGuard<cDrawTraceHooks> trace{SetDrawTraceHooks, {.record = Record}};
  g_calls.clear();
  InstallRankingDisplay();
  const cModalWaitHooks hooks = SetModalWaitHooks({});
  SetModalWaitHooks(hooks);
  // stage play's own hooks stay
  EXPECT_EQ(hooks.drawWaitFrame, &DrawStage);
  ASSERT_TRUE(hooks.stepRankingKind && hooks.rankingKindCount && hooks.drawRanking);

  g_ModeIndex = 1;
  g_SystemData.m_aModeRanking[1].m_bEnabled = 1;
  g_SystemData.m_aModeRanking[1].m_abKinds = {0, 1, 0, 1, 0};
  EXPECT_EQ(hooks.rankingKindCount(), 2);
  g_SaveData.m_nRankingKind = 0;
  hooks.stepRankingKind(0);  // the first kind the mode shows
  EXPECT_EQ(g_SaveData.m_nRankingKind, 1);
  hooks.stepRankingKind(1);
  EXPECT_EQ(g_SaveData.m_nRankingKind, 3);

  // without a stage no place is marked
  hooks.drawRanking();
  size_t blits = 0;
  for (const DDTRACECALL& c : g_calls) {
    if (c.strName == "cFont::DrawBox") {
      EXPECT_EQ(c.lpDst, &g_BackBufferSD);
      EXPECT_EQ(c.adArgs[0], 185);
      EXPECT_EQ(c.adArgs[1], 65);
    }
    blits += c.strName == "DDBlt";
  }
  EXPECT_EQ(blits, 0u);

  // the play's place in the shown kind is marked
  {
    cSceneStage scene;
    scene.m_anRankPlaces = {-1, -1, -1, 4, -1};
    g_calls.clear();
    hooks.drawRanking();
    std::vector<DDTRACECALL> marks;
    for (const DDTRACECALL& c : g_calls)
      if (c.strName == "DDBlt") marks.push_back(c);
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks[0].adArgs[0], 184);
    EXPECT_EQ(marks[0].adArgs[1], 64 + 16 * 4 + 16);
  }
  g_ModeIndex = 0;
}
