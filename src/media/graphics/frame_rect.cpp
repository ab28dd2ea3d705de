#include "media/graphics/frame_rect.h"

#include "media/graphics/blit.h"

int DDFrameRect(DDSURFACEDATA* dst, int x, int y, int w, int h, int t, uint32_t palNum) {
  // One batch for the four sides: top, bottom, left, right (the corners are filled twice).
  DDBeginFillBatch();
  DDFillRect(dst, x, y, w, t, palNum);
  DDFillRect(dst, x, y + h - t, w, t, palNum);
  DDFillRect(dst, x, y, t, h, palNum);
  DDFillRect(dst, x + w - t, y, t, h, palNum);
  return DDEndFillBatch();
}

void DDBltFramed(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int t, uint32_t palNum) {
  DDBlt(dst, x, y, w, h, src, 0, 0, 1);
  DDFrameRect(dst, x - t, y - t, w + 2 * t, h + 2 * t, t, palNum);
}
