// FreeType rasterisation of the game's fonts.
#include "platform/font/raster_font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/font/cp932_chars.h"

namespace {

constexpr int kMaxFontHeight = 1024;

// One FreeType library for the process; creating and freeing faces goes through it under a lock
// (FreeType's library object is not thread-safe, its separate faces are).
std::mutex& LibraryMutex() {
  static std::mutex mutex;
  return mutex;
}
FT_Library Library() {
  static FT_Library library = [] {
    FT_Library created = nullptr;
    if (FT_Init_FreeType(&created) != 0) created = nullptr;
    return created;
  }();
  return library;
}

// The vertical extent of a face in font units: the Windows ascent and descent of its OS/2 table
// (what GDI sizes a cell by), or the horizontal header's when the table is missing.
void FaceExtent(FT_Face face, long& ascent, long& descent) {
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 != nullptr && os2->usWinAscent + os2->usWinDescent > 0) {
    ascent = os2->usWinAscent;
    descent = os2->usWinDescent;
  } else {
    ascent = face->ascender;
    descent = -face->descender;
  }
  if (ascent + descent <= 0) {
    ascent = face->units_per_EM;
    descent = 0;
  }
}

// The face to take ch from and its glyph index there: the primary face, or the fallback (null when
// there is none) for a character the primary lacks. Neither having it gives the primary's index 0,
// its missing-glyph box.
FT_Face FaceWithGlyph(FT_Face primary, FT_Face fallback, char32_t ch, FT_UInt& index) {
  index = FT_Get_Char_Index(primary, ch);
  if (index == 0 && fallback) {
    const FT_UInt fallbackIndex = FT_Get_Char_Index(fallback, ch);
    if (fallbackIndex != 0) {
      index = fallbackIndex;
      return fallback;
    }
  }
  return primary;
}

}  // namespace

struct RasterFont::FaceHandle {
  FT_Face face = nullptr;
  ~FaceHandle() {
    if (face != nullptr) {
      std::lock_guard<std::mutex> lock(LibraryMutex());
      FT_Done_Face(face);
    }
  }
  static std::unique_ptr<FaceHandle> Open(const ResolvedFontFile& file) {
    if (!file.ok()) return nullptr;
    std::lock_guard<std::mutex> lock(LibraryMutex());
    if (Library() == nullptr) return nullptr;
    auto handle = std::make_unique<FaceHandle>();
    if (FT_New_Face(Library(), file.path.c_str(), file.faceIndex, &handle->face) != 0) {
      handle->face = nullptr;
      return nullptr;
    }
    if (!FT_IS_SCALABLE(handle->face)) return nullptr;
    FT_Select_Charmap(handle->face, FT_ENCODING_UNICODE);
    return handle;
  }
  bool SetSize(int xPixels, int yPixels) {
    return FT_Set_Pixel_Sizes(face, static_cast<FT_UInt>(xPixels), static_cast<FT_UInt>(yPixels)) == 0;
  }
};

std::unique_ptr<RasterFont> RasterFont::Create(std::string_view faceCp932, int height, int charWidth) {
  if (height == 0 || std::abs(height) > kMaxFontHeight || charWidth < 0 || charWidth > kMaxFontHeight) {
    return nullptr;
  }
  std::unique_ptr<RasterFont> font(new RasterFont());
  font->m_file = ResolveFontFace(faceCp932);
  font->m_primary = FaceHandle::Open(font->m_file);
  if (!font->m_primary) {
    // The chosen file cannot be opened: draw everything with the Japanese fallback.
    font->m_file = ResolveJapaneseFallback();
    font->m_primary = FaceHandle::Open(font->m_file);
    if (!font->m_primary) return nullptr;
  }
  const ResolvedFontFile fallbackFile = ResolveJapaneseFallback();
  if (fallbackFile.ok() && fallbackFile.path != font->m_file.path) font->m_fallback = FaceHandle::Open(fallbackFile);

  // GDI's height rule: positive = cell height (ascent + descent), negative = em size.
  FT_Face face = font->m_primary->face;
  long ascentUnits = 0;
  long descentUnits = 0;
  FaceExtent(face, ascentUnits, descentUnits);
  const double unitsPerEm = face->units_per_EM > 0 ? face->units_per_EM : 1000.0;
  FontMetrics& metrics = font->m_metrics;
  if (height > 0) {
    metrics.height = height;
    metrics.emPixels = std::max(1, static_cast<int>(std::lround(height * unitsPerEm / (ascentUnits + descentUnits))));
    metrics.ascent =
        static_cast<int>(std::lround(static_cast<double>(height) * ascentUnits / (ascentUnits + descentUnits)));
    metrics.descent = height - metrics.ascent;
  } else {
    metrics.emPixels = -height;
    metrics.ascent = static_cast<int>(std::lround(metrics.emPixels * ascentUnits / unitsPerEm));
    metrics.descent = static_cast<int>(std::lround(metrics.emPixels * descentUnits / unitsPerEm));
    metrics.height = metrics.ascent + metrics.descent;
  }
  metrics.internalLeading = std::max(0, metrics.height - metrics.emPixels);
  // CreateFont's width is the average character width, half the em of these faces.
  const int xPixels = charWidth > 0 ? charWidth * 2 : metrics.emPixels;
  if (!font->m_primary->SetSize(xPixels, metrics.emPixels)) return nullptr;
  if (font->m_fallback && !font->m_fallback->SetSize(xPixels, metrics.emPixels)) font->m_fallback.reset();

  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 != nullptr && os2->xAvgCharWidth > 0) {
    metrics.averageCharWidth = static_cast<int>(std::lround(os2->xAvgCharWidth * xPixels / unitsPerEm));
  } else {
    metrics.averageCharWidth = font->Advance(U'x');
  }
  metrics.maxCharWidth = static_cast<int>(std::lround(face->max_advance_width * xPixels / unitsPerEm));
  return font;
}

RasterFont::~RasterFont() = default;

int RasterFont::Advance(char32_t ch) {
  std::lock_guard<std::recursive_mutex> lock(m_mutex);
  return AdvanceLocked(ch);
}

int RasterFont::AdvanceLocked(char32_t ch) {
  if (auto it = m_advances.find(ch); it != m_advances.end()) return it->second;
  int advance = 0;
  if (ch < 0x20) {
    advance = AdvanceLocked(U' ');  // control characters take a space and draw nothing
  } else {
    FT_UInt index = 0;
    const FT_Face face = FaceWithGlyph(m_primary->face, m_fallback ? m_fallback->face : nullptr, ch, index);
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT) == 0) {
      advance = static_cast<int>((face->glyph->advance.x + 32) >> 6);
    }
  }
  m_advances[ch] = advance;
  return advance;
}

const GlyphBitmap& RasterFont::Glyph(char32_t ch, GlyphRender mode) {
  std::lock_guard<std::recursive_mutex> lock(m_mutex);
  return GlyphLocked(ch, mode);
}

const GlyphBitmap& RasterFont::GlyphLocked(char32_t ch, GlyphRender mode) {
  auto& cache = mode == GlyphRender::Monochrome ? m_monoGlyphs : m_aaGlyphs;
  if (auto it = cache.find(ch); it != cache.end()) return it->second;
  GlyphBitmap glyph;
  glyph.advance = AdvanceLocked(ch);
  if (ch >= 0x20) {
    FT_UInt index = 0;
    const FT_Face face = FaceWithGlyph(m_primary->face, m_fallback ? m_fallback->face : nullptr, ch, index);
    const bool mono = mode == GlyphRender::Monochrome;
    const FT_Int32 loadFlags = mono ? (FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO) : (FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP);
    if (FT_Load_Glyph(face, index, loadFlags) == 0 &&
        FT_Render_Glyph(face->glyph, mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) == 0) {
      const FT_Bitmap& bitmap = face->glyph->bitmap;
      glyph.width = static_cast<int>(bitmap.width);
      glyph.height = static_cast<int>(bitmap.rows);
      glyph.left = face->glyph->bitmap_left;
      glyph.top = m_metrics.ascent - face->glyph->bitmap_top;
      glyph.coverage.assign(static_cast<size_t>(glyph.width) * glyph.height, 0);
      const int pitch = bitmap.pitch;
      for (int row = 0; row < glyph.height; ++row) {
        const unsigned char* source = pitch >= 0
                                          ? bitmap.buffer + static_cast<ptrdiff_t>(row) * pitch
                                          : bitmap.buffer + static_cast<ptrdiff_t>(glyph.height - 1 - row) * -pitch;
        uint8_t* target = glyph.coverage.data() + static_cast<size_t>(row) * glyph.width;
        for (int column = 0; column < glyph.width; ++column) {
          uint8_t value = 0;
          if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
            value = (source[column >> 3] & (0x80 >> (column & 7))) ? 255 : 0;
          } else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
            value = source[column];
            if (mono) value = value >= 128 ? 255 : 0;
          }
          target[column] = value;
        }
      }
    }
  }
  return cache.emplace(ch, std::move(glyph)).first->second;
}

TextExtent RasterFont::MeasureUtf32(std::u32string_view text) {
  std::lock_guard<std::recursive_mutex> lock(m_mutex);
  TextExtent extent{0, m_metrics.height};
  for (char32_t ch : text) extent.width += AdvanceLocked(ch);
  return extent;
}

TextExtent RasterFont::MeasureCp932(std::string_view text) { return MeasureUtf32(Cp932ToUtf32(text)); }

int RasterFont::DrawCp932(std::string_view text, int x, int y, GlyphRender mode, const PlotFunction& plot) {
  std::lock_guard<std::recursive_mutex> lock(m_mutex);
  int pen = x;
  for (char32_t ch : Cp932ToUtf32(text)) {
    const GlyphBitmap& glyph = GlyphLocked(ch, mode);
    for (int row = 0; row < glyph.height; ++row) {
      for (int column = 0; column < glyph.width; ++column) {
        const uint8_t coverage = glyph.coverage[static_cast<size_t>(row) * glyph.width + column];
        if (coverage != 0) plot(pen + glyph.left + column, y + glyph.top + row, coverage);
      }
    }
    pen += glyph.advance;
  }
  return pen;
}

int RasterFont::DrawCp932(std::string_view text, int x, int y, GlyphRender mode, const CoverageTarget& target) {
  if (target.pixels == nullptr || target.width <= 0 || target.height <= 0 || target.pitch < target.width) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return x + MeasureCp932(text).width;
  }
  return DrawCp932(text, x, y, mode, [&target](int px, int py, uint8_t coverage) {
    if (px < 0 || py < 0 || px >= target.width || py >= target.height) return;
    uint8_t& pixel = target.pixels[static_cast<size_t>(py) * target.pitch + px];
    pixel = std::max(pixel, coverage);
  });
}
