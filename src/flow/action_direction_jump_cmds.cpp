// The change-direction and jump commands.
#include <cstdint>

#include "core/containers.h"
#include "flow/action_cmds.h"
#include "objects/chara_base.h"
#include "objects/flow_state.h"
#include "objects/stage_physics.h"

namespace {

// Rows of the change-direction command's P0.
enum : int {
  kFaceLeft = 0,
  kFaceRight = 1,
  kFaceTarget1 = 2,  // 2, 4, 6, 8: toward target 1-4; 3, 5, 7, 9: away from it
  kFaceAwayTarget4 = 9,
  kFaceLastBlock = 10,
  kFaceAwayLastBlock = 11,
};

// The centre of a character in map dots: position less the hit offset plus half the graphic.
double CentreX(const cCharaBase& chara) { return chara.m_dX - chara.m_nHitOffsetX + chara.m_nGraphicWidth / 2; }

}  // namespace

int CmdChangeDirection(cCharaBase& actor, cCmdState& state) {
  // A character whose facing follows its moves is not turned by this command.
  if (!actor.m_Type.m_nOpt31 || !state.m_lpCmd) return 0;
  if (!TakeFrameTurn(state)) return 0;
  PlayCmdSound(actor, *state.m_lpCmd, 0);
  const int row = VecAt(state.m_lpCmd->m_anParams, 0);
  if (row == kFaceLeft || row == kFaceRight) {
    actor.m_nFacing = row;
  } else if (row >= kFaceTarget1 && row <= kFaceAwayTarget4) {
    const cCharaBase* target = VecAt(actor.m_apTargets, (row - kFaceTarget1) / 2);
    if (!target) return 0;
    const int toward = CentreX(*target) > CentreX(actor) ? 1 : 0;
    const bool away = (row - kFaceTarget1) % 2 == 1;
    actor.m_nFacing = away ? 1 - toward : toward;
  } else if (row == kFaceLastBlock) {
    actor.m_nFacing = actor.m_nLastWallSide ? 1 : 0;
  } else if (row == kFaceAwayLastBlock) {
    actor.m_nFacing = actor.m_nLastWallSide ? 0 : 1;
  }
  return 0;
}

int CmdJump(cCharaBase& actor, cCmdState& state) {
  actor.m_bFixedScreenX = 0;
  actor.m_bFixedScreenY = 0;
  actor.StepJumpCmd(state);
  ++state.m_nCalls;
  return 0;
}
