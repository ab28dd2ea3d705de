#pragma once
// The project's common palette, "data\CommonPalette.cplt4": the block, character and item types
// shared by every stage. Entry 0 of each list is the empty type; every list has at least two entries.
#include <vector>

#include "core/record.h"
#include "data/block_type.h"
#include "data/chara_type.h"
#include "data/item_type.h"

class cPalette : public cRecord {
 public:
  cPalette();
  void DeclareFields(uint32_t version) override { ClearFieldTables(); }
  // The three lists; entry 0 of each reset, every inherit flag cleared, then PadPalette.
  bool Load(cDataFile& file) override;
  bool Save(cDataFile& file) override;

  // Lists shorter than two entries are filled up with default entries; then every entry is
  // validated, references into the palettes included.
  void PadPalette();

  std::vector<cBlockType> m_aBlockTypes;
  std::vector<cCharaType> m_aCharaTypes;
  std::vector<cItemType> m_aItemTypes;
};

extern cPalette& g_CommonPalette;  // in g_GameData (data/game_data.h)

// Every list of types shorter than two entries is filled up with default entries.
template <class T>
void PadTypeList(std::vector<T>& list) {
  while (list.size() < 2) list.emplace_back();
}
