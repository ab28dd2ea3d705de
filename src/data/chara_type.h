#pragma once
// A kind of character: control, graphic and animation set, effects, collision options,
// placement offsets, status values, conditions, flows and the settings it inherits from another
// character type. Character types are palette entries; placed characters (the hero among them) are
// full character types carrying their map cell. Fields the character code gives the meaning of
// carry their position in the record (m_nOpt<n>).
#include <cstdint>
#include <string>
#include <vector>

#include "core/record.h"
#include "data/cond.h"
#include "data/flow.h"

constexpr int kCharaInheritGroups = 37;

// A placed character that carries no item.
constexpr int32_t kNoCarriedItem = -1;

class cCharaType : public cRecord {
 public:
  cCharaType();
  void DeclareFields(uint32_t version) override;
  bool Load(cDataFile& file) override;
  bool Save(cDataFile& file) override;

  // Fields to their defaults; conditions and flows are left alone.
  void ResetCharaType();
  void ApplyCharaInheritance();
  void ValidateCharaType();
  // Palette references of the flows' commands, once the palettes are loaded.
  void ValidateCharaTypeFlows();

  // n x step + offset along an axis, negated when direction is 1 and the axis's mirror flag is set.
  double PlaceOffsetX(int n, int direction) const;
  double PlaceOffsetY(int n, int direction) const;

  int16_t m_nCellX = 0;
  int16_t m_nCellY = 0;
  // Placement: index into the stage's placed items that the character carries, kNoCarriedItem none.
  // A reset type holds 0: the stage editor writes the value for every character it places.
  int32_t m_nCarriedItem = 0;
  std::vector<uint8_t> m_abInherit;
  std::vector<cCond> m_aConds;
  std::vector<cFlow> m_aFlows;

  int8_t m_nInheritKind = 0;      // 1
  int16_t m_nInheritIndex = 0;    // 2
  int8_t m_nCondMode = 0;         // 3
  int8_t m_bCondLatch = 0;        // 4
  int8_t m_nFacing = 0;           // 5: 0 left, 1 right
  int8_t m_nOpt6 = 0;             // 6: cleared for player-controlled types
  int16_t m_nPlaceOffsetX = 0;    // 7
  int16_t m_nPlaceStepX = 0;      // 8
  int16_t m_nPlaceOffsetY = 0;    // 9
  int16_t m_nPlaceStepY = 0;      // 10
  int8_t m_bMirrorX = 0;          // 11
  int8_t m_bMirrorY = 0;          // 12
  int16_t m_nGraphic = 0;         // 13: 0 no graphic
  int8_t m_nGraphicKind = 1;      // 14: 4 = a character picture of the database
  int16_t m_nGraphicSub = 0;      // 15
  int16_t m_nAnimeSet = 0;        // 16
  int8_t m_nLayer = 3;            // 17: 0-7
  int8_t m_nOpt18 = 0;            // 18
  int16_t m_nCharaEffect = 0;     // 19: character effect applied when built
  int8_t m_nCharaEffectOptA = 0;  // 20
  int8_t m_nCharaEffectOptB = 1;  // 21
  int16_t m_nDefeatEffect = 0;    // 22: character effect played at defeat
  int8_t m_nDefeatEffectOpt = 0;  // 23
  int8_t m_bBadge = 0;            // 24
  int16_t m_nBadge = 0;           // 25: icon index 0-119
  int8_t m_nControl = 1;          // 26: 0 player, 1 computer
  int8_t m_nPlayer = 0;           // 27
  int8_t m_nOpt28 = 1;            // 28
  int8_t m_nCharaId = 0;          // 29: 0-99
  int8_t m_nMoveMode = 0;         // 30: 0 walking, 1-3 flying
  int8_t m_nOpt31 = 1;            // 31
  int8_t m_nOpt32 = 0;            // 32
  int8_t m_nOpt33 = 0;            // 33
  int8_t m_bBlockChara = 0;       // 34: acts as a 32 x 32 block
  int8_t m_nScale = 1;            // 35: 1-10
  int8_t m_nOpt36 = 0;            // 36
  int8_t m_nViewMode = 0;         // 37
  int8_t m_nViewRange = 0;        // 38: half blocks, 0-40
  int32_t m_nMaxHp = 10;          // 39
  int32_t m_nMaxSp = 0;           // 40
  int16_t m_nStopEase = 10;       // 41: 0-200
  int8_t m_nSizeMode = 0;         // 42: character box size mode 0-3
  int32_t m_nBodyPower = 0;       // 43
  int8_t m_nBodyImpact = 0;       // 44: -20..20
  int16_t m_nHitEffect = 0;       // 45: database effect shown when hit by a body
  int32_t m_nDefence = 0;         // 46
  int8_t m_nImpactResist = 0;     // 47: 0-20
  int32_t m_nScore = 0;           // 48
  int8_t m_nOpt49 = 1;            // 49
  int8_t m_bGroupFlag = 0;        // 50
  int16_t m_nGroup = 0;           // 51
  int8_t m_nActiveRange = 0;      // 52
  int8_t m_nActiveMode = 0;       // 53
  std::string m_strName;

 private:
  void Upgrade(uint32_t version);
};

// Index of the hero among placed characters: the first with a graphic and player control; -1.
int FindHeroIndex(const std::vector<cCharaType>& placed);
