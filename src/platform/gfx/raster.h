// Internal: the quad personality's pixel pipeline (triangle set-up, coverage, texture sampling,
// stage-0 operations, blending, writing in the target format). Used by Device and the helper
// library objects; not part of the public API.
#pragma once

#include <cstdint>

#include "platform/gfx/d3d_device.h"
#include "platform/gfx/gfx_types.h"
#include "platform/gfx/surface.h"

namespace gfx::raster {

struct DrawContext {
  Surface* target = nullptr;         // render target (never null when drawing)
  const Surface* texture = nullptr;  // level 0 of the bound texture, or null
  const Device::PipelineState* state = nullptr;
};

// Stage-0 combination of a texel and a diffuse colour (both 0xAARRGGBB) under `state`.
uint32_t Combine(const Device::PipelineState& state, uint32_t texel, uint32_t diffuse);
// Blends a shaded colour `s` over a destination colour `d` (both 0xAARRGGBB) under `state`.
uint32_t Blend(const Device::PipelineState& state, uint32_t s, uint32_t d);

// Draws triangle (a, b, c) with the top-left fill rule; `flipWinding` tells a strip's odd
// triangles apart for culling. Returns the number of pixels written.
int64_t DrawTriangle(const DrawContext& ctx, const Vertex& a, const Vertex& b, const Vertex& c, bool flipWinding);
// Draws the strip-ordered quad v0..v3 (triangles v0 v1 v2 and v1 v3 v2) when it is an
// axis-aligned rectangle with texture coordinates following the axes and one diffuse colour.
// Returns false (drawing nothing) when the quad does not have that shape. `pixels` gets the count.
bool DrawAlignedQuad(const DrawContext& ctx, const Vertex& v0, const Vertex& v1, const Vertex& v2, const Vertex& v3,
                     int64_t* pixels);
// Fills `rect` (clipped to the target) with `colour` converted to the target's format.
void ClearRect(Surface* target, const Rect& rect, Colour colour);

}  // namespace gfx::raster
