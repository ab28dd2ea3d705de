#include "data/item_type.h"

#include "core/containers.h"
#include "data/data_queries.h"
#include "data/palette_refs.h"
#include "data/type_inherit.h"

cItemType::cItemType() { ResetItemType(); }

void cItemType::DeclareFields(uint32_t version) {
  ClearFieldTables();
  QC4_DECLARE(m_nInheritKind);
  QC4_DECLARE(m_nInheritIndex);
  QC4_DECLARE(m_nCondMode);
  QC4_DECLARE(m_bCondLatch);
  QC4_DECLARE(m_nValue5);
  QC4_DECLARE(m_nValue6);
  QC4_DECLARE(m_nGraphic);
  QC4_DECLARE(m_nGraphicKind);
  QC4_DECLARE(m_nGraphicSub);
  QC4_DECLARE(m_nLayer);
  QC4_DECLARE(m_bInvisible);
  QC4_DECLARE(m_nIconDisplay);
  QC4_DECLARE(m_nIcon);
  QC4_DECLARE(m_bShowRising);
  QC4_DECLARE(m_nTakeMode);
  QC4_DECLARE(m_nScale);
  QC4_DECLARE(m_nSound);
  QC4_DECLARE(m_strName);
}

void cItemType::ResetItemType() {
  ResetFields();
  m_abInherit.assign(kItemInheritGroups, 0);
  m_nGraphicKind = 2;
  m_nGraphic = 0;
  m_bShowRising = 1;
  m_nScale = 1;
  m_nLayer = 6;
}

bool cItemType::Load(cDataFile& file) {
  if (!cRecord::Load(file)) return false;
  if (!file.Read(&m_nCellX, 2) || !file.Read(&m_nCellY, 2)) return false;
  if (!ReadInheritAndConds(file, m_abInherit, m_aConds)) return false;
  if (!ReadFlowCmdList(file, m_aCmds)) return false;
  UpgradeShotGraphic(g_nFileVersion, m_nGraphicKind, m_nGraphic);
  ApplyItemInheritance();
  ValidateItemType();
  return true;
}

bool cItemType::Save(cDataFile& file) {
  ValidateItemType();
  if (!cRecord::Save(file)) return false;
  file.Write(&m_nCellX, 2);
  file.Write(&m_nCellY, 2);
  if (!WriteInheritAndConds(file, m_abInherit, m_aConds)) return false;
  return WriteFlowCmdList(file, m_aCmds);
}

void cItemType::ApplyItemInheritance() {
  const cItemType* src = InheritSource(*this, m_nInheritKind, m_nInheritIndex, PaletteItemList);
  if (!src) return;
  const size_t groups = std::min<size_t>(m_abInherit.size(), kItemInheritGroups);
  for (size_t i = 0; i < groups; ++i) {
    if (!m_abInherit[i]) continue;
    switch (i) {
      case 0: m_strName = src->m_strName; break;
      case 1: InheritConds(*this, *src); break;
      case 2: m_nValue5 = src->m_nValue5; break;
      case 3: m_nValue6 = src->m_nValue6; break;
      case 4: InheritGraphic(*this, *src); break;
      case 5: m_nLayer = src->m_nLayer; break;
      case 6: m_bInvisible = src->m_bInvisible; break;
      case 7: InheritIcon(*this, *src); break;
      case 8: m_nScale = src->m_nScale; break;
      case 9: m_nTakeMode = src->m_nTakeMode; break;
      case 10: m_bShowRising = src->m_bShowRising; break;
      case 11: m_nSound = src->m_nSound; break;
      case 12: AssignFlowCmdVector(m_aCmds, src->m_aCmds); break;
    }
  }
}

void cItemType::ValidateItemType() {
  DropMissingPaletteRef(m_nInheritKind, m_nInheritIndex, PaletteItemList);
  if (m_nScale <= 0) m_nScale = 1;
  m_nSound = static_cast<int16_t>(ClampRef(m_nSound, DbCount(eDbList::Sound), 0));
  for (cCond& c : m_aConds) ValidateCond(c);
  for (cFlowCmd& cmd : m_aCmds) NormaliseFlowCmd(cmd);
}

void cItemType::ValidateItemCommands() {
  for (cFlowCmd& cmd : m_aCmds) ClampFlowCmdPaletteRefs(cmd);
}

cItemType* GetItemTypeRef(int kind, int index) {
  if (kind != kPaletteCommon && kind != kPaletteStage) return nullptr;
  return PaletteEntry(PaletteItemList(kind), index);
}
