#include "data/anim_scripts.h"

#include <gtest/gtest.h>

#include "test_support/fresh_game_data.h"

namespace {

cAnimeData AnimeWith(std::vector<std::array<int32_t, 3>> frames) {
  cAnimeData anime;
  anime.m_aFrames.clear();
  for (const auto& f : frames) {
    cAnimeFrame frame;
    frame.m_nPattern = f[0];
    frame.m_nDuration = f[1];
    frame.m_bLockFrom = f[2];
    anime.m_aFrames.push_back(frame);
  }
  return anime;
}

TEST(FrameScripts, DurationsBecomeFramesAndLocksRunFromTheFirstLockedFrame) {
  cDatabase db;
  db.m_aAnime = {AnimeWith({{9, 1, 0}}), AnimeWith({{5, 2, 0}, {6, 3, 1}}), AnimeWith({{5, 2, 1}, {6, 3, 0}})};
  std::vector<cFrameScript> scripts;
  BuildAnimeScripts(scripts, db);
  ASSERT_EQ(scripts.size(), 3u);
  EXPECT_EQ(scripts[0], (cFrameScript{{9, 0, 1}, {-2, 0, 1}}));
  EXPECT_EQ(scripts[1], (cFrameScript{{5, 12, 0}, {6, 18, 1}, {-4, 0, 0}}));
  EXPECT_EQ(scripts[2], (cFrameScript{{5, 12, 1}, {6, 18, 1}, {-4, 0, 0}}));
  // Building again starts from the database durations, never from an earlier build.
  BuildAnimeScripts(scripts, db);
  EXPECT_EQ(scripts[1][0].nFrames, 12);
}

TEST(FrameScripts, EffectScriptsAreNeverLocked) {
  cDatabase db;
  db.m_aEffect.resize(2);
  db.m_aEffect[1].m_aFrames.resize(2);
  db.m_aEffect[1].m_aFrames[1].m_nPattern = 3;
  db.m_aEffect[1].m_aFrames[1].m_nDuration = 4;
  std::vector<cFrameScript> scripts;
  BuildEffectScripts(scripts, db);
  EXPECT_EQ(scripts[0], (cFrameScript{{0, 0, 1}, {-2, 0, 1}}));
  EXPECT_EQ(scripts[1], (cFrameScript{{0, 6, 0}, {3, 24, 0}, {-4, 0, 0}}));
}

class EffectPlayersTest : public ::testing::Test {
 protected:
  cFreshGameData m_FreshGameData;

  static void SetChara(int n, int kind, std::array<int32_t, 5> p) {
    if (static_cast<int>(g_Database.m_aCharaEffect.size()) <= n) g_Database.m_aCharaEffect.resize(n + 1);
    g_Database.m_aCharaEffect[n].m_nKind = kind;
    std::copy(p.begin(), p.end(), g_Database.m_aCharaEffect[n].m_anParams);
  }
  static void SetScr(int n, int kind, std::array<int32_t, 5> p) {
    if (static_cast<int>(g_Database.m_aScrEffect.size()) <= n) g_Database.m_aScrEffect.resize(n + 1);
    g_Database.m_aScrEffect[n].m_nKind = kind;
    std::copy(p.begin(), p.end(), g_Database.m_aScrEffect[n].m_anParams);
  }
  static int FramesUntilFinished(cCharaEffectPlay& play, int limit = 10000) {
    for (int i = 1; i <= limit; ++i)
      if (play.StepCharaEffect()) return i;
    return -1;
  }
};

TEST_F(EffectPlayersTest, RangedCharacterEffectRunsForwardAndReversed) {
  SetChara(1, 1, {10, 0, 255, 0, 0});
  BuildDatabaseRuntime();
  EXPECT_DOUBLE_EQ(g_CharaEffectPlays[1].dStep, 4.25);
  EXPECT_EQ(g_CharaEffectPlaysRev[1].nStart, 255);
  EXPECT_EQ(g_CharaEffectPlaysRev[1].nEnd, 0);
  // The database entry itself is never swapped; the reversed copy is.
  EXPECT_EQ(g_Database.m_aCharaEffect[1].m_anParams[1], 0);
  EXPECT_EQ(g_Database.m_aCharaEffectRev[1].m_anParams[1], 255);

  cCharaEffectPlay play;
  play.StartCharaEffect(1, 0, 0);
  EXPECT_EQ(FramesUntilFinished(play), 61);  // finished on the frame the value exceeds 255
  play.StartCharaEffect(1, 1, 0);
  EXPECT_EQ(play.dValue, 255.0);
  EXPECT_EQ(FramesUntilFinished(play), 61);
  EXPECT_LT(play.dValue, 0.0);
}

TEST_F(EffectPlayersTest, BuildingTwiceGivesTheSameReversedPlayers) {
  SetChara(1, 1, {10, 0, 255, 0, 0});
  SetScr(1, 1, {10, 1, 2, 3, 4});
  SetScr(2, 4, {10, 0, 640, 15, 0});
  BuildDatabaseRuntime();
  BuildCharaEffectPlays(g_CharaEffectPlays, g_CharaEffectPlaysRev);
  BuildScrEffectPlays(g_ScrEffectPlays, g_ScrEffectPlaysRev);
  EXPECT_EQ(g_CharaEffectPlaysRev[1].nStart, 255);
  EXPECT_EQ(g_ScrEffectPlaysRev[1].nWork1, 3);
  EXPECT_EQ(g_ScrEffectPlaysRev[1].nWork2, 4);
  EXPECT_EQ(g_ScrEffectPlays[1].nWork1, 1);
  EXPECT_EQ(g_ScrEffectPlaysRev[2].dValue, 640.0);
  EXPECT_EQ(g_ScrEffectPlays[2].dValue, 0.0);
}

TEST_F(EffectPlayersTest, EqualStartAndEndRunsInTimeMode) {
  SetChara(1, 2, {3, 16, 16, 4, 0});
  SetChara(2, 6, {10, 2, 0, 0, 0});
  BuildDatabaseRuntime();
  cCharaEffectPlay play;
  play.StartCharaEffect(1, 0, 0);
  const int frames = FramesUntilFinished(play);
  EXPECT_GE(frames, 18);
  EXPECT_LE(frames, 19);
  // Blinking counts tenths of a second from 0 to its run time.
  EXPECT_EQ(g_CharaEffectPlays[2].nEnd, 10);
  EXPECT_DOUBLE_EQ(g_CharaEffectPlays[2].dStep, 1.0 / 6);
}

TEST_F(EffectPlayersTest, ZeroRunTimeFinishesWithoutDividingByZero) {
  SetChara(1, 1, {0, 0, 100, 0, 0});
  SetScr(1, 9, {0, 0, 360, 0, 0});
  SetScr(2, 6, {0, 5, 5, 2, 3});
  BuildDatabaseRuntime();
  cCharaEffectPlay play;
  // The whole range in one frame: the value reaches the end, then passes it.
  play.StartCharaEffect(1, 0, 0);
  EXPECT_DOUBLE_EQ(play.dStep, 100.0);
  EXPECT_EQ(FramesUntilFinished(play), 2);
  cScrEffectPlay screen;
  screen.StartScrEffect(1, 0, 0);
  EXPECT_DOUBLE_EQ(g_ScrEffectPlays[1].dStep, 360.0);
  EXPECT_EQ(screen.StepScrEffect(0, 360, g_ScrEffectPlays[1].dStep), 0);
  EXPECT_EQ(screen.StepScrEffect(0, 360, g_ScrEffectPlays[1].dStep), 1);
  screen.StartScrEffect(2, 0, 0);
  EXPECT_EQ(screen.bTimeMode, 1);
  EXPECT_EQ(screen.StepScrEffect(5, 5, 0), 1);
}

TEST_F(EffectPlayersTest, RoundTripRunsForwardThenReversedAndLoopAlternates) {
  SetChara(1, 1, {1, 0, 12, 0, 0});  // 6 frames each way, step 2
  BuildDatabaseRuntime();
  cCharaEffectPlay play;
  play.StartCharaEffect(1, 2, 0);
  EXPECT_EQ(FramesUntilFinished(play), 14);
  EXPECT_EQ(play.bReversed, 1);

  play.StartCharaEffect(1, 2, 1);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(play.StepCharaEffect(), 0);
  EXPECT_EQ(play.bReversed, 1);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(play.StepCharaEffect(), 0);
  EXPECT_EQ(play.bReversed, 0);
  play.ClearCharaEffect();
  EXPECT_EQ(play.pEntry, nullptr);
  EXPECT_EQ(play.nPlayMode, 2);
}

TEST_F(EffectPlayersTest, ScreenEffectKindsPrepareTheirOwnWay) {
  SetScr(1, 2, {10, 4, 4, 0, 0});
  SetScr(2, 8, {10, 10, 0, 0, 0});
  SetScr(3, 13, {10, 1, 60, 0, 0});
  BuildDatabaseRuntime();
  EXPECT_DOUBLE_EQ(g_ScrEffectPlays[1].dStep, 1.0 / 6);
  EXPECT_EQ(g_ScrEffectPlays[1].bTimeMode, 0);
  EXPECT_DOUBLE_EQ(g_ScrEffectPlays[2].dStep, 1.0 / 6);
  EXPECT_DOUBLE_EQ(g_ScrEffectPlays[3].dStep, 59.0 / 60);
  EXPECT_EQ(g_ScrEffectPlaysRev[3].dValue, 60.0);

  cScrEffectPlay screen;
  screen.StartScrEffect(3, 0, 0);
  int frames = 0;
  while (!screen.StepScrEffect(1, 60, g_ScrEffectPlays[3].dStep)) ++frames;
  EXPECT_EQ(frames, 61);  // until the truncated value passes 60
  EXPECT_EQ(g_ScrEffectPlays[0].pEntry, &g_Database.m_aScrEffect[0]);
}

}  // namespace
