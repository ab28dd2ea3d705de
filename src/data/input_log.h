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
  // The record body: the seed, and from version 931 the cleared flag. The lists follow the body in
  // the replay file and are read and written with it by the replay file code.
  void DeclareFields(uint32_t version) override;

  // Appends the result of a modal choice (message choices of a live play).
  void RecordInputValue(int32_t value);
  // The next recorded choice during playback; 0 once none is left.
  int32_t PlayInputValue();

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

// In g_GameData (data/game_data.h).
extern cInputLog& g_InputLog;      // this play's input log (recorded, or played back)
extern cInputLog& g_PrevInputLog;  // the previous play's input log
