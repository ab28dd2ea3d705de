#pragma once
// The demo's world map: a road along the three stages, and off it the bonus place, closed by a gate
// until the first stage is cleared.
class cWorldMap;

// Map cells of the places.
constexpr int kDemoMapRoadY = 7;
constexpr int kDemoBonusX = 8;
constexpr int kDemoBonusY = 10;
// Icon rows of "bmp\WorldEvent.bmp": the stages' numbered rows first, then these two.
constexpr int kDemoIconGate = 3;
constexpr int kDemoIconBonus = 4;

// The grid, its chips, the start cell and the places with their entries.
void FillDemoWorldMap(cWorldMap& map);
