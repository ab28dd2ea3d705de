#include "pixel_canvas.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

// One letter: seven rows of five dots, '#' set.
struct cGlyph {
  char ch;
  const char* rows[7];
};

constexpr cGlyph kGlyphs[] = {
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'J', {"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
    {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
    {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"####.", "....#", "....#", ".###.", "....#", "....#", "####."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {".###.", "#....", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "....#", ".###."}},
    {'-', {".....", ".....", ".....", "#####", ".....", ".....", "....."}},
    {'!', {"..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."}},
    {'.', {".....", ".....", ".....", ".....", ".....", ".##..", ".##.."}},
    {':', {".....", ".##..", ".##..", ".....", ".##..", ".##..", "....."}},
    {'\'', {"..#..", "..#..", ".#...", ".....", ".....", ".....", "....."}},
};

const cGlyph* FindGlyph(char ch) {
  if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  for (const cGlyph& g : kGlyphs)
    if (g.ch == ch) return &g;
  return nullptr;
}

}  // namespace

cCanvas::cCanvas(int width, int height, uint8_t fill)
    : m_nWidth(width), m_nHeight(height), m_aPixels(static_cast<size_t>(width) * static_cast<size_t>(height), fill) {}

uint8_t cCanvas::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight) return 0;
  return m_aPixels[static_cast<size_t>(y) * static_cast<size_t>(m_nWidth) + static_cast<size_t>(x)];
}

void cCanvas::Set(int x, int y, uint8_t colour) {
  if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight) return;
  m_aPixels[static_cast<size_t>(y) * static_cast<size_t>(m_nWidth) + static_cast<size_t>(x)] = colour;
}

void cCanvas::FillRect(int x, int y, int w, int h, uint8_t colour) {
  const int x0 = std::max(0, x), y0 = std::max(0, y);
  const int x1 = std::min(m_nWidth, x + w), y1 = std::min(m_nHeight, y + h);
  for (int yy = y0; yy < y1; ++yy)
    for (int xx = x0; xx < x1; ++xx)
      m_aPixels[static_cast<size_t>(yy) * static_cast<size_t>(m_nWidth) + static_cast<size_t>(xx)] = colour;
}

void cCanvas::FrameRect(int x, int y, int w, int h, uint8_t colour) {
  FillRect(x, y, w, 1, colour);
  FillRect(x, y + h - 1, w, 1, colour);
  FillRect(x, y, 1, h, colour);
  FillRect(x + w - 1, y, 1, h, colour);
}

void cCanvas::FillCircle(int cx, int cy, int radius, uint8_t colour) { FillEllipse(cx, cy, radius, radius, colour); }

void cCanvas::FillEllipse(int cx, int cy, int rx, int ry, uint8_t colour) {
  if (rx <= 0 || ry <= 0) return;
  const long long rx2 = static_cast<long long>(rx) * rx, ry2 = static_cast<long long>(ry) * ry;
  for (int dy = -ry; dy <= ry; ++dy)
    for (int dx = -rx; dx <= rx; ++dx)
      if (dx * dx * ry2 + dy * dy * rx2 <= rx2 * ry2) Set(cx + dx, cy + dy, colour);
}

void cCanvas::Line(int x0, int y0, int x1, int y1, uint8_t colour) {
  const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
  const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    Set(x0, y0, colour);
    if (x0 == x1 && y0 == y1) break;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
}

void cCanvas::FillTriangle(int x0, int y0, int x1, int y1, int x2, int y2, uint8_t colour) {
  // Each row is filled between the edges that cross it (edge functions on pixel centres).
  const int minY = std::min({y0, y1, y2}), maxY = std::max({y0, y1, y2});
  const int minX = std::min({x0, x1, x2}), maxX = std::max({x0, x1, x2});
  auto edge = [](int ax, int ay, int bx, int by, int px, int py) {
    return static_cast<long long>(bx - ax) * (py - ay) - static_cast<long long>(by - ay) * (px - ax);
  };
  const long long area = edge(x0, y0, x1, y1, x2, y2);
  if (area == 0) return;
  for (int y = minY; y <= maxY; ++y)
    for (int x = minX; x <= maxX; ++x) {
      long long w0 = edge(x1, y1, x2, y2, x, y), w1 = edge(x2, y2, x0, y0, x, y), w2 = edge(x0, y0, x1, y1, x, y);
      if (area < 0) {
        w0 = -w0;
        w1 = -w1;
        w2 = -w2;
      }
      if (w0 >= 0 && w1 >= 0 && w2 >= 0) Set(x, y, colour);
    }
}

void cCanvas::Paste(const cCanvas& from, int sx, int sy, int w, int h, int dx, int dy, int skip) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint8_t c = from.At(sx + x, sy + y);
      if (skip >= 0 && c == skip) continue;
      Set(dx + x, dy + y, c);
    }
}

int cCanvas::TextWidth(std::string_view text, int scale) {
  if (text.empty()) return 0;
  return static_cast<int>(text.size()) * 6 * scale - scale;
}

void cCanvas::Text(int x, int y, std::string_view text, int scale, uint8_t colour) {
  for (char ch : text) {
    if (const cGlyph* g = FindGlyph(ch))
      for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 5; ++col)
          if (g->rows[row][col] == '#') FillRect(x + col * scale, y + row * scale, scale, scale, colour);
    x += 6 * scale;
  }
}

void cCanvas::ShadowText(int x, int y, std::string_view text, int scale, uint8_t colour, uint8_t shadow) {
  Text(x + scale, y + scale, text, scale, shadow);
  Text(x, y, text, scale, colour);
}
