// The character searches of the target commands and the aiming shots.
#include <cstdlib>

#include "core/containers.h"
#include "data/stage_data.h"
#include "objects/chara_base.h"
#include "objects/object.h"

namespace {

// The walk of FindNearestChara over one class of candidates: the strictly nearest wins, so that
// the first of equally near characters stays.
template <class Qualifies>
cCharaBase* Nearest(int x, int y, const std::list<cCharaBase*>& list, const CHARAFILTER* filter, Qualifies qualifies) {
  cCharaBase* best = nullptr;
  int64_t bestDistance = 0;
  for (cCharaBase* chara : list) {
    if (!chara || !qualifies(*chara)) continue;
    if (filter ? !PassesCharaFilter(*chara, *filter) : chara->m_bDead != 0) continue;
    const int64_t distance =
        std::llabs(int64_t{chara->ScreenCentreX()} - x) + std::llabs(int64_t{chara->ScreenCentreY()} - y);
    if (!best || distance < bestDistance) {
      best = chara;
      bestDistance = distance;
    }
  }
  return best;
}

}  // namespace

bool PassesCharaFilter(const cCharaBase& chara, const CHARAFILTER& filter) {
  if (chara.m_bDead) return false;
  const cCharaType& type = chara.m_Type;
  if (filter.bById && type.m_nCharaId != filter.nId) return false;
  if (filter.bExcludeNumber && chara.m_nNumber == filter.nExcludeNumber) return false;
  if (filter.bNotInvincible1 && type.m_nOpt32 == 1) return false;
  if (filter.bNotInvincible2 && type.m_nOpt32 == 2) return false;
  if (filter.bNotBlockChara && type.m_bBlockChara != 0) return false;
  if (filter.bByVar && !CompareByOp(VecAt(chara.m_anVars, filter.nVar), filter.nOperand, filter.nCompare)) return false;
  return true;
}

cCharaBase* FindCharaInList(const std::list<cCharaBase*>& list, const CHARAFILTER& filter) {
  for (cCharaBase* chara : list)
    if (chara && PassesCharaFilter(*chara, filter)) return chara;
  return nullptr;
}

cCharaBase* FindLinkedChara(const cCharaBase& chara, int slot, const CHARAFILTER& filter, int byKind, int kind) {
  for (auto link = chara.m_aLinks.rbegin(); link != chara.m_aLinks.rend(); ++link) {
    if (link->nSlot != slot || !link->lpChara) continue;
    if (!PassesCharaFilter(*link->lpChara, filter)) continue;
    if (byKind && link->lpChara->m_nKind != kind) continue;
    return link->lpChara;
  }
  return nullptr;
}

cCharaBase* FindNearestChara(int x, int y, const std::list<cCharaBase*>& list, int mode, const CHARAFILTER* filter) {
  switch (mode) {
    case 0:
      if (cCharaBase* onScreen =
              Nearest(x, y, list, filter, [](const cCharaBase& c) { return c.m_bActive && c.m_bOnScreen; }))
        return onScreen;
      return Nearest(x, y, list, filter, [](const cCharaBase& c) { return c.m_bActive && !c.m_bOnScreen; });
    case 1: return Nearest(x, y, list, filter, [](const cCharaBase& c) { return c.m_bActive != 0; });
    case 2: return Nearest(x, y, list, filter, [](const cCharaBase& c) { return c.m_bActive && c.m_bOnScreen; });
    default: return nullptr;
  }
}

cCharaBase* FindNearestCharaTo(int x, int y, const std::list<cCharaBase*>& list) {
  return FindNearestChara(x, y, list, g_StageFile.m_bNearestOnScreen ? 2 : 0, nullptr);
}

cCharaBase* cObject::FindNearestToCentre(const std::list<cCharaBase*>& list) const {
  return FindNearestCharaTo(ScreenCentreX(), ScreenCentreY(), list);
}
