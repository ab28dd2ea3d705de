#pragma once
// Small records kept in lists by larger files: one text of a stage's text list, and the per-stage
// result, the saved variable and the carried-over hero of the progress save.
#include <cstdint>
#include <string>

#include "core/record.h"
#include "data/chara_type.h"

class cStrRecord : public cRecord {
 public:
  cStrRecord();
  void DeclareFields(uint32_t version) override;
  bool Load(cDataFile& file) override;
  bool Save(cDataFile& file) override;
  std::string m_strText;
};

// The best result of one stage, found by its key.
class cStageResult : public cRecord {
 public:
  cStageResult();
  void DeclareFields(uint32_t version) override;
  // Files before 759 have no key: the stage name serves as one.
  bool Load(cDataFile& file) override;

  int32_t m_anValues[3] = {};  // stored with the stage's first result
  int32_t m_nBest = 0;
  std::string m_strName;
  std::string m_strKey;
};

// Two int32 values (a saved variable; the same layout serves other two-value records).
class cSaveVar : public cRecord {
 public:
  cSaveVar();
  void DeclareFields(uint32_t version) override;
  int32_t m_nValueA = 0;
  int32_t m_nValueB = 0;
};

// The hero carried over by one save slot: five values and its whole character type.
class cSaveHero : public cRecord {
 public:
  cSaveHero();
  void DeclareFields(uint32_t version) override;
  bool Load(cDataFile& file) override;
  bool Save(cDataFile& file) override;

  int32_t m_nItem11 = 0;     // carried value of carry-over item 11
  int32_t m_nItem12 = 0;     // carried value of carry-over item 12
  int32_t m_nTimeLimit = 0;  // item 22: restored into the stage's time limit
  int32_t m_nProgress = 0;   // item 23: restored into the progress save
  int32_t m_nBgm = 0;        // item 24: restored into the stage's music number
  cCharaType m_CharaType;
};
