#pragma once
// The game's data for one run, in one owner with one reset: the project settings, the database with
// the run-time forms of its animations and effects, the common palette, the world map, the stage as
// read and the copy of its settings, the run's test-play setting, the player's options, and the
// progress side of the run (the live progress record, the progress snapshots and input logs of this
// play and the previous one, the play mode and the version of a replay being played back). The g_
// names of these records (g_SystemData, g_Database, g_SaveData, g_OptionData, ...) are references
// into g_GameData; a reset rebuilds the context in place, so they stay valid. The reset also resets
// the core's part, the file versions (core/record.h).
#include <vector>

#include "data/anim_scripts.h"
#include "data/database.h"
#include "data/input_log.h"
#include "data/option_data.h"
#include "data/palette.h"
#include "data/play_mode.h"
#include "data/ranking.h"
#include "data/save_data.h"
#include "data/stage_data.h"
#include "data/story_slots.h"
#include "data/system_data.h"
#include "data/world_map.h"

class cGameData {
 public:
  cGameData() = default;
  cGameData(const cGameData&) = delete;
  cGameData& operator=(const cGameData&) = delete;

  // Every record as at start, the core's file versions included.
  void Reset();

  // In the order start-up loads them: what a record reads of another is built before it.
  cDatabase m_Database;
  cSystemData m_SystemData;
  std::vector<cFrameScript> m_aAnimeScripts;
  std::vector<cFrameScript> m_aEffectScripts;
  std::vector<cCharaEffectPlay> m_aCharaEffectPlays;
  std::vector<cCharaEffectPlay> m_aCharaEffectPlaysRev;
  std::vector<cScrEffectPlay> m_aScrEffectPlays;
  std::vector<cScrEffectPlay> m_aScrEffectPlaysRev;
  cPalette m_CommonPalette;
  cWorldMap m_WorldMap;
  cStageData m_StageFile;
  cStageData m_StageData;
  // 1 when the editor started this run as a test play of one stage (set by the shell at start-up):
  // flows flagged for test play only are then kept when they load.
  int m_bTestPlay = 0;
  // The player's options ("user_data\Option.dat" with the "System.ini" replay overrides).
  cOptionData m_OptionData;

  // Progress: objects and flows read the live record and the play mode every frame; a replay saves
  // the snapshots and logs of a play and restores them.
  cSaveData m_SaveData;           // the progress of the running play
  cSaveData m_PlayStartSave;      // the progress as it stood at the start of this play
  cSaveData m_PrevPlayStartSave;  // the same for the previous play of the stage
  cInputLog m_InputLog;           // this play's input log (recorded, or played back)
  cInputLog m_PrevInputLog;       // the previous play's input log
  int32_t m_nPlayMode = kPlayModeStoryNew;
  // The story slots' summaries the slot lists show (scanned by the menus, renewed by each save).
  std::vector<cSlotInfo> m_aSlotList = std::vector<cSlotInfo>(kStorySlotCount);
  // The rankings of the stage in focus.
  cRanking m_Ranking;
  uint32_t m_nReplayVersion = 0;  // data version of the replay file being played back, 0 when none
};

extern cGameData g_GameData;
