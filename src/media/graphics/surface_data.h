#pragma once
// The surface record every picture of the game lives in, whatever the back end draws with, and its
// two back-end halves. A record is a plain structure: its owner fills it with zero bytes before its
// first creation (`DDInitSurfaceData`) and it may be created, released and created again.
#include <cstdint>

#include "platform/gfx/d3d_device.h"
#include "platform/gfx/directdraw.h"
#include "platform/gfx/surface.h"

// Direct3D memory kinds of a surface.
constexpr int DTMEMORYTYPE_VIDEO_RT = 0;    // render-target texture (blank) or managed texture (file)
constexpr int DTMEMORYTYPE_SYSTEM = 1;      // dynamic texture in system memory
constexpr int DTMEMORYTYPE_VIDEO_NORT = 2;  // not supported: treated as DTMEMORYTYPE_VIDEO_RT

// Direct3D half of a surface.
struct DTSURFACEDATA {
  int nSerial = 0;                              // identifies the surface in the registry
  gfx::Surface* lpSurface = nullptr;            // level 0 of the texture, or the device back buffer
  gfx::Surface* lpSystemSurface = nullptr;      // system-memory copy of a render target (pixel locks)
  gfx::VertexBuffer* lpVertexBuffer = nullptr;  // the four vertices of every immediate quad
  gfx::RefCounted* lpReserved = nullptr;        // released with the record when set; nothing sets it
  gfx::Texture* lpTexture = nullptr;
  gfx::SurfaceLevelDesc desc;  // level 0 (Width, Height: the texture size)
  int nMemoryKind = 0;
  int bColorKey = 0;      // drawn with its transparent pixels
  int bRenderTarget = 0;  // BackBuffer and blank surfaces of kind 0
  uint8_t* lpPalMap = nullptr;
};

// DirectDraw half of a surface.
struct DDRAWSURFACEDATA {
  gfx::Surface* lpSurface = nullptr;
  uint8_t* lpPalMap = nullptr;
};

struct DDSURFACEDATA {
  DTSURFACEDATA* lpDT;
  DDRAWSURFACEDATA* lpDD;
  char szName[256];
  int nWidth;
  int nHeight;
  int nTexWidth;
  int nTexHeight;
  char szPath[260];
  int nMemoryType;         // DirectDraw: 0 video memory, 1 system memory
  int nMirrorX;            // cell width of horizontal mirroring (0 none)
  int nMirrorY;            // cell height of vertical mirroring (0 none)
  DDSURFACEDATA* lpAlias;  // Direct3D: the surface whose texture this one draws from
  int bContentsLost;
};

// A plain descriptor of one surface to load (the game's surface table, the container helpers).
struct DDSURFACEINFO {
  char szPath[260];  // "E" = a blank surface
  int bColorKey;
  int nMemoryType;
  int nMemoryKind;
  int bAlias;
  int bPalMap;
  int bOptional;
  int nMirrorX;
  int nMirrorY;
  int nWidth;
  int nHeight;
};

// Fills a record with zero bytes before its first creation.
void DDInitSurfaceData(DDSURFACEDATA* lpSD);
