// The blit personality's display object: display mode, primary surface and flip chain, off-screen
// surfaces, palettes, simulated loss, and showing the primary through the frame mailbox.
#include "platform/gfx/directdraw.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <vector>

#include "platform/gfx/frame_mailbox.h"
#include "platform/gfx/pixel_format.h"

namespace gfx {

struct DirectDraw::SurfaceList {
  std::vector<Surface*> items;
};

namespace {
std::atomic<bool> g_createFailure{false};
std::atomic<Format> g_desktopFormat{Format::X8R8G8B8};
int64_t SurfaceBytes(const Surface* s) { return static_cast<int64_t>(s->Pitch()) * s->Height(); }
}  // namespace

void DirectDraw::SetCreateFailure(bool fail) { g_createFailure = fail; }
void DirectDraw::SetDesktopFormat(Format f) { g_desktopFormat = f; }
Format DirectDraw::DesktopFormat() { return g_desktopFormat.load(); }

Result DirectDraw::Create(DirectDraw** out) {
  if (!out) return kErrInvalidCall;
  *out = nullptr;
  if (g_createFailure) return kErrUnsupported;
  auto* dd = new (std::nothrow) DirectDraw();
  if (!dd) return kErrOutOfMemory;
  dd->m_surfaces = new (std::nothrow) SurfaceList();
  if (!dd->m_surfaces) {
    delete dd;
    return kErrOutOfMemory;
  }
  *out = dd;
  return kOk;
}

DirectDraw::~DirectDraw() { delete m_surfaces; }

Result DirectDraw::SetCooperativeLevel(bool fullScreen) {
  m_fullScreen = fullScreen;
  return kOk;
}

Result DirectDraw::SetDisplayMode(int width, int height, int bitsPerPixel, int refreshRate) {
  if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return kErrInvalidCall;
  if (refreshRate != 0 && refreshRate != 60) return kErrUnsupported;
  switch (bitsPerPixel) {
    case 8: m_modeFormat = Format::I8; break;
    case 16: m_modeFormat = Format::R5G6B5; break;
    case 32: m_modeFormat = Format::X8R8G8B8; break;
    default: return kErrUnsupported;
  }
  m_modeWidth = width;
  m_modeHeight = height;
  return kOk;
}

Result DirectDraw::RestoreDisplayMode() {
  m_modeFormat = Format::Unknown;
  return kOk;
}

Format DirectDraw::DisplayFormat() const {
  return m_modeFormat != Format::Unknown ? m_modeFormat : g_desktopFormat.load();
}

Surface* DirectDraw::NewSurface(int width, int height, Pool pool) {
  auto* s = new (std::nothrow) Surface();
  if (!s) return nullptr;
  if (!s->Allocate(width, height, DisplayFormat(), 0)) {
    delete s;
    return nullptr;
  }
  s->m_pool = pool;
  s->m_ddraw = this;
  m_surfaces->items.push_back(s);
  if (pool == Pool::Default) m_videoBytes += SurfaceBytes(s);
  return s;
}

void DirectDraw::ForgetSurface(Surface* s) {
  auto& v = m_surfaces->items;
  v.erase(std::remove(v.begin(), v.end(), s), v.end());
  if (s->m_pool == Pool::Default) m_videoBytes -= SurfaceBytes(s);
  if (m_primary == s) m_primary = nullptr;
  if (m_shown == s) m_shown = nullptr;
  if (s->m_holdsOwnerRef) Release();
}

Result DirectDraw::CreatePrimarySurface(int backBufferCount, Surface** out, int windowWidth, int windowHeight) {
  if (!out) return kErrInvalidCall;
  *out = nullptr;
  if (m_primary) return kErrInvalidCall;  // one primary per display
  if (backBufferCount < 0 || backBufferCount > 2) return kErrInvalidCall;
  int w = m_modeWidth, h = m_modeHeight;
  if (!m_fullScreen || m_modeFormat == Format::Unknown) {
    w = windowWidth;
    h = windowHeight;
    if (backBufferCount != 0) return kErrInvalidCall;  // a window has no flip chain
  }
  Surface* primary = NewSurface(w, h, Pool::Default);
  if (!primary) return kErrInvalidCall;
  primary->m_isPrimary = true;
  primary->m_holdsOwnerRef = true;
  AddRef();
  for (int i = 0; i < backBufferCount; ++i) {
    Surface* b = NewSurface(w, h, Pool::Default);
    if (!b) {
      primary->Release();
      return kErrOutOfVideoMemory;
    }
    b->m_countOn = primary;
    b->m_chainOwner = primary;
    primary->m_backBuffers[primary->m_backBufferCount++] = b;
  }
  m_primary = primary;
  *out = primary;
  return kOk;
}

Result DirectDraw::CreateSurface(int width, int height, Pool pool, Surface** out) {
  if (!out) return kErrInvalidCall;
  *out = nullptr;
  if (width <= 0 || height <= 0) return kErrInvalidCall;
  if (pool == Pool::Default && m_videoBudget >= 0) {
    const int64_t need = static_cast<int64_t>(width) * height * BytesPerPixel(DisplayFormat());
    if (m_videoBytes + need > m_videoBudget) return kErrOutOfVideoMemory;
  }
  Surface* s = NewSurface(width, height, pool == Pool::Managed ? Pool::SystemMem : pool);
  if (!s) return kErrOutOfMemory;
  s->m_holdsOwnerRef = true;
  AddRef();
  *out = s;
  return kOk;
}

Result DirectDraw::CreatePalette(const PaletteEntry entries[256], Palette** out) {
  if (!out || !entries) return kErrInvalidCall;
  *out = Palette::Create(entries);
  return *out ? kOk : kErrOutOfMemory;
}

void DirectDraw::SetVideoMemoryBudget(int64_t bytes) { m_videoBudget = bytes; }

void DirectDraw::SimulateDisplayLoss() {
  m_displayLost = true;
  for (Surface* s : m_surfaces->items) {
    if (s->m_pool != Pool::Default) continue;
    s->m_lost = true;
    s->WipeContents();
  }
}

void DirectDraw::PresentSurface(const Surface* surface) {
  if (!surface || surface->IsLost()) return;
  m_shown = surface;
  Frame frame = TheFrameMailbox().Blank(surface->Width(), surface->Height());
  const PaletteEntry* palette = surface->GetPalette() ? surface->GetPalette()->Entries() : nullptr;
  ImageToRgb32(surface->GetFormat(), surface->Bits(), static_cast<size_t>(surface->Pitch()), frame.width, frame.height,
               frame.pixels.data(), palette);
  TheFrameMailbox().Post(std::move(frame));
}

void DirectDraw::CopyAndPresent(Surface* primary, const Surface* source) {
  m_shown = primary;
  Frame frame = TheFrameMailbox().Blank(primary->Width(), primary->Height());
  const PaletteEntry* palette = primary->GetPalette() ? primary->GetPalette()->Entries() : nullptr;
  const size_t rowBytes = static_cast<size_t>(primary->Width()) * BytesPerPixel(primary->GetFormat());
  for (int y = 0; y < frame.height; ++y) {
    std::memcpy(primary->Row(y), source->Row(y), rowBytes);
    RowToRgb32(primary->GetFormat(), primary->Row(y), frame.pixels.data() + static_cast<size_t>(y) * frame.width,
               frame.width, palette);
  }
  TheFrameMailbox().Post(std::move(frame));
}

void DirectDraw::PaletteChanged(Palette* p) {
  // The frame on screen is shown through the palette: re-show it with the new colours.
  if (m_shown && m_shown->GetPalette() == p) PresentSurface(m_shown);
}

}  // namespace gfx
