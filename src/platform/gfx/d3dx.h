// Helper-library stand-ins on top of the quad device: texture creation (blank, or from a bitmap with
// a colour key), a sprite object and a text object drawing Shift-JIS text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/d3d_device.h"
#include "platform/gfx/gfx_types.h"

namespace gfx {

// ---------------------------------------------------------------------------------------------
// Textures.

// Size value asking for the picture's own size rounded up to a power of two.
inline constexpr int kDefaultSize = -1;
// Size value asking for the picture's own size as it is.
inline constexpr int kDefaultSizeNonPow2 = -2;

// Blank texture: Device::CreateTexture with the size adjusted to the caps (rounded up to a power of
// two when the device needs it, squared when it needs square textures, capped at the maximum).
// The game rounds sizes itself before calling; this keeps what it asks when that is legal.
Result CreateTextureHelper(Device* device, int width, int height, int levels, uint32_t usage, Format format, Pool pool,
                           Texture** out);

// A decoded picture as 0xAARRGGBB pixels, top row first (bitmaps come with alpha 0xFF).
struct ImageArgb {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};

// Texture from a picture with a colour key, no filtering:
// - the texture is `width` x `height` (kDefaultSize / kDefaultSizeNonPow2: from the picture);
// - the picture is placed at the top-left, unscaled (a texture smaller than the picture crops it);
// - `colourKey` (an opaque 0xFFRRGGBB; 0 = no key) is compared with each picture pixel as 32-bit
//   ARGB before conversion: equal pixels become 0x00000000 (transparent black);
// - texels beyond the picture (padding) are transparent black 0x00000000;
// - the result is written in `format` (A8R8G8B8 as is; A1R5G5B5: alpha 0 -> bit 0, else bit 1,
//   colour narrowed by truncation).
// `levels` 0 or 1, usage 0 or kUsageDynamic, pool Managed / SystemMem / Default.
Result CreateTextureFromImage(Device* device, const ImageArgb& image, int width, int height, int levels, uint32_t usage,
                              Format format, Pool pool, Colour colourKey, Texture** out);
// The same from a bitmap file (a path on disk; a game-relative Windows path is resolved through
// the platform's path resolution when present). A file that is not a readable Windows bitmap
// fails with kErrInvalidData; a missing file with kErrNotFound. `imageWidth`/`imageHeight` (may be
// null) receive the picture's size.
Result CreateTextureFromFileEx(Device* device, const char* path, int width, int height, int levels, uint32_t usage,
                               Format format, Pool pool, Colour colourKey, Texture** out, int* imageWidth = nullptr,
                               int* imageHeight = nullptr);
// Reads a bitmap file into an ImageArgb (shared by the texture loader and tests).
Result LoadImageArgb(const char* path, ImageArgb* out);

// ---------------------------------------------------------------------------------------------
// Sprite: draws textured rectangles with alpha blending between Begin and End.

inline constexpr uint32_t kSpriteAlphaBlend = 1u << 4;
inline constexpr uint32_t kSpriteSortTexture = 1u << 6;

class Sprite : public RefCounted {
 public:
  // Saves the device's draw state, sets: render target unchanged, blending SRCALPHA / INVSRCALPHA
  // (with kSpriteAlphaBlend; off without), stage 0 colour MODULATE(TEXTURE, DIFFUSE) and alpha
  // MODULATE(TEXTURE, DIFFUSE), point sampling, clamp addressing. kErrInvalidCall when already
  // begun or lost.
  Result Begin(uint32_t flags);
  // Queues `srcRect` (null = whole texture) of `texture` at `position` (x, y; the top-left pixel,
  // integer positions map texels 1:1) minus `centre` (x, y; null = 0), modulated by `colour`.
  Result Draw(Texture* texture, const Rect* srcRect, const float* centre, const float* position, Colour colour);
  // Draws the queue (sorted by texture, stable, with kSpriteSortTexture; else in call order) and
  // puts the saved state back.
  Result End();
  Result Flush();  // draws the queue without ending
  Result OnLostDevice();
  Result OnResetDevice();
  bool InBegin() const { return m_begun; }

 protected:
  ~Sprite() override;

 private:
  friend Result CreateSprite(Device* device, Sprite** out);
  Sprite() = default;
  struct Item {
    Texture* texture;
    Rect src;
    float x, y;
    Colour colour;
  };
  Device* m_device = nullptr;
  bool m_begun = false;
  uint32_t m_flags = 0;
  std::vector<Item> m_queue;
  Device::PipelineState m_saved;
};
Result CreateSprite(Device* device, Sprite** out);

// ---------------------------------------------------------------------------------------------
// Text.

// Where glyph coverage comes from: one rasterised text line at a time. The default source uses
// the platform's FreeType font (platform/font/raster_font.h); tests may install another.
class GlyphSource {
 public:
  virtual ~GlyphSource() = default;
  // Cell height of a line in pixels.
  virtual int LineHeight() = 0;
  // Width of a Shift-JIS line (no line feeds) in pixels.
  virtual int MeasureLine(const char* text, int length) = 0;
  // Draws a Shift-JIS line with its cell top-left at (x, y) into an 8-bit coverage buffer
  // (anti-aliased), clipped to it.
  virtual void DrawLine(const char* text, int length, int x, int y, uint8_t* coverage, int width, int height,
                        int pitch) = 0;
};

struct FontDesc {
  int height = 16;  // GDI-style cell height
  int width = 0;    // average character width, 0 = natural
  int weight = 400;
  bool italic = false;
  int charSet = 128;       // Shift-JIS
  char faceName[32] = {};  // CP932 bytes
};

// Drawing flags of Font::DrawTextA.
inline constexpr uint32_t kDtLeft = 0;
inline constexpr uint32_t kDtTop = 0;
inline constexpr uint32_t kDtSingleLine = 0x20;
inline constexpr uint32_t kDtNoClip = 0x100;
inline constexpr uint32_t kDtCalcRect = 0x400;

class Font : public RefCounted {
 public:
  // Draws Shift-JIS `text` (`count` bytes, -1 = up to NUL) with its top-left at rect's (left, top)
  // into the current render target, colour `colour` times glyph coverage, alpha-blended. Line feeds
  // start new lines (one LineHeight apart; with kDtSingleLine they are dropped instead). Without
  // kDtNoClip the text is clipped to `rect`.
  // kDtCalcRect: only measures, setting rect's right and bottom (left/top kept). Returns the height
  // of the text drawn (0 on failure). `sprite` may be null or a sprite between Begin and End (its
  // queue is flushed first so that the order of drawing is kept).
  int DrawTextA(Sprite* sprite, const char* text, int count, Rect* rect, uint32_t format, Colour colour);
  Result OnLostDevice();
  Result OnResetDevice();
  const FontDesc& Desc() const { return m_desc; }

 protected:
  ~Font() override;

 private:
  friend Result CreateFontIndirect(Device* device, const FontDesc& desc, Font** out);
  Font() = default;
  Device* m_device = nullptr;
  FontDesc m_desc;
  std::unique_ptr<GlyphSource> m_glyphs;
  Texture* m_scratch = nullptr;  // managed A8R8G8B8 texture the coverage is uploaded to
  std::vector<uint8_t> m_coverage;
};
// Creates a text object. Fails (kErrInvalidCall) when no glyph source can be made for the desc.
Result CreateFontIndirect(Device* device, const FontDesc& desc, Font** out);

// Installs the factory making glyph sources for new text objects (null restores the default, the
// FreeType font). For tests.
using GlyphSourceFactory = std::unique_ptr<GlyphSource> (*)(const FontDesc& desc);
void SetGlyphSourceFactory(GlyphSourceFactory factory);

}  // namespace gfx
