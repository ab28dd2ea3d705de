// The frame step of characters and of the hero: the speeds from the automatic scroll (both settings
// of the legacy switch), the per-step resets, the running flows with their early ends, the removal
// of flagged flows and the release of flow ids, the basic animation, and the characters' part of
// the jump command.
#include <gtest/gtest.h>

#include "core/log.h"
#include "data/system_data.h"
#include "objects/chara_frame_step.h"
#include "objects/flow_hooks.h"
#include "objects/flow_runner.h"
#include "objects/play_objects.h"
#include "test_support/stage_harness.h"

namespace {

// What the command-table hook saw: the character and the flow state's serial, per call.
struct cDispatch {
  cCharaBase* chara;
  int serial;
};
std::vector<cDispatch> g_dispatched;
// What a command does to its character when it runs: by the flow's serial.
void (*g_onDispatch)(cCharaBase& chara, int serial) = nullptr;

void RecordDispatch(cCharaBase& chara, cCmdState&) {
  const cFlowState* state = g_lpSceneStage ? g_lpSceneStage->m_lpCurFlowState : nullptr;
  const int serial = state ? state->m_nSerial : -1;
  g_dispatched.push_back({&chara, serial});
  if (g_onDispatch) g_onDispatch(chara, serial);
}

cFlowHooks RecordingHooks() {
  g_dispatched.clear();
  g_onDispatch = nullptr;
  cFlowHooks hooks;
  hooks.dispatchCharaCmd = RecordDispatch;
  return hooks;
}

// Gives the character flows of the given triggers, each with one command of use time 0 (it runs
// once and ends the flow), installs them and marks them running.
void GiveRunningFlows(cCharaBase& chara, const std::vector<int>& triggers) {
  chara.m_Type.m_aFlows.assign(triggers.size(), cFlow());
  for (size_t i = 0; i < triggers.size(); ++i) {
    cFlow& flow = chara.m_Type.m_aFlows[i];
    flow.m_nTrigger = static_cast<int8_t>(triggers[i]);
    flow.m_aCmds.resize(1);
    flow.m_aCmds[0].m_nKind = 17;
  }
  InstallFlows(chara, chara.m_Type.m_aFlows, 0, -1);
  for (cFlowState& state : chara.m_aFlowStates) state.m_bRunning = 1;
}

std::vector<int> DispatchedSerials() {
  std::vector<int> serials;
  for (const cDispatch& d : g_dispatched) serials.push_back(d.serial);
  return serials;
}

cHarnessSetup AutoScrollStage() {
  cHarnessSetup setup;
  setup.map = {"H.C.....", "........", "########"};
  setup.prepareRun = [] {
    g_StageFile.m_bAutoScrollX = 1;
    g_StageFile.m_nAutoScrollSpeedX = 20;  // 2 dots a sub-step at n = 1
    g_StageFile.m_bAutoScrollY = 1;
    g_StageFile.m_nAutoScrollSpeedY = 10;
  };
  return setup;
}

}  // namespace

TEST(CharaStep, ACharacterStartsTheStepAtTheAutomaticScrollsSpeedWhenItMovesWithIt) {
  struct Case {
    int legacy214, sync, flying, atEdgeX;
    double speedX, speedY;  // speeds before the step: 9, 5
  };
  const Case cases[] = {
      {0, 1, 0, 0, 2, 5}, {0, 1, 1, 0, 2, 1}, {0, 1, 1, 1, 0, 1}, {0, 0, 1, 0, 0, 0},
      {0, 0, 0, 0, 0, 5}, {1, 1, 1, 0, 0, 0}, {1, 1, 0, 0, 0, 5},
  };
  for (const Case& t : cases) {
    cStageHarness h(AutoScrollStage());
    g_SystemData.m_bLegacy214 = t.legacy214;
    cChara& c = h.Chara(0);
    c.m_bSyncScroll = t.sync;
    c.m_bGravityFree = t.flying;
    h.Stage().m_ScrollX.m_bAtEdge = t.atEdgeX;
    h.Stage().m_ScrollY.m_bAtEdge = 0;
    c.m_dSpeedX = 9;
    c.m_dSpeedY = 5;
    c.StepChara(0);
    EXPECT_EQ(c.m_dSpeedX, t.speedX) << t.legacy214 << t.sync << t.flying << t.atEdgeX;
    EXPECT_EQ(c.m_dSpeedY, t.speedY) << t.legacy214 << t.sync << t.flying << t.atEdgeX;
  }
}

// Older projects let a flying hero always move with the automatic scroll and a walking one never;
// newer ones only a hero set to move with it.
TEST(CharaStep, TheHeroStartsTheStepAtTheAutomaticScrollsSpeedByTheLegacySwitch) {
  struct Case {
    int legacy214, sync, flying, atEdgeY;
    double speedX, speedY;
  };
  const Case cases[] = {
      {1, 0, 1, 0, 2, 1}, {1, 1, 0, 0, 0, 5}, {1, 0, 1, 1, 2, 0}, {0, 1, 0, 0, 2, 5},
      {0, 1, 1, 0, 2, 1}, {0, 0, 1, 0, 0, 0}, {0, 0, 0, 0, 0, 5},
  };
  for (const Case& t : cases) {
    cStageHarness h(AutoScrollStage());
    g_SystemData.m_bLegacy214 = t.legacy214;
    cHero& hero = h.Hero();
    hero.m_bSyncScroll = t.sync;
    hero.m_bGravityFree = t.flying;
    h.Stage().m_ScrollX.m_bAtEdge = 0;
    h.Stage().m_ScrollY.m_bAtEdge = t.atEdgeY;
    hero.m_dSpeedX = 9;
    hero.m_dSpeedY = 5;
    hero.StepChara(0);
    EXPECT_EQ(hero.m_dSpeedX, t.speedX) << t.legacy214 << t.sync << t.flying << t.atEdgeY;
    EXPECT_EQ(hero.m_dSpeedY, t.speedY) << t.legacy214 << t.sync << t.flying << t.atEdgeY;
  }
}

TEST(CharaStep, EachStepResetsTheMovementRequestsAndCountsTheCrushGraceDown) {
  cStageHarness h({"H.C", "###"});
  for (cCharaBase* c : {static_cast<cCharaBase*>(&h.Hero()), static_cast<cCharaBase*>(&h.Chara(0))}) {
    c->m_bFrictionX = 0;
    c->m_bFrictionY = 0;
    c->m_dCmdSpeedX = 1;
    c->m_dCmdSpeedY = 2;
    c->m_bMoved = 1;
    c->m_nMoveAnime = 3;
    c->m_nMoveLevel = 2;
    c->m_bMoveDisabled = 1;
    c->m_nCrushGrace = 2;
    c->StepChara(0);
    EXPECT_EQ(c->m_bFrictionX, 1);
    EXPECT_EQ(c->m_bFrictionY, 1);
    EXPECT_EQ(c->m_dCmdSpeedX, 0);
    EXPECT_EQ(c->m_dCmdSpeedY, 0);
    EXPECT_EQ(c->m_bMoved + c->m_nMoveAnime + c->m_nMoveLevel + c->m_bMoveDisabled, 0);
    EXPECT_EQ(c->m_nCrushGrace, 1);
    c->StepChara(0);
    EXPECT_EQ(c->m_nCrushGrace, 0);
    c->StepChara(0);
    EXPECT_EQ(c->m_nCrushGrace, 0);
  }
  // The hero's restore request lasts as long as the grace.
  cHero& hero = h.Hero();
  hero.m_nCrushGrace = 2;
  hero.m_bRestoreOnCrush = 1;
  hero.m_bJumpProcessed = 1;
  hero.m_anScratch[0] = 4;
  hero.StepChara(0);
  EXPECT_EQ(hero.m_bRestoreOnCrush, 1);
  EXPECT_EQ(hero.m_anScratch[0], 0);
  hero.StepChara(0);
  EXPECT_EQ(hero.m_bRestoreOnCrush, 0);
}

TEST(CharaStep, RunningFlowsAreSteppedInOrderAndSuspendedOrHaltedOnesWait) {
  cHooksGuard guard(SetFlowHooks, RecordingHooks());
  cStageHarness h({"H.C", "###"});
  cChara& c = h.Chara(0);
  GiveRunningFlows(c, {0, 0, 0, 0, 0});
  c.m_aFlowStates[1].m_bSuspended = 1;
  c.m_aFlowStates[2].m_bHalted = 1;
  c.m_aFlowStates[3].m_bRunning = 0;
  c.m_Type.m_aFlows[4].m_aCmds.clear();  // a running flow without commands is stopped
  c.m_aFlowStates[4].m_aCmdStates.clear();
  const int first = c.m_aFlowStates[0].m_nSerial;
  EXPECT_EQ(c.StepChara(0), 0);
  EXPECT_EQ(DispatchedSerials(), (std::vector<int>{first}));
  ASSERT_EQ(g_dispatched.size(), 1u);
  EXPECT_EQ(g_dispatched[0].chara, &c);
  // The finished flow and the empty one were stopped; the waiting ones still run.
  EXPECT_EQ(c.m_aFlowStates[0].m_bRunning, 0);
  EXPECT_EQ(c.m_aFlowStates[4].m_bRunning, 0);
  EXPECT_EQ(c.m_aFlowStates[1].m_bRunning, 1);
  EXPECT_EQ(c.m_aFlowStates[2].m_bRunning, 1);
  // The context the stage published for the flows is cleared afterwards.
  EXPECT_EQ(h.Stage().m_lpCurObject, nullptr);
  EXPECT_EQ(h.Stage().m_lpCurFlowState, nullptr);
  EXPECT_EQ(h.Stage().m_lpFlowVars, nullptr);
}

TEST(CharaStep, TheDefeatsLastStepRunsOnlyDeathFlows) {
  cHooksGuard guard(SetFlowHooks, RecordingHooks());
  cStageHarness h({"H.C", "###"});
  for (cCharaBase* c : {static_cast<cCharaBase*>(&h.Hero()), static_cast<cCharaBase*>(&h.Chara(0))}) {
    g_dispatched.clear();
    GiveRunningFlows(*c, {0, 5, 3, 5});
    c->m_nHp = 0;
    EXPECT_EQ(c->StepChara(1), 1);  // the life is gone: result 1 at the end
    EXPECT_EQ(DispatchedSerials(), (std::vector<int>{c->m_aFlowStates[1].m_nSerial, c->m_aFlowStates[3].m_nSerial}));
    EXPECT_EQ(c->m_aFlowStates[0].m_bRunning, 1);
  }
}

// A flow that leaves the character without life ends the step at once, unless it is a death flow.
TEST(CharaStep, AFlowThatTakesTheLifeEndsTheStepAtOnce) {
  cHooksGuard guard(SetFlowHooks, RecordingHooks());
  cStageHarness h({"H.C", "###"});
  for (cCharaBase* c : {static_cast<cCharaBase*>(&h.Hero()), static_cast<cCharaBase*>(&h.Chara(0))}) {
    g_dispatched.clear();
    GiveRunningFlows(*c, {5, 0, 0});
    static int killer;
    killer = c->m_aFlowStates[0].m_nSerial;
    g_onDispatch = [](cCharaBase& chara, int serial) {
      if (serial == killer) chara.m_nHp = 0;
    };
    EXPECT_EQ(c->StepChara(0), 1);
    // The death flow took the life but the step went on; the next flow ended it.
    EXPECT_EQ(g_dispatched.size(), 2u);
    EXPECT_EQ(c->m_aFlowStates[2].m_bRunning, 1);
    g_onDispatch = nullptr;
  }
}

TEST(CharaStep, AnErasedCharacterEndsItsStepAtOnce) {
  cHooksGuard guard(SetFlowHooks, RecordingHooks());
  cStageHarness h({"H.C", "###"});
  cChara& c = h.Chara(0);
  GiveRunningFlows(c, {0, 0});
  g_onDispatch = [](cCharaBase& chara, int) { chara.m_bVanished = 1; };
  EXPECT_EQ(c.StepChara(0), 1);
  EXPECT_EQ(g_dispatched.size(), 1u);
  // The hero has no erased flag of its own: its step goes on.
  g_dispatched.clear();
  GiveRunningFlows(h.Hero(), {0, 0});
  EXPECT_EQ(h.Hero().StepChara(0), 0);
  EXPECT_EQ(g_dispatched.size(), 2u);
}

TEST(CharaStep, FlaggedFlowsAreRemovedAndReleasedIdsFreedAtTheEnd) {
  cHooksGuard guard(SetFlowHooks, RecordingHooks());
  cStageHarness h({"H.C", "###"});
  for (cCharaBase* c : {static_cast<cCharaBase*>(&h.Hero()), static_cast<cCharaBase*>(&h.Chara(0))}) {
    GiveRunningFlows(*c, {0, 0, 0});
    c->m_aFlowStates[0].m_bRunning = 0;
    c->m_aFlowStates[1].m_bRunning = 0;
    c->m_aFlowStates[2].m_bRunning = 0;
    c->m_Type.m_aFlows[1].m_nGroup = 7;
    c->m_aFlowStates[0].m_bRemove = 1;
    c->m_aFlowStates[2].m_bRemove = 1;
    c->m_bRemovePending = 1;
    c->m_abInUse[3] = 1;
    c->m_abRelease[3] = 1;
    c->m_abInUse[4] = 1;
    c->m_bReleasePending = 1;
    c->StepChara(0);
    ASSERT_EQ(c->m_aFlowStates.size(), 1u);
    EXPECT_EQ(c->m_Type.m_aFlows.size(), 1u);
    EXPECT_EQ(c->m_aFlowStates[0].m_lpFlow->m_nGroup, 7);
    EXPECT_EQ(c->m_bRemovePending, 0);
    EXPECT_EQ(c->m_abInUse[3], 0);
    EXPECT_EQ(c->m_abRelease[3], 0);
    EXPECT_EQ(c->m_abInUse[4], 1);
    EXPECT_EQ(c->m_bReleasePending, 0);
  }
}

// A flow's command that hands the character new flows and removes one of its own while the step
// runs: both wait for the end of the step, where the new flow is installed at the place it was
// given for and the removed one goes.
TEST(CharaStep, FlowsHandedOverWhileTheStepRunsAreInstalledAtItsEnd) {
  cHooksGuard guard(SetFlowHooks, RecordingHooks());
  cStageHarness h({"H.C", "###"});
  for (cCharaBase* c : {static_cast<cCharaBase*>(&h.Hero()), static_cast<cCharaBase*>(&h.Chara(0))}) {
    GiveRunningFlows(*c, {0, 0});
    c->m_Type.m_aFlows[1].m_nGroup = 5;
    RebindFlowStates(*c);
    g_onDispatch = [](cCharaBase& chara, int serial) {
      if (serial != chara.m_aFlowStates[0].m_nSerial) return;
      std::vector<cFlow> handed(1);
      handed[0].m_nGroup = 9;
      InstallFlows(chara, handed, 1, 1);
      RemoveFlowState(chara, 0);
    };
    c->StepChara(0);
    g_onDispatch = nullptr;
    ASSERT_EQ(c->m_aFlowStates.size(), 2u);
    EXPECT_EQ(c->m_aFlowStates[0].m_lpFlow->m_nGroup, 9);
    EXPECT_EQ(c->m_aFlowStates[1].m_lpFlow->m_nGroup, 5);
    EXPECT_TRUE(c->m_aDeferredFlows.empty());
    EXPECT_EQ(c->m_bRemovePending, 0);
  }
}

// The movement commands' animation request wins; without one a character that no impact pushes
// shows its form's standing animation; a pushed one keeps what it shows.
TEST(CharaStep, TheBasicAnimationFollowsTheMovement) {
  struct Case {
    int moved, moveAnime;
    double impactX, impactY;
    int flying, expected;
  };
  const Case cases[] = {
      {1, 3, 0, 0, 0, 3}, {1, 1, 0.5, 0, 1, 1}, {0, 0, 0, 0, 0, 0},
      {0, 0, 0, 0, 1, 2}, {0, 0, 0.5, 0, 0, 1}, {0, 0, 0, -1, 1, 1},
  };
  cStageHarness h({"H.C", "###"});
  cChara& c = h.Chara(0);
  ASSERT_GE(c.m_Anim.m_aAnims.size(), 4u);
  for (const Case& t : cases) {
    c.m_Anim.SetAnime(1, 1);  // locked frames: only a forced change switches
    c.m_bMoved = t.moved;
    c.m_nMoveAnime = t.moveAnime;
    c.m_dImpactX = t.impactX;
    c.m_dImpactY = t.impactY;
    c.m_bGravityFree = t.flying;
    StepBaseAnimation(c);
    EXPECT_EQ(c.m_Anim.m_nAnime, t.expected) << t.moved << " " << t.impactX << " " << t.flying;
  }
}

TEST(CharaStep, AnAnimationRequestedByACommandInTheStepIsShown) {
  cHooksGuard guard(SetFlowHooks, RecordingHooks());
  cStageHarness h({"H.C", "###"});
  cChara& c = h.Chara(0);
  GiveRunningFlows(c, {0});
  g_onDispatch = [](cCharaBase& chara, int) {
    chara.m_bMoved = 1;
    chara.m_nMoveAnime = 3;
  };
  c.StepChara(0);
  EXPECT_EQ(c.m_Anim.m_nAnime, 3);
  // A request left from before the step is cleared by the step's resets.
  g_onDispatch = nullptr;
  c.m_bMoved = 1;
  c.m_nMoveAnime = 1;
  c.StepChara(0);
  EXPECT_EQ(c.m_Anim.m_nAnime, 0);
}

TEST(CharaStep, TheHeroRunsItsQueuedFlowChangesAfterItsFlows) {
  static std::vector<int> changes;
  changes.clear();
  cFlowHooks hooks = RecordingHooks();
  hooks.runChangeFlow = [](cHero& hero, cFlowCmd& cmd) {
    changes.push_back(cmd.m_nKind);
    EXPECT_EQ(g_lpSceneStage->m_lpCurObject, nullptr);  // the flows' context is cleared by then
  };
  cHooksGuard guard(SetFlowHooks, hooks);
  cStageHarness h({"H.C", "###"});
  cHero& hero = h.Hero();
  hero.m_aPendingFlowCmds.resize(2);
  hero.m_aPendingFlowCmds[0].m_nKind = 1;
  hero.m_aPendingFlowCmds[1].m_nKind = 2;
  const int frames = hero.m_nFrameCounter;
  hero.StepChara(0);
  EXPECT_EQ(changes, (std::vector<int>{1, 2}));
  EXPECT_TRUE(hero.m_aPendingFlowCmds.empty());
  EXPECT_EQ(hero.m_nFrameCounter, frames + 1);
}

TEST(CharaStep, WithoutAJumpCommandTheHerosJumpReturnsToRest) {
  cStageHarness h({"H.C", "###"});
  cHero& hero = h.Hero();
  hero.m_nJumpHold = 4;
  hero.m_bJumpReady = 0;
  hero.m_bCeilingHit = 1;
  hero.StepChara(0);
  EXPECT_EQ(hero.m_nJumpHold, 0);
  EXPECT_EQ(hero.m_bJumpReady, 1);
  EXPECT_EQ(hero.m_bCeilingHit, 0);
}

TEST(CharaStep, TheStepAnswersOneOnceTheLifeIsGone) {
  cStageHarness h({"H.C", "###"});
  EXPECT_EQ(h.Chara(0).StepChara(0), 0);
  h.Chara(0).m_nHp = 0;
  EXPECT_EQ(h.Chara(0).StepChara(0), 1);
  h.Hero().m_nHp = -3;
  EXPECT_EQ(h.Hero().StepChara(0), 1);
}

// The characters' part of the jump command.
class CharaJumpCmdTest : public ::testing::Test {
 protected:
  void SetUp() override {
    h.reset();
    h = std::make_unique<cStageHarness>(std::vector<std::string>{"H.C", "###"});
    state = cCmdState();
    cmd.m_nKind = 10;
    cmd.m_nSound = 4;
    cmd.m_bSoundOnScreen = 1;
    state.m_lpCmd = &cmd;
    state.m_dSpeed = -7.5;
    cChara& c = h->Chara(0);
    c.m_bInAir = 0;
    c.m_bOnScreen = 1;
  }
  cChara& C() { return h->Chara(0); }
  bool Launched() { return state.m_bLaunched && C().m_dSpeedY == -7.5 && C().m_bTookOff && C().m_bRiseEnded; }
  std::unique_ptr<cStageHarness> h;
  cFlowCmd cmd;
  cCmdState state;
};

TEST_F(CharaJumpCmdTest, AStandingCharacterLaunchesWithTheCommandsSound) {
  C().m_bRiding = 1;
  C().StepJumpCmd(state);
  EXPECT_TRUE(Launched());
  EXPECT_EQ(C().m_bRiding, 0);
  EXPECT_EQ(h->Sounds(), (std::vector<int>{4 + 16}));
}

TEST_F(CharaJumpCmdTest, TheSoundOnlyOnScreenIsSilentOffScreen) {
  C().m_bOnScreen = 0;
  C().StepJumpCmd(state);
  EXPECT_TRUE(Launched());
  EXPECT_TRUE(h->Sounds().empty());
  // Older projects play it wherever the character is.
  SetUp();
  g_SystemData.m_bLegacy749 = 1;
  C().m_bOnScreen = 0;
  C().StepJumpCmd(state);
  EXPECT_EQ(h->Sounds(), (std::vector<int>{4 + 16}));
}

// What keeps a character from launching, by the two legacy switches.
TEST_F(CharaJumpCmdTest, ACharacterThatCannotJumpYetWaits) {
  struct Case {
    int legacy749, legacy845b, inAir, ceiling, knocked, tookOff, airCount;
    bool launches;
  };
  const Case cases[] = {
      {0, 0, 0, 0, 0, 0, 0, true},  {0, 0, 1, 0, 0, 0, 0, false}, {0, 0, 0, 1, 0, 0, 0, false},
      {0, 0, 0, 0, 1, 0, 0, false}, {0, 0, 0, 0, 0, 1, 0, false}, {0, 0, 0, 0, 0, 0, 3, true},
      {0, 1, 0, 0, 0, 1, 0, true},  {0, 1, 0, 0, 0, 0, 3, false}, {1, 0, 0, 0, 0, 1, 0, true},
      {1, 0, 0, 0, 0, 0, 3, false}, {1, 0, 1, 0, 0, 0, 0, false}, {1, 1, 0, 0, 1, 0, 0, false},
  };
  for (const Case& t : cases) {
    SetUp();
    g_SystemData.m_bLegacy749 = t.legacy749;
    g_SystemData.m_bLegacy845b = t.legacy845b;
    C().m_bInAir = t.inAir;
    C().m_bCeilingHit = t.ceiling;
    C().m_bKnockStarted = t.knocked;
    C().m_bTookOff = t.tookOff;
    C().m_nAirCount = t.airCount;
    C().StepJumpCmd(state);
    EXPECT_EQ(state.m_bLaunched == 1, t.launches)
        << t.legacy749 << t.legacy845b << t.inAir << t.ceiling << t.knocked << t.tookOff << t.airCount;
  }
}

TEST_F(CharaJumpCmdTest, AWaitingJumpGivesUpAfterFourNSubSteps) {
  h->SetHitCheckLevel(2);
  C().m_bCeilingHit = 1;
  for (int calls = 0; calls < 8; ++calls) {
    state.m_nCalls = calls;  // the command counts its calls after each step
    C().StepJumpCmd(state);
    EXPECT_EQ(state.m_bLaunched, 0) << calls;
  }
  state.m_nCalls = 8;
  C().StepJumpCmd(state);
  EXPECT_EQ(state.m_bLaunched, 1);
  EXPECT_EQ(C().m_dSpeedY, 0);  // given up: no jump
  EXPECT_TRUE(h->Sounds().empty());
}

TEST_F(CharaJumpCmdTest, ALaunchedJumpWaitsForTheGround) {
  C().StepJumpCmd(state);
  ASSERT_TRUE(Launched());
  C().m_bCeilingHit = 1;
  C().m_bKnockStarted = 1;
  state.m_bKeyFlag = 1;
  C().m_dSpeedY = -3;
  C().StepJumpCmd(state);  // in the air: nothing
  EXPECT_EQ(C().m_bCeilingHit, 1);
  EXPECT_EQ(C().m_dSpeedY, -3);
  C().m_bRiding = 1;  // standing (on a block character)
  C().StepJumpCmd(state);
  EXPECT_EQ(C().m_bCeilingHit, 0);
  EXPECT_EQ(C().m_bKnockStarted, 0);
  EXPECT_EQ(state.m_bKeyFlag, 0);
  EXPECT_EQ(state.m_bLaunched, 1);
  EXPECT_EQ(h->Sounds().size(), 1u);
}
