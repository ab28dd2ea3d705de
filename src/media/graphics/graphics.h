#pragma once
// Everything of the graphics layer in one include.
#include "media/graphics/bitmap_copy.h"
#include "media/graphics/blit.h"
#include "media/graphics/composite_draw.h"
#include "media/graphics/display.h"
#include "media/graphics/fade.h"
#include "media/graphics/font.h"
#include "media/graphics/layer.h"
#include "media/graphics/palette.h"
#include "media/graphics/recovery.h"
#include "media/graphics/surface.h"
#include "media/graphics/surface_data.h"
#include "media/graphics/surface_table.h"
