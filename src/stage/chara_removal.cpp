#include "stage/chara_removal.h"

#include "objects/play_objects.h"
#include "objects/stage_state.h"

std::list<cChara>::iterator RemoveCharaQuietly(std::list<cChara>::iterator pos) {
  pos->UnlinkAll();
  if (cStageState* stage = g_lpSceneStage)
    for (std::list<cCharaBase*>& group : stage->m_aCharaGroups) group.remove(&*pos);
  return g_CharaList.erase(pos);
}
