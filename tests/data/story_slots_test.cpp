// The story slots and the challenge file on disk: paths, the slot summaries, loading with the lives
// rule, and saving that never leaves a broken or lost file behind.
#include <signal.h>
#include <sys/resource.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/log.h"
#include "data/game_data.h"
#include "data/story_slots.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "player_folder_fixture.h"
#include "progress_bytes.h"
#include "temp_folder.h"

namespace {

std::vector<uint8_t> FileOf(uint32_t version, const std::vector<uint8_t>& body) {
  return cByteBuilder().U32(version).Bytes(body).Get();
}

// Numeric field n (from 0, in file order at the current version) of a hand-built body.
void SetBodyField(std::vector<uint8_t>& body, int n, int32_t value) {
  std::memcpy(&body[4 + 4 * static_cast<size_t>(n)], &value, 4);
}
constexpr int kFieldLives = 12;
constexpr int kFieldStorySlot = 31;
constexpr int kFieldRankingKind = 34;

// A progress body a game could have written: the hand-built one with a story slot and a ranking
// kind the game can use.
std::vector<uint8_t> PlayableBody(const cProgressLists& lists = {}) {
  std::vector<uint8_t> body = ProgressFileBody(kDataVersion, lists);
  SetBodyField(body, kFieldStorySlot, 35);
  SetBodyField(body, kFieldRankingKind, 3);
  return body;
}

// A whole slot file of the current version: the hand-built body with its save time.
std::vector<uint8_t> WholeSlotFile(const cProgressLists& lists = {}) {
  return FileOf(kDataVersion, PlayableBody(lists));
}

}  // namespace

class StorySlotsTest : public PlayerFolderTest {
 protected:
  void SetUp() override {
    PlayerFolderTest::SetUp();
    SetProgressProject();
    // No unlimited lives unless a test asks: loads keep the lives they read.
    g_SystemData.m_anModeOpt.assign(4, 0);
  }

  void WriteSlot(int slot, const std::vector<uint8_t>& bytes) {
    char name[32];
    std::snprintf(name, sizeof name, "user_data/story/Story%02d.dat", slot + 1);
    m_Folder.Write(name, bytes);
  }
  std::vector<uint8_t> SlotOnDisk(int slot) const {
    char name[32];
    std::snprintf(name, sizeof name, "user_data/story/Story%02d.dat", slot + 1);
    return ReadDisk(name);
  }
};

TEST_F(StorySlotsTest, SlotPathsCountFromOne) {
  EXPECT_EQ(StorySlotPath(0), "user_data\\story\\Story01.dat");
  EXPECT_EQ(StorySlotPath(9), "user_data\\story\\Story10.dat");
  EXPECT_EQ(StorySlotPath(98), "user_data\\story\\Story99.dat");
}

// The challenge file the writer makes is byte for byte the one built from the field tables.
TEST_F(StorySlotsTest, TheChallengeFileMatchesItsFieldTables) {
  cProgressLists lists;
  lists.results = {StageResultBody("c05.", "c05_c005_3.", 1, 5, 3, 900)};
  lists.commonVars.assign(1001, 0);
  lists.commonVars[1000] = 44;
  lists.backup.assign(1001, 0);
  lists.worldFlags.assign(1000, 0);
  lists.worldFlags[0] = 1;
  const std::vector<uint8_t> golden = WholeSlotFile(lists);
  m_Folder.Write("user_data/challenge/Challenge.dat", golden);
  ASSERT_EQ(g_SaveData.LoadChallengeData(), 1);
  EXPECT_EQ(g_SaveData.m_nLives, 115);
  EXPECT_EQ(g_SaveData.GetStageResult("c05_c005_3."), 900);
  EXPECT_EQ(g_SaveData.m_anCommonVars.size(), 1001u);
  EXPECT_EQ(g_SaveData.m_SaveTime.wYear, 2009);
  EXPECT_EQ(g_SaveData.m_SaveTime.wMinute, 5);
  std::filesystem::remove(m_Folder.Path() / "user_data/challenge/Challenge.dat");
  ASSERT_EQ(g_SaveData.SaveChallengeData(), 1);
  EXPECT_EQ(ReadDisk("user_data/challenge/Challenge.dat"), golden);
}

TEST_F(StorySlotsTest, LoadingAppliesTheLivesRuleOfItsGameKind) {
  struct Case {
    int32_t unlimited;  // the kind's infinite-lives flag
    int32_t lives;      // lives in the file
    int32_t expectLives, expectStartLives;
  };
  // The file's start lives are 114 (hand-built body); the project's start lives are 7 and 8.
  const Case cases[] = {{1, 3, 999999, 999999}, {0, 999999, 0, 114}, {0, 3, 3, 114}};
  for (int kind = 0; kind < 2; ++kind) {
    for (const Case& c : cases) {
      g_SystemData.m_anStartLives = {7, 8, 5, 99};
      g_SystemData.m_anModeOpt = {0, 0, 0, 0};
      g_SystemData.m_anModeOpt[static_cast<size_t>(kind)] = c.unlimited;
      std::vector<uint8_t> body = PlayableBody();
      SetBodyField(body, kFieldLives, c.lives);
      const int32_t expectLives =
          c.expectLives ? c.expectLives : g_SystemData.m_anStartLives[static_cast<size_t>(kind)];
      if (kind == 0) {
        WriteSlot(4, FileOf(kDataVersion, body));
        ASSERT_EQ(g_SaveData.LoadStorySlot(4), 1);
      } else {
        m_Folder.Write("user_data/challenge/Challenge.dat", FileOf(kDataVersion, body));
        ASSERT_EQ(g_SaveData.LoadChallengeData(), 1);
      }
      EXPECT_EQ(g_SaveData.m_nLives, expectLives) << "kind " << kind << " lives " << c.lives;
      EXPECT_EQ(g_SaveData.m_nStartLives, c.expectStartLives) << "kind " << kind << " lives " << c.lives;
    }
  }
}

TEST_F(StorySlotsTest, TheScanTellsEmptyUsedAndDamagedSlotsApart) {
  const std::vector<uint8_t> whole = WholeSlotFile();
  WriteSlot(1, whole);
  WriteSlot(2, std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<long>(whole.size()) - 3));  // cut
  WriteSlot(3, FileOf(kDataVersion + 1, PlayableBody()));                                                  // too new
  WriteSlot(4, {1, 2});                                                                                    // no header
  std::vector<uint8_t> badSlot = PlayableBody();
  SetBodyField(badSlot, kFieldStorySlot, 150);  // no such slot
  WriteSlot(5, FileOf(kDataVersion, badSlot));
  std::vector<uint8_t> badKind = PlayableBody();
  SetBodyField(badKind, kFieldRankingKind, 5);  // no such ranking table
  WriteSlot(7, FileOf(kDataVersion, badKind));
  std::filesystem::create_directories(m_Folder.Path() / "user_data/story/Story07.dat");  // a folder in its place

  std::vector<cSlotInfo> list(kStorySlotCount);
  list[0].m_bExists = 1;  // stale: the scan renews every summary
  ScanStorySlots(list);
  ASSERT_EQ(list.size(), static_cast<size_t>(kStorySlotCount));
  EXPECT_FALSE(list[0].m_bExists);
  EXPECT_FALSE(list[0].m_bDamaged);
  EXPECT_TRUE(list[1].m_bExists);
  EXPECT_FALSE(list[1].m_bDamaged);
  EXPECT_EQ(list[1].m_SaveTime.wYear, 2009);
  EXPECT_EQ(list[1].m_SaveTime.wDay, 7);
  EXPECT_EQ(list[1].m_SaveTime.wHour, 14);
  for (int damaged : {2, 3, 4, 5, 6, 7}) {
    EXPECT_TRUE(list[static_cast<size_t>(damaged)].m_bDamaged) << damaged;
    // a damaged slot is not an empty one: a new game does not take it
    EXPECT_TRUE(list[static_cast<size_t>(damaged)].m_bExists) << damaged;
  }
  EXPECT_FALSE(list[98].m_bExists);
}

TEST_F(StorySlotsTest, ADamagedSlotIsNeitherLoadedNorOverwrittenByAnAutomaticSave) {
  const std::vector<uint8_t> whole = WholeSlotFile();
  const std::vector<uint8_t> cut(whole.begin(), whole.begin() + 200);
  WriteSlot(2, cut);
  ScanStorySlots(g_SlotList);
  g_SaveData.m_nScore = 77;
  g_SaveData.m_nStorySlot = 2;
  g_SaveData.m_bAutoSave = 1;
  g_SaveData.m_anCommonVars[9] = 9;
  EXPECT_EQ(g_SaveData.LoadStorySlot(2), 0);
  // the progress is as it was, not a reset one
  EXPECT_EQ(g_SaveData.m_nScore, 77);
  EXPECT_EQ(g_SaveData.m_nStorySlot, 2);
  EXPECT_EQ(g_SaveData.m_anCommonVars[9], 9);
  // the automatic save keeps the damaged file, says so, and the summary stays damaged
  EXPECT_EQ(g_SaveData.SaveStorySlot(2), 0);
  EXPECT_EQ(SlotOnDisk(2), cut);
  EXPECT_EQ(m_Messages.size(), 1u);
  EXPECT_TRUE(g_SlotList[2].m_bDamaged);
  // the player's own choice of that slot writes it
  EXPECT_EQ(g_SaveData.SaveStorySlot(2, 1), 1);
  EXPECT_TRUE(g_SlotList[2].m_bExists);
  EXPECT_FALSE(g_SlotList[2].m_bDamaged);
  cSaveData back;
  ASSERT_EQ(back.LoadStorySlot(2), 1);
  EXPECT_EQ(back.m_nScore, 77);
  // a missing slot loads nothing either
  EXPECT_EQ(back.LoadStorySlot(40), 0);
  EXPECT_EQ(back.m_nScore, 77);
}

TEST_F(StorySlotsTest, ASavedSlotReadsBackWithItsTimeAndInStageFlag) {
  ScanStorySlots(g_SlotList);
  g_SaveData.m_bInStage = 1;
  g_SaveData.m_nStorySlot = 9;
  g_SaveData.m_nLives = 4;
  ASSERT_EQ(g_SaveData.SaveStorySlot(9), 1);
  EXPECT_TRUE(std::filesystem::exists(m_Folder.Path() / "user_data/story/Story10.dat"));
  EXPECT_TRUE(g_SlotList[9].m_bExists);
  EXPECT_GE(g_SlotList[9].m_SaveTime.wYear, 2024);
  EXPECT_EQ(g_SlotList[9].m_SaveTime.wYear, g_SaveData.m_SaveTime.wYear);
  EXPECT_EQ(g_SlotList[9].m_SaveTime.wMinute, g_SaveData.m_SaveTime.wMinute);
  cSaveData back;
  ASSERT_EQ(back.LoadStorySlot(9), 1);
  EXPECT_EQ(back.m_bInStage, 1);
  EXPECT_EQ(back.m_nStorySlot, 9);
  EXPECT_EQ(back.m_nLives, 4);
  EXPECT_EQ(back.m_SaveTime.wSecond, g_SaveData.m_SaveTime.wSecond);
  EXPECT_TRUE(m_Messages.empty());
}

// A save that fails anywhere on its way to the disk leaves the old file whole, says so, and
// changes neither the summary nor the progress's save time.
TEST_F(StorySlotsTest, AFailedSaveKeepsTheOldFileAndTheSummary) {
  const std::vector<uint8_t> old = WholeSlotFile();
  WriteSlot(3, old);
  ScanStorySlots(g_SlotList);
  const SAVETIME summary = g_SlotList[3].m_SaveTime;
  g_SaveData.m_nScore = 5;
  g_SaveData.m_SaveTime.wYear = 1999;
  // the new file is a few kilobytes: short writes at its first byte (a full disk), inside it and
  // at its last byte
  const std::vector<uint8_t> fresh = g_SaveData.SaveToBytes();
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  sighandler_t oldHandler = signal(SIGXFSZ, SIG_IGN);
  size_t messages = 0;
  for (rlim_t k : {rlim_t{0}, rlim_t{1}, rlim_t{100}, static_cast<rlim_t>(fresh.size() - 1)}) {
    struct rlimit limit = saved;
    limit.rlim_cur = k;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const int result = g_SaveData.SaveStorySlot(3);
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(result, 0) << "short write at byte " << k;
    EXPECT_EQ(SlotOnDisk(3), old) << "short write at byte " << k;
    EXPECT_EQ(m_Messages.size(), ++messages) << "short write at byte " << k;
  }
  signal(SIGXFSZ, oldHandler);
  for (int step = 1; step <= 4; ++step) {
    SetAtomicWriteFailStep(step);
    EXPECT_EQ(g_SaveData.SaveStorySlot(3), 0) << "step " << step;
    SetAtomicWriteFailStep(0);
    EXPECT_EQ(SlotOnDisk(3), old) << "step " << step;
    EXPECT_EQ(m_Messages.size(), ++messages) << "step " << step;
  }
  EXPECT_EQ(g_SlotList[3].m_SaveTime.wYear, summary.wYear);
  EXPECT_EQ(g_SlotList[3].m_SaveTime.wMinute, summary.wMinute);
  EXPECT_EQ(g_SaveData.m_SaveTime.wYear, 1999);
  // only the folder's own files: no temporary file stays behind
  size_t entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(m_Folder.Path() / "user_data/story"))
    ++entries;
  EXPECT_EQ(entries, 1u);
  // after a fatal stop nothing is written and nothing more is said
  g_bQuit = 1;
  EXPECT_EQ(g_SaveData.SaveStorySlot(3), 0);
  EXPECT_EQ(SlotOnDisk(3), old);
  EXPECT_EQ(m_Messages.size(), messages);
  g_bQuit = 0;
  // and with the disk back the save goes through
  EXPECT_EQ(g_SaveData.SaveStorySlot(3), 1);
  cSaveData back;
  ASSERT_EQ(back.LoadStorySlot(3), 1);
  EXPECT_EQ(back.m_nScore, 5);
}

TEST_F(StorySlotsTest, AMissingOrDamagedChallengeFileLoadsNothingAndADamagedOneIsKept) {
  g_SaveData.m_nScore = 12;
  EXPECT_EQ(g_SaveData.LoadChallengeData(), 0);
  EXPECT_EQ(g_SaveData.m_nScore, 12);
  EXPECT_TRUE(m_Messages.empty());
  const std::vector<uint8_t> cut = {0xDA, 0x03, 0, 0, 9, 0, 0, 0};
  m_Folder.Write("user_data/challenge/Challenge.dat", cut);
  EXPECT_EQ(g_SaveData.LoadChallengeData(), 0);
  EXPECT_EQ(g_SaveData.m_nScore, 12);
  EXPECT_EQ(g_SaveData.SaveChallengeData(), 0);
  EXPECT_EQ(ReadDisk("user_data/challenge/Challenge.dat"), cut);
  EXPECT_FALSE(m_Messages.empty());
}

// Cut or altered files never crash a load: a cut file is damaged, and whatever loads writes back
// the way it read.
TEST_F(StorySlotsTest, CutAndAlteredFilesAreRefusedCleanly) {
  cProgressLists lists;
  lists.results = {StageResultBody("c05.", "c05.", 0, 0, 0, 900)};
  const std::vector<uint8_t> whole = WholeSlotFile(lists);
  for (size_t cut = 0; cut < whole.size(); cut += 7) {
    WriteSlot(0, std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<long>(cut)));
    cSaveData save;
    save.m_nScore = -3;
    EXPECT_EQ(ReadProgressFile(StorySlotPath(0), save), eProgressFile::Damaged) << cut;
    EXPECT_EQ(save.m_nScore, -3) << cut;
  }
  for (size_t at = 4; at < whole.size(); at += 3) {
    std::vector<uint8_t> altered = whole;
    altered[at] ^= 0xA5;
    WriteSlot(0, altered);
    cSaveData save;
    if (ReadProgressFile(StorySlotPath(0), save) != eProgressFile::Whole) continue;
    const std::vector<uint8_t> written = save.SaveToBytes();
    cSaveData again;
    ASSERT_EQ(again.LoadFromBytes(written), 1) << at;
    EXPECT_EQ(again.SaveToBytes(), written) << at;
  }
}
