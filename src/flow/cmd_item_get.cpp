// "アイテムの取得": the hero runs an item type's commands as if it had taken such an item.
#include <cstdint>
#include <vector>

#include "core/containers.h"
#include "core/log.h"
#include "data/palette.h"
#include "data/stage_data.h"
#include "flow/object_cmds.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "objects/play_objects.h"
#include "objects/stage_state.h"

namespace {

// Item types whose commands get items of their own could nest without end: the nesting stops here.
constexpr int kMaxNesting = 64;
int g_nNesting = 0;  // only the game thread runs flows

std::vector<cItemType>* PaletteItems(int palette) {
  if (palette == 0) return &g_CommonPalette.m_aItemTypes;
  if (palette == 1) return &g_StageFile.m_aPalItems;
  return nullptr;
}

}  // namespace

int CmdItemGet(cCharaBase&, cFlowCmd& cmd) {
  std::vector<cItemType>* types = PaletteItems(VecAt(cmd.m_anParams, 0));
  if (!types || g_HeroList.empty()) return 0;
  if (g_nNesting >= kMaxNesting) {
    LogPrintf("item get nested %d deep: not run", g_nNesting);
    return 0;
  }
  cItemType type = VecAt(*types, VecAt(cmd.m_anParams, 1));  // the palette's entry stays as it is
  cItem item;
  item.InitItem(0, type, 0);
  ++g_nNesting;
  const int result = g_HeroList[0].RunItemCommands(item);
  --g_nNesting;
  // Only a decided end is written: "nothing happened" must not undo a clear decided earlier.
  if (result != kEndNone && g_lpSceneStage) g_lpSceneStage->m_nEndRequest = result;
  return result;
}
