#pragma once
// Surface creation and release in both back ends, the registry that the Direct3D recovery walks, the
// container helpers for lists of surfaces and the scoped pixel lock.
#include <cstdint>
#include <list>
#include <vector>

#include "media/graphics/surface_data.h"

// Codes of DDCreateSurfaceFromFile besides 0 (done) and a failing device result.
constexpr int DDSFF_MIRROR_ERR = 1;
constexpr int DDSFF_CREATESURFACE_ERR = 4;
constexpr int DDSFF_LOADIMAGE_ERR = 8;

// bAlias non-zero: in Direct3D mode no texture is made (the record draws from its alias).
bool DDCreateSurface(DDSURFACEDATA* lpSD, int width, int height, int bColorKey, int memoryType, int memoryKind,
                     int bAlias, int bReuse);
int DDCreateSurfaceFromFile(DDSURFACEDATA* lpSD, const char* path, int bColorKey, int bpp, int memoryType,
                            int memoryKind, int bAlias, int bPalMap, int mirrorX, int mirrorY, int bReuse);
bool DDCheckResult(int code);
void DDReleaseSurface(DDSURFACEDATA* lpSD);
inline void DDFreeSurface(DDSURFACEDATA* lpSD) { DDReleaseSurface(lpSD); }

void DDReleaseSurfaceVec(std::vector<DDSURFACEDATA>& v);
void DDReleaseSurfaceList(std::list<DDSURFACEDATA>& l);
DDSURFACEDATA& VecAtSurfaceData(std::vector<DDSURFACEDATA>& v, int i);
DDSURFACEDATA& ListAtSurfaceData(std::list<DDSURFACEDATA>& l, int i);
bool DDPushSurface(std::vector<DDSURFACEDATA>& surfaces, std::vector<DDSURFACEINFO>& infos, int width, int height,
                   int bColorKey, int memoryType, int memoryKind, int bAlias);
bool DDPushSurfaceList(std::list<DDSURFACEDATA>& surfaces, std::list<DDSURFACEINFO>& infos, int width, int height,
                       int bColorKey, int memoryType, int memoryKind, int bAlias);
bool DDInsertSurface(std::list<DDSURFACEDATA>& surfaces, std::list<DDSURFACEINFO>& infos, int index, int width,
                     int height, int bColorKey, int memoryType, int memoryKind, int bAlias);
int DDEraseSurface(std::list<DDSURFACEDATA>& surfaces, std::list<DDSURFACEINFO>& infos, DDSURFACEDATA* lpSD);
void DDFollowAlias(DDSURFACEDATA*& lpSD);

// DirectDraw: locks the whole surface; the caller unlocks with the surface's UnlockRect.
bool DDLock(DDSURFACEDATA* lpSD, gfx::LockedRect* desc, uint8_t** bits, int bpp);

// The registry of Direct3D surfaces (everything made outside reuse mode).
std::list<DDSURFACEDATA*>& DDSurfaceRegistry();

// The texture size a Direct3D surface of width x height gets on this device (power-of-two and
// square-only rounding), with the size-limit messages; `path` null for a blank surface.
void DDRoundTextureSize(int& width, int& height, const char* path);
// Stops the game after a texture that must exist could not be made.
void DDFatalTextureFailure();

// Scoped pixel lock of a surface in either back end.
class cSurfaceLock {
 public:
  cSurfaceLock() = default;
  explicit cSurfaceLock(DDSURFACEDATA* lpSD) { Lock(lpSD); }
  ~cSurfaceLock() { Unlock(); }
  cSurfaceLock(const cSurfaceLock&) = delete;
  cSurfaceLock& operator=(const cSurfaceLock&) = delete;

  // The pixel pointer, or null when the lock failed.
  uint8_t* Lock(DDSURFACEDATA* lpSD);
  void Unlock();
  bool IsLocked() const { return m_lpSD != nullptr; }
  uint8_t* Bits() const { return m_pBits; }
  int Pitch() const { return m_nPitch; }  // in pixels
  int Bpp() const { return m_nBpp; }
  int BytesPerPixel() const { return m_nBytes; }
  DDSURFACEDATA* Surface() const { return m_lpSD; }
  uint16_t* Row16(int y) const { return reinterpret_cast<uint16_t*>(m_pBits) + static_cast<intptr_t>(y) * m_nPitch; }
  uint32_t* Row32(int y) const { return reinterpret_cast<uint32_t*>(m_pBits) + static_cast<intptr_t>(y) * m_nPitch; }
  uint8_t* Row8(int y) const { return m_pBits + static_cast<intptr_t>(y) * m_nPitch; }
  uint8_t* PixelAddress(int x, int y) const { return m_pBits + (static_cast<intptr_t>(y) * m_nPitch + x) * m_nBytes; }

 private:
  DDSURFACEDATA* m_lpSD = nullptr;
  uint8_t* m_pBits = nullptr;
  int m_nPitch = 0;
  int m_nBpp = 32;
  int m_nBytes = 4;
};
