#include "stage/stage_timer_draw.h"

#include "core/timing.h"
#include "data/game_data.h"
#include "data/stage_data.h"
#include "media/graphics/composite_draw.h"
#include "media/graphics/surface_table.h"
#include "media/sound/sound_effects.h"
#include "objects/stage_state.h"

namespace {

// The 32 x 32 digits of "bmp\Word.bmp", row y 160; three cells from x 272 centre the number on 320.
constexpr int kSlotWord = 52;
constexpr int kDigitSize = 32;
constexpr int kDigitRowY = 160;
constexpr int kTimerX = 272;
constexpr int kTimerY = 24;
constexpr int kTimerCells = 3;
constexpr int kSoundTimeWarning = 13;
// CountInterval's mode that asks whether the one-second counter stands at 0.
constexpr int kIntervalAtStart = 2;

}  // namespace

void DrawStageTimer(const cStageState& stage, DDSURFACEDATA* surface, int inPlay) {
  if (stage.m_bTimerStopped) return;
  DDDrawNumber(surface, kTimerX, kTimerY, kDigitSize, kDigitSize, &g_SurfaceData[kSlotWord], 0, kDigitRowY, 1,
               stage.m_nTimer, kTimerCells, 1);
  // The counter stands at 0 on the play frame on which the timer has just counted down.
  if (stage.m_nTimer >= 1 && stage.m_nTimer <= g_StageFile.m_nTimeWarning && CountInterval(kIntervalAtStart, 0) &&
      inPlay)
    RequestSound(kSoundTimeWarning);
}
