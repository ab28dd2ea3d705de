// A rasterised font over FreeType: stands in for the GDI fonts (CreateFont, TextOut,
// GetTextExtentPoint32) of the DirectDraw path and the D3DX font of the Direct3D path.
//
// Size follows GDI's CreateFont height: a positive height is the cell height (ascent + descent,
// internal leading included), a negative height is the character height (the em size, cell height
// minus internal leading). The game creates its fonts with positive heights 10, 16 and 30, so its
// text cells are exactly that tall. Text is Shift-JIS (CP932) bytes. Glyphs come as monochrome masks
// (coverage 0 or 255: the DirectDraw path, no fringes on keyed or 8-bit surfaces) or as 8-bit
// anti-aliased coverage (the Direct3D path). A character the chosen face lacks is taken from the
// Japanese fallback face, as Windows font linking does.
//
// Positions: a text drawn at (x, y) has its cell's top-left corner at (x, y), the baseline at
// y + ascent (TextOut with TA_TOP | TA_LEFT). A font object may be used from one thread at a time
// per call; calls are serialised internally, so sharing it across threads is safe but not parallel.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/font/font_faces.h"

enum class GlyphRender {
  Monochrome,   // coverage is 0 or 255
  AntiAliased,  // coverage 0-255
};

// The font's vertical metrics in pixels (TEXTMETRIC's meaning).
struct FontMetrics {
  int height = 0;            // cell height = ascent + descent
  int ascent = 0;            // cell top to baseline
  int descent = 0;           // baseline to cell bottom
  int internalLeading = 0;   // height - em size
  int emPixels = 0;          // character height (em size) in pixels
  int averageCharWidth = 0;  // advance of "x" (or half the em for Japanese faces)
  int maxCharWidth = 0;
};

// One rendered glyph: a coverage mask placed relative to the pen position at the cell's top.
struct GlyphBitmap {
  int width = 0;
  int height = 0;
  int left = 0;                   // from the pen x to the mask's left column
  int top = 0;                    // from the cell top to the mask's first row (ascent - bearing)
  int advance = 0;                // pen movement in whole pixels
  std::vector<uint8_t> coverage;  // width * height, row after row
};

// Width and height of a text line, GetTextExtentPoint32's answer.
struct TextExtent {
  int width = 0;
  int height = 0;
  bool operator==(const TextExtent&) const = default;
};

// A caller-owned 8-bit coverage buffer that text can be drawn into (clipped to it).
struct CoverageTarget {
  uint8_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int pitch = 0;  // bytes per row, >= width
};

class RasterFont {
 public:
  // Creates a font for a Windows face name (CP932 bytes) and a GDI-style height; `charWidth` is
  // CreateFont's average character width (0 = the face's natural width). Returns null when no font
  // file could be opened at all or the height is 0 / absurd (|height| > 1024).
  static std::unique_ptr<RasterFont> Create(std::string_view faceCp932, int height, int charWidth = 0);
  ~RasterFont();
  RasterFont(const RasterFont&) = delete;
  RasterFont& operator=(const RasterFont&) = delete;

  const FontMetrics& Metrics() const { return m_metrics; }
  const ResolvedFontFile& FontFile() const { return m_file; }

  // Advance of one character (a code point) in whole pixels.
  int Advance(char32_t ch);
  // GetTextExtentPoint32 over CP932 text: width = sum of the characters' advances, height = the cell
  // height; line feeds are not special (measure line by line). An empty text is {0, cell height}.
  TextExtent MeasureCp932(std::string_view text);
  TextExtent MeasureUtf32(std::u32string_view text);

  // The rendered glyph of one code point (cached per render mode). Control characters (< 0x20) and
  // spaces have no ink.
  const GlyphBitmap& Glyph(char32_t ch, GlyphRender mode);

  // Draws CP932 text with its cell top-left at (x, y), calling plot(px, py, coverage) for every
  // pixel with coverage > 0, left to right. Returns the pen x after the text.
  using PlotFunction = std::function<void(int x, int y, uint8_t coverage)>;
  int DrawCp932(std::string_view text, int x, int y, GlyphRender mode, const PlotFunction& plot);
  // Draws into a coverage buffer, keeping the larger coverage where glyphs overlap; clipped.
  int DrawCp932(std::string_view text, int x, int y, GlyphRender mode, const CoverageTarget& target);

 private:
  struct FaceHandle;
  RasterFont() = default;
  const GlyphBitmap& GlyphLocked(char32_t ch, GlyphRender mode);
  int AdvanceLocked(char32_t ch);

  std::recursive_mutex m_mutex;  // recursive: a plot callback may measure with the same font
  ResolvedFontFile m_file;
  FontMetrics m_metrics;
  std::unique_ptr<FaceHandle> m_primary;
  std::unique_ptr<FaceHandle> m_fallback;  // null when the primary is the fallback font itself
  std::unordered_map<char32_t, GlyphBitmap> m_monoGlyphs;
  std::unordered_map<char32_t, GlyphBitmap> m_aaGlyphs;
  std::unordered_map<char32_t, int> m_advances;
};
