#pragma once
// Movement settings (cEdMove) of the movement and warp commands, and shot settings (cEdShot) of
// the shot, sword and summon commands; a shot object embeds a cEdShot as its description.
// Fields are named after their roles where the loader or normaliser depends on them; the others
// carry their position (M<n>, S<n>) and are read by the command bodies and the shot object.
#include <cstdint>
#include <memory>

#include "core/record.h"

class cEdMove : public cRecord {
 public:
  cEdMove();
  void DeclareFields(uint32_t version) override;
  bool Load(cDataFile& file) override;

  int8_t m_nMoveKind = 0;     // M1: 0 by direction, 1 toward a point (warp: how the place is given)
  int8_t m_nDirection = 0;    // M2: row of the direction table
  int16_t m_nAngle = 0;       // M3: angle base in degrees
  int16_t m_nAngleStep = 0;   // M4: angle per unit of the character's index value
  int8_t m_bAngleMirror = 1;  // M5: 360 - angle while facing right
  int8_t m_nM6 = 1;
  int8_t m_nM7 = 1;
  int16_t m_nCellX = 0;  // M8
  int16_t m_nCellY = 0;  // M9
  int16_t m_nDotX = 0;   // M10
  int16_t m_nDotY = 0;   // M11
  int8_t m_nM12 = 0;
  int8_t m_nOffsetUnit = 0;  // M13
  int8_t m_nM14 = 0;
  int8_t m_nM15 = 1;
  int8_t m_bLockX = 0;           // M16
  int8_t m_bLockY = 0;           // M17
  int8_t m_bMirrorX = 1;         // M18
  int8_t m_bMirrorY = 0;         // M19
  int8_t m_bTurnWithFacing = 1;  // M20
  int8_t m_nM21 = 0;
  int8_t m_nM22 = 0;
  int8_t m_nM23 = 0;
  int16_t m_nSpeed = 10;     // M24
  int16_t m_nSpeedStep = 0;  // M25
  int16_t m_nM26 = 0;
  int16_t m_nM27 = 0;
  int8_t m_nM28 = 0;
  int16_t m_nM29 = 0;
  int16_t m_nM30 = 0;
  int8_t m_bSecondSpeed = 0;   // M31
  int16_t m_nSecondSpeed = 0;  // M32
  double m_dM33 = 1.0;
  int8_t m_nAnimeChoice = 0;  // M34: 0 move animation, 1 still, 2 the command's own
  int8_t m_nM35 = 0;
};

class cEdShot : public cRecord {
 public:
  cEdShot();
  void DeclareFields(uint32_t version) override;
  bool Load(cDataFile& file) override;
  bool Save(cDataFile& file) override;

  // S26 at least 1; an effect number outside the database becomes 0.
  void Normalise();
  // Offset of shot n (from 0) of a pattern; negated when direction is 1 and the mirror flag is set.
  double ShotOffsetX(int n, int direction) const;
  double ShotOffsetY(int n, int direction) const;

  int8_t m_nPerRow = 0;         // S1
  int8_t m_nShotKind = 0;       // S2: 0-5
  int16_t m_anPattern[3] = {};  // S3
  int8_t m_nTargetChoice = 0;   // S4
  int8_t m_nDirection = 0;      // S5
  int8_t m_bAim = 0;            // S6
  int8_t m_nTargetSlot = 0;     // S7
  int16_t m_nAngle = 0;         // S8
  int16_t m_nAngleStep = 0;     // S9
  int8_t m_bAngleMirror = 1;    // S10
  int16_t m_nSpread = 0;        // S11
  int8_t m_nS12 = 0;
  int8_t m_nExtraShots = 0;  // S13
  int16_t m_nOffsetX = 0;    // S14
  int16_t m_nStepX = 0;      // S15
  int16_t m_nOffsetY = 0;    // S16
  int16_t m_nStepY = 0;      // S17
  int8_t m_bMirrorX = 1;     // S18
  int8_t m_bMirrorY = 0;     // S19
  int16_t m_nGraphic = 0;    // S20: 0-119
  int8_t m_nS21 = 0;
  int8_t m_bHidden = 0;         // S22
  int8_t m_bUserBlockTest = 1;  // S23
  int8_t m_nShotGroup = 0;      // S24
  int8_t m_nS25 = 0;
  int8_t m_nSize = 1;  // S26: half-blocks, at least 1
  int8_t m_nS27 = 0;
  int8_t m_nTrajectory = 0;        // S28: trajectory, or the sword type of a sword command
  int16_t m_anTrajectory[3] = {};  // S29
  int8_t m_nTargetSlot2 = 0;       // S30
  int8_t m_bFollowScroll = 0;      // S31
  int16_t m_nSpeed = 0;            // S32
  int16_t m_nSpeedStep = 0;        // S33
  int8_t m_bAccel = 0;             // S34
  int16_t m_nAccel = 0;            // S35
  int16_t m_nAccelStep = 0;        // S36
  int16_t m_nDistance = 0;         // S37
  int8_t m_bDistanceLimit = 0;     // S38
  int16_t m_nDistanceStep = 0;     // S39
  int8_t m_bStopAtLimit = 0;       // S40
  int8_t m_bTimeLimit = 0;         // S41
  int16_t m_nTime = 0;             // S42
  int16_t m_nTimeStep = 0;         // S43
  int8_t m_bThroughBlocks = 0;     // S44
  int8_t m_nS45 = 0;
  int8_t m_nS46 = 0;
  int8_t m_nS47 = 0;
  int8_t m_nS48 = 0;
  int32_t m_nPower = 0;  // S49
  int16_t m_nS50 = 0;
  int8_t m_nImpact = 0;      // S51
  int16_t m_nEffect = 0;     // S52
  int8_t m_nItemKind = 0;    // S53: 0 none, 1 common palette, 2 stage palette
  int16_t m_nItemIndex = 0;  // S54
  int8_t m_nS55 = 0;
  int8_t m_nS56 = 0;
  int8_t m_nS57 = 0;
  int8_t m_nSummonPalette = 0;  // S58: 0 common, 1 stage
  int16_t m_nSummonIndex = 0;   // S59
  int8_t m_nS60 = 0;
  int8_t m_nS61 = 0;
  int8_t m_nS62 = 0;
  int8_t m_nS63 = 0;
  int8_t m_nS64 = 0;
};

// The clone rule of the settings records: the target gets a fresh record with the source's
// contents, or nothing when the source has none. Settings are never shared.
std::shared_ptr<cEdMove> CloneEdMove(const std::shared_ptr<cEdMove>& source);
std::shared_ptr<cEdShot> CloneEdShot(const std::shared_ptr<cEdShot>& source);
