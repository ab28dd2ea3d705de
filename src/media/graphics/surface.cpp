// Surface records: creation in both back ends, release, the Direct3D registry, the container helpers
// and the scoped pixel lock.
#include "media/graphics/surface.h"

#include <cstring>
#include <iterator>

#include "core/containers.h"
#include "core/log.h"
#include "media/graphics/bitmap_copy.h"
#include "media/graphics/bitmap_file.h"
#include "media/graphics/blit.h"
#include "media/graphics/display.h"
#include "media/graphics/palette.h"
#include "platform/gfx/pixel_format.h"

namespace {

std::list<DDSURFACEDATA*> g_Registry;

void CopyName(char* dst, size_t size, const char* src) {
  std::strncpy(dst, src ? src : "", size - 1);
  dst[size - 1] = '\0';
}

template <class T>
void ReleaseObject(T*& p) {
  if (p) p->Release();
  p = nullptr;
}

void RegistryAdd(DDSURFACEDATA* lpSD) {
  for (DDSURFACEDATA* s : g_Registry) {
    if (s == lpSD) return;
  }
  g_Registry.push_back(lpSD);
}

// The D3D half with the fields a fresh (non-reuse) creation starts from.
bool PrepareDirect3DHalf(DDSURFACEDATA* lpSD, const char* name, const char* path, int memoryKind, int bColorKey,
                         int bAlias, bool logResult) {
  if (!lpSD->lpDT) lpSD->lpDT = new DTSURFACEDATA;
  DTSURFACEDATA& dt = *lpSD->lpDT;
  CopyName(lpSD->szName, sizeof lpSD->szName, name);
  CopyName(lpSD->szPath, sizeof lpSD->szPath, path);
  dt.nMemoryKind = memoryKind;
  dt.lpSurface = nullptr;
  dt.lpSystemSurface = nullptr;
  dt.lpReserved = nullptr;
  dt.lpTexture = nullptr;
  dt.bColorKey = bColorKey == 1;
  if (bAlias) return true;
  dt.nSerial = lpDTCon->nNextSurfaceSerial++;
  gfx::Result hr = g_lpDevice->CreateVertexBuffer(112, gfx::kUsageWriteOnly, gfx::kFvfXyzrhwDiffuseTex1,
                                                  gfx::Pool::Managed, &dt.lpVertexBuffer);
  if (gfx::Failed(hr)) {
    dt.lpVertexBuffer = nullptr;
    if (logResult) {
      LogPrintf("CreateVertexBuffer Err %x", static_cast<unsigned>(hr));
    } else {
      LogPrintf("CreateVertexBuffer Err");
    }
    return false;
  }
  return true;
}

bool CreateSurfaceDirectDraw(DDSURFACEDATA* lpSD, int width, int height, int bColorKey, int memoryType) {
  if (!g_lpDD) return false;
  if (!lpSD->lpDD) lpSD->lpDD = new DDRAWSURFACEDATA;
  gfx::Surface* surface = nullptr;
  gfx::Pool pool = memoryType == 1 ? gfx::Pool::SystemMem : gfx::Pool::Default;
  if (gfx::Failed(g_lpDD->CreateSurface(width, height, pool, &surface))) {
    if (memoryType == 1) {
      LogPrintf("CreateSurface System Err");
      return false;
    }
    if (gfx::Failed(g_lpDD->CreateSurface(width, height, gfx::Pool::SystemMem, &surface))) {
      LogPrintf("CreateSurface Video -> System Err");
      return false;
    }
    memoryType = 1;
  }
  lpSD->lpDD->lpSurface = surface;
  if (bColorKey == 1) surface->SetColorKey(g_dwColorKey);
  lpSD->nWidth = lpSD->nTexWidth = width;
  lpSD->nHeight = lpSD->nTexHeight = height;
  lpSD->nMemoryType = memoryType;
  DDFillRect(lpSD, 0, 0, width, height, 0);
  return true;
}

bool CreateSurfaceDirect3D(DDSURFACEDATA* lpSD, int width, int height, int bColorKey, int memoryType, int memoryKind,
                           int bAlias, int bReuse) {
  if (!lpDTCon || !g_lpDevice) return false;
  if (!bReuse) {
    if (!PrepareDirect3DHalf(lpSD, "OffScreen", "E", memoryKind, bColorKey, bAlias, false)) return false;
  } else if (!lpSD->lpDT) {
    lpSD->lpDT = new DTSURFACEDATA;
  }
  DTSURFACEDATA& dt = *lpSD->lpDT;
  if (bAlias) {
    lpSD->nWidth = lpSD->nTexWidth = width;
    lpSD->nHeight = lpSD->nTexHeight = height;
    lpSD->nMemoryType = memoryType;
    return true;
  }
  int texW = width;
  int texH = height;
  DDRoundTextureSize(texW, texH, nullptr);
  int kind = dt.nMemoryKind == DTMEMORYTYPE_VIDEO_NORT ? DTMEMORYTYPE_VIDEO_RT : dt.nMemoryKind;
  if (kind == DTMEMORYTYPE_VIDEO_RT) {
    dt.bRenderTarget = 1;
    gfx::Result hr = g_lpDevice->CreateTexture(texW, texH, 1, gfx::kUsageRenderTarget, lpDTCon->fmtTexture,
                                               gfx::Pool::Default, &dt.lpTexture);
    if (hr == gfx::kErrOutOfVideoMemory) {
      dt.lpTexture = nullptr;
      LogPrintf("VRAM不足のためシステムメモリにテクスチャを作成します。(空)");
      kind = DTMEMORYTYPE_SYSTEM;
    } else if (gfx::Failed(hr)) {
      dt.lpTexture = nullptr;
      return false;
    }
  }
  dt.nMemoryKind = kind;
  if (kind == DTMEMORYTYPE_SYSTEM && (!bReuse || !dt.lpTexture)) {
    dt.bRenderTarget = 0;
    gfx::Result hr = g_lpDevice->CreateTexture(texW, texH, 1, gfx::kUsageDynamic, lpDTCon->fmtTexture,
                                               gfx::Pool::SystemMem, &dt.lpTexture);
    if (gfx::Failed(hr)) {
      dt.lpTexture = nullptr;
      LogPrintf("D3DXCreateTexture Err hr = %x", static_cast<unsigned>(hr));
      DDFatalTextureFailure();
      return false;
    }
  }
  gfx::Result hr = dt.lpSurface ? gfx::kOk : dt.lpTexture->GetSurfaceLevel(0, &dt.lpSurface);
  if (gfx::Failed(hr)) {
    dt.lpSurface = nullptr;
    LogPrintf("GetSurfaceLevel Err hr = %x", static_cast<unsigned>(hr));
    return false;
  }
  dt.lpTexture->GetLevelDesc(0, &dt.desc);
  if (kind == DTMEMORYTYPE_VIDEO_RT && !dt.lpSystemSurface) {
    hr = g_lpDevice->CreateOffscreenPlainSurface(dt.desc.width, dt.desc.height, dt.desc.format, gfx::Pool::SystemMem,
                                                 &dt.lpSystemSurface);
    if (gfx::Failed(hr)) {
      dt.lpSystemSurface = nullptr;
      LogPrintf("CreateOffscreenPlainSurface Err hr = %x", static_cast<unsigned>(hr));
      DDFatalTextureFailure();
      return false;
    }
  }
  lpSD->nWidth = width;
  lpSD->nHeight = height;
  lpSD->nTexWidth = dt.desc.width;
  lpSD->nTexHeight = dt.desc.height;
  // A new render target starts as BackBuffer shows a transparent pixel: transparent black until the
  // transparent colour is set, then that colour, opaque. At 16 bits the record keeps the colour as
  // 5-bit field values; the clear takes the exact colour, as BackBuffer's clears do.
  if (DDSetTarget(lpSD)) {
    g_lpDevice->Clear(0, nullptr, gfx::kClearTarget, DDBackBufferClearColour(), 1.0f, 0);
    DDSetIdleTarget();
  }
  if (!bReuse) RegistryAdd(lpSD);
  return true;
}

int CreateFromFileDirectDraw(DDSURFACEDATA* lpSD, const char* path, int bColorKey, int bpp, int memoryType, int bPalMap,
                             int mirrorX, int mirrorY) {
  BmpImage info;
  if (!LoadBitmapFile(path, info)) {
    ECLogPrintf("%s", path ? path : "");
    return DDSFF_LOADIMAGE_ERR;
  }
  if (!CreateSurfaceDirectDraw(lpSD, info.width, info.height, bColorKey, memoryType)) {
    return DDSFF_CREATESURFACE_ERR;
  }
  if (!CopyBitmap(lpSD, path, bpp, bPalMap, mirrorX, mirrorY)) return DDSFF_LOADIMAGE_ERR;
  lpSD->nMirrorX = mirrorX;
  lpSD->nMirrorY = mirrorY;
  lpSD->nWidth = lpSD->nTexWidth = info.width;
  lpSD->nHeight = lpSD->nTexHeight = info.height;
  CopyName(lpSD->szPath, sizeof lpSD->szPath, path);
  return 0;
}

int CreateFromFileDirect3D(DDSURFACEDATA* lpSD, const char* path, int bColorKey, int bpp, int memoryType,
                           int memoryKind, int bAlias, int bPalMap, int mirrorX, int mirrorY, int bReuse) {
  if (!lpDTCon || !g_lpDevice) return DDSFF_CREATESURFACE_ERR;
  if (!bReuse) {
    if (!PrepareDirect3DHalf(lpSD, "OffScreenFromFile", path, memoryKind, bColorKey, bAlias, true)) {
      return DDSFF_CREATESURFACE_ERR;
    }
  } else if (!lpSD->lpDT) {
    lpSD->lpDT = new DTSURFACEDATA;
  }
  DTSURFACEDATA& dt = *lpSD->lpDT;
  BmpImage image;
  if (!LoadBitmapFile(path, image)) {
    if (path && *path) LogPrintf("LoadImage Err %s", path);
    return DDSFF_LOADIMAGE_ERR;
  }
  if (bAlias) {
    lpSD->nWidth = lpSD->nTexWidth = image.width;
    lpSD->nHeight = lpSD->nTexHeight = image.height;
  } else {
    int texW = image.width;
    int texH = image.height;
    DDRoundTextureSize(texW, texH, path);
    // The colour key is always passed: transparent pixels of a file texture are always transparent.
    const RGBTRIPLE& key = g_nDisplayBpp == 16 ? lpDTCon->rgbTransmitExact : lpDTCon->rgbTransmit;
    gfx::Colour colorKey = gfx::MakeArgb(255, key.rgbtRed, key.rgbtGreen, key.rgbtBlue);
    int kind = dt.nMemoryKind;
    if (kind == DTMEMORYTYPE_VIDEO_NORT) {
      ECLogPrintf(
          "DDCreateSurfaceFromFile Err DTMEMORYTYPE_VIDEO_NORTの指定は未対応です。"
          "DTMEMORYTYPE_VIDEO_RTでテクスチャを作成します。");
      kind = DTMEMORYTYPE_VIDEO_RT;
    }
    if (kind == DTMEMORYTYPE_VIDEO_RT) {
      dt.bRenderTarget = 0;
      gfx::Result hr = CreateTextureFromBitmap(g_lpDevice, image, texW, texH, 0, lpDTCon->fmtTexture,
                                               gfx::Pool::Managed, colorKey, &dt.lpTexture);
      if (hr == gfx::kErrOutOfVideoMemory) {
        LogPrintf("VRAM不足のためシステムメモリにテクスチャを作成します。(%s)", path);
        kind = DTMEMORYTYPE_SYSTEM;
      } else if (gfx::Failed(hr)) {
        LogPrintf("テクスチャの作成に失敗。(%s)", path);
        return hr;
      }
    }
    dt.nMemoryKind = kind;
    if (kind == DTMEMORYTYPE_SYSTEM && (!bReuse || !dt.lpTexture)) {
      dt.bRenderTarget = 0;
      gfx::Result hr = CreateTextureFromBitmap(g_lpDevice, image, texW, texH, gfx::kUsageDynamic, lpDTCon->fmtTexture,
                                               gfx::Pool::SystemMem, colorKey, &dt.lpTexture);
      if (gfx::Failed(hr)) {
        LogPrintf("D3DXCreateTextureFromFileEx Err %x %s", static_cast<unsigned>(hr), path);
        DDFatalTextureFailure();
        return hr;
      }
    }
    if (!dt.lpSurface) dt.lpTexture->GetSurfaceLevel(0, &dt.lpSurface);
    dt.lpTexture->GetLevelDesc(0, &dt.desc);
    lpSD->nWidth = image.width;
    lpSD->nHeight = image.height;
    lpSD->nTexWidth = dt.desc.width;
    lpSD->nTexHeight = dt.desc.height;
    // Horizontal mirroring of a file sheet is built into its own texture. An alias draws from the
    // shared texture of its twin and is mirrored when a source rectangle is looked up, so it never
    // runs this step (it would flip the shared texture in place).
    if (mirrorX || mirrorY) {
      DDSURFACEDATA temp{};
      int code = CreateFromFileDirect3D(&temp, path, bColorKey, bpp, memoryType, memoryKind, 0, 0, 0, 0, 0);
      bool ok = code == 0 && CreateMirror(lpSD, &temp, mirrorX, mirrorY);
      DDReleaseSurface(&temp);
      if (!ok) {
        LogPrintf("CreateMirror Err");
        return DDSFF_MIRROR_ERR;
      }
    }
  }
  if (!bReuse) RegistryAdd(lpSD);
  lpSD->nMirrorX = mirrorX;
  lpSD->nMirrorY = mirrorY;
  lpSD->nMemoryType = memoryType;
  if (bPalMap && bpp != 8 && !bAlias) {
    if (!DDBuildPaletteMap(&dt.lpPalMap, lpSD)) return DDSFF_LOADIMAGE_ERR;
  } else {
    delete[] dt.lpPalMap;
    dt.lpPalMap = nullptr;
  }
  return 0;
}

}  // namespace

std::list<DDSURFACEDATA*>& DDSurfaceRegistry() { return g_Registry; }

void DDInitSurfaceData(DDSURFACEDATA* lpSD) { std::memset(lpSD, 0, sizeof *lpSD); }

void DDRoundTextureSize(int& width, int& height, const char* path) {
  if (!lpDTCon) return;
  auto roundPow2 = [](int v) {
    if (v > 0 && (v & (v - 1)) == 0) return v;
    int high = 0;
    for (int bit = 30; bit >= 0; --bit) {
      if (v & (1 << bit)) {
        high = 1 << bit;
        break;
      }
    }
    return high ? high * 2 : 2;
  };
  if (lpDTCon->bPow2) {
    width = roundPow2(width);
    height = roundPow2(height);
  }
  if (lpDTCon->bSquareOnly) width = height = width > height ? width : height;
  bool tooBig = false;
  if (width > lpDTCon->caps.maxTextureWidth) {
    LogPrintf("このビデオカードでは横幅%dを超える画像はサポートされていません！", lpDTCon->caps.maxTextureWidth);
    tooBig = true;
  }
  if (height > lpDTCon->caps.maxTextureHeight) {
    LogPrintf("このビデオカードでは縦幅%dを超える画像はサポートされていません！", lpDTCon->caps.maxTextureHeight);
    tooBig = true;
  }
  if (tooBig) {
    if (path) {
      LogPrintf("上記の理由でテクスチャの描画が失敗する可能性があります。(%s)", path);
    } else {
      LogPrintf("上記の理由でテクスチャの描画が失敗する可能性があります。(空)");
    }
  }
}

void DDFatalTextureFailure() {
  if (lpDTCon && !lpDTCon->strTextureError.empty()) ErrorBoxf("%s", lpDTCon->strTextureError.c_str());
  FatalStop();
}

bool DDCreateSurface(DDSURFACEDATA* lpSD, int width, int height, int bColorKey, int memoryType, int memoryKind,
                     int bAlias, int bReuse) {
  if (!lpSD) return false;
  if (lpDTCon) return CreateSurfaceDirect3D(lpSD, width, height, bColorKey, memoryType, memoryKind, bAlias, bReuse);
  return CreateSurfaceDirectDraw(lpSD, width, height, bColorKey, memoryType);
}

int DDCreateSurfaceFromFile(DDSURFACEDATA* lpSD, const char* path, int bColorKey, int bpp, int memoryType,
                            int memoryKind, int bAlias, int bPalMap, int mirrorX, int mirrorY, int bReuse) {
  if (!lpSD) return DDSFF_CREATESURFACE_ERR;
  if (lpDTCon) {
    return CreateFromFileDirect3D(lpSD, path, bColorKey, bpp, memoryType, memoryKind, bAlias, bPalMap, mirrorX, mirrorY,
                                  bReuse);
  }
  return CreateFromFileDirectDraw(lpSD, path, bColorKey, bpp, memoryType, bPalMap, mirrorX, mirrorY);
}

bool DDCheckResult(int code) {
  switch (code) {
    case CREATESURFACE_ERR: ECLogPrintf("CREATESURFACE_ERR"); return false;
    case LOADIMAGE_ERR: ECLogPrintf("LOADIMAGE_ERR"); return false;
    case SETCOLORKEY_ERR: ECLogPrintf("SETCOLORKEY_ERR"); return false;
    default: return true;
  }
}

void DDReleaseSurface(DDSURFACEDATA* lpSD) {
  if (!lpSD) return;
  if (DTSURFACEDATA* dt = lpSD->lpDT) {
    // Every registry entry of this record goes, aliases included: a record left behind would point at
    // a surface that may be reused or destroyed.
    g_Registry.remove(lpSD);
    if (!lpSD->lpAlias || dt->lpTexture || dt->lpVertexBuffer) {
      ReleaseObject(dt->lpTexture);
      ReleaseObject(dt->lpReserved);
      ReleaseObject(dt->lpVertexBuffer);
      ReleaseObject(dt->lpSystemSurface);
      ReleaseObject(dt->lpSurface);
      if (lpSD != &g_BackBufferSD) {
        const int serial = dt->nSerial;
        g_Registry.remove_if([&](DDSURFACEDATA* s) { return s->lpDT && !s->lpAlias && s->lpDT->nSerial == serial; });
      }
    }
    delete[] dt->lpPalMap;
    delete dt;
    lpSD->lpDT = nullptr;
  }
  if (DDRAWSURFACEDATA* dd = lpSD->lpDD) {
    ReleaseObject(dd->lpSurface);
    delete[] dd->lpPalMap;
    delete dd;
    lpSD->lpDD = nullptr;
  }
}

DDSURFACEDATA& VecAtSurfaceData(std::vector<DDSURFACEDATA>& v, int i) { return VecAt(v, i); }
DDSURFACEDATA& ListAtSurfaceData(std::list<DDSURFACEDATA>& l, int i) { return ListAt(l, i); }

void DDReleaseSurfaceVec(std::vector<DDSURFACEDATA>& v) {
  for (int i = 0; i < static_cast<int>(v.size()); ++i) DDReleaseSurface(&VecAtSurfaceData(v, i));
}

void DDReleaseSurfaceList(std::list<DDSURFACEDATA>& l) {
  for (DDSURFACEDATA& sd : l) DDReleaseSurface(&sd);
}

namespace {
DDSURFACEINFO MakeInfo(int bColorKey, int memoryType, int memoryKind, int bAlias) {
  DDSURFACEINFO info{};
  info.bColorKey = bColorKey;
  info.nMemoryType = memoryType;
  info.nMemoryKind = memoryKind;
  info.bAlias = bAlias;
  return info;
}
}  // namespace

bool DDPushSurface(std::vector<DDSURFACEDATA>& surfaces, std::vector<DDSURFACEINFO>& infos, int width, int height,
                   int bColorKey, int memoryType, int memoryKind, int bAlias) {
  // Records are registered by address: when the vector moves its elements, the registry follows.
  DDSURFACEDATA* oldData = surfaces.data();
  const size_t oldSize = surfaces.size();
  surfaces.push_back(DDSURFACEDATA{});
  if (surfaces.data() != oldData && oldSize > 0) {
    for (DDSURFACEDATA*& entry : g_Registry) {
      if (entry >= oldData && entry < oldData + oldSize) entry = surfaces.data() + (entry - oldData);
    }
  }
  infos.push_back(MakeInfo(bColorKey, memoryType, memoryKind, bAlias));
  return DDCreateSurface(&surfaces.back(), width, height, bColorKey, memoryType, memoryKind, bAlias, 0);
}

bool DDPushSurfaceList(std::list<DDSURFACEDATA>& surfaces, std::list<DDSURFACEINFO>& infos, int width, int height,
                       int bColorKey, int memoryType, int memoryKind, int bAlias) {
  surfaces.push_back(DDSURFACEDATA{});
  infos.push_back(MakeInfo(bColorKey, memoryType, memoryKind, bAlias));
  return DDCreateSurface(&surfaces.back(), width, height, bColorKey, memoryType, memoryKind, bAlias, 0);
}

bool DDInsertSurface(std::list<DDSURFACEDATA>& surfaces, std::list<DDSURFACEINFO>& infos, int index, int width,
                     int height, int bColorKey, int memoryType, int memoryKind, int bAlias) {
  if (index >= static_cast<int>(surfaces.size())) {
    return DDPushSurfaceList(surfaces, infos, width, height, bColorKey, memoryType, memoryKind, bAlias);
  }
  if (index < 0) index = 0;
  ListAtSurfaceData(surfaces, index);  // the checked access reports a broken index
  auto where = std::next(surfaces.begin(), index);
  auto infoWhere = index <= static_cast<int>(infos.size()) ? std::next(infos.begin(), index) : infos.end();
  auto inserted = surfaces.insert(where, DDSURFACEDATA{});
  infos.insert(infoWhere, MakeInfo(bColorKey, memoryType, memoryKind, bAlias));
  return DDCreateSurface(&*inserted, width, height, bColorKey, memoryType, memoryKind, bAlias, 0);
}

int DDEraseSurface(std::list<DDSURFACEDATA>& surfaces, std::list<DDSURFACEINFO>& infos, DDSURFACEDATA* lpSD) {
  int i = 0;
  for (auto it = surfaces.begin(); it != surfaces.end(); ++it, ++i) {
    if (&*it != lpSD) continue;
    DDReleaseSurface(&*it);
    surfaces.erase(it);
    if (i < static_cast<int>(infos.size())) infos.erase(std::next(infos.begin(), i));
    return 1;
  }
  return 0;
}

void DDFollowAlias(DDSURFACEDATA*& lpSD) {
  if (lpDTCon && lpSD && lpSD->lpAlias) lpSD = lpSD->lpAlias;
}

bool DDLock(DDSURFACEDATA* lpSD, gfx::LockedRect* desc, uint8_t** bits, int bpp) {
  if (lpDTCon) {
    ECLogPrintf("D3DではDDLockは未対応");
    return false;
  }
  if (!lpSD || !lpSD->lpDD || !lpSD->lpDD->lpSurface) return false;
  if (gfx::Failed(lpSD->lpDD->lpSurface->LockRect(desc))) return false;
  if (bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32) *bits = desc->bits;
  return true;
}

uint8_t* cSurfaceLock::Lock(DDSURFACEDATA* lpSD) {
  Unlock();
  if (!lpSD) return nullptr;
  DDFollowAlias(lpSD);
  DDMapVirtualBackBuffer(lpSD);
  m_nBpp = g_nDisplayBpp;
  m_nBytes = g_nDisplayBytesPerPixel;
  gfx::LockedRect lock;
  if (lpDTCon) {
    DTSURFACEDATA* dt = lpSD->lpDT;
    if (!dt || !dt->lpSurface) return nullptr;
    if (dt->bRenderTarget && lpSD != &g_BackBufferSD && dt->lpSystemSurface) {
      if (gfx::Failed(g_lpDevice->GetRenderTargetData(dt->lpSurface, dt->lpSystemSurface))) {
        ECLogPrintf("FAILED( lpDevice->GetRenderTargetData(lpSD->lpDT->lpSurface,lpSD->lpDT->lpSystemSurface) )");
        return nullptr;
      }
      if (gfx::Failed(dt->lpSystemSurface->LockRect(&lock))) {
        ECLogPrintf("FAILED( lpSD->lpDT->lpSystemSurface->LockRect(&lock, NULL, 0) )");
        return nullptr;
      }
    } else if (gfx::Failed(dt->lpSurface->LockRect(&lock))) {
      ECLogPrintf("FAILED( lpSD->lpDT->lpSurface->LockRect(&(lock), NULL, 0) )");
      return nullptr;
    }
  } else {
    uint8_t* bits = nullptr;
    if (!DDLock(lpSD, &lock, &bits, m_nBpp)) return nullptr;
  }
  m_lpSD = lpSD;
  m_pBits = lock.bits;
  m_nPitch = m_nBytes > 0 ? lock.pitch / m_nBytes : 0;
  return m_pBits;
}

void cSurfaceLock::Unlock() {
  if (!m_lpSD) return;
  DDSURFACEDATA* sd = m_lpSD;
  m_lpSD = nullptr;
  m_pBits = nullptr;
  if (lpDTCon) {
    DTSURFACEDATA* dt = sd->lpDT;
    if (!dt) return;
    if (sd == &g_BackBufferSD) {
      if (gfx::Failed(dt->lpSurface->UnlockRect()))
        ECLogPrintf("Back :: D3D_OK != m_lpSD->lpDT->lpSurface->UnlockRect();");
    } else if (dt->bRenderTarget && dt->lpSystemSurface) {
      if (gfx::Failed(dt->lpSystemSurface->UnlockRect())) {
        ECLogPrintf("D3D_OK != m_lpSD->lpDT->lpSystemSurface->UnlockRect();");
      } else if (gfx::Failed(g_lpDevice->UpdateSurface(dt->lpSystemSurface, nullptr, dt->lpSurface))) {
        ECLogPrintf(
            "FAILED( lpDevice->UpdateSurface(m_lpSD->lpDT->lpSystemSurface, NULL, m_lpSD->lpDT->lpSurface, NULL)");
      }
    } else if (gfx::Failed(dt->lpSurface->UnlockRect())) {
      ECLogPrintf("D3D_OK != m_lpSD->lpDT->lpSurface->UnlockRect();");
    }
  } else if (sd->lpDD && sd->lpDD->lpSurface) {
    sd->lpDD->lpSurface->UnlockRect();
  }
}
