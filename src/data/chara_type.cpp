#include "data/chara_type.h"

#include "core/containers.h"
#include "data/data_queries.h"
#include "data/palette_refs.h"
#include "data/type_inherit.h"

cCharaType::cCharaType() { ResetCharaType(); }

void cCharaType::DeclareFields(uint32_t v) {
  ClearFieldTables();
  QC4_DECLARE(m_nInheritKind);
  QC4_DECLARE(m_nInheritIndex);
  QC4_DECLARE(m_nCondMode);
  QC4_DECLARE(m_bCondLatch);
  QC4_DECLARE(m_nFacing);
  QC4_DECLARE(m_nOpt6);
  QC4_DECLARE(m_nPlaceOffsetX);
  QC4_DECLARE(m_nPlaceStepX);
  QC4_DECLARE(m_nPlaceOffsetY);
  QC4_DECLARE(m_nPlaceStepY);
  QC4_DECLARE(m_bMirrorX);
  QC4_DECLARE(m_bMirrorY);
  QC4_DECLARE(m_nGraphic);
  QC4_DECLARE(m_nGraphicKind);
  QC4_DECLARE(m_nGraphicSub);
  QC4_DECLARE(m_nAnimeSet);
  QC4_DECLARE(m_nLayer);
  QC4_DECLARE(m_nOpt18);
  QC4_DECLARE(m_nCharaEffect);
  if (v >= 196) QC4_DECLARE(m_nCharaEffectOptA);
  QC4_DECLARE(m_nCharaEffectOptB);
  QC4_DECLARE(m_nDefeatEffect);
  if (v >= 196) QC4_DECLARE(m_nDefeatEffectOpt);
  QC4_DECLARE(m_bBadge);
  QC4_DECLARE(m_nBadge);
  QC4_DECLARE(m_nControl);
  QC4_DECLARE(m_nPlayer);
  QC4_DECLARE(m_nOpt28);
  QC4_DECLARE(m_nCharaId);
  QC4_DECLARE(m_nMoveMode);
  QC4_DECLARE(m_nOpt31);
  QC4_DECLARE(m_nOpt32);
  if (v >= 285) QC4_DECLARE(m_nOpt33);
  QC4_DECLARE(m_bBlockChara);
  QC4_DECLARE(m_nScale);
  if (v >= 210) QC4_DECLARE(m_nOpt36);
  QC4_DECLARE(m_nViewMode);
  QC4_DECLARE(m_nViewRange);
  QC4_DECLARE(m_nMaxHp);
  QC4_DECLARE(m_nMaxSp);
  QC4_DECLARE(m_nStopEase);
  if (v >= 201) QC4_DECLARE(m_nSizeMode);
  QC4_DECLARE(m_nBodyPower);
  QC4_DECLARE(m_nBodyImpact);
  QC4_DECLARE(m_nHitEffect);
  if (v >= 168) QC4_DECLARE(m_nDefence);
  QC4_DECLARE(m_nImpactResist);
  QC4_DECLARE(m_nScore);
  QC4_DECLARE(m_nOpt49);
  QC4_DECLARE(m_bGroupFlag);
  QC4_DECLARE(m_nGroup);
  QC4_DECLARE(m_nActiveRange);
  QC4_DECLARE(m_nActiveMode);
  QC4_DECLARE(m_strName);
}

void cCharaType::ResetCharaType() {
  m_nCarriedItem = 0;
  ResetFields();
  m_abInherit.assign(kCharaInheritGroups, 0);
  m_nControl = 1;
  m_nOpt28 = 1;
  m_nLayer = 3;
  m_nCharaEffectOptB = 1;
  m_nMaxHp = 10;
  m_nDefence = 0;
  m_nGraphicKind = 1;
  m_nGraphic = 0;
  m_nScale = 1;
  m_nStopEase = 10;
  m_nOpt31 = 1;
  m_nOpt49 = 1;
}

bool cCharaType::Load(cDataFile& file) {
  if (!cRecord::Load(file)) return false;
  if (!file.Read(&m_nCellX, 2) || !file.Read(&m_nCellY, 2) || !file.ReadInt32(m_nCarriedItem)) return false;
  if (!ReadInheritAndConds(file, m_abInherit, m_aConds)) return false;
  if (!ReadFlowList(file, m_aFlows)) return false;
  FilterTestPlayFlows(m_aFlows);
  if (g_nFileVersion < kDataVersion) Upgrade(g_nFileVersion);
  ApplyCharaInheritance();
  ValidateCharaType();
  return true;
}

namespace {
// Groups from `from` on move up one place (copied from the top down) and `from` becomes 1.
void InsertInheritGroup(std::vector<uint8_t>& flags, size_t from) {
  flags.resize(kCharaInheritGroups, 0);
  for (size_t i = kCharaInheritGroups - 1; i > from; --i) flags[i] = flags[i - 1];
  flags[from] = 1;
}
}  // namespace

void cCharaType::Upgrade(uint32_t v) {
  if (v < 168) {
    m_nDefence = 0;
    InsertInheritGroup(m_abInherit, 27);
  }
  if (v < 196) {
    m_nCharaEffectOptA = 0;
    m_nDefeatEffectOpt = 0;
  }
  if (v < 201) {
    m_nSizeMode = 0;
    InsertInheritGroup(m_abInherit, 24);
  }
  if (v < 206 && m_nSizeMode >= 2) m_nSizeMode = static_cast<int8_t>(m_nSizeMode + 1);  // size mode 2 added
  if (v < 210) {
    m_nOpt36 = 0;
    InsertInheritGroup(m_abInherit, 21);
  }
  UpgradeShotGraphic(v, m_nGraphicKind, m_nGraphic);
  if (v < 285) m_nOpt33 = 1;
}

bool cCharaType::Save(cDataFile& file) {
  ValidateCharaType();
  if (!cRecord::Save(file)) return false;
  file.Write(&m_nCellX, 2);
  file.Write(&m_nCellY, 2);
  file.WriteInt32(m_nCarriedItem);
  if (!WriteInheritAndConds(file, m_abInherit, m_aConds)) return false;
  return WriteFlowList(file, m_aFlows);
}

void cCharaType::ApplyCharaInheritance() {
  const cCharaType* s = InheritSource(*this, m_nInheritKind, m_nInheritIndex, PaletteCharaList);
  if (!s) return;
  const size_t groups = std::min<size_t>(m_abInherit.size(), kCharaInheritGroups);
  for (size_t i = 0; i < groups; ++i) {
    if (!m_abInherit[i]) continue;
    switch (i) {
      case 0: m_strName = s->m_strName; break;
      case 1:
        m_nControl = s->m_nControl;
        m_nPlayer = s->m_nPlayer;
        break;
      case 2: m_nOpt28 = s->m_nOpt28; break;
      case 3: m_nCharaId = s->m_nCharaId; break;
      case 4: InheritConds(*this, *s); break;
      case 5: m_nFacing = s->m_nFacing; break;
      case 6: m_nOpt6 = s->m_nOpt6; break;
      case 7:
        m_nPlaceOffsetX = s->m_nPlaceOffsetX;
        m_nPlaceStepX = s->m_nPlaceStepX;
        m_bMirrorX = s->m_bMirrorX;
        break;
      case 8:
        m_nPlaceOffsetY = s->m_nPlaceOffsetY;
        m_nPlaceStepY = s->m_nPlaceStepY;
        m_bMirrorY = s->m_bMirrorY;
        break;
      case 9: InheritGraphic(*this, *s); break;
      case 10: m_nAnimeSet = s->m_nAnimeSet; break;
      case 11: m_nLayer = s->m_nLayer; break;
      case 12: m_nOpt18 = s->m_nOpt18; break;
      case 13:
        m_nCharaEffect = s->m_nCharaEffect;
        m_nCharaEffectOptA = s->m_nCharaEffectOptA;
        m_nCharaEffectOptB = s->m_nCharaEffectOptB;
        break;
      case 14:
        m_nDefeatEffect = s->m_nDefeatEffect;
        m_nDefeatEffectOpt = s->m_nDefeatEffectOpt;
        break;
      case 15:
        m_bBadge = s->m_bBadge;
        m_nBadge = s->m_nBadge;
        break;
      case 16: m_nOpt31 = s->m_nOpt31; break;
      case 17: m_nMoveMode = s->m_nMoveMode; break;
      case 18:
        m_nOpt32 = s->m_nOpt32;
        m_nOpt33 = s->m_nOpt33;
        break;
      case 19: m_bBlockChara = s->m_bBlockChara; break;
      case 20: m_nScale = s->m_nScale; break;
      case 21: m_nOpt36 = s->m_nOpt36; break;
      case 22:
        m_nViewMode = s->m_nViewMode;
        m_nViewRange = s->m_nViewRange;
        break;
      case 23: m_nMaxHp = s->m_nMaxHp; break;
      case 24: m_nMaxSp = s->m_nMaxSp; break;
      case 25: m_nSizeMode = s->m_nSizeMode; break;
      case 26: m_nBodyPower = s->m_nBodyPower; break;
      case 27: m_nBodyImpact = s->m_nBodyImpact; break;
      case 28: m_nHitEffect = s->m_nHitEffect; break;
      case 29: m_nDefence = s->m_nDefence; break;
      case 30: m_nImpactResist = s->m_nImpactResist; break;
      case 31: m_nStopEase = s->m_nStopEase; break;
      case 32:
        m_nActiveRange = s->m_nActiveRange;
        m_nActiveMode = s->m_nActiveMode;
        break;
      case 33:
        m_nGroup = s->m_nGroup;
        m_bGroupFlag = s->m_bGroupFlag;
        break;
      case 34: m_nScore = s->m_nScore; break;
      case 35: m_nOpt49 = s->m_nOpt49; break;
      case 36:
        AssignFlowVector(m_aFlows, s->m_aFlows);
        if (m_aFlows.empty()) m_aFlows.emplace_back();
        break;
    }
  }
}

void cCharaType::ValidateCharaType() {
  DropMissingPaletteRef(m_nInheritKind, m_nInheritIndex, PaletteCharaList);
  if (m_nGraphicKind == 4) m_nGraphic = static_cast<int16_t>(ClampRef(m_nGraphic, DbCount(eDbList::BmpCharaExc), 1));
  if (m_nScale <= 0) m_nScale = 1;
  m_nAnimeSet = static_cast<int16_t>(ClampRef(m_nAnimeSet, DbCount(eDbList::AnimeSet), 0));
  m_nCharaEffect = static_cast<int16_t>(ClampRef(m_nCharaEffect, DbCount(eDbList::CharaEffect), 0));
  m_nDefeatEffect = static_cast<int16_t>(ClampRef(m_nDefeatEffect, DbCount(eDbList::CharaEffect), 0));
  m_nHitEffect = static_cast<int16_t>(ClampRef(m_nHitEffect, DbCount(eDbList::Effect), 0));
  if (m_nControl == 0) {
    m_bBlockChara = 0;
    m_nOpt6 = 0;
  }
  for (cCond& c : m_aConds) ValidateCond(c);
  for (cFlow& f : m_aFlows) ValidateFlow(f);
  std::erase_if(m_aFlows, [](const cFlow& f) { return f.IsEmpty(); });
}

void cCharaType::ValidateCharaTypeFlows() {
  for (cFlow& f : m_aFlows) ClampFlowPaletteRefs(f);
}

double cCharaType::PlaceOffsetX(int n, int direction) const {
  double d = static_cast<double>(n) * m_nPlaceStepX + m_nPlaceOffsetX;
  return (direction == 1 && m_bMirrorX) ? -d : d;
}

double cCharaType::PlaceOffsetY(int n, int direction) const {
  double d = static_cast<double>(n) * m_nPlaceStepY + m_nPlaceOffsetY;
  return (direction == 1 && m_bMirrorY) ? -d : d;
}

int FindHeroIndex(const std::vector<cCharaType>& placed) {
  for (size_t i = 0; i < placed.size(); ++i)
    if (placed[i].m_nGraphic != 0 && placed[i].m_nControl == 0) return static_cast<int>(i);
  return -1;
}
