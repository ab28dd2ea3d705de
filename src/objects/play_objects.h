#pragma once
// The objects layer's part of a run: the heroes, the other characters, the items and the block
// table of the stage being played, in one owner with one reset. The g_ names below are references
// into g_PlayObjects; a reset rebuilds the context in place, so they stay valid. The reset first
// resets the part below, the game data (data/game_data.h), so it renews the whole run up to here.
// Characters and items are held by value and linked to each other by pointer: a character is
// linked only once it sits in its list (list nodes never move), and g_HeroList is sized once, before
// any link is made, and never grows afterwards.
#include <list>
#include <vector>

#include "data/block_type.h"
#include "objects/chara.h"
#include "objects/hero.h"
#include "objects/item.h"

class cPlayObjects {
 public:
  cPlayObjects() = default;
  cPlayObjects(const cPlayObjects&) = delete;
  cPlayObjects& operator=(const cPlayObjects&) = delete;

  // The game data as at start (g_GameData.Reset() first), then no objects and no block table; the
  // characters unlink themselves on the way.
  void Reset();

  std::vector<cHero> m_HeroList;     // element 0 is the player's hero
  std::list<cChara> m_CharaList;     // every other character
  std::list<cItem> m_ItemList;       // items lying on the stage
  std::vector<cBlock> m_BlockTable;  // one cell per map cell, margins included: column + (row << shift)
};

extern cPlayObjects g_PlayObjects;

extern std::vector<cHero>& g_HeroList;
extern std::list<cChara>& g_CharaList;
extern std::list<cItem>& g_ItemList;
extern std::vector<cBlock>& g_BlockTable;
