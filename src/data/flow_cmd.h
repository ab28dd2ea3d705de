#pragma once
// One command of a flow (or of an item's command list): its context and kind, int parameters,
// text, the settings records of movement, shot and condition-list commands, and the flows it
// carries. Loading upgrades every older layout to the newest; normalisation keeps a command
// consistent with its kind's parameter count, the database and the palettes.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/containers.h"
#include "core/record.h"
#include "data/cond.h"
#include "data/move_shot.h"

class cFlow;

// Character-context kinds the records themselves treat specially.
enum : int {
  kCmdShot = 11,
  kCmdSword = 12,
  kCmdSummonBlock = 13,
  kCmdSummonChara = 14,
  kCmdSummonItem = 15,
  kCmdFlowOp = 16,
  kCmdItemGet = 25,
};
// Item-context kind k >= 2 is character-context kind k + 15.
constexpr int kItemCmdKindOffset = 15;
constexpr int kItemCmdItemGet = 10;

class cFlowCmd : public cRecord {
 public:
  cFlowCmd();
  cFlowCmd(const cFlowCmd& other);
  cFlowCmd& operator=(const cFlowCmd& other);
  ~cFlowCmd() override;

  void DeclareFields(uint32_t version) override;
  // Reads the command, upgrades older files, drops test-play-only nested flows unless they are
  // kept, and normalises.
  bool Load(cDataFile& file) override;
  bool Save(cDataFile& file) override;

  // Clears the declared fields and the text, releases the settings records, on-screen sound on.
  void Reset();
  // The character-context kind this command denotes (item kinds mapped), or -1 (item kind 1 "フ
  // ローの変更", or a kind outside its table).
  int CharaKind() const;
  bool IsItemContext() const { return m_nContext != 0; }

  int8_t m_nContext = 0;  // 0 character context, otherwise the item context
  int8_t m_nKind = 0;     // row of the context's kind table
  std::vector<int32_t> m_anParams;
  std::string m_strText;
  std::shared_ptr<cEdMove> m_pMove;
  std::shared_ptr<cEdShot> m_pShot;
  int16_t m_nUseTime = 0;        // tenths of a second
  int16_t m_nUseTimeFactor = 0;  // added per unit of the character's index value
  int8_t m_bRunOn = 0;           // the flow goes on while this command keeps running
  int16_t m_nSound = 0;          // database sound played at the start, 0 none
  int8_t m_bSoundOnScreen = 1;   // the sound plays only while the character is on screen
  int16_t m_nAnime = 0;          // database animation shown while the command runs
  std::shared_ptr<cCondList> m_pCondList;
  std::vector<cFlow> m_aFlows;

 private:
  void Upgrade(uint32_t version);
};

// Parameter i of a command. An index outside its parameters is a range error of the checked access
// (logged, fatal stop) and reads the first one, so a short command from a damaged file never reads
// past its list.
inline int32_t Param(const cFlowCmd& cmd, int i) { return VecAt(cmd.m_anParams, i); }

// int32 count, then that many commands (each made new, then loaded).
bool ReadFlowCmdList(cDataFile& file, std::vector<cFlowCmd>& cmds);
bool WriteFlowCmdList(cDataFile& file, std::vector<cFlowCmd>& cmds);
void AssignFlowCmdVector(std::vector<cFlowCmd>& target, const std::vector<cFlowCmd>& source);

// Database references and the parameter count of the kind; nested flows validated.
void NormaliseFlowCmd(cFlowCmd& cmd);
// Palette references of item-get, shot, sword and summon commands, once the palettes are loaded.
void ClampFlowCmdPaletteRefs(cFlowCmd& cmd);
