#pragma once
// Holding the hero inside the view while the view scrolls by itself (or at any time while it flies):
// its hit box on screen, refreshed from its position and the scroll, stops at the view's edges with
// a contact on that side.
class cHero;

// Left edge: x = the scroll position; right edge: the hit box ends a dot before the view's edge.
void StopAtViewEdgeX(cHero& hero);
// Top edge as on the left; at the bottom edge a walking hero is pushed out of the view and dies
// (kContactFatal), a flying one is only held.
int StopAtViewEdgeY(cHero& hero);
