#include "shell/boot_data.h"

cBootData::cBootData() { cBootData::DeclareFields(kDataVersion); }

void cBootData::DeclareFields(uint32_t /*version*/) {
  ClearFieldTables();
  QC4_DECLARE(m_nDrawMode);
  QC4_DECLARE(m_bNoAsk);
}
