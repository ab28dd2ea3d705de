#pragma once
// The stage-clear processing as a stage ends: the stage's results added to the progress totals,
// extra lives for the score (each shown for a moment over the frozen stage), and the places the play
// reaches in the stage's rankings.
#include <string>

class cSceneStage;

// Sounds of the stage end.
constexpr int kSoundStageClear = 14;
constexpr int kSoundExtraLife = 15;
// Frames an extra life is shown.
constexpr int kExtraLifeFrames = 30;

// Adds the stage's results to the progress totals and grants the extra lives the score total earns.
void AddPlayTotals(cSceneStage& scene);
// The file of numbered stage n after the current one (the progress's next stage path when it has
// one, else the stage key's "-n" stage), its newest numbered variant; 1 when it exists. Without a
// numbered stage or a next stage number, 0. keep: out holds the built path even when no file exists.
int BuildNextStagePath(std::string& out, int stage, int keep);
// 1 when no file exists for numbered stage n.
int IsLastStage(int stage);
// The whole processing, run once when the stage is cleared.
void FinishStage(cSceneStage& scene);

// Installs FinishStage and RegisterRanking as the stage menus' stage-clear processing and ranking
// entry, keeping their other hooks.
void InstallStageEnd();
