// "ステータスの操作2": the on/off statuses of a character (defeat, transparency, fixed facing,
// flying, invincibility, enlargement, auto-scroll sync) and the stage's automatic scroll speeds.
#include <algorithm>
#include <cstdint>

#include "core/containers.h"
#include "data/system_data.h"
#include "flow/cmd_tables.h"
#include "flow/object_cmds.h"
#include "flow/play_values.h"
#include "objects/chara_base.h"
#include "objects/hero.h"
#include "objects/stage_state.h"

namespace {

constexpr int kWhomStage = 5;

// What P1 changes on a character ("消滅", "透明", "向き固定", "飛行", "無敵", "巨大化",
// "オートスクロールとシンクロ").
enum : int {
  kDefeat = 0,
  kInvisible,
  kFixedFacing,
  kFlying,
  kInvincible,
  kEnlarge,
  kScrollSync,
};

// The largest scale the scale byte holds.
constexpr int kScaleMax = 127;

// The speed is taken as the command gives it, as the stage's own setting is: only the status
// operation and the code's "scrlx"/"scrly" keep their changes within their value range.
bool ChangeStage(const cFlowCmd& cmd) {
  const int axis = Param(cmd, 1);
  if (axis != 0 && axis != 1) return false;
  AutoScrollSpeed(axis) = Param(cmd, 2);
  ApplyAutoScrollSpeed(axis);
  return true;
}

// A scale of 0 would give the character no size at all: at least 1, as the initialisers take it.
void Enlarge(cCharaBase& chara, int32_t requested) {
  const int scale = std::clamp(requested, 1, kScaleMax);
  const int old = chara.m_Type.m_nScale;
  if (scale != old && !g_SystemData.m_bLegacy831) chara.m_nCrushGrace = 2;
  chara.SetScale(scale, old, 1);
  chara.m_Type.m_nScale = static_cast<int8_t>(scale);
  if (auto* hero = dynamic_cast<cHero*>(&chara)) hero->BuildHitBoxDisplay();
}

bool ChangeChara(cCharaBase& chara, cCharaBase& actor, const cFlowCmd& cmd) {
  const int32_t value = Param(cmd, 2);
  cCharaType& type = chara.m_Type;
  switch (Param(cmd, 1)) {
    case kDefeat: DefeatByCommand(chara, actor); return true;
    case kInvisible: type.m_nOpt18 = static_cast<int8_t>(value); return true;
    case kFixedFacing: type.m_nOpt31 = static_cast<int8_t>(value); return true;
    case kFlying: {
      auto* hero = dynamic_cast<cHero*>(&chara);
      if (!hero) return false;
      hero->ChangeMoveMode(value, 1, Param(cmd, 3), Param(cmd, 4));
      return true;
    }
    case kInvincible: type.m_nOpt32 = static_cast<int8_t>(value); return true;
    case kEnlarge: Enlarge(chara, value); return true;
    case kScrollSync:
      type.m_nOpt36 = static_cast<int8_t>(value);
      chara.m_bSyncScroll = type.m_nOpt36;
      return true;
    default: return false;
  }
}

}  // namespace

void DefeatByCommand(cCharaBase& chara, const cCharaBase& actor) {
  if (dynamic_cast<cHero*>(&chara))
    chara.m_nHp = 0;
  else
    chara.m_bVanished = 1;
  if (&chara != &actor && g_lpSceneStage) g_lpSceneStage->m_bDefeatedByCmd = 1;
}

int CmdStatusOp2(cCharaBase& actor, cFlowCmd& cmd) {
  const int whom = Param(cmd, 0);
  bool ok = false;
  if (whom == kWhomStage) {
    ok = ChangeStage(cmd);
  } else if (whom >= 0 && whom <= kTargetSlots) {
    cCharaBase* chara = whom == 0 ? &actor : VecAt(actor.m_apTargets, whom - 1);
    ok = chara && ChangeChara(*chara, actor, cmd);
  }
  if (Param(cmd, 5)) StoreFlowResult(ok ? 1 : 2);
  return 0;
}
