#include "stage/shots_pass.h"

#include <list>

#include "data/stage_data.h"
#include "objects/shot.h"
#include "objects/stage_state.h"

namespace {
// Keep area 4 holds the player side's shots, 5 the computer side's.
constexpr int kPlayerShotKeepArea = 3;
constexpr int kComputerShotKeepArea = 4;

bool ShotGoes(cShot& shot, int subStep) {
  if (shot.StepShot()) return true;
  shot.ApplyGravity();
  shot.MoveShotY();
  shot.MoveShotX();
  if (subStep == 1 && shot.m_bIsShot) {
    const int area = shot.m_nControl == 0 ? kPlayerShotKeepArea : kComputerShotKeepArea;
    if (shot.IsBeyondKeepArea(g_StageFile.m_aKeepAreas[area])) return true;
  }
  return shot.ShotHitsBlock();
}
}  // namespace

void StepShots(cStageState& stage, int subStep) {
  // The next position is taken from the erase, so a shot that goes never leaves the walk dangling.
  for (auto it = stage.m_ShotList.begin(); it != stage.m_ShotList.end();)
    it = ShotGoes(*it, subStep) ? EraseShot(it) : std::next(it);
}
