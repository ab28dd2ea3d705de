#include "data/save_records.h"

cStrRecord::cStrRecord() {}

void cStrRecord::DeclareFields(uint32_t version) {
  ClearFieldTables();
  QC4_DECLARE(m_strText);
}

bool cStrRecord::Load(cDataFile& file) {
  // The usual body (no numbers, one text, and room for the text's length) is read without the
  // tables, as the common body reads it: a stage's text list holds a thousand. Any other body goes
  // through the common one, which also refuses what is broken.
  int32_t counts[2] = {};
  if (file.Remaining() < 12 || !file.Peek(counts, sizeof(counts)) || counts[0] != 0 || counts[1] != 1)
    return cRecord::Load(file);
  file.Take(sizeof(counts));
  return LoadCountedText(file, m_strText);
}

bool cStrRecord::Save(cDataFile& file) {
  // The common body without its tables (no numbers, one text): a stage's text list holds a thousand.
  file.WriteInt32(0);
  file.WriteInt32(1);
  SaveCountedText(file, m_strText);
  return true;
}

cStageResult::cStageResult() {}

void cStageResult::DeclareFields(uint32_t version) {
  ClearFieldTables();
  if (version >= 759) {
    DeclareInt(&m_anValues[0], 1, "m_anValues[0]");
    DeclareInt(&m_anValues[1], 1, "m_anValues[1]");
    DeclareInt(&m_anValues[2], 1, "m_anValues[2]");
  }
  QC4_DECLARE(m_nBest);
  QC4_DECLARE(m_strName);
  if (version >= 759) QC4_DECLARE(m_strKey);
}

bool cStageResult::Load(cDataFile& file) {
  if (!cRecord::Load(file)) return false;
  if (g_nFileVersion < 759) m_strKey = m_strName;
  return true;
}

cSaveVar::cSaveVar() {}

void cSaveVar::DeclareFields(uint32_t version) {
  ClearFieldTables();
  QC4_DECLARE(m_nValueA);
  QC4_DECLARE(m_nValueB);
}

cSaveHero::cSaveHero() {}

void cSaveHero::DeclareFields(uint32_t version) {
  ClearFieldTables();
  QC4_DECLARE(m_nItem11);
  QC4_DECLARE(m_nItem12);
  QC4_DECLARE(m_nTimeLimit);
  QC4_DECLARE(m_nProgress);
  QC4_DECLARE(m_nBgm);
}

bool cSaveHero::Load(cDataFile& file) {
  if (!cRecord::Load(file)) return false;
  return m_CharaType.Load(file);
}

bool cSaveHero::Save(cDataFile& file) {
  if (!cRecord::Save(file)) return false;
  return m_CharaType.Save(file);
}
