#include "shell/list_positions.h"

std::vector<cReplayListEntry> g_ReplayList;

cFreeData::cFreeData() { cFreeData::DeclareFields(kDataVersion); }

void cFreeData::DeclareFields(uint32_t /*version*/) {
  ClearFieldTables();
  QC4_DECLARE(m_nCursor);
  QC4_DECLARE(m_nSpare);
  QC4_DECLARE(m_strFileName);
}

cReplayData::cReplayData() { cReplayData::DeclareFields(kDataVersion); }

void cReplayData::DeclareFields(uint32_t /*version*/) {
  ClearFieldTables();
  QC4_DECLARE(m_nCursor);
  QC4_DECLARE(m_strFileName);
  QC4_DECLARE(m_nSortOrder);
}
