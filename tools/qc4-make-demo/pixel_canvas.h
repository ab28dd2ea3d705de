#pragma once
// An 8-bit picture being drawn: one palette number per pixel, top row first, and the few shapes the
// demo's pictures are made of, including block letters from a 5 x 7 dot alphabet of its own.
#include <cstdint>
#include <string_view>
#include <vector>

class cCanvas {
 public:
  cCanvas(int width, int height, uint8_t fill = 0);

  int Width() const { return m_nWidth; }
  int Height() const { return m_nHeight; }
  const std::vector<uint8_t>& Pixels() const { return m_aPixels; }
  uint8_t At(int x, int y) const;

  // Every shape is clipped to the picture.
  void Set(int x, int y, uint8_t colour);
  void FillRect(int x, int y, int w, int h, uint8_t colour);
  void FrameRect(int x, int y, int w, int h, uint8_t colour);
  void FillCircle(int cx, int cy, int radius, uint8_t colour);
  void FillEllipse(int cx, int cy, int rx, int ry, uint8_t colour);
  void Line(int x0, int y0, int x1, int y1, uint8_t colour);
  // A triangle filled row by row.
  void FillTriangle(int x0, int y0, int x1, int y1, int x2, int y2, uint8_t colour);
  // Copies a rectangle of another canvas here, leaving out its pixels of colour `skip` when skip >= 0.
  void Paste(const cCanvas& from, int sx, int sy, int w, int h, int dx, int dy, int skip = -1);

  // Upper-case letters, digits and " -!.:'" in 5 x 7 dots, each dot scale x scale pixels, with a
  // one-dot gap between letters. Other characters draw as a gap.
  void Text(int x, int y, std::string_view text, int scale, uint8_t colour);
  // Text with a one-dot drop shadow down and right.
  void ShadowText(int x, int y, std::string_view text, int scale, uint8_t colour, uint8_t shadow);
  static int TextWidth(std::string_view text, int scale);

 private:
  int m_nWidth;
  int m_nHeight;
  std::vector<uint8_t> m_aPixels;
};
