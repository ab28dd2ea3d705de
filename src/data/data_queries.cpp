#include "data/data_queries.h"

#include "data/game_data.h"
#include "data/vocabulary_tables.h"

int DbCount(eDbList list) {
  switch (list) {
    case eDbList::AnimeSet: return static_cast<int>(g_Database.m_aAnimeSet.size());
    case eDbList::Anime: return static_cast<int>(g_Database.m_aAnime.size());
    case eDbList::BmpCharaExc: return static_cast<int>(g_Database.m_aBmpCharaExc.size());
    case eDbList::SwordType: return static_cast<int>(g_Database.m_aSwordType.size());
    case eDbList::Effect: return static_cast<int>(g_Database.m_aEffect.size());
    case eDbList::CharaEffect: return static_cast<int>(g_Database.m_aCharaEffect.size());
    case eDbList::ScrEffect: return static_cast<int>(g_Database.m_aScrEffect.size());
    case eDbList::Picture: return static_cast<int>(g_Database.m_aPicture.size());
    case eDbList::Sound: return static_cast<int>(g_Database.m_aSound.size());
    case eDbList::Bgm: return static_cast<int>(g_Database.m_aBgm.size());
  }
  return 0;
}

std::vector<int32_t> DbSwordDurations(int swordType) {
  std::vector<int32_t> durations;
  if (swordType < 0 || static_cast<size_t>(swordType) >= g_Database.m_aSwordType.size()) return durations;
  for (const cSwordEntry& e : g_Database.m_aSwordType[static_cast<size_t>(swordType)].m_aEntries)
    durations.push_back(e.m_nValue10);
  return durations;
}

int CmdKindParamCount(int context, int kind) {
  if (context == 0) return kind >= 0 && kind < kCharaCmdKindCount ? g_CharaCmdKinds[kind].nParams : -1;
  return kind >= 0 && kind < kItemCmdKindCount ? g_ItemCmdKinds[kind].nParams : -1;
}

bool KeepTestPlayFlows() { return g_GameData.m_bTestPlay != 0 || g_SystemData.m_bKeepTestFlows != 0; }

int32_t ClampRef(int32_t value, int32_t count, int32_t resetTo) {
  if (count > 0 && static_cast<uint32_t>(value) < static_cast<uint32_t>(count)) return value;
  if (count > 0 && static_cast<uint32_t>(resetTo) < static_cast<uint32_t>(count)) return resetTo;
  return 0;
}
