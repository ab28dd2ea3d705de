// A character drawn for one frame of the stage's draw pass.
#include "objects/chara_base.h"

void cCharaBase::DrawChara(DDSURFACEDATA* target, int hold) {
  const int pattern = StepAnimePattern(hold);
  // Skipped for this frame, or transparent (the status byte of type field 18): the effect runs on.
  if (m_bSkipDraw || m_Type.m_nOpt18 != 0) {
    RunCharaEffectHidden(hold);
    return;
  }
  UpdateScreenRect();
  DrawCharaOnScreen(target, hold, pattern);
}
