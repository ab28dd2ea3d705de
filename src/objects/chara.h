#pragma once
// Every placed or summoned character other than the hero: enemies, friends and block characters.
// The stage keeps them by value in g_CharaList, builds them at set-up and from summoning shots,
// decides each frame whether each one acts (appearance condition, activity range, group) and calls
// its frame step, moves and drawing. A character may carry one item, handed to the hero when it is
// defeated.
#include <cstdint>
#include <vector>

#include "objects/chara_base.h"
#include "objects/item.h"

struct DDSURFACEDATA;

class cChara : public cCharaBase {
 public:
  cChara() = default;

  // Virtual slots of cObject and cCharaBase this class fills.
  // 4: the character and shot boxes at the scale (a block character's are its hit box), then the
  // stage clamps.
  void RecomputeHitBox(int scale) override;
  // 6, 7: the box rectangles from the position truncated to whole dots.
  void UpdateHitRectX() override;
  void UpdateHitRectY() override;
  // 15: the embedded item while one is carried.
  cItem* CarriedItem() override;
  // 16, 17: ClampToStageX(2), ClampToStageY(2).
  int AfterMoveX() override;
  int AfterMoveY() override;
  // 18: knock-back or impact with friction, MoveObjX(2); 4 when the map's edge stopped it, else the
  // clamp code.
  int MoveX() override;
  // 19: knock-back, impact while flying, MoveObjY(2); 8 when a flying character reached the map's
  // edge, 7 when a walking one fell below the outer limit, else the clamp code.
  int MoveY() override;
  // 20: speeds from the automatic scroll, per-step resets, the running flows, removals and
  // releases, the basic animation; 1 when the character was erased or its life is gone.
  int StepChara(int flag) override;
  // 21: the per-sub-step part of a running jump command.
  void StepJumpCmd(cCmdState& state) override;
  // As the activity pass decided (m_bActing).
  bool ActsNow() const override { return m_bActing != 0; }

  // From a type and a carried item (or none): hit box by form or block character, InitObject,
  // boxes by the size mode, scale, the carried item, activity range, animation, flows.
  void InitChara(int id, cCharaType& type, const cItem* carried, double startX, double startY, int clone);
  // Places the character on a map cell and refreshes its limits.
  void PlaceCharaOnGrid(int column, int row);
  // The on-screen test with the skip flags; raises the group's activity flag when in range.
  int CheckActiveRange(std::vector<uint8_t>& groupFlags);
  // Whether the character acts this frame (in range, an active group, or finishing a jump).
  int IsActiveNow(std::vector<uint8_t>& groupFlags);
  // x <= r, x2 >= l, y <= b and y2 >= t (touching edges count).
  bool OverlapsRect(double left, double top, double right, double bottom) const;
  // The carried item's half-size icon above the character, frames 64-95 of every 96.
  void DrawCarriedItemIcon(DDSURFACEDATA* target);
  // Reference mode 1, or 2 for a walking character: positions are read at the foot point.
  int UsesFootPoint(int referenceMode, int gravityFree) const;

  int32_t m_bInRange = 0;        // result of the last CheckActiveRange
  int32_t m_bActing = 0;         // acts this frame (the stage writes it from IsActiveNow)
  cItem m_Item;                  // the carried item; graphic number 0 when there is none
  int32_t m_nIconTimer = 0;      // frames of the carried-item icon cycle
  int32_t m_bSkipRangeX = 0;     // activity range: leave out the x test
  int32_t m_bSkipRangeY = 0;     // activity range: leave out the y test
  int32_t m_bLatchedActive = 0;  // set the first time the character acts
  int32_t m_nCharaSpare = 0;     // one further int, cleared at initialisation
};
