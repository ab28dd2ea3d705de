// Defeats turned into their consequence for the stage, and the check for characters that flow
// commands left without life or erased.
#include "core/containers.h"
#include "media/sound/sound_effects.h"
#include "objects/play_objects.h"
#include "objects/stage_state.h"
#include "stage/chara_removal.h"
#include "stage/contact_rules.h"
#include "stage/hits.h"
#include "stage/logic_substep.h"

namespace {

constexpr int kSoundHeroDefeated = 8;
constexpr int kSoundCharaDefeated = 9;

int DefeatThrough(const cSubStepEnds& ends, cCharaBase& chara) {
  return ends.defeatChara ? ends.defeatChara(chara) : 0;
}

// Removes a character quietly; the position the calling pass holds moves on when it is this one.
std::list<cChara>::iterator RemoveSwept(std::list<cChara>::iterator pos, cSteppedChara* stepped) {
  const bool held = stepped && stepped->m_Pos == pos;
  const auto next = RemoveCharaQuietly(pos);
  if (held) {
    stepped->m_Pos = next;
    stepped->m_bRemoved = true;
  }
  return next;
}

}  // namespace

int DefeatOne(cCharaBase& chara) {
  if (IsPlayerOperated(chara)) return 2;
  if (chara.m_bDead) return 0;
  return chara.Defeat();
}

int DefeatChara(cCharaBase& chara, void (*clearStage)()) {
  const int result = DefeatOne(chara);
  if (result == 1) {
    if (clearStage) clearStage();
  } else if (result == 2) {
    RequestSound(kSoundHeroDefeated);
    cHero& hero = VecAt(g_HeroList, 0);
    // A hero already down is not defeated a second time.
    if (!hero.m_bDead && hero.Defeat() == 1 && clearStage) clearStage();
  }
  return result;
}

int SweepDefeatedCharas(cStageState& stage, const cSubStepEnds& ends, cSteppedChara* stepped) {
  stage.m_bDefeatCheck = 0;
  stage.m_bDefeatedByCmd = 0;
  cHero& hero = VecAt(g_HeroList, 0);
  if (hero.m_nHp <= 0) {
    if (!hero.m_bDead) DefeatThrough(ends, hero);
    return 1;
  }
  for (auto it = g_CharaList.begin(); it != g_CharaList.end();) {
    cChara& chara = *it;
    // A defeated character kept on show is not defeated again.
    if (!chara.m_bVanished && (chara.m_nHp > 0 || chara.m_bDead)) {
      ++it;
      continue;
    }
    if (chara.m_bVanished) {
      it = RemoveSwept(it, stepped);
      continue;
    }
    const int result = DefeatThrough(ends, chara);
    if (KeepDefeatedCharas()) {
      if (result == 1) {
        RemoveSwept(it, stepped);
        return 1;
      }
      RequestSound(kSoundCharaDefeated);
      if (result != 0) return 1;
      ++it;
    } else {
      it = RemoveSwept(it, stepped);
      if (result != 0) return 1;
    }
  }
  return 0;
}
