#pragma once
// The base of every character, the hero (cHero) and all others (cChara): its own copy of its
// character type with the type's flows and their running states, the four target slots and the
// parent with the back-links that keep them consistent, motion, contact and knock-back state, life
// and special points with their gauges, nine character variables, invincibility, overlay
// animations, a character effect, and the boxes used against other characters and shots.
//
// The operations are grouped by what they do: building and links (chara_base.cpp, chara_links.cpp),
// motion and contacts (chara_motion.cpp), the movement arithmetic of the commands
// (chara_move_cmd.cpp), damage and defeat (chara_damage.cpp), drawing (chara_draw*.cpp,
// chara_anim_pattern.cpp, chara_gauges.cpp, draw_modes.cpp).
//
// Characters live by value in g_CharaList (a list) and g_HeroList (a vector sized once before any
// link is made): other characters and shots hold pointers to them, so a character is linked only
// once it sits in its list, and its destructor unlinks it. A copy carries the same pointers without
// being known to anyone; it may be destroyed safely but must not outlive the characters it names.
#include <cstdint>
#include <list>
#include <vector>

#include "core/numbers.h"
#include "data/anim_scripts.h"
#include "data/block_type.h"
#include "data/chara_type.h"
#include "objects/anim_seq.h"
#include "objects/flow_state.h"
#include "objects/object.h"

struct DDSURFACEDATA;
struct GRAPHICSOURCE;
class cItem;
class cShot;

// Exclusive flow ids are 1-26; the per-id byte vectors have one entry more.
constexpr int kFlowIdSlots = 27;
constexpr int kCharaVarCount = 9;
constexpr int kTargetSlots = 4;
// Link slot of a child (the linked character was summoned by this one).
constexpr int kLinkChild = 4;
// Kinds of a shot link: the shot aims at this character, or was fired by it.
constexpr int kShotLinkTarget = 0;
constexpr int kShotLinkOwner = 4;

// A back-link: lpChara holds this character in its target slot nSlot (0-3), or is its child (4).
struct cCharaLink {
  cCharaBase* lpChara = nullptr;
  int32_t nSlot = 0;
  bool operator==(const cCharaLink&) const = default;
};

// A shot that refers to this character: as its target (kind 0) or as its owner (kind 4).
struct cShotLink {
  cShot* lpShot = nullptr;
  int32_t nKind = 0;
  bool operator==(const cShotLink&) const = default;
};

// Invincibility against one attacker.
struct cInvincibleEntry {
  int32_t nKey = 0;    // the attacker's key (its object number)
  int32_t nTicks = 0;  // ticks left; the entry goes at 0
};

// A life or special-point gauge on screen.
struct cGauge {
  int32_t nShowTimer = 0;    // frames left to show it
  double dChange = 0.0;      // moving part: the change in gauge units (dots of 50)
  double dChangeStep = 0.0;  // moving part per frame
  int32_t nLength = 0;       // filled length in dots of 50
};

// A box relative to the object position (scaled and at scale 1) and its rectangle in map dots.
struct cHitBox {
  cDblRect rect;   // left, top, right, bottom (edges inclusive)
  int32_t nX = 0;  // offset, size (scaled)
  int32_t nY = 0;
  int32_t nWidth = 0;
  int32_t nHeight = 0;
  int32_t nBaseX = 0;  // the same at scale 1
  int32_t nBaseY = 0;
  int32_t nBaseWidth = 0;
  int32_t nBaseHeight = 0;
};

// A box of w x h centred in the 32 x 32 cell of a graphic whose hit box sits at (hitOffsetX,
// hitOffsetY); the same values at scale 1.
void SetCentredBox(cHitBox& box, int width, int height, int hitOffsetX, int hitOffsetY);
// A size or offset at a scale, wrapping as 32-bit arithmetic does (sizes come from stage data).
int ScaledSize(int size, int scale);
// The box at a scale: scale x its values at scale 1.
void ScaleHitBox(cHitBox& box, int scale);
// The box's rectangle from the position truncated to whole dots: left = x + offset, right = left +
// width - 1 (top and bottom likewise).
void PlaceHitBoxX(cHitBox& box, int x);
void PlaceHitBoxY(cHitBox& box, int y);

// The fields of a character: everything a character copy carries. cCharaBase adds the operations
// and a copy that points the copied flow states at the copy's own flows.
class cCharaFields : public cObject {
 public:
  std::vector<cCharaBase*> m_apTargets = std::vector<cCharaBase*>(kTargetSlots);  // tg1-tg4; null when empty
  cCharaBase* m_lpParent = nullptr;     // the character that summoned this one
  std::vector<cCharaLink> m_aLinks;     // who targets this character (slot 0-3) and its children (4)
  std::vector<cShotLink> m_aShotLinks;  // shots that refer to this character
  int32_t m_nCounterA = 0;              // two counters, 0 after initialisation, kept for the final classes
  int32_t m_nCounterB = 0;
  cCharaType m_Type;                      // the character's own type copy; its flow vector is the character's flows
  int32_t m_nFlowSerial = 0;              // serial of the next new flow state
  std::vector<cFlowState> m_aFlowStates;  // one per flow of m_Type, same order
  std::vector<uint8_t> m_abInUse;         // per exclusive flow id 0-26: a trigger-0 flow holds the id
  std::vector<uint8_t> m_abRelease;       // the id is released at the end of the frame step
  std::vector<uint8_t> m_abStartedFrame;  // a flow of the id started in this frame
  // Triggers and steps of this character's flows running now (nested): removing or adding flows
  // waits until its frame step ends, with the flows given meanwhile kept here.
  cFlowsBusy m_FlowsBusy;
  std::vector<cDeferredFlows> m_aDeferredFlows;

  // Movement state.
  int32_t m_bReleasePending = 0;  // some release byte is set
  int32_t m_bRemovePending = 0;   // some flow state is flagged for removal
  double m_dHomeX = 0.0;          // start point of the move-to commands (the placement, the home position)
  double m_dHomeY = 0.0;
  int32_t m_bMoved = 0;       // a movement command moved the character in this frame
  int32_t m_nMoveAnime = 0;   // requested basic animation of the movement commands
  int32_t m_nMoveLevel = 0;   // level of that request (a higher level wins)
  double m_dCmdSpeedX = 0.0;  // movement-command speed pair, cleared every frame
  double m_dCmdSpeedY = 0.0;
  int32_t m_bFixedScreenX = 0;  // the two command-move flags: draw at the fixed screen position
  int32_t m_bFixedScreenY = 0;
  int32_t m_nFixedScreenX = 0;  // the screen anchor a screen-coordinate warp leaves
  int32_t m_nFixedScreenY = 0;

  // Knock-back and jump state.
  double m_dKnockX = 0.0;  // knock-back speed still to apply; decays toward 0
  double m_dKnockY = 0.0;
  int32_t m_bKnockStarted = 0;  // set by a knock-back launch, cleared on landing
  double m_dPrevKnockY = 0.0;   // vertical knock-back applied in the previous sub-step
  int32_t m_bMoveDisabled = 0;  // "移動の無効化" ran in this frame: no gravity
  int32_t m_nKnockValue = -1;   // a value set to -1 by initialisation
  // Jump-state flag 1: in the air. Set at placement (a character starts in the air until it first
  // lands), by stage play's bottom test after 8n sub-steps without a floor (m_nAirCount), and when
  // the hero takes a flying form; cleared by every landing.
  int32_t m_bInAir = 1;
  int32_t m_bRiseEnded = 0;          // flag 2: the rise ended
  int32_t m_bTookOff = 0;            // flag 3: took off
  int32_t m_bCeilingHit = 0;         // flag 4: hit a ceiling
  int32_t m_bJumpFlag5 = 0;          // flag 5: a further jump flag
  cBlock* m_lpFloorBlock = nullptr;  // the block under the character in this sub-step
  cBlock* m_lpLandedBlock = nullptr;
  cBlock* m_lpPrevFloorBlock = nullptr;
  int32_t m_nCrushGrace = 0;    // frames during which the hero survives being crushed
  int32_t m_nLastWallSide = 0;  // side of the last block contact: 0 left, 1 right
  int32_t m_bDead = 0;          // 1 after defeat; searches and conditions pass over it

  // Contacts of this frame and the speeds of the objects that touch.
  int32_t m_bContactLeft = 0;
  int32_t m_bContactRight = 0;
  int32_t m_bContactTop = 0;
  int32_t m_bContactBottom = 0;
  double m_dToucherLeft = 0.0;  // horizontal speed of the toucher on that side
  double m_dToucherRight = 0.0;
  double m_dToucherTop = 0.0;  // vertical speed of the toucher on that side
  double m_dToucherBottom = 0.0;
  int32_t m_bLeftRide = 0;  // stepped off a ridden block character this frame
  int32_t m_bRiding = 0;    // standing on a block character
  int32_t m_nRiddenId = 0;  // object number of the ridden character
  cDblRectEx m_PushRect;    // kept by the push-out; its x is the ridden character's x as last seen
  cDblRect m_PrevRect;      // x, y, x2, y2 at the start of the sub-step

  // Life and special points.
  int32_t m_nHp = 0;
  cGauge m_HpGauge;
  int32_t m_nSp = 0;
  cGauge m_SpGauge;
  std::vector<int32_t> m_anVars;                 // character variables "キャラ変数" 0-8
  int32_t m_nInvincible = 0;                     // sub-steps of invincibility left
  std::list<cInvincibleEntry> m_InvincibleFrom;  // invincibility per attacker
  cAnimOverlayList m_Overlays;                   // animations drawn over the character, tagged with a flow serial
  cCharaEffectPlay m_CharaEffect;                // the running character effect
  int32_t m_nViewRange = 0;                      // type field 38 x 16 (dots)
  cHitBox m_CharaBox;                            // against other characters (SetCharaBox)
  cHitBox m_ShotBox;                             // where shots hit

  // Drawing.
  int32_t m_nAnimeSet = 0;       // the animation set in use (SetAnimeSet)
  int32_t m_bSkipDraw = 0;       // per-frame flag that skips drawing
  int32_t m_nDefeatCounter = 0;  // frames of the hero's defeat display

  // Read and written by stage play.
  int32_t m_bVanished = 0;           // erased by a command: removed without defeat processing
  int32_t m_nLifetime = 2147483647;  // sub-steps left; the largest int32 is unlimited (summons set it)
  int32_t m_anBlockSummon[2] = {};   // block-summon flags, cleared every frame
  int32_t m_nAirCount = 0;           // sub-steps without a floor (the landing countdown); 0 on landing
  int32_t m_bPushed = 0;             // a character other than the ridden one moved it horizontally
  int32_t m_bCountsForParent = 0;    // its attacks fire the summoner's triggers 20-23
  uint8_t m_nParentArg = 0;          // argument passed with those triggers
  int32_t m_bCondLatch = 0;          // the appearance conditions held once (types with the once flag)
};

class cCharaBase : public cCharaFields {
 public:
  // Every member empty or zero, the embedded type declared for the current version and reset.
  cCharaBase();
  // Member-wise; the copy's flow states point at the copy's own flows.
  cCharaBase(const cCharaBase& source);
  // CopyChara.
  cCharaBase& operator=(const cCharaBase& source);

  // Virtual slots of cObject that characters override.
  // 1: UnlinkAll first, so that no other character or shot keeps a pointer to this one.
  ~cCharaBase() override;
  // 5: keeps the feet (graphic bottom or hit-box bottom by the legacy switches), then AfterMoveY.
  void AdjustAfterResize(int newScale, int oldScale, int anchor) override;
  // 8: MoveCentreXTo, then MoveCentreYTo.
  void MoveCentreTo(int x, int y) override;
  // 9: MoveCentreTo, then the state's velocity 0.
  void MoveCentreToAndStop(int x, int y, cCmdState& state) override;
  // 10: x += target - (screen left + graphic width / 2), then AfterMoveX.
  void MoveCentreXTo(int x) override;
  void MoveCentreXToAndStop(int x, cCmdState& state) override;
  // 12: the same vertically with AfterMoveY.
  void MoveCentreYTo(int y) override;
  void MoveCentreYToAndStop(int y, cCmdState& state) override;
  // Virtual slots added by characters, in this order.
  // 14: member-wise copy (flow states rebound); this character is unlinked first.
  virtual void CopyChara(const cCharaBase& source);
  // 15: the carried item (none).
  virtual cItem* CarriedItem() { return nullptr; }
  // 16, 17: hooks after a horizontal or vertical move (0).
  virtual int AfterMoveX() { return 0; }
  virtual int AfterMoveY() { return 0; }
  // 18, 19: one sub-step's move; the clamp result code (0).
  virtual int MoveX() { return 0; }
  virtual int MoveY() { return 0; }
  // 20: the frame step (flows, animation); 1 when the character's own logic ended it (0).
  virtual int StepChara(int flag) { return 0; }
  // 21: the per-frame part of a running jump command (nothing).
  virtual void StepJumpCmd(cCmdState& state) {}
  // Whether the stage's activity pass lets the character act in the current sub-step: the hero
  // always does.
  virtual bool ActsNow() const { return true; }

  // Building and links.
  // From the type (or none): clone, links cleared, 4 empty targets, 27-byte id vectors, movement
  // state with its start point, 9 variables, type copy with HP and SP at their maximum, sync,
  // view range, friction, character effect, invincibility, animation set.
  void InitFromType(const cCharaType* type, double startX, double startY, int clone);
  // Rebuilds the pattern lists from the animation set (durations in tenths x 6); nothing when not
  // forced and the set is current.
  void SetAnimeSet(int number, int forced);
  // The character box centred (or bottom aligned) in the 32 x 32 cell of the graphic.
  void SetCharaBox(int bottomAligned, int width, int height);
  // tg1 = the player's hero (with its back-link); the parent (with its child link) when given.
  void LinkHeroAndParent(cCharaBase* parent);
  // Puts a character (or none) into target slot 0-3, moving the back-link from the previous target.
  void SetTarget(int slot, cCharaBase* target);
  // Removes every link between this character and others: their targets and parent pointing at it,
  // its own targets and parent, and the shots referring to it.
  void UnlinkAll();

  // Motion and contacts.
  // Launch speed of a jump of x dots (negative); weaker for player characters under 845c.
  double JumpLaunchSpeed(double heightDots) const;
  double JumpSpeedHbl(int8_t halfBlocks) const;
  // (JumpSteps(JumpSpeedHbl(h)) / n) / 6 + 1.
  int JumpDurationTenths(int8_t halfBlocks) const;
  // SetGridX(column), then SetGridY(row, mode).
  void SetGridPos(int column, int row, int mode);
  void SetGridX(int column);
  void SetGridY(int row, int mode);
  // Gravity unless gravity-free, riding, movement-disabled or rising in a knock-back.
  void ApplyCharaGravity();
  // A downward move met a solid block: stop, contact bottom, the fall state cleared, snap above,
  // triggers 11, 15, 17.
  void LandOnBlock();
  // What every landing ends (on a block or on a block character): the air counter, jump flags 1, 2,
  // 3 and 5, and flag 4 (ceiling hit) for a computer-controlled character.
  void ClearFallState();
  // What a ceiling (a block or a block character above) sets: jump flags 2, 3 and 4.
  void SetCeilingJumpFlags();
  // An upward move met a solid block: flags, stop, end the knock-back, snap below, triggers 11, 15,
  // 16.
  void HitCeilingBlock();
  void StopRiding(int flag);
  // Standing on a block solid for the kind number, or riding.
  bool IsOnFloor() const;
  void ClearContacts();
  void SetContactLeft(const cObject& toucher);
  void SetContactRight(const cObject& toucher);
  void SetContactTop(const cObject& toucher);
  void SetContactBottom(const cObject& toucher);
  // Touched on both sides by touchers that close in.
  bool IsCrushedX() const;
  bool IsCrushedY() const;
  void SavePrevRect();
  void RestorePrevRect();
  // Knock-back by power (half blocks, minus the impact resistance, limited to +-20) along a
  // direction; out receives the effective power.
  void KnockBack(int8_t power, double dirX, double dirY, int& effectivePower);
  void KnockBackFromBody(const cCharaBase& attacker, int& effectivePower);
  void KnockBackFromShot(const cShot& shot, int& effectivePower);
  // Once per sub-step in MoveY: the vertical knock-back share of the speed.
  void ApplyKnockbackY();
  void DecayKnockbackX();
  void DecayKnockbackY();
  void EndKnockback();
  // Index of the first direction key held now in the character's input record: its player's for a
  // player-controlled character, record 0 for the others.
  int HeldDirKey() const;
  // 1 when HP reached 0; refused while invincible unless forced.
  int ChangeHP(int delta, int forced, int showGauge);
  void ChangeSP(int delta, int showGauge);
  // The gauge displays of a change.
  void ShowHpChange(int delta);
  void ShowSpChange(int delta);

  // Movement arithmetic of the movement commands (direction kinds 2 left, 3 right, 6 up, 7 down,
  // 8-11 diagonals; facing results 0 none, 1 left, 2 right).
  int ResolveDirection(int code, int inputFlag, int keyArg, int flying) const;
  void SpeedsForDirection(double& vx, double& vy, int& facing, double speed, int code) const;
  void SpeedsForAngle(double& vx, double& vy, int& facing, double speed, int code, int angle) const;
  int CmdAngle(const cCmdState& state) const;
  void CmdOffsets(cCmdState& state) const;
  void PointSpeeds(double& vx, double& vy, int& facing, const cCmdState& state, double speed, double targetX,
                   double targetY, int& steps) const;
  void TurnaroundSpeeds(cCmdState& state);
  void AvoidScreenEdge(cCmdState& state) const;
  // Applies a velocity (speed, or impact in acceleration mode), the facing and the move animation.
  int ApplyCmdVelocity(double vx, double vy, int facing, cCmdState& state, const cEdMove& settings, int forced);

  // Damage, invincibility and defeat.
  void StartInvincible();
  void StartInvincibleFrom(int key);
  void TickInvincible();
  bool IsInvincible() const;
  bool IsInvincibleFrom(int key) const;
  int TakeBodyHit(cCharaBase& attacker, int& damage, int& impactOut);
  void FireBodyHitTriggers(cCharaBase& attacker, int damage, int impactDealt);
  int TakeShotHit(cShot& shot, int& damage, int& impactOut);
  void FireShotHitTriggers(cShot& shot, int damage, int impactDealt);
  // Trigger 5, death flows, score, carried item; 1 when the stage is to end now.
  int Defeat();

  // Drawing.
  // Steps the base and overlay animations (unless held); the pattern to show.
  int StepAnimePattern(int hold);
  // The graphic number with the set's offsets; fills the blend part of the draw record.
  int GetGraphicNumber(GRAPHICSOURCE& record) const;
  // The draw record of a pattern: the character's graphic reference looked up for its facing, with
  // the blend part of GetGraphicNumber.
  GRAPHICSOURCE BuildDrawRecord(int pattern) const;
  // The kind (draw mode 0-16) of the running character effect's record; 0 without an effect.
  int CharaEffectKind() const;
  // One frame: the animations, then (unless skipped or invisible) the screen rectangle and
  // DrawCharaOnScreen; a skipped or invisible character only runs its effect.
  void DrawChara(DDSURFACEDATA* target, int hold);
  // DrawChara once the screen rectangle is current: the fixed screen position, the draw record of
  // the pattern, the effect's draw mode (the effect ends there when it has run out) and the icon.
  void DrawCharaOnScreen(DDSURFACEDATA* target, int hold, int pattern);
  // 1 when the defeat display is over.
  int DrawDefeated(DDSURFACEDATA* target, int hold);
  // Advances the character effect without drawing; 1 when it ended.
  int RunCharaEffectHidden(int hold);
  void DrawHpGauge(DDSURFACEDATA* target);
  void DrawSpGauge(DDSURFACEDATA* target);
};

// h x 16.
int HalfBlocksToDots(int8_t halfBlocks);
// s x 0.01 / n squared: a character's friction from its type's "止まりやすさ".
double FrictionFromSetting(int16_t setting);
// trunc(n - v / g): sub-steps until the apex.
int JumpSteps(double launchSpeed);
