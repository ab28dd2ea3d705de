#include "objects/play_objects.h"

#include <memory>

#include "data/game_data.h"

cPlayObjects g_PlayObjects;

std::vector<cHero>& g_HeroList = g_PlayObjects.m_HeroList;
std::list<cChara>& g_CharaList = g_PlayObjects.m_CharaList;
std::list<cItem>& g_ItemList = g_PlayObjects.m_ItemList;
std::vector<cBlock>& g_BlockTable = g_PlayObjects.m_BlockTable;

void cPlayObjects::Reset() {
  // First the part below: the game data.
  g_GameData.Reset();
  // A new object in the same storage: every reference into the context goes on naming it. Members
  // are destroyed in reverse order: the block table, the items, the characters, then the heroes.
  std::destroy_at(this);
  std::construct_at(this);
}
