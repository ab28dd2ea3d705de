#pragma once
// A kind of item: graphic, how often it can be taken, its sound, conditions, the commands it runs
// when taken and the settings it inherits from another item type. Item types are palette entries;
// placed items are full item types carrying their map cell.
#include <cstdint>
#include <string>
#include <vector>

#include "core/record.h"
#include "data/cond.h"
#include "data/flow_cmd.h"

constexpr int kItemInheritGroups = 13;

class cItemType : public cRecord {
 public:
  cItemType();
  void DeclareFields(uint32_t version) override;
  bool Load(cDataFile& file) override;
  bool Save(cDataFile& file) override;

  void ResetItemType();
  void ApplyItemInheritance();
  void ValidateItemType();
  // Palette references of the commands, once the palettes are loaded.
  void ValidateItemCommands();

  int16_t m_nCellX = 0;
  int16_t m_nCellY = 0;
  std::vector<uint8_t> m_abInherit;
  std::vector<cCond> m_aConds;
  std::vector<cFlowCmd> m_aCmds;

  int8_t m_nInheritKind = 0;
  int16_t m_nInheritIndex = 0;
  int8_t m_nCondMode = 0;
  int8_t m_bCondLatch = 0;
  int16_t m_nValue5 = 0;
  int16_t m_nValue6 = 0;
  int16_t m_nGraphic = 0;
  int8_t m_nGraphicKind = 2;
  int16_t m_nGraphicSub = 0;
  int8_t m_nLayer = 6;  // 0-7
  int8_t m_bInvisible = 0;
  int8_t m_nIconDisplay = 0;  // 0 hidden, 1 shown, 2 editor only
  int16_t m_nIcon = 0;
  int8_t m_bShowRising = 1;  // the item's picture rises over the taker
  int8_t m_nTakeMode = 0;    // 0 once, 1 any number of times, 2 cannot be taken
  int8_t m_nScale = 1;       // 1-10
  int16_t m_nSound = 0;      // database sound played when taken
  std::string m_strName;
};

// Entry index of the common (kind 1) or stage (kind 2) item palette; null for another kind or an
// index that is not an entry.
cItemType* GetItemTypeRef(int kind, int index);
