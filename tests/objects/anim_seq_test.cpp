#include "objects/anim_seq.h"

#include <gtest/gtest.h>

#include "core/log.h"
#include "data/system_data.h"
#include "test_support/fresh_game_data.h"

namespace {

class AnimSeqTest : public ::testing::Test {
 protected:
  void SetUp() override { g_bQuit = 0; }
  void TearDown() override { g_bQuit = 0; }
  cFreshGameData m_FreshGameData;

  cAnimSeq Loaded(std::vector<cFrameScript> scripts) {
    m_scripts = std::move(scripts);
    cAnimSeq seq;
    seq.LoadAnimePatterns(&m_scripts);
    return seq;
  }
  static std::vector<int> Steps(cAnimSeq& seq, int n) {
    std::vector<int> patterns;
    for (int i = 0; i < n; ++i) patterns.push_back(seq.StepAnime());
    return patterns;
  }

  std::vector<cFrameScript> m_scripts;
};

TEST_F(AnimSeqTest, HoldShowsTheLastPatternForever) {
  cAnimSeq seq = Loaded({{{7, 3, 0}, {-1, 0, 0}}});
  EXPECT_EQ(Steps(seq, 10), (std::vector<int>(10, 7)));
}

TEST_F(AnimSeqTest, RestartLoopsAndJumpContinuesWithAnotherAnimation) {
  cAnimSeq seq = Loaded({{{1, 1, 0}, {2, 2, 0}, {-2, 0, 0}}, {{5, 1, 0}, {-3, 2, 0}}, {{9, 2, 0}, {-4, 0, 0}}});
  EXPECT_EQ(Steps(seq, 6), (std::vector<int>{2, 2, 1, 2, 2, 1}));
  ASSERT_EQ(seq.SetAnime(1, 0), 1);
  EXPECT_EQ(Steps(seq, 4), (std::vector<int>{9, 9, -4, -4}));
  EXPECT_EQ(seq.m_nAnime, 2);
  EXPECT_EQ(g_bQuit.load(), 0);  // stepping on past the end holds it there
}

TEST_F(AnimSeqTest, LockedFramesRefuseUnforcedSwitches) {
  cAnimSeq seq = Loaded({{{1, 5, 1}, {-4, 0, 0}}, {{2, 1, 0}, {-4, 0, 0}}});
  EXPECT_EQ(seq.SetAnime(1, 0), 0);
  EXPECT_EQ(seq.m_nAnime, 0);
  EXPECT_EQ(seq.StepAnime(), 1);
  EXPECT_EQ(seq.SetAnime(1, 1), 1);
  EXPECT_EQ(seq.CurrentPattern(), 2);
  seq.StepAnime();
  EXPECT_EQ(seq.ChangeAnime(1, 0), 1);  // already current: not restarted
  EXPECT_EQ(seq.m_nFrame, 1);
}

TEST_F(AnimSeqTest, ControlFramesThatWouldLeaveTheAnimationsAreMadeSafe) {
  // A hold with nothing before it, a jump to a missing animation, an unknown code, a script with
  // no end, and a control frame first.
  cAnimSeq seq = Loaded({{{-1, 0, 0}}, {{4, 1, 0}, {-3, 9, 0}}, {{6, 1, 0}, {-7, 0, 0}}, {{8, 1, 0}}, {{-2, 0, 0}}});
  EXPECT_EQ(seq.m_aAnims[0].back().nPattern, kAnimEnd);
  EXPECT_EQ(seq.m_aAnims[1].back().nPattern, kAnimHold);
  EXPECT_EQ(seq.m_aAnims[2].back().nPattern, kAnimEnd);
  EXPECT_EQ(seq.m_aAnims[3].back().nPattern, kAnimEnd);
  for (int a = 0; a < 5; ++a) {
    seq.SetAnime(a, 1);
    Steps(seq, 20);
  }
  seq.SetAnime(1, 1);
  EXPECT_EQ(Steps(seq, 5), (std::vector<int>(5, 4)));
  seq.SetAnime(4, 1);
  EXPECT_EQ(Steps(seq, 3), (std::vector<int>(3, -2)));
  EXPECT_EQ(g_bQuit.load(), 0);
}

TEST_F(AnimSeqTest, NullSourceAndEmptySequencer) {
  cAnimSeq seq;
  EXPECT_EQ(seq.StepAnime(), 0);
  seq.LoadAnimePatterns(nullptr);
  EXPECT_TRUE(seq.m_aAnims.empty());
  cAnimSeq loaded = Loaded({{{3, 1, 0}, {-4, 0, 0}}});
  loaded.StepAnime();
  loaded.LoadAnimePatterns(nullptr);
  EXPECT_EQ(loaded.m_aAnims.size(), 1u);
}

TEST_F(AnimSeqTest, OverlayListOperations) {
  cAnimOverlayList overlays(4);
  int i = 0;
  for (auto& o : overlays) {
    o.nSerial = i % 2;
    o.nAnime = i;
    o.nRemaining = i == 2 ? 0 : 10;
    ++i;
  }
  HaltOverlaysOfSerial(overlays, 0);
  EXPECT_EQ(overlays.size(), 4u);
  EXPECT_EQ(overlays.front().bPaused, 1);
  ResumeOverlaysOfSerial(overlays, 0);
  EXPECT_EQ(overlays.front().bPaused, 0);

  g_SystemData.m_bLegacy904 = 1;
  HaltOverlaysOfSerial(overlays, 0);  // the overlay with no time left goes
  EXPECT_EQ(overlays.size(), 3u);
  RemoveOverlaysOfAnime(overlays, 1);
  EXPECT_EQ(overlays.size(), 2u);
  RemoveOverlaysOfSerial(overlays, 1);
  ASSERT_EQ(overlays.size(), 1u);
  EXPECT_EQ(overlays.front().nAnime, 0);
}

TEST_F(AnimSeqTest, PlaysTheDatabaseScripts) {
  cDatabase db;
  std::vector<cFrameScript> scripts;
  BuildAnimeScripts(scripts, db);
  cAnimSeq seq;
  seq.LoadAnimePatterns(&scripts);
  ASSERT_EQ(seq.m_aAnims.size(), 2u);
  EXPECT_EQ(seq.StepAnime(), 0);
  EXPECT_EQ(seq.SetAnime(1, 0), 0);  // the none entry is locked
}

}  // namespace
