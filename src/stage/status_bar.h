#pragma once
// The status bar over the stage picture: the score total, the stage score, the hero's life and
// special-point gauges and the lives, each entry as the project's status display sets it up.
struct DDSURFACEDATA;
class cSceneStage;

// Draws the bar and its shown entries, spread evenly over the bar; nothing while the scene's status
// display is off or no entry is shown.
void DrawStatusBar(const cSceneStage& scene, DDSURFACEDATA* surface);
