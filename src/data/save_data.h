#pragma once
// The player's progress through a game: world-map place, lives and score, stage totals, the best
// result of every stage, the common variables of the flow language, the hero carried from stage to
// stage, the music last requested and the challenge records. The live instance (g_SaveData) is what
// objects and flows read every frame; it is written to the story slots, the challenge file and into
// every replay, which restores it.
#include <cstdint>
#include <string>
#include <vector>

#include "core/record.h"
#include "data/save_records.h"

class cCharaType;
class cStageData;

// Lives value meaning "unlimited".
constexpr int32_t kUnlimitedLives = 999999;
// Number of carry-over items (one stored flag each).
constexpr int kCarryOverItems = 25;
constexpr int kWorldFlagCount = 1000;
// A new play has this many common variables (index 0 is never named by a flow).
constexpr int kCommonVarCount = 1001;

// The time of the last slot save, as the slot files store it: eight uint16 in this order.
struct SAVETIME {
  uint16_t wYear = 0;
  uint16_t wMonth = 0;
  uint16_t wDayOfWeek = 0;
  uint16_t wDay = 0;
  uint16_t wHour = 0;
  uint16_t wMinute = 0;
  uint16_t wSecond = 0;
  uint16_t wMilliseconds = 0;
};

class cSaveData : public cRecord {
 public:
  // Declares the fields for the current version and starts a new play (no challenge records).
  cSaveData();
  // The numeric fields, then the strings, of the given file version, in file order.
  void DeclareFields(uint32_t version) override;
  // A new play's reset, the record body of the file's version, the save time and the lists (see
  // Save), then the fix-ups of older versions and NormaliseSaveData.
  bool Load(cDataFile& file) override;
  // NormaliseSaveData, then the record body, the 16-byte save time, and the counted lists: carry-over
  // stored flags, carry-over slots, stage results, challenge records, world flags, common variables
  // and their retry backup.
  bool Save(cDataFile& file) override;
  // A world-map place outside the world map becomes its start; exactly as many challenge records as
  // the project has challenge stages, and no more of them unlocked.
  void NormaliseSaveData();

  // A new play: every field zero and every string empty, then 25 cleared carry-over flags, one
  // default carry-over slot, 1000 world flags with world 0 open, 1001 common variables, no stage
  // results, challengeCount default challenge records, one challenge open, no story slot and the
  // ranking name "aaa".
  void ResetProgress(int challengeCount);

  // Drops the stage-clear command's place request together with the four values stored after it
  // (place x, y and facing, and the clear-counts flag), so the next stage starts the hero at its own
  // placement and counts only its own clear.
  void ClearProgressBlock();

  // Retry (progress_retry.cpp). A live stage start keeps the common variables, lives and score
  // total aside.
  void BackupRetryState();
  // Undoes the stage for a retry and returns the score total put back. force: variables, lives and
  // score total all come back. Otherwise the score total comes back, lives stay as they are, and the
  // common variables come back when the project's retry setting asks for it: the setting for direct
  // starts when the stage was started directly, else the one of the game kind (modeIndex 0 story,
  // 1 challenge, 2 free play; any other kind counts as set).
  int32_t RestoreRetryState(int force, bool directStart, int modeIndex);

  // Carry-over of the hero from stage to stage (carry_over.cpp), by the project's 25 items, each
  // enabled or not (g_SystemData.m_abCarryOver). A slot outside the carry-over slots is a range
  // error (logged, fatal stop) and nothing is stored or applied.
  // Stores every enabled item into the slot and marks it stored; the carry-over becomes valid.
  // effect1..3 are the three values of the hero's running character effect.
  void StoreCarryOver(int slot, const cCharaType& type, int32_t hp, int32_t sp, int16_t effect1, int8_t effect2,
                      int8_t effect3, int32_t time, int32_t lives, int32_t music);
  // While the carry-over is valid, puts every enabled and stored item back: into the type the hero
  // is built from, the stage's time limit and music, and this record's lives.
  void ApplyCarryOver(int slot, cCharaType& type, cStageData& stage);
  // While the carry-over is valid, hands back the stored HP and SP (items 11 and 12) when enabled and
  // stored; hp and sp are left alone otherwise.
  void ApplyCarryOverValues(int slot, int32_t& hp, int32_t& sp) const;
  // Forgets the stored items that the project's clearing list names (g_SystemData.m_abCarryOverClear).
  void ClearCarryOverFlags();

  // Story slots and the challenge file (story_slots.cpp). Loading takes a file only when it is
  // whole: a missing or damaged one leaves the progress as it was and returns 0.
  // Loads story slot 0-98, then the story kind's lives rule; 1 when loaded.
  int LoadStorySlot(int slot);
  // Saves into story slot 0-98 with the local time as its save time, and renews the slot's summary
  // (g_SlotList) once the file is written. A slot whose file is there but damaged is kept unless the
  // player chose the slot (chosen), so automatic saves never write over it. A failed save says so in
  // an error box and the report log, and leaves the old file, the summary and the save time as they
  // were. 1 when saved; 0 otherwise (also after a fatal stop, silently).
  int SaveStorySlot(int slot, int chosen = 0);
  // The challenge file, loaded with the challenge kind's lives rule; 1 when loaded.
  int LoadChallengeData();
  // Saves the challenge file as SaveStorySlot saves an automatic save (a damaged file is kept).
  int SaveChallengeData();

  // Stage keys and results (stage_results.cpp).
  // Makes a stage file the current stage: its stage key is the path up to a "-1" of its file name (a
  // numbered stage, "data\stg4\c05-1.stg4_000" gives "data\stg4\c05.") or up to and with the last
  // "." of its file name; a folder's name plays no part. The result key is the stage key with the
  // world entry's condition suffix.
  void SetCurrentStage(const std::string& path, int32_t on, int32_t variable, int32_t value);
  // Keeps the best result per result key; the result total grows by what a new best adds.
  void StoreStageResult(const std::string& stageKey, const std::string& resultKey, int32_t on, int32_t variable,
                        int32_t value, int32_t result);
  // The best result stored under the key, 0 when none.
  int32_t GetStageResult(const std::string& resultKey) const;
  // The result total again, from the stored results whose stage the world map still offers.
  void RecomputeResultTotal();
  // A cleared stage's results added to the totals, each held within the int32 range: the stage
  // score, the stage timer's remaining time while the timer runs, the play time (hundredths of a
  // second) and the hero's HP and SP.
  void AddStageTotals(int32_t remainingTime, bool timerRuns, int32_t clearTime, int32_t hp, int32_t sp);
  // A cleared challenge stage (the current world): its record is cleared and keeps the better score
  // total (the result total grows by the gain), and the stage after it opens, up to the project's
  // challenge stage count.
  void StoreChallengeClear();
  // The next game round: every world closed but world 0, the hero at the world map's start.
  void ResetForNextRound();
  // Moves the ranking kind by step over the kinds the game kind's row of the project's mode table
  // enables (step 0: onto the first enabled kind from the current one); no enabled kind: unchanged.
  void StepRankingKind(int gameKind, int step);

  // The record body (numeric fields in this order, then the strings). The number after each field
  // is the first file version that holds it; fields without one are in every version.
  int32_t m_bCarryOverValid = 0;     // 1 once the carry-over has been stored
  int32_t m_nMapX = 0;               // hero's world-map column
  int32_t m_nMapY = 0;               // hero's world-map row
  int32_t m_nWorldEnding = 0;        // 1 clearing the stage starts the next round, 2 ends the game (916)
  int32_t m_nGameRound = 0;          // completed game rounds
  int32_t m_bInStage = 0;            // 915: a story play is inside a stage
  int32_t m_bCondOn = 0;             // 758: the current world entry carries a common-variable condition
  int32_t m_nCondVar = 0;            // 758: its common-variable number
  int32_t m_nCondValue = 0;          // 758: its value
  int32_t m_nWorld = 0;              // current world (challenge: stage number; free play: 1)
  int32_t m_nStage = 0;              // current stage number within the world
  int32_t m_nStartLives = 0;         // lives granted at the start (999999 unlimited)
  int32_t m_nLives = 0;              // remaining lives, 0..99 (999999 unlimited)
  int32_t m_nScore = 0;              // score of the current stage, 0..999999
  int32_t m_nScoreTotal = 0;         // sum of the scores of finished stages
  int32_t m_nResultTotal = 0;        // sum of the stored stage results
  int32_t m_nRemainTimeTotal = 0;    // sum of the stages' remaining times
  int32_t m_nClearTimeTotal = 0;     // sum of the clear times (hundredths of a second)
  int32_t m_nRemainHpTotal = 0;      // 182: sum of the hero's HP at each stage end
  int32_t m_nRemainSpTotal = 0;      // 182: sum of the hero's SP at each stage end
  int32_t m_bNumberedStage = 0;      // the current stage file is a numbered stage
  int32_t m_nNextStage = 0;          // 915: numbered stage to play next (0 none; stage clear sets it)
  int32_t m_nBgm = 0;                // music requested last (0 none)
  int32_t m_nBgmOption = 0;          // 166: the play option of that request
  int32_t m_nMapFacing = 0;          // 194: facing on the world map: 0 down, 1 up, 2 left, 3 right
  int32_t m_bLeftStage = 0;          // 190: the player left a stage for the world map
  int32_t m_nPrevMapX = 0;           // 191: world-map cell before the last step (column)
  int32_t m_nPrevMapY = 0;           // 191: its row
  int32_t m_nChallengeUnlocked = 0;  // challenge stages open
  int32_t m_nBackupLives = 0;        // 915: lives kept aside for a retry
  int32_t m_nBackupScoreTotal = 0;   // 915: score total kept aside for a retry
  int32_t m_nStorySlot = 0;          // story slot of this play, -1 none
  int32_t m_bAutoSave = 0;           // 169: the play saves itself into its slot at each cleared stage
  int32_t m_bRankingPanel = 0;       // the stage select shows the ranking panel
  int32_t m_nRankingKind = 0;        // current ranking table 0-4
  int32_t m_bPlaceRequest = 0;       // 678: stage clear asks the next set-up to place the hero
  int32_t m_nPlaceX = 0;             // 678: the hero's start column
  int32_t m_nPlaceY = 0;             // 678: the hero's start row
  int32_t m_nPlaceFacing = 0;        // 679: the hero's start direction (0 left, 1 right, 2 as at clear)
  int32_t m_bClearCounts = 0;        // 944: a clear with this flag marks the replay as cleared
  std::string m_strStageKey;         // current stage path without extension, keeping its "."
  std::string m_strResultKey;        // 724: stage key plus the world-entry condition suffix
  std::string m_strNextStagePath;    // 915: stage to play next when stage clear names a path
  std::string m_strRankingName;      // last name entered for a ranking

  // Written after the record body.
  SAVETIME m_SaveTime;                        // time of the last slot save
  std::vector<int32_t> m_abCarryStored;       // one stored flag per carry-over item (501)
  std::vector<cSaveHero> m_aCarryOver;        // carry-over slots
  std::vector<cStageResult> m_aStageResults;  // best result per stage key
  std::vector<cSaveVar> m_aChallenge;         // challenge records: cleared flag, best score total
  std::vector<int32_t> m_anWorldFlags;        // 1 = world open
  std::vector<int32_t> m_anCommonVars;        // the flow language's common variables
  std::vector<int32_t> m_anCommonVarsBackup;  // 915: common variables kept aside for a retry

 private:
  // Whether carry-over item `item` is enabled by the project and held by the slots.
  bool CarryItemStored(int item) const;
  // Files before 916 keep the world-entry ending here; nothing reads it.
  int32_t m_nOldEnding = 0;
};

// Appends the world entry's condition to a stage key when on is set: "_c", the variable as three digits,
// "_" and the value, kept before a trailing "." of the key ("data\stg4\c05." gives
// "data\stg4\c05_c005_3.").
void AppendStageCondition(std::string& key, int32_t on, int32_t variable, int32_t value);

// A total plus an amount, held within the int32 range: totals never wrap round to negative values.
int32_t AddToTotal(int32_t total, int64_t amount);

// Tells the player of a player file that was not written (format with one %s, the file's path): an
// error box, and the same line in the report log.
void ShowSaveMessage(const char* format, const std::string& path);

// The project's number of challenge records (its challenge stage count), kept within what the world
// flags can index.
int ProjectChallengeCount();

// In g_GameData (data/game_data.h).
extern cSaveData& g_SaveData;           // the progress of the running play
extern cSaveData& g_PlayStartSave;      // the progress as it stood at the start of this play
extern cSaveData& g_PrevPlayStartSave;  // the same for the previous play of the stage
