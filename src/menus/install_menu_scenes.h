#pragma once
// Installs the menu scenes into the scene manager at start-up, before the game thread runs (the
// scene hooks of the other scenes are kept), and the loading of a replay file that the title's file
// dialog picked, unless the program has one already.
void InstallMenuScenes();
