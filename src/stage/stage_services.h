#pragma once
// The stage's services to objects and flows (cStageHooks) and the block cells' condition check
// (cBlockHooks), installed together at start-up before the game thread runs.
#include <list>

class cChara;

// Removes a character of g_CharaList: every link between it and others, its place in every group
// list, the character itself. The position after it.
std::list<cChara>::iterator EraseStageChara(std::list<cChara>::iterator pos);
// Blocks of the stage proper (margins left out) that have a graphic and whose appearance conditions
// hold; hidden blocks count.
int CountStageActiveBlocks();
// Plays database music `number` (0 stops it) with a play option: the option is kept in the progress
// and the main window plays the music and keeps its number there.
void RequestStageBgm(int number, int option);

// Installs the stage's services over the current hooks. The modal waits (setupGameWait,
// runModalWait), the hero's item taking (takeItem) and the screen colour (changeScreenColour) are
// left as they are: their owners install them. Also installs the block cells' condition check and
// the main window's progress-music hooks.
void InstallStageServices();
