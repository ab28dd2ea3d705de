#pragma once
// Where the free-play list and the replay list stood: "user_data\Free.dat" and "user_data\Replay.dat",
// read at start-up and written at exit (not after a failed start or a fatal stop).
#include <cstdint>
#include <string>
#include <vector>

#include "core/record.h"

constexpr const char* kFreeDataPath = "user_data\\Free.dat";
constexpr const char* kReplayDataPath = "user_data\\Replay.dat";

class cFreeData : public cRecord {
 public:
  cFreeData();
  void DeclareFields(uint32_t version) override;

  int32_t m_nCursor = 0;  // index of the selected stage file in the list
  int32_t m_nSpare = 0;   // not used
  // The selected stage file's name: the cursor is put back only while the name at that index matches.
  std::string m_strFileName;
};

class cReplayData : public cRecord {
 public:
  cReplayData();
  void DeclareFields(uint32_t version) override;

  int32_t m_nCursor = 0;  // index of the selected replay in the list
  std::string m_strFileName;
  int32_t m_nSortOrder = 0;
};

extern cFreeData g_FreeData;
extern cReplayData g_ReplayData;

// One replay of the replay list: its file's name in the replay folder and the title the list shows.
struct cReplayListEntry {
  std::string strFileName;
  std::string strTitle;
};
// The replays the replay list shows, in its order; g_ReplayData's cursor indexes it. The replay-list
// scene fills it each time it reads the replay folder; replay playback steps through it.
extern std::vector<cReplayListEntry> g_ReplayList;
