// Boxed texts: the font's skin picture with a frame, and a text inside it.
#include <cstdarg>
#include <string>

#include "core/log.h"
#include "media/graphics/blit.h"
#include "media/graphics/composite_draw.h"
#include "media/graphics/draw_trace.h"
#include "media/graphics/font.h"

namespace {
constexpr int kCentred = 10000;
}

void cFont::DrawBox(DDSURFACEDATA* dst, int x, int y, int w, int h) {
  if (DDTraceCall("cFont::DrawBox", dst, nullptr, {double(x), double(y), double(w), double(h)})) return;
  if (!m_lpSkin) return;
  if (x == kCentred) x = (m_lpSkin->nWidth >> 1) - (w >> 1);
  if (y == kCentred) y = (m_lpSkin->nHeight >> 1) - (h >> 1);
  DDBltFramed(dst, x, y, w, h, m_lpSkin, m_nFrame, static_cast<uint32_t>(m_nFrameColor));
}

void cFont::DrawBoxStringEx(DDSURFACEDATA* dst, int x, int y, int w, int h, const char* text, int margin) {
  if (!m_lpSkin || !text) return;
  if (w == 0 || h == 0) {
    int tw = 0, th = 0;
    Measure(text, &tw, &th);
    if (w == 0) w = margin + tw;
    if (h == 0) h = th;
  }
  if (x == kCentred) x = (m_lpSkin->nWidth >> 1) - (w >> 1);
  if (y == kCentred) y = (m_lpSkin->nHeight >> 1) - (h >> 1);
  DDBlt(dst, x, y, w, h, m_lpSkin, 0, 0, 1);
  DrawString(dst, x + margin, y, text, 0);
  const int t = m_nFrame;
  DDFrameRect(dst, x - t, y - t, w + 2 * t, h + 2 * t, t, static_cast<uint32_t>(m_nFrameColor));
}

void cFont::DrawBoxString(DDSURFACEDATA* dst, int x, int y, int w, int h, const char* text, int margin) {
  if (DDTraceCall("cFont::DrawBoxString", dst, nullptr, {double(x), double(y), double(w), double(h), double(margin)},
                  text))
    return;
  DrawBoxStringEx(dst, x, y, w, h, text, margin);
}

void cFont::DrawBoxStringF(DDSURFACEDATA* dst, int x, int y, int w, int h, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatBounded(512, format, args);
  va_end(args);
  DrawBoxStringEx(dst, x, y, w, h, text.c_str(), 0);
}
