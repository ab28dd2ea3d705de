#include "data/input_log.h"

cInputLog::cInputLog() { DeclareFields(g_nDataVersion); }

void cInputLog::DeclareFields(uint32_t version) {
  ClearFieldTables();
  QC4_DECLARE(m_nSeed);
  if (version >= 931) QC4_DECLARE(m_bCleared);
}

void cInputLog::RecordInputValue(int32_t value) { m_anValues.push_back(value); }

int32_t cInputLog::PlayInputValue() {
  if (m_nValueIndex >= m_anValues.size()) return 0;
  return m_anValues[m_nValueIndex++];
}
