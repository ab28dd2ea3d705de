// The shot, sword and summon commands on the flow harness: once per frame whatever the number of
// sub-steps, one swing per run, the summon counts stored into the flow's variable, and a sword
// type without entries skipped.
#include <gtest/gtest.h>

#include <memory>

#include "data/database.h"
#include "data/palette.h"
#include "data/vocabulary_tables.h"
#include "flow/action_cmds.h"
#include "flow/cmd_tables.h"
#include "objects/flow_state.h"
#include "objects/shot.h"
#include "test_support/flow_harness.h"

namespace {

cFlowCmd ShotCmd(int kind, std::vector<int32_t> params = {0}) {
  cFlowCmd cmd;
  cmd.m_nKind = static_cast<int8_t>(kind);
  cmd.m_anParams = std::move(params);
  cmd.m_pShot = std::make_shared<cEdShot>();
  cmd.m_pShot->m_nPerRow = 1;
  cmd.m_pShot->m_nDirection = kMoveDirLeft;
  cmd.m_pShot->m_nSpeed = 40;
  cmd.m_nSound = 3;
  cmd.m_bSoundOnScreen = 0;
  return cmd;
}

}  // namespace

TEST(ShotCmds, TheShotCommandFiresOncePerFrame) {
  for (int n : {1, 4}) {
    cFlowHarness h({"H.....C...", "##########"});
    h.SetHitCheckLevel(n);
    cFlowCmd cmd = ShotCmd(11);
    cCmdState state;
    state.m_lpCmd = &cmd;
    // Two frames of n sub-steps through the command table.
    for (int call = 0; call < 2 * n; ++call) RunCharaCmdEntry(h.Chara(0), state);
    EXPECT_EQ(h.Stage().m_ShotList.size(), 2u) << "n = " << n;
    EXPECT_EQ(h.Sounds().size(), 2u) << "n = " << n;
    EXPECT_EQ(h.Stage().m_nNextShotId, 2) << "n = " << n;
  }
}

TEST(ShotCmds, TheSwordCommandSwingsOncePerRunAndCountsItsCalls) {
  cFlowHarness h({"H.....C...", "##########"});
  g_Database.m_aSwordType.assign(2, cSwordTypeData{});
  cFlowCmd cmd = ShotCmd(12);
  cmd.m_pShot->m_nTrajectory = 1;
  cCmdState state;
  state.m_lpCmd = &cmd;
  cChara& actor = h.Chara(0);
  EXPECT_EQ(RunCharaCmdEntry(actor, state), 1);
  EXPECT_EQ(RunCharaCmdEntry(actor, state), 2);
  ASSERT_EQ(h.Stage().m_ShotList.size(), 1u);
  cShot& swing = h.Stage().m_ShotList.front();
  EXPECT_EQ(swing.m_bIsShot, 0);
  EXPECT_EQ(swing.m_lpOwner, &actor);
  EXPECT_EQ(std::count(actor.m_aShotLinks.begin(), actor.m_aShotLinks.end(), cShotLink{&swing, kShotLinkOwner}), 1);
  EXPECT_EQ(h.Stage().m_nNextShotId, 1);

  // A sword type without entries makes no swing and does not stop the game.
  g_Database.m_aSwordType[1].m_aEntries.clear();
  cCmdState again;
  again.m_lpCmd = &cmd;
  EXPECT_EQ(RunCharaCmdEntry(actor, again), 1);
  EXPECT_EQ(h.Stage().m_ShotList.size(), 1u);
}

TEST(ShotCmds, SummonsRunOncePerFrameAndStoreWhatTheyAdded) {
  cFlowHarness h({"H.....C...", "##########"});
  h.SetHitCheckLevel(2);
  g_CommonPalette.m_aBlockTypes.resize(2);
  g_CommonPalette.m_aCharaTypes.resize(2);
  g_CommonPalette.m_aItemTypes.resize(2);
  int32_t vars[2] = {-1, -1};
  h.Stage().m_lpFlowVars = vars;
  for (int kind : {13, 14, 15}) {
    cFlowCmd cmd = ShotCmd(kind, {1});
    cmd.m_pShot->m_nSummonIndex = 1;
    cCmdState state;
    state.m_lpCmd = &cmd;
    for (int call = 0; call < 4; ++call) RunCharaCmdEntry(h.Chara(0), state);
  }
  EXPECT_EQ(h.CallsOf("summonBlock").size(), 2u);
  EXPECT_EQ(h.CallsOf("summonChara").size(), 2u);
  EXPECT_EQ(h.CallsOf("summonItem").size(), 2u);
  // The stand-in adds no character: the character summon stored 0 last.
  EXPECT_EQ(vars[0], 0);
  EXPECT_TRUE(h.Stage().m_ShotList.empty());
}
