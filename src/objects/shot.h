#pragma once
// A projectile or a sword swing fired by a character's shot and sword commands. It carries a copy
// of the command's shot settings as its description, moves by its own velocity plus a trajectory,
// can accelerate, expires by time or distance, stops at blocks, and is drawn from the shot sheet or,
// for a sword, from the sword type's pictures. The stage keeps shots by value in its shot list with
// a per-group index of pointers.
#include <cstdint>
#include <list>
#include <vector>

#include "data/move_shot.h"
#include "objects/chara_base.h"
#include "objects/object.h"

struct DDSURFACEDATA;

// Command kinds that fire shots or place summons.
constexpr int kCmdKindShot = 11;
constexpr int kCmdKindSword = 12;
constexpr int kCmdKindSummonBlock = 13;
constexpr int kCmdKindSummonChara = 14;
constexpr int kCmdKindSummonItem = 15;

// The launch values of one shot of a pattern.
struct SHOTLAUNCH {
  int32_t nIndex = 0;     // pattern index
  double dSpeed = 0.0;    // tenths of a dot per frame
  int32_t nAngle = 0;     // degrees
  int32_t nDistance = 0;  // distance limit, half blocks
  int32_t nTime = 0;      // time limit, tenths of a second
  double dVelX = 0.0;     // velocity
  double dVelY = 0.0;
  int32_t nX = 0;  // position
  int32_t nY = 0;
  int32_t nBaseX = 0;  // base position of the row
  int32_t nBaseY = 0;
  int32_t nRowStepX = 0;  // step between the shots of a row
  int32_t nRowStepY = 0;
  int32_t nWidth = 0;  // 16 x scale
  int32_t nHeight = 0;
  int32_t nOffsetX = 0;  // ShotOffsetX / ShotOffsetY of the pattern index
  int32_t nOffsetY = 0;
  int32_t nDirection = 0;       // direction code
  int32_t bCountsForOwner = 0;  // damage by the shot fires the owner's triggers 20-23
  uint8_t nOwnerArg = 0;        // argument passed with those triggers
};

class cShot : public cObject {
 public:
  // The object part, an empty hit list, default settings (reset, then S23 1, S10 1, S18 1, S19 0,
  // S26 1, S7 0, S30 0), no target, no owner.
  cShot();
  // A copy is not registered with its target and owner (whoever keeps it registers it).
  cShot(const cShot&) = default;
  // Assigning over a registered shot would leave its registrations behind.
  cShot& operator=(const cShot&) = delete;

  // Virtual slots of cObject that shots fill.
  // 1: unregisters from its target and owner (UnlinkShot).
  ~cShot() override;
  // 6: hit rectangle left = trunc(x) + box x, right = left + width - 1.
  void UpdateHitRectX() override;
  // 7: the same vertically.
  void UpdateHitRectY() override;
  // 4: the hit box scaled, ShotClampX, ClampToStageY(2).
  void RecomputeHitBox(int scale) override;
  // 5: y moves up by half the graphic's height change, ClampToStageY(2).
  void AdjustAfterResize(int newScale, int oldScale, int anchor) override;

  // Builds a shot or a sword swing (command kind 12) from the firing character and the launch values.
  void InitShot(int id, cCharaBase& owner, int cmdKind, const cEdShot& settings, const SHOTLAUNCH& launch);
  // One step (trajectory, acceleration, limits); 1 when the shot ends.
  int StepShot();
  // The sword swing's step along the sword type's frame entries; 1 when the swing ends.
  int StepSword();
  void MoveShotX();
  void MoveShotY();
  // Only when narrower than the map: clamps to the map's width (3), else 0; refreshes x2, the hit
  // rectangle and the columns.
  int ShotClampX();
  // A solid block lies under the shot (never for a shot that passes blocks).
  bool ShotHitsBlock() const;
  void DrawShot(DDSURFACEDATA* target, int hold);
  // The velocity's acceleration split along (vx, vy) into the impacts.
  void SplitAcceleration(double velX, double velY, double accel);
  // Removes this shot from its target's and owner's shot links and forgets them.
  void UnlinkShot();
  // Enters this shot in its target's and owner's shot links (once). Only a shot that sits in the
  // stage's list registers: a temporary would leave links to itself behind.
  void RegisterShotLinks();

  int32_t m_nOwnerNumber = 0;    // object number of the firing character
  int32_t m_bIsShot = 0;         // 1 a shot, 0 a sword swing
  int32_t m_nDistanceCount = 0;  // sub-steps before the distance limit acts
  int32_t m_nTimeCount = 0;      // sub-steps before the time limit ends the shot
  int32_t m_bTrajStarted = 0;    // the trajectory's first step is done
  int32_t m_nSwordFrame = 0;     // current frame entry of the sword type
  double m_dAccel = 0.0;         // acceleration per step
  double m_dTrajSpeed = 0.0;     // speed of the aiming and homing trajectories
  double m_dVelX = 0.0;          // the shot's own velocity, added to the speed each step
  double m_dVelY = 0.0;
  int32_t m_bAccelerate = 0;  // the settings ask for acceleration
  int32_t m_nTrajStart = 0;   // aim or homing start step
  int32_t m_nTrajEnd = 0;     // homing end step
  int32_t m_bTrajDone = 0;    // the trajectory is done
  int32_t m_nTrajStep = 0;    // trajectory steps taken (compared with the start and end steps)
  double m_dWavePhase = 0.0;  // wave: phase, and the cross direction's sine and cosine
  double m_dWaveSin = 0.0;
  double m_dWaveCos = 0.0;
  cHitBox m_HitBox;                  // hit rectangle in map dots, box relative to the position, box at scale 1
  std::vector<int32_t> m_HitList;    // object numbers of the characters already hit
  cEdShot m_Settings;                // copy of the firing command's settings
  cCharaBase* m_lpTarget = nullptr;  // the character it aims at (registered in its shot links)
  cCharaBase* m_lpOwner = nullptr;   // the firing character (registered in its shot links)
  int32_t m_bHit = 0;                // cleared at creation
  int32_t m_bCountsForOwner = 0;     // damage by this shot fires the owner's triggers 20-23
  uint8_t m_nOwnerArg = 0;           // argument passed with those triggers
  int32_t m_nSwordStep = 0;          // sword: steps into the current frame entry
  int8_t m_nLayer = 0;               // drawing layer: the firing character's when it fired

  // Read and written by stage play.
  int32_t m_bErase = 0;  // flagged for erasure while the stage defers erasing shots
};

// Removes the shot from its group's index list and from the stage's shot list and destroys it; the
// next position of the shot list.
std::list<cShot>::iterator EraseShot(std::list<cShot>::iterator pos);

// Points sword drawing at the sword pictures stage play has loaded (four per sword type: plain and
// mirrored, then their stretching copies); null draws swings from no surface.
void UseSwordSurfaces(std::vector<DDSURFACEDATA>* surfaces);
