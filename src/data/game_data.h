#pragma once
// The game's data for one run, in one owner with one reset: the project settings, the database with
// the run-time forms of its animations and effects, the common palette, the world map, the stage as
// read and the copy of its settings, and the run's test-play setting. The g_ names of these records
// (g_SystemData, g_Database, ...) are references into g_GameData; a reset rebuilds the context in
// place, so they stay valid. The reset also resets the core's part, the file versions (core/record.h).
#include <vector>

#include "data/anim_scripts.h"
#include "data/database.h"
#include "data/palette.h"
#include "data/stage_data.h"
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
};

extern cGameData g_GameData;
