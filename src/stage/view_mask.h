#pragma once
// The hero's view mask: a dark picture with a transparent hole of the hero's view range around its
// centre, which the hero's overlay drawing lays over the stage so that the hero sees only that far.
class cHero;

// Surface slots of the mask and of the work surface its round hole is cut from.
constexpr int kSlotViewMask = 66;
constexpr int kSlotViewHole = 67;
// Largest hole radius the mask is built for, in dots. A hole this wide already shows the whole
// screen wherever the hero stands (its far corner is 800 dots away), so a larger view range changes
// nothing but the size of the picture, which would grow without bound with the range.
constexpr int kViewMaskMaxRange = 1024;

// The radius of the hole for a view range: 0 for a range of 0 or below, at most kViewMaskMaxRange.
int ViewMaskRadius(int viewRange);
// Rebuilds the mask for the hero's view range and view shape: (1280 + 2r) x (960 + 2r) dots of
// palette colour 16; a disc for shapes 1 and 2, a square for the others; no hole for a range of 0.
// A mask that cannot be made is an out-of-memory stop.
void RebuildViewMask(cHero& hero);
