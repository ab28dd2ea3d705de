#include "platform/window/window_box.h"

#include <algorithm>

#include "platform/encoding.h"
#include "platform/font/raster_font.h"
#include "platform/input/virtual_keys.h"
#include "platform/message_box.h"

namespace {
// The look of a plain system dialog.
constexpr uint32_t kFace = 0xF0F0F0;
constexpr uint32_t kBorder = 0x646464;
constexpr uint32_t kCaption = 0x2B5797;
constexpr uint32_t kCaptionText = 0xFFFFFF;
constexpr uint32_t kText = 0x000000;
constexpr uint32_t kButtonFace = 0xE1E1E1;
constexpr uint32_t kButtonBorder = 0xADADAD;
constexpr uint32_t kFocusBorder = 0x0078D7;

constexpr int kFontHeight = 16;
constexpr int kPadding = 16;
constexpr int kCaptionHeight = kFontHeight + 8;
constexpr int kButtonHeight = kFontHeight + 10;
constexpr int kButtonMinWidth = 80;
constexpr int kButtonGap = 8;
constexpr int kMinBoxWidth = 240;
constexpr int kMargin = 20;  // between the box and the picture's edges

void fillRect(gfx::Frame& f, const cBoxRect& r, uint32_t colour) {
  for (int y = std::max(r.top, 0); y < std::min(r.bottom, f.height); ++y)
    for (int x = std::max(r.left, 0); x < std::min(r.right, f.width); ++x)
      f.pixels[static_cast<size_t>(y) * f.width + x] = colour;
}

void frameRect(gfx::Frame& f, const cBoxRect& r, uint32_t colour, int thickness) {
  fillRect(f, {r.left, r.top, r.right, r.top + thickness}, colour);
  fillRect(f, {r.left, r.bottom - thickness, r.right, r.bottom}, colour);
  fillRect(f, {r.left, r.top, r.left + thickness, r.bottom}, colour);
  fillRect(f, {r.right - thickness, r.top, r.right, r.bottom}, colour);
}

uint32_t blend(uint32_t under, uint32_t over, uint8_t coverage) {
  uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const uint32_t a = (under >> shift) & 0xFF, b = (over >> shift) & 0xFF;
    out |= ((a * (255u - coverage) + b * coverage + 127u) / 255u) << shift;
  }
  return out;
}

void drawText(gfx::Frame& f, RasterFont* font, std::string_view text, int x, int y, uint32_t colour) {
  if (!font) return;
  font->DrawCp932(text, x, y, GlyphRender::AntiAliased, [&](int px, int py, uint8_t coverage) {
    if (px < 0 || py < 0 || px >= f.width || py >= f.height) return;
    uint32_t& p = f.pixels[static_cast<size_t>(py) * f.width + px];
    p = blend(p, colour, coverage);
  });
}

int textWidth(RasterFont* font, std::string_view text) { return font ? font->MeasureCp932(text).width : 0; }

// Splits the text at its line feeds and wraps each line to maxWidth, at the last space when the line
// has one, else between characters (Japanese text has no spaces).
std::vector<std::string> wrapText(RasterFont* font, std::string_view text, int maxWidth) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(start, end - start));
    std::erase(line, '\r');
    while (textWidth(font, line) > maxWidth) {
      size_t cut = 0, lastSpace = 0;
      for (size_t pos = 0; pos < line.size();) {
        const size_t n = Cp932CharLength(line, pos);
        if (textWidth(font, std::string_view(line).substr(0, pos + n)) > maxWidth) break;
        if (n == 1 && line[pos] == ' ') lastSpace = pos;
        pos += n;
        cut = pos;
      }
      if (cut == 0) cut = Cp932CharLength(line, 0);  // one character wider than the box
      if (lastSpace > 0 && cut < line.size()) cut = lastSpace + 1;
      lines.push_back(line.substr(0, cut));
      line.erase(0, cut);
    }
    lines.push_back(line);
    start = end + 1;
  }
  // A text ending in a line feed (the game's questions do) has no empty last line.
  while (lines.size() > 1 && lines.back().empty()) lines.pop_back();
  return lines;
}
}  // namespace

cWindowBox::cWindowBox(std::string_view textCp932, std::string_view captionCp932, unsigned type, int width, int height)
    : m_pFont(RasterFont::Create("MS UI Gothic", kFontHeight)), m_strCaption(captionCp932), m_nType(type) {
  switch (type & MB_TYPEMASK) {
    case MB_YESNO: m_aButtons = {{IDYES, "Yes", {}}, {IDNO, "No", {}}}; break;
    case MB_OKCANCEL: m_aButtons = {{IDOK, "OK", {}}, {IDCANCEL, "Cancel", {}}}; break;
    default: m_aButtons = {{IDOK, "OK", {}}}; break;
  }
  if (m_pFont) m_nLineHeight = m_pFont->Metrics().height;
  Layout(textCp932, width, height);
}

cWindowBox::~cWindowBox() = default;

void cWindowBox::Layout(std::string_view text, int width, int height) {
  m_nWidth = width;
  m_nHeight = height;
  const int maxText = width - 2 * (kMargin + kPadding);
  m_aLines = wrapText(m_pFont.get(), text, maxText);
  // Lines the picture cannot hold are left out.
  const int maxLines =
      std::max(1, (height - 2 * kMargin - kCaptionHeight - kButtonHeight - 3 * kPadding) / m_nLineHeight);
  if (static_cast<int>(m_aLines.size()) > maxLines) m_aLines.resize(static_cast<size_t>(maxLines));

  int buttonsWidth = 0;
  for (cButton& b : m_aButtons) {
    b.rect.right = std::max(kButtonMinWidth, textWidth(m_pFont.get(), b.label) + 24);  // the width, for now
    buttonsWidth += b.rect.right + (buttonsWidth ? kButtonGap : 0);
  }
  int inner = std::max(buttonsWidth, textWidth(m_pFont.get(), m_strCaption));
  for (const std::string& line : m_aLines) inner = std::max(inner, textWidth(m_pFont.get(), line));
  const int boxWidth = std::clamp(inner + 2 * kPadding, kMinBoxWidth, width - 2 * kMargin);
  const int boxHeight = kCaptionHeight + kPadding + static_cast<int>(m_aLines.size()) * m_nLineHeight + kPadding +
                        kButtonHeight + kPadding;
  m_box.left = (width - boxWidth) / 2;
  m_box.top = std::max(0, (height - boxHeight) / 2);
  m_box.right = m_box.left + boxWidth;
  m_box.bottom = m_box.top + boxHeight;
  m_captionBar = {m_box.left, m_box.top, m_box.right, m_box.top + kCaptionHeight};
  m_nTextLeft = m_box.left + kPadding;
  m_nTextTop = m_captionBar.bottom + kPadding;

  // Buttons at the bottom right, in order.
  int x = m_box.right - kPadding - buttonsWidth;
  const int top = m_box.bottom - kPadding - kButtonHeight;
  for (cButton& b : m_aButtons) {
    const int w = b.rect.right;
    b.rect = {x, top, x + w, top + kButtonHeight};
    x += w + kButtonGap;
  }
}

gfx::Frame cWindowBox::Draw(const gfx::Frame* backdrop) const {
  gfx::Frame f;
  f.width = m_nWidth;
  f.height = m_nHeight;
  if (backdrop && backdrop->width == m_nWidth && backdrop->height == m_nHeight &&
      backdrop->pixels.size() >= static_cast<size_t>(m_nWidth) * m_nHeight) {
    f.pixels.assign(backdrop->pixels.begin(), backdrop->pixels.begin() + static_cast<ptrdiff_t>(m_nWidth) * m_nHeight);
    for (uint32_t& p : f.pixels) p = (p >> 1) & 0x7F7F7F;  // dimmed: the game waits behind the box
  } else {
    f.pixels.assign(static_cast<size_t>(m_nWidth) * m_nHeight, 0);
  }
  fillRect(f, m_box, kFace);
  fillRect(f, m_captionBar, kCaption);
  frameRect(f, m_box, kBorder, 1);
  RasterFont* font = m_pFont.get();
  drawText(f, font, m_strCaption, m_box.left + 8, m_box.top + (kCaptionHeight - m_nLineHeight) / 2, kCaptionText);
  for (size_t i = 0; i < m_aLines.size(); ++i)
    drawText(f, font, m_aLines[i], m_nTextLeft, m_nTextTop + static_cast<int>(i) * m_nLineHeight, kText);
  for (size_t i = 0; i < m_aButtons.size(); ++i) {
    const cButton& b = m_aButtons[i];
    fillRect(f, b.rect, kButtonFace);
    const bool focused = static_cast<int>(i) == m_nFocus;
    frameRect(f, b.rect, focused ? kFocusBorder : kButtonBorder, focused ? 2 : 1);
    const int w = textWidth(font, b.label);
    drawText(f, font, b.label, (b.rect.left + b.rect.right - w) / 2, b.rect.top + (kButtonHeight - m_nLineHeight) / 2,
             kText);
  }
  return f;
}

int cWindowBox::EscapeAnswer() const {
  switch (m_nType & MB_TYPEMASK) {
    case MB_YESNO: return IDNO;
    case MB_OKCANCEL: return IDCANCEL;
    default: return IDOK;
  }
}

int cWindowBox::OnKey(int vk) {
  const int count = static_cast<int>(m_aButtons.size());
  switch (vk) {
    case VK_RETURN:
    case VK_SPACE: return m_aButtons[static_cast<size_t>(m_nFocus)].id;
    case VK_ESCAPE: return EscapeAnswer();
    case VK_LEFT: m_nFocus = (m_nFocus + count - 1) % count; return 0;
    case VK_RIGHT:
    case VK_TAB: m_nFocus = (m_nFocus + 1) % count; return 0;
    default: break;
  }
  // The first letter of a button's label presses it: Y, N, O, C.
  for (const cButton& b : m_aButtons)
    if (vk == b.label[0]) return b.id;
  return 0;
}

int cWindowBox::ButtonAt(int x, int y) const {
  for (size_t i = 0; i < m_aButtons.size(); ++i)
    if (m_aButtons[i].rect.Contains(x, y)) return static_cast<int>(i);
  return -1;
}

int cWindowBox::OnMouseDown(int x, int y) {
  m_nPressed = ButtonAt(x, y);
  if (m_nPressed >= 0) m_nFocus = m_nPressed;
  return 0;
}

int cWindowBox::OnMouseUp(int x, int y) {
  // A click is a press and a release on the same button, as with a system button.
  const int pressed = m_nPressed;
  m_nPressed = -1;
  return pressed >= 0 && ButtonAt(x, y) == pressed ? m_aButtons[static_cast<size_t>(pressed)].id : 0;
}
