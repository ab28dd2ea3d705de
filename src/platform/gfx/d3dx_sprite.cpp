// Helper-library sprite: queues textured rectangles between Begin and End and draws them with
// alpha blending, leaving the device's draw state as the caller had it.
#include <algorithm>
#include <new>

#include "platform/gfx/d3dx.h"
#include "platform/gfx/draw_state.h"

namespace gfx {

Result CreateSprite(Device* device, Sprite** out) {
  if (!device || !out) return kErrInvalidCall;
  auto* sprite = new (std::nothrow) Sprite();
  if (!sprite) return kErrOutOfMemory;
  sprite->m_device = device;
  device->AddRef();
  *out = sprite;
  return kOk;
}

Sprite::~Sprite() {
  for (Item& item : m_queue) item.texture->Release();
  if (m_device) m_device->Release();
}

Result Sprite::Begin(uint32_t flags) {
  if (m_begun || m_device->IsLost()) return kErrInvalidCall;
  m_begun = true;
  m_flags = flags;
  return kOk;
}

Result Sprite::Draw(Texture* texture, const Rect* srcRect, const float* centre, const float* position, Colour colour) {
  if (!m_begun || !texture) return kErrInvalidCall;
  Item item;
  item.texture = texture;
  item.src = srcRect ? *srcRect : Rect{0, 0, texture->Width(), texture->Height()};
  item.x = (position ? position[0] : 0.0f) - (centre ? centre[0] : 0.0f);
  item.y = (position ? position[1] : 0.0f) - (centre ? centre[1] : 0.0f);
  item.colour = colour;
  texture->AddRef();
  m_queue.push_back(item);
  return kOk;
}

Result Sprite::Flush() {
  if (!m_begun) return kErrInvalidCall;
  if (m_queue.empty()) return kOk;
  if (m_flags & kSpriteSortTexture)
    std::stable_sort(m_queue.begin(), m_queue.end(),
                     [](const Item& a, const Item& b) { return a.texture < b.texture; });
  const SavedDrawState saved(m_device);
  SavedDrawState::SetTextured(m_device, (m_flags & kSpriteAlphaBlend) != 0);
  for (const Item& item : m_queue) {
    DrawTexturedRect(m_device, item.texture, item.x, item.y, item.src.left, item.src.top, item.src.Width(),
                     item.src.Height(), item.colour);
  }
  saved.Restore();
  for (Item& item : m_queue) item.texture->Release();
  m_queue.clear();
  return kOk;
}

Result Sprite::End() {
  if (!m_begun) return kErrInvalidCall;
  const Result r = Flush();
  m_begun = false;
  return r;
}

Result Sprite::OnLostDevice() {
  for (Item& item : m_queue) item.texture->Release();
  m_queue.clear();
  m_begun = false;
  return kOk;
}

Result Sprite::OnResetDevice() { return kOk; }

}  // namespace gfx
