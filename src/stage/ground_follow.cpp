// Keeping a walking character on the ground.
#include "stage/ground_follow.h"

#include "core/numbers.h"
#include "objects/chara_base.h"
#include "objects/stage_physics.h"
#include "stage/contact_rules.h"
#include "stage/map_sampling.h"

void StickToGround(cCharaBase& chara) {
  if (SimpleGroundFollow()) {
    if (chara.m_dSpeedY >= 0) chara.m_dSpeedY += 1;
    return;
  }
  const double n = StageSubStepsD();
  if (chara.m_dSpeedY < 0 || chara.m_dSpeedY > 1 / n || chara.m_bRiding || chara.m_bInAir) return;
  const int probeY = TruncToInt(chara.m_dY2) + 4;
  const int cell = FindContactCell(chara, TruncToInt(chara.m_dX + chara.m_dSpeedX), probeY,
                                   TruncToInt(chara.m_dX2 + chara.m_dSpeedX), probeY);
  if (CellContact(cell, chara.m_nKind) != 0) chara.m_dSpeedY = 7 / n;
}
