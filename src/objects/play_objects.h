#pragma once
// The objects of the stage being played: the heroes, the other characters, the items and the block
// table. They have one owner; ResetPlayObjects destroys them and builds an empty set in the same
// place, so the g_ names below stay valid. Characters and items are held by value and linked to
// each other by pointer: a character is linked only once it sits in its list (list nodes never
// move), and g_HeroList is sized once, before any link is made, and never grows afterwards.
#include <list>
#include <vector>

#include "data/block_type.h"
#include "objects/chara.h"
#include "objects/hero.h"
#include "objects/item.h"

struct cPlayObjects {
  std::vector<cHero> m_HeroList;     // element 0 is the player's hero
  std::list<cChara> m_CharaList;     // every other character
  std::list<cItem> m_ItemList;       // items lying on the stage
  std::vector<cBlock> m_BlockTable;  // one cell per map cell, margins included: column + (row << shift)
};

extern cPlayObjects g_PlayObjects;

// Destroys every object (characters unlink themselves on the way) and starts an empty set.
void ResetPlayObjects();

inline std::vector<cHero>& g_HeroList = g_PlayObjects.m_HeroList;
inline std::list<cChara>& g_CharaList = g_PlayObjects.m_CharaList;
inline std::list<cItem>& g_ItemList = g_PlayObjects.m_ItemList;
inline std::vector<cBlock>& g_BlockTable = g_PlayObjects.m_BlockTable;
