#include "data/system_data.h"

#include <algorithm>

#include "core/containers.h"
#include "core/log.h"
#include "core/strings.h"
#include "data/database.h"

// ---------------------------------------------------------------------------------------------
// Element records

cCmd::cCmd() {
  ResetFields();
  m_bEnabled = 1;
}

cCmd::cCmd(int32_t enabled, std::string caption) : cCmd() {
  m_bEnabled = enabled;
  m_strCaption = std::move(caption);
}

void cCmd::DeclareFields(uint32_t) {
  ClearFieldTables();
  QC4_DECLARE(m_bEnabled);
  QC4_DECLARE(m_strCaption);
}

cSysEntry::cSysEntry() { ResetFields(); }

void cSysEntry::DeclareFields(uint32_t version) {
  ClearFieldTables();
  QC4_DECLARE(m_bShown);
  QC4_DECLARE(m_bIconLabel);
  QC4_DECLARE(m_nWidthCells);
  if (version >= 204) QC4_DECLARE(m_bShowNumber);
  if (version >= 587) {
    QC4_DECLARE(m_nLowThreshold);
    QC4_DECLARE(m_bLowPercent);
  }
  QC4_DECLARE(m_strLabel);
}

bool cSysEntry::Load(cDataFile& file) {
  if (!cRecord::Load(file)) return false;
  if (g_nFileVersion < 204) m_bShowNumber = 1;
  return true;
}

cSysFlags::cSysFlags() {
  ResetFields();
  m_abKinds.assign(kRankingKindCount, 0);
}

void cSysFlags::DeclareFields(uint32_t) {
  ClearFieldTables();
  QC4_DECLARE(m_bEnabled);
}

bool cSysFlags::Load(cDataFile& file) { return cRecord::Load(file) && LoadByteArray(file, m_abKinds); }

bool cSysFlags::Save(cDataFile& file) {
  if (!cRecord::Save(file)) return false;
  SaveByteArray(file, m_abKinds);
  return true;
}

cSysParam::cSysParam() { ResetFields(); }

void cSysParam::DeclareFields(uint32_t) {
  ClearFieldTables();
  QC4_DECLARE(m_nType);
  QC4_DECLARE(m_nDefault);
  QC4_DECLARE(m_strName);
  QC4_DECLARE(m_strDefault);
}

void SetNumberKey(cSysParam& entry, const char* name, int32_t def) {
  entry.m_strName = name;
  entry.m_nType = 0;
  entry.m_nDefault = def;
}

void SetTextKey(cSysParam& entry, const char* name, const char* text) {
  entry.m_strName = name;
  entry.m_nType = 1;
  entry.m_strDefault = text;
}

int GetCmdNum(int n, const std::vector<cCmd>& list) {
  int seen = 0;
  for (size_t i = 0; i < list.size(); ++i) {
    if (!list[i].m_bEnabled) continue;
    if (seen == n) return static_cast<int>(i);
    ++seen;
  }
  DebugErrorBoxf("cCmd::GetCmdNum 番号が不正です！");
  return 0;
}

int GetCmdCount(const std::vector<cCmd>& list) {
  return static_cast<int>(std::count_if(list.begin(), list.end(), [](const cCmd& c) { return c.m_bEnabled != 0; }));
}

// ---------------------------------------------------------------------------------------------
// Field table

void cSystemData::DeclareFields(uint32_t v) {
  ClearFieldTables();
  QC4_DECLARE(m_strTitle);
  if (v >= 185) QC4_DECLARE(m_bScoreExtend);
  QC4_DECLARE(m_nExtendScore);
  if (v >= 838) QC4_DECLARE(m_bPauseKey);
  QC4_DECLARE(m_bStageDrawOpt);
  QC4_DECLARE(m_nFontOpt);
  if (v >= 205) QC4_DECLARE(m_nFontFace);
  if (v >= 966) QC4_DECLARE(m_bFontOpt966);
  if (v >= 170) QC4_DECLARE(m_nFontOpt170);
  if (v >= 113) QC4_DECLARE(m_bKeepTestFlows);
  if (v >= 855) QC4_DECLARE(m_bLegacy855);
  if (v >= 184) QC4_DECLARE(m_bReplayOn);
  if (v >= 943) QC4_DECLARE(m_bReplayKeys);
  if (v >= 933) QC4_DECLARE(m_nReplayNameBy);
  if (v >= 943) QC4_DECLARE(m_bFileDialogs);
  if (v >= 157) QC4_DECLARE(m_nTitleOpt157);
  if (v >= 821) QC4_DECLARE(m_nTitleOpt821);
  if (v >= 932) {
    QC4_DECLARE(m_bShowOptionHelp);
    QC4_DECLARE(m_strOptionHelp);
  }
  QC4_DECLARE(m_nMapOptA);
  if (v >= 191) {
    QC4_DECLARE(m_nStageOpt191);
    QC4_DECLARE(m_nMapOpt191);
  }
  if (v >= 915) QC4_DECLARE(m_bForceSaveOnClear);
  QC4_DECLARE(m_nSaveVarCount);
  QC4_DECLARE(m_nMenuOptA);
  if (v >= 167) {
    QC4_DECLARE(m_nMapOpt167a);
    QC4_DECLARE(m_nMenuOpt167a);
  }
  if (v >= 188) QC4_DECLARE(m_bRetryRestore0);
  if (v >= 224) QC4_DECLARE(m_nStageOpt224a);
  if (v >= 167) {
    QC4_DECLARE(m_nMenuOpt167b);
    QC4_DECLARE(m_nMenuOpt167c);
  }
  if (v >= 188) QC4_DECLARE(m_bRetryRestore1);
  if (v >= 224) QC4_DECLARE(m_nStageOpt224b);
  if (v >= 188) QC4_DECLARE(m_bRetryRestore2);
  if (v >= 192) QC4_DECLARE(m_bRetryRestore3);
  if (v >= 187) {
    QC4_DECLARE(m_nViewMask);
    QC4_DECLARE(m_byColour187R);
    QC4_DECLARE(m_byColour187G);
    QC4_DECLARE(m_byColour187B);
  }
  if (v >= 214) QC4_DECLARE(m_bLegacy214);
  if (v >= 221 && v <= 259) QC4_DECLARE(m_nDiscarded221);
  if (v >= 261) QC4_DECLARE(m_bLegacy261);
  if (v >= 272) QC4_DECLARE(m_nStageOpt272);
  if (v >= 287) QC4_DECLARE(m_nGraphicOpt287);
  if (v >= 515) QC4_DECLARE(m_nPaletteStep);
  if (v >= 289) QC4_DECLARE(m_nPaletteOpt289);
  if (v >= 757) QC4_DECLARE(m_nStageOpt757);
  if (v >= 525) QC4_DECLARE(m_bLegacy525);
  if (v >= 555) QC4_DECLARE(m_bLegacy555);
  if (v >= 637) QC4_DECLARE(m_nSummonOpt637);
  if (v >= 669) QC4_DECLARE(m_bLegacy669);
  if (v >= 677) QC4_DECLARE(m_bLegacy677);
  if (v >= 695) QC4_DECLARE(m_bLegacy695);
  if (v >= 696) QC4_DECLARE(m_bLegacy696);
  if (v >= 697) QC4_DECLARE(m_bLegacy697);
  if (v >= 721) QC4_DECLARE(m_bLegacy721);
  if (v >= 728) QC4_DECLARE(m_bLegacy728);
  if (v >= 733) QC4_DECLARE(m_bLegacy733);
  if (v >= 744) QC4_DECLARE(m_bLegacy744);
  if (v >= 749) QC4_DECLARE(m_bLegacy749);
  if (v >= 752) QC4_DECLARE(m_bLegacy752);
  if (v >= 763) {
    QC4_DECLARE(m_bLegacy763a);
    QC4_DECLARE(m_bLegacy763b);
  }
  if (v >= 768) QC4_DECLARE(m_bLegacy768);
  if (v >= 773) QC4_DECLARE(m_bLegacy773);
  if (v >= 781) QC4_DECLARE(m_bLegacy781);
  if (v >= 782) QC4_DECLARE(m_bLegacy782);
  if (v >= 783) QC4_DECLARE(m_bLegacy783);
  if (v >= 793) QC4_DECLARE(m_bLegacy793);
  if (v >= 805) QC4_DECLARE(m_bLegacy805);
  if (v >= 808) QC4_DECLARE(m_bLegacy808);
  if (v >= 818) {
    QC4_DECLARE(m_bLegacy818a);
    QC4_DECLARE(m_bLegacy818b);
  }
  if (v >= 819) QC4_DECLARE(m_bLegacy819);
  if (v >= 822) QC4_DECLARE(m_bLegacy822);
  if (v >= 827) QC4_DECLARE(m_bLegacy827);
  if (v >= 831) QC4_DECLARE(m_bLegacy831);
  if (v >= 833) QC4_DECLARE(m_bLegacy833);
  if (v >= 837) QC4_DECLARE(m_bLegacy837);
  if (v >= 839) QC4_DECLARE(m_bLegacy839);
  if (v >= 841) QC4_DECLARE(m_bLegacy841);
  if (v >= 845) {
    QC4_DECLARE(m_bLegacy845a);
    QC4_DECLARE(m_bLegacy845b);
    QC4_DECLARE(m_bLegacy845c);
    QC4_DECLARE(m_nStageOpt845);
  }
  if (v >= 861) QC4_DECLARE(m_bLegacy861);
  if (v >= 875) QC4_DECLARE(m_bLegacy875);
  if (v >= 894) QC4_DECLARE(m_bLegacy894);
  if (v >= 895) QC4_DECLARE(m_bLegacy895);
  if (v >= 896) QC4_DECLARE(m_bLegacy896);
  if (v >= 897) QC4_DECLARE(m_bLegacy897);
  if (v >= 904) QC4_DECLARE(m_bLegacy904);
  if (v >= 912) QC4_DECLARE(m_bLegacy912);
  if (v >= 913) QC4_DECLARE(m_bLegacy913);
  if (v >= 981) QC4_DECLARE(m_bLegacy981);
  if (v >= 986) QC4_DECLARE(m_bLegacy986);
  if (v >= 670) {
    QC4_DECLARE(m_nDisplayOpt670a);
    QC4_DECLARE(m_nDisplayOpt670b);
  }
  if (v >= 880) QC4_DECLARE(m_nDisplayOpt880);
}

// ---------------------------------------------------------------------------------------------
// Lists

namespace {

// A text list: int32 count, then each text in the counted-text form. A count of 0 or less empties
// the list.
bool LoadTextList(cDataFile& file, std::vector<std::string>& list) {
  int32_t n = 0;
  if (!ReadListCount(file, n, 4, sizeof(std::string))) return false;
  list.assign(static_cast<size_t>(std::max<int32_t>(n, 0)), std::string());
  for (auto& text : list)
    if (!LoadCountedText(file, text)) return false;
  return true;
}

void SaveTextList(cDataFile& file, std::vector<std::string>& list) {
  file.WriteInt32(static_cast<int32_t>(list.size()));
  for (auto& text : list) SaveCountedText(file, text);
}

// Reads a record list without emptying it first: the list takes the count's length (elements kept
// from before keep the values that the file's version does not carry), then each element loads.
template <class T>
bool LoadRecordListInPlace(cDataFile& file, std::vector<T>& list) {
  int32_t n = 0;
  if (!ReadListCount(file, n, 8, sizeof(T))) return false;
  list.resize(static_cast<size_t>(std::max<int32_t>(n, 0)));
  for (T& e : list)
    if (!e.Load(file)) return false;
  return true;
}

// Fixed-size insertion: elements i..n-2 move up by one, the last one is dropped and element i
// takes the value. The list keeps its length.
template <class T>
void InsertFixed(std::vector<T>& list, int i, T value) {
  if (i < 0 || static_cast<size_t>(i) >= list.size()) return;
  for (size_t k = list.size() - 1; k > static_cast<size_t>(i); --k) list[k] = list[k - 1];
  list[static_cast<size_t>(i)] = std::move(value);
}

template <class T>
void ResizeTo(std::vector<T>& list, size_t n) {
  list.resize(n);
}

// Extends list to at least the length of the default list with the default list's elements.
template <class T>
void PadFrom(std::vector<T>& list, const std::vector<T>& defaults) {
  for (size_t i = list.size(); i < defaults.size(); ++i) list.push_back(defaults[i]);
}

const cSystemData& Defaults() {
  static const cSystemData defaults;
  return defaults;
}

}  // namespace

bool cSystemData::Load(cDataFile& file) {
  if (!cRecord::Load(file)) return false;
  const uint32_t v = g_nFileVersion;
  bool ok = LoadByteArray(file, m_abCarryOver);
  if (ok && v >= 501) ok = LoadByteArray(file, m_abCarryOverClear);
  ok = ok && LoadRecordListInPlace(file, m_aStatusItems);
  ok = ok && LoadValueList(file, m_anStartLives);
  if (ok && v >= 191) ok = LoadValueList(file, m_anModeOpt);
  if (ok && v >= 186) ok = LoadRecordList(file, m_aModeRanking);
  ok = ok && LoadTextList(file, m_astrTexts);
  ok = ok && LoadTextList(file, m_astrSystemSounds);
  ok = ok && LoadValueList(file, m_anSceneBgm);
  if (ok && v >= 202) ok = LoadByteArray(file, m_abSceneBgm);
  ok = ok && LoadRecordList(file, m_aTitleMenu);
  ok = ok && LoadRecordList(file, m_aMapMenu);
  ok = ok && LoadRecordList(file, m_aOptionMenu);
  if (ok && v >= 674) ok = LoadTextList(file, m_astrRankRegChoices);
  if (ok && v >= 961) {
    ok = LoadTextList(file, m_astrReplaySaveChoices);
    ok = ok && LoadTextList(file, m_astrReplayOrderChoices);
  }
  ok = ok && LoadRecordList(file, m_aIniKeys);
  if (!ok) return false;
  if (v < kDataVersion) Upgrade(v);
  PadShortLists();
  ClampSceneBgm();
  return true;
}

bool cSystemData::Save(cDataFile& file) {
  ClampSceneBgm();
  if (!cRecord::Save(file)) return false;
  SaveByteArray(file, m_abCarryOver);
  SaveByteArray(file, m_abCarryOverClear);
  if (!SaveRecordList(file, m_aStatusItems)) return false;
  SaveValueList(file, m_anStartLives);
  SaveValueList(file, m_anModeOpt);
  if (!SaveRecordList(file, m_aModeRanking)) return false;
  SaveTextList(file, m_astrTexts);
  SaveTextList(file, m_astrSystemSounds);
  SaveValueList(file, m_anSceneBgm);
  SaveByteArray(file, m_abSceneBgm);
  if (!SaveRecordList(file, m_aTitleMenu) || !SaveRecordList(file, m_aMapMenu) || !SaveRecordList(file, m_aOptionMenu))
    return false;
  SaveTextList(file, m_astrRankRegChoices);
  SaveTextList(file, m_astrReplaySaveChoices);
  SaveTextList(file, m_astrReplayOrderChoices);
  return SaveRecordList(file, m_aIniKeys);
}

void cSystemData::ClampSceneBgm() {
  const int32_t bgmCount = static_cast<int32_t>(g_Database.m_aBgm.size());
  for (auto& n : m_anSceneBgm)
    if (n >= bgmCount) n = 0;
}

// ---------------------------------------------------------------------------------------------
// Upgrade of older files, one step per version gate, in this order.

void cSystemData::Upgrade(uint32_t v) {
  auto& texts = m_astrTexts;
  if (v < 113) m_bKeepTestFlows = 0;
  if (v < 157) m_nTitleOpt157 = 0;
  if (v < 167) m_nMapOpt167a = m_nMenuOpt167a = m_nMenuOpt167b = m_nMenuOpt167c = 1;
  if (v < 168) {
    ResizeTo(m_abCarryOver, kCarryOverCount);
    InsertFixed<uint8_t>(m_abCarryOver, 16, 1);
  }
  if (v < 169) {
    ResizeTo(m_aMapMenu, kMapMenuCount);
    InsertFixed(m_aMapMenu, 1, cCmd(1, "オートセーブ"));
    ResizeTo(texts, kSystemTextCount);
    InsertFixed<std::string>(texts, 12, "保存先が不明です！一度は「セーブ」して下さい！");
    InsertFixed<std::string>(texts, 12, "オートセーブＯＦＦ");
    InsertFixed<std::string>(texts, 12, "オートセーブＯＮ");
  }
  if (v < 170) m_nFontOpt170 = 0;
  if (v < 181) {
    for (size_t i = 0; i < 4 && i < m_aModeRanking.size(); ++i) {
      auto& kinds = m_aModeRanking[i].m_abKinds;
      kinds.resize(kRankingKindCount);
      kinds[3] = 0;
      kinds[4] = 0;
    }
    ResizeTo(texts, kSystemTextCount);
    InsertFixed<std::string>(texts, 8, "残りHP");
    InsertFixed<std::string>(texts, 9, "残りSP");
  }
  if (v < 184) m_bReplayOn = 1;
  if (v < 185) m_bScoreExtend = 1;
  if (v < 187) {
    m_nViewMask = 0;
    m_byColour187R = 0;
    m_byColour187G = 177;
    m_byColour187B = 0;
  }
  if (v < 188) m_bRetryRestore0 = m_bRetryRestore1 = m_bRetryRestore2 = 1;
  if (v < 191) {
    m_anModeOpt.assign({0, 0, 0, 1});
    m_nStageOpt191 = 0;
    m_nMapOpt191 = 0;
  }
  if (v < 192) m_bRetryRestore3 = 1;
  if (v < 193) {
    ResizeTo(texts, kSystemTextCount);
    InsertFixed<std::string>(texts, 22, "リトライ");
    InsertFixed<std::string>(texts, 23, "マップへ戻る");
  }
  if (v < 201) {
    ResizeTo(m_abCarryOver, kCarryOverCount);
    InsertFixed<uint8_t>(m_abCarryOver, 14, 0);
  }
  if (v < 202) m_abSceneBgm.assign(kSceneBgmCount, 1);
  if (v < 205) m_nFontFace = 60;
  if (v < 210) {
    ResizeTo(m_abCarryOver, kCarryOverCount);
    InsertFixed<uint8_t>(m_abCarryOver, 9, 0);
  }
  if (v < 214) m_bLegacy214 = 1;
  if (v < 224) m_nStageOpt224a = m_nStageOpt224b = 0;
  if (v < 261) m_bLegacy261 = 1;
  if (v < 272) m_nStageOpt272 = 0;
  if (v < 286) {
    ResizeTo(m_aIniKeys, kIniKeyCount);
    cSysParam key;
    SetNumberKey(key, "Direct3D", 1);
    InsertFixed(m_aIniKeys, 0, key);
    if (m_aIniKeys[3].m_nDefault > 2) m_aIniKeys[3].m_nDefault = 2;
  }
  if (v < 287) m_nGraphicOpt287 = 0;
  if (v < 289) m_nPaletteOpt289 = m_nViewMask == 0 ? 1 : 0;
  if (v < 501) m_abCarryOverClear.assign(kCarryOverCount, 0);
  if (v < 515) m_nPaletteStep = 16;
  if (v < 525) m_bLegacy525 = 1;
  if (v < 555) m_bLegacy555 = 1;
  if (v < 567) {
    ResizeTo(m_aIniKeys, kIniKeyCount);
    cSysParam key;
    SetNumberKey(key, "DD_VideoStretch", 0);
    InsertFixed(m_aIniKeys, 4, key);
  }
  if (v < 568) {
    ResizeTo(m_aIniKeys, kIniKeyCount);
    cSysParam key;
    SetNumberKey(key, "D3D_FontCache", 0);
    InsertFixed(m_aIniKeys, 4, key);
    SetNumberKey(key, "DD_FontCache", 1);
    InsertFixed(m_aIniKeys, 5, key);
  }
  if (v < 587) {
    ResizeTo(m_aStatusItems, kStatusItemCount);
    for (int i : {2, 3}) {
      m_aStatusItems[static_cast<size_t>(i)].m_nLowThreshold = 33;
      m_aStatusItems[static_cast<size_t>(i)].m_bLowPercent = 1;
    }
  }
  if (v < 637) m_nSummonOpt637 = v <= 616 ? 1 : 0;
  if (v < 669) m_bLegacy669 = 1;
  if (v < 670) {
    m_nDisplayOpt670a = 0;
    m_nDisplayOpt670b = 2;
  }
  if (v < 672) {
    ResizeTo(m_aIniKeys, kIniKeyCount);
    SetNumberKey(m_aIniKeys[9], "English", 0);
  }
  if (v < 677) m_bLegacy677 = 1;
  if (v < 695) m_bLegacy695 = 1;
  if (v < 696) m_bLegacy696 = 1;
  if (v < 697) m_bLegacy697 = 1;
  if (v < 721) m_bLegacy721 = 1;
  if (v < 728) m_bLegacy728 = 1;
  if (v < 733) m_bLegacy733 = 1;
  if (v < 744) m_bLegacy744 = 1;
  if (v < 749) m_bLegacy749 = 1;
  if (v < 752) m_bLegacy752 = 1;
  if (v < 756) {
    ResizeTo(texts, kSystemTextCount);
    InsertFixed<std::string>(texts, 22, "マップへ戻る");
  }
  if (v < 757) m_nStageOpt757 = 0;
  if (v < 763) m_bLegacy763a = m_bLegacy763b = 1;
  if (v < 768) m_bLegacy768 = 1;
  if (v < 773) m_bLegacy773 = 1;
  if (v < 781) m_bLegacy781 = 1;
  if (v < 782) m_bLegacy782 = 1;
  if (v < 783) m_bLegacy783 = 1;
  if (v < 793) m_bLegacy793 = 1;
  if (v < 805) m_bLegacy805 = 1;
  if (v < 808) m_bLegacy808 = 1;
  if (v < 818) m_bLegacy818a = m_bLegacy818b = 1;
  if (v < 819) m_bLegacy819 = 1;
  if (v < 821) m_nTitleOpt821 = 0;
  if (v < 822) m_bLegacy822 = 1;
  if (v < 827) m_bLegacy827 = 1;
  if (v < 831) m_bLegacy831 = 1;
  if (v >= 817 && v <= 832) m_bLegacy833 = 1;
  if (v < 837) m_bLegacy837 = 1;
  if (v < 838) m_bPauseKey = 1;
  if (v < 839) m_bLegacy839 = 1;
  if (v < 841) m_bLegacy841 = 1;
  if (v < 842) {
    ResizeTo(m_aIniKeys, kIniKeyCount);
    SetNumberKey(m_aIniKeys[10], "Midi_DirectMusic", 1);
  }
  if (v < 845) {
    m_bLegacy845a = m_bLegacy845b = m_bLegacy845c = 1;
    m_nStageOpt845 = v >= 656 ? 1 : 0;
  }
  if (v < 855) m_bLegacy855 = 1;
  if (v < 861) m_bLegacy861 = 1;
  if (v < 875) m_bLegacy875 = 1;
  if (v >= 822 && v <= 893) m_bLegacy894 = 1;
  if (v < 895) m_bLegacy895 = 1;
  if (v >= 890 && v <= 895) m_bLegacy896 = 1;
  if (v < 897) m_bLegacy897 = 1;
  if (v < 904) m_bLegacy904 = 1;
  if (v < 912) m_bLegacy912 = 1;
  if (v < 913) m_bLegacy913 = 1;
  if (v < 932) {
    ResizeTo(m_aOptionMenu, kOptionMenuCount);
    InsertFixed(m_aOptionMenu, 5, cCmd(0, "リプレイ自動保存"));
    InsertFixed(m_aOptionMenu, 6, cCmd(0, "リプレイ再生順"));
    ResizeTo(texts, kSystemTextCount);
    InsertFixed<std::string>(texts, 23, "次のリプレイへ");
    InsertFixed<std::string>(texts, 24, "前のリプレイへ");
    m_bShowOptionHelp = 0;
    m_strOptionHelp.clear();
  }
  if (v < 934) {
    ResizeTo(m_aOptionMenu, kOptionMenuCount);
    InsertFixed(m_aOptionMenu, 7, cCmd(0, "リプレイのメッセージ自動進行秒数"));
  }
  if (v < 942) {
    ResizeTo(m_anSceneBgm, kSceneBgmCount);
    ResizeTo(m_abSceneBgm, kSceneBgmCount);
    InsertFixed(m_anSceneBgm, 3, m_anSceneBgm[3]);
    InsertFixed(m_anSceneBgm, 4, m_anSceneBgm[4]);
    InsertFixed(m_abSceneBgm, 3, m_abSceneBgm[3]);
    InsertFixed(m_abSceneBgm, 4, m_abSceneBgm[4]);
  }
  if (v < 943) {
    m_bReplayKeys = m_bReplayOn;
    m_bFileDialogs = 1;
    ResizeTo(texts, kSystemTextCount);
    InsertFixed<std::string>(texts, 25, "リプレイの選択へ");
    static const char* const kReplayListTexts[7] = {"Cキー：ソートの切り替え",
                                                    "Vキー：エクスプローラーで開く",
                                                    "Aキー：ファイル情報の更新",
                                                    "更新日時順↓（推奨）",
                                                    "更新日時順↑",
                                                    "ファイル名順↓",
                                                    "ファイル名順↑"};
    for (int i = 0; i < 7; ++i) texts[static_cast<size_t>(32 + i)] = kReplayListTexts[i];
  }
  if (v < 952) {
    ResizeTo(m_aOptionMenu, kOptionMenuCount);
    InsertFixed(m_aOptionMenu, 1, cCmd(1, "ゲームパッド"));
  }
  if (v < 966) m_bFontOpt966 = 0;
  if (v == 980) m_bLegacy981 = 1;
  if (v < 986) m_bLegacy986 = 1;
}

// Lists the program indexes by fixed positions are never shorter than the defaults: a file (of any
// version) that carries fewer elements gets the missing ones from the defaults.
void cSystemData::PadShortLists() {
  const cSystemData& d = Defaults();
  PadFrom(m_abCarryOver, d.m_abCarryOver);
  PadFrom(m_abCarryOverClear, d.m_abCarryOverClear);
  PadFrom(m_aStatusItems, d.m_aStatusItems);
  PadFrom(m_anStartLives, d.m_anStartLives);
  PadFrom(m_anModeOpt, d.m_anModeOpt);
  PadFrom(m_aModeRanking, d.m_aModeRanking);
  for (auto& mode : m_aModeRanking)
    if (mode.m_abKinds.size() < kRankingKindCount) mode.m_abKinds.resize(kRankingKindCount, 0);
  PadFrom(m_astrTexts, d.m_astrTexts);
  PadFrom(m_astrSystemSounds, d.m_astrSystemSounds);
  PadFrom(m_anSceneBgm, d.m_anSceneBgm);
  PadFrom(m_abSceneBgm, d.m_abSceneBgm);
  PadFrom(m_aTitleMenu, d.m_aTitleMenu);
  PadFrom(m_aMapMenu, d.m_aMapMenu);
  PadFrom(m_aOptionMenu, d.m_aOptionMenu);
  PadFrom(m_astrRankRegChoices, d.m_astrRankRegChoices);
  PadFrom(m_astrReplaySaveChoices, d.m_astrReplaySaveChoices);
  PadFrom(m_astrReplayOrderChoices, d.m_astrReplayOrderChoices);
  PadFrom(m_aIniKeys, d.m_aIniKeys);
}

// ---------------------------------------------------------------------------------------------
// Readers used by the menus and the head-up display

int cSystemData::CountModeFlags(int mode) const {
  const cSysFlags& flags = VecAt(m_aModeRanking, mode);
  if (!flags.m_bEnabled) return 0;
  return static_cast<int>(
      std::count_if(flags.m_abKinds.begin(), flags.m_abKinds.end(), [](uint8_t b) { return b != 0; }));
}

namespace {
int WidestText(const std::vector<std::string>& texts, int first, int count) {
  int widest = 0;
  for (int i = first; i < first + count; ++i) widest = std::max(widest, CountSjisChars(VecAt(texts, i).c_str()));
  return widest;
}
}  // namespace

int cSystemData::GetMenuLeft(int centreX, int first, int count, int cursor) const {
  const int columns = WidestText(m_astrTexts, first, count) + (cursor ? 1 : 0);
  return centreX - (columns * 16) / 2;
}

std::string cSystemData::BuildSystemMenuText(int first, int count, int cursor, int* width, int* height) const {
  std::string text;
  if (count <= 0) {
    if (width) *width = 0;
    if (height) *height = 0;
    return text;
  }
  for (int i = first; i < first + count; ++i) {
    if (cursor) text += ' ';
    text += VecAt(m_astrTexts, i);
    text += '\n';
  }
  if (width) *width = (WidestText(m_astrTexts, first, count) + (cursor ? 1 : 0)) * 16;
  if (height) *height = count * 16;
  return text;
}

bool cSystemData::IsGaugeLow(int entry, int value, int max) const {
  const cSysEntry& e = VecAt(m_aStatusItems, entry);
  if (e.m_bLowPercent) {
    if (max == 0) return value < 0;  // with no maximum only a negative value counts as low
    return e.m_nLowThreshold >= value * 100.0 / max;
  }
  return value <= e.m_nLowThreshold;
}
