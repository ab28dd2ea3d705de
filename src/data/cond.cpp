#include "data/cond.h"

#include "core/containers.h"

cCond::cCond() { ResetFields(); }

void cCond::DeclareFields(uint32_t version) {
  ClearFieldTables();
  QC4_DECLARE(m_nKind);
  QC4_DECLARE(m_nOperand);
  if (version >= 110) {
    QC4_DECLARE(m_nRandLow);
    QC4_DECLARE(m_nRandHigh);
    QC4_DECLARE(m_nLeftWhose);
    QC4_DECLARE(m_nLeftWhich);
    QC4_DECLARE(m_nLeftSource);
    QC4_DECLARE(m_nLeftVarKind);
    QC4_DECLARE(m_nVarIndex);
    if (version >= 973) QC4_DECLARE(m_nLeftFlowVar);
    QC4_DECLARE(m_nRightSource);
    QC4_DECLARE(m_nRightWhose);
    QC4_DECLARE(m_nRightWhich);
    QC4_DECLARE(m_nRightVarKind);
    QC4_DECLARE(m_nRightVarIndex);
    if (version >= 970) QC4_DECLARE(m_nRightFlowVar);
  } else {
    QC4_DECLARE(m_nOldValueA);
    QC4_DECLARE(m_nOldValueB);
  }
  QC4_DECLARE(m_nOperator);
  if (version >= 43) QC4_DECLARE(m_bPercent);
  if (version >= 883) {
    QC4_DECLARE(m_nLeftExtra1);
    QC4_DECLARE(m_nRightExtra1);
  }
  if (version >= 893) {
    QC4_DECLARE(m_nLeftExtra2);
    QC4_DECLARE(m_nRightExtra2);
  }
  QC4_DECLARE(m_nShape);
}

bool cCond::Load(cDataFile& file) {
  if (!cRecord::Load(file)) return false;
  if (g_nFileVersion < kDataVersion) Upgrade(g_nFileVersion);
  return true;
}

namespace {
int8_t Plus(int8_t v, int d) { return static_cast<int8_t>(v + d); }
}  // namespace

void cCond::Upgrade(uint32_t v) {
  if (v < 160 && m_nKind >= 5) m_nKind = Plus(m_nKind, 2);  // kinds 5 and 6 enter
  if (v < 161 && m_nKind == 6 && m_nLeftWhich == 2) m_nOperator = static_cast<int8_t>(m_nOperator ^ 1);
  // A status row was inserted at 10 (168) and at 5 (203).
  for (auto [gate, threshold] : {std::pair<uint32_t, int>{168, 10}, {203, 5}}) {
    if (v < gate && m_nKind == 4) {
      if (m_nLeftSource == 0 && m_nLeftWhose != 2 && m_nLeftWhich >= threshold) m_nLeftWhich = Plus(m_nLeftWhich, 1);
      if (m_nRightSource == 2 && m_nRightWhose != 2 && m_nRightWhich >= threshold)
        m_nRightWhich = Plus(m_nRightWhich, 1);
    }
  }
  if (v < 210 && m_nKind == 5 && m_nLeftWhose != 2 && m_nLeftWhich >= 6) m_nLeftWhich = Plus(m_nLeftWhich, 1);
  if (v < 657 && m_nKind == 7) m_nLeftWhose = 0;
  if (v < 745 && m_nKind == 7) m_nLeftSource = 0;
  if (v < 746 && m_nKind == 7) {
    m_nRightSource = 1;
    m_nRightWhose = 1;
  }
  if (v < 767 && (m_nKind == 4 || m_nKind == 5)) {
    if (m_nLeftWhose >= 2) m_nLeftWhose = Plus(m_nLeftWhose, 3);
    if (m_nRightWhose >= 2) m_nRightWhose = Plus(m_nRightWhose, 3);
  }
  if (v < 883 && m_nKind == 4) {
    m_nLeftExtra1 = 0;
    m_nRightExtra1 = 0;
    if (m_nLeftSource == 0 && m_nLeftWhose != 5 && m_nLeftWhich >= 6) m_nLeftWhich = Plus(m_nLeftWhich, 2);
    if (m_nRightSource == 2 && m_nRightWhose != 5 && m_nRightWhich >= 6) m_nRightWhich = Plus(m_nRightWhich, 2);
  }
  if (v < 892 && m_nKind == 4) {
    m_nLeftExtra2 = 0;
    m_nRightExtra2 = 0;
  }
  if (v < 984 && m_nKind == 4) {
    if (m_nLeftSource == 2) m_nLeftFlowVar = Plus(m_nLeftFlowVar, 1);
    if (m_nRightSource == 4) m_nRightFlowVar = Plus(m_nRightFlowVar, 1);
  }
  if (v < 985 && m_nKind == 4) {
    if (m_nLeftFlowVar == 0) m_nLeftFlowVar = 1;
    if (m_nRightFlowVar == 0) m_nRightFlowVar = 1;
  }
}

cCondList::cCondList() { ResetFields(); }

void cCondList::DeclareFields(uint32_t version) {
  ClearFieldTables();
  QC4_DECLARE(m_bUse);
  QC4_DECLARE(m_nMode);
}

bool cCondList::Load(cDataFile& file) {
  if (!cRecord::Load(file)) return false;
  // Files before 766 hold the two bytes only.
  if (g_nFileVersion >= 766) return ReadCondVector(file, m_aConds);
  return true;
}

bool cCondList::Save(cDataFile& file) {
  if (!cRecord::Save(file)) return false;
  return WriteCondVector(file, m_aConds);
}

bool ReadCondVector(cDataFile& file, std::vector<cCond>& conds) { return LoadRecordList(file, conds); }

bool WriteCondVector(cDataFile& file, std::vector<cCond>& conds) { return SaveRecordList(file, conds); }

void AssignCondVector(std::vector<cCond>& target, const std::vector<cCond>& source) { AssignVector(target, source); }
