// Display creation and release, Direct3D presentation, the Direct3D draw state and the virtual back
// buffer.
#include "media/graphics/display.h"

#include <cstring>

#include "core/log.h"
#include "core/timing.h"
#include "media/graphics/blit.h"
#include "media/graphics/draw_trace.h"
#include "media/graphics/palette.h"
#include "media/graphics/recovery.h"
#include "media/graphics/surface.h"
#include "platform/clock.h"
#include "platform/message_box.h"

DTCONTEXT* lpDTCon = nullptr;
DDCONTEXT* lpDDCon = nullptr;
gfx::Direct3D* g_lpD3D = nullptr;
gfx::Device* g_lpDevice = nullptr;
gfx::DirectDraw* g_lpDD = nullptr;
gfx::Palette* g_lpDDPalette = nullptr;
int g_nDisplayMode = 0;
int g_bDisplayCreated = 0;
HWND g_hDisplayWnd = nullptr;
int g_nDisplayWidth = 0;
int g_nDisplayHeight = 0;
int g_nDisplayBpp = 0;
int g_nDisplayBytesPerPixel = 0;
int g_nBackBufferSelector = 0;
int g_bVSync = 0;
int g_nRefreshRate = 0;
int g_bDisplayModeSync = 0;
DDSURFACEDATA* g_lpSurfaceTable = nullptr;
DDSURFACEINFO* g_lpSurfaceInfoTable = nullptr;
int g_nSurfaceTableCount = 0;
uint32_t g_dwColorKey = 0;
DDCHANNELLAYOUT g_SurfaceLayout{};
DDCHANNELLAYOUT g_ScreenLayout{};
int g_nDDIVersion = 9;

DDSURFACEDATA g_PrimarySD{};
DDSURFACEDATA g_BackBufferSD{};
DDSURFACEDATA g_ScreenWorkSD{};
DDSURFACEDATA g_VirBackBufferSD{};
DDSURFACEDATA g_WorkSD{};

namespace {

const char* SetupCodeName(int code) {
  switch (code) {
    case CREATEEX_ERR: return "CREATEEX_ERR";
    case SETCOOPLEVEL_ERR: return "SETCOOPLEVEL_ERR";
    case SETDISPLAYMODE_ERR: return "SETDISPLAYMODE_ERR";
    case CREATESURFACE_ERR: return "CREATESURFACE_ERR";
    case GETATTACHEDSURFACE_ERR: return "GETATTACHEDSURFACE_ERR";
    case CREATEPALETTE_ERR: return "CREATEPALETTE_ERR";
    case SETPALETTE_ERR: return "SETPALETTE_ERR";
    case CLIPPER_ERR: return "CLIPPER_ERR";
    case SETHWND_ERR: return "SETHWND_ERR";
    case SETCLIPPER_ERR: return "SETCLIPPER_ERR";
    default: return "UNKNOWN_ERR";
  }
}

DDCHANNELLAYOUT LayoutRecord(gfx::Format f) {
  gfx::ChannelLayout l = gfx::LayoutOf(f);
  return {l.redShift, l.greenShift, l.blueShift, l.alphaShift, l.redMask, l.greenMask, l.blueMask, l.alphaMask};
}

gfx::Format DisplayFormatFor(int bpp) {
  switch (bpp) {
    case 8: return gfx::Format::I8;
    case 16: return gfx::Format::R5G6B5;
    default: return gfx::Format::X8R8G8B8;
  }
}

// Gives a built-in record a DirectDraw half holding `surface` (the record takes the reference).
void AttachDirectDrawSurface(DDSURFACEDATA& sd, gfx::Surface* surface, int width, int height) {
  if (!sd.lpDD) sd.lpDD = new DDRAWSURFACEDATA;
  sd.lpDD->lpSurface = surface;
  sd.nWidth = sd.nTexWidth = width;
  sd.nHeight = sd.nTexHeight = height;
}

// The placeholder palette of the 8-bit display.
void FullScreenPlaceholderPalette(gfx::PaletteEntry (&entries)[256]) {
  for (int i = 0; i < 256; ++i) {
    entries[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(i), 0, gfx::kPaletteReserved};
  }
  entries[0].blue = 255;
}

void WindowPlaceholderPalette(gfx::PaletteEntry (&entries)[256]) {
  for (int i = 0; i < 256; ++i) {
    if (i >= 10 && i <= 245) {
      entries[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(i), 0, gfx::kPaletteReserved};
    } else {
      entries[i] = {static_cast<uint8_t>(i), 0, 0, gfx::kPaletteExplicit};
    }
  }
}

int FullScreenSetup() {
  g_ScreenWorkSD.nMemoryType = 1;
  for (DDSURFACEDATA* sd : {&g_PrimarySD, &g_BackBufferSD, &g_ScreenWorkSD}) {
    sd->nWidth = sd->nTexWidth = g_nDisplayWidth;
    sd->nHeight = sd->nTexHeight = g_nDisplayHeight;
  }
  if (gfx::Failed(gfx::DirectDraw::Create(&g_lpDD))) {
    g_lpDD = nullptr;
    LogPrintf("DirectDrawCreateEx Err");
    return CREATEEX_ERR;
  }
  if (gfx::Failed(g_lpDD->SetCooperativeLevel(true))) {
    LogPrintf("SetCooperativeLevel Err");
    return SETCOOPLEVEL_ERR;
  }
  bool modeSet = false;
  if (g_bDisplayModeSync) {
    modeSet = gfx::Succeeded(g_lpDD->SetDisplayMode(g_nDisplayWidth, g_nDisplayHeight, g_nDisplayBpp, g_nRefreshRate));
  }
  if (!modeSet && gfx::Failed(g_lpDD->SetDisplayMode(g_nDisplayWidth, g_nDisplayHeight, g_nDisplayBpp, 0))) {
    LogPrintf("SetDisplayMode Err");
    return SETDISPLAYMODE_ERR;
  }
  gfx::Surface* primary = nullptr;
  if (gfx::Failed(g_lpDD->CreatePrimarySurface(g_nBackBufferSelector == 1 ? 1 : 2, &primary))) {
    LogPrintf("Primary CreateSurface Err");
    return CREATESURFACE_ERR;
  }
  AttachDirectDrawSurface(g_PrimarySD, primary, g_nDisplayWidth, g_nDisplayHeight);
  gfx::Surface* back = nullptr;
  if (gfx::Failed(primary->GetAttachedBackBuffer(&back))) {
    LogPrintf("GetAttachedSurface Err");
    return GETATTACHEDSURFACE_ERR;
  }
  AttachDirectDrawSurface(g_BackBufferSD, back, g_nDisplayWidth, g_nDisplayHeight);
  std::strcpy(g_BackBufferSD.szName, "BackBuffer");
  if (!DDCreateSurface(&g_ScreenWorkSD, g_nDisplayWidth, g_nDisplayHeight, 0, 1, 0, 0, 0)) { return CREATESURFACE_ERR; }
  gfx::PaletteEntry entries[256];
  FullScreenPlaceholderPalette(entries);
  if (gfx::Failed(g_lpDD->CreatePalette(entries, &g_lpDDPalette))) {
    g_lpDDPalette = nullptr;
    LogPrintf("CreatePalette Err");
    return CREATEPALETTE_ERR;
  }
  if (g_nDisplayBpp > 8) {
    DDReadChannelLayout(&g_SurfaceLayout);
  } else if (gfx::Failed(primary->SetPalette(g_lpDDPalette))) {
    LogPrintf("SetPalette Err");
    return SETPALETTE_ERR;
  }
  return 0;
}

int WindowSetup() {
  g_ScreenWorkSD.nMemoryType = 1;
  gfx::DirectDraw::SetDesktopFormat(DisplayFormatFor(g_nDisplayBpp));
  if (gfx::Failed(gfx::DirectDraw::Create(&g_lpDD))) {
    g_lpDD = nullptr;
    LogPrintf("DirectDrawCreateEx Err");
    return CREATEEX_ERR;
  }
  if (gfx::Failed(g_lpDD->SetCooperativeLevel(false))) {
    LogPrintf("SetCooperativeLevel Err");
    return SETCOOPLEVEL_ERR;
  }
  gfx::Surface* primary = nullptr;
  if (gfx::Failed(g_lpDD->CreatePrimarySurface(0, &primary, g_nDisplayWidth, g_nDisplayHeight))) {
    LogPrintf("Primary CreateSurface Err");
    return CREATESURFACE_ERR;
  }
  AttachDirectDrawSurface(g_PrimarySD, primary, g_nDisplayWidth, g_nDisplayHeight);
  if (!DDCreateSurface(&g_BackBufferSD, g_nDisplayWidth, g_nDisplayHeight, 0, 0, 0, 0, 0)) { return CREATESURFACE_ERR; }
  std::strcpy(g_BackBufferSD.szName, "BackBuffer");
  if (!DDCreateSurface(&g_ScreenWorkSD, g_nDisplayWidth, g_nDisplayHeight, 0, 1, 0, 0, 0)) { return CREATESURFACE_ERR; }
  gfx::PaletteEntry entries[256];
  WindowPlaceholderPalette(entries);
  if (gfx::Failed(g_lpDD->CreatePalette(entries, &g_lpDDPalette))) {
    g_lpDDPalette = nullptr;
    LogPrintf("CreatePalette Err");
    return CREATEPALETTE_ERR;
  }
  if (g_lpDD->DisplayBitsPerPixel() > 8) {
    DDReadChannelLayout(&g_SurfaceLayout);
  } else if (gfx::Failed(primary->SetPalette(g_lpDDPalette))) {
    LogPrintf("SetPalette Err");
    return SETPALETTE_ERR;
  }
  // The clipper keeps the window blit inside the client area; the frame mailbox has no other
  // windows to clip against.
  return 0;
}

bool Direct3DSetup() {
  if (g_nDDIVersion <= 8) {
    LogPrintf("ビデオカードのドライバがDirectX9をサポートしていません！ %d", g_nDDIVersion);
    return false;
  }
  g_lpD3D = gfx::Direct3D::Create();
  if (!g_lpD3D) {
    LogPrintf("ビデオカードがDirectX9をサポートしていません！");
    return false;
  }
  lpDTCon = new DTCONTEXT;
  DTCONTEXT& con = *lpDTCon;
  gfx::PresentParams pp;
  if (g_bWindowed == 1) {
    pp.windowed = true;
    pp.backBufferWidth = 0;
    pp.backBufferHeight = 0;
    pp.fullScreenRefreshRate = 0;
    if (g_bVSync) {
      // The desktop is asked for 60 Hz: a test first, then the change itself.
      const int test = gfx::Direct3D::ChangeDisplayFrequency(60, true);
      if (test != gfx::kDispChangeSuccessful) {
        LogPrintf("ChangeDisplaySettings != DISP_CHANGE_SUCCESSFUL");
      } else {
        const int change = gfx::Direct3D::ChangeDisplayFrequency(60, false);
        if (change != gfx::kDispChangeSuccessful)
          LogPrintf("ChangeDisplaySettings Err = %x", static_cast<unsigned>(change));
      }
      gfx::DisplayMode mode;
      g_lpD3D->GetAdapterDisplayMode(&mode);
      LogPrintf("RefreshRate : %d", mode.refreshRate);
      if (mode.refreshRate != 60) {
        g_bVSync = 0;
        LogPrintf("リフレッシュレートの変更に失敗しました！垂直同期が無効になります！");
      }
    }
  } else {
    pp.windowed = false;
    pp.backBufferWidth = g_nDisplayWidth;
    pp.backBufferHeight = g_nDisplayHeight;
    pp.fullScreenRefreshRate = 60;
  }
  pp.vsync = g_bVSync != 0;
  if (gfx::Failed(g_lpD3D->GetDeviceCaps(&con.caps))) ECLogPrintf("GetDeviceCaps Err");
  pp.discardSwap = con.caps.alphaFullscreenFlipOrDiscard;
  con.bPow2 = con.caps.pow2Textures;
  con.bSquareOnly = con.caps.squareOnlyTextures;
  con.bDynamicTexture = con.caps.dynamicTextures;
  if (g_nDisplayBpp == 32) {
    con.fmtBackBuffer = gfx::Format::X8R8G8B8;
    con.fmtTexture = gfx::Format::A8R8G8B8;
    g_SurfaceLayout = LayoutRecord(gfx::Format::A8R8G8B8);
    g_ScreenLayout = g_SurfaceLayout;
  } else if (g_nDisplayBpp == 16) {
    con.fmtBackBuffer = g_bWindowed == 1 ? gfx::Format::A1R5G5B5 : gfx::Format::R5G6B5;
    con.fmtTexture = gfx::Format::A1R5G5B5;
    g_ScreenLayout = LayoutRecord(con.fmtBackBuffer);
    g_SurfaceLayout = LayoutRecord(gfx::Format::A1R5G5B5);
  } else {
    return false;
  }
  pp.backBufferFormat = con.fmtBackBuffer;
  pp.backBufferCount = 1;
  pp.lockableBackBuffer = true;
  gfx::Device* device = nullptr;
  if (gfx::Succeeded(g_lpD3D->CreateDevice(true, &pp, &device))) {
    LogPrintf("Device HAL-HARD");
  } else if (gfx::Succeeded(g_lpD3D->CreateDevice(false, &pp, &device))) {
    LogPrintf("Device HAL-SOFT");
  } else {
    ECLogPrintf("CreateDevice Err");
    return false;
  }
  g_lpDevice = device;
  LogPrintf("%s", gfx::FormatName(con.fmtBackBuffer));
  con.d3dpp = pp;
  con.fmtPresentBackBuffer = pp.backBufferFormat;
  DDSetRenderStates();
  DDResetAlpha();
  DDResetBlendMode();
  DDResetFilter();

  DDSURFACEDATA& bb = g_BackBufferSD;
  if (!bb.lpDT) bb.lpDT = new DTSURFACEDATA;
  bb.nWidth = bb.nTexWidth = g_nDisplayWidth;
  bb.nHeight = bb.nTexHeight = g_nDisplayHeight;
  bb.nMemoryType = 0;
  bb.lpDT->bRenderTarget = 1;
  std::strcpy(bb.szName, "BackBuffer");
  gfx::Result hr = device->CreateVertexBuffer(112, gfx::kUsageWriteOnly, gfx::kFvfXyzrhwDiffuseTex1, gfx::Pool::Managed,
                                              &bb.lpDT->lpVertexBuffer);
  if (gfx::Failed(hr)) {
    bb.lpDT->lpVertexBuffer = nullptr;
    LogPrintf("Back CreateVertexBuffer Err %x", static_cast<unsigned>(hr));
    return false;
  }
  device->GetBackBuffer(0, 0, &bb.lpDT->lpSurface);
  bb.lpDT->desc.width = g_nDisplayWidth;
  bb.lpDT->desc.height = g_nDisplayHeight;
  bb.lpDT->desc.format = con.fmtBackBuffer;
  bb.lpDT->nSerial = 0;
  con.nNextSurfaceSerial = 1;
  con.nNextFontSerial = 0;

  DDSetVirtualBackBuffer(0);
  con.bCopyingVirtual = 0;
  if (!DDCreateSurface(&g_VirBackBufferSD, bb.nWidth, bb.nHeight, 0, 0, 0, 0, 0)) return false;
  std::strcpy(g_VirBackBufferSD.szName, "VirBackBuffer");
  if (!DDCreateSurface(&g_WorkSD, bb.nWidth, bb.nHeight, 0, 0, 0, 0, 0)) return false;
  std::strcpy(g_WorkSD.szName, "WorkSD");
  // The idle target was chosen before VirBackBuffer existed: make it the render target now.
  DDSetIdleTarget();
  return true;
}

void ReleaseBuiltIn(DDSURFACEDATA& sd) {
  DDReleaseSurface(&sd);
  std::memset(&sd, 0, sizeof sd);
}

}  // namespace

bool DDInit(int mode, HWND window, int width, int height, int bpp, int vsync, int windowed, int backBuffers,
            int refreshRate, int modeSync, DDSURFACEDATA* surfaces, DDSURFACEINFO* infos, int count, int reserved) {
  // A later DDInit in DirectDraw mode releases the display it finds. It does so before anything of
  // the new display is made: releasing afterwards would delete the new DirectDraw context. A
  // Direct3D retry after a failure is released by its caller first.
  if (mode == 0 && g_bDisplayCreated) DDRelease();
  g_nDisplayMode = mode;
  g_hDisplayWnd = window;
  g_nDisplayWidth = width;
  g_nDisplayHeight = height;
  g_nDisplayBpp = bpp;
  g_nDisplayBytesPerPixel = bpp / 8;
  g_bVSync = vsync;
  g_bWindowed = windowed;
  g_nBackBufferSelector = backBuffers;
  g_nRefreshRate = refreshRate;
  g_bDisplayModeSync = modeSync;
  g_lpSurfaceTable = surfaces;
  g_lpSurfaceInfoTable = infos;
  g_nSurfaceTableCount = count;
  LogPrintf("VSync : %d", vsync);
  if (mode != 0) {
    if (!Direct3DSetup()) return false;
  } else {
    lpDDCon = new DDCONTEXT;
    int code = windowed == 0 ? FullScreenSetup() : WindowSetup();
    if (code != 0) {
      ECLogPrintf("%s", SetupCodeName(code));
      return false;
    }
  }
  g_bDisplayReady = 1;
  g_bDisplayCreated = 1;
  // What the core asks of the display; nothing shows the pacing overlay (the frame step presents
  // with the show flag off), so no overlay drawer is installed.
  SetAppMesBoxHooks({.showOverDisplay = &DDMesBox});
  SetFramePaceHooks({.hasDevice = [] { return lpDTCon != nullptr && g_lpDevice != nullptr; }});
  return true;
}

void DDRelease() {
  if (g_lpDD) {
    for (int i = 0; i < g_nSurfaceTableCount && g_lpSurfaceTable; ++i) DDReleaseSurface(&g_lpSurfaceTable[i]);
    if (g_lpDDPalette) {
      g_lpDDPalette->Release();
      g_lpDDPalette = nullptr;
    }
    // The attached back buffer is a part of the primary's flip chain: its reference goes first.
    ReleaseBuiltIn(g_BackBufferSD);
    ReleaseBuiltIn(g_PrimarySD);
    ReleaseBuiltIn(g_ScreenWorkSD);
    int left = g_lpDD->Release();
    if (left > 0) ShowMessageBox("解放漏れがあります", "DirectDraw", MB_ICONERROR);
    g_lpDD = nullptr;
  }
  delete lpDDCon;
  lpDDCon = nullptr;
  if (g_lpDevice || g_lpD3D || lpDTCon) {
    for (int i = 0; i < g_nSurfaceTableCount && g_lpSurfaceTable; ++i) DDReleaseSurface(&g_lpSurfaceTable[i]);
    ReleaseBuiltIn(g_WorkSD);
    ReleaseBuiltIn(g_VirBackBufferSD);
    ReleaseBuiltIn(g_BackBufferSD);
    DDReleaseFillBatch();
    if (g_lpDevice) g_lpDevice->Release();
    g_lpDevice = nullptr;
    if (g_lpD3D) g_lpD3D->Release();
    g_lpD3D = nullptr;
    delete lpDTCon;
    lpDTCon = nullptr;
    // Records still registered belong to owners that outlive the device; a new display starts afresh.
    DDSurfaceRegistry().clear();
  }
  g_bDisplayCreated = 0;
}

void DDEnd() { DDRelease(); }

int DDPresent(int fps, int showFps, DDSURFACEDATA* fontSheet) {
  if (!lpDTCon || !g_lpDevice) return 1;
  if (lpDTCon->bVirtualBackBuffer) DDCopyVirtualBackBuffer();
  if (!g_bVSync) {
    while (!CheckFramePace(fps, showFps != 0, fontSheet)) QcSleep(1);
  }
  DDEndScene();
  gfx::Result hr = g_lpDevice->Present();
  if (hr == gfx::kErrDeviceLost) return 0;
  return 1;
}

void DDMapVirtualBackBuffer(DDSURFACEDATA*& lpSD) {
  if (lpDTCon && lpDTCon->bVirtualBackBuffer && lpSD == &g_BackBufferSD) lpSD = &g_VirBackBufferSD;
}

void DDCopyVirtualBackBuffer() {
  if (!lpDTCon) return;
  lpDTCon->bCopyingVirtual = 1;
  DDSetFilter(1);
  DDBlt(&g_BackBufferSD, 0, 0, g_VirBackBufferSD.nWidth, g_VirBackBufferSD.nHeight, &g_VirBackBufferSD, 0, 0, 0);
  DDResetFilter();
  lpDTCon->bCopyingVirtual = 0;
}

void DDSetVirtualBackBuffer(int on) {
  if (DDTraceCall("DDSetVirtualBackBuffer", nullptr, nullptr, {double(on)})) return;
  if (!lpDTCon) return;
  if (lpDTCon->bVirtualBackBuffer && !on && g_VirBackBufferSD.lpDT && g_VirBackBufferSD.lpDT->lpTexture) {
    DDCopyVirtualBackBuffer();
  }
  lpDTCon->bVirtualBackBuffer = on;
  lpDTCon->lpIdleTarget = on ? &g_BackBufferSD : &g_VirBackBufferSD;
  DDSetIdleTarget();
}

void DDSetAlpha(gfx::Colour color) {
  if (DDTraceCall("DDSetAlpha", nullptr, nullptr, {double(color)})) return;
  if (lpDTCon) lpDTCon->dwVertexColor = color;
}
void DDResetAlpha() {
  if (DDTraceCall("DDResetAlpha", nullptr, nullptr, {})) return;
  if (lpDTCon) lpDTCon->dwVertexColor = 0xFFFFFFFF;
}
void DDSetBlendMode(int op) {
  if (DDTraceCall("DDSetBlendMode", nullptr, nullptr, {double(op)})) return;
  if (lpDTCon) lpDTCon->nColorOp = op;
}
void DDResetBlendMode() {
  if (DDTraceCall("DDResetBlendMode", nullptr, nullptr, {})) return;
  if (lpDTCon) lpDTCon->nColorOp = gfx::kOpModulate;
}
void DDSetFilter(int op) {
  if (DDTraceCall("DDSetFilter", nullptr, nullptr, {double(op)})) return;
  if (lpDTCon) lpDTCon->nAlphaOp = op;
}
void DDResetFilter() {
  if (DDTraceCall("DDResetFilter", nullptr, nullptr, {})) return;
  if (lpDTCon) lpDTCon->nAlphaOp = gfx::kOpSelectArg1;
}

bool DDBeginScene() {
  if (!lpDTCon || !g_lpDevice) return false;
  if (lpDTCon->bInScene) return true;
  gfx::Result hr = g_lpDevice->BeginScene();
  if (gfx::Failed(hr)) {
    LogPrintf("BeginScene Err %x", static_cast<unsigned>(hr));
    return false;
  }
  lpDTCon->bInScene = 1;
  return true;
}

void DDEndScene() {
  if (!lpDTCon || !g_lpDevice || !lpDTCon->bInScene) return;
  g_lpDevice->EndScene();
  lpDTCon->bInScene = 0;
}

bool DDSetTarget(DDSURFACEDATA* lpSD) {
  if (!g_lpDevice || !lpSD || !lpSD->lpDT || !lpSD->lpDT->bRenderTarget || !lpSD->lpDT->lpSurface) return false;
  gfx::Result hr = g_lpDevice->SetRenderTarget(0, lpSD->lpDT->lpSurface);
  if (gfx::Failed(hr)) {
    LogPrintf("SetRenderTarget Err %x (%s)", static_cast<unsigned>(hr), lpSD->szPath);
    return false;
  }
  return true;
}

void DDSetIdleTarget() {
  if (!lpDTCon) return;
  DDSURFACEDATA* idle = lpDTCon->lpIdleTarget;
  if (idle && idle->lpDT && idle->lpDT->lpSurface) DDSetTarget(idle);
}

void DDSetRenderStates() {
  if (!g_lpDevice) return;
  gfx::Device* d = g_lpDevice;
  d->SetRenderState(gfx::kRsCullMode, gfx::kCullNone);
  d->SetRenderState(gfx::kRsZEnable, 0);
  d->SetRenderState(gfx::kRsAlphaBlendEnable, 1);
  d->SetRenderState(gfx::kRsSrcBlend, gfx::kBlendSrcAlpha);
  d->SetRenderState(gfx::kRsDestBlend, gfx::kBlendInvSrcAlpha);
  d->SetRenderState(gfx::kRsDiffuseMaterialSource, gfx::kMaterialSourceColor1);
  d->SetRenderState(gfx::kRsColorVertex, 1);
  for (int s = 0; s < 2; ++s) {
    d->SetSamplerState(s, gfx::kSampAddressU, gfx::kAddressWrap);
    d->SetSamplerState(s, gfx::kSampAddressV, gfx::kAddressWrap);
    d->SetSamplerState(s, gfx::kSampMinFilter, gfx::kFilterPoint);
    d->SetSamplerState(s, gfx::kSampMagFilter, gfx::kFilterPoint);
  }
}
