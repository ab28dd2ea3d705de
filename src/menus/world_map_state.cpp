#include "menus/world_map_state.h"

cWorldMapState g_WorldMapState;
