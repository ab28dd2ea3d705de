// Internal: saving and restoring the quad device's draw state around the helper library's own
// drawing (sprite, text), so callers find their state as they left it.
#pragma once

#include "platform/gfx/d3d_device.h"

namespace gfx {

class SavedDrawState {
 public:
  explicit SavedDrawState(Device* device)
      : m_device(device), m_state(device->State()), m_texture(device->CurrentTexture()) {}
  void Restore() const {
    Device* d = m_device;
    const Device::PipelineState& s = m_state;
    d->SetRenderState(kRsAlphaBlendEnable, s.blendEnable ? 1 : 0);
    d->SetRenderState(kRsSrcBlend, s.srcBlend);
    d->SetRenderState(kRsDestBlend, s.destBlend);
    d->SetRenderState(kRsCullMode, s.cullMode);
    d->SetRenderState(kRsTextureFactor, s.textureFactor);
    d->SetTextureStageState(0, kTssColorOp, s.colourOp);
    d->SetTextureStageState(0, kTssColorArg1, s.colourArg1);
    d->SetTextureStageState(0, kTssColorArg2, s.colourArg2);
    d->SetTextureStageState(0, kTssAlphaOp, s.alphaOp);
    d->SetTextureStageState(0, kTssAlphaArg1, s.alphaArg1);
    d->SetTextureStageState(0, kTssAlphaArg2, s.alphaArg2);
    d->SetSamplerState(0, kSampAddressU, s.addressU);
    d->SetSamplerState(0, kSampAddressV, s.addressV);
    d->SetTexture(0, m_texture);
  }
  // Sets modulated, alpha-blended drawing of a texture with clamped addressing.
  static void SetTextured(Device* d, bool blend) {
    d->SetRenderState(kRsAlphaBlendEnable, blend ? 1 : 0);
    d->SetRenderState(kRsSrcBlend, kBlendSrcAlpha);
    d->SetRenderState(kRsDestBlend, kBlendInvSrcAlpha);
    d->SetRenderState(kRsCullMode, kCullNone);
    d->SetTextureStageState(0, kTssColorOp, kOpModulate);
    d->SetTextureStageState(0, kTssColorArg1, kTaTexture);
    d->SetTextureStageState(0, kTssColorArg2, kTaDiffuse);
    d->SetTextureStageState(0, kTssAlphaOp, kOpModulate);
    d->SetTextureStageState(0, kTssAlphaArg1, kTaTexture);
    d->SetTextureStageState(0, kTssAlphaArg2, kTaDiffuse);
    d->SetSamplerState(0, kSampAddressU, kAddressClamp);
    d->SetSamplerState(0, kSampAddressV, kAddressClamp);
  }

 private:
  Device* m_device;
  Device::PipelineState m_state;
  Texture* m_texture;
};

// Draws `w` x `h` texels from (sx, sy) of `texture` at pixel (x, y) 1:1 with `colour` as diffuse.
inline Result DrawTexturedRect(Device* d, Texture* texture, float x, float y, int sx, int sy, int w, int h,
                               Colour colour) {
  const float tw = static_cast<float>(texture->Width()), th = static_cast<float>(texture->Height());
  const float l = x - 0.5f, t = y - 0.5f, r = x + w - 0.5f, b = y + h - 0.5f;
  const float u0 = sx / tw, v0 = sy / th, u1 = (sx + w) / tw, v1 = (sy + h) / th;
  const Vertex quad[4] = {{l, t, 0, 1, colour, u0, v0},
                          {l, b, 0, 1, colour, u0, v1},
                          {r, t, 0, 1, colour, u1, v0},
                          {r, b, 0, 1, colour, u1, v1}};
  d->SetTexture(0, texture);
  return d->DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, quad, sizeof(Vertex));
}

}  // namespace gfx
