// Games played from the title, as a player would, headless with scripted keys: a new game in
// the first save slot, a walk on the world map onto the first place, its stage played and cleared,
// the next numbered stage loaded in place and cleared, the play entered in the stage's rankings
// through the name entry, and the way back to the world map, which saves the story into its slot;
// and the same stages as a challenge from the stage select. What the runs leave in their game
// folders is then read back: the saves and the rankings.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "data/game_data.h"
#include "data/ranking.h"
#include "data/save_data.h"
#include "data/story_slots.h"
#include "stage/stage_files.h"
#include "test_support/demo_run_test.h"
#include "test_support/fresh_game_data.h"
#include "test_support/program_run.h"
#include "test_support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

// The keys, frame by frame (Z is button 1, X button 2, F3 enters a ranking by hand). The title
// fades in; "はじめから" opens the slot list, whose first slot starts the story on the world map.
// Three steps right reach the first place, an uncleared stage that asks at once; the cursor stands
// on "やっぱりやめる", so up, then decide. Each stage clears on button 1 once its intro is over;
// the first leads straight into the second (its next number exists), whose end is the last of the
// world: the play takes a ranking place, F3 opens the name entry (taken as it is) and then shows the
// table until decide; decide again leaves for the world map.
const char* const kStoryInput =
    "60 press Z\n62 release Z\n"
    "100 press Z\n102 release Z\n"
    "200 press RIGHT\n202 release RIGHT\n"
    "210 press RIGHT\n212 release RIGHT\n"
    "220 press RIGHT\n222 release RIGHT\n"
    "250 press UP\n252 release UP\n"
    "260 press Z\n262 release Z\n"
    "460 press Z\n462 release Z\n"
    "760 press Z\n762 release Z\n"
    "1000 press Z\n1002 release Z\n"
    "1300 press F3\n1302 release F3\n"
    "answer ok\n"
    "1400 press Z\n1402 release Z\n"
    "1500 press Z\n1502 release Z\n";

// The same two stages in challenge play: "チャレンジ" (two rows down) opens the stage select, whose
// first world starts at once; the second stage follows in place, and its end leaves for the stage
// select after the ranking entry.
const char* const kChallengeInput =
    "40 press DOWN\n42 release DOWN\n"
    "46 press DOWN\n48 release DOWN\n"
    "60 press Z\n62 release Z\n"
    "150 press Z\n152 release Z\n"
    "350 press Z\n352 release Z\n"
    "650 press Z\n652 release Z\n"
    "890 press Z\n892 release Z\n"
    "1190 press F3\n1192 release F3\n"
    "answer ok\n"
    "1290 press Z\n1292 release Z\n"
    "1390 press Z\n1392 release Z\n";

class PlayFromTitleTest : public cDemoRunTest {
 protected:
  void SetUp() override {
    cDemoRunTest::SetUp();
    if (HasFatalFailure()) return;
    // The first world's stages: each clears on button 1.
    for (const char* name : {"c01-1.stg4_000", "c01-2.stg4_000"}) {
      cStageBytes s = SmallStage(12, 6);
      s.charas = {HeroClearingOnButton1(1, 4)};
      WriteBytes(m_Game / "data" / "stg4" / name, StageFile(986, s));
    }
  }
};

TEST_F(PlayFromTitleTest, ANewStoryClearsTwoStagesEntersTheRankingAndSavesOnTheWorldMap) {
  ASSERT_EQ(Run(1750, kStoryInput), 0) << Log();

  cFreshGameData fresh;
  cInFolder inGame(m_Game);
  cSaveData save;
  ASSERT_EQ(ReadProgressFile(StorySlotPath(0), save), eProgressFile::Whole) << Log();
  EXPECT_EQ(save.m_nStorySlot, 0);
  // The world of the first place is cleared; the hero stands on that place, out of the stages.
  ASSERT_GT(save.m_anWorldFlags.size(), 1u);
  EXPECT_EQ(save.m_anWorldFlags[1], 1);
  EXPECT_EQ(save.m_nMapX, 6);
  EXPECT_EQ(save.m_nMapY, 7);
  EXPECT_EQ(save.m_bInStage, 0);
  // The stage's result is kept under the world's stage key.
  ASSERT_EQ(save.m_aStageResults.size(), 1u);
  // Nothing else was saved: the story went into the slot it was started in (the first slot's file
  // is numbered 01).
  EXPECT_FALSE(fs::exists(m_Game / "user_data" / "story" / "Story02.dat"));

  cRanking ranking;
  ASSERT_EQ(LoadRankingFile(ranking, 0, "data\\stg4\\c01.", 0, 0, 0), 1) << Log();
  ASSERT_FALSE(ranking.m_aTables.empty());
  const cRankEntry& first = ranking.m_aTables[0].m_aEntries[0];
  EXPECT_EQ(first.m_bUsed, 1);
  EXPECT_EQ(first.m_strName, "aaa");
}

TEST_F(PlayFromTitleTest, AChallengeClearsItsWorldEntersTheRankingAndOpensTheNextWorld) {
  ASSERT_EQ(Run(1600, kChallengeInput), 0) << Log();

  cFreshGameData fresh;
  cInFolder inGame(m_Game);
  cSaveData save;
  ASSERT_EQ(ReadProgressFile("user_data\\challenge\\Challenge.dat", save), eProgressFile::Whole) << Log();
  // The first world is cleared and the second one opens.
  ASSERT_FALSE(save.m_aChallenge.empty());
  EXPECT_EQ(save.m_aChallenge[0].m_nValueA, 1);
  EXPECT_EQ(save.m_nChallengeUnlocked, 2);
  // No story was saved.
  EXPECT_FALSE(fs::exists(m_Game / "user_data" / "story" / "Story01.dat"));

  cRanking ranking;
  ASSERT_EQ(LoadRankingFile(ranking, 1, "data\\stg4\\c01.", 0, 0, 0), 1) << Log();
  ASSERT_FALSE(ranking.m_aTables.empty());
  EXPECT_EQ(ranking.m_aTables[0].m_aEntries[0].m_bUsed, 1);
  EXPECT_EQ(ranking.m_aTables[0].m_aEntries[0].m_strName, "aaa");
}

}  // namespace
