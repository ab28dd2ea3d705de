// The world-map menu and the free-play list reached from the title as a player would, headless with
// scripted keys: a new story in the first slot, the world-map menu opened from the map, the story
// saved into the second slot, back to the map, the menu again and out to the title through its
// confirm; then the free list, left once and opened again, and its second stage file started. What
// the run leaves in its game folder is read back: the saved slot and the remembered list place.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "data/save_data.h"
#include "data/story_slots.h"
#include "shell/list_positions.h"
#include "stage/stage_files.h"
#include "test_support/demo_run_test.h"
#include "test_support/fresh_game_data.h"
#include "test_support/program_run.h"
#include "test_support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

// The keys, frame by frame (Z is button 1, X button 2). "はじめから" and the first slot start the
// story on the world map; X opens the world-map menu. "セーブ" opens the slot list on the play's own
// slot: down to the second slot, decide, up to "セーブする", decide. X leaves the list, X again goes
// back to the map. X opens the menu once more; up wraps to "タイトルへ", whose confirm opens on
// "やっぱりやめる": up, then decide. At the title three rows down is "フリー": the free list opens
// on its first file; down, then X back to the title, which now stands on "フリー"; decide opens the
// list again, down, decide starts the second file.
const char* const kInput =
    "60 press Z\n62 release Z\n"
    "100 press Z\n102 release Z\n"
    "200 press X\n202 release X\n"
    "300 press Z\n302 release Z\n"
    "320 press DOWN\n322 release DOWN\n"
    "340 press Z\n342 release Z\n"
    "360 press UP\n362 release UP\n"
    "380 press Z\n382 release Z\n"
    "400 press X\n402 release X\n"
    "420 press X\n422 release X\n"
    "520 press X\n522 release X\n"
    "620 press UP\n622 release UP\n"
    "640 press Z\n642 release Z\n"
    "660 press UP\n662 release UP\n"
    "680 press Z\n682 release Z\n"
    "800 press DOWN\n802 release DOWN\n"
    "810 press DOWN\n812 release DOWN\n"
    "820 press DOWN\n822 release DOWN\n"
    "840 press Z\n842 release Z\n"
    "940 press DOWN\n942 release DOWN\n"
    "960 press X\n962 release X\n"
    "1060 press Z\n1062 release Z\n"
    "1160 press DOWN\n1162 release DOWN\n"
    "1180 press Z\n1182 release Z\n";

class MapMenuFreeListRunTest : public cDemoRunTest {
 protected:
  void SetUp() override {
    cDemoRunTest::SetUp();
    if (HasFatalFailure()) return;
    // The free list shows exactly two files.
    const fs::path stages = m_Game / "data" / "stg4";
    for (const fs::directory_entry& e : fs::directory_iterator(stages)) fs::remove_all(e.path());
    for (const char* name : {"a.stg4", "b.stg4"}) {
      cStageBytes s = SmallStage(12, 6);
      s.charas = {HeroClearingOnButton1(1, 4)};
      WriteBytes(stages / name, StageFile(986, s));
    }
  }
};

TEST_F(MapMenuFreeListRunTest, TheMenuSavesIntoTheChosenSlotAndTheFreeListRemembersTheStartedFile) {
  ASSERT_EQ(Run(1260, kInput), 0) << Log();

  cFreshGameData fresh;
  cInFolder inGame(m_Game);
  // The save went into the second slot, which the play now calls its own.
  cSaveData save;
  ASSERT_EQ(ReadProgressFile(StorySlotPath(1), save), eProgressFile::Whole) << Log();
  EXPECT_EQ(save.m_nStorySlot, 1);
  EXPECT_EQ(save.m_nMapX, 3);
  EXPECT_EQ(save.m_nMapY, 7);
  EXPECT_FALSE(fs::exists(m_Game / "user_data" / "story" / "Story03.dat"));
  // The second file was started from the list, so the list comes back to it.
  cFreeData free;
  ASSERT_TRUE(free.LoadFile(kFreeDataPath)) << Log();
  EXPECT_EQ(free.m_nCursor, 1);
  EXPECT_EQ(free.m_strFileName, "b.stg4");
}

}  // namespace
