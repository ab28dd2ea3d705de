#include "stage/extra_lives.h"

#include "data/system_data.h"
#include "stage/scene_stage.h"

int GrantExtraLives(cSaveData& progress, int64_t oldTotal, int64_t newTotal, void (*showLife)()) {
  if (progress.m_nLives == kUnlimitedLives || !g_SystemData.m_bScoreExtend) return 0;
  const int64_t step = g_SystemData.m_nExtendScore;
  if (step <= 0) return 0;
  int64_t crossed = newTotal / step - oldTotal / step;
  int given = 0;
  // The original showed every crossed step, even with the lives already at 99.
  while (crossed-- > 0 && progress.m_nLives < kMaxLives) {
    ++progress.m_nLives;
    ++given;
    if (showLife) showLife();
  }
  return given;
}
