#pragma once
// A kind of map block: picture, collision, an effect on characters standing on it, an item it
// holds, conditions under which it exists and the settings it inherits from another block type.
// Block types are palette entries; placed blocks are full block types carrying their map cell.
#include <cstdint>
#include <string>
#include <vector>

#include "core/record.h"
#include "data/cond.h"

constexpr int kBlockInheritGroups = 11;

class cBlockType : public cRecord {
 public:
  cBlockType();
  void DeclareFields(uint32_t version) override;
  // Body, cell, inherit flags and conditions; then the old-graphic upgrade, inheritance and
  // validation.
  bool Load(cDataFile& file) override;
  bool Save(cDataFile& file) override;

  void ResetBlockType();
  // Copies the flagged groups from the inherit source as it stands now.
  void ApplyBlockInheritance();
  void ValidateBlockType();
  // An item reference past its palette list is cleared.
  void ValidateBlockItem();

  int16_t m_nCellX = 0;
  int16_t m_nCellY = 0;
  std::vector<uint8_t> m_abInherit;
  std::vector<cCond> m_aConds;

  int8_t m_nInheritKind = 0;  // 0 none, 1 common palette, 2 stage palette
  int16_t m_nInheritIndex = 0;
  int8_t m_nCondMode = 0;  // 0 all, 1 any
  int8_t m_bCondLatch = 0;
  int16_t m_nGraphic = 0;  // 0: empty cell, nothing drawn, no contact
  int8_t m_nGraphicKind = 0;
  int16_t m_nGraphicSub = 0;
  int8_t m_nLayer = 0;
  int8_t m_bInvisible = 0;
  int8_t m_nIconDisplay = 0;  // 0 hidden, 1 shown, 2 editor only
  int16_t m_nIcon = 0;
  int8_t m_nContact = 1;     // 0 none, 1 solid, 2 the hero dies on contact
  int8_t m_nPassGroup = -1;  // objects asking with this group pass; -1 none
  int8_t m_nEffect = 0;      // effect on the hero standing on it
  int32_t m_nEffectValue = 0;
  int8_t m_nItemKind = 0;  // 0 none, 1 common palette, 2 stage palette
  int16_t m_nItemIndex = 0;
  int8_t m_bProtected = 0;  // block summoning neither replaces nor erases it
  std::string m_strName;
};

// One cell of the stage's block table: a block type and the cell's condition latch.
class cBlock : public cBlockType {
 public:
  int32_t m_nLatch = 0;
};

// What a block cell asks of stage play, which installs it at start-up (before the game thread runs).
struct cBlockHooks {
  // Whether the cell's appearance conditions hold; without the hook they count as holding.
  bool (*conditionsHold)(cBlock& cell) = nullptr;
};
// Installs the hooks; returns the ones they replace.
cBlockHooks SetBlockHooks(const cBlockHooks& hooks);

// Contact kind of a cell for an object asking with group: 0 while the block's conditions do not
// hold or when group is its pass-through group, else its contact kind.
int8_t GetBlockContact(cBlock& cell, int group);
