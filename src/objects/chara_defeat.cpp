// Defeat: the death flows, the score, the carried item handed to the hero, and the defeat display
// started unless the defeat ended the stage.
#include <algorithm>
#include <cstdint>

#include "core/containers.h"
#include "core/log.h"
#include "data/anim_scripts.h"
#include "data/save_data.h"
#include "objects/chara_base.h"
#include "objects/flow_runner.h"
#include "objects/play_objects.h"
#include "objects/stage_hooks.h"
#include "objects/stage_state.h"

namespace {

constexpr int kTriggerDefeated = 5;
constexpr int kDeathFlowsOnly = 1;
constexpr int64_t kMaxScore = 999999;

// The defeat effect, or none: a number that names no character effect of the database is reported
// and left out rather than stopping the game.
void StartDefeatEffect(cCharaBase& chara) {
  const int effect = chara.m_Type.m_nDefeatEffect;
  chara.m_CharaEffect.ClearCharaEffect();
  if (effect == 0) return;
  if (effect < 0 || static_cast<size_t>(effect) >= g_CharaEffectPlays.size()) {
    LogPrintf("defeat effect %d out of range (%d)", effect, static_cast<int>(g_CharaEffectPlays.size()));
    return;
  }
  chara.m_CharaEffect.StartCharaEffect(effect, chara.m_Type.m_nDefeatEffectOpt, 0);
}

}  // namespace

int cCharaBase::Defeat() {
  TriggerFlows(*this, kTriggerDefeated);
  StepChara(kDeathFlowsOnly);
  g_SaveData.m_nScore =
      static_cast<int32_t>(std::clamp<int64_t>(int64_t{g_SaveData.m_nScore} + m_Type.m_nScore, 0, kMaxScore));

  int taken = 0;
  if (cItem* item = CarriedItem(); item && !g_HeroList.empty()) taken = TakeItem(*item, VecAt(g_HeroList, 0));
  const cStageState* stage = g_lpSceneStage;
  if ((stage && stage->m_nEndRequest == kEndClear) || taken == 1) return 1;

  UnlinkAll();
  m_bDead = 1;
  StartDefeatEffect(*this);
  return 0;
}
