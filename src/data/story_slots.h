#pragma once
// The story slots ("user_data\story\Story01.dat" to "Story99.dat") with their summaries for the
// slot lists, and the challenge file "user_data\challenge\Challenge.dat". Both hold a progress
// record (cSaveData) behind the data version. A file is read into a separate record and taken only
// when it loads whole; a slot whose file is there but cannot be read shows as damaged, so that
// neither a new game nor an automatic save writes over what the player may still want back.
#include <cstdint>
#include <string>
#include <vector>

#include "core/record.h"
#include "data/save_data.h"

constexpr int kStorySlotCount = 99;

// The summary of one story slot, as the slot lists show it.
class cSlotInfo : public cRecord {
 public:
  cSlotInfo();
  void DeclareFields(uint32_t version) override;

  int32_t m_bExists = 0;  // the slot's file is there (whole or damaged)
  SAVETIME m_SaveTime;    // when a whole slot was saved
  // The file is there but does not load (cut short, broken, from a newer version, not a file): it
  // cannot be continued, and only the player's own choice of the slot writes over it.
  int32_t m_bDamaged = 0;
};

// The path of a story slot (0-98): "user_data\story\Story" + slot + 1 as two digits + ".dat".
std::string StorySlotPath(int slot);
// The challenge file.
extern const char* const kChallengeDataPath;

// Fills a summary per slot (the list becomes 99 long) from the slot files.
void ScanStorySlots(std::vector<cSlotInfo>& list);

// How a progress file stands on disk.
enum class eProgressFile { Missing, Whole, Damaged };
// Reads a progress file into `into` only when it loads whole and holds values the game can use (a
// story slot of -1 to 98, a ranking kind of 0 to 4); otherwise `into` is left as it was.
eProgressFile ReadProgressFile(const std::string& path, cSaveData& into);

// In g_GameData (data/game_data.h): the summaries the slot lists show.
extern std::vector<cSlotInfo>& g_SlotList;
