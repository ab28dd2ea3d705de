// The effect commands: a database effect played at a place on the stage (waiting for it when
// asked), a character effect on the actor, and a screen effect.
#include <algorithm>
#include <cstdint>

#include "core/containers.h"
#include "core/log.h"
#include "core/numbers.h"
#include "data/anim_scripts.h"
#include "data/database.h"
#include "flow/flow_stage.h"
#include "flow/object_cmds.h"
#include "flow/screen_position.h"
#include "objects/chara_base.h"
#include "objects/hero.h"
#include "objects/play_objects.h"
#include "objects/stage_hooks.h"

namespace {

// Where the effect is shown (P1).
enum : int {
  kAtScreenCentre = 0,   // "画面中央に表示"
  kAtActor,              // "キャラの中心に表示"
  kAtHero,               // "主人公の中心に表示"
  kAtScreenCorner,       // "画面座標で指定（左上を指定）"
  kAtScreenPointCentre,  // "画面座標で指定（中心を指定）"
  kAtStageCorner,        // "ステージ座標で指定（左上を指定）"
  kAtStagePointCentre,   // "ステージ座標で指定（中心を指定）"
};

// A number the database does not hold is reported and the command skipped: a game with a removed
// effect plays on.
bool InRange(int number, size_t size, const char* what) {
  if (number >= 0 && static_cast<size_t>(number) < size) return true;
  LogPrintf("%s %d does not exist (%zu entries): not run", what, number, size);
  return false;
}

// A character's centre on the map: its screen position plus half its size plus the scroll.
void CharaCentre(const cCharaBase& chara, const cStageState& stage, double& x, double& y) {
  x = chara.m_ScreenRect.left + chara.m_nGraphicWidth / 2 + stage.m_ScrollX.m_dPosition;
  y = chara.m_ScreenRect.top + chara.m_nGraphicHeight / 2 + stage.m_ScrollY.m_dPosition;
}

// The map position of the effect's top-left corner.
bool EffectPlace(const cCharaBase& actor, const cFlowCmd& cmd, const cStageState& stage, int width, int height,
                 double& x, double& y) {
  const bool cells = Param(cmd, 9) == 0;
  const double px = cells ? Param(cmd, 2) * 32.0 : Param(cmd, 2);
  const double py = cells ? Param(cmd, 3) * 32.0 : Param(cmd, 3);
  const double middle = cells ? 16.0 : 0.0;  // the "中心を指定" forms aim at the middle of a cell
  const double scrollX = stage.m_ScrollX.m_dPosition;
  const double scrollY = stage.m_ScrollY.m_dPosition;
  const double originX = StageOriginCells(0) * 32.0;
  const double originY = StageOriginCells(1) * 32.0;
  const int halfW = width >> 1;
  const int halfH = height >> 1;
  switch (Param(cmd, 1)) {
    case kAtScreenCentre:
      x = scrollX + 320 - halfW;
      y = scrollY + 240 - halfH;
      break;
    case kAtActor:
      CharaCentre(actor, stage, x, y);
      x -= halfW;
      y -= halfH;
      break;
    case kAtHero:
      if (g_HeroList.empty()) return false;
      CharaCentre(g_HeroList[0], stage, x, y);
      x -= halfW;
      y -= halfH;
      break;
    case kAtScreenCorner:
      x = scrollX + px;
      y = scrollY + py;
      break;
    case kAtScreenPointCentre:
      x = scrollX + px - halfW + middle;
      y = scrollY + py - halfH + middle;
      break;
    case kAtStageCorner:
      x = originX + px;
      y = originY + py;
      break;
    case kAtStagePointCentre:
      x = originX + px - halfW + middle;
      y = originY + py - halfH + middle;
      break;
    default: return false;
  }
  x += Param(cmd, 4);
  y += Param(cmd, 5);
  return true;
}

}  // namespace

int CmdRunEffect(cCharaBase& actor, cFlowCmd& cmd) {
  cFlowStage* stage = FlowStage();
  if (!stage || stage->m_bAbort) return 0;
  const int effect = Param(cmd, 0);
  if (effect == 0) {
    stage->m_Effects.clear();
    return 0;
  }
  if (!InRange(effect, g_Database.m_aEffect.size(), "effect")) return 0;
  const cEffectData& entry = g_Database.m_aEffect[static_cast<size_t>(effect)];
  const int width = PercentOf(entry.m_nCellWidth, Param(cmd, 7));
  const int height = PercentOf(entry.m_nCellHeight, Param(cmd, 7));
  double x = 0.0, y = 0.0;
  if (!EffectPlace(actor, cmd, *stage, width, height, x, y)) return 0;
  const int wait = Param(cmd, 8);
  stage->m_Effects.emplace_back(effect, x, y, width, height, Param(cmd, 6), wait);
  if (wait) {
    int64_t tenths = 0;
    for (const cEffectFrame& frame : entry.m_aFrames) tenths += frame.m_nDuration;
    SetupGameWait(kWaitEffect, 0, SaturateToInt(tenths * 6), 0, nullptr);
    RunModalWait(0);
  }
  return 0;
}

int CmdRunCharaEffect(cCharaBase& actor, cFlowCmd& cmd) {
  const int effect = Param(cmd, 0);
  if (!InRange(effect, std::min(g_CharaEffectPlays.size(), g_CharaEffectPlaysRev.size()), "character effect")) return 0;
  actor.m_CharaEffect.StartCharaEffect(effect, Param(cmd, 1), Param(cmd, 2));
  return 0;
}

int CmdRunScrEffect(cCharaBase&, cFlowCmd& cmd) {
  cFlowStage* stage = FlowStage();
  if (!stage) return 0;
  const int effect = Param(cmd, 0);
  if (!InRange(effect, std::min(g_ScrEffectPlays.size(), g_ScrEffectPlaysRev.size()), "screen effect")) return 0;
  stage->m_ScrEffect.StartScrEffect(effect, Param(cmd, 1), Param(cmd, 2));
  return 0;
}
