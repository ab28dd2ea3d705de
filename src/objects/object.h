#pragma once
// The base of everything that moves on a stage (characters, items, shots): position and motion as
// doubles in stage dots, a hit box and a graphic box with a scale, the animation sequencer, and what
// every kind of object shares: gravity, friction, the per-sub-step speed limit, clamps against the
// stage's limits with their result codes, the screen rectangle, visibility, keep areas, the block
// test, and the steering and searches of the move-to commands and the aiming shots.
//
// Coordinates are stage dots from the top-left of the whole block map (margins included); a map
// cell of a dot is dot >> 5 after truncation toward zero. Speeds are dots per logic sub-step.
#include <cstdint>
#include <list>

#include "core/numbers.h"
#include "data/stage_data.h"
#include "objects/anim_seq.h"

class cBlock;
class cCharaBase;
class cCmdState;
class cEdMove;

// Result codes of ClampToStageX / ClampToStageY (mode 2 gives all of them).
enum : int {
  kClampInside = 0,
  kClampOutsideInner = 1,  // y: above the inner top
  kClampOutsideOuter = 2,  // y: above the outer top
  kClampMapEdge = 3,       // y: at the map's top edge
  kClampBelowInner = 4,    // y only
  kClampBelowOuter = 5,    // y only
  kClampMapBottom = 6,     // y only
};

class cObject {
 public:
  // Zeroes the rectangles, boxes, position, cells, speeds, impacts and flags.
  cObject() = default;
  cObject(const cObject&) = default;
  cObject& operator=(const cObject&) = default;

  // Virtual slots, in this order.
  // 1: destroys the object (the sequencer frees its pattern lists).
  virtual ~cObject() = default;
  // 2: member-wise copy of every cObject field, the animation's pattern lists included.
  virtual void AssignObject(const cObject& source);
  // 3: sizes to their base values x newScale, ShiftForScale, AdjustAfterResize, RecomputeHitBox;
  // nothing when the scales are equal.
  virtual void SetScale(int newScale, int oldScale, int anchor);
  // 4: scales the derived classes' own boxes.
  virtual void RecomputeHitBox(int scale) {}
  // 5: moves the object after a resize (characters keep their feet, items their bottom).
  virtual void AdjustAfterResize(int newScale, int oldScale, int anchor) {}
  // 6, 7: refresh the derived classes' hit rectangles from x (or y).
  virtual void UpdateHitRectX() {}
  virtual void UpdateHitRectY() {}
  // 8-13: put the graphic centre on a point (characters); the AndStop forms zero the command
  // state's velocity.
  virtual void MoveCentreTo(int x, int y) {}
  virtual void MoveCentreToAndStop(int x, int y, cCmdState& state) {}
  virtual void MoveCentreXTo(int x) {}
  virtual void MoveCentreXToAndStop(int x, cCmdState& state) {}
  virtual void MoveCentreYTo(int y) {}
  virtual void MoveCentreYToAndStop(int y, cCmdState& state) {}

  // Stores the arguments (base and scaled sizes equal), the reserved value 2147483647, loads the
  // pattern list and starts the animation (forced) when one is given, zeroes speeds, impacts and
  // the active, on-screen and extra flags, then SetFlyingMode(flightMode).
  void InitObject(int number, int control, int player, int kind, int graphic, const std::vector<cFrameScript>* patterns,
                  int anime, int hitOffsetX, int hitOffsetY, int width, int height, int graphicWidth, int graphicHeight,
                  int facing, int flightMode, int clone);
  // 0 walking (gravity, flight mode 1), 1 flying through blocks, 2 flying, 3 flying and dying on a
  // block; other values change nothing.
  void SetFlyingMode(int mode);
  // Where grid placement puts the hit box on a map cell of the stage (counted from the stage's first
  // cell, inside the margin): x = (column + origin) x 32 + base hit offset x + 0.5, y = (row +
  // origin) x 32 + base hit offset y.
  double GridDotX(int column) const;
  double GridDotY(int row) const;
  // Keeps the horizontal centre of the hit box across a scale change, then ClampToStageX(2).
  void ShiftForScale(int newScale, int oldScale);
  // Clamps x to the inner limits (mode 0), the outer limits (1) or the whole map (2); refreshes x2,
  // the hit rectangle and the two columns. The limit code (kClamp...).
  int ClampToStageX(int mode);
  int ClampToStageY(int mode);
  // Speed limited to the per-sub-step limit, added to the position, then the clamp of mode.
  int MoveObjX(int mode);
  int MoveObjY(int mode);
  // Adds the stage's gravity to the vertical speed unless gravity-free (shots and items).
  // The speed a step starts from: the automatic scroll's for an object that moves with it (both axes
  // when it flies), else 0 (vertical only when it flies: gravity keeps its fall).
  void StartStepSpeed();
  void ApplyGravity();
  // Moves a speed toward 0 by the friction, stopping at 0, when enabled.
  void ApplyFriction(double& speed, int enabled) const;
  // +1 facing right, -1 facing left.
  int FacingSign() const;
  // The graphic box on screen from the position and the scroll.
  void UpdateScreenRect();
  // The hit box overlaps the 640 x 480 view.
  bool IsOnScreen() const;
  // IsOnScreen leaving out the axes asked for.
  bool IsOnScreenAxes(int skipX, int skipY) const;
  // Inside the whole map (1) or the outer limits (0).
  bool IsInsideStage(int wholeMap) const;
  // Beyond a keep area around the view (never while on screen; always at the map's edge).
  bool IsBeyondKeepArea(const cStageQuad& area) const;
  // One of the four corner cells holds a block solid for the object's kind number.
  bool CornersInSolidTile() const;
  // Steers the command state toward a point on screen (the move-to commands) with the state's
  // speed, writing its velocity and facing result. On arrival, when the command stops on the point
  // (M21), the graphic centre is put on the point and the state's velocity zeroed (the screen
  // rectangles of both objects are refreshed first unless the command accelerates, M31). 1 on
  // arrival; 0 otherwise and when the arrival test is not asked. The other object's rectangle may
  // be refreshed, hence not const.
  int MoveTowardPoint(cCmdState& state, cObject* other, int targetX, int targetY, int ownSync, int arrivalTest);
  int MoveTowardX(cCmdState& state, cObject* other, int targetX, int ownSync, int arrivalTest);
  int MoveTowardY(cCmdState& state, cObject* other, int targetY, int ownSync, int arrivalTest);
  // The target of a move relative to the own graphic centre on screen and the state's offsets.
  void CommandTargetPoint(int& x, int& y, const cCmdState& state) const;
  // The nearest character to the own graphic centre (FindNearestCharaTo).
  cCharaBase* FindNearestToCentre(const std::list<cCharaBase*>& list) const;
  // The graphic centre on screen: screen left + graphic width / 2 (integer halving), likewise y.
  int ScreenCentreX() const { return m_ScreenRect.left + m_nGraphicWidth / 2; }
  int ScreenCentreY() const { return m_ScreenRect.top + m_nGraphicHeight / 2; }

  int32_t m_nNumber = 0;      // object number given by the creator
  int32_t m_nReserved = 0;    // 2147483647 after InitObject
  int32_t m_nFacing = 0;      // 0 left, 1 right
  int16_t m_nClone = 0;       // index among the objects of one summon; scales per-clone command terms
  int32_t m_nGraphic = 0;     // graphic number given at initialisation
  cAnimSeq m_Anim;            // the object's animation
  cIntRect m_ScreenRect;      // graphic box on screen, refreshed by UpdateScreenRect
  int32_t m_nHitOffsetX = 0;  // hit box inside the graphic box (scaled)
  int32_t m_nHitOffsetY = 0;
  int32_t m_nGraphicWidth = 0;  // graphic box size (scaled)
  int32_t m_nGraphicHeight = 0;
  int32_t m_nBaseHitOffsetX = 0;  // the same four at scale 1
  int32_t m_nBaseHitOffsetY = 0;
  int32_t m_nBaseGraphicWidth = 0;
  int32_t m_nBaseGraphicHeight = 0;
  int32_t m_nControl = 0;  // 0 player, 1 computer (type field 26)
  int32_t m_nPlayer = 0;   // input record a player-controlled character reads (type field 27)
  int32_t m_nKind = 0;     // kind number (type field 28): block-test kind, group, link matching
  double m_dX = 0.0;       // left and top of the hit box
  double m_dY = 0.0;
  double m_dX2 = 0.0;  // right and bottom: x + width - 1, y + height - 1 after every move
  double m_dY2 = 0.0;
  int32_t m_nCellX = 0;  // map cells of x, y, x2, y2
  int32_t m_nCellY = 0;
  int32_t m_nCellX2 = 0;
  int32_t m_nCellY2 = 0;
  double m_dSpeedX = 0.0;  // dots per sub-step
  double m_dSpeedY = 0.0;
  double m_dImpactX = 0.0;  // push received from others, dots per sub-step
  double m_dImpactY = 0.0;
  double m_dFriction = 0.0;  // taken from a speed per friction step
  int32_t m_bFrictionX = 0;  // per-axis friction switches of the character moves
  int32_t m_bFrictionY = 0;
  int32_t m_bSyncScroll = 0;  // moves with the automatic scroll
  int32_t m_nWidth = 0;       // hit box size (scaled)
  int32_t m_nHeight = 0;
  int32_t m_nBaseWidth = 0;  // hit box size at scale 1
  int32_t m_nBaseHeight = 0;
  int32_t m_bGravityFree = 0;  // flying: gravity does not act
  uint8_t m_nFlightMode = 0;   // 0, 1 or 2 (SetFlyingMode)
  int32_t m_bActive = 0;       // inside its activity range this frame (set by the stage)
  int32_t m_bOnScreen = 0;     // on screen this frame (set by the stage); never removed by keep areas
  uint8_t m_bExtra = 0;        // cleared at initialisation; the derived classes' own
};

// Search filters of the character searches; each test only when asked.
struct CHARAFILTER {
  int bById = 0;  // character ID (type field 29) equal to nId
  int nId = 0;
  int bExcludeNumber = 0;  // object number different from nExcludeNumber
  int nExcludeNumber = 0;
  int bNotInvincible1 = 0;  // invincibility status (type field 32) not 1
  int bNotInvincible2 = 0;  // invincibility status not 2
  int bNotBlockChara = 0;   // type field 34 clear
  int bByVar = 0;           // character variable nVar compared with nOperand by nCompare (0-7)
  int nVar = 0;
  int nCompare = 0;
  int nOperand = 0;
};

// The knock-back launch: from power (half blocks) and a direction, the speed that decays by 1/n per
// sub-step and covers 16 x |component| dots; nothing for power 0.
void LaunchSpeeds(double& speedX, double& speedY, int8_t power, double dirX, double dirY, double* prevKnockY);
// Wave-motion terms of the wave move and the wave trajectory; both advance the accumulator.
double WaveSpeed(double amplitude, double frequency, double& phase, double step, double offset);
double WaveAccel(double amplitude, double frequency, double& phase, double step, double offset);
// Steering from a source toward a target point on screen (diagonal when speed < 0); with the
// arrival test, 1 on arrival. May return early leaving the speeds and facing unwritten.
int AimAtPoint(double& speedX, double& speedY, int& facing, const cObject* other, double srcX, double srcY, double dstX,
               double dstY, double speed, int ownSync, int noDiagonal, int arrivalTest);
int AimAtX(double& speedX, double& speedY, int& facing, const cObject* other, double src, double dst, double speed,
           int ownSync, int arrivalTest);
int AimAtY(double& speedX, double& speedY, int& facing, const cObject* other, double src, double dst, double speed,
           int ownSync, int arrivalTest);
// The searches pass over dead characters.
bool PassesCharaFilter(const cCharaBase& chara, const CHARAFILTER& filter);
cCharaBase* FindCharaInList(const std::list<cCharaBase*>& list, const CHARAFILTER& filter);
// Walks the link list from its end; the first link of the slot whose character passes.
cCharaBase* FindLinkedChara(const cCharaBase& chara, int slot, const CHARAFILTER& filter, int byKind, int kind);
// Smallest |cx - x| + |cy - y| over graphic centres on screen; mode 0 on-screen first, 1 any
// active, 2 active on screen.
cCharaBase* FindNearestChara(int x, int y, const std::list<cCharaBase*>& list, int mode, const CHARAFILTER* filter);
// Mode 2 when the stage limits nearest searches to the screen, else mode 0; no filter.
cCharaBase* FindNearestCharaTo(int x, int y, const std::list<cCharaBase*>& list);
// CornersInSolidTile for an object's kind number at another rectangle (the push-out's trial place,
// tested on a snapshot instead of a copy of the character): the cells of the rectangle's corners.
bool CornersInSolidTileObj(const cObject& object, const cDblRect& rect);
// The block of a map cell of the stage's block table, or null outside it: a column outside the
// table's row (it would reach into the next row) or a row above or below the table holds no block.
cBlock* BlockAtCell(int column, int row);
// The movement settings of a command state's command (defaults when it has none).
const cEdMove& MoveSettingsOf(const cCmdState& state);
// Moves a value toward 0 by step, stopping at 0; true when the step would have carried it past 0.
bool StepTowardZero(double& value, double step);
// x / n / 60.
double StepsToSeconds(double x);
// The game surface slot to draw from: its mirrored twin 18 slots on when the graphics layer keeps
// twins and the twin is wanted (or the slot holds no image).
int SurfaceSlotFor(int slot, int mirrored);
