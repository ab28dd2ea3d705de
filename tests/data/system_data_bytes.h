// "data\System.dat" bytes built from the file's field and list tables, independent of the code's
// own declarations.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "byte_builder.h"

// Rows and packed builders are laid out by hand, one record or field group a line.
// clang-format off
struct cSystemFieldSpec {
  const char* name;
  uint32_t from;
  uint32_t to;  // last version that holds the field
  int size;
};

constexpr uint32_t kAll = 0;
constexpr uint32_t kNoEnd = 0xFFFFFFFFu;

// Numeric fields in file order.
inline const std::vector<cSystemFieldSpec>& SystemFieldSpecs() {
  static const std::vector<cSystemFieldSpec> specs = {
      {"m_bScoreExtend", 185, kNoEnd, 4},   {"m_nExtendScore", kAll, kNoEnd, 4},
      {"m_bPauseKey", 838, kNoEnd, 4},      {"m_bStageDrawOpt", kAll, kNoEnd, 4},
      {"m_nFontOpt", kAll, kNoEnd, 4},      {"m_nFontFace", 205, kNoEnd, 4},
      {"m_bFontOpt966", 966, kNoEnd, 4},    {"m_nFontOpt170", 170, kNoEnd, 4},
      {"m_bKeepTestFlows", 113, kNoEnd, 4}, {"m_bLegacy855", 855, kNoEnd, 4},
      {"m_bReplayOn", 184, kNoEnd, 4},      {"m_bReplayKeys", 943, kNoEnd, 4},
      {"m_nReplayNameBy", 933, kNoEnd, 4},  {"m_bFileDialogs", 943, kNoEnd, 4},
      {"m_nTitleOpt157", 157, kNoEnd, 4},   {"m_nTitleOpt821", 821, kNoEnd, 4},
      {"m_bShowOptionHelp", 932, kNoEnd, 4}, {"m_nMapOptA", kAll, kNoEnd, 4},
      {"m_nStageOpt191", 191, kNoEnd, 4},   {"m_nMapOpt191", 191, kNoEnd, 4},
      {"m_bForceSaveOnClear", 915, kNoEnd, 4}, {"m_nSaveVarCount", kAll, kNoEnd, 4},
      {"m_nMenuOptA", kAll, kNoEnd, 4},     {"m_nMapOpt167a", 167, kNoEnd, 4},
      {"m_nMenuOpt167a", 167, kNoEnd, 4},   {"m_bRetryRestore0", 188, kNoEnd, 4},
      {"m_nStageOpt224a", 224, kNoEnd, 4},  {"m_nMenuOpt167b", 167, kNoEnd, 4},
      {"m_nMenuOpt167c", 167, kNoEnd, 4},   {"m_bRetryRestore1", 188, kNoEnd, 4},
      {"m_nStageOpt224b", 224, kNoEnd, 4},  {"m_bRetryRestore2", 188, kNoEnd, 4},
      {"m_bRetryRestore3", 192, kNoEnd, 4}, {"m_nViewMask", 187, kNoEnd, 4},
      {"m_byColour187R", 187, kNoEnd, 1},   {"m_byColour187G", 187, kNoEnd, 1},
      {"m_byColour187B", 187, kNoEnd, 1},   {"m_bLegacy214", 214, kNoEnd, 4},
      {"(discarded)", 221, 259, 4},         {"m_bLegacy261", 261, kNoEnd, 4},
      {"m_nStageOpt272", 272, kNoEnd, 4},   {"m_nGraphicOpt287", 287, kNoEnd, 4},
      {"m_nPaletteStep", 515, kNoEnd, 4},   {"m_nPaletteOpt289", 289, kNoEnd, 4},
      {"m_nStageOpt757", 757, kNoEnd, 4},   {"m_bLegacy525", 525, kNoEnd, 4},
      {"m_bLegacy555", 555, kNoEnd, 4},     {"m_nSummonOpt637", 637, kNoEnd, 4},
      {"m_bLegacy669", 669, kNoEnd, 4},     {"m_bLegacy677", 677, kNoEnd, 4},
      {"m_bLegacy695", 695, kNoEnd, 4},     {"m_bLegacy696", 696, kNoEnd, 4},
      {"m_bLegacy697", 697, kNoEnd, 4},     {"m_bLegacy721", 721, kNoEnd, 4},
      {"m_bLegacy728", 728, kNoEnd, 4},     {"m_bLegacy733", 733, kNoEnd, 4},
      {"m_bLegacy744", 744, kNoEnd, 4},     {"m_bLegacy749", 749, kNoEnd, 4},
      {"m_bLegacy752", 752, kNoEnd, 4},     {"m_bLegacy763a", 763, kNoEnd, 4},
      {"m_bLegacy763b", 763, kNoEnd, 4},    {"m_bLegacy768", 768, kNoEnd, 4},
      {"m_bLegacy773", 773, kNoEnd, 4},     {"m_bLegacy781", 781, kNoEnd, 4},
      {"m_bLegacy782", 782, kNoEnd, 4},     {"m_bLegacy783", 783, kNoEnd, 4},
      {"m_bLegacy793", 793, kNoEnd, 4},     {"m_bLegacy805", 805, kNoEnd, 4},
      {"m_bLegacy808", 808, kNoEnd, 4},     {"m_bLegacy818a", 818, kNoEnd, 4},
      {"m_bLegacy818b", 818, kNoEnd, 4},    {"m_bLegacy819", 819, kNoEnd, 4},
      {"m_bLegacy822", 822, kNoEnd, 4},     {"m_bLegacy827", 827, kNoEnd, 4},
      {"m_bLegacy831", 831, kNoEnd, 4},     {"m_bLegacy833", 833, kNoEnd, 4},
      {"m_bLegacy837", 837, kNoEnd, 4},     {"m_bLegacy839", 839, kNoEnd, 4},
      {"m_bLegacy841", 841, kNoEnd, 4},     {"m_bLegacy845a", 845, kNoEnd, 4},
      {"m_bLegacy845b", 845, kNoEnd, 4},    {"m_bLegacy845c", 845, kNoEnd, 4},
      {"m_nStageOpt845", 845, kNoEnd, 4},   {"m_bLegacy861", 861, kNoEnd, 4},
      {"m_bLegacy875", 875, kNoEnd, 4},     {"m_bLegacy894", 894, kNoEnd, 4},
      {"m_bLegacy895", 895, kNoEnd, 4},     {"m_bLegacy896", 896, kNoEnd, 4},
      {"m_bLegacy897", 897, kNoEnd, 4},     {"m_bLegacy904", 904, kNoEnd, 4},
      {"m_bLegacy912", 912, kNoEnd, 4},     {"m_bLegacy913", 913, kNoEnd, 4},
      {"m_bLegacy981", 981, kNoEnd, 4},     {"m_bLegacy986", 986, kNoEnd, 4},
      {"m_nDisplayOpt670a", 670, kNoEnd, 4}, {"m_nDisplayOpt670b", 670, kNoEnd, 4},
      {"m_nDisplayOpt880", 880, kNoEnd, 4},
  };
  return specs;
}

inline bool SpecHolds(const cSystemFieldSpec& s, uint32_t v) { return v >= s.from && v <= s.to; }

// The lists after the record body, with their contents.
struct cSystemLists {
  std::vector<uint8_t> carryOver = std::vector<uint8_t>(25, 0);
  std::vector<uint8_t> carryOverClear = std::vector<uint8_t>(25, 0);
  // status entries: shown, icon label, width, show number (204), low threshold (587),
  // low percent (587), label
  struct Status {
    int32_t shown, iconLabel, width, showNumber, low, lowPercent;
    std::string label;
  };
  std::vector<Status> status = std::vector<Status>(5, Status{1, 1, 0, 0, 0, 0, "s"});
  std::vector<int32_t> startLives = {5, 5, 5, 99};
  std::vector<int32_t> modeOpt = {1, 1, 1, 1};
  struct Ranking {
    int32_t enabled;
    std::vector<uint8_t> kinds;
  };
  std::vector<Ranking> ranking = std::vector<Ranking>(4, Ranking{1, {1, 1, 1, 1, 1}});
  std::vector<std::string> texts;
  std::vector<std::string> sounds = std::vector<std::string>(17);
  std::vector<int32_t> sceneBgm = std::vector<int32_t>(6, 0);
  std::vector<uint8_t> sceneBgmOn = std::vector<uint8_t>(6, 1);
  struct Cmd {
    int32_t enabled;
    std::string caption;
  };
  std::vector<Cmd> titleMenu = std::vector<Cmd>(7, Cmd{1, "t"});
  std::vector<Cmd> mapMenu = std::vector<Cmd>(4, Cmd{1, "m"});
  std::vector<Cmd> optionMenu = std::vector<Cmd>(10, Cmd{1, "o"});
  std::vector<std::string> rankReg = std::vector<std::string>(4, "r");
  std::vector<std::string> replaySave = std::vector<std::string>(3, "s");
  std::vector<std::string> replayOrder = std::vector<std::string>(3, "p");
  struct Key {
    int32_t type, def;
    std::string name, text;
  };
  std::vector<Key> iniKeys = std::vector<Key>(11, Key{0, 0, "k", ""});

  cSystemLists() {
    for (int i = 0; i < 39; ++i) texts.push_back("t" + std::to_string(i));
  }
};

// A whole file: header, body (values by field name, others 0), the two strings and the lists.
inline std::vector<uint8_t> SystemDatBytes(uint32_t version, const std::map<std::string, int64_t>& values,
                                           const cSystemLists& lists = cSystemLists(),
                                           const std::string& title = "title",
                                           const std::string& help = "help") {
  cByteBuilder b;
  b.U32(version);
  int32_t n = 0;
  for (const auto& s : SystemFieldSpecs()) n += SpecHolds(s, version) ? 1 : 0;
  b.I32(n);
  for (const auto& s : SystemFieldSpecs()) {
    if (!SpecHolds(s, version)) continue;
    auto it = values.find(s.name);
    const int64_t v = it == values.end() ? 0 : it->second;
    if (s.size == 1)
      b.U8(static_cast<uint8_t>(v));
    else
      b.I32(static_cast<int32_t>(v));
  }
  b.I32(version >= 932 ? 2 : 1);
  b.Str(title);
  if (version >= 932) b.Str(help);

  auto byteList = [&](const std::vector<uint8_t>& l) {
    b.I32(static_cast<int32_t>(l.size()));
    for (uint8_t x : l) b.U8(x);
  };
  auto intList = [&](const std::vector<int32_t>& l) {
    b.I32(static_cast<int32_t>(l.size()));
    for (int32_t x : l) b.I32(x);
  };
  auto textList = [&](const std::vector<std::string>& l) {
    b.I32(static_cast<int32_t>(l.size()));
    for (const auto& t : l) b.Str(t);
  };
  auto cmdList = [&](const std::vector<cSystemLists::Cmd>& l) {
    b.I32(static_cast<int32_t>(l.size()));
    for (const auto& c : l) b.I32(1).I32(c.enabled).I32(1).Str(c.caption);
  };

  byteList(lists.carryOver);
  if (version >= 501) byteList(lists.carryOverClear);
  b.I32(static_cast<int32_t>(lists.status.size()));
  for (const auto& s : lists.status) {
    const int32_t fields = 3 + (version >= 204 ? 1 : 0) + (version >= 587 ? 2 : 0);
    b.I32(fields).I32(s.shown).I32(s.iconLabel).I32(s.width);
    if (version >= 204) b.I32(s.showNumber);
    if (version >= 587) b.I32(s.low).I32(s.lowPercent);
    b.I32(1).Str(s.label);
  }
  intList(lists.startLives);
  if (version >= 191) intList(lists.modeOpt);
  if (version >= 186) {
    b.I32(static_cast<int32_t>(lists.ranking.size()));
    for (const auto& r : lists.ranking) {
      b.I32(1).I32(r.enabled).I32(0);
      byteList(r.kinds);
    }
  }
  textList(lists.texts);
  textList(lists.sounds);
  intList(lists.sceneBgm);
  if (version >= 202) byteList(lists.sceneBgmOn);
  cmdList(lists.titleMenu);
  cmdList(lists.mapMenu);
  cmdList(lists.optionMenu);
  if (version >= 674) textList(lists.rankReg);
  if (version >= 961) {
    textList(lists.replaySave);
    textList(lists.replayOrder);
  }
  b.I32(static_cast<int32_t>(lists.iniKeys.size()));
  for (const auto& k : lists.iniKeys) b.I32(2).I32(k.type).I32(k.def).I32(2).Str(k.name).Str(k.text);
  return b.Get();
}
