// The default glyph source of the helper library's text object: the platform's FreeType font,
// anti-aliased.
#include <cstring>
#include <memory>
#include <string_view>

#include "platform/font/raster_font.h"
#include "platform/gfx/d3dx.h"

namespace gfx {

namespace {
class RasterFontGlyphs final : public GlyphSource {
 public:
  explicit RasterFontGlyphs(std::unique_ptr<RasterFont> font) : m_font(std::move(font)) {}
  int LineHeight() override { return m_font->Metrics().height; }
  int MeasureLine(const char* text, int length) override {
    return m_font->MeasureCp932(std::string_view(text, static_cast<size_t>(length))).width;
  }
  void DrawLine(const char* text, int length, int x, int y, uint8_t* coverage, int width, int height,
                int pitch) override {
    CoverageTarget target{coverage, width, height, pitch};
    m_font->DrawCp932(std::string_view(text, static_cast<size_t>(length)), x, y, GlyphRender::AntiAliased, target);
  }

 private:
  std::unique_ptr<RasterFont> m_font;
};
}  // namespace

std::unique_ptr<GlyphSource> MakeDefaultGlyphSource(const FontDesc& desc) {
  const size_t n = strnlen(desc.faceName, sizeof desc.faceName);
  auto font = RasterFont::Create(std::string_view(desc.faceName, n), desc.height, desc.width);
  if (!font) return nullptr;
  return std::make_unique<RasterFontGlyphs>(std::move(font));
}

}  // namespace gfx
