// The pre-roll of command animations: each command that shows an animation of its own has it start
// early enough to end with the command's start, counted back over the holding commands before it
// (the part that does not fit before the flow's start skipped), at every sub-step count; the frame
// step starts the overlays at their step, advanced and held as the entry says.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "data/anim_scripts.h"
#include "data/game_data.h"
#include "objects/chara.h"
#include "objects/flow_runner.h"
#include "objects/flow_test_support.h"
#include "test_support/fresh_play_objects.h"

namespace {

constexpr int kWait = 1;
constexpr int kStatusOp = 22;
constexpr int kJump = 10;

cAnimeFrame Frame(int pattern, int tenths, int lockFrom = 0) {
  cAnimeFrame frame;
  frame.m_nPattern = pattern;
  frame.m_nDuration = tenths;
  frame.m_bLockFrom = lockFrom;
  return frame;
}

class PreRollTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Animation 1: 3 tenths (18 frames); animation 2: 1 tenth, then a locked frame of 2 tenths.
    g_Database.m_aAnime.resize(3);
    g_Database.m_aAnime[1].m_aFrames = {Frame(4, 2), Frame(5, 1)};
    g_Database.m_aAnime[2].m_aFrames = {Frame(6, 1), Frame(7, 2, 1)};
    BuildAnimeScripts(g_AnimeScripts);
  }

  // A flow of: a holding wait of 5 tenths, a holding command with animation 1 (use time 2), a
  // run-on command with animation 2 (use time 1), and commands with animations the pre-roll
  // leaves out or marks without hold.
  int AddFlow(int n) {
    const int six = 6 * n;
    const int i = AddHandMadeFlow(m_Chara, {{kWait, 0, 5 * six},
                                            {kStatusOp, 0, 2 * six},
                                            {kStatusOp, 1, 1 * six},
                                            {kStatusOp, 0, 1 * six},
                                            {kJump, 0, 1 * six}});
    std::vector<cFlowCmd>& cmds = m_Chara.m_Type.m_aFlows[static_cast<size_t>(i)].m_aCmds;
    cmds[1].m_nAnime = 1;
    cmds[1].m_nUseTime = 2;
    cmds[2].m_nAnime = 2;
    cmds[2].m_nUseTime = 1;
    cmds[3].m_nAnime = 1;  // a movement command showing its move animation: none
    cmds[3].m_pMove = std::make_shared<cEdMove>();
    cmds[3].m_pMove->m_nAnimeChoice = 0;
    cmds[4].m_nAnime = 2;  // the command's own animation is asked for
    cmds[4].m_pMove = std::make_shared<cEdMove>();
    cmds[4].m_pMove->m_nAnimeChoice = 2;
    cmds[4].m_nUseTime = 1;
    return i;
  }

  cFreshPlayObjects m_FreshRun;
  cTestStage m_Stage;
  cChara m_Chara;
};

}  // namespace

TEST_F(PreRollTest, AnimationsStartSoThatTheyEndWithTheirCommand) {
  for (int n : {1, 4}) {
    g_StageFile.SetHitCheckLevel(n);
    m_Chara = cChara();
    const int i = AddFlow(n);
    cFlowState& state = m_Chara.m_aFlowStates[static_cast<size_t>(i)];
    BuildPreRoll(m_Chara, state);
    ASSERT_EQ(state.m_aPreRoll.size(), 3u) << n;
    const cPreRollEntry& first = state.m_aPreRoll[0];
    EXPECT_EQ(first.nStart, (30 - 18) * n);
    EXPECT_EQ(first.nAnime, 1);
    EXPECT_EQ(first.nSkipped, 0);
    EXPECT_EQ(first.nFrames, 18);
    EXPECT_EQ(first.nHoldFrames, 12);
    EXPECT_EQ(first.bHold, 1);
    // After the wait and the holding command: the run-on command adds nothing.
    const cPreRollEntry& second = state.m_aPreRoll[1];
    EXPECT_EQ(second.nStart, (42 - 18) * n);
    EXPECT_EQ(second.nAnime, 2);
    EXPECT_EQ(second.nHoldFrames, 6);
    const cPreRollEntry& jump = state.m_aPreRoll[2];
    EXPECT_EQ(jump.nStart, (48 - 18) * n);
    EXPECT_EQ(jump.bHold, 0);
  }
}

TEST_F(PreRollTest, WhatDoesNotFitBeforeTheFlowsStartIsSkipped) {
  for (int n : {1, 3}) {
    g_StageFile.SetHitCheckLevel(n);
    m_Chara = cChara();
    const int i = AddHandMadeFlow(m_Chara, {{kWait, 0, 6 * n}, {kStatusOp, 0, 6 * n}});
    m_Chara.m_Type.m_aFlows[0].m_aCmds[1].m_nAnime = 1;
    m_Chara.m_Type.m_aFlows[0].m_aCmds[0].m_nAnime = 999;  // not in the database: none
    cFlowState& state = m_Chara.m_aFlowStates[static_cast<size_t>(i)];
    BuildPreRoll(m_Chara, state);
    ASSERT_EQ(state.m_aPreRoll.size(), 1u);
    EXPECT_EQ(state.m_aPreRoll[0].nStart, 0);
    EXPECT_EQ(state.m_aPreRoll[0].nSkipped, 12);  // frames
  }
}

TEST_F(PreRollTest, TheFrameStepStartsTheOverlayAtItsStep) {
  g_StageFile.SetHitCheckLevel(1);
  const int i = AddHandMadeFlow(m_Chara, {{kWait, 0, 6}, {kStatusOp, 0, 24}});
  cFlowCmd& cmd = m_Chara.m_Type.m_aFlows[0].m_aCmds[1];
  cmd.m_nAnime = 2;
  cmd.m_nUseTime = 4;
  cFlowState& state = m_Chara.m_aFlowStates[static_cast<size_t>(i)];
  BuildPreRoll(m_Chara, state);
  ASSERT_EQ(state.m_aPreRoll.size(), 1u);
  EXPECT_EQ(state.m_aPreRoll[0].nSkipped, 12);  // 18 frames before a command 6 frames in

  // Not running, or suspended: nothing starts.
  StartPreRollAnimations(m_Chara);
  state.m_bRunning = 1;
  state.m_bSuspended = 1;
  StartPreRollAnimations(m_Chara);
  EXPECT_TRUE(m_Chara.m_Overlays.empty());
  state.m_bSuspended = 0;
  state.m_nStepsRun = 1;
  StartPreRollAnimations(m_Chara);
  EXPECT_TRUE(m_Chara.m_Overlays.empty());

  state.m_nStepsRun = 0;
  StartPreRollAnimations(m_Chara);
  ASSERT_EQ(m_Chara.m_Overlays.size(), 1u);
  const cAnimOverlay& overlay = m_Chara.m_Overlays.front();
  EXPECT_EQ(overlay.nSerial, state.m_nSerial);
  EXPECT_EQ(overlay.nAnime, 2);
  EXPECT_EQ(overlay.seq.m_nAnime, 2);
  // Advanced by 12 frames: past the first frame (6), 6 frames into the locked one, which is
  // lengthened by the command's hold (24 frames) less one.
  EXPECT_EQ(overlay.seq.m_nFrame, 1);
  EXPECT_EQ(overlay.seq.m_nTime, 6);
  EXPECT_EQ(overlay.seq.m_aAnims[2][1].nDuration, 12 + 23);
  EXPECT_EQ(overlay.seq.m_aAnims[2][0].nDuration, 6);
}

TEST_F(PreRollTest, JumpsAndSwordsAreNotHeld) {
  g_StageFile.SetHitCheckLevel(1);
  const int i = AddHandMadeFlow(m_Chara, {{kJump, 0, 24}});
  cFlowCmd& cmd = m_Chara.m_Type.m_aFlows[0].m_aCmds[0];
  cmd.m_nAnime = 2;
  cmd.m_nUseTime = 4;
  cFlowState& state = m_Chara.m_aFlowStates[static_cast<size_t>(i)];
  BuildPreRoll(m_Chara, state);
  state.m_bRunning = 1;
  StartPreRollAnimations(m_Chara);
  ASSERT_EQ(m_Chara.m_Overlays.size(), 1u);
  EXPECT_EQ(m_Chara.m_Overlays.front().seq.m_aAnims[2][1].nDuration, 12);
}
