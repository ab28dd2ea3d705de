// Basic types of the software graphics device: result codes, rectangles, pixel formats, channel
// layouts, palette entries, the screen-space vertex and the numeric draw-state values.
//
// The device stands in for the two display back ends the game's graphics layer was written for
// (a surface/blit personality and a texture/quad personality) and for the helper library calls on
// top of them. Everything lives in namespace `gfx`. State values that the game passes around as plain
// ints (texture operations 1, 2, 4, 7, ...) keep those numbers.
#pragma once

#include <cstdint>

namespace gfx {

// ---------------------------------------------------------------------------------------------
// Result codes. 0 is success, failures are negative (printable with %x like the game's HRESULTs).
using Result = int32_t;
inline constexpr Result kOk = 0;
inline constexpr Result kErrInvalidCall = static_cast<int32_t>(0x8876086C);     // bad argument/state
inline constexpr Result kErrInvalidRect = static_cast<int32_t>(0x88760096);     // inverted/empty rect
inline constexpr Result kErrDeviceLost = static_cast<int32_t>(0x88760868);      // device lost, not resettable yet
inline constexpr Result kErrDeviceNotReset = static_cast<int32_t>(0x88760869);  // lost, Reset may be called now
inline constexpr Result kErrOutOfVideoMemory = static_cast<int32_t>(0x8876017C);
inline constexpr Result kErrOutOfMemory = static_cast<int32_t>(0x8007000E);
inline constexpr Result kErrSurfaceLost = static_cast<int32_t>(0x887601C2);  // blit-personality surface lost
inline constexpr Result kErrSurfaceBusy = static_cast<int32_t>(0x887601AE);  // already locked
inline constexpr Result kErrNotLocked = static_cast<int32_t>(0x887601E0);
inline constexpr Result kErrInvalidData = static_cast<int32_t>(0x88760B59);  // picture file not readable
inline constexpr Result kErrNotFound = static_cast<int32_t>(0x88760866);
inline constexpr Result kErrUnsupported = static_cast<int32_t>(0x80004001);

inline constexpr bool Succeeded(Result r) { return r >= 0; }
inline constexpr bool Failed(Result r) { return r < 0; }
// Short English name of a result ("ok", "device lost", ...), for log lines.
const char* ResultName(Result r);

// ---------------------------------------------------------------------------------------------
// A rectangle with exclusive right and bottom edges (left <= x < right), as the blit calls take it.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};
inline Rect MakeRect(int x, int y, int w, int h) { return Rect{x, y, x + w, y + h}; }

// ---------------------------------------------------------------------------------------------
// Pixel formats. Names give the channels from the most significant bit down.
enum class Format : uint8_t {
  Unknown = 0,
  I8,        // 8-bit palette index (the 8-bit display)
  R5G6B5,    // 16-bit, no alpha
  A1R5G5B5,  // 16-bit, 1-bit alpha
  X8R8G8B8,  // 32-bit, top byte unused (read as 0xFF)
  A8R8G8B8,  // 32-bit with alpha
  Index16,   // index buffers only
};
int BitsPerPixel(Format f);   // 8, 16, 32 (0 for Unknown / Index16)
int BytesPerPixel(Format f);  // 1, 2, 4
// "X8R8G8B8", "R5G6B5", "A1R5G5B5", "A8R8G8B8", "I8", "Unknown" (the names the report log uses).
const char* FormatName(Format f);

// Where each channel sits in a pixel: shift from bit 0 and the field's maximum value (right-aligned
// mask), in the order red, green, blue, alpha. A channel that does not exist has mask 0.
// I8: all zero. R5G6B5: (11, 5, 0, 16; 31, 63, 31, 0). A1R5G5B5: (10, 5, 0, 15; 31, 31, 31, 1).
// X8R8G8B8: (16, 8, 0, 24; 255, 255, 255, 0). A8R8G8B8: (16, 8, 0, 24; 255, 255, 255, 255).
struct ChannelLayout {
  int redShift = 0;
  int greenShift = 0;
  int blueShift = 0;
  int alphaShift = 0;
  int redMask = 0;
  int greenMask = 0;
  int blueMask = 0;
  int alphaMask = 0;
  bool operator==(const ChannelLayout&) const = default;
};
ChannelLayout LayoutOf(Format f);

// One palette entry of the 8-bit display: red, green, blue and a flags byte (kept, not interpreted).
struct PaletteEntry {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  uint8_t flags = 0;
  bool operator==(const PaletteEntry&) const = default;
};
inline constexpr uint8_t kPaletteReserved = 1;  // flag value of entries the game may animate
inline constexpr uint8_t kPaletteExplicit = 2;  // flag value of the fixed system entries

// A 32-bit colour 0xAARRGGBB (the device colour of the quad personality: vertex colours, clear
// colours, the texture factor).
using Colour = uint32_t;
inline constexpr Colour MakeArgb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
  return (a & 255) << 24 | (r & 255) << 16 | (g & 255) << 8 | (b & 255);
}

// ---------------------------------------------------------------------------------------------
// Memory pools of textures and surfaces.
enum class Pool : uint8_t {
  Default,    // "video memory": lost with the device (quad personality) or the display (blit one)
  Managed,    // kept in system memory, survives device loss
  SystemMem,  // system memory, survives device loss, cannot be a render target
};

// Usage flags of textures and surfaces.
inline constexpr uint32_t kUsageRenderTarget = 1u << 0;
inline constexpr uint32_t kUsageDynamic = 1u << 1;
inline constexpr uint32_t kUsageWriteOnly = 1u << 2;  // vertex/index buffers; accepted, not enforced

// ---------------------------------------------------------------------------------------------
// Screen-space vertex: position already transformed (pixel coordinates; a pixel's centre is at
// integer coordinates, so a quad covering pixels x..x+w-1 runs from x - 0.5 to x + w - 0.5),
// z and rhw (ignored: no depth buffer, no perspective), diffuse colour, one texture coordinate.
struct Vertex {
  float x = 0;
  float y = 0;
  float z = 0;
  float rhw = 1;
  Colour diffuse = 0xFFFFFFFF;
  float u = 0;
  float v = 0;
};
static_assert(sizeof(Vertex) == 28, "a vertex is 28 bytes");
// The one vertex format the device draws: position + rhw, diffuse, one texture coordinate set.
inline constexpr uint32_t kFvfXyzrhwDiffuseTex1 = 0x144;

enum class PrimitiveType : uint8_t {
  TriangleList = 4,
  TriangleStrip = 5,
};

// ---------------------------------------------------------------------------------------------
// Render states (Device::SetRenderState).
enum RenderState : int {
  kRsZEnable = 7,
  kRsSrcBlend = 19,
  kRsDestBlend = 20,
  kRsCullMode = 22,
  kRsAlphaBlendEnable = 27,
  kRsTextureFactor = 60,  // a Colour, read by kTaTFactor
  kRsColorVertex = 141,
  kRsDiffuseMaterialSource = 145,
};
// Values of kRsCullMode. The default is kCullCcw (counter-clockwise triangles on screen are dropped).
enum CullMode : int { kCullNone = 1, kCullCw = 2, kCullCcw = 3 };
// Values of kRsSrcBlend / kRsDestBlend (only these four are implemented).
enum BlendFactor : int { kBlendZero = 1, kBlendOne = 2, kBlendSrcAlpha = 5, kBlendInvSrcAlpha = 6 };
// Value of kRsDiffuseMaterialSource: take the diffuse colour from the vertex (the only mode).
inline constexpr int kMaterialSourceColor1 = 1;

// Texture stage states (Device::SetTextureStageState). Only stage 0 is evaluated; stage 1 and up
// behave as disabled.
enum TextureStageState : int {
  kTssColorOp = 1,
  kTssColorArg1 = 2,
  kTssColorArg2 = 3,
  kTssAlphaOp = 4,
  kTssAlphaArg1 = 5,
  kTssAlphaArg2 = 6,
};
// Texture operations; the numbers are the ones the game passes as plain ints
// (DISABLE 1, SELECTARG1 2, MODULATE 4, ADD 7, ...).
enum TextureOp : int {
  kOpDisable = 1,  // colour: stage output is the diffuse colour; alpha: the diffuse alpha
  kOpSelectArg1 = 2,
  kOpSelectArg2 = 3,
  kOpModulate = 4,            // a1 * a2 / 255, rounded: (a1 * a2 + 127) / 255
  kOpModulate2x = 5,          // min(2 * modulate, 255)
  kOpModulate4x = 6,          // min(4 * modulate, 255)
  kOpAdd = 7,                 // min(a1 + a2, 255)
  kOpAddSigned = 8,           // clamp(a1 + a2 - 128, 0, 255)
  kOpAddSigned2x = 9,         // clamp(2 * (a1 + a2 - 128), 0, 255)
  kOpSubtract = 10,           // max(a1 - a2, 0)
  kOpAddSmooth = 11,          // a1 + a2 - a1 * a2 / 255
  kOpBlendDiffuseAlpha = 12,  // a1 * f + a2 * (1 - f), f = diffuse alpha
  kOpBlendTextureAlpha = 13,  // f = texture alpha
  kOpBlendFactorAlpha = 14,   // f = texture factor alpha; (a1 * f + a2 * (255 - f) + 127) / 255
};
// Texture arguments.
enum TextureArg : int {
  kTaDiffuse = 0,  // the interpolated vertex colour
  kTaCurrent = 1,  // at stage 0 the same as kTaDiffuse
  kTaTexture = 2,  // the sampled texel (opaque white when no texture is bound)
  kTaTFactor = 3,  // kRsTextureFactor
};

// Sampler states (Device::SetSamplerState, samplers 0 and 1 accepted, 0 used).
enum SamplerState : int {
  kSampAddressU = 1,
  kSampAddressV = 2,
  kSampMagFilter = 5,
  kSampMinFilter = 6,
};
enum TextureAddress : int { kAddressWrap = 1, kAddressMirror = 2, kAddressClamp = 3 };
// Filters: only point sampling is implemented; a linear request samples as point.
enum TextureFilter : int { kFilterNone = 0, kFilterPoint = 1, kFilterLinear = 2 };

// Device::Clear flags.
inline constexpr uint32_t kClearTarget = 1;

}  // namespace gfx
