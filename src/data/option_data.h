#pragma once
// "user_data\Option.dat": the player's options, set on the options screen and read at start-up. The
// live record is g_OptionData (in g_GameData); the replay keys of "System.ini" override its three
// replay options after it is read.
#include <cstdint>
#include <string>
#include <vector>

#include "core/record.h"

class cCmd;

constexpr const char* kOptionDataPath = "user_data\\Option.dat";

// The largest value of each stepped option; every option starts at 0.
constexpr int32_t kMaxColourOption = 23;
constexpr int32_t kMaxBgmVolumeStep = 7;
constexpr int32_t kMaxSeVolumeStep = 10;
constexpr int32_t kMaxRankingEntryOption = 3;
constexpr int32_t kMaxReplayAutoSave = 2;
constexpr int32_t kMaxReplayOrder = 2;
// The message auto-advance option at its largest means no automatic advance in replay playback.
constexpr int32_t kMaxMessageAutoSeconds = 21;

// What m_nReplayAutoSave holds.
enum eReplayAutoSave : int32_t {
  kReplayAutoSaveOff = 0,
  kReplayAutoSaveCleared = 1,  // cleared plays only
  kReplayAutoSaveEvery = 2,
};

class cOptionData : public cRecord {
 public:
  // Declares the fields for the current version and sets the defaults below.
  cOptionData();
  void DeclareFields(uint32_t version) override;
  // The record body of the file's version; a file older than the current version gets the values
  // its writer did not have, and every option is brought into its range.
  bool Load(cDataFile& file) override;

  // The record body, in declaration order: first file version (none = every version) and default.
  int32_t m_nGamepad = 1;                // 952, 1: look for joysticks
  int32_t m_nColour = 0;                 // 0: palette table 0-23 in 8-bit mode
  int32_t m_nBgmVolume = 7;              // 7: music volume step 0-7
  int32_t m_nSeVolume = 7;               // 7: sound-effect volume step 0-10
  int32_t m_nRankingEntry = 0;           // 0: ranking registration 0-3
  std::string m_strRankingName = "aaa";  // "aaa": the fixed registration name
  int32_t m_nReplayAutoSave = 0;         // 932, 0: see eReplayAutoSave
  int32_t m_nReplayOrder = 0;            // 932, 0: replay playback order 0-2
  int32_t m_nMessageAutoSeconds = 21;    // 934, 21: message auto-advance seconds in replays 0-21

 private:
  void SetDefaults();
  void ClampToRanges();
};

// One replay key of "System.ini" as start-up read it: whether it was given, and its value (the
// reader already limited it to the option's range).
struct cOptionOverride {
  int32_t bPresent = 0;
  int32_t nValue = 0;
};

// Entries of the options screen's item list that a replay key override makes visible.
constexpr int kOptionMenuReplayAutoSave = 6;
constexpr int kOptionMenuReplayOrder = 7;
constexpr int kOptionMenuMessageAuto = 8;

// Each present key sets its replay option (automatic save, playback order, message auto-advance
// seconds) and shows its entry of the options screen's item list, so the player can see the value
// the game now uses.
void ApplyReplayOptionOverrides(cOptionData& options, std::vector<cCmd>& optionMenu, const cOptionOverride& autoSave,
                                const cOptionOverride& order, const cOptionOverride& messageSeconds);

// In g_GameData (data/game_data.h).
extern cOptionData& g_OptionData;  // the player's options
