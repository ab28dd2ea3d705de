#pragma once
// A flow: one event program of a character, block, item command or the stage — a trigger,
// conditions, an optional key-input sequence and a list of commands — and its key-input steps.
#include <cstdint>
#include <string>
#include <vector>

#include "core/record.h"
#include "data/cond.h"
#include "data/flow_cmd.h"

// Number of direction keys and buttons a key step has a state for.
constexpr int kKeyStateCount = 19;
// Flows inside commands inside flows: files nested deeper than this are refused.
constexpr int kMaxFlowNesting = 16;

// One step of a key-input sequence.
class cKeyCond : public cRecord {
 public:
  cKeyCond();
  void DeclareFields(uint32_t version) override;
  bool Load(cDataFile& file) override;
  bool Save(cDataFile& file) override;

  std::vector<uint8_t> m_anKeyStates;  // per key: 0 ignored, 1 pressed, 2 released
  int8_t m_bFacingRelative = 0;
  int16_t m_nMinHold = 0;
  int16_t m_nMaxHold = 0;
  int8_t m_bAnyHold = 0;
  int8_t m_nKeyLogic = 0;  // 0 all, 1 at least one, 2 exactly one
};

class cFlow : public cRecord {
 public:
  cFlow();
  void DeclareFields(uint32_t version) override;
  // Reads the flow, upgrades old trigger codes, empties the name and validates.
  bool Load(cDataFile& file) override;
  bool Save(cDataFile& file) override;

  // Nothing that makes the flow do anything: no group, id, trigger, condition, key step or command.
  bool IsEmpty() const;

  std::string m_strName;  // the editor's name; emptied on load
  int8_t m_nGroup = 0;
  int8_t m_nFlowId = 0;  // 0 none, 1-26
  int8_t m_bTestPlayOnly = 0;
  std::vector<cCond> m_aConds;
  int8_t m_nCondMode = 0;  // 0 all, 1 any
  int8_t m_bCondLatch = 0;
  int8_t m_nTrigger = 0;  // row of the trigger table
  int8_t m_bPartnerToTarget = 0;
  int8_t m_nTargetSlot = 0;
  int8_t m_nKeyStepGap = 3;
  int8_t m_bKeyRepeat = 0;
  std::vector<cKeyCond> m_aKeyConds;
  std::vector<cFlowCmd> m_aCmds;

 private:
  void UpgradeTrigger(uint32_t version);
};

void ValidateFlow(cFlow& flow);
void ClampFlowPaletteRefs(cFlow& flow);
// int32 count, then that many flows (each made new, then loaded).
bool ReadFlowList(cDataFile& file, std::vector<cFlow>& flows);
bool WriteFlowList(cDataFile& file, std::vector<cFlow>& flows);
void AssignFlowVector(std::vector<cFlow>& target, const std::vector<cFlow>& source);
void AssignKeyCondVector(std::vector<cKeyCond>& target, const std::vector<cKeyCond>& source);
// Removes every flow flagged test-play-only, keeping the order of the others.
void EraseTestPlayFlows(std::vector<cFlow>& flows);
// EraseTestPlayFlows unless a test play runs or the project keeps test-play flows.
void FilterTestPlayFlows(std::vector<cFlow>& flows);
