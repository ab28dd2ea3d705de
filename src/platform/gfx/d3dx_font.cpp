// Helper-library text object: lays out Shift-JIS lines, takes anti-aliased glyph coverage from its
// glyph source and draws it as one alpha-blended textured rectangle in the text colour.
#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/d3dx.h"
#include "platform/gfx/draw_state.h"

namespace gfx {

std::unique_ptr<GlyphSource> MakeDefaultGlyphSource(const FontDesc& desc);  // glyph_source_freetype.cpp

namespace {
GlyphSourceFactory g_factory = nullptr;

std::vector<std::string_view> SplitLines(const char* text, int count) {
  std::vector<std::string_view> lines;
  int start = 0;
  for (int i = 0; i <= count; ++i) {
    if (i == count || text[i] == '\n') {
      int end = i;
      if (end > start && text[end - 1] == '\r') --end;
      lines.emplace_back(text + start, static_cast<size_t>(end - start));
      start = i + 1;
    }
  }
  return lines;
}

int RoundUpPow2(int v) {
  int p = 1;
  while (p < v) p <<= 1;
  return p;
}
}  // namespace

void SetGlyphSourceFactory(GlyphSourceFactory factory) { g_factory = factory; }

Result CreateFontIndirect(Device* device, const FontDesc& desc, Font** out) {
  if (!device || !out) return kErrInvalidCall;
  *out = nullptr;
  std::unique_ptr<GlyphSource> glyphs = g_factory ? g_factory(desc) : MakeDefaultGlyphSource(desc);
  if (!glyphs) return kErrInvalidCall;
  auto* font = new (std::nothrow) Font();
  if (!font) return kErrOutOfMemory;
  font->m_device = device;
  font->m_desc = desc;
  font->m_glyphs = std::move(glyphs);
  device->AddRef();
  *out = font;
  return kOk;
}

Font::~Font() {
  if (m_scratch) m_scratch->Release();
  if (m_device) m_device->Release();
}

int Font::DrawTextA(Sprite* sprite, const char* text, int count, Rect* rect, uint32_t format, Colour colour) {
  if (!text || !rect) return 0;
  if (count < 0) count = static_cast<int>(std::strlen(text));
  std::string singleLine;
  if (format & kDtSingleLine) {
    // One line whatever the text holds: line breaks are dropped (they are never Shift-JIS trail bytes).
    singleLine.assign(text, static_cast<size_t>(count));
    singleLine.erase(
        std::remove_if(singleLine.begin(), singleLine.end(), [](char c) { return c == '\n' || c == '\r'; }),
        singleLine.end());
    text = singleLine.c_str();
    count = static_cast<int>(singleLine.size());
  }
  const std::vector<std::string_view> lines = SplitLines(text, count);
  const int lineHeight = m_glyphs->LineHeight();
  int width = 0;
  for (const std::string_view& line : lines)
    width = std::max(width, m_glyphs->MeasureLine(line.data(), static_cast<int>(line.size())));
  const int height = lineHeight * static_cast<int>(lines.size());
  if (format & kDtCalcRect) {
    rect->right = rect->left + width;
    rect->bottom = rect->top + height;
    return height;
  }
  int w = width, h = height;
  if (!(format & kDtNoClip)) {
    w = std::min(w, rect->Width());
    h = std::min(h, rect->Height());
  }
  if (w <= 0 || h <= 0) return height;
  if (m_device->IsLost()) return height;
  if (sprite && sprite->InBegin()) sprite->Flush();

  // Coverage of the whole text, then uploaded as white texels with coverage alpha.
  const int pitch = width;
  m_coverage.assign(static_cast<size_t>(width) * height, 0);
  for (size_t i = 0; i < lines.size(); ++i)
    m_glyphs->DrawLine(lines[i].data(), static_cast<int>(lines[i].size()), 0, static_cast<int>(i) * lineHeight,
                       m_coverage.data(), width, height, pitch);

  const DeviceCaps& caps = m_device->Caps();
  int tw = caps.pow2Textures ? RoundUpPow2(w) : w, th = caps.pow2Textures ? RoundUpPow2(h) : h;
  if (caps.squareOnlyTextures) tw = th = std::max(tw, th);
  if (tw > caps.maxTextureWidth || th > caps.maxTextureHeight) {
    tw = std::min(tw, caps.maxTextureWidth);
    th = std::min(th, caps.maxTextureHeight);
    w = std::min(w, tw);
    h = std::min(h, th);
  }
  if (!m_scratch || m_scratch->Width() < tw || m_scratch->Height() < th) {
    const int nw = m_scratch ? std::max(tw, m_scratch->Width()) : tw;
    const int nh = m_scratch ? std::max(th, m_scratch->Height()) : th;
    if (m_scratch) m_scratch->Release();
    m_scratch = nullptr;
    if (Failed(m_device->CreateTexture(nw, nh, 1, 0, Format::A8R8G8B8, Pool::Managed, &m_scratch))) return 0;
  }
  Surface* level = m_scratch->Level0();
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(level->Row(y));
    const uint8_t* cov = m_coverage.data() + static_cast<size_t>(y) * pitch;
    for (int x = 0; x < w; ++x) row[x] = uint32_t{cov[x]} << 24 | 0x00FFFFFF;
  }
  const SavedDrawState saved(m_device);
  SavedDrawState::SetTextured(m_device, true);
  DrawTexturedRect(m_device, m_scratch, static_cast<float>(rect->left), static_cast<float>(rect->top), 0, 0, w, h,
                   colour);
  saved.Restore();
  return height;
}

Result Font::OnLostDevice() { return kOk; }
Result Font::OnResetDevice() { return kOk; }

}  // namespace gfx
