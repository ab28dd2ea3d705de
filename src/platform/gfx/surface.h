// Surfaces and palettes of the software graphics device.
//
// A `Surface` is a rectangle of pixels in one format with a pitch (bytes per row) that may be wider
// than the row: code that walks pixels must always step by the pitch. It serves both personalities:
// - the blit personality (`DirectDraw`, directdraw.h): off-screen surfaces, the primary and its back
//   buffers, 1:1 and stretched copies with or without the source colour key, colour fills, flips;
// - the quad personality (`Device`, d3d_device.h): texture levels, render targets, the back buffer,
//   system-memory copies used for pixel locks.
//
// Reference counting: every object starts with one reference held by its creator; `AddRef` and
// `Release` count, the last `Release` frees it. A texture's level surface and a flip chain's back
// buffers are parts of their container: their AddRef/Release count on the container.
//
// Threads: a surface is used by one thread at a time (the thread running game frames, or the UI
// thread while that one waits). Nothing here locks.
#pragma once

#include <cstdint>

#include "platform/gfx/gfx_types.h"

namespace gfx {

class Device;
class DirectDraw;
class Palette;
class Texture;

// Reference-counted base of every device object.
class RefCounted {
 public:
  int AddRef();
  // Drops one reference; at 0 the object is destroyed. Returns the references left.
  int Release();
  int RefCount() const { return m_refs; }

 protected:
  RefCounted() = default;
  virtual ~RefCounted() = default;
  RefCounted(const RefCounted&) = delete;
  RefCounted& operator=(const RefCounted&) = delete;
  // Where AddRef/Release go: the object itself, or its container (texture, flip chain).
  RefCounted* m_countOn = this;

 private:
  int m_refs = 1;
};

// What Lock answers.
struct LockedRect {
  int pitch = 0;            // bytes from one row to the next (>= width * bytes per pixel)
  uint8_t* bits = nullptr;  // the first pixel of the locked rectangle
};

// Description of a surface.
struct SurfaceDesc {
  Format format = Format::Unknown;
  uint32_t usage = 0;  // kUsageRenderTarget, kUsageDynamic
  Pool pool = Pool::Default;
  int width = 0;
  int height = 0;
};

// Flags of the blit personality.
inline constexpr uint32_t kBltFastNoColorKey = 0;
inline constexpr uint32_t kBltFastSrcColorKey = 1u << 0;  // BltFast: skip source pixels equal to the key
inline constexpr uint32_t kBltFastWait = 1u << 4;         // accepted, nothing to wait for
inline constexpr uint32_t kBltColorFill = 1u << 10;       // Blt: fill the destination with fillColour
inline constexpr uint32_t kBltKeySrc = 1u << 15;          // Blt: skip source pixels equal to the key
inline constexpr uint32_t kBltWait = 1u << 24;            // accepted

class Surface : public RefCounted {
 public:
  // A free-standing surface (not attached to a device): for tests and tools. Pitch is the row
  // rounded up to 16 bytes plus `extraPitchBytes`. Returns null for a bad size/format.
  static Surface* CreateStandalone(int width, int height, Format format, int extraPitchBytes = 0);
  // Extra bytes added to the pitch of every surface made from now on (devices included), so that
  // tests can run whole paths on rows narrower than the pitch. 0 by default.
  static void SetDefaultExtraPitch(int bytes);

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  Format GetFormat() const { return m_format; }
  ChannelLayout Layout() const { return LayoutOf(m_format); }
  int Pitch() const { return m_pitch; }
  Pool GetPool() const { return m_pool; }
  uint32_t Usage() const { return m_usage; }
  bool IsRenderTarget() const { return (m_usage & kUsageRenderTarget) != 0; }
  SurfaceDesc GetDesc() const;
  // The texture this surface is level 0 of, or null.
  Texture* Container() const { return m_texture; }

  // Pixel access. `rect` null locks the whole surface. A surface can be locked once at a time
  // (a second Lock answers kErrSurfaceBusy). A lost surface answers kErrSurfaceLost.
  // Writes through the pointer change the surface immediately (there is no copy).
  Result LockRect(LockedRect* out, const Rect* rect = nullptr, uint32_t flags = 0);
  Result UnlockRect();
  bool IsLocked() const { return m_locked; }

  // ---- source colour key (blit personality): a raw pixel value in the surface's format ----------
  void SetColorKey(uint32_t rawKey);
  void ClearColorKey();
  bool HasColorKey() const { return m_hasKey; }
  uint32_t ColorKey() const { return m_key; }

  // ---- loss (both personalities) -----------------------------------------------------------------
  // A lost surface refuses blits, fills and locks with kErrSurfaceLost until restored.
  bool IsLost() const { return m_lost; }
  // Blit personality: makes a lost surface usable again (its pixels are undefined: zero here).
  // Refused with kErrSurfaceLost while the display itself is still lost (see DirectDraw).
  Result Restore();

  // ---- blit personality ---------------------------------------------------------------------------
  // Copies `srcRect` of `src` (null = the whole source) 1:1 to (x, y). With kBltFastSrcColorKey the
  // pixels equal to the source's colour key are skipped (a source without key copies everything;
  // on X8R8G8B8 the unused top byte takes no part in the comparison).
  // Both surfaces must have the same format. Rectangles are checked on both edges of each axis:
  // an inverted or empty rectangle is refused (kErrInvalidRect); the parts outside the source or the
  // destination are clipped away (so nothing is ever written outside a surface).
  Result BltFast(int x, int y, Surface* src, const Rect* srcRect, uint32_t flags);
  // Copies `srcRect` of `src` onto `dstRect` of this surface, stretched by nearest sampling when the
  // sizes differ (destination pixel j of a run takes source offset (2j + 1) * srcW / (2 * dstW),
  // exact integers). kBltKeySrc skips keyed source pixels. With kBltColorFill (src ignored) the
  // rectangle is filled with the raw pixel `fillColour` (its low BitsPerPixel bits).
  // `dstRect` null = the whole surface. Same checking and clipping rules as BltFast; for stretched
  // copies the clipped destination pixels keep the mapping of the unclipped rectangle.
  Result Blt(const Rect* dstRect, Surface* src, const Rect* srcRect, uint32_t flags, uint32_t fillColour = 0);

  // Flip chain (primary surface of a full-screen DirectDraw display): the next back buffer becomes
  // the front buffer and is shown (present hook); the former front buffer becomes the last back
  // buffer. Back buffers keep their Surface objects: pixel memory rotates through them, so after a
  // Flip the back buffer holds the picture of the frame before last (one back buffer) or of three
  // frames ago (two back buffers), as real page flipping does.
  Result Flip();
  // The first back buffer of a flip chain (AddRef'd), or kErrNotFound.
  Result GetAttachedBackBuffer(Surface** out);

  // Attaches a palette (8-bit surfaces; used to show the primary). Null detaches. AddRefs it.
  Result SetPalette(Palette* palette);
  Palette* GetPalette() const { return m_palette; }

  // Raw access for the device's own code and for tests: valid while the surface lives and is not
  // lost; no lock needed (the device is single-threaded).
  uint8_t* Bits() { return m_bits; }
  const uint8_t* Bits() const { return m_bits; }
  uint8_t* Row(int y) { return m_bits + static_cast<intptr_t>(y) * m_pitch; }
  const uint8_t* Row(int y) const { return m_bits + static_cast<intptr_t>(y) * m_pitch; }

 protected:
  ~Surface() override;

 private:
  friend class Device;
  friend class DirectDraw;
  friend class Texture;
  friend class SurfaceAccess;
  Surface() = default;
  bool Allocate(int width, int height, Format format, int extraPitchBytes);
  void WipeContents();

  Format m_format = Format::Unknown;
  int m_width = 0;
  int m_height = 0;
  int m_pitch = 0;
  uint8_t* m_bits = nullptr;
  uint8_t* m_allocation = nullptr;
  Pool m_pool = Pool::Default;
  uint32_t m_usage = 0;
  bool m_locked = false;
  bool m_lost = false;
  bool m_hasKey = false;
  uint32_t m_key = 0;
  Palette* m_palette = nullptr;
  Texture* m_texture = nullptr;     // container texture
  Device* m_device = nullptr;       // owning quad device (kept alive by a reference)
  DirectDraw* m_ddraw = nullptr;    // owning blit device (kept alive by a reference)
  Surface* m_chainOwner = nullptr;  // primary of a flip chain this back buffer belongs to
  Surface* m_backBuffers[3] = {};   // flip chain of a primary (front excluded)
  int m_backBufferCount = 0;
  bool m_isPrimary = false;
  bool m_holdsOwnerRef = false;  // this surface keeps its device / display alive
};

// The 256-entry palette of the 8-bit display. Changing entries of the palette attached to the shown
// primary re-shows the current frame through the new colours (the frame already drawn changes
// colour, as a hardware palette does).
class Palette : public RefCounted {
 public:
  static Palette* Create(const PaletteEntry entries[256]);
  // Copies `count` entries from `entries` into positions first .. first + count - 1. A range past 255
  // is refused (kErrInvalidCall) and nothing changes.
  Result SetEntries(int first, int count, const PaletteEntry* entries);
  Result GetEntries(int first, int count, PaletteEntry* out) const;
  const PaletteEntry* Entries() const { return m_entries; }

 private:
  friend class Surface;
  friend class DirectDraw;
  Palette() = default;
  PaletteEntry m_entries[256] = {};
  DirectDraw* m_shownBy = nullptr;  // the display showing this palette, told about changes
};

}  // namespace gfx
