#pragma once
// What the dialogs read from the layers above them (stage play), installed by the program at
// start-up. Without them a dialog behaves as when no stage is being played.
#include <string>

struct cDialogSourceHooks {
  // The ranking name of the stage-play scene; null while no stage-play scene exists.
  std::string* (*stageRankingName)() = nullptr;
  // The path of the stage being played (replay names are built from it); empty when none.
  std::string (*playedStagePath)() = nullptr;
};
// Installs the hooks; returns the ones they replace.
cDialogSourceHooks SetDialogSourceHooks(const cDialogSourceHooks& hooks);
const cDialogSourceHooks& DialogSourceHooks();
