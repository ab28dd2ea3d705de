#pragma once
// The player character: reads a player's input, carries the camera, picks up items, and its defeat
// ends the stage. The stage keeps the heroes in g_HeroList (element 0 is the player's hero). Beyond
// the other characters it has hit boxes from the stage's hero settings with a walking and a flying
// form, a third box for items, a variable-height jump steered by a key condition, a display of its
// boxes and the view mask.
#include <cstdint>
#include <list>
#include <vector>

#include "data/flow_cmd.h"
#include "objects/chara_base.h"

struct DDSURFACEDATA;
class cInputState;

// One box shown on screen.
struct cHitBoxDisplayEntry {
  int32_t nKind = 0;      // 0 hit box, 1 character box, 2 item box, 3 shot box
  int32_t nShowMode = 0;  // 0 hidden, 1 filled, 2 outline
  int32_t nColour = 0;    // palette index 208 + 4 x the colour choice
  int32_t nX = 0;
  int32_t nY = 0;
  int32_t nWidth = 0;
  int32_t nHeight = 0;
  int32_t nCounter = 0;  // 0-31, the colour cycle
};

class cHero : public cCharaBase {
 public:
  cHero() = default;

  // Virtual slots of cObject and cCharaBase this class fills.
  // 4: the character, shot and item boxes at the scale, then AfterMoveX and AfterMoveY.
  void RecomputeHitBox(int scale) override;
  // 6, 7: the three box rectangles from the position truncated to whole dots.
  void UpdateHitRectX() override;
  void UpdateHitRectY() override;
  // 16, 17: the view follows the hero (unless the axis scrolls by itself), then the clamp of mode 0
  // while flying, 1 while walking; the clamp code.
  int AfterMoveX() override;
  int AfterMoveY() override;
  // 18: knock-back, or impact with friction and the floor's speed change; the per-sub-step limit;
  // x += speed; AfterMoveX. Always 0.
  int MoveX() override;
  // 19: knock-back, impact while flying, MoveObjY (0 flying, 2 walking), AfterMoveY; 7 when a
  // walking hero fell out below, else the clamp code.
  int MoveY() override;
  // 20: the frame step: speeds from the automatic scroll, per-step resets, the flows, the queued
  // flow changes, removals and releases, the basic animation and the jump's idle state; 1 when the
  // hero's life is gone.
  int StepChara(int flag) override;
  // 21: the variable-height jump, once per step: hold, take-off, cut-off and landing.
  void StepJumpCmd(cCmdState& state) override;

  // From the placed hero's type: hit box of the form, InitObject, input record, move mode, scale,
  // facing, jump values, box display, flows.
  void InitHero(int id, cCharaType& type, double startX, double startY, int clone);
  // Walking (0) or flying (1-3): sizes and boxes rebuilt; a form change opens two frames of crush
  // grace.
  void ChangeMoveMode(int mode, int scale, int saveRect, int restoreOnCrush);
  // The hit box of the current form.
  void GetHeroHitBox(int& offsetX, int& offsetY, int& width, int& height) const;
  // The four displayed boxes, largest first.
  void BuildHitBoxDisplay();
  // The screen rectangle after scrolling.
  void UpdateHeroScreenRect();
  // Before the frame's moves: the floor block and the facing become the previous ones.
  void RememberFloor();
  void RememberFacing();
  // 0 when the crush grace has run out; else restores the saved rectangle once and spares the hero.
  int SurviveCrush();
  // 1 when the item is not in the contact list.
  int IsNotTouching(const cObject& item) const;
  // Removes every occurrence of the item from the contact list.
  void ForgetTouch(const cObject& item);
  // Runs a taken item's commands: 0, 2 when the hero's life is gone, or a command's non-zero result.
  int RunItemCommands(cItem& item);
  // The rising picture of a taken item over the hero.
  void ShowItemMes(int kind, int number, int pattern);
  // DrawChara, then the displayed boxes.
  void DrawHero(DDSURFACEDATA* target, int mode);
  // The view mask window around the hero.
  void DrawHeroOverlay(DDSURFACEDATA* target);

  cInputState* m_lpInput = nullptr;  // the input record of the type's player number
  int32_t m_nJumpHold = 0;           // jump: sub-steps the key has been held
  int32_t m_bJumpReady = 0;          // jump: ready to take off
  int32_t m_bNoJump = 0;             // set by the stage while standing on a block that forbids jumping
  double m_dDecelUnit = 0.0;         // walking deceleration unit: 4.0 / n
  int32_t m_bJumpProcessed = 0;      // a jump command stepped this frame
  int32_t m_anScratch[2] = {};       // two per-frame values, cleared every frame
  int32_t m_nPrevFacing = 0;         // facing before the frame's moves
  int32_t m_bSavedRect = 0;          // the saved rectangle is valid
  double m_dSavedX = 0.0;            // saved x, y, right, bottom
  double m_dSavedY = 0.0;
  double m_dSavedX2 = 0.0;
  double m_dSavedY2 = 0.0;
  int32_t m_bRestoreOnCrush = 0;                      // a crush within the grace restores the saved rectangle
  std::list<int32_t> m_Touching;                      // object numbers of the items touched last frame
  int32_t m_nFloorEffect = 0;                         // floor effect: kind (written by the stage's block effects)
  double m_dFloorFactor = 0.0;                        // floor effect: factor or push amount
  int32_t m_nFloorSteps = 0;                          // floor effect: sub-steps left
  int32_t m_anFloorExtra[2] = {};                     // two further floor-effect values
  int32_t m_nFrameCounter = 0;                        // +1 every frame step
  cHitBox m_ItemBox;                                  // the box that touches items
  std::vector<cHitBoxDisplayEntry> m_aHitBoxDisplay;  // boxes shown on screen (checked access)
  std::vector<cFlowCmd> m_aPendingFlowCmds;           // change-flow commands of taken items, run after the step
  std::list<std::vector<int32_t>> m_Arrange;          // pending arrange entries of the item commands
  int32_t m_bKnockLoggedX = 0;                        // the running horizontal knock-back has been reported
  int32_t m_bKnockLoggedY = 0;                        // the running vertical knock-back has been reported

  // Read and written by stage play.
  int32_t m_nItemCooldown = 0;   // sub-steps before a floor item block gives again
  int32_t m_bFloorKind2 = 0;     // standing on a floor block of effect kind 2
  int32_t m_bNoDirInput = 0;     // direction input cleared by the stage
  int32_t m_bNoButtonInput = 0;  // button input cleared by the stage
};
