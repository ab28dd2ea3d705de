#pragma once
// Draw layers (Direct3D): while a layer is open, blits are queued; closing it sorts them when the
// layer groups (which decides what ends up on top), joins neighbouring draws that share source,
// destination and state into one vertex buffer, and draws each join with one texture binding.
// In DirectDraw mode every layer operation does nothing and blits draw at once.
#include <cstdint>
#include <vector>

#include "media/graphics/surface_data.h"

// Orders of draws matched by the k-th texture key (k from 1) start at k * kLayerKeyBase. The base
// lies above any count of draws one layer can hold, so unkeyed draws never reach a key's range.
constexpr int64_t kLayerKeyBase = int64_t{1} << 32;
constexpr int kMaxLayers = 100;

void DDBeginLayer(int group);
void DDEndLayer();
void DDSuspendLayer();
void DDResumeLayer();
void DDLayerAddCell(DDSURFACEDATA* lpSD, int x, int y);
void DDLayerAddTexture(DDSURFACEDATA* lpSD);
void DDPrintf(DDSURFACEDATA* dst, int x, int y, int cw, int ch, DDSURFACEDATA* sheet, const char* format, ...)
    __attribute__((format(printf, 7, 8)));

// Queues a clipped blit in the current layer when it is queuing; false when it must draw at once.
bool DDLayerQueue(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int sw, int sh,
                  int flags);
// Number of open layers.
int DDLayerDepth();

// A queued draw, as the layer keeps it.
struct DDLAYERDRAW {
  int nIndex;
  int64_t nOrder;  // 64 bits: a layer with more unkeyed draws than the key base keeps its keys apart
  DDSURFACEDATA* lpDst;
  DDSURFACEDATA* lpSrc;
  int x, y, w, h;
  int sx, sy, sw, sh;
  int nFlags;
  uint32_t dwVertexColor;
  int nColorOp;
  int nAlphaOp;
  int nReserved;
  int bCellMatched;
};
// The draws of the current layer in the order DDEndLayer would draw them (for tests).
std::vector<DDLAYERDRAW> DDLayerDrawOrder();
