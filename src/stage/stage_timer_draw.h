#pragma once
// The countdown of the stage timer over the stage picture, with its warning sound.
struct DDSURFACEDATA;
class cStageState;

// Draws the remaining seconds (nothing while the stage has no time limit). On play frames
// (inPlay) on which the timer has just counted down to a value between 1 and the stage's warning
// threshold, the time-warning sound plays: once a second while little time is left.
void DrawStageTimer(const cStageState& stage, DDSURFACEDATA* surface, int inPlay);
