#pragma once
// An item lying on the stage (placed, or summoned by a shot pattern) or carried by a character: an
// object with its own copy of its item type (graphic, take mode and sound, appearance conditions,
// and the command list the hero runs when it takes the item) and the item's two flow variables.
#include <cstdint>

#include "data/item_type.h"
#include "objects/object.h"

struct DDSURFACEDATA;

class cItem : public cObject {
 public:
  // The object part, a type record declared for the current version and reset, flow variables 0.
  cItem() = default;
  // Copies every member (CopyItem): the carried item of a character, the stage's item lists.
  cItem(const cItem&) = default;
  cItem& operator=(const cItem&) = default;

  // Virtual slots of cObject that items fill.
  // 4: items have no further boxes.
  void RecomputeHitBox(int scale) override {}
  // 6, 7: items have no hit rectangle of their own.
  void UpdateHitRectX() override {}
  void UpdateHitRectY() override {}
  // 5: the item grows upward from its graphic's bottom, then ClampToStageY(2).
  void AdjustAfterResize(int newScale, int oldScale, int anchor) override;

  // From an item type: scale 0 taken as 1 (written back), the type copied, the stage's item box at
  // the centre of a 32 x 32 graphic box, gravity-free, the repeat commands expanded; flag = taken
  // from a character (active at once, not rescaled). The result of the repeat expansion.
  int InitItem(int id, cItemType& type, int flag);
  // Places the item on a map cell (x centred on the cell, y from the cell's top) and clamps it.
  void PlaceItemOnGrid(int column, int row, int anchor);
  // Draws the item's graphic (and icon) at its screen rectangle; nothing while invisible.
  void DrawItem(DDSURFACEDATA* target, int hold);

  cItemType m_Type;               // the item's own type copy, with its conditions and commands
  int32_t m_anFlowVars[2] = {};   // flow variables A and B while its commands run
  int32_t m_bTakenFromChara = 0;  // created for a character to carry

  // Read and written by stage play.
  int32_t m_bTaken = 0;              // taken by the hero (take mode 1 items stay)
  int32_t m_nLifetime = 2147483647;  // sub-steps left; the largest int32 is unlimited (summons set it)
  int32_t m_bCondLatch = 0;          // the appearance conditions held once (types with the once flag)
};
