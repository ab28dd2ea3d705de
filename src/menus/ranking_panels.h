#pragma once
// The ranking panel (one result kind's table of a stage's rankings) and the play-totals panel shown
// at a stage's end, drawn with font 1 and the cursor cell of "bmp\Accessory.bmp".
#include <cstdint>
#include <vector>

#include "data/ranking.h"
#include "media/graphics/surface_data.h"

// The surface-table slot of "bmp\Accessory.bmp", whose 16 x 16 cell at (16, 48) marks a place.
constexpr int kSlotAccessory = 50;

// The panel of table kind of the rankings.
int DrawRanking(cRanking& ranking, DDSURFACEDATA* surface, int x, int y, int kind, int cursor);
// A 270 x 351 box, the title with the kind's name (system text 5 + kind), the used rows (rank,
// name, value right-aligned, or the time for the clear-time kind), the kind-switch hint when the
// game kind has more than one ranking kind, and the cursor at row `cursor` (-1 none). Returns -1
// without a cursor, else 1.
int DrawRankTable(cRankTable& table, DDSURFACEDATA* surface, int x, int y, int kind, int cursor);
// One line per result kind that the game kind and the stage both show (on a direct start, those the
// stage shows): its name and the progress's total, in a box sized to the widest of them, with the
// cursor on the line of each kind whose place (places[kind]) is not -1. Returns the lines drawn.
int DrawPlayTotals(DDSURFACEDATA* surface, int x, int y, const int32_t places[kRankTableCount]);
// The same with the places as the stage scene keeps them; kinds past the list's end took no place.
int DrawPlayTotals(DDSURFACEDATA* surface, int x, int y, const std::vector<int32_t>& places);
