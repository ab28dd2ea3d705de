#pragma once
// Entering a cleared play in the stage's rankings: the name asked for (or the fixed one of the
// options), the play put at every place it reached, the rankings saved, and the table shown.

class cSceneStage;

// Sound of a ranking entry.
constexpr int kSoundRankingEntered = 16;

// Enters the play once, when rankings are on and the stage end found a new place.
void RegisterRanking(cSceneStage& scene);
