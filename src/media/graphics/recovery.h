#pragma once
// Bringing the display back after a lost Direct3D device or lost DirectDraw surfaces, and message
// boxes over a full-screen display.

// Direct3D: resets a lost device and recreates every registered surface and font (user-interface
// thread, on the restore request). 1 done, 0 the device cannot be reset yet.
int DDRestoreSurface();
// DirectDraw: restores a lost primary and the game's surfaces and reloads their pictures.
bool DDRestore();
int DDSetDialogBoxMode(int on);
int DDMesBox(const char* text, const char* caption, unsigned type);
