#include "data/database_records.h"

#include <algorithm>

#include "data/vocabulary_tables.h"

namespace {
// Files of versions 151 and 152 carry setting S but older editors left garbage in it.
constexpr uint32_t kSettingSValidFrom = 153;
}  // namespace

// ---------------------------------------------------------------------------------------------

cAnimeFrame::cAnimeFrame() {
  ResetFields();
  m_nDuration = 1;
}

void cAnimeFrame::DeclareFields(uint32_t) {
  ClearFieldTables();
  QC4_DECLARE(m_nPattern);
  QC4_DECLARE(m_nDuration);
  QC4_DECLARE(m_bLockFrom);
}

cAnimeData::cAnimeData() {
  ResetFields();
  m_bySettingQ = 1;
  m_aFrames.assign(1, cAnimeFrame());
}

void cAnimeData::DeclareFields(uint32_t version) {
  ClearFieldTables();
  if (version >= 55) {
    QC4_DECLARE(m_nSettingP);
    QC4_DECLARE(m_bySettingQ);
    QC4_DECLARE(m_nSettingR);
  }
  QC4_DECLARE(m_strName);
}

bool cAnimeData::Load(cDataFile& file) { return cRecord::Load(file) && LoadRecordList(file, m_aFrames); }

bool cAnimeData::Save(cDataFile& file) { return cRecord::Save(file) && SaveRecordList(file, m_aFrames); }

// ---------------------------------------------------------------------------------------------

namespace {
const char* const kBasicAnimeNames[4] = {"立ち", "立ち移動", "飛行", "飛行移動"};
}

cAnimeSetData::cAnimeSetData() {
  ResetFields();
  m_nOffsetA = 4;
  m_nOffsetB = 8;
  m_aAnimes.assign(4, cAnimeData());
  for (size_t i = 0; i < 4; ++i) m_aAnimes[i].m_strName = kBasicAnimeNames[i];
}

void cAnimeSetData::DeclareFields(uint32_t version) {
  ClearFieldTables();
  QC4_DECLARE(m_nOffsetA);
  QC4_DECLARE(m_nOffsetB);
  if (version >= 119) QC4_DECLARE(m_nOffsetC);
  QC4_DECLARE(m_strName);
}

bool cAnimeSetData::Load(cDataFile& file) {
  if (!cRecord::Load(file) || !LoadRecordList(file, m_aAnimes)) return false;
  if (g_nFileVersion < 119) m_aAnimes.resize(4);
  if (g_nFileVersion < 128) {
    m_aAnimes.resize(4);
    m_aAnimes[2].m_strName = kBasicAnimeNames[2];
    m_aAnimes[3].m_strName = kBasicAnimeNames[3];
  }
  return true;
}

bool cAnimeSetData::Save(cDataFile& file) { return cRecord::Save(file) && SaveRecordList(file, m_aAnimes); }

// ---------------------------------------------------------------------------------------------

cBmpCharaExcData::cBmpCharaExcData() {
  ResetFields();
  m_nCellUnits = 2;
}

void cBmpCharaExcData::DeclareFields(uint32_t version) {
  ClearFieldTables();
  if (version >= 152) QC4_DECLARE(m_nSettingS);
  if (version >= 172) {
    QC4_DECLARE(m_bCellSize);
    QC4_DECLARE(m_nCellUnits);
  }
  QC4_DECLARE(m_strName);
  QC4_DECLARE(m_strFileName);
}

bool cBmpCharaExcData::Load(cDataFile& file) {
  if (!cRecord::Load(file)) return false;
  if (g_nFileVersion < kSettingSValidFrom) m_nSettingS = 0;
  return true;
}

// ---------------------------------------------------------------------------------------------

cSwordEntry::cSwordEntry() { ResetFields(); }

void cSwordEntry::DeclareFields(uint32_t version) {
  ClearFieldTables();
  QC4_DECLARE(m_nValue1);
  QC4_DECLARE(m_nValue2);
  if (version >= 138) {
    QC4_DECLARE(m_nValue3);
    QC4_DECLARE(m_nValue4);
  }
  QC4_DECLARE(m_nValue5);
  QC4_DECLARE(m_nValue6);
  QC4_DECLARE(m_nValue7);
  QC4_DECLARE(m_nValue8);
  QC4_DECLARE(m_nValue9);
  QC4_DECLARE(m_nValue10);
}

cSwordTypeData::cSwordTypeData() {
  ResetFields();
  m_aEntries.assign(1, cSwordEntry());
  m_aEntries[0].m_nValue10 = 1;
}

void cSwordTypeData::DeclareFields(uint32_t version) {
  ClearFieldTables();
  if (version >= 151) QC4_DECLARE(m_nSettingS);
  QC4_DECLARE(m_strName);
  QC4_DECLARE(m_strText2);
  QC4_DECLARE(m_strPicture);
}

bool cSwordTypeData::Load(cDataFile& file) {
  if (!cRecord::Load(file)) return false;
  // The entries this reader appends start with value 3 set, so that an entry of a file older than
  // 138 (which lacks values 3 and 4) loads with value 3 = 1 and value 4 = 0.
  int32_t n = 0;
  if (!ReadListCount(file, n, 8, sizeof(cSwordEntry))) return false;
  cSwordEntry prototype;
  prototype.m_nValue3 = 1;
  m_aEntries.assign(static_cast<size_t>(std::max<int32_t>(n, 0)), prototype);
  for (auto& entry : m_aEntries)
    if (!entry.Load(file)) return false;
  if (g_nFileVersion < kSettingSValidFrom) m_nSettingS = 0;
  return true;
}

bool cSwordTypeData::Save(cDataFile& file) { return cRecord::Save(file) && SaveRecordList(file, m_aEntries); }

// ---------------------------------------------------------------------------------------------

cEffectFrame::cEffectFrame() {
  ResetFields();
  m_nDuration = 1;
}

void cEffectFrame::DeclareFields(uint32_t) {
  ClearFieldTables();
  QC4_DECLARE(m_nPattern);
  QC4_DECLARE(m_nDuration);
}

cEffectData::cEffectData() {
  ResetFields();
  m_nCellWidth = 32;
  m_nCellHeight = 32;
  m_aFrames.assign(1, cEffectFrame());
}

void cEffectData::DeclareFields(uint32_t version) {
  ClearFieldTables();
  if (version >= 151) QC4_DECLARE(m_nSettingS);
  QC4_DECLARE(m_nCellWidth);
  QC4_DECLARE(m_nCellHeight);
  QC4_DECLARE(m_bEnlargeable);
  QC4_DECLARE(m_strName);
  QC4_DECLARE(m_strPicture);
}

bool cEffectData::Load(cDataFile& file) {
  if (!cRecord::Load(file) || !LoadRecordList(file, m_aFrames)) return false;
  if (g_nFileVersion < kSettingSValidFrom) m_nSettingS = 0;
  return true;
}

bool cEffectData::Save(cDataFile& file) { return cRecord::Save(file) && SaveRecordList(file, m_aFrames); }

// ---------------------------------------------------------------------------------------------

cEffectKindData::cEffectKindData() {
  ResetFields();
  m_nKind = 1;
}

void cEffectKindData::DeclareFields(uint32_t) {
  ClearFieldTables();
  QC4_DECLARE(m_nKind);
  QC4_DECLARE(m_anParams);
  QC4_DECLARE(m_strName);
}

namespace {
// Files of version 510 or older lack the roughness parameter that later editors added; it takes
// its table default. p is the 0-based parameter index.
constexpr uint32_t kLastVersionWithoutRoughness = 510;
}  // namespace

cCharaEffectData::cCharaEffectData() = default;

bool cCharaEffectData::Load(cDataFile& file) {
  if (!cRecord::Load(file)) return false;
  if (g_nFileVersion <= kLastVersionWithoutRoughness) {
    if (m_nKind == 4 || m_nKind == 5) m_anParams[4] = CharaEffectParam(m_nKind, 4).nDefault;
    if (m_nKind == 10) m_anParams[3] = CharaEffectParam(m_nKind, 3).nDefault;
  }
  return true;
}

cScrEffectData::cScrEffectData() = default;

bool cScrEffectData::Load(cDataFile& file) {
  if (!cRecord::Load(file)) return false;
  if (g_nFileVersion <= kLastVersionWithoutRoughness) {
    if (m_nKind == 6 || m_nKind == 7) m_anParams[4] = ScrEffectParam(m_nKind, 4).nDefault;
    if (m_nKind == 10) m_anParams[3] = ScrEffectParam(m_nKind, 3).nDefault;
  }
  return true;
}

// ---------------------------------------------------------------------------------------------

cPictureData::cPictureData() { ResetFields(); }

void cPictureData::DeclareFields(uint32_t version) {
  ClearFieldTables();
  if (version >= 151) QC4_DECLARE(m_nSettingS);
  QC4_DECLARE(m_strName);
  QC4_DECLARE(m_strFileName);
}

bool cPictureData::Load(cDataFile& file) {
  if (!cRecord::Load(file)) return false;
  if (g_nFileVersion < kSettingSValidFrom) m_nSettingS = 0;
  return true;
}

cSoundData::cSoundData() { ResetFields(); }

void cSoundData::DeclareFields(uint32_t version) {
  ClearFieldTables();
  // Declared as name, S, file name; on disk the numeric group still precedes both strings.
  QC4_DECLARE(m_strName);
  if (version >= 151) QC4_DECLARE(m_nSettingS);
  QC4_DECLARE(m_strFileName);
}

bool cSoundData::Load(cDataFile& file) {
  if (!cRecord::Load(file)) return false;
  if (g_nFileVersion < kSettingSValidFrom) m_nSettingS = 0;
  return true;
}

cBgmData::cBgmData() {
  ResetFields();
  m_nVolume = 100;
}

void cBgmData::DeclareFields(uint32_t version) {
  ClearFieldTables();
  if (version >= 151) QC4_DECLARE(m_nSettingS);
  if (version >= 814) QC4_DECLARE(m_nVolume);
  QC4_DECLARE(m_strName);
  QC4_DECLARE(m_strFileName);
}

bool cBgmData::Load(cDataFile& file) {
  if (!cRecord::Load(file)) return false;
  if (g_nFileVersion < kSettingSValidFrom) m_nSettingS = 0;
  return true;
}
