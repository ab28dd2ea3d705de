// The software graphics device in one include: formats and types, surfaces and palettes, the blit
// personality (DirectDraw), the quad personality (Direct3D, Device, textures, buffers), the helper
// library (textures from bitmaps, sprite, text) and the frame mailbox the shown frames go to.
#pragma once

#include "platform/gfx/d3d_device.h"
#include "platform/gfx/d3dx.h"
#include "platform/gfx/directdraw.h"
#include "platform/gfx/frame_mailbox.h"
#include "platform/gfx/gfx_types.h"
#include "platform/gfx/pixel_format.h"
#include "platform/gfx/surface.h"
