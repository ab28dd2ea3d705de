#include "data/block_type.h"

#include <utility>

#include "core/containers.h"
#include "data/data_queries.h"
#include "data/item_type.h"
#include "data/palette_refs.h"
#include "data/type_inherit.h"

cBlockType::cBlockType() { ResetBlockType(); }

void cBlockType::DeclareFields(uint32_t version) {
  ClearFieldTables();
  QC4_DECLARE(m_nInheritKind);
  QC4_DECLARE(m_nInheritIndex);
  QC4_DECLARE(m_nCondMode);
  QC4_DECLARE(m_bCondLatch);
  QC4_DECLARE(m_nGraphic);
  QC4_DECLARE(m_nGraphicKind);
  QC4_DECLARE(m_nGraphicSub);
  QC4_DECLARE(m_nLayer);
  QC4_DECLARE(m_bInvisible);
  QC4_DECLARE(m_nIconDisplay);
  QC4_DECLARE(m_nIcon);
  QC4_DECLARE(m_nContact);
  QC4_DECLARE(m_nPassGroup);
  QC4_DECLARE(m_nEffect);
  QC4_DECLARE(m_nEffectValue);
  QC4_DECLARE(m_nItemKind);
  QC4_DECLARE(m_nItemIndex);
  QC4_DECLARE(m_bProtected);
  QC4_DECLARE(m_strName);
}

void cBlockType::ResetBlockType() {
  ResetFields();
  m_nContact = 1;
  m_abInherit.assign(kBlockInheritGroups, 0);
  m_nPassGroup = -1;
  m_nGraphic = 0;
}

bool cBlockType::Load(cDataFile& file) {
  if (!cRecord::Load(file)) return false;
  if (!file.Read(&m_nCellX, 2) || !file.Read(&m_nCellY, 2)) return false;
  if (!ReadInheritAndConds(file, m_abInherit, m_aConds)) return false;
  UpgradeShotGraphic(g_nFileVersion, m_nGraphicKind, m_nGraphic);
  ApplyBlockInheritance();
  ValidateBlockType();
  return true;
}

bool cBlockType::Save(cDataFile& file) {
  ValidateBlockType();
  if (!cRecord::Save(file)) return false;
  file.Write(&m_nCellX, 2);
  file.Write(&m_nCellY, 2);
  return WriteInheritAndConds(file, m_abInherit, m_aConds);
}

void cBlockType::ApplyBlockInheritance() {
  const cBlockType* src = InheritSource(*this, m_nInheritKind, m_nInheritIndex, PaletteBlockList);
  if (!src) return;
  const size_t groups = std::min<size_t>(m_abInherit.size(), kBlockInheritGroups);
  for (size_t i = 0; i < groups; ++i) {
    if (!m_abInherit[i]) continue;
    switch (i) {
      case 0: m_strName = src->m_strName; break;
      case 1: InheritConds(*this, *src); break;
      case 2: InheritGraphic(*this, *src); break;
      case 3: m_nLayer = src->m_nLayer; break;
      case 4: m_bInvisible = src->m_bInvisible; break;
      case 5: InheritIcon(*this, *src); break;
      case 6: m_nContact = src->m_nContact; break;
      case 7: m_nPassGroup = src->m_nPassGroup; break;
      case 8:
        m_nEffect = src->m_nEffect;
        m_nEffectValue = src->m_nEffectValue;
        break;
      case 9:
        m_nItemKind = src->m_nItemKind;
        m_nItemIndex = src->m_nItemIndex;
        break;
      case 10: m_bProtected = src->m_bProtected; break;
    }
  }
}

void cBlockType::ValidateBlockType() {
  DropMissingPaletteRef(m_nInheritKind, m_nInheritIndex, PaletteBlockList);
  for (cCond& c : m_aConds) ValidateCond(c);
  if (m_nGraphic == 0) {
    m_nContact = 0;
    m_bProtected = 0;
  }
}

void cBlockType::ValidateBlockItem() { DropMissingPaletteRef(m_nItemKind, m_nItemIndex, PaletteItemList); }

namespace {
cBlockHooks g_blockHooks;
}

cBlockHooks SetBlockHooks(const cBlockHooks& hooks) { return std::exchange(g_blockHooks, hooks); }

int8_t GetBlockContact(cBlock& cell, int group) {
  if (!cell.m_aConds.empty() && g_blockHooks.conditionsHold && !g_blockHooks.conditionsHold(cell)) return 0;
  if (group == cell.m_nPassGroup) return 0;
  return cell.m_nContact;
}
