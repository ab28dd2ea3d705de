#pragma once
// The world map of a story game, "data\WorldMap.dat": a grid of map cells whose values name
// map-cell kinds, the places on it that offer stages under conditions, and where a new game starts.
#include <cstdint>
#include <string>
#include <vector>

#include "core/record.h"

// One kind of map cell.
class cMapEntry : public cRecord {
 public:
  cMapEntry();
  void DeclareFields(uint32_t version) override;

  int32_t m_nSettingA = 0;
  int32_t m_bBlocked = 0;  // the hero may not enter cells of this kind
  int32_t m_nChip = 0;     // picture: column chip % 5, row chip / 5 of the map-chip sheet
  std::string m_strName;
  std::string m_strText2;
};

// One offer of a place; the map scene takes the first entry whose conditions hold.
class cWorldEntry : public cRecord {
 public:
  cWorldEntry();
  void DeclareFields(uint32_t version) override;
  bool Load(cDataFile& file) override;

  int32_t m_nKind = 0;  // 0: names a stage
  int32_t m_anSettings[5] = {};
  int32_t m_nFlag = 0;      // > 0: this progress flag must be set
  int32_t m_nVariable = 0;  // non-zero: this common variable is compared
  int32_t m_nCompareValue = 0;
  int32_t m_nCompareKind = 0;  // 0 =, 1 !=, 2 >=, 3 <=, 4 >, 5 <, 6 multiple, 7 not a multiple
  int32_t m_nMinTotal = 0;
  int32_t m_bVariation = 0;
  int32_t m_nVariationKey1 = 1;
  int32_t m_nVariationKey2 = 0;
  std::string m_strText;
  std::string m_strStage;  // the stage file this entry offers
};

// A place on the map and its offers.
class cWorld : public cRecord {
 public:
  cWorld();
  void DeclareFields(uint32_t version) override;
  bool Load(cDataFile& file) override;
  bool Save(cDataFile& file) override;

  int32_t m_nX = 0;
  int32_t m_nY = 0;
  std::string m_strName;
  std::vector<cWorldEntry> m_aEntries;
};

class cWorldMap : public cRecord {
 public:
  cWorldMap();
  void DeclareFields(uint32_t version) override;
  bool Load(cDataFile& file) override;
  bool Save(cDataFile& file) override;

  void SetWorldMapDefaults();
  // New grid of width x height cells keeping the cells both sizes share; 0 when either is 0.
  int SetSize(int32_t width, int32_t height);
  // Pulls the start cell onto the grid, clears cells naming no map entry, drops places off the grid.
  void Repair();
  // Cell (x, y) of the grid, or null outside it.
  int32_t* CellAt(int32_t x, int32_t y);

  // The first place standing on (x, y), or null.
  cWorld* FindMapEntryAt(int32_t x, int32_t y);
  // Whether a kind-0 entry of some place offers the stage name ("c05." for "c05-1.stg4", with the
  // full stop) with the same variation.
  int IsStageOnWorldMap(const std::string& name, int withVariation, int32_t key1, int32_t key2) const;

  int32_t m_nWidth = 20;
  int32_t m_nHeight = 15;
  int32_t m_nPitch = 32;  // row stride: smallest power of two >= width
  int32_t m_nPitchShift = 5;
  int32_t m_nStartX = 9;
  int32_t m_nStartY = 7;
  int32_t m_nBackColour = 16;
  int32_t m_nDisplaySwitch = 0;
  std::string m_strName;
  std::string m_strText2;

  std::vector<cMapEntry> m_aMapEntries;
  std::vector<int32_t> m_anGrid;  // cell (x, y) at (y << pitch shift) + x
  std::vector<cWorld> m_aWorlds;
  std::vector<cWorld> m_aWorlds2;  // loaded, repaired and written; not otherwise used

 private:
  // A grid whose size fields disagree with its cell count is rebuilt from its width and height;
  // false when the size itself is unusable, or when the file carried cells (cellsFromFile) but fewer
  // than the width x height cells of the map (a few bytes must not make a large map).
  bool CheckGrid(bool cellsFromFile);
};

extern cWorldMap& g_WorldMap;  // in g_GameData (data/game_data.h)

// Number of binary digits of width - 1: the pitch shift of a grid width.
int32_t PitchShiftFor(int32_t width);
