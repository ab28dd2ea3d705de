// Stage play's own logic on the stage-logic harness: the stage layer's frame start and logic
// sub-step as the harness's plug-ins, and the stage layer's services among its stand-ins. The
// defeats and the stage clear that the sub-step hands over are recorded as calls ("defeat" with the
// object number and whether it is player-operated, "clearStage") and carried out as far as a test
// needs: the defeated character is dead, and a player-operated one ends the frame as the hero's
// defeat does. A sub-step that ends the frame ("frameEnded") skips the frame's remaining sub-steps.
//
//   cHooksGuard<cHarnessPlugins> plugins(SetHarnessPlugins, WithStagePlay(CurrentHarnessPlugins()));
//   cHarnessSetup setup;
//   setup.addStandIns = AddStagePlayServices;
#pragma once

#include "objects/stage_hooks.h"
#include "test_support/stage_harness.h"

// The plug-ins installed now.
cHarnessPlugins CurrentHarnessPlugins();
// The plug-ins with stage play's frame start and logic sub-step in place of theirs.
cHarnessPlugins WithStagePlay(cHarnessPlugins plugins);
// Stage play's own services in place of the harness's stand-ins: the place test, the condition lists
// and flow start conditions, the summons, erasing a character and the active-block count (the modal
// waits, the item taking, the view mask, the screen colour and the music keep their stand-ins).
void AddStagePlayServices(cStageHooks& hooks);
