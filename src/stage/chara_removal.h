#pragma once
// Removing a character of g_CharaList without defeat processing, which every pass of stage play
// that drops characters shares (keep areas, the sub-step, defeats, erasing, drawing).
#include <list>

#include "objects/chara.h"

// Removes a character without defeat processing: its links, its place in its group list, the
// character itself. The position after it.
std::list<cChara>::iterator RemoveCharaQuietly(std::list<cChara>::iterator pos);
