#include "ui/boot_data.h"

cBootData g_BootData;

cBootData::cBootData() { DeclareFields(kDataVersion); }

void cBootData::DeclareFields(uint32_t) {
  ClearFieldTables();
  QC4_DECLARE(m_nDrawMode);
  QC4_DECLARE(m_nNoAsk);
}
