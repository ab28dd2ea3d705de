#pragma once
// The picture of the world map as the screen shows it from a view origin (the map cell at the
// screen's top-left): the background colour, the background picture when the map uses one, the map
// chips of the 20 x 15 cells in view and the icons of the places that offer something now.
#include <cstdint>

#include "data/save_data.h"
#include "data/world_map.h"
#include "media/graphics/surface_data.h"

// Screen size in map cells.
constexpr int kMapViewColumns = 20;
constexpr int kMapViewRows = 15;
constexpr int kMapCell = 32;

// The pictures the map picture is composed from.
struct cWorldMapSheets {
  DDSURFACEDATA* lpBack = nullptr;    // the background picture
  DDSURFACEDATA* lpChips = nullptr;   // map chips, five 32 x 32 chips a row
  DDSURFACEDATA* lpEvents = nullptr;  // place icons: a row per icon, uncleared at x 0, cleared at x 32
};

// Composes the 640 x 480 map picture for view origin (vx, vy) into target. A chip or icon number
// that names no picture (negative) is left out; cells outside the map show the background only.
void RenderWorldMapPicture(DDSURFACEDATA* target, cWorldMap& map, const cSaveData& save, int32_t vx, int32_t vy,
                           const cWorldMapSheets& sheets);
