// The project's global settings, kept in "data\System.dat" and written by the editor: the game title,
// the game rules, the legacy-behaviour switches that keep games made with older editors playing as
// they did, the system texts and menus, the status-display entries, the per-mode ranking settings,
// the menu-scene music and the "System.ini" keys with their defaults.
//
// One instance exists, g_SystemData, built with the project defaults and then loaded over from
// "data\System.dat" at start-up. A legacy switch is 1 for games saved by an editor older than the
// version in its name and 0 for new games; the code that reads it keeps its older behaviour while
// it is 1.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/record.h"

// A menu entry: enabled flag and caption. Disabled entries are skipped by the menus.
class cCmd : public cRecord {
 public:
  cCmd();
  cCmd(int32_t enabled, std::string caption);
  void DeclareFields(uint32_t version) override;

  int32_t m_bEnabled = 1;
  std::string m_strCaption;
};

// A status-display entry of the head-up display.
class cSysEntry : public cRecord {
 public:
  cSysEntry();
  void DeclareFields(uint32_t version) override;
  bool Load(cDataFile& file) override;

  int32_t m_bShown = 0;
  int32_t m_bIconLabel = 0;   // 1: the number 16 pixels right of the entry; 0: label then number
  int32_t m_nWidthCells = 0;  // extra panel width in 16-pixel cells
  int32_t m_bShowNumber = 0;  // gauge entries also print their value
  int32_t m_nLowThreshold = 0;
  int32_t m_bLowPercent = 0;
  std::string m_strLabel;
};

// Per-mode ranking setting: enabled, and one byte per ranking kind.
class cSysFlags : public cRecord {
 public:
  cSysFlags();
  void DeclareFields(uint32_t version) override;
  bool Load(cDataFile& file) override;
  bool Save(cDataFile& file) override;

  int32_t m_bEnabled = 0;
  std::vector<uint8_t> m_abKinds;
};

// A "System.ini" key with its default: type 0 number (m_nDefault), 1 text (m_strDefault).
class cSysParam : public cRecord {
 public:
  cSysParam();
  void DeclareFields(uint32_t version) override;

  int32_t m_nType = 0;
  int32_t m_nDefault = 0;
  std::string m_strName;
  std::string m_strDefault;
};

void SetNumberKey(cSysParam& entry, const char* name, int32_t def);
void SetTextKey(cSysParam& entry, const char* name, const char* text);

// Index in the list of the n-th enabled entry (n from 0); 0 when there are fewer enabled entries.
int GetCmdNum(int n, const std::vector<cCmd>& list);
// Number of enabled entries.
int GetCmdCount(const std::vector<cCmd>& list);

// Minimum lengths the program indexes the lists with; a loaded file with shorter lists is padded
// to these from the defaults.
constexpr int kCarryOverCount = 25;
constexpr int kStatusItemCount = 5;
constexpr int kGameModeCount = 4;
constexpr int kRankingKindCount = 5;
constexpr int kSystemTextCount = 39;
constexpr int kSystemSoundCount = 17;
constexpr int kSceneBgmCount = 6;
constexpr int kTitleMenuCount = 7;
constexpr int kMapMenuCount = 4;
constexpr int kOptionMenuCount = 10;
constexpr int kRankRegChoiceCount = 4;
constexpr int kReplayChoiceCount = 3;
constexpr int kIniKeyCount = 11;

class cSystemData : public cRecord {
 public:
  cSystemData();

  void DeclareFields(uint32_t version) override;
  bool Load(cDataFile& file) override;
  bool Save(cDataFile& file) override;

  // Resets every field and list to the values a new project starts with.
  void SetSystemDefaults();
  // Every scene music number not below the number of database music records becomes 0.
  void ClampSceneBgm();

  // Number of ranking kinds used by a game mode; 0 when its ranking is disabled.
  int CountModeFlags(int mode) const;
  // Left edge that centres the system texts first..first+count-1 (widest, in characters, plus one
  // column for the cursor) on centreX, at 16 dots per column.
  int GetMenuLeft(int centreX, int first, int count, int cursor) const;
  // The joined menu text ("%s\n" each, " %s\n" with the cursor column) and its box size in dots.
  std::string BuildSystemMenuText(int first, int count, int cursor, int* width, int* height) const;
  // Whether a gauge entry (2 HP, 3 SP) is low for value of max.
  bool IsGaugeLow(int entry, int value, int max) const;

  // Declared fields, in file order.
  std::string m_strTitle;
  int32_t m_bScoreExtend = 0;
  int32_t m_nExtendScore = 0;
  int32_t m_bPauseKey = 0;
  int32_t m_bStageDrawOpt = 0;
  int32_t m_nFontOpt = 0;
  int32_t m_nFontFace = 0;
  int32_t m_bFontOpt966 = 0;
  int32_t m_nFontOpt170 = 0;
  int32_t m_bKeepTestFlows = 0;
  int32_t m_bLegacy855 = 0;
  int32_t m_bReplayOn = 0;
  int32_t m_bReplayKeys = 0;
  int32_t m_nReplayNameBy = 0;
  int32_t m_bFileDialogs = 0;
  int32_t m_nTitleOpt157 = 0;
  int32_t m_nTitleOpt821 = 0;
  int32_t m_bShowOptionHelp = 0;
  std::string m_strOptionHelp;
  int32_t m_nMapOptA = 0;
  int32_t m_nStageOpt191 = 0;
  int32_t m_nMapOpt191 = 0;
  int32_t m_bForceSaveOnClear = 0;
  int32_t m_nSaveVarCount = 0;
  int32_t m_nMenuOptA = 0;
  int32_t m_nMapOpt167a = 0;
  int32_t m_nMenuOpt167a = 0;
  int32_t m_bRetryRestore0 = 0;
  int32_t m_nStageOpt224a = 0;
  int32_t m_nMenuOpt167b = 0;
  int32_t m_nMenuOpt167c = 0;
  int32_t m_bRetryRestore1 = 0;
  int32_t m_nStageOpt224b = 0;
  int32_t m_bRetryRestore2 = 0;
  int32_t m_bRetryRestore3 = 0;
  int32_t m_nViewMask = 0;
  uint8_t m_byColour187R = 0;
  uint8_t m_byColour187G = 0;
  uint8_t m_byColour187B = 0;
  int32_t m_bLegacy214 = 0;
  int32_t m_nDiscarded221 = 0;  // read from files 221-259 and thrown away
  int32_t m_bLegacy261 = 0;
  int32_t m_nStageOpt272 = 0;
  int32_t m_nGraphicOpt287 = 0;
  int32_t m_nPaletteStep = 0;
  int32_t m_nPaletteOpt289 = 0;
  int32_t m_nStageOpt757 = 0;
  int32_t m_bLegacy525 = 0;
  int32_t m_bLegacy555 = 0;
  int32_t m_nSummonOpt637 = 0;
  int32_t m_bLegacy669 = 0;
  int32_t m_bLegacy677 = 0;
  int32_t m_bLegacy695 = 0;
  int32_t m_bLegacy696 = 0;
  int32_t m_bLegacy697 = 0;
  int32_t m_bLegacy721 = 0;
  int32_t m_bLegacy728 = 0;
  int32_t m_bLegacy733 = 0;
  int32_t m_bLegacy744 = 0;
  int32_t m_bLegacy749 = 0;
  int32_t m_bLegacy752 = 0;
  int32_t m_bLegacy763a = 0;
  int32_t m_bLegacy763b = 0;
  int32_t m_bLegacy768 = 0;
  int32_t m_bLegacy773 = 0;
  int32_t m_bLegacy781 = 0;
  int32_t m_bLegacy782 = 0;
  int32_t m_bLegacy783 = 0;
  int32_t m_bLegacy793 = 0;
  int32_t m_bLegacy805 = 0;
  int32_t m_bLegacy808 = 0;
  int32_t m_bLegacy818a = 0;
  int32_t m_bLegacy818b = 0;
  int32_t m_bLegacy819 = 0;
  int32_t m_bLegacy822 = 0;
  int32_t m_bLegacy827 = 0;
  int32_t m_bLegacy831 = 0;
  int32_t m_bLegacy833 = 0;
  int32_t m_bLegacy837 = 0;
  int32_t m_bLegacy839 = 0;
  int32_t m_bLegacy841 = 0;
  int32_t m_bLegacy845a = 0;
  int32_t m_bLegacy845b = 0;
  int32_t m_bLegacy845c = 0;
  int32_t m_nStageOpt845 = 0;
  int32_t m_bLegacy861 = 0;
  int32_t m_bLegacy875 = 0;
  int32_t m_bLegacy894 = 0;
  int32_t m_bLegacy895 = 0;
  int32_t m_bLegacy896 = 0;
  int32_t m_bLegacy897 = 0;
  int32_t m_bLegacy904 = 0;
  int32_t m_bLegacy912 = 0;
  int32_t m_bLegacy913 = 0;
  int32_t m_bLegacy981 = 0;
  int32_t m_bLegacy986 = 0;
  int32_t m_nDisplayOpt670a = 0;
  int32_t m_nDisplayOpt670b = 0;
  int32_t m_nDisplayOpt880 = 0;

  // The lists after the record body, in file order.
  std::vector<uint8_t> m_abCarryOver;
  std::vector<uint8_t> m_abCarryOverClear;
  std::vector<cSysEntry> m_aStatusItems;
  std::vector<int32_t> m_anStartLives;
  std::vector<int32_t> m_anModeOpt;  // per game kind (story, challenge, free, replay): unlimited lives
  std::vector<cSysFlags> m_aModeRanking;
  std::vector<std::string> m_astrTexts;
  std::vector<std::string> m_astrSystemSounds;
  std::vector<int32_t> m_anSceneBgm;
  std::vector<uint8_t> m_abSceneBgm;
  std::vector<cCmd> m_aTitleMenu;
  std::vector<cCmd> m_aMapMenu;
  std::vector<cCmd> m_aOptionMenu;
  std::vector<std::string> m_astrRankRegChoices;
  std::vector<std::string> m_astrReplaySaveChoices;
  std::vector<std::string> m_astrReplayOrderChoices;
  std::vector<cSysParam> m_aIniKeys;

 private:
  void Upgrade(uint32_t version);
  void PadShortLists();
};

extern cSystemData& g_SystemData;  // in g_GameData (data/game_data.h)
