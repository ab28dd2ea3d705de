#pragma once
// Conditions: one test a flow, a placed block, a character's appearance, an item or a
// flow-operation command can require (a variable or status comparison, a state test or a distance
// test), and the condition list carried by a flow-operation command.
#include <cstdint>
#include <vector>

#include "core/record.h"

// Condition kinds.
enum : int8_t {
  kCondNone = 0,
  kCondCommonVar = 1,
  kCondStageVar = 2,
  kCondCharaVar = 3,
  kCondStatus = 4,
  kCondStatus2 = 5,
  kCondState = 6,
  kCondDistance = 7,
};

class cCond : public cRecord {
 public:
  cCond();
  void DeclareFields(uint32_t version) override;
  // The record body of the file's version, then the upgrades of older files.
  bool Load(cDataFile& file) override;

  int8_t m_nKind = 0;
  int32_t m_nOperand = 0;     // kinds 1-3, 5: compared value; 4: constant right side; 7: range (hbl)
  int32_t m_nRandLow = 0;     // kind 4: random right side, lower bound
  int32_t m_nRandHigh = 0;    // kind 4: random right side, upper bound
  int8_t m_nLeftWhose = 0;    // 0 self, 1-4 target 1-4, 5 system (kind 7: 0 hero, 1-4 targets)
  int8_t m_nLeftWhich = 0;    // status row / state / (kind 7) area colour
  int8_t m_nLeftSource = 0;   // kind 4: 0 status, 1 variable, 2 flow variable; kind 7: area display
  int8_t m_nLeftVarKind = 0;  // 0 common, 1 stage variable
  int16_t m_nVarIndex = 0;    // kinds 1-3: the variable; kind 4: the left variable
  int8_t m_nLeftFlowVar = 0;  // kind 4: 1 flow variable A, 2 B
  int8_t m_nRightSource = 0;  // kind 4: 0 constant, 1 random, 2 status, 3 variable, 4 flow variable
  int8_t m_nRightWhose = 0;
  int8_t m_nRightWhich = 0;
  int8_t m_nRightVarKind = 0;
  int16_t m_nRightVarIndex = 0;  // kind 4: right variable; kind 7: extra range in dots
  int8_t m_nRightFlowVar = 0;
  int8_t m_nOperator = 0;  // kinds 1-5: comparison code; kind 7: 0 inside, 1 outside
  int8_t m_bPercent = 0;   // kind 4: operand is a percentage of the status's maximum
  int8_t m_nLeftExtra1 = 0;
  int8_t m_nRightExtra1 = 0;
  int8_t m_nLeftExtra2 = 0;
  int8_t m_nRightExtra2 = 0;
  int8_t m_nShape = 0;  // kind 7: area shape 0-6

 private:
  void Upgrade(uint32_t version);
  // Files older than 110 hold two int16 in place of four later fields; read and dropped.
  int16_t m_nOldValueA = 0;
  int16_t m_nOldValueB = 0;
};

// The condition list of a flow-operation command.
class cCondList : public cRecord {
 public:
  cCondList();
  void DeclareFields(uint32_t version) override;
  bool Load(cDataFile& file) override;
  bool Save(cDataFile& file) override;

  int8_t m_bUse = 0;   // 1: the conditions are tested
  int8_t m_nMode = 0;  // 0 all must hold, 1 at least one
  std::vector<cCond> m_aConds;
};

// int32 count, then that many conditions (each made new, then loaded).
bool ReadCondVector(cDataFile& file, std::vector<cCond>& conds);
bool WriteCondVector(cDataFile& file, std::vector<cCond>& conds);
void AssignCondVector(std::vector<cCond>& target, const std::vector<cCond>& source);
// The per-condition validation hook of the type records; conditions need no repair.
inline void ValidateCond(cCond&) {}
