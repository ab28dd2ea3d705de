// The stage's small services: erasing a character with its links, the active-block count, the view
// mask's size, the music request, the installation over the current hooks, and a summoned character
// in the activity and keep-area passes.
#include "stage/stage_services.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "data/game_data.h"
#include "objects/chara.h"
#include "objects/hero.h"
#include "shell/main_window.h"
#include "stage/activity_pass.h"
#include "stage/condition_lists.h"
#include "stage/hits.h"
#include "stage/scenario_fixture.h"
#include "stage/summons.h"
#include "stage/view_mask.h"
#include "test_support/hooks_guard.h"
#include "test_support/stage_harness.h"

namespace {

bool InAnyGroup(const cStageState& stage, const cCharaBase* chara) {
  for (const auto& group : stage.m_aCharaGroups)
    if (std::find(group.begin(), group.end(), chara) != group.end()) return true;
  return false;
}

bool LinksTo(const cCharaBase& from, const cCharaBase* to) {
  if (from.m_lpParent == to) return true;
  if (std::find(from.m_apTargets.begin(), from.m_apTargets.end(), to) != from.m_apTargets.end()) return true;
  return std::any_of(from.m_aLinks.begin(), from.m_aLinks.end(), [&](const cCharaLink& l) { return l.lpChara == to; });
}

std::list<cChara>::iterator PositionOf(const cChara& chara) {
  for (auto it = g_CharaList.begin(); it != g_CharaList.end(); ++it)
    if (&*it == &chara) return it;
  return g_CharaList.end();
}

// Every character left: no link to the erased one, and no group list holds it.
void ExpectNoTrace(const cStageHarness& h, const cCharaBase* erased) {
  EXPECT_FALSE(LinksTo(g_HeroList[0], erased));
  for (const cChara& chara : g_CharaList) EXPECT_FALSE(LinksTo(chara, erased)) << chara.m_nNumber;
  EXPECT_FALSE(InAnyGroup(const_cast<cStageHarness&>(h).Stage(), erased));
}

}  // namespace

TEST(StageServices, ErasingASummonedCharacterLeavesNoLinkToIt) {
  cStageHarness h({"H.C.C...", "........", "########"});
  cChara& summoner = h.Chara(0);
  cChara& watcher = h.Chara(1);
  SummonCharaInto(g_CharaList, 12 * 32.0, 10 * 32.0, HarnessCharaType(), cEdShot(), h.Stage().m_nNextCharaId,
                  &summoner);
  ASSERT_EQ(g_CharaList.size(), 3u);
  cChara& child = g_CharaList.back();
  watcher.SetTarget(2, &child);
  const cCharaBase* erased = &child;
  auto next = EraseStageChara(PositionOf(child));
  EXPECT_EQ(next, g_CharaList.end());
  EXPECT_EQ(g_CharaList.size(), 2u);
  EXPECT_EQ(watcher.m_apTargets[2], nullptr);
  ExpectNoTrace(h, erased);

  // The summoner goes: its child's parent link goes with it.
  SummonCharaInto(g_CharaList, 12 * 32.0, 10 * 32.0, HarnessCharaType(), cEdShot(), h.Stage().m_nNextCharaId,
                  &summoner);
  cChara& orphan = g_CharaList.back();
  next = EraseStageChara(PositionOf(summoner));
  EXPECT_EQ(&*next, &watcher);
  EXPECT_EQ(orphan.m_lpParent, nullptr);
  ExpectNoTrace(h, &summoner);
}

// A status operation may change a character's kind after it joined its group: erasing it still
// leaves no pointer in the group it joined.
TEST(StageServices, ErasingACharacterWhoseKindChangedClearsTheGroupItJoined) {
  cStageHarness h({"H.C.....", "........", "########"});
  cChara& chara = h.Chara(0);
  const int joined = chara.m_nKind;
  chara.m_nKind = joined == 5 ? 6 : 5;
  const cCharaBase* erased = &chara;
  EraseStageChara(g_CharaList.begin());
  EXPECT_TRUE(g_CharaList.empty());
  EXPECT_EQ(std::count(h.Stage().m_aCharaGroups[joined].begin(), h.Stage().m_aCharaGroups[joined].end(), erased), 0);
  ExpectNoTrace(h, erased);
}

TEST(StageServices, ActiveBlocksAreTheStagesPresentBlocksHiddenOnesIncluded) {
  cStageHarness h({"H.#..", "..##.", "#####"});
  cHooksGuard blocks(SetBlockHooks, cBlockHooks{CheckBlockCondition});
  EXPECT_EQ(CountStageActiveBlocks(), 8);
  g_BlockTable[0].m_nGraphic = 3;  // margin cells never count
  h.Cell(-1, 0).m_nGraphic = 3;
  h.Cell(5, 2).m_nGraphic = 3;
  EXPECT_EQ(CountStageActiveBlocks(), 8);
  h.Cell(2, 0).m_bInvisible = 1;
  EXPECT_EQ(CountStageActiveBlocks(), 8);
  cCond never;
  never.m_nKind = kCondNone;
  h.Cell(3, 1).m_aConds = {never};
  EXPECT_EQ(CountStageActiveBlocks(), 7);
}

TEST(StageServices, TheViewMaskRadiusIsCapped) {
  EXPECT_EQ(ViewMaskRadius(0), 0);
  EXPECT_EQ(ViewMaskRadius(-40), 0);
  EXPECT_EQ(ViewMaskRadius(640), 640);
  EXPECT_EQ(ViewMaskRadius(kViewMaskMaxRange + 1), kViewMaskMaxRange);
  EXPECT_EQ(ViewMaskRadius(2147483647), kViewMaskMaxRange);
  // The largest mask stays a picture of bounded size.
  const int64_t side = 1280 + 2 * int64_t{kViewMaskMaxRange};
  EXPECT_LT(side * (side - 320) * 4, int64_t{64} << 20);
}

namespace {
void SentinelWait(int, int, int, int, const std::vector<cChoiceEntry>*) {}
int SentinelRun(int) { return 42; }
int SentinelTake(cItem&, cHero&) { return 7; }
void SentinelColour(const cFlowCmd&) {}
}  // namespace

TEST(StageServices, InstallingKeepsTheWaitsAndScreenColourOfTheirOwners) {
  cStageHooks current;
  current.setupGameWait = SentinelWait;
  current.runModalWait = SentinelRun;
  current.takeItem = SentinelTake;
  current.changeScreenColour = SentinelColour;
  cHooksGuard stage(SetStageHooks, current);
  cHooksGuard blocks(SetBlockHooks, cBlockHooks());
  cHooksGuard ui(SetUiHooks, cUiHooks());
  InstallStageServices();
  const cStageHooks installed = SetStageHooks(current);
  EXPECT_EQ(installed.setupGameWait, SentinelWait);
  EXPECT_EQ(installed.runModalWait, SentinelRun);
  EXPECT_EQ(installed.takeItem, TakeStageItem);
  EXPECT_EQ(installed.changeScreenColour, SentinelColour);
  for (const void* hook : {(const void*)installed.checkFlowCondition, (const void*)installed.evalConditionList,
                           (const void*)installed.summonChara, (const void*)installed.summonItem,
                           (const void*)installed.summonBlock, (const void*)installed.eraseChara,
                           (const void*)installed.isCharaPlaceBlocked, (const void*)installed.countActiveBlocks,
                           (const void*)installed.buildViewMask, (const void*)installed.requestBgmByNumber})
    EXPECT_NE(hook, nullptr);
  EXPECT_NE(SetBlockHooks(cBlockHooks()).conditionsHold, nullptr);
  const cUiHooks music = SetUiHooks(cUiHooks());
  ASSERT_NE(music.setProgressMusic, nullptr);
  ASSERT_NE(music.progressMusicOption, nullptr);

  cFreshPlayObjects run;
  RequestStageBgm(12, 1);  // no window: only the option is kept
  EXPECT_EQ(g_SaveData.m_nBgmOption, 1);
  music.setProgressMusic(12);  // what the window does with the number
  EXPECT_EQ(g_SaveData.m_nBgm, 12);
  EXPECT_EQ(music.progressMusicOption(), 1);
}

// A summoned character takes part in the activity pass like a placed one, and the keep-area pass
// removes it without leaving a pointer behind.
TEST(StageServices, ASummonedCharacterActsAndLeavesByTheKeepArea) {
  cStageHarness h({"H......................................", ".......................................",
                   "#######################################"});
  cStageState& stage = h.Stage();
  SummonCharaInto(g_CharaList, 13 * 32.0, 10 * 32.0, HarnessCharaType(), cEdShot(), stage.m_nNextCharaId, &h.Hero());
  SummonCharaInto(g_CharaList, 46 * 32.0, 10 * 32.0, HarnessCharaType(), cEdShot(), stage.m_nNextCharaId, &h.Hero());
  ASSERT_EQ(g_CharaList.size(), 2u);
  cChara& near = g_CharaList.front();
  const cCharaBase* far = &g_CharaList.back();
  StepActivity(stage);
  EXPECT_EQ(near.m_bActing, 1);
  EXPECT_EQ(g_CharaList.back().m_bOnScreen, 0);
  g_StageFile.m_aKeepAreas[0].m_bRightOn = 1;
  g_StageFile.m_aKeepAreas[0].m_nRight = 2;
  StepKeepAreas(1);
  ASSERT_EQ(g_CharaList.size(), 1u);
  EXPECT_EQ(&g_CharaList.front(), &near);
  EXPECT_TRUE(InAnyGroup(stage, &near));
  ExpectNoTrace(h, far);
}
