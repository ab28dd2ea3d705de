#pragma once
// Installs stage play into the program at start-up, before the game thread runs: the stage scene
// in the scene manager, the direct start of a stage, and the flow layer's hooks that play needs.
void InstallStagePlay();
