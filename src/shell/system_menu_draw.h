#pragma once
// Drawing a menu of the project's system texts, as the title, world-map and stage menus show them.
#include "data/system_data.h"

// Draws the system texts first..first+count-1 as one boxed text with the menu font (the second game
// font) at (x, y) on the back buffer, in the box BuildSystemMenuText measures; nothing when count is
// 0 or less.
void DrawSystemMenu(const cSystemData& system, int x, int y, int first, int count, int cursor);
