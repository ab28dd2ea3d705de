// The blit personality of the software graphics device: a display of 8, 16 or 32 bits per pixel
// with off-screen surfaces, a primary surface (a flip chain in full screen, a plain surface in a
// window), an 8-bit palette and lost-surface handling.
//
// Display formats: 8 bits -> I8 (through the palette), 16 bits -> R5G6B5, 32 bits -> X8R8G8B8.
// In a window there is no mode switch: surfaces take the desktop format (`DesktopFormat`, X8R8G8B8
// unless a test changes it with `SetDesktopFormat`).
//
// Presentation: `Surface::Flip` on the primary (full screen) or `Blt` onto the primary (window)
// shows the primary's picture: it is converted to 32-bit RGB (8 bits through the live palette) and
// posted to the frame mailbox (frame_mailbox.h). Palette changes re-post the frame being shown.
//
// Typical set-up (full screen):
//   DirectDraw* dd; DirectDraw::Create(&dd);
//   dd->SetCooperativeLevel(true); dd->SetDisplayMode(640, 480, 16);
//   Surface* primary; dd->CreatePrimarySurface(1, &primary);
//   Surface* back; primary->GetAttachedBackBuffer(&back);
//   Surface* work; dd->CreateSurface(640, 480, Pool::SystemMem, &work);
//   ... back->BltFast(...), back->Blt(...), primary->Flip() ...
#pragma once

#include <cstdint>

#include "platform/gfx/gfx_types.h"
#include "platform/gfx/surface.h"

namespace gfx {

class DirectDraw : public RefCounted {
 public:
  // Creates the display object. Never fails in normal running (kOk); a test can make it fail with
  // `SetCreateFailure`.
  static Result Create(DirectDraw** out);

  // Full screen (exclusive) or window (normal). Stored only.
  Result SetCooperativeLevel(bool fullScreen);
  // Switches the display to width x height at 8, 16 or 32 bits (anything else: kErrUnsupported).
  // `refreshRate` 0 or 60 is accepted; other rates are refused (kErrUnsupported) so callers fall
  // back to 0.
  Result SetDisplayMode(int width, int height, int bitsPerPixel, int refreshRate = 0);
  Result RestoreDisplayMode();
  // Format of the current display: the mode set, or the desktop format in a window.
  Format DisplayFormat() const;
  int DisplayBitsPerPixel() const { return BitsPerPixel(DisplayFormat()); }
  // Desktop (window mode) format; X8R8G8B8 by default. Tests may pick R5G6B5 or I8.
  static void SetDesktopFormat(Format f);
  static Format DesktopFormat();

  // Creates the primary surface of the display mode's size (window: `windowWidth` x `windowHeight`,
  // the client area). Full screen: `backBufferCount` 1 or 2 back buffers in a flip chain. Window:
  // pass 0, no back buffers (the game blits its own back buffer onto the primary).
  Result CreatePrimarySurface(int backBufferCount, Surface** out, int windowWidth = 0, int windowHeight = 0);
  // An off-screen surface in the display format. Pool::Default = video memory (lost with the
  // display), Pool::SystemMem = system memory (never lost). A test can set a video-memory budget
  // (`SetVideoMemoryBudget`): past it a Default request fails with kErrOutOfVideoMemory, so the
  // caller's retry in system memory can be exercised. Contents start zeroed.
  Result CreateSurface(int width, int height, Pool pool, Surface** out);
  // A palette for the 8-bit display (attach it to the primary with Surface::SetPalette).
  Result CreatePalette(const PaletteEntry entries[256], Palette** out);

  // ---- loss ------------------------------------------------------------------------------------
  // Never happens by itself. `SimulateDisplayLoss` marks the primary, its back buffers and every
  // video-memory surface lost and wipes their pixels; system-memory surfaces are untouched.
  // Restoring the primary first (Surface::Restore) ends the display loss; the other surfaces can
  // be restored afterwards (before that their Restore answers kErrSurfaceLost).
  void SimulateDisplayLoss();
  bool IsDisplayLost() const { return m_displayLost; }

  // ---- test knobs ------------------------------------------------------------------------------
  static void SetCreateFailure(bool fail);   // Create answers kErrUnsupported
  void SetVideoMemoryBudget(int64_t bytes);  // < 0: unlimited (default)
  int64_t VideoMemoryUsed() const { return m_videoBytes; }

  // Shows `surface` (primary) now: converts it to RGB and posts it to the frame mailbox. Called by
  // Flip and by Blt onto the primary; public for headless tools.
  void PresentSurface(const Surface* surface);

 protected:
  ~DirectDraw() override;

 private:
  friend class Surface;
  friend class Palette;
  DirectDraw() = default;
  Surface* NewSurface(int width, int height, Pool pool);
  void ForgetSurface(Surface* s);
  void PaletteChanged(Palette* p);
  // Copies the whole of `source` (same size and format) onto `primary` and shows it, converting
  // each row for the frame while it is still in the cache: the windowed present's copy.
  void CopyAndPresent(Surface* primary, const Surface* source);

  bool m_fullScreen = false;
  Format m_modeFormat = Format::Unknown;  // Unknown until SetDisplayMode
  int m_modeWidth = 0;
  int m_modeHeight = 0;
  Surface* m_primary = nullptr;      // weak: the owner holds the reference
  const Surface* m_shown = nullptr;  // the surface shown last (front buffer or primary)
  bool m_displayLost = false;
  int64_t m_videoBudget = -1;
  int64_t m_videoBytes = 0;
  struct SurfaceList;
  SurfaceList* m_surfaces = nullptr;  // every live surface made here (weak)
};

}  // namespace gfx
