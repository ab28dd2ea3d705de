#pragma once
// The start of a new story play.

// A new progress for the project's challenge stages, the hero on the world map's start cell, round 0,
// and the lives of the story kind (unlimited under its infinite-lives flag, else its start lives with
// one of them in play).
void StartNewGame();
