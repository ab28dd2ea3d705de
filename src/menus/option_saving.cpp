#include "menus/option_saving.h"

#include "core/log.h"
#include "data/game_data.h"
#include "data/option_data.h"
#include "data/save_data.h"

bool SaveOptionFile() {
  if (g_bQuit.load()) return false;
  if (g_OptionData.SaveFile(kOptionDataPath)) return true;
  // Silence would let the player believe the options were kept for the next run.
  if (!g_bQuit.load()) ShowSaveMessage("%s の保存に失敗しました！", kOptionDataPath);
  return false;
}
