#pragma once
// The optional key table "user_data\KeyConfig.dat": 108 raw little-endian bytes without a version,
// read at start and never written. Twelve entries {int32 device, int16 code, int16 reserved} for left,
// right, up, down and game buttons 1..8, then int32 entry count, player count and enable flag. While
// the enable flag is 0 the fixed layout is used and the table is ignored.
#include <cstddef>
#include <cstdint>
#include <vector>

class cInputState;

constexpr int kKeyAssignCount = 12;
constexpr size_t kKeyConfigBytes = 108;
constexpr int32_t kKeyDeviceKeyboard = 8;

struct KEYASSIGN {
  int32_t nDevice = 0;  // 8 keyboard, else the index of the input record whose pad is tested
  int16_t nCode = 0;    // virtual key, or pad code (256 left, 512 right, 1024 up, 2048 down, else a button mask)
  int16_t nReserved = 0;
};

struct KEYCONFIG {
  KEYASSIGN aKeys[kKeyAssignCount];
  int32_t nCount = 0;
  int32_t nPlayers = 0;
  int32_t bEnabled = 0;
};

extern KEYCONFIG g_KeyConfig;

// Arrows, Z X C V A S D F; 12 entries, 1 player, disabled.
void SetDefaultKeyConfig(KEYCONFIG& config = g_KeyConfig);

// The table from its file bytes: a short file fills only its first bytes, the rest stays zero.
void ParseKeyConfig(const uint8_t* bytes, size_t size, KEYCONFIG& config);

// Whether an enabled table can be used with `records` input records: every device is the keyboard or
// an existing record, at most 12 entries, exactly one player.
bool IsKeyConfigUsable(const KEYCONFIG& config, size_t records);

// Loads the file into g_KeyConfig. false when it cannot be opened (the caller sets the defaults). An
// enabled table that cannot be used is replaced by the defaults with a report-log line, and counts
// as loaded.
bool LoadKeyConfig(const char* path);
// The same for the file's bytes already read; path names the file in the report log.
void TakeKeyConfig(const uint8_t* bytes, size_t size, const char* path);

// Whether entry `entry` of the table is held now.
bool IsKeyAssignDown(std::vector<cInputState>& records, int entry);

// Input through the table (only while it is enabled; returns 0 otherwise): the pads' raw readings,
// then each player's entries into its record.
int PollMappedInput(std::vector<cInputState>& records);
