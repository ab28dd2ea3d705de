#include "data/game_data.h"

#include <memory>

#include "core/record.h"

cGameData g_GameData;

cDatabase& g_Database = g_GameData.m_Database;
cSystemData& g_SystemData = g_GameData.m_SystemData;
std::vector<cFrameScript>& g_AnimeScripts = g_GameData.m_aAnimeScripts;
std::vector<cFrameScript>& g_EffectScripts = g_GameData.m_aEffectScripts;
std::vector<cCharaEffectPlay>& g_CharaEffectPlays = g_GameData.m_aCharaEffectPlays;
std::vector<cCharaEffectPlay>& g_CharaEffectPlaysRev = g_GameData.m_aCharaEffectPlaysRev;
std::vector<cScrEffectPlay>& g_ScrEffectPlays = g_GameData.m_aScrEffectPlays;
std::vector<cScrEffectPlay>& g_ScrEffectPlaysRev = g_GameData.m_aScrEffectPlaysRev;
cPalette& g_CommonPalette = g_GameData.m_CommonPalette;
cWorldMap& g_WorldMap = g_GameData.m_WorldMap;
cStageData& g_StageFile = g_GameData.m_StageFile;
cStageData& g_StageData = g_GameData.m_StageData;
cOptionData& g_OptionData = g_GameData.m_OptionData;
cSaveData& g_SaveData = g_GameData.m_SaveData;
cSaveData& g_PlayStartSave = g_GameData.m_PlayStartSave;
cSaveData& g_PrevPlayStartSave = g_GameData.m_PrevPlayStartSave;
cInputLog& g_InputLog = g_GameData.m_InputLog;
cInputLog& g_PrevInputLog = g_GameData.m_PrevInputLog;
int32_t& g_nPlayMode = g_GameData.m_nPlayMode;
std::vector<cSlotInfo>& g_SlotList = g_GameData.m_aSlotList;
cRanking& g_Ranking = g_GameData.m_Ranking;

void cGameData::Reset() {
  // First the core's part: the records' constructors declare their fields for the data version.
  g_FileVersions.Reset();
  // A new object in the same storage: every reference into the context goes on naming it.
  std::destroy_at(this);
  std::construct_at(this);
}
