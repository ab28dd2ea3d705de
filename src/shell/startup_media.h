#pragma once
// The media steps of start-up that follow the graphics device: the palette and the transparent
// colour, the system pictures with the loading picture shown, the fonts, and their release at exit.
// Each "false" ends start-up; the graphics layer has logged its own lines.

// Whether the project gives its own transparent colour (its red, green and blue bytes) instead of
// the top-left pixel of the palette picture.
bool ProjectHasOwnTransparentColour();

// Loads the game palette from the palette picture of surface slot 0, copies it to the work palette
// and sets the transparent colour. Runs in Direct3D mode and whenever the DirectDraw display has a
// palette object.
bool SetUpPaletteAndTransparentColour();

// DirectDraw only: whether frames are shown by a blit (1) or by a flip (0).
int ChooseBltPresent(int windowed, int vsync, int frameRate);

// Creates the loading picture (slot 45) and shows it, then loads the system pictures of slots 1,
// 51 and 45.
bool LoadSystemSurfaces();

// Gives the three font descriptors the project's face and the back end's cache mode, creates the
// fonts, applies the project's shadow, icon and centre flags and makes the digit strips; installs
// the frames-per-second text.
bool SetUpFonts();

// Exit: takes the frames-per-second text back and releases the three fonts and their digit strips.
void ReleaseFonts();

// The text a fatal texture failure shows in Direct3D mode.
extern const char* const kTextureFailureText;
