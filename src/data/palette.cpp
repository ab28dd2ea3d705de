#include "data/palette.h"

#include "data/palette_refs.h"
#include "data/stage_data.h"

cPalette::cPalette() {
  m_aBlockTypes.resize(1);
  m_aCharaTypes.resize(1);
  m_aItemTypes.resize(1);
}

bool cPalette::Load(cDataFile& file) {
  if (!cRecord::Load(file)) return false;
  // Each entry's inheritance runs at the end of its own load, so an entry inheriting from an
  // earlier entry of the same list copies what that one already holds.
  if (!LoadRecordList(file, m_aBlockTypes)) return false;
  if (!LoadRecordList(file, m_aCharaTypes)) return false;
  if (!LoadRecordList(file, m_aItemTypes)) return false;
  if (!m_aBlockTypes.empty()) m_aBlockTypes[0].ResetBlockType();
  if (!m_aCharaTypes.empty()) m_aCharaTypes[0].ResetCharaType();
  if (!m_aItemTypes.empty()) m_aItemTypes[0].ResetItemType();
  for (auto& t : m_aBlockTypes) std::fill(t.m_abInherit.begin(), t.m_abInherit.end(), 0);
  for (auto& t : m_aCharaTypes) std::fill(t.m_abInherit.begin(), t.m_abInherit.end(), 0);
  for (auto& t : m_aItemTypes) std::fill(t.m_abInherit.begin(), t.m_abInherit.end(), 0);
  PadPalette();
  return true;
}

bool cPalette::Save(cDataFile& file) {
  PadPalette();
  if (!cRecord::Save(file)) return false;
  if (!SaveRecordList(file, m_aBlockTypes)) return false;
  if (!SaveRecordList(file, m_aCharaTypes)) return false;
  return SaveRecordList(file, m_aItemTypes);
}

void cPalette::PadPalette() {
  PadTypeList(m_aBlockTypes);
  PadTypeList(m_aCharaTypes);
  PadTypeList(m_aItemTypes);
  for (auto& t : m_aBlockTypes) {
    t.ValidateBlockType();
    t.ValidateBlockItem();
  }
  for (auto& t : m_aCharaTypes) {
    t.ValidateCharaType();
    t.ValidateCharaTypeFlows();
  }
  for (auto& t : m_aItemTypes) {
    t.ValidateItemType();
    t.ValidateItemCommands();
  }
}

std::vector<cBlockType>* PaletteBlockList(int kind) {
  if (kind == kPaletteCommon) return &g_CommonPalette.m_aBlockTypes;
  if (kind == kPaletteStage) return &g_StageFile.m_aPalBlocks;
  return nullptr;
}

std::vector<cCharaType>* PaletteCharaList(int kind) {
  if (kind == kPaletteCommon) return &g_CommonPalette.m_aCharaTypes;
  if (kind == kPaletteStage) return &g_StageFile.m_aPalCharas;
  return nullptr;
}

std::vector<cItemType>* PaletteItemList(int kind) {
  if (kind == kPaletteCommon) return &g_CommonPalette.m_aItemTypes;
  if (kind == kPaletteStage) return &g_StageFile.m_aPalItems;
  return nullptr;
}

int PaletteListSize(int kind, ePalList list) {
  switch (list) {
    case ePalList::Block: {
      auto* l = PaletteBlockList(kind);
      return l ? static_cast<int>(l->size()) : -1;
    }
    case ePalList::Chara: {
      auto* l = PaletteCharaList(kind);
      return l ? static_cast<int>(l->size()) : -1;
    }
    case ePalList::Item: {
      auto* l = PaletteItemList(kind);
      return l ? static_cast<int>(l->size()) : -1;
    }
  }
  return -1;
}
