// What the tests of object and character motion share: a character whose after-move hooks clamp to
// the whole map and refresh the derived values, as those of the placed characters do; a command
// state with movement settings; and the stage's physics values for a level and a gravity.
#pragma once

#include <memory>

#include "data/flow_cmd.h"
#include "data/move_shot.h"
#include "data/stage_data.h"
#include "objects/chara_base.h"
#include "objects/flow_state.h"

class cTestChara : public cCharaBase {
 public:
  int AfterMoveX() override { return ClampToStageX(2); }
  int AfterMoveY() override { return ClampToStageY(2); }

  // Puts the hit box at (x, y) with the given size; x2, y2 and the cells follow (no clamp).
  void Place(double x, double y, int width, int height) {
    m_dX = x;
    m_dY = y;
    m_nWidth = m_nBaseWidth = width;
    m_nHeight = m_nBaseHeight = height;
    ClampToStageX(-1);
    ClampToStageY(-1);
  }
};

// A command state whose command has movement settings.
struct cMoveCmd {
  cMoveCmd() {
    cmd.m_pMove = std::make_shared<cEdMove>();
    state.m_lpCmd = &cmd;
  }
  cMoveCmd(const cMoveCmd&) = delete;
  cMoveCmd& operator=(const cMoveCmd&) = delete;
  cEdMove& Settings() { return *cmd.m_pMove; }
  cFlowCmd cmd;
  cCmdState state;
};

// The stage's gravity setting and hit-check level, with the physics values derived from them.
inline void SetStagePhysics(int level, double gravity) {
  g_StageFile.m_dGravity = gravity;
  g_StageFile.SetHitCheckLevel(level);
}
