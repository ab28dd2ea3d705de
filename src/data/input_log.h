#pragma once
// The replay input log of a play: player 1's direction and button words of every play frame, each
// channel run-length coded on its own, the result of every modal choice, the random seed of the
// play and whether it cleared the stage; plus the cursors that play it back.
#include <cstdint>
#include <vector>

#include "core/record.h"

class cInputLog : public cRecord {
 public:
  cInputLog();
  // The record body: the seed, and from version 931 the cleared flag.
  void DeclareFields(uint32_t version) override;
  // The record body, then the direction states, the button states, the choice values (from version
  // 974), the direction runs and the button runs, each as an int32 count and its elements. A count
  // of 0 or less leaves that list as it was.
  bool Load(cDataFile& file) override;
  bool Save(cDataFile& file) override;

  // Appends one live frame: a word equal to its channel's last state lengthens that state's run,
  // any other word starts a new state with a run of 1.
  void RecordInputFrame(int16_t dir, int16_t button);
  // Plays one frame back: 1 when either channel is exhausted (nothing written), else writes the
  // frame's two words and returns 0.
  int PlayInputFrame(int16_t& dir, int16_t& button);
  // Appends the result of a modal choice (message choices of a live play).
  void RecordInputValue(int32_t value);
  // The next recorded choice during playback; 0 once none is left.
  int32_t PlayInputValue();

  // Copies the five lists, the seed and the cleared flag; the playback cursors stay as they are.
  void AssignInputLog(const cInputLog& source);
  // Seed and cleared flag 0, the five lists empty, the five cursors 0.
  void ResetInputLog();
  // Starts the playback from the first frame and the first choice value.
  void RewindPlayback();

  // Whether the lists describe a play: each channel has as many runs as states, every run lasts at
  // least one frame, and both channels last the same number of frames. A log that is not would
  // play back wrongly or never end (a run of 0 is never used up).
  bool IsPlayable() const;
  // Frames the log lasts (the direction channel's total).
  int64_t RecordedFrames() const;

  std::vector<int16_t> m_anDirStates;     // channel 0: distinct successive direction words
  std::vector<int16_t> m_anButtonStates;  // channel 1: distinct successive button words
  std::vector<int32_t> m_anDirRuns;       // frames each direction state lasted (at least 1)
  std::vector<int32_t> m_anButtonRuns;    // frames each button state lasted
  std::vector<int32_t> m_anValues;        // one value per modal choice, in order
  int32_t m_nSeed = 0;                    // the play's random seed
  int32_t m_bCleared = 0;                 // the play cleared the stage
  uint32_t m_nDirIndex = 0;               // playback: current direction state (not stored)
  uint32_t m_nButtonIndex = 0;            // playback: current button state (not stored)
  uint32_t m_nValueIndex = 0;             // playback: next choice value (not stored)
  int32_t m_nDirRunPos = 0;               // playback: frames played of the current direction state
  int32_t m_nButtonRunPos = 0;            // playback: frames played of the current button state
};

// Replay files carry choice values from this version on.
constexpr uint32_t kReplayValuesVersion = 974;
// The log's cleared flag is in the record body from this version on.
constexpr uint32_t kReplayClearedVersion = 931;

// In g_GameData (data/game_data.h).
extern cInputLog& g_InputLog;      // this play's input log (recorded, or played back)
extern cInputLog& g_PrevInputLog;  // the previous play's input log
