// Surface storage, locking, colour key, loss state, reference counting and the 8-bit palette.
// The blit operations are in surface_blit.cpp.
#include "platform/gfx/surface.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/gfx/d3d_device.h"
#include "platform/gfx/directdraw.h"

namespace gfx {

namespace {
std::atomic<int> g_defaultExtraPitch{0};
constexpr int kMaxSide = 16384;
}  // namespace

int RefCounted::AddRef() {
  if (m_countOn != this) return m_countOn->AddRef();
  return ++m_refs;
}

int RefCounted::Release() {
  if (m_countOn != this) return m_countOn->Release();
  const int left = --m_refs;
  if (left == 0) delete this;
  return left;
}

void Surface::SetDefaultExtraPitch(int bytes) { g_defaultExtraPitch = bytes < 0 ? 0 : bytes; }

Surface* Surface::CreateStandalone(int width, int height, Format format, int extraPitchBytes) {
  auto* s = new (std::nothrow) Surface();
  if (!s) return nullptr;
  if (!s->Allocate(width, height, format, extraPitchBytes)) {
    delete s;
    return nullptr;
  }
  s->m_pool = Pool::SystemMem;
  return s;
}

bool Surface::Allocate(int width, int height, Format format, int extraPitchBytes) {
  const int bpp = BytesPerPixel(format);
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide || bpp == 0) return false;
  const int extra = extraPitchBytes + g_defaultExtraPitch.load();
  const int pitch = ((width * bpp + 15) & ~15) + extra;
  const size_t bytes = static_cast<size_t>(pitch) * height;
  // 32-byte aligned rows start: allocate with room to align.
  auto* raw = static_cast<uint8_t*>(std::calloc(bytes + 32, 1));
  if (!raw) return false;
  m_allocation = raw;
  m_bits = reinterpret_cast<uint8_t*>((reinterpret_cast<uintptr_t>(raw) + 31) & ~uintptr_t{31});
  m_width = width;
  m_height = height;
  m_pitch = pitch;
  m_format = format;
  return true;
}

Surface::~Surface() {
  for (int i = 0; i < m_backBufferCount; ++i) delete m_backBuffers[i];
  if (m_palette) {
    if (m_palette->m_shownBy && m_isPrimary) m_palette->m_shownBy = nullptr;
    m_palette->Release();
  }
  std::free(m_allocation);
  if (m_device) m_device->ForgetSurface(this);
  if (m_ddraw) m_ddraw->ForgetSurface(this);
}

void Surface::WipeContents() {
  if (m_bits) std::memset(m_bits, 0, static_cast<size_t>(m_pitch) * m_height);
}

SurfaceDesc Surface::GetDesc() const {
  SurfaceDesc d;
  d.format = m_format;
  d.usage = m_usage;
  d.pool = m_pool;
  d.width = m_width;
  d.height = m_height;
  return d;
}

Result Surface::LockRect(LockedRect* out, const Rect* rect, uint32_t) {
  if (!out) return kErrInvalidCall;
  if (m_lost) return kErrSurfaceLost;
  if (m_locked) return kErrSurfaceBusy;
  Rect r{0, 0, m_width, m_height};
  if (rect) {
    if (rect->left < 0 || rect->top < 0 || rect->right > m_width || rect->bottom > m_height ||
        rect->left >= rect->right || rect->top >= rect->bottom)
      return kErrInvalidRect;
    r = *rect;
  }
  m_locked = true;
  out->pitch = m_pitch;
  out->bits = Row(r.top) + r.left * BytesPerPixel(m_format);
  return kOk;
}

Result Surface::UnlockRect() {
  if (!m_locked) return kErrNotLocked;
  m_locked = false;
  return kOk;
}

void Surface::SetColorKey(uint32_t rawKey) {
  const int bits = BitsPerPixel(m_format);
  m_key = bits >= 32 ? rawKey : (rawKey & ((1u << bits) - 1));
  m_hasKey = true;
}

void Surface::ClearColorKey() {
  m_hasKey = false;
  m_key = 0;
}

Result Surface::Restore() {
  if (!m_lost) return kOk;
  if (m_ddraw) {
    if (m_isPrimary) {
      m_ddraw->m_displayLost = false;
      for (int i = 0; i < m_backBufferCount; ++i) m_backBuffers[i]->m_lost = false;
    } else if (m_ddraw->m_displayLost) {
      return kErrSurfaceLost;
    }
  }
  m_lost = false;
  WipeContents();
  return kOk;
}

Result Surface::GetAttachedBackBuffer(Surface** out) {
  if (!out) return kErrInvalidCall;
  *out = nullptr;
  if (m_backBufferCount == 0) return kErrNotFound;
  *out = m_backBuffers[0];
  AddRef();
  return kOk;
}

Result Surface::SetPalette(Palette* palette) {
  if (palette && m_format != Format::I8) return kErrInvalidCall;
  if (palette) palette->AddRef();
  if (m_palette) {
    if (m_isPrimary) m_palette->m_shownBy = nullptr;
    m_palette->Release();
  }
  m_palette = palette;
  if (palette && m_isPrimary) palette->m_shownBy = m_ddraw;
  return kOk;
}

Palette* Palette::Create(const PaletteEntry entries[256]) {
  auto* p = new (std::nothrow) Palette();
  if (p && entries) std::memcpy(p->m_entries, entries, sizeof p->m_entries);
  return p;
}

Result Palette::SetEntries(int first, int count, const PaletteEntry* entries) {
  if (!entries || first < 0 || count < 0 || first + count > 256) return kErrInvalidCall;
  std::memcpy(m_entries + first, entries, sizeof(PaletteEntry) * count);
  if (m_shownBy) m_shownBy->PaletteChanged(this);
  return kOk;
}

Result Palette::GetEntries(int first, int count, PaletteEntry* out) const {
  if (!out || first < 0 || count < 0 || first + count > 256) return kErrInvalidCall;
  std::memcpy(out, m_entries + first, sizeof(PaletteEntry) * count);
  return kOk;
}

}  // namespace gfx
