#pragma once
// The ranking table stage play shows after a ranking registration (its modal wait on thRanking):
// the table of the shown ranking kind of the stage's rankings, with the play's place in it; and the
// play totals of the stage-end display.

// Puts the ranking display into the stage's modal-wait hooks and the play totals into its in-stage
// menu hooks, keeping the hooks stage play put there: install it after stage play's.
void InstallRankingDisplay();
