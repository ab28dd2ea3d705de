// Device loss recovery in both back ends and the dialog mode.
#include "media/graphics/recovery.h"

#include <cstring>

#include "core/log.h"
#include "media/graphics/bitmap_copy.h"
#include "media/graphics/display.h"
#include "media/graphics/font.h"
#include "media/graphics/palette.h"
#include "media/graphics/surface.h"
#include "platform/message_box.h"
#include "platform/window/game_window.h"

namespace {

bool HasFile(const DDSURFACEDATA* sd) { return sd->szPath[0] != '\0' && std::strcmp(sd->szPath, "E") != 0; }

template <class T>
void ReleaseObject(T*& p) {
  if (p) p->Release();
  p = nullptr;
}

}  // namespace

int DDRestoreSurface() {
  ECLogPrintf("Restore In");
  if (!lpDTCon || !g_lpDevice) {
    ECLogPrintf("DDではDDRestoreSurfaceは未対応");
    return 1;
  }
  // A device that was never lost has nothing to restore: a request can come without a loss (the
  // first activation of a full-screen window), and releasing the textures of a working device would
  // leave them released for good, since no later request comes. The device's state is asked once;
  // releasing does not change it.
  const gfx::Result state = g_lpDevice->TestCooperativeLevel();
  if (state == gfx::kOk) {
    ECLogPrintf("Restore Out");
    return 1;
  }
  std::list<DDSURFACEDATA*>& registry = DDSurfaceRegistry();
  for (DDSURFACEDATA* sd : registry) {
    DTSURFACEDATA* dt = sd->lpDT;
    if (!dt || dt->nMemoryKind == DTMEMORYTYPE_SYSTEM) continue;
    ReleaseObject(dt->lpTexture);
    ReleaseObject(dt->lpSurface);
  }
  for (cFont* font : g_FontList) font->OnLostDevice();
  if (g_BackBufferSD.lpDT) ReleaseObject(g_BackBufferSD.lpDT->lpSurface);
  if (state != gfx::kErrDeviceNotReset) {
    ECLogPrintf("復旧失敗…リセット可能な状態ではありません…");
    return 0;
  }
  if (gfx::Failed(g_lpDevice->Reset(&lpDTCon->d3dpp))) return 0;
  lpDTCon->bInScene = 0;
  DDSetRenderStates();
  if (g_BackBufferSD.lpDT) g_lpDevice->GetBackBuffer(0, 0, &g_BackBufferSD.lpDT->lpSurface);
  for (DDSURFACEDATA* sd : registry) {
    DTSURFACEDATA* dt = sd->lpDT;
    if (!dt) continue;
    bool ok;
    if (HasFile(sd)) {
      ok = DDCreateSurfaceFromFile(sd, sd->szPath, dt->bColorKey, g_nDisplayBpp, sd->nMemoryType, dt->nMemoryKind,
                                   sd->lpAlias != nullptr, dt->lpPalMap != nullptr, sd->nMirrorX, sd->nMirrorY, 1) == 0;
    } else {
      ok = DDCreateSurface(sd, sd->nWidth, sd->nHeight, dt->bColorKey, sd->nMemoryType, dt->nMemoryKind,
                           sd->lpAlias != nullptr, 1);
      sd->bContentsLost = 1;
    }
    if (!ok) ECLogPrintf("Err");
  }
  DDSetIdleTarget();
  for (cFont* font : g_FontList) {
    font->OnResetDevice();
    font->Restore();
  }
  // A full-screen display was minimised when the device was lost: show it again.
  if (!g_bWindowed && GameWindowExists()) GameWindowRestore();
  ECLogPrintf("Restore Out");
  return 1;
}

bool DDRestore() {
  if (lpDTCon) {
    ECLogPrintf("D3DではDDRestoreは未対応");
    return true;
  }
  if (!g_lpDD || !g_PrimarySD.lpDD || !g_PrimarySD.lpDD->lpSurface) return true;
  gfx::Surface* primary = g_PrimarySD.lpDD->lpSurface;
  if (!primary->IsLost()) return true;
  primary->Restore();
  if (g_BackBufferSD.lpDD && g_BackBufferSD.lpDD->lpSurface && g_BackBufferSD.lpDD->lpSurface->IsLost()) {
    g_BackBufferSD.lpDD->lpSurface->Restore();
  }
  for (int i = 0; i < g_nSurfaceTableCount && g_lpSurfaceTable; ++i) {
    DDSURFACEDATA* sd = &g_lpSurfaceTable[i];
    if (!sd->lpDD || !sd->lpDD->lpSurface || !sd->lpDD->lpSurface->IsLost()) continue;
    sd->lpDD->lpSurface->Restore();
    if (sd->nMemoryType == 0) {
      if (HasFile(sd)) {
        DDReloadSurface(sd, g_nDisplayBpp);
      } else {
        sd->bContentsLost = 1;
      }
    }
  }
  if (g_nDisplayBpp == 8 && g_lpDDPalette) g_lpDDPalette->SetEntries(0, 256, g_WorkPalette);
  for (cFont* font : g_FontList) font->Restore();
  return true;
}

int DDSetDialogBoxMode(int on) {
  if (g_bWindowed) return 1;
  if (lpDTCon && g_lpDevice) {
    if (on) {
      DDEndScene();
      if (gfx::Failed(g_lpDevice->SetDialogBoxMode(true))) {
        ECLogPrintf("D3D_OK != lpDevice->SetDialogBoxMode(TRUE)");
        return 0;
      }
    } else if (gfx::Failed(g_lpDevice->SetDialogBoxMode(false))) {
      return 0;
    }
  }
  // DirectDraw: the frame mailbox always shows the picture; nothing has to flip to a GDI surface.
  return 1;
}

int DDMesBox(const char* text, const char* caption, unsigned type) {
  if (!DDSetDialogBoxMode(1)) {
    ECLogPrintf("DDMesBox 失敗! %s, %s", text, caption);
    return 0;
  }
  ShowMessageBox(text, caption, type);
  DDSetDialogBoxMode(0);
  return 1;
}
