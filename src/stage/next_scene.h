#pragma once
// What follows a cleared stage: the hero's status carried over, the progress of the game kind
// brought up to date (story slot, world flags and stage results, challenge records and file), and
// the scene to go to: the next numbered stage loaded in place, the world map, the stage select, the
// title, or the same stage again. Replay playback moves through the replay list.

class cSceneStage;

// Once, as the stage-end display is left: returns the scene to request (0 title, 1 world map,
// 3 stage select, 6 the stage scene again, with the next stage loaded in place when there is one).
int DecideNextScene(cSceneStage& scene);

// Replay playback moves to another replay of the replay list (g_ReplayList), by step when
// explicitStep is set, else by the playback-order option (+1 in list order, 0 the same replay).
// The first replay file that exists from the next position on, wrapping round, becomes the one
// played (g_StagePath, read afresh at the restart); the fatal stop when none of them exists. With
// the project's file dialogs, an empty list or a step of 0, the same replay plays again from its
// start, its progress put back whole.
void StepToAdjacentReplay(int explicitStep, int step);

// Whether the replay list holds any replay.
bool ReplayListFilled();

// Installs the three as the stage menus' next-scene decision and replay steps, keeping their other
// hooks.
void InstallNextScene();
