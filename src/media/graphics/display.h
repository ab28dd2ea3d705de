#pragma once
// The display: one 640 x 480 game picture drawn through one of two back ends behind the DD functions.
// The surface back end (DirectDraw mode: 8, 16 or 32 bits) blits and fills surfaces; the texture back
// end (Direct3D mode: 16 or 32 bits) keeps every picture in a texture and draws screen-space quads.
// `lpDTCon` tells them apart: it points at the Direct3D device record in Direct3D mode and is null in
// DirectDraw mode. Both back ends are the software device of platform/gfx; frames reach the screen
// through its frame mailbox, which the shell shows.
#include <cstdint>
#include <string>

#include "media/graphics/surface_data.h"
#include "platform/gfx/gfx_types.h"
#include "platform/messages.h"

// A colour triple as the transparent colour is held: blue, green, red.
struct RGBTRIPLE {
  uint8_t rgbtBlue;
  uint8_t rgbtGreen;
  uint8_t rgbtRed;
};

// The Direct3D device record.
struct DTCONTEXT {
  gfx::Format fmtBackBuffer = gfx::Format::Unknown;
  gfx::Format fmtTexture = gfx::Format::Unknown;
  gfx::PresentParams d3dpp;
  unsigned nAdapter = 0;
  int nDeviceType = 1;  // hardware
  gfx::Format fmtPresentBackBuffer = gfx::Format::Unknown;
  gfx::DeviceCaps caps;
  int bPow2 = 0;
  int bSquareOnly = 0;
  int bDynamicTexture = 0;
  int bVirtualBackBuffer = 0;
  DDSURFACEDATA* lpIdleTarget = nullptr;  // the target put back after every draw
  int bCopyingVirtual = 0;
  RGBTRIPLE rgbTransmit{};            // at 32 bits the 8-bit colour, at 16 bits the field values
  RGBTRIPLE rgbTransmitExact{};       // the 8-bit colour (16 bits: the file textures' colour key)
  gfx::Colour dwTargetClear = 0;      // clear colour of render-target textures
  gfx::Colour dwBackBufferClear = 0;  // opaque transparent colour
  // The two colours above as 16-bit pixel values, named by their pixel width like the device's other
  // 16-bit fields.
  // NOLINTBEGIN(readability-identifier-naming)
  uint16_t wTargetClear_16 = 0;
  uint16_t wTransmit_16 = 0;
  // NOLINTEND(readability-identifier-naming)
  int bInScene = 0;
  gfx::Colour dwVertexColor = 0xFFFFFFFF;
  int nColorOp = 4;
  int nAlphaOp = 4;
  int nNextSurfaceSerial = 0;
  int nNextFontSerial = 0;
  std::string strTextureError;  // shown by a fatal texture failure when not empty
};

// The DirectDraw counterpart.
struct DDCONTEXT {
  RGBTRIPLE rgbTransmit{};       // 32 bits
  RGBTRIPLE rgbTransmitExact{};  // the configured colour at 16 bits
  int nNextFontSerial = 0;
};

// Channel layout: shifts and masks (a mask is the field's maximum value, right-aligned).
struct DDCHANNELLAYOUT {
  int nRedShift, nGreenShift, nBlueShift, nAlphaShift;
  int nRedMask, nGreenMask, nBlueMask, nAlphaMask;
};

// ---- display globals ----------------------------------------------------------------------------
extern DTCONTEXT* lpDTCon;
extern DDCONTEXT* lpDDCon;
extern gfx::Direct3D* g_lpD3D;
extern gfx::Device* g_lpDevice;
extern gfx::DirectDraw* g_lpDD;
extern gfx::Palette* g_lpDDPalette;
extern int g_nDisplayMode;     // 0 DirectDraw, else Direct3D
extern int g_bDisplayCreated;  // 1 after a successful DDInit
extern HWND g_hDisplayWnd;
extern int g_nDisplayWidth;
extern int g_nDisplayHeight;
extern int g_nDisplayBpp;  // 8, 16 or 32
extern int g_nDisplayBytesPerPixel;
extern int g_nBackBufferSelector;  // 1: one back buffer in the flip chain, else two
extern int g_bVSync;
extern int g_nRefreshRate;
extern int g_bDisplayModeSync;
extern DDSURFACEDATA* g_lpSurfaceTable;
extern DDSURFACEINFO* g_lpSurfaceInfoTable;
extern int g_nSurfaceTableCount;
extern uint32_t g_dwColorKey;  // the transparent colour as a DirectDraw surface pixel
extern DDCHANNELLAYOUT g_SurfaceLayout;
extern DDCHANNELLAYOUT g_ScreenLayout;

// Built-in surfaces.
extern DDSURFACEDATA g_PrimarySD;
extern DDSURFACEDATA g_BackBufferSD;
extern DDSURFACEDATA g_ScreenWorkSD;
extern DDSURFACEDATA g_VirBackBufferSD;
extern DDSURFACEDATA g_WorkSD;

// ---- operations -----------------------------------------------------------------------------------
bool DDInit(int mode, HWND window, int width, int height, int bpp, int vsync, int windowed, int backBuffers,
            int refreshRate, int modeSync, DDSURFACEDATA* surfaces, DDSURFACEINFO* infos, int count, int reserved);
void DDRelease();
void DDEnd();
// Shows a Direct3D frame; with vertical sync off it first waits (1-ms sleeps) until the frame is due
// by CheckFramePace. 0 when the device is lost.
int DDPresent(int fps, int showFps, DDSURFACEDATA* fontSheet);
void DDSetVirtualBackBuffer(int on);
void DDMapVirtualBackBuffer(DDSURFACEDATA*& lpSD);
void DDCopyVirtualBackBuffer();
void DDSetAlpha(gfx::Colour color);
void DDResetAlpha();
void DDSetBlendMode(int op);
void DDResetBlendMode();
void DDSetFilter(int op);
void DDResetFilter();
bool DDBeginScene();
void DDEndScene();
bool DDSetTarget(DDSURFACEDATA* lpSD);
// Puts the idle render target back after a draw.
void DDSetIdleTarget();
void DDSetRenderStates();

// The DirectDraw set-up codes.
enum {
  CREATEEX_ERR = 1,
  SETCOOPLEVEL_ERR = 2,
  SETDISPLAYMODE_ERR = 3,
  CREATESURFACE_ERR = 4,
  GETATTACHEDSURFACE_ERR = 5,
  CREATEPALETTE_ERR = 6,
  SETPALETTE_ERR = 7,
  LOADIMAGE_ERR = 8,
  SETCOLORKEY_ERR = 9,
  CLIPPER_ERR = 10,
  SETHWND_ERR = 11,
  SETCLIPPER_ERR = 12,
};

// The display's DDI version (driver model); the Direct3D set-up needs more than 8. Tests may change it.
extern int g_nDDIVersion;
